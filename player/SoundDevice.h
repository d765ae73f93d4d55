#pragma once
// The process's sound device and its primary buffer.
//
// Start-up opens the device once on the manager window. The primary buffer
// stands for the sound objects' output: its volume is the master level of
// every WAV and MP3 object, on top of each object's own volume and pan, so
// the volume setting and mute reach all of them through it. The playlist's
// graph is set apart from it and takes its level from its own volume alone.
//
// Sound objects make their buffers and graphs on this device's mixer; when
// there is no device (start-up not run, as in the tools that only render
// frames, or no audio output on the machine), they stay silent.
//
// Main thread only.

#include <memory>

#include "platform/audio/Mixer.h"
#include "platform/audio/SoundBuffer.h"
#include "platform/crt/WinTypes.h"
#include "platform/win/WindowTypes.h"

// The flags every buffer of the process is made with (sticky focus).
inline constexpr DWORD kSoundBufferFlagsWord = audio::kBufferStickyFocus;

// Opens the process's sound device and its primary buffer, and plays the
// primary buffer looping. Does nothing when the device is open already.
// Never fatal: when the machine has no audio output the program runs
// silent, and this still answers true; false only when the device opened
// but its primary buffer could not be made or played.
bool InitDirectSound(win::HWND window);

// At the manager window's destruction: when the primary buffer exists, its
// volume goes back to 0 (no attenuation) and it stops.
void StopPrimarySoundBuffer();

// Releases the primary buffer and the device (tests, and exit).
void ReleaseDirectSound();

// The device, or null before InitDirectSound or without audio output.
audio::SoundDevice* DirectSoundDevice();
// The primary buffer, or null.
audio::SoundBuffer* PrimarySoundBuffer();
// The mixer the device plays through, or null.
std::shared_ptr<audio::Mixer> DirectSoundMixer();
