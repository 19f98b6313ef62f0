#pragma once

#if defined(RUVOZUVID_MODULE_BUILD)
#error "the module sees the platform's API only, never the simulator's hooks"
#endif

#include "zuzerarovelibapi.h"

#include <QSet>

#include <optional>

namespace sim {

// The controller side of the reservation service: the configuration in force, the slots'
// statuses, the queue, the run totals and the external reservation inputs. Tests and the
// simulator panel read and set it here; the module only ever sees ZuzEraroveLibApi.
class ZUZERAROVELIB_EXPORT Reservation
{
public:
    static Reservation &instance();

    // Stopped, "Alone", protocol 0, no programs, statuses, queue, totals, flags or map; the
    // service's resvData, resvDataSaved and programMaps back to their defaults.
    void reset();

    // Configuration in force on the controller.
    bool isStarted() const { return m_started; }
    int signalMode() const { return m_config.signalMode; }
    int slotCount() const { return m_config.signalMode == 1 ? ZUZ_SLOT_COUNT : 4; }
    int protocol() const { return m_config.protocol; }
    ZuzEraroveData configInForce() const { return m_config; }
    QList<ProgramMapData> programMapInForce() const { return m_programMap; }
    // Reads the file that was sent to the controller; false leaves everything as it was.
    bool applyControllerConfig();
    bool applyControllerProgramMap();
    // The soft-PLCs' auto-start flags from the controller's softplcconfig.xml, as the service
    // sets them when it starts the soft-PLCs.
    bool applyControllerSoftPlc();

    // Queue. A slot with a program that exists is queued once, while the reservation runs.
    bool reserve(int slot);
    bool cancel(int slot);
    int status(int slot) const;
    QList<int> queue() const { return m_queue; } // 0-based slots, first to run first
    int total(int slot) const;
    int runningSlot() const { return m_runningSlot; }
    // Every run that ran to its end since the last reset.
    qint64 completedRuns() const { return m_completedRuns; }
    // The runs of one slot that ran to their end since the last reset; never cleared otherwise.
    qint64 completedRuns(int slot) const { return validSlot(slot) ? m_completedBySlot[slot] : 0; }
    void clearTotals();
    void clearUnusedTotals();
    void announceStartOrStop();
    void setSignalMode(int mode);
    void setProtocol(int protocol);

    // External reservation inputs. "Alone": input 1 to 4 reserves slot 0 to 3.
    // "Binary": the slot number 1 to 15 on the code inputs, taken when the strobe rises.
    void pulseInput(int input);
    void setBinaryCode(int code) { m_binaryCode = code; }
    int binaryCode() const { return m_binaryCode; }
    void strobe();

    // Programs the service offers; by default the ".XPL" files under the controller's "/RPL/".
    QStringList programNames() const;
    // Whether name is one of them, in constant time.
    bool hasProgram(const QString &name) const;
    void setProgramNames(const QStringList &names)
    {
        m_programNames = names;
        m_nameSet = QSet<QString>(names.cbegin(), names.cend());
    }
    void clearProgramNames()
    {
        m_programNames.reset();
        m_namesFrom = ~quint64(0);
    }

    bool autoStart(int plc) const;
    void setAutoStart(int plc, bool on);

    bool varsUsed() const { return m_varsUsed; }
    int varsProtocol() const { return m_varsProtocol; }
    void setVarsUsed(bool used, int protocol);

    // Test setters: the state becomes exactly this and the engine carries on from it.
    void setStarted(bool started);
    void setStatus(int slot, int status);
    void setQueue(const QList<int> &queued);
    void setTotal(int slot, int total);

private:
    Reservation();
    bool validSlot(int slot) const { return slot >= 0 && slot < ZUZ_SLOT_COUNT; }
    void dropSlotsBeyondMode();
    void runNext();
    // A slot's change, with the queue after it, in the journal.
    void journalSlot(int slot, const QString &state) const;
    void programEnded(bool reservationRun, bool completed);

    ZuzEraroveData m_config;
    QList<ProgramMapData> m_programMap;
    bool m_started = false;
    int m_status[ZUZ_SLOT_COUNT] = {};
    int m_total[ZUZ_SLOT_COUNT] = {};
    QList<int> m_queue;
    int m_runningSlot = -1;
    qint64 m_completedRuns = 0;
    qint64 m_completedBySlot[ZUZ_SLOT_COUNT] = {};
    int m_binaryCode = 0;
    bool m_autoStart[4] = {};
    bool m_varsUsed = false;
    int m_varsProtocol = 0;
    std::optional<QStringList> m_programNames;
    mutable QStringList m_names; // the programs of the listing numbered below
    mutable QSet<QString> m_nameSet;
    mutable quint64 m_namesFrom = ~quint64(0);
};

} // namespace sim
