#include "tests/support/LineWriter.h"

#include <limits>

#include "tests/support/ParticleSampleDocuments.h"

namespace line_writer {

DocumentWriter& WritePercents(DocumentWriter& w, const PercentFields& percents)
{
    for (const std::uint32_t percent : percents)
        w.Dword(percent);
    return w;
}

DocumentWriter& WriteLayer(DocumentWriter& w, const BlockFields& layer)
{
    w.Int(layer.version).WideString(layer.textureName);
    return particle_writer::WriteBlock(w, layer);
}

DocumentWriter& WriteLineCtrl(DocumentWriter& w, const LineCtrlFields& f)
{
    w.Section(u"KXI_LineCtrl", f.version);
    particle_writer::WriteSplinePointList(w, f.points);
    w.Int(f.showParticles);
    WriteLayer(w, f.layer);
    w.Float(f.headSideOffset).Float(f.headForwardOffset);
    if (f.version == 1)
        w.Int(f.extra);
    return particle_writer::WriteController(w, f.controller);
}

DocumentWriter& WriteStaticLine(DocumentWriter& w, const StaticLineFields& f)
{
    w.Section(u"KXI_StaticLineCtrl", 1).Dword(f.width);
    WritePercents(w, f.sizeEnvelope);
    WritePercents(w, f.alphaEnvelope);
    return WriteLineCtrl(w, f.line);
}

DocumentWriter& WriteStraightLine(DocumentWriter& w, const Vec3Fields& start, const Vec3Fields& end,
                                  const ControllerFields& controller)
{
    w.Section(u"DS_StraightLine", 1);
    for (const Vec3Fields* point : {&start, &end})
        w.Float((*point)[0]).Float((*point)[1]).Float((*point)[2]);
    return particle_writer::WriteController(w, controller);
}

DocumentWriter& WriteGrowingLine(DocumentWriter& w, const GrowingFields& f)
{
    w.Section(u"KXI_GrovingLine", f.version);
    WritePercents(w, f.startSizeEnvelope);
    WritePercents(w, f.startAlphaEnvelope);
    if (f.version >= 2)
        w.Int(f.retract);
    return WriteStaticLine(w, f.base);
}

DocumentWriter& WriteSlidingLine(DocumentWriter& w, const SlidingFields& f)
{
    w.Section(u"KXI_SlidingLine", 1).Dword(f.pieceLength).Int(f.directionMode);
    return WriteStaticLine(w, f.base);
}

DocumentWriter& WriteShootingLine(DocumentWriter& w, const ShootingFields& f)
{
    w.Section(u"KXI_ShootingLine", f.version);
    particle_writer::WriteSplinePointList(w, f.points);
    WriteLayer(w, f.layer);
    w.Float(f.minimumInterval).Float(f.maximumInterval);
    w.Dword(f.speed).Dword(f.amplitude).Dword(f.tailDelay).Dword(f.width);
    WritePercents(w, f.widthEnvelope);
    w.Dword(f.waveFrequency).Int(f.showParticles).Float(f.unused[0]).Float(f.unused[1]);
    return particle_writer::WriteController(w, f.controller);
}

DocumentWriter& WriteTears(DocumentWriter& w, const ShootingFields& f)
{
    w.Section(u"KXI_Tears", 1);
    return WriteShootingLine(w, f);
}

DocumentWriter& WriteWavingLine(DocumentWriter& w, const WavingFields& f)
{
    w.Section(u"KXI_WavingLine", 1).Dword(f.width);
    WritePercents(w, f.sizeEnvelope);
    WriteLayer(w, f.layer);
    w.Dword(f.amplitude).Dword(f.secondWave).Int(f.showParticles).Float(f.headSideOffset).Float(f.headForwardOffset);
    return WriteStraightLine(w, f.start, f.end, f.controller);
}

BlockFields RibbonLayer(std::u16string picture, std::int64_t id)
{
    BlockFields layer;
    layer.textureName = u"Ribbon";
    layer.pictures = {{std::move(picture), id}};
    layer.colours = {0x00FFFFFF};
    return layer;
}

} // namespace line_writer

namespace {

using namespace line_writer;

StaticLineFields SampleStaticLine(std::u16string name, std::int32_t lineVersion)
{
    StaticLineFields line;
    line.width = 3;
    line.alphaEnvelope = {10, 90, 0, 20};
    line.line.version = lineVersion;
    line.line.points = particle_writer::StraightSplinePoints({2.0f, 4.0f, 0.0f}, {30.0f, 4.0f, 0.0f}, 3);
    line.line.showParticles = 1;
    line.line.layer = RibbonLayer(kSampleDotPicture, kSampleDotId);
    line.line.headSideOffset = 1.5f;
    line.line.headForwardOffset = -2.0f;
    line.line.extra = 7;
    line.line.controller = SampleDotController(std::move(name));
    return line;
}

ShootingFields SampleShots(std::int32_t version, std::u16string name)
{
    ShootingFields shots;
    shots.version = version;
    shots.points = particle_writer::StraightSplinePoints({2.0f, 10.0f, 0.0f}, {30.0f, 10.0f, 0.0f}, 2);
    shots.layer = RibbonLayer(kSampleDotPicture, kSampleDotId);
    shots.layer.blendMode = 1;
    shots.minimumInterval = 0.25f;
    shots.maximumInterval = 0.75f;
    shots.speed = 20;
    shots.amplitude = 2;
    shots.tailDelay = 6;
    shots.width = 2;
    shots.waveFrequency = 500;
    shots.controller = SampleDotController(std::move(name));
    // A value JSON cannot hold, for the inspector.
    shots.unused = {std::numeric_limits<float>::infinity(), 0.0f};
    return shots;
}

// Every class, the version-1 sections among them.
void WriteSampleLines(DocumentWriter& w)
{
    GrowingFields growing;
    growing.retract = 1;
    growing.startSizeEnvelope = {20, 100, 50, 0};
    growing.base = SampleStaticLine(u"Growing", 2);
    WriteGrowingLine(w, growing);
    GrowingFields oldGrowing;
    oldGrowing.version = 1;
    oldGrowing.base = SampleStaticLine(u"Old growing", 1);
    WriteGrowingLine(w, oldGrowing);

    SlidingFields sliding;
    sliding.pieceLength = 8;
    sliding.directionMode = 1;
    sliding.base = SampleStaticLine(u"Sliding", 2);
    WriteSlidingLine(w, sliding);

    WriteShootingLine(w, SampleShots(2, u"Shots"));
    WriteShootingLine(w, SampleShots(1, u"Old shots"));
    WriteTears(w, SampleShots(2, u"Tears"));

    WavingFields waving;
    waving.width = 2;
    waving.layer = RibbonLayer(kSampleDotPicture, kSampleDotId);
    waving.layer.glowMode = 2;
    waving.amplitude = 3;
    waving.secondWave = 40;
    waving.showParticles = 1;
    waving.start = {4.0f, 14.0f, 0.0f};
    waving.end = {28.0f, 14.0f, 0.0f};
    waving.controller = SampleDotController(u"Waving");
    WriteWavingLine(w, waving);
}

constexpr std::size_t kSampleLineCount = 7;

} // namespace

std::vector<SampleDocument> LineSampleDocuments()
{
    std::vector<std::uint8_t> truncated = ParticleSlideDocument(kSampleLineCount, WriteSampleLines);
    truncated.resize(truncated.size() / 2);
    return {
        {"lines.vsd", ParticleSlideDocument(kSampleLineCount, WriteSampleLines), true},
        {"lines-truncated.vsd", truncated, false},
    };
}
