#pragma once
// Sound buffers in the manner of the system's sound API: a device, one
// primary buffer that stands for the whole output, and secondary buffers
// that hold PCM data and play it, once or looping, at a volume and pan in
// millibels (see Gain.h).
//
// The primary buffer's volume and pan are the master level of the mixer, so
// they reach every sound, media graphs included. Its play state is kept and
// reported; the output itself runs from the moment it is opened, as a
// primary buffer keeps mixing while secondary buffers play.
//
// A secondary buffer plays at its own sample rate, resampled to the
// output's. Its status and position are read without waiting for the audio
// thread. A one-shot buffer that reaches its end stops and goes back to its
// start; Stop keeps the position. Lock hands out a copy of the requested
// bytes, and Unlock writes them back at once, so a buffer may be written
// while it plays; one lock may be outstanding at a time.
//
// Everything is called from the main thread.

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>

#include "platform/audio/Gain.h"
#include "platform/audio/Mixer.h"
#include "platform/audio/Results.h"
#include "platform/audio/WaveFormat.h"
#include "platform/crt/WinTypes.h"

namespace audio {

// Buffer description flags (documented values).
inline constexpr DWORD kBufferPrimary = 0x00000001;
inline constexpr DWORD kBufferCtrlPan = 0x00000040;
inline constexpr DWORD kBufferCtrlVolume = 0x00000080;
inline constexpr DWORD kBufferStickyFocus = 0x00004000; // accepted; sound never depends on focus here
inline constexpr DWORD kBufferGlobalFocus = 0x00008000; // accepted, likewise

// Play flags.
inline constexpr DWORD kPlayLooping = 0x00000001;

// Status bits.
inline constexpr DWORD kStatusPlaying = 0x00000001;
inline constexpr DWORD kStatusLooping = 0x00000004;

// Lock flags.
inline constexpr DWORD kLockFromWriteCursor = 0x00000001;
inline constexpr DWORD kLockEntireBuffer = 0x00000002;

// Sizes a secondary buffer may have, in bytes.
inline constexpr DWORD kMinBufferBytes = 4;
inline constexpr DWORD kMaxBufferBytes = 0x0FFFFFFF;

struct BufferDesc {
    DWORD flags = 0;
    DWORD bufferBytes = 0;             // secondary buffers; 0 for the primary
    std::optional<WaveFormat> format;  // secondary buffers; none for the primary
};

class SoundBuffer {
public:
    virtual ~SoundBuffer() = default;
    SoundBuffer(const SoundBuffer&) = delete;
    SoundBuffer& operator=(const SoundBuffer&) = delete;

    // kPlayLooping repeats the buffer until Stop; the primary buffer must be
    // played looping. Playing a playing buffer only changes its looping.
    virtual HRESULT Play(DWORD flags) = 0;
    virtual HRESULT Stop() = 0;
    // kStatusPlaying, with kStatusLooping when it plays looping.
    virtual HRESULT GetStatus(DWORD* status) const = 0;
    // kVolumeMin..kVolumeMax; needs kBufferCtrlVolume.
    HRESULT SetVolume(LONG volume);
    HRESULT GetVolume(LONG* volume) const;
    // kPanLeft..kPanRight; needs kBufferCtrlPan.
    HRESULT SetPan(LONG pan);
    HRESULT GetPan(LONG* pan) const;
    // Byte offsets of the next frame to play (rounded down to a frame).
    virtual HRESULT SetCurrentPosition(DWORD offset) = 0;
    virtual HRESULT GetCurrentPosition(DWORD* play, DWORD* write) const = 0;
    // `bytes` from `offset`, wrapping to the start when it runs past the end;
    // kLockEntireBuffer takes the whole buffer. `second` may be null when the
    // caller takes no wrapped part.
    virtual HRESULT Lock(DWORD offset, DWORD bytes, void** first, DWORD* firstBytes, void** second,
                         DWORD* secondBytes, DWORD flags) = 0;
    virtual HRESULT Unlock(void* first, DWORD firstBytes, void* second, DWORD secondBytes) = 0;
    virtual HRESULT GetFormat(WaveFormat* format) const = 0;

    DWORD Flags() const { return flags_; }

protected:
    explicit SoundBuffer(DWORD flags) : flags_(flags) {}

    // The gains of the current volume and pan. Read without a lock: the
    // mixer's thread may ask while the main thread sets them.
    StereoGain LevelGains() const { return VolumePanGains(volume_, pan_); }
    // Called after the volume or the pan changed.
    virtual void LevelsChanged() = 0;

private:
    HRESULT SetLevel(DWORD control, LONG value, LONG low, LONG high, std::atomic<LONG>& level);
    HRESULT GetLevel(DWORD control, const std::atomic<LONG>& level, LONG* value) const;

    DWORD flags_;
    std::atomic<LONG> volume_{kVolumeMax};
    std::atomic<LONG> pan_{0};
};

class SoundDevice {
public:
    // On the process's output (AudioOutput.h); kNoDriver when there is none.
    static HRESULT Create(std::shared_ptr<SoundDevice>* out);
    // On a mixer of the caller's.
    static HRESULT Create(std::shared_ptr<Mixer> mixer, std::shared_ptr<SoundDevice>* out);

    // The primary buffer (kBufferPrimary, no size, no format) or a secondary
    // buffer of `bufferBytes` bytes of `format` (silent until written).
    // kBadFormat for a format that cannot be played, kInvalidParam for a bad
    // size or combination.
    HRESULT CreateSoundBuffer(const BufferDesc& desc, std::shared_ptr<SoundBuffer>* out);

    const std::shared_ptr<Mixer>& GetMixer() const { return mixer_; }

private:
    explicit SoundDevice(std::shared_ptr<Mixer> mixer) : mixer_(std::move(mixer)) {}
    std::shared_ptr<Mixer> mixer_;
};

} // namespace audio
