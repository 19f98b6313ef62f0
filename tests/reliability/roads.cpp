#include "roads.h"

#include "factories.h"

#include "msgboxsim.h"
#include "simcontroller.h"
#include "zuzerarovesim.h"

#include <QComboBox>
#include <QFile>
#include <QFrame>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

RoadRunner::RoadRunner() : f(createZedOvedudData, createZedOvedudWidget)
{
}

void RoadRunner::setUp()
{
    f.setUp();
    f.env().writeReservationConfig(1, 2, {QStringLiteral("A.XPL"), QStringLiteral("B.XPL"), QString(),
                                          QStringLiteral("SUB/D.XPL")});
    sim::Reservation::instance().applyControllerConfig();
    f.env().writeControllerFile(ctrlfiles::softPlc, roadpaths::plcFile);
    f.env().writeControllerFile(ctrlfiles::programMap,
                                "<ProgramMapping><Program num=\"1\" name=\"/RPL/A.XPL\"/></ProgramMapping>");
    f.env().writeControllerFile(ctrlfiles::environments,
                                "<XplConfiguration><EnvironmentList><E><Name>softplc1</Name></E>"
                                "<E><Name>softplc2</Name></E></EnvironmentList></XplConfiguration>");
}

void RoadTest::walk_data()
{
    QTest::addColumn<const Road *>("road");
    for (int i = 0; i < m_count; ++i)
        QTest::newRow(m_roads[i].name) << &m_roads[i];
}

void RoadTest::walk()
{
    QFETCH(const Road *, road);
    m_runner.walk(*road);
}

void RoadRunner::walk(const Road &road)
{
    if (road.before)
        road.before(*this);
    QVERIFY(f.open());
    const QMap<QString, QByteArray> before = f.env().snapshot();
    sim::CallLog::instance().clear();
    if (road.run)
        road.run(*this);
    if (QTest::currentTestFailed())
        return;
    QStringList expected = road.boxes;
    expected.replaceInStrings(QStringLiteral("%L"), f.env().localDir());
    QCOMPARE(boxTexts().join(QLatin1Char('|')), expected.join(QLatin1Char('|')));
    for (const sim::MsgBoxRecord &box : sim::MsgBoxHooks::records())
        if (box.text.startsWith(QLatin1String("Failed")))
            QCOMPARE(box.kind, 2);

    const QMap<QString, QByteArray> after = f.env().snapshot();
    auto mayChange = [&road](const QString &path) {
        for (const QString &allowed : road.mayChange)
            if (path == allowed || path.startsWith(allowed.endsWith(QLatin1Char('/')) ? allowed : allowed + QLatin1Char('/')))
                return true;
        return false;
    };
    QStringList paths = before.keys() + after.keys();
    paths.removeDuplicates();
    for (const QString &path : qAsConst(paths))
        if (!mayChange(path))
            QVERIFY2(before.value(path) == after.value(path) && before.contains(path) == after.contains(path),
                     qPrintable(path));
    if (road.verify)
        road.verify(*this);
}

QComboBox *RoadRunner::combo(const char *name) const
{
    return f.find<QComboBox>(QString::fromLatin1(name));
}

void RoadRunner::openMap()
{
    click("prograMapBtn");
    QVERIFY(QTest::qWaitFor([this] { return !calls({"readPrograMapFile", "MsgBox"}).isEmpty(); }, 5000));
}

void RoadRunner::editMap()
{
    openMap();
    click("saveButton");
}

void RoadRunner::closeScreenAt(const QString &text)
{
    sim::MsgBoxHooks::setResponder([this, text](const sim::MsgBoxRecord &box) {
        if (box.text.startsWith(text))
            f.closeScreen();
        return 1;
    });
}

QByteArray RoadRunner::local(const QString &name) const
{
    QFile file(f.env().localDir() + QLatin1Char('/') + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void RoadRunner::link(const QString &at, const QString &to)
{
    QVERIFY(QFile::link(to, at));
}

void RoadRunner::write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

QStringList RoadRunner::calls(const QStringList &names) const
{
    return sim::CallLog::instance().entriesOf(names);
}

bool RoadRunner::rowVisible(const char *frame) const
{
    auto *row = f.find<QFrame>(QString::fromLatin1(frame));
    return row && !row->isHidden();
}

void withFileSizeLimit(qint64 bytes, const std::function<void()> &run)
{
    rlimit old;
    getrlimit(RLIMIT_FSIZE, &old);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = old;
    limited.rlim_cur = rlim_t(bytes);
    setrlimit(RLIMIT_FSIZE, &limited);
    run();
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
}
