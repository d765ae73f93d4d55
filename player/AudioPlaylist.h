#pragma once
// The audio playlist: the slide show's audio files (DS_AudioFile, carried
// whole by the document) played one after another through one process-wide
// media graph. The player (WallpaperPlayer) keeps the position in the list
// and starts the next track when the graph reports that a track completed.
//
// Tracks are decoded straight from the bytes the document holds; nothing
// is written to disk, and no file named by the document is ever opened. A
// track whose bytes are missing or cannot be decoded, or whose stored name
// reduces to nothing usable, does not play; the player then tries the next.
//
// Graph events: the graph queues an event when a track completes; the
// mixer calls the notify callback given to InitAudioGraph once per event on
// the main thread from PollAudioEvents, and the owner then takes the event
// with GetAudioGraphEvent.
//
// Main thread only.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "objectmodel/AudioFile.h"
#include "platform/audio/FilterGraph.h"

// Graph event codes GetAudioGraphEvent answers.
inline constexpr long kAudioEventComplete = audio::kEventComplete;
inline constexpr long kAudioEventNone = -1;

// Makes the process-wide graph on the process's sound output and installs
// `notify`. Answers false when there is no sound output (the slide show then
// plays without music). Called again, it only installs the new callback.
bool InitAudioGraph(std::function<void()> notify);

// Runs on the main thread what the audio thread posted: graph notifications
// and the ends of sounds. Nothing happens while no sound has been set up.
void PollAudioEvents();

// The code of the oldest queued graph event (1 when a track completed), or
// -1 when there is none or no graph.
long GetAudioGraphEvent();

// Plays `file` in the graph from its start, in place of what played before
// (whose decoder is released). False when there is no graph or the track
// cannot be played; the graph is then stopped.
bool PlayAudioFile(const DS_AudioFile& file);

// The graph's own volume in millibels (kVolumeMin..kVolumeMax); nothing
// without a graph.
void SetAudioGraphVolume(long volume);
// Stops the graph; nothing without one.
void StopAudioGraph();

// Stops and releases the graph (at exit).
void ReleaseAudioGraph();

// The graph, or null (tests, and the player's volume).
audio::FilterGraph* AudioGraph();

// The last element of a stored path, split at either separator ('\\' or
// '/'); empty when that is empty, "." or "..", which name no file.
std::u16string GetFileNameAfterBackslash(std::u16string_view path);
