#include "zuzerarovemainpage.h"
#include "ui_zuzerarovemainpage.h"

#include "configstate.h"
#include "configtransfer.h"
#include "controllerfiles.h"
#include "domain.h"
#include "modulepaths.h"
#include "msgboxes.h"
#include "tablecells.h"

#include "dataaccess.h"
#include "rtmfunctions.h"

#include <QEventLoop>
#include <QPointer>
#include <QPushButton>
#include <QTableWidgetItem>

namespace {

enum Column { ColId, ColName, ColStatus, ColSequence, ColTotal, ColReserve, ColCancel };

// Scroll position of each row's name, kept for the life of the module.
int rollPos[ZUZ_SLOT_COUNT] = {};

QString protocolText(int protocol)
{
    static const char *const texts[] = {"IO", "Modbus-TCP", "EtherCAT", "EtherNET/IP", "Profinet",
                                        "EtherCATMaster", "Devicenet", "MtcpMaster", "EipMaster",
                                        "ProfinetMaster", "DevicenetMaster"};
    if (protocol < 0 || protocol >= ProtocolCount)
        protocol = 0;
    return QString::fromLatin1(texts[protocol]);
}

} // namespace

ZuzEraroveMainPage::ZuzEraroveMainPage(QWidget *parent)
    : QWidget(parent), ui(new Ui::ZuzEraroveMainPage), initialised(false)
{
    resetCaches();
    ui->setupUi(this);
    setUpColumns();
    RtmSetUIStyleSheet(this, QStringLiteral("ZuzErarove"));
    QTimer::singleShot(300, this, &ZuzEraroveMainPage::initTimerSlot);
}

ZuzEraroveMainPage::~ZuzEraroveMainPage()
{
    delete ui;
}

void ZuzEraroveMainPage::setUpColumns()
{
    ::setUpColumns(ui->zuzeraroveMonitoeTW,
                   {tr("ID"), tr("Name"), tr("Status"), tr("Sequence"), tr("Total"), tr("Reserve"), tr("Cancel")},
                   {50, 250, 125, 105, 105, 120, 120});
}

void ZuzEraroveMainPage::initTimerSlot()
{
    if (loadConfigFromCtrl() == Outcome::Gone)
        return;
    connect(ui->exitButton, &QPushButton::clicked, this, &ZuzEraroveMainPage::onExitbuttonClicked);
    connect(ui->softPlcButton, &QPushButton::clicked, this, &ZuzEraroveMainPage::onSoftplcbuttonClicked);
    connect(ui->settingButton, &QPushButton::clicked, this, &ZuzEraroveMainPage::onSettingbuttonClicked);
    connect(ui->cancelAllBtn, &QPushButton::clicked, this, &ZuzEraroveMainPage::onCancelallbtnClicked);
    connect(ui->clearButton, &QPushButton::clicked, this, &ZuzEraroveMainPage::onClearbuttonClicked);
    connect(ui->runOrStopButton, &QPushButton::clicked, this, &ZuzEraroveMainPage::onRunorstopbuttonClicked);
    connect(ui->prograMapBtn, &QPushButton::clicked, this, &ZuzEraroveMainPage::prograMapBtnClicked);

    ZuzEraroveLibApi *api = ZuzEraroveLibApi::getInstance();
    allRplNames = api->getAllRplName();
    resvConfig = api->resvData;
    updateConfigView(api->resvData);
    initialised = true;
}

void ZuzEraroveMainPage::resetCaches()
{
    for (int i = 0; i < ZUZ_SLOT_COUNT; ++i)
        lastStatus[i] = lastTotal[i] = lastQueue[i] = -1;
}

Outcome ZuzEraroveMainPage::loadConfigFromCtrl()
{
    resetCaches();
    const Outcome fetched = fetchConfig();
    if (fetched == Outcome::Gone)
        return fetched;
    initTable(ZuzEraroveLibApi::getInstance()->resvData);
    connect(&rollTimer, &QTimer::timeout, this, &ZuzEraroveMainPage::onRollText, Qt::UniqueConnection);
    rollTimer.start(500);
    return fetched;
}

