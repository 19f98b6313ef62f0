#include "simcontroller.h"
#include "simenvironment.h"
#include "treefiles/rawtext.h"
#include "zuzerarovesim.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

using sim::Controller;

// The simulated controller: what stays inside its root, how it lists a folder, how it waits.
class tst_ControllerStore : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void resolveStaysInsideRoot_data();
    void resolveStaysInsideRoot();
    void listingForm();
    void namesAreBytes();
    void unreadableFolderFailsTheListing();
    void listingKeptUntilTheTreeChanges();
    void ownSendsKeepTheListingTrue_data();
    void ownSendsKeepTheListingTrue();
    void waitHoldsTheThreadOnLiveClock();

private:
    QScopedPointer<SimEnvironment> env;
    QTemporaryDir outside;
};

void tst_ControllerStore::init()
{
    env.reset(new SimEnvironment);
    env->writeControllerFile(QStringLiteral("/RPL/A.XPL"), "A");
    env->writeControllerFile(QStringLiteral("/xpl/xpl.cfg"), "X");
    QFile secret(outside.filePath(QStringLiteral("secret")));
    QVERIFY(secret.open(QIODevice::WriteOnly));
    secret.write("outside");
    secret.close();
    QFile::link(outside.path(), env->controllerRoot() + QStringLiteral("/link"));
    QFile::link(outside.filePath(QStringLiteral("none")), env->controllerRoot() + QStringLiteral("/dangling"));
    Controller::instance().treeChanged();
}

void tst_ControllerStore::resolveStaysInsideRoot_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("inside");
    QTest::newRow("file") << "/RPL/A.XPL" << true;
    QTest::newRow("no leading slash") << "RPL/A.XPL" << true;
    QTest::newRow("dot-dot that stays inside") << "/RPL/../xpl/xpl.cfg" << true;
    QTest::newRow("file not there yet") << "/new/dir/file.xml" << true;
    QTest::newRow("dot-dot out of the root") << "/../outside" << false;
    QTest::newRow("link to outside") << "/link/secret" << false;
    QTest::newRow("empty") << "" << false;
}

void tst_ControllerStore::resolveStaysInsideRoot()
{
    QFETCH(QString, path);
    QFETCH(bool, inside);
    QString local;
    QCOMPARE(Controller::instance().resolve(path, &local), inside);
    if (inside)
        QVERIFY(local.startsWith(env->controllerRoot() + QLatin1Char('/')));
}

void tst_ControllerStore::listingForm()
{
    env->writeControllerFile(QStringLiteral("/RPL/SUB/B.XPL"), "BBBB");
    env->writeControllerFile(QStringLiteral("/RPL/SUB/DEEP/C.PJ"), "");
    QStringList entries;
    QVERIFY(Controller::instance().list(QStringLiteral("/RPL/"), &entries));
    QCOMPARE(entries.size(), 5);
    QCOMPARE(entries[0].section(QLatin1Char(','), 0, 1), QStringLiteral("/RPL/A.XPL,1"));
    QCOMPARE(entries[1], QStringLiteral("/RPL/SUB/"));
    QCOMPARE(entries[2].section(QLatin1Char(','), 0, 1), QStringLiteral("/RPL/SUB/B.XPL,4"));
    QCOMPARE(entries[3], QStringLiteral("/RPL/SUB/DEEP/"));
    QCOMPARE(entries[4].section(QLatin1Char(','), 0, 1), QStringLiteral("/RPL/SUB/DEEP/C.PJ,0"));
    const QString date = entries[0].section(QLatin1Char(','), 2);
    QVERIFY2(QDateTime::fromString(date, QStringLiteral("yyyy-MM-dd hh:mm:ss")).isValid(), qPrintable(date));

    QVERIFY(!Controller::instance().list(QStringLiteral("/RPL/A.XPL"), &entries));
    QVERIFY(!Controller::instance().list(QStringLiteral("/NONE/"), &entries));
}

