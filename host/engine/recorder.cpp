#include "engine/recorder.h"

#include "engine/idlerule.h"
#include "engine/operatorinput.h"
#include "engine/outputfiles.h"
#include "engine/scenario.h"
#include "engine/stepregistry.h"
#include "engine/screenprofile.h"
#include "engine/session.h"
#include "engine/stage.h"
#include "treefiles/folder.h"
#include "engine/steps.h"

#include "simcontroller.h"
#include "zuzerarovesim.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QLabel>
#include <QLineEdit>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QPointer>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTextCodec>
#include <QTimer>
#include <QTreeWidget>

namespace {

// The path of a chooser item: its texts from the top, joined by "/".
QString itemPath(const QTreeWidgetItem *item)
{
    QStringList parts;
    for (; item; item = item->parent())
        parts.prepend(item->text(0));
    return parts.join(QLatin1Char('/'));
}

QJsonArray autoStartFlags()
{
    QJsonArray flags;
    for (int plc = 0; plc < 4; ++plc)
        flags << sim::Reservation::instance().autoStart(plc);
    return flags;
}

// The files below a folder, by their paths relative to it.
QMap<QString, QByteArray> filesBelow(const QString &root)
{
    QMap<QString, treefiles::TreeEntry> entries;
    (void)treefiles::readTree(root, treefiles::anySize, &entries);
    QMap<QString, QByteArray> files;
    for (auto it = entries.cbegin(); it != entries.cend(); ++it)
        if (it->kind == treefiles::TreeEntry::File || it->kind == treefiles::TreeEntry::Unreadable)
            files.insert(it.key(), it->bytes);
    return files;
}

// A file's end state is written as its text, up to this size.
constexpr int MostExpectedBytes = 256 * 1024;

// A date and time as a file's writer stamps it from the wall clock: "2026/01/01 00:00:00".
const QRegularExpression &wallClockStamp()
{
    static const QRegularExpression stamp(QStringLiteral("\\d{4}[/-]\\d{2}[/-]\\d{2}[ T]\\d{2}:\\d{2}:\\d{2}"));
    return stamp;
}

} // namespace

QJsonObject Recorder::step(const QString &name, const QJsonValue &value, const QJsonObject &fields) const
{
    return recordedStep(stepDefs(), name, value, fields);
}

Recorder::Recorder(Stage *stage, const ModuleSession *session, const OutputFiles *files, QObject *parent)
    : QObject(parent), m_stage(stage), m_session(session), m_files(files)
{
}

Recorder::~Recorder()
{
    qApp->removeEventFilter(this);
}

Result Recorder::startRecording(const QString &file, const QString &controllerRoot, const QString &panelRoot, const QString &language)
{
    const QFileInfo info(file);
    m_file = info.absoluteFilePath();
    m_controllerRoot = controllerRoot;
    m_controllerCopy = info.completeBaseName() + QStringLiteral(".controller");
    m_panelCopy = info.completeBaseName() + QStringLiteral(".panel");
    m_language = language;
    if (info.exists() || info.isSymLink())
        return Result::failure(QStringLiteral("%1 exists already; record to another file").arg(file));
    // Both trees the session starts from, so that the replay starts where the operator did.
    for (const QString &name : {m_controllerCopy, m_panelCopy}) {
        const QString copy = info.absoluteDir().filePath(name);
        if (QFileInfo::exists(copy) || QFileInfo(copy).isSymLink())
            return Result::failure(QStringLiteral("%1 exists already; the recording's copy goes there").arg(copy));
    }
    // Each copy is put in place whole; a recording refused takes away what it made.
    const QString controllerCopy = info.absoluteDir().filePath(m_controllerCopy);
    const QString panelCopy = info.absoluteDir().filePath(m_panelCopy);
    Result copied = m_files->copyTree(controllerRoot, controllerCopy, true);
    if (copied)
        copied = m_files->copyTree(panelRoot, panelCopy, true);
    if (copied)
        copied = m_files->check(m_file);
    if (!copied) {
        (void)m_files->removePath(controllerCopy);
        return copied;
    }
    // What the replay must start from that the controller's files do not hold.
    const sim::Controller &ctrl = sim::Controller::instance();
    m_setup << step(QStringLiteral("runTime"), ctrl.runDuration())
            << step(QStringLiteral("softPlcAutoStart"), autoStartFlags());
    m_sinceLast.start();
    m_clockAtLast = ctrl.now();
    // The service as it stands now is where the first command starts; the screen, still starting,
    // is written whole before the first command.
    for (const auto &[what, expectation] : slotsAndQueue())
        m_checked.insert(what, expectation);
    m_started = true;
    qApp->installEventFilter(this);
    writeRecording();
    if (m_writeError.isEmpty())
        return Result::ok();
    for (const QString &copy : {controllerCopy, panelCopy})
        (void)m_files->removePath(copy);
    return Result::failure(m_writeError);
}

