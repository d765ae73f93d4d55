// The parameter block and the controller without a device: stored forms of
// every version, envelopes, spin, the frame clock, the spreading of new
// particles, the pre-run and the field system.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <set>

#include "objectmodel/ClassRegistry.h"
#include "objectmodel/DocumentError.h"
#include "particles/engine/FieldPtclSys.h"
#include "particles/engine/ParticleEngineClasses.h"
#include "particles/engine/ParticleRoutines.h"
#include "platform/crt/Random.h"
#include "tests/support/ArchiveFixtures.h"
#include "tests/support/ParticleWriter.h"

namespace {

using particle_writer::BlockFields;
using particle_writer::ControllerFields;
using particle_writer::FieldFields;

std::unique_ptr<KXI_FieldPtclSys> ReadField(const FieldFields& fields)
{
    RegisterParticleEngineClasses();
    DocumentWriter w;
    particle_writer::WriteFieldSystem(w, fields);
    MemoryArchive archive(w.Bytes());
    std::unique_ptr<DS_IOF_Item> item = ReadSceneObject(archive.Reader());
    EXPECT_EQ(archive.Remaining(), 0u);
    return std::unique_ptr<KXI_FieldPtclSys>(dynamic_cast<KXI_FieldPtclSys*>(item.release()));
}

// ---- stored forms -----------------------------------------------------------------

TEST(ParticleBlockReadingTest, EveryBlockAndControllerVersion)
{
    for (std::int32_t controllerVersion = 1; controllerVersion <= 5; ++controllerVersion) {
        const std::int32_t lastBlock = controllerVersion == 5 ? 11 : 1;
        for (std::int32_t blockVersion = 1; blockVersion <= lastBlock; ++blockVersion) {
            SCOPED_TRACE(testing::Message() << "controller " << controllerVersion << ", block " << blockVersion);
            FieldFields field;
            field.positions = {{1.0f, 2.0f, 0.0f}};
            ControllerFields& c = field.controller;
            c.version = controllerVersion;
            c.shapeIndex = 3;
            c.speed = 250;
            BlockFields& b = c.block;
            b.version = blockVersion;
            b.textureName = u"Spark";
            b.pictures = {{u"common_res.dll", 901}, {u"common_res.dll", 902}};
            b.source = {u"other.dll", 7};
            b.effect = {u"fx.dll", 3};
            b.particleSize = 33;
            b.colours = {0x00123456, 0x00654321, 0x00ABCDEF};
            b.transparency = 40;
            b.spinClock = 12;
            b.opacityEnvelope = {10, 90, 30, 77};
            b.rotationMode = 1;
            b.glowMode = 2;
            b.flags = 0x11;

            const std::unique_ptr<KXI_FieldPtclSys> read = ReadField(field);
            ASSERT_NE(read, nullptr);
            const ParticleSystemParams& p = read->params;
            ASSERT_EQ(p.textureLink.value.pictures.size(), 2u);
            EXPECT_EQ(p.textureLink.value.pictures[1].Id(), 902);
            EXPECT_EQ(p.particleSize.value, 33u);
            EXPECT_EQ(p.effectLink.Id(), 3);
            EXPECT_EQ(p.colours.colors.value.front(), 0x00123456u);
            EXPECT_EQ(p.colours.transparency.value, 40u);
            EXPECT_EQ(read->speed.value, controllerVersion >= 4 ? 250u : 100u);
            // Old pictures become the source link; version 7 and later store it.
            const bool storedSource = controllerVersion == 5 && blockVersion >= 7;
            EXPECT_EQ(p.textureLink.value.sourceId, storedSource ? 7 : 901);
            if (controllerVersion < 5) {
                EXPECT_EQ(p.textureName.value, u"Sphere");
                continue;
            }
            EXPECT_EQ(p.textureName.value, u"Spark");
            // Up to version 10 only the first colour is stored.
            EXPECT_EQ(p.colours.colors.value.size(), blockVersion >= 11 ? 3u : 2u);
            // The end opacity is never stored.
            EXPECT_EQ(p.opacityEnvelope.percents[3].value, 0u);
            EXPECT_EQ(p.opacityEnvelope.percents[2].value, blockVersion >= 3 ? 30u : 0u);
            const std::int32_t rotation = blockVersion >= 4 ? 1 : (blockVersion >= 2 ? 2 : 0);
            EXPECT_EQ(p.rotationMode.value, rotation);
            EXPECT_EQ(p.glowMode.value, blockVersion >= 5 ? 2 : 0);
            EXPECT_EQ(p.flags, blockVersion >= 9 ? 0x11u : 0u);
        }
    }
}

TEST(ParticleBlockReadingTest, DamagedFieldRecordsAreRefused)
{
    RegisterParticleEngineClasses();
    FieldFields field;
    field.positions = {{1.0f, 2.0f, 3.0f}, {4.0f, 5.0f, 6.0f}};
    DocumentWriter whole;
    particle_writer::WriteFieldSystem(whole, field);
    const std::vector<std::uint8_t>& bytes = whole.Bytes();
    for (const std::size_t keep : {bytes.size() - 1, bytes.size() / 2, std::size_t{40}}) {
        MemoryArchive truncated(std::span(bytes.data(), keep));
        EXPECT_THROW(ReadSceneObject(truncated.Reader()), DS_Error) << keep;
    }
    // A position count far beyond the bytes that remain.
    DocumentWriter huge;
    huge.Section(u"KXI_FieldPtclSys", 1).Dword(100).Dword(100).Int(0x7FFFFFFF).Float(0.0f);
    MemoryArchive archive(huge.Bytes());
    EXPECT_THROW(ReadSceneObject(archive.Reader()), DS_Error);
}

// ---- block behaviour --------------------------------------------------------------

TEST(ParticleBlockTest, EnvelopesOverTheLife)
{
    ParticleSystemParams block;
    InnerParticle p;
    p.SetMainRoutine(ParticleRoutineHandle(new IPR_ConstantAge(2.0f)));
    for (const float age : {0.0f, 0.7f, 2.0f}) {
        p.values[InnerParticle::kAge] = age;
        EXPECT_FLOAT_EQ(block.SizeFactor(p), 1.0f) << age;
        EXPECT_FLOAT_EQ(block.OpacityFactor(p), 1.0f) << age;
    }
    block.sizeEnvelope.percents[0].SetValue(20, nullptr); // grow in over the first fifth from 0
    for (const float age : {0.0f, 0.1f, 0.2f, 0.4f, 1.0f}) {
        p.values[InnerParticle::kAge] = age;
        EXPECT_NEAR(block.SizeFactor(p), std::min(age / 0.4f, 1.0f), 1e-6f) << age;
    }
    // Past the life, a shrink-out that starts at 100 % stays finite.
    block.sizeEnvelope.percents[0].SetValue(0, nullptr);
    p.values[InnerParticle::kAge] = 9.0f;
    EXPECT_TRUE(std::isfinite(block.SizeFactor(p)));
    EXPECT_TRUE(std::isfinite(block.OpacityFactor(p)));
}

TEST(ParticleBlockTest, SpinDirectionAndJitter)
{
    crt::srand(9);
    struct Case {
        std::int32_t direction;
        std::uint32_t jitter;
        float low, high;
    };
    for (const Case& c : {Case{0, 0, 1.0f, 1.0f}, Case{1, 0, -1.0f, -1.0f}, Case{0, 100, 0.0f, 1.0f},
                          Case{2, 0, -1.0f, 1.0f}}) {
        ParticleSystemParams block;
        block.spinDirection.value = c.direction;
        block.spinJitter.SetValue(c.jitter, nullptr);
        std::set<bool> signs;
        for (int i = 0; i < 200; ++i) {
            InnerParticle p;
            block.SetupParticle(p, nullptr);
            const float f = p.values[InnerParticle::kSpinFactor];
            EXPECT_GE(f, c.low);
            EXPECT_LE(f, c.high);
            if (c.direction == 2) {
                EXPECT_EQ(std::fabs(f), 1.0f);
            }
            signs.insert(f > 0.0f);
        }
        if (c.direction == 2) {
            EXPECT_EQ(signs.size(), 2u);
        }
    }
}

TEST(ParticleBlockTest, GridBelowOneCellCountsAsOne)
{
    ParticleSystemParams block;
    block.textureLink.value.columns = 0;
    block.textureLink.value.rows = 0;
    InnerParticle p;
    block.SetupParticle(p, nullptr);
    EXPECT_EQ(p.cell[0], 1.0f);
    EXPECT_EQ(p.cell[2], 0.0f);
    block.textureLink.value.columns = 4;
    for (int i = 0; i < 50; ++i) {
        block.DrawCell(p);
        EXPECT_EQ(p.cell[0], 0.25f);
        EXPECT_EQ(std::fmod(p.cell[2], 0.25f), 0.0f);
    }
}

// ---- controller -------------------------------------------------------------------

// Emits `perStep` particles of a long life per step and counts its calls.
class CountingSystem : public KXI_ParticleSystemCtrl {
public:
    std::unique_ptr<KXI_ParticleSystemCtrl> Clone() const override { return std::make_unique<CountingSystem>(*this); }
    InnerParticleList::Handles Emit(float) override
    {
        ++emitCalls;
        InnerParticleList::Handles fresh;
        for (int i = 0; i < perStep && particles.Room() > 0; ++i) {
            ParticleHandle& p = particles.Create({});
            p->SetMainRoutine(ParticleRoutineHandle(new IPR_ConstantAge(1000.0f)));
            fresh.push_back(p);
        }
        return fresh;
    }
    float GetPreRunDuration() const override { return preRun; }

