#pragma once

#include <QString>

// What the scenario runner's two halves share: how a step came out, and the helpers both use.

struct StepOutcome
{
    enum State { Held, NotYet, Failed, Error } state = Held;
    QString message;
};

// Files of the process can grow to only this many bytes, as on a full disk; below 0, as before.
void limitFileSize(qint64 bytes);
