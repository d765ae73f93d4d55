#pragma once

// The undo controller of a path's point list, embedded in the path and its
// first observer. It keeps a snapshot of the list of point handles as of the
// last change (the points themselves are shared, not copied) and a history of
// earlier lists. Undo and redo swap the path's list with a history entry and
// then tell every other observer of the path, whether or not the list
// changed.

#include "objectmodel/UndoCtrl.h"

#include <vector>

template <class Element, class Path>
class UndoVectorCtrl : public UndoCtrl {
public:
    using List = std::vector<Element>;

    // Binding: watches `path` (appended to its observers) and takes the
    // snapshot of its points.
    explicit UndoVectorCtrl(Path& path) : m_path(&path), m_snapshot(path.points) { path.AddControl(this); }

    UndoVectorCtrl(const UndoVectorCtrl&) = delete;
    UndoVectorCtrl& operator=(const UndoVectorCtrl&) = delete;

    void Detach() override { m_path = nullptr; }

    // Reports to the sink while the snapshot still holds the list before the
    // change, then follows the path.
    void OnParamChanged(MediaControl* source) override
    {
        UndoCtrl::OnParamChanged(source);
        TakeSnapshot();
    }

    void PushState() override { m_history.Push(m_snapshot); }

    void Undo() override
    {
        if (!m_path)
            return;
        m_history.StepBack(m_path->points);
        Publish();
    }

    void Redo() override
    {
        if (!m_path)
            return;
        m_history.StepForward(m_path->points);
        Publish();
    }

    // Takes the path's current list as the snapshot without reporting: the
    // path calls it after filling its list quietly (a document read).
    void TakeSnapshot()
    {
        if (m_path)
            m_snapshot = m_path->points;
    }

    const List& Snapshot() const { return m_snapshot; }
    const UndoHistory<List>& History() const { return m_history; }

private:
    void Publish()
    {
        TakeSnapshot();
        m_path->NotifyObservers(this);
    }

    Path* m_path;
    List m_snapshot;
    UndoHistory<List> m_history;
};
