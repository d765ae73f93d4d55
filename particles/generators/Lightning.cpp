#include "particles/generators/Lightning.h"

#include <algorithm>
#include <cmath>

#include "objectmodel/SmartColor.h"
#include "particles/engine/PerlinNoise.h"
#include "particles/generators/GlowComposite.h"
#include "particles/generators/ParticlesObj.h"
#include "particles/generators/TimelineLevel.h"
#include "platform/crt/Random.h"
#include "render/LegacyTimeline.h"
#include "render/Timing.h"

namespace {

constexpr float kRandMax = 32767.0f;
// Corner cutting keeps this much of each segment from its start.
constexpr float kCornerCut = 0.67f;
// The end piece reaches this many core widths past the last node.
constexpr float kEndPieceLength = 0.7f;
// The flicker noise: octaves, time scale, period, persistence.
constexpr std::int32_t kFlickerOctaves = 4;
constexpr double kFlickerTimeScale = 1000.0;
constexpr double kFlickerPeriod = 75.0;
constexpr double kFlickerPersistence = 0.5;
// The rising bolt lights up from its start: the offset of the phase.
constexpr float kRisingOffset = 0.666f;

math::Vec3 Add(const math::Vec3& a, const math::Vec3& b)
{
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}

math::Vec3 Sub(const math::Vec3& a, const math::Vec3& b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

math::Vec3 Mul(const math::Vec3& a, float s)
{
    return {a.x * s, a.y * s, a.z * s};
}

float Length(const math::Vec3& v)
{
    return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
}

// The unit vector of v; the zero vector for a zero v (never NaN).
math::Vec3 Unit(const math::Vec3& v)
{
    const float length = Length(v);
    return length > 0.0f ? Mul(v, 1.0f / length) : math::Vec3{};
}

// -1 when the next value of the shared sequence is odd, else +1.
float RandomSign()
{
    return crt::rand() % 2 != 0 ? -1.0f : 1.0f;
}

float RandomUnit()
{
    return static_cast<float>(crt::rand()) / kRandMax;
}

// Repoints quad corners' positions to the midpoint of two corners.
void JoinAt(QuadBatchVertex& a, QuadBatchVertex& b)
{
    const float x = (a.x + b.x) / 2.0f;
    const float y = (a.y + b.y) / 2.0f;
    const float z = (a.z + b.z) / 2.0f;
    a.x = b.x = x;
    a.y = b.y = y;
    a.z = b.z = z;
}

void SetTexCoords(GenQuad& quad, float u0, float v0, float u1, float v1, float u2, float v2, float u3, float v3)
{
    quad[0].u = u0, quad[0].v = v0;
    quad[1].u = u1, quad[1].v = v1;
    quad[2].u = u2, quad[2].v = v2;
    quad[3].u = u3, quad[3].v = v3;
}

void SetColours(GenQuad& quad, std::uint32_t start, std::uint32_t end)
{
    quad[0].colour = quad[1].colour = start;
    quad[2].colour = quad[3].colour = end;
}

} // namespace

// ---- DS_StringGenerator -----------------------------------------------------------

void DS_StringGenerator::Save(ArchiveWriter ar) const
{
    ar->WriteWideString(kxi_string(kSectionName));
    ar->WriteVersion(kWrittenVersion);
    for (const math::Vec3& point : {startPoint.value, endPoint.value}) {
        ar->WriteFloat(point.x);
        ar->WriteFloat(point.y);
        ar->WriteFloat(point.z);
    }
    DS_TexParticleGenerator::Save(ar);
}

void DS_StringGenerator::ReadStringSection(ArchiveReader ar)
{
    ar.ReadSectionHeader();
    for (MediaParamT<math::Vec3>* point : {&startPoint, &endPoint}) {
        math::Vec3 p;
        p.x = ar.ReadFloat();
        p.y = ar.ReadFloat();
        p.z = ar.ReadFloat();
        point->StoreValue(p);
    }
    ReadTexGeneratorSection(ar);
}

// ---- DS_LightningGN: stored form --------------------------------------------------------

void DS_LightningGN::ReadBody(ArchiveReader ar, std::int32_t version)
{
    coreWidth.StoreValue(ar.ReadDword());
    passes.StoreValue(ar.ReadDword());
    jaggedness.SetChangedValue(ar.ReadDword(), nullptr);
    seed.StoreValue(ar.ReadDword());
    branchLength.SetChangedValue(ar.ReadDword(), nullptr);
    branchAngle.SetChangedValue(ar.ReadDword(), nullptr);
    endWidth.SetChangedValue(ar.ReadDword(), nullptr);
    branches.StoreValue(ar.ReadDword());
    subBranches.StoreValue(ar.ReadDword());
    twigs.StoreValue(ar.ReadDword());
    std::array<std::uint32_t, 7> legacy{};
    if (version < 2)
        for (std::uint32_t& value : legacy)
            value = ar.ReadDword();
    flicker.SetChangedValue(ar.ReadDword(), nullptr);
    glowWidth.StoreValue(ar.ReadDword());
    randomFlag.StoreValue(ar.ReadLong());
    ReadStringSection(ar);
    // After the base sections: their timing record would otherwise replace
    // the timeline the legacy values describe.
    if (version == kLegacyTimingVersion) {
        const auto [fadeIn, fadeOut, on, offMin, offMax, unused1, unused2] = legacy;
        (void)unused1, (void)unused2;
        InstallLegacyRandomTimeline(timing, {fadeIn / kLegacyTimeDivisor, fadeOut / kLegacyTimeDivisor,
                                             on / kLegacyTimeDivisor, on / kLegacyTimeDivisor,
                                             offMin / kLegacyTimeDivisor, offMax / kLegacyTimeDivisor});
    }
}

void DS_LightningGN::Save(ArchiveWriter ar) const
{
    ar->WriteWideString(kxi_string(kClassName));
    ar->WriteVersion(kWrittenVersion);
    for (const MediaParamT<std::uint32_t>* field :
         {static_cast<const MediaParamT<std::uint32_t>*>(&coreWidth), &passes,
          static_cast<const MediaParamT<std::uint32_t>*>(&jaggedness), &seed,
          static_cast<const MediaParamT<std::uint32_t>*>(&branchLength),
          static_cast<const MediaParamT<std::uint32_t>*>(&branchAngle),
          static_cast<const MediaParamT<std::uint32_t>*>(&endWidth), &branches, &subBranches, &twigs,
          static_cast<const MediaParamT<std::uint32_t>*>(&flicker), &glowWidth})
        ar->WriteDword(field->value);
    ar->WriteLong(randomFlag.value);
    DS_StringGenerator::Save(ar);
}

std::unique_ptr<DS_ParticleGenerator> DS_LightningGN::Clone() const
{
    return std::make_unique<DS_LightningGN>(*this);
}

std::unique_ptr<KXI_RenderObj> DS_LightningGN::CreateExtraRenderObject()
{
    return CreateRenderObject();
}

// ---- DS_LightningGN: life ------------------------------------------------------------------

void DS_LightningGN::Restart()
{
    DS_StringGenerator::Restart();
    lastTime = 0.0f;
}

void DS_LightningGN::BuildGeometry(DS_ParticlesObj& target)
{
    DS_TexParticleGenerator::BuildGeometry(target);
    Regenerate();
    PrepareMaskSurface();
    target.SetLayerCount(kLayerCount);
    for (std::size_t layer = 0; layer < kLayerCount; ++layer)
        target.ResizeLayer(layer, 0);
}

void DS_LightningGN::Step(float localTime, DS_ParticlesObj& target)
{
    lastTime = localTime;
    if (CurrentTimelineState(*this) == kTimingOff) {
        generated = 0;
    } else if (generated == 0) {
        Regenerate();
        generated = 1;
    }
    FillLayers(target);
}

void DS_LightningGN::Render(DS_ABRender& renderer, DS_ParticlesObj& target)
{
    DrawTwoLayerGlow(*this, renderer, target);
}

// ---- DS_LightningGN: the bolt --------------------------------------------------------------

std::vector<BranchSpec> DS_LightningGN::MakeBranchSpecs() const
{
    const std::uint32_t firstCount = std::min(branches.value, kMaxBranches);
    if (firstCount == 0)
        return {};
    const std::uint32_t secondCount = std::min(subBranches.value, kMaxBranches);
    std::vector<BranchSpec> seconds(secondCount);
    if (secondCount > 0)
        for (std::uint32_t i = 0; i < std::min(twigs.value, kMaxBranches); ++i)
            seconds[static_cast<std::size_t>(crt::rand()) % secondCount].subSpecs.emplace_back();
    std::vector<BranchSpec> firsts(firstCount);
    for (BranchSpec& second : seconds)
        firsts[static_cast<std::size_t>(crt::rand()) % firstCount].subSpecs.push_back(std::move(second));
    return firsts;
}

void DS_LightningGN::Regenerate()
{
    const bool seeded = randomFlag.value == 0;
    // A seeded bolt leaves the shared sequence as if it had drawn one value.
    const int r0 = seeded ? crt::rand() : 0;
    if (seeded)
        crt::srand(seed.value);
    bolt.clear();
    const std::vector<BranchSpec> specs = MakeBranchSpecs();
    const std::int32_t p = std::min(static_cast<std::int32_t>(passes.value), kMaxPasses);
    BuildPath(startPoint.value, endPoint.value, bolt, p, 1.0f, specs, 1.0f);
    if (seeded)
        crt::srand(static_cast<unsigned>(r0));
}

void DS_LightningGN::BuildPath(const math::Vec3& s, const math::Vec3& e, BoltPath& out, std::int32_t p, float width,
                               const std::vector<BranchSpec>& specs, float phase)
{
    std::vector<math::Vec3> points{s, e};
    const float jag = jaggedness.Scaled();
    for (std::int32_t pass = 0; pass < p; ++pass) {
        std::vector<math::Vec3> next;
        next.reserve(points.size() * 2);
        for (std::size_t i = 0; i + 1 < points.size(); ++i) {
            const math::Vec3& a = points[i];
            const math::Vec3& b = points[i + 1];
            const math::Vec3 d = Sub(b, a);
            const float j = RandomUnit() * jag;
            const float sign = RandomSign();
            next.push_back(a);
            next.push_back(Add(Mul(Add(a, b), 0.5f), Mul(math::Vec3{d.y, -d.x, 0.0f}, j * sign)));
        }
        next.push_back(points.back());
        points = std::move(next);
    }
    // Corner cutting: each segment but the first gains its one-third and
    // two-thirds points; the path ends two thirds along its last segment.
    out.clear();
    out.emplace_back().position = points[0];
    const std::size_t n = points.size() - 1;
    for (std::size_t k = 1; k <= n; ++k) {
        out.emplace_back().position = Add(points[k - 1], Mul(Sub(points[k], points[k - 1]), kCornerCut));
        if (k < n)
            out.emplace_back().position = Add(points[k + 1], Mul(Sub(points[k], points[k + 1]), kCornerCut));
    }

    const std::size_t count = out.size();
    std::vector<std::int64_t> attach;
    attach.reserve(specs.size());
    for (std::size_t i = 0; i < specs.size(); ++i)
        attach.push_back(static_cast<std::int64_t>(static_cast<std::size_t>(crt::rand()) % count));

    const float end = endWidth.Scaled();
    float w = end * width;
    const math::Vec3 back = Unit(Sub(s, e));
    const math::Vec3 normal{back.y, -back.x, 0.0f};
    const float angle = branchAngle.Scaled();
    std::int64_t i = static_cast<std::int64_t>(count) - 1;
    for (auto node = out.rbegin(); node != out.rend(); ++node, --i) {
        node->width = w;
        node->phase = phase * static_cast<float>(static_cast<std::int64_t>(count) - 1 - i) /
                      static_cast<float>(count - 1);
        const auto spec = std::find(attach.begin(), attach.end(), i);
        if (spec != attach.end()) {
            const math::Vec3 d = Sub(e, node->position);
            const float sign = RandomSign();
            const float r = 0.5f + 0.5f * RandomUnit();
            const math::Vec3 bend = Add(Mul(d, std::cos(angle)), Mul(normal, sign * Length(d) * std::sin(angle)));
            const math::Vec3 branchEnd = Add(node->position, Mul(bend, branchLength.Scaled() * r));
            BuildPath(node->position, branchEnd, node->branches, p - 1, node->width,
                      specs[static_cast<std::size_t>(spec - attach.begin())].subSpecs, node->phase);
        }
        w = std::min(w + (1.0f - end) * width / static_cast<float>(count), 1.0f);
    }
}

float DS_LightningGN::Level(float b) const
{
    const float v = CurrentTimelineLevel(*this);
    switch (CurrentTimelineState(*this)) {
    case kTimingFalling:
        return v * v;
    case kTimingOn: {
        const double noise = SumPerlinOctaves(kFlickerOctaves, double(lastTime) * kFlickerTimeScale, kFlickerPeriod,
                                              kFlickerPersistence);
        return 1.0f - static_cast<float>(noise + 1.0) * flicker.Scaled() * 0.5f;
    }
    case kTimingRising:
        return v > 1.0f - b ? 1.0f : (v + (b - kRisingOffset)) * 3.0f;
    default:
        return v;
    }
}

// ---- DS_LightningGN: quads -----------------------------------------------------------------

std::size_t DS_LightningGN::CountCaps(const BoltPath& path)
{
    if (path.empty())
        return 0;
    std::size_t caps = 2;
    for (const BoltNode& node : path)
        caps += CountCaps(node.branches);
    return caps;
}

std::size_t DS_LightningGN::CountSegments(const BoltPath& path)
{
    if (path.empty())
        return 0;
    std::size_t segments = path.size() - 1;
    for (const BoltNode& node : path)
        segments += CountSegments(node.branches);
    return segments;
}

void DS_LightningGN::FillLayers(DS_ParticlesObj& target)
{
    const std::size_t caps = CountCaps(bolt);
    const std::size_t segments = CountSegments(bolt);
    target.ResizeLayer(0, static_cast<std::int32_t>(std::min<std::size_t>(segments + caps, INT32_MAX)));
    target.ResizeLayer(1, static_cast<std::int32_t>(std::min<std::size_t>(segments, INT32_MAX)));
    target.ResizeLayer(2, static_cast<std::int32_t>(std::min<std::size_t>(caps, INT32_MAX)));
    if (!target.LockLayers(0, kLayerCount - 1))
        return;
    // Height over width of the bolt picture; 1 without one (nothing is drawn
    // then, but the quads stay finite).
    float texelRatio = 1.0f;
    if (!loadedTextures.empty() && loadedTextures[0] && loadedTextures[0]->width > 0)
        texelRatio = static_cast<float>(loadedTextures[0]->height) / static_cast<float>(loadedTextures[0]->width);
    Counters counters;
    FillPath(target, bolt, counters, 0.0f, texelRatio);
    for (std::size_t layer = 0; layer < kLayerCount; ++layer)
        target.UnlockLayer(layer);
}

void DS_LightningGN::FillPath(DS_ParticlesObj& target, const BoltPath& path, Counters& counters, float u, float t)
{
    if (path.size() < 2)
        return;
    const auto core = static_cast<float>(coreWidth.value);
    const auto glow = static_cast<float>(glowWidth.value);
    const std::uint32_t opacity = colour.opacity.Scaled();
    const std::uint32_t opacity2 = colour2.opacity.Scaled();
    auto colourAt = [&](float phase) {
        return PackVertexColor(colour.colour.value, Level(phase) * static_cast<float>(opacity));
    };
    auto glowColourAt = [&](float phase) {
        return PackVertexColor(colour2.colour.value, Level(phase) * static_cast<float>(opacity2));
    };
    const std::uint32_t clear = PackVertexColor(colour.colour.value, 0.0f);
    auto store = [&](std::size_t layer, GenQuad& quad) { target.SetQuad(layer, counters.next[layer]++, quad); };

    const std::vector<const BoltNode*> nodes = [&] {
        std::vector<const BoltNode*> out;
        out.reserve(path.size());
        for (const BoltNode& node : path)
            out.push_back(&node);
        return out;
    }();
    const BoltNode& first = *nodes.front();
    const BoltNode& last = *nodes.back();

    // Caps.
    for (const BoltNode* node : {&first, &last}) {
        const float g = glow * node->width;
        GenQuad cap = BuildQuadCorners(node->position, g, g);
        SetColours(cap, glowColourAt(node->phase), glowColourAt(node->phase));
        store(2, cap);
    }
    if (!first.branches.empty())
        FillPath(target, first.branches, counters, 0.0f, t);

    // Segment quads, their neighbours joined at the midpoints of the shared
    // corners.
    const std::size_t segmentCount = nodes.size() - 1;
    std::vector<GenQuad> cores(segmentCount);
    std::vector<GenQuad> glows(segmentCount);
    float u0 = u;
    for (std::size_t k = 0; k < segmentCount; ++k) {
        const BoltNode& a = *nodes[k];
        const BoltNode& b = *nodes[k + 1];
        const math::Vec3 d = Sub(b.position, a.position);
        const float length = Length(d);
        cores[k] = BuildSegmentQuad(a.position, d, length, core * a.width, core * b.width);
        glows[k] = BuildSegmentQuad(a.position, d, length, glow * a.width, glow * b.width);
        const float uLength = core > 0.0f ? t * (length / core) * b.width : 0.0f;
        const float u1 = u0 + uLength;
        SetTexCoords(cores[k], u0, 1, u0, 0, u1, 1, u1, 0);
        SetTexCoords(glows[k], u0, 1, u0, 0, u1, 1, u1, 0);
        SetColours(cores[k], colourAt(a.phase), colourAt(a.phase));
        SetColours(glows[k], glowColourAt(a.phase), glowColourAt(a.phase));
        if (k > 0) {
            JoinAt(cores[k - 1][2], cores[k][0]);
            JoinAt(cores[k - 1][3], cores[k][1]);
            JoinAt(glows[k - 1][2], glows[k][0]);
            JoinAt(glows[k - 1][3], glows[k][1]);
        }
        u0 = u1;
    }

    // Start piece, pointing back from the first node.
    {
        const float w = core * first.width;
        const math::Vec3 along = Mul(Unit(Sub(first.position, nodes[1]->position)), w / 2.0f);
        GenQuad piece = BuildSegmentQuad(first.position, along, Length(along), w, w);
        SetTexCoords(piece, u, 0, u, 1, u + t / 2.0f, 0, u + t / 2.0f, 1);
        SetColours(piece, colourAt(first.phase), clear);
        store(0, piece);
    }

    const BoltNode& previous = *nodes[segmentCount - 1];
    for (std::size_t k = 0; k < segmentCount; ++k) {
        const BoltNode& b = *nodes[k + 1];
        if (!b.branches.empty())
            FillPath(target, b.branches, counters, 0.0f, t);
        if (k + 1 == segmentCount) {
            // End piece, reaching on past the last node.
            const float w = core * last.width;
            const math::Vec3 along = Mul(Unit(Sub(last.position, previous.position)), kEndPieceLength * w);
            GenQuad piece = BuildSegmentQuad(last.position, along, Length(along), w, w);
            SetTexCoords(piece, u0, 1, u0, 0, u0 + kEndPieceLength * t, 1, u0 + kEndPieceLength * t, 0);
            SetColours(piece, colourAt(previous.phase), clear);
            store(0, piece);
        }
        store(0, cores[k]);
        store(1, glows[k]);
    }
}
