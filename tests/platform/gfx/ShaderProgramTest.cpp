// Custom programs in place of the generated ones (the hook effects use), and
// the cache of generated programs.

#include "GfxTestSupport.h"

namespace gfx::test {
namespace {

class ShaderProgramTest : public DeviceTest {
protected:
    Ref<ShaderProgram> Compile(std::string_view vertex, std::string_view fragment)
    {
        ShaderProgram* program = nullptr;
        std::string error;
        EXPECT_EQ(device->CreateShaderProgram(vertex, fragment, &program, &error), kOk) << error;
        return Ref<ShaderProgram>::Adopt(program);
    }
};

constexpr std::string_view kTintVertex = R"(
out vec2 uv;
void main()
{
    gl_Position = gfx_TransformVertex();
    uv = gfx_TexCoord0;
}
)";

constexpr std::string_view kTintFragment = R"(
uniform sampler2D picture;
uniform vec4 tint;
in vec2 uv;
void main()
{
    gfx_FragColor = texture(picture, uv) * tint;
}
)";

TEST_F(ShaderProgramTest, ReplacesTheFixedFunctionProgramUntilCleared)
{
    Ref<ShaderProgram> program = Compile(kTintVertex, kTintFragment);
    ASSERT_TRUE(program);
    const float tint[4] = {1, 0.5f, 0, 1};
    EXPECT_TRUE(program->SetFloats("tint", tint, 4));
    EXPECT_TRUE(program->SetSampler("picture", 3));
    EXPECT_FALSE(program->SetFloat("missing", 1)) << "unknown names are reported";
    EXPECT_FALSE(program->SetInt("tint", 1)) << "wrong type";
    EXPECT_FALSE(program->SetFloats("tint", tint, 5)) << "more values than the uniform holds";

    Ref<Texture> white = MakeTexture(*device, 1, 1, {0xFFFFFFFF});
    Ref<Texture> gray = MakeTexture(*device, 1, 1, {0xFF808080});
    device->SetTexture(0, gray.Get());
    device->SetTexture(3, white.Get()); // the program samples slot 3
    ASSERT_EQ(device->SetShaderProgram(program.Get()), kOk);
    ASSERT_EQ(Draw(*device, 0x144, ScreenRect(0, 0, kWidth, kHeight)), kOk);
    EXPECT_COLOR_NEAR(ReadTarget(*device)[8 * kWidth + 8], 0xFFFF8000u, 1);

    ASSERT_EQ(device->SetShaderProgram(nullptr), kOk);
    ASSERT_EQ(Draw(*device, 0x144, ScreenRect(0, 0, kWidth, kHeight)), kOk);
    EXPECT_EQ(ReadTarget(*device)[8 * kWidth + 8], 0xFF808080u) << "fixed function again, stage 0 samples slot 0";
}

// World, view and projection reach the program at every draw; clip planes
// clip its draws in world space as they do fixed-function ones.
TEST_F(ShaderProgramTest, ReceivesTransformsAndHonoursClipPlanes)
{
    Ref<ShaderProgram> program = Compile(R"(
void main()
{
    gl_Position = gfx_TransformVertex();
}
)",
                                         R"(
void main()
{
    gfx_FragColor = vec4(1.0);
}
)");
    ASSERT_TRUE(program);
    device->SetShaderProgram(program.Get());
    UseScreenProjection();
    const std::vector<XyzDiffuse> unit{{0, 1, 0, 0}, {0, 0, 0, 0}, {1, 1, 0, 0}, {1, 0, 0, 0}};
    math::Matrix world, view;
    math::MatrixScaling(&world, 4, 16, 1); // 4 x 16
    math::MatrixTranslation(&view, 6, 0, 0);
    device->SetTransform(TransformState::World, world);
    device->SetTransform(TransformState::View, view);
    ASSERT_EQ(Draw(*device, 0x42, unit), kOk);
    auto pixels = ReadTarget(*device);
    EXPECT_EQ(Pixel(pixels, 5, 8), 0xFF000000u);
    EXPECT_EQ(Pixel(pixels, 6, 8), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(pixels, 9, 8), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(pixels, 10, 8), 0xFF000000u);

    // A plane in world space (x <= 2 before the view moves it to 8).
    device->Clear(0, nullptr, ClearFlags::Target, 0xFF000000, 1.0f, 0);
    const float plane[4] = {-1, 0, 0, 2};
    device->SetClipPlane(0, plane);
    device->SetRenderState(RenderState::ClipPlaneEnable, 1);
    ASSERT_EQ(Draw(*device, 0x42, unit), kOk);
    pixels = ReadTarget(*device);
    EXPECT_EQ(Pixel(pixels, 7, 8), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(pixels, 8, 8), 0xFF000000u);

    // Pre-transformed vertices: the program learns it and takes pixels.
    device->SetRenderState(RenderState::ClipPlaneEnable, 0);
    device->Clear(0, nullptr, ClearFlags::Target, 0xFF000000, 1.0f, 0);
    ASSERT_EQ(Draw(*device, 0x44, ScreenColorRect(12, 0, 16, 16, 0)), kOk);
    pixels = ReadTarget(*device);
    EXPECT_EQ(Pixel(pixels, 11, 8), 0xFF000000u);
    EXPECT_EQ(Pixel(pixels, 12, 8), 0xFFFFFFFFu);
}

