#pragma once

#if defined(RUVOZUVID_MODULE_BUILD)
#error "the module sees the platform's API only, never the simulator's hooks"
#endif

#include "msgbox.h"

#include <QList>

#include <functional>

namespace sim {

struct MsgBoxRecord
{
    int kind = 0;
    QString text;
    int buttons = 0;
    bool modal = false; // built with execNow true
    int answer = -1;    // -1 for a box that was not waited for
};

// Test hooks of the message box.
class GUILIB_EXPORT MsgBoxHooks
{
public:
    // A responder answers modal boxes instead of showing them; non-modal boxes are then not
    // shown either. Without one, boxes are real dialogs.
    static void setResponder(std::function<int(const MsgBoxRecord &)> responder);
    static void answerAll(int answer);
    static void clearResponder();

    // Every box made, in order, with its answer.
    static QList<MsgBoxRecord> records();
    // The modal boxes open now, the innermost last; they have no answer yet.
    static QList<MsgBoxRecord> open();
    static void clearRecords();
};

} // namespace sim
