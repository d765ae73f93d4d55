#include "tests/support/PresetSampleDocuments.h"

#include <limits>

#include "tests/support/ParticleSampleDocuments.h"
#include "tests/support/TreePresetWriter.h"
#include "tests/support/TreeWriter.h"

using namespace tree_writer;

namespace {

const description_writer::StoredLink kDot{kSampleDotPicture, kSampleDotId};

// Particles at the leaf's full size and opacity.
StoredGeometry FullSize(std::u16string name)
{
    StoredGeometry g;
    g.name = std::move(name);
    g.sizeJitter[0] = 100;
    g.sizeEnvelope[6] = 100;
    g.opacityEnvelope[6] = 100;
    return g;
}

StoredRoot Root(std::u16string name, float x, float y)
{
    StoredRoot root;
    root.base.name = std::move(name);
    root.offset[0] = x;
    root.offset[1] = y;
    return root;
}

// A preset around a root with one swarm leaf of dots.
void WritePresetTree(DocumentWriter& w, const StoredPreset& preset, std::u16string name)
{
    const StoredSwarm swarm{6, 2, 40, 50, 10, 4, FullSize(u"cloud")};
    StoredLeaf dots;
    dots.pictures = {kDot};
    dots.size = 2;
    WritePreset(w, preset, [&](DocumentWriter& out) {
        WriteRoot(out, Root(std::move(name), 8.0f, 4.0f), {[&](DocumentWriter& l) {
                      WriteLeaf(l, dots, u"dots", [&](DocumentWriter& g) { WriteSwarmGeometry(g, swarm); });
                  }});
    });
}

// A root with one balloon on its root particle; the dot stands for the
// picture and both light maps.
void WriteBalloonTree(DocumentWriter& w)
{
    StoredLeaf leaf;
    leaf.pictures = {kDot, kDot, kDot};
    leaf.size = 6;
    leaf.colours = {0x004040E0};
    StoredRoot root = Root(u"Balloon", 24.0f, 8.0f);
    // A value JSON cannot hold, for the inspector.
    root.offset[2] = std::numeric_limits<float>::quiet_NaN();
    WriteRoot(w, root, {[&](DocumentWriter& out) {
                  WriteBalloon(out, {80, 60}, [&](DocumentWriter& l) {
                      WriteLeaf(l, leaf, u"balloon", [](DocumentWriter& g) { WritePointGeometry(g, FullSize(u"")); });
                  });
              }});
}

} // namespace

std::vector<SampleDocument> PresetSampleDocuments()
{
    const std::vector<std::uint8_t> presets = ParticleSlideDocument(3, [](DocumentWriter& w) {
        WritePresetTree(w, {2, 7, {1, 2, 3}}, u"Preset");
        WritePresetTree(w, {1, 5, {}}, u"Old preset");
        WriteBalloonTree(w);
    });
    const std::vector<std::uint8_t> hugeList = ParticleSlideDocument(1, [](DocumentWriter& w) {
        w.WideString(u"KXI_PtclSysPreset").Int(2).Dword(0).Int(0x40000000);
        WriteRoot(w, Root(u"Huge", 0.0f, 0.0f), {});
    });
    return {
        {"particle-tree-presets.vsd", presets, true},
        {"particle-tree-huge-preset-list.vsd", hugeList, false},
    };
}
