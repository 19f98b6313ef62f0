// Each page change of the screen on a controller holding 500, 5,000 and 50,000 programs in folders
// of up to 1,000, as an operator makes it: the key pressed, the module and the stand-ins under it
// (the controller's files on disk, the reservation service) all in the timing.

#include "benchmain.h"
#include "stepcost.h"

#include "chooser/fileedit.h"
#include "plugin/factories.h"

#include "calllog.h"
#include "modulescreen.h"
#include "msgboxsim.h"
#include "simcontroller.h"
#include "simenvironment.h"
#include "zuzerarovelibapi.h"
#include "zuzerarovesim.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QHeaderView>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTableWidget>
#include <QTimer>
#include <QTreeWidget>

#include <algorithm>
#include <functional>
#include <memory>
#include <utility>

namespace {

SimEnvironment &environment()
{
    static SimEnvironment *env = new SimEnvironment;
    return *env;
}

// The controller filled with programs, a "Binary" configuration using 15 of them, a map of 512
// (250 of 500 programs),
// four soft-PLCs; written once a size, since writing 50,000 files takes seconds.
void controllerWith(int programs)
{
    static int filled = -1;
    if (filled == programs)
        return;
    filled = programs;
    SimEnvironment &env = environment();
    env.clear();
    const int folders = qMax(1, programs / 1000);
    QStringList names;
    for (int f = 0; f < folders; ++f)
        for (int p = 0; p < programs / folders; ++p)
            names << QStringLiteral("LINE_%1/PROGRAM_%2.XPL").arg(f, 2, 10, QLatin1Char('0')).arg(p, 4, 10, QLatin1Char('0'));
    env.addPrograms(names);
    QStringList used;
    for (int r = 0; r < ZUZ_SLOT_COUNT; ++r)
        used << names[r * (names.size() / ZUZ_SLOT_COUNT)];
    env.writeReservationConfig(1, 1, used);
    // The map leaves programs of the first folder free for the picks.
    QByteArray map = "<ProgramMapping>";
    for (int i = 0; i < qMin(512, programs / 2); ++i)
        map += QStringLiteral("<Program num=\"%1\" name=\"/RPL/%2\"/>").arg(i + 1).arg(names[i % names.size()]).toUtf8();
    env.writeControllerFile(ctrlfiles::programMap, map + "</ProgramMapping>");
    QByteArray plcs = "<XplConfiguration><EnvironmentList>";
    QByteArray modes = "<SoftPlcConfig><PlcData>";
    for (int plc = 1; plc <= 4; ++plc) {
        plcs += QStringLiteral("<E><Name>softplc%1</Name></E>").arg(plc).toUtf8();
        modes += QStringLiteral("<PlcInfo id=\"%1\"><mode>0</mode><ProgName>/RPL/%2</ProgName></PlcInfo>")
                     .arg(plc)
                     .arg(names[plc])
                     .toUtf8();
    }
    env.writeControllerFile(ctrlfiles::environments, plcs + "</EnvironmentList></XplConfiguration>");
    env.writeControllerFile(ctrlfiles::softPlc, modes + "</PlcData></SoftPlcConfig>");
    sim::Reservation::instance().applyControllerConfig();
    sim::MsgBoxHooks::answerAll(1);
    sim::CallLog::instance().setEnabled(false);
}

// A screen opened and started as the panel does, outside the timing.
std::unique_ptr<ModuleScreen> startedScreen()
{
    auto screen = std::make_unique<ModuleScreen>(createZedOvedudData, createZedOvedudWidget);
    screen->waitStarted();
    return screen;
}

// The turn of the event loop after an input: the screen laid out and painted as the operator sees it.
void settle()
{
    QCoreApplication::processEvents();
}

// A key pressed, and the screen's answer to it painted.
void press(const ModuleScreen &screen, const char *name)
{
    QAbstractButton *key = screen.find<QAbstractButton>(QLatin1String(name));
    if (!key) {
        qFatal("no key %s", name);
        return;
    }
    key->click();
    settle();
}

// The program map reads its file 50 ms after the page is made.
void mapRead(const ModuleScreen &screen)
{
    QTableWidget *table = screen.find<QTableWidget>(QStringLiteral("tableWidget"));
    QElapsedTimer waited;
    waited.start();
    while (table->item(0, 1)->text().isEmpty() && waited.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
}

void deleteUntimed(StepCost &cost, std::unique_ptr<ModuleScreen> &screen)
{
    cost.pause();
    screen.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    cost.resume();
}

struct Road
{
    const char *forth;
    const char *back;
};
// 0 settings, 1 soft-PLC, 2 program map.
const Road roads[] = {{"settingButton", "returnButton"}, {"softPlcButton", "returnButton"}, {"prograMapBtn", "backBtn"}};

// A page's first visit: the page made, shown and painted; the map's table filled from its file,
// which the page reads 50 ms after it is made.
void BM_PageFirstVisit(benchmark::State &state)
{
    controllerWith(int(state.range(1)));
    const Road &road = roads[state.range(0)];
    StepCost cost(state, __func__, 2);
    for (auto _ : state) {
        cost.pause();
        std::unique_ptr<ModuleScreen> screen = startedScreen();
        cost.resume();
        press(*screen, road.forth);
        if (state.range(0) == 2)
            mapRead(*screen);
        deleteUntimed(cost, screen);
    }
    cost.report();
}

// A page shown again from the monitor, and the monitor shown again from it.
void BM_PageVisitAgain(benchmark::State &state)
{
    controllerWith(int(state.range(1)));
    const Road &road = roads[state.range(0)];
    std::unique_ptr<ModuleScreen> screen = startedScreen();
    press(*screen, road.forth);
    if (state.range(0) == 2)
        mapRead(*screen);
    press(*screen, road.back);
    StepCost cost(state, __func__, 2, 2);
    for (auto _ : state) {
        press(*screen, road.forth);
        press(*screen, road.back);
    }
    cost.report();
}

// The settings page's signal mode switched, alternately "Alone" and "Binary".
void BM_SettingsModeSwitch(benchmark::State &state)
{
    controllerWith(int(state.range(0)));
    std::unique_ptr<ModuleScreen> screen = startedScreen();
    press(*screen, "settingButton");
    QComboBox *mode = screen->find<QComboBox>(QStringLiteral("modeCB"));
    int next = 0;
    StepCost cost(state, __func__, 1);
    for (auto _ : state) {
        mode->setCurrentIndex(next);
        next = 1 - next;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        settle();
    }
    cost.report();
}

// The settings page shown again, the settings saved (the file sent to the controller, the
// service told) and the monitor shown again: the send must not make the controller list its
// programs again.
void BM_SettingsSavedThenMonitor(benchmark::State &state)
{
    controllerWith(int(state.range(0)));
    std::unique_ptr<ModuleScreen> screen = startedScreen();
    press(*screen, "settingButton");
    press(*screen, "returnButton");
    StepCost cost(state, __func__, 1, 3);
    for (auto _ : state) {
        press(*screen, "settingButton");
        press(*screen, "saveButton");
        press(*screen, "returnButton");
    }
    cost.report();
}

// The host's idle call on the monitor, a program running and the queue full, against the reads
// of the service one poll must make and nothing else.
void runningShift(const ModuleScreen &screen)
{
    press(screen, "runOrStopButton");
    for (int slot = 1; slot <= ZUZ_SLOT_COUNT; ++slot)
        press(screen, QStringLiteral("reserveBtn_%1").arg(slot).toLatin1().constData());
}

void BM_IdlePoll(benchmark::State &state)
{
    controllerWith(int(state.range(0)));
    std::unique_ptr<ModuleScreen> screen = startedScreen();
    runningShift(*screen);
    StepCost cost(state, __func__, 1);
    for (auto _ : state)
        screen->idle();
    cost.report();
    press(*screen, "runOrStopButton");
}

void BM_IdlePollBareReads(benchmark::State &state)
{
    controllerWith(int(state.range(0)));
    std::unique_ptr<ModuleScreen> screen = startedScreen();
    runningShift(*screen);
    ZuzEraroveLibApi *api = ZuzEraroveLibApi::getInstance();
    for (auto _ : state) {
        int sum = api->getResvRunningStatus() ? 1 : 0;
        for (int r = 0; r < ZUZ_SLOT_COUNT; ++r)
            sum += api->getResvStatus(r) + api->getProgramRunTotal(r) + api->getProgramQueue(r);
        benchmark::DoNotOptimize(sum);
    }
    press(*screen, "runOrStopButton");
}

FileEdit *chooser()
{
    for (QWidget *top : QApplication::topLevelWidgets())
        if (auto *dialog = qobject_cast<FileEdit *>(top))
            return dialog;
    return nullptr;
}

// The chooser builds a long tree in parts, a turn of the event loop each; waits for the last,
// and for the screen to be painted and laid out as it then stands.
void chooserBuilt(const FileEdit *dialog)
{
    const auto building = [dialog] {
        const QList<QTimer *> timers = dialog->findChildren<QTimer *>();
        return std::any_of(timers.cbegin(), timers.cend(), [](const QTimer *t) { return t->isActive(); });
    };
    while (building())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    settle();
}

// The chooser opened again from a name cell of the map: the controller's directory listed and
// the tree it built the first time shown.
void BM_ChooserFromMap(benchmark::State &state)
{
    controllerWith(int(state.range(0)));
    std::unique_ptr<ModuleScreen> screen = startedScreen();
    press(*screen, "prograMapBtn");
    mapRead(*screen);
    FileEdit *dialog = chooser();
    dialog->show();
    settle();
    dialog->hide();
    chooserBuilt(dialog);
    StepCost cost(state, __func__, 1);
    for (auto _ : state) {
        dialog->show();
        settle();
        cost.pause();
        dialog->hide();
        settle(); // the map painted again where the chooser was
        cost.resume();
    }
    cost.report();
}

// The stand-in alone: the simulated controller walks "/RPL/" after it was told the tree changed.
void BM_ControllerWalk(benchmark::State &state)
{
    controllerWith(int(state.range(0)));
    sim::Controller &ctrl = sim::Controller::instance();
    for (auto _ : state) {
        ctrl.treeChanged();
        QStringList entries;
        if (!ctrl.list(QStringLiteral("/RPL/"), &entries))
            state.SkipWithError("the listing failed");
    }
}

// Runs an action once, after the first paint a widget gets from now on.
class AfterPaint : public QObject
{
public:
    AfterPaint(QWidget *widget, std::function<void()> action) : m_action(std::move(action))
    {
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && m_action) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, this, std::exchange(m_action, {}));
        }
        return false;
    }

