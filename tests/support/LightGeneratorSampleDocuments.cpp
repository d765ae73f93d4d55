#include "tests/support/LightGeneratorSampleDocuments.h"

#include "tests/support/DocumentWriter.h"
#include "tests/support/LightGeneratorWriter.h"
#include "tests/support/PictureSceneWriter.h"

namespace {

using namespace generator_writer;

TexGeneratorFields Linked(std::u16string name, std::size_t textures)
{
    TexGeneratorFields textured;
    for (std::size_t i = 0; i < textures; ++i)
        textured.textures.push_back({u"pictures\\light.bmp", std::int64_t(60 + i)});
    textured.effect = {u"effects\\glow.fx", 70};
    textured.colour = 0xFFE0C0;
    textured.opacity = 10; // transparency percentages
    textured.colour2 = 0x80C0FF;
    textured.opacity2 = 40;
    textured.generator.lifetime = 80;
    textured.generator.rate = 15;
    textured.generator.size = 40;
    textured.generator.speed = 30;
    textured.generator.emissionSwitch = 1;
    textured.generator.base.name = std::move(name);
    return textured;
}

OriginGeneratorFields Origin(std::int32_t version, float x, float y, std::u16string name)
{
    OriginGeneratorFields origin;
    origin.version = version;
    origin.launchLifetime = 100;
    origin.launchRate = 6;
    origin.launchSize = 48;
    origin.direction = 90;
    origin.spread = 15;
    origin.originSpeed = 50;
    origin.base.position = {x, y, 0.0f};
    origin.base.textured = Linked(std::move(name), 1);
    return origin;
}

std::vector<std::uint8_t> LightGeneratorsDocument()
{
    DocumentWriter w;
    w.Header().SlideShowBegin(1);
    w.Section(u"DS_SlideContainer", 6).Int(0).Float(1.0f).Float(1.0f).Float(10.0f).Int(0).WideString(u"Night");
    picture_scene_writer::WriteLightRecord(w, {});
    w.Count(6);

    FallingStarsFields stars;
    stars.starSpeed = 20;
    stars.starRate = 75;
    stars.direction = 250;
    stars.starSize = 12;
    stars.glowFactor = 100;
    stars.holdTime = 150;
    stars.fadeInTime = 40;
    stars.fadeOutTime = 60;
    stars.region = RectangleQuad(320.0f, 90.0f, 640.0f, 180.0f);
    stars.textured = Linked(u"Stars", 4);
    WriteFallingStars(w, stars);

    for (const std::int32_t version : {2, 1}) {
        FireworkFields firework;
        firework.rocketCount = 12;
        firework.quadSize = 6;
        firework.rocketSpeed = 30;
        firework.glowFactor = 75;
        firework.origin = Origin(version, 500.0f, 150.0f, version == 2 ? u"Fireworks" : u"Old fireworks");
        WriteFireworkSimple(w, firework);
    }

    for (const std::int32_t version : {2, 1}) {
        LightningFields bolt;
        bolt.version = version;
        bolt.coreWidth = 5;
        bolt.passes = 6;
        bolt.jaggedness = 60;
        bolt.seed = 17;
        bolt.branchLength = 40;
        bolt.branchAngle = 25;
        bolt.endWidth = 70;
        bolt.branches = 3;
        bolt.subBranches = 2;
        bolt.twigs = 4;
        bolt.legacyTiming = {1000, 2000, 3000, 4000, 5000, 0, 0};
        bolt.flicker = 40;
        bolt.glowWidth = 30;
        bolt.randomFlag = 1;
        bolt.string.start = {120.0f, 0.0f, 0.0f};
        bolt.string.end = {180.0f, 300.0f, 0.0f};
        bolt.string.textured = Linked(version == 2 ? u"Bolt" : u"Old bolt", 1);
        WriteLightning(w, bolt);
    }

    SmokeFields smoke;
    smoke.drift = 60;
    smoke.origin = Origin(2, 80.0f, 300.0f, u"Smoke");
    WriteSmoke(w, smoke);

    w.Count(0);
    w.AudioFiles({});
    w.DocResManager({});
    return w.Bytes();
}

} // namespace

std::vector<SampleDocument> LightGeneratorSampleDocuments()
{
    std::vector<std::uint8_t> full = LightGeneratorsDocument();
    std::vector<std::uint8_t> cut(full.begin(), full.begin() + std::ptrdiff_t(full.size() / 2));
    return {
        {"light-generators.vsd", std::move(full), true},
        {"light-generators-truncated.vsd", std::move(cut), false},
    };
}
