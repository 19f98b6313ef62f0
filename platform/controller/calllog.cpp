#include "calllog.h"

namespace sim {

CallLog &CallLog::instance()
{
    static CallLog log;
    return log;
}

static QString callName(const QString &entry)
{
    return entry.left(entry.indexOf(QLatin1Char('(')));
}

void CallLog::add(const QString &entry)
{
    if (m_enabled) {
        ++m_counts[callName(entry)];
        if (m_keepEntries)
            m_entries.append(entry);
    }
    // The journal hears commands; the queries the screen polls many times a second would bury them.
    if (!Journal::instance().isHeard())
        return;
    const QString name = callName(entry).section(QStringLiteral("::"), -1);
    if (!name.startsWith(QLatin1String("get")) && !name.startsWith(QLatin1String("is")))
        Journal::instance().record(QStringLiteral("call"), entry);
}

qint64 CallLog::count(const QStringList &names) const
{
    qint64 n = 0;
    for (const QString &name : names)
        n += m_counts.value(name);
    return n;
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
