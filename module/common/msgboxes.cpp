#include "common/msgboxes.h"

#include "msgbox.h"

#include <QObject>
#include <QPointer>

namespace {

// The panel's box with the module's fixed arguments; one shown at once waits for its answer in
// its constructor.
std::unique_ptr<MsgBox> makeBox(int kind, const QString &text, int buttons, bool showNow)
{
    const QString unchanged = QStringLiteral("unchanged");
    return std::make_unique<MsgBox>(kind, text, buttons, showNow, false, 0, false, false, unchanged, unchanged, unchanged, 18);
}

// The answer, or -1 when the asker is gone.
int run(QObject *asker, int kind, const QString &text, int buttons)
{
    const QPointer<QObject> alive(asker);
    const int answer = makeBox(kind, text, buttons, true)->result();
    return alive ? answer : -1;
}

} // namespace

std::unique_ptr<MsgBox> keptNote(const QString &text, MsgBoxKind kind)
{
    return makeBox(kind, text, MsgAcknowledge, false);
}

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
