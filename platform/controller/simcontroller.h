#pragma once

#include "calllog.h"

#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>

namespace sim {

// The operations of the controller and the panel that a test or the simulator panel can make fail.
enum class Fault {
    Fetch,       // a file copied from the controller to the panel
    Send,        // a file copied from the panel to the controller
    Listing,     // a controller directory listing
    Read,        // the reservation service reading one of its local files
    Write,       // the reservation service writing one of its local files
    RegisterVar, // the host registering a widget variable
};

enum class Origin { Reservation, Outside };

// The panel's file tree: set by the host framework's hooks, else RTM_PANEL_ROOT, else the
// working directory. Every local file the stand-ins read or write must lie in it.
SIMCONTROLLER_EXPORT void setPanelRoot(const QString &dir);
SIMCONTROLLER_EXPORT QString panelRoot();

// The simulated robot controller: its file store, connection, clock and the one program it runs.
// DataAccess, rbxInterface and the reservation service are faces over this one object, so they
// always agree with each other.
class SIMCONTROLLER_EXPORT Controller
{
public:
    static Controller &instance();

    // Back to a connected, idle controller on a manual clock at 0, with no faults and an empty log.
    // The file store root is kept.
    void reset();

    // File store. Controller paths ("/RPL/A.XPL") live under root(); none may resolve outside it.
    void setRoot(const QString &dir);
    QString root() const;
    bool resolve(const QString &ctrlPath, QString *localPath) const;
    bool fetch(const QString &ctrlPath, const QString &localPath);
    bool send(const QString &localPath, const QString &ctrlPath);
    // Every file and directory below dir, recursively: "path,size,date" for a file and
    // "path/" for a directory, paths as controller paths.
    bool list(const QString &dir, QStringList *entries);
    // From now on, listing dir gives exactly these entries, as they are; for listings a file
    // store cannot make (lower case, no prefix, extra fields, thousands of entries).
    void setListing(const QString &dir, const QStringList &entries)
    {
        m_listings.insert(dir, entries);
        treeChanged();
    }
    // The file service keeps what it listed until it hears the tree changed: its own sends say
    // which path changed, and only the listings that can show that path are made again; whoever
    // changes the tree behind its back (a test, a scenario's step) says that anything may have.
    void treeChanged()
    {
        m_walked.clear();
        ++m_generation;
    }
    // The controller's own write of ctrlPath: the listings that show it are brought up to date.
    void pathChanged(const QString &ctrlPath);
    // Which listing of dir the last list() gave: the same number while it is kept, so that what
    // is worked out from a listing can be kept with it.
    quint64 listingSerial(const QString &dir) const
    {
        const auto walked = m_walked.constFind(dir);
        return walked == m_walked.constEnd() ? m_generation : walked->serial;
    }

    bool isConnected() const { return m_connected; }
    void setConnected(bool connected);

    // A fault makes the operation fail; with a path part, only for paths that contain it.
    void setFault(Fault fault, bool on, const QString &pathPart = QString());
    bool isFaulty(Fault fault, const QString &path = QString()) const;

    // Clock in milliseconds. Manual: only advance() moves it. Live: a timer moves it with real
    // time multiplied by the speed.
    qint64 now() const { return m_now; }
    void advance(qint64 ms);
    void setLiveClock(bool live, double speed = 1.0);
    bool isLiveClock() const { return m_liveTimer; }
    double speed() const { return m_speed; }
    // The platform's pause: the manual clock advances at once; on the live clock the thread
    // sleeps, processing no events.
    void wait(qint64 ms);

    // Programs: one at a time. A reservation run lasts runDuration(); a program started
    // outside the reservation runs until it is stopped.
    void setRunDuration(qint64 ms) { m_runDuration = ms > 0 ? ms : 1; }
    qint64 runDuration() const { return m_runDuration; }
    bool startProgram(const QString &name, Origin origin);
    // Ends the running program before its time; the end handler hears completed = false.
    void stopProgram();
    bool isRobotRunning() const { return m_running; }
    QString runningProgram() const { return m_running ? m_program : QString(); }
    Origin runningOrigin() const { return m_origin; }
    qint64 runningEndsAt() const { return m_endsAt; }
    // A program outside the reservation, as an operator starting one from the pendant.
    void setRobotRunning(bool running);

    // Heard each time a program ends, on time (completed) or stopped.
    using EndHandler = std::function<void(const QString &name, Origin origin, bool completed)>;
    void setProgramEndHandler(EndHandler handler) { m_endHandler = std::move(handler); }

private:
    Controller();
    void finishProgram(bool completed);
    // The entries of the listing of dir after a write of relative below it; false when only a
    // new walk can tell (a folder or a link written).
    bool updateListing(const QString &dir, const QString &relative, QStringList *entries) const;

    QString m_root;
    bool m_connected = true;
    struct FaultRule { Fault fault; QString pathPart; };
    QList<FaultRule> m_faults;
    QHash<QString, QStringList> m_listings;
    struct Walked
    {
        QStringList entries;
        quint64 serial;
        bool links; // a link's entry shows what it leads to, which may lie anywhere
    };
    QHash<QString, Walked> m_walked; // the listings walked since the tree last changed
    quint64 m_generation = 0;

    qint64 m_now = 0;
    double m_speed = 1.0;
    QPointer<QTimer> m_liveTimer;
    QElapsedTimer m_liveElapsed;

    qint64 m_runDuration = 3000;
    bool m_running = false;
    QString m_program;
    Origin m_origin = Origin::Reservation;
    qint64 m_endsAt = -1;
    EndHandler m_endHandler;
};

} // namespace sim