private:
    std::function<void()> m_action;
};

// A program picked for a name cell of the map, as the operator does: the cell tapped, the chooser
// listing "/RPL/" and painting its tree, its scroll bar dragged to the program, the program tapped
// and Select pressed, the cell showing the name. The program is one of two in the first folder,
// which the map leaves free. Gives the milliseconds from the tap to the chooser painted.
double pick(const ModuleScreen &screen, int programs, int which)
{
    const int row = 7;
    QTableWidget *table = screen.find<QTableWidget>(QStringLiteral("tableWidget"));
    FileEdit *dialog = chooser();
    QTreeWidget *tree = dialog ? dialog->findChild<QTreeWidget *>(QStringLiteral("rplRemoteFiles")) : nullptr;
    if (!tree)
        qFatal("the map has no chooser");
    const int number = (programs >= 1000 ? 900 : 400) + which % 2;
    const QString program = QStringLiteral("PROGRAM_%1.XPL").arg(number, 4, 10, QLatin1Char('0'));
    QElapsedTimer tapped;
    double shownMs = 0;
    const AfterPaint painted(tree->viewport(), [&] {
        shownMs = tapped.nsecsElapsed() / 1e6;
        // Below "Unselected!" and the first folder, the folder's programs in the order of their numbers.
        tree->verticalScrollBar()->setValue(2 + number);
        QTreeWidgetItem *item = tree->itemAt(tree->header()->sectionSize(0) - 4, 2);
        if (!item || item->text(0) != program)
            qFatal("the chooser shows no %s at the top", qPrintable(program));
        const QPoint at = tree->visualItemRect(item).center();
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent tap(type, at, tree->viewport()->mapToGlobal(at), Qt::LeftButton,
                            type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
            QCoreApplication::sendEvent(tree->viewport(), &tap);
        }
        dialog->findChild<QAbstractButton *>(QStringLiteral("btnSelect"))->click();
    });
    tapped.start();
    emit table->cellClicked(row, 1);
    while (!table->item(row, 1)->text().endsWith(program))
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    return shownMs;
}

