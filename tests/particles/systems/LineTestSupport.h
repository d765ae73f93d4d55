#pragma once
// Fixtures for the line-system tests: lines read from writer-made records,
// their running copies on the headless picture scene (a 64 x 64 device with
// a current manager and render context, where a white ribbon picture and a
// white head dot are stored), a timeline held where the test puts it, and
// the quads a batch holds.

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "objectmodel/ClassRegistry.h"
#include "particles/systems/ParticleSystemClasses.h"
#include "particles/systems/PathLines.h"
#include "particles/systems/ShootingLine.h"
#include "particles/systems/WavingLine.h"
#include "render/Timing.h"
#include "tests/render/PictureSceneTestSupport.h"
#include "tests/support/LineWriter.h"

namespace line_test {

using namespace picture_scene_test;

inline const LinkKey kRibbonLink{u"pictures\\ribbon.bmp", 21};
inline const LinkKey kHeadLink{u"pictures\\head.bmp", 22};

// A timeline held at a state, level, phase progress and length.
class HeldTimeline : public KXI_Timing {
public:
    void Hold(int state, float level, float progress = 0.0f, float length = 0.0f)
    {
        m_state = state;
        m_level = level;
        m_progress = progress;
        m_length = length;
    }
    float Advance(float time) override { return time; }
    float GetPhaseProgress() const override { return m_progress; }
    float GetLength() const override { return m_length; }

private:
    float m_progress = 0.0f;
    float m_length = 0.0f;
};

inline HeldTimeline& HoldTimeline(KXI_RenderObjData& object, int state, float level, float progress = 0.0f,
                                  float length = 0.0f)
{
    auto timeline = std::make_unique<HeldTimeline>();
    HeldTimeline& held = *timeline;
    held.Hold(state, level, progress, length);
    object.timing.SetTimeline(std::move(timeline));
    return held;
}

// The object a record holds, as the document reader makes it.
template <class T>
std::unique_ptr<T> ReadLine(const DocumentWriter& w)
{
    RegisterParticleSystemClasses();
    MemoryArchive archive(w.Bytes());
    std::unique_ptr<DS_IOF_Item> item = ReadSceneObject(archive.Reader());
    EXPECT_EQ(archive.Remaining(), 0u);
    auto* typed = dynamic_cast<T*>(item.get());
    EXPECT_NE(typed, nullptr);
    if (typed)
        item.release();
    return std::unique_ptr<T>(typed);
}

// A white opaque ribbon block showing kRibbonLink.
inline line_writer::BlockFields Ribbon()
{
    return line_writer::RibbonLayer(kRibbonLink.path, static_cast<std::int64_t>(kRibbonLink.id));
}

// A head block showing the white dot at `size` percent.
inline particle_writer::ControllerFields HeadController(std::uint32_t size = 100)
{
    particle_writer::ControllerFields controller;
    controller.block.textureName = u"Head";
    controller.block.pictures = {{kHeadLink.path, static_cast<std::int64_t>(kHeadLink.id)}};
    controller.block.colours = {0x00FFFFFF};
    controller.block.particleSize = size;
    return controller;
}

// Straight spline points from (x0, y) to (x1, y).
inline std::vector<particle_writer::SplinePointFields> Straight(float x0, float x1, float y, int points = 2)
{
    return particle_writer::StraightSplinePoints({x0, y, 0.0f}, {x1, y, 0.0f}, points);
}

inline std::vector<QuadBatchVertex> BatchQuads(KXI_ParticleSystemMech& mech, std::int32_t batch)
{
    std::vector<QuadBatchVertex> out;
    QuadBatchBuffer* buffer = mech.Batch(batch);
    const std::int32_t quads = mech.QuadCount(batch);
    if (!buffer || quads <= 0)
        return out;
    QuadBatchVertex* vertices = buffer->LockQuads();
    if (!vertices)
        return out;
    out.assign(vertices, vertices + 4 * quads);
    buffer->UnlockQuads();
    return out;
}

// The running copy of a description and its render object, as the scene
// holds them.
struct RunningLine {
    DS_SafePtr<KXI_RenderObj> object;
    KXI_ParticleSystemMech& Mech() const { return *static_cast<KXI_ParticleSystemMech*>(object.get()); }
    template <class T>
    T& Line() const
    {
        return dynamic_cast<T&>(Mech().Controller());
    }
    std::vector<QuadBatchVertex> Quads(std::int32_t batch) const { return BatchQuads(Mech(), batch); }
};

class LineSceneTest : public PictureSceneTest {
protected:
    void SetUp() override
    {
        PictureSceneTest::SetUp();
        StorePictures({{kRibbonLink, 4, 4, 0xFFFFFF}, {kHeadLink, 4, 4, 0xFFFFFF}});
    }

    struct Picture {
        LinkKey link;
        std::uint32_t width;
        std::uint32_t height;
        std::uint32_t rgb;
    };
    void StorePictures(const std::vector<Picture>& pictures)
    {
        DocResManagerRecord record;
        for (const Picture& picture : pictures)
            record.frames[picture.link] = {
                StoredFrame{docres_test::SolidBmp(picture.width, picture.height, picture.rgb), 0.0f}};
        DocumentWriter writer;
        writer.DocResManager(record);
        MemoryArchive archive(writer.Bytes());
        ReadDocResManagerRecord(archive.Reader(), *manager);
    }

    static RunningLine Run(KXI_ParticleSystemCtrl& description)
    {
        std::unique_ptr<KXI_RenderObj> object = description.CreateRenderObject();
        EXPECT_NE(dynamic_cast<KXI_ParticleSystemMech*>(object.get()), nullptr);
        return RunningLine{DS_SafePtr<KXI_RenderObj>(object.release())};
    }
};

} // namespace line_test
