#include "engine/outputfiles.h"
#include "simcontroller.h"
#include "simenvironment.h"
#include "common/softplcfiles.h"
#include "zuzerarovelibapi.h"

#include <QDirIterator>
#include <QFile>
#include <QRandomGenerator>
#include <QtTest>

#include <dlfcn.h>
#include <fcntl.h>
#include <functional>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

// Every writer's file-system calls are recorded as it saves; then every state a power cut could
// leave is built and read back: what no sync covered may be lost, in part or whole, in any
// combination. Each must read as the old file or the new one.

namespace {

struct Op
{
    enum Kind { Create, Write, SyncFile, SyncFolder, SyncAll, Rename, Remove, MakeFolder, Link, Symlink } kind;
    QString path;  // the name made, written, removed, or renamed from
    QString to;    // renamed or linked to; a link's target
    int inode = 0; // the file a name or a write is of
    qint64 offset = 0;
    QByteArray bytes;
};

// What the interposed calls below hear: the writes under root, while a save runs. The C library's
// calls have no room for a context, so this one pointer is the only way to them.
struct Recording
{
    QString root;
    QList<Op> ops;
    std::map<QString, int> names; // name -> file, as the save goes
    std::map<int, int> open;      // descriptor -> file
    std::map<int, qint64> sizes;
    int nextInode = 1;
};
Recording *recording = nullptr;

template<typename F>
F real(const char *name)
{
    return reinterpret_cast<F>(::dlsym(RTLD_NEXT, name));
}

QString pathOf(int dirfd, const char *name)
{
    if (name && name[0] == '/')
        return QFile::decodeName(name);
    char at[PATH_MAX] = {};
    const QByteArray link = dirfd == AT_FDCWD ? QByteArray("/proc/self/cwd") : "/proc/self/fd/" + QByteArray::number(dirfd);
    const ssize_t n = ::readlink(link.constData(), at, sizeof at - 1);
    return n <= 0 ? QString() : QDir::cleanPath(QFile::decodeName(QByteArray(at, int(n))) + (name ? QLatin1Char('/') + QFile::decodeName(name) : QString()));
}

bool heard(const QString &path)
{
    return recording && (path == recording->root || path.startsWith(recording->root + QLatin1Char('/')));
}

void add(const Op &op)
{
    recording->ops.append(op);
}

} // namespace

