#include "particles/systems/ShootingLine.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "particles/engine/PathParticleSystems.h"
#include "platform/crt/Random.h"
#include "platform/math/MathFunctions.h"
#include "render/ABRender.h"

namespace {

constexpr float kFullTurn = 6.2831855f;

} // namespace

KXI_ShootingLine::KXI_ShootingLine() = default;

KXI_ShootingLine::KXI_ShootingLine(const KXI_ShootingLine& other)
    : KXI_ParticleSystemCtrl(other), path(other.path), lineLayer(other.lineLayer), emitter(other.emitter),
      shotSpeed(other.shotSpeed), waveAmplitude(other.waveAmplitude), tailDelay(other.tailDelay),
      widthEnvelope(other.widthEnvelope), width(other.width), waveFrequency(other.waveFrequency),
      showParticles(other.showParticles), unusedFirst(other.unusedFirst), unusedSecond(other.unusedSecond),
      samples(other.samples), cursor(other.cursor), pairs(other.pairs)
{
}

// The shots' routines point at this object's path and parameters: they go
// before the members do.
KXI_ShootingLine::~KXI_ShootingLine()
{
    pairs.clear();
    particles.Clear();
}

std::unique_ptr<KXI_ParticleSystemCtrl> KXI_ShootingLine::Clone() const
{
    return std::make_unique<KXI_ShootingLine>(*this);
}

int KXI_ShootingLine::CountScreenPasses() const
{
    return CountLineScreenPasses(lineLayer, params, showParticles.value != 0);
}

void KXI_ShootingLine::AttachRenderObject(KXI_ParticleSystemMech* mech)
{
    KXI_ParticleSystemCtrl::AttachRenderObject(mech);
    if (mech)
        mech->ResizeBatches(2);
    lineLayer.Load();
    path.RebuildCurve();
    // A list of this object's own: a copy made before attach shared it.
    samples = MakeSafePtr<PathSampleList>(SampleBSplinePath(path, kLineStepsPerSegment, false));
    cursor = NewPathCursor(samples);
}

float KXI_ShootingLine::GetPreRunDuration() const
{
    return path.length / shotSpeed.Scaled();
}

void KXI_ShootingLine::Restart()
{
    if (timing.Selector() != 0) {
        particles.Clear();
        return;
    }
    const float duration = GetPreRunDuration();
    if (!std::isfinite(duration))
        return;
    float elapsed = 0.0f;
    for (int steps = 0; steps < kMaxPreRunSteps && elapsed < duration; ++steps) {
        AdvanceParticles(kPreRunStep);
        for (const ParticleHandlePair& pair : pairs)
            pair.head->Step(kPreRunStep);
        elapsed += kPreRunStep;
    }
}

void KXI_ShootingLine::AddWaveRoutines(InnerParticle& particle, float phase)
{
    particle.AddRoutine(ParticleRoutineHandle(new IPR_Harmonic(particle, InnerParticle::kSidewaysMultiplier, 1.0f,
                                                                phase, 0.0f, waveFrequency.Scaled())),
                        false);
    particle.AddRoutine(ParticleRoutineHandle(new IPR_PathPoint(cursor, &waveAmplitude)), false);
}

void KXI_ShootingLine::StartShot(float dt)
{
    const math::Vec3 start = path.points.front()->value;
    ParticleHandle shot = particles.Create(start);
    const float phase = crt::RandomUnit() * kFullTurn;
    const float sideways = crt::RandomUnit() * 2.0f - 1.0f;
    params.SetupParticle(*shot, ParticleRoutineHandle(new IPR_ConstPath(&path, &shotSpeed)));
    shot->values[InnerParticle::kSidewaysFactor] = sideways;
    AddWaveRoutines(*shot, phase);

    ParticleHandlePair pair{MakeSafePtr<InnerParticle>(), MakeSafePtr<InnerParticle>(), phase};
    pair.head->values[InnerParticle::kSidewaysFactor] = sideways;
    pair.tail->values[InnerParticle::kSidewaysFactor] = sideways;
    pair.head->SetMainRoutine(
        ParticleRoutineHandle(new IPR_ConstDistance(std::numeric_limits<float>::infinity(), &shotSpeed)));
    AddWaveRoutines(*pair.head, phase);
    AddWaveRoutines(*pair.tail, phase);
    pairs.push_back(std::move(pair));

    shot->Step(dt);
}

