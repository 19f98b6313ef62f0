// The program chooser on a large listing and the program map table on a full map.

#include "benchmain.h"

#include "plugin/factories.h"
#include "chooser/fileedit.h"

#include "modulescreen.h"
#include "msgboxsim.h"
#include "simcontroller.h"
#include "simenvironment.h"

#include <QCoreApplication>
#include <QPushButton>

#include <memory>

namespace {

// One panel and controller for the whole run: the module computes its paths once.
SimEnvironment &environment()
{
    static SimEnvironment *env = new SimEnvironment;
    return *env;
}

// count entries across directories of 25 entries, as the controller lists them: each directory's own
// entry and 24 programs in it, unsorted and partly in lower case.
QStringList bigListing(int count)
{
    QStringList entries;
    for (int d = 0; d < count / 25; ++d) {
        const QString dir = QStringLiteral("/RPL/%1_%2/").arg(d % 2 ? QStringLiteral("cell") : QStringLiteral("LINE")).arg(d);
        entries << dir;
        for (int p = 0; p < 24; ++p)
            entries << QStringLiteral("%1PROGRAM_%2.XPL,%3,2026-12-05 10:00:00").arg(dir).arg(p).arg(100 + p);
    }
    std::reverse(entries.begin(), entries.end());
    return entries;
}

// Showing the chooser: it lists "/RPL/" and builds its tree.
void BM_ChooserOpen(benchmark::State &state)
{
    environment();
    sim::Controller::instance().setListing(QStringLiteral("/RPL/"), bigListing(int(state.range(0))));
    sim::CallLog::instance().setEnabled(false);
    FileEdit chooser;
    for (auto _ : state) {
        chooser.show();
        state.PauseTiming();
        chooser.hide();
        state.ResumeTiming();
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ChooserOpen)->Arg(5000)->Arg(20000)->Arg(50000)->Complexity()->Unit(benchmark::kMillisecond);

// The first show of a chooser: it lists "/RPL/" and builds the first part of its tree.
void BM_ChooserFirstOpen(benchmark::State &state)
{
    environment();
    sim::Controller::instance().setListing(QStringLiteral("/RPL/"), bigListing(int(state.range(0))));
    sim::CallLog::instance().setEnabled(false);
    for (auto _ : state) {
        state.PauseTiming();
        auto chooser = std::make_unique<FileEdit>();
        state.ResumeTiming();
        chooser->show();
        state.PauseTiming();
        chooser.reset();
        state.ResumeTiming();
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ChooserFirstOpen)->Arg(5000)->Arg(20000)->Arg(50000)->Complexity()->Unit(benchmark::kMillisecond);

// Showing the chooser after a program was added to the directory since it was last shown.
void BM_ChooserOpenChanged(benchmark::State &state)
{
    environment();
    const QStringList listing = bigListing(int(state.range(0)));
    sim::CallLog::instance().setEnabled(false);
    FileEdit chooser;
    int added = 0;
    for (auto _ : state) {
        state.PauseTiming();
        sim::Controller::instance().setListing(QStringLiteral("/RPL/"),
            listing + QStringList(QStringLiteral("/RPL/NEW_%1.XPL,1,2026-12-06 08:00:00").arg(++added)));
        state.ResumeTiming();
        chooser.show();
        state.PauseTiming();
        chooser.hide();
        state.ResumeTiming();
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ChooserOpenChanged)->Arg(5000)->Arg(20000)->Arg(50000)->Complexity()->Unit(benchmark::kMillisecond);

// Fetching, reading and showing a map with all 512 numbers in use (the page's Reset).
void BM_MapTableFill512(benchmark::State &state)
{
    SimEnvironment &env = environment();
    env.clear();
    QByteArray xml = "<ProgramMapping>\n";
    for (int n = 1; n <= 512; ++n)
        xml += QStringLiteral("<Program num=\"%1\" name=\"/RPL/CELL_%2/PROGRAM_%1.XPL\"/>\n").arg(n).arg(n % 20).toUtf8();
    env.writeControllerFile(QStringLiteral("/application/zuzerarove/programMapping.xml"), xml + "</ProgramMapping>\n");
    env.writeReservationConfig(0, 0, {});
    sim::MsgBoxHooks::answerAll(1);
    ModuleScreen screen(createZedOvedudData, createZedOvedudWidget);
    screen.waitStarted();
    screen.find<QPushButton>(QStringLiteral("prograMapBtn"))->click();
    QObject *page = screen.find<QWidget>(QStringLiteral("prograMapWidget"));
    sim::CallLog::instance().setEnabled(false);
    for (auto _ : state)
        QMetaObject::invokeMethod(page, "refreshUi");
    if (!sim::MsgBoxHooks::records().isEmpty())
        state.SkipWithError(qPrintable(sim::MsgBoxHooks::records().last().text));
}
BENCHMARK(BM_MapTableFill512)->Unit(benchmark::kMillisecond);

} // namespace

WIDGET_BENCHMARK_MAIN()
