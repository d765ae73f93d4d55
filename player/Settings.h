#pragma once
// The user's settings: 32-bit values under one key path, each read from the
// store the first time it is asked for and cached for the rest of the run;
// every change updates the cache and is written to the store at once.
//
// Stored values are untrusted: one outside its range ("SleepTime" 0..3,
// "PicPos" 0..2, "SoundVolume" 0..100) counts as missing and gives the
// default. Setters refuse values outside those ranges and keep the current
// one. A failed write leaves only the cache changed.

#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/win/SettingsStore.h"

inline constexpr std::string_view kSettingsKeyPath = "Software\\Kexvale\\Vistrelle\\";

inline constexpr std::string_view kShowDialogValue = "Show dialog";
inline constexpr std::string_view kSleepTimeValue = "SleepTime";
inline constexpr std::string_view kMuteValue = "Mute";
// The two quote characters belong to the name.
inline constexpr std::string_view kIconSmoothingValue = "\"Icon smoothing\"";
inline constexpr std::string_view kPicPosValue = "PicPos";
inline constexpr std::string_view kSoundVolumeValue = "SoundVolume";

// Execution priorities ("SleepTime") and picture positions ("PicPos").
inline constexpr std::int32_t kPriorityHigh = 0, kPriorityNormal = 1, kPriorityLow = 2;
inline constexpr std::int32_t kPicPosStretch = 0, kPicPosFit = 1, kPicPosFill = 2;

// Frame timer period of an execution priority: 10, 30, 60 ms (100 for 3).
constexpr std::uint32_t FramePeriodMs(std::int32_t sleepTime)
{
    return static_cast<std::uint32_t>(5 * sleepTime * (sleepTime + 3) + 10);
}

class Settings {
public:
    explicit Settings(win::SettingsStore& store) : store_(store) {}

    bool GetShowDialogSetting();
    std::int32_t GetSleepTimeSetting();
    std::int32_t GetMuteSetting();
    std::int32_t GetIconSmoothingSetting();
    std::int32_t GetPicturePositionSetting();
    std::int32_t GetSoundVolumeSetting();

    bool SetShowDialogSetting(bool show);
    std::int32_t SetSleepTimeSetting(std::int32_t sleepTime);
    bool SetMuteSetting(bool mute);
    bool SetIconSmoothingSetting(bool smoothing);
    std::int32_t SetPicturePositionSetting(std::int32_t position);
    std::int32_t SetSoundVolumeSetting(std::int32_t volume);

private:
    struct Value {
        std::string_view name;
        std::int32_t defaultValue;
        std::int32_t min;
        std::int32_t max;
        std::optional<std::int32_t> cached;
    };

    std::int32_t Get(Value& value);
    std::int32_t Set(Value& value, std::int32_t newValue);

    win::SettingsStore& store_;
    // Flags take any stored number (non-zero is on); ranges are checked for
    // the others.
    static constexpr std::int32_t kAny = INT32_MAX;
    Value showDialog_{kShowDialogValue, 1, INT32_MIN, kAny, {}};
    Value sleepTime_{kSleepTimeValue, kPriorityNormal, 0, 3, {}};
    Value mute_{kMuteValue, 1, INT32_MIN, kAny, {}};
    Value iconSmoothing_{kIconSmoothingValue, 0, INT32_MIN, kAny, {}};
    Value picPos_{kPicPosValue, kPicPosFill, 0, 2, {}};
    Value soundVolume_{kSoundVolumeValue, 100, 0, 100, {}};
};
