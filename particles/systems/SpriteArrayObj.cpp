#include "particles/systems/SpriteArrayObj.h"

#include <algorithm>
#include <utility>

#include "render/ABRender.h"
#include "render/DocResManager.h"
#include "render/ResourceLoadingFrames.h"

namespace {

SpriteArrayDraw DescribeSpriteArrayObj(DS_SpriteArrayObj& array)
{
    return array.Describe();
}

// Also at static initialisation, for programs that draw sprite arrays
// without calling the registration function.
const bool describerInstalled = (InstallSpriteArrayObjDescriber(), true);

} // namespace

void InstallSpriteArrayObjDescriber()
{
    InstallSpriteArrayDescriber(&DescribeSpriteArrayObj);
}

SpriteFrameInfo LoadSpriteFrames(const DS_BaseSpriteProp& controller)
{
    SpriteFrameInfo frames;
    DS_DocResManager* manager = CurrentDocResManager();
    if (!manager)
        return frames;
    const DS_ImageFileLink& link = controller.spriteImage;
    switch (controller.imageKind) {
    case 1:
        frames.Init(manager->GetTextureSet(link));
        break;
    case DS_BaseSpriteProp::kImageKindAnimated:
        frames = manager->GetAnimatedTexture(link, kFrameFilterNone);
        frames.currentFrame = 0;
        frames.frameStart = 0.0f;
        break;
    default:
        // A plain picture carries no frame durations: no picture animation.
        frames.Init(manager->GetTexture(link));
        frames.frameDurations.clear();
        break;
    }
    return frames;
}

DS_SpriteArrayObj::DS_SpriteArrayObj(std::unique_ptr<DS_ParticleSystemCtrl> controller)
    : AnimatedTexture<ParticleGeomArray>(std::move(controller))
{
    const DS_ImageFileLink& second = Controller().secondImage;
    if (!second.Path().empty())
        m_overlay = FirstLinkedTexture(second);
}

DS_SpriteArrayObj::~DS_SpriteArrayObj() = default;

void DS_SpriteArrayObj::Render(DS_ABRender& renderer)
{
    renderer.DrawTexturedBatch(*this);
}

SpriteArrayDraw DS_SpriteArrayObj::Describe()
{
    gfx::Texture* frame = CurrentFrameTexture();
    if (!frame || !Quads().HasBuffers())
        return {};
    const DS_ParticleSystemCtrl& controller = Controller();
    SpriteArrayDraw draw;
    draw.quads = &Quads();
    draw.frameTexture = frame;
    draw.overlayTexture = m_overlay.Get();
    draw.blendMode = controller.blendMode.value;
    draw.quadCount = std::min(controller.ActiveSpriteCount(), ClampedSpriteCount());
    return draw;
}

void DS_SpriteArrayObj::Restart()
{
    AnimatedTexture<ParticleGeomArray>::Restart();
    for (const auto& sprite : Sprites())
        sprite->ClearTimers();
}

void DS_SpriteArrayObj::Animate(float time)
{
    DS_ParticleSystemCtrl& controller = Controller();
    controller.spriteEvent = 0;
    StepSprites(time);
    const bool frameChanged = StepPicture(controller.objectClock);
    if (controller.redrawOnFrameChange.value != 0 && !frameChanged)
        return;
    FillVertices(controller);
    if (controller.imageKind == DS_BaseSpriteProp::kImageKindAnimated)
        WriteAnimatedTexCoords();
}

void DS_SpriteArrayObj::WriteAnimatedTexCoords()
{
    const DS_ParticleSystemCtrl& controller = Controller();
    const std::uint32_t count = WritableQuadCount();
    if (count == 0)
        return;
    float u0 = 0.0f;
    float u1 = m_frames.uScale;
    float v0 = 0.0f;
    float v1 = m_frames.vScale;
    if (controller.flipV.value != 0)
        std::swap(v0, v1);
    if (controller.flipU.value != 0)
        std::swap(u0, u1);
    QuadBatchVertex* vertices = Quads().LockQuads();
    if (!vertices)
        return;
    const float u[4] = {u0, u0, u1, u1};
    const float v[4] = {v1, v0, v1, v0};
    for (std::uint32_t i = 0; i < count; ++i) {
        for (int k = 0; k < 4; ++k) {
            vertices[4 * i + k].u = u[k];
            vertices[4 * i + k].v = v[k];
        }
    }
    Quads().UnlockQuads();
}

void DS_SpriteArrayObj::OnResize()
{
    Controller().UpdatePixelParams();
}

bool DS_SpriteArrayObj::HitTest(int x, int y)
{
    return Controller().HitTest(static_cast<float>(x), static_cast<float>(y));
}

bool DS_SpriteArrayObj::AddBoundingRect(BoundingRectList& list) const
{
    AddSpriteRects(list);
    return false;
}