// Names of invalid UTF-8, the two forms of one accented letter, and names differing only in case
// are each a program of their own: listed with the lossless text the files use, and fetched whole.
void tst_ControllerStore::namesAreBytes()
{
    const QList<QByteArray> names{"BAD\xff\xfe.XPL", "\xc3\x89.XPL", "E\xcc\x81.XPL", "a.xpl", "A.XPL2"};
    for (const QByteArray &name : names) {
        const QByteArray path = QFile::encodeName(env->controllerRoot()) + "/RPL/" + name;
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        QVERIFY(fd >= 0);
        QCOMPARE(::write(fd, name.constData(), size_t(name.size())), ssize_t(name.size()));
        ::close(fd);
    }
    Controller::instance().treeChanged();
    QStringList entries;
    QVERIFY(Controller::instance().list(QStringLiteral("/RPL/"), &entries));
    for (const QByteArray &name : names) {
        const QString program = rawtext::decode(name);
        bool listed = false;
        for (const QString &entry : qAsConst(entries))
            listed |= entry.startsWith(QStringLiteral("/RPL/") + program + QLatin1Char(','));
        QVERIFY2(listed, qPrintable(entries.join(QLatin1Char(' '))));
        const QString local = env->localDir() + QStringLiteral("/fetched");
        QVERIFY(Controller::instance().fetch(QStringLiteral("/RPL/") + program, local));
        QFile fetched(local);
        QVERIFY(fetched.open(QIODevice::ReadOnly));
        QCOMPARE(fetched.readAll(), name);
    }
}

void tst_ControllerStore::listingKeptUntilTheTreeChanges()
{
    // The file service lists a folder once and keeps it, as a controller's does: its own sends
    // and a change it is told of make it list again; the reservation's program names follow.
    Controller &ctrl = Controller::instance();
    auto listed = [&ctrl] {
        QStringList entries;
        ctrl.list(QStringLiteral("/RPL/"), &entries);
        return entries.size();
    };
    QCOMPARE(listed(), 1);
    QFile behind(env->controllerRoot() + QStringLiteral("/RPL/B.XPL"));
    QVERIFY(behind.open(QIODevice::WriteOnly));
    behind.close();
    QCOMPARE(listed(), 1);
    ctrl.treeChanged();
    QCOMPARE(listed(), 2);
    QCOMPARE(sim::Reservation::instance().programNames(), (QStringList{QStringLiteral("A.XPL"), QStringLiteral("B.XPL")}));
    QDir().mkpath(env->localDir());
    QFile local(env->localDir() + QStringLiteral("/C.XPL"));
    QVERIFY(local.open(QIODevice::WriteOnly));
    local.close();
    QVERIFY(ctrl.send(local.fileName(), QStringLiteral("/RPL/C.XPL")));
    QCOMPARE(listed(), 3);
    QCOMPARE(sim::Reservation::instance().programNames().size(), 3);
    // A send elsewhere keeps the listing, and one through a link to the folder adds its file:
    // what was written behind its back still is not shown.
    QFile later(env->controllerRoot() + QStringLiteral("/RPL/D.XPL"));
    QVERIFY(later.open(QIODevice::WriteOnly));
    later.close();
    QVERIFY(ctrl.send(local.fileName(), QStringLiteral("/application/C.XML")));
    QCOMPARE(listed(), 3);
    QVERIFY(QFile::link(env->controllerRoot() + QStringLiteral("/RPL"), env->controllerRoot() + QStringLiteral("/programs")));
    QVERIFY(ctrl.send(local.fileName(), QStringLiteral("/programs/E.XPL")));
    QCOMPARE(listed(), 4);
    ctrl.treeChanged();
    QCOMPARE(listed(), 5);
}

void tst_ControllerStore::ownSendsKeepTheListingTrue_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("a program added") << "/RPL/N.XPL";
    QTest::newRow("a program in new folders") << "/RPL/NEW/DEEP/N.XPL";
    QTest::newRow("a program replaced by a larger one") << "/RPL/A.XPL";
    QTest::newRow("a file beside the folder listed") << "/RPLX/N.XPL";
    QTest::newRow("a longer name with a comma after a program's") << "/RPL/A.XPL,OLD";
    QTest::newRow("a name with a comma") << "/RPL/SUB/PART,2.XPL";
}

