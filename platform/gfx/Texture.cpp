#include "platform/gfx/Texture.h"

#include <algorithm>
#include <new>

#include "platform/gfx/BlockCompression.h"
#include "platform/gfx/GlObjects.h"
#include "platform/gfx/Result.h"

namespace gfx {
namespace {

// The texture unit used for uploads; drawing never samples from it, so the
// device's record of what is bound where stays true.
constexpr GLenum kUploadUnit = GL_TEXTURE0 + 31;

struct GlFormat {
    Format format;
    GLint internalFormat;
    GLenum uploadFormat;
    GLenum uploadType;
    GLint swizzle[4];
};

// Block-compressed formats are decoded to A8R8G8B8 before upload.
constexpr GlFormat kGlFormats[] = {
    {Format::A8R8G8B8, GL_RGBA8, GL_BGRA, GL_UNSIGNED_BYTE, {GL_RED, GL_GREEN, GL_BLUE, GL_ALPHA}},
    {Format::X8R8G8B8, GL_RGBA8, GL_BGRA, GL_UNSIGNED_BYTE, {GL_RED, GL_GREEN, GL_BLUE, GL_ONE}},
    {Format::A8, GL_R8, GL_RED, GL_UNSIGNED_BYTE, {GL_ZERO, GL_ZERO, GL_ZERO, GL_RED}},
    {Format::V8U8, GL_RG8_SNORM, GL_RG, GL_BYTE, {GL_RED, GL_GREEN, GL_ZERO, GL_ONE}},
    {Format::V16U16, GL_RG16_SNORM, GL_RG, GL_SHORT, {GL_RED, GL_GREEN, GL_ZERO, GL_ONE}},
    {Format::DXT1, GL_RGBA8, GL_BGRA, GL_UNSIGNED_BYTE, {GL_RED, GL_GREEN, GL_BLUE, GL_ALPHA}},
    {Format::DXT3, GL_RGBA8, GL_BGRA, GL_UNSIGNED_BYTE, {GL_RED, GL_GREEN, GL_BLUE, GL_ALPHA}},
    {Format::DXT5, GL_RGBA8, GL_BGRA, GL_UNSIGNED_BYTE, {GL_RED, GL_GREEN, GL_BLUE, GL_ALPHA}},
};

const GlFormat& GlFormatOf(Format format)
{
    for (const GlFormat& entry : kGlFormats)
        if (entry.format == format)
            return entry;
    return kGlFormats[0];
}

bool HasMemoryCopy(std::uint32_t usage) { return (usage & Usage::RenderTarget) == 0; }

} // namespace

Texture::Texture(std::shared_ptr<DeviceLink> link, std::uint32_t width, std::uint32_t height, std::uint32_t levels,
                 std::uint32_t usage, Format format, Pool pool, bool implicit)
    : Resource(std::move(link), pool, implicit), format_(format), usage_(usage), width_(width), height_(height)
{
    levels_.resize(levels);
    for (std::uint32_t i = 0; i < levels; ++i) {
        levels_[i].width = LevelSize(width, i);
        levels_[i].height = LevelSize(height, i);
    }
    surfaces_.resize(levels);
}

Texture::~Texture()
{
    if (glName_ && DeviceAlive())
        glDeleteTextures(1, &glName_);
}

bool Texture::Allocate()
{
    try {
        if (HasMemoryCopy(usage_))
            for (Level& level : levels_)
                level.bytes.assign(RowPitch(format_, level.width) * RowCount(format_, level.height), 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    const GlFormat& gl = GlFormatOf(format_);
    glGenTextures(1, &glName_);
    glActiveTexture(kUploadUnit);
    glBindTexture(GL_TEXTURE_2D, glName_);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, 0);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, GLint(levels_.size() - 1));
    glTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_RGBA, gl.swizzle);
    for (std::uint32_t i = 0; i < levels_.size(); ++i)
        glTexImage2D(GL_TEXTURE_2D, GLint(i), gl.internalFormat, GLsizei(levels_[i].width), GLsizei(levels_[i].height), 0,
                     gl.uploadFormat, gl.uploadType, nullptr);
    const bool allocated = glGetError() == GL_NO_ERROR;
    // Start from zeros (transparent black) rather than whatever GL hands out.
    if (allocated && HasMemoryCopy(usage_))
        for (std::uint32_t i = 0; i < levels_.size(); ++i)
            UploadLevel(i, 0, levels_[i].height);
    return allocated;
}

