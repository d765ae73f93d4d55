#include "platform/crt/LocalTime.h"

#include <ctime>

namespace crt {

bool ReadLocalTimeOfDay(LocalTimeOfDay& out)
{
    const std::time_t now = std::time(nullptr);
    if (now == static_cast<std::time_t>(-1))
        return false;
    std::tm parts{};
    if (!localtime_r(&now, &parts))
        return false;
    out.hours = parts.tm_hour;
    out.minutes = parts.tm_min;
    out.seconds = parts.tm_sec;
    return true;
}

} // namespace crt
