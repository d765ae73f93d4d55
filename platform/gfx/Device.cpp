#include "platform/gfx/Device.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/gfx/GlObjects.h"
#include "platform/gfx/GlslProgram.h"
#include "platform/gfx/Result.h"

namespace gfx {
namespace {

// Limits against sizes that come from documents: no single resource may ask
// for more than this.
constexpr std::uint64_t kMaxResourceBytes = std::uint64_t(1) << 30;

// Copies between surfaces: a quad over the destination rectangle that samples
// one level of the source. Both store rows top first, so no flip is needed.
constexpr std::string_view kBlitVertex = R"(
uniform vec4 blit_Dest;
uniform vec4 blit_Source;
out vec2 blit_Coord;
void main()
{
    vec2 corner = vec2(float(gl_VertexID & 1), float(gl_VertexID >> 1));
    gl_Position = vec4(mix(blit_Dest.xy, blit_Dest.zw, corner), 0.0, 1.0);
    blit_Coord = mix(blit_Source.xy, blit_Source.zw, corner);
}
)";

constexpr std::string_view kBlitFragment = R"(
uniform sampler2D blit_Texture;
uniform float blit_Level;
in vec2 blit_Coord;
void main()
{
    gfx_FragColor = textureLod(blit_Texture, blit_Coord, blit_Level);
}
)";

struct SamplerParams {
    GLint wrapS = 0, wrapT = 0, minFilter = 0, magFilter = 0;
    std::uint32_t border = 0;
    friend bool operator==(const SamplerParams&, const SamplerParams&) = default;
};

GLenum BlendFactor(std::uint32_t blend)
{
    constexpr GLenum kFactors[] = {
        GL_ZERO,      GL_ONE,       GL_SRC_COLOR,           GL_ONE_MINUS_SRC_COLOR, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA,
        GL_DST_ALPHA, GL_ONE_MINUS_DST_ALPHA, GL_DST_COLOR, GL_ONE_MINUS_DST_COLOR, GL_SRC_ALPHA_SATURATE,
    };
    return kFactors[std::clamp<std::uint32_t>(blend, 1, 11) - 1];
}

GLenum BlendEquation(std::uint32_t op)
{
    constexpr GLenum kEquations[] = {GL_FUNC_ADD, GL_FUNC_SUBTRACT, GL_FUNC_REVERSE_SUBTRACT, GL_MIN, GL_MAX};
    return kEquations[std::clamp<std::uint32_t>(op, 1, 5) - 1];
}

// The comparison functions are in the same order in both APIs.
GLenum Comparison(std::uint32_t cmp) { return GL_NEVER + (std::clamp<std::uint32_t>(cmp, 1, 8) - 1); }

GLint AddressMode(std::uint32_t address)
{
    switch (TextureAddress(address)) {
    case TextureAddress::Mirror:
        return GL_MIRRORED_REPEAT;
    case TextureAddress::Clamp:
        return GL_CLAMP_TO_EDGE;
    case TextureAddress::Border:
        return GL_CLAMP_TO_BORDER;
    case TextureAddress::Wrap:
        break;
    }
    return GL_REPEAT;
}

GLint MinFilter(std::uint32_t min, std::uint32_t mip)
{
    const bool linear = TextureFilter(min) != TextureFilter::Point;
    switch (TextureFilter(mip)) {
    case TextureFilter::Point:
        return linear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
    case TextureFilter::Linear:
        return linear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
    default:
        return linear ? GL_LINEAR : GL_NEAREST;
    }
}

SamplerParams SamplerParamsOf(const DeviceState& state, std::uint32_t slot)
{
    auto get = [&](SamplerState s) { return state.GetSamplerState(slot, s); };
    SamplerParams params;
    params.wrapS = AddressMode(get(SamplerState::AddressU));
    params.wrapT = AddressMode(get(SamplerState::AddressV));
    params.minFilter = MinFilter(get(SamplerState::MinFilter), get(SamplerState::MipFilter));
    params.magFilter = TextureFilter(get(SamplerState::MagFilter)) == TextureFilter::Point ? GL_NEAREST : GL_LINEAR;
    params.border = get(SamplerState::BorderColor);
    return params;
}

// 0xAARRGGBB as (r, g, b, a) floats.
std::array<float, 4> ColorToFloats(std::uint32_t color)
{
    return {float((color >> 16) & 255) / 255.0f, float((color >> 8) & 255) / 255.0f, float(color & 255) / 255.0f,
            float(color >> 24) / 255.0f};
}

void SetMatrix(int location, const math::Matrix& m)
{
    if (location >= 0)
        glUniformMatrix4fv(location, 1, GL_TRUE, &m.m[0][0]); // stored by rows: `v * M` is mul(v, M)
}

void SetColor(int location, const ColorValue& c)
{
    if (location >= 0)
        glUniform4f(location, c.r, c.g, c.b, c.a);
}

// The inverse transpose of the upper 3x3 of `m`, by rows; `m` itself when it
// has no inverse (a flattened transform), which keeps lighting finite.
std::array<float, 9> NormalMatrix(const math::Matrix& m)
{
    auto a = [&](int r, int c) { return m.m[r][c]; };
    const float c00 = a(1, 1) * a(2, 2) - a(1, 2) * a(2, 1);
    const float c01 = a(1, 2) * a(2, 0) - a(1, 0) * a(2, 2);
    const float c02 = a(1, 0) * a(2, 1) - a(1, 1) * a(2, 0);
    const float det = a(0, 0) * c00 + a(0, 1) * c01 + a(0, 2) * c02;
    if (det == 0.0f || !std::isfinite(det))
        return {a(0, 0), a(0, 1), a(0, 2), a(1, 0), a(1, 1), a(1, 2), a(2, 0), a(2, 1), a(2, 2)};
    const float c10 = a(0, 2) * a(2, 1) - a(0, 1) * a(2, 2);
    const float c11 = a(0, 0) * a(2, 2) - a(0, 2) * a(2, 0);
    const float c12 = a(0, 1) * a(2, 0) - a(0, 0) * a(2, 1);
    const float c20 = a(0, 1) * a(1, 2) - a(0, 2) * a(1, 1);
    const float c21 = a(0, 2) * a(1, 0) - a(0, 0) * a(1, 2);
    const float c22 = a(0, 0) * a(1, 1) - a(0, 1) * a(1, 0);
    // inverse = adjugate / det, adjugate = transposed cofactors; its transpose
    // is the cofactor matrix itself.
    const float s = 1.0f / det;
    return {c00 * s, c01 * s, c02 * s, c10 * s, c11 * s, c12 * s, c20 * s, c21 * s, c22 * s};
}