bool Recorder::onScreen(const QWidget *widget) const
{
    return widget && m_session->widget() && m_stage->pendantScreen()->isAncestorOf(widget);
}

void Recorder::simulated(const QString &name, const QJsonValue &value, const QJsonObject &fields)
{
    // The simulator's commands are checked against the screen as it is now, not as a touch found
    // it that led to no command.
    m_beforeInput.reset();
    if (m_started)
        add(step(name, value, fields));
}

void Recorder::connectionSet(bool on) { simulated(QStringLiteral("connect"), on); }
void Recorder::robotRunningSet(bool on) { simulated(QStringLiteral("robotRunning"), on); }
void Recorder::runTimeSet(qint64 ms) { simulated(QStringLiteral("runTime"), ms); }
void Recorder::inputPulsed(int input) { simulated(QStringLiteral("input"), input); }
void Recorder::codeStrobed(int code) { simulated(QStringLiteral("binary"), code); }
void Recorder::faultSet(const QString &fault, bool on) { simulated(QStringLiteral("fault"), fault, {{QStringLiteral("on"), on}}); }

void Recorder::autoStartSet(const QList<bool> &flags)
{
    QJsonArray values;
    for (bool on : flags)
        values << on;
    simulated(QStringLiteral("softPlcAutoStart"), values);
}

void Recorder::add(const QJsonObject &next)
{
    // Typing ends with the next command.
    const bool typing = next.contains(QStringLiteral("type"));
    if (!typing)
        flushTyping();
    catchUp();
    checkpoint();
    m_steps.append(next);
    if (!typing)
        m_beforeInput.reset();
    writeRecording();
}

void Recorder::catchUp()
{
    const qint64 waited = m_sinceLast.restart();
    if (waited >= 100)
        m_steps.append(step(QStringLiteral("wait"), waited));
    const qint64 clock = sim::Controller::instance().now();
    if (clock > m_clockAtLast)
        m_steps.append(step(QStringLiteral("advance"), clock - m_clockAtLast));
    m_clockAtLast = clock;
}

void Recorder::writeRecording()
{
    // While the session goes on, the file also ends as a kill would leave the panel: the text
    // typed so far, and every box open answered as the panel's close answers it.
    QJsonArray steps = m_steps;
    if (m_started) {
        for (auto it = m_typing.cbegin(); it != m_typing.cend(); ++it)
            steps.append(step(QStringLiteral("type"), it.key(), {{QStringLiteral("text"), it.value()}}));
        const QList<QJsonObject> closing = m_session->widget() ? closingSteps() : QList<QJsonObject>();
        for (const QJsonObject &answer : closing)
            steps.append(answer);
        if (!closing.isEmpty())
            steps.append(step(QStringLiteral("closeScreen"), true));
    }
    QJsonObject scenario{{QStringLiteral("name"), QStringLiteral("recorded %1").arg(QFileInfo(m_file).completeBaseName())},
                         {QStringLiteral("controller"), m_controllerCopy},
                         {QStringLiteral("panel"), m_panelCopy},
                         {QStringLiteral("setup"), m_setup},
                         {QStringLiteral("steps"), steps}};
    if (!m_language.isEmpty())
        scenario.insert(QStringLiteral("language"), m_language);
    if (const Result written = m_files->writeFile(m_file, QJsonDocument(scenario).toJson()); !written)
        m_writeError = written.error();
    ++m_writes;
}

QJsonObject Recorder::serviceInForce() const
{
    const sim::Reservation &service = sim::Reservation::instance();
    const ZuzEraroveData config = service.configInForce();
    QJsonArray programs;
    for (int slot = 0; slot < ZUZ_SLOT_COUNT; ++slot)
        programs << config.rplNames[slot];
    return step(QStringLiteral("expect service"), {},
                {{QStringLiteral("started"), service.isStarted()},
                 {QStringLiteral("signalMode"), config.signalMode},
                 {QStringLiteral("protocol"), config.protocol},
                 {QStringLiteral("programs"), programs},
                 {QStringLiteral("mapSize"), int(service.programMapInForce().size())},
                 {QStringLiteral("autoStart"), autoStartFlags()}});
}

