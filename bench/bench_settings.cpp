// The settings page's table with 500, 2,000 and 5,000 programs in every combo box.

#include "benchmain.h"

#include "settings/zuzerarovesetting.h"

#include "msgboxsim.h"
#include "simcontroller.h"
#include "simenvironment.h"
#include "zuzerarovelibapi.h"
#include "zuzerarovesim.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>

namespace {

// programs offered by the service (set on it directly, so the figures are the page's own and
// not the directory listing's) and a "Binary" record using ten of them.
void prepare(int programs)
{
    QStringList names;
    for (int i = 1; i <= programs; ++i)
        names << QStringLiteral("CELL_%1/PROGRAM_%2.XPL").arg(i % 20).arg(i, 3, 10, QLatin1Char('0'));
    sim::Reservation::instance().setProgramNames(names);
    ZuzEraroveLibApi *api = ZuzEraroveLibApi::getInstance();
    api->resvData.signalMode = 1;
    for (int r = 0; r < 10; ++r)
        api->resvData.rplNames[r] = names[r * 37];
    api->resvDataSaved = api->resvData;
    sim::MsgBoxHooks::answerAll(1);
    sim::CallLog::instance().setEnabled(false);
}

// The page built for 15 rows: what the page stack does on the first visit.
void BM_SettingsBuild15Rows(benchmark::State &state)
{
    SimEnvironment env;
    prepare(int(state.range(0)));
    for (auto _ : state) {
        auto *page = new ZuzEraroveSetting(nullptr);
        benchmark::DoNotOptimize(page);
        state.PauseTiming();
        delete page;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_SettingsBuild15Rows)->Arg(500)->Arg(2000)->Arg(5000)->Arg(50000)->Complexity()->Unit(benchmark::kMillisecond);

// One mode switch, alternately "Alone" (4 rows) and "Binary" (15 rows), with the old rows
// deleted within the step.
void BM_SettingsModeSwitch(benchmark::State &state)
{
    SimEnvironment env;
    prepare(int(state.range(0)));
    ZuzEraroveSetting page(nullptr);
    page.resize(1024, 688);
    page.show();
    auto *mode = page.findChild<QComboBox *>(QStringLiteral("modeCB"));
    int next = 0;
    for (auto _ : state) {
        mode->setCurrentIndex(next);
        next = 1 - next;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_SettingsModeSwitch)->Arg(500)->Arg(2000)->Arg(5000)->Arg(50000)->Complexity()->Unit(benchmark::kMillisecond);

} // namespace

WIDGET_BENCHMARK_MAIN()
