#pragma once
// The two 3D object items.
//
// DS_ButterflyConstructor: flying butterflies. Item 0 is the body mesh with
// the body picture (opaque); item 1 the wing mesh with the item's image
// (transparent, so both sides show). One object is a root node carried by
// an AC_Butterfly with two wing nodes beneath it.
//
// DS_ClockConstructor: an analogue clock at a fixed place. Item 0 is the
// plate mesh with the face picture, item 1 the same mesh with the hands
// picture; both transparent. One object is the face (AC_Static) with the
// hour and minute hands (AC_ClockArrow) beneath it, squeezed from the same
// plate into bars.
//
// Stored records (main class registry), each ending with the
// DS_3D_Obj_Ctrl level:
//   "DS_ButterflyConstructor" (version 2 written): body image link, body
//     mesh link, uint32 first and second stored percent values (set and
//     announced only when they differ), for versions above 1 the float
//     wing scale (version 1 keeps 1.0).
//   "DS_ClockConstructor" (version 1 written; not compared): the clock
//     rectangle (four edges, centre x, centre y, int32 each), hands link.

#include <cstdint>
#include <list>
#include <memory>
#include <string_view>
#include <vector>

#include "objectmodel/CallbackControls.h"
#include "objectmodel/ScaledParams.h"
#include "objectmodel/ShapeParams.h"
#include "objects/MeshObjectCtrl.h"

// The ids our common_res.dll holds for the default links.
inline constexpr std::int32_t kButterflyBodyPictureId = 6;
inline constexpr std::int32_t kButterflyBodyMeshId = 68;
inline constexpr std::int32_t kButterflyWingMeshId = 69;
inline constexpr std::int32_t kClockPlateMeshId = 70;
inline constexpr std::int32_t kClockFacePictureId = 71;
inline constexpr std::int32_t kClockHandsPictureId = 72;
inline constexpr std::u16string_view kCommonResourceModule = u"common_res.dll";

class DS_ButterflyConstructor : public DS_3D_Obj_Ctrl {
public:
    static constexpr std::u16string_view kClassName = u"DS_ButterflyConstructor";
    static constexpr std::int32_t kWrittenVersion = 2;
    static constexpr std::uint32_t kDefaultSize = 100;

    DS_ButterflyConstructor();
    DS_ButterflyConstructor(const DS_ButterflyConstructor& other);
    ~DS_ButterflyConstructor() override;

    void Save(ArchiveWriter ar) const override;
    void ReadBody(ArchiveReader ar, std::int32_t version);

    void LoadMeshes(std::vector<MeshItem>& items) override;
    // Item 0 draws every root (the bodies); every root's wing nodes go to the
    // front of item 1's list as one block, in child order.
    void BindAnimations(std::list<MeshObjectTree>& trees, std::vector<MeshItem>& items) override;
    MeshObjectTree BuildAnimationTree() override;
    std::unique_ptr<DS_3D_Obj_Ctrl> Clone() const override;

    DS_ImageFileLink bodyImageLink;
    DS_MeshFile bodyMeshLink;
    // Stored with the document; playback does not use them.
    UINTSclaleTo<float> firstPercent{1.0f, 0.0f, 50};
    UINTSclaleTo<float> secondPercent{1.0f, 0.0f, 50};
    float wingScale = 1.0f;
};

class DS_ClockConstructor : public DS_3D_Obj_Ctrl {
public:
    static constexpr std::u16string_view kClassName = u"DS_ClockConstructor";
    static constexpr std::int32_t kWrittenVersion = 1;
    static constexpr std::uint32_t kDefaultSize = 400;

    // Centred on the current picture (integer halves), edges 0.
    DS_ClockConstructor();
    // Copies the object level, the rectangle, the hands link and the size;
    // the copy remembers no items and watches its own face link.
    DS_ClockConstructor(const DS_ClockConstructor& other);
    ~DS_ClockConstructor() override;

    void Save(ArchiveWriter ar) const override;
    void ReadBody(ArchiveReader ar, std::int32_t version);

    // Both items from the plate mesh; the item vector is remembered so that
    // a new face picture reloads item 0.
    void LoadMeshes(std::vector<MeshItem>& items) override;
    void BindAnimations(std::list<MeshObjectTree>& trees, std::vector<MeshItem>& items) override;
    MeshObjectTree BuildAnimationTree() override;
    std::unique_ptr<DS_3D_Obj_Ctrl> Clone() const override;
    bool HasRectangle() const override;
    // The clock rectangle, corners (left, bottom), (left, top), (right,
    // bottom), (right, top).
    void GetViewQuad(QuadVertices& out) const override;
    bool HitTest(float x, float y) override;

    // Reloads item 0 with the face picture, once items are remembered.
    void OnFaceImageChanged();

    MediaRectangle clockRectangle;
    DS_ImageFileLink handsImageLink;

private:
    void WatchFaceImage();

    std::vector<MeshItem>* m_items = nullptr;
    CallbackControlList<DS_ClockConstructor> m_callbacks{this};
};
