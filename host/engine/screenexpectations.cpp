#include "engine/operatorinput.h"
#include "engine/screenprofile.h"
#include "engine/session.h"
#include "engine/stepcontext.h"

#include "msgboxsim.h"

#include <QCheckBox>
#include <QJsonArray>
#include <QJsonObject>
#include <QTableWidget>
#include <QTreeWidget>

// What the operator sees: each expectation reads the screen and holds, or is not there yet.

namespace screenexpectations {

namespace {

const QStringList boxKinds = {QStringLiteral("information"), QStringLiteral("warning"), QStringLiteral("error")};

// The widget the step names ("of"), or why the step cannot look at it.
StepOutcome named(StepContext &c, const QString &name, QWidget **found)
{
    if (!c.session->widget())
        return failed(QStringLiteral("the screen is closed"));
    return c.findWidget(name, found);
}

StepOutcome textOfPart(const QJsonObject &step, const QString &name, QWidget *w, QString *text, QString *place)
{
    *text = operatorinput::widgetText(w);
    *place = name;
    const int column = step.value(QStringLiteral("column")).toInt(1) - 1;
    if (step.contains(QStringLiteral("item"))) {
        auto *tree = qobject_cast<QTreeWidget *>(w);
        if (!tree)
            return error(name + QStringLiteral(" is no tree"));
        const QString path = step.value(QStringLiteral("item")).toString();
        *place = QStringLiteral("%1, %2, column %3").arg(name, shownValue(path), QString::number(column + 1));
        QTreeWidgetItem *item = operatorinput::treeItemAt(tree, path);
        if (!item || column >= tree->columnCount())
            return notYet(QStringLiteral("%1 lists no %2 with %3 columns").arg(name, shownValue(path), QString::number(column + 1)));
        *text = item->text(column);
    } else if (step.contains(QStringLiteral("column")) && !step.contains(QStringLiteral("row"))
               && qobject_cast<QTableWidget *>(w)) {
        // A table's whole column, a cell a line.
        auto *table = qobject_cast<QTableWidget *>(w);
        *place = QStringLiteral("%1, column %2 (a row a line)").arg(name, QString::number(column + 1));
        if (column >= table->columnCount())
            return notYet(QStringLiteral("%1 has %2 columns").arg(name, QString::number(table->columnCount())));
        *text = operatorinput::columnText(table, column);
    } else if (step.contains(QStringLiteral("row"))) {
        auto *table = qobject_cast<QTableWidget *>(w);
        if (!table)
            return error(name + QStringLiteral(" is no table"));
        const int row = step.value(QStringLiteral("row")).toInt() - 1;
        *place = QStringLiteral("%1, row %2, column %3").arg(name, QString::number(row + 1), QString::number(column + 1));
        if (row >= table->rowCount() || column >= table->columnCount())
            return notYet(QStringLiteral("%1 has %2 rows and %3 columns").arg(name, QString::number(table->rowCount()), QString::number(table->columnCount())));
        if (QTableWidgetItem *item = table->item(row, column))
            *text = item->text();
        else if (QWidget *cell = table->cellWidget(row, column))
            *text = operatorinput::widgetText(cell);
        else
            text->clear();
    }
    return held();
}

// Whether the widget the step names ("of") is so.
StepOutcome flag(StepContext &c, const QJsonObject &step, const QString &what, bool (*is)(const QWidget *))
{
    const QString name = step.value(QStringLiteral("of")).toString();
    QWidget *w = nullptr;
    if (StepOutcome o = named(c, name, &w); o.state != StepOutcome::Held)
        return o;
    return compared(c, name + what, step.value(QStringLiteral("is")), is(w));
}

} // namespace

StepOutcome text(StepContext &c, const QJsonObject &step)
{
    const QString name = step.value(QStringLiteral("of")).toString();
    QWidget *w = nullptr;
    if (StepOutcome o = named(c, name, &w); o.state != StepOutcome::Held)
        return o;
    QString text, place;
    if (StepOutcome o = textOfPart(step, name, w, &text, &place); o.state != StepOutcome::Held)
        return o;
    if (step.contains(QStringLiteral("contains"))) {
        const QString part = c.substituted(step.value(QStringLiteral("contains"))).toString();
        if (!text.contains(part))
            return notYet(QStringLiteral("%1: expected a text with %2, found %3").arg(place, shownValue(part), shownValue(text)));
    }
    return step.contains(QStringLiteral("is")) ? compared(c, place, step.value(QStringLiteral("is")), text) : held();
}

StepOutcome enabled(StepContext &c, const QJsonObject &step)
{
    return flag(c, step, QStringLiteral(" enabled"), [](const QWidget *w) { return w->isEnabled(); });
}

StepOutcome shown(StepContext &c, const QJsonObject &step)
{
    // A widget the screen had and no longer has (a closed chooser, a page left) is not shown.
    QWidget *w = nullptr;
    if (named(c, step.value(QStringLiteral("of")).toString(), &w).state == StepOutcome::Failed)
        return compared(c, step.value(QStringLiteral("of")).toString() + QStringLiteral(" shown"), step.value(QStringLiteral("is")), false);
    return flag(c, step, QStringLiteral(" shown"), [](const QWidget *w) { return w->isVisible(); });
}

StepOutcome rows(StepContext &c, const QJsonObject &step)
{
    const QString name = step.value(QStringLiteral("of")).toString();
    QWidget *w = nullptr;
    if (StepOutcome o = named(c, name, &w); o.state != StepOutcome::Held)
        return o;
    auto *table = qobject_cast<QTableWidget *>(w);
    auto *tree = qobject_cast<QTreeWidget *>(w);
    if (!table && !tree)
        return error(name + QStringLiteral(" is neither a table nor a tree"));
    return compared(c, QStringLiteral("the rows of ") + name, step.value(QStringLiteral("is")),
                    table ? table->rowCount() : tree->topLevelItemCount());
}

StepOutcome lamp(StepContext &c, const QJsonObject &step)
{
    QWidget *w = nullptr;
    if (StepOutcome o = named(c, screenprofile::lamp, &w); o.state != StepOutcome::Held)
        return o;
    auto *lit = qobject_cast<QCheckBox *>(w);
    return compared(c, QStringLiteral("the lamp"), step.value(QStringLiteral("is")),
                    lit && lit->isChecked() ? QStringLiteral("on") : QStringLiteral("off"));
}

StepOutcome page(StepContext &c, const QJsonObject &step)
{
    return compared(c, QStringLiteral("the page shown"), step.value(QStringLiteral("is")), screenprofile::currentPage(*c.session));
}

StepOutcome screen(StepContext &c, const QJsonObject &step)
{
    return compared(c, QStringLiteral("the screen"), step.value(QStringLiteral("is")),
                    c.screenClosed || !c.session->widget() ? QStringLiteral("closed") : QStringLiteral("open"));
}

StepOutcome box(StepContext &c, const QJsonObject &step)
{
    // A box open now is the last one shown.
    const QList<sim::MsgBoxRecord> records = sim::MsgBoxHooks::records();
    const QList<sim::MsgBoxRecord> open = sim::MsgBoxHooks::open();
    if (records.isEmpty() && open.isEmpty())
        return notYet(QStringLiteral("no box was shown"));
    const sim::MsgBoxRecord &last = open.isEmpty() ? records.last() : open.last();
    if (step.contains(QStringLiteral("kind")))
        if (StepOutcome o = compared(c, QStringLiteral("the kind of the last box, ") + shownValue(last.text) + QLatin1Char(','),
                                     step.value(QStringLiteral("kind")), boxKinds.value(last.kind));
            o.state != StepOutcome::Held)
            return o;
    if (step.contains(QStringLiteral("contains"))
        && !last.text.contains(c.substituted(step.value(QStringLiteral("contains"))).toString()))
        return notYet(QStringLiteral("the last box says %1").arg(shownValue(last.text)));
    return step.contains(QStringLiteral("is")) ? compared(c, QStringLiteral("the last box"), step.value(QStringLiteral("is")), last.text)
                                               : held();
}

StepOutcome boxes(StepContext &c, const QJsonObject &step)
{
    // Those answered, then those still waiting for their answer.
    QJsonArray texts;
    for (const sim::MsgBoxRecord &record : sim::MsgBoxHooks::records() + sim::MsgBoxHooks::open())
        texts << record.text;
    return compared(c, QStringLiteral("the boxes shown"), step.value(QStringLiteral("is")), texts);
}

} // namespace screenexpectations
