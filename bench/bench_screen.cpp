// Opening the screen as the panel does, on a controller holding the sample's programs and map
// 10 to 10,000 times over (50 to 50,000 programs): the data object and the widget made, the first
// show and idle call, and the monitor's start-up that follows 300 ms later.

#include "benchmain.h"

#include "plugin/factories.h"
#include "monitor/zuzerarovemainpage.h"

#include "modulescreen.h"
#include "msgboxsim.h"
#include "simcontroller.h"
#include "simenvironment.h"
#include "zuzerarovesim.h"

#include <QCoreApplication>
#include <QEvent>

namespace {

SimEnvironment &environment()
{
    static SimEnvironment *env = new SimEnvironment;
    return *env;
}

// The sample's five programs and three map entries, times over, each copy in a folder of its
// own; the configuration in "Binary" mode with programs from the copies.
void sampleTimes(int times)
{
    SimEnvironment &env = environment();
    env.clear();
    const QStringList sample{QStringLiteral("MAIN.XPL"), QStringLiteral("WELD_SEAM_A.XPL"),
                             QStringLiteral("PICK_AND_PLACE_STATION_2.XPL"), QStringLiteral("PALLET/LAYER1.XPL"),
                             QStringLiteral("PALLET/LAYER2.XPL")};
    QStringList programs;
    for (int copy = 0; copy < times; ++copy)
        for (const QString &name : sample)
            programs << QStringLiteral("COPY_%1/%2").arg(copy).arg(name);
    env.addPrograms(programs);
    env.writeReservationConfig(1, 1, programs.mid(0, ZUZ_SLOT_COUNT));
    QByteArray map = "<ProgramMapping>";
    for (int i = 0; i < qMin(512, 3 * times); ++i)
        map += QStringLiteral("<Program num=\"%1\" name=\"/RPL/%2\"/>").arg(i + 1).arg(programs[i]).toUtf8();
    env.writeControllerFile(QStringLiteral("/application/zuzerarove/programMapping.xml"), map + "</ProgramMapping>");
    sim::Reservation::instance().applyControllerConfig();
    // The controller's file service has listed its programs once it runs.
    sim::Reservation::instance().programNames();
    sim::MsgBoxHooks::answerAll(1);
    sim::CallLog::instance().setEnabled(false);
}

// The screen closed outside the timing, its widgets deleted with it.
void closeUntimed(benchmark::State &state, ModuleScreen *screen)
{
    state.PauseTiming();
    delete screen;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    state.ResumeTiming();
}

// The data object, the widget on it, its first show and the first idle call.
void BM_ScreenOpens(benchmark::State &state)
{
    sampleTimes(int(state.range(0)));
    for (auto _ : state) {
        auto *screen = new ModuleScreen(createZedOvedudData, createZedOvedudWidget);
        screen->idle();
        closeUntimed(state, screen);
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ScreenOpens)->Arg(10)->Arg(100)->Arg(1000)->Arg(10000)->Complexity()->Unit(benchmark::kMillisecond);

// The monitor's start-up: the configuration fetched and read, the table built and filled.
void BM_MonitorStartUp(benchmark::State &state)
{
    sampleTimes(int(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        auto *screen = new ModuleScreen(createZedOvedudData, createZedOvedudWidget);
        auto *monitor = screen->widget()->findChild<ZuzEraroveMainPage *>();
        state.ResumeTiming();
        QMetaObject::invokeMethod(monitor, "initTimerSlot");
        screen->idle();
        closeUntimed(state, screen);
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_MonitorStartUp)->Arg(10)->Arg(100)->Arg(1000)->Arg(10000)->Complexity()->Unit(benchmark::kMillisecond);

} // namespace

WIDGET_BENCHMARK_MAIN()
