#pragma once
// WallpaperPlayer: turns the scene document into frames. It owns the
// running document (slide show and its resource manager), keeps the monitor
// layout and the picture position, drives the show with the device host's
// absolute clock, and renders each frame once over the whole window or once
// per monitor. After a device reset it reads the document again.
//
// The same object serves the desktop program and the headless renderer of
// the scene tool, so both show the same frames.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "objectmodel/SceneDocument.h"
#include "platform/crt/WinTypes.h"
#include "platform/gfx/Device.h"
#include "platform/win/Monitor.h"
#include "player/SlideShow.h"

namespace player {

// Where a document comes from, so that a reset can read it again.
using DocumentSource = std::function<SceneDocument()>;

class WallpaperPlayer {
public:
    static constexpr int kAllMonitors = -1;

    WallpaperPlayer();
    ~WallpaperPlayer();
    WallpaperPlayer(const WallpaperPlayer&) = delete;
    WallpaperPlayer& operator=(const WallpaperPlayer&) = delete;

    // The monitors (virtual-screen pixels, any order): kept sorted by left
    // then top, with their union rectangle. The device window spans the union.
    void SetMonitors(std::vector<win::MonitorEntry> monitors);
    const std::vector<win::MonitorEntry>& Monitors() const { return m_monitors; }
    win::RECT UnionRect() const { return m_unionRect; }
    // The device window's size (the window rectangle taken at start-up).
    void SetDeviceWindowSize(std::int32_t width, std::int32_t height);

    // Reads the document embedded as "DDS" resource `id` and starts it.
    // DS_Error / DocumentOpenFailure propagate.
    void LoadSceneResource(std::uint16_t id);
    // Reads a document from `source` (kept for reloads) and starts it.
    void LoadScene(DocumentSource source);
    // Deletes the running scene and stops the playlist: every sound of the
    // wallpaper falls silent. Frames then draw nothing and fail.
    void StopScene();
    // Prepares every slide; the audio playlist starts from its first track,
    // silent until SetVolume applies the user's volume.
    void StartScene();
    // Plays the playlist's next track (after the graph reported that a track
    // completed), wrapping to the first. A track that cannot be played is
    // skipped; at most one round of the list is tried. Nothing without a
    // scene or without audio files.
    void PlayNextTrack();
    // Index in the scene's audio-file list of the track that plays next.
    std::size_t PlaylistPosition() const { return m_playlistPosition; }

    void SetPicturePosition(int position);
    int PicturePosition() const { return m_picturePosition; }
    // Stores the volume (0..100) and mute state and applies them to the
    // playlist's graph and the primary sound buffer (MapVolume); the primary
    // buffer is the master level of the sound objects, never of the playlist.
    void SetVolume(int volume, bool mute);
    int Volume() const { return m_volume; }
    bool Mute() const { return m_mute; }

    // ---- the device host's callbacks
    // Render-target sizing from the largest monitor; the write mask; a
    // scene that existed is read again and started with the stored
    // picture position and volume.
    HRESULT DeviceReset(gfx::Device& device);
    void DeviceLost();
    void FrameMove(double time);
    // E_FAIL without a scene; otherwise clears to opaque black and draws the
    // show in one pass or one pass per monitor.
    HRESULT FrameRender(gfx::Device& device);

    DS_SlideShow_Light* Scene() const;
    std::uint16_t SceneResourceId() const { return m_sceneResourceId; }
    // Passes the last FrameRender drew (for tests): one entry per pass, the
    // view rectangle in window pixels.
    const std::vector<win::RECT>& LastPasses() const { return m_lastPasses; }

private:
    void RenderWholeWindow(gfx::Device& device, DS_SlideShow_Light& show);
    void RenderPerMonitor(gfx::Device& device, DS_SlideShow_Light& show);
    void SetCurrentView(DS_SlideShow_Light& show, const win::RECT& rect);
    // Plays the first playable track from `first` on (one round at most)
    // and moves the position past it.
    void PlayTrackFrom(std::size_t first);

    SceneDocument m_document;
    DocumentSource m_source;
    int m_picturePosition = 1;
    std::uint16_t m_sceneResourceId = 0;
    bool m_mute = true;
    int m_volume = 0;
    std::size_t m_playlistPosition = 0;
    int m_monitorSelector = kAllMonitors;
    std::vector<win::MonitorEntry> m_monitors;
    win::RECT m_unionRect;
    win::RECT m_deviceWindowRect;
    std::vector<win::RECT> m_lastPasses;
};

// The frame timer's period for the "SleepTime" setting (0, 1, 2: 10, 30 and
// 60 ms); other values take 30 ms.
std::uint32_t FramePeriodMs(std::uint32_t sleepTime);

} // namespace player
