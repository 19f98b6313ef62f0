#include "common/msgboxes.h"

#include "msgbox.h"

#include <QObject>
#include <QPointer>

namespace {

// The answer, or -1 when the asker is gone.
int run(QObject *asker, int kind, const QString &text, int buttons)
{
    const QPointer<QObject> alive(asker);
    const QString unchanged = QStringLiteral("unchanged");
    int answer;
    {
        MsgBox box(kind, text, buttons, true, false, 0, false, false, unchanged, unchanged, unchanged, 18);
        answer = box.result();
    }
    return alive ? answer : -1;
}

} // namespace

Answer confirm(QObject *asker, const QString &text, MsgBoxKind kind)
{
    const int answer = run(asker, kind, text, MsgConfirmCancel);
    return answer == -1 ? Answer::Gone : answer == 1 ? Answer::Yes : Answer::No;
}

Outcome showNote(QObject *asker, const QString &text, MsgBoxKind kind)
{
    return run(asker, kind, text, MsgAcknowledge) == -1 ? Outcome::Gone : Outcome::Done;
}

Outcome showError(QObject *asker, const QString &text)
{
    return run(asker, MsgError, text, MsgAcknowledge) == -1 ? Outcome::Gone : Outcome::Failed;
}