extern "C" {

int openat(int dirfd, const char *name, int flags, ...)
{
    va_list args;
    va_start(args, flags);
    const mode_t mode = (flags & O_CREAT) ? mode_t(va_arg(args, int)) : 0;
    va_end(args);
    const int fd = real<int (*)(int, const char *, int, ...)>("openat")(dirfd, name, flags, mode);
    const QString path = fd >= 0 && (flags & O_CREAT) ? pathOf(dirfd, name) : QString();
    if (heard(path)) {
        const bool made = (flags & O_EXCL) || !recording->names.count(path);
        if (made) {
            recording->names[path] = recording->nextInode++;
            add({Op::Create, path, {}, recording->names[path], 0, {}});
        }
        recording->open[fd] = recording->names[path];
        recording->sizes[recording->names[path]] = 0;
    }
    return fd;
}

ssize_t write(int fd, const void *bytes, size_t size)
{
    const ssize_t n = real<ssize_t (*)(int, const void *, size_t)>("write")(fd, bytes, size);
    if (recording && n > 0 && recording->open.count(fd)) {
        const int inode = recording->open[fd];
        add({Op::Write, {}, {}, inode, recording->sizes[inode], QByteArray(static_cast<const char *>(bytes), int(n))});
        recording->sizes[inode] += n;
    }
    return n;
}

int fsync(int fd)
{
    const int done = real<int (*)(int)>("fsync")(fd);
    if (recording && recording->open.count(fd))
        add({Op::SyncFile, {}, {}, recording->open[fd], 0, {}});
    else if (const QString path = recording ? pathOf(fd, nullptr) : QString(); heard(path))
        add({Op::SyncFolder, path, {}, 0, 0, {}});
    return done;
}

int syncfs(int fd)
{
    const int done = real<int (*)(int)>("syncfs")(fd);
    if (recording)
        add({Op::SyncAll, {}, {}, 0, 0, {}});
    return done;
}

int close(int fd)
{
    if (recording)
        recording->open.erase(fd);
    return real<int (*)(int)>("close")(fd);
}

int renameat2(int from, const char *oldName, int to, const char *newName, unsigned flags)
{
    const QString a = recording ? pathOf(from, oldName) : QString(), b = recording ? pathOf(to, newName) : QString();
    const int done = real<int (*)(int, const char *, int, const char *, unsigned)>("renameat2")(from, oldName, to, newName, flags);
    if (done == 0 && heard(a)) {
        // A folder's names go with it.
        std::map<QString, int> moved;
        for (const auto &[name, inode] : recording->names)
            moved[name == a ? b : name.startsWith(a + QLatin1Char('/')) ? b + name.mid(a.size()) : name] = inode;
        const int inode = recording->names.count(a) ? recording->names[a] : 0;
        recording->names = moved;
        add({Op::Rename, a, b, inode, 0, {}});
    }
    return done;
}

int renameat(int from, const char *oldName, int to, const char *newName)
{
    return renameat2(from, oldName, to, newName, 0);
}

int unlinkat(int dirfd, const char *name, int flags)
{
    const QString path = recording ? pathOf(dirfd, name) : QString();
    const int done = real<int (*)(int, const char *, int)>("unlinkat")(dirfd, name, flags);
    if (done == 0 && heard(path)) {
        recording->names.erase(path);
        add({Op::Remove, path, {}, 0, 0, {}});
    }
    return done;
}

int mkdirat(int dirfd, const char *name, mode_t mode)
{
    const int done = real<int (*)(int, const char *, mode_t)>("mkdirat")(dirfd, name, mode);
    if (const QString path = recording ? pathOf(dirfd, name) : QString(); done == 0 && heard(path))
        add({Op::MakeFolder, path, {}, 0, 0, {}});
    return done;
}

int linkat(int from, const char *oldName, int to, const char *newName, int flags)
{
    const QString a = recording ? pathOf(from, oldName) : QString(), b = recording ? pathOf(to, newName) : QString();
    const int done = real<int (*)(int, const char *, int, const char *, int)>("linkat")(from, oldName, to, newName, flags);
    if (done == 0 && heard(b)) {
        recording->names[b] = recording->names[a];
        add({Op::Link, a, b, recording->names[a], 0, {}});
    }
    return done;
}

int symlinkat(const char *target, int dirfd, const char *name)
{
    const int done = real<int (*)(const char *, int, const char *)>("symlinkat")(target, dirfd, name);
    if (const QString path = recording ? pathOf(dirfd, name) : QString(); done == 0 && heard(path))
        add({Op::Symlink, path, QFile::decodeName(target), 0, 0, {}});
    return done;
}

} // extern "C"

namespace {

QString parentOf(const QString &path)
{
    return path.left(path.lastIndexOf(QLatin1Char('/')));
}

// A tree as a power cut leaves it: each name with the file it is, each file with its bytes.
struct State
{
    std::map<QString, int> names; // a folder's name maps to 0
    std::map<int, QByteArray> files;

    // What lies at or below path, name by name, "(none)" where nothing does.
    QMap<QString, QByteArray> at(const QString &path) const
    {
        QMap<QString, QByteArray> found;
        for (const auto &[name, inode] : names)
            if (name == path || name.startsWith(path + QLatin1Char('/')))
                found.insert(name.mid(path.size()), inode ? files.at(inode) : QByteArray("(folder)"));
        return found;
    }
};

State snapshot(const QString &root, Recording *r)
{
    State state;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (it.fileInfo().isDir() && !it.fileInfo().isSymLink()) {
            state.names[path] = 0;
            continue;
        }
        QFile file(path);
        state.names[path] = r->names[path] = r->nextInode++;
        state.files[state.names[path]] = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("-> link");
    }
    return state;
}

// Whether op i, of the first k, reached the disk for certain: a later sync that covers it came
// before the cut.
bool covered(const QList<Op> &ops, int i, int k)
{
    const Op &op = ops[i];
    const QString folder = parentOf(op.kind == Op::Rename || op.kind == Op::Link ? op.to : op.path);
    for (int j = i + 1; j < k; ++j) {
        const Op &sync = ops[j];
        if (sync.kind == Op::SyncAll || (op.kind == Op::Write && sync.kind == Op::SyncFile && sync.inode == op.inode)
            || (op.kind != Op::Write && sync.kind == Op::SyncFolder && sync.path == folder))
            return true;
    }
    return false;
}

