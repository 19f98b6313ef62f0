// The virtual panel: runs a screen module on a PC over the simulated controller.

#include "app/commandline.h"
#include "app/moduleloader.h"
#include "engine/catalogue.h"
#include "engine/idlerule.h"
#include "engine/journalfile.h"
#include "engine/outputfiles.h"
#include "engine/recorder.h"
#include "engine/runlistener.h"
#include "engine/scenario.h"
#include "engine/scenariorunner.h"
#include "engine/session.h"
#include "engine/stepregistry.h"
#include "panel/panelwindow.h"
#include "panel/simulatorpanel.h"

#include "desktopsim.h"
#include "journal.h"
#include "rtmcoresim.h"
#include "simcontroller.h"
#include "zuzerarovesim.h"

#include <QApplication>
#include <QDir>
#include <QMap>
#include <QFileInfo>
#include <QJsonDocument>
#include <QLibraryInfo>
#include <QRegularExpression>
#include <QRandomGenerator>
#include <QTranslator>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

// Both file trees and the controller as the service finds them when it starts. The module
// computes its paths when it is loaded, so the roots are in place before that.
Result setUpPlatform(const Options &o, const OutputFiles &files)
{
    qputenv("RTM_PANEL_ROOT", o.panelRoot.toLocal8Bit());
    qputenv("RTM_CONTROLLER_ROOT", o.controllerRoot.toLocal8Bit());
    for (const QString &folder : {o.panelRoot + QStringLiteral("/bin"), o.panelRoot + QStringLiteral("/Application")})
        if (const Result made = files.makeFolder(folder); !made)
            return made;
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
    return Result::ok();
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
    const QStringList dirs = {appDir + QStringLiteral("/../share/ruvozuvid/translations"),
                              QStringLiteral(VIRTUAL_PANEL_TRANSLATIONS)};
    // The platform's message box keys, as a pendant shows them in its language.
    for (const QString &dir : dirs) {
        auto *platform = new QTranslator(&app);
        if (platform->load(QStringLiteral("guilib_") + language, dir)) {
            QCoreApplication::installTranslator(platform);
            break;
        }
        delete platform;
    }
    for (const QString &dir : dirs) {
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


// The sample controller, installed or in the source tree.
QString sampleController()
{
    const QString installed = QCoreApplication::applicationDirPath() + QStringLiteral("/../share/ruvozuvid/sample/controller");
    return QFileInfo(installed).isDir() ? QDir(installed).absolutePath() : QStringLiteral(VIRTUAL_PANEL_SAMPLE "/controller");
}

// The tour of every page, installed or in the source tree.
QString tourScenario()
{
    const QString installed = QCoreApplication::applicationDirPath() + QStringLiteral("/../share/ruvozuvid/scenarios/tour.json");
    return QFileInfo::exists(installed) ? installed : QStringLiteral(VIRTUAL_PANEL_SCENARIOS "/tour.json");
}

// Each scenario and the trees it starts from are inputs of the run.
bool loadScenarios(const Options &o, QList<Scenario> *scenarios, OutputFiles *files)
{
    for (const QString &path : o.scenarios) {
        Scenario scenario;
        if (const Result loaded = loadScenario(path, sampleController(), stepDefs(), &scenario); !loaded) {
            std::fprintf(stderr, "virtualpanel: %s\n", qUtf8Printable(loaded.error()));
            return false;
        }
        for (const QString &input : {path, scenario.controller, scenario.panel})
            files->addInput(input);
        scenarios->append(scenario);
    }
    return true;
}

// Each scenario's verdict, a line each, without playing any: read as the player reads it, and
// every widget it names looked up in the live module's catalogue, as the player would find it.
int checkScenarios(const Options &o, PanelWindow &window, ModuleSession &session)
{
    QString catalogue;
    QSet<QString> names;
    if (const Result listed = widgetCatalogue(session, window, &catalogue, &names); !listed) {
        std::fprintf(stderr, "virtualpanel: --check: %s\n", qUtf8Printable(listed.error()));
        return 2;
    }
    int code = 0;
    for (const QString &path : o.scenarios) {
        Scenario scenario;
        if (const Result loaded = loadScenario(path, sampleController(), stepDefs(), &scenario); !loaded) {
            std::printf("%s\n", qUtf8Printable(loaded.error()));
            code = 2;
        } else if (const QStringList unknown = unknownWidgets(scenario, names); !unknown.isEmpty()) {
            for (const QString &line : unknown)
                std::printf("%s\n", qUtf8Printable(line));
            code = 2;
        } else {
            std::printf("%s: can run\n", qUtf8Printable(path));
        }
    }
    return code;
}

// Every output the options name, checked before anything is written: none may be a link, go
// through one, have a second name, or be or lie inside an input of the run. Then the folders
// named for them are made, so that one that cannot be stops the run before it starts.
Result checkOutputs(const Options &o, const OutputFiles &files)
{
    struct Output
    {
        QString option;
        QString path;
        bool makeFolder; // a recording's copies are made whole when it begins
    };
    QList<Output> outputs;
    if (!o.report.isEmpty())
        outputs.append({QStringLiteral("report"), o.report, true});
    if (!o.journal.isEmpty())
        outputs.append({QStringLiteral("journal"), o.journal, true});
    if (!o.htmlReport.isEmpty())
        outputs.append({QStringLiteral("html-report"), QDir(o.htmlReport).filePath(QStringLiteral("index.html")), true});
    if (!o.screenshots.isEmpty())
        outputs.append({o.tourDir.isEmpty() ? QStringLiteral("screenshots") : QStringLiteral("tour"),
                        QDir(o.screenshots).filePath(QStringLiteral("screen.png")), true});
    if (!o.record.isEmpty()) {
        const QFileInfo record(o.record);
        outputs.append({QStringLiteral("record"), o.record, true});
        for (const char *copy : {".controller", ".panel"}) {
            const QString path = record.absoluteDir().filePath(record.completeBaseName() + QLatin1String(copy));
            if (QFileInfo::exists(path) || QFileInfo(path).isSymLink())
                return Result::failure(QStringLiteral("--record %1: %2 exists already; the recording's copy goes there").arg(o.record, path));
            outputs.append({QStringLiteral("record"), QDir(path).filePath(QStringLiteral("copy")), false});
        }
    }
    for (const Output &output : outputs)
        if (const Result free = files.check(output.path); !free)
            return Result::failure(QStringLiteral("--%1: %2").arg(output.option, free.error()));
    for (const Output &output : outputs)
        if (output.makeFolder)
            if (const Result made = files.makeFolder(QFileInfo(output.path).absolutePath()); !made)
                return Result::failure(QStringLiteral("--%1: %2").arg(output.option, made.error()));
    // Now that their folders stand: each takes a new file, and no two are one file however
    // they are spelled.
    QMap<QString, QString> places;
    for (const Output &output : outputs) {
        QString place;
        if (const Result free = files.check(output.path, &place); !free)
            return Result::failure(QStringLiteral("--%1: %2").arg(output.option, free.error()));
        if (place.isEmpty())
            continue;
        if (const QString other = places.value(place); !other.isEmpty() && other != output.option)
            return Result::failure(QStringLiteral("--%1 %2: the --%3 is written there").arg(output.option, output.path, other));
        places.insert(place, output.option);
    }
    return Result::ok();
}

int playScenarios(PanelWindow &window, ModuleSession &session, const QList<Scenario> &scenarios, const Options &o,
                  const OutputFiles &files, const QString &workDir, JournalFile &journal)
{
    ScenarioRunner runner(&window, &session, &files, workDir, o.screenshots, o.tourPace);
    // A failure's picture and journal go where the run's other outputs go.
    runner.setFailureDir(!o.screenshots.isEmpty() ? o.screenshots
                         : !o.report.isEmpty()    ? QFileInfo(o.report).absolutePath()
                                                  : o.htmlReport);
    // The console and the reports hear the run alike.
    ConsoleReport console(stdout, o.verbose);
    FileReports reports(files, o.report, o.htmlReport);
    runner.addListener(&console);
    runner.addListener(&reports);
    runner.addListener(&journal);
    QObject::connect(&runner, &ScenarioRunner::finished, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    window.show();
    runner.play(scenarios);
    QCoreApplication::exec();
    int code = runner.exitCode();
    for (const QString &failure : reports.failures()) {
        std::fprintf(stderr, "virtualpanel: %s\n", qUtf8Printable(failure));
        code = 2;
    }
    if (!o.htmlReport.isEmpty() && reports.failures().filter(QStringLiteral("--html-report")).isEmpty())
        std::printf("virtualpanel: the report is %s/index.html\n", qUtf8Printable(o.htmlReport));
    return code;
}

} // namespace

// A scenario run's temporary folder names the process that made it.
static QString runFolderPrefix(qint64 pid)
{
    return QStringLiteral("virtualpanel-run%1-").arg(pid);
}

// The run's own temporary folder, named with its prefix and removed with it.
class RunFolder
{
public:
    explicit RunFolder(const OutputFiles &files) : m_files(files) {}
    ~RunFolder()
    {
        if (!m_path.isEmpty())
            (void)m_files.removePath(m_path);
    }
    RunFolder(const RunFolder &) = delete;
    RunFolder &operator=(const RunFolder &) = delete;

    Result make(const QString &prefix)
    {
        static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
        Result made = Result::ok();
        for (int attempt = 0; attempt < 20; ++attempt) {
            QString name = prefix;
            for (int i = 0; i < 6; ++i)
                name += QLatin1Char(letters[QRandomGenerator::global()->bounded(int(sizeof letters) - 1)]);
            made = m_files.makeHeldFolder(QDir::temp().filePath(name), &m_held);
            if (made) {
                m_path = QDir::temp().filePath(name);
                break;
            }
        }
        return made;
    }
    QString path() const { return m_path; }

private:
    const OutputFiles &m_files;
    QString m_path;
    treefiles::Folder m_held; // locked while the run lives, whatever process namespace sees it
};

// The temporary folders of runs that are over without their own cleaning (a crash, a kill) are
// removed: only real folders of this user with the run prefix that no run holds locked; a link
// is not followed.
static void removeCrashedRuns(const OutputFiles &files)
{
    const QRegularExpression runFolder(QStringLiteral("^virtualpanel-run(\\d+)-[A-Za-z0-9]{6}$"));
    const QFileInfoList entries = QDir::temp().entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks);
    for (const QFileInfo &entry : entries) {
        treefiles::Folder folder;
        if (!runFolder.match(entry.fileName()).hasMatch() || entry.ownerId() != uint(geteuid())
            || !treefiles::Folder::open(entry.absoluteFilePath(), treefiles::Make::No, &folder) || !folder.isOpen()
            || !folder.tryLock())
            continue;
        (void)files.removePath(entry.absoluteFilePath());
    }
}

// The step reference ("steps", "steps-markdown") or the scenario files' schema ("schema"), which
// need no display.
static int printReference(const QString &which)
{
    const QList<StepDef> &defs = stepDefs();
    const QByteArray text = which == QLatin1String("steps")            ? stepManual(defs).toUtf8()
                             : which == QLatin1String("steps-markdown") ? stepReference(defs).toUtf8()
                                                                        : QJsonDocument(scenarioSchema(defs)).toJson();
    std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
    return 0;
}

// Every object name a scenario may address, read from the live module.
static int listWidgets(PanelWindow &window, ModuleSession &session)
{
    QString catalogue;
    if (const Result listed = widgetCatalogue(session, window, &catalogue); !listed) {
        std::fprintf(stderr, "virtualpanel: --widgets: %s\n", qUtf8Printable(listed.error()));
        return 2;
    }
    std::fputs(catalogue.toUtf8().constData(), stdout);
    return 0;
}

// The panel at the operator's hands: the screen open until the window closes, the module closes
// it or its time is up, recorded when asked.
static int runInteractive(PanelWindow &window, ModuleSession &session, const ModuleLoader &loader, const Options &options,
                          const OutputFiles &files)
{
    bool moduleClosed = false;
    sim::Desktop::setCloseHandler([&moduleClosed](int, bool) {
        std::printf("virtualpanel: the module closed the screen\n");
        moduleClosed = true;
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    });
    sim::Panel::setGoToPageHandler([&window](int page) {
        window.showNote(QStringLiteral("The panel would now show its page %1.").arg(page));
    });

    if (const Result opened = session.openScreen(window.pendantScreen(), {true, options.idleMs, true}); !opened) {
        std::fprintf(stderr, "virtualpanel: %s: %s\n", qUtf8Printable(loader.path()), qUtf8Printable(opened.error()));
        return 2;
    }
    window.showNote(QStringLiteral("Module: %1").arg(loader.path()));

    // The recording begins once the screen is up, and hears the simulator panel's commands.
    Recorder recorder(&window, &session, &files);
    if (!options.record.isEmpty()) {
        if (const Result begun = recorder.startRecording(options.record, options.controllerRoot, options.panelRoot, options.language); !begun) {
            std::fprintf(stderr, "virtualpanel: --record %s: %s\n", qUtf8Printable(options.record), qUtf8Printable(begun.error()));
            return 2;
        }
        if (window.simulator())
            recordSimulator(window.simulator(), &recorder);
    }
    // While recording, the window's title says how often the recording was written and whether
    // the screen is at rest (by the player's idle rule, and polled by the panel since), so a
    // script driving the real window knows when its last command has been taken and shown:
    // "Virtual panel (12)", "Virtual panel (12...)".
    QTimer restTitle;
    int writesSeen = -1;
    quint64 idleAtWrite = 0;
    if (!options.record.isEmpty()) {
        QObject::connect(&restTitle, &QTimer::timeout, &window, [&] {
            if (recorder.writes() != writesSeen) {
                writesSeen = recorder.writes();
                idleAtWrite = session.idleCalls();
            }
            const bool busy = session.widget()
                              && (session.idleCalls() < idleAtWrite + 2 || !idlerule::busyWith(window.pendantScreen(), 1).isEmpty());
            window.setWindowTitle(QStringLiteral("Virtual panel (%1%2)").arg(recorder.writes()).arg(busy ? QStringLiteral("...") : QString()));
        });
        restTitle.start(20);
    }
    // The panel closes the screen when its window closes or its time is up; the module may close
    // it first.
    auto panelCloses = [&] {
        if (!moduleClosed)
            recorder.panelClosesScreen();
    };
    QObject::connect(&window, &PanelWindow::closing, &recorder, panelCloses);
    // The alarm takes the screen away under a box or the chooser.
    if (window.simulator())
        QObject::connect(window.simulator(), &SimulatorPanel::screenCloseDue, &recorder, [&] {
            if (moduleClosed || !session.isOpen())
                return;
            panelCloses();
            session.closeUnderBoxes();
        });
    window.show();
    // The panel's own timer, apart from the screen's: no work of the screen's for the idle rule.
    QTimer quitAfter;
    quitAfter.setSingleShot(true);
    QObject::connect(&quitAfter, &QTimer::timeout, &window, [&] {
        panelCloses();
        QCoreApplication::quit();
    });
    if (options.quitAfterMs >= 0)
        quitAfter.start(options.quitAfterMs);

    int code = QCoreApplication::exec();
    if (!options.record.isEmpty()) {
        if (const Result finished = recorder.finish(); !finished) {
            std::fprintf(stderr, "virtualpanel: --record %s: %s\n", qUtf8Printable(options.record), qUtf8Printable(finished.error()));
            code = 2;
        } else {
            std::printf("virtualpanel: the session is in %s\n", qUtf8Printable(options.record));
        }
    }
    session.closeScreen();
    sim::Desktop::setCloseHandler(nullptr);
    sim::Panel::setGoToPageHandler(nullptr);
    return code;
}

// Qt's and the module's own messages are no outcome of the run: they go to the journal, where
// the journal view and --journal show them; only what stops the program reaches stderr.
static void journalMessages(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (type == QtCriticalMsg || type == QtFatalMsg) {
        std::fprintf(stderr, "%s\n", qUtf8Printable(qFormatLogMessage(type, context, text)));
        if (type == QtFatalMsg)
            std::abort();
        return;
    }
    sim::Journal::instance().record(QStringLiteral("message"), text);
}

int main(int argc, char *argv[])
{
    QCoreApplication::setApplicationName(QStringLiteral("virtualpanel"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VIRTUAL_PANEL_VERSION));
    CommandLine commandLine(QStringLiteral(VIRTUAL_PANEL_DEFAULT_MODULE));
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (const QString reference = CommandLine::asksForReference(arguments); !reference.isEmpty())
        return printReference(reference);
    if (!arguments.contains(QStringLiteral("--verbose")))
        qInstallMessageHandler(journalMessages);
    if (CommandLine::asksForHelpOrVersion(arguments)) {
        // The help and the version need no display.
        QCoreApplication core(argc, argv);
        commandLine.showHelpOrVersion(QCoreApplication::arguments());
    }
    // Without a display, Qt's platform plugin would abort: the options are read, and scenarios
    // and the tour played, on the offscreen platform instead.
    const bool noDisplay = qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
                           && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !arguments.contains(QStringLiteral("-platform"));
    if (noDisplay)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Options options;
    if (const Result read = commandLine.parse(QCoreApplication::arguments(), &options); !read) {
        std::fprintf(stderr, "virtualpanel: %s\n", qUtf8Printable(read.error()));
        return 2;
    }
    if (noDisplay && options.scenarios.isEmpty() && options.tourDir.isEmpty() && !options.widgets) {
        std::fprintf(stderr, "virtualpanel: no display to show the panel on; --scenario and --tour play without one\n");
        return 2;
    }
    // The run's inputs: its scenarios and the trees they start from, the sample, the trees an
    // interactive session reads; no output may be one or lie inside one.
    OutputFiles files;
    QList<Scenario> scenarios;
    if (!options.tourDir.isEmpty()) {
        options.scenarios.prepend(tourScenario());
        options.screenshots = options.tourDir;
    }
    files.addInput(sampleController());
    // A check reads each file itself, a line each, and plays none; it reads the catalogue.
    const bool catalogue = options.widgets || options.check;
    if (!options.check && !loadScenarios(options, &scenarios, &files))
        return 2;
    const bool ownTrees = !scenarios.isEmpty() || catalogue;
    if (!ownTrees)
        for (const QString &root : {options.controllerRoot, options.panelRoot})
            files.addInput(root);
    if (const Result free = checkOutputs(options, files); !free) {
        std::fprintf(stderr, "virtualpanel: %s\n", qUtf8Printable(free.error()));
        return 2;
    }
    // Scenarios and the catalogue play in trees of their own, never in a given folder.
    removeCrashedRuns(files);
    RunFolder runFolder(files);
    if (ownTrees) {
        if (const Result made = runFolder.make(runFolderPrefix(QCoreApplication::applicationPid())); !made) {
            std::fprintf(stderr, "virtualpanel: %s\n", qUtf8Printable(made.error()));
            return 2;
        }
        files.addPlayTree(runFolder.path());
        options.panelRoot = runFolder.path() + QStringLiteral("/panel");
        options.controllerRoot = runFolder.path() + QStringLiteral("/controller");
    }
    // The catalogue is read from the module on a copy of the sample controller.
    Result ready = catalogue ? files.copyTree(sampleController(), options.controllerRoot) : Result::ok();
    if (ready && catalogue)
        ready = files.makeFolder(options.panelRoot + QStringLiteral("/Application/zuzerarove"));
    else if (ready && !scenarios.isEmpty())
        ready = files.makeFolder(options.controllerRoot);
    // The panel's own folders are made in a tree it is given before the session reads it.
    if (ready)
        ready = setUpPlatform(options, ownTrees ? files : OutputFiles());
    if (!ready) {
        std::fprintf(stderr, "virtualpanel: %s\n", qUtf8Printable(ready.error()));
        return 2;
    }
    // A recording plays in the language it was made in, unless one is given.
    if (options.language.isEmpty() && !scenarios.isEmpty())
        options.language = scenarios.first().language;
    // Translators go in before the module is loaded, so its first texts are translated.
    const bool moduleTranslated = installTranslators(app, options.language);

    ModuleLoader loader(modulePath(options));
    if (const Result loaded = loader.load(); !loaded) {
        std::fprintf(stderr, "virtualpanel: %s\n", qUtf8Printable(loaded.error()));
        return 2;
    }
    if (!moduleTranslated) {
        auto *module = new QTranslator(&app);
        if (module->load(QStringLiteral(":/i18n/ruvozuvid_") + options.language))
            QCoreApplication::installTranslator(module);
        else
            std::fprintf(stderr, "virtualpanel: no %s translation for the module\n", qUtf8Printable(options.language));
    }

    JournalFile journal;
    if (!options.journal.isEmpty())
        if (const Result opened = journal.begin(files, options.journal); !opened) {
            std::fprintf(stderr, "virtualpanel: --journal: %s\n", qUtf8Printable(opened.error()));
            return 2;
        }
    PanelWindow window(options.simulator);
    ModuleSession session(loader.dataFactory(), loader.widgetFactory());
    if (scenarios.isEmpty())
        journal.hearController();
    const int code = !scenarios.isEmpty() ? playScenarios(window, session, scenarios, options, files, runFolder.path(), journal)
                     : options.check      ? checkScenarios(options, window, session)
                     : options.widgets    ? listWidgets(window, session)
                                          : runInteractive(window, session, loader, options, files);
    // The journal goes in place whole once the run is over; one cut short fails the run.
    if (const Result kept = journal.finish(); !kept) {
        std::fprintf(stderr, "virtualpanel: --journal: %s\n", qUtf8Printable(kept.error()));
        return 2;
    }
    return code;
}
