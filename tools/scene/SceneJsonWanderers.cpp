#include "tools/scene/SceneJsonWanderers.h"

#include "particles/engine/BrownAnimation.h"
#include "particles/engine/Firefly.h"
#include "platform/crt/WideString.h"
#include "tools/scene/SceneJson.h"

namespace {

void WriteBrownian(std::ostringstream& out, const KXI_BrownAnimation& brown)
{
    const math::Vec3& leftTop = brown.area.area.corners[0].value;
    const math::Vec3& rightBottom = brown.area.area.corners[3].value;
    out << ", \"brownian\": {\"count\": " << brown.count.value << ", \"area\": [" << leftTop.x << ", " << leftTop.y
        << ", " << rightBottom.x << ", " << rightBottom.y << "], \"drift\": " << brown.driftScale.value
        << ", \"change\": " << brown.changeRate.value << ", \"turn\": " << brown.turnTime.value << "}";
}

// The trail's own block: what it draws and how its particles live.
void WriteTrail(std::ostringstream& out, const KXI_ParticleTracer& trail)
{
    const ParticleSystemParams& block = trail.params;
    out << ", \"trail\": {\"rate\": " << trail.emitter.counter.rate.value << ", \"lifetime\": " << trail.lifetime.value
        << ", \"spread\": " << trail.spread.value << ", \"velocity\": " << trail.velocityFactor.value
        << ", \"texture\": \"" << JsonEscape(crt::ToUtf8(block.textureName.value)) << "\", \"pictures\": [";
    const auto& pictures = block.textureLink.value.pictures;
    for (std::size_t i = 0; i < pictures.size(); ++i)
        out << (i ? ", " : "") << JsonLink(pictures[i]);
    out << "], \"effect\": " << JsonLink(block.effectLink) << ", \"size\": " << block.particleSize.value
        << ", \"blend\": " << block.blendMode.value << ", \"glow\": " << block.glowMode.value << ", \"colours\": [";
    const auto& colours = block.colours.colors.value;
    for (std::size_t i = 0; i < colours.size(); ++i)
        out << (i ? ", " : "") << colours[i];
    out << "], \"sizeEnvelope\": [" << block.sizeEnvelope.percents[0].value << ", "
        << block.sizeEnvelope.percents[1].value << "], \"opacityEnvelope\": ["
        << block.opacityEnvelope.percents[0].value << ", " << block.opacityEnvelope.percents[1].value
        << "], \"flags\": " << block.flags << "}";
}

} // namespace

void WriteWandererFields(std::ostringstream& out, const KXI_ParticleSystemCtrl& system)
{
    const auto* brown = dynamic_cast<const KXI_BrownAnimation*>(&system);
    if (!brown)
        return;
    WriteBrownian(out, *brown);
    if (const auto* firefly = dynamic_cast<const KXI_Firefly*>(brown))
        WriteTrail(out, firefly->trail);
}
