#pragma once

#include "calllog.h"

#include <QStringList>
#include <QtGlobal>

namespace sim {

// Collects the toolkit's debug lines (qDebug) while it lives, instead of printing them.
// Warnings and worse still go to the previous handler. Captures nest; the innermost collects.
class SIMCONTROLLER_EXPORT DebugCapture
{
public:
    DebugCapture();
    ~DebugCapture();

    QStringList lines() const { return m_lines; }
    void clear() { m_lines.clear(); }

    DebugCapture(const DebugCapture &) = delete;
    DebugCapture &operator=(const DebugCapture &) = delete;

private:
    static void handler(QtMsgType type, const QMessageLogContext &context, const QString &msg);

    QStringList m_lines;
    QtMessageHandler m_previous = nullptr;
    DebugCapture *m_outer = nullptr;
};

} // namespace sim