// The first k ops applied to the state before the save, those in kept whole, a write in part
// where part says so, the others lost.
State apply(State state, const QList<Op> &ops, int k, const QVector<int> &kept)
{
    for (int i = 0; i < k; ++i) {
        const Op &op = ops[i];
        if (kept[i] == 0)
            continue;
        switch (op.kind) {
        case Op::Create:
            state.names[op.path] = op.inode;
            state.files.emplace(op.inode, QByteArray());
            break;
        case Op::Write: {
            QByteArray &bytes = state.files[op.inode];
            const QByteArray written = kept[i] == 2 ? op.bytes : op.bytes.left(op.bytes.size() / 2);
            if (bytes.size() < op.offset + written.size())
                bytes.append(QByteArray(int(op.offset + written.size() - bytes.size()), '\0'));
            bytes.replace(int(op.offset), written.size(), written);
            break;
        }
        case Op::Rename: {
            std::map<QString, int> moved;
            for (const auto &[name, inode] : state.names)
                if (name != op.to && !name.startsWith(op.to + QLatin1Char('/')))
                    moved[name == op.path ? op.to : name.startsWith(op.path + QLatin1Char('/')) ? op.to + name.mid(op.path.size()) : name] = inode;
            if (state.names.count(op.path) || op.inode == 0)
                state.names = moved;
            else
                state.names[op.to] = op.inode, state.files.emplace(op.inode, QByteArray());
            break;
        }
        case Op::Remove:
            state.names.erase(op.path);
            break;
        case Op::MakeFolder:
            state.names[op.path] = 0;
            break;
        case Op::Link:
            state.names[op.to] = op.inode;
            state.files.emplace(op.inode, QByteArray());
            break;
        case Op::Symlink:
            state.names[op.path] = -1 - i;
            state.files[-1 - i] = "-> link";
            break;
        default:
            break;
        }
    }
    return state;
}

using Save = std::function<void(SimEnvironment &, const QString &work)>;

} // namespace

class tst_CrashPoints : public QObject
{
    Q_OBJECT
private slots:
    void everyCutLeavesTheOldOrTheNew_data();
    void everyCutLeavesTheOldOrTheNew();
};

Q_DECLARE_METATYPE(Save)