// A light's direction carried into view space and normalised.
math::Vec3 ViewDirection(const math::Vec3& d, const math::Matrix& view)
{
    math::Vec3 v{d.x * view.m[0][0] + d.y * view.m[1][0] + d.z * view.m[2][0],
                 d.x * view.m[0][1] + d.y * view.m[1][1] + d.z * view.m[2][1],
                 d.x * view.m[0][2] + d.y * view.m[1][2] + d.z * view.m[2][2]};
    const float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    if (length > 0.0f) {
        v.x /= length;
        v.y /= length;
        v.z /= length;
    }
    return v;
}

bool VertexCount(PrimitiveType type, std::uint32_t primitives, std::uint64_t* count)
{
    switch (type) {
    case PrimitiveType::TriangleList:
        *count = std::uint64_t(primitives) * 3;
        return true;
    case PrimitiveType::TriangleStrip:
        *count = std::uint64_t(primitives) + 2;
        return true;
    }
    return false;
}

GLenum DrawMode(PrimitiveType type) { return type == PrimitiveType::TriangleList ? GL_TRIANGLES : GL_TRIANGLE_STRIP; }

bool IsColorTarget(Format format) { return format == Format::A8R8G8B8 || format == Format::X8R8G8B8; }

// The rectangle, or the whole surface when it is null; false when it does
// not lie inside the surface or is empty.
bool ResolveRect(const Rect* rect, std::uint32_t width, std::uint32_t height, Rect* out)
{
    *out = rect ? *rect : Rect{0, 0, std::int32_t(width), std::int32_t(height)};
    return out->left >= 0 && out->top >= 0 && out->right <= std::int32_t(width) && out->bottom <= std::int32_t(height) &&
           out->left < out->right && out->top < out->bottom;
}

template <typename T>
HRESULT HandOut(const Ref<T>& object, T** out)
{
    if (!out)
        return kInvalidCall;
    *out = object.Get();
    if (*out)
        (*out)->AddRef();
    return kOk;
}

} // namespace

struct Device::Gl {
    GlVertexArray vertexArray = GlVertexArray::Create();
    GlVertexArray blitVertexArray = GlVertexArray::Create();
    GlFramebuffer drawFramebuffer = GlFramebuffer::Create();
    GlFramebuffer blitFramebuffer = GlFramebuffer::Create();
    GlFramebuffer readFramebuffer = GlFramebuffer::Create();
    std::array<GlSampler, kMaxSamplers> samplers;
    std::array<SamplerParams, kMaxSamplers> samplerParams{};
    GlSampler blitSampler = GlSampler::Create();
    std::unique_ptr<GlslProgram> blitProgram;

    Gl()
    {
        for (std::uint32_t unit = 0; unit < kMaxSamplers; ++unit) {
            samplers[unit] = GlSampler::Create();
            glBindSampler(unit, samplers[unit].Name());
        }
    }
};

// ---- Creation ---------------------------------------------------------------

Device::Device(std::unique_ptr<Context> context, std::shared_ptr<DeviceLink> link)
    : context_(std::move(context)), link_(std::move(link)), state_(true)
{
    link_->device = this;
}

std::unique_ptr<Device> Device::Create(std::unique_ptr<Context> context, const PresentParameters& parameters,
                                       std::string* error)
{
    std::string ignored;
    std::string& message = error ? *error : ignored;
    if (!context || !context->MakeCurrent()) {
        message = "the GL context cannot be made current";
        return nullptr;
    }
    if (epoxy_is_desktop_gl() == 0 || epoxy_gl_version() < 33) {
        message = "OpenGL 3.3 core is needed; the context offers version " + std::to_string(epoxy_gl_version());
        return nullptr;
    }
    std::unique_ptr<Device> device(new Device(std::move(context), std::make_shared<DeviceLink>()));
    GLint maxTextureSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTextureSize);
    device->maxTextureSize_ = std::uint32_t(std::max(maxTextureSize, 1));
    device->gl_ = std::make_unique<Gl>();
    device->gl_->blitProgram = GlslProgram::Build(kBlitVertex, kBlitFragment, &message);
    if (!device->gl_->blitProgram)
        return nullptr;
    glBindVertexArray(device->gl_->vertexArray.Name());
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glDisable(GL_DITHER);
    glFrontFace(GL_CCW);
    device->state_ = DeviceState(parameters.enableAutoDepthStencil);
    if (!device->MakeBackBuffer(parameters, &message))
        return nullptr;
    return device;
}

Device::~Device()
{
    context_->MakeCurrent();
    ReleaseBindings();
    backBuffer_.Reset();
    autoDepthStencil_.Reset();
    programs_.Clear();
    gl_.reset();
    link_->device = nullptr;
}

bool Device::MakeBackBuffer(const PresentParameters& parameters, std::string* error)
{
    std::uint32_t width = parameters.backBufferWidth, height = parameters.backBufferHeight;
    if (width == 0 || height == 0)
        context_->DrawableSize(&width, &height);
    if (width == 0 || height == 0 || width > maxTextureSize_ || height > maxTextureSize_) {
        *error = "unusable back-buffer size " + std::to_string(width) + "x" + std::to_string(height);
        return false;
    }
    if (!IsColorTarget(parameters.backBufferFormat)) {
        *error = "the back buffer must be A8R8G8B8 or X8R8G8B8";
        return false;
    }
    parameters_ = parameters;
    Ref<Texture> backBuffer = Ref<Texture>::Adopt(new Texture(link_, width, height, 1, Usage::RenderTarget,
                                                              parameters.backBufferFormat, Pool::Default, true));
    if (!backBuffer->Allocate()) {
        *error = "no memory for the back buffer";
        return false;
    }
    backBuffer_ = backBuffer;
    renderTarget_ = backBuffer_->SurfaceLevel(0);
    if (parameters.enableAutoDepthStencil) {
        autoDepthStencil_ = Ref<Surface>::Adopt(new Surface(link_, width, height, true));
        depthStencil_ = autoDepthStencil_;
    }
    InvalidateGlCaches();
    return true;
}

void Device::ReleaseBindings()
{
    for (Ref<Texture>& texture : textures_)
        texture.Reset();
    stream_.Reset();
    indices_.Reset();
    shaderProgram_.Reset();
    renderTarget_.Reset();
    depthStencil_.Reset();
    fvf_ = 0;
    layout_.reset();
}

