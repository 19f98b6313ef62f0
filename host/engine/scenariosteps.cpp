#include "engine/scenariorunner.h"

#include "engine/scenariostep.h"
#include "engine/screenactions.h"
#include "engine/session.h"
#include "engine/stage.h"
#include "engine/steps.h"

#include "msgboxsim.h"
#include "simcontroller.h"
#include "zuzerarovesim.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTreeWidget>
#include <QXmlStreamReader>

// The steps of a scenario, each taken once it can be; the flow that runs them is in
// scenariorunner.cpp.

namespace {

StepOutcome held()
{
    return {};
}

StepOutcome notYet(const QString &message)
{
    return {StepOutcome::NotYet, message};
}

StepOutcome failed(const QString &message)
{
    return {StepOutcome::Failed, message};
}

StepOutcome error(const QString &message)
{
    return {StepOutcome::Error, message};
}

QString shown(const QJsonValue &value)
{
    QString text = value.isString() ? QLatin1Char('"') + value.toString() + QLatin1Char('"')
                                    : QString::fromUtf8(QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact))
                                          .mid(1)
                                          .chopped(1);
    if (text.size() > 300)
        text = text.left(300) + QStringLiteral("... (%1 characters)").arg(text.size());
    return text;
}

// The operator cannot reach the screen while a dialog covers it.
QString screenCovered()
{
    QWidget *modal = QApplication::activeModalWidget();
    return modal ? QStringLiteral("the screen takes no input while a box is open: \"%1\"").arg(screenprofile::textOf(modal))
                 : QString();
}

const QStringList boxKinds = {QStringLiteral("information"), QStringLiteral("warning"), QStringLiteral("error")};
const QStringList slotStatuses = {QStringLiteral("unreserved"), QStringLiteral("reserved"), QStringLiteral("running")};

// The text or one attribute of an XML element: "Tag", the n-th "Tag[n]", or "Tag[attr=value]".
bool xmlValue(const QByteArray &xml, const QString &element, const QString &attribute, QString *value)
{
    static const QRegularExpression selector(QStringLiteral("^([\\w.-]+)(?:\\[(\\d+)\\]|\\[([\\w.-]+)=([^\\]]*)\\])?$"));
    const QRegularExpressionMatch m = selector.match(element);
    if (!m.hasMatch())
        return false;
    int seen = 0;
    QXmlStreamReader reader(xml);
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement || reader.name() != m.captured(1))
            continue;
        const bool wanted = !m.captured(2).isEmpty() ? ++seen == m.captured(2).toInt()
                            : !m.captured(3).isEmpty() ? reader.attributes().value(m.captured(3)) == m.captured(4)
                                                       : true;
        if (!wanted)
            continue;
        if (attribute.isEmpty()) {
            *value = reader.readElementText(QXmlStreamReader::IncludeChildElements);
            return true;
        }
        if (!reader.attributes().hasAttribute(attribute))
            return false;
        *value = reader.attributes().value(attribute).toString();
        return true;
    }
    return false;
}

} // namespace

