#include "objectmodel/UndoCtrl.h"

UndoSink* g_UndoSink = nullptr;

void UndoCtrl::OnParamChanged(MediaControl* source)
{
    // Changes from document readers and quiet sets (null source) are never
    // history; neither are those of a control that asks to stay out of it.
    if (!source || source->SuppressesUndo() || !g_UndoSink)
        return;
    g_UndoSink->ReportChange(*this, *source);
}
