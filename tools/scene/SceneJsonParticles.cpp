#include "tools/scene/SceneJsonParticles.h"

#include "particles/engine/FieldPtclSys.h"
#include "platform/crt/WideString.h"
#include "tools/scene/SceneJson.h"
#include "tools/scene/SceneJsonLines.h"
#include "tools/scene/SceneJsonSingleObjects.h"
#include "tools/scene/SceneJsonPathSystems.h"
#include "tools/scene/SceneJsonReadyMade.h"
#include "tools/scene/SceneJsonWanderers.h"
#include "tools/scene/SceneJsonTrees.h"

namespace {

void WriteEnvelope(std::ostringstream& out, const PercentParamQuad& envelope)
{
    out << "[";
    for (std::size_t i = 0; i < envelope.percents.size(); ++i)
        out << (i ? ", " : "") << envelope.percents[i].value;
    out << "]";
}

void WriteBlock(std::ostringstream& out, const KXI_ParticleSystemCtrl& system)
{
    const ParticleSystemParams& p = system.params;
    const DS_NamedFileLinkData& set = p.textureLink.value;
    out << ", \"particles\": {\"blockVersion\": " << p.storedVersion
        << ", \"texture\": " << JsonString(p.textureName.value) << ", \"pictures\": [";
    for (std::size_t i = 0; i < set.pictures.size(); ++i)
        out << (i ? ", " : "") << JsonLink(set.pictures[i]);
    out << "], \"grid\": [" << set.columns << ", " << set.rows << "], \"effect\": " << JsonLink(p.effectLink)
        << ", \"size\": " << p.particleSize.value << ", \"blend\": " << p.blendMode.value << ", \"glow\": {\"mode\": "
        << p.glowMode.value << ", \"strength\": " << p.glowSurface.strength.value << ", \"colour\": "
        << p.glowColour.value << ", \"brightness\": " << p.glowBrightness.value << ", \"passes\": "
        << p.glowPasses.value << "}, \"sizeEnvelope\": ";
    WriteEnvelope(out, p.sizeEnvelope);
    out << ", \"opacityEnvelope\": ";
    WriteEnvelope(out, p.opacityEnvelope);
    out << ", \"rotation\": " << p.rotationMode.value << ", \"flags\": " << p.flags
        << ", \"speed\": " << system.speed.value << "}";
}

} // namespace

void WriteParticleFields(std::ostringstream& out, const DS_IOF_Item& item)
{
    WriteTreeFields(out, item);
    const auto* system = dynamic_cast<const KXI_ParticleSystemCtrl*>(&item);
    if (!system)
        return;
    WriteBlock(out, *system);
    WritePathSystemFields(out, *system);
    WriteWandererFields(out, *system);
    WriteReadyMadeFields(out, *system);
    if (const auto* field = dynamic_cast<const KXI_FieldPtclSys*>(system)) {
        out << ", \"field\": {\"positions\": " << field->positions.PositionCount()
            << ", \"density\": " << field->density.value << ", \"lifetime\": " << field->lifetime.value
            << ", \"sector\": [" << field->direction.value << ", " << field->direction.spread.value
            << "], \"speed\": " << field->launchSpeed.value << "}";
    }
    WriteSingleObjectFields(out, *system);
    WriteLineFields(out, *system);
}
