// The virtual panel: runs a screen module on a PC over the simulated controller.

#include "moduleloader.h"
#include "panelwindow.h"
#include "scenario.h"
#include "scenariorunner.h"
#include "tour.h"

#include "basezedoveduddata.h"
#include "desktopsim.h"
#include "rtmbasewidget.h"
#include "rtmcoresim.h"
#include "simcontroller.h"
#include "zuzerarovesim.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QTemporaryDir>
#include <QTranslator>
#include <QTimer>

#include <cstdio>

namespace {

// What the command line asks for.
struct Options
{
    QString module;
    bool moduleGiven = false;
    QString panelRoot;
    QString controllerRoot;
    int idleMs = 20;
    int quitAfterMs = -1;
    QString tourDir;
    qint64 runTimeMs = 30000;
    double speed = 1;
    double tourPace = 1;
    QString language;
    bool simulator = true;
    QStringList scenarios;
    QString report;
    QString screenshots;
};

// A root from its option, else from the environment, else beside the working directory.
QString rootFrom(const QString &given, const char *env, const char *fallback)
{
    QString dir = given;
    if (dir.isEmpty())
        dir = qEnvironmentVariable(env);
    if (dir.isEmpty())
        dir = QDir::current().filePath(QString::fromLatin1(fallback));
    return QDir(dir).absolutePath();
}

Options parseOptions(const QApplication &app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Runs a panel screen module on the simulated robot controller."));
    parser.addHelpOption();
    const QCommandLineOption moduleOpt(QStringLiteral("module"),
        QStringLiteral("The module library to load."), QStringLiteral("path"),
        QStringLiteral(VIRTUAL_PANEL_DEFAULT_MODULE));
    const QCommandLineOption panelOpt(QStringLiteral("panel-root"),
        QStringLiteral("The panel's file tree (default: $RTM_PANEL_ROOT, else ./panel)."), QStringLiteral("dir"));
    const QCommandLineOption ctrlOpt(QStringLiteral("controller-root"),
        QStringLiteral("The controller's file store (default: $RTM_CONTROLLER_ROOT, else ./controller)."),
        QStringLiteral("dir"));
    const QCommandLineOption idleOpt(QStringLiteral("idle"),
        QStringLiteral("Period of the host's idle calls."), QStringLiteral("ms"), QStringLiteral("20"));
    const QCommandLineOption quitOpt(QStringLiteral("quit-after"),
        QStringLiteral("Quit after this long."), QStringLiteral("ms"));
    const QCommandLineOption tourOpt(QStringLiteral("tour"),
        QStringLiteral("Play the scripted tour and save its screenshots into dir, then quit."), QStringLiteral("dir"));
    const QCommandLineOption runOpt(QStringLiteral("run-time"),
        QStringLiteral("How long one reserved program runs on the controller."), QStringLiteral("ms"),
        QStringLiteral("30000"));
    const QCommandLineOption speedOpt(QStringLiteral("speed"),
        QStringLiteral("Controller clock speed against real time."), QStringLiteral("factor"), QStringLiteral("1"));
    const QCommandLineOption paceOpt(QStringLiteral("tour-pace"),
        QStringLiteral("Stretch the tour's waits by this factor (for slow runs such as under valgrind)."),
        QStringLiteral("factor"), QStringLiteral("1"));
    const QCommandLineOption langOpt(QStringLiteral("language"),
        QStringLiteral("Show the module in this language, for example zh_CN."), QStringLiteral("code"));
    const QCommandLineOption noSimOpt(QStringLiteral("no-simulator"),
        QStringLiteral("Show the pendant screen without the simulator panel."));
    const QCommandLineOption scenarioOpt(QStringLiteral("scenario"),
        QStringLiteral("Play this scenario file, then quit (may be given more than once); the panel and the "
                       "controller live in a temporary folder."),
        QStringLiteral("file"));
    const QCommandLineOption reportOpt(QStringLiteral("report"),
        QStringLiteral("Write the scenarios' results as a JUnit XML report."), QStringLiteral("file"));
    const QCommandLineOption shotsOpt(QStringLiteral("screenshots"),
        QStringLiteral("Save the scenarios' screenshots into dir."), QStringLiteral("dir"));
    parser.addOptions({moduleOpt, panelOpt, ctrlOpt, idleOpt, quitOpt, tourOpt, runOpt, speedOpt, paceOpt, langOpt,
                       noSimOpt, scenarioOpt, reportOpt, shotsOpt});
    parser.process(app);

    Options o;
    o.module = parser.value(moduleOpt);
    o.moduleGiven = parser.isSet(moduleOpt);
    o.panelRoot = rootFrom(parser.value(panelOpt), "RTM_PANEL_ROOT", "panel");
    o.controllerRoot = rootFrom(parser.value(ctrlOpt), "RTM_CONTROLLER_ROOT", "controller");
    o.idleMs = parser.value(idleOpt).toInt();
    if (parser.isSet(quitOpt))
        o.quitAfterMs = parser.value(quitOpt).toInt();
    o.tourDir = parser.value(tourOpt);
    o.runTimeMs = parser.value(runOpt).toLongLong();
    o.speed = parser.value(speedOpt).toDouble();
    o.tourPace = qMax(1.0, parser.value(paceOpt).toDouble());
    o.language = parser.value(langOpt);
    o.simulator = !parser.isSet(noSimOpt);
    o.scenarios = parser.values(scenarioOpt);
    o.report = parser.value(reportOpt);
    o.screenshots = parser.value(shotsOpt);
    return o;
}

// Both file trees and the controller as the service finds them when it starts. The module
// computes its paths when it is loaded, so the roots are in place before that.
void setUpPlatform(const Options &o)
{
    qputenv("RTM_PANEL_ROOT", o.panelRoot.toLocal8Bit());
    qputenv("RTM_CONTROLLER_ROOT", o.controllerRoot.toLocal8Bit());
    QDir().mkpath(o.panelRoot + QStringLiteral("/bin"));
    sim::Panel::setRoot(o.panelRoot);

    sim::Controller &ctrl = sim::Controller::instance();
    ctrl.setRoot(o.controllerRoot);
    ctrl.setRunDuration(o.runTimeMs);
    ctrl.setLiveClock(true, o.speed);
    // Nobody reads the call log here, so it must not grow for the length of a shift.
    sim::CallLog::instance().setEnabled(false);
    sim::Reservation::instance().applyControllerConfig();
    sim::Reservation::instance().applyControllerProgramMap();
    sim::Reservation::instance().applyControllerSoftPlc();
}

// The toolkit's and the module's translators from the installed or built translations; false
// when the module's was not found there (the module carries its own too).
bool installTranslators(QApplication &app, const QString &language)
{
    if (language.isEmpty())
        return true;
    auto *qt = new QTranslator(&app);
    if (qt->load(QStringLiteral("qtbase_") + language, QLibraryInfo::location(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qt);
    const QString appDir = QCoreApplication::applicationDirPath();
    for (const QString &dir : {appDir + QStringLiteral("/../share/ruvozuvid/translations"),
                               QStringLiteral(VIRTUAL_PANEL_TRANSLATIONS)}) {
        auto *module = new QTranslator(&app);
        if (module->load(QStringLiteral("ruvozuvid_") + language, dir)) {
            QCoreApplication::installTranslator(module);
            return true;
        }
        delete module;
    }
    return false;
}

// The module given, else the installed one where a panel looks for its screens, else the
// one the build made.
QString modulePath(const Options &o)
{
    if (!o.moduleGiven) {
        const QString installed = QCoreApplication::applicationDirPath()
                                  + QStringLiteral("/../" VIRTUAL_PANEL_MODULE_DIR "/libruvozuvid.azoruvidiv.so");
        if (QFileInfo::exists(installed))
            return installed;
    }
    return o.module;
}

Tour *startTour(PanelWindow *window, const Options &o, QApplication &app)
{
    QList<TourStep> steps = defaultTour();
    for (TourStep &step : steps)
        step.delayMs = int(step.delayMs * o.tourPace);
    auto *tour = new Tour(window, o.tourDir, steps, &app);
    QObject::connect(tour, &Tour::finished, &app, [] { QTimer::singleShot(300, qApp, &QCoreApplication::quit); });
    tour->start();
    return tour;
}

// The sample controller, installed or in the source tree.
QString sampleController()
{
    const QString installed = QCoreApplication::applicationDirPath() + QStringLiteral("/../share/ruvozuvid/sample/controller");
    return QFileInfo(installed).isDir() ? QDir(installed).absolutePath() : QStringLiteral(VIRTUAL_PANEL_SAMPLE "/controller");
}

bool loadScenarios(const Options &o, QList<Scenario> *scenarios)
{
    for (const QString &path : o.scenarios) {
        Scenario scenario;
        QString error;
        if (!loadScenario(path, sampleController(), &scenario, &error)) {
            std::fprintf(stderr, "virtualpanel: %s\n", qPrintable(error));
            return false;
        }
        scenarios->append(scenario);
    }
    return true;
}

int playScenarios(PanelWindow &window, ModuleLoader &loader, const QList<Scenario> &scenarios, const Options &o,
                  const QString &workDir)
{
    ScenarioRunner runner(&window, &loader, workDir, o.screenshots);
    QObject::connect(&runner, &ScenarioRunner::finished, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    window.show();
    runner.start(scenarios);
    QCoreApplication::exec();
    int passed = 0;
    for (const ScenarioResult &result : runner.results())
        passed += result.failure.isEmpty();
    std::printf("virtualpanel: %d of %d scenarios passed\n", passed, int(scenarios.size()));
    if (!o.report.isEmpty() && !runner.writeReport(o.report)) {
        std::fprintf(stderr, "virtualpanel: the report %s cannot be written\n", qPrintable(o.report));
        return 2;
    }
    return runner.exitCode();
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("virtualpanel"));
    Options options = parseOptions(app);
    // Scenarios play in trees of their own, never in a panel's or a controller's given folder.
    QTemporaryDir scenarioDir;
    QList<Scenario> scenarios;
    if (!options.scenarios.isEmpty()) {
        if (!loadScenarios(options, &scenarios))
            return 2;
        options.panelRoot = scenarioDir.path() + QStringLiteral("/panel");
        options.controllerRoot = scenarioDir.path() + QStringLiteral("/controller");
    }
    setUpPlatform(options);
    // Translators go in before the module is loaded, so its first texts are translated.
    const bool moduleTranslated = installTranslators(app, options.language);

    ModuleLoader loader(modulePath(options));
    if (!loader.load()) {
        std::fprintf(stderr, "virtualpanel: %s\n", qPrintable(loader.error()));
        return 2;
    }
    if (!moduleTranslated) {
        auto *module = new QTranslator(&app);
        if (module->load(QStringLiteral(":/i18n/ruvozuvid_") + options.language))
            QCoreApplication::installTranslator(module);
        else
            std::fprintf(stderr, "virtualpanel: no %s translation for the module\n", qPrintable(options.language));
    }

    PanelWindow window(options.simulator);
    if (!scenarios.isEmpty())
        return playScenarios(window, loader, scenarios, options, scenarioDir.path());
    sim::Desktop::setCloseHandler([](int, bool) {
        std::printf("virtualpanel: the module closed the screen\n");
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    });
    sim::Panel::setGoToPageHandler([&window](int page) {
        window.showNote(QStringLiteral("The panel would now show its page %1.").arg(page));
    });

    BaseZedOvedudData *data = loader.createData();
    if (!data) {
        std::fprintf(stderr, "virtualpanel: %s: CreateZedOvedudData returned no data object\n",
                     qPrintable(loader.path()));
        return 2;
    }
    RtmBaseWidget *widget = loader.createWidget(data, window.pendantScreen());
    if (!widget) {
        delete data;
        std::fprintf(stderr, "virtualpanel: %s: CreateZedOvedudWidget returned no widget\n",
                     qPrintable(loader.path()));
        return 2;
    }
    window.setModule(data, widget);
    window.showNote(QStringLiteral("Module: %1").arg(loader.path()));
    window.show();
    widget->setUsedVars(0, true);
    window.startIdle(options.idleMs);
    if (options.quitAfterMs >= 0)
        QTimer::singleShot(options.quitAfterMs, &app, &QCoreApplication::quit);
    Tour *tour = options.tourDir.isEmpty() ? nullptr : startTour(&window, options, app);

    const int code = app.exec();
    if (tour)
        std::printf("virtualpanel: tour screenshots in %s (%d written)\n",
                    qPrintable(QDir(options.tourDir).absolutePath()), int(tour->written().size()));
    if (window.moduleWidget())
        window.moduleWidget()->setUsedVars(0, false);
    window.releaseModule();
    sim::Desktop::setCloseHandler(nullptr);
    sim::Panel::setGoToPageHandler(nullptr);
    return code;
}
