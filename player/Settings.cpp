#include "player/Settings.h"

std::int32_t Settings::Get(Value& value)
{
    if (value.cached)
        return *value.cached;
    value.cached = value.defaultValue;
    const auto stored = store_.QueryDword(kSettingsKeyPath, value.name);
    if (!stored)
        return *value.cached;
    const auto number = static_cast<std::int32_t>(*stored);
    if (number >= value.min && number <= value.max)
        value.cached = number;
    return *value.cached;
}

std::int32_t Settings::Set(Value& value, std::int32_t newValue)
{
    if (newValue < value.min || newValue > value.max)
        return Get(value);
    value.cached = newValue;
    store_.SetDword(kSettingsKeyPath, value.name, static_cast<std::uint32_t>(newValue));
    return newValue;
}

bool Settings::GetShowDialogSetting() { return Get(showDialog_) != 0; }
std::int32_t Settings::GetSleepTimeSetting() { return Get(sleepTime_); }
std::int32_t Settings::GetMuteSetting() { return Get(mute_); }
std::int32_t Settings::GetIconSmoothingSetting() { return Get(iconSmoothing_); }
std::int32_t Settings::GetPicturePositionSetting() { return Get(picPos_); }
std::int32_t Settings::GetSoundVolumeSetting() { return Get(soundVolume_); }

bool Settings::SetShowDialogSetting(bool show) { return Set(showDialog_, show ? 1 : 0) != 0; }
std::int32_t Settings::SetSleepTimeSetting(std::int32_t sleepTime) { return Set(sleepTime_, sleepTime); }
bool Settings::SetMuteSetting(bool mute) { return Set(mute_, mute ? 1 : 0) != 0; }
bool Settings::SetIconSmoothingSetting(bool smoothing) { return Set(iconSmoothing_, smoothing ? 1 : 0) != 0; }
std::int32_t Settings::SetPicturePositionSetting(std::int32_t position) { return Set(picPos_, position); }
std::int32_t Settings::SetSoundVolumeSetting(std::int32_t volume) { return Set(soundVolume_, volume); }
