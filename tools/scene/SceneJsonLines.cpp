#include "tools/scene/SceneJsonLines.h"

#include <string>

#include "particles/systems/PathLines.h"
#include "particles/systems/ShootingLine.h"
#include "particles/systems/WavingLine.h"
#include "platform/math/MathFunctions.h"
#include "tools/scene/SceneJson.h"

namespace {

struct SampledPath {
    std::size_t samples = 0;
    float length = 0.0f;
};

// The samples and length the running copy gets at attach (a description is
// never sampled).
SampledPath SamplePath(const SplinePath& path)
{
    SplinePath copy(path);
    const PathSampleList samples = SampleBSplinePath(copy, kLineStepsPerSegment, false);
    return {samples.size(), copy.length};
}

void WriteLayer(std::ostringstream& out, const LineLayerParams& layer)
{
    const ParticleSystemParams& block = layer.block;
    const DS_NamedFileLinkData& set = block.textureLink.value;
    out << ", \"layer\": {\"blend\": " << block.blendMode.value << ", \"glow\": " << block.glowMode.value
        << ", \"textures\": [";
    for (std::size_t i = 0; i < set.pictures.size(); ++i)
        out << (i ? ", " : "") << JsonLink(set.pictures[i]);
    out << "], \"effect\": " << JsonLink(block.effectLink) << ", \"colours\": " << block.colours.colors.value.size()
        << "}";
}

// `pairName` names the two floats: the head offsets, or the shooting line's
// two values that playback does not read.
void WriteCommon(std::ostringstream& out, int points, SampledPath sampled, std::uint32_t width,
                 std::int32_t showParticles, const char* pairName, float first, float second,
                 const LineLayerParams& layer)
{
    out << ", \"line\": {\"points\": " << points << ", \"samples\": " << sampled.samples
        << ", \"length\": " << JsonNumber(sampled.length) << ", \"width\": " << width
        << ", \"showParticles\": " << showParticles << ", \"" << pairName << "\": [" << JsonNumber(first) << ", "
        << JsonNumber(second) << "]";
    WriteLayer(out, layer);
}

void WritePathLine(std::ostringstream& out, const KXI_StaticLineCtrl& line)
{
    WriteCommon(out, line.path.GetPointCount(), SamplePath(line.path), line.width.value, line.showParticles.value, "headOffsets",
                line.headSideOffset.value, line.headForwardOffset.value, line.lineLayer);
    if (const auto* growing = dynamic_cast<const KXI_GrovingLine*>(&line))
        out << ", \"retract\": " << growing->retractFromStart.value;
    if (const auto* sliding = dynamic_cast<const KXI_SlidingLine*>(&line))
        out << ", \"pieceLength\": " << sliding->pieceLength.value << ", \"directionMode\": "
            << sliding->directionMode.value;
    out << "}";
}

void WriteShots(std::ostringstream& out, const KXI_ShootingLine& shots)
{
    SplinePath copy(shots.path);
    copy.RebuildCurve();
    WriteCommon(out, shots.path.GetPointCount(), SamplePath(copy), shots.width.value, shots.showParticles.value, "floats",
                shots.unusedFirst.value, shots.unusedSecond.value, shots.lineLayer);
    out << ", \"speed\": " << shots.shotSpeed.value << ", \"amplitude\": " << shots.waveAmplitude.value
        << ", \"tailDelay\": " << shots.tailDelay.value << ", \"intervals\": ["
        << JsonNumber(shots.emitter.minimum.value) << ", " << JsonNumber(shots.emitter.maximum.value)
        << "], \"frequency\": " << shots.waveFrequency.value << "}";
}

void WriteWaving(std::ostringstream& out, const KXI_WavingLine& waving)
{
    const SampledPath straight{static_cast<std::size_t>(KXI_WavingLine::kSegments) + 1,
                               math::Vec3Length(waving.end.value - waving.start.value)};
    WriteCommon(out, 2, straight, waving.width.value, waving.showParticles.value, "headOffsets",
                waving.headSideOffset.value, waving.headForwardOffset.value, waving.lineLayer);
    out << ", \"start\": " << JsonPoint(waving.start.value) << ", \"end\": " << JsonPoint(waving.end.value)
        << ", \"amplitude\": " << waving.amplitude.value << ", \"secondWave\": " << waving.secondWave.value << "}";
}

} // namespace

void WriteLineFields(std::ostringstream& out, const KXI_ParticleSystemCtrl& system)
{
    if (const auto* line = dynamic_cast<const KXI_StaticLineCtrl*>(&system))
        WritePathLine(out, *line);
    else if (const auto* shots = dynamic_cast<const KXI_ShootingLine*>(&system))
        WriteShots(out, *shots);
    else if (const auto* waving = dynamic_cast<const KXI_WavingLine*>(&system))
        WriteWaving(out, *waving);
}
