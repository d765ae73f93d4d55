// Render states seen in the pixels: blending (including MAX), colour write
// masks, culling with the y-down projection, user clip planes and texture
// addressing.

#include "GfxTestSupport.h"

namespace gfx::test {
namespace {

class RenderStateTest : public DeviceTest {
protected:
    // An A8R8G8B8 target, so that alpha is kept and can be checked.
    void UseAlphaTarget(std::uint32_t clearColor)
    {
        target = MakeRenderTarget(*device, kWidth, kHeight);
        ASSERT_EQ(device->SetRenderTarget(0, target->SurfaceLevel(0).Get()), kOk);
        ASSERT_EQ(device->Clear(0, nullptr, ClearFlags::Target, clearColor, 1.0f, 0), kOk);
    }

    Ref<Texture> target;
};

struct BlendCase {
    const char* name;
    bool enable;
    Blend src, dest;
    BlendOp op;
    std::uint32_t colorWrite;
    std::uint32_t destColor, srcColor, expected;
};

TEST_F(RenderStateTest, BlendModesCombineSourceAndTarget)
{
    const BlendCase cases[] = {
        {"off", false, Blend::One, Blend::Zero, BlendOp::Add, ColorWrite::All, 0xFF0000FF, 0x80FF0000, 0x80FF0000},
        {"alpha", true, Blend::SrcAlpha, Blend::InvSrcAlpha, BlendOp::Add, ColorWrite::All, 0xFF0000FF, 0x80FF0000,
         0xBF80007F},
        {"additive", true, Blend::One, Blend::One, BlendOp::Add, ColorWrite::All, 0xC0402010, 0x80102030, 0xFF504040},
        {"max", true, Blend::One, Blend::One, BlendOp::Max, ColorWrite::All, 0x40802010, 0x80104030, 0x80804030},
        {"min", true, Blend::One, Blend::One, BlendOp::Min, ColorWrite::All, 0x40802010, 0x80104030, 0x40102010},
        {"max ignores factors", true, Blend::Zero, Blend::Zero, BlendOp::Max, ColorWrite::All, 0x40802010, 0x80104030,
         0x80804030},
        {"reverse subtract", true, Blend::One, Blend::One, BlendOp::RevSubtract, ColorWrite::All, 0xFF804030,
         0x00402010, 0xFF402020},
        {"multiply", true, Blend::Zero, Blend::SrcColor, BlendOp::Add, ColorWrite::All, 0xFFFF8040, 0xFF808080,
         0xFF804020},
        {"no alpha write", false, Blend::One, Blend::Zero, BlendOp::Add, ColorWrite::Red | ColorWrite::Green | ColorWrite::Blue,
         0x00000000, 0xFF123456, 0x00123456},
    };
    for (const BlendCase& c : cases) {
        SCOPED_TRACE(c.name);
        UseAlphaTarget(c.destColor);
        UseDiffuseOnly(*device);
        device->SetRenderState(RenderState::AlphaBlendEnable, c.enable ? kTrue : kFalse);
        device->SetRenderState(RenderState::SrcBlend, std::uint32_t(c.src));
        device->SetRenderState(RenderState::DestBlend, std::uint32_t(c.dest));
        device->SetRenderState(RenderState::BlendOp, std::uint32_t(c.op));
        device->SetRenderState(RenderState::ColorWriteEnable, c.colorWrite);
        ASSERT_EQ(Draw(*device, 0x44, ScreenColorRect(0, 0, kWidth, kHeight, c.srcColor)), kOk);
        EXPECT_COLOR_NEAR(ReadTarget(*device)[5 * kWidth + 7], c.expected, 1);
    }
}

// States stay as set until set again: a second draw blends the same way
// without the caller repeating anything, and a clear ignores the write mask.
TEST_F(RenderStateTest, StatesPersistAcrossDrawsAndClearsWriteEveryChannel)
{
    UseAlphaTarget(0x00000000);
    UseDiffuseOnly(*device);
    device->SetRenderState(RenderState::AlphaBlendEnable, kTrue);
    device->SetRenderState(RenderState::SrcBlend, std::uint32_t(Blend::One));
    device->SetRenderState(RenderState::DestBlend, std::uint32_t(Blend::One));
    device->SetRenderState(RenderState::ColorWriteEnable, ColorWrite::Red | ColorWrite::Green | ColorWrite::Blue);
    for (int i = 0; i < 2; ++i)
        ASSERT_EQ(Draw(*device, 0x44, ScreenColorRect(0, 0, kWidth, kHeight, 0xFF200000)), kOk);
    EXPECT_EQ(ReadTarget(*device)[0], 0x00400000u);
    ASSERT_EQ(device->Clear(0, nullptr, ClearFlags::Target, 0xFF00FF00, 1.0f, 0), kOk);
    EXPECT_EQ(ReadTarget(*device)[0], 0xFF00FF00u);
}

TEST_F(RenderStateTest, ClearLimitedToRectangles)
{
    const Rect rects[] = {{2, 3, 5, 4}, {10, 10, 40, 40}};
    ASSERT_EQ(device->Clear(2, rects, ClearFlags::Target, 0xFFFFFFFF, 1.0f, 0), kOk);
    const auto pixels = ReadTarget(*device);
    for (std::uint32_t y = 0; y < kHeight; ++y)
        for (std::uint32_t x = 0; x < kWidth; ++x) {
            const bool inside = (x >= 2 && x < 5 && y == 3) || (x >= 10 && y >= 10);
            EXPECT_EQ(Pixel(pixels, x, y), inside ? 0xFFFFFFFFu : 0xFF000000u) << x << "," << y;
        }
}

struct CullCase {
    Cull mode;
    bool clockwiseDrawn, counterClockwiseDrawn;
};

// Windings are named as they appear on the target (y down), for vertices
// through a y-down projection and for pre-transformed ones alike.
TEST_F(RenderStateTest, CullModesNameTheWindingSeenOnTheTarget)
{
    UseScreenProjection();
    UseDiffuseOnly(*device);
    // Top-left, top-right, bottom-left: clockwise on the screen.
    const std::vector<XyzDiffuse> clockwise{{1, 1, 0, 0xFFFFFFFF}, {15, 1, 0, 0xFFFFFFFF}, {1, 15, 0, 0xFFFFFFFF}};
    const std::vector<XyzDiffuse> counterClockwise{clockwise[0], clockwise[2], clockwise[1]};
    auto screen = [](const std::vector<XyzDiffuse>& v) {
        std::vector<XyzRhwDiffuse> out;
        for (const XyzDiffuse& p : v)
            out.push_back({p.x, p.y, 0, 1, p.color});
        return out;
    };
    const CullCase cases[] = {
        {Cull::CounterClockwise, true, false}, // the default
        {Cull::Clockwise, false, true},
        {Cull::None, true, true},
    };
    for (const CullCase& c : cases) {
        device->SetRenderState(RenderState::CullMode, std::uint32_t(c.mode));
        for (bool preTransformed : {false, true}) {
            for (bool cw : {true, false}) {
                SCOPED_TRACE(std::to_string(int(c.mode)) + (preTransformed ? " pre-transformed" : " transformed") +
                             (cw ? " clockwise" : " counter-clockwise"));
                device->Clear(0, nullptr, ClearFlags::Target, 0xFF000000, 1.0f, 0);
                const auto& triangle = cw ? clockwise : counterClockwise;
                ASSERT_EQ(preTransformed ? Draw(*device, 0x44, screen(triangle), PrimitiveType::TriangleList)
                                         : Draw(*device, 0x42, triangle, PrimitiveType::TriangleList),
                          kOk);
                const bool drawn = cw ? c.clockwiseDrawn : c.counterClockwiseDrawn;
                EXPECT_EQ(ReadTarget(*device)[3 * kWidth + 3], drawn ? 0xFFFFFFFFu : 0xFF000000u);
            }
        }
    }
    DeviceState defaults(true);
    EXPECT_EQ(defaults.GetRenderState(RenderState::CullMode), std::uint32_t(Cull::CounterClockwise));
}

// Which columns of the row y = 8 a full-target quad leaves white.
std::vector<bool> WhiteColumns(const std::vector<std::uint32_t>& pixels, std::uint32_t width)
{
    std::vector<bool> white;
    for (std::uint32_t x = 0; x < width; ++x)
        white.push_back(pixels[8 * width + x] == 0xFFFFFFFFu);
    return white;
}

std::vector<bool> Columns(std::uint32_t from, std::uint32_t to, std::uint32_t width)
{
    std::vector<bool> white(width);
    for (std::uint32_t x = from; x < to; ++x)
        white[x] = true;
    return white;
}

// Planes are in world space and keep points with a x + b y + c z + d >= 0;
// the player keeps canvas x from 0 to e with planes (1, 0, 0, 0) and
// (-1, 0, 0, e). The clipped edges then rasterise like any edge: pixel
// centres on a left edge are drawn, on a right edge they are not.
TEST_F(RenderStateTest, ClipPlanesKeepTheirWorldSpaceSide)
{
    UseScreenProjection();
    UseDiffuseOnly(*device);
    // The quad covers world x from -4 to 12; the world transform moves it by +4.
    const std::vector<XyzDiffuse> quad{
        {-4, 16, 0, 0xFFFFFFFF}, {-4, 0, 0, 0xFFFFFFFF}, {12, 16, 0, 0xFFFFFFFF}, {12, 0, 0, 0xFFFFFFFF}};
    math::Matrix shift;
    math::MatrixTranslation(&shift, 4, 0, 0);
    ASSERT_EQ(device->SetTransform(TransformState::World, shift), kOk);

    const float keepRight[4] = {1, 0, 0, -8}; // x >= 8
    const float keepLeft[4] = {-1, 0, 0, 10}; // x <= 10
    ASSERT_EQ(device->SetClipPlane(0, keepRight), kOk);
    ASSERT_EQ(device->SetClipPlane(3, keepLeft), kOk);

    struct Case {
        std::uint32_t enable;
        std::vector<bool> expected;
    };
    const Case cases[] = {
        {0, Columns(0, 16, kWidth)},
        {1u << 0, Columns(8, 16, kWidth)},
        {1u << 3, Columns(0, 10, kWidth)},
        {(1u << 0) | (1u << 3), Columns(8, 10, kWidth)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.enable);
        device->Clear(0, nullptr, ClearFlags::Target, 0xFF000000, 1.0f, 0);
        ASSERT_EQ(device->SetRenderState(RenderState::ClipPlaneEnable, c.enable), kOk);
        ASSERT_EQ(Draw(*device, 0x42, quad), kOk);
        EXPECT_EQ(WhiteColumns(ReadTarget(*device), kWidth), c.expected);
    }

    // Pre-transformed vertices are not clipped.
    device->Clear(0, nullptr, ClearFlags::Target, 0xFF000000, 1.0f, 0);
    ASSERT_EQ(Draw(*device, 0x44, ScreenColorRect(0, 0, kWidth, kHeight, 0xFFFFFFFF)), kOk);
    EXPECT_EQ(WhiteColumns(ReadTarget(*device), kWidth), Columns(0, 16, kWidth));
}

// A 2 x 1 texture (red, green) over u from -1 to 3 across 16 pixels, point
// sampled: each texel covers two pixels, the address mode decides the rest.
TEST_F(RenderStateTest, AddressModesRepeatMirrorClampOrUseTheBorder)
{
    constexpr std::uint32_t R = 0xFFFF0000, G = 0xFF00FF00, B = 0xFF0000FF;
    Ref<Texture> texture = MakeTexture(*device, 2, 1, {R, G});
    ASSERT_EQ(device->SetTexture(0, texture.Get()), kOk);
    struct Case {
        TextureAddress mode;
        std::vector<std::uint32_t> expected;
    };
    const Case cases[] = {
        {TextureAddress::Wrap, {R, R, G, G, R, R, G, G, R, R, G, G, R, R, G, G}},
        {TextureAddress::Mirror, {G, G, R, R, R, R, G, G, G, G, R, R, R, R, G, G}},
        {TextureAddress::Clamp, {R, R, R, R, R, R, G, G, G, G, G, G, G, G, G, G}},
        {TextureAddress::Border, {B, B, B, B, R, R, G, G, B, B, B, B, B, B, B, B}},
    };
    ASSERT_EQ(device->SetSamplerState(0, SamplerState::BorderColor, B), kOk);
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.mode));
        ASSERT_EQ(device->SetSamplerState(0, SamplerState::AddressU, std::uint32_t(c.mode)), kOk);
        ASSERT_EQ(Draw(*device, 0x144, ScreenRect(0, 0, kWidth, kHeight, 0xFFFFFFFF, -1, 0.25f, 3, 0.75f)), kOk);
        const auto pixels = ReadTarget(*device);
        EXPECT_EQ(std::vector<std::uint32_t>(pixels.begin() + 8 * kWidth, pixels.begin() + 9 * kWidth), c.expected);
    }
}

