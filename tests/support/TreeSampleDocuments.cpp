#include "tests/support/TreeSampleDocuments.h"

#include "tests/support/BmpFixture.h"
#include "tests/support/PictureSceneWriter.h"
#include "tests/support/TreePresetWriter.h"
#include "tests/support/TreeWriter.h"

using namespace tree_writer;

namespace {

const description_writer::StoredLink kSpark{u"pictures\\spark.bmp", 61};
const description_writer::StoredLink kRibbon{u"pictures\\ribbon.bmp", 62};
const description_writer::StoredLink kBalloon{u"pictures\\balloon.bmp", 63};
const description_writer::StoredLink kShine{u"pictures\\shine.bmp", 64};
const description_writer::StoredLink kShade{u"pictures\\shade.bmp", 65};

// A geometry whose particles show at the leaf's full size and opacity.
StoredGeometry FullSize(std::u16string name = {})
{
    StoredGeometry g;
    g.name = std::move(name);
    g.sizeJitter[0] = 100;
    g.sizeEnvelope[6] = 100;
    g.opacityEnvelope[6] = 100;
    return g;
}

WriteItem PointGeometry(std::u16string name = {})
{
    return [name](DocumentWriter& w) { WritePointGeometry(w, FullSize(name)); };
}

StoredRoot Root(std::u16string name, float x, float y)
{
    StoredRoot root;
    root.base.name = std::move(name);
    root.offset[0] = x;
    root.offset[1] = y;
    return root;
}

// Root, a stem on a point emit shape with gravity, a point leaf of sparks
// and a trace leaf of ribbons behind them.
void WriteFountain(DocumentWriter& w)
{
    StoredPointShape shape;
    shape.launchCentre = 90;
    shape.launchSpread = 30;
    shape.forces = {1, 4, 0};
    shape.emitter.count = 10;
    shape.emitter.lifetime = 1.5f;
    shape.emitter.period = 1.0f;
    shape.emitter.pause = 0.5f;
    shape.emitter.delay = 0.25f;
    shape.emitter.speed[0] = 20;
    shape.emitter.geometry = FullSize(u"jet");
    StoredLeaf sparks;
    sparks.pictures = {kSpark};
    sparks.columns = 2;
    sparks.size = 3;
    sparks.blend = 1;
    sparks.glowMode = 1;
    StoredTrace ribbons;
    ribbons.lifetime = 0.5f;
    ribbons.leaf.pictures = {kRibbon};
    ribbons.leaf.size = 2;
    WriteRoot(w, Root(u"Fountain", 16.0f, 14.0f), {[&](DocumentWriter& out) {
                  WriteStem(out, u"stem", [&](DocumentWriter& g) { WritePointShape(g, shape); },
                            {[&](DocumentWriter& l) { WriteLeaf(l, sparks, u"sparks", PointGeometry(u"spark")); },
                             [&](DocumentWriter& l) { WriteTrace(l, ribbons, u"ribbons", PointGeometry()); }});
              }});
}

// A preset around a root with one swarm leaf.
void WritePresetTree(DocumentWriter& w, const StoredPreset& preset, std::u16string name)
{
    StoredSwarm swarm;
    swarm.count = 6;
    swarm.wanderSpeed = 100;
    swarm.width = 10;
    swarm.height = 4;
    swarm.geometry = FullSize(u"cloud");
    StoredLeaf dots;
    dots.pictures = {kSpark};
    dots.size = 2;
    WritePreset(w, preset, [&](DocumentWriter& out) {
        WriteRoot(out, Root(std::move(name), 8.0f, 4.0f), {[&](DocumentWriter& l) {
                      WriteLeaf(l, dots, u"dots", [&](DocumentWriter& g) { WriteSwarmGeometry(g, swarm); });
                  }});
    });
}

// A root with one balloon leaf on its root particle.
void WriteBalloonTree(DocumentWriter& w)
{
    StoredLeaf leaf;
    leaf.pictures = {kBalloon, kShine, kShade};
    leaf.size = 6;
    WriteRoot(w, Root(u"Balloon", 24.0f, 8.0f), {[&](DocumentWriter& out) {
                  WriteBalloon(out, {80, 60}, [&](DocumentWriter& l) { WriteLeaf(l, leaf, u"balloon", PointGeometry()); });
              }});
}

void SlideBegin(DocumentWriter& w, std::int32_t objects)
{
    w.Header().SlideShowBegin(1);
    w.Section(u"DS_SlideContainer", 6).Int(0).Float(1.0f).Float(1.0f).Float(10.0f).Int(0).WideString(u"Trees");
    picture_scene_writer::WriteLightRecord(w, {});
    w.Count(static_cast<std::size_t>(objects));
}

void SlideEnd(DocumentWriter& w)
{
    w.Count(0);
    w.AudioFiles({});
    DocResManagerRecord record;
    for (const auto& [link, rgb] : {std::pair{kSpark, 0xFFE080u}, std::pair{kRibbon, 0x80C0FFu},
                                    std::pair{kBalloon, 0xE04040u}, std::pair{kShine, 0x404040u},
                                    std::pair{kShade, 0xC0C0C0u}})
        record.frames[{link.path, link.id}] = {
            StoredFrame{bmp_fixture::BmpPicture(4, 4, [rgb](std::uint32_t, std::uint32_t) { return rgb; }), 0.0f}};
    w.DocResManager(record);
}

std::vector<std::uint8_t> TreesDocument()
{
    DocumentWriter w;
    SlideBegin(w, 4);
    WriteFountain(w);
    WritePresetTree(w, {2, 7, {1, 2, 3}}, u"Preset");
    WritePresetTree(w, {1, 5, {}}, u"Old preset");
    WriteBalloonTree(w);
    SlideEnd(w);
    return w.Bytes();
}

// A root over 65 stems, one inside the other.
std::vector<std::uint8_t> TooDeepDocument()
{
    WriteItem chain = [](DocumentWriter& w) { WriteStem(w, u"", PointGeometry(), {}); };
    for (int level = 1; level < 65; ++level)
        chain = [inner = chain](DocumentWriter& w) { WriteStem(w, u"", PointGeometry(), {inner}); };
    DocumentWriter w;
    SlideBegin(w, 1);
    WriteRoot(w, Root(u"Deep", 0.0f, 0.0f), {chain});
    SlideEnd(w);
    return w.Bytes();
}

// A geometry record where the root's child node belongs.
std::vector<std::uint8_t> WrongFamilyDocument()
{
    DocumentWriter w;
    SlideBegin(w, 1);
    WriteRoot(w, Root(u"Odd", 0.0f, 0.0f), {PointGeometry()});
    SlideEnd(w);
    return w.Bytes();
}

std::vector<std::uint8_t> HugePresetListDocument()
{
    DocumentWriter w;
    SlideBegin(w, 1);
    w.WideString(u"KXI_PtclSysPreset").Int(2).Dword(0).Int(0x40000000);
    WriteRoot(w, Root(u"Huge", 0.0f, 0.0f), {});
    SlideEnd(w);
    return w.Bytes();
}

} // namespace

std::vector<SampleDocument> TreeSampleDocuments()
{
    return {
        {"particle-trees.vsd", TreesDocument(), true},
        {"particle-trees-too-deep.vsd", TooDeepDocument(), false},
        {"particle-trees-wrong-family.vsd", WrongFamilyDocument(), false},
        {"particle-trees-huge-preset-list.vsd", HugePresetListDocument(), false},
    };
}