InnerParticleList::Handles KXI_ShootingLine::Emit(float dt)
{
    if (path.GetPointCount() < 2 || !cursor)
        return {};
    const std::int32_t due = emitter.CountDue(dt * LineTimelineLevel(timing));
    for (std::int32_t i = 0; i < due && particles.Room() > 0; ++i)
        StartShot(dt);
    return {};
}

float KXI_ShootingLine::ShotAlpha(float age, float headAge) const
{
    const float position = 1.0f - LinePosition(headAge - age, static_cast<float>(tailDelay.value));
    return lineLayer.OpacityByte() * LineEnvelopeFactor(position, lineLayer.block.opacityEnvelope);
}

LinePoint KXI_ShootingLine::MakeLinePoint(const InnerParticle& particle, float headAge) const
{
    LinePoint point;
    point.position = particle.position;
    point.direction = UnitVector(particle.velocity);
    SetLinePointColour(point, lineLayer.FirstColour(), ShotAlpha(particle.Age(), headAge));
    point.v = LineLayerParams::TexV(particle.Age(), lineLayer.RepeatLength(width.value));
    return point;
}

float KXI_ShootingLine::SampleDistance(std::int32_t index) const
{
    const auto count = static_cast<std::int32_t>(samples->size());
    if (index <= 0)
        return 0.0f;
    if (index >= count - 1)
        return path.length;
    return (*samples)[static_cast<std::size_t>(index - 1)].cumulative;
}

std::int32_t KXI_ShootingLine::AdvancePairs(float dt)
{
    const float length = path.length;
    const auto delay = static_cast<float>(tailDelay.value);
    std::int64_t quads = 0;
    for (auto it = pairs.begin(); it != pairs.end();) {
        it->head->Step(dt);
        const float tailAge = std::max(0.0f, it->head->Age() - delay);
        if (tailAge > length) {
            it = pairs.erase(it);
            continue;
        }
        it->tail->values[InnerParticle::kAge] = tailAge;
        it->tail->Step(0.0f);
        quads += std::max(1, it->head->pathPointIndex - it->tail->pathPointIndex + 1);
        ++it;
    }
    return static_cast<std::int32_t>(std::min<std::int64_t>(quads, kMaxLineQuads));
}

std::int32_t KXI_ShootingLine::BuildShotStrip(const ParticleHandlePair& pair, QuadBatchVertex* out,
                                              std::int32_t room) const
{
    const InnerParticle& head = *pair.head;
    const InnerParticle& tail = *pair.tail;
    const float headAge = head.Age();
    const float growth = 1.0f - LinePosition(headAge - tail.Age(), static_cast<float>(tailDelay.value));
    const float w = width.Scaled() * LineEnvelopeFactor(growth, widthEnvelope);

    InnerParticle walker;
    walker.pathPointIndex = tail.pathPointIndex + 1;
    walker.values[InnerParticle::kSidewaysFactor] = tail.values[InnerParticle::kSidewaysFactor];
    walker.AddRoutine(ParticleRoutineHandle(new IPR_Harmonic(walker, InnerParticle::kSidewaysMultiplier, 1.0f,
                                                              pair.phase, 0.0f, waveFrequency.Scaled())),
                      false);
    walker.AddRoutine(ParticleRoutineHandle(new IPR_IndexedPathPoint(samples, &waveAmplitude)), false);

    LinePoint previous = MakeLinePoint(tail, headAge);
    const auto makeEdgesTowards = [&](const LinePoint& next) {
        if (previous.edgeReady != 0.0f)
            return;
        // A point on top of the next keeps its own direction, so a shot of
        // no length still has its full width.
        const math::Vec3 towards = UnitVector(next.position - previous.position);
        if (math::Vec3LengthSq(towards) > 0.0f)
            previous.direction = towards;
        SetLinePointEdges(previous, 0.5f * w);
    };
    std::int32_t written = 0;
    // One quad stays for the end point.
    while (walker.pathPointIndex <= head.pathPointIndex && written < room - 1) {
        walker.values[InnerParticle::kAge] = SampleDistance(walker.pathPointIndex);
        walker.Step(0.0f);
        LinePoint next = MakeLinePoint(walker, headAge);
        makeEdgesTowards(next);
        BuildLineQuadSegmentDirection(previous, next, w, out + 4 * written);
        previous = next;
        ++written;
        ++walker.pathPointIndex;
    }
    if (written >= room)
        return written;
    LinePoint end;
    if (headAge < path.length) {
        end = MakeLinePoint(head, headAge);
    } else {
        walker.pathPointIndex = static_cast<std::int32_t>(samples->size()) - 1;
        walker.values[InnerParticle::kAge] = path.length;
        walker.Step(0.0f);
        end = MakeLinePoint(walker, headAge);
    }
    makeEdgesTowards(end);
    end.direction = previous.direction;
    BuildLineQuadOwnDirection(previous, end, w, out + 4 * written);
    return written + 1;
}

