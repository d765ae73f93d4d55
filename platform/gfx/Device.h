#pragma once
// The graphics device: Direct3D 9's device model over OpenGL 3.3 core.
//
// State. Render, texture-stage and sampler states, transforms, lights, the
// material and clip planes persist across draws exactly as on Direct3D 9 and
// start at its documented defaults (DeviceState.h); Reset() returns them to
// the defaults. Draws without a custom program go through generated GLSL
// programs keyed by the state that affects them (FixedFunction.h).
//
// Conventions, fixed once here and in the program preludes:
//  - Matrices are row-vector (p' = p x M), left-handed; the projection yields
//    Direct3D's clip space (depth 0..1).
//  - Every render target, the back buffer included, stores rows top row
//    first, exactly like a texture filled through LockRect: a texture
//    rendered into reads back, and samples, like a loaded picture.
//  - Pixel centres are at integer coordinates, for pre-transformed (XYZRHW)
//    vertices, which are in render-target pixels, and for transformed ones
//    through the viewport (always the whole render target); a pixel whose
//    centre lies on an edge belongs to the triangle right of / below it.
//  - Culling names the winding as seen on the render target (y down): the
//    default Cull::CounterClockwise draws triangles that appear clockwise.
//  - User clip planes are in world space, for the fixed-function pipeline and
//    custom programs alike; points with dot(plane, p) >= 0 are kept.
//    Pre-transformed vertices are not clipped.
//
// Custom programs (effects). SetShaderProgram(program) makes the following
// draws use `program` instead of the generated one, until it is set back to
// null; see ShaderProgram.h for what a program gets: attribute slots per FVF
// field, the current WORLD, VIEW and PROJECTION and the pre-transformed flag
// and target size as uniforms, textures bound per sampler slot.
//
// Lost device. GL does not lose resources, but callers are written for a
// device that does: ForceDeviceLost() (for tests) makes TestCooperativeLevel
// and Present report kDeviceLost and draws do nothing, AllowReset() moves on
// to kDeviceNotReset, and Reset() succeeds only once every default-pool
// resource (render-target textures, default-pool buffers) has been released,
// as on Direct3D 9, so that their owners release and recreate them.
//
// The device is used from the thread on which its context is current.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/crt/WinTypes.h"
#include "platform/gfx/Buffers.h"
#include "platform/gfx/Context.h"
#include "platform/gfx/DeviceState.h"
#include "platform/gfx/FixedFunction.h"
#include "platform/gfx/Formats.h"
#include "platform/gfx/ProgramCache.h"
#include "platform/gfx/Result.h"
#include "platform/gfx/Ref.h"
#include "platform/gfx/ShaderProgram.h"
#include "platform/gfx/Surface.h"
#include "platform/gfx/TargetCoverage.h"
#include "platform/gfx/Texture.h"

namespace gfx {

struct PresentParameters {
    // 0 x 0: the size of the window's drawable (required for headless devices).
    std::uint32_t backBufferWidth = 0, backBufferHeight = 0;
    Format backBufferFormat = Format::X8R8G8B8; // or A8R8G8B8
    bool enableAutoDepthStencil = true;         // a D24S8 depth buffer of the back buffer's size
};

class Device {
public:
    // Makes the device on `context` (made current here). Null with a message
    // in `error` when the context is not OpenGL 3.3 core or the parameters
    // are unusable.
    static std::unique_ptr<Device> Create(std::unique_ptr<Context> context, const PresentParameters& parameters,
                                          std::string* error);
    ~Device();
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;

    // ---- Frame ----
    HRESULT BeginScene();
    HRESULT EndScene();
    // Shows the back buffer in the window (headless: waits until the frame
    // is drawn).
    HRESULT Present();
    // Clears the whole render target, or the `count` rectangles, to `color`
    // (0xAARRGGBB), the depth buffer to `z`, the stencil to `stencil`. Clears
    // write every colour channel whatever ColorWriteEnable says.
    HRESULT Clear(std::uint32_t count, const Rect* rects, std::uint32_t flags, std::uint32_t color, float z,
                  std::uint32_t stencil);

