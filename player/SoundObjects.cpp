#include "player/SoundObjects.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "objectmodel/ClassRegistry.h"
#include "platform/audio/Decoder.h"
#include "platform/audio/RiffWave.h"
#include "platform/crt/WideString.h"
#include "player/AudioPlaylist.h"
#include "player/SoundDevice.h"
#include "render/DocResManager.h"
#include "render/Timelines.h"
#include "render/TimingSmart.h"

namespace {

constexpr char16_t kSharedModule[] = u"common_res.dll";
constexpr std::uint32_t kHundredthsPerSecond = 100;

LONG ClampLevel(double millibels, LONG low, LONG high)
{
    if (std::isnan(millibels))
        return low;
    return static_cast<LONG>(std::clamp(millibels, double(low), double(high)));
}

// Whole seconds of an old timing record in hundredths, saturating.
std::uint32_t LegacySecondsToHundredths(std::uint32_t seconds)
{
    const std::uint64_t hundredths = std::uint64_t(seconds) * kHundredthsPerSecond;
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(hundredths, std::numeric_limits<std::uint32_t>::max()));
}

// The timeline an old DS_Sound_Ctrl record asks for, or null.
std::unique_ptr<KXI_Timing> LegacySoundTimeline(std::int32_t kind, std::uint32_t first, std::uint32_t second)
{
    if (kind == KXI_SmartTiming::kContinuous)
        return std::make_unique<KXI_ContinuesTimeLine>();
    if (kind != KXI_SmartTiming::kRandom)
        return nullptr;
    std::unique_ptr<KXI_Timing> timeline = CreateObjectByClassName(KXI_RandomTimeLine::kClassName);
    if (auto* random = dynamic_cast<KXI_RandomTimeLine*>(timeline.get())) {
        random->offLength.min.SetValue(LegacySecondsToHundredths(first), nullptr);
        random->offLength.max.SetValue(LegacySecondsToHundredths(second), nullptr);
    }
    return timeline;
}

const DS_ImageFileLink& SoundPreviewLink()
{
    static const DS_ImageFileLink link(DS_Sound_Ctrl::kPreviewImageId, kSharedModule);
    return link;
}

// Hundredths of a second of `bytes` of data at `bytesPerSecond`, rounded
// to the nearest in single precision; -1 when it does not fit.
std::int64_t WaveLengthHundredths(std::uint64_t bytes, std::uint32_t bytesPerSecond)
{
    if (bytesPerSecond == 0)
        return -1;
    const float hundredths =
        std::floor(static_cast<float>(bytes * kHundredthsPerSecond) / static_cast<float>(bytesPerSecond) + 0.5f);
    if (!(hundredths <= float(std::numeric_limits<std::int32_t>::max())))
        return -1;
    return static_cast<std::int64_t>(hundredths);
}

// Whole seconds in hundredths, saturating.
std::int32_t HundredthsOfWholeSeconds(std::uint64_t seconds)
{
    constexpr std::uint64_t kLargest = std::numeric_limits<std::int32_t>::max() / kHundredthsPerSecond;
    return static_cast<std::int32_t>(std::min(seconds, kLargest) * kHundredthsPerSecond);
}

// The WAV image of `link` in the current document's resources, when it is
// one that can be played: a RIFF/WAVE image with its chunks, a byte rate,
// a size a buffer may have and a length that fits the length field.
std::optional<audio::WaveImage> FindPlayableWave(const DS_FileLink3& link)
{
    DS_DocResManager* manager = CurrentDocResManager();
    const ModuleResourceBlob* record = manager ? manager->GetResourceData(link) : nullptr;
    if (!record)
        return std::nullopt;
    std::optional<audio::WaveImage> image = audio::ParseRiffWave(record->Bytes(), nullptr);
    if (!image || image->data.size() > audio::kMaxBufferBytes ||
        WaveLengthHundredths(image->data.size(), image->format.avgBytesPerSec) < 0)
        return std::nullopt;
    return image;
}

} // namespace

// ---- levels ------------------------------------------------------------------

LONG WavBufferVolume(std::uint32_t volume)
{
    return ClampLevel((double(volume) - 100.0) * 50.0, audio::kVolumeMin, audio::kVolumeMax);
}

