#include "zuzerarovefiles.h"
#include "zuzerarovesim.h"

#include "simcontroller.h"
#include "treefiles/listingentry.h"

#include <QDir>

namespace sim {

Reservation &Reservation::instance()
{
    static Reservation engine;
    return engine;
}

Reservation::Reservation()
{
    Controller::instance().setProgramEndHandler(
        [this](const QString &, Origin origin, bool completed) {
            programEnded(origin == Origin::Reservation, completed);
        });
    // The controller starts with the configuration and map it holds.
    applyControllerConfig();
    applyControllerProgramMap();
    applyControllerSoftPlc();
}

void Reservation::reset()
{
    m_started = false;
    m_queue.clear();
    if (m_runningSlot >= 0) {
        m_runningSlot = -1;
        Controller::instance().stopProgram();
    }
    m_config = ZuzEraroveData();
    m_programMap.clear();
    m_started = false;
    for (int i = 0; i < ZUZ_SLOT_COUNT; ++i)
        m_status[i] = m_total[i] = 0;
    m_queue.clear();
    m_completedRuns = 0;
    for (qint64 &runs : m_completedBySlot)
        runs = 0;
    m_binaryCode = 0;
    for (bool &a : m_autoStart)
        a = false;
    m_varsUsed = false;
    m_varsProtocol = 0;
    m_programNames.reset();
    ZuzEraroveLibApi *api = ZuzEraroveLibApi::getInstance();
    api->resvData = ZuzEraroveData();
    api->resvDataSaved = ZuzEraroveData();
    api->programMaps.clear();
}

bool Reservation::applyControllerConfig()
{
    QString local;
    ZuzEraroveData config;
    if (!Controller::instance().resolve(QString::fromLatin1(zuzfiles::ctrlConfigPath), &local)
        || !zuzfiles::readConfig(Controller::instance().root(), local, &config))
        return false;
    m_config = config;
    dropSlotsBeyondMode();
    m_started = config.runState == 1;
    runNext();
    return true;
}

bool Reservation::applyControllerProgramMap()
{
    QString local;
    QList<ProgramMapData> map;
    if (!Controller::instance().resolve(QString::fromLatin1(zuzfiles::ctrlProgramMapPath), &local)
        || !zuzfiles::readProgramMap(Controller::instance().root(), local, &map))
        return false;
    m_programMap = map;
    return true;
}

bool Reservation::applyControllerSoftPlc()
{
    QString local;
    bool autoStart[4];
    if (!Controller::instance().resolve(QString::fromLatin1(zuzfiles::ctrlSoftPlcPath), &local)
        || !zuzfiles::readSoftPlcAutoStart(Controller::instance().root(), local, autoStart))
        return false;
    for (int i = 0; i < 4; ++i)
        m_autoStart[i] = autoStart[i];
    return true;
}

bool Reservation::reserve(int slot)
{
    if (!m_started || slot < 0 || slot >= slotCount() || m_status[slot] != 0)
        return false;
    const QString name = m_config.rplNames[slot];
    if (name.isEmpty() || !hasProgram(name))
        return false;
    m_status[slot] = 1;
    m_queue.append(slot);
    journalSlot(slot, QStringLiteral("reserved"));
    runNext();
    return true;
}

bool Reservation::cancel(int slot)
{
    if (!validSlot(slot))
        return false;
    if (m_status[slot] == 1) {
        m_queue.removeAll(slot);
        m_status[slot] = 0;
        journalSlot(slot, QStringLiteral("cancelled"));
        return true;
    }
    if (m_status[slot] >= 2) {
        if (slot == m_runningSlot) {
            Controller::instance().stopProgram(); // programEnded() frees the slot
        } else {
            m_status[slot] = 0;
            journalSlot(slot, QStringLiteral("cancelled"));
        }
        return true;
    }
    return false;
}

int Reservation::status(int slot) const
{
    return validSlot(slot) ? m_status[slot] : 0;
}

int Reservation::total(int slot) const
{
    return validSlot(slot) ? m_total[slot] : 0;
}

void Reservation::clearTotals()
{
    for (int &t : m_total)
        t = 0;
}

void Reservation::clearUnusedTotals()
{
    for (int i = 0; i < ZUZ_SLOT_COUNT; ++i)
        if (i >= slotCount() || m_config.rplNames[i].isEmpty())
            m_total[i] = 0;
}

void Reservation::announceStartOrStop()
{
    Controller &ctrl = Controller::instance();
    // A start takes the robot over from a program that runs outside the reservation; a stop
    // lets the reservation's own program finish.
    if (!m_started && ctrl.isRobotRunning() && ctrl.runningOrigin() == Origin::Outside)
        ctrl.stopProgram();
}

void Reservation::setSignalMode(int mode)
{
    m_config.signalMode = mode;
    dropSlotsBeyondMode();
}

void Reservation::setProtocol(int protocol)
{
    m_config.protocol = protocol;
}

void Reservation::dropSlotsBeyondMode()
{
    for (int i = slotCount(); i < ZUZ_SLOT_COUNT; ++i)
        if (m_status[i] == 1) {
            m_queue.removeAll(i);
            m_status[i] = 0;
            journalSlot(i, QStringLiteral("dropped: beyond the signal mode's slots"));
        }
}

void Reservation::pulseInput(int input)
{
    Journal::instance().record(QStringLiteral("input"), QStringLiteral("IN%1").arg(input), {{QStringLiteral("input"), input}});
    if (m_config.signalMode != 1)
        reserve(input - 1);
}

void Reservation::strobe()
{
    Journal::instance().record(QStringLiteral("input"), QStringLiteral("strobe with code %1").arg(m_binaryCode),
                               {{QStringLiteral("code"), m_binaryCode}});
    if (m_config.signalMode == 1 && m_binaryCode >= 1 && m_binaryCode <= ZUZ_SLOT_COUNT)
        reserve(m_binaryCode - 1);
}

QStringList Reservation::programNames() const
{
    if (m_programNames)
        return *m_programNames;
    QStringList entries;
    if (!Controller::instance().list(QStringLiteral("/RPL/"), &entries))
        return {};
    // The names of an unchanged listing are the ones worked out before.
    const quint64 serial = Controller::instance().listingSerial(QStringLiteral("/RPL/"));
    if (m_namesFrom == serial)
        return m_names;
    QStringList names;
    for (const QString &e : entries) {
        const QString path = listingentry::path(e).mid(5);
        if (path.endsWith(QLatin1String(".xpl"), Qt::CaseInsensitive))
            names.append(path);
    }
    m_names = names;
    m_nameSet = QSet<QString>(names.cbegin(), names.cend());
    m_namesFrom = serial;
    return names;
}

bool Reservation::hasProgram(const QString &name) const
{
    // A listing that fails offers no program.
    return (m_programNames || !programNames().isEmpty()) && m_nameSet.contains(name);
}

bool Reservation::autoStart(int plc) const
{
    return plc >= 0 && plc < 4 && m_autoStart[plc];
}

void Reservation::setAutoStart(int plc, bool on)
{
    if (plc >= 0 && plc < 4)
        m_autoStart[plc] = on;
}

void Reservation::setVarsUsed(bool used, int protocol)
{
    m_varsUsed = used;
    m_varsProtocol = protocol;
}

void Reservation::setStarted(bool started)
{
    m_started = started;
    runNext();
}

void Reservation::setStatus(int slot, int status)
{
    if (validSlot(slot))
        m_status[slot] = status;
}

void Reservation::setQueue(const QList<int> &queued)
{
    m_queue = queued;
}

void Reservation::setTotal(int slot, int total)
{
    if (validSlot(slot))
        m_total[slot] = total;
}

void Reservation::journalSlot(int slot, const QString &state) const
{
    if (!Journal::instance().isHeard())
        return;
    QVariantList queued;
    for (int q : m_queue)
        queued << q + 1;
    Journal::instance().record(QStringLiteral("queue"), QStringLiteral("slot %1 %2").arg(slot + 1).arg(state),
                               {{QStringLiteral("slot"), slot + 1}, {QStringLiteral("state"), state},
                                {QStringLiteral("queue"), queued}});
}

void Reservation::runNext()
{
    Controller &ctrl = Controller::instance();
    while (m_started && m_runningSlot < 0 && !ctrl.isRobotRunning() && !m_queue.isEmpty()) {
        const int slot = m_queue.takeFirst();
        if (!validSlot(slot) || m_status[slot] != 1)
            continue;
        const QString name = m_config.rplNames[slot];
        // A program deleted since it was reserved is dropped from the queue, not run.
        if (name.isEmpty() || !hasProgram(name)
            || !ctrl.startProgram(name, Origin::Reservation)) {
            m_status[slot] = 0;
            journalSlot(slot, QStringLiteral("dropped: no program to run"));
            continue;
        }
        m_status[slot] = 2;
        m_runningSlot = slot;
        journalSlot(slot, QStringLiteral("running"));
    }
}

void Reservation::programEnded(bool reservationRun, bool completed)
{
    if (reservationRun && m_runningSlot >= 0) {
        const int slot = m_runningSlot;
        m_runningSlot = -1;
        m_status[slot] = 0;
        journalSlot(slot, completed ? QStringLiteral("finished") : QStringLiteral("stopped"));
        if (completed) {
            ++m_total[slot];
            ++m_completedRuns;
            ++m_completedBySlot[slot];
        }
    }
    runNext();
}

} // namespace sim
