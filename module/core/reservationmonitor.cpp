#include "core/reservationmonitor.h"

#include "core/domain.h"

#include <QSet>

#include <algorithm>

void ReservationMonitor::setConfig(const ZuzEraroveData &config, const QStringList &listed)
{
    m_config = config;
    m_listed = listed;
    const int rows = slotRows(config.signalMode);
    const QSet<QString> present(listed.cbegin(), listed.cend());
    m_shownNames.resize(rows);
    m_present.resize(rows);
    for (int r = 0; r < rows; ++r) {
        const QString &name = config.rplNames[r];
        m_present[r] = present.contains(name);
        if (m_present[r])
            m_shownNames[r] = ::shownName(name);
        else
            m_shownNames[r] = name.isEmpty() ? tr("Null") : tr("%1(no file)").arg(::shownName(name));
    }
    // Nothing shown yet: the next poll differs in every cell.
    m_status.fill(-1, rows);
    m_total.fill(-1, rows);
    m_queue.fill(-1, rows);
    m_sequence.fill(0, rows);
}

bool ReservationMonitor::keysEnabled(int row) const
{
    return m_present.value(row);
}

QString ReservationMonitor::statusText(int row) const
{
    if (row < 0 || row >= rows() || m_config.rplNames[row].isEmpty())
        return tr("Null");
    switch (m_status[row]) {
    case SlotUnreserved: return tr("Unreserved");
    case SlotReserved: return tr("Reserved");
    case SlotRunning: return tr("Running");
    default: return tr("Null");
    }
}

QString ReservationMonitor::sequenceText(int row) const
{
    return QString::number(m_sequence.value(row));
}

MonitorReading ReservationMonitor::read(ZuzEraroveLibApi &api) const
{
    MonitorReading reading;
    reading.running = api.getResvRunningStatus();
    const int n = rows();
    reading.status.resize(n);
    reading.total.resize(n);
    reading.queue.resize(n);
    for (int r = 0; r < n; ++r)
        reading.status[r] = api.getResvStatus(r);
    for (int r = 0; r < n; ++r)
        reading.total[r] = api.getProgramRunTotal(r);
    for (int i = 0; i < n; ++i)
        reading.queue[i] = api.getProgramQueue(i);
    return reading;
}

MonitorChanges ReservationMonitor::apply(const MonitorReading &reading)
{
    MonitorChanges changes;
    if (reading.running != m_running) {
        m_running = reading.running;
        changes.running = true;
    }
    const int n = rows();
    for (int r = 0; r < n && r < reading.status.size(); ++r) {
        if (reading.status[r] != m_status[r]) {
            m_status[r] = reading.status[r];
            changes.statusRows.append(r);
        }
    }
    for (int r = 0; r < n && r < reading.total.size(); ++r) {
        if (reading.total[r] != m_total[r]) {
            m_total[r] = reading.total[r];
            changes.totalRows.append(r);
        }
    }
    if (!std::equal(reading.queue.cbegin(), reading.queue.cend(), m_queue.cbegin(), m_queue.cend())) {
        changes.sequence = true;
        m_sequence.fill(0, n);
        for (int i = 0; i < n && i < reading.queue.size(); ++i) {
            const int slot = reading.queue[i];
            m_queue[i] = slot;
            if (slot > 0 && slot <= n)
                m_sequence[slot - 1] = i + 1;
        }
    }
    return changes;
}

QStringList ReservationMonitor::roll()
{
    QStringList texts;
    const QString null = tr("Null");
    for (int r = 0; r < rows(); ++r) {
        const QString &name = m_shownNames[r];
        int &pos = m_rollPos[r];
        if (pos > name.length())
            pos = 0;
        if (name != null && name.length() > 20) {
            texts << name.mid(pos);
            ++pos;
        } else {
            texts << name;
        }
    }
    return texts;
}

QString ReservationMonitor::startStopWarning(bool robotRunning) const
{
    if (!robotRunning)
        return QString();
    return m_running
        ? tr("The reserved program is running, are you sure to stop the program reservation?\n"
             "The running program will finish running normally.")
        : tr("A robot program is running.\nAre you sure you want to terminate the program and start "
             "the program reservation?");
}

QString ReservationMonitor::reserveRefusal() const
{
    return m_running ? QString() : tr("Please start before reserving programe.");
}

QString ReservationMonitor::cancelQuestion(int status)
{
    if (status < SlotReserved)
        return QString();
    return status == SlotReserved ? tr("Are you sure to cancel the reservation?")
                                  : tr("The program is running. Are you sure to stop and cancel the reservation?");
}

ReservationMonitor::CancelAll ReservationMonitor::cancelAllOrder(const QVector<int> &statuses)
{
    CancelAll order;
    for (int r = 0; r < statuses.size(); ++r) {
        if (statuses[r] == SlotReserved)
            order.waiting.append(r);
        else if (statuses[r] >= SlotRunning)
            order.running = r;
    }
    return order;
}

QString ReservationMonitor::protocolName(int protocol)
{
    static const char *const names[] = {"IO", "Modbus-TCP", "EtherCAT", "EtherNET/IP", "Profinet",
                                        "EtherCATMaster", "Devicenet", "MtcpMaster", "EipMaster",
                                        "ProfinetMaster", "DevicenetMaster"};
    if (protocol < 0 || protocol >= ProtocolCount)
        protocol = 0;
    return QString::fromLatin1(names[protocol]);
}
