// The virtual panel: runs a screen module on a PC over the simulated controller.

#include "moduleloader.h"
#include "panelwindow.h"
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
#include <QTranslator>
#include <QTimer>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("virtualpanel"));

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
    parser.addOptions({moduleOpt, panelOpt, ctrlOpt, idleOpt, quitOpt, tourOpt, runOpt, speedOpt, paceOpt, langOpt, noSimOpt});
    parser.process(app);

    auto rootFrom = [&](const QCommandLineOption &opt, const char *env, const char *fallback) {
        QString dir = parser.value(opt);
        if (dir.isEmpty())
            dir = qEnvironmentVariable(env);
        if (dir.isEmpty())
            dir = QDir::current().filePath(QString::fromLatin1(fallback));
        return QDir(dir).absolutePath();
    };
    // The module computes its paths when it is loaded, so both roots are in place before that.
    const QString panelRoot = rootFrom(panelOpt, "RTM_PANEL_ROOT", "panel");
    const QString ctrlRoot = rootFrom(ctrlOpt, "RTM_CONTROLLER_ROOT", "controller");
    qputenv("RTM_PANEL_ROOT", panelRoot.toLocal8Bit());
    qputenv("RTM_CONTROLLER_ROOT", ctrlRoot.toLocal8Bit());
    QDir().mkpath(panelRoot + QStringLiteral("/bin"));
    sim::Panel::setRoot(panelRoot);

    sim::Controller &ctrl = sim::Controller::instance();
    ctrl.setRoot(ctrlRoot);
    ctrl.setRunDuration(parser.value(runOpt).toLongLong());
    ctrl.setLiveClock(true, parser.value(speedOpt).toDouble());
    // Nobody reads the call log here, so it must not grow for the length of a shift.
    sim::CallLog::instance().setEnabled(false);
    sim::Reservation::instance().applyControllerConfig();
    sim::Reservation::instance().applyControllerProgramMap();
    sim::Reservation::instance().applyControllerSoftPlc();

    // Translators go in before the module is loaded, so its first texts are translated.
    const QString language = parser.value(langOpt);
    bool moduleTranslated = language.isEmpty();
    if (!language.isEmpty()) {
        auto *qt = new QTranslator(&app);
        if (qt->load(QStringLiteral("qtbase_") + language, QLibraryInfo::location(QLibraryInfo::TranslationsPath)))
            QCoreApplication::installTranslator(qt);
        const QString appDir = QCoreApplication::applicationDirPath();
        for (const QString &dir : {appDir + QStringLiteral("/../share/ruvozuvid/translations"),
                                   QStringLiteral(VIRTUAL_PANEL_TRANSLATIONS)}) {
            auto *module = new QTranslator(&app);
            if (module->load(QStringLiteral("ruvozuvid_") + language, dir)) {
                QCoreApplication::installTranslator(module);
                moduleTranslated = true;
                break;
            }
            delete module;
        }
    }

    QString modulePath = parser.value(moduleOpt);
    if (!parser.isSet(moduleOpt)) {
        // Installed, the module sits where a panel looks for its screens.
        const QString installed = QCoreApplication::applicationDirPath()
                                  + QStringLiteral("/../" VIRTUAL_PANEL_MODULE_DIR "/libruvozuvid.azoruvidiv.so");
        if (QFileInfo::exists(installed))
            modulePath = installed;
    }
    ModuleLoader loader(modulePath);
    if (!loader.load()) {
        std::fprintf(stderr, "virtualpanel: %s\n", qPrintable(loader.error()));
        return 2;
    }
    if (!moduleTranslated) {
        // The module carries its translations too.
        auto *module = new QTranslator(&app);
        if (module->load(QStringLiteral(":/i18n/ruvozuvid_") + language))
            QCoreApplication::installTranslator(module);
        else
            std::fprintf(stderr, "virtualpanel: no %s translation for the module\n", qPrintable(language));
    }

    PanelWindow window(!parser.isSet(noSimOpt));
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
    RtmBaseWidget *widget = loader.createWidget(data, window.screen());
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
    window.startIdle(parser.value(idleOpt).toInt());

    if (parser.isSet(quitOpt))
        QTimer::singleShot(parser.value(quitOpt).toInt(), &app, &QCoreApplication::quit);

    Tour *tour = nullptr;
    if (parser.isSet(tourOpt)) {
        QList<TourStep> steps = defaultTour();
        const double pace = qMax(1.0, parser.value(paceOpt).toDouble());
        for (TourStep &step : steps)
            step.delayMs = int(step.delayMs * pace);
        tour = new Tour(&window, parser.value(tourOpt), steps, &app);
        QObject::connect(tour, &Tour::finished, &app, [] {
            QTimer::singleShot(300, qApp, &QCoreApplication::quit);
        });
        tour->start();
    }

    const int code = app.exec();
    if (tour)
        std::printf("virtualpanel: tour screenshots in %s (%d written)\n",
                    qPrintable(QDir(parser.value(tourOpt)).absolutePath()), int(tour->written().size()));
    if (window.moduleWidget())
        window.moduleWidget()->setUsedVars(0, false);
    window.releaseModule();
    sim::Desktop::setCloseHandler(nullptr);
    sim::Panel::setGoToPageHandler(nullptr);
    return code;
}