void Device::InvalidateGlCaches()
{
    framebufferDirty_ = true;
    renderStatesDirty_ = true;
    keyProgram_ = nullptr;
    keyStateVersion_ = 0;
    boundProgram_ = ~0u;
    ++constantsSerial_;
    boundTextures_.fill(~0u);
    streamDirty_ = true;
}

// ---- Frame ------------------------------------------------------------------

HRESULT Device::BeginScene()
{
    if (inScene_)
        return kInvalidCall;
    inScene_ = true;
    return kOk;
}

HRESULT Device::EndScene()
{
    if (!inScene_)
        return kInvalidCall;
    inScene_ = false;
    return kOk;
}

HRESULT Device::Present()
{
    if (status_ != Status::Ok)
        return kDeviceLost;
    if (!context_->HasWindow()) {
        // Nothing to show: the frame is complete once GL has drawn it.
        glFinish();
        return kOk;
    }
    std::uint32_t width = 0, height = 0;
    context_->DrawableSize(&width, &height);
    if (width == 0 || height == 0)
        return kOk;
    // The back buffer holds the top row first; the window's framebuffer wants
    // the bottom row first, so the copy flips.
    glBindFramebuffer(GL_READ_FRAMEBUFFER, gl_->readFramebuffer.Name());
    glFramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, backBuffer_->GlName(), 0);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glDisable(GL_SCISSOR_TEST);
    const bool sameSize = width == backBuffer_->Width() && height == backBuffer_->Height();
    glBlitFramebuffer(0, 0, GLint(backBuffer_->Width()), GLint(backBuffer_->Height()), 0, GLint(height), GLint(width), 0,
                      GL_COLOR_BUFFER_BIT, sameSize ? GL_NEAREST : GL_LINEAR);
    context_->Present();
    framebufferDirty_ = true;
    return kOk;
}

HRESULT Device::Clear(std::uint32_t count, const Rect* rects, std::uint32_t flags, std::uint32_t color, float z,
                      std::uint32_t stencil)
{
    const bool depthPart = (flags & (ClearFlags::ZBuffer | ClearFlags::Stencil)) != 0;
    if ((count > 0 && !rects) || (depthPart && !depthStencil_) || (flags & 7u) == 0)
        return kInvalidCall;
    if (status_ != Status::Ok)
        return kOk;
    if (!BindFramebuffer())
        return kInvalidCall;

    GLbitfield mask = 0;
    if (flags & ClearFlags::Target) {
        const std::array<float, 4> c = ColorToFloats(color);
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        glClearColor(c[0], c[1], c[2], c[3]);
        mask |= GL_COLOR_BUFFER_BIT;
    }
    if (flags & ClearFlags::ZBuffer) {
        glDepthMask(GL_TRUE);
        glClearDepth(std::clamp(z, 0.0f, 1.0f));
        mask |= GL_DEPTH_BUFFER_BIT;
    }
    if (flags & ClearFlags::Stencil) {
        glStencilMask(0xFF);
        glClearStencil(GLint(stencil & 0xFF));
        mask |= GL_STENCIL_BUFFER_BIT;
    }
    if (count == 0) {
        if (flags & ClearFlags::Target)
            ++passes_.clears;
        glDisable(GL_SCISSOR_TEST);
        glClear(mask);
    } else {
        glEnable(GL_SCISSOR_TEST);
        const Rect target{0, 0, std::int32_t(TargetWidth()), std::int32_t(TargetHeight())};
        for (std::uint32_t i = 0; i < count; ++i) {
            const Rect r{std::max(rects[i].left, target.left), std::max(rects[i].top, target.top),
                         std::min(rects[i].right, target.right), std::min(rects[i].bottom, target.bottom)};
            if (r.left >= r.right || r.top >= r.bottom)
                continue;
            // Rows are stored top first, so GL's window y is the row.
            glScissor(r.left, r.top, r.right - r.left, r.bottom - r.top);
            glClear(mask);
        }
        glDisable(GL_SCISSOR_TEST);
    }
    renderStatesDirty_ = true; // the write masks were changed for the clear
    return kOk;
}

// ---- State ------------------------------------------------------------------

HRESULT Device::GetRenderState(RenderState state, std::uint32_t* value) const
{
    if (!value)
        return kInvalidCall;
    *value = state_.GetRenderState(state);
    return kOk;
}

HRESULT Device::GetTextureStageState(std::uint32_t stage, TextureStageState state, std::uint32_t* value) const
{
    if (!value || stage >= kMaxTextureStages)
        return kInvalidCall;
    *value = state_.GetTextureStageState(stage, state);
    return kOk;
}

HRESULT Device::GetSamplerState(std::uint32_t sampler, SamplerState state, std::uint32_t* value) const
{
    if (!value || sampler >= kMaxSamplers)
        return kInvalidCall;
    *value = state_.GetSamplerState(sampler, state);
    return kOk;
}

HRESULT Device::SetMaterial(const Material& material)
{
    state_.SetMaterial(material);
    return kOk;
}

HRESULT Device::GetMaterial(Material* material) const
{
    if (!material)
        return kInvalidCall;
    *material = state_.GetMaterial();
    return kOk;
}

// ---- Resources --------------------------------------------------------------

HRESULT Device::CreateTexture(std::uint32_t width, std::uint32_t height, std::uint32_t levels, std::uint32_t usage,
                              Format format, Pool pool, Texture** out)
{
    if (!out)
        return kInvalidCall;
    *out = nullptr;
    const bool renderTarget = (usage & Usage::RenderTarget) != 0;
    if (width == 0 || height == 0 || width > maxTextureSize_ || height > maxTextureSize_ || !IsTextureFormat(format) ||
        (usage & Usage::DepthStencil) || (renderTarget && (pool != Pool::Default || !IsColorTarget(format))))
        return kInvalidCall;
    const std::uint32_t fullChain = FullMipCount(width, height);
    if (levels == 0)
        levels = fullChain;
    if (levels > fullChain)
        return kInvalidCall;
    std::uint64_t bytes = 0;
    for (std::uint32_t i = 0; i < levels; ++i)
        bytes += std::uint64_t(RowPitch(format, LevelSize(width, i))) * RowCount(format, LevelSize(height, i));
    if (bytes > kMaxResourceBytes)
        return kOutOfVideoMemory;

    Ref<Texture> texture = Ref<Texture>::Adopt(new Texture(link_, width, height, levels, usage, format, pool, false));
    if (!texture->Allocate())
        return kOutOfVideoMemory;
    *out = texture.Detach();
    return kOk;
}

