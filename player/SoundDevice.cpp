#include "player/SoundDevice.h"

namespace {

struct DirectSoundState {
    std::shared_ptr<audio::SoundDevice> device;
    std::shared_ptr<audio::SoundBuffer> primary;
};

DirectSoundState& State()
{
    static DirectSoundState state;
    return state;
}

} // namespace

bool InitDirectSound(win::HWND)
{
    DirectSoundState& state = State();
    if (state.device)
        return true;
    std::shared_ptr<audio::SoundDevice> device;
    // No output on this machine: the program runs silent.
    if (FAILED(audio::SoundDevice::Create(&device)))
        return true;
    audio::BufferDesc desc;
    desc.flags = kSoundBufferFlagsWord | audio::kBufferPrimary | audio::kBufferCtrlVolume;
    state.primary.reset();
    std::shared_ptr<audio::SoundBuffer> primary;
    if (FAILED(device->CreateSoundBuffer(desc, &primary)))
        return false;
    state.device = std::move(device);
    state.primary = std::move(primary);
    return SUCCEEDED(state.primary->Play(audio::kPlayLooping));
}

void StopPrimarySoundBuffer()
{
    audio::SoundBuffer* primary = PrimarySoundBuffer();
    if (!primary)
        return;
    primary->SetVolume(audio::kVolumeMax);
    primary->Stop();
}

void ReleaseDirectSound()
{
    DirectSoundState& state = State();
    state.primary.reset();
    state.device.reset();
}

audio::SoundDevice* DirectSoundDevice()
{
    return State().device.get();
}

audio::SoundBuffer* PrimarySoundBuffer()
{
    return State().primary.get();
}

std::shared_ptr<audio::Mixer> DirectSoundMixer()
{
    const auto& device = State().device;
    return device ? device->GetMixer() : nullptr;
}
