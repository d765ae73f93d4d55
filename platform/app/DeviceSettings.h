#pragma once
// What the device host tells its callbacks about the device it is about to
// make, and the settings they may change. Values are Direct3D 9's documented
// numbers where callers compare them.

#include <cstdint>

#include "platform/crt/WinTypes.h"
#include "platform/gfx/Device.h"
#include "platform/gfx/Formats.h"

namespace app {

enum class DeviceType : std::uint32_t { Hal = 1, Reference = 2 };

enum class SwapEffect : std::uint32_t { Discard = 1, Flip = 2, Copy = 3 };

namespace PresentInterval {
inline constexpr std::uint32_t Default = 0, One = 1, Immediate = 0x80000000u;
}

namespace CreateFlags {
inline constexpr std::uint32_t Multithreaded = 0x4, SoftwareVertexProcessing = 0x20, HardwareVertexProcessing = 0x40;
}

// Texture operation capabilities: bit (op - 1) for each texture-stage
// operation the device carries out.
namespace TexOpCaps {
inline constexpr std::uint32_t Disable = 0x1, SelectArg1 = 0x2, SelectArg2 = 0x4, Modulate = 0x8,
                               BumpEnvMap = 0x00200000;
}

struct DeviceCaps {
    std::uint32_t adapterOrdinal = 0;
    DeviceType deviceType = DeviceType::Hal;
    std::uint32_t textureOpCaps = 0;
};

struct DeviceSettings {
    std::uint32_t adapterOrdinal = 0;
    DeviceType deviceType = DeviceType::Hal;
    gfx::Format adapterFormat = gfx::Format::X8R8G8B8;
    std::uint32_t behaviorFlags = CreateFlags::HardwareVertexProcessing;
    bool windowed = true;
    SwapEffect swapEffect = SwapEffect::Discard;
    std::uint32_t presentationInterval = PresentInterval::Default;
    // A back buffer of 0 x 0 takes the window's size and follows it.
    gfx::PresentParameters presentParameters;
};

// Failures of device creation and reset.
inline constexpr HRESULT kErrorNoCompatibleDevices = static_cast<HRESULT>(0x80040902u);
inline constexpr HRESULT kErrorCreatingDevice = static_cast<HRESULT>(0x80040905u);
inline constexpr HRESULT kErrorResettingDevice = static_cast<HRESULT>(0x80040906u);
inline constexpr HRESULT kErrorCreatingDeviceObjects = static_cast<HRESULT>(0x80040907u);
inline constexpr HRESULT kErrorResettingDeviceObjects = static_cast<HRESULT>(0x80040908u);

} // namespace app
