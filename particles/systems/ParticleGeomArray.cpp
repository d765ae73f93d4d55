#include "particles/systems/ParticleGeomArray.h"

#include <algorithm>
#include <cmath>
#include <sstream>
#include <utility>

#include "platform/math/MathFunctions.h"
#include "render/RenderContext.h"
#include "render/ResourceLoading.h"

namespace {

math::Vec3 operator+(math::Vec3 a, const math::Vec3& b) { return a += b; }
math::Vec3 operator-(math::Vec3 a, const math::Vec3& b) { return a -= b; }
math::Vec3 operator*(math::Vec3 a, float s) { return a *= s; }

float StripFrameCount(const DS_BaseSpriteProp& controller)
{
    return controller.frameCount == 0 ? 1.0f : static_cast<float>(controller.frameCount);
}

// Texture corners of the four vertices of a quad in vertex order.
struct QuadUv {
    float u[4];
    float v[4];
};

QuadUv CornerUv(float uA, float uB, float vA, float vB)
{
    return {{uA, uA, uB, uB}, {vB, vA, vB, vA}};
}

// +1 for a zero extent, so that the text export's axis matrix stays
// invertible.
float SignOf(float extent)
{
    return extent < 0.0f ? -1.0f : 1.0f;
}

math::Vec3 TransformPoint(const math::Matrix& m, const math::Vec3& p)
{
    math::Vec3 out;
    math::Vec3TransformCoord(&out, p, m);
    return out;
}

math::Vec3 TransformVector(const math::Matrix& m, const math::Vec3& v)
{
    math::Vec3 out;
    math::Vec3TransformNormal(&out, v, m);
    return out;
}

math::Matrix CurrentViewMatrix()
{
    return g_RenderContextTls ? g_RenderContextTls->view : math::Matrix{};
}

} // namespace

SpriteCorners CornersOf(const SpriteParticle& sprite)
{
    const math::Vec3 a = sprite.axisX * sprite.halfWidth;
    const math::Vec3 b = sprite.axisY * sprite.halfHeight;
    const math::Vec3& p = sprite.position;
    return {{p - a + b, p - a - b, p + a + b, p + a - b}};
}

ParticleGeomArray::ParticleGeomArray(std::unique_ptr<DS_ParticleSystemCtrl> controller)
    : DS_ABObj(std::move(controller)), m_controller(static_cast<DS_ParticleSystemCtrl*>(OwnedDescription()))
{
    if (m_controller)
        m_controls.AddValueCallback<std::uint32_t>(&m_controller->spriteCount, &ParticleGeomArray::ResizeSprites);
}

ParticleGeomArray::~ParticleGeomArray()
{
    m_controls.Clear();
    m_sprites.clear();
}

std::uint32_t ParticleGeomArray::ClampedSpriteCount() const
{
    return std::min(m_controller->spriteCount.value, kMaxSprites);
}

std::uint32_t ParticleGeomArray::WritableQuadCount() const
{
    const std::uint32_t count = ClampedSpriteCount();
    if (m_quads.vertices.VertexCount() / 4 != static_cast<std::int32_t>(count))
        return 0;
    return std::min<std::uint32_t>(count, static_cast<std::uint32_t>(m_sprites.size()));
}

void ParticleGeomArray::ResizeSprites(std::uint32_t count)
{
    const std::uint32_t n = std::min(count, kMaxSprites);
    if (n != 0) {
        m_quads.vertices.Release();
        if (gfx::Device* device = GetResourceDevice())
            m_quads.BuildQuadIndices(*device, static_cast<std::int32_t>(n));
        else
            m_quads.Release();
    }
    while (m_sprites.size() < n) {
        auto sprite = std::make_unique<SpriteParticle>();
        sprite->Init(*m_controller);
        sprite->ResetState(*m_controller);
        m_sprites.push_back(std::move(sprite));
        m_controller->InitSprite(*m_sprites.back());
    }
    while (m_sprites.size() > n)
        m_sprites.pop_back();
}

void ParticleGeomArray::StepSprites(float time)
{
    m_controller->StepClocks(time);
    for (const auto& sprite : m_sprites)
        m_controller->UpdateSprite(*sprite);
}

void ParticleGeomArray::StripRange(const DS_ParticleSystemCtrl& controller, float& u0, float& u1)
{
    const float clock = controller.animationClock;
    // 0 frames per second keeps the strip on its frame.
    if (controller.frameRate != 0.0f && clock - m_stripSwitchTime > 1.0f / controller.frameRate) {
        m_stripFrame = controller.NextFrameIndex(m_stripFrame);
        m_stripSwitchTime = clock;
    } else if (m_stripSwitchTime > clock) {
        m_stripSwitchTime = 0.0f;
    }
    const float frames = StripFrameCount(controller);
    u0 = static_cast<float>(m_stripFrame) / frames;
    u1 = static_cast<float>(m_stripFrame + 1) / frames;
}

