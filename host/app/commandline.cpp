#include "app/commandline.h"

#include <QDir>
#include <QFileInfo>


namespace {

QCommandLineOption option(const char *name, const char *help, const char *value = nullptr,
                          const char *byDefault = nullptr)
{
    return QCommandLineOption(QString::fromLatin1(name), QString::fromLatin1(help),
                              value ? QString::fromLatin1(value) : QString(),
                              byDefault ? QString::fromLatin1(byDefault) : QString());
}

Result refuse(const QString &name, const QString &value, const QString &why)
{
    return Result::failure(QStringLiteral("--%1 %2: %3").arg(name, value, why));
}

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

} // namespace

CommandLine::CommandLine(const QString &defaultModule)
    : m_module(QStringLiteral("module"), QStringLiteral("The module library to load."), QStringLiteral("path"),
               defaultModule),
      m_panel(option("panel-root", "The panel's file tree, a folder that exists (default: $RTM_PANEL_ROOT, else "
                                   "./panel).", "dir")),
      m_controller(option("controller-root", "The controller's file store, a folder that exists (default: "
                                             "$RTM_CONTROLLER_ROOT, else ./controller).", "dir")),
      m_idle(option("idle", "Period of the host's idle calls, 1 to 60000.", "ms", "20")),
      m_quitAfter(option("quit-after", "Quit after this long.", "ms")),
      m_tour(option("tour", "Play the tour of every page (the scenario tour.json) and save its screenshots into dir, then quit.", "dir")),
      m_runTime(option("run-time", "How long one reserved program runs on the controller, as a scenario's runTime "
                                   "step sets it.", "ms", "3000")),
      m_speed(option("speed", "Controller clock speed against real time, 0.001 to 1000.", "factor", "1")),
      m_pace(option("tour-pace", "Stretch the scenarios' waits and time limits by this factor, 1 to 100 (for slow "
                                 "runs such as under valgrind).", "factor", "1")),
      m_language(option("language", "Show the module in this language, for example zh_CN.", "code")),
      m_noSimulator(option("no-simulator", "Show the pendant screen without the simulator panel.")),
      m_scenario(option("scenario", "Play this scenario file and any named after it, then quit; the panel and the "
                                    "controller live in a temporary folder.", "file")),
      m_report(option("report", "Write the scenarios' results as a JUnit XML report; a failure's picture and journal "
                                "are saved beside it and attached.", "file")),
      m_screenshots(option("screenshots", "Save the scenarios' screenshots into dir.", "dir")),
      m_journal(option("journal", "Write every event of the controller and of the module's traffic with it to file, "
                                  "one JSON object a line.", "file")),
      m_record(option("record", "Write what the operator does on the screen and in the simulator panel to file, "
                                "as a scenario that plays it again.", "file")),
      m_steps(option("steps", "Print every step a scenario may take, with its fields, and quit.")),
      m_stepsMarkdown(option("steps-markdown", "Print the same as a Markdown table (the README's), and quit.")),
      m_schema(option("schema", "Print the JSON Schema of a scenario file and quit.")),
      m_htmlReport(option("html-report", "Write the scenarios' results as one page, index.html, that a browser opens "
                                         "with nothing beside it: every step, a failure's picture and journal, the run "
                                         "timeline.", "dir")),
      m_widgets(option("widgets", "Print every object name a scenario may address, page by page, with the chooser's "
                                  "and the boxes', read from the module on the sample controller, and quit.")),
      m_verbose(option("verbose", "Print every step a scenario takes, and Qt's and the module's own messages (which "
                                  "otherwise go to the journal only).")),
      m_check(option("check", "Read the scenarios named with --scenario and say of each whether it can run, a line "
                              "each, then quit; plays nothing (exit 2 when one cannot)."))
{
    m_parser.setApplicationDescription(QStringLiteral("Runs a panel screen module on the simulated robot controller."));
    m_parser.addHelpOption();
    m_parser.addVersionOption();
    m_parser.addOptions({m_module, m_panel, m_controller, m_idle, m_quitAfter, m_tour, m_runTime, m_speed, m_pace,
                         m_language, m_noSimulator, m_scenario, m_report, m_screenshots, m_journal, m_record, m_steps,
                         m_stepsMarkdown, m_schema, m_htmlReport, m_widgets, m_verbose, m_check});
}

bool CommandLine::asksForHelpOrVersion(const QStringList &arguments)
{
    static const QStringList asks = {QStringLiteral("-h"), QStringLiteral("--help"), QStringLiteral("-?"),
                                     QStringLiteral("--help-all"), QStringLiteral("-v"), QStringLiteral("--version")};
    for (const QString &argument : arguments.mid(1))
        if (asks.contains(argument))
            return true;
    return false;
}

QString CommandLine::asksForReference(const QStringList &arguments)
{
    for (const QString &argument : arguments.mid(1))
        if (argument == QLatin1String("--steps") || argument == QLatin1String("--steps-markdown")
            || argument == QLatin1String("--schema"))
            return argument.mid(2);
    return QString();
}

void CommandLine::showHelpOrVersion(const QStringList &arguments)
{
    m_parser.parse(arguments);
    if (m_parser.isSet(QStringLiteral("version")))
        m_parser.showVersion();
    m_parser.showHelp(0);
}

