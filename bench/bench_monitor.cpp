// The monitor page's idle poll and table build.

#include "benchmain.h"

#include "plugin/factories.h"
#include "monitor/zuzerarovemainpage.h"

#include "modulescreen.h"
#include "msgboxsim.h"
#include "simcontroller.h"
#include "simenvironment.h"
#include "zuzerarovelibapi.h"
#include "zuzerarovesim.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPushButton>

namespace {

// One module screen on a controller with ten programs assigned to slots 1 to 10 in "Binary"
// mode (15 rows); slots 11 to 15 have none. The call log is off, as on a panel.
struct Fixture
{
    SimEnvironment env;
    QScopedPointer<ModuleScreen> screen;
    ZuzEraroveMainPage *page = nullptr;

    Fixture()
    {
        QStringList names;
        for (int i = 1; i <= 10; ++i)
            names << QStringLiteral("PROGRAM_%1.XPL").arg(i);
        env.addPrograms(names);
        env.writeReservationConfig(1, 0, names);
        sim::MsgBoxHooks::answerAll(1);
        screen.reset(new ModuleScreen(createZedOvedudData, createZedOvedudWidget));
        screen->waitStarted();
        sim::CallLog::instance().setEnabled(false);
        page = screen->widget()->findChild<ZuzEraroveMainPage *>();
        screen->idle();
    }
};

Fixture &fixture()
{
    static Fixture *f = new Fixture; // lives until the process ends, like a panel screen
    return *f;
}

// The reads one poll makes of the service, and nothing else.
void BM_PollBaseline(benchmark::State &state)
{
    fixture();
    ZuzEraroveLibApi *api = ZuzEraroveLibApi::getInstance();
    for (auto _ : state) {
        int sum = api->getResvRunningStatus() ? 1 : 0;
        for (int r = 0; r < ZUZ_SLOT_COUNT; ++r) {
            sum += api->getResvStatus(r);
            sum += api->resvData.rplNames[r].isEmpty() ? 1 : 0;
        }
        for (int r = 0; r < ZUZ_SLOT_COUNT; ++r)
            sum += api->getProgramRunTotal(r);
        for (int i = 0; i < ZUZ_SLOT_COUNT; ++i)
            sum += api->getProgramQueue(i);
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_PollBaseline);

// The host's idle call when nothing changed.
void BM_PollSteadyState(benchmark::State &state)
{
    Fixture &f = fixture();
    f.screen->idle();
    for (auto _ : state)
        f.screen->idle();
}
BENCHMARK(BM_PollSteadyState);

// The host's idle call when every status, total and queue position changed since the last one.
void BM_PollAllChanged(benchmark::State &state)
{
    Fixture &f = fixture();
    sim::Reservation &resv = sim::Reservation::instance();
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ++round;
        QList<int> queue;
        for (int r = 0; r < ZUZ_SLOT_COUNT; ++r) {
            resv.setStatus(r, (r + round) % 3);
            resv.setTotal(r, round * 16 + r);
            queue << (r + round) % ZUZ_SLOT_COUNT;
        }
        resv.setQueue(queue);
        state.ResumeTiming();
        f.screen->idle();
    }
}
BENCHMARK(BM_PollAllChanged);

// Rebuilding the 15-row table and filling in its configuration, as when the page is shown
// with a changed configuration; the replaced rows' widgets are deleted within the step.
void BM_InitTableAndUpdateConfigView(benchmark::State &state)
{
    Fixture &f = fixture();
    const ZuzEraroveData config = ZuzEraroveLibApi::getInstance()->resvData;
    for (auto _ : state) {
        f.page->initTable(config);
        f.page->updateConfigView(config);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}
BENCHMARK(BM_InitTableAndUpdateConfigView)->Unit(benchmark::kMillisecond);

// One press of Start or Stop, the 100 ms during which the key stays disabled included: the CPU
// time column tells how much of a core that wait takes.
void BM_StartStopPress(benchmark::State &state)
{
    Fixture &f = fixture();
    QPushButton *key = f.screen->widget()->findChild<QPushButton *>(QStringLiteral("runOrStopButton"));
    for (auto _ : state) {
        key->click();
        state.PauseTiming();
        f.screen->idle();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartStopPress)->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace

WIDGET_BENCHMARK_MAIN()