HRESULT Device::CreateVertexBuffer(std::uint32_t length, std::uint32_t usage, std::uint32_t fvf, Pool pool,
                                   VertexBuffer** out)
{
    if (!out)
        return kInvalidCall;
    *out = nullptr;
    if (length == 0)
        return kInvalidCall;
    if (length > kMaxResourceBytes)
        return kOutOfVideoMemory;
    Ref<VertexBuffer> buffer = Ref<VertexBuffer>::Adopt(new VertexBuffer(link_, {Format::Unknown, usage, pool, length, fvf}));
    if (!buffer->Allocate())
        return kOutOfVideoMemory;
    *out = buffer.Detach();
    return kOk;
}

HRESULT Device::CreateIndexBuffer(std::uint32_t length, std::uint32_t usage, Format format, Pool pool, IndexBuffer** out)
{
    if (!out)
        return kInvalidCall;
    *out = nullptr;
    if (length == 0 || format != Format::Index16)
        return kInvalidCall;
    if (length > kMaxResourceBytes)
        return kOutOfVideoMemory;
    Ref<IndexBuffer> buffer = Ref<IndexBuffer>::Adopt(new IndexBuffer(link_, {format, usage, pool, length, 0}));
    if (!buffer->Allocate())
        return kOutOfVideoMemory;
    *out = buffer.Detach();
    return kOk;
}

HRESULT Device::CreateShaderProgram(std::string_view vertexSource, std::string_view fragmentSource, ShaderProgram** out,
                                    std::string* error)
{
    if (!out)
        return kInvalidCall;
    *out = nullptr;
    // Only the helpers write the clip distances and put the position on the
    // target the device's way; a program that bypasses them would ignore
    // the clip planes and draw upside down.
    const bool placesPosition = vertexSource.find("gfx_TransformVertex") != std::string_view::npos ||
                                vertexSource.find("gfx_OutputPosition") != std::string_view::npos ||
                                vertexSource.find("gfx_PreTransformedPosition") != std::string_view::npos;
    if (!placesPosition) {
        if (error)
            *error = "the vertex program must set gl_Position through gfx_TransformVertex, gfx_OutputPosition or "
                     "gfx_PreTransformedPosition";
        return kInvalidCall;
    }
    std::unique_ptr<GlslProgram> program = GlslProgram::Build(vertexSource, fragmentSource, error);
    if (!program)
        return kInvalidCall;
    *out = new ShaderProgram(link_, std::move(program));
    return kOk;
}

// ---- Bindings ---------------------------------------------------------------

HRESULT Device::SetTexture(std::uint32_t slot, Texture* texture)
{
    if (slot >= kMaxSamplers || (texture && texture == backBuffer_.Get()))
        return kInvalidCall;
    textures_[slot] = Ref<Texture>(texture);
    return kOk;
}

HRESULT Device::GetTexture(std::uint32_t slot, Texture** out) const
{
    if (slot >= kMaxSamplers)
        return kInvalidCall;
    return HandOut(textures_[slot], out);
}

HRESULT Device::SetFVF(std::uint32_t fvf)
{
    std::optional<VertexLayout> layout = DecodeFvf(fvf);
    if (!layout)
        return kInvalidCall;
    if (fvf != fvf_)
        streamDirty_ = true;
    fvf_ = fvf;
    layout_ = layout;
    return kOk;
}

HRESULT Device::GetFVF(std::uint32_t* fvf) const
{
    if (!fvf)
        return kInvalidCall;
    *fvf = fvf_;
    return kOk;
}

HRESULT Device::SetStreamSource(std::uint32_t stream, VertexBuffer* buffer, std::uint32_t offset, std::uint32_t stride)
{
    if (stream != 0)
        return kInvalidCall;
    stream_ = Ref<VertexBuffer>(buffer);
    streamOffset_ = offset;
    streamStride_ = stride;
    streamDirty_ = true;
    return kOk;
}

HRESULT Device::SetIndices(IndexBuffer* buffer)
{
    indices_ = Ref<IndexBuffer>(buffer);
    return kOk;
}

HRESULT Device::SetShaderProgram(ShaderProgram* program)
{
    shaderProgram_ = Ref<ShaderProgram>(program);
    return kOk;
}

// ---- Drawing ----------------------------------------------------------------

std::uint32_t Device::TargetWidth() const { return renderTarget_ ? renderTarget_->Width() : 0; }

std::uint32_t Device::TargetHeight() const { return renderTarget_ ? renderTarget_->Height() : 0; }

bool Device::BindFramebuffer()
{
    if (!renderTarget_)
        return false;
    if (!framebufferDirty_)
        return true;
    glBindFramebuffer(GL_FRAMEBUFFER, gl_->drawFramebuffer.Name());
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, renderTarget_->Container()->GlName(),
                           GLint(renderTarget_->Level()));
    // A depth buffer smaller than the target cannot serve it; draw without one.
    const bool depthFits = depthStencil_ && depthStencil_->Width() >= TargetWidth() &&
                           depthStencil_->Height() >= TargetHeight();
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER,
                              depthFits ? depthStencil_->GlRenderbuffer() : 0);
    glDrawBuffer(GL_COLOR_ATTACHMENT0);
    glViewport(0, 0, GLsizei(TargetWidth()), GLsizei(TargetHeight()));
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE)
        return false;
    framebufferDirty_ = false;
    ++constantsSerial_; // the target size may have changed
    return true;
}

