#include "tests/support/ReadyMadeWriter.h"

#include "tests/support/ParticleSampleDocuments.h"
#include "tests/support/PictureSceneWriter.h"

namespace particle_writer {

namespace {

DocumentWriter& WritePoint(DocumentWriter& w, const Point& p)
{
    return w.Float(p[0]).Float(p[1]).Float(p[2]);
}

DocumentWriter& WriteCorners(DocumentWriter& w, const Corners& corners)
{
    for (const Point& p : corners)
        WritePoint(w, p);
    return w;
}

// The fountain's version-1 section stores no burst count.
DocumentWriter& WriteLaunchFields(DocumentWriter& w, const BurstFields& f, bool withBurstCount)
{
    WritePoint(w, f.position);
    if (withBurstCount)
        w.Dword(f.burstCount);
    w.Dword(f.speed).Dword(f.range).Int(f.spatial);
    return w.Dword(f.angle).Dword(f.spread);
}

DocumentWriter& WriteLegacyFade(DocumentWriter& w, const LegacyFadeFields& f)
{
    return w.Dword(f.sizeVariation).Int(f.dropped).Dword(f.fadeIn).Dword(f.hold).Dword(f.fadeOut).Int(f.onSize);
}

DocumentWriter& WritePresetSection(DocumentWriter& w, const PresetFields& preset)
{
    w.Section(preset.className, preset.version);
    for (std::uint32_t word : preset.words)
        w.Dword(word);
    return w;
}

} // namespace

Corners CornersOfBox(float left, float top, float right, float bottom)
{
    return {{{left, top, 0.0f}, {left, bottom, 0.0f}, {right, top, 0.0f}, {right, bottom, 0.0f}}};
}

DocumentWriter& WriteBurst(DocumentWriter& w, const BurstFields& f)
{
    w.Section(u"KXI_BurstPtclSys", f.version);
    WriteLaunchFields(w, f, true);
    if (f.version < 4)
        w.Dword(f.gravity).Int(f.gravityUp);
    if (f.version >= 2)
        w.Int(f.focused).Dword(f.startRadius);
    return WriteController(w, f.controller);
}

DocumentWriter& WriteFountain(DocumentWriter& w, const FountainFields& f)
{
    w.Section(u"KXI_FontainPtclSys", f.version).Dword(f.rate);
    if (f.version != 1)
        return WriteBurst(w, f.burst);
    WriteLaunchFields(w, f.burst, false).Dword(f.burst.gravity).Int(f.burst.gravityUp);
    return WriteController(w, f.burst.controller);
}

DocumentWriter& WriteFountainPreset(DocumentWriter& w, const PresetFields& preset, const FountainFields& f)
{
    WritePresetSection(w, preset);
    return WriteFountain(w, f);
}

DocumentWriter& WriteSplash(DocumentWriter& w, const SplashFields& f)
{
    w.Section(u"KXI_SplashPtclSys", f.version);
    WriteCorners(w, f.quad);
    WritePoint(w, f.sectorPosition).Dword(f.sectorRadius).Dword(f.sectorAngle).Dword(f.sectorSpread);
    w.Int(f.useSector).Dword(f.burstCount);
    if (f.version >= 2)
        w.Dword(f.life).Dword(f.angle).Dword(f.spread).Dword(f.speed);
    else
        WriteLegacyFade(w, f.legacy);
    return WriteController(w, f.controller);
}

DocumentWriter& WriteSpray(DocumentWriter& w, const SprayFields& f)
{
    w.Section(u"KXI_SprayPtclSys", f.version).Dword(f.rate);
    if (f.version != 1)
        return WriteSplash(w, f.splash);
    WriteCorners(w, f.splash.quad);
    WriteLegacyFade(w, f.splash.legacy);
    return WriteController(w, f.splash.controller);
}

DocumentWriter& WriteSprayPreset(DocumentWriter& w, const PresetFields& preset, const SprayFields& f)
{
    WritePresetSection(w, preset);
    return WriteSpray(w, f);
}

DocumentWriter& WriteStream(DocumentWriter& w, const StreamFields& f)
{
    w.Section(u"DS_StreamPtclSys", 1).Dword(f.rate);
    WriteCorners(w, f.quad).Dword(f.life);
    w.Dword(f.firstSpeed).Dword(f.firstJitter).Dword(f.speed).Dword(f.jitter).Dword(f.targetSpread);
    return WriteController(w, f.controller);
}

DocumentWriter& WriteSmoke2(DocumentWriter& w, const PresetFields& preset, const StreamFields& f)
{
    WritePresetSection(w, preset);
    return WriteStream(w, f);
}

DocumentWriter& WriteVortex(DocumentWriter& w, const VortexFields& f)
{
    w.Section(u"KXI_VortexPtclSys", 1).Dword(f.rate);
    WritePoint(w, f.centre).Dword(f.speed).Dword(f.swirl).Int(f.swirlReversed).Dword(f.angle).Dword(f.spread);
    w.Dword(f.armCount).Dword(f.armSpin).Int(f.armSpinReversed).Dword(f.range);
    return WriteController(w, f.controller);
}

DocumentWriter& WriteRain(DocumentWriter& w, const RainFields& f)
{
    w.Section(u"DS_RainOnGlass", 1).Dword(f.rate);
    WriteCorners(w, f.pane).Dword(f.slideForce).Dword(f.angle);
    return WriteController(w, f.controller);
}

DocumentWriter& WriteRays(DocumentWriter& w, const RayFields& f)
{
    w.Section(u"DS_RayOfLight", 1);
    WriteCorners(w, f.area).Dword(f.rayCount);
    w.Dword(f.life).Dword(f.lifeJitter).Dword(f.width).Dword(f.widthJitter).Dword(f.drift).Dword(f.driftJitter);
    w.Dword(f.spreadFactor).Dword(f.fadeIn).Dword(f.fadeOut).Dword(f.edgeFade).Int(f.storedFlag);
    return WriteController(w, f.controller);
}

PresetFields FirePreset()
{
    return {u"DS_PtclFire", 1, {7, 11, 12, 13}};
}

PresetFields FireStreamPreset()
{
    return {u"DS_PtclFireStream", 1, {21}};
}

PresetFields SmokePreset(std::uint32_t windSpeed)
{
    return {u"DS_PtclSmoke", 1, {31, windSpeed}};
}

PresetFields WaterJetPreset()
{
    return {u"DS_WaterJet", 0, {}};
}

PresetFields LightBeamsPreset()
{
    return {u"DS_LightBeams", 1, {}};
}

PresetFields FogPreset()
{
    return {u"DS_PtclFog", 1, {41}};
}

PresetFields Smoke3Preset()
{
    return {u"DS_PtclSmoke3", 1, {51}};
}

PresetFields BokehPreset()
{
    return {u"DS_BokehLights", 1, {static_cast<std::uint32_t>(-61)}};
}

PresetFields ShimmerPreset()
{
    return {u"DS_Shimmer", 1, {}};
}

PresetFields Smoke2Preset()
{
    return {u"DS_PtclSmoke2", 1, {71, 72, static_cast<std::uint32_t>(-73)}};
}

} // namespace particle_writer

