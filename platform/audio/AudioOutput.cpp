#include "platform/audio/AudioOutput.h"

#include <SDL.h>

#include <mutex>
#include <utility>

namespace audio {
namespace {

constexpr int kRequestedRate = 48000;
constexpr Uint16 kRequestedPeriodFrames = 1024; // about 21 ms at 48 kHz

} // namespace

struct AudioOutput::Device {
    SDL_AudioDeviceID id = 0;
    bool subsystemStarted = false;
    std::shared_ptr<Mixer> mixer;

    static void Fill(void* user, Uint8* stream, int length)
    {
        auto* device = static_cast<Device*>(user);
        const auto frames = static_cast<std::uint32_t>(length / int(sizeof(float) * kMixChannels));
        device->mixer->Mix(reinterpret_cast<float*>(stream), frames);
    }

    ~Device()
    {
        // Closing waits for the audio thread to leave Fill.
        if (id != 0)
            SDL_CloseAudioDevice(id);
        if (subsystemStarted)
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
};

AudioOutput::AudioOutput(std::unique_ptr<Device> device) : device_(std::move(device)) {}
AudioOutput::~AudioOutput() = default;

const std::shared_ptr<Mixer>& AudioOutput::GetMixer() const { return device_->mixer; }

std::unique_ptr<AudioOutput> AudioOutput::Open(std::string* error)
{
    auto fail = [error](const std::string& what) -> std::unique_ptr<AudioOutput> {
        if (error)
            *error = what + ": " + SDL_GetError();
        return nullptr;
    };
    auto device = std::make_unique<Device>();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return fail("no audio driver");
    device->subsystemStarted = true;

    // Float stereo always (SDL converts to what the hardware takes); the
    // rate is the device's own, and the mixer resamples to it.
    SDL_AudioSpec want{};
    want.freq = kRequestedRate;
    want.format = AUDIO_F32SYS;
    want.channels = kMixChannels;
    want.samples = kRequestedPeriodFrames;
    want.callback = &Device::Fill;
    want.userdata = device.get();
    SDL_AudioSpec have{};
    device->id = SDL_OpenAudioDevice(nullptr, 0, &want, &have,
                                     SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_SAMPLES_CHANGE);
    if (device->id == 0)
        return fail("no audio device");
    // The device opens paused: the mixer is in place before Fill can run.
    device->mixer = std::make_shared<Mixer>(have.freq > 0 ? static_cast<std::uint32_t>(have.freq) : kRequestedRate);
    SDL_PauseAudioDevice(device->id, 0);
    return std::unique_ptr<AudioOutput>(new AudioOutput(std::move(device)));
}

namespace {

struct ProcessOutput {
    std::mutex mutex;
    std::unique_ptr<AudioOutput> output;
    std::shared_ptr<Mixer> mixer;
    std::string error;
    bool tried = false;
};

ProcessOutput& Process()
{
    static ProcessOutput process;
    return process;
}

} // namespace

std::shared_ptr<Mixer> ProcessMixer()
{
    ProcessOutput& process = Process();
    std::lock_guard lock(process.mutex);
    if (!process.tried) {
        process.tried = true;
        process.output = AudioOutput::Open(&process.error);
        if (process.output)
            process.mixer = process.output->GetMixer();
    }
    return process.mixer;
}

std::string ProcessOutputError()
{
    ProcessOutput& process = Process();
    std::lock_guard lock(process.mutex);
    return process.error;
}

void SetProcessMixer(std::shared_ptr<Mixer> mixer)
{
    ProcessOutput& process = Process();
    std::lock_guard lock(process.mutex);
    process.output.reset();
    process.mixer = std::move(mixer);
    process.error.clear();
    process.tried = true;
}

void CloseProcessOutput()
{
    ProcessOutput& process = Process();
    std::lock_guard lock(process.mutex);
    process.output.reset();
    process.mixer.reset();
    process.error.clear();
    process.tried = false;
}

} // namespace audio
