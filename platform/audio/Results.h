#pragma once
// Result codes of the sound layer, with the documented values of the sound
// and media interfaces the scene code was written against, so that callers
// test them unchanged (FAILED/SUCCEEDED, or a comparison with one code).

#include "platform/crt/WinTypes.h"

namespace audio {

inline constexpr HRESULT kOk = S_OK;
inline constexpr HRESULT kFalse = S_FALSE;
inline constexpr HRESULT kInvalidParam = E_INVALIDARG;
inline constexpr HRESULT kOutOfMemory = E_OUTOFMEMORY;
inline constexpr HRESULT kUnsupported = E_NOTIMPL;
inline constexpr HRESULT kGeneric = E_FAIL;
inline constexpr HRESULT kPointer = E_POINTER;

// Sound buffers.
inline constexpr HRESULT kControlUnavailable = static_cast<HRESULT>(0x8878001Eu);
inline constexpr HRESULT kInvalidCall = static_cast<HRESULT>(0x88780032u);
inline constexpr HRESULT kPrioLevelNeeded = static_cast<HRESULT>(0x88780046u);
inline constexpr HRESULT kBadFormat = static_cast<HRESULT>(0x88780064u);
inline constexpr HRESULT kNoDriver = static_cast<HRESULT>(0x88780078u);

// Filter graphs.
inline constexpr HRESULT kAbort = static_cast<HRESULT>(0x80004004u);          // no event within the time-out
inline constexpr HRESULT kFileNotFound = static_cast<HRESULT>(0x80070002u);
inline constexpr HRESULT kUnsupportedStream = static_cast<HRESULT>(0x80040265u);
inline constexpr HRESULT kNotConnected = static_cast<HRESULT>(0x80040209u);  // nothing rendered yet

} // namespace audio