    // ---- State ----
    HRESULT SetRenderState(RenderState state, std::uint32_t value) { return state_.SetRenderState(state, value); }
    HRESULT GetRenderState(RenderState state, std::uint32_t* value) const;
    HRESULT SetTextureStageState(std::uint32_t stage, TextureStageState state, std::uint32_t value)
    {
        return state_.SetTextureStageState(stage, state, value);
    }
    HRESULT GetTextureStageState(std::uint32_t stage, TextureStageState state, std::uint32_t* value) const;
    HRESULT SetSamplerState(std::uint32_t sampler, SamplerState state, std::uint32_t value)
    {
        return state_.SetSamplerState(sampler, state, value);
    }
    HRESULT GetSamplerState(std::uint32_t sampler, SamplerState state, std::uint32_t* value) const;
    HRESULT SetTransform(TransformState state, const math::Matrix& matrix) { return state_.SetTransform(state, matrix); }
    HRESULT GetTransform(TransformState state, math::Matrix* matrix) const { return state_.GetTransform(state, matrix); }
    HRESULT SetLight(std::uint32_t index, const Light& light) { return state_.SetLight(index, light); }
    HRESULT GetLight(std::uint32_t index, Light* light) const { return state_.GetLight(index, light); }
    HRESULT LightEnable(std::uint32_t index, bool enable) { return state_.LightEnable(index, enable); }
    HRESULT SetMaterial(const Material& material);
    HRESULT GetMaterial(Material* material) const;
    HRESULT SetClipPlane(std::uint32_t index, const float plane[4]) { return state_.SetClipPlane(index, plane); }
    HRESULT GetClipPlane(std::uint32_t index, float plane[4]) const { return state_.GetClipPlane(index, plane); }
    // The scissor rectangle in target pixels, used while ScissorTestEnable
    // is on. Setting a render target resets it to the whole target.
    HRESULT SetScissorRect(const Rect& rect);
    HRESULT GetScissorRect(Rect* rect) const;
    const DeviceState& State() const { return state_; }

    // ---- Resources ----
    // `levels` 0 makes the full mip chain. Render targets: usage
    // RenderTarget, pool Default, format A8R8G8B8 or X8R8G8B8.
    HRESULT CreateTexture(std::uint32_t width, std::uint32_t height, std::uint32_t levels, std::uint32_t usage,
                          Format format, Pool pool, Texture** out);
    HRESULT CreateVertexBuffer(std::uint32_t length, std::uint32_t usage, std::uint32_t fvf, Pool pool,
                               VertexBuffer** out);
    HRESULT CreateIndexBuffer(std::uint32_t length, std::uint32_t usage, Format format, Pool pool, IndexBuffer** out);
    // Compiles a custom program (see ShaderProgram.h); the compiler's log goes to `error`.
    HRESULT CreateShaderProgram(std::string_view vertexSource, std::string_view fragmentSource, ShaderProgram** out,
                                std::string* error);

    // ---- Bindings ----
    HRESULT SetTexture(std::uint32_t slot, Texture* texture);
    HRESULT GetTexture(std::uint32_t slot, Texture** out) const;
    HRESULT SetFVF(std::uint32_t fvf);
    HRESULT GetFVF(std::uint32_t* fvf) const;
    HRESULT SetStreamSource(std::uint32_t stream, VertexBuffer* buffer, std::uint32_t offset, std::uint32_t stride);
    HRESULT SetIndices(IndexBuffer* buffer);
    HRESULT SetShaderProgram(ShaderProgram* program);

    // ---- Draws (triangle lists and strips) ----
    HRESULT DrawPrimitive(PrimitiveType type, std::uint32_t startVertex, std::uint32_t primitiveCount);
    HRESULT DrawIndexedPrimitive(PrimitiveType type, std::int32_t baseVertexIndex, std::uint32_t minIndex,
                                 std::uint32_t numVertices, std::uint32_t startIndex, std::uint32_t primitiveCount);