namespace {

using namespace particle_writer;

// The dot picture, its size and the object's name.
ControllerFields DotController(std::u16string name)
{
    ControllerFields controller;
    controller.base.name = std::move(name);
    controller.block.textureName = u"Dot";
    controller.block.pictures = {{kSampleDotPicture, kSampleDotId}};
    controller.block.particleSize = 2;
    return controller;
}

BurstFields SampleBurst(std::int32_t version, std::u16string name)
{
    BurstFields burst;
    burst.version = version;
    burst.position = {16.0f, 8.0f, 0.0f};
    burst.burstCount = 40;
    burst.speed = 5;
    burst.range = 12;
    burst.angle = 90;
    burst.spread = 60;
    burst.gravity = 3;
    burst.gravityUp = version == 3 ? 1 : 0;
    burst.focused = version == 2 ? 1 : 0;
    burst.startRadius = 2;
    burst.controller = DotController(std::move(name));
    if (version < 4)
        burst.controller.version = 4; // older documents hold the legacy block
    return burst;
}

FountainFields SampleFountain(std::int32_t version, std::u16string name)
{
    FountainFields fountain;
    fountain.version = version;
    fountain.rate = 150;
    fountain.burst = SampleBurst(4, std::move(name));
    fountain.burst.burstCount = 0;
    if (version < 2)
        fountain.burst.controller.version = 4;
    return fountain;
}

SplashFields SampleSplash(std::int32_t version, std::u16string name)
{
    SplashFields splash;
    splash.version = version;
    splash.quad = CornersOfBox(4.0f, 4.0f, 28.0f, 12.0f);
    splash.sectorPosition = {16.0f, 8.0f, 0.0f};
    splash.sectorRadius = 6;
    splash.sectorAngle = 270;
    splash.sectorSpread = 90;
    splash.useSector = version == 2 ? 1 : 0;
    splash.burstCount = 30;
    splash.life = 150;
    splash.angle = 90;
    splash.spread = 20;
    splash.speed = 6;
    splash.legacy = {20, 0, 50, 100, 50, version == 1 ? 1 : 0};
    splash.controller = DotController(std::move(name));
    if (version < 2)
        splash.controller.version = 4;
    return splash;
}

SprayFields SampleSpray(std::int32_t version, std::u16string name)
{
    SprayFields spray;
    spray.version = version;
    spray.rate = 200;
    spray.splash = SampleSplash(2, std::move(name));
    spray.splash.useSector = 0;
    if (version < 2)
        spray.splash.controller.version = 4;
    return spray;
}

StreamFields SampleStream(std::u16string name)
{
    StreamFields stream;
    stream.rate = 150;
    stream.quad = CornersOfBox(4.0f, 2.0f, 28.0f, 14.0f);
    stream.life = 200;
    stream.firstSpeed = 99;
    stream.firstJitter = 99;
    stream.speed = 4;
    stream.jitter = 30;
    stream.targetSpread = 50;
    stream.controller = DotController(std::move(name));
    return stream;
}

VortexFields SampleVortex()
{
    VortexFields vortex;
    vortex.rate = 150;
    vortex.centre = {16.0f, 8.0f, 0.0f};
    vortex.speed = 3;
    vortex.swirl = 100;
    vortex.angle = 0;
    vortex.spread = 10;
    vortex.armCount = 3;
    vortex.armSpin = 20;
    vortex.range = 10;
    vortex.controller = DotController(u"Vortex");
    return vortex;
}

RainFields SampleRain()
{
    RainFields rain;
    rain.rate = 300;
    rain.pane = CornersOfBox(2.0f, 2.0f, 30.0f, 14.0f);
    rain.slideForce = 20;
    rain.angle = 270;
    rain.controller = DotController(u"Rain");
    rain.controller.block.startAngleSpread = 20;
    return rain;
}

RayFields SampleRays()
{
    RayFields rays;
    rays.area = CornersOfBox(4.0f, 1.0f, 28.0f, 15.0f);
    rays.rayCount = 6;
    rays.life = 40;
    rays.lifeJitter = 50;
    rays.width = 4;
    rays.widthJitter = 20;
    rays.drift = 100;
    rays.driftJitter = 50;
    rays.spreadFactor = 20;
    rays.fadeIn = 20;
    rays.fadeOut = 30;
    rays.edgeFade = 20;
    rays.storedFlag = 1;
    rays.controller = DotController(u"Rays");
    return rays;
}

} // namespace

