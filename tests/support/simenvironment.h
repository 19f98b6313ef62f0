#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <QWidgetList>

// A fresh panel and controller for one test: both file trees in a temporary directory, every
// stand-in back to its starting state (connected controller, manual clock at 0, no faults, no
// message box responder, empty call log).
class SimEnvironment
{
public:
    SimEnvironment();
    ~SimEnvironment();

    QString controllerRoot() const;
    QString panelRoot() const;
    // The local directory of the reservation screen, "<panel root>/Application/zuzerarove".
    QString localDir() const;

    bool writeControllerFile(const QString &ctrlPath, const QByteArray &content) const;
    QByteArray controllerFile(const QString &ctrlPath) const;
    bool controllerFileExists(const QString &ctrlPath) const;

    // A controller whose "/RPL/" holds these programs (paths relative to "/RPL/").
    void addPrograms(const QStringList &names) const;
    // The reservation configuration on the controller, as the service writes it.
    void writeReservationConfig(int signalMode, int protocol, const QStringList &names,
                                int runState = 0) const;
    // Empties both file trees (keeping the panel's bin and local directories) and resets the
    // stand-ins: for tests that share one environment because the module computes its paths once.
    void clear() const;

    SimEnvironment(const SimEnvironment &) = delete;
    SimEnvironment &operator=(const SimEnvironment &) = delete;

private:
    QTemporaryDir m_dir;
};

// The files on the controller that the screen reads and writes.
namespace ctrlfiles {
inline const QString config = QStringLiteral("/application/zuzerarove/zuzeraroveconfig.xml");
inline const QString softPlc = QStringLiteral("/application/zuzerarove/softplcconfig.xml");
inline const QString programMap = QStringLiteral("/application/zuzerarove/programMapping.xml");
inline const QString environments = QStringLiteral("/xpl/xpl.cfg");
} // namespace ctrlfiles

// Every stand-in back to its starting state; the file stores are kept.
void resetPlatform();

// The texts of every message box made since the records were last cleared, in order.
QStringList boxTexts();

// Waits until the service or the host has been called by that name.
bool waitForCall(const QString &name, int timeoutMs = 5000);

// Top-level widgets that exist now and did not in before.
QWidgetList newTopLevels(const QWidgetList &before);
