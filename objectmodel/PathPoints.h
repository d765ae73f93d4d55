#pragma once

// The control points of paths. Every point is a parameter holding its
// position (canvas coordinates), so controls can watch it:
//
//   DX_SmartPnt     a plain point, with an attachment slot
//   DX_CamPathPnt   a camera point: the duration of the move to the next
//                   point (seconds, default 5) and the zoom there (percent,
//                   default 100)
//   DX_BSplinePnt   a point of a Bezier spline path with two handles, offsets
//                   from the position: outgoing (towards the next point) and
//                   incoming (towards the previous one)
//
// Points are shared between paths through DS_SafePtr handles; a new point
// made from another takes its position and shares its attachment, and gets
// the defaults of its own kind.

#include "objectmodel/Archive.h"
#include "objectmodel/MediaParam.h"
#include "objectmodel/SafePtr.h"
#include "platform/math/Vector.h"

#include <cstddef>
#include <vector>

class DX_SmartPnt;
class DX_BSplinePnt;

// Something an editor may hang on a point. Nothing in the player does; the
// slot is kept (and shared between copies) so that points keep their shape.
class DX_PointAttachment {
public:
    virtual ~DX_PointAttachment() = default;
};

// Visits a point by its kind (see DX_SmartPnt::Accept).
class DX_PointVisitor {
public:
    virtual ~DX_PointVisitor() = default;
    virtual void VisitSplinePoint(DX_BSplinePnt& point) = 0;
    virtual void VisitPoint(DX_SmartPnt& point) = 0;
};

class DX_SmartPnt : public MediaParamT<math::Vec3> {
public:
    // The stored form: x, y, z floats.
    static constexpr std::size_t kMinStoredBytes = 12;

    // Position at the origin; the owner sets it.
    DX_SmartPnt();
    explicit DX_SmartPnt(const math::Vec3& position);
    // Position copied, attachment shared.
    DX_SmartPnt(const DX_SmartPnt& other);
    // Position by a quiet set, then the other point's attachment shared.
    DX_SmartPnt& operator=(const DX_SmartPnt& other);
    ~DX_SmartPnt() override = default;

    virtual void Accept(DX_PointVisitor& visitor);

    const math::Vec3& Position() const { return value; }

    // A new point read from its stored form (position by a quiet set).
    static DS_SafePtr<DX_SmartPnt> ReadNew(ArchiveReader ar);

    DS_SafePtr<DX_PointAttachment> attachment;
};

class DX_CamPathPnt : public DX_SmartPnt {
public:
    static constexpr float kDefaultDuration = 5.0f;
    static constexpr unsigned kDefaultZoomPercent = 100;
    // version, x, y, z, duration; the zoom only from version 1 on.
    static constexpr std::size_t kMinStoredBytes = 4 + 12 + 4;

    DX_CamPathPnt();
    // Position copied and attachment shared from `from`; duration and zoom
    // take their defaults.
    explicit DX_CamPathPnt(const DX_SmartPnt& from);
    DX_CamPathPnt(const DX_CamPathPnt&) = delete;
    DX_CamPathPnt& operator=(const DX_CamPathPnt&) = delete;

    // Stored form: int32 version, x, y, z, the duration float, and from
    // version 1 on the zoom (uint32). Position by a quiet set, duration and
    // zoom stored directly.
    static DS_SafePtr<DX_CamPathPnt> ReadNew(ArchiveReader ar);

    MediaParamT<float> duration;
    MediaParamT<unsigned int> zoomPercent;
};

class DX_BSplinePnt : public DX_SmartPnt {
public:
    // version, position and the two handles.
    static constexpr std::size_t kMinStoredBytes = 4 + 9 * 4;

    DX_BSplinePnt();
    // Position copied and attachment shared from `from`; both handles zero.
    explicit DX_BSplinePnt(const DX_SmartPnt& from);
    DX_BSplinePnt(const DX_BSplinePnt&) = delete;
    DX_BSplinePnt& operator=(const DX_BSplinePnt&) = delete;

    void Accept(DX_PointVisitor& visitor) override;

    // Stored form: int32 version (not examined), x, y, z, the outgoing
    // handle's x, y, z, the incoming handle's x, y, z. Position by a quiet
    // set, handles stored directly.
    static DS_SafePtr<DX_BSplinePnt> ReadNew(ArchiveReader ar);

    MediaParamT<math::Vec3> outgoing;
    MediaParamT<math::Vec3> incoming;
};

// Reads a counted list of points (int32 count, then each point in T's
// stored form), appending a new point in a new handle per entry. The count
// is checked against the bytes that remain.
template <class T>
void ReadPointHandles(ArchiveReader ar, std::vector<DS_SafePtr<T>>& points)
{
    ReadCountedVector(ar, points, T::kMinStoredBytes, [](ArchiveReader element) { return T::ReadNew(element); });
}

// The plain points of particle paths and path generators.
void ReadPointPtrVector(ArchiveReader ar, std::vector<DS_SafePtr<DX_SmartPnt>>& points);
// Writes them in the form ReadPointPtrVector reads: int32 count, then x, y,
// z per point (an empty handle as the origin).
void WritePointVector(ArchiveWriter ar, const std::vector<DS_SafePtr<DX_SmartPnt>>& points);
// The points of spline paths.
void ReadRefCountedVector(ArchiveReader ar, std::vector<DS_SafePtr<DX_BSplinePnt>>& points);
