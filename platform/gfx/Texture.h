#pragma once
// A 2D texture with its mip levels. Levels are stored top row first, in the
// memory layout of their format (Formats.h). Textures in the managed,
// system-memory or scratch pools, and dynamic default-pool ones, keep their
// pixels in memory: LockRect gives them to the caller and UnlockRect sends
// what was locked to GL, so contents persist across locks and device loss.
// Render-target textures (usage RenderTarget, default pool) live on the GPU
// only and cannot be locked; read them through the device.
//
// How formats sample: A8 gives (0, 0, 0, a); X8R8G8B8 gives alpha 1; V8U8 and
// V16U16 are signed, each channel -1..1, read as (u, v, 0, 1); DXT1/3/5 are
// decoded when unlocked.

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/crt/WinTypes.h"
#include "platform/gfx/Formats.h"
#include "platform/gfx/Resource.h"
#include "platform/gfx/Surface.h"

namespace gfx {

class Texture final : public Resource {
public:
    std::uint32_t GetLevelCount() const { return std::uint32_t(levels_.size()); }
    HRESULT GetLevelDesc(std::uint32_t level, SurfaceDesc* out) const;
    // The surface of a level, with a reference added (release it when done).
    HRESULT GetSurfaceLevel(std::uint32_t level, Surface** out);
    Ref<Surface> SurfaceLevel(std::uint32_t level);

    // Locks the level, or the part of it in `rect` (null: all of it). For a
    // block-compressed format the rectangle must lie on block boundaries.
    // out->bits points at the rectangle's first row; rows are out->pitch apart.
    HRESULT LockRect(std::uint32_t level, LockedRect* out, const Rect* rect, std::uint32_t flags);
    HRESULT UnlockRect(std::uint32_t level);

    Format GetFormat() const { return format_; }
    std::uint32_t GetUsage() const { return usage_; }
    std::uint32_t Width() const { return width_; }
    std::uint32_t Height() const { return height_; }
    bool IsRenderTarget() const { return (usage_ & Usage::RenderTarget) != 0; }

    // For the device: the GL texture name, and the pixels of a level in memory
    // (empty for render targets).
    unsigned GlName() const { return glName_; }
    std::vector<std::uint8_t>& LevelBytes(std::uint32_t level) { return levels_[level].bytes; }
    // Sends rows [firstRow, endRow) of a level from memory to GL.
    void UploadLevel(std::uint32_t level, std::uint32_t firstRow, std::uint32_t endRow);

private:
    struct Level {
        std::uint32_t width = 0, height = 0;
        std::vector<std::uint8_t> bytes;
        bool locked = false;
        bool readOnly = false;
        Rect lockedRect;
    };

    Texture(std::shared_ptr<DeviceLink> link, std::uint32_t width, std::uint32_t height, std::uint32_t levels,
            std::uint32_t usage, Format format, Pool pool, bool implicit);
    ~Texture() override;
    // Makes the GL texture and the memory copy; false when memory runs out.
    bool Allocate();

    Format format_;
    std::uint32_t usage_;
    std::uint32_t width_, height_;
    std::vector<Level> levels_;
    std::vector<std::unique_ptr<Surface, SurfaceDeleter>> surfaces_;
    unsigned glName_ = 0;

    friend class Device;
};

} // namespace gfx
