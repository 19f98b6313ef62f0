#pragma once

#include <QString>

class QWidget;

// What the scenario runner's two halves share: how a step came out, and the helpers both use.

struct StepOutcome
{
    enum State { Held, NotYet, Failed, Error } state = Held;
    QString message;
};

// The text of an open message box, or the dialog's object name.
QString boxText(const QWidget *box);

// Files of the process can grow to only this many bytes, as on a full disk; below 0, as before.
void limitFileSize(qint64 bytes);
