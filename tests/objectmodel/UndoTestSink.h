#pragma once

// An undo sink for tests: installed for its lifetime (the previous sink is
// put back afterwards), it records every report and, unless told not to,
// pushes the reporting controller's state as an editing host would.

#include <vector>

#include "objectmodel/UndoCtrl.h"

class UndoTestSink : public UndoSink {
public:
    struct Report {
        UndoCtrl* controller;
        MediaControl* source;
    };

    explicit UndoTestSink(bool pushOnReport = true) : m_pushOnReport(pushOnReport), m_previous(g_UndoSink)
    {
        g_UndoSink = this;
    }
    ~UndoTestSink() override { g_UndoSink = m_previous; }

    UndoTestSink(const UndoTestSink&) = delete;
    UndoTestSink& operator=(const UndoTestSink&) = delete;

    void ReportChange(UndoCtrl& controller, MediaControl& source) override
    {
        reports.push_back({&controller, &source});
        if (m_pushOnReport)
            controller.PushState();
    }

    std::vector<Report> reports;

private:
    bool m_pushOnReport;
    UndoSink* m_previous;
};