LONG WavBufferPan(std::uint32_t pan)
{
    return ClampLevel((double(pan) - 50.0) * 100.0, audio::kPanLeft, audio::kPanRight);
}

LONG Mp3GraphVolume(std::uint32_t volume)
{
    const float level = (static_cast<float>(volume) * 100.0f - 10000.0f) * 0.4f;
    return ClampLevel(std::trunc(level), audio::kVolumeMin, audio::kVolumeMax);
}

LONG Mp3GraphBalance(std::uint32_t pan)
{
    const float level = (static_cast<float>(pan) * 200.0f - 10000.0f) * 0.4f;
    return ClampLevel(std::trunc(level), audio::kPanLeft, audio::kPanRight);
}

// ---- DS_Sound_Ctrl ---------------------------------------------------------------

DS_Sound_Ctrl::DS_Sound_Ctrl()
{
    volume.QuietSet(100);
    pan.QuietSet(50);
}

DS_Sound_Ctrl::DS_Sound_Ctrl(const DS_Sound_Ctrl& other) : DS_ABObj_Constructor(other), length(other.length)
{
    volume.QuietSet(other.volume.value);
    pan.QuietSet(other.pan.value);
}

void DS_Sound_Ctrl::GetPreviewImage(PreviewImage& out) const
{
    out = PreviewImage{&SoundPreviewLink(), 0, 0.0f, 1.0f};
}

std::unique_ptr<KXI_RenderObj> DS_Sound_Ctrl::CreateRenderObject()
{
    return std::make_unique<DS_Sound>(Clone());
}

int DS_Sound_Ctrl::TimelineState() const
{
    const KXI_Timing* timeline = timing.CurrentTimeline();
    return timeline ? timeline->GetState() : kTimingOff;
}

void DS_Sound_Ctrl::ReadSoundLevel(ArchiveReader ar)
{
    const SectionHeader header = ar.ReadSectionHeader();
    volume.StoreValue(ar.ReadDword());
    pan.StoreValue(ar.ReadDword());
    const bool legacy = header.version < 3;
    std::int32_t legacyKind = 0;
    std::uint32_t legacyFirst = 0, legacySecond = 0;
    if (legacy) {
        legacyKind = ar.ReadInt();
        legacyFirst = ar.ReadDword();
        legacySecond = ar.ReadDword();
    }
    ReadABObjConstructor(ar, *this);
    if (!legacy)
        return;
    // The old kind is the selector as it stands: nothing switches on it.
    timing.StoreValue(legacyKind);
    timing.SetTimeline(LegacySoundTimeline(legacyKind, legacyFirst, legacySecond));
}

void DS_Sound_Ctrl::WriteSoundLevel(ArchiveWriter ar) const
{
    ar->WriteWideString(kxi_string(kSectionName));
    ar->WriteVersion(kWrittenVersion);
    ar->WriteDword(volume.value);
    ar->WriteDword(pan.value);
    WriteABObjConstructor(ar, *this);
}

void DS_Sound_Ctrl::SetLength(std::int32_t hundredths)
{
    length = hundredths;
    timing.defaultFadeIn = 0.0f;
    timing.defaultOnLength = static_cast<float>(hundredths) / 100.0f;
    timing.defaultFadeOut = 0.0f;
}

// ---- DS_WAV_Constructor ---------------------------------------------------------

DS_WAV_Constructor::DS_WAV_Constructor()
{
    timing.flags |= 0x1;
}

DS_WAV_Constructor::DS_WAV_Constructor(const DS_WAV_Constructor& other)
    : DS_Sound_Ctrl(other), wavData(other.wavData), buffer(other.buffer)
{
}

void DS_WAV_Constructor::ReadBody(ArchiveReader ar, std::int32_t)
{
    ReadFileLink(ar, wavData);
    ReadSoundLevel(ar);
}

void DS_WAV_Constructor::Save(ArchiveWriter ar) const
{
    if (DS_DocResManager* manager = CurrentDocResManager())
        manager->RegisterLink(wavData);
    ar->WriteWideString(kxi_string(kClassName));
    ar->WriteVersion(kStoredVersion);
    WriteFileLink(ar, wavData);
    WriteSoundLevel(ar);
}

std::unique_ptr<DS_Sound_Ctrl> DS_WAV_Constructor::Clone() const
{
    return std::make_unique<DS_WAV_Constructor>(*this);
}

