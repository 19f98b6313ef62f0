#pragma once

#include "journal.h"
#include "simcontroller_global.h"

#include <QElapsedTimer>
#include <QHash>
#include <QString>
#include <QStringList>

#include <string_view>

namespace sim {

// Every call that the module makes into the platform, in order, as "name(arg, arg)".
// Shared by all stand-ins, so one log shows the order of transfers, service calls and boxes.
// Kept while enabled; told to the journal whenever it is heard.
class SIMCONTROLLER_EXPORT CallLog
{
public:
    static CallLog &instance();

    void add(const QString &entry);
    QStringList entries() const { return m_entries; }
    // How many calls of the given names were heard since the last clear, entries kept or not.
    qint64 count(const QStringList &names) const;
    // Keep every entry (the tests read them in order), or count the calls by name only, so a long
    // run's log stays the same size (the scenario runner).
    void setKeepEntries(bool keep) { m_keepEntries = keep; }
    // The log without the calls of the given names (the monitor's poll, for example).
    QStringList entriesExcept(const QStringList &names) const;
    // Only the calls of the given names.
    QStringList entriesOf(const QStringList &names) const;
    void clear()
    {
        m_entries.clear();
        m_counts.clear();
    }
    void setEnabled(bool on) { m_enabled = on; }
    bool isEnabled() const { return m_enabled; }

    // The time spent inside platform entry points, logged or not, nested calls counted once: the
    // stand-ins' share of a step, which a benchmark tells apart from the module's own work. Kept
    // only while asked for, as reading the clock twice a call would double a poll's time.
    void timeStandIns(bool on) { m_timing = on; }
    qint64 standInNanoseconds() const { return m_standInNs; }

private:
    friend class StandInTime;
    bool m_timing = false;
    qint64 m_standInNs = 0;
    int m_standInDepth = 0;
    QElapsedTimer m_standInClock;
    QStringList m_entries;
    QHash<QString, qint64> m_counts;
    bool m_enabled = true;
    bool m_keepEntries = true;
};

// Counts the time from here to the end of the scope as the stand-ins'.
class StandInTime
{
public:
    StandInTime() : m_log(CallLog::instance()), m_timing(m_log.m_timing)
    {
        if (m_timing && m_log.m_standInDepth++ == 0)
            m_log.m_standInClock.start();
    }
    ~StandInTime()
    {
        if (m_timing && --m_log.m_standInDepth == 0)
            m_log.m_standInNs += m_log.m_standInClock.nsecsElapsed();
    }
    StandInTime(const StandInTime &) = delete;
    StandInTime &operator=(const StandInTime &) = delete;

private:
    CallLog &m_log;
    const bool m_timing;
};

inline QString logArg(const QString &s) { return s; }
inline QString logArg(const char *s) { return QString::fromUtf8(s); }
inline QString logArg(bool b) { return b ? QStringLiteral("true") : QStringLiteral("false"); }
inline QString logArg(int v) { return QString::number(v); }
inline QString logArg(unsigned v) { return QString::number(v); }
inline QString logArg(double v) { return QString::number(v); }

// The name of every platform entry point the log hears, as it names them: a scenario counts
// calls by these names, and a stand-in can log no other (SIM_LOG_CALL checks it when it builds).
inline constexpr const char *callNames[] = {
    "DataAccess::GetFileFromController2TPU",
    "DataAccess::SendFileFromTPU2Controller",
    "DataAccess::isRobotRunning",
    "DesktopApi::closeApplication",
    "MsgBox",
    "RtmGoToPage",
    "RtmRemoveFolderContent",
    "RtmSetUIStyleSheet",
    "RtmSwitchWidgetVariablesContext",
    "addResvProgram",
    "clearRunTotal",
    "clearUnusedIdTotal",
    "delResvProgram",
    "delay_MSec",
    "getAllRplName",
    "getAutoStartPLc",
    "getFileFromCtrl",
    "getProgramQueue",
    "getProgramRunTotal",
    "getProtocolType",
    "getResvRunningStatus",
    "getResvStatus",
    "isSameQstrList",
    "isSameRplResData",
    "rbxInterface",
    "rbxInterface::flashDir",
    "rbxInterface::isConnected",
    "readPrograMapFile",
    "readZuzEraroveFile",
    "sendFileToCtrl",
    "setAutoStartPLc",
    "setProtocolType",
    "setSignalMode",
    "setStartRunProgram",
    "setUpdateConfig",
    "setUpdateProgramMapConfig",
    "setUsedVar",
    "setUsedVars_zuzEraroves",
    "writePrograMapFile",
    "writeZuzEraroveFile",
};

constexpr bool isCallName(std::string_view name)
{
    for (const char *known : callNames)
        if (name == known)
            return true;
    return false;
}

template<typename... Args>
void logCall(const char *name, const Args &...args)
{
    CallLog &log = CallLog::instance();
    if (!log.isEnabled() && !Journal::instance().isHeard())
        return;
    QStringList parts{logArg(args)...};
    log.add(QString::fromUtf8(name) + QLatin1Char('(') + parts.join(QStringLiteral(", ")) + QLatin1Char(')'));
}

} // namespace sim

// Logs a call of a platform entry point, first in its body, and counts the rest of the body as
// the stand-ins' time; the name must be one of sim::callNames.
#define SIM_LOG_CALL(name, ...)                                                                    \
    static_assert(sim::isCallName(name), "not a platform call name: " name);                       \
    const sim::StandInTime simStandInTime;                                                         \
    sim::logCall(name, ##__VA_ARGS__)