const QList<StepDef> &ScenarioRunner::stepDefs()
{
    using F = FieldType;
    auto operate = [](ScenarioRunner &r, const ScenarioStep &s) { return r.operate(s.kind, s.args); };
    auto simulate = [](ScenarioRunner &r, const ScenarioStep &s) { return r.simulate(s.kind, s.args); };
    auto onScreen = [](ScenarioRunner &r, const ScenarioStep &s) {
        return r.expectOnScreen(s.args.value(QStringLiteral("expect")).toString(), s.args);
    };
    auto ofController = [](ScenarioRunner &r, const ScenarioStep &s) {
        return r.expectOfController(s.args.value(QStringLiteral("expect")).toString(), s.args);
    };
    const StepField within{QStringLiteral("within"), F::WholeNumber, false,
                           QStringLiteral("milliseconds it may wait to hold; 2000 if not given")};
    const StepField objectName{QString(), F::Text, true, QStringLiteral("an object name (virtualpanel --widgets)")};
    const StepField slot{QString(), F::WholeNumber, true, QStringLiteral("a slot"), {}, 1, ZUZ_SLOT_COUNT};
    auto is = [](F type, bool required, const QString &help, const QStringList &choices = {}) {
        return StepField{QStringLiteral("is"), type, required, help, choices};
    };
    auto of = [](const QString &help) { return StepField{QStringLiteral("of"), F::Text, true, help}; };
    const QString notRecorded;

    static const QList<StepDef> defs = {
        // The operator, on the screen; each waits until the screen takes input, the page shown
        // has read what it shows, and its widget is shown and enabled.
        {QStringLiteral("press"), objectName, false, {within},
         QStringLiteral("Clicks the key of that name."), QStringLiteral("a key clicked on the screen"), {}, operate},
        {QStringLiteral("reserve"), slot, false, {within}, QStringLiteral("Presses the Res key of the slot's row on the monitor."),
         QStringLiteral("a row's Res key clicked"), {}, operate},
        {QStringLiteral("cancel"), slot, false, {within}, QStringLiteral("Presses the Cancel key of the slot's row on the monitor."),
         QStringLiteral("a row's Cancel key clicked"), {}, operate},
        {QStringLiteral("choose"), objectName, false,
         {{QStringLiteral("item"), F::Text, false, QStringLiteral("the item's text")},
          {QStringLiteral("index"), F::WholeNumber, false, QStringLiteral("the item's place from 0, for any language")},
          within},
         QStringLiteral("Chooses an item of a combo box, as the operator picks it from the list."),
         QStringLiteral("an item the operator picked"), {}, operate},
        {QStringLiteral("type"), objectName, false,
         {{QStringLiteral("text"), F::Text, true, QStringLiteral("the field's whole text afterwards")}, within},
         QStringLiteral("Types into a text field, replacing its text."),
         QStringLiteral("a field's text once the operator typed it, written before the next command"), {}, operate},
        {QStringLiteral("clickCell"), objectName, false,
         {{QStringLiteral("row"), F::WholeNumber, true, QStringLiteral("from 1"), {}, 1},
          {QStringLiteral("column"), F::WholeNumber, true, QStringLiteral("from 1"), {}, 1}, within},
         QStringLiteral("Clicks a cell of a table with the mouse (the program map's cells open the chooser)."),
         QStringLiteral("a cell clicked"), {}, operate},
        {QStringLiteral("pick"), {QString(), F::Text, true, QStringLiteral("the item's path of texts in the chooser, such as \"RPL/A.XPL\"")},
         false,
         {{QStringLiteral("select"), F::Flag, false, QStringLiteral("then press Select; true if not given")}, within},
         QStringLiteral("Clicks an item of the open program chooser, as a finger does, then its Select key: a folder "
                        "brings the chooser's refusal, which an answer step acknowledges."),
         QStringLiteral("Select pressed in the chooser, with the item it had"), {},
         [](ScenarioRunner &r, const ScenarioStep &s) { return r.pick(s.args); }},
        {QStringLiteral("answer"),
         {QString(), F::Choice, true, QString(),
          {QStringLiteral("confirm"), QStringLiteral("cancel"), QStringLiteral("acknowledge"), QStringLiteral("select"),
           QStringLiteral("close")}},
         false,
         {{QStringLiteral("box"), F::Text, false, QStringLiteral("the box must say exactly this")}, within},
         QStringLiteral("Answers the open box or the chooser: confirm, cancel, acknowledge (a note's one key), select "
                        "(the chooser's Select) or close (the window's X)."),
         QStringLiteral("a key of a box or of the chooser pressed, the chooser closed by its X"), {},
         [](ScenarioRunner &r, const ScenarioStep &s) { return r.answer(s.args); }},
        {QStringLiteral("closeScreen"), {QString(), F::Flag, true, QString()}, false, {},
         QStringLiteral("The panel closes the screen, as when the operator leaves it for another. A box open at that "
                        "moment stays open (the module's code is still waiting in it) and must still be answered."),
         QStringLiteral("the panel closing the screen"), {},
         [](ScenarioRunner &r, const ScenarioStep &) {
             r.tearDownScreen();
             r.m_screenClosed = true;
             return StepOutcome{};
         }},
        // The cell and the controller.
        {QStringLiteral("connect"), {QString(), F::Flag, true, QString()}, true, {}, QStringLiteral("Makes or breaks the controller's link."),
         QStringLiteral("the simulator's Connected box"), {}, simulate},
        {QStringLiteral("fault"),
         {QString(), F::Choice, true, QString(),
          {QStringLiteral("fetch"), QStringLiteral("send"), QStringLiteral("listing"), QStringLiteral("read"), QStringLiteral("write")}},
         true,
         {{QStringLiteral("on"), F::Flag, false, QStringLiteral("true if not given")},
          {QStringLiteral("path"), F::Text, false, QStringLiteral("only controller paths containing this; a fault ends with the same path it began with")}},
         QStringLiteral("Makes the controller's transfers or files fail."), QStringLiteral("a fault box of the simulator"), {}, simulate},
        {QStringLiteral("robotRunning"), {QString(), F::Flag, true, QString()}, true, {},
         QStringLiteral("Starts or stops a program outside the reservation."),
         QStringLiteral("the simulator's robot box; never what a Start caused"), {}, simulate},
        {QStringLiteral("input"), {QString(), F::WholeNumber, true, QString(), {}, 1, 4}, false, {},
         QStringLiteral("Pulses a digital input of the reservation."), QStringLiteral("an input key"), {}, simulate},
        {QStringLiteral("binary"), {QString(), F::WholeNumber, true, QString(), {}, 1, ZUZ_SLOT_COUNT}, false, {},
         QStringLiteral("Sets the binary code and strobes it."), QStringLiteral("the strobe key with its code"), {}, simulate},
        {QStringLiteral("runTime"), {QString(), F::WholeNumber, true, QStringLiteral("milliseconds"), {}, 1}, true, {},
         QStringLiteral("How long a reserved program runs on the controller clock (3000 if never set)."),
         QStringLiteral("the run time when recording began and each change"), {}, simulate},
        {QStringLiteral("softPlcAutoStart"), {QString(), F::Flags, true, QStringLiteral("one a soft-PLC, from the first")}, true, {},
         QStringLiteral("Sets the service's auto-start flags of the soft-PLCs."),
         QStringLiteral("the flags when recording began and each auto-start box of the simulator"), {}, simulate},
        {QStringLiteral("advance"), {QString(), F::WholeNumber, true, QStringLiteral("milliseconds")}, false, {},
         QStringLiteral("Moves the controller clock on."), QStringLiteral("the clock's moves between commands"), {}, simulate},
        {QStringLiteral("write"), {QString(), F::Path, true, QString()}, true,
         {{QStringLiteral("content"), F::Text, true, QStringLiteral("${panel}, ${controller} and ${repeat:TEXT:N} are replaced")}},
         QStringLiteral("Writes a file."), notRecorded, {}, simulate},
        {QStringLiteral("remove"), {QString(), F::Path, true, QString()}, true, {}, QStringLiteral("Removes a file or a folder."), notRecorded,
         {}, simulate},
        {QStringLiteral("link"), {QString(), F::Path, true, QString()}, true, {{QStringLiteral("to"), F::Path, true, QString()}},
         QStringLiteral("Makes a symbolic link."), notRecorded, {}, simulate},
        {QStringLiteral("programs"), {QString(), F::WholeNumber, true, QStringLiteral("how many"), {}, 1, 100000}, true,
         {{QStringLiteral("folders"), F::WholeNumber, false,
           QStringLiteral("spread evenly over this many folders LINE_01, LINE_02...; none if not given"), {}, 1, 1000},
          {QStringLiteral("in"), F::Path, false, QStringLiteral("the folder they go in; controller:/RPL/ if not given")}},
         QStringLiteral("Fills the controller with generated programs PROGRAM_00001.XPL, PROGRAM_00002.XPL... (numbered "
                        "through all folders), as a big cell's."),
         notRecorded, {}, simulate},
        {QStringLiteral("diskLimit"), {QString(), F::NumberOrOff, true, QStringLiteral("bytes")}, false, {},
         QStringLiteral("Files can grow only to this size, as on a full disk; false lifts it."), notRecorded, {}, simulate},
        // Time and pictures.
        {QStringLiteral("wait"), {QString(), F::WholeNumber, true, QStringLiteral("milliseconds")}, false, {},
         QStringLiteral("Lets time pass."), QStringLiteral("the time between commands, from 100 ms"), {},
         [](ScenarioRunner &, const ScenarioStep &) { return StepOutcome{}; }},
        {QStringLiteral("screenshot"), {QString(), F::PictureName, true, QString()}, false,
         {{QStringLiteral("window"), F::Flag, false, QStringLiteral("the whole window")},
          {QStringLiteral("timeline"), F::Flag, false, QStringLiteral("the run timeline")}},
         QStringLiteral("Saves a PNG of the screen (with its box) into --screenshots."), notRecorded, {},
         [](ScenarioRunner &r, const ScenarioStep &s) { return r.screenshot(s.args); }},
        // What must hold; each waits for it up to "within" milliseconds.
        {QStringLiteral("expect text"), {}, false,
         {of(QStringLiteral("a widget, or a table or the chooser's tree with row or item")),
          {QStringLiteral("row"), F::WholeNumber, false, QStringLiteral("a table's row, from 1"), {}, 1},
          {QStringLiteral("column"), F::WholeNumber, false, QStringLiteral("from 1; 1 if not given"), {}, 1},
          {QStringLiteral("item"), F::Text, false, QStringLiteral("a tree item's path, such as \"RPL/A.XPL\"")},
          is(F::Text, false, QStringLiteral("the whole text")),
          {QStringLiteral("contains"), F::Text, false, QStringLiteral("a part of it")}, within},
         QStringLiteral("A widget's text (key, label, field, combo's current item), a table cell's or a tree item's."),
         notRecorded, {}, onScreen},
        {QStringLiteral("expect enabled"), {}, false, {of(QStringLiteral("a widget")), is(F::Flag, true, QString()), within},
         QStringLiteral("Whether a widget takes input."), notRecorded, {}, onScreen},
        {QStringLiteral("expect shown"), {}, false, {of(QStringLiteral("a widget")), is(F::Flag, true, QString()), within},
         QStringLiteral("Whether a widget is shown."), notRecorded, {}, onScreen},
        {QStringLiteral("expect rows"), {}, false, {of(QStringLiteral("a table or a tree")), is(F::WholeNumber, true, QString()), within},
         QStringLiteral("A table's rows, or a tree's top-level items."), notRecorded, {}, onScreen},
        {QStringLiteral("expect lamp"), {}, false, {is(F::Choice, true, QString(), {QStringLiteral("on"), QStringLiteral("off")}), within},
         QStringLiteral("The monitor's run lamp."), QStringLiteral("where a command left it, when it changed"), {}, onScreen},
        {QStringLiteral("expect page"), {}, false, {is(F::Text, true, QStringLiteral("a page's object name")), within},
         QStringLiteral("The page shown."), QStringLiteral("where a command led, when it changed"), {}, onScreen},
        {QStringLiteral("expect screen"), {}, false,
         {is(F::Choice, true, QString(), {QStringLiteral("open"), QStringLiteral("closed")}), within},
         QStringLiteral("Whether the screen is open (the module or the panel may close it)."), notRecorded, {}, onScreen},
        {QStringLiteral("expect box"), {}, false,
         {is(F::Text, false, QStringLiteral("its whole text")), {QStringLiteral("contains"), F::Text, false, QStringLiteral("a part of it")},
          {QStringLiteral("kind"), F::Choice, false, QString(),
           {QStringLiteral("information"), QStringLiteral("warning"), QStringLiteral("error")}},
          within},
         QStringLiteral("The box open now, or else the last one shown."), notRecorded, {}, onScreen},
        {QStringLiteral("expect boxes"), {}, false, {is(F::Texts, true, QString()), within},
         QStringLiteral("Every box shown since the screen opened, in order."), notRecorded, {}, onScreen},
        {QStringLiteral("expect file"), {}, false,
         {{QStringLiteral("path"), F::Path, true, QString()},
          {QStringLiteral("element"), F::Text, false,
           QStringLiteral("an XML element: \"Tag\" (the first), \"Tag[n]\" (the n-th of that name in the document, from 1) or \"Tag[attr=value]\"")},
          {QStringLiteral("attribute"), F::Text, false, QStringLiteral("the element's attribute; without it, the element's text")},
          is(F::Text, false, QStringLiteral("the whole value")),
          {QStringLiteral("contains"), F::Text, false, QStringLiteral("a part of it")},
          {QStringLiteral("lacks"), F::Text, false, QStringLiteral("a text it must not hold")},
          {QStringLiteral("absent"), F::Flag, false, QStringLiteral("the file (or with element, the element or its attribute) is not there")},
          within},
         QStringLiteral("A file of the trees, whole or an XML value of it."), QStringLiteral("each file the session changed, at its end"),
         {}, [](ScenarioRunner &r, const ScenarioStep &s) { return r.expectFile(s.args); }},
        {QStringLiteral("expect queue"), {}, false, {is(F::WholeNumbers, true, QStringLiteral("the slots waiting, in order; the running slot is not in it")), within},
         QStringLiteral("The reservation's queue."), QStringLiteral("the queue at the end"), {}, ofController},
        {QStringLiteral("expect slot"), {}, false,
         {{QStringLiteral("slot"), F::WholeNumber, true, QString(), {}, 1, ZUZ_SLOT_COUNT},
          {QStringLiteral("status"), F::Choice, false, QString(),
           {QStringLiteral("unreserved"), QStringLiteral("reserved"), QStringLiteral("running")}},
          {QStringLiteral("total"), F::WholeNumber, false, QStringLiteral("runs counted")}, within},
         QStringLiteral("A slot's status and run total in the service."), QStringLiteral("every slot at the end"), {}, ofController},
        {QStringLiteral("expect service"), {}, false,
         {{QStringLiteral("started"), F::Flag, false, QString()},
          {QStringLiteral("signalMode"), F::WholeNumber, false, QString()},
          {QStringLiteral("protocol"), F::WholeNumber, false, QString()},
          {QStringLiteral("programs"), F::Texts, false, QStringLiteral("the slots' programs, from the first")},
          {QStringLiteral("mapSize"), F::WholeNumber, false, QStringLiteral("entries of the program map in force")},
          {QStringLiteral("autoStart"), F::Flags, false, QStringLiteral("the soft-PLCs' auto-start flags, from the first")},
          within},
         QStringLiteral("The reservation service's state in force."), QStringLiteral("the service at the end"), {}, ofController},
        {QStringLiteral("expect robot"), {}, false, {is(F::Choice, true, QString(), {QStringLiteral("running"), QStringLiteral("idle")}), within},
         QStringLiteral("Whether the robot runs a program."), notRecorded, {}, ofController},
        {QStringLiteral("expect calls"), {}, false,
         {{QStringLiteral("of"), F::CallNames, true, QStringLiteral("call names, counted together")},
          {QStringLiteral("count"), F::WholeNumber, true, QString()}, within},
         QStringLiteral("How often the module called the platform since the screen opened."), notRecorded, {}, ofController},
        {QStringLiteral("expect unchanged"), {}, false,
         {{QStringLiteral("except"), F::Texts, false, QStringLiteral("tree paths that may change (a folder: all below it)")}, within},
         QStringLiteral("Every file of the controller, panel and outside trees is as it was when the screen had opened "
                        "(the screen's own start-up writes, such as its local copies, come before that)."),
         notRecorded, {}, [](ScenarioRunner &r, const ScenarioStep &s) { return r.expectUnchanged(s.args); }},
    };
    return defs;
}