Outcome ZuzEraroveMainPage::fetchConfig()
{
    ZuzEraroveLibApi *api = ZuzEraroveLibApi::getInstance();
    QString failure;
    if (!api->getFileFromCtrl(modulepaths::ctrlConfigPath(), modulepaths::localConfigPath()))
        failure = tr("Failed to get file.");
    else if (!api->readZuzEraroveFile(modulepaths::localConfigPath()))
        failure = tr("Failed to read file.");
    if (failure.isEmpty()) {
        configstate::markRead();
        return Outcome::Done;
    }
    // With no file on the controller the service's defaults are what the controller has.
    if (absentOnController(modulepaths::ctrlConfigPath()))
        configstate::markRead();
    else
        configstate::markUnknown();
    return showError(this, failure);
}

void ZuzEraroveMainPage::initTable(ZuzEraroveData config)
{
    QTableWidget *table = ui->zuzeraroveMonitoeTW;
    resetSlotRows(table, reserveBtns, cancelBtns, QSize(900, 406), config.signalMode);
    setUpColumns();
    const int rows = table->rowCount();

    for (int r = 0; r < rows; ++r) {
        table->setItem(r, ColId, centredItem(QString::number(r + 1)));
        table->setItem(r, ColName, centredItem(tr("Null")));
        table->setItem(r, ColStatus, centredItem(tr("Null")));
        table->setItem(r, ColSequence, centredItem(QStringLiteral("0")));
        table->setItem(r, ColTotal, centredItem(QStringLiteral("0")));

        const struct
        {
            int column;
            QString text;
            QString name;
            QList<QPushButton *> *list;
            void (ZuzEraroveMainPage::*slot)();
        } keys[] = {
            {ColReserve, tr("Res_%1").arg(r + 1), QStringLiteral("reserveBtn_%1").arg(r + 1),
             &reserveBtns, &ZuzEraroveMainPage::reserveBtnClickedSlot},
            {ColCancel, tr("Cancel_%1").arg(r + 1), QStringLiteral("cancelBtn_%1").arg(r + 1),
             &cancelBtns, &ZuzEraroveMainPage::cancelBtnClickedSlot},
        };
        for (const auto &key : keys) {
            auto *button = new QPushButton(key.text);
            button->setObjectName(key.name);
            button->setFixedSize(100, 40);
            connect(button, &QPushButton::clicked, this, key.slot);
            key.list->append(button);
            table->setCellWidget(r, key.column, centredCell(button));
        }
    }
}

void ZuzEraroveMainPage::updateConfigView(ZuzEraroveData config)
{
    ui->label_mode->setText(tr("Mode:%1").arg(config.signalMode == ModeBinary ? tr("Binary") : tr("Alone")));

    ZuzEraroveLibApi *api = ZuzEraroveLibApi::getInstance();
    const QString protocol = protocolText(config.protocol);
    api->setProtocolType(rescProtocol(config.protocol));
    RtmSwitchWidgetVariablesContext();
    ui->label_protocol->setText(tr("Protocol:%1").arg(protocol));

    const QStringList names = api->getAllRplName();
    QTableWidget *table = ui->zuzeraroveMonitoeTW;
    for (int r = 0; r < table->rowCount() && r < ZUZ_SLOT_COUNT; ++r) {
        const QString &name = config.rplNames[r];
        const bool present = names.contains(name);
        if (present)
            showNames[r] = shownName(name);
        else
            showNames[r] = name.isEmpty() ? tr("Null") : tr("%1(no file)").arg(shownName(name));
        if (r < reserveBtns.size())
            reserveBtns[r]->setEnabled(present);
        if (r < cancelBtns.size())
            cancelBtns[r]->setEnabled(present);
        if (QTableWidgetItem *item = table->item(r, ColName))
            item->setText(showNames[r]);
    }
}

