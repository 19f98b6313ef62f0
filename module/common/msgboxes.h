#pragma once

#include <QString>

#include <memory>

class MsgBox;
class QObject;

enum MsgBoxKind { MsgInfo = 0, MsgWarning = 1, MsgError = 2 };
enum MsgBoxButtons { MsgAcknowledge = 1, MsgConfirmCancel = 3 };

// The panel may close the screen while a box is open, deleting the page that asked. Every step
// that may show a box says so in its result, and the compiler refuses a caller that drops it
// (the module builds with unused results as errors): on Gone the caller returns at once,
// touching nothing of itself.

// How a step that may show a box ended: Done, Failed (a failure was shown), or Gone.
enum class [[nodiscard]] Outcome { Done, Failed, Gone };
// The answer to a question: Yes only when the operator confirmed and the asker still exists.
enum class [[nodiscard]] Answer { Yes, No, Gone };

// The module's message boxes: the panel's MsgBox, shown modally at once with the module's fixed
// arguments.
// A question with a confirm and a cancel key.
Answer confirm(QObject *asker, const QString &text, MsgBoxKind kind = MsgInfo);
// A note with one key: Done once acknowledged.
Outcome showNote(QObject *asker, const QString &text, MsgBoxKind kind = MsgInfo);
// A failure with one key: Failed once acknowledged.
Outcome showError(QObject *asker, const QString &text);
// A note handed to the panel without waiting: the panel shows it when it will, for as long as the
// caller keeps it.
std::unique_ptr<MsgBox> keptNote(const QString &text, MsgBoxKind kind);

// The last step of an operator's command: whatever became of the asker, nothing follows.
inline void finish(Outcome) {}
inline void finish(Answer) {}
