#pragma once
// DS_BaseSpriteProp: the sprite properties of every description that draws
// sprites (the sprite objects, the sprite-effect controllers and the
// particle-system controllers): how many sprites, how large, how
// transparent, in which colour and blend mode, from which picture and frame
// layout, and the two clocks the sprite families animate by.
//
// Clocks (StepClocks, once per frame with the absolute time):
//   animation clock  drives frame strips; runs at animation rate x 0.02; a
//                    jump back in time counts as forward time.
//   object clock     drives the sprites' motion; restarts from a time that
//                    went back; runs at the speed factor.
// Both take at most 0.2 s per step.
//
// Stored section "DS_BaseSpriteProp" (written as version 7), read by
// version v: header, the DS_ViewObjCtrl section, sprite count; v < 3 the
// animation rate; sprite size; transparency (set and announced when it
// differs); blend mode; colour; five floats; v = 1 the legacy pictures (a
// module-blob list and one module blob), v >= 2 the sprite image and the
// second image; frame layout (uint32, float, frame count, frame rate,
// frames-in-one-image byte); v = 1 a vector of uint32 and the end; v >= 4
// image kind; v >= 5 flip-v and flip-u; v >= 6 redraw-on-frame-change;
// v >= 7 speed (percent). Values other than the transparency are stored
// directly: nobody is told.
//
// Version 1 documents kept their pictures inside the description; LoadTextures
// turns them into image links through the current resource manager.

#include <cstdint>
#include <vector>

#include "objectmodel/ResourceBlob.h"
#include "objectmodel/ScaledParams.h"
#include "objectmodel/SmartColor.h"
#include "render/FileLink.h"
#include "render/ViewObjCtrl.h"

struct SpriteParticle;

class DS_BaseSpriteProp : public DS_ViewObjCtrl {
public:
    static constexpr std::u16string_view kSectionName = u"DS_BaseSpriteProp";
    static constexpr std::int32_t kWrittenVersion = 7;
    // Image kind whose frames come from an animated picture.
    static constexpr std::int32_t kImageKindAnimated = 2;
    // The base's CountLimitReached answers true beyond this counter.
    static constexpr std::int32_t kCountLimit = 10;

    DS_BaseSpriteProp();
    DS_BaseSpriteProp(const DS_BaseSpriteProp& other);
    DS_BaseSpriteProp& operator=(const DS_BaseSpriteProp&) = delete;
    ~DS_BaseSpriteProp() override;

    // Writes the DS_BaseSpriteProp section (with the sections below it
    // inside) and registers both image links with the current resource
    // manager, which stores what they need.
    void Save(ArchiveWriter ar) const override;
    // Reads the DS_BaseSpriteProp section, header included.
    void Load(ArchiveReader ar);

    // The sprite image and the first frame's texture range.
    void GetPreviewImage(PreviewImage& out) const override;
    // A copy of the sprite image link, with its own undo history, and the
    // colour.
    void CollectFileLinks(FileLinkList& list) const override;

    // Whether a sprite family's counter has passed its limit: beyond 10 in
    // the base.
    virtual bool CountLimitReached(std::int32_t counter) const;
    // Places and moves one sprite; the sprite families do it.
    virtual void InitSprite(SpriteParticle& sprite);
    virtual void UpdateSprite(SpriteParticle& sprite);
    // The frame after `index` in a frame strip.
    virtual std::uint32_t NextFrameIndex(std::uint32_t index) const;
    // How many sprites are drawn: the sprite count in the base.
    virtual std::uint32_t ActiveSpriteCount() const;
    // `argb` with its alpha scaled by the timeline's level.
    virtual std::uint32_t ApplyTimingAlpha(std::uint32_t argb) const;
    // The current timeline's level held to 0..1 (an undefined level gives
    // 0): the factor ApplyTimingAlpha scales by.
    float TimingValue() const;

    // Advances the animation clock and the object clock to absolute time
    // `time` (seconds). Called once per frame by the sprite render objects.
    void StepClocks(float time);
    // Turns the pictures of a version 1 record into image links (needs the
    // current resource manager when there is anything to turn); the legacy
    // data is emptied. Nothing happens once the sprite image has a path.
    void LoadTextures();

    // The sprite alpha: 255 at 0 % transparency, 0 at 100 %.
    std::uint8_t Alpha() const { return transparency.Scaled(); }
    // The speed factor of the object clock (1.0 at 100 %).
    float SpeedFactor() const { return speed.Scaled(); }

    MediaParamT<std::uint32_t> spriteCount;
    // The sprite's size in picture pixels before scaling.
    MediaParamT<std::uint32_t> spriteSize;
    // Percent; its byte copy is the sprite alpha.
    UINTSclaleTo<std::uint8_t> transparency;
    // Non-zero: additive blending where the renderer honours it.
    MediaParamT<std::int32_t> blendMode;
    SmartCOLORREF colour;
    // Per-sprite brightness swings between the two brightness bounds; the
    // per-sprite scale is drawn between the two scale bounds.
    float brightnessRate = 0.0f;
    float brightnessMin = 0.0f;
    float brightnessMax = 1.0f;
    float scaleMin = 1.0f;
    float scaleMax = 1.0f;
    DS_ImageFileLink spriteImage;
    DS_ImageFileLink secondImage;
    // Frame layout. The first two values are stored and copied but read by
    // nothing here.
    std::uint32_t frameLayoutValue = 1;
    float frameLayoutFloat = 0.0f;
    std::uint32_t frameCount = 1;
    // Frames per second of the animation clock.
    float frameRate = 0.0f;
    // Set when the image holds the frames side by side.
    std::uint8_t framesInOneImage = 0;
    // 2: an animated picture (kImageKindAnimated).
    std::int32_t imageKind = 0;
    MediaParamT<std::int32_t> flipV;
    MediaParamT<std::int32_t> flipU;
    MediaParamT<std::int32_t> redrawOnFrameChange;
    // Pictures of version 1 records, until LoadTextures.
    std::vector<std::uint32_t> legacyValues;
    std::vector<ModuleResourceBlob> legacyBlobs;
    ModuleResourceBlob legacyBlob;
    // Percent; its float copy is the speed factor.
    MediaSpeedParam speed;
    // The object clock: the last step, the running total and the time of
    // the last step.
    float objectStep = 0.0f;
    float objectClock = 0.0f;
    float lastObjectTime = 0.0f;
    // Set by some sprite families when a sprite bounces, turns or is reborn.
    // Not stored.
    std::uint8_t spriteEvent = 0;
};
