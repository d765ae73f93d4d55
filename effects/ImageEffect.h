#pragma once
// DS_FX_Constructor: the root of the image effects, scene objects that run
// one effect over the slide's picture. It holds what every image effect
// shares: the effect link and its effect, the effect clock (speed, phase,
// phase offset), the sampling scale, the region, the mode, the key under
// which the document keeps the effect's mask, and the grid that
// region-drawing effects draw.
//
// Runtime road: CreateRenderObject makes a DS_BrushObj (BrushObject.h)
// around a clone; the brush attaches the clone (effect fetched, mask taken
// from the document's GUID textures under the key), forwards Update (the
// clock) and Render (Apply) to it, and tells the light whether the effect
// reads the picture drawn so far (mode non-zero).
//
// Draw roads (W, H the host's picture size, a = W / H, s the scale factor):
//   road A  SetCommonParamsAndDraw: technique "Main" (mode 0) or "MainFX",
//           "Scale" = (a / s, 1 / s), "Mask", "Background" = the host's
//           target texture, then the host's whole background quad.
//   road B  SetCommonParams ("Scale" = (a / s, 1 / s, s / a, s), "Mask",
//           "Background", the technique), the class's own inputs, then
//           DrawWithTechnique: mode non-zero the background quad, mode 0
//           the grid.
// A host picture of width or height 0 sets nothing and draws nothing, and
// neither does an effect without a compiled effect (nothing loadable from
// its link): the picture drawn so far stays on screen. An effect that took
// that picture (its mode reads it) and cannot draw, for whatever it lacks,
// draws it back plain (GivePictureBack).
//
// Effect links: the link's own effect; bytes this platform cannot run give
// the class's built-in effect; an empty or missing link gives none.
//
// Stored level "DS_FX_Constructor" (written as version 4): uint32 speed,
// int32 mode, GUID (registry-form wide string), wide-string key name, key
// flag byte, effect link (path, 8-byte id); v > 1 uint32 scale; v > 2 the
// region (12 floats: x, y, z of corners 0..3) and int32 extra; v > 3 uint32
// phase offset. Then the DS_ABObj_Constructor section. Speed, mode, key,
// region and extra are stored directly; scale and phase offset through
// their setters when they differ. Sections of version 3 and below set the
// phase offset to 0.

#include <cstdint>
#include <memory>
#include <string_view>

#include "objectmodel/DocResRecord.h"
#include "objectmodel/ScaledParams.h"
#include "objectmodel/ShapeParams.h"
#include "platform/gfx/Effect.h"
#include "platform/gfx/Ref.h"
#include "platform/gfx/Texture.h"
#include "render/ABObjConstructor.h"
#include "render/FileLink.h"
#include "render/QuadBatchBuffer.h"

class DS_ABRender;

class DS_FX_Constructor : public DS_ABObj_Constructor {
public:
    static constexpr std::u16string_view kSectionName = u"DS_FX_Constructor";
    static constexpr std::int32_t kWrittenVersion = 4;
    // What the brush object answers to GetKind.
    static constexpr int kKindImageEffect = 4;
    // Side of the copy of the mask that a saved document carries.
    static constexpr std::uint32_t kSavedMaskSize = 512;
    // Scale factors of the stored values.
    static constexpr float kSamplingScaleFactor = 0.02f;
    static constexpr float kPhaseOffsetFactor = 0.06283186f; // 2 pi / 100

    DS_FX_Constructor();
    // Copies every value; the mask, the effect and the grid's buffers are
    // shared. The copy keeps the key (GUID, name, flag).
    DS_FX_Constructor(const DS_FX_Constructor& other);
    // Every value of both levels: the parameters by value with their
    // observers told (scaled copies follow), the mask, the effect and the
    // grid's buffers shared, the key copied.
    DS_FX_Constructor& operator=(const DS_FX_Constructor& other) = default;
    ~DS_FX_Constructor() override;

    // ---- DS_ABObj_Constructor
    // Phase and last time back to 0.
    void Restart() override;
    // {x0, y0, x3 - x0, y3 - y0} of region corners 0 and 3; returns false.
    bool AddBoundingRect(BoundingRectList& list) const override;
    // A DS_BrushObj around a clone.
    std::unique_ptr<KXI_RenderObj> CreateRenderObject() override;
    // Lets the mask go and draws a new key: new GUID, empty name, flag 1.
    void RenewResourceKey() override;
    // Image effects paint over the picture.
    bool IsNonBrush() const override { return false; }