    int perStep = 0;
    int emitCalls = 0;
    float preRun = 5.0f;
};

TEST(ParticleControllerTest, NewParticlesSpreadOverTheStep)
{
    CountingSystem system;
    system.perStep = 4;
    system.AdvanceParticles(0.2f);
    std::vector<float> ages;
    for (const ParticleHandle& p : system.particles.Particles())
        ages.push_back(p->Age());
    ASSERT_EQ(ages.size(), 4u);
    for (int i = 0; i < 4; ++i)
        EXPECT_FLOAT_EQ(ages[static_cast<std::size_t>(i)], static_cast<float>(i) * 0.2f / 4.0f);
}

TEST(ParticleControllerTest, FrameClock)
{
    CountingSystem system;
    system.perStep = 1;
    system.Update(1.0f);
    const float firstAge = system.particles.Particles().front()->Age();
    EXPECT_FLOAT_EQ(firstAge, 0.2f * 0.0f); // the first new particle is not advanced
    system.Update(5.0f);                    // a gap of seconds counts as 0.2 s
    EXPECT_FLOAT_EQ(system.particles.Particles().front()->Age(), 0.2f);
    system.Update(3.0f); // back in time: a zero step
    EXPECT_FLOAT_EQ(system.particles.Particles().front()->Age(), 0.2f);
    EXPECT_FLOAT_EQ(system.speed.Step(), 0.0f);

    system.speed.SetValue(0, nullptr); // frozen, while the block's clocks run
    system.params.spinClock.SetValue(20, nullptr);
    system.Update(3.1f);
    EXPECT_FLOAT_EQ(system.particles.Particles().front()->Age(), 0.2f);
    EXPECT_NEAR(system.params.textureClock.Total(), (0.2f + 0.2f + 0.1f) * 0.01f, 1e-6f);
    EXPECT_GT(system.params.spinClock.Total(), 0.0f);
}

TEST(ParticleControllerTest, PreRunSteps)
{
    struct Case {
        float duration;
        int steps;
    };
    for (const Case& c : {Case{5.0f, 51}, Case{1000.0f, 600}, Case{0.0f, 0}, Case{-1.0f, 0},
                          Case{std::numeric_limits<float>::quiet_NaN(), 0},
                          Case{std::numeric_limits<float>::infinity(), 0}}) {
        CountingSystem system;
        system.preRun = c.duration;
        system.Restart();
        EXPECT_EQ(system.emitCalls, c.steps) << c.duration;
    }
    CountingSystem fading;
    fading.perStep = 1;
    fading.AdvanceParticles(0.1f);
    fading.timing.SetValue(KXI_SmartTiming::kRandom, nullptr);
    fading.Restart();
    EXPECT_TRUE(fading.particles.Empty());
    EXPECT_EQ(fading.emitCalls, 1);
}

TEST(ParticleControllerTest, TextureChangeRedrawsEveryCell)
{
    CountingSystem system;
    system.perStep = 30;
    system.AdvanceParticles(0.1f);
    system.AttachRenderObject(nullptr); // arms the texture callback
    DS_NamedFileLinkData grid = system.params.textureLink.value;
    grid.columns = 3;
    grid.rows = 0;
    grid.pictures.emplace_back(5, u"missing.dll");
    system.params.textureLink.SetValue(grid, nullptr);
    std::set<float> offsets;
    for (const ParticleHandle& p : system.particles.Particles()) {
        EXPECT_FLOAT_EQ(p->cell[0], 1.0f / 3.0f);
        EXPECT_EQ(p->cell[1], 1.0f);
        offsets.insert(p->cell[2]);
    }
    EXPECT_EQ(offsets.size(), 3u);
}

// ---- field system -----------------------------------------------------------------

std::unique_ptr<KXI_FieldPtclSys> MakeField(int positions, std::uint32_t density, std::uint32_t lifetime = 100)
{
    auto field = std::make_unique<KXI_FieldPtclSys>();
    for (int i = 0; i < positions; ++i)
        field->positions.AddPosition(static_cast<float>(i), 0.0f, 0.0f);
    field->density.SetValue(density, nullptr);
    field->lifetime.SetValue(lifetime, nullptr);
    return field;
}

TEST(FieldSystemTest, KeepsItsShareOfThePositions)
{
    struct Case {
        int positions;
        std::uint32_t density;
        std::size_t kept;
    };
    for (const Case& c : {Case{10, 55, 5}, Case{10, 100, 10}, Case{10, 300, 10}, Case{0, 100, 0}, Case{10, 0, 0}}) {
        auto field = MakeField(c.positions, c.density);
        field->Update(0.05f);
        EXPECT_EQ(field->particles.Size(), c.kept) << c.positions << " at " << c.density;
        EXPECT_EQ(field->positions.FreeCount(), static_cast<std::size_t>(c.positions) - c.kept);
    }
}

TEST(FieldSystemTest, DeadParticlesAreReplacedInTheSameUpdate)
{
    auto field = MakeField(6, 100, 10); // 0.1 s
    field->Update(0.05f);
    field->Update(0.10f);
    field->Update(0.20f); // every particle passes its life and is replaced at age 0
    EXPECT_EQ(field->particles.Size(), 6u);
    for (const ParticleHandle& p : field->particles.Particles())
        EXPECT_EQ(p->Age(), 0.0f);
}

TEST(FieldSystemTest, RestartFillsWithAllAges)
{
    crt::srand(2);
    auto field = MakeField(200, 100, 400);
    field->Restart();
    ASSERT_EQ(field->particles.Size(), 200u);
    float low = 10.0f, high = 0.0f;
    for (const ParticleHandle& p : field->particles.Particles()) {
        low = std::min(low, p->Age());
        high = std::max(high, p->Age());
    }
    EXPECT_LT(low, 0.2f);
    EXPECT_GT(high, 3.8f);
    EXPECT_LE(high, 4.0f);

    auto fading = MakeField(20, 100);
    fading->timing.SetValue(KXI_SmartTiming::kManual, nullptr);
    fading->Restart();
    EXPECT_TRUE(fading->particles.Empty());
    fading->Update(0.05f);
    EXPECT_EQ(fading->particles.Size(), 20u);
    for (const ParticleHandle& p : fading->particles.Particles())
        EXPECT_EQ(p->Age(), 0.0f);
}

TEST(FieldSystemTest, DensityChangesWhileRunning)
{
    auto field = MakeField(10, 30, 100);
    field->Update(0.05f);
    EXPECT_EQ(field->particles.Size(), 3u);
    field->density.SetValue(80, nullptr);
    field->Update(0.10f);
    EXPECT_EQ(field->particles.Size(), 8u);
    field->density.SetValue(20, nullptr); // the surplus dies out by age, none killed
    field->Update(0.15f);
    EXPECT_EQ(field->particles.Size(), 8u);
    for (float t = 0.2f; t < 1.5f; t += 0.1f)
        field->Update(t);
    EXPECT_EQ(field->particles.Size(), 2u);
}

TEST(FieldSystemTest, LaunchFollowsTheSector)
{
    auto field = MakeField(5, 100);
    field->direction.SetValue(90, nullptr);
    field->launchSpeed.SetValue(40, nullptr);
    field->Restart();
    for (const ParticleHandle& p : field->particles.Particles()) {
        EXPECT_NEAR(std::hypot(p->velocity.x, p->velocity.y), 40.0f, 1e-3f);
        EXPECT_NEAR(p->velocity.x, 0.0f, 1e-3f);
    }
}

} // namespace