// The listings a send brings up to date in place are the ones a new walk would give.
void tst_ControllerStore::ownSendsKeepTheListingTrue()
{
    QFETCH(QString, path);
    Controller &ctrl = Controller::instance();
    env->writeControllerFile(QStringLiteral("/RPL/SUB/B.XPL"), "B");
    ctrl.treeChanged();
    QStringList kept, walked, root;
    QVERIFY(ctrl.list(QStringLiteral("/RPL/"), &kept));
    QVERIFY(ctrl.list(QStringLiteral("/"), &root));
    QDir().mkpath(env->localDir());
    QFile local(env->localDir() + QStringLiteral("/sent"));
    QVERIFY(local.open(QIODevice::WriteOnly));
    local.write("a larger program");
    local.close();
    QVERIFY(ctrl.send(local.fileName(), path));
    QVERIFY(ctrl.list(QStringLiteral("/RPL/"), &kept));
    QVERIFY(ctrl.list(QStringLiteral("/"), &root));
    const QStringList keptRoot = root;
    ctrl.treeChanged();
    QVERIFY(ctrl.list(QStringLiteral("/RPL/"), &walked));
    QCOMPARE(kept, walked);
    QVERIFY(ctrl.list(QStringLiteral("/"), &root));
    QCOMPARE(keptRoot, root);
}

void tst_ControllerStore::unreadableFolderFailsTheListing()
{
    // A folder the controller cannot read makes every listing that reaches it fail: an empty
    // or short listing would say "no such file" of files that are there.
    env->writeControllerFile(QStringLiteral("/RPL/SUB/B.XPL"), "B");
    const QString sub = env->controllerRoot() + QStringLiteral("/RPL/SUB");
    for (QString dir = env->controllerRoot(); dir.startsWith(QDir::tempPath() + QLatin1Char('/')); dir = QFileInfo(dir).path())
        QFile::setPermissions(dir, QFile::permissions(dir) | QFile::ReadOther | QFile::ExeOther);
    QVERIFY(QFile::setPermissions(sub, QFileDevice::Permissions()));
    Controller::instance().treeChanged();
    auto listings = [] {
        QStringList entries;
        Controller &ctrl = Controller::instance();
        return QVector<bool>{ctrl.list(QStringLiteral("/RPL/"), &entries), ctrl.list(QStringLiteral("/RPL/SUB/"), &entries),
                             ctrl.list(QStringLiteral("/"), &entries), ctrl.list(QStringLiteral("/xpl/"), &entries)};
    };
    QVector<bool> listed;
    if (::geteuid() != 0) {
        listed = listings();
    } else {
        // Permissions do not hold the superuser back: the listing runs as nobody.
        const pid_t child = ::fork();
        if (child == 0) {
            int code = 16;
            if (::setgid(65534) == 0 && ::setuid(65534) == 0) {
                const QVector<bool> got = listings();
                code = got[0] | got[1] << 1 | got[2] << 2 | got[3] << 3;
            }
            ::_exit(code);
        }
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) < 16);
        if (!(WEXITSTATUS(status) & 8))
            QSKIP("the temporary folder lies out of an unprivileged user's reach");
        for (int bit = 0; bit < 4; ++bit)
            listed << bool(WEXITSTATUS(status) & (1 << bit));
    }
    QFile::setPermissions(sub, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(listed, (QVector<bool>{false, false, false, true}));
}

void tst_ControllerStore::waitHoldsTheThreadOnLiveClock()
{
    Controller &ctrl = Controller::instance();
    ctrl.setLiveClock(true);
    bool clicked = false;
    QTimer::singleShot(0, [&clicked] { clicked = true; });
    ctrl.wait(50);
    QVERIFY(!clicked); // nothing ran in the middle of the command
    QTRY_VERIFY(ctrl.now() >= 50);
    ctrl.setLiveClock(false);
}

QTEST_MAIN(tst_ControllerStore)
#include "tst_controllerstore.moc"
