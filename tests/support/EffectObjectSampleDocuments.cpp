#include "tests/support/EffectObjectSampleDocuments.h"

#include <cstddef>

#include "platform/crt/Guid.h"
#include "tests/support/DischargeWriter.h"
#include "tests/support/ObjectAnimationWriter.h"
#include "tests/support/ParticleSampleDocuments.h"
#include "tests/support/TextObjectWriter.h"

namespace {

template <class Fields>
EffectObjectRecord Record(std::string label, DocumentWriter& (*write)(DocumentWriter&, const Fields&),
                          const Fields& fields, bool latest = true)
{
    DocumentWriter w;
    write(w, fields);
    return {std::move(label), w.Bytes(), latest};
}

discharge_writer::DischargeFields SampleDischarge()
{
    discharge_writer::DischargeFields d;
    d.start = {10.0f, 12.0f, 0.0f};
    d.end = {30.0f, 4.0f, 0.0f};
    d.jitter = 40;
    d.textureChoice = 0;
    d.flickerInterval = 60;
    d.morphSpeed = 30;
    d.glow.glowColour = 0x00FF8800;
    d.glow.brightness = 150;
    d.glow.fx.effect = {u"common_res.dll", 97};
    d.glow.fx.sprite.spriteCount = 6;
    d.glow.fx.sprite.spriteSize = 4;
    d.glow.fx.sprite.blendMode = 1;
    d.glow.fx.sprite.secondImage = {kSampleDotPicture, kSampleDotId};
    d.glow.fx.sprite.view.base.name = u"Discharge";
    return d;
}

text_writer::StaticTextDescriptionFields SampleTextDescription(std::int32_t version)
{
    text_writer::StaticTextDescriptionFields t;
    t.version = version;
    t.text = u"Welcome";
    t.font = {24, 400, 1, u"DejaVu Sans"};
    if (version < 2)
        t.legacyTiming = {1000, 2000, 5000, 3000};
    t.keyGuid = crt::ParseGuid(u"{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}");
    t.keyName = u"welcome";
    t.stat.centre = {16.0f, 8.0f, 0.0f};
    t.stat.width = 20;
    t.stat.height = 6;
    t.stat.base.fx.effect = {u"fx\\text.fx", 3};
    t.stat.base.fx.sprite.colour = 0x00FFFFFF;
    return t;
}

text_writer::StaticTextFields SampleTextItem()
{
    text_writer::StaticTextFields t;
    t.properties.text = u"Hello";
    t.properties.face = u"DejaVu Sans";
    t.properties.size = 20;
    t.shadowOn = 1;
    t.shadow = {0x00202020, 25};
    t.shadowDistance = 3;
    t.shadowAngle = 315;
    t.object.turnSpeed = 0;
    t.object.single.corners = particle_writer::RectangleCorners(12.0f, 4.0f, 16.0f, 8.0f);
    t.object.single.controller.block.pictures = {{kSampleDotPicture, kSampleDotId}, {kSampleDotPicture, kSampleDotId}};
    t.object.single.controller.block.glowMode = 2;
    return t;
}

generator_writer::TexGeneratorFields SampleAnimationPicture(std::u16string name)
{
    generator_writer::TexGeneratorFields textured;
    textured.textures = {{kSampleDotPicture, kSampleDotId}};
    textured.colour = 0x40C0FF;
    textured.generator.base.name = std::move(name);
    return textured;
}

generator_writer::BrownAnimationFields SampleBrownAnimation(std::int32_t version, std::uint32_t count)
{
    generator_writer::BrownAnimationFields brown;
    brown.version = version;
    brown.count = count;
    brown.size = 100;
    brown.motionScale = 25;
    brown.repickPeriod = 10;
    brown.steerTime = 20;
    brown.frameSpeed = 150;
    brown.region.region = generator_writer::RectangleQuad(16.0f, 8.0f, 24.0f, 12.0f);
    brown.region.textured = SampleAnimationPicture(u"Wanderers");
    return brown;
}

generator_writer::PathAnimationFields SamplePathAnimation(std::int32_t version)
{
    generator_writer::PathAnimationFields walker;
    walker.version = version;
    walker.moveSpeed = 5;
    walker.size = 100;
    walker.facing = 2;
    walker.mirrorTopBottom = 1;
    walker.frameSpeed = 80;
    walker.path.points = {{4, 4, 0}, {28, 4, 0}, {16, 12, 0}};
    walker.path.textured = SampleAnimationPicture(u"Walker");
    return walker;
}

void AddObjectAnimationRecords(std::vector<EffectObjectRecord>& records)
{
    generator_writer::StaticAnimationFields still;
    still.frameSpeed = 120;
    still.reverse = 1;
    still.rect.rect = generator_writer::RectCorners(4, 2, 12, 8);
    still.rect.base.textured = SampleAnimationPicture(u"Still");
    still.rect.base.textured.effect = {u"common_res.dll", 116};
    records.push_back(Record("static animation", &generator_writer::WriteStaticAnimation, still));
    records.push_back(Record("brown animation v2", &generator_writer::WriteBrownAnimation, SampleBrownAnimation(2, 6)));
    records.push_back(Record("brown animation v1", &generator_writer::WriteBrownAnimation, SampleBrownAnimation(1, 3),
                             false));
    records.push_back(Record("brown animation of a huge count", &generator_writer::WriteBrownAnimation,
                             SampleBrownAnimation(2, 4000000000u)));
    records.push_back(Record("path animation v2", &generator_writer::WritePathAnimation, SamplePathAnimation(2)));
    records.push_back(Record("path animation v1", &generator_writer::WritePathAnimation, SamplePathAnimation(1), false));
}

} // namespace

