#pragma once

#include "common/msgboxes.h"
#include "core/configstate.h"
#include "core/reservationmonitor.h"

#include "zuzerarovelibapi.h"

#include <QList>
#include <QTimer>
#include <QWidget>

#include <memory>

class QPushButton;

namespace Ui {
class ZuzEraroveMainPage;
}

// Page 0: the reservation slots with their live status, queue position and run total, the
// start/stop key and lamp, and the page commands.
class ZuzEraroveMainPage : public QWidget
{
    Q_OBJECT
public:
    explicit ZuzEraroveMainPage(QWidget *parent);
    ~ZuzEraroveMainPage() override;

    // Fetches and reads the configuration, builds the table and starts the name scrolling;
    // Gone when the screen was closed under its failure note.
    Outcome loadConfigFromCtrl();
    // Rows, ID column and the per-row keys for config's signal mode; updateConfigView follows with
    // the names and the rows' rules.
    void initTable(ZuzEraroveData config);
    // Mode and protocol labels, the protocol hand-over, names and key enabling.
    void updateConfigView(ZuzEraroveData config);
    // The live poll, on every idle call while the page is visible; writes only what changed.
    void refreshMonitor();
    // Whether the configuration was read, shared with the other pages of the stack.
    void shareConfigState(std::shared_ptr<ConfigState> state);

signals:
    void setCurrentWidgetSignal(int pageId);

private slots:
    void initTimerSlot();
    void onSettingbuttonClicked();
    void onClearbuttonClicked();
    void onExitbuttonClicked();
    void onRunorstopbuttonClicked();
    void onCancelallbtnClicked();
    void onSoftplcbuttonClicked();
    void prograMapBtnClicked();
    void reserveBtnClickedSlot();
    void cancelBtnClickedSlot();
    void onRollText();

protected:
    void showEvent(QShowEvent *event) override;

private:
    // Column count, header labels and widths, header visibility, no editing, no selection.
    void setUpColumns();
    void setCellText(int row, int column, const QString &text);
    // Fetches and reads the configuration, reporting a failure.
    Outcome fetchConfig();
    // Rebuilds the table when the service's record or program list changed.
    void syncWithService();
    // Writes the service's configuration locally, sends it, and has the service take it.
    Outcome saveConfigToCtrl();
    // The slot number of the row whose key sent the signal; -1 for any other sender.
    int senderRow(const QList<QPushButton *> &keys) const;

    std::unique_ptr<Ui::ZuzEraroveMainPage> ui;
    QList<QPushButton *> reserveBtns;
    QList<QPushButton *> cancelBtns;
    // The start-up has read the configuration and built the rows: the poll may run.
    bool initialised;
    ReservationMonitor m_monitor;
    std::shared_ptr<ConfigState> configState = std::make_shared<ConfigState>();
    QTimer rollTimer;
};
