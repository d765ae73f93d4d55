#include "objectmodel/PathPoints.h"

namespace {

math::Vec3 ReadVec3(ArchiveReader ar)
{
    math::Vec3 v;
    v.x = ar.ReadFloat();
    v.y = ar.ReadFloat();
    v.z = ar.ReadFloat();
    return v;
}

} // namespace

DX_SmartPnt::DX_SmartPnt() { attachment.NewEmptySafePtrBlock(); }

DX_SmartPnt::DX_SmartPnt(const math::Vec3& position) : MediaParamT<math::Vec3>(position)
{
    attachment.NewEmptySafePtrBlock();
}

DX_SmartPnt::DX_SmartPnt(const DX_SmartPnt& other) : MediaParamT<math::Vec3>(other), attachment(other.attachment) {}

DX_SmartPnt& DX_SmartPnt::operator=(const DX_SmartPnt& other)
{
    QuietSet(other.value);
    attachment = other.attachment;
    return *this;
}

void DX_SmartPnt::Accept(DX_PointVisitor& visitor) { visitor.VisitPoint(*this); }

DS_SafePtr<DX_SmartPnt> DX_SmartPnt::ReadNew(ArchiveReader ar)
{
    auto point = MakeSafePtr<DX_SmartPnt>();
    point->QuietSet(ReadVec3(ar));
    return point;
}

DX_CamPathPnt::DX_CamPathPnt() : duration(kDefaultDuration), zoomPercent(kDefaultZoomPercent) {}

DX_CamPathPnt::DX_CamPathPnt(const DX_SmartPnt& from)
    : DX_SmartPnt(from), duration(kDefaultDuration), zoomPercent(kDefaultZoomPercent)
{
}

DS_SafePtr<DX_CamPathPnt> DX_CamPathPnt::ReadNew(ArchiveReader ar)
{
    auto point = MakeSafePtr<DX_CamPathPnt>();
    const std::int32_t version = ar.ReadInt();
    point->QuietSet(ReadVec3(ar));
    point->duration.StoreValue(ar.ReadFloat());
    if (version >= 1)
        point->zoomPercent.StoreValue(ar.ReadDword());
    return point;
}

DX_BSplinePnt::DX_BSplinePnt() = default;

DX_BSplinePnt::DX_BSplinePnt(const DX_SmartPnt& from) : DX_SmartPnt(from) {}

void DX_BSplinePnt::Accept(DX_PointVisitor& visitor) { visitor.VisitSplinePoint(*this); }

DS_SafePtr<DX_BSplinePnt> DX_BSplinePnt::ReadNew(ArchiveReader ar)
{
    auto point = MakeSafePtr<DX_BSplinePnt>();
    ar.ReadInt(); // version: every stored version has the same fields
    point->QuietSet(ReadVec3(ar));
    point->outgoing.StoreValue(ReadVec3(ar));
    point->incoming.StoreValue(ReadVec3(ar));
    return point;
}

void ReadPointPtrVector(ArchiveReader ar, std::vector<DS_SafePtr<DX_SmartPnt>>& points)
{
    ReadPointHandles(ar, points);
}

void WritePointVector(ArchiveWriter ar, const std::vector<DS_SafePtr<DX_SmartPnt>>& points)
{
    ar->WriteVersion(static_cast<std::int32_t>(points.size()));
    for (const DS_SafePtr<DX_SmartPnt>& point : points) {
        const math::Vec3 position = point ? point->Position() : math::Vec3{};
        ar->WriteFloat(position.x);
        ar->WriteFloat(position.y);
        ar->WriteFloat(position.z);
    }
}

void ReadRefCountedVector(ArchiveReader ar, std::vector<DS_SafePtr<DX_BSplinePnt>>& points)
{
    ReadPointHandles(ar, points);
}