TEST_F(ShaderProgramTest, CompileErrorsAreReported)
{
    ShaderProgram* program = nullptr;
    std::string error;
    EXPECT_EQ(device->CreateShaderProgram("void main() { gl_Position = undefined_name; }", "void main() {}", &program,
                                          &error),
              kInvalidCall);
    EXPECT_EQ(program, nullptr);
    EXPECT_NE(error.find("vertex"), std::string::npos) << error;

    // A program that sets gl_Position itself would skip the clip planes and
    // the target's conventions.
    EXPECT_EQ(device->CreateShaderProgram("void main() { gl_Position = gfx_Position; }",
                                          "void main() { gfx_FragColor = vec4(1.0); }", &program, &error),
              kInvalidCall);
    EXPECT_NE(error.find("gfx_TransformVertex"), std::string::npos) << error;
}

// One program per combination of the states that shape it: matrices and
// colours do not build new ones, a different operation does, and going back
// reuses the first.
TEST_F(ShaderProgramTest, GeneratedProgramsAreCachedByTheirState)
{
    UseDiffuseOnly(*device);
    const auto quad = ScreenColorRect(0, 0, 4, 4, 0xFFFFFFFF);
    ASSERT_EQ(Draw(*device, 0x44, quad), kOk);
    const std::size_t first = device->FixedFunctionProgramCount();
    math::Matrix world;
    math::MatrixTranslation(&world, 1, 2, 3);
    device->SetTransform(TransformState::World, world);
    device->SetRenderState(RenderState::TextureFactor, 0x12345678);
    device->SetRenderState(RenderState::AlphaBlendEnable, kTrue);
    device->SetTextureStageState(0, TextureStageState::ColorArg2, TextureArg::Texture); // unused by SelectArg1
    ASSERT_EQ(Draw(*device, 0x44, quad), kOk);
    EXPECT_EQ(device->FixedFunctionProgramCount(), first);
    device->SetTextureStageState(0, TextureStageState::ColorOp, std::uint32_t(TextureOp::Modulate));
    ASSERT_EQ(Draw(*device, 0x44, quad), kOk);
    EXPECT_EQ(device->FixedFunctionProgramCount(), first + 1);
    device->SetTextureStageState(0, TextureStageState::ColorOp, std::uint32_t(TextureOp::SelectArg1));
    ASSERT_EQ(Draw(*device, 0x44, quad), kOk);
    EXPECT_EQ(device->FixedFunctionProgramCount(), first + 1);
}

// Every fixed-function combination the scene code sets up compiles.
TEST_F(ShaderProgramTest, EveryVertexFormatAndStageSetUpCompiles)
{
    Ref<Texture> texture = MakeTexture(*device, 1, 1, {0xFFFFFFFF});
    device->SetTexture(0, texture.Get());
    device->SetTexture(1, texture.Get());
    const std::uint32_t formats[] = {0x42, 0x44, 0x102, 0x142, 0x144, 0x112, 0x202, 0x152};
    const std::uint32_t sources[] = {TexCoordIndex::PassThru, TexCoordIndex::CameraSpaceNormal,
                                     TexCoordIndex::CameraSpacePosition, TexCoordIndex::CameraSpaceReflectionVector};
    std::uint32_t round = 0;
    for (std::uint32_t fvf : formats) {
        for (bool lit : {false, true}) {
            const std::uint32_t gen = sources[round++ % 4];
            SCOPED_TRACE(Hex(fvf) + (lit ? " lit" : "") + " gen " + Hex(gen));
            device->SetRenderState(RenderState::Lighting, lit);
            device->SetRenderState(RenderState::SpecularEnable, lit);
            device->LightEnable(0, lit);
            device->SetTextureStageState(1, TextureStageState::ColorOp, std::uint32_t(TextureOp::Modulate));
            device->SetTextureStageState(0, TextureStageState::ColorOp, std::uint32_t(TextureOp::BumpEnvMap));
            device->SetTextureStageState(1, TextureStageState::TexCoordIndex, gen | 1);
            device->SetTextureStageState(1, TextureStageState::TextureTransformFlags,
                                         TextureTransform::Count3 | TextureTransform::Projected);
            device->SetRenderState(RenderState::AlphaTestEnable, kTrue);
            device->SetRenderState(RenderState::AlphaFunc, std::uint32_t(Cmp::Greater));
            ASSERT_EQ(device->SetFVF(fvf), kOk);
            const std::optional<VertexLayout> layout = DecodeFvf(fvf);
            ASSERT_TRUE(layout);
            Ref<VertexBuffer> vb = MakeVertexBuffer(*device, std::vector<std::uint8_t>(layout->stride * 3), fvf);
            device->SetStreamSource(0, vb.Get(), 0, layout->stride);
            EXPECT_EQ(device->DrawPrimitive(PrimitiveType::TriangleList, 0, 1), kOk);
        }
    }
}

} // namespace
} // namespace gfx::test