HRESULT Texture::GetLevelDesc(std::uint32_t level, SurfaceDesc* out) const
{
    if (!out || level >= levels_.size())
        return kInvalidCall;
    *out = {format_, ResourceType::Surface, usage_, GetPool(), levels_[level].width, levels_[level].height};
    return kOk;
}

HRESULT Texture::GetSurfaceLevel(std::uint32_t level, Surface** out)
{
    if (!out)
        return kInvalidCall;
    *out = nullptr;
    if (level >= levels_.size())
        return kInvalidCall;
    if (!surfaces_[level])
        surfaces_[level].reset(new Surface(Link(), *this, level));
    *out = surfaces_[level].get();
    (*out)->AddRef();
    return kOk;
}

Ref<Surface> Texture::SurfaceLevel(std::uint32_t level)
{
    Surface* surface = nullptr;
    GetSurfaceLevel(level, &surface);
    return Ref<Surface>::Adopt(surface);
}

HRESULT Texture::LockRect(std::uint32_t index, LockedRect* out, const Rect* rect, std::uint32_t flags)
{
    if (!out)
        return kInvalidCall;
    *out = {};
    if (index >= levels_.size() || !HasMemoryCopy(usage_))
        return kInvalidCall;
    Level& level = levels_[index];
    if (level.locked)
        return kInvalidCall;
    const Rect whole{0, 0, std::int32_t(level.width), std::int32_t(level.height)};
    const Rect r = rect ? *rect : whole;
    if (r.left < 0 || r.top < 0 || r.right > whole.right || r.bottom > whole.bottom || r.left >= r.right || r.top >= r.bottom)
        return kInvalidCall;
    const std::int32_t block = std::int32_t(LayoutOf(format_).blockWidth);
    if (r.left % block != 0 || r.top % block != 0)
        return kInvalidCall;

    const std::size_t pitch = RowPitch(format_, level.width);
    level.locked = true;
    level.readOnly = (flags & Lock::ReadOnly) != 0;
    level.lockedRect = r;
    out->pitch = std::int32_t(pitch);
    out->bits = level.bytes.data() + std::size_t(r.top / block) * pitch + std::size_t(r.left / block) * LayoutOf(format_).blockBytes;
    return kOk;
}

HRESULT Texture::UnlockRect(std::uint32_t index)
{
    if (index >= levels_.size() || !levels_[index].locked)
        return kInvalidCall;
    Level& level = levels_[index];
    level.locked = false;
    if (!level.readOnly && DeviceAlive())
        UploadLevel(index, std::uint32_t(level.lockedRect.top), std::uint32_t(level.lockedRect.bottom));
    return kOk;
}

void Texture::UploadLevel(std::uint32_t index, std::uint32_t firstRow, std::uint32_t endRow)
{
    const Level& level = levels_[index];
    if (level.bytes.empty())
        return;
    const GlFormat& gl = GlFormatOf(format_);
    glActiveTexture(kUploadUnit);
    glBindTexture(GL_TEXTURE_2D, glName_);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    if (IsBlockCompressed(format_)) {
        std::vector<std::uint8_t> pixels(std::size_t(level.width) * level.height * 4);
        DecodeBlockCompressed(format_, level.bytes.data(), level.width, level.height, pixels.data());
        glTexSubImage2D(GL_TEXTURE_2D, GLint(index), 0, 0, GLsizei(level.width), GLsizei(level.height), gl.uploadFormat,
                        gl.uploadType, pixels.data());
        return;
    }
    endRow = std::min(endRow, level.height);
    if (firstRow >= endRow)
        return;
    const std::size_t pitch = RowPitch(format_, level.width);
    glTexSubImage2D(GL_TEXTURE_2D, GLint(index), 0, GLint(firstRow), GLsizei(level.width), GLsizei(endRow - firstRow),
                    gl.uploadFormat, gl.uploadType, level.bytes.data() + firstRow * pitch);
}

} // namespace gfx
