#include "render/ABObjConstructor.h"

#include "objectmodel/StoredParams.h"
#include "render/RenderContext.h"
#include "render/RenderObject.h"
#include "render/TimingLegacy.h"

namespace {

// Sections from this version on store the depth.
constexpr std::int32_t kFirstVersionWithDepth = 3;
// Sections of these versions store a legacy DS_TimeLineControl record.
constexpr std::int32_t kFirstVersionWithLegacyTiming = 2;
// Sections from this version on end with the KXI_RenderObjData section.
constexpr std::int32_t kFirstVersionWithObjectData = 4;

} // namespace

DS_ABObj_Constructor::DS_ABObj_Constructor() : depth(kPictureDepth) {}

DS_ABObj_Constructor::DS_ABObj_Constructor(const DS_ABObj_Constructor& other)
    : KXI_RenderObjData(other), depth(other.depth), name(other.name), category(other.category)
{
}

DS_ABObj_Constructor& DS_ABObj_Constructor::operator=(const DS_ABObj_Constructor& other)
{
    if (this == &other)
        return *this;
    KXI_RenderObjData::operator=(other);
    depth.SetValue(other.depth.value, nullptr);
    name = other.name;
    category = other.category;
    return *this;
}

void DS_ABObj_Constructor::Save(ArchiveWriter ar) const
{
    ar->WriteWideString(kxi_string(kSectionName));
    ar->WriteVersion(kWrittenVersion);
    ar->WriteWideString(name);
    WriteParamValue(ar, depth);
    KXI_RenderObjData::Save(ar);
}

void DS_ABObj_Constructor::Load(ArchiveReader ar)
{
    const std::int32_t version = ar.ReadSectionHeader().version;
    name = ar.ReadWideString();
    if (version >= kFirstVersionWithDepth)
        ReadParamValue(ar, depth);

    if (version < kFirstVersionWithLegacyTiming) {
        // No timing stored: the object is always on.
        timing.SetValue(KXI_SmartTiming::kContinuous, nullptr);
        return;
    }
    if (version < kFirstVersionWithObjectData) {
        ReadLegacyTiming(ar, timing);
        return;
    }
    KXI_RenderObjData::Load(ar);
}

int DS_ABObj_Constructor::OnMouseMove(int, int)
{
    return 0;
}

int DS_ABObj_Constructor::OnMouseClick(int, int)
{
    return 0;
}

int DS_ABObj_Constructor::GetKind() const
{
    return kKindSceneObject;
}

void DS_ABObj_Constructor::GetPreviewImage(PreviewImage& out) const
{
    out = PreviewImage{};
}

bool DS_ABObj_Constructor::AddBoundingRect(BoundingRectList& list) const
{
    return AddPictureBoundingRect(list);
}

bool AddPictureBoundingRect(BoundingRectList& list)
{
    // Without a render context the object covers no known picture.
    const RenderContext* context = g_RenderContextTls;
    const float width = context ? context->pictureWidth : 0.0f;
    const float height = context ? context->pictureHeight : 0.0f;
    list.push_back(BoundingRect{0.0f, 0.0f, width, height});
    return false;
}

void DS_ABObj_Constructor::CollectFileLinks(FileLinkList&) const {}

void DS_ABObj_Constructor::RenewResourceKey() {}

bool DS_ABObj_Constructor::IsNonBrush() const
{
    return true;
}

int DS_ABObj_Constructor::QueryExtra() const
{
    return 0;
}

void ReadABObjConstructor(ArchiveReader ar, DS_ABObj_Constructor& description)
{
    description.DS_ABObj_Constructor::Load(ar);
}

void WriteABObjConstructor(ArchiveWriter ar, const DS_ABObj_Constructor& description)
{
    description.DS_ABObj_Constructor::Save(ar);
}
