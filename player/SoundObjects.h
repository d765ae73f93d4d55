#pragma once
// Sound objects: the second object list of a slide. Each is a description
// of the DS_Sound_Ctrl family stored in the document:
//   DS_WAV_Constructor  WAV data (found through a file link in the
//                       document's resources) played by a sound buffer;
//   DS_MP3_Constructor  MP3 data (carried whole in a blob) played by a
//                       media graph of its own, decoded from memory.
// At run time a DS_Sound render object holds a started clone of the
// description; the object's timeline decides when the sound plays:
//   WAV  loops while the continuous timeline is on; with any other timeline
//        it plays once at the start of each on-phase, unless the play before
//        has not ended yet; a looping sound stops when the timeline is off.
//   MP3  plays from its start whenever it is stopped and the timeline is
//        on, and stops at its end or when the timeline is off.
// The slide enables its sounds when it becomes current and disables them
// (stopping every one at once) when it is left.
//
// Sounds play through the process's sound device (SoundDevice.h); without
// one they stay silent. Data that cannot be played (a WAV without its
// "fmt " or "data" chunk, with a zero byte rate, truncated or too long; an
// MP3 blob without bytes or that does not decode) leaves its object silent:
// it is never an error of the document. No file named by the document is
// ever opened.
//
// Stored forms (class header = wide-string class name, int32 version):
//   "DS_WAV_Constructor", 1: the file link of the WAV data; the
//       DS_Sound_Ctrl level.
//   "DS_MP3_Constructor", 1: a blob (int32 size, bytes, wide-string name);
//       the DS_Sound_Ctrl level.
//   DS_Sound_Ctrl level, written as version 3: "DS_Sound_Ctrl", v; uint32
//       volume (0..100), uint32 pan (0 left, 50 centre, 100 right); for v < 3
//       an old timing: int32 kind, uint32 first and second value (whole
//       seconds); then the DS_ABObj_Constructor section. The old timing
//       replaces the one the section gave: the kind becomes the selector;
//       kind 0 a continuous timeline, kind 1 a random timeline whose off
//       length runs from the first to the second value, any other kind no
//       new timeline.

#include <cstdint>
#include <memory>
#include <string_view>

#include "objectmodel/MediaParam.h"
#include "objectmodel/ResourceBlob.h"
#include "platform/audio/FilterGraph.h"
#include "platform/audio/SoundBuffer.h"
#include "render/ABObjConstructor.h"
#include "render/FileLink.h"
#include "render/RenderObject.h"

class DS_Sound_Ctrl : public DS_ABObj_Constructor {
public:
    static constexpr std::u16string_view kSectionName = u"DS_Sound_Ctrl";
    static constexpr std::int32_t kWrittenVersion = 3;
    // Resource id of the picture that stands for every sound object, in the
    // shared resource module.
    static constexpr std::int32_t kPreviewImageId = 2016;
    // Timing flag bits a started WAV sets.
    static constexpr std::int32_t kWavTimingFlags = 0x2 | 0x4 | 0x8;

    DS_Sound_Ctrl();
    DS_Sound_Ctrl(const DS_Sound_Ctrl& other);

    // One shared image link to the sound picture of the resource module.
    void GetPreviewImage(PreviewImage& out) const override;
    // A new DS_Sound around a clone of this description.
    std::unique_ptr<KXI_RenderObj> CreateRenderObject() override;

    // Loads the sound and makes it ready and silent; sets the length and the
    // timing's default lengths from it.
    virtual void Start() = 0;
    virtual void Stop() = 0;
    // One frame: plays or stops as the current timeline's state says.
    virtual void Update(float time) = 0;
    virtual std::unique_ptr<DS_Sound_Ctrl> Clone() const = 0;
    // The length Start would find, in hundredths of a second, read from the
    // data without loading it for playing; 0 when it cannot be played. For
    // inspecting documents.
    virtual std::int32_t MeasureLength() const = 0;

    // The state of the current timeline (TimingState).
    int TimelineState() const;

