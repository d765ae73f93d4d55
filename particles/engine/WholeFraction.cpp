#include "particles/engine/WholeFraction.h"

#include <cmath>

double SplitWholeFraction(double x, float& whole)
{
    double integral = 0.0;
    const double fraction = std::modf(x, &integral);
    whole = static_cast<float>(integral);
    return fraction;
}