void Device::ApplyRenderStates()
{
    if (!renderStatesDirty_ && appliedStateVersion_ == state_.Version())
        return;
    auto get = [&](RenderState s) { return state_.GetRenderState(s); };

    if (get(RenderState::AlphaBlendEnable)) {
        glEnable(GL_BLEND);
        const bool separate = get(RenderState::SeparateAlphaBlendEnable) != 0;
        const RenderState srcAlpha = separate ? RenderState::SrcBlendAlpha : RenderState::SrcBlend;
        const RenderState destAlpha = separate ? RenderState::DestBlendAlpha : RenderState::DestBlend;
        const RenderState opAlpha = separate ? RenderState::BlendOpAlpha : RenderState::BlendOp;
        glBlendFuncSeparate(BlendFactor(get(RenderState::SrcBlend)), BlendFactor(get(RenderState::DestBlend)),
                            BlendFactor(get(srcAlpha)), BlendFactor(get(destAlpha)));
        glBlendEquationSeparate(BlendEquation(get(RenderState::BlendOp)), BlendEquation(get(opAlpha)));
    } else {
        glDisable(GL_BLEND);
    }

    if (get(RenderState::ZEnable)) {
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(Comparison(get(RenderState::ZFunc)));
    } else {
        glDisable(GL_DEPTH_TEST);
    }
    glDepthMask(get(RenderState::ZWriteEnable) ? GL_TRUE : GL_FALSE);

    // Window coordinates equal render-target pixels (y down), where GL's
    // counter-clockwise is what appears clockwise: Direct3D's front face.
    switch (Cull(get(RenderState::CullMode))) {
    case Cull::None:
        glDisable(GL_CULL_FACE);
        break;
    case Cull::Clockwise:
        glEnable(GL_CULL_FACE);
        glCullFace(GL_FRONT);
        break;
    case Cull::CounterClockwise:
        glEnable(GL_CULL_FACE);
        glCullFace(GL_BACK);
        break;
    }

    const std::uint32_t mask = get(RenderState::ColorWriteEnable);
    glColorMask(mask & ColorWrite::Red ? GL_TRUE : GL_FALSE, mask & ColorWrite::Green ? GL_TRUE : GL_FALSE,
                mask & ColorWrite::Blue ? GL_TRUE : GL_FALSE, mask & ColorWrite::Alpha ? GL_TRUE : GL_FALSE);

    const std::uint32_t planes = get(RenderState::ClipPlaneEnable);
    for (std::uint32_t i = 0; i < kMaxClipPlanes; ++i) {
        if (planes & (1u << i))
            glEnable(GL_CLIP_DISTANCE0 + i);
        else
            glDisable(GL_CLIP_DISTANCE0 + i);
    }

    constexpr GLenum kPolygonModes[] = {GL_POINT, GL_LINE, GL_FILL};
    glPolygonMode(GL_FRONT_AND_BACK, kPolygonModes[std::clamp<std::uint32_t>(get(RenderState::FillMode), 1, 3) - 1]);
    if (get(RenderState::ScissorTestEnable)) {
        Rect r;
        GetScissorRect(&r);
        r = Rect{std::max(r.left, 0), std::max(r.top, 0), std::min(r.right, std::int32_t(TargetWidth())),
                 std::min(r.bottom, std::int32_t(TargetHeight()))};
        glEnable(GL_SCISSOR_TEST);
        // Rows are stored top first, so GL's window y is the row.
        glScissor(r.left, r.top, std::max(r.right - r.left, 0), std::max(r.bottom - r.top, 0));
    } else {
        glDisable(GL_SCISSOR_TEST);
    }

    appliedStateVersion_ = state_.Version();
    renderStatesDirty_ = false;
}

GlslProgram* Device::SelectProgram(const VertexLayout& layout)
{
    if (shaderProgram_)
        return &shaderProgram_->Program();
    const std::uint32_t bound = (textures_[0] ? 1u : 0u) | (textures_[1] ? 2u : 0u);
    if (keyProgram_ && keyStateVersion_ == state_.Version() && keyFvf_ == layout.fvf && keyTextures_ == bound)
        return keyProgram_;
    bool built = false;
    GlslProgram* program = programs_.Find(MakeFixedFunctionKey(state_, layout, bound), &built);
    if (built)
        boundProgram_ = program->Name();
    keyProgram_ = program;
    keyStateVersion_ = state_.Version();
    keyFvf_ = layout.fvf;
    keyTextures_ = bound;
    return program;
}

void Device::UseProgram(unsigned name)
{
    if (boundProgram_ == name)
        return;
    glUseProgram(name);
    boundProgram_ = name;
}

void Device::UploadConstants(GlslProgram& program, const VertexLayout& layout)
{
    if (seenConstantsVersion_ != state_.ConstantsVersion() || seenPreTransformed_ != layout.preTransformed) {
        seenConstantsVersion_ = state_.ConstantsVersion();
        seenPreTransformed_ = layout.preTransformed;
        ++constantsSerial_;
    }
    if (program.uploadedSerial == constantsSerial_)
        return;
    program.uploadedSerial = constantsSerial_;

    auto at = [&](StandardUniform u) { return program.Location(u); };
    const math::Matrix& world = state_.Transform(TransformState::World);
    const math::Matrix& view = state_.Transform(TransformState::View);
    SetMatrix(at(StandardUniform::World), world);
    SetMatrix(at(StandardUniform::View), view);
    SetMatrix(at(StandardUniform::Projection), state_.Transform(TransformState::Projection));
    if (at(StandardUniform::PreTransformed) >= 0)
        glUniform1i(at(StandardUniform::PreTransformed), layout.preTransformed ? 1 : 0);
    if (at(StandardUniform::TargetSize) >= 0)
        glUniform2f(at(StandardUniform::TargetSize), float(TargetWidth()), float(TargetHeight()));
    if (at(StandardUniform::ClipPlanes) >= 0) {
        std::array<float, 4 * kMaxClipPlanes> planes{};
        const std::uint32_t enabled = state_.GetRenderState(RenderState::ClipPlaneEnable);
        for (std::uint32_t i = 0; i < kMaxClipPlanes; ++i) {
            const ClipPlane& p = state_.Plane(i);
            const bool on = (enabled >> i) & 1u;
            planes[4 * i + 0] = on ? p.a : 0.0f;
            planes[4 * i + 1] = on ? p.b : 0.0f;
            planes[4 * i + 2] = on ? p.c : 0.0f;
            planes[4 * i + 3] = on ? p.d : 1.0f;
        }
        glUniform4fv(at(StandardUniform::ClipPlanes), GLsizei(kMaxClipPlanes), planes.data());
    }

    const math::Matrix worldView = world * view;
    SetMatrix(at(StandardUniform::WorldView), worldView);
    if (at(StandardUniform::NormalMatrix) >= 0)
        glUniformMatrix3fv(at(StandardUniform::NormalMatrix), 1, GL_TRUE, NormalMatrix(worldView).data());
    SetMatrix(at(StandardUniform::TexMatrix0), state_.Transform(TransformState::Texture0));
    SetMatrix(at(StandardUniform::TexMatrix1), state_.Transform(TransformState::Texture1));

    if (at(StandardUniform::LightDirection) >= 0) {
        std::vector<float> directions, diffuse, specular, ambient;
        for (std::uint32_t i = 0; i < kMaxLights; ++i) {
            Light light;
            if (!state_.IsLightEnabled(i) || state_.GetLight(i, &light) != kOk)
                continue;
            const math::Vec3 d = ViewDirection(light.direction, view);
            directions.insert(directions.end(), {d.x, d.y, d.z});
            diffuse.insert(diffuse.end(), {light.diffuse.r, light.diffuse.g, light.diffuse.b, light.diffuse.a});
            specular.insert(specular.end(), {light.specular.r, light.specular.g, light.specular.b, light.specular.a});
            ambient.insert(ambient.end(), {light.ambient.r, light.ambient.g, light.ambient.b, light.ambient.a});
        }
        const GLsizei count = GLsizei(directions.size() / 3);
        glUniform3fv(at(StandardUniform::LightDirection), count, directions.data());
        if (at(StandardUniform::LightDiffuse) >= 0)
            glUniform4fv(at(StandardUniform::LightDiffuse), count, diffuse.data());
        if (at(StandardUniform::LightSpecular) >= 0)
            glUniform4fv(at(StandardUniform::LightSpecular), count, specular.data());
        if (at(StandardUniform::LightAmbient) >= 0)
            glUniform4fv(at(StandardUniform::LightAmbient), count, ambient.data());
    }
    const Material& material = state_.GetMaterial();
    SetColor(at(StandardUniform::MaterialDiffuse), material.diffuse);
    SetColor(at(StandardUniform::MaterialAmbient), material.ambient);
    SetColor(at(StandardUniform::MaterialSpecular), material.specular);
    SetColor(at(StandardUniform::MaterialEmissive), material.emissive);
    if (at(StandardUniform::MaterialPower) >= 0)
        glUniform1f(at(StandardUniform::MaterialPower), material.power);
    if (at(StandardUniform::GlobalAmbient) >= 0)
        glUniform4fv(at(StandardUniform::GlobalAmbient), 1, ColorToFloats(state_.GetRenderState(RenderState::Ambient)).data());
    if (at(StandardUniform::TextureFactor) >= 0)
        glUniform4fv(at(StandardUniform::TextureFactor), 1,
                     ColorToFloats(state_.GetRenderState(RenderState::TextureFactor)).data());
    if (at(StandardUniform::BumpEnv0) >= 0)
        glUniform4f(at(StandardUniform::BumpEnv0), state_.BumpEnvMatrix(0, 0), state_.BumpEnvMatrix(0, 1),
                    state_.BumpEnvMatrix(0, 2), state_.BumpEnvMatrix(0, 3));
    if (at(StandardUniform::AlphaRef) >= 0)
        glUniform1f(at(StandardUniform::AlphaRef), float(state_.GetRenderState(RenderState::AlphaRef)));
}