std::vector<NamedReadyMadeRecord> ReadyMadeSampleRecords()
{
    std::vector<NamedReadyMadeRecord> records;
    auto add = [&records](std::u16string className, std::string label, ReadyMadeRecord write, bool latest = true) {
        records.push_back({std::move(className), std::move(label), std::move(write), latest});
    };
    for (std::int32_t version = 1; version <= 4; ++version) {
        add(u"KXI_BurstPtclSys", "burst version " + std::to_string(version), [version](DocumentWriter& w) {
            WriteBurst(w, SampleBurst(version, u"Burst"));
        }, version == 4);
    }
    for (std::int32_t version = 1; version <= 2; ++version) {
        add(u"KXI_FontainPtclSys", "fountain version " + std::to_string(version), [version](DocumentWriter& w) {
            WriteFountain(w, SampleFountain(version, u"Fountain"));
        }, version == 2);
    }
    const std::vector<std::pair<PresetFields, std::string>> fountains = {
        {FirePreset(), "fire"},           {FireStreamPreset(), "fire stream"}, {SmokePreset(45), "smoke"},
        {WaterJetPreset(), "water jet"}, {LightBeamsPreset(), "light beams"},
    };
    for (const auto& entry : fountains) {
        const PresetFields& preset = entry.first;
        add(preset.className, entry.second, [preset](DocumentWriter& w) {
            WriteFountainPreset(w, preset, SampleFountain(2, preset.className));
        });
    }
    for (std::int32_t version = 1; version <= 2; ++version) {
        add(u"KXI_SplashPtclSys", "splash version " + std::to_string(version), [version](DocumentWriter& w) {
            WriteSplash(w, SampleSplash(version, u"Splash"));
        }, version == 2);
        add(u"KXI_SprayPtclSys", "spray version " + std::to_string(version), [version](DocumentWriter& w) {
            WriteSpray(w, SampleSpray(version, u"Spray"));
        }, version == 2);
    }
    const std::vector<std::pair<PresetFields, std::string>> sprays = {
        {FogPreset(), "fog"}, {Smoke3Preset(), "smoke 3"}, {BokehPreset(), "bokeh"}, {ShimmerPreset(), "shimmer"}};
    for (const auto& entry : sprays) {
        const PresetFields& preset = entry.first;
        add(preset.className, entry.second, [preset](DocumentWriter& w) {
            WriteSprayPreset(w, preset, SampleSpray(2, preset.className));
        });
    }
    // The stream's first speed pair differs from the one that stays, so it
    // saves in another form than written.
    add(u"DS_StreamPtclSys", "stream", [](DocumentWriter& w) { WriteStream(w, SampleStream(u"Stream")); }, false);
    add(
        u"DS_PtclSmoke2", "rising smoke",
        [](DocumentWriter& w) { WriteSmoke2(w, Smoke2Preset(), SampleStream(u"Smoke2")); }, false);
    add(u"KXI_VortexPtclSys", "vortex", [](DocumentWriter& w) { WriteVortex(w, SampleVortex()); });
    add(u"DS_RainOnGlass", "rain", [](DocumentWriter& w) { WriteRain(w, SampleRain()); });
    add(u"DS_RayOfLight", "rays", [](DocumentWriter& w) { WriteRays(w, SampleRays()); });
    return records;
}

