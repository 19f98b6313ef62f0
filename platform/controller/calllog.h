#pragma once

#include "journal.h"
#include "simcontroller_global.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <string_view>

namespace sim {

class StandInWatcher
{
public:
    virtual ~StandInWatcher() = default;
    // The module called the platform entry point of this name.
    virtual void entered(const char *name) = 0;
    // That call returned.
    virtual void left() = 0;
};

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

    // Tells the watcher of each call into the platform and of its return, nested calls once; none
    // when null. A benchmark keeps the stand-ins' share of a step apart from the module's own work.
    void watchStandIns(StandInWatcher *watcher) { m_watcher = watcher; }

private:
    friend class StandInCall;
    StandInWatcher *m_watcher = nullptr;
    int m_standInDepth = 0;
    QStringList m_entries;
    QHash<QString, qint64> m_counts;
    bool m_enabled = true;
    bool m_keepEntries = true;
};

// The stand-in's call from here to the end of the scope, told to the log's watcher.
class StandInCall
{
public:
    explicit StandInCall(const char *name) : m_log(CallLog::instance()), m_watcher(m_log.m_watcher)
    {
        if (m_watcher && m_log.m_standInDepth++ == 0)
            m_watcher->entered(name);
    }
    ~StandInCall()
    {
        if (m_watcher && --m_log.m_standInDepth == 0)
            m_watcher->left();
    }
    StandInCall(const StandInCall &) = delete;
    StandInCall &operator=(const StandInCall &) = delete;

private:
    CallLog &m_log;
    StandInWatcher *const m_watcher;
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

// Logs a call of a platform entry point, first in its body, and tells the log's watcher of the
// body; the name must be one of sim::callNames.
#define SIM_LOG_CALL(name, ...)                                                                    \
    static_assert(sim::isCallName(name), "not a platform call name: " name);                       \
    const sim::StandInCall simStandInCall(name);                                                   \
    sim::logCall(name, ##__VA_ARGS__)