void ParticleGeomArray::FillVertices(DS_ParticleSystemCtrl& controller)
{
    const std::uint32_t count = WritableQuadCount();
    if (count == 0)
        return;
    const bool flipU = controller.flipU.value != 0;
    const bool flipV = controller.flipV.value != 0;
    const bool strip = controller.framesInOneImage != 0;
    float stripU0 = 0.0f;
    float stripU1 = 1.0f;
    if (strip)
        StripRange(controller, stripU0, stripU1);

    QuadBatchVertex* vertices = m_quads.LockQuads();
    if (!vertices)
        return;
    for (std::uint32_t i = 0; i < count; ++i) {
        const SpriteParticle& sprite = *m_sprites[i];
        float vA = sprite.texV0;
        float vB = sprite.texV1;
        if (flipV)
            std::swap(vA, vB);
        float uA = strip ? stripU0 : sprite.texU0;
        float uB = strip ? stripU1 : sprite.texU1;
        if (flipU)
            std::swap(uA, uB);
        const SpriteCorners corners = CornersOf(sprite);
        const QuadUv uv = CornerUv(uA, uB, vA, vB);
        const std::uint32_t colour = controller.ApplyTimingAlpha(sprite.colour);
        QuadBatchVertex* quad = vertices + 4 * i;
        for (int k = 0; k < 4; ++k)
            quad[k] = {corners.corner[k].x, corners.corner[k].y, corners.corner[k].z, colour, uv.u[k], uv.v[k]};
    }
    m_quads.UnlockQuads();
}

void ParticleGeomArray::AddSpriteRects(BoundingRectList& list) const
{
    for (const auto& sprite : m_sprites) {
        const SpriteCorners corners = CornersOf(*sprite);
        float left = corners.corner[0].x;
        float right = left;
        float top = corners.corner[0].y;
        float bottom = top;
        for (const math::Vec3& c : corners.corner) {
            left = std::min(left, c.x);
            right = std::max(right, c.x);
            top = std::min(top, c.y);
            bottom = std::max(bottom, c.y);
        }
        list.push_back(BoundingRect{left, top, right - left, bottom - top});
    }
}

void ParticleGeomArray::OnSpriteCommand(FrameTextWriter& record, int value)
{
    WriteFrameText(record, value != 0);
}

void ParticleGeomArray::WriteSpriteBlock(std::string& out) const
{
    const math::Matrix view = CurrentViewMatrix();
    std::ostringstream text;
    text << "[ ";
    const std::uint32_t count = std::min<std::uint32_t>(ClampedSpriteCount(), static_cast<std::uint32_t>(m_sprites.size()));
    for (std::uint32_t i = 0; i < count; ++i) {
        const SpriteParticle& sprite = *m_sprites[i];
        const float w = sprite.halfWidth;
        const float h = sprite.halfHeight;
        const math::Vec3 corner = TransformPoint(view, sprite.position - sprite.axisX * w - sprite.axisY * h);
        const math::Vec3 size = TransformVector(view, {2.0f * std::fabs(w), 2.0f * std::fabs(h), 0.0f});
        // The rows of the sprite's axis matrix are the axes with the sign of
        // their extents; its 2 x 2 inverse gives the transform's terms.
        const math::Vec3 a = sprite.axisX * SignOf(w);
        const math::Vec3 b = sprite.axisY * SignOf(h);
        const float det = a.x * b.y - a.y * b.x;
        const float inv = det != 0.0f ? 1.0f / det : 0.0f;
        // 0 - x: a zero term is written as 0, not -0.
        const float tr[6] = {b.y * inv, 0.0f - a.y * inv, 0.0f, 0.0f - b.x * inv, a.x * inv, 0.0f};
        const std::uint32_t colour = m_controller->ApplyTimingAlpha(sprite.colour);
        text << "{x:" << corner.x << ",y:" << corner.y << ",cx:" << size.x << ",cy:" << size.y << ",tr:[" << tr[0]
             << "," << tr[1] << "," << tr[2] << "," << tr[3] << "," << tr[4] << "," << tr[5]
             << "],a:" << static_cast<float>(colour >> 24) / 255.0f << "},";
    }
    text << " ],";
    out += text.str();
}

void ParticleGeomArray::WriteFrameText(FrameTextWriter& writer, bool final)
{
    ++writer.frameCounter;
    const std::int32_t pictureFrame = PictureFrameIndex();
    if (writer.mainText.empty()) {
        writer.mainText += "[ [0,1,";
        writer.spriteText += "[ ";
        WriteSpriteBlock(writer.spriteText);
    } else if (final) {
        WriteSpriteBlock(writer.spriteText);
        writer.spriteText += " ]";
        writer.mainText += std::to_string(writer.frameCounter) + "] ]";
    } else if (m_controller->CountLimitReached(writer.frameCounter) || pictureFrame != m_lastTextPictureFrame) {
        WriteSpriteBlock(writer.spriteText);
        const std::int32_t k = writer.keyCounter++;
        writer.mainText += std::to_string(writer.frameCounter) + "],[" + std::to_string(k + 1) + "," +
                           std::to_string(k + 2) + ",";
        writer.frameCounter = 0;
    }
    m_lastTextPictureFrame = pictureFrame;
}
