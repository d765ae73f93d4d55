#include "player/WallpaperPlayer.h"

#include <algorithm>

#include "objectmodel/DocumentError.h"
#include "platform/gfx/States.h"
#include "player/AudioPlaylist.h"
#include "player/SettingsVolume.h"
#include "player/SoundDevice.h"
#include "render/RenderContext.h"
#include "render/RenderTargetPair.h"
#include "render/ResourceLoading.h"

namespace player {

namespace {

constexpr std::uint32_t kOpaqueBlack = 0xFF000000u;
// Red, green and blue: alpha is never written to the back buffer.
constexpr std::uint32_t kColourWriteRgb = 7;
constexpr std::uint32_t kLargestSleepTime = 3;

QuadVertices QuadOf(float left, float top, float right, float bottom)
{
    return QuadVertices::FromRect(left, top, right - left, bottom - top);
}

} // namespace

std::uint32_t FramePeriodMs(std::uint32_t sleepTime)
{
    // 10, 30, 60 ms for the three offered settings, 100 ms for the largest
    // a stored value may ask; anything larger is taken as that.
    const std::uint32_t s = std::min(sleepTime, kLargestSleepTime);
    return 5 * s * (s + 3) + 10;
}

WallpaperPlayer::WallpaperPlayer() = default;

WallpaperPlayer::~WallpaperPlayer()
{
    StopScene();
}

void WallpaperPlayer::SetMonitors(std::vector<win::MonitorEntry> monitors)
{
    m_monitors.clear();
    win::EnumerateMonitors(monitors, m_monitors, kAllMonitors);
    std::sort(m_monitors.begin(), m_monitors.end(), [](const win::MonitorEntry& a, const win::MonitorEntry& b) {
        return a.rect.left != b.rect.left ? a.rect.left < b.rect.left : a.rect.top < b.rect.top;
    });
    m_unionRect = win::GetMonitorsUnionRect(m_monitors, kAllMonitors);
}

void WallpaperPlayer::SetDeviceWindowSize(std::int32_t width, std::int32_t height)
{
    m_deviceWindowRect = win::RECT{0, 0, width, height};
}

DS_SlideShow_Light* WallpaperPlayer::Scene() const
{
    return dynamic_cast<DS_SlideShow_Light*>(m_document.SlideShow());
}

void WallpaperPlayer::LoadSceneResource(std::uint16_t id)
{
    m_sceneResourceId = id;
    LoadScene([id] { return OpenDocumentResource(id); });
}

void WallpaperPlayer::LoadScene(DocumentSource source)
{
    m_source = std::move(source);
    // The previous document goes first, so two scenes never live at once.
    StopScene();
    auto* context = new RenderContext();
    g_RenderContextTls = context;
    SceneDocument document;
    try {
        document = m_source();
    } catch (...) {
        g_RenderContextTls = nullptr;
        delete context;
        throw;
    }
    auto* show = dynamic_cast<DS_SlideShow_Light*>(document.SlideShow());
    if (!show) {
        g_RenderContextTls = nullptr;
        delete context;
        throw DS_Error(u"Cannot open file: Wrong file format.");
    }
    m_document = std::move(document);
    show->SetRenderContext(context);
    StartScene();
}

void WallpaperPlayer::StopScene()
{
    // Deleting the scene releases its sound objects' buffers and graphs;
    // the playlist is stopped as well, so hiding the wallpaper silences it.
    StopAudioGraph();
    m_document = SceneDocument();
}

void WallpaperPlayer::StartScene()
{
    DS_SlideShow_Light* show = Scene();
    if (!show)
        return;
    for (const auto& slide : show->Slides()) {
        if (slide)
            slide->InitSlide();
    }
    // Silent before the first track runs, so that nothing is heard at the
    // graph's previous level until SetVolume applies the user's.
    SetAudioGraphVolume(kSilentVolume);
    m_playlistPosition = 0;
    PlayTrackFrom(0);
}

void WallpaperPlayer::PlayNextTrack()
{
    if (!Scene())
        return;
    PlayTrackFrom(m_playlistPosition);
}

void WallpaperPlayer::PlayTrackFrom(std::size_t first)
{
    DS_SlideShow_Light* show = Scene();
    if (!show || show->AudioFiles().empty())
        return;
    const auto& files = show->AudioFiles();
    const std::size_t count = files.size();
    for (std::size_t tried = 0; tried < count; ++tried) {
        const std::size_t index = (first + tried) % count;
        if (files[index] && PlayAudioFile(*files[index])) {
            m_playlistPosition = (index + 1) % count;
            return;
        }
    }
}

void WallpaperPlayer::SetPicturePosition(int position)
{
    m_picturePosition = position;
    DS_SlideShow_Light* show = Scene();
    if (!show)
        return;
    for (const auto& slide : show->Slides()) {
        if (slide)
            slide->SetPictureMode(position);
    }
}

void WallpaperPlayer::SetVolume(int volume, bool mute)
{
    m_volume = std::clamp(volume, 0, 100);
    m_mute = mute;
    const AudioOutputVolumes volumes = MapVolume(m_volume, m_mute);
    SetAudioGraphVolume(volumes.graph);
    if (audio::SoundBuffer* primary = PrimarySoundBuffer())
        primary->SetVolume(volumes.primaryBuffer);
}

HRESULT WallpaperPlayer::DeviceReset(gfx::Device& device)
{
    const win::RECT largest = win::GetLargestMonitorSize(m_monitors, m_monitorSelector);
    g_RenderTargetSizing = RenderTargetSizing{1, largest.Width(), largest.Height()};
    // A reset brings the device's states back to their defaults.
    device.SetRenderState(gfx::RenderState::ColorWriteEnable, kColourWriteRgb);
    if (!Scene() || !m_source)
        return S_OK;
    LoadScene(m_source);
    SetPicturePosition(m_picturePosition);
    SetVolume(m_volume, m_mute);
    return S_OK;
}

void WallpaperPlayer::DeviceLost()
{
    if (DS_SlideShow_Light* show = Scene())
        show->OnLostDevice();
}

void WallpaperPlayer::FrameMove(double time)
{
    if (DS_SlideShow_Light* show = Scene())
        show->Update(static_cast<float>(time));
}

namespace {

void ClearToBlack(gfx::Device& device)
{
    if (device.BeginScene() == gfx::kOk)
        device.Clear(0, nullptr, gfx::ClearFlags::Target, kOpaqueBlack, 1.0f, 0);
    device.EndScene();
}

} // namespace

HRESULT WallpaperPlayer::FrameRender(gfx::Device& device)
{
    m_lastPasses.clear();
    DS_SlideShow_Light* show = Scene();
    if (!show) {
        // Without a scene (after the wallpaper was hidden and shown again)
        // the frame is still cleared, so the window never shows whatever
        // the back buffer held; the caller learns that nothing was drawn.
        ClearToBlack(device);
        return E_FAIL;
    }
    ResourceDeviceScope resourceDevice(&device);
    if (device.BeginScene() == gfx::kOk) {
        device.Clear(0, nullptr, gfx::ClearFlags::Target, kOpaqueBlack, 1.0f, 0);
        if (m_monitors.size() >= 2 && m_picturePosition != PicturePosition::kStretch)
            RenderPerMonitor(device, *show);
        else
            RenderWholeWindow(device, *show);
    }
    device.EndScene();
    return S_OK;
}

void WallpaperPlayer::SetCurrentView(DS_SlideShow_Light& show, const win::RECT& rect)
{
    m_lastPasses.push_back(rect);
    if (DS_SlideContainer* slide = show.CurrentSlide())
        slide->SetViewQuad(QuadOf(float(rect.left), float(rect.top), float(rect.right), float(rect.bottom)));
}

void WallpaperPlayer::RenderWholeWindow(gfx::Device&, DS_SlideShow_Light& show)
{
    if (RenderContext* context = g_RenderContextTls) {
        context->SetPanZoom(1.0f, 0.0f, 0.0f);
        context->GetViewState().ApplyZoom(1.0f, 0.0f, 0.0f);
    }
    SetCurrentView(show, win::RECT{0, 0, m_deviceWindowRect.Width(), m_deviceWindowRect.Height()});
    show.Render(false);
}

void WallpaperPlayer::RenderPerMonitor(gfx::Device& device, DS_SlideShow_Light& show)
{
    for (const win::MonitorEntry& monitor : m_monitors) {
        const win::RECT rect{monitor.rect.left - m_unionRect.left, monitor.rect.top - m_unionRect.top,
                             monitor.rect.right - m_unionRect.left, monitor.rect.bottom - m_unionRect.top};
        SetCurrentView(show, rect);
        const float rightEdge = g_RenderContextTls ? g_RenderContextTls->viewRightEdge : 0.0f;
        const float left[4] = {1.0f, 0.0f, 0.0f, 0.0f};
        const float right[4] = {-1.0f, 0.0f, 0.0f, rightEdge};
        device.SetClipPlane(0, left);
        device.SetClipPlane(1, right);
        device.SetRenderState(gfx::RenderState::ClipPlaneEnable, 3);
        // The pass stays inside its monitor: nothing of it lands on another
        // monitor, and the full-target fade darkens each monitor once.
        device.SetScissorRect(gfx::Rect{rect.left, rect.top, rect.right, rect.bottom});
        device.SetRenderState(gfx::RenderState::ScissorTestEnable, gfx::kTrue);
        show.Render(true);
        device.SetRenderState(gfx::RenderState::ScissorTestEnable, gfx::kFalse);
        device.SetRenderState(gfx::RenderState::ClipPlaneEnable, 0);
    }
}

} // namespace player
