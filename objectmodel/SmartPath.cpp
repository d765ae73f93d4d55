#include "objectmodel/SmartPath.h"

template <class T>
SmartPath<T>::SmartPath() : undo(*this)
{
}

template <class T>
SmartPath<T>::SmartPath(const SmartPath& other) : KXI_PathCtrlPoints(other), points(other.points), undo(*this)
{
}

template <class T>
SmartPath<T>::~SmartPath()
{
    RemoveControl(&undo);
}

template <class T>
int SmartPath<T>::GetPointCount() const
{
    return static_cast<int>(points.size());
}

template <class T>
void SmartPath<T>::RemovePoint(int index, MediaControl* source)
{
    if (index < 0 || index >= GetPointCount())
        return;
    points.erase(points.begin() + index);
    NotifyObservers(source);
}

template <class T>
T* SmartPath<T>::GetPoint(int index) const
{
    if (index < 0 || index >= GetPointCount())
        return nullptr;
    return points[static_cast<std::size_t>(index)].get();
}

template <class T>
T* SmartPath<T>::AddPoint(const DX_SmartPnt& position, MediaControl* source)
{
    points.push_back(MakeSafePtr<T>(position));
    T* added = points.back().get();
    NotifyObservers(source);
    return added;
}

template <class T>
void SmartPath<T>::ReadPoints(ArchiveReader ar)
{
    ReadPointHandles(ar, points);
    undo.TakeSnapshot();
}

template class SmartPath<DX_SmartPnt>;
template class SmartPath<DX_CamPathPnt>;
template class SmartPath<DX_BSplinePnt>;
