#pragma once

// SmartPath<T>: a path whose points are of kind T (DX_SmartPnt,
// DX_CamPathPnt or DX_BSplinePnt), held through shared handles in path
// order, with an undo controller for the point list as its first observer.
// A copy shares the point objects with its source: moving a point through
// one path moves it in the other.
//
// CameraPath is the camera's flight path; SplinePath (SplinePath.h) the
// Bezier spline path.

#include "objectmodel/PathCtrlPoints.h"
#include "objectmodel/PathPoints.h"
#include "objectmodel/SafePtr.h"
#include "objectmodel/UndoVectorCtrl.h"

#include <vector>

template <class T>
class SmartPath : public KXI_PathCtrlPoints {
public:
    using PointHandle = DS_SafePtr<T>;
    using PointList = std::vector<PointHandle>;

    SmartPath();
    // Copies the curve state and the handles (not the points); the copy
    // gets its own undo controller.
    SmartPath(const SmartPath& other);
    SmartPath& operator=(const SmartPath&) = delete;
    // The undo controller leaves the observers before it is destroyed.
    ~SmartPath() override;

    int GetPointCount() const override;
    void RemovePoint(int index, MediaControl* source) override;
    T* GetPoint(int index) const override;
    T* AddPoint(const DX_SmartPnt& position, MediaControl* source) override;

    // Reads the stored point list (int32 count, then each point in T's
    // stored form) and appends it to the points quietly: nobody is told, and
    // the undo controller's snapshot follows.
    void ReadPoints(ArchiveReader ar);

    PointList points;
    UndoVectorCtrl<PointHandle, SmartPath<T>> undo;
};

extern template class SmartPath<DX_SmartPnt>;
extern template class SmartPath<DX_CamPathPnt>;
extern template class SmartPath<DX_BSplinePnt>;

class CameraPath : public SmartPath<DX_CamPathPnt> {
public:
    CameraPath() = default;
    CameraPath(const CameraPath&) = default;

    // The point the camera flies from; -1 before it starts.
    int currentIndex = -1;
};