bool DS_WAV_Constructor::MakeBuffer()
{
    const std::optional<audio::WaveImage> image = FindPlayableWave(wavData);
    if (!image)
        return false;
    SetLength(static_cast<std::int32_t>(WaveLengthHundredths(image->data.size(), image->format.avgBytesPerSec)));

    audio::SoundDevice* device = DirectSoundDevice();
    if (!device)
        return false;
    audio::BufferDesc desc;
    desc.flags = kSoundBufferFlagsWord | audio::kBufferCtrlVolume | audio::kBufferCtrlPan;
    desc.bufferBytes = static_cast<DWORD>(image->data.size());
    desc.format = image->format;
    std::shared_ptr<audio::SoundBuffer> made;
    if (FAILED(device->CreateSoundBuffer(desc, &made)))
        return false;
    void* bytes = nullptr;
    DWORD count = 0;
    if (FAILED(made->Lock(0, 0, &bytes, &count, nullptr, nullptr, audio::kLockEntireBuffer)))
        return false;
    std::copy_n(image->data.data(), count, static_cast<std::uint8_t*>(bytes));
    made->Unlock(bytes, count, nullptr, 0);
    buffer = std::move(made);
    return true;
}

std::int32_t DS_WAV_Constructor::MeasureLength() const
{
    const std::optional<audio::WaveImage> image = FindPlayableWave(wavData);
    return image ? static_cast<std::int32_t>(WaveLengthHundredths(image->data.size(), image->format.avgBytesPerSec))
                 : 0;
}

void DS_WAV_Constructor::Start()
{
    if (!buffer)
        MakeBuffer();
    if (buffer) {
        // The level is in place before anything plays.
        buffer->SetVolume(WavBufferVolume(volume.value));
        buffer->SetPan(WavBufferPan(pan.value));
    }
    timing.flags |= kWavTimingFlags;
}

void DS_WAV_Constructor::Stop()
{
    m_wasOn = false;
    if (buffer)
        buffer->Stop();
}

void DS_WAV_Constructor::Update(float)
{
    if (!buffer)
        return;
    DWORD status = 0;
    buffer->GetStatus(&status);
    const int state = TimelineState();
    const bool on = state == kTimingOn;
    const bool phaseStarts = on && !m_wasOn;
    m_wasOn = on;

    if (status & audio::kStatusPlaying) {
        // A sound played once runs to its end.
        if (state == kTimingOff && (status & audio::kStatusLooping))
            buffer->Stop();
        return;
    }
    if (!on)
        return;
    const bool continuous = timing.Selector() == KXI_SmartTiming::kContinuous;
    // Once per on-phase, and only when the play before ended in time.
    if (!continuous && !phaseStarts)
        return;
    buffer->SetCurrentPosition(0);
    buffer->Play(continuous ? audio::kPlayLooping : 0);
}

void DS_WAV_Constructor::GetPreviewImage(PreviewImage& out, bool play)
{
    if (play) {
        if (!buffer)
            MakeBuffer();
        if (buffer) {
            buffer->SetCurrentPosition(0);
            buffer->Play(0);
        }
    }
    DS_Sound_Ctrl::GetPreviewImage(out);
}

// ---- DS_MP3_Constructor ---------------------------------------------------------

DS_MP3_Constructor::DS_MP3_Constructor(const DS_MP3_Constructor& other) : DS_Sound_Ctrl(other), mp3Data(other.mp3Data)
{
}

void DS_MP3_Constructor::ReadBody(ArchiveReader ar, std::int32_t)
{
    ar->ReadBlob(&mp3Data);
    ReadSoundLevel(ar);
}

void DS_MP3_Constructor::Save(ArchiveWriter ar) const
{
    ar->WriteWideString(kxi_string(kClassName));
    ar->WriteVersion(kStoredVersion);
    ar->WriteBlob(mp3Data);
    WriteSoundLevel(ar);
}

std::unique_ptr<DS_Sound_Ctrl> DS_MP3_Constructor::Clone() const
{
    return std::make_unique<DS_MP3_Constructor>(*this);
}

