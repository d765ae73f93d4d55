#include "effects/GlassBallTextures.h"

#include <cmath>
#include <cstring>
#include <numbers>

#include "platform/gfx/Device.h"
#include "platform/gfx/TextureLoaderDevice.h"

namespace glass_ball {
namespace {

constexpr float kHemisphereRadiusSquared = 16384.0f;
constexpr float kSlopeScale = 51200.0f / std::numbers::pi_v<float>;
constexpr std::uint32_t kTriangleFilter = 4; // D3DX_FILTER_TRIANGLE

float HemisphereHeight(int a, int b)
{
    const float d = static_cast<float>((a - 128) * (a - 128) + (b - 128) * (b - 128));
    return d <= kHemisphereRadiusSquared ? std::sqrt(kHemisphereRadiusSquared - d) : 0.0f;
}

std::int16_t Slope(float difference)
{
    return static_cast<std::int16_t>(std::atan(difference) * kSlopeScale);
}

gfx::Ref<gfx::Texture> CreateManaged(gfx::Device& device, std::uint32_t side, std::uint32_t levels, gfx::Format format)
{
    gfx::Texture* raw = nullptr;
    if (device.CreateTexture(side, side, levels, 0, format, gfx::Pool::Managed, &raw) != gfx::kOk)
        return {};
    return gfx::Ref<gfx::Texture>::Adopt(raw);
}

// Calls write(row, rowBytes) for every row of level 0, at the locked pitch.
template <class WriteRow>
bool FillLevel0(gfx::Texture& texture, std::uint32_t rows, WriteRow&& write)
{
    gfx::LockedRect locked;
    if (texture.LockRect(0, &locked, nullptr, 0) != gfx::kOk || !locked.bits)
        return false;
    auto* bytes = static_cast<std::uint8_t*>(locked.bits);
    for (std::uint32_t row = 0; row < rows; ++row)
        write(row, bytes + static_cast<std::size_t>(row) * static_cast<std::size_t>(locked.pitch));
    texture.UnlockRect(0);
    return true;
}

int Channel(COLORREF colour, int shift)
{
    return static_cast<int>((colour >> shift) & 0xFFu);
}

} // namespace

BumpTexel BumpTexelAt(std::uint32_t row, std::uint32_t column)
{
    if (column + 1 >= kBumpSide)
        return {};
    const int i = static_cast<int>(row), j = static_cast<int>(column);
    const float here = HemisphereHeight(i, j);
    return {Slope(here - HemisphereHeight(i, j + 1)), Slope(here - HemisphereHeight(i + 1, j))};
}

std::uint8_t MaskTexelAt(int x, int y)
{
    return x * x + y * y <= kMaskRadiusSquared ? 0 : 255;
}

std::uint32_t GradientRow(COLORREF top, COLORREF bottom, std::uint32_t row)
{
    const float t = static_cast<float>(row) / 255.0f;
    std::uint32_t rgb = 0;
    // COLORREF holds red in its low byte; the texel holds red in bits 16..23.
    const int shifts[3][2] = {{0, 16}, {8, 8}, {16, 0}};
    for (const auto& shift : shifts) {
        const int from = Channel(top, shift[0]), to = Channel(bottom, shift[0]);
        const auto value = static_cast<std::uint32_t>(static_cast<float>(from) + static_cast<float>(to - from) * t);
        rgb |= (value & 0xFFu) << shift[1];
    }
    return rgb;
}

gfx::Ref<gfx::Texture> MakeBumpTexture(gfx::Device& device)
{
    gfx::Ref<gfx::Texture> texture = CreateManaged(device, kBumpSide, 1, gfx::Format::V16U16);
    if (!texture)
        return {};
    const bool filled = FillLevel0(*texture, kBumpSide, [](std::uint32_t row, std::uint8_t* bytes) {
        for (std::uint32_t column = 0; column < kBumpSide; ++column) {
            const BumpTexel texel = BumpTexelAt(row, column);
            std::memcpy(bytes + column * 4, &texel.du, 2);
            std::memcpy(bytes + column * 4 + 2, &texel.dv, 2);
        }
    });
    return filled ? texture : gfx::Ref<gfx::Texture>{};
}

gfx::Ref<gfx::Texture> MakeMaskTexture(gfx::Device& device)
{
    gfx::Ref<gfx::Texture> texture = CreateManaged(device, kMaskSide, 1, gfx::Format::A8);
    if (!texture)
        return {};
    constexpr int half = static_cast<int>(kMaskSide / 2);
    const bool filled = FillLevel0(*texture, kMaskSide, [](std::uint32_t row, std::uint8_t* bytes) {
        for (std::uint32_t column = 0; column < kMaskSide; ++column)
            bytes[column] = MaskTexelAt(static_cast<int>(column) - half, static_cast<int>(row) - half);
    });
    return filled ? texture : gfx::Ref<gfx::Texture>{};
}

gfx::Ref<gfx::Texture> MakeGradientTexture(gfx::Device& device, COLORREF top, COLORREF bottom)
{
    gfx::Ref<gfx::Texture> texture = CreateManaged(device, kGradientSide, 0, gfx::Format::A8R8G8B8);
    if (!texture)
        return {};
    const bool filled = FillLevel0(*texture, kGradientSide, [&](std::uint32_t row, std::uint8_t* bytes) {
        const std::uint32_t texel = GradientRow(top, bottom, row);
        for (std::uint32_t column = 0; column < kGradientSide; ++column)
            std::memcpy(bytes + column * 4, &texel, 4);
    });
    if (!filled)
        return {};
    // Every smaller level from the one above it, so that a backdrop drawn
    // smaller than the texture samples the gradient too.
    for (std::uint32_t level = 1; level < texture->GetLevelCount(); ++level)
        gfx::LoadSurfaceFromSurface(texture->SurfaceLevel(level).Get(), texture->SurfaceLevel(level - 1).Get(),
                                    kTriangleFilter);
    return texture;
}

} // namespace glass_ball
