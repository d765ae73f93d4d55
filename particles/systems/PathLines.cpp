#include "particles/systems/PathLines.h"

#include "render/Timing.h"
#include "render/TimingSmart.h"

namespace {

// What the lines read of the object's timeline; a missing timeline is on,
// at level 1, with no length.
struct TimelineReading {
    float level = 1.0f;
    float progress = 0.0f;
    float length = 0.0f;
    int state = kTimingOn;
};

TimelineReading ReadTimeline(const KXI_SmartTiming& timing)
{
    TimelineReading reading;
    if (const KXI_Timing* timeline = timing.CurrentTimeline()) {
        reading.level = timeline->GetValue();
        reading.progress = timeline->GetPhaseProgress();
        reading.length = timeline->GetLength();
        reading.state = timeline->GetState();
    }
    return reading;
}

} // namespace

// ---- growing line -----------------------------------------------------------------

KXI_GrovingLine::~KXI_GrovingLine() = default;

std::unique_ptr<KXI_ParticleSystemCtrl> KXI_GrovingLine::Clone() const
{
    return std::make_unique<KXI_GrovingLine>(*this);
}

void KXI_GrovingLine::Update(float localTime)
{
    KXI_StaticLineCtrl::Update(localTime);
    const TimelineReading timeline = ReadTimeline(timing);
    const bool notOff = timeline.state != kTimingOff;
    if ((timeline.length == 0.0f && notOff) || (lastState == kTimingOff && notOff))
        RestartHead(timeline.length);
    lastState = timeline.state;
    const float length = path.length;
    grownLength = timeline.level * length;
    if (retractFromStart.value != 0 && timeline.state == kTimingFalling)
        BuildStrip(length - grownLength, length);
    else
        BuildStrip(0.0f, grownLength);
}

float KXI_GrovingLine::GetSizeAt(float x) const
{
    const float length = path.length;
    const float size = width.Scaled() * LineEnvelopeFactor(LinePosition(x, length), sizeEnvelope);
    return size * LineEnvelopeFactor(LinePosition(grownLength - x, length), startSizeEnvelope);
}

float KXI_GrovingLine::GetAlphaAt(float x) const
{
    const float length = path.length;
    const float alpha = lineLayer.OpacityByte() * LineEnvelopeFactor(LinePosition(x, length), alphaEnvelope);
    return alpha * LineEnvelopeFactor(LinePosition(grownLength - x, length), startAlphaEnvelope);
}

void KXI_GrovingLine::ReadBody(ArchiveReader ar, std::int32_t version)
{
    ReadPercentParamQuad(ar, startSizeEnvelope);
    ReadPercentParamQuad(ar, startAlphaEnvelope);
    retractFromStart.StoreValue(version >= 2 ? ar.ReadInt() : 0);
    ReadStaticLineSection(ar);
}

void KXI_GrovingLine::Save(ArchiveWriter ar) const
{
    ar->WriteWideString(kxi_string(kClassName));
    ar->WriteVersion(kWrittenVersion);
    WritePercentParamQuad(ar, startSizeEnvelope);
    WritePercentParamQuad(ar, startAlphaEnvelope);
    ar->WriteLong(retractFromStart.value);
    KXI_StaticLineCtrl::Save(ar);
}

// ---- sliding line -----------------------------------------------------------------

KXI_SlidingLine::~KXI_SlidingLine() = default;

std::unique_ptr<KXI_ParticleSystemCtrl> KXI_SlidingLine::Clone() const
{
    return std::make_unique<KXI_SlidingLine>(*this);
}

void KXI_SlidingLine::StartRun(float phaseLength)
{
    armed = false;
    if (directionMode.value == 1) {
        reverse = reverse != 0 ? 0 : 1;
        ResamplePath();
    } else if (reverse != 0) {
        reverse = 0;
        ResamplePath();
    }
    // The head reaches the end of the path when the piece's tail leaves it.
    const float travel = path.length + static_cast<float>(pieceLength.value);
    RestartHead(travel > 0.0f ? phaseLength * path.length / travel : 0.0f);
}

void KXI_SlidingLine::Update(float localTime)
{
    KXI_StaticLineCtrl::Update(localTime);
    const TimelineReading timeline = ReadTimeline(timing);
    if (armed && timeline.state == kTimingOn)
        StartRun(timeline.length);
    if (!armed && timeline.state != kTimingOn)
        armed = true;
    const float piece = static_cast<float>(pieceLength.value);
    const float head = timeline.progress * (piece + path.length);
    const float from = head - piece < 0.0f ? 0.0f : head - piece;
    if (head > path.length) {
        if (const ParticleHandle particle = GetHead())
            particle->values[InnerParticle::kOpacityValue] = 0.0f;
    }
    BuildStrip(from, head);
}

float KXI_SlidingLine::GetSizeAt(float x) const
{
    const float position = 1.0f - LinePosition(x, static_cast<float>(pieceLength.value));
    return width.Scaled() * LineEnvelopeFactor(position, sizeEnvelope);
}

float KXI_SlidingLine::GetAlphaAt(float x) const
{
    const float position = 1.0f - LinePosition(x, static_cast<float>(pieceLength.value));
    return lineLayer.OpacityByte() * LineEnvelopeFactor(position, alphaEnvelope);
}

void KXI_SlidingLine::ReadBody(ArchiveReader ar, std::int32_t)
{
    pieceLength.StoreValue(ar.ReadDword());
    directionMode.StoreValue(ar.ReadInt());
    ReadStaticLineSection(ar);
}

void KXI_SlidingLine::Save(ArchiveWriter ar) const
{
    ar->WriteWideString(kxi_string(kClassName));
    ar->WriteVersion(kWrittenVersion);
    ar->WriteDword(pieceLength.value);
    ar->WriteLong(directionMode.value);
    KXI_StaticLineCtrl::Save(ar);
}