    MediaParamT<std::uint32_t> volume;
    MediaParamT<std::uint32_t> pan;
    // Length of the loaded sound in hundredths of a second.
    std::int32_t length = 0;

protected:
    // The DS_Sound_Ctrl level, header included.
    void ReadSoundLevel(ArchiveReader ar);
    void WriteSoundLevel(ArchiveWriter ar) const;
    // Takes `hundredths` as the length; the timing's default lengths become
    // no fades around an on length of the whole sound.
    void SetLength(std::int32_t hundredths);
};

class DS_WAV_Constructor : public DS_Sound_Ctrl {
public:
    static constexpr std::u16string_view kClassName = u"DS_WAV_Constructor";
    static constexpr std::int32_t kStoredVersion = 1;

    DS_WAV_Constructor();
    // Copies the description and the link and shares the buffer.
    DS_WAV_Constructor(const DS_WAV_Constructor& other);

    void ReadBody(ArchiveReader ar, std::int32_t version);
    void Save(ArchiveWriter ar) const override;

    void Start() override;
    void Stop() override;
    void Update(float time) override;
    std::unique_ptr<DS_Sound_Ctrl> Clone() const override;
    std::int32_t MeasureLength() const override;
    // The preview picture; with `play`, the sound first plays once from its
    // start (its buffer made when needed).
    void GetPreviewImage(PreviewImage& out, bool play);
    using DS_Sound_Ctrl::GetPreviewImage;

    // Reads the WAV data of the link from the current document's resources
    // and sets the length; makes the buffer when the sound device exists.
    // False when the data cannot be played.
    bool MakeBuffer();

    DS_FileLink3 wavData;
    std::shared_ptr<audio::SoundBuffer> buffer;

private:
    // Whether the timeline was on at the last update, so that a play once
    // starts only at the beginning of an on-phase.
    bool m_wasOn = false;
};

class DS_MP3_Constructor : public DS_Sound_Ctrl {
public:
    static constexpr std::u16string_view kClassName = u"DS_MP3_Constructor";
    static constexpr std::int32_t kStoredVersion = 1;

    DS_MP3_Constructor() = default;
    // Copies the description and the blob; the clone makes its own graph
    // when it is started.
    DS_MP3_Constructor(const DS_MP3_Constructor& other);

    void ReadBody(ArchiveReader ar, std::int32_t version);
    void Save(ArchiveWriter ar) const override;

    void Start() override;
    void Stop() override;
    void Update(float time) override;
    std::unique_ptr<DS_Sound_Ctrl> Clone() const override;
    std::int32_t MeasureLength() const override;

    ResourceBlob mp3Data;
    // Null until started, and when the data cannot be played.
    std::shared_ptr<audio::FilterGraph> graph;
    std::shared_ptr<audio::SourceFilter> source;

private:
    // Plays the source from its start at the object's volume and balance.
    void Rebuild();
    // Drops the completion events the graph queued; nobody waits for them.
    void DrainEvents();
};

// The render object of a sound description: holds the started clone.
class DS_Sound : public DS_ABObj {
public:
    // Registers the object and starts the clone.
    explicit DS_Sound(std::unique_ptr<DS_Sound_Ctrl> clone);

    // Draws nothing.
    void Render(DS_ABRender& renderer) override;
    // Disabling stops the sound at once.
    void SetEnabled(int enabled) override;
    // While enabled, the clone's Update.
    void Animate(float localTime) override;

    DS_Sound_Ctrl* Sound() const { return m_sound; }

private:
    DS_Sound_Ctrl* m_sound;
};

// Levels in millibels for the stored volume and pan (0..100), kept within
// the ranges the outputs take.
// Sound buffer: (volume - 100) x 50 and (pan - 50) x 100.
LONG WavBufferVolume(std::uint32_t volume);
LONG WavBufferPan(std::uint32_t pan);
// Media graph: trunc((volume x 100 - 10000) x 0.4) and
// trunc((pan x 200 - 10000) x 0.4), computed in single precision.
LONG Mp3GraphVolume(std::uint32_t volume);
LONG Mp3GraphBalance(std::uint32_t pan);

// Enters the two sound descriptions in the main class registry
// (idempotent).
void RegisterSoundClasses();
