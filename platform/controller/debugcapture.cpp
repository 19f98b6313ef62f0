#include "debugcapture.h"

namespace sim {

static DebugCapture *current = nullptr;

DebugCapture::DebugCapture() : m_outer(current)
{
    current = this;
    m_previous = qInstallMessageHandler(&DebugCapture::handler);
}

DebugCapture::~DebugCapture()
{
    qInstallMessageHandler(m_previous);
    current = m_outer;
}

void DebugCapture::handler(QtMsgType type, const QMessageLogContext &context, const QString &msg)
{
    if (type == QtDebugMsg && current) {
        current->m_lines.append(msg);
        return;
    }
    if (current && current->m_previous)
        current->m_previous(type, context, msg);
}

} // namespace sim
