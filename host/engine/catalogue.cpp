#include "engine/catalogue.h"

#include "engine/operatorinput.h"
#include "engine/scenario.h"
#include "engine/steps.h"
#include "engine/screenprofile.h"
#include "engine/session.h"
#include "engine/stage.h"

#include "basezedoveduddata.h"
#include "msgbox.h"
#include "simcontroller.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QTableWidget>
#include <QTimer>

#include <functional>
#include <memory>

namespace {

bool waitFor(const std::function<bool()> &ready, int ms = 5000)
{
    QElapsedTimer clock;
    clock.start();
    while (!ready()) {
        if (clock.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

// A widget's text, a combo box's first items.
QString textOf(const QWidget *w)
{
    auto *combo = qobject_cast<const QComboBox *>(w);
    if (!combo)
        return operatorinput::widgetText(w);
    QStringList items;
    for (int i = 0; i < combo->count() && i < 6; ++i)
        items << combo->itemText(i);
    return QStringLiteral("items: ") + items.join(QStringLiteral(", ")) + (combo->count() > 6 ? QStringLiteral(", ...") : QString());
}

// The named widgets below root, one line each; each name also goes into names.
QString listed(const QString &title, const QWidget *root, QSet<QString> *names)
{
    QString out = title + QLatin1Char('\n');
    QStringList seen;
    for (const QWidget *w : root->findChildren<QWidget *>()) {
        const QString name = w->objectName();
        if (name.isEmpty() || name.startsWith(QLatin1String("qt_")) || seen.contains(name))
            continue;
        seen << name;
        names->insert(name);
        QString what = screenprofile::roleOf(name);
        const QString text = textOf(w).simplified();
        if (!text.isEmpty())
            what = (what.isEmpty() ? QString() : what + QStringLiteral("; ")) + QLatin1Char('"') + text.left(60) + QLatin1Char('"');
        out += QStringLiteral("  ") + name.leftJustified(28) + QStringLiteral("  ")
               + QString::fromLatin1(w->metaObject()->className()).leftJustified(14)
               + (what.isEmpty() ? QString() : QStringLiteral("  ") + what) + QLatin1Char('\n');
    }
    return out;
}

QAbstractButton *shownKey(const QWidget *root, const QString &name)
{
    for (QAbstractButton *key : root->findChildren<QAbstractButton *>(name))
        if (key->isVisible() && key->isEnabled())
            return key;
    return nullptr;
}

} // namespace

Result widgetCatalogue(ModuleSession &session, Stage &stage, QString *catalogue, QSet<QString> *names)
{
    QSet<QString> own;
    if (!names)
        names = &own;
    // The screen counts as started by its calls, counted by name.
    sim::CallLog::instance().setEnabled(true);
    sim::CallLog::instance().setKeepEntries(false);
    // A box the screen opens on its own would wait for ever: it is closed, and named.
    QString unexpected;
    QTimer guard;
    QObject::connect(&guard, &QTimer::timeout, [&unexpected] {
        auto *box = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (box && box->objectName() != screenprofile::chooser) {
            unexpected = screenprofile::textOf(box);
            box->reject();
        }
    });
    guard.start(50);
    if (const Result opened = session.openScreen(stage.pendantScreen()); !opened)
        return opened;
    QWidget *screen = stage.pendantScreen();
    screen->window()->show();
    if (!waitFor([] { return screenprofile::isStarted(); }) || !unexpected.isEmpty())
        return Result::failure(QStringLiteral("the screen did not start: ") + unexpected);
    QString out = listed(QStringLiteral("page ") + screenprofile::currentPage(session) + QStringLiteral(" (the screen opens on it)"),
                         session.data()->customWidget()->findChild<QWidget *>(screenprofile::currentPage(session)), names);
    for (const screenprofile::PageRoad &road : screenprofile::pageRoads()) {
        QAbstractButton *key = shownKey(screen, road.key);
        if (!key)
            return Result::failure(QStringLiteral("the monitor has no key %1").arg(road.key));
        key->click();
        if (!waitFor([&] { return screenprofile::currentPage(session) == road.page && !QApplication::activeModalWidget(); }))
            return Result::failure(QStringLiteral("%1 did not open %2").arg(road.key, road.page));
        QWidget *page = session.data()->customWidget()->findChild<QWidget *>(road.page);
        out += QLatin1Char('\n') + listed(QStringLiteral("page %1 (the key %2 opens it, %3 goes back)").arg(road.page, road.key, road.back), page, names);
        if (road.page == QLatin1String("prograMapWidget")) {
            // The chooser, opened from a cell of the map in its edit mode, listed while it waits.
            if (QAbstractButton *edit = shownKey(page, screenprofile::mapEditKey))
                edit->click();
            auto *table = page->findChild<QTableWidget *>(screenprofile::mapTable);
            QString chooser;
            QTimer poll;
            QObject::connect(&poll, &QTimer::timeout, [&] {
                QWidget *dialog = QApplication::activeModalWidget();
                if (!dialog || dialog->objectName() != screenprofile::chooser)
                    return;
                poll.stop();
                chooser = listed(QStringLiteral("dialog %1 (the program chooser: a cell of the map opens it)").arg(screenprofile::chooser), dialog, names);
                dialog->close();
            });
            poll.start(20);
            if (!table || !waitFor([&] { return table->isVisible(); }) || !operatorinput::tapCell(table, 0, 1).isEmpty()
                || !waitFor([&] { return !chooser.isEmpty(); }))
                return Result::failure(QStringLiteral("the chooser did not open"));
            out += QLatin1Char('\n') + chooser;
            break; // the map in its edit mode would ask before going back
        }
        if (QAbstractButton *back = shownKey(page, road.back))
            back->click();
        if (!waitFor([&] { return screenprofile::currentPage(session) != road.page; }))
            return Result::failure(QStringLiteral("%1 did not leave %2").arg(road.back, road.page));
    }
    // A box as the platform makes it, shown without waiting.
    auto box = std::make_unique<MsgBox>(1, QStringLiteral("A question?"), 3, false, false, 0, false, true, QString(), QString(),
                                        QString(), 18);
    out += QLatin1Char('\n') + listed(QStringLiteral("dialog MsgBox (every message box and question)"), box.get(), names);
    box.reset();
    session.closeScreen();
    *catalogue = out;
    return Result::ok();
}

QStringList unknownWidgets(const Scenario &scenario, const QSet<QString> &names)
{
    QStringList problems;
    const QStringList known(names.cbegin(), names.cend());
    for (const QList<ScenarioStep> *steps : {&scenario.setup, &scenario.steps})
        for (const ScenarioStep &step : *steps) {
            // The steps that name a widget: by their value, or by "of" for what the screen shows.
            const QString kind = step.def ? step.def->name : QString();
            const bool byValue = QStringList{QStringLiteral("press"), QStringLiteral("choose"), QStringLiteral("type"),
                                             QStringLiteral("clickCell")}
                                     .contains(kind);
            const bool byOf = QStringList{QStringLiteral("expect text"), QStringLiteral("expect enabled"),
                                          QStringLiteral("expect shown"), QStringLiteral("expect rows")}
                                  .contains(kind);
            const QString name = step.args.value(byValue ? step.kind : QStringLiteral("of")).toString();
            if ((!byValue && !byOf) || names.contains(name) || screenprofile::dialogNames().contains(name))
                continue;
            QString rowKind;
            int slot = 0;
            if (screenprofile::isRowKey(name, &rowKind, &slot) && slot >= 1 && slot <= 15)
                continue;
            problems << QStringLiteral("%1: %2: there is no %3 on the screen%4 (virtualpanel --widgets lists every name)")
                            .arg(step.where(scenario.file), step.text(), name, nearestNames(name, known));
        }
    return problems;
}