// The longest turn of the event loop in the next ms milliseconds: how late the screen may answer
// while the module goes on with work it does in parts.
double longestTurn(int ms)
{
    QElapsedTimer window;
    window.start();
    double longest = 0;
    while (window.elapsed() < ms) {
        QElapsedTimer turn;
        turn.start();
        QCoreApplication::processEvents();
        longest = std::max(longest, turn.nsecsElapsed() / 1e6);
    }
    return longest;
}

// The first pick on a screen: the chooser lists "/RPL/" and builds its tree, the first part before
// it paints; the turns that build the rest come after the pick, outside the timing.
void BM_ChooserFirstPick(benchmark::State &state)
{
    controllerWith(int(state.range(0)));
    StepCost cost(state, __func__, 1);
    double shownMs = 0;
    double longestMs = 0;
    for (auto _ : state) {
        cost.pause();
        std::unique_ptr<ModuleScreen> screen = startedScreen();
        press(*screen, "prograMapBtn");
        mapRead(*screen);
        press(*screen, "saveButton"); // into editing
        cost.resume();
        shownMs += pick(*screen, int(state.range(0)), 0);
        cost.pause();
        longestMs = std::max(longestMs, longestTurn(300));
        cost.resume();
        deleteUntimed(cost, screen);
    }
    cost.report();
    state.counters["shown_ms"] = benchmark::Counter(shownMs, benchmark::Counter::kAvgIterations);
    state.counters["longest_turn_after_ms"] = longestMs;
}

