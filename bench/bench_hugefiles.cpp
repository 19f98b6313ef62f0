// How long one step of the user-interface thread takes when a file on the controller holds a
// program name of up to most of a megabyte (larger files are refused unread): opening the
// monitor, one scrolling step with its painting, building the settings page, and loading and
// painting the program map. Every one of them must stay well below 100 ms.

#include "benchmain.h"

#include "programmap/programapwidget.h"
#include "monitor/zuzerarovemainpage.h"
#include "settings/zuzerarovesetting.h"

#include "msgboxsim.h"
#include "simcontroller.h"
#include "simenvironment.h"
#include "zuzerarovelibapi.h"

#include <QCoreApplication>
#include <QEvent>

namespace {

SimEnvironment &environment()
{
    static SimEnvironment *env = [] {
        auto *e = new SimEnvironment;
        e->addPrograms({QStringLiteral("A.XPL")});
        sim::MsgBoxHooks::answerAll(1);
        sim::CallLog::instance().setEnabled(false);
        return e;
    }();
    return *env;
}

QString hugeName(benchmark::State &state)
{
    return QString(int(state.range(0)), QLatin1Char('N'));
}

void putConfig(benchmark::State &state)
{
    environment().writeReservationConfig(1, 0, {QStringLiteral("A.XPL"), hugeName(state)});
}

void BM_MonitorOpens(benchmark::State &state)
{
    putConfig(state);
    ZuzEraroveMainPage page(nullptr);
    page.show();
    for (auto _ : state) {
        benchmark::DoNotOptimize(page.loadConfigFromCtrl());
        page.updateConfigView(ZuzEraroveLibApi::getInstance()->resvData);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}
BENCHMARK(BM_MonitorOpens)->Arg(256)->Arg(100000)->Arg(900000)->Unit(benchmark::kMillisecond);

void BM_MonitorScrollStep(benchmark::State &state)
{
    putConfig(state);
    ZuzEraroveMainPage page(nullptr);
    page.show();
    if (page.loadConfigFromCtrl() != Outcome::Done)
        state.SkipWithError("the configuration was not read");
    page.updateConfigView(ZuzEraroveLibApi::getInstance()->resvData);
    for (auto _ : state) {
        QMetaObject::invokeMethod(&page, "onRollText");
        benchmark::DoNotOptimize(page.grab());
    }
}
BENCHMARK(BM_MonitorScrollStep)->Arg(256)->Arg(100000)->Arg(900000)->Unit(benchmark::kMillisecond);

void BM_SettingsPageBuilt(benchmark::State &state)
{
    ZuzEraroveLibApi::getInstance()->resvData.rplNames[1] = hugeName(state);
    for (auto _ : state) {
        {
            ZuzEraroveSetting page(nullptr);
            page.show();
            benchmark::DoNotOptimize(page.grab());
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}
BENCHMARK(BM_SettingsPageBuilt)->Arg(256)->Arg(100000)->Arg(900000)->Unit(benchmark::kMillisecond);

void BM_ProgramMapLoaded(benchmark::State &state)
{
    environment().writeControllerFile(QStringLiteral("/application/zuzerarove/programMapping.xml"),
                                      "<ProgramMapping><Program num=\"1\" name=\"" + hugeName(state).toUtf8()
                                          + "\"/></ProgramMapping>");
    prograMapWidget page(nullptr);
    page.show();
    for (auto _ : state) {
        QMetaObject::invokeMethod(&page, "refreshUi");
        benchmark::DoNotOptimize(page.grab());
    }
}
BENCHMARK(BM_ProgramMapLoaded)->Arg(256)->Arg(100000)->Arg(900000)->Unit(benchmark::kMillisecond);

} // namespace

WIDGET_BENCHMARK_MAIN()
