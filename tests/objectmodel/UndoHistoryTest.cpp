// The undo controller of a parameter: what reaches the sink, the history of
// at most 20 entries (newest first), and undo/redo writing values back.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "objectmodel/MediaParam.h"
#include "platform/crt/WideString.h"
#include "tests/objectmodel/UndoTestSink.h"

namespace {

// A control that edits the parameter (as an editor's widget would) and
// counts how often it hears of changes made by others.
class Editor : public MediaControl {
public:
    explicit Editor(bool suppressesUndo = false) : m_suppressesUndo(suppressesUndo) {}
    void OnParamChanged(MediaControl*) override { ++heard; }
    bool SuppressesUndo() const override { return m_suppressesUndo; }
    int heard = 0;

private:
    bool m_suppressesUndo;
};

template <class T>
std::vector<T> HistoryOf(const UndoCtrlT<T>& undo)
{
    std::vector<T> entries;
    for (std::size_t i = 0; i < undo.History().Size(); ++i)
        entries.push_back(undo.History().Entry(i));
    return entries;
}

TEST(UndoHistory, WithoutASinkOnlyTheCopyFollows)
{
    ASSERT_EQ(g_UndoSink, nullptr);
    Editor editor;
    MediaParamT<int> param(1);
    param.SetValue(2, &editor);
    EXPECT_TRUE(param.undo.History().Empty());
    EXPECT_EQ(param.undo.Current(), 2);
}

TEST(UndoHistory, OnlyChangesCausedByControlsReachTheSink)
{
    UndoTestSink sink(false);
    Editor editor, quietEditor(true);
    MediaParamT<int> param(1);

    param.SetValue(2, nullptr); // a document reader
    param.SetChangedValue(3, nullptr);
    param.QuietSet(4);
    EXPECT_TRUE(sink.reports.empty());

    param.SetValue(5, &quietEditor);
    EXPECT_TRUE(sink.reports.empty());

    param.SetValue(6, &editor);
    ASSERT_EQ(sink.reports.size(), 1u);
    EXPECT_EQ(sink.reports[0].controller, &param.undo);
    EXPECT_EQ(sink.reports[0].source, &editor);
}

TEST(UndoHistory, ReportSeesTheValueBeforeTheChange)
{
    struct PeekingSink : UndoTestSink {
        PeekingSink() : UndoTestSink(false) {}
        void ReportChange(UndoCtrl& controller, MediaControl& source) override
        {
            seen = static_cast<UndoCtrlT<int>&>(controller).Current();
            UndoTestSink::ReportChange(controller, source);
        }
        int seen = 0;
    } sink;
    Editor editor;
    MediaParamT<int> param(10);
    param.SetValue(20, &editor);
    EXPECT_EQ(sink.seen, 10);
    EXPECT_EQ(param.undo.Current(), 20);
}

TEST(UndoHistory, UndoAndRedoWalkTheHistory)
{
    UndoTestSink sink;
    Editor editor, other;
    MediaParamT<kxi_string> param(u"A");
    param.AddControl(&other);
    param.SetValue(u"B", &editor);
    param.SetValue(u"C", &editor);
    EXPECT_EQ(HistoryOf(param.undo), (std::vector<kxi_string>{u"B", u"A"}));
    EXPECT_EQ(param.undo.History().Cursor(), 0u);
    other.heard = 0;

    struct Step {
        bool undo;
        const char16_t* value;
        int othersTold;
    };
    const Step steps[] = {
        {true, u"B", 1},  {true, u"A", 2},  {true, u"A", 2}, // the third undo changes nothing
        {false, u"B", 3}, {false, u"C", 4}, {false, u"C", 4},
    };
    for (const Step& step : steps) {
        if (step.undo)
            param.undo.Undo();
        else
            param.undo.Redo();
        EXPECT_EQ(param.value, step.value);
        EXPECT_EQ(param.undo.Current(), step.value);
        EXPECT_EQ(other.heard, step.othersTold);
    }
    // Undo and redo exchanged values, so the history is whole again; and
    // their own changes were not reported.
    EXPECT_EQ(HistoryOf(param.undo), (std::vector<kxi_string>{u"B", u"A"}));
    EXPECT_EQ(sink.reports.size(), 2u);
    param.RemoveControl(&other);
}

TEST(UndoHistory, ANewChangeAfterUndoDropsWhatRedoCouldReach)
{
    UndoTestSink sink;
    Editor editor;
    MediaParamT<int> param(1);
    param.SetValue(2, &editor);
    param.SetValue(3, &editor);
    param.SetValue(4, &editor); // history 3, 2, 1
    param.undo.Undo();           // 3
    param.undo.Undo();           // 2
    param.SetValue(9, &editor);  // pushes 2 after dropping 4 and 3
    EXPECT_EQ(HistoryOf(param.undo), (std::vector<int>{2, 1}));
    param.undo.Redo();
    EXPECT_EQ(param.value, 9);
    param.undo.Undo();
    EXPECT_EQ(param.value, 2);
    param.undo.Undo();
    EXPECT_EQ(param.value, 1);
}

TEST(UndoHistory, PushAfterUndoingEverythingKeepsOnlyTheNewEntry)
{
    UndoTestSink sink;
    Editor editor;
    MediaParamT<int> param(1);
    param.SetValue(2, &editor);
    param.SetValue(3, &editor);
    param.undo.Undo();
    param.undo.Undo();
    EXPECT_EQ(param.undo.History().Cursor(), param.undo.History().Size());
    param.SetValue(7, &editor);
    EXPECT_EQ(HistoryOf(param.undo), (std::vector<int>{1}));
}

TEST(UndoHistory, KeepsAtMostTwentyEntries)
{
    UndoTestSink sink;
    Editor editor;
    MediaParamT<int> param(0);
    for (int value = 1; value <= 25; ++value)
        param.SetValue(value, &editor);
    EXPECT_EQ(param.undo.History().Size(), 20u);
    EXPECT_EQ(param.undo.History().Entry(0), 24);
    EXPECT_EQ(param.undo.History().Entry(19), 5);
    for (int i = 0; i < 30; ++i)
        param.undo.Undo();
    EXPECT_EQ(param.value, 5);
}

TEST(UndoHistory, UndoToAnEqualValueNotifiesNobody)
{
    UndoTestSink sink;
    Editor editor, other;
    MediaParamT<float> param(5.0f);
    param.AddControl(&other);
    param.SetValue(5.0f, &editor); // records 5 while the value stays 5
    other.heard = 0;
    param.undo.Undo();
    EXPECT_EQ(param.value, 5.0f);
    EXPECT_EQ(other.heard, 0);
    param.RemoveControl(&other);
}

TEST(UndoHistory, EmptyHistoryWritesBackOnlyADifferentCopy)
{
    // A direct store leaves the copy behind; undo with nothing to step over
    // writes the copy back.
    Editor other;
    MediaParamT<int> param(3);
    param.AddControl(&other);
    param.StoreValue(8);
    param.undo.Undo();
    EXPECT_EQ(param.value, 3);
    EXPECT_EQ(other.heard, 1);
    param.undo.Redo();
    EXPECT_EQ(other.heard, 1);
    param.RemoveControl(&other);
}

TEST(UndoHistory, VectorValuesMoveThroughTheHistory)
{
    UndoTestSink sink;
    Editor editor;
    MediaParamT<std::vector<std::uint32_t>> param;
    param.SetValue({1, 2, 3}, &editor);
    param.SetValue({4}, &editor);
    param.undo.Undo();
    EXPECT_EQ(param.value, (std::vector<std::uint32_t>{1, 2, 3}));
    param.undo.Undo();
    EXPECT_TRUE(param.value.empty());
    param.undo.Redo();
    param.undo.Redo();
    EXPECT_EQ(param.value, (std::vector<std::uint32_t>{4}));
}

} // namespace