StepOutcome ScenarioRunner::perform(const ScenarioStep &step)
{
    return step.def->run(*this, step);
}

StepOutcome ScenarioRunner::operate(const QString &kind, const QJsonObject &args)
{
    // As an operator does, the step waits for the screen to take input and for its widget.
    const QString covered = screenCovered();
    if (!covered.isEmpty())
        return notYet(covered);
    if (!m_session->widget())
        return failed(QStringLiteral("the screen is closed"));
    if (!m_pageWatch.ready(*m_session))
        return notYet(QStringLiteral("the page %1 is still reading what it shows").arg(screenprofile::currentPage(*m_session)));
    QString name = args.value(kind).toString();
    if (kind == QLatin1String("reserve") || kind == QLatin1String("cancel"))
        name = screenprofile::rowKey(kind, args.value(kind).toInt());
    QWidget *w = widget(name);
    if (!w)
        return error(QStringLiteral("there is no %1 on the screen").arg(name));
    if (!w->isVisible())
        return notYet(name + QStringLiteral(" is not shown"));
    if (!w->isEnabled())
        return notYet(name + QStringLiteral(" is disabled"));

    const bool pressing = kind == QLatin1String("press") || kind == QLatin1String("reserve") || kind == QLatin1String("cancel");
    if (auto *button = qobject_cast<QAbstractButton *>(w); button && pressing) {
        button->click();
        return held();
    }
    if (auto *combo = qobject_cast<QComboBox *>(w); combo && kind == QLatin1String("choose")) {
        // By its text, or by its place in the list for a scenario that plays in every language.
        const QString item = args.value(QStringLiteral("item")).toString();
        const int index = args.contains(QStringLiteral("index"))
                              ? args.value(QStringLiteral("index")).toInt(-1)
                              : combo->findText(item, Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (index < 0 || index >= combo->count()) {
            QStringList items;
            for (int i = 0; i < combo->count(); ++i)
                items << combo->itemText(i);
            const QString wanted = args.contains(QStringLiteral("index"))
                                       ? QStringLiteral("an item %1").arg(args.value(QStringLiteral("index")).toInt())
                                       : QLatin1Char('"') + item + QLatin1Char('"');
            return failed(QStringLiteral("%1 does not list %2; it lists \"%3\"").arg(name, wanted, items.join(QStringLiteral("\", \""))));
        }
        combo->setCurrentIndex(index);
        return held();
    }
    if (auto *edit = qobject_cast<QLineEdit *>(w); edit && kind == QLatin1String("type")) {
        edit->setText(args.value(QStringLiteral("text")).toString());
        return held();
    }
    if (auto *table = qobject_cast<QTableWidget *>(w); table && kind == QLatin1String("clickCell")) {
        const int row = args.value(QStringLiteral("row")).toInt(), column = args.value(QStringLiteral("column")).toInt();
        return clickCell(table, row - 1, column - 1)
                   ? held()
                   : notYet(QStringLiteral("cell %1, %2 of %3 cannot be clicked").arg(row).arg(column).arg(name));
    }
    return error(QStringLiteral("%1 is a %2, which \"%3\" cannot act on").arg(name, QString::fromLatin1(w->metaObject()->className()), kind));
}

StepOutcome ScenarioRunner::answer(const QJsonObject &args) const
{
    QWidget *box = screenprofile::openBox();
    if (!box)
        return notYet(QStringLiteral("no box is open"));
    const QJsonValue text = args.value(QStringLiteral("box"));
    if (text.isString() && screenprofile::textOf(box) != substituted(text).toString())
        return failed(QStringLiteral("the box says %1").arg(shown(screenprofile::textOf(box))));
    const QString answer = args.value(QStringLiteral("answer")).toString();
    const QStringList keys = screenprofile::answerKeys(answer);
    if (keys.isEmpty())
        return error(QStringLiteral("an answer is confirm, cancel, acknowledge or select"));
    for (const QString &key : qAsConst(keys))
        if (auto *button = box->findChild<QAbstractButton *>(key)) {
            button->click();
            return held();
        }
    if (answer == QLatin1String("close")) {
        // A dialog with no X of its own is closed as the window system closes it.
        box->close();
        return held();
    }
    return failed(QStringLiteral("the box %1 has no key to %2").arg(shown(screenprofile::textOf(box)), answer));
}

StepOutcome ScenarioRunner::pick(const QJsonObject &args) const
{
    QWidget *chooser = QApplication::activeModalWidget();
    auto *tree = chooser ? chooser->findChild<QTreeWidget *>() : nullptr;
    if (!tree)
        return notYet(QStringLiteral("no program chooser is open"));
    const QString path = args.value(QStringLiteral("pick")).toString();
    QTreeWidgetItem *item = treeItemAt(tree, path);
    if (!item)
        return notYet(QStringLiteral("the chooser lists no %1").arg(path));
    // Clicked as the operator does: a directory brings its refusal, which a later step answers.
    if (!clickItem(tree, item))
        return notYet(QStringLiteral("%1 is not shown in the chooser").arg(path));
    if (args.value(QStringLiteral("select")).toBool(true))
        if (auto *select = chooser->findChild<QAbstractButton *>(screenprofile::chooserSelectKey))
            select->click();
    return held();
}

StepOutcome ScenarioRunner::simulate(const QString &kind, const QJsonObject &args)
{
    sim::Controller &ctrl = sim::Controller::instance();
    sim::Reservation &service = sim::Reservation::instance();
    const QJsonValue value = args.value(kind);
    const int number = value.toInt();
    // What a step changes in the trees, it changes behind the controller's file service.
    if (kind == QLatin1String("write") || kind == QLatin1String("remove") || kind == QLatin1String("link")
        || kind == QLatin1String("programs"))
        ctrl.treeChanged();
    if (kind == QLatin1String("connect")) {
        ctrl.setConnected(value.toBool());
    } else if (kind == QLatin1String("fault")) {
        static const QMap<QString, sim::Fault> faults = {
            {QStringLiteral("fetch"), sim::Fault::Fetch}, {QStringLiteral("send"), sim::Fault::Send},
            {QStringLiteral("listing"), sim::Fault::Listing}, {QStringLiteral("read"), sim::Fault::Read},
            {QStringLiteral("write"), sim::Fault::Write}};
        if (!faults.contains(value.toString()))
            return error(QStringLiteral("a fault is fetch, send, listing, read or write"));
        ctrl.setFault(faults.value(value.toString()), args.value(QStringLiteral("on")).toBool(true),
                      args.value(QStringLiteral("path")).toString());
    } else if (kind == QLatin1String("robotRunning")) {
        ctrl.setRobotRunning(value.toBool());
    } else if (kind == QLatin1String("input")) {
        if (number < 1 || number > 4)
            return error(QStringLiteral("the inputs are 1 to 4"));
        service.pulseInput(number);
    } else if (kind == QLatin1String("binary")) {
        if (number < 1 || number > ZUZ_SLOT_COUNT)
            return error(QStringLiteral("a binary code is 1 to %1").arg(ZUZ_SLOT_COUNT));
        service.setBinaryCode(number);
        service.strobe();
    } else if (kind == QLatin1String("runTime")) {
        ctrl.setRunDuration(value.toVariant().toLongLong());
    } else if (kind == QLatin1String("softPlcAutoStart")) {
        // Before the screen opens they stand over what the service reads from the controller then.
        if (m_phase == Phase::Setup)
            m_setupAutoStart = value.toArray();
        const QJsonArray flags = value.toArray();
        for (int plc = 0; plc < flags.size() && plc < 4; ++plc)
            service.setAutoStart(plc, flags.at(plc).toBool());
    } else if (kind == QLatin1String("advance")) {
        ctrl.advance(value.toVariant().toLongLong());
    } else if (kind == QLatin1String("write")) {
        const QString content = substituted(args.value(QStringLiteral("content"))).toString();
        const QString path = resolve(value.toString());
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(content.toUtf8()) < 0)
            return failed(QStringLiteral("%1 cannot be written").arg(value.toString()));
    } else if (kind == QLatin1String("remove")) {
        const QString path = resolve(value.toString());
        if (QFileInfo(path).isDir() ? !QDir(path).removeRecursively() : !QFile::remove(path))
            return failed(QStringLiteral("%1 cannot be removed").arg(value.toString()));
    } else if (kind == QLatin1String("link")) {
        QDir().mkpath(QFileInfo(resolve(value.toString())).absolutePath());
        if (!QFile::link(resolve(args.value(QStringLiteral("to")).toString()), resolve(value.toString())))
            return failed(QStringLiteral("%1 cannot be made a link").arg(value.toString()));
    } else if (kind == QLatin1String("programs")) {
        const QString in = args.value(QStringLiteral("in")).toString(QStringLiteral("controller:/RPL/"));
        const int folders = args.value(QStringLiteral("folders")).toInt(0);
        QString made;
        for (int p = 0; p < number; ++p) {
            const QString folder = folders > 0 ? QStringLiteral("/LINE_%1").arg(qint64(p) * folders / number + 1, 2, 10, QLatin1Char('0'))
                                               : QString();
            const QString dir = resolve(in) + folder;
            if (dir != made && QDir().mkpath(dir))
                made = dir;
            QFile file(QStringLiteral("%1/PROGRAM_%2.XPL").arg(dir).arg(p + 1, 5, 10, QLatin1Char('0')));
            if (!file.open(QIODevice::WriteOnly) || file.write("MOVJ P1\nEND\n") < 0)
                return failed(QStringLiteral("%1 cannot be written").arg(file.fileName()));
        }
    } else if (kind == QLatin1String("diskLimit")) {
        limitFileSize(value.isBool() ? -1 : value.toVariant().toLongLong());
    }
    return held();
}

