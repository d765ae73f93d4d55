#pragma once
// The sound output: an SDL audio device fed by a Mixer from SDL's audio
// thread, as interleaved stereo float at the device's own sample rate.
//
// Headless runs choose SDL's driver through the environment: with
// SDL_AUDIODRIVER=dummy the device runs without sound hardware; with
// SDL_AUDIODRIVER=disk the mixed output goes to the file SDL_DISKAUDIOFILE
// names. When no device can be opened at all, there is no output: Open
// answers null and says why, and whoever asked for sound stays silent.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/audio/Mixer.h"

namespace audio {

class AudioOutput {
public:
    static std::unique_ptr<AudioOutput> Open(std::string* error);
    // Closes the device; the mixer lives on with whoever still holds it.
    ~AudioOutput();
    AudioOutput(const AudioOutput&) = delete;
    AudioOutput& operator=(const AudioOutput&) = delete;

    const std::shared_ptr<Mixer>& GetMixer() const;

private:
    struct Device;
    explicit AudioOutput(std::unique_ptr<Device> device);
    std::unique_ptr<Device> device_;
};

// The mixer every sound device and media graph of the process plays
// through, on an output opened on first use. Null when no device could be
// opened (ProcessOutputError() says why); the attempt is not repeated until
// SetProcessMixer or CloseProcessOutput.
std::shared_ptr<Mixer> ProcessMixer();
std::string ProcessOutputError();
// Makes `mixer` the process's mixer in place of a device (whoever owns it
// drives it; tests call Mix). Closes a device opened before.
void SetProcessMixer(std::shared_ptr<Mixer> mixer);
// Closes the process's output; the next ProcessMixer() opens it again.
void CloseProcessOutput();

} // namespace audio
