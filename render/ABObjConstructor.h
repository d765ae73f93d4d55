#pragma once
// DS_ABObj_Constructor: the root of every scene-object description. A
// description is what the document stores about an object: its depth, its
// name, its timing and every editable value of the derived classes. At run
// time each description makes a render object (RenderObject.h) around a
// clone of itself.
//
// Stored section "DS_ABObj_Constructor" (written as version 4), read by
// version v:
//   name (wide string);
//   v > 2:   depth (uint32, stored directly);
//   v < 2:   no timing: the timing becomes continuous (selector 0,
//            announced);
//   v = 2,3: a legacy DS_TimeLineControl record, converted into the timing;
//   v >= 4:  the KXI_RenderObjData section (GUID and timing).
// Sections before version 4 leave the GUID zero; the render object draws
// one. A version above 4 reads as version 4.

#include <cstdint>
#include <memory>

#include "objectmodel/Archive.h"
#include "objectmodel/MediaParam.h"
#include "platform/crt/WideString.h"
#include "render/ObjectDescription.h"
#include "render/RenderObjData.h"

class KXI_RenderObj;

class DS_ABObj_Constructor : public KXI_RenderObjData {
public:
    static constexpr std::u16string_view kSectionName = u"DS_ABObj_Constructor";
    static constexpr std::int32_t kWrittenVersion = 4;
    // Depth in percent at which an object lies on the picture plane.
    static constexpr std::uint32_t kPictureDepth = 100;
    // What GetKind answers for a plain scene object.
    static constexpr int kKindSceneObject = 3;

    DS_ABObj_Constructor();
    // Copies timing (shared timelines), GUID, keep-id flag, depth, name and
    // category: a clone names the same object.
    DS_ABObj_Constructor(const DS_ABObj_Constructor& other);
    // The same values as the copy; the timing and depth tell their
    // observers. Assigning a description to itself changes nothing.
    DS_ABObj_Constructor& operator=(const DS_ABObj_Constructor& other);

    // Writes the DS_ABObj_Constructor section, which ends with the
    // KXI_RenderObjData section.
    void Save(ArchiveWriter ar) const override;
    // Reads the DS_ABObj_Constructor section, header included.
    void Load(ArchiveReader ar);

    // Mouse input over the object (window pixels). The player delivers none;
    // the base ignores it and answers 0.
    virtual int OnMouseMove(int x, int y);
    virtual int OnMouseClick(int x, int y);
    // What kind of object this is; 3 for a plain scene object.
    virtual int GetKind() const;
    // The picture that stands for the object: none in the base.
    virtual void GetPreviewImage(PreviewImage& out) const;
    // Appends the rectangles the object covers: the whole picture of the
    // thread's render context in the base. Returns false.
    virtual bool AddBoundingRect(BoundingRectList& list) const;
    // Appends the file links the object uses: none in the base.
    virtual void CollectFileLinks(FileLinkList& list) const;
    // A new render object that owns a new clone of this description. Every
    // concrete description makes its own kind. The caller owns the result.
    virtual std::unique_ptr<KXI_RenderObj> CreateRenderObject() = 0;
    // Gives the object's cached resource a new identity. Nothing in the base.
    virtual void RenewResourceKey();
    // False for objects that paint over the picture as a brush (picture
    // effects, airbrushes).
    virtual bool IsNonBrush() const;
    // A query the render object forwards; 0 in every description.
    virtual int QueryExtra() const;

    // Depth in percent: 100 lies on the picture plane; the picture scene
    // moves the object by 100 / depth - 1 of the camera offset.
    MediaParamT<std::uint32_t> depth;
    kxi_string name;
    // Set by some derived constructors; not stored and read by nothing here.
    std::int32_t category = 0;
};

// Appends the whole picture of the thread's render context (0 x 0 without
// one) and returns false: what a description covers by default, and what
// the light variants that redraw the whole picture answer too.
bool AddPictureBoundingRect(BoundingRectList& list);

// Free forms of the section reader and writer for derived classes' readers.
void ReadABObjConstructor(ArchiveReader ar, DS_ABObj_Constructor& description);
void WriteABObjConstructor(ArchiveWriter ar, const DS_ABObj_Constructor& description);