std::vector<EffectObjectRecord> EffectObjectRecords()
{
    std::vector<EffectObjectRecord> records;
    records.push_back(Record("discharge", &discharge_writer::WriteDischarge, SampleDischarge()));
    for (std::int32_t version : {3, 2, 1})
        records.push_back(Record("text description v" + std::to_string(version),
                                 &text_writer::WriteStaticTextDescription, SampleTextDescription(version),
                                 version == 3));
    for (std::int32_t version : {2, 1}) {
        text_writer::ScrollingTextDescriptionFields scrolling;
        scrolling.version = version;
        scrolling.period = 5;
        scrolling.directionMode = 2;
        scrolling.tileWidth = 10.0f;
        scrolling.tileHeight = 6.0f;
        scrolling.text = SampleTextDescription(3);
        records.push_back(Record("scrolling text description v" + std::to_string(version),
                                 &text_writer::WriteScrollingTextDescription, scrolling, version == 2));
    }
    records.push_back(Record("text link description", &text_writer::WriteTextLinkDescription,
                             text_writer::TextLinkDescriptionFields{1, 12, SampleTextDescription(3)}));
    records.push_back(Record("text item", &text_writer::WriteStaticText, SampleTextItem()));
    records.push_back(
        Record("scrolling text item", &text_writer::WriteScrollingTex, text_writer::ScrollingTexFields{1, 3, SampleTextItem()}));
    records.push_back(
        Record("text link item", &text_writer::WriteTextLink, text_writer::TextLinkFields{1, 4, SampleTextItem()}));
    AddObjectAnimationRecords(records);
    return records;
}

std::vector<SampleDocument> EffectObjectSampleDocuments()
{
    const std::vector<EffectObjectRecord> records = EffectObjectRecords();
    const std::vector<std::uint8_t> all = ParticleSlideDocument(records.size(), [&records](DocumentWriter& w) {
        for (const EffectObjectRecord& record : records)
            w.Raw(record.bytes);
    });
    // Cut off among the objects.
    const std::vector<std::uint8_t> truncated(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(all.size() / 2));
    return {
        {"effect-objects.vsd", all, true},
        {"effect-objects-truncated.vsd", truncated, false},
    };
}