    // ---- Render targets ----
    HRESULT SetRenderTarget(std::uint32_t index, Surface* surface);
    HRESULT GetRenderTarget(std::uint32_t index, Surface** out) const;
    // Null: draw without depth.
    HRESULT SetDepthStencilSurface(Surface* surface);
    // kNotFound (and null) when no depth surface is set.
    HRESULT GetDepthStencilSurface(Surface** out) const;
    HRESULT GetBackBuffer(Surface** out) const;
    HRESULT GetBackBufferDesc(SurfaceDesc* out) const;
    // Copies `sourceRect` of any texture level (null: all of it) into
    // `destRect` of a render-target surface, resizing with point or linear
    // filtering. Leaves every device state as it was.
    HRESULT StretchRect(Surface* source, const Rect* sourceRect, Surface* dest, const Rect* destRect,
                        TextureFilter filter);
    // Copies a render target's pixels into a lockable texture level of the
    // same size and format.
    HRESULT GetRenderTargetData(Surface* renderTarget, Surface* dest);
    // The pixels of a render target (or of an A8R8G8B8/X8R8G8B8 level in
    // memory) as 0xAARRGGBB values, top row first; X8 formats read alpha 0xFF.
    HRESULT ReadPixels(Surface* surface, std::vector<std::uint32_t>* out);

    // ---- Lost device ----
    HRESULT TestCooperativeLevel() const;
    HRESULT Reset(const PresentParameters& parameters);
    void ForceDeviceLost();
    void AllowReset();
    std::uint32_t DefaultPoolResourceCount() const { return link_->defaultPoolResources; }

    // Number of generated programs built so far.
    std::size_t FixedFunctionProgramCount() const { return programs_.Size(); }
    // Full-target draws, copies and clears since the device was made.
    const FullTargetPasses& FullTargetPassCount() const { return passes_; }

private:
    struct Gl;
    enum class Status { Ok, Lost, NotReset };

    Device(std::unique_ptr<Context> context, std::shared_ptr<DeviceLink> link);
    bool MakeBackBuffer(const PresentParameters& parameters, std::string* error);
    void ReleaseBindings();
    void InvalidateGlCaches();

    bool BindFramebuffer();
    void ApplyRenderStates();
    GlslProgram* SelectProgram(const VertexLayout& layout);
    void UseProgram(unsigned name);
    void UploadConstants(GlslProgram& program, const VertexLayout& layout);
    void BindTextures(std::uint32_t units);
    void BindVertexStream(const VertexLayout& layout);
    HRESULT PrepareDraw();
    void CountFullTargetDraw(PrimitiveType type, std::int64_t firstVertex, std::uint32_t vertexCount,
                             std::span<const std::uint8_t> indices);
    bool IsBackBufferSized(const Surface& surface) const;
    std::uint32_t TargetWidth() const;
    std::uint32_t TargetHeight() const;

    std::unique_ptr<Context> context_;
    std::shared_ptr<DeviceLink> link_;
    std::unique_ptr<Gl> gl_;
    PresentParameters parameters_;
    DeviceState state_;
    Status status_ = Status::Ok;
    bool inScene_ = false;
    std::uint32_t maxTextureSize_ = 0;

    Ref<Texture> backBuffer_;
    Ref<Surface> autoDepthStencil_;
    Ref<Surface> renderTarget_;
    Ref<Surface> depthStencil_;
    std::array<Ref<Texture>, kMaxSamplers> textures_;
    std::uint32_t fvf_ = 0;
    std::optional<VertexLayout> layout_;
    Ref<VertexBuffer> stream_;
    std::uint32_t streamOffset_ = 0, streamStride_ = 0;
    Ref<IndexBuffer> indices_;
    Ref<ShaderProgram> shaderProgram_;
    ProgramCache programs_;
    FullTargetPasses passes_;

    // What GL was last given, to skip repeating it.
    bool framebufferDirty_ = true;
    bool renderStatesDirty_ = true;
    // Empty: the whole current target.
    std::optional<Rect> scissorRect_;
    std::uint64_t appliedStateVersion_ = 0;
    std::uint64_t keyStateVersion_ = 0;
    std::uint32_t keyFvf_ = 0, keyTextures_ = 0;
    GlslProgram* keyProgram_ = nullptr;
    unsigned boundProgram_ = 0;
    std::uint64_t constantsSerial_ = 1;
    std::uint64_t seenConstantsVersion_ = 0;
    bool seenPreTransformed_ = false;
    std::array<unsigned, kMaxSamplers> boundTextures_{};
    bool streamDirty_ = true;
};

} // namespace gfx
