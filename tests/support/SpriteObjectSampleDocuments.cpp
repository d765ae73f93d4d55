#include "tests/support/SpriteObjectSampleDocuments.h"

#include <cstddef>

#include "tests/support/ParticleSampleDocuments.h"

using namespace sprite_object_writer;

namespace {

template <class Fields>
SpriteObjectRecord Record(std::string label, DocumentWriter& (*write)(DocumentWriter&, const Fields&),
                          const Fields& fields, bool latest = true)
{
    DocumentWriter w;
    write(w, fields);
    return {std::move(label), w.Bytes(), latest};
}

FlowFields SampleFlow(std::int32_t version)
{
    FlowFields flow;
    flow.version = version;
    flow.direction = 30;
    flow.wobble = 4;
    flow.changeRate = 2;
    flow.speed = 6.0f;
    flow.orientation = version == 2 ? 1 : 2;
    // Wrap with fades at the top and bottom, reflect at the left, reflect
    // and pause at the right.
    flow.bounds = {BoundFields{1, 0, 300, 200, 100, 400}, BoundFields{1, 0, 300, 200, 100, 400},
                   BoundFields{1, 1, 0, 0, 0, 0}, BoundFields{1, 2, 0, 0, 500, 1500}};
    flow.sprite = SampleSpriteFields(5);
    flow.sprite.view.base.name = u"Flow";
    return flow;
}

FishFields SampleFish()
{
    FishFields fish;
    fish.maxSpeedX = 5.0f;
    fish.maxSpeedY = 2.0f;
    fish.sprite = SampleSpriteFields(2);
    return fish;
}

StatObjFields SampleStatObj(std::int32_t version)
{
    StatObjFields stat;
    stat.version = version;
    stat.bounds = {14, 18, 6, 10, 16, 8};
    stat.angle = 30;
    stat.flipV = 1;
    stat.sprite = SampleSpriteFields(1);
    if (version == 1)
        stat.sprite.version = 4; // the flips are the placed object's own
    return stat;
}

} // namespace

description_writer::SpriteFields SampleSpriteFields(std::uint32_t count)
{
    description_writer::SpriteFields sprite;
    sprite.spriteCount = count;
    sprite.spriteSize = 3;
    sprite.transparency = 20;
    sprite.colour = 0x40C0FF;
    sprite.floats = {0.5f, 0.3f, 1.0f, 0.5f, 1.0f};
    sprite.spriteImage = {kSampleDotPicture, kSampleDotId};
    sprite.view.fractions = {0.125f, 0.875f, 0.25f, 0.75f};
    sprite.view.base.timing.flags = 1;
    sprite.view.base.timing.clockMode = 2;
    return sprite;
}

std::vector<SpriteObjectRecord> SpriteObjectRecords()
{
    std::vector<SpriteObjectRecord> records;
    for (std::int32_t version : {4, 3, 2, 1})
        records.push_back(Record("flow v" + std::to_string(version), &WriteFlow, SampleFlow(version), version == 4));
    records.push_back(Record("rain", &WriteRain, RainFields{1, SampleFlow(4)}));
    records.push_back(Record("fish", &WriteFish, SampleFish()));
    records.push_back(Record("bird", &WriteBird, FishKindFields{1, SampleFish()}));
    records.push_back(Record("ghost v2", &WriteGhost, FishKindFields{2, SampleFish()}));
    records.push_back(Record("ghost v1", &WriteGhost, FishKindFields{1, SampleFish()}, false));
    records.push_back(Record("god rays", &WriteGodRay, GodRayFields{1, 75, SampleSpriteFields(3)}));
    records.push_back(Record("sparkles", &WriteSparkle, SparkleFields{1, SampleSpriteFields(4)}));
    records.push_back(Record("fog", &WriteFog, FogFields{1, 3.0f, 1.5f, SampleSpriteFields(3)}));
    // Stored as read: additive, on a random timeline, timing flag 0 clear.
    LightingFields lighting{2, 50, 150, SampleSpriteFields(1)};
    lighting.sprite.blendMode = 1;
    description_writer::TimingFields& timing = lighting.sprite.view.base.timing;
    timing.flags = 0;
    timing.selector = 1;
    timing.kind = description_writer::TimelineKind::Random;
    records.push_back(Record("lighting v2", &WriteLighting, lighting));
    // Stored as a continuous timeline with flag 0: read onto a random one.
    lighting.version = 1;
    timing = description_writer::TimingFields{};
    timing.flags = 1;
    records.push_back(Record("lighting v1", &WriteLighting, lighting, false));
    records.push_back(Record("grass", &WriteGrass, GrassFields{1, 12.0f, SampleSpriteFields(6)}));
    records.push_back(Record("placed v2", &WriteStatObj, SampleStatObj(2)));
    records.push_back(Record("placed v1", &WriteStatObj, SampleStatObj(1), false));
    records.push_back(Record("flower", &WriteFlower, FlowerFields{1, 8.0f, SampleStatObj(2)}));
    records.push_back(Record("discharge", &WriteDischarge, DischargeFields{1, SampleStatObj(2)}));
    return records;
}

std::vector<SampleDocument> SpriteObjectSampleDocuments()
{
    const std::vector<SpriteObjectRecord> records = SpriteObjectRecords();
    const std::vector<std::uint8_t> all = ParticleSlideDocument(records.size(), [&records](DocumentWriter& w) {
        for (const SpriteObjectRecord& record : records)
            w.Raw(record.bytes);
    });
    // Cut off among the objects.
    const std::vector<std::uint8_t> truncated(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(all.size() / 2));
    return {
        {"sprite-objects.vsd", all, true},
        {"sprite-objects-truncated.vsd", truncated, false},
    };
}
