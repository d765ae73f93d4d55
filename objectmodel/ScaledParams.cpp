#include "objectmodel/ScaledParams.h"

#include "platform/crt/Random.h"

std::uint8_t ScaledFloatToByte(float scaled)
{
    // Clamped before the conversion: a float outside the int range (or a
    // NaN) has no defined conversion, and a wrapped byte would turn an
    // over-range percentage into a nearly opposite alpha.
    if (!(scaled > 0.0f))
        return 0;
    if (scaled >= 255.0f)
        return 255;
    return static_cast<std::uint8_t>(static_cast<int>(scaled));
}

void MediaSpeedParam::Advance(float absoluteTime)
{
    if (absoluteTime < m_last)
        m_last = absoluteTime;
    m_step = absoluteTime - m_last;
    m_last = absoluteTime;
    if (m_step > kMaxStep)
        m_step = kMaxStep;
    m_step = m_step * Scaled();
    m_total = m_total + m_step;
}

float KXI_JitterParam::Jittered(float r) const
{
    const float j = jitter.Scaled();
    return Scaled() * (r * (1.0f - j) + j);
}

float KXI_JitterParam::DrawJittered() const
{
    return Jittered(DrawRandomUnit());
}

float DrawRandomUnit()
{
    return crt::RandomUnit();
}