void Device::BindTextures(std::uint32_t units)
{
    for (std::uint32_t unit = 0; unit < units; ++unit) {
        const unsigned name = textures_[unit] ? textures_[unit]->GlName() : 0;
        if (boundTextures_[unit] != name) {
            glActiveTexture(GL_TEXTURE0 + unit);
            glBindTexture(GL_TEXTURE_2D, name);
            boundTextures_[unit] = name;
        }
        const SamplerParams params = SamplerParamsOf(state_, unit);
        if (gl_->samplerParams[unit] == params)
            continue;
        const GLuint sampler = gl_->samplers[unit].Name();
        glSamplerParameteri(sampler, GL_TEXTURE_WRAP_S, params.wrapS);
        glSamplerParameteri(sampler, GL_TEXTURE_WRAP_T, params.wrapT);
        glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, params.minFilter);
        glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER, params.magFilter);
        const std::array<float, 4> border = ColorToFloats(params.border);
        glSamplerParameterfv(sampler, GL_TEXTURE_BORDER_COLOR, border.data());
        gl_->samplerParams[unit] = params;
    }
}

void Device::BindVertexStream(const VertexLayout& layout)
{
    if (!streamDirty_)
        return;
    glBindVertexArray(gl_->vertexArray.Name());
    glBindBuffer(GL_ARRAY_BUFFER, stream_->GlName());
    struct Field {
        VertexAttribute attribute;
        GLint size;
        GLenum type;
        GLboolean normalized;
        std::array<float, 4> absent; // what a vertex without the field reads
    };
    const Field fields[] = {
        {VertexAttribute::Position, layout.preTransformed ? 4 : 3, GL_FLOAT, GL_FALSE, {0, 0, 0, 1}},
        {VertexAttribute::Normal, 3, GL_FLOAT, GL_FALSE, {0, 0, 0, 0}},
        {VertexAttribute::Diffuse, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, {1, 1, 1, 1}},
        {VertexAttribute::Specular, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, {0, 0, 0, 0}},
        {VertexAttribute::TexCoord0, 2, GL_FLOAT, GL_FALSE, {0, 0, 0, 1}},
        {VertexAttribute::TexCoord1, 2, GL_FLOAT, GL_FALSE, {0, 0, 0, 1}},
    };
    for (const Field& field : fields) {
        const GLuint slot = GLuint(field.attribute);
        const std::int32_t offset = layout.offset[slot];
        if (offset < 0) {
            glDisableVertexAttribArray(slot);
            glVertexAttrib4fv(slot, field.absent.data());
            continue;
        }
        glEnableVertexAttribArray(slot);
        const std::uintptr_t start = std::uintptr_t(streamOffset_) + std::uintptr_t(offset);
        glVertexAttribPointer(slot, field.size, field.type, field.normalized, GLsizei(streamStride_),
                              reinterpret_cast<const void*>(start));
    }
    streamDirty_ = false;
}

HRESULT Device::PrepareDraw()
{
    if (!layout_ || !stream_ || streamStride_ < layout_->stride)
        return kInvalidCall;
    if (!BindFramebuffer())
        return kInvalidCall;
    ApplyRenderStates();
    GlslProgram* program = SelectProgram(*layout_);
    if (!program)
        return kInvalidCall;
    UseProgram(program->Name());
    if (shaderProgram_)
        shaderProgram_->UploadPending();
    UploadConstants(*program, *layout_);
    BindTextures(shaderProgram_ ? kMaxSamplers : kMaxTextureStages);
    BindVertexStream(*layout_);
    return kOk;
}

void Device::CountFullTargetDraw(PrimitiveType type, std::int64_t firstVertex, std::uint32_t vertexCount,
                                std::span<const std::uint8_t> indices)
{
    if (streamOffset_ > stream_->Size())
        return;
    DrawGeometry draw;
    draw.vertices = {stream_->Bytes() + streamOffset_, stream_->Size() - streamOffset_};
    draw.layout = &*layout_;
    draw.stride = streamStride_;
    draw.indices = indices;
    draw.type = type;
    draw.firstVertex = firstVertex;
    draw.vertexCount = vertexCount;
    if (!layout_->preTransformed)
        draw.worldViewProjection = state_.Transform(TransformState::World) * state_.Transform(TransformState::View) *
                                   state_.Transform(TransformState::Projection);
    if (DrawCoversTarget(draw, float(TargetWidth()), float(TargetHeight())))
        ++passes_.draws;
}