Result CommandLine::parse(const QStringList &arguments, Options *o)
{
    if (!m_parser.parse(arguments))
        return Result::failure(m_parser.errorText());
    // "--scenario a.json b.json" plays both; other words are no options.
    if (!m_parser.positionalArguments().isEmpty() && !m_parser.isSet(m_scenario))
        return Result::failure(m_parser.positionalArguments().first() + QStringLiteral(": not an option"));

    // A number within its range, or a refusal naming the option.
    auto number = [this](const QCommandLineOption &opt, double min, double max, bool whole, double *out) {
        bool ok = false;
        const QString text = m_parser.value(opt);
        const double value = text.toDouble(&ok);
        // Written so that "nan" fails too: it compares false with everything.
        if (!ok || !(value >= min && value <= max) || (whole && value != double(qint64(value))))
            return refuse(opt.names().first(), text,
                          QStringLiteral("not a %1 from %2 to %3").arg(whole ? QStringLiteral("whole number")
                                                                             : QStringLiteral("number"))
                              .arg(min, 0, 'g', 10).arg(max, 0, 'g', 10));
        *out = value;
        return Result::ok();
    };
    double idle = 0, quitAfter = -1, runTime = 0, speed = 0, pace = 0;
    struct Range
    {
        const QCommandLineOption &option;
        double min, max;
        bool whole;
        double *out;
        bool checked; // the options with a default always; --quit-after when given
    };
    for (const Range &r : {Range{m_idle, 1, 60000, true, &idle, true}, Range{m_runTime, 1, 86400000, true, &runTime, true},
                           Range{m_speed, 0.001, 1000, false, &speed, true}, Range{m_pace, 1, 100, false, &pace, true},
                           Range{m_quitAfter, 0, 2147483647, true, &quitAfter, m_parser.isSet(m_quitAfter)}})
        if (r.checked)
            if (const Result valid = number(r.option, r.min, r.max, r.whole, r.out); !valid)
                return valid;

    if (m_parser.isSet(m_record) && (m_parser.isSet(m_scenario) || m_parser.isSet(m_tour)))
        return refuse(m_record.names().first(), m_parser.value(m_record), QStringLiteral("records an operator, not a scenario"));
    if ((m_parser.isSet(m_scenario) || m_parser.isSet(m_tour)) && (m_parser.isSet(m_panel) || m_parser.isSet(m_controller)))
        return refuse(m_parser.isSet(m_panel) ? m_panel.names().first() : m_controller.names().first(),
                      m_parser.value(m_parser.isSet(m_panel) ? m_panel : m_controller),
                      QStringLiteral("scenarios play in a temporary folder of their own"));

    // Whether an output may be written where it is named is the business of the one function
    // that writes them all, once the run's inputs are known.
    const QString controllerRoot = rootFrom(m_parser.value(m_controller), "RTM_CONTROLLER_ROOT", "controller");
    const QString panelRoot = rootFrom(m_parser.value(m_panel), "RTM_PANEL_ROOT", "panel");
    // One rule for both roots, given or not: the screen runs on folders that exist, and the bench
    // makes none the user did not name. Scenarios and the catalogue use trees of their own.
    const bool ownTrees = m_parser.isSet(m_scenario) || m_parser.isSet(m_tour) || m_parser.isSet(m_widgets)
                          || m_parser.isSet(m_check);
    for (const bool given : {true, false})
        for (const auto &[root, path] : {qMakePair(&m_panel, panelRoot), qMakePair(&m_controller, controllerRoot)})
            if (!ownTrees && m_parser.isSet(*root) == given && !QFileInfo(path).isDir())
                return refuse(root->names().first(), given ? m_parser.value(*root) : path,
                              given ? QStringLiteral("no such folder")
                                    : QStringLiteral("no such folder (by default; name the tree with --%1)").arg(root->names().first()));
    if (m_parser.isSet(m_record) && (QFileInfo::exists(m_parser.value(m_record)) || QFileInfo(m_parser.value(m_record)).isSymLink()))
        return refuse(m_record.names().first(), m_parser.value(m_record), QStringLiteral("exists already; record to another file"));

    o->module = m_parser.value(m_module);
    o->moduleGiven = m_parser.isSet(m_module);
    o->panelRoot = panelRoot;
    o->controllerRoot = controllerRoot;
    o->idleMs = int(idle);
    o->quitAfterMs = int(quitAfter);
    o->tourDir = m_parser.value(m_tour);
    o->runTimeMs = qint64(runTime);
    o->speed = speed;
    o->tourPace = pace;
    o->language = m_parser.value(m_language);
    o->simulator = !m_parser.isSet(m_noSimulator);
    o->scenarios = m_parser.values(m_scenario) + m_parser.positionalArguments();
    o->report = m_parser.value(m_report);
    o->htmlReport = m_parser.value(m_htmlReport);
    o->widgets = m_parser.isSet(m_widgets);
    o->verbose = m_parser.isSet(m_verbose);
    o->check = m_parser.isSet(m_check);
    o->screenshots = m_parser.value(m_screenshots);
    o->journal = m_parser.value(m_journal);
    o->record = m_parser.value(m_record);
    return Result::ok();
}
