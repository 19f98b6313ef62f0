#pragma once

#include <QString>

class QObject;

enum MsgBoxKind { MsgInfo = 0, MsgWarning = 1, MsgError = 2 };
enum MsgBoxButtons { MsgAcknowledge = 1, MsgConfirmCancel = 3 };

// The module's message boxes: the panel's MsgBox, shown modally at once with the module's fixed
// arguments. The panel may close the screen while a box is open, so each helper is told which
// object asked and reports whether it still exists when the box returns; a caller that gets
// false returns at once without touching itself.

// A question with a confirm and a cancel key: true only when the operator confirmed and the
// asker still exists.
bool confirm(QObject *asker, const QString &text, MsgBoxKind kind = MsgInfo);
// A note with one key: false when the asker was destroyed while it was open.
bool showNote(QObject *asker, const QString &text, MsgBoxKind kind = MsgInfo);
inline bool showError(QObject *asker, const QString &text)
{
    return showNote(asker, text, MsgError);
}
