// The undo controller of a path's point list: snapshots, what reaches the
// sink, and undo/redo swapping the list of point handles.

#include <gtest/gtest.h>

#include <vector>

#include "objectmodel/SmartPath.h"
#include "tests/objectmodel/UndoTestSink.h"

namespace {

class Editor : public MediaControl {
public:
    void OnParamChanged(MediaControl* source) override { sources.push_back(source); }
    std::vector<MediaControl*> sources;
};

std::vector<float> Xs(const SmartPath<DX_SmartPnt>& path)
{
    std::vector<float> xs;
    for (const auto& point : path.points)
        xs.push_back(point->Position().x);
    return xs;
}

void Add(SmartPath<DX_SmartPnt>& path, float x, MediaControl* source)
{
    path.AddPoint(DX_SmartPnt({x, 0, 0}), source);
}

TEST(PathUndo, WithoutASinkTheSnapshotFollowsThePath)
{
    ASSERT_EQ(g_UndoSink, nullptr);
    Editor editor;
    SmartPath<DX_SmartPnt> path;
    Add(path, 1, &editor);
    Add(path, 2, nullptr);
    EXPECT_TRUE(path.undo.History().Empty());
    ASSERT_EQ(path.undo.Snapshot().size(), 2u);
    EXPECT_TRUE(path.undo.Snapshot()[1].SharesBlockWith(path.points[1]));
}

TEST(PathUndo, UndoAndRedoSwapThePointLists)
{
    UndoTestSink sink;
    Editor editor, watcher;
    SmartPath<DX_SmartPnt> path;
    path.AddControl(&watcher);

    Add(path, 1, nullptr); // a document reader's change is never history
    EXPECT_TRUE(sink.reports.empty());
    Add(path, 2, &editor); // history: [1]
    Add(path, 3, &editor); // history: [1 2], [1]
    ASSERT_EQ(sink.reports.size(), 2u);
    EXPECT_EQ(sink.reports[0].controller, &path.undo);
    EXPECT_EQ(sink.reports[0].source, &editor);
    EXPECT_EQ(path.undo.History().Size(), 2u);
    DX_SmartPnt* third = path.GetPoint(2);

    watcher.sources.clear();
    path.undo.Undo();
    EXPECT_EQ(Xs(path), (std::vector<float>{1, 2}));
    EXPECT_EQ(path.undo.Snapshot().size(), 2u);
    EXPECT_EQ(watcher.sources, std::vector<MediaControl*>{&path.undo});
    path.undo.Undo();
    EXPECT_EQ(Xs(path), (std::vector<float>{1}));
    // At the end of the history nothing moves, but the observers hear again.
    path.undo.Undo();
    EXPECT_EQ(Xs(path), (std::vector<float>{1}));
    EXPECT_EQ(watcher.sources.size(), 3u);

    path.undo.Redo();
    EXPECT_EQ(Xs(path), (std::vector<float>{1, 2}));
    path.undo.Redo();
    EXPECT_EQ(Xs(path), (std::vector<float>{1, 2, 3}));
    // The same point object came back: lists of handles were swapped.
    EXPECT_EQ(path.GetPoint(2), third);
    path.undo.Redo();
    EXPECT_EQ(Xs(path), (std::vector<float>{1, 2, 3}));
    EXPECT_TRUE(sink.reports.size() == 2u); // undo steps are not reported
    path.RemoveControl(&watcher);
}

TEST(PathUndo, NewChangeAfterUndoDropsTheRedoEntries)
{
    UndoTestSink sink;
    Editor editor;
    SmartPath<DX_SmartPnt> path;
    Add(path, 1, &editor);
    Add(path, 2, &editor);
    Add(path, 3, &editor);
    path.undo.Undo(); // [1 2]
    path.RemovePoint(0, &editor);
    EXPECT_EQ(Xs(path), (std::vector<float>{2}));
    // Newest first: the list before the removal, then the older ones.
    ASSERT_EQ(path.undo.History().Size(), 3u);
    EXPECT_EQ(path.undo.History().Entry(0).size(), 2u);
    EXPECT_EQ(path.undo.History().Entry(1).size(), 1u);
    EXPECT_EQ(path.undo.History().Entry(2).size(), 0u);
    path.undo.Redo();
    EXPECT_EQ(Xs(path), (std::vector<float>{2}));
}

TEST(PathUndo, HistoryKeepsTwentyEntries)
{
    UndoTestSink sink;
    Editor editor;
    SmartPath<DX_SmartPnt> path;
    for (int i = 0; i < 25; ++i)
        Add(path, float(i), &editor);
    ASSERT_EQ(path.undo.History().Size(), 20u);
    EXPECT_EQ(path.undo.History().Entry(0).size(), 24u);
    EXPECT_EQ(path.undo.History().Entry(19).size(), 5u);
}

TEST(PathUndo, HistoryKeepsRemovedPointsAlive)
{
    UndoTestSink sink;
    Editor editor;
    SmartPath<DX_SmartPnt> path;
    Add(path, 1, &editor);
    Add(path, 2, &editor);
    DX_SmartPnt* second = path.GetPoint(1);
    path.RemovePoint(1, &editor);
    path.undo.Undo();
    ASSERT_EQ(path.GetPointCount(), 2);
    EXPECT_EQ(path.GetPoint(1), second);
    EXPECT_EQ(second->Position().x, 2.0f);
}

} // namespace
