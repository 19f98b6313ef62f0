#pragma once

#include "modulefixture.h"

#include <QApplication>
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <QtTest>

#include <functional>
#include <iterator>

class QComboBox;
class RoadRunner;

// One road through the screen: what is set up before the screen opens, what the operator and
// the cell do, the texts of every box shown (the start-up's too; "%L" stands for the panel's
// local directory), the files that may change (paths below the temporary directory, or their
// beginnings), and what holds afterwards. Every other file of both trees, and of a folder beside
// them, must stay byte for byte as it was.
struct Road
{
    const char *name;
    std::function<void(RoadRunner &)> before;
    std::function<void(RoadRunner &)> run;
    QStringList boxes;
    QStringList mayChange;
    std::function<void(RoadRunner &)> verify;
};
Q_DECLARE_METATYPE(const Road *)

// Where roads run: a controller with a configuration in Binary mode (protocol 2, A.XPL, B.XPL,
// an empty slot, SUB/D.XPL), two soft-PLCs, a soft-PLC file and a one-entry program map.
class RoadRunner
{
public:
    RoadRunner();
    void setUp();
    bool tearDown() { return f.tearDown(); }
    void walk(const Road &road);

    void click(const char *name) { f.click(QString::fromLatin1(name)); }
    QComboBox *combo(const char *name) const;
    void idle() { f.screen()->idle(); }
    // The program map page, loaded; then in edit mode.
    void openMap();
    void editMap();
    // The panel closes the screen while the box with this text is open; the operator then
    // confirms it.
    void closeScreenAt(const QString &text);
    QByteArray ctrl(const QString &path) const { return f.env().controllerFile(path); }
    QByteArray local(const QString &name) const;
    void link(const QString &at, const QString &to);
    void write(const QString &path, const QByteArray &bytes);
    QStringList calls(const QStringList &names) const;
    bool rowVisible(const char *frame) const;

    ModuleFixture f;
};

namespace roadpaths {
// The controller's files, as the roads name them.
inline const QString &config = ctrlfiles::config;
inline const QString &plcConfig = ctrlfiles::softPlc;
inline const QString &map = ctrlfiles::programMap;
// Paths below the temporary directory, for mayChange.
inline const QString ctrlDir = QStringLiteral("controller/application/zuzerarove/");
inline const QString localDir = QStringLiteral("panel/Application/zuzerarove/");
// The chooser's local program folder, made when the program map page is built.
inline const QString flash = QStringLiteral("panel/flash1");
// The controller's soft-PLC file where roads start.
inline const QByteArray plcFile = "<SoftPlcConfig><PlcData><PlcInfo id=\"1\"><mode>1</mode><ProgName>/RPL/B.XPL"
                                  "</ProgName></PlcInfo><PlcInfo id=\"2\"><mode>0</mode><ProgName>/RPL/</ProgName>"
                                  "</PlcInfo></PlcData></SoftPlcConfig>";
} // namespace roadpaths

// The roads of a table as one test, a row a road, each on a freshly emptied panel and controller.
class RoadTest : public QObject
{
    Q_OBJECT
public:
    RoadTest(const Road *roads, int count) : m_roads(roads), m_count(count) {}

private slots:
    void init() { m_runner.setUp(); }
    void cleanup() { QVERIFY(m_runner.tearDown()); }
    void walk_data();
    void walk();

private:
    const Road *m_roads;
    int m_count;
    RoadRunner m_runner;
};

// The test program of a table of roads, as QTEST_MAIN makes one.
#define ROAD_TEST_MAIN(table)                                                                      \
    int main(int argc, char **argv)                                                                \
    {                                                                                              \
        QApplication app(argc, argv);                                                              \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                   \
        RoadTest test(table, int(std::size(table)));                                               \
        return QTest::qExec(&test, argc, argv);                                                    \
    }

// Runs the operator's presses while a file of the panel can grow to only this many bytes, as on
// a full disk.
void withFileSizeLimit(qint64 bytes, const std::function<void()> &run);