namespace {

struct ChangeCounter : MediaControl {
    void OnParamChanged(MediaControl*) override { ++changes; }
    int changes = 0;
};

TEST(ParticleBlockTest, AssignFromTellsOnlyOfChanges)
{
    ParticleSystemParams target;
    ParticleSystemParams source;
    ChangeCounter size, link, glow;
    target.particleSize.AddControl(&size);
    target.textureLink.AddControl(&link);
    target.glowColour.AddControl(&glow);

    target.AssignFrom(source);
    EXPECT_EQ(size.changes + link.changes + glow.changes, 0);

    source.particleSize.value = 12;
    source.textureLink.value.columns = 4; // the picture list is the same: not assigned
    source.glowColour.value = 0x00112233;
    target.AssignFrom(source);
    EXPECT_EQ(size.changes, 1);
    EXPECT_EQ(glow.changes, 1);
    EXPECT_EQ(link.changes, 0);
    EXPECT_EQ(target.particleSize.value, 12u);

    source.textureLink.value.pictures.emplace_back(3, u"common_res.dll");
    target.AssignFrom(source);
    EXPECT_EQ(link.changes, 1);
    EXPECT_EQ(target.textureLink.value.columns, 4u);
    target.particleSize.RemoveControl(&size);
    target.textureLink.RemoveControl(&link);
    target.glowColour.RemoveControl(&glow);
}

} // namespace