    // ---- the image-effect operations
    // Fetches the effect of the link, then SetTexture(holder).
    virtual void Attach(gfx::Ref<gfx::Texture>* holder);
    // Refills the grid from the region (u = x / W, v = y / H of the current
    // document's picture); nothing without a grid or with a picture of size 0.
    virtual void RebuildQuadMesh();
    gfx::Ref<gfx::Texture>* GetTextureHolder() { return &mask; }
    // The effect clock at local time t (seconds).
    virtual void Update(float localTime);
    // Sets the inputs and draws.
    virtual void Apply(DS_ABRender& host) = 0;
    // Whether (non-zero) the effect reads the picture drawn so far: the mode.
    virtual int NeedsRenderTarget() const;
    // Keeps the holder's texture as the mask (nothing for the member itself).
    virtual void SetTexture(gfx::Ref<gfx::Texture>* holder);
    virtual std::unique_ptr<DS_FX_Constructor> Clone() const = 0;
    // The built-in effect (BuiltinEffects.h) that stands in for a link whose
    // bytes this platform cannot run; empty for none.
    virtual std::string_view BuiltinEffectName() const { return {}; }

    // Attach, then a 2 x 2 grid filled from the region (BuildRegionGrid).
    void AttachWithGrid(gfx::Ref<gfx::Texture>* holder);
    // Builds the 2 x 2 grid and fills it (RebuildQuadMesh): the grid part
    // of every attach that draws a region.
    void BuildRegionGrid();
    void SetCommonParams(DS_ABRender& host);
    void DrawWithTechnique(DS_ABRender& host);
    void SetCommonParamsAndDraw(DS_ABRender& host);
    // Draws the host's background quad with the picture drawn so far, plain
    // and opaque: what an effect that draws only its grid while its mode is
    // non-zero calls first, so the rest of the cleared target shows the
    // picture and not black.
    void RestoreComposite(DS_ABRender& host);
    // The animated factor of kind 2 (triangle), 3 (sine) or 4 (noise) at the
    // current phase plus the phase offset; 0 for other kinds.
    float Waveform(int kind) const;

    // Whether Apply has what it needs: an effect and a picture of non-zero
    // size on the host.
    bool CanApply(const DS_ABRender& host) const;
    // CanApply; when it is false, the picture drawn so far is given back
    // first (GivePictureBack). What Apply asks before it draws.
    bool ReadyToApply(DS_ABRender& host);
    // When this effect took the picture drawn so far (it has an effect and
    // its mode reads the picture), draws that picture back plain: what an
    // Apply that cannot draw does, so the slide never goes black.
    void GivePictureBack(DS_ABRender& host);
    // The sampling scale factor; a stored 0 counts as 1.
    float SamplingScale() const;
    // The technique of the mode: "MainFX" when non-zero, else "Main".
    std::string_view TechniqueName() const;
    float Phase() const { return speed.Total(); }

    // ---- stored form
    // The DS_FX_Constructor level, header included (the class name is not
    // compared), then the DS_ABObj_Constructor section.
    static void Load(ArchiveReader ar, DS_FX_Constructor& fx);
    // The level as version 4 (the mask copied into the document's GUID
    // textures and the effect link registered first), then the
    // DS_ABObj_Constructor section.
    void SaveFxLevel(ArchiveWriter ar) const;

    MediaSpeedParam speed;
    MediaParamT<std::int32_t> mode;
    DS_HLSLEffectFile effectLink;
    UINTSclaleTo<float> scale{kSamplingScaleFactor, 0.0f, 50};
    MediaQuad region;
    MediaParamTB<std::int32_t> extraInt;
    UINTSclaleTo<float> phaseOffset{kPhaseOffsetFactor, 0.0f, 0};
    GuidNameKey key;
    gfx::Ref<gfx::Texture> mask;
    gfx::Ref<gfx::Effect> effect;
    QuadBatchBuffer grid;

protected:
    // The effect link ("common_res.dll", id).
    void SetCommonResEffect(std::int32_t id);
    // Timing flags bit 0 and the category field, as several effects set.
    void MarkTimed(std::int32_t categoryValue);
    // Rescales the speed and sets its value.
    void SetSpeed(float scaleFactor, std::uint32_t value);
    // The level of the description's current timeline (0..1).
    float TimelineLevel() const;
};

// Writes a stored level's header: its class name and version.
void WriteLevelHeader(ArchiveWriter ar, std::u16string_view name, std::int32_t version);

// The whole-picture size of the host as floats; false when either is 0.
bool HostPictureSize(const DS_ABRender& host, float& width, float& height);
