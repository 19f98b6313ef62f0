#include "engine/operatorinput.h"
#include "engine/screenprofile.h"
#include "engine/session.h"
#include "engine/stepcontext.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QJsonObject>
#include <QLineEdit>
#include <QTableWidget>
#include <QTreeWidget>

// The operator's steps: each acts through operatorinput, as a finger and the panel's keys do,
// once the operator could: the screen at rest (the runner waits for it), no box over the screen,
// the widget shown and enabled.

namespace operatorsteps {

namespace {

// The widget of that name once the operator can act on it, or why not yet.
StepOutcome reach(StepContext &c, const QString &name, QWidget **found)
{
    if (QWidget *modal = QApplication::activeModalWidget(); modal && !modal->findChild<QWidget *>(name))
        return notYet(QStringLiteral("the screen takes no input while a box is open: \"%1\"").arg(screenprofile::textOf(modal)));
    if (!c.session->widget())
        return failed(QStringLiteral("the screen is closed"));
    QWidget *w = nullptr;
    if (StepOutcome o = c.findWidget(name, &w); o.state != StepOutcome::Held)
        return o;
    operatorinput::scrollIntoView(w);
    if (const QString why = operatorinput::unreachable(w); !why.isEmpty())
        return notYet(why);
    *found = w;
    return held();
}

template<typename T>
StepOutcome reachAs(StepContext &c, const QString &name, const char *step, T **found)
{
    QWidget *w = nullptr;
    if (StepOutcome o = reach(c, name, &w); o.state != StepOutcome::Held)
        return o;
    *found = qobject_cast<T *>(w);
    if (!*found)
        return error(QStringLiteral("%1 is a %2, which \"%3\" cannot act on")
                         .arg(name, QString::fromLatin1(w->metaObject()->className()), QLatin1String(step)));
    return held();
}

StepOutcome tapKey(StepContext &c, const QString &name, const char *step)
{
    QAbstractButton *key = nullptr;
    if (StepOutcome o = reachAs(c, name, step, &key); o.state != StepOutcome::Held)
        return o;
    return inputOutcome(operatorinput::tap(key));
}

} // namespace

StepOutcome press(StepContext &c, const QJsonObject &step)
{
    return tapKey(c, step.value(QStringLiteral("press")).toString(), "press");
}

StepOutcome reserve(StepContext &c, const QJsonObject &step)
{
    return tapKey(c, screenprofile::rowKey(QStringLiteral("reserve"), step.value(QStringLiteral("reserve")).toInt()), "reserve");
}

StepOutcome cancel(StepContext &c, const QJsonObject &step)
{
    return tapKey(c, screenprofile::rowKey(QStringLiteral("cancel"), step.value(QStringLiteral("cancel")).toInt()), "cancel");
}

StepOutcome choose(StepContext &c, const QJsonObject &step)
{
    const QString name = step.value(QStringLiteral("choose")).toString();
    QComboBox *combo = nullptr;
    if (StepOutcome o = reachAs(c, name, "choose", &combo); o.state != StepOutcome::Held)
        return o;
    // By its text, or by its place in the list for a scenario that plays in every language.
    const QString item = step.value(QStringLiteral("item")).toString();
    const bool byIndex = step.contains(QStringLiteral("index"));
    const int index = byIndex ? step.value(QStringLiteral("index")).toInt(-1)
                              : combo->findText(item, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index < 0 || index >= combo->count()) {
        QStringList items;
        for (int i = 0; i < combo->count(); ++i)
            items << combo->itemText(i);
        const QString wanted = byIndex ? QStringLiteral("an item %1").arg(index) : QLatin1Char('"') + item + QLatin1Char('"');
        return failed(QStringLiteral("%1 does not list %2; it lists \"%3\"").arg(name, wanted, items.join(QStringLiteral("\", \""))));
    }
    const QString refusal = operatorinput::pickFromList(combo, index);
    return refusal.isEmpty() ? held() : failed(refusal);
}

StepOutcome type(StepContext &c, const QJsonObject &step)
{
    QLineEdit *edit = nullptr;
    if (StepOutcome o = reachAs(c, step.value(QStringLiteral("type")).toString(), "type", &edit); o.state != StepOutcome::Held)
        return o;
    const QString refusal = operatorinput::typeInto(edit, step.value(QStringLiteral("text")).toString());
    return refusal.isEmpty() ? held() : failed(refusal);
}

StepOutcome clickCell(StepContext &c, const QJsonObject &step)
{
    QTableWidget *table = nullptr;
    if (StepOutcome o = reachAs(c, step.value(QStringLiteral("clickCell")).toString(), "clickCell", &table);
        o.state != StepOutcome::Held)
        return o;
    return inputOutcome(operatorinput::tapCell(table, step.value(QStringLiteral("row")).toInt() - 1,
                                               step.value(QStringLiteral("column")).toInt() - 1));
}

StepOutcome pick(StepContext &c, const QJsonObject &step)
{
    QWidget *chooser = QApplication::activeModalWidget();
    auto *tree = chooser ? chooser->findChild<QTreeWidget *>(screenprofile::chooserTree) : nullptr;
    if (c.phase == 1) {
        // The chooser has answered the tap: a refusal over it is for an answer step; Select is
        // pressed only when the operator can reach it.
        if (!tree)
            return held();
        auto *select = chooser->findChild<QAbstractButton *>(screenprofile::chooserSelectKey);
        return select ? inputOutcome(operatorinput::tap(select)) : failed(QStringLiteral("the chooser has no Select key"));
    }
    if (!tree)
        return notYet(QStringLiteral("no program chooser is open"));
    const QString path = step.value(QStringLiteral("pick")).toString();
    QTreeWidgetItem *item = operatorinput::treeItemAt(tree, path);
    if (!item)
        return notYet(QStringLiteral("the chooser lists no %1").arg(shownValue(path)));
    if (StepOutcome o = inputOutcome(operatorinput::tapItem(tree, item)); o.state != StepOutcome::Held)
        return o;
    if (!step.value(QStringLiteral("select")).toBool(true))
        return held();
    c.phase = 1;
    return later(0);
}

StepOutcome answer(StepContext &c, const QJsonObject &step)
{
    QWidget *box = screenprofile::openBox();
    if (!box)
        return notYet(QStringLiteral("no box is open"));
    const QJsonValue text = step.value(QStringLiteral("box"));
    if (text.isString() && screenprofile::textOf(box) != c.substituted(text).toString())
        return failed(QStringLiteral("the box says %1").arg(shownValue(screenprofile::textOf(box))));
    const QString answer = step.value(QStringLiteral("answer")).toString();
    const QString by = step.value(QStringLiteral("by")).toString(QStringLiteral("key"));
    if (by == QLatin1String("return")) {
        // Return presses the key with the focus or the box's default: it must give this answer.
        if (const QString given = screenprofile::answerOfReturn(box); given != answer)
            return failed(QStringLiteral("Return in the box %1 would %2, not %3")
                              .arg(shownValue(screenprofile::textOf(box)), given.isEmpty() ? QStringLiteral("answer nothing") : given, answer));
        return inputOutcome(operatorinput::pressKey(box, Qt::Key_Return));
    }
    if (by == QLatin1String("escape"))
        return inputOutcome(operatorinput::pressKey(box, Qt::Key_Escape));
    for (const QString &key : screenprofile::answerKeys(answer))
        if (auto *button = box->findChild<QAbstractButton *>(key))
            return inputOutcome(operatorinput::tap(button));
    // A dialog with no X of its own is closed as the window system closes it.
    if (answer == QLatin1String("close"))
        return inputOutcome(operatorinput::closeWindow(box));
    return failed(QStringLiteral("the box %1 has no key to %2").arg(shownValue(screenprofile::textOf(box)), answer));
}

StepOutcome closeScreen(StepContext &c, const QJsonObject &)
{
    c.session->closeScreen();
    c.screenClosed = true;
    return held();
}

} // namespace operatorsteps
