#pragma once
// Fixtures for the sprite-pipeline tests: a sprite class of their own, a
// timeline held at a chosen state and level, pictures stored in the
// manager as a document stores them, and the picture-scene fixture (a
// headless 64 x 64 device with a current manager and render context).

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "particles/systems/ParticleSystemCtrl.h"
#include "particles/systems/SpriteArrayObj.h"
#include "render/Timing.h"
#include "tests/render/PictureSceneTestSupport.h"

namespace sprite_test {

using namespace picture_scene_test;

// Places the n-th sprite it starts at (10 n, 20 n) and counts its updates.
class TestSpriteCtrl : public DS_ParticleSystemCtrl {
public:
    TestSpriteCtrl() = default;
    TestSpriteCtrl(const TestSpriteCtrl& other) = default;

    std::unique_ptr<DS_ParticleSystemCtrl> Clone() const override { return std::make_unique<TestSpriteCtrl>(*this); }
    void InitSprite(SpriteParticle& sprite) override
    {
        ++started;
        sprite.position = {10.0f * static_cast<float>(started), 20.0f * static_cast<float>(started), 0.0f};
    }
    void UpdateSprite(SpriteParticle&) override { ++updates; }

    int started = 0;
    int updates = 0;
};

// A sprite array whose picture frames the test can read and set.
class ProbeArray : public DS_SpriteArrayObj {
public:
    using DS_SpriteArrayObj::DS_SpriteArrayObj;
    SpriteFrameInfo& PictureFrames() { return m_frames; }
};

// The vertices of the array's quad batch (none when it cannot be locked).
inline std::vector<QuadBatchVertex> ReadVertices(ParticleGeomArray& array)
{
    std::vector<QuadBatchVertex> out;
    QuadBatchVertex* locked = array.Quads().LockQuads();
    if (!locked)
        return out;
    out.assign(locked, locked + array.Quads().vertices.VertexCount());
    array.Quads().UnlockQuads();
    return out;
}

// A timeline held at a state and level the test sets.
class FixedTimeline : public KXI_Timing {
public:
    void Hold(int state, float level)
    {
        m_state = state;
        m_level = level;
    }
    float Advance(float time) override { return time; }
};

// Installs a FixedTimeline as the description's current timeline.
inline FixedTimeline& HoldTimeline(KXI_RenderObjData& description, int state, float level)
{
    auto timeline = std::make_unique<FixedTimeline>();
    FixedTimeline& held = *timeline;
    held.Hold(state, level);
    description.timing.SetTimeline(std::move(timeline));
    return held;
}

inline const LinkKey kRedLink{u"pictures\\red.bmp", 11};
inline const LinkKey kWhiteLink{u"pictures\\white.bmp", 12};
inline const LinkKey kBlackLink{u"pictures\\black.bmp", 13};
inline const LinkKey kWideLink{u"pictures\\wide.bmp", 14}; // 8 x 4: ratio 0.5

class SpriteSceneTest : public PictureSceneTest {
protected:
    // Stores solid pictures (and any records given) in the manager.
    void StorePictures(DocResManagerRecord record = {})
    {
        auto solid = [&](const LinkKey& link, std::uint32_t w, std::uint32_t h, std::uint32_t rgb) {
            ModuleResourceBlob stored(link.path);
            stored.SetBytes(docres_test::SolidBmp(w, h, rgb));
            record.textureSetRecords[link] = {stored};
        };
        solid(kRedLink, 4, 4, kRedRgb);
        solid(kWhiteLink, 4, 4, 0xFFFFFF);
        solid(kBlackLink, 4, 4, kBlackRgb);
        solid(kWideLink, 8, 4, kGreenRgb);
        DocumentWriter writer;
        writer.DocResManager(record);
        MemoryArchive archive(writer.Bytes());
        ReadDocResManagerRecord(archive.Reader(), *manager);
    }

    static void Link(DS_FileLink3& link, const LinkKey& key) { link.StorePathAndId(key.path, key.id); }

    void ExpectPixel(const std::vector<std::uint32_t>& pixels, std::uint32_t x, std::uint32_t y, std::uint32_t rgb,
                     int tolerance = 10)
    {
        const std::uint32_t pixel = At(pixels, x, y);
        EXPECT_TRUE(ShowsRgb(pixel, rgb, tolerance))
            << "(" << x << ", " << y << ") shows " << Hex(pixel) << ", expected " << Hex(rgb);
    }
};

} // namespace sprite_test
