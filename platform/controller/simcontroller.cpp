#include "simcontroller.h"

#include "journal.h"

#include "treefiles/folder.h"
#include "treefiles/listingentry.h"
#include "treefiles/rawtext.h"
#include "treefiles/treepath.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <thread>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sim {

namespace {
QString &panelRootSet()
{
    static QString root;
    return root;
}
} // namespace

void setPanelRoot(const QString &dir)
{
    panelRootSet() = dir.isEmpty() ? QString() : QDir::cleanPath(QDir(dir).absolutePath());
}

QString panelRoot()
{
    if (!panelRootSet().isEmpty())
        return panelRootSet();
    const QString env = qEnvironmentVariable("RTM_PANEL_ROOT");
    return QDir::cleanPath(QDir(env.isEmpty() ? QDir::currentPath() : env).absolutePath());
}

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
    treeChanged();
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
    treeChanged();
}

QString Controller::root() const
{
    return m_root;
}

bool Controller::resolve(const QString &ctrlPath, QString *localPath) const
{
    if (ctrlPath.isEmpty() || ctrlPath.contains(QChar(0)))
        return false;
    const QString real = treepath::inside(m_root, m_root + QLatin1Char('/') + ctrlPath);
    if (real.isEmpty())
        return false;
    if (localPath)
        *localPath = real;
    return true;
}

// One file from one tree to the other, read and written through the trees' guard.
static bool copyFile(const QString &fromRoot, const QString &from, const QString &toRoot, const QString &to)
{
    QByteArray data;
    return treepath::readFile(fromRoot, from, &data, treepath::anySize)
           && treepath::writeFile(toRoot, to, data, treepath::anySize);
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
                    && resolve(ctrlPath, &source) && copyFile(m_root, source, panelRoot(), localPath);
    return journalTransfer("fetch", ctrlPath, localPath, ok);
}

bool Controller::send(const QString &localPath, const QString &ctrlPath)
{
    QString target;
    const bool ok = m_connected && !isFaulty(Fault::Send, ctrlPath) && !isFaulty(Fault::Send, localPath)
                    && resolve(ctrlPath, &target)
                    && treepath::makeFolder(m_root, QFileInfo(target).absolutePath())
                    && copyFile(panelRoot(), localPath, m_root, m_root + QLatin1Char('/') + ctrlPath);
    // A failed copy may have left part of a file; a path through a link changed the file it leads to.
    pathChanged(ctrlPath);
    if (target.startsWith(m_root + QLatin1Char('/')))
        pathChanged(target.mid(m_root.size()));
    return journalTransfer("send", ctrlPath, localPath, ok);
}

void Controller::setConnected(bool connected)
{
    if (connected != m_connected)
        Journal::instance().record(QStringLiteral("link"), connected ? QStringLiteral("up") : QStringLiteral("down"),
                                   {{QStringLiteral("connected"), connected}});
    m_connected = connected;
}

namespace {

// A file's time as the listing shows it, in local time. Files written together share their
// second, so the last one is kept.
class ListedTime
{
public:
    const QString &of(time_t when)
    {
        if (when != m_when || m_text.isEmpty()) {
            m_when = when;
            struct tm local = {};
            char text[32] = {};
            if (::localtime_r(&when, &local) && ::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local) > 0)
                m_text = QString::fromLatin1(text);
            else
                m_text = QStringLiteral("1970-01-01 00:00:00");
        }
        return m_text;
    }

private:
    time_t m_when = 0;
    QString m_text;
};

// A file's entry: its path with the comma after it, then its size and time.
QString fileEntry(const QString &named, const struct stat &info, ListedTime &time)
{
    return named + QString::number(qint64(info.st_size)) + QLatin1Char(',') + time.of(info.st_mtime);
}

// A listed folder's entries begin with its path and a "/".
QString folderPrefix(const QString &dir)
{
    return dir.endsWith(QLatin1Char('/')) ? dir : dir + QLatin1Char('/');
}