StepOutcome ScenarioRunner::screenshot(const QJsonObject &args) const
{
    const QString name = args.value(QStringLiteral("screenshot")).toString();
    if (m_shotDir.isEmpty())
        return held();
    QDir().mkpath(m_shotDir);
    const QPixmap pixmap = m_stage->picture(args.value(QStringLiteral("window")).toBool()     ? Stage::Picture::Window
                                            : args.value(QStringLiteral("timeline")).toBool() ? Stage::Picture::Timeline
                                                                                               : Stage::Picture::Screen);
    const QString path = QDir(m_shotDir).filePath(name + QStringLiteral(".png"));
    return pixmap.save(path) ? held() : failed(QStringLiteral("%1 cannot be written").arg(path));
}

StepOutcome ScenarioRunner::check(const QString &what, const QJsonValue &expected, const QJsonValue &found) const
{
    const QJsonValue wanted = substituted(expected);
    if (wanted == found)
        return held();
    return notYet(QStringLiteral("%1: expected %2, found %3").arg(what, shown(wanted), shown(found)));
}

StepOutcome ScenarioRunner::expectOnScreen(const QString &what, const QJsonObject &args) const
{
    const QJsonValue is = args.value(QStringLiteral("is"));
    if (what == QLatin1String("screen"))
        return check(QStringLiteral("the screen"), is,
                     m_screenClosed || !m_session->widget() ? QStringLiteral("closed") : QStringLiteral("open"));
    if (what == QLatin1String("page"))
        return check(QStringLiteral("the page shown"), is, screenprofile::currentPage(*m_session));
    if (what == QLatin1String("box") || what == QLatin1String("boxes")) {
        const QList<sim::MsgBoxRecord> records = sim::MsgBoxHooks::records();
        if (what == QLatin1String("boxes")) {
            QJsonArray texts;
            for (const sim::MsgBoxRecord &record : records)
                texts << record.text;
            return check(QStringLiteral("the boxes shown"), is, texts);
        }
        // A box open now is the last one shown.
        const QList<sim::MsgBoxRecord> open = sim::MsgBoxHooks::open();
        if (records.isEmpty() && open.isEmpty())
            return notYet(QStringLiteral("no box was shown"));
        const sim::MsgBoxRecord &last = open.isEmpty() ? records.last() : open.last();
        if (args.contains(QStringLiteral("kind")))
            if (StepOutcome o = check(QStringLiteral("the last box's kind"), args.value(QStringLiteral("kind")),
                                      boxKinds.value(last.kind));
                o.state != StepOutcome::Held)
                return o;
        if (args.contains(QStringLiteral("contains"))
            && !last.text.contains(substituted(args.value(QStringLiteral("contains"))).toString()))
            return notYet(QStringLiteral("the last box says %1").arg(shown(last.text)));
        return args.contains(QStringLiteral("is")) ? check(QStringLiteral("the last box"), is, last.text) : held();
    }

    if (!m_session->widget())
        return failed(QStringLiteral("the screen is closed"));
    const QString name = what == QLatin1String("lamp") ? screenprofile::lamp
                                                       : args.value(QStringLiteral("of")).toString();
    QWidget *w = widget(name);
    if (!w)
        return error(QStringLiteral("there is no %1 on the screen").arg(name));
    if (what == QLatin1String("lamp")) {
        auto *lamp = qobject_cast<QCheckBox *>(w);
        return check(QStringLiteral("the lamp"), is, lamp && lamp->isChecked() ? QStringLiteral("on") : QStringLiteral("off"));
    }
    if (what == QLatin1String("enabled"))
        return check(name + QStringLiteral(" enabled"), is, w->isEnabled());
    if (what == QLatin1String("shown"))
        return check(name + QStringLiteral(" shown"), is, w->isVisible());
    if (what == QLatin1String("rows")) {
        auto *table = qobject_cast<QTableWidget *>(w);
        auto *tree = qobject_cast<QTreeWidget *>(w);
        if (!table && !tree)
            return error(name + QStringLiteral(" is neither a table nor a tree"));
        return check(QStringLiteral("the rows of ") + name, is, table ? table->rowCount() : tree->topLevelItemCount());
    }

    QString text = widgetText(w);
    if (args.contains(QStringLiteral("item"))) {
        auto *tree = qobject_cast<QTreeWidget *>(w);
        if (!tree)
            return error(name + QStringLiteral(" is no tree"));
        const QString path = args.value(QStringLiteral("item")).toString();
        QTreeWidgetItem *item = treeItemAt(tree, path);
        const int column = args.value(QStringLiteral("column")).toInt(1) - 1;
        if (!item || column >= tree->columnCount())
            return notYet(QStringLiteral("%1 lists no %2 with %3 columns").arg(name, path).arg(column + 1));
        text = item->text(column);
    } else if (args.contains(QStringLiteral("row"))) {
        auto *table = qobject_cast<QTableWidget *>(w);
        if (!table)
            return error(name + QStringLiteral(" is no table"));
        const int row = args.value(QStringLiteral("row")).toInt() - 1;
        const int column = args.value(QStringLiteral("column")).toInt(1) - 1;
        if (row >= table->rowCount() || column >= table->columnCount())
            return notYet(QStringLiteral("%1 has %2 rows and %3 columns").arg(name).arg(table->rowCount()).arg(table->columnCount()));
        if (QTableWidgetItem *item = table->item(row, column))
            text = item->text();
        else if (QWidget *cell = table->cellWidget(row, column))
            text = widgetText(cell);
        else
            text.clear();
    }
    const QString place = args.contains(QStringLiteral("item"))
                              ? QStringLiteral("%1, %2, column %3").arg(name, args.value(QStringLiteral("item")).toString())
                                    .arg(args.value(QStringLiteral("column")).toInt(1))
                          : args.contains(QStringLiteral("row"))
                              ? QStringLiteral("%1, row %2, column %3").arg(name).arg(args.value(QStringLiteral("row")).toInt())
                                    .arg(args.value(QStringLiteral("column")).toInt(1))
                              : name;
    if (args.contains(QStringLiteral("contains"))) {
        const QString part = substituted(args.value(QStringLiteral("contains"))).toString();
        if (!text.contains(part))
            return notYet(QStringLiteral("%1: expected a text with %2, found %3").arg(place, shown(part), shown(text)));
    }
    return args.contains(QStringLiteral("is")) ? check(place, is, text) : held();
}

