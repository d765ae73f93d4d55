#pragma once
// KXI_RenderObjData: the stored data part of every scene object, the first
// of the four levels every description shares (RenderObjData,
// ABObjConstructor, ViewObjCtrl, BaseSpriteProp). It holds the object's
// timing and the GUID that names the object: timelines of other objects
// follow it by that GUID once its render object exists
// (RenderObjectRegistry.h).
//
// Stored section (inside the DS_ABObj_Constructor section of version 4 and
// later): "KXI_RenderObjData", int32 version (written 1, not used), the GUID
// as a registry-form string, then the KXI_SmartTiming record.

#include <memory>

#include "objectmodel/Archive.h"
#include "objectmodel/IOFItem.h"
#include "platform/crt/Guid.h"
#include "render/TimingSmart.h"

class KXI_RenderObj;

class KXI_RenderObjData : public DS_IOF_Item {
public:
    static constexpr std::u16string_view kSectionName = u"KXI_RenderObjData";
    static constexpr std::int32_t kWrittenVersion = 1;

    KXI_RenderObjData() = default;
    // Copies the timing (its timelines are shared, not duplicated), the GUID
    // and the keep-id flag: a clone names the same object.
    KXI_RenderObjData(const KXI_RenderObjData& other) = default;
    // The same values as the copy, the timing's observers told.
    KXI_RenderObjData& operator=(const KXI_RenderObjData& other) = default;

    // Writes the KXI_RenderObjData section.
    void Save(ArchiveWriter ar) const override;
    // Reads the KXI_RenderObjData section, header included.
    void Load(ArchiveReader ar);

    // Hands stored values of this description over to `object`. Nothing to
    // hand over in the base.
    virtual bool ApplyToObject(KXI_RenderObjData& object);
    // Clears the object's own running state when its render object restarts.
    virtual void Restart();
    // A second render object some descriptions make besides their main one;
    // none in the base. The caller owns it.
    virtual std::unique_ptr<KXI_RenderObj> CreateExtraRenderObject();

    KXI_SmartTiming timing;
    // All zero until read or until the render object draws one.
    crt::Guid guid;
    // Whether a render object keeps the GUID it finds (1) or always draws a
    // new one (0). Not stored.
    std::uint8_t keepId = 1;
};
