#include "calllog.h"

namespace sim {

CallLog &CallLog::instance()
{
    static CallLog log;
    return log;
}

void CallLog::add(const QString &entry)
{
    if (m_enabled)
        m_entries.append(entry);
}

static QString callName(const QString &entry)
{
    return entry.left(entry.indexOf(QLatin1Char('(')));
}

QStringList CallLog::entriesExcept(const QStringList &names) const
{
    QStringList out;
    for (const QString &e : m_entries)
        if (!names.contains(callName(e)))
            out.append(e);
    return out;
}

QStringList CallLog::entriesOf(const QStringList &names) const
{
    QStringList out;
    for (const QString &e : m_entries)
        if (names.contains(callName(e)))
            out.append(e);
    return out;
}

} // namespace sim