// What a listing of one folder holds, in the listing's order: by their texts after the folder's,
// a folder's with its "/", a file's with its ",". Links are taken for what they lead to and not
// gone into; those that lead out of the tree, or nowhere, are left out.
struct Listed
{
    QString key;
    QByteArray name;
    bool folder;
    bool link;
    struct stat info;
};

// Every entry below a folder, as the controller lists it: a folder that cannot be opened or read
// to its end fails the whole listing, as the real controller's transfer does; it never comes back
// short. Each entry is looked at through its folder, so no path is resolved again for it.
class Listing
{
public:
    Listing(const QString &root, const QString &path, const QString &prefix) : m_root(root)
    {
        m_levels.push_back({path, prefix, {}, 0});
    }

    Result enter(const treefiles::Folder &folder, const QByteArray &name, QList<QByteArray> *inner)
    {
        if (!name.isEmpty()) {
            const Level &above = m_levels.back();
            const Listed &at = above.entries[above.next - 1];
            m_levels.push_back({above.path + QLatin1Char('/') + at.key.chopped(1), above.prefix + at.key, {}, 0});
        }
        Level &level = m_levels.back();
        if (const Result read = look(folder, level, inner); !read)
            return read;
        emitToNextFolder();
        return Result::ok();
    }

    void leave()
    {
        m_levels.pop_back();
        emitToNextFolder();
    }

    QStringList found;
    bool links = false;

private:
    struct Level
    {
        QString path;   // in the controller's tree, for the links' checks
        QString prefix; // of each entry
        std::vector<Listed> entries;
        size_t next;
    };

    Result look(const treefiles::Folder &folder, Level &level, QList<QByteArray> *inner)
    {
        QList<QByteArray> names;
        if (const Result read = folder.names(&names); !read)
            return read;
        // Looking at each entry is most of a walk's time, all of it in the kernel: a large
        // folder's entries are looked at by two threads, each taking half of them.
        std::vector<struct stat> owns(size_t(names.size()));
        std::vector<char> seen(size_t(names.size()), 0);
        const auto lookAt = [&](int from, int to) {
            for (int i = from; i < to; ++i)
                seen[size_t(i)] = ::fstatat(folder.fd(), names.at(i).constData(), &owns[size_t(i)], AT_SYMLINK_NOFOLLOW) == 0;
        };
        if (names.size() >= 512) {
            std::thread other(lookAt, names.size() / 2, names.size());
            lookAt(0, names.size() / 2);
            other.join();
        } else {
            lookAt(0, names.size());
        }
        level.entries.reserve(size_t(names.size()));
        for (int i = 0; i < names.size(); ++i) {
            if (!seen[size_t(i)])
                continue;
            const QByteArray &bytes = names.at(i);
            struct stat info = owns[size_t(i)];
            // Names are bytes: one that is no valid UTF-8 is kept, as the configuration keeps it.
            const QString name = rawtext::decode(bytes);
            const bool isLink = S_ISLNK(info.st_mode);
            // The folder itself lies in the tree, so only a link can lead out of it.
            if (isLink) {
                links = true;
                if (::fstatat(folder.fd(), bytes.constData(), &info, 0) != 0
                    || treepath::inside(m_root, level.path + QLatin1Char('/') + name).isEmpty())
                    continue;
            }
            const bool isFolder = S_ISDIR(info.st_mode);
            level.entries.push_back({name + (isFolder ? QLatin1Char('/') : QLatin1Char(',')), bytes, isFolder, isLink, info});
        }
        std::sort(level.entries.begin(), level.entries.end(), [](const Listed &a, const Listed &b) { return a.key < b.key; });
        for (const Listed &entry : level.entries)
            if (entry.folder && !entry.link)
                inner->append(entry.name);
        return Result::ok();
    }

    // The entries of the folder in hand up to the next folder gone into, which comes before its
    // own entries.
    void emitToNextFolder()
    {
        if (m_levels.empty())
            return;
        Level &level = m_levels.back();
        while (level.next < level.entries.size()) {
            const Listed &entry = level.entries[level.next++];
            if (entry.folder) {
                found.append(level.prefix + entry.key);
                if (!entry.link)
                    return;
            } else {
                found.append(fileEntry(level.prefix + entry.key, entry.info, m_time));
            }
        }
    }