StepOutcome ScenarioRunner::expectOfController(const QString &what, const QJsonObject &args) const
{
    const sim::Reservation &service = sim::Reservation::instance();
    const QJsonValue is = args.value(QStringLiteral("is"));
    if (what == QLatin1String("queue")) {
        QJsonArray queued;
        for (int slot : service.queue())
            queued << slot + 1;
        return check(QStringLiteral("the queue"), is, queued);
    }
    if (what == QLatin1String("robot"))
        return check(QStringLiteral("the robot"), is,
                     sim::Controller::instance().isRobotRunning() ? QStringLiteral("running") : QStringLiteral("idle"));
    if (what == QLatin1String("calls")) {
        QStringList names;
        for (const QJsonValue &name : args.value(QStringLiteral("of")).toArray())
            names << name.toString();
        return check(QStringLiteral("calls of ") + names.join(QStringLiteral(", ")), args.value(QStringLiteral("count")),
                     int(sim::CallLog::instance().count(names)));
    }
    // A slot, or the service's state; every field given must match.
    QJsonObject found;
    if (what == QLatin1String("slot")) {
        const int slot = args.value(QStringLiteral("slot")).toInt() - 1;
        found.insert(QStringLiteral("status"), slotStatuses.value(service.status(slot), QString::number(service.status(slot))));
        found.insert(QStringLiteral("total"), service.total(slot));
    } else {
        const ZuzEraroveData config = service.configInForce();
        found.insert(QStringLiteral("started"), service.isStarted());
        found.insert(QStringLiteral("signalMode"), config.signalMode);
        found.insert(QStringLiteral("protocol"), config.protocol);
        found.insert(QStringLiteral("mapSize"), int(service.programMapInForce().size()));
        QJsonArray programs, autoStart;
        for (int i = 0; i < args.value(QStringLiteral("programs")).toArray().size() && i < ZUZ_SLOT_COUNT; ++i)
            programs << config.rplNames[i];
        for (int i = 0; i < args.value(QStringLiteral("autoStart")).toArray().size() && i < 4; ++i)
            autoStart << service.autoStart(i);
        found.insert(QStringLiteral("programs"), programs);
        found.insert(QStringLiteral("autoStart"), autoStart);
    }
    for (auto it = args.begin(); it != args.end(); ++it) {
        if (!found.contains(it.key()))
            continue;
        const StepOutcome o = check(QStringLiteral("%1 %2").arg(what, it.key()), it.value(), found.value(it.key()));
        if (o.state != StepOutcome::Held)
            return o;
    }
    return held();
}