void tst_CrashPoints::everyCutLeavesTheOldOrTheNew_data()
{
    QTest::addColumn<QString>("target"); // under the work folder
    QTest::addColumn<Save>("save");
    QTest::addColumn<bool>("grows"); // a log: what of the new one reached the disk counts too
    const QByteArray big(70000, 'x');
    QTest::newRow("soft-PLC file") << "panel/Application/zuzerarove/softplcconfig.xml" << Save([](SimEnvironment &env, const QString &) {
        QVERIFY(softplcfiles::write(env.localDir() + QStringLiteral("/softplcconfig.xml"), "<softplc new=\"1\"/>\n"));
    }) << false;
    QTest::newRow("service configuration") << "panel/Application/zuzerarove/zuzeraroveconfig.xml" << Save([](SimEnvironment &env, const QString &) {
        ZuzEraroveLibApi::getInstance()->resvData.signalMode = 1;
        QVERIFY(ZuzEraroveLibApi::getInstance()->writeZuzEraroveFile(env.localDir() + QStringLiteral("/zuzeraroveconfig.xml")));
    }) << false;
    QTest::newRow("program map") << "panel/Application/zuzerarove/programMapping.xml" << Save([](SimEnvironment &env, const QString &) {
        ZuzEraroveLibApi::getInstance()->programMaps = {ProgramMapData{}};
        QVERIFY(ZuzEraroveLibApi::getInstance()->writePrograMapFile(env.localDir() + QStringLiteral("/programMapping.xml")));
    }) << false;
    QTest::newRow("controller copy") << "controller/RPL/A.XPL" << Save([big](SimEnvironment &env, const QString &) {
        QFile file(env.localDir() + QStringLiteral("/A.XPL"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(big) == big.size());
        file.close();
        QVERIFY(sim::Controller::instance().send(env.localDir() + QStringLiteral("/A.XPL"), QStringLiteral("/RPL/A.XPL")));
    }) << false;
    QTest::newRow("bench report") << "out/report.xml" << Save([](SimEnvironment &, const QString &work) {
        QVERIFY(OutputFiles().writeFile(work + QStringLiteral("/out/report.xml"), "<testsuites new=\"1\"/>").isOk());
    }) << false;
    QTest::newRow("bench programs") << "controller/RPL/A.XPL" << Save([](SimEnvironment &, const QString &work) {
        QVERIFY(OutputFiles().writeFiles(work + QStringLiteral("/controller/RPL"), {QStringLiteral("N.XPL"), QStringLiteral("A.XPL")}, "MOVJ\n").isOk());
    }) << false;
    QTest::newRow("recording's copy") << "out/rec.controller" << Save([](SimEnvironment &env, const QString &work) {
        QVERIFY(OutputFiles().copyTree(env.controllerRoot(), work + QStringLiteral("/out/rec.controller"), true).isOk());
    }) << false;
    QTest::newRow("journal") << "out/j.jsonl" << Save([](SimEnvironment &, const QString &work) {
        OutputFiles::Stream stream;
        QVERIFY(OutputFiles().openStream(work + QStringLiteral("/out/j.jsonl"), &stream).isOk());
        QVERIFY(stream.append("{\"line\":1}\n").isOk() && stream.append("{\"line\":2}\n").isOk() && stream.commit().isOk());
    }) << true;
}

void tst_CrashPoints::everyCutLeavesTheOldOrTheNew()
{
    QFETCH(QString, target);
    QFETCH(Save, save);
    QFETCH(bool, grows);
    SimEnvironment env;
    const QString work = QFileInfo(env.controllerRoot()).absolutePath();
    QVERIFY(env.writeControllerFile(QStringLiteral("/RPL/A.XPL"), "MOVJ OLD\n"));
    QVERIFY(env.writeControllerFile(QStringLiteral("/RPL/SUB/B.XPL"), "MOVJ B\n"));
    QVERIFY(QDir().mkpath(work + QStringLiteral("/out")));
    for (const char *name : {"softplcconfig.xml", "zuzeraroveconfig.xml", "programMapping.xml"}) {
        QFile file(env.localDir() + QLatin1Char('/') + QLatin1String(name));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("<old/>\n") == 7);
    }
    for (const char *name : {"out/report.xml", "out/j.jsonl"}) {
        QFile file(work + QLatin1Char('/') + QLatin1String(name));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("old\n") == 4);
    }

    Recording heard;
    heard.root = work;
    const State before = snapshot(work, &heard);
    recording = &heard;
    save(env, work);
    recording = nullptr;
    const QString path = work + QLatin1Char('/') + target;
    const QMap<QString, QByteArray> oldOne = before.at(path), newOne = snapshot(work, &heard).at(path);
    QVERIFY(oldOne != newOne);
    QVERIFY(!heard.ops.isEmpty());

    // Every cut, after each call; every way the calls no sync covered may have reached the disk:
    // each lost, kept, or (a write) kept in part. Past ten such calls, a sample of the ways.
    QRandomGenerator random(40);
    int states = 0;
    for (int k = 0; k <= heard.ops.size(); ++k) {
        QVector<int> open;
        QVector<int> kept(heard.ops.size(), 2);
        for (int i = 0; i < k; ++i)
            if (!covered(heard.ops, i, k) && heard.ops[i].kind != Op::SyncFile && heard.ops[i].kind != Op::SyncFolder)
                open.append(i);
        const bool every = open.size() <= 10;
        const int ways = every ? 1 << open.size() : 512;
        for (int way = 0; way < ways; ++way) {
            for (int j = 0; j < open.size(); ++j) {
                const int lost = every ? (way >> j) & 1 : int(random.bounded(2));
                kept[open[j]] = lost ? 0 : heard.ops[open[j]].kind == Op::Write && random.bounded(3) == 0 ? 1 : 2;
            }
            const QMap<QString, QByteArray> found = apply(before, heard.ops, k, kept).at(path);
            ++states;
            bool fine = found == oldOne || found == newOne;
            // A log written as it goes: what reached the disk of the new one, a line that did not
            // reading as NULs where a later one did.
            if (grows && !fine && found.size() == 1 && newOne.size() == 1 && found.first().size() <= newOne.first().size())
                fine = std::equal(found.first().cbegin(), found.first().cend(), newOne.first().cbegin(),
                                  [](char a, char b) { return a == b || a == '\0'; });
            if (!fine) {
                QStringList calls;
                for (int i = 0; i < k; ++i)
                    calls << QStringLiteral("%1%2 %3 %4").arg(kept[i] ? "" : "(lost) ").arg(int(heard.ops[i].kind)).arg(heard.ops[i].path, heard.ops[i].to);
                QFAIL(qPrintable(QStringLiteral("a cut after %1 calls leaves %2:\n%3")
                                     .arg(k).arg(QString::fromUtf8(found.value(QString(), "(none)").left(60)), calls.join(QLatin1Char('\n')))));
            }
        }
    }
    qInfo("%d calls, %d states a power cut could leave", int(heard.ops.size()), states);
}

QTEST_MAIN(tst_CrashPoints)
#include "tst_crashpoints.moc"
