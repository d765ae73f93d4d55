#pragma once
// Fixtures for the generator tests: a concrete textured generator whose one
// layer holds quads the test places, and a renderer that records what the
// generator passes ask of it without drawing.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "particles/generators/ParticlesObj.h"
#include "particles/generators/TexParticleGenerator.h"
#include "platform/gfx/Device.h"
#include "render/ABRender.h"
#include "render/QuadTextured.h"
#include "render/ResourceLoading.h"

namespace generator_test {

// A canvas rectangle as the quad of a layer, in one colour.
struct PlacedQuad {
    float left, top, right, bottom;
    std::uint32_t argb;
};

inline GenQuad RectQuad(const PlacedQuad& q)
{
    GenQuad quad = BuildCornerQuad({q.left, q.top, 0.0f}, q.right - q.left, q.bottom - q.top);
    for (QuadBatchVertex& vertex : quad)
        vertex.colour = q.argb;
    return quad;
}

// A textured generator with `layers` layers of placed quads. Its Render
// draws the masked layer with `drawTexture`, or, with `joinedLast` set, the
// joined layers and their composite.
class TestTexGenerator : public DS_TexParticleGenerator {
public:
    TestTexGenerator() = default;
    TestTexGenerator(const TestTexGenerator&) = default;

    void BuildGeometry(DS_ParticlesObj& target) override
    {
        DS_TexParticleGenerator::BuildGeometry(target);
        PrepareMaskSurface();
        target.SetLayerCount(layers.size());
        for (std::size_t layer = 0; layer < layers.size(); ++layer) {
            target.ResizeLayer(layer, static_cast<std::int32_t>(layers[layer].size()));
            if (!target.LockLayer(layer))
                continue;
            for (std::size_t i = 0; i < layers[layer].size(); ++i)
                target.SetQuad(layer, static_cast<std::int32_t>(i), RectQuad(layers[layer][i]));
            target.UnlockLayer(layer);
        }
    }
    void Render(DS_ABRender& renderer, DS_ParticlesObj& target) override
    {
        if (joinedLast < 0) {
            DrawMaskedLayer(renderer, target, drawTexture);
            return;
        }
        DrawJoinedLayers(static_cast<std::size_t>(joinedLast), renderer, target);
        Composite(renderer);
    }
    std::unique_ptr<DS_ParticleGenerator> Clone() const override { return std::make_unique<TestTexGenerator>(*this); }

    std::vector<std::vector<PlacedQuad>> layers{{}};
    gfx::Texture* drawTexture = nullptr;
    int joinedLast = -1;
};

// Records the generator passes: views pushed and popped, layer draws (with
// the technique, or "straight" and the stage-0 texture) and composites.
class RecordingRenderer : public DS_ABRender {
public:
    struct Event {
        std::string what;      // "push", "pop", "layer", "composite"
        std::string technique; // "straight" for a draw without an effect
        std::uint32_t quads = 0;
        gfx::Texture* stageTexture = nullptr;
        int mode = 0;
        std::uint32_t clipPlanes = 0; // the device's clip-plane enabling at a layer draw
    };

    explicit RecordingRenderer(gfx::Device& device) : m_device(device) { m_background.Build(device); }

    void PushView(std::uint32_t, std::uint32_t, int mode) override { events.push_back({"push", "", 0, nullptr, mode, 0}); }
    void PopView() override { events.push_back({"pop", "", 0, nullptr, 0, 0}); }
    void DrawIndexedOptionalEffect(QuadBatchBuffer&, gfx::Effect* effect, std::uint32_t, std::uint32_t quads) override
    {
        gfx::Texture* texture = nullptr;
        m_device.GetTexture(0, &texture);
        std::uint32_t clipPlanes = 0;
        m_device.GetRenderState(gfx::RenderState::ClipPlaneEnable, &clipPlanes);
        events.push_back({"layer", effect ? effect->CurrentTechnique() : "straight", quads, texture, 0, clipPlanes});
        if (texture)
            texture->Release();
    }
    void DrawWithEffect(TexturedQuad&, gfx::Effect& effect) override
    {
        events.push_back({"composite", effect.CurrentTechnique(), 0, nullptr, 0, 0});
    }
    gfx::Texture* GetTargetTexture() override { return targetTexture; }
    TexturedQuad& GetBackgroundQuad() override { return m_background; }
    std::uint32_t GetWidth() const override { return 32; }
    std::uint32_t GetHeight() const override { return 16; }

    void DrawIndexedWithEffect(QuadBatchBuffer&, gfx::Effect&) override { Unexpected(); }
    void DrawColoredWithEffect(QuadBatchBuffer&, gfx::Effect&) override { Unexpected(); }
    void DrawSpriteList(MeshItem&) override { Unexpected(); }
    void DrawTexturedBatch(DS_SpriteArrayObj&) override { Unexpected(); }
    void DrawMeshList(TexturedBatch&) override { Unexpected(); }
    void DrawMirrored(MirroredGrid&, int) override { Unexpected(); }
    void SwitchRenderTarget(int&) override { Unexpected(); }

    std::vector<std::string> Whats() const
    {
        std::vector<std::string> out;
        for (const Event& event : events)
            out.push_back(event.what == "layer" || event.what == "composite" ? event.what + " " + event.technique
                                                                              : event.what);
        return out;
    }

    std::vector<Event> events;
    gfx::Texture* targetTexture = nullptr;

private:
    static void Unexpected() { ADD_FAILURE() << "a generator drew through an unexpected operation"; }

    gfx::Device& m_device;
    TexturedQuad m_background;
};

} // namespace generator_test