StepOutcome ScenarioRunner::expectFile(const QJsonObject &args) const
{
    const QString name = args.value(QStringLiteral("path")).toString();
    const bool inFile = args.contains(QStringLiteral("element"));
    QFile file(resolve(name));
    if (args.contains(QStringLiteral("absent")) && !inFile)
        return check(name + QStringLiteral(" absent"), args.value(QStringLiteral("absent")), !file.exists());
    if (!file.open(QIODevice::ReadOnly))
        return notYet(name + QStringLiteral(" cannot be read"));
    QString value = QString::fromUtf8(file.readAll());
    QString place = name;
    if (inFile) {
        const QString element = args.value(QStringLiteral("element")).toString();
        const QString attribute = args.value(QStringLiteral("attribute")).toString();
        place = QStringLiteral("%1, %2%3").arg(name, element, attribute.isEmpty() ? QString() : QLatin1Char('@') + attribute);
        const bool found = xmlValue(value.toUtf8(), element, attribute, &value);
        if (args.contains(QStringLiteral("absent")))
            return check(place + QStringLiteral(" absent"), args.value(QStringLiteral("absent")), !found);
        if (!found)
            return notYet(QStringLiteral("%1 is not in the file").arg(place));
    }
    if (args.contains(QStringLiteral("contains"))) {
        const QString part = substituted(args.value(QStringLiteral("contains"))).toString();
        if (!value.contains(part))
            return notYet(QStringLiteral("%1: expected a text with %2, found %3").arg(place, shown(part), shown(value)));
    }
    if (args.contains(QStringLiteral("lacks"))) {
        const QString part = substituted(args.value(QStringLiteral("lacks"))).toString();
        if (value.contains(part))
            return notYet(QStringLiteral("%1: expected no %2, found %3").arg(place, shown(part), shown(value)));
    }
    return args.contains(QStringLiteral("is")) ? check(place, args.value(QStringLiteral("is")), value) : held();
}

