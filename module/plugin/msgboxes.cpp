#include "msgboxes.h"

#include "msgbox.h"

int runMsgBox(int kind, const QString &text, int buttons)
{
    const QString unchanged = QStringLiteral("unchanged");
    MsgBox box(kind, text, buttons, true, false, 0, false, false, unchanged, unchanged, unchanged, 18);
    return box.result();
}
