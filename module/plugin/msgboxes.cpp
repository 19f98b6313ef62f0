#include "msgboxes.h"

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

bool confirm(QObject *asker, const QString &text, MsgBoxKind kind)
{
    return run(asker, kind, text, MsgConfirmCancel) == 1;
}

bool showNote(QObject *asker, const QString &text, MsgBoxKind kind)
{
    return run(asker, kind, text, MsgAcknowledge) != -1;
}