StepOutcome ScenarioRunner::expectUnchanged(const QJsonObject &args) const
{
    QStringList allowed;
    for (const QJsonValue &path : args.value(QStringLiteral("except")).toArray())
        allowed << QDir(m_workDir).relativeFilePath(resolve(path.toString()));
    auto mayChange = [&allowed](const QString &path) {
        for (const QString &a : allowed)
            if (path == a || path.startsWith(a + QLatin1Char('/')))
                return true;
        return false;
    };
    const QMap<QString, QByteArray> now = snapshot();
    QStringList paths = m_before.keys() + now.keys();
    paths.removeDuplicates();
    QStringList changed;
    for (const QString &path : qAsConst(paths))
        if (!mayChange(path) && (m_before.value(path) != now.value(path) || m_before.contains(path) != now.contains(path)))
            changed << path;
    return changed.isEmpty() ? held() : notYet(QStringLiteral("changed: ") + changed.join(QStringLiteral(", ")));
}

QWidget *ScenarioRunner::widget(const QString &name) const
{
    if (QWidget *modal = QApplication::activeModalWidget())
        if (QWidget *w = modal->findChild<QWidget *>(name))
            return w;
    if (!m_session->widget())
        return nullptr;
    QWidget *any = nullptr;
    for (QWidget *w : m_stage->pendantScreen()->findChildren<QWidget *>(name)) {
        if (w->isVisible())
            return w;
        if (!any)
            any = w;
    }
    return any;
}