void DS_MP3_Constructor::Start()
{
    if (graph)
        return;
    // The blob's bytes are the sound; a blob without bytes names a file of
    // somebody else's computer, which is never opened.
    const std::shared_ptr<audio::Mixer> mixer = DirectSoundMixer();
    if (!mixer || mp3Data.IsEmpty())
        return;
    std::shared_ptr<audio::FilterGraph> made;
    if (FAILED(audio::FilterGraph::Create(mixer, &made)))
        return;
    std::u16string name = GetFileNameAfterBackslash(mp3Data.Name());
    const std::span<const std::uint8_t> bytes = mp3Data.Bytes();
    std::shared_ptr<audio::SourceFilter> decoded;
    if (FAILED(made->AddSourceFilter(std::vector<std::uint8_t>(bytes.begin(), bytes.end()),
                                     name.empty() ? std::string("MP3 data") : crt::ToUtf8(name), &decoded)))
        return;
    // Rendered into a stopped graph: ready and silent.
    if (FAILED(made->Render(decoded)))
        return;
    graph = std::move(made);
    source = std::move(decoded);
    std::int64_t duration = 0;
    if (SUCCEEDED(graph->GetDuration(&duration)) && duration > 0)
        SetLength(HundredthsOfWholeSeconds(static_cast<std::uint64_t>(duration / audio::kReferenceTimePerSecond)));
}

std::int32_t DS_MP3_Constructor::MeasureLength() const
{
    if (mp3Data.IsEmpty())
        return 0;
    const std::span<const std::uint8_t> bytes = mp3Data.Bytes();
    const std::unique_ptr<audio::Decoder> decoder =
        audio::Decoder::OpenMemory(std::vector<std::uint8_t>(bytes.begin(), bytes.end()), nullptr);
    if (!decoder || decoder->SampleRate() == 0)
        return 0;
    return HundredthsOfWholeSeconds(decoder->Frames() / decoder->SampleRate());
}

void DS_MP3_Constructor::Rebuild()
{
    graph->Render(source);
    std::int64_t start = 0;
    graph->SetPositions(&start, audio::kSeekAbsolute, nullptr, audio::kSeekNoPositioning);
    // The level is in place before the graph runs.
    graph->SetVolume(Mp3GraphVolume(volume.value));
    graph->SetBalance(Mp3GraphBalance(pan.value));
    graph->Run();
}

void DS_MP3_Constructor::DrainEvents()
{
    audio::GraphEvent event;
    while (SUCCEEDED(graph->GetEvent(&event, 0))) {
    }
}

void DS_MP3_Constructor::Update(float)
{
    if (!graph || !source)
        return;
    DrainEvents();
    const int state = TimelineState();
    audio::GraphState graphState = audio::GraphState::Stopped;
    graph->GetState(0, &graphState);
    if (graphState == audio::GraphState::Stopped && state == kTimingOn)
        Rebuild();
    std::int64_t current = 0, stop = 0;
    if (FAILED(graph->GetPositions(&current, &stop)))
        return;
    if (current >= stop || state == kTimingOff)
        graph->Stop();
}

void DS_MP3_Constructor::Stop()
{
    if (graph)
        graph->Stop();
}

// ---- DS_Sound ---------------------------------------------------------------------

DS_Sound::DS_Sound(std::unique_ptr<DS_Sound_Ctrl> clone)
    : DS_ABObj(std::move(clone)), m_sound(static_cast<DS_Sound_Ctrl*>(OwnedDescription()))
{
    if (m_sound)
        m_sound->Start();
}

void DS_Sound::Render(DS_ABRender&) {}

void DS_Sound::SetEnabled(int value)
{
    if (!value && m_sound)
        m_sound->Stop();
    DS_ABObj::SetEnabled(value);
}

void DS_Sound::Animate(float localTime)
{
    if (IsEnabled() && m_sound)
        m_sound->Update(localTime);
}

// ---- registration -----------------------------------------------------------------

void RegisterSoundClasses()
{
    RegisterMainClass<DS_WAV_Constructor>(DS_WAV_Constructor::kClassName);
    RegisterMainClass<DS_MP3_Constructor>(DS_MP3_Constructor::kClassName);
}

namespace {

// Also at static initialisation, for every program that links the player's
// slides (InstallPlayerDocumentClasses pulls this file in) but opens
// documents without installing the player's classes, like the inspector.
const bool registeredAtStart = (RegisterSoundClasses(), true);

} // namespace
