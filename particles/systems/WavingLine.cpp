#include "particles/systems/WavingLine.h"

#include <cmath>
#include <limits>

#include "platform/math/MathFunctions.h"
#include "render/ABRender.h"

namespace {

constexpr float kPi = 3.1415927f;
// The second wave's speed relative to the first.
constexpr float kSecondWaveRate = 1.7f;

} // namespace

// ---- straight line ----------------------------------------------------------------

DS_StraightLine::~DS_StraightLine() = default;

void DS_StraightLine::ReadStraightLineSection(ArchiveReader ar)
{
    ar.ReadSectionHeader();
    for (MediaParamT<math::Vec3>* point : {&start, &end}) {
        math::Vec3 value;
        value.x = ar.ReadFloat();
        value.y = ar.ReadFloat();
        value.z = ar.ReadFloat();
        point->StoreValue(value);
    }
    Load(ar);
}

void DS_StraightLine::Save(ArchiveWriter ar) const
{
    ar->WriteWideString(kxi_string(kSectionName));
    ar->WriteVersion(kWrittenVersion);
    for (const MediaParamT<math::Vec3>* point : {&start, &end}) {
        ar->WriteFloat(point->value.x);
        ar->WriteFloat(point->value.y);
        ar->WriteFloat(point->value.z);
    }
    KXI_ParticleSystemCtrl::Save(ar);
}

// ---- waving line ------------------------------------------------------------------

KXI_WavingLine::~KXI_WavingLine() = default;

std::unique_ptr<KXI_ParticleSystemCtrl> KXI_WavingLine::Clone() const
{
    return std::make_unique<KXI_WavingLine>(*this);
}

InnerParticleList::Handles KXI_WavingLine::Emit(float)
{
    return {};
}

int KXI_WavingLine::CountScreenPasses() const
{
    return CountLineScreenPasses(lineLayer, params, showParticles.value != 0);
}

void KXI_WavingLine::ComputeAxis()
{
    const math::Vec3 d = end.value - start.value;
    length = math::Vec3Length(d);
    axis = length > 0.0f ? d / length : d;
    normal = {-axis.y, axis.x, 0.0f};
}

void KXI_WavingLine::CreateHead()
{
    ParticleHandle& head = particles.Create(end.value);
    if (head)
        params.SetupParticle(*head,
                             ParticleRoutineHandle(new IPR_ConstantAge(std::numeric_limits<float>::infinity())));
}

void KXI_WavingLine::AttachRenderObject(KXI_ParticleSystemMech* mech)
{
    KXI_ParticleSystemCtrl::AttachRenderObject(mech);
    if (mech)
        mech->ResizeBatches(2);
    lineLayer.Load();
    ComputeAxis();
    CreateHead();
}

void KXI_WavingLine::Restart()
{
    KXI_ParticleSystemCtrl::Restart();
    if (particles.Empty() && RenderObject())
        CreateHead();
}

math::Vec3 KXI_WavingLine::WavePoint(int i, float t) const
{
    const float g = static_cast<float>(i) / static_cast<float>(segments);
    const auto a = static_cast<float>(amplitude.value);
    const float k = secondWave.Scaled();
    const float first = std::sin(g * kPi / 2.0f) * a * std::sin(t);
    const float second = (std::cos(g * kPi) - std::cos(2.0f * g * kPi)) * 0.5f * a * k * std::cos(kSecondWaveRate * t);
    return start.value + axis * (length * g) + normal * (second + first);
}

math::Vec3 KXI_WavingLine::WaveDirection(int i, float t) const
{
    const float g = static_cast<float>(i) / static_cast<float>(segments);
    const auto a = static_cast<float>(amplitude.value);
    const float k = secondWave.Scaled();
    const float first = std::cos(g * kPi / 2.0f) * (a * 0.5f * kPi) * std::sin(t);
    const float second = (std::sin(g * kPi) * kPi - std::sin(2.0f * g * kPi) * 2.0f * kPi) * 0.5f * a * k *
                         std::cos(kSecondWaveRate * t);
    return UnitVector(axis * length + normal * first - normal * second);
}

LinePoint KXI_WavingLine::WaveLinePoint(const math::Vec3& position, const math::Vec3& direction, float x,
                                        float v) const
{
    LinePoint point;
    point.position = position;
    point.direction = direction;
    point.v = v;
    const float alpha = lineLayer.OpacityByte() * LineEnvelopeFactor(x, lineLayer.block.opacityEnvelope);
    SetLinePointColour(point, lineLayer.FirstColour(), alpha);
    return point;
}

