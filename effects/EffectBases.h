#pragma once
// The three intermediate bases of the image effects, each a stored level of
// its subclasses' records (none has a reader of its own):
//
//   DS_DirectionBased  a magnitude and a direction given as an angle in
//                      degrees: direction = (cos angle, -sin angle), turned
//                      by 360 - angle about z, so the angle turns
//                      counter-clockwise on the picture (y down).
//   DS_CentralBased    a centre in picture pixels; at attach, while the
//                      keep-id flag is 0, it moves to the picture's middle
//                      (documents' objects have the flag 1: their stored
//                      centre holds).
//   DS_LineBased       a DS_CentralBased with a line direction; at attach
//                      the lines "Ln" (along the direction) and "Lt" (along
//                      the normal) through the centre, in picture uv.
//
// Stored levels, after the class name and version 1:
//   "DS_DirectionBased"  uint32 magnitude (setter when it differs), uint32
//                        angle (stored directly);
//   "DS_CentralBased"    centre x, y, z (float32, stored directly);
//   "DS_LineBased"       uint32 line angle, centre x, y, z (stored directly;
//                        a DS_LineBased record has no DS_CentralBased level).
// Each is followed by the DS_FX_Constructor level.

#include <array>
#include <cstdint>

#include "effects/ImageEffect.h"
#include "objectmodel/CallbackControls.h"
#include "objectmodel/DirectionParams.h"
#include "platform/math/Vector.h"

class DS_DirectionBased : public DS_FX_Constructor {
public:
    static constexpr std::u16string_view kSectionName = u"DS_DirectionBased";
    static constexpr std::int32_t kWrittenVersion = 1;

    DS_DirectionBased();
    // Copies the values; the copy watches its own angle and recomputes its
    // direction.
    DS_DirectionBased(const DS_DirectionBased& other);

    // direction := (1, 0, 0, 0) turned about z by 360 - angle degrees.
    void UpdateDirection();

    static void Load(ArchiveReader ar, DS_DirectionBased& fx);
    void SaveDirectionLevel(ArchiveWriter ar) const;

    UINTSclaleTo<float> magnitude{1.0f, 0.0f, 0};
    MediaParamT<std::uint32_t> angle;
    math::Vec4 direction{1.0f, 0.0f, 0.0f, 0.0f};

private:
    CallbackControlList<DS_DirectionBased> m_callbacks{this};
};

class DS_CentralBased : public DS_FX_Constructor {
public:
    static constexpr std::u16string_view kSectionName = u"DS_CentralBased";
    static constexpr std::int32_t kWrittenVersion = 1;

    DS_CentralBased() = default;
    DS_CentralBased(const DS_CentralBased& other) = default;

    // Centres the effect while the keep-id flag is 0 (then sets it to 1),
    // then the base attach.
    void Attach(gfx::Ref<gfx::Texture>* holder) override;
    // This class's Attach, then the region's grid (BuildRegionGrid).
    void AttachWithGrid(gfx::Ref<gfx::Texture>* holder);
    // The centre over the current render context's picture size (cx / Wt,
    // cy / Ht); false, leaving `uv` as it was, while that size is 0.
    bool CentreInTextureUnits(std::array<float, 2>& uv) const;
    // "Center" := the centre in texture units (nothing while the picture
    // size is 0 or there is no effect).
    void SetCentreInput();

    static void Load(ArchiveReader ar, DS_CentralBased& fx);
    void SaveCentralLevel(ArchiveWriter ar) const;

    MediaParamT<math::Vec3> centre;
};

class DS_LineBased : public DS_CentralBased {
public:
    static constexpr std::u16string_view kSectionName = u"DS_LineBased";
    static constexpr std::int32_t kWrittenVersion = 1;

    DS_LineBased() = default;
    DS_LineBased(const DS_LineBased& other) = default;

    // DS_CentralBased's attach, then UpdateLines.
    void Attach(gfx::Ref<gfx::Texture>* holder) override;

    // "Ln" and "Lt" from the centre and the line direction over the
    // current render context's picture size; with a picture of size 0 they
    // keep their values.
    void UpdateLines();
    // The same, with "Lt" scaled by 1 / the length of Ln's (a, b).
    void UpdateLinesPerspective();
    // Road B's common inputs, then "Center", "Ln", "Lt", "t" and "n".
    void SetLineParams(DS_ABRender& host);

    static void Load(ArchiveReader ar, DS_LineBased& fx);
    void SaveLineLevel(ArchiveWriter ar) const;

    MediaDirection lineDirection;
    std::array<float, 3> ln{};
    std::array<float, 3> lt{};

private:
    // Computes the lines; false when the picture size is 0.
    bool ComputeLines(bool perspective);
};