namespace {

std::vector<std::uint8_t> EverySystemDocument()
{
    const std::vector<NamedReadyMadeRecord> records = ReadyMadeSampleRecords();
    return ParticleSlideDocument(records.size(), [&records](DocumentWriter& w) {
        for (const NamedReadyMadeRecord& record : records)
            record.write(w);
    });
}

// Counts far beyond what a list holds: the systems keep to their bounds.
std::vector<std::uint8_t> HugeCountsDocument()
{
    return ParticleSlideDocument(4, [](DocumentWriter& w) {
        BurstFields burst = SampleBurst(4, u"Huge burst");
        burst.burstCount = 4000000000u;
        WriteBurst(w, burst);
        SplashFields splash = SampleSplash(2, u"Huge splash");
        splash.burstCount = 4000000000u;
        WriteSplash(w, splash);
        FountainFields fountain = SampleFountain(2, u"Huge fountain");
        fountain.rate = 0xFFFFFFFFu;
        fountain.burst.speed = 0;
        WriteFountain(w, fountain);
        RayFields rays = SampleRays();
        rays.rayCount = 4000000000u;
        WriteRays(w, rays);
    });
}

// A fire whose own section ends in the middle of its second field.
std::vector<std::uint8_t> TruncatedPresetDocument()
{
    DocumentWriter w;
    w.Header().SlideShowBegin(1);
    w.Section(u"DS_SlideContainer", 6).Int(0).Float(1.0f).Float(1.0f).Float(10.0f).Int(0).WideString(u"Cut");
    picture_scene_writer::WriteLightRecord(w, {});
    w.Count(1);
    DocumentWriter header;
    header.Section(u"DS_PtclFire", 1);
    const std::size_t cut = w.Bytes().size() + header.Bytes().size() + 6;
    WriteFountainPreset(w, FirePreset(), SampleFountain(2, u"Cut fire"));
    std::vector<std::uint8_t> bytes = w.Bytes();
    bytes.resize(cut);
    return bytes;
}

} // namespace

std::vector<SampleDocument> ReadyMadeSampleDocuments()
{
    return {
        {"ready-made-systems.vsd", EverySystemDocument(), true},
        {"ready-made-huge-counts.vsd", HugeCountsDocument(), true},
        {"ready-made-truncated.vsd", TruncatedPresetDocument(), false},
    };
}
