#include "simcontroller.h"

#include "journal.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QThread>
#include <QTimer>

namespace sim {

Controller &Controller::instance()
{
    static Controller controller;
    return controller;
}

Controller::Controller()
{
    const QString env = qEnvironmentVariable("RTM_CONTROLLER_ROOT");
    setRoot(env.isEmpty() ? QDir::currentPath() + QStringLiteral("/controller") : env);
}

void Controller::reset()
{
    setLiveClock(false);
    m_connected = true;
    m_faults.clear();
    m_listings.clear();
    m_now = 0;
    m_runDuration = 3000;
    m_running = false;
    m_program.clear();
    m_endsAt = -1;
    CallLog::instance().clear();
}

void Controller::setRoot(const QString &dir)
{
    m_root = QDir::cleanPath(QDir(dir).absolutePath());
}

QString Controller::root() const
{
    return m_root;
}

bool Controller::withinRoot(const QString &absPath) const
{
    const QString canonRoot = QFileInfo(m_root).canonicalFilePath();
    if (canonRoot.isEmpty())
        return false;
    // Links are followed through the part of the path that exists. A dangling link counts as
    // existing: it has no canonical path, so whatever it would lead to is refused.
    QString existing = absPath;
    while (!QFileInfo::exists(existing) && !QFileInfo(existing).isSymLink()) {
        const int slash = existing.lastIndexOf(QLatin1Char('/'));
        if (slash <= 0)
            return false;
        existing.truncate(slash);
    }
    const QString canon = QFileInfo(existing).canonicalFilePath();
    return canon == canonRoot || canon.startsWith(canonRoot + QLatin1Char('/'));
}

bool Controller::resolve(const QString &ctrlPath, QString *localPath) const
{
    if (ctrlPath.isEmpty() || ctrlPath.contains(QChar(0)))
        return false;
    const QString joined = QDir::cleanPath(m_root + QLatin1Char('/') + ctrlPath);
    if (joined != m_root && !joined.startsWith(m_root + QLatin1Char('/')))
        return false;
    if (!withinRoot(joined))
        return false;
    if (localPath)
        *localPath = joined;
    return true;
}

static bool copyFile(const QString &from, const QString &to)
{
    QFile in(from);
    if (!QFileInfo(from).isFile() || !in.open(QIODevice::ReadOnly))
        return false;
    const QByteArray data = in.readAll();
    if (in.error() != QFileDevice::NoError)
        return false;
    // The destination changes whole or not at all, and a link there is not written through.
    if (QFileInfo(to).isSymLink())
        return false;
    QSaveFile out(to);
    // Unbuffered: a short write on a full disk shows in write()'s count, where a buffered file
    // would lose the rest unnoticed and commit it cut.
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    if (out.write(data) != data.size()) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
}

// A transfer in the journal: which way, the controller's path, its size, whether it went.
static bool journalTransfer(const char *kind, const QString &ctrlPath, const QString &localPath, bool ok)
{
    if (Journal::instance().isHeard()) {
        const qint64 bytes = ok ? QFileInfo(localPath).size() : 0;
        Journal::instance().record(QString::fromLatin1(kind),
                                   ok ? QStringLiteral("%1 (%2 bytes)").arg(ctrlPath).arg(bytes)
                                      : QStringLiteral("%1 FAILED").arg(ctrlPath),
                                   {{QStringLiteral("path"), ctrlPath}, {QStringLiteral("bytes"), bytes},
                                    {QStringLiteral("ok"), ok}});
    }
    return ok;
}

bool Controller::fetch(const QString &ctrlPath, const QString &localPath)
{
    QString source;
    const bool ok = m_connected && !isFaulty(Fault::Fetch, ctrlPath) && !isFaulty(Fault::Fetch, localPath)
                    && resolve(ctrlPath, &source) && copyFile(source, localPath);
    return journalTransfer("fetch", ctrlPath, localPath, ok);
}

bool Controller::send(const QString &localPath, const QString &ctrlPath)
{
    QString target;
    bool ok = m_connected && !isFaulty(Fault::Send, ctrlPath) && !isFaulty(Fault::Send, localPath)
              && resolve(ctrlPath, &target) && QFileInfo(localPath).isFile();
    if (ok) {
        QDir().mkpath(QFileInfo(target).absolutePath());
        // The directory made above must not have left the root through a link either.
        ok = resolve(ctrlPath, &target) && copyFile(localPath, target);
    }
    return journalTransfer("send", ctrlPath, localPath, ok);
}

void Controller::setConnected(bool connected)
{
    if (connected != m_connected)
        Journal::instance().record(QStringLiteral("link"), connected ? QStringLiteral("up") : QStringLiteral("down"),
                                   {{QStringLiteral("connected"), connected}});
    m_connected = connected;
}

bool Controller::list(const QString &dir, QStringList *entries)
{
    if (!entries || !m_connected || isFaulty(Fault::Listing, dir))
        return false;
    const auto given = m_listings.constFind(dir);
    if (given != m_listings.constEnd()) {
        *entries = *given;
        return true;
    }
    QString local;
    if (!resolve(dir, &local) || !QFileInfo(local).isDir())
        return false;
    QString base = dir;
    if (!base.endsWith(QLatin1Char('/')))
        base += QLatin1Char('/');
    entries->clear();
    QDirIterator it(local, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    QStringList found;
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        if (!withinRoot(info.absoluteFilePath()))
            continue;
        const QString rel = QDir(local).relativeFilePath(info.filePath());
        if (info.isDir())
            found.append(base + rel + QLatin1Char('/'));
        else
            found.append(QStringLiteral("%1%2,%3,%4")
                             .arg(base, rel, QString::number(info.size()),
                                  info.lastModified().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"))));
    }
    found.sort();
    *entries = found;
    return true;
}

void Controller::setFault(Fault fault, bool on, const QString &pathPart)
{
    for (int i = m_faults.size() - 1; i >= 0; --i)
        if (m_faults[i].fault == fault && m_faults[i].pathPart == pathPart)
            m_faults.removeAt(i);
    if (on)
        m_faults.append({fault, pathPart});
    static const char *const names[] = {"fetch", "send", "listing", "read", "write", "registerVar"};
    const QString name = QString::fromLatin1(names[int(fault)]);
    Journal::instance().record(QStringLiteral("fault"),
                               QStringLiteral("%1 %2%3").arg(name, on ? QStringLiteral("on") : QStringLiteral("off"),
                                                             pathPart.isEmpty() ? QString() : QStringLiteral(" for ") + pathPart),
                               {{QStringLiteral("fault"), name}, {QStringLiteral("on"), on}, {QStringLiteral("path"), pathPart}});
}

bool Controller::isFaulty(Fault fault, const QString &path) const
{
    for (const FaultRule &rule : m_faults)
        if (rule.fault == fault && (rule.pathPart.isEmpty() || path.contains(rule.pathPart)))
            return true;
    return false;
}

void Controller::advance(qint64 ms)
{
    if (ms < 0)
        return;
    const qint64 target = m_now + ms;
    // A program ends at its own time, so the next one starts then, not at the end of the step.
    while (m_running && m_endsAt >= 0 && m_endsAt <= target) {
        m_now = m_endsAt;
        finishProgram(true);
    }
    m_now = target;
}

void Controller::setLiveClock(bool live, double speed)
{
    m_speed = speed > 0 ? speed : 1.0;
    if (!live) {
        delete m_liveTimer;
        return;
    }
    if (m_liveTimer || !QCoreApplication::instance())
        return;
    // The timer belongs to the application, so it never outlives the event loop.
    m_liveTimer = new QTimer(QCoreApplication::instance());
    m_liveElapsed.start();
    QObject::connect(m_liveTimer, &QTimer::timeout, m_liveTimer, [this] {
        const qint64 real = m_liveElapsed.restart();
        advance(qint64(real * m_speed));
    });
    m_liveTimer->start(20);
}

void Controller::wait(qint64 ms)
{
    if (!m_liveTimer) {
        advance(ms);
        return;
    }
    // The platform's pause holds the thread: no click or idle call runs in the middle of a
    // command. The live clock catches up at its next tick.
    if (ms > 0)
        QThread::msleep(static_cast<unsigned long>(ms));
}

bool Controller::startProgram(const QString &name, Origin origin)
{
    if (m_running)
        return false;
    m_running = true;
    m_program = name;
    m_origin = origin;
    m_endsAt = origin == Origin::Reservation ? m_now + m_runDuration : -1;
    Journal::instance().record(QStringLiteral("run"),
                               QStringLiteral("%1 started%2").arg(name, origin == Origin::Outside ? QStringLiteral(" outside the reservation") : QString()),
                               {{QStringLiteral("program"), name}, {QStringLiteral("state"), QStringLiteral("started")},
                                {QStringLiteral("outside"), origin == Origin::Outside}});
    return true;
}

void Controller::stopProgram()
{
    if (m_running)
        finishProgram(false);
}

void Controller::setRobotRunning(bool running)
{
    if (running && !m_running)
        startProgram(QStringLiteral("OUTSIDE.XPL"), Origin::Outside);
    else if (!running && m_running && m_origin == Origin::Outside)
        stopProgram();
}

void Controller::finishProgram(bool completed)
{
    const QString name = m_program;
    const Origin origin = m_origin;
    m_running = false;
    m_program.clear();
    m_endsAt = -1;
    Journal::instance().record(QStringLiteral("run"),
                               QStringLiteral("%1 %2").arg(name, completed ? QStringLiteral("finished") : QStringLiteral("stopped")),
                               {{QStringLiteral("program"), name},
                                {QStringLiteral("state"), completed ? QStringLiteral("finished") : QStringLiteral("stopped")},
                                {QStringLiteral("outside"), origin == Origin::Outside}});
    if (m_endHandler)
        m_endHandler(name, origin, completed);
}

} // namespace sim
