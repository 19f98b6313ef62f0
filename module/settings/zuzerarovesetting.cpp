#include "zuzerarovesetting.h"
#include "ui_zuzerarovesetting.h"

#include "configstate.h"
#include "configtransfer.h"
#include "core/domain.h"
#include "msgboxes.h"
#include "tablecells.h"

#include "msgbox.h"
#include "qtouchlineedit.h"
#include "rtmfunctions.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QListView>
#include <QTableWidgetItem>

namespace {

void scrollBarsAsNeeded(QComboBox *combo)
{
    combo->view()->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    combo->view()->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

} // namespace

ZuzEraroveSetting::ZuzEraroveSetting(QWidget *parent)
    : QWidget(parent), ui(new Ui::ZuzEraroveSetting), pendingMsgBox(nullptr),
      builtFrom(configstate::generation())
{
    ui->setupUi(this);
    ZuzEraroveLibApi *api = ZuzEraroveLibApi::getInstance();
    initSettingTable(api->resvData);
    showSettingData(api->resvData);
    RtmSetUIStyleSheet(this, QStringLiteral("ZuzErarove"));
    scrollBarsAsNeeded(ui->protocolCB);
}

ZuzEraroveSetting::~ZuzEraroveSetting()
{
    delete ui;
    delete pendingMsgBox;
}

void ZuzEraroveSetting::initSettingTable(ZuzEraroveData data)
{
    QTableWidget *table = ui->rplSettingTw;
    resetSlotRows(table, nameBoxes, cycleEdits, QSize(760, 406), data.signalMode);
    setUpColumns(table, {tr("ID"), tr("Name"), tr("Cycle index")}, {100, 480, 140});
    const int rows = table->rowCount();

    const QStringList names = ZuzEraroveLibApi::getInstance()->getAllRplName();
    const QString unselected = tr("Unselected");
    picked.fill(false, rows);
    for (int r = 0; r < rows; ++r) {
        table->setItem(r, 0, centredItem(QString::number(r + 1)));

        auto *combo = new QComboBox;
        combo->setObjectName(QStringLiteral("nameBox_%1").arg(r + 1));
        combo->setFixedSize(450, 40);
        // The size is fixed: no need to measure every program name for a size hint.
        combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        // Every entry is one line of text, so the list need not measure 500 of them each time
        // the page's style is applied.
        if (auto *list = qobject_cast<QListView *>(combo->view()))
            list->setUniformItemSizes(true);
        combo->addItem(unselected);
        combo->addItems(names);
        combo->setCurrentIndex(names.indexOf(data.rplNames[r]) + 1);
        scrollBarsAsNeeded(combo);
        combo->setMaxVisibleItems(6);
        connect(combo, QOverload<int>::of(&QComboBox::activated), this, [this, r] { picked.setBit(r); });
        nameBoxes.append(combo);

        auto *edit = new QTouchLineEdit;
        edit->setObjectName(QStringLiteral("cycleEdit_%1").arg(r + 1));
        edit->setFixedSize(120, 40);
        edit->setCast(5, -1);
        edit->setValueRange(1.0, 9999.0);
        edit->setText(QString::number(data.cycleIndex[r]));
        edit->setAlignment(Qt::AlignCenter);
        cycleEdits.append(edit);

        table->setCellWidget(r, 1, centredCell(combo));
        table->setCellWidget(r, 2, centredCell(edit));
    }
}

void ZuzEraroveSetting::showSettingData(ZuzEraroveData data)
{
    shown = data;
    {
        // Loading a record is no mode change.
        const QSignalBlocker blocker(ui->modeCB);
        ui->modeCB->setCurrentIndex(data.signalMode);
    }
    ui->protocolCB->setCurrentIndex(data.protocol);

    QComboBox *first = nameBoxes.value(0);
    if (!first)
        return;
    QStringList items;
    for (int i = 0; i < first->count(); ++i)
        items << first->itemText(i);

    delete pendingMsgBox;
    pendingMsgBox = nullptr;

    QString report;
    for (int r = 0; r < nameBoxes.size(); ++r) {
        if (QComboBox *combo = nameBoxes[r]) {
            const int j = items.indexOf(data.rplNames[r]);
            if (j >= 0 && j < combo->count())
                combo->setCurrentIndex(j);
            else if (!data.rplNames[r].isEmpty())
                report += QStringLiteral("\nID:%1 Name:%2").arg(r + 1).arg(shownName(data.rplNames[r]));
        }
        if (QTouchLineEdit *edit = cycleEdits.value(r))
            edit->setText(QString::number(data.cycleIndex[r]));
    }
    if (!report.isEmpty()) {
        const QString unchanged = QStringLiteral("unchanged");
        // The host decides whether and when to show this report; the page only keeps it.
        pendingMsgBox = new MsgBox(MsgError, tr("The following files do not exist, please reselect.%1").arg(report),
                                   MsgAcknowledge, false, false, 0, false, false, unchanged, unchanged,
                                   unchanged, 18);
    }
}

void ZuzEraroveSetting::saveUiToData()
{
    ZuzEraroveData &data = ZuzEraroveLibApi::getInstance()->resvData;
    data.signalMode = boxValue(ui->modeCB, shown.signalMode);
    data.protocol = boxValue(ui->protocolCB, shown.protocol);
    for (int r = 0; r < ZUZ_SLOT_COUNT; ++r) {
        data.rplNames[r] = shown.rplNames[r];
        data.cycleIndex[r] = shown.cycleIndex[r];
        if (QComboBox *combo = nameBoxes.value(r)) {
            const int found = combo->findText(shown.rplNames[r], Qt::MatchExactly | Qt::MatchCaseSensitive);
            if (picked.testBit(r) || combo->currentIndex() != qMax(found, 0))
                data.rplNames[r] = combo->currentIndex() > 0 ? combo->currentText() : QString();
        }
        QTouchLineEdit *edit = cycleEdits.value(r);
        if (edit && edit->text() != QString::number(shown.cycleIndex[r]))
            data.cycleIndex[r] = edit->text().toInt(nullptr, 10);
    }
}

void ZuzEraroveSetting::reloadFromWorkingRecord()
{
    ZuzEraroveLibApi *api = ZuzEraroveLibApi::getInstance();
    initSettingTable(api->resvData);
    showSettingData(api->resvData);
}

void ZuzEraroveSetting::on_modeCB_currentIndexChanged(int index)
{
    Q_UNUSED(index) // the mode is read back from the combo
    saveUiToData();
    reloadFromWorkingRecord();
}

void ZuzEraroveSetting::on_resetButton_clicked()
{
    if (confirm(this, tr("Are you sure to restore data from the file?")) != Answer::Yes)
        return;
    ZuzEraroveLibApi *api = ZuzEraroveLibApi::getInstance();
    initSettingTable(api->resvDataSaved);
    showSettingData(api->resvDataSaved);
}

bool ZuzEraroveSetting::unchangedSinceSave()
{
    // The run state belongs to the monitor's start and stop; it is no setting of this page.
    ZuzEraroveLibApi *api = ZuzEraroveLibApi::getInstance();
    ZuzEraroveData saved = api->resvDataSaved;
    saved.runState = api->resvData.runState;
    return api->isSameRplResData(api->resvData, saved);
}

void ZuzEraroveSetting::on_returnButton_clicked()
{
    saveUiToData();
    if (unchangedSinceSave()) {
        emit setCurrentWidgetSignal(PageMonitor);
        return;
    }
    if (confirm(this, tr("Are you sure not to save settings and exit?")) != Answer::Yes)
        return;
    ZuzEraroveLibApi *api = ZuzEraroveLibApi::getInstance();
    const int runState = api->resvData.runState;
    api->resvData = api->resvDataSaved;
    api->resvData.runState = runState;
    reloadFromWorkingRecord();
    emit setCurrentWidgetSignal(PageMonitor);
}

void ZuzEraroveSetting::on_saveButton_clicked()
{
    if (confirm(this, tr("Are you sure to save it?")) != Answer::Yes)
        return;
    // Saving a record that was never read would write defaults over the controller's settings.
    if (!configstate::known()) {
        finish(showError(this, tr("The settings could not be read from the controller, so nothing was "
                                  "saved. Check the connection, then leave the screen and open it again.")));
        return;
    }
    saveUiToData();
    switch (saveConfigToController()) {
    case ConfigSave::WriteFailed:
        finish(showError(this, tr("Failed to write file.")));
        return;
    case ConfigSave::SendFailed:
        finish(showError(this, tr("Failed to send file.")));
        return;
    case ConfigSave::Saved:
        break;
    }
    // The service has taken the file; then the protocol, then the mode, apart in time.
    ZuzEraroveLibApi *api = ZuzEraroveLibApi::getInstance();
    const ZuzEraroveData saved = api->resvData;
    api->delay_MSec(16);
    api->setProtocolType(rescProtocol(saved.protocol));
    api->delay_MSec(16);
    api->setSignalMode(saved.signalMode);
    // The save is done whatever happens to the page while the note is open; what follows
    // touches only the service.
    finish(showNote(this, tr("Save successfully.")));
    api->clearUnusedIdTotal();
    api->resvDataSaved = saved;
}

void ZuzEraroveSetting::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // The configuration was read again while this page was hidden (it holds no unsaved edits
    // then: Return is the only way out of it).
    if (builtFrom != configstate::generation()) {
        builtFrom = configstate::generation();
        reloadFromWorkingRecord();
        return;
    }
    QComboBox *first = nameBoxes.value(0);
    if (!first || first->count() < 2)
        return;
    QStringList listed;
    for (int i = 1; i < first->count(); ++i)
        listed << first->itemText(i);
    if (ZuzEraroveLibApi::getInstance()->isSameQstrList(ZuzEraroveLibApi::getInstance()->getAllRplName(), listed))
        return;
    saveUiToData();
    reloadFromWorkingRecord();
}
