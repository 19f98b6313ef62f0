#pragma once

#include "zuzerarovelibapi.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <QVarLengthArray>
#include <QVector>

// A value per row or queue position, held in place: the host polls several times a second.
using SlotValues = QVarLengthArray<int, ZUZ_SLOT_COUNT>;

// What the service says about the slots at one poll.
struct MonitorReading
{
    bool running = false;
    SlotValues status; // per row
    SlotValues total;  // per row
    SlotValues queue;  // per queue position: the 1-based slot, 0 when empty
};

// The cells one poll changed, so the view writes nothing else.
struct MonitorChanges
{
    bool running = false;
    QVector<int> statusRows;
    QVector<int> totalRows;
    bool sequence = false; // the whole sequence column
    bool any() const { return running || sequence || !statusRows.isEmpty() || !totalRows.isEmpty(); }
};

// Start or Stop's change of the run state in the service's working record, while the record is
// saved to the controller: the record holds the state asked for from the start; commit() after a
// save that went through makes it the saved state too, and any other way out of the command (a
// failed save, a page gone under its box) puts the state the controller still has back.
class RunStateCommand
{
public:
    RunStateCommand(ZuzEraroveData &record, int wanted) : m_record(record), m_previous(record.runState)
    {
        record.runState = wanted;
    }
    RunStateCommand(const RunStateCommand &) = delete;
    RunStateCommand &operator=(const RunStateCommand &) = delete;
    ~RunStateCommand()
    {
        if (!m_committed)
            m_record.runState = m_previous;
    }
    void commit(ZuzEraroveData &saved)
    {
        saved.runState = m_record.runState;
        m_committed = true;
    }

private:
    ZuzEraroveData &m_record;
    const int m_previous;
    bool m_committed = false;
};

// The monitor's rows as the operator sees them, and the rules of its commands. It keeps what
// the last poll showed and the configuration the rows were built from; it never shows a box:
// a command answers with the question to ask or the refusal to show.
class ReservationMonitor
{
    // The texts belong to the monitor page.
    Q_DECLARE_TR_FUNCTIONS(ZuzEraroveMainPage)
public:
    // Rows for config's signal mode, names against the programs the service lists; the poll's
    // memory forgotten, so the next poll writes every cell. The run state and the scrolling
    // stay: the lamp shows the service, not the configuration.
    void setConfig(const ZuzEraroveData &config, const QStringList &listed);
    const ZuzEraroveData &config() const { return m_config; }
    const QStringList &listed() const { return m_listed; }

    int rows() const { return m_shownNames.size(); }
    // The name a row shows: the program, "Null" for none, "<name>(no file)" for an unlisted one.
    QString shownName(int row) const { return m_shownNames.value(row); }
    // The row's keys: only a listed program can be reserved or cancelled.
    bool keysEnabled(int row) const;
    QString statusText(int row) const;
    // The slot whose queue position is the row, as the sequence column shows it; "0" for none.
    QString sequenceText(int row) const;
    QString totalText(int row) const { return QString::number(m_total.value(row)); }
    bool isRunning() const { return m_running; }

    // Reads the service in the order of the poll: run state, statuses, totals, queue.
    MonitorReading read(ZuzEraroveLibApi &api) const;
    // Takes a poll's reading; answers the cells whose text changed.
    MonitorChanges apply(const MonitorReading &reading);

    // Long names scroll: each call moves every name over 20 characters one character on and
    // answers the texts of all rows.
    QStringList roll();

    // Start and Stop. The warning to confirm first while a robot program runs, or "" for none.
    QString startStopWarning(bool robotRunning) const;
    // The run state the command asks for: a started reservation stops, a stopped one starts.
    int wantedRunState() const { return m_running ? 0 : 1; }
    // A row is reserved only while the reservation runs; the refusal otherwise, or "".
    QString reserveRefusal() const;
    // The question that cancels a slot of this status, or "" when there is nothing to cancel.
    static QString cancelQuestion(int status);
    // Cancel all, from the statuses per row: the waiting slots in row order, apart in time, then
    // the running one, so the queue does not start the next while the rest are cancelled.
    struct CancelAll
    {
        QVector<int> waiting;
        int running = -1;
    };
    static CancelAll cancelAllOrder(const QVector<int> &statuses);
    // The protocol as the label names it; a value outside the list is "IO".
    static QString protocolName(int protocol);

private:
    ZuzEraroveData m_config;
    QStringList m_listed;
    QVector<QString> m_shownNames;
    QVector<bool> m_present;
    QVector<int> m_rollPos = QVector<int>(ZUZ_SLOT_COUNT);
    bool m_running = false;
    QVector<int> m_status;
    QVector<int> m_total;
    QVector<int> m_queue;
    QVector<int> m_sequence;
};