    QString m_root; // the controller's tree
    std::vector<Level> m_levels;
    ListedTime m_time;
};

} // namespace

bool Controller::list(const QString &dir, QStringList *entries)
{
    if (!entries || !m_connected || isFaulty(Fault::Listing, dir))
        return false;
    const auto given = m_listings.constFind(dir);
    if (given != m_listings.constEnd()) {
        *entries = *given;
        return true;
    }
    const auto walked = m_walked.constFind(dir);
    if (walked != m_walked.constEnd()) {
        *entries = walked->entries;
        return true;
    }
    QString local;
    struct stat folder;
    if (!resolve(dir, &local) || ::stat(rawtext::encode(local).constData(), &folder) != 0 || !S_ISDIR(folder.st_mode))
        return false;
    treefiles::Folder start;
    if (!treefiles::Folder::open(local, treefiles::Make::No, &start) || !start.isOpen())
        return false;
    Listing listing(m_root, local, folderPrefix(dir));
    treefiles::Walker walker;
    walker.enter = [&listing](const treefiles::Folder &folder, const QByteArray &name, int, QList<QByteArray> *inner) {
        return listing.enter(folder, name, inner);
    };
    walker.leave = [&listing](const treefiles::Folder &, const QByteArray &, int) {
        listing.leave();
        return Result::ok();
    };
    if (!treefiles::walk(std::move(start), walker))
        return false;
    // Each folder comes in order; names holding a comma may still need the whole list sorted.
    if (!std::is_sorted(listing.found.cbegin(), listing.found.cend()))
        listing.found.sort();
    m_walked.insert(dir, {listing.found, m_generation, listing.links});
    *entries = listing.found;
    return true;
}

void Controller::pathChanged(const QString &ctrlPath)
{
    ++m_generation;
    const QString changed = QDir::cleanPath(QLatin1Char('/') + ctrlPath);
    for (auto it = m_walked.begin(); it != m_walked.end();) {
        QString dir = QDir::cleanPath(QLatin1Char('/') + it.key());
        if (dir != QLatin1String("/"))
            dir += QLatin1Char('/');
        // The path lies in the listed folder: its entries are brought up to date in place. The
        // folder lies in the path, or a link may show the path anywhere: it is listed again.
        if (changed.startsWith(dir) && !it->links && updateListing(it.key(), changed.mid(dir.size()), &it->entries)) {
            it->serial = m_generation;
            ++it;
        } else if (changed.startsWith(dir) || dir.startsWith(changed + QLatin1Char('/')) || it->links) {
            it = m_walked.erase(it);
        } else {
            ++it;
        }
    }
}

bool Controller::updateListing(const QString &dir, const QString &relative, QStringList *entries) const
{
    const QString base = folderPrefix(dir);
    // Each folder on the way, then the file itself, in their sorted places.
    const QStringList parts = relative.split(QLatin1Char('/'));
    QString inner = base;
    for (int i = 0; i + 1 < parts.size(); ++i) {
        inner += parts.at(i) + QLatin1Char('/');
        const auto at = std::lower_bound(entries->begin(), entries->end(), inner);
        if (at == entries->end() || *at != inner)
            entries->insert(at, inner);
    }
    const QString path = base + relative;
    const QString named = path + QLatin1Char(',');
    // The file's own entry, not one of a longer name with a comma after this one.
    auto at = std::lower_bound(entries->begin(), entries->end(), named);
    for (auto same = at; same != entries->end() && same->startsWith(named); ++same)
        if (listingentry::names(*same, path)) {
            at = entries->erase(same);
            break;
        }
    QString local;
    struct stat info;
    if (!resolve(path, &local) || ::lstat(rawtext::encode(local).constData(), &info) != 0)
        return true; // not there: no entry
    if (!S_ISREG(info.st_mode))
        return false;
    ListedTime time;
    const QString entry = fileEntry(named, info, time);
    entries->insert(std::lower_bound(entries->begin(), entries->end(), entry), entry);
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
