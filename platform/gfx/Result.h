#pragma once
// Result codes of the graphics device, with Direct3D 9's documented values so
// that callers written against those codes compare them unchanged.

#include "platform/crt/WinTypes.h"

namespace gfx {

inline constexpr HRESULT kOk = S_OK;
inline constexpr HRESULT kInvalidCall = static_cast<HRESULT>(0x8876086Cu);
inline constexpr HRESULT kDeviceLost = static_cast<HRESULT>(0x88760868u);
inline constexpr HRESULT kDeviceNotReset = static_cast<HRESULT>(0x88760869u);
inline constexpr HRESULT kNotFound = static_cast<HRESULT>(0x88760866u);
inline constexpr HRESULT kNotAvailable = static_cast<HRESULT>(0x8876086Au);
inline constexpr HRESULT kOutOfVideoMemory = static_cast<HRESULT>(0x8876017Cu);
inline constexpr HRESULT kOutOfMemory = E_OUTOFMEMORY;

} // namespace gfx