void ZuzEraroveMainPage::refreshMonitor()
{
    if (!initialised)
        return;
    ZuzEraroveLibApi *api = ZuzEraroveLibApi::getInstance();
    QTableWidget *table = ui->zuzeraroveMonitoeTW;

    if (ui->runOrStopLedCB->isChecked() != api->getResvRunningStatus()) {
        ui->runOrStopLedCB->setChecked(api->getResvRunningStatus());
        const bool running = ui->runOrStopLedCB->isChecked();
        ui->runOrStopButton->setText(running ? tr("Stop") : tr("Start"));
        ui->settingButton->setEnabled(!running);
    }

    refreshResvStatus();

    const int rows = table->rowCount();
    for (int r = 0; r < ZUZ_SLOT_COUNT && r < rows; ++r) {
        if (api->getProgramRunTotal(r) != lastTotal[r]) {
            lastTotal[r] = api->getProgramRunTotal(r);
            if (QTableWidgetItem *item = table->item(r, ColTotal))
                item->setText(QString::number(lastTotal[r]));
        }
    }

    bool queueChanged = false;
    for (int i = 0; i < ZUZ_SLOT_COUNT && i < rows; ++i) {
        if (api->getProgramQueue(i) != lastQueue[i]) {
            queueChanged = true;
            break;
        }
    }
    if (!queueChanged)
        return;
    for (int r = 0; r < rows; ++r)
        if (QTableWidgetItem *item = table->item(r, ColSequence))
            item->setText(QStringLiteral("0"));
    for (int i = 0; i < rows && i < ZUZ_SLOT_COUNT; ++i) {
        const int q = api->getProgramQueue(i);
        lastQueue[i] = q;
        if (q > 0 && q <= rows)
            if (QTableWidgetItem *item = table->item(q - 1, ColSequence))
                item->setText(QString::number(i + 1));
    }
}

void ZuzEraroveMainPage::refreshResvStatus()
{
    ZuzEraroveLibApi *api = ZuzEraroveLibApi::getInstance();
    QTableWidget *table = ui->zuzeraroveMonitoeTW;
    for (int r = 0; r < table->rowCount() && r < ZUZ_SLOT_COUNT; ++r) {
        if (api->getResvStatus(r) == lastStatus[r])
            continue;
        QTableWidgetItem *item = table->item(r, ColStatus);
        if (api->resvData.rplNames[r].isEmpty()) {
            if (item)
                item->setText(tr("Null"));
            continue;
        }
        lastStatus[r] = api->getResvStatus(r);
        QString text;
        switch (lastStatus[r]) {
        case SlotUnreserved: text = tr("Unreserved"); break;
        case SlotReserved: text = tr("Reserved"); break;
        case SlotRunning: text = tr("Running"); break;
        default: text = tr("Null"); break;
        }
        if (item)
            item->setText(text);
    }
}

void ZuzEraroveMainPage::onRollText()
{
    QTableWidget *table = ui->zuzeraroveMonitoeTW;
    const QString null = tr("Null");
    for (int r = 0; r < table->rowCount() && r < ZUZ_SLOT_COUNT; ++r) {
        const QString &name = showNames[r];
        if (rollPos[r] > name.length())
            rollPos[r] = 0;
        QTableWidgetItem *item = table->item(r, ColName);
        if (name != null && name.length() > 20) {
            if (item)
                item->setText(name.mid(rollPos[r]));
            ++rollPos[r];
        } else if (item) {
            item->setText(name);
        }
    }
}

void ZuzEraroveMainPage::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    syncWithService();
}

void ZuzEraroveMainPage::syncWithService()
{
    ZuzEraroveLibApi *api = ZuzEraroveLibApi::getInstance();
    const bool sameConfig = api->isSameRplResData(resvConfig, api->resvData);
    const QStringList names = api->getAllRplName();
    if (sameConfig && api->isSameQstrList(allRplNames, names))
        return;
    resvConfig = api->resvData;
    allRplNames = names;
    resetCaches();
    initTable(api->resvData);
    updateConfigView(api->resvData);
}

// The navigation keys return at once after emitting: the exit road deletes this page before
// the emission returns.
void ZuzEraroveMainPage::onSettingbuttonClicked()
{
    emit setCurrentWidgetSignal(PageSettings);
}

void ZuzEraroveMainPage::onExitbuttonClicked()
{
    emit setCurrentWidgetSignal(PageClose);
}

void ZuzEraroveMainPage::onSoftplcbuttonClicked()
{
    emit setCurrentWidgetSignal(PageSoftPlc);
}

void ZuzEraroveMainPage::prograMapBtnClicked()
{
    emit setCurrentWidgetSignal(PageProgramMap);
}

int ZuzEraroveMainPage::senderRow(const QList<QPushButton *> &keys) const
{
    return keys.indexOf(qobject_cast<QPushButton *>(sender()));
}