bool Device::IsBackBufferSized(const Surface& surface) const
{
    return backBuffer_ && surface.Width() == backBuffer_->Width() && surface.Height() == backBuffer_->Height();
}

HRESULT Device::DrawPrimitive(PrimitiveType type, std::uint32_t startVertex, std::uint32_t primitiveCount)
{
    std::uint64_t vertices = 0;
    if (!VertexCount(type, primitiveCount, &vertices))
        return kInvalidCall;
    if (primitiveCount == 0 || status_ != Status::Ok)
        return kOk;
    if (!layout_ || !stream_)
        return kInvalidCall;
    const std::uint64_t last = std::uint64_t(startVertex) + vertices - 1;
    if (std::uint64_t(streamOffset_) + last * streamStride_ + layout_->stride > stream_->Size())
        return kInvalidCall;
    if (const HRESULT hr = PrepareDraw(); hr != kOk)
        return hr;
    CountFullTargetDraw(type, startVertex, std::uint32_t(vertices), {});
    glDrawArrays(DrawMode(type), GLint(startVertex), GLsizei(vertices));
    return kOk;
}

HRESULT Device::DrawIndexedPrimitive(PrimitiveType type, std::int32_t baseVertexIndex, std::uint32_t /*minIndex*/,
                                     std::uint32_t /*numVertices*/, std::uint32_t startIndex,
                                     std::uint32_t primitiveCount)
{
    std::uint64_t count = 0;
    if (!VertexCount(type, primitiveCount, &count))
        return kInvalidCall;
    if (primitiveCount == 0 || status_ != Status::Ok)
        return kOk;
    if (!layout_ || !stream_ || !indices_ || std::uint64_t(startIndex) + count > indices_->IndexCount())
        return kInvalidCall;
    // Every vertex the indices reach must lie inside the stream: GL would
    // read past the buffer otherwise. The buffer's largest index settles most
    // draws without looking at the range drawn.
    auto fits = [&](std::int64_t largest) {
        return std::int64_t(streamOffset_) + largest * std::int64_t(streamStride_) + layout_->stride <=
               std::int64_t(stream_->Size());
    };
    if (!fits(std::int64_t(baseVertexIndex) + indices_->MaxIndex()) &&
        !fits(std::int64_t(baseVertexIndex) + indices_->MaxIndex(startIndex, std::uint32_t(count))))
        return kInvalidCall;
    if (baseVertexIndex < 0) {
        const std::uint8_t* bytes = indices_->Bytes() + std::size_t(startIndex) * 2;
        for (std::uint64_t i = 0; i < count; ++i)
            if (std::int64_t(bytes[2 * i] | (bytes[2 * i + 1] << 8)) + baseVertexIndex < 0)
                return kInvalidCall;
    }
    if (const HRESULT hr = PrepareDraw(); hr != kOk)
        return hr;
    CountFullTargetDraw(type, baseVertexIndex, std::uint32_t(count),
                        {indices_->Bytes() + std::size_t(startIndex) * 2, std::size_t(count) * 2});
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indices_->GlName());
    glDrawElementsBaseVertex(DrawMode(type), GLsizei(count), GL_UNSIGNED_SHORT,
                             reinterpret_cast<const void*>(std::uintptr_t(startIndex) * 2), GLint(baseVertexIndex));
    return kOk;
}

// ---- Render targets ---------------------------------------------------------

HRESULT Device::SetRenderTarget(std::uint32_t index, Surface* surface)
{
    if (index != 0 || !surface || !surface->Container() || !surface->Container()->IsRenderTarget())
        return kInvalidCall;
    if (surface != renderTarget_.Get()) {
        renderTarget_ = Ref<Surface>(surface);
        framebufferDirty_ = true;
    }
    scissorRect_.reset();
    renderStatesDirty_ = true;
    return kOk;
}

HRESULT Device::SetScissorRect(const Rect& rect)
{
    if (rect.left > rect.right || rect.top > rect.bottom)
        return kInvalidCall;
    scissorRect_ = rect;
    renderStatesDirty_ = true;
    return kOk;
}

HRESULT Device::GetScissorRect(Rect* rect) const
{
    if (!rect)
        return kInvalidCall;
    *rect = scissorRect_.value_or(Rect{0, 0, std::int32_t(TargetWidth()), std::int32_t(TargetHeight())});
    return kOk;
}

HRESULT Device::GetRenderTarget(std::uint32_t index, Surface** out) const
{
    if (index != 0)
        return kInvalidCall;
    return HandOut(renderTarget_, out);
}

HRESULT Device::SetDepthStencilSurface(Surface* surface)
{
    if (surface && !surface->IsDepthStencil())
        return kInvalidCall;
    if (surface != depthStencil_.Get()) {
        depthStencil_ = Ref<Surface>(surface);
        framebufferDirty_ = true;
    }
    return kOk;
}

HRESULT Device::GetDepthStencilSurface(Surface** out) const
{
    const HRESULT hr = HandOut(depthStencil_, out);
    return hr == kOk && !depthStencil_ ? kNotFound : hr;
}

HRESULT Device::GetBackBuffer(Surface** out) const
{
    if (!out || !backBuffer_)
        return kInvalidCall;
    return backBuffer_->GetSurfaceLevel(0, out);
}

HRESULT Device::GetBackBufferDesc(SurfaceDesc* out) const
{
    if (!out || !backBuffer_)
        return kInvalidCall;
    return backBuffer_->GetLevelDesc(0, out);
}

