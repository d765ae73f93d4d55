#include "tests/support/TreeSampleDocuments.h"

#include "tests/support/ParticleSampleDocuments.h"

namespace {

using tree_writer::WriteItem;

// Particles of size factor 1 with full envelopes: what a drawn tree needs.
tree_writer::StoredGeometry Visible(std::u16string name)
{
    tree_writer::StoredGeometry geometry;
    geometry.name = std::move(name);
    geometry.sizeJitter[0] = 100;
    geometry.sizeEnvelope[6] = 100;
    geometry.opacityEnvelope[6] = 100;
    return geometry;
}

tree_writer::StoredLeaf DotLeaf(std::uint32_t size, std::uint32_t colour)
{
    tree_writer::StoredLeaf leaf;
    leaf.pictures = {{kSampleDotPicture, kSampleDotId}};
    leaf.size = size;
    leaf.colours = {colour};
    return leaf;
}

WriteItem PointGeometry(std::u16string name)
{
    return [name](DocumentWriter& w) { tree_writer::WritePointGeometry(w, Visible(name)); };
}

// A chain of `levels` nodes: stems on point geometries, a leaf at the end.
void WriteChain(DocumentWriter& w, int levels)
{
    if (levels <= 1) {
        tree_writer::WriteLeaf(w, DotLeaf(2, 0x00FFFFFF), u"end", PointGeometry(u""));
        return;
    }
    tree_writer::WriteStem(w, u"", PointGeometry(u""), {[levels](DocumentWriter& c) { WriteChain(c, levels - 1); }});
}

std::vector<std::uint8_t> OneTree(const WriteItem& writeTree)
{
    return ParticleSlideDocument(1, writeTree);
}

} // namespace

void WriteSampleFountainTree(DocumentWriter& w)
{
    tree_writer::StoredPointShape shape;
    shape.launchCentre = 90;
    shape.launchSpread = 30;
    shape.forces = {1, 8, 5};
    shape.emitter.lifetime = 1.5f;
    shape.emitter.count = 12;
    shape.emitter.speed[0] = 20;
    shape.emitter.speed[1] = 30;
    shape.emitter.geometry = Visible(u"jet");

    tree_writer::StoredLeaf sparks = DotLeaf(2, 0x0040C0FF);
    sparks.blend = 1;
    tree_writer::StoredTrace ribbons;
    ribbons.lifetime = 0.5f;
    ribbons.sizeEnvelope[6] = 100;
    ribbons.opacityEnvelope[6] = 100;
    ribbons.opacityEnvelope[2] = 0; // fading from its birth
    ribbons.leaf = DotLeaf(1, 0x00FFFFFF);

    tree_writer::StoredRoot root;
    root.offset[0] = 16.0f;
    root.offset[1] = 14.0f;
    root.base.name = u"Fountain";
    tree_writer::WriteRoot(w, root,
                           {[&](DocumentWriter& t) {
                               tree_writer::WriteStem(
                                   t, u"jet", [&](DocumentWriter& g) { tree_writer::WritePointShape(g, shape); },
                                   {[&](DocumentWriter& l) { tree_writer::WriteLeaf(l, sparks, u"sparks", PointGeometry(u"spark")); },
                                    [&](DocumentWriter& l) {
                                        tree_writer::WriteTrace(l, ribbons, u"ribbons", PointGeometry(u"trail"));
                                    }});
                           }});
}

void WriteSampleSwarmTree(DocumentWriter& w)
{
    tree_writer::StoredLeaf dots = DotLeaf(2, 0x0080FFFF);
    dots.glowMode = 1;
    tree_writer::StoredRoot root;
    root.offset[0] = 8.0f;
    root.offset[1] = 6.0f;
    root.base.name = u"Swarm";
    tree_writer::WriteRoot(w, root, {[&](DocumentWriter& l) {
                               tree_writer::WriteLeaf(l, dots, u"dots", [](DocumentWriter& g) {
                                   tree_writer::StoredSwarm cloud{8, 2, 40, 50, 16, 8, Visible(u"cloud")};
                                   tree_writer::WriteSwarmGeometry(g, cloud);
                               });
                           }});
}

std::vector<SampleDocument> TreeSampleDocuments()
{
    const std::vector<std::uint8_t> trees = ParticleSlideDocument(2, [](DocumentWriter& w) {
        WriteSampleFountainTree(w);
        WriteSampleSwarmTree(w);
    });
    const auto wrongFamily = OneTree([](DocumentWriter& w) {
        tree_writer::WriteRoot(w, {}, {PointGeometry(u"not a node")});
    });
    const auto tooDeep = OneTree([](DocumentWriter& w) {
        tree_writer::WriteRoot(w, {}, {[](DocumentWriter& c) { WriteChain(c, 65); }});
    });
    return {
        {"particle-trees.vsd", trees, true},
        {"particle-tree-wrong-family.vsd", wrongFamily, false},
        {"particle-tree-too-deep.vsd", tooDeep, false},
    };
}