Outcome ZuzEraroveMainPage::saveConfigToCtrl()
{
    switch (saveConfigToController()) {
    case ConfigSave::Saved:
        return Outcome::Done;
    case ConfigSave::WriteFailed:
        return showError(this, tr("Failed to save file."));
    case ConfigSave::SendFailed:
        break;
    }
    return showError(this, tr("Failed to send file."));
}

void ZuzEraroveMainPage::onRunorstopbuttonClicked()
{
    if (DataAccess::isRobotRunning() && !ui->runOrStopLedCB->isChecked()
        && confirm(this,
                   tr("A robot program is running.\nAre you sure you want to terminate the program "
                      "and start the program reservation?"),
                   MsgWarning)
               != Answer::Yes)
        return;
    if (DataAccess::isRobotRunning() && ui->runOrStopLedCB->isChecked()
        && confirm(this,
                   tr("The reserved program is running, are you sure to stop the program "
                      "reservation?\nThe running program will finish running normally."),
                   MsgWarning)
               != Answer::Yes)
        return;

    ui->runOrStopButton->setEnabled(false);
    // A configuration that was never read is fetched again first: sending the record as it is
    // would replace the controller's settings with defaults.
    if (!configstate::known()) {
        const Outcome fetched = fetchConfig();
        if (fetched == Outcome::Gone)
            return;
        if (fetched == Outcome::Failed) {
            ui->runOrStopButton->setEnabled(true);
            return;
        }
        syncWithService();
    }

    ZuzEraroveLibApi *api = ZuzEraroveLibApi::getInstance();
    api->setStartRunProgram();
    // Only this command changes the run state the controller keeps; when the save fails the
    // record goes back to the state the controller still has.
    const int previous = api->resvData.runState;
    const int wanted = ui->runOrStopButton->text() == tr("Stop") ? 0 : 1;
    api->resvData.runState = wanted;
    const Outcome saved = saveConfigToCtrl();
    if (saved == Outcome::Done)
        api->resvDataSaved.runState = wanted;
    else
        api->resvData.runState = previous;
    if (saved == Outcome::Gone)
        return;

    // The key stays disabled while the interface keeps running for 100 ms, in an event loop that
    // sleeps between events. Events processed here may close the module, so the page is not
    // touched once it is gone.
    const QPointer<ZuzEraroveMainPage> self(this);
    QEventLoop wait;
    QTimer::singleShot(100, &wait, &QEventLoop::quit);
    wait.exec();
    if (self)
        ui->runOrStopButton->setEnabled(true);
}

void ZuzEraroveMainPage::reserveBtnClickedSlot()
{
    const int row = senderRow(reserveBtns);
    if (ui->runOrStopLedCB->isChecked())
        ZuzEraroveLibApi::getInstance()->addResvProgram(row);
    else
        finish(showError(this, tr("Please start before reserving programe.")));
}

void ZuzEraroveMainPage::cancelBtnClickedSlot()
{
    const int row = senderRow(cancelBtns);
    ZuzEraroveLibApi *api = ZuzEraroveLibApi::getInstance();
    const int status = api->getResvStatus(row);
    if (status < SlotReserved)
        return;
    const QString question = status == SlotReserved
        ? tr("Are you sure to cancel the reservation?")
        : tr("The program is running. Are you sure to stop and cancel the reservation?");
    if (confirm(this, question) == Answer::Yes)
        api->delResvProgram(row);
}

void ZuzEraroveMainPage::onCancelallbtnClicked()
{
    if (confirm(this, tr("Are you sure to cancel all reservations?")) != Answer::Yes)
        return;
    ZuzEraroveLibApi *api = ZuzEraroveLibApi::getInstance();
    const int rows = ui->zuzeraroveMonitoeTW->rowCount();
    // Waiting slots go in row order, apart in time; the running one goes last.
    int running = -1;
    for (int r = 0; r < ZUZ_SLOT_COUNT && r < rows; ++r) {
        const int status = api->getResvStatus(r);
        if (status == SlotReserved) {
            api->delResvProgram(r);
            api->delay_MSec(200);
        } else if (status >= SlotRunning) {
            running = r;
        }
    }
    if (running >= 0)
        api->delResvProgram(running);
}

void ZuzEraroveMainPage::onClearbuttonClicked()
{
    if (confirm(this, tr("Are you sure to clear the total?")) == Answer::Yes)
        ZuzEraroveLibApi::getInstance()->clearRunTotal();
}