void KXI_WavingLine::BuildWave(float t)
{
    KXI_ParticleSystemMech* mech = RenderObject();
    if (!mech)
        return;
    QuadBatchVertex* vertices = LockLineBatch(*mech, 0, segments);
    if (!vertices)
        return;
    const float repeat = lineLayer.RepeatLength(width.value);
    const float w = width.Scaled();
    InnerParticle* head = particles.Empty() ? nullptr : particles.Particles().front().get();

    LinePoint previous = WaveLinePoint(WavePoint(0, t), WaveDirection(0, t), 0.0f, 0.0f);
    SetLinePointEdges(previous, 0.5f * w * LineEnvelopeFactor(0.0f, sizeEnvelope));
    float arc = 0.0f;
    std::int32_t written = 0;
    for (int g = 0; g < segments; ++g) {
        const math::Vec3 direction = WaveDirection(g, t);
        if (head)
            head->velocity = direction;
        const math::Vec3 next = WavePoint(g + 1, t);
        arc += math::Vec3Length(next - previous.position);
        if (arc > length) {
            // Cut where the arc reaches the straight length.
            LinePoint last = WaveLinePoint(next - direction * (arc - length), direction, 1.0f,
                                           LineLayerParams::TexV(length, repeat));
            BuildLineQuad(previous, last, w * LineEnvelopeFactor(1.0f, sizeEnvelope), vertices + 4 * written);
            ++written;
            if (head)
                head->position = last.position;
            break;
        }
        const float x = LinePosition(arc, length);
        LinePoint point = WaveLinePoint(next, direction, x, LineLayerParams::TexV(arc, repeat));
        BuildLineQuad(previous, point, w * LineEnvelopeFactor(x, sizeEnvelope), vertices + 4 * written);
        ++written;
        if (head)
            head->position = next;
        previous = point;
    }
    mech->Batch(0)->UnlockQuads();
    mech->SetQuadCount(0, written);
}

void KXI_WavingLine::PlaceHead(InnerParticle& head) const
{
    math::MatrixRotationZ(&head.matrix, -static_cast<float>(params.startAngle.value) * kPi / 180.0f);
    head.values[InnerParticle::kSpinFactor] = params.spinDirection.value != 0 ? -1.0f : 1.0f;
    const math::Vec3 d = head.velocity;
    const float side = headSideOffset.value;
    const float forward = headForwardOffset.value;
    head.position += math::Vec3{-d.y * side + d.x * forward, d.x * side + d.y * forward, d.z * forward};
}

void KXI_WavingLine::Update(float localTime)
{
    speed.Advance(localTime);
    BuildWave(speed.Total());
    params.AdvanceTime(localTime);
    AdvanceParticles(speed.Step());
    if (!particles.Empty() && particles.Particles().front())
        PlaceHead(*particles.Particles().front());
    if (KXI_ParticleSystemMech* mech = RenderObject())
        params.BuildQuads(particles, *mech, params.particleSize.value, 1);
}

void KXI_WavingLine::Render(DS_ABRender& renderer, int& counter)
{
    if (KXI_ParticleSystemMech* mech = RenderObject())
        RenderLineAndHead(*mech, lineLayer, 0, params, 1, showParticles.value != 0, renderer, counter);
}

void KXI_WavingLine::ReadBody(ArchiveReader ar, std::int32_t)
{
    width.SetChangedValue(ar.ReadDword(), nullptr);
    ReadPercentParamQuad(ar, sizeEnvelope);
    ReadLineLayer(ar, lineLayer);
    amplitude.StoreValue(ar.ReadDword());
    secondWave.SetChangedValue(ar.ReadDword(), nullptr);
    showParticles.StoreValue(ar.ReadInt());
    headSideOffset.StoreValue(ar.ReadFloat());
    headForwardOffset.StoreValue(ar.ReadFloat());
    ReadStraightLineSection(ar);
}

void KXI_WavingLine::Save(ArchiveWriter ar) const
{
    ar->WriteWideString(kxi_string(kClassName));
    ar->WriteVersion(kWrittenVersion);
    ar->WriteDword(width.value);
    WritePercentParamQuad(ar, sizeEnvelope);
    WriteLineLayer(ar, lineLayer);
    ar->WriteDword(amplitude.value);
    ar->WriteDword(secondWave.value);
    ar->WriteLong(showParticles.value);
    ar->WriteFloat(headSideOffset.value);
    ar->WriteFloat(headForwardOffset.value);
    DS_StraightLine::Save(ar);
}