// The later picks, after a first one and the tree built whole: the listing unchanged, the
// chooser shows the tree it has.
void BM_ChooserLaterPick(benchmark::State &state)
{
    controllerWith(int(state.range(0)));
    std::unique_ptr<ModuleScreen> screen = startedScreen();
    press(*screen, "prograMapBtn");
    mapRead(*screen);
    press(*screen, "saveButton");
    int which = 0;
    pick(*screen, int(state.range(0)), ++which);
    chooserBuilt(chooser());
    StepCost cost(state, __func__, 1);
    double shownMs = 0;
    for (auto _ : state)
        shownMs += pick(*screen, int(state.range(0)), ++which);
    cost.report();
    state.counters["shown_ms"] = benchmark::Counter(shownMs, benchmark::Counter::kAvgIterations);
}

// Waits until the monitor's long names have moved on by one character, which they do each half
// second by the clock; a second at most, should they be short.
void namesMoved(const ModuleScreen &screen)
{
    const QTableWidgetItem *name = screen.find<QTableWidget>(QStringLiteral("zuzeraroveMonitoeTW"))->item(0, 1);
    const QString before = name->text();
    QElapsedTimer waited;
    waited.start();
    while (name->text() == before && waited.elapsed() < 1000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    settle();
}

// The reservation started and stopped by its key, which stays disabled for the 100 ms of each press.
// The presses come right after the names have moved, so that their 200 ms hold none of the
// monitor's moves, which come by the clock.
void BM_StartAndStop(benchmark::State &state)
{
    controllerWith(int(state.range(0)));
    std::unique_ptr<ModuleScreen> screen = startedScreen();
    auto *key = screen->find<QAbstractButton>(QStringLiteral("runOrStopButton"));
    StepCost cost(state, __func__, 1, 2);
    for (auto _ : state) {
        cost.pause();
        namesMoved(*screen);
        cost.resume();
        // The press returns once the key is enabled again.
        key->click();
        settle();
        key->click();
        settle();
    }
    cost.report();
}

// A slot reserved and its reservation cancelled on a started reservation.
void BM_ReserveAndCancel(benchmark::State &state)
{
    controllerWith(int(state.range(0)));
    std::unique_ptr<ModuleScreen> screen = startedScreen();
    press(*screen, "runOrStopButton");
    StepCost cost(state, __func__, 1, 2);
    for (auto _ : state) {
        press(*screen, "reserveBtn_3");
        press(*screen, "cancelBtn_3");
    }
    cost.report();
    press(*screen, "runOrStopButton");
}

void pageArgs(benchmark::internal::Benchmark *b)
{
    for (int page = 0; page < 3; ++page)
        for (int programs : {500, 5000, 50000})
            b->Args({page, programs});
    b->ArgNames({"page", "programs"})->Unit(benchmark::kMillisecond);
}

// Each first visit waits for a screen's start-up, 300 ms after it opens.
BENCHMARK(BM_PageFirstVisit)->Apply(pageArgs)->Iterations(10)->Apply(counted);
BENCHMARK(BM_PageVisitAgain)->Apply(pageArgs)->Apply(counted);
BENCHMARK(BM_SettingsModeSwitch)->Arg(500)->Arg(5000)->Arg(50000)->ArgName("programs")->Unit(benchmark::kMillisecond)->Apply(counted);
BENCHMARK(BM_SettingsSavedThenMonitor)->Arg(500)->Arg(5000)->Arg(50000)->ArgName("programs")->Unit(benchmark::kMillisecond)->Apply(counted);
BENCHMARK(BM_IdlePoll)->Arg(500)->Arg(5000)->Arg(50000)->ArgName("programs")->Apply(counted);
BENCHMARK(BM_IdlePollBareReads)->Arg(500)->Arg(5000)->Arg(50000)->ArgName("programs");
BENCHMARK(BM_ChooserFromMap)->Arg(500)->Arg(5000)->Arg(50000)->ArgName("programs")->Unit(benchmark::kMillisecond)->Apply(counted);
BENCHMARK(BM_ControllerWalk)->Arg(500)->Arg(5000)->Arg(50000)->ArgName("programs")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChooserFirstPick)->Arg(500)->Arg(5000)->Arg(50000)->ArgName("programs")->Unit(benchmark::kMillisecond)->Iterations(5)->Apply(counted);
BENCHMARK(BM_ChooserLaterPick)->Arg(500)->Arg(5000)->Arg(50000)->ArgName("programs")->Unit(benchmark::kMillisecond)->Apply(counted);
BENCHMARK(BM_StartAndStop)->Arg(500)->Arg(5000)->Arg(50000)->ArgName("programs")->Unit(benchmark::kMillisecond)->Apply(counted);
BENCHMARK(BM_ReserveAndCancel)->Arg(500)->Arg(5000)->Arg(50000)->ArgName("programs")->Unit(benchmark::kMillisecond)->Apply(counted);

} // namespace

WIDGET_BENCHMARK_MAIN()
