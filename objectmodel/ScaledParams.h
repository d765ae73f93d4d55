#pragma once

// Scaled parameters: numbers stored as unsigned integers (percentages,
// tenths, hundredths of a second) and used as a float or byte copy that is
// kept in step with the stored value:
//
//   scaled = T(float(value) x scale + offset)
//
// The object watches itself: its control part recomputes the copy on every
// notified change. Scale and offset belong to the owner's constructor and
// are never stored; the stored form is the unsigned value alone.

#include <cstdint>

#include "objectmodel/MediaControl.h"
#include "objectmodel/MediaParam.h"

template <class T>
class UINTSclaleTo : public MediaParamT<std::uint32_t>, public MediaControlT<MediaParamT<std::uint32_t>> {
public:
    explicit UINTSclaleTo(float scale = 1.0f, float offset = 0.0f, std::uint32_t initial = 0)
        : MediaParamT<std::uint32_t>(initial), m_scale(scale), m_offset(offset)
    {
        AttachToParam(this);
    }

    UINTSclaleTo(const UINTSclaleTo& other)
        : MediaParamT<std::uint32_t>(other), m_scale(other.m_scale), m_offset(other.m_offset)
    {
        AttachToParam(this);
    }

    // Takes scale, offset and value, and tells every observer.
    UINTSclaleTo& operator=(const UINTSclaleTo& other)
    {
        m_scale = other.m_scale;
        m_offset = other.m_offset;
        SetValue(other.value, nullptr);
        return *this;
    }

    // The control part leaves its own observer list before anything else
    // is taken down.
    ~UINTSclaleTo() override { Unbind(); }

    // Changes scale and offset; the copy follows at once, nobody is told.
    void Rescale(float scale, float offset)
    {
        m_scale = scale;
        m_offset = offset;
        UpdateScaled();
    }

    const T& Scaled() const { return m_scaled; }
    float Scale() const { return m_scale; }
    float Offset() const { return m_offset; }

    // A quiet set tells no observer, but the copy is part of the object's
    // own value and follows it. (A direct store, StoreValue, leaves the copy
    // as it was, as some readers rely on; UpdateScaled() brings it in step.)
    void QuietSet(std::uint32_t newValue)
    {
        MediaParamT<std::uint32_t>::QuietSet(newValue);
        UpdateScaled();
    }

    // Recomputes the copy from value, scale and offset.
    void UpdateScaled();

    // The control part: the value changed.
    void OnParamChanged(MediaControl*) override { UpdateScaled(); }

private:
    T m_scaled{};
    float m_scale;
    float m_offset;
};

// Converts a scaled float to its byte: truncated toward zero, clamped to
// 0..255 first so that an out-of-range percentage gives the nearest bound
// rather than wrapping (a NaN gives 0).
std::uint8_t ScaledFloatToByte(float scaled);

template <>
inline void UINTSclaleTo<float>::UpdateScaled()
{
    m_scaled = static_cast<float>(value) * m_scale + m_offset;
}

template <>
inline void UINTSclaleTo<std::uint8_t>::UpdateScaled()
{
    m_scaled = ScaledFloatToByte(static_cast<float>(value) * m_scale + m_offset);
}

// An unsigned parameter with a float copy, as UINTSclaleTo<float>; the owner
// sets its value.
template <class T>
class MediaFloat;

template <>
class MediaFloat<std::uint32_t> : public UINTSclaleTo<float> {
public:
    MediaFloat() : UINTSclaleTo<float>(1.0f, 0.0f, 0) {}
};

// Seconds from stored hundredths of a second.
class TimeParam : public UINTSclaleTo<float> {
public:
    TimeParam() : UINTSclaleTo<float>(0.01f, 0.0f, 0) {}
};

// A speed factor with its own clock: Advance() turns absolute times into
// steps scaled by the factor.
class MediaSpeedParam : public UINTSclaleTo<float> {
public:
    static constexpr float kMaxStep = 0.2f;

    MediaSpeedParam() : UINTSclaleTo<float>(1.0f, 0.0f, 1) {}

    // A time that goes back counts as no time; a gap longer than kMaxStep
    // counts as kMaxStep; the step is multiplied by the factor.
    void Advance(float absoluteTime);

    // Back to the start: the total (phase) and the last time become 0; the
    // last step stays.
    void ResetClock()
    {
        m_total = 0.0f;
        m_last = 0.0f;
    }

    float Step() const { return m_step; }
    float Total() const { return m_total; }
    float Last() const { return m_last; }

private:
    float m_step = 0.0f;
    float m_total = 0.0f;
    float m_last = 0.0f;
};

// 1 - value / 100: the factor a jitter percentage leaves.
class KXI_JitterMediaPrm : public UINTSclaleTo<float> {
public:
    KXI_JitterMediaPrm() : UINTSclaleTo<float>(-0.01f, 1.0f, 0) {}
};

// Emission rates of the particle generators; they set scale and value. The
// counter keeps the generator time of its last emission (0 at start).
class PerSecondCounter : public UINTSclaleTo<float> {
public:
    PerSecondCounter() = default;

    float lastEmission = 0.0f;
};

// A rate whose count per step is drawn at random by its owner.
class PerSecondCounterRnd : public PerSecondCounter {
public:
    PerSecondCounterRnd() = default;
};

// A value with a jitter percentage. A jittered draw with r in [0, 1] is
// value x (r x (1 - j) + j), j = 1 - jitter / 100: jitter 0 % gives the
// value itself, 100 % a value uniformly between 0 and the value.
class KXI_JitterParam : public UINTSclaleTo<float> {
public:
    KXI_JitterParam() : UINTSclaleTo<float>(1.0f, 0.0f, 0) {}

    // The draw for a given r (the user draws r per particle, ray, launch).
    float Jittered(float r) const;
    // The draw with r = rand() / 32767 from the scene's random sequence.
    float DrawJittered() const;

    KXI_JitterMediaPrm jitter;
};

// r = rand() / 32767 from the scene's random sequence: uniform in [0, 1].
float DrawRandomUnit();