QList<QPair<QString, QJsonObject>> Recorder::slotsAndQueue() const
{
    const sim::Reservation &service = sim::Reservation::instance();
    static const char *const statuses[] = {"unreserved", "reserved", "running"};
    QList<QPair<QString, QJsonObject>> state;
    for (int slot = 0; slot < ZUZ_SLOT_COUNT; ++slot) {
        const int status = service.status(slot);
        QJsonObject fields{{QStringLiteral("slot"), slot + 1}, {QStringLiteral("total"), service.total(slot)}};
        if (status >= 0 && status <= 2)
            fields.insert(QStringLiteral("status"), QString::fromLatin1(statuses[status]));
        state.append({QStringLiteral("slot %1").arg(slot + 1), step(QStringLiteral("expect slot"), {}, fields)});
    }
    QJsonArray queue;
    for (int slot : service.queue())
        queue << slot + 1;
    state.append({QStringLiteral("queue"), step(QStringLiteral("expect queue"), {}, {{QStringLiteral("is"), queue}})});
    // What the service holds in force: a save that went another way fails at the next command.
    state.append({QStringLiteral("service"), serviceInForce()});
    return state;
}

QList<QPair<QString, QJsonObject>> Recorder::observed() const
{
    QList<QPair<QString, QJsonObject>> now;
    QWidget *page = screenprofile::currentPageWidget(*m_session);
    // The screen in the middle of its own work (Start's wait, a page's first read) is what no
    // replay sees, since the player waits for it to come to rest: it is checked once it has.
    if (!page || !idlerule::pendingWork(m_stage->pendantScreen()).isEmpty())
        return now + slotsAndQueue();
    now.append({QStringLiteral("page"), step(QStringLiteral("expect page"), {}, {{QStringLiteral("is"), page->objectName()}})});
    // The monitor's rows as its next poll shows them: the host's idle call, made now.
    if (page->findChild<QTableWidget *>(screenprofile::monitorTable))
        m_session->idle();
    auto text = [this](const QString &name, const QString &value, const QJsonObject &where = {}) {
        QJsonObject fields = where;
        fields.insert(QStringLiteral("of"), name);
        fields.insert(QStringLiteral("is"), value);
        return step(QStringLiteral("expect text"), {}, fields);
    };
    auto enabled = [this](const QWidget *w) {
        return QPair<QString, QJsonObject>{QStringLiteral("enabled of ") + w->objectName(),
                                           step(QStringLiteral("expect enabled"), {},
                                                {{QStringLiteral("of"), w->objectName()}, {QStringLiteral("is"), w->isEnabled()}})};
    };
    // Every widget of the page with a name, as the operator sees it: a key's text and whether it
    // takes a touch, a label's, a field's, a list's item shown, and each cell of a table.
    QSet<QString> named;
    for (QWidget *w : page->findChildren<QWidget *>()) {
        const QString name = w->objectName();
        if (name.isEmpty() || name.startsWith(QLatin1String("qt_")) || !w->isVisible() || named.contains(name))
            continue;
        named.insert(name);
        if (auto *lamp = qobject_cast<QCheckBox *>(w); lamp && name == screenprofile::lamp) {
            now.append({QStringLiteral("lamp"), step(QStringLiteral("expect lamp"), {},
                                                    {{QStringLiteral("is"), lamp->isChecked() ? QStringLiteral("on") : QStringLiteral("off")}})});
        } else if (auto *table = qobject_cast<QTableWidget *>(w)) {
            now.append({QStringLiteral("rows of ") + name, step(QStringLiteral("expect rows"), {},
                                                               {{QStringLiteral("of"), name}, {QStringLiteral("is"), table->rowCount()}})});
            // A column whole, a cell a line; the monitor's names cell by cell, where they stand still.
            for (int c = 0; c < table->columnCount(); ++c) {
                if (name == screenprofile::monitorTable && c + 1 == screenprofile::monitorName) {
                    for (int r = 0; r < table->rowCount(); ++r) {
                        const QString value = table->item(r, c) ? table->item(r, c)->text() : QString();
                        if (!rolls(r, value))
                            now.append({QStringLiteral("%1 row %2 column %3").arg(name).arg(r + 1).arg(c + 1),
                                        text(name, value, {{QStringLiteral("row"), r + 1}, {QStringLiteral("column"), c + 1}})});
                    }
                    continue;
                }
                now.append({QStringLiteral("%1 column %2").arg(name).arg(c + 1),
                            text(name, operatorinput::columnText(table, c), {{QStringLiteral("column"), c + 1}})});
            }
        } else if (qobject_cast<QAbstractButton *>(w) && !qobject_cast<QCheckBox *>(w)) {
            now.append({QStringLiteral("text of ") + name, text(name, operatorinput::widgetText(w))});
            now.append(enabled(w));
        } else if (qobject_cast<QLabel *>(w) || qobject_cast<QLineEdit *>(w) || qobject_cast<QComboBox *>(w)) {
            now.append({QStringLiteral("text of ") + name, text(name, operatorinput::widgetText(w))});
            if (!qobject_cast<QLabel *>(w))
                now.append(enabled(w));
        }
    }
    return now + slotsAndQueue();
}

