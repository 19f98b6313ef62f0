#pragma once

#include <QString>

// The module's message boxes: the panel's MsgBox, shown modally at once with the module's fixed
// arguments. Returns the operator's answer; 1 means confirmed.
int runMsgBox(int kind, const QString &text, int buttons);

enum MsgBoxKind { MsgInfo = 0, MsgWarning = 1, MsgError = 2 };
enum MsgBoxButtons { MsgAcknowledge = 1, MsgConfirmCancel = 3 };
