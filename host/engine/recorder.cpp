#include "engine/recorder.h"

#include "engine/scenario.h"
#include "engine/screenprofile.h"
#include "engine/session.h"
#include "engine/stage.h"

#include "journal.h"
#include "simcontroller.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTableWidget>
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

QJsonObject step(const char *kind, const QJsonValue &value)
{
    return QJsonObject{{QString::fromLatin1(kind), value}};
}

} // namespace

Recorder::Recorder(Stage *stage, const ModuleSession *session, const QString &file, const QString &controllerRoot,
                   QObject *parent)
    : QObject(parent), m_stage(stage), m_session(session), m_file(file)
{
    const QFileInfo info(file);
    m_controllerCopy = info.completeBaseName() + QStringLiteral(".controller");
    const QString copy = info.absoluteDir().filePath(m_controllerCopy);
    QDir(copy).removeRecursively();
    QDir().mkpath(copy);
    copyFolder(controllerRoot, copy);
    m_sinceLast.start();
    m_clockAtLast = sim::Controller::instance().now();
    qApp->installEventFilter(this);

    // What the simulator panel changes reaches the controller; the journal tells it.
    m_listener = sim::Journal::instance().addListener([this](const sim::JournalEntry &e) {
        const QVariantMap &f = e.fields;
        if (e.kind == QLatin1String("link"))
            add(step("connect", f.value(QStringLiteral("connected")).toBool()));
        else if (e.kind == QLatin1String("fault"))
            add(QJsonObject{{QStringLiteral("fault"), f.value(QStringLiteral("fault")).toString()},
                            {QStringLiteral("on"), f.value(QStringLiteral("on")).toBool()},
                            {QStringLiteral("path"), f.value(QStringLiteral("path")).toString()}});
        else if (e.kind == QLatin1String("input") && f.contains(QStringLiteral("input")))
            add(step("input", f.value(QStringLiteral("input")).toInt()));
        else if (e.kind == QLatin1String("input"))
            add(step("binary", f.value(QStringLiteral("code")).toInt()));
        else if (e.kind == QLatin1String("run") && f.value(QStringLiteral("outside")).toBool())
            add(step("robotRunning", f.value(QStringLiteral("state")).toString() == QLatin1String("started")));
    });
}

Recorder::~Recorder()
{
    qApp->removeEventFilter(this);
    sim::Journal::instance().removeListener(m_listener);
}

bool Recorder::onScreen(const QWidget *widget) const
{
    return widget && m_session->widget() && m_stage->pendantScreen()->isAncestorOf(widget);
}

void Recorder::add(QJsonObject next)
{
    // Typing ends with the next command.
    if (!next.contains(QStringLiteral("type")))
        flushTyping();
    const qint64 waited = m_sinceLast.restart();
    if (waited >= 100)
        m_steps.append(step("wait", waited));
    const qint64 clock = sim::Controller::instance().now();
    if (clock > m_clockAtLast)
        m_steps.append(step("advance", clock - m_clockAtLast));
    m_clockAtLast = clock;
    expectState();
    m_steps.append(next);
}

void Recorder::expectState()
{
    // Where the last command led, as the operator saw it, each time it changed.
    if (QApplication::activeModalWidget() || !m_session->widget())
        return;
    const QString page = screenprofile::currentPage(*m_session);
    if (page != m_page)
        m_steps.append(QJsonObject{{QStringLiteral("expect"), QStringLiteral("page")}, {QStringLiteral("is"), page}});
    m_page = page;
    auto *lamp = m_stage->pendantScreen()->findChild<QCheckBox *>(screenprofile::lamp);
    const QString lit = !lamp || !lamp->isVisible() ? QString() : lamp->isChecked() ? QStringLiteral("on") : QStringLiteral("off");
    if (!lit.isEmpty() && lit != m_lamp)
        m_steps.append(QJsonObject{{QStringLiteral("expect"), QStringLiteral("lamp")}, {QStringLiteral("is"), lit}});
    if (!lit.isEmpty())
        m_lamp = lit;
}

void Recorder::flushTyping()
{
    const QMap<QString, QString> typing = m_typing;
    m_typing.clear();
    for (auto it = typing.cbegin(); it != typing.cend(); ++it)
        add(QJsonObject{{QStringLiteral("type"), it.key()}, {QStringLiteral("text"), it.value()}});
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
                add(QJsonObject{{QStringLiteral("choose"), combo->objectName()},
                                {QStringLiteral("item"), combo->itemText(index)}});
            });
            connect(combo, &QObject::destroyed, this, [this, combo] { m_watched.remove(combo); });
            return;
        }
        if (auto *edit = qobject_cast<QLineEdit *>(w)) {
            m_watched.insert(edit);
            connect(edit, &QLineEdit::textEdited, this,
                    [this, edit](const QString &text) { m_typing.insert(edit->objectName(), text); });
            connect(edit, &QObject::destroyed, this, [this, edit] { m_watched.remove(edit); });
            return;
        }
    }
}

bool Recorder::eventFilter(QObject *watched, QEvent *event)
{
    auto *widget = qobject_cast<QWidget *>(watched);
    if (widget && (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::KeyPress
                   || event->type() == QEvent::FocusIn))
        watchInput(widget);
    // Seen before the widget acts on it, so the step comes before the box it may open.
    if (widget && event->type() == QEvent::MouseButtonRelease)
        released(widget, static_cast<QMouseEvent *>(event)->pos());
    return false;
}

void Recorder::released(QWidget *widget, const QPoint &pos)
{
    if (!widget->rect().contains(pos) || !widget->isEnabled())
        return;
    QWidget *dialog = QApplication::activeModalWidget();
    if (dialog && dialog->isAncestorOf(widget)) {
        const QString answer = screenprofile::answerOf(widget, dialog);
        const auto *label = dialog->findChild<QLabel *>(screenprofile::boxText);
        if (answer == QLatin1String("select")) {
            const auto *tree = dialog->findChild<QTreeWidget *>();
            add(step("pick", tree && tree->currentItem() ? itemPath(tree->currentItem()) : QString()));
        } else if (!answer.isEmpty()) {
            QJsonObject next = step("answer", answer);
            if (label)
                next.insert(QStringLiteral("box"), label->text());
            add(next);
        }
        return;
    }
    if (!onScreen(widget) || dialog)
        return;
    if (auto *button = qobject_cast<QAbstractButton *>(widget)) {
        QString kind;
        int slot = 0;
        add(screenprofile::isRowKey(button->objectName(), &kind, &slot) ? QJsonObject{{kind, slot}}
                                                                         : step("press", button->objectName()));
        return;
    }
    if (auto *table = qobject_cast<QTableWidget *>(widget->parentWidget()); table && widget == table->viewport()) {
        const QModelIndex index = table->indexAt(pos);
        if (index.isValid())
            add(QJsonObject{{QStringLiteral("clickCell"), table->objectName()},
                            {QStringLiteral("row"), index.row() + 1}, {QStringLiteral("column"), index.column() + 1}});
    }
}

bool Recorder::save()
{
    flushTyping();
    expectState();
    const QJsonObject scenario{{QStringLiteral("name"), QStringLiteral("recorded %1").arg(QFileInfo(m_file).completeBaseName())},
                               {QStringLiteral("controller"), m_controllerCopy},
                               {QStringLiteral("steps"), m_steps}};
    QFile file(m_file);
    return file.open(QIODevice::WriteOnly) && file.write(QJsonDocument(scenario).toJson()) > 0 && file.flush();
}