bool Recorder::rolls(int row, const QString &shown) const
{
    // A name longer than the cell scrolls through it on the monitor's clock; what a cell shows of
    // it at one moment is no checkpoint. The cell shows the slot's program, or it with "(no file)"
    // after it, or "Null" for none: a whole name that short stands still.
    constexpr int noFile = 9; // "(no file)"
    constexpr int still = screenprofile::monitorNameStill;
    const QString program = sim::Reservation::instance().configInForce().rplNames[row];
    if (shown.size() > still)
        return true;
    if (program.isEmpty())
        return false; // "Null"
    if (program.size() > still)
        return true; // the end of a name that scrolls
    // With "(no file)" after it, a name that fits alone scrolls: only the bare name stands still.
    return program.size() + noFile > still && shown != program;
}

void Recorder::checkpoint()
{
    // What the last command changed, as the operator saw it and the service holds it; each is
    // written when it differs from what was last written.
    for (const auto &[what, expectation] : m_beforeInput ? *m_beforeInput : observed()) {
        if (m_checked.value(what) != expectation)
            m_steps.append(expectation);
        m_checked.insert(what, expectation);
    }
}

void Recorder::expectEnd()
{
    // Where the session left the controller: a replay that went another way fails here.
    m_steps.append(serviceInForce());
    // The queue first, then every slot.
    const QList<QPair<QString, QJsonObject>> state = slotsAndQueue();
    m_steps.append(state.at(ZUZ_SLOT_COUNT).second);
    for (int slot = 0; slot < ZUZ_SLOT_COUNT; ++slot)
        m_steps.append(state.at(slot).second);
    const QMap<QString, QByteArray> before = filesBelow(QFileInfo(m_file).absoluteDir().filePath(m_controllerCopy));
    const QMap<QString, QByteArray> now = filesBelow(m_controllerRoot);
    QStringList paths = before.keys() + now.keys();
    paths.removeDuplicates();
    paths.sort();
    for (const QString &path : qAsConst(paths)) {
        const QString treePath = QStringLiteral("controller:/") + path;
        if (!now.contains(path)) {
            m_steps.append(step(QStringLiteral("expect file"), {},
                                        {{QStringLiteral("path"), treePath}, {QStringLiteral("absent"), true}}));
            continue;
        }
        const QByteArray content = now.value(path);
        QTextCodec::ConverterState state;
        const QString text = QTextCodec::codecForName("UTF-8")->toUnicode(content.constData(), content.size(), &state);
        if (before.value(path) == content && before.contains(path))
            continue;
        const QStringList pieces = text.split(wallClockStamp());
        if (content.size() <= MostExpectedBytes && state.invalidChars == 0 && pieces.size() == 1)
            m_steps.append(step(QStringLiteral("expect file"), {},
                                        {{QStringLiteral("path"), treePath}, {QStringLiteral("is"), text}}));
        else if (content.size() <= MostExpectedBytes && state.invalidChars == 0)
            // The text around a time stamp the wall clock wrote, such as the soft-PLC file's date
            // line: its longest piece must be there.
            m_steps.append(step(QStringLiteral("expect file"), {},
                                        {{QStringLiteral("path"), treePath},
                                         {QStringLiteral("contains"), *std::max_element(pieces.begin(), pieces.end(),
                                                                                        [](const QString &a, const QString &b) {
                                                                                            return a.size() < b.size();
                                                                                        })}}));
        else
            m_steps.append(step(QStringLiteral("expect file"), {},
                                        {{QStringLiteral("path"), treePath}, {QStringLiteral("absent"), false}}));
    }
}