void KXI_ShootingLine::BuildRibbons(std::int32_t quads)
{
    KXI_ParticleSystemMech* mech = RenderObject();
    QuadBatchVertex* vertices = LockLineBatch(*mech, 1, quads);
    if (!vertices)
        return;
    std::int32_t written = 0;
    for (const ParticleHandlePair& pair : pairs) {
        if (written >= quads)
            break;
        written += BuildShotStrip(pair, vertices + 4 * written, quads - written);
    }
    mech->Batch(1)->UnlockQuads();
    mech->SetQuadCount(1, written);
}

void KXI_ShootingLine::Update(float localTime)
{
    speed.Advance(localTime);
    params.AdvanceTime(localTime);
    const float dt = speed.Step();
    AdvanceParticles(dt);
    KXI_ParticleSystemMech* mech = RenderObject();
    if (!mech)
        return;
    params.BuildQuads(particles, *mech, params.particleSize.value, 0);
    BuildRibbons(AdvancePairs(dt));
}

void KXI_ShootingLine::Render(DS_ABRender& renderer, int& counter)
{
    if (KXI_ParticleSystemMech* mech = RenderObject())
        RenderLineAndHead(*mech, lineLayer, 1, params, 0, showParticles.value != 0, renderer, counter);
}

// ---- stored form ------------------------------------------------------------------

void KXI_ShootingLine::ReadShootingLine(ArchiveReader ar, std::int32_t version)
{
    path.ReadPoints(ar);
    ReadLineLayer(ar, lineLayer);
    emitter.minimum.StoreValue(ar.ReadFloat());
    emitter.maximum.StoreValue(ar.ReadFloat());
    shotSpeed.SetChangedValue(ar.ReadDword(), nullptr);
    waveAmplitude.StoreValue(ar.ReadDword());
    tailDelay.StoreValue(ar.ReadDword());
    width.SetChangedValue(ar.ReadDword(), nullptr);
    ReadPercentParamQuad(ar, widthEnvelope);
    waveFrequency.SetChangedValue(ar.ReadDword(), nullptr);
    showParticles.StoreValue(ar.ReadInt());
    unusedFirst.StoreValue(ar.ReadFloat());
    unusedSecond.StoreValue(ar.ReadFloat());
    Load(ar);
    if (version == 1)
        ExchangeBlocks(lineLayer.block, params);
}

void KXI_ShootingLine::WriteShootingLine(ArchiveWriter ar) const
{
    ar->WriteWideString(kxi_string(kClassName));
    ar->WriteVersion(kWrittenVersion);
    WriteSplinePoints(ar, path);
    WriteLineLayer(ar, lineLayer);
    ar->WriteFloat(emitter.minimum.value);
    ar->WriteFloat(emitter.maximum.value);
    ar->WriteDword(shotSpeed.value);
    ar->WriteDword(waveAmplitude.value);
    ar->WriteDword(tailDelay.value);
    ar->WriteDword(width.value);
    WritePercentParamQuad(ar, widthEnvelope);
    ar->WriteDword(waveFrequency.value);
    ar->WriteLong(showParticles.value);
    ar->WriteFloat(unusedFirst.value);
    ar->WriteFloat(unusedSecond.value);
    KXI_ParticleSystemCtrl::Save(ar);
}

void KXI_ShootingLine::ReadBody(ArchiveReader ar, std::int32_t version)
{
    ReadShootingLine(ar, version);
}

void KXI_ShootingLine::Save(ArchiveWriter ar) const
{
    WriteShootingLine(ar);
}

// ---- tears ------------------------------------------------------------------------

KXI_Tears::~KXI_Tears() = default;

std::unique_ptr<KXI_ParticleSystemCtrl> KXI_Tears::Clone() const
{
    return std::make_unique<KXI_Tears>(*this);
}

void KXI_Tears::ReadBody(ArchiveReader ar, std::int32_t)
{
    const SectionHeader header = ar.ReadSectionHeader();
    ReadShootingLine(ar, header.version);
}

void KXI_Tears::Save(ArchiveWriter ar) const
{
    ar->WriteWideString(kxi_string(kClassName));
    ar->WriteVersion(kWrittenVersion);
    WriteShootingLine(ar);
}