HRESULT Device::StretchRect(Surface* source, const Rect* sourceRect, Surface* dest, const Rect* destRect,
                            TextureFilter filter)
{
    if (!source || !dest || !source->Container() || !dest->Container() || !dest->Container()->IsRenderTarget() ||
        source == dest || filter > TextureFilter::Linear)
        return kInvalidCall;
    Rect from, to;
    if (!ResolveRect(sourceRect, source->Width(), source->Height(), &from) ||
        !ResolveRect(destRect, dest->Width(), dest->Height(), &to))
        return kInvalidCall;
    if (status_ != Status::Ok)
        return kOk;
    const auto whole = [](const Rect& r, const Surface& surface) {
        return r.left == 0 && r.top == 0 && r.right == std::int32_t(surface.Width()) &&
               r.bottom == std::int32_t(surface.Height());
    };
    if ((whole(from, *source) && IsBackBufferSized(*source)) || (whole(to, *dest) && IsBackBufferSized(*dest)))
        ++passes_.copies;

    glBindFramebuffer(GL_FRAMEBUFFER, gl_->blitFramebuffer.Name());
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, dest->Container()->GlName(),
                           GLint(dest->Level()));
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, 0);
    const float dw = float(dest->Width()), dh = float(dest->Height());
    glViewport(0, 0, GLsizei(dw), GLsizei(dh));
    glDisable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_SCISSOR_TEST);
    for (std::uint32_t i = 0; i < kMaxClipPlanes; ++i)
        glDisable(GL_CLIP_DISTANCE0 + i);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);

    GlslProgram& blit = *gl_->blitProgram;
    glUseProgram(blit.Name());
    const float sw = float(source->Width()), sh = float(source->Height());
    glUniform4f(blit.FindUniform("blit_Dest")->location, float(to.left) * 2.0f / dw - 1.0f,
                float(to.top) * 2.0f / dh - 1.0f, float(to.right) * 2.0f / dw - 1.0f, float(to.bottom) * 2.0f / dh - 1.0f);
    glUniform4f(blit.FindUniform("blit_Source")->location, float(from.left) / sw, float(from.top) / sh,
                float(from.right) / sw, float(from.bottom) / sh);
    glUniform1f(blit.FindUniform("blit_Level")->location, float(source->Level()));
    glUniform1i(blit.FindUniform("blit_Texture")->location, 0);

    const bool linear = filter == TextureFilter::Linear;
    const GLuint sampler = gl_->blitSampler.Name();
    glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, linear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST);
    glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER, linear ? GL_LINEAR : GL_NEAREST);
    glSamplerParameteri(sampler, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glSamplerParameteri(sampler, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, source->Container()->GlName());
    glBindSampler(0, sampler);
    glBindVertexArray(gl_->blitVertexArray.Name());
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);

    // Hand every piece of GL state touched here back to the device's records.
    glBindSampler(0, gl_->samplers[0].Name());
    glBindVertexArray(gl_->vertexArray.Name());
    InvalidateGlCaches();
    return kOk;
}

HRESULT Device::GetRenderTargetData(Surface* renderTarget, Surface* dest)
{
    if (!renderTarget || !dest || !renderTarget->Container() || !dest->Container() ||
        !renderTarget->Container()->IsRenderTarget() || dest->Container()->IsRenderTarget() ||
        renderTarget->Width() != dest->Width() || renderTarget->Height() != dest->Height() ||
        !IsColorTarget(dest->Container()->GetFormat()))
        return kInvalidCall;
    std::vector<std::uint32_t> pixels;
    if (const HRESULT hr = ReadPixels(renderTarget, &pixels); hr != kOk)
        return hr;
    if (IsBackBufferSized(*renderTarget))
        ++passes_.copies;
    Texture& texture = *dest->Container();
    std::vector<std::uint8_t>& bytes = texture.LevelBytes(dest->Level());
    std::memcpy(bytes.data(), pixels.data(), std::min(bytes.size(), pixels.size() * 4));
    texture.UploadLevel(dest->Level(), 0, dest->Height());
    return kOk;
}

HRESULT Device::ReadPixels(Surface* surface, std::vector<std::uint32_t>* out)
{
    if (!surface || !out || !surface->Container() || !IsColorTarget(surface->Container()->GetFormat()))
        return kInvalidCall;
    Texture& texture = *surface->Container();
    const std::size_t count = std::size_t(surface->Width()) * surface->Height();
    out->assign(count, 0);
    if (!texture.IsRenderTarget()) {
        const std::vector<std::uint8_t>& bytes = texture.LevelBytes(surface->Level());
        std::memcpy(out->data(), bytes.data(), std::min(bytes.size(), count * 4));
    } else {
        glBindFramebuffer(GL_READ_FRAMEBUFFER, gl_->readFramebuffer.Name());
        glFramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture.GlName(),
                               GLint(surface->Level()));
        glReadBuffer(GL_COLOR_ATTACHMENT0);
        // Wait until every draw sent so far is done. GL promises that the
        // read sees them, but llvmpipe skips the wait when the texture was
        // last sampled and is no longer the target: the draws into it may
        // still be running and the read returns the picture from before.
        glFinish();
        // Row 0 of a render target is its top row, as in the result.
        glReadPixels(0, 0, GLsizei(surface->Width()), GLsizei(surface->Height()), GL_BGRA,
                     GL_UNSIGNED_INT_8_8_8_8_REV, out->data());
        framebufferDirty_ = true;
    }
    if (texture.GetFormat() == Format::X8R8G8B8)
        for (std::uint32_t& pixel : *out)
            pixel |= 0xFF000000u;
    return kOk;
}

// ---- Lost device ------------------------------------------------------------

HRESULT Device::TestCooperativeLevel() const
{
    switch (status_) {
    case Status::Lost:
        return kDeviceLost;
    case Status::NotReset:
        return kDeviceNotReset;
    case Status::Ok:
        break;
    }
    return kOk;
}

void Device::ForceDeviceLost() { status_ = Status::Lost; }

void Device::AllowReset()
{
    if (status_ == Status::Lost)
        status_ = Status::NotReset;
}

HRESULT Device::Reset(const PresentParameters& parameters)
{
    if (status_ == Status::Lost)
        return kDeviceLost;
    if (link_->defaultPoolResources > 0)
        return kInvalidCall;
    // Beyond the device's own references (the back buffer itself, and the
    // current render target and depth surface), nobody may still hold them.
    const std::uint32_t backBufferOwn = 1u + (renderTarget_ && renderTarget_->Container() == backBuffer_.Get() ? 1u : 0u);
    const std::uint32_t depthOwn = 1u + (depthStencil_ && depthStencil_ == autoDepthStencil_ ? 1u : 0u);
    if ((backBuffer_ && backBuffer_->ReferenceCount() > backBufferOwn) ||
        (autoDepthStencil_ && autoDepthStencil_->ReferenceCount() > depthOwn))
        return kInvalidCall;

    ReleaseBindings();
    backBuffer_.Reset();
    autoDepthStencil_.Reset();
    state_ = DeviceState(parameters.enableAutoDepthStencil);
    inScene_ = false;
    std::string error;
    if (!MakeBackBuffer(parameters, &error)) {
        status_ = Status::NotReset;
        return kInvalidCall;
    }
    status_ = Status::Ok;
    return kOk;
}

} // namespace gfx