void Recorder::flushTyping()
{
    const QMap<QString, QString> typing = m_typing;
    m_typing.clear();
    // The typing starts from what the screen showed before its first key.
    std::optional<Observed> command = std::exchange(m_beforeInput, std::exchange(m_beforeTyping, std::nullopt));
    for (auto it = typing.cbegin(); it != typing.cend(); ++it)
        add(step(QStringLiteral("type"), it.key(), {{QStringLiteral("text"), it.value()}}));
    m_beforeInput = std::move(command);
}

void Recorder::watchInput(QWidget *widget)
{
    // Only the operator's own choices count: activated and textEdited come from the operator.
    for (QWidget *w = widget; w && onScreen(w); w = w->parentWidget()) {
        if (m_watched.contains(w))
            return;
        if (auto *combo = qobject_cast<QComboBox *>(w)) {
            m_watched.insert(combo);
            connect(combo, QOverload<int>::of(&QComboBox::activated), this, [this, combo](int index) {
                add(step(QStringLiteral("choose"), combo->objectName(), {{QStringLiteral("item"), combo->itemText(index)}}));
            });
            connect(combo, &QObject::destroyed, this, [this, combo] { m_watched.remove(combo); });
            return;
        }
        if (auto *edit = qobject_cast<QLineEdit *>(w)) {
            m_watched.insert(edit);
            // Written as typed, so a panel killed while typing keeps the text.
            connect(edit, &QLineEdit::textEdited, this, [this, edit](const QString &text) {
                if (m_typing.isEmpty())
                    m_beforeTyping = m_beforeInput;
                m_typing.insert(edit->objectName(), text);
                writeRecording();
            });
            connect(edit, &QObject::destroyed, this, [this, edit] { m_watched.remove(edit); });
            return;
        }
    }
}

bool Recorder::eventFilter(QObject *watched, QEvent *event)
{
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget)
        return false;
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::KeyPress || event->type() == QEvent::FocusIn)
        watchInput(widget);
    // The screen as the operator's touch or key finds it, before the screen acts on it.
    if ((event->type() == QEvent::MouseButtonPress || event->type() == QEvent::KeyPress) && event != m_lastInput
        && event != m_resent && m_started && m_session->widget()
        && (onScreen(widget) || qobject_cast<QDialog *>(widget->window()) || (widget->window()->windowFlags() & Qt::Popup))) {
        m_lastInput = event;
        m_beforeInput = observed();
    }
    if (event->type() == QEvent::KeyPress && event != m_resent && !static_cast<QKeyEvent *>(event)->isAutoRepeat()
        && keyPressed(widget, static_cast<QKeyEvent *>(event)->key())) {
        QKeyEvent copy(*static_cast<QKeyEvent *>(event));
        deliverInDialog(watched, &copy);
        return true;
    }
    // Seen before the widget acts on it, so the step comes before the box it may open.
    if (event->type() == QEvent::MouseButtonRelease && event != m_resent) {
        released(widget, static_cast<QMouseEvent *>(event)->pos());
        if (qobject_cast<QDialog *>(widget->window())) {
            QMouseEvent copy(*static_cast<QMouseEvent *>(event));
            deliverInDialog(watched, &copy);
            return true;
        }
    }
    // The window's X on a box or the chooser: a close the window system sends, or one that none
    // of its keys made.
    if (event->type() == QEvent::Close && widget->isWindow() && qobject_cast<QDialog *>(widget) && widget->isVisible()
        && (event->spontaneous() || widget != m_releasingIn)) {
        const QString text = screenprofile::textOf(widget);
        if (event->spontaneous())
            m_beforeInput.reset();
        add(step(QStringLiteral("answer"), QStringLiteral("close"),
                 text == widget->objectName() ? QJsonObject() : QJsonObject{{QStringLiteral("box"), text}}));
    }
    // A box or the chooser shown: a panel killed now leaves a recording that closes it as the
    // panel's close would.
    if (event->type() == QEvent::Show && widget->isWindow() && qobject_cast<QDialog *>(widget) && m_started)
        QTimer::singleShot(0, this, [this] { writeRecording(); });
    return false;
}

void Recorder::deliverInDialog(QObject *receiver, QEvent *copy)
{
    // Delivered here, so that a dialog its own key (or Return, or Escape) closes is known not to
    // be closed by its X; a box the key opens in turn is answered as any other.
    const QPointer<QWidget> outerDialog = m_releasingIn;
    QEvent *const outerEvent = m_resent;
    m_releasingIn = static_cast<QWidget *>(receiver)->window();
    m_resent = copy;
    QCoreApplication::sendEvent(receiver, copy);
    m_releasingIn = outerDialog;
    m_resent = outerEvent;
}

