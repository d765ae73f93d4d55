#pragma once
// Sprite-effect controllers: sprite descriptions drawn through an effect
// whose technique, textures and values the description sets every frame.
//
//   DS_FXParticleSystemCtrl  the effect link and the effect held (a
//                            gfx::Ref: one reference per holder, a copy
//                            shares it with one more).
//   DS_BaseFXCtrl            draws its sprites with a DS_FXObj and asks
//                            SetEffectParameters each frame.
//   DS_StatBaseFXCtrl        adds a centre point (placed at the middle of
//                            the picture the first time, by the keep-id
//                            flag) and a sprite width and height.
//   DS_FXObj                 their render object.
//
// The effect (FetchEffect) is the link's own; bytes this platform cannot run
// take the class's built-in effect (BuiltinEffectName); an empty or missing
// link leaves no effect, and the controller then draws nothing but keeps
// animating.
//
// Stored sections (class name, int32 version, fields, then the parent's):
//   "DS_FXParticleSystemCtrl" 1: effect link (path, 64-bit id), then the
//                                DS_BaseSpriteProp section;
//   "DS_BaseFXCtrl" 1:           nothing, then "DS_FXParticleSystemCtrl";
//   "DS_StatBaseFXCtrl" 2:       centre x, y, z (floats); from version 2 on
//                                height and width (uint32); then
//                                "DS_BaseFXCtrl".

#include <memory>
#include <string_view>

#include "particles/systems/ParticleGeomArray.h"
#include "particles/systems/ParticleSystemCtrl.h"
#include "platform/gfx/Effect.h"
#include "platform/gfx/Ref.h"
#include "render/FileLink.h"

class DS_ABRender;

class DS_FXParticleSystemCtrl : public DS_ParticleSystemCtrl {
public:
    static constexpr std::u16string_view kSectionName = u"DS_FXParticleSystemCtrl";
    static constexpr std::int32_t kWrittenVersion = 1;

    DS_FXParticleSystemCtrl() = default;
    DS_FXParticleSystemCtrl(const DS_FXParticleSystemCtrl& other) = default;

    // Holds the effect the link gives through the thread's resource manager
    // (see above); nothing changes without a manager.
    virtual void FetchEffect();

    // Registers the effect link with the current resource manager (so the
    // effect's bytes go into the document), then writes the section.
    void Save(ArchiveWriter ar) const override;
    // Reads the section, header included.
    void Load(ArchiveReader ar);

    gfx::Effect* HeldEffect() const { return effect.Get(); }

    DS_HLSLEffectFile effectLink;
    gfx::Ref<gfx::Effect> effect;

protected:
    // The built-in effect that stands in for bytes this platform cannot
    // run; none in the base.
    virtual std::string_view BuiltinEffectName() const { return {}; }
};

class DS_BaseFXCtrl : public DS_FXParticleSystemCtrl {
public:
    static constexpr std::u16string_view kSectionName = u"DS_BaseFXCtrl";
    static constexpr std::int32_t kWrittenVersion = 1;

    DS_BaseFXCtrl() = default;
    DS_BaseFXCtrl(const DS_BaseFXCtrl& other) = default;

    // Sets the held effect's technique, textures and values for this frame;
    // false skips this frame's drawing.
    virtual bool SetEffectParameters(DS_ABRender& renderer, ParticleGeomArray& array) = 0;

    // A DS_FXObj around a clone (no texture loading of its own).
    std::unique_ptr<KXI_RenderObj> CreateRenderObject() override;

    void Save(ArchiveWriter ar) const override;
    void Load(ArchiveReader ar);
};

class DS_StatBaseFXCtrl : public DS_BaseFXCtrl {
public:
    static constexpr std::u16string_view kSectionName = u"DS_StatBaseFXCtrl";
    static constexpr std::int32_t kWrittenVersion = 2;

    // The centre at the middle of the current picture.
    DS_StatBaseFXCtrl();
    DS_StatBaseFXCtrl(const DS_StatBaseFXCtrl& other) = default;

    // The effect, then, while the keep-id flag is 0, the centre moves to the
    // middle of the current picture and the flag becomes 1.
    void FetchEffect() override;

    void Save(ArchiveWriter ar) const override;
    void Load(ArchiveReader ar);

    // Pixels.
    MediaParamT<math::Vec3> centre;
    MediaParamT<std::uint32_t> height;
    MediaParamT<std::uint32_t> width;
};

class DS_FXObj : public ParticleGeomArray {
public:
    // Owns `controller`; the sprites exist and the effect is fetched when
    // the constructor returns.
    explicit DS_FXObj(std::unique_ptr<DS_BaseFXCtrl> controller);

    // Draws the quads through the held effect when the controller sets its
    // parameters; nothing without an effect.
    void Render(DS_ABRender& renderer) override;
    // The clocks, every sprite, then the quads.
    void Animate(float time) override;

    DS_BaseFXCtrl& EffectController() const { return *m_fx; }

private:
    DS_BaseFXCtrl* m_fx;
};
