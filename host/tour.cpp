#include "tour.h"

#include "panelwindow.h"
#include "screenactions.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QTableWidget>
#include <QTreeWidget>
#include <QDir>
#include <QPixmap>
#include <QTimer>

#include <cstdio>

Tour::Tour(PanelWindow *window, const QString &shotDir, const QList<TourStep> &steps, QObject *parent)
    : QObject(parent), m_window(window), m_dir(shotDir), m_steps(steps)
{
}

void Tour::start()
{
    QDir().mkpath(m_dir);
    m_index = 0;
    if (m_steps.isEmpty())
        QTimer::singleShot(0, this, &Tour::finished);
    else
        QTimer::singleShot(m_steps.first().delayMs, this, &Tour::next);
}

void Tour::next()
{
    const TourStep step = m_steps.at(m_index++);
    // The next step is due even if this one opens a modal box and waits in it.
    if (m_index < m_steps.size())
        QTimer::singleShot(m_steps.at(m_index).delayMs, this, &Tour::next);
    const bool last = m_index == m_steps.size();
    perform(step);
    if (last)
        emit finished();
}

void Tour::perform(const TourStep &step)
{
    // As for an operator, the screen takes no input while a modal dialog is open.
    const bool onScreen = step.kind == TourStep::Click || step.kind == TourStep::Choose
                          || step.kind == TourStep::ClickCell;
    if (onScreen && QApplication::activeModalWidget()) {
        skip(step);
        return;
    }
    switch (step.kind) {
    case TourStep::Click:
    case TourStep::Answer: {
        QWidget *root = step.kind == TourStep::Click ? m_window->pendantScreen()
                                                     : QApplication::activeModalWidget();
        QAbstractButton *button = shownButton(root, step.name);
        if (!button || !button->isEnabled()) {
            skip(step);
            return;
        }
        button->click();
        return;
    }
    case TourStep::Shot:
        save(m_window->grabScreen(), step.name);
        return;
    case TourStep::ClickCell:
        if (!clickCell(m_window->pendantScreen()->findChild<QTableWidget *>(step.name), step.row, step.column))
            skip(step);
        return;
    case TourStep::Pick: {
        QWidget *modal = QApplication::activeModalWidget();
        auto *tree = modal ? modal->findChild<QTreeWidget *>(step.name) : nullptr;
        QTreeWidgetItem *item = treeItemAt(tree, step.path);
        if (!item) {
            skip(step);
            return;
        }
        tree->setCurrentItem(item);
        return;
    }
    case TourStep::WindowShot:
        save(m_window->grab(), step.name);
        return;
    case TourStep::Choose: {
        auto *combo = m_window->pendantScreen()->findChild<QComboBox *>(step.name);
        if (!combo || !combo->isVisible() || step.index < 0 || step.index >= combo->count()) {
            skip(step);
            return;
        }
        combo->setCurrentIndex(step.index);
        return;
    }
    }
}

void Tour::skip(const TourStep &step)
{
    m_skipped << step.name;
    std::fprintf(stderr, "tour: nothing to act on for %s, step skipped\n", qPrintable(step.name));
}

void Tour::save(const QPixmap &pixmap, const QString &name)
{
    const QString path = QDir(m_dir).filePath(name + QStringLiteral(".png"));
    if (pixmap.save(path))
        m_written << path;
    else
        std::fprintf(stderr, "tour: cannot write %s\n", qPrintable(path));
}

QList<TourStep> defaultTour()
{
    return {
        TourStep::shot(QStringLiteral("01-monitor"), 1500),
        // Start, reserve three slots, cancel one, cancel all, reserve again, clear, stop.
        TourStep::click(QStringLiteral("runOrStopButton"), 200),
        TourStep::click(QStringLiteral("reserveBtn_1"), 800),
        TourStep::click(QStringLiteral("reserveBtn_2"), 200),
        TourStep::click(QStringLiteral("reserveBtn_4"), 200),
        TourStep::shot(QStringLiteral("02-monitor-running"), 1000),
        TourStep::click(QStringLiteral("cancelBtn_4"), 200),
        TourStep::shot(QStringLiteral("03-monitor-cancel-question"), 500),
        TourStep::answer(QStringLiteral("msgBoxConfirm"), 200),
        TourStep::shot(QStringLiteral("04-monitor-after-cancel"), 800),
        TourStep::click(QStringLiteral("cancelAllBtn"), 200),
        TourStep::answer(QStringLiteral("msgBoxConfirm"), 300),
        TourStep::click(QStringLiteral("reserveBtn_1"), 800),
        TourStep::click(QStringLiteral("clearButton"), 300),
        TourStep::answer(QStringLiteral("msgBoxConfirm"), 300),
        TourStep::click(QStringLiteral("runOrStopButton"), 300),
        TourStep::answer(QStringLiteral("msgBoxConfirm"), 300),
        // Settings in both modes; save "Alone" with another protocol.
        TourStep::click(QStringLiteral("settingButton"), 800),
        TourStep::shot(QStringLiteral("05-settings-binary"), 600),
        TourStep::choose(QStringLiteral("modeCB"), 0, 200),
        TourStep::choose(QStringLiteral("protocolCB"), 3, 200),
        TourStep::shot(QStringLiteral("06-settings-alone"), 400),
        TourStep::click(QStringLiteral("saveButton"), 200),
        TourStep::shot(QStringLiteral("07-settings-save-question"), 400),
        TourStep::answer(QStringLiteral("msgBoxConfirm"), 200),
        TourStep::answer(QStringLiteral("msgBoxConfirm"), 400),
        TourStep::click(QStringLiteral("returnButton"), 200),
        TourStep::shot(QStringLiteral("08-monitor-alone"), 600),
        // softplc2 starts by itself from now on.
        TourStep::click(QStringLiteral("softPlcButton"), 400),
        TourStep::choose(QStringLiteral("comboBoxModePlc2"), 1, 400),
        TourStep::shot(QStringLiteral("09-softplc"), 300),
        TourStep::click(QStringLiteral("saveButton"), 200),
        TourStep::answer(QStringLiteral("msgBoxConfirm"), 300),
        TourStep::answer(QStringLiteral("msgBoxConfirm"), 300),
        TourStep::click(QStringLiteral("returnButton"), 200),
        // Map program number 3 to a program in a sub-directory and save the map.
        TourStep::click(QStringLiteral("prograMapBtn"), 400),
        TourStep::shot(QStringLiteral("10-programmap"), 600),
        TourStep::click(QStringLiteral("saveButton"), 200),
        TourStep::clickCell(QStringLiteral("tableWidget"), 2, 1, 300),
        TourStep::pick(QStringLiteral("rplRemoteFiles"), QStringLiteral("PALLET/LAYER2.XPL"), 600),
        TourStep::shot(QStringLiteral("11-program-chooser"), 300),
        TourStep::answer(QStringLiteral("btnSelect"), 200),
        TourStep::shot(QStringLiteral("12-programmap-edited"), 400),
        TourStep::click(QStringLiteral("saveButton"), 200),
        TourStep::answer(QStringLiteral("msgBoxConfirm"), 300),
        TourStep::shot(QStringLiteral("13-programmap-saved"), 300),
        TourStep::answer(QStringLiteral("msgBoxConfirm"), 200),
        TourStep::click(QStringLiteral("backBtn"), 300),
        TourStep::windowShot(QStringLiteral("panel-and-simulator"), 600),
        TourStep::click(QStringLiteral("exitButton"), 400),
    };
}