TEST_F(RenderStateTest, LinearFilteringBlendsNeighbouringTexels)
{
    Ref<Texture> texture = MakeTexture(*device, 2, 1, {0xFF000000, 0xFFFFFFFF});
    ASSERT_EQ(device->SetTexture(0, texture.Get()), kOk);
    device->SetSamplerState(0, SamplerState::AddressU, std::uint32_t(TextureAddress::Clamp));
    device->SetSamplerState(0, SamplerState::MagFilter, std::uint32_t(TextureFilter::Linear));
    // Pixel 8 of 16 sits at u = 0.5: halfway between the two texel centres.
    ASSERT_EQ(Draw(*device, 0x144, ScreenRect(0, 0, kWidth, kHeight)), kOk);
    const auto pixels = ReadTarget(*device);
    EXPECT_COLOR_NEAR(Pixel(pixels, 8, 8), 0xFF808080u, 3);
    EXPECT_EQ(Pixel(pixels, 0, 8), 0xFF000000u);
    EXPECT_EQ(Pixel(pixels, 15, 8), 0xFFFFFFFFu);
}

TEST_F(RenderStateTest, DepthTestAndWriteFollowTheirStates)
{
    UseDiffuseOnly(*device);
    device->SetRenderState(RenderState::ZEnable, kTrue);
    auto rect = [](float z, std::uint32_t color) {
        std::vector<XyzRhwDiffuse> v = ScreenColorRect(0, 0, 16, 16, color);
        for (XyzRhwDiffuse& p : v)
            p.z = z;
        return v;
    };
    ASSERT_EQ(Draw(*device, 0x44, rect(0.5f, 0xFFFF0000)), kOk);
    ASSERT_EQ(Draw(*device, 0x44, rect(0.7f, 0xFF00FF00)), kOk); // behind: rejected by LessEqual
    EXPECT_EQ(ReadTarget(*device)[0], 0xFFFF0000u);
    device->SetRenderState(RenderState::ZWriteEnable, kFalse);
    ASSERT_EQ(Draw(*device, 0x44, rect(0.3f, 0xFF0000FF)), kOk); // in front, but leaves depth at 0.5
    ASSERT_EQ(Draw(*device, 0x44, rect(0.4f, 0xFFFFFFFF)), kOk);
    EXPECT_EQ(ReadTarget(*device)[0], 0xFFFFFFFFu);
    device->SetRenderState(RenderState::ZEnable, kFalse);
    ASSERT_EQ(Draw(*device, 0x44, rect(0.9f, 0xFF00FF00)), kOk);
    EXPECT_EQ(ReadTarget(*device)[0], 0xFF00FF00u);
}

TEST_F(RenderStateTest, AlphaTestDiscardsByAlphaReference)
{
    UseDiffuseOnly(*device);
    device->SetRenderState(RenderState::AlphaTestEnable, kTrue);
    device->SetRenderState(RenderState::AlphaRef, 0x80);
    device->SetRenderState(RenderState::AlphaFunc, std::uint32_t(Cmp::GreaterEqual));
    ASSERT_EQ(Draw(*device, 0x44, ScreenColorRect(0, 0, 8, 16, 0x7FFFFFFF)), kOk);
    ASSERT_EQ(Draw(*device, 0x44, ScreenColorRect(8, 0, 16, 16, 0x80FFFFFF)), kOk);
    const auto pixels = ReadTarget(*device);
    EXPECT_EQ(Pixel(pixels, 2, 2), 0xFF000000u);
    EXPECT_EQ(Pixel(pixels, 12, 2), 0xFFFFFFFFu);
}

} // namespace
} // namespace gfx::test