void Recorder::released(QWidget *widget, const QPoint &pos)
{
    if (!widget->rect().contains(pos) || !widget->isEnabled())
        return;
    // A box's key, modal or not, or the chooser's.
    QWidget *window = widget->window();
    if (qobject_cast<QDialog *>(window) && window->isAncestorOf(widget)) {
        const QString answer = screenprofile::answerOf(widget, window);
        auto *tree = qobject_cast<QTreeWidget *>(widget->parentWidget());
        if (tree && widget == tree->viewport()) {
            if (const QTreeWidgetItem *item = tree->itemAt(pos))
                add(step(QStringLiteral("pick"), itemPath(item), {{QStringLiteral("select"), false}}));
        } else if (!answer.isEmpty()) {
            const QString text = screenprofile::textOf(window);
            add(step(QStringLiteral("answer"), answer,
                             text == window->objectName() ? QJsonObject() : QJsonObject{{QStringLiteral("box"), text}}));
        }
        return;
    }
    if (!onScreen(widget) || QApplication::activeModalWidget())
        return;
    if (auto *button = qobject_cast<QAbstractButton *>(widget)) {
        QString kind;
        int slot = 0;
        add(screenprofile::isRowKey(button->objectName(), &kind, &slot) ? step(kind, slot)
                                                                         : step(QStringLiteral("press"), button->objectName()));
        return;
    }
    if (auto *table = qobject_cast<QTableWidget *>(widget->parentWidget()); table && widget == table->viewport()) {
        const QModelIndex index = table->indexAt(pos);
        if (index.isValid())
            add(step(QStringLiteral("clickCell"), table->objectName(),
                             {{QStringLiteral("row"), index.row() + 1}, {QStringLiteral("column"), index.column() + 1}}));
    }
}

bool Recorder::keyPressed(QWidget *widget, int key)
{
    // Return or Escape in a box or the chooser, heard once: where the key first arrives.
    auto *dialog = qobject_cast<QDialog *>(widget->window());
    const QWidget *focus = dialog ? dialog->focusWidget() : nullptr;
    if (!dialog || !dialog->isVisible() || widget != (focus ? focus : dialog))
        return false;
    const QString text = screenprofile::textOf(dialog);
    const QJsonObject box = text == dialog->objectName() ? QJsonObject() : QJsonObject{{QStringLiteral("box"), text}};
    if (key == Qt::Key_Escape) {
        QJsonObject fields = box;
        fields.insert(QStringLiteral("by"), QStringLiteral("escape"));
        add(step(QStringLiteral("answer"), QStringLiteral("cancel"), fields));
        return true;
    }
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return false;
    const QString answer = screenprofile::answerOfReturn(dialog);
    if (answer.isEmpty())
        return false;
    QJsonObject fields = box;
    fields.insert(QStringLiteral("by"), QStringLiteral("return"));
    add(step(QStringLiteral("answer"), answer, fields));
    return true;
}

QList<QJsonObject> Recorder::closingSteps() const
{
    // Closing answers every box and the chooser open, the top one first, as Escape does.
    QList<QJsonObject> steps;
    const int open = operatorinput::waitingDialogs().size();
    for (int i = 0; i < open; ++i) {
        QJsonObject fields{{QStringLiteral("by"), QStringLiteral("escape")}};
        // The top one's text, when it is a box; the ones below it are answered in turn.
        const QWidget *top = QApplication::activeModalWidget();
        if (i == 0 && top && screenprofile::textOf(top) != top->objectName())
            fields.insert(QStringLiteral("box"), screenprofile::textOf(top));
        steps << step(QStringLiteral("answer"), QStringLiteral("cancel"), fields);
    }
    return steps;
}

void Recorder::panelClosesScreen()
{
    if (!m_started || !m_session->widget())
        return;
    m_beforeInput.reset();
    for (const QJsonObject &answer : closingSteps())
        add(answer);
    add(step(QStringLiteral("closeScreen"), true));
}

Result Recorder::finish()
{
    if (!m_started)
        return Result::failure(QStringLiteral("the recording never began"));
    m_beforeInput.reset();
    flushTyping();
    catchUp();
    checkpoint();
    expectEnd();
    m_started = false;
    writeRecording();
    qApp->removeEventFilter(this);
    return m_writeError.isEmpty() ? Result::ok() : Result::failure(m_writeError);
}
