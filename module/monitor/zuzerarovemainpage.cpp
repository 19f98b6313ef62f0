#include "monitor/zuzerarovemainpage.h"
#include "ui_zuzerarovemainpage.h"

#include "common/configtransfer.h"
#include "common/controllerfiles.h"
#include "common/modulepaths.h"
#include "common/msgboxes.h"
#include "common/tablecells.h"
#include "core/domain.h"

#include "dataaccess.h"
#include "rtmfunctions.h"

#include <QEventLoop>
#include <QPointer>
#include <QPushButton>
#include <QTableWidgetItem>

namespace {

enum Column { ColId, ColName, ColStatus, ColSequence, ColTotal, ColReserve, ColCancel };

} // namespace

ZuzEraroveMainPage::ZuzEraroveMainPage(QWidget *parent)
    : QWidget(parent), ui(std::make_unique<Ui::ZuzEraroveMainPage>()), initialised(false)
{
    ui->setupUi(this);
    setUpColumns();
    RtmSetUIStyleSheet(this, QStringLiteral("ZuzErarove"));
    QTimer::singleShot(300, this, &ZuzEraroveMainPage::initTimerSlot);
}

ZuzEraroveMainPage::~ZuzEraroveMainPage() = default;

void ZuzEraroveMainPage::shareConfigState(std::shared_ptr<ConfigState> state)
{
    configState = std::move(state);
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

    updateConfigView(ZuzEraroveLibApi::getInstance()->resvData);
    initialised = true;
}

Outcome ZuzEraroveMainPage::loadConfigFromCtrl()
{
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
        configState->markRead();
        return Outcome::Done;
    }
    // With no file on the controller the service's defaults are what the controller has.
    if (absentOnController(modulepaths::ctrlConfigPath()))
        configState->markRead();
    else
        configState->markUnknown();
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
    api->setProtocolType(rescProtocol(config.protocol));
    RtmSwitchWidgetVariablesContext();
    ui->label_protocol->setText(tr("Protocol:%1").arg(ReservationMonitor::protocolName(config.protocol)));

    m_monitor.setConfig(config, api->getAllRplName());
    QTableWidget *table = ui->zuzeraroveMonitoeTW;
    for (int r = 0; r < table->rowCount() && r < m_monitor.rows(); ++r) {
        const bool enabled = m_monitor.keysEnabled(r);
        if (r < reserveBtns.size())
            reserveBtns[r]->setEnabled(enabled);
        if (r < cancelBtns.size())
            cancelBtns[r]->setEnabled(enabled);
        setCellText(r, ColName, m_monitor.shownName(r));
    }
}

void ZuzEraroveMainPage::setCellText(int row, int column, const QString &text)
{
    if (QTableWidgetItem *item = ui->zuzeraroveMonitoeTW->item(row, column))
        item->setText(text);
}

void ZuzEraroveMainPage::refreshMonitor()
{
    if (!initialised)
        return;
    const MonitorChanges changes = m_monitor.apply(m_monitor.read(*ZuzEraroveLibApi::getInstance()));
    if (changes.running) {
        const bool running = m_monitor.isRunning();
        ui->runOrStopLedCB->setChecked(running);
        ui->runOrStopButton->setText(running ? tr("Stop") : tr("Start"));
        ui->settingButton->setEnabled(!running);
    }
    for (int r : changes.statusRows)
        setCellText(r, ColStatus, m_monitor.statusText(r));
    for (int r : changes.totalRows)
        setCellText(r, ColTotal, m_monitor.totalText(r));
    if (changes.sequence) {
        for (int r = 0; r < m_monitor.rows(); ++r)
            setCellText(r, ColSequence, m_monitor.sequenceText(r));
    }
}

void ZuzEraroveMainPage::onRollText()
{
    // Until the start-up has the program list, the names are not known.
    if (!initialised)
        return;
    const QStringList texts = m_monitor.roll();
    for (int r = 0; r < texts.size(); ++r)
        setCellText(r, ColName, texts[r]);
}

void ZuzEraroveMainPage::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    syncWithService();
}

void ZuzEraroveMainPage::syncWithService()
{
    ZuzEraroveLibApi *api = ZuzEraroveLibApi::getInstance();
    const bool sameConfig = api->isSameRplResData(m_monitor.config(), api->resvData);
    if (sameConfig && api->isSameQstrList(m_monitor.listed(), api->getAllRplName()))
        return;
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
    const QString warning = m_monitor.startStopWarning(DataAccess::isRobotRunning());
    if (!warning.isEmpty() && confirm(this, warning, MsgWarning) != Answer::Yes)
        return;

    ui->runOrStopButton->setEnabled(false);
    // A configuration that was never read is fetched again first: sending the record as it is
    // would replace the controller's settings with defaults.
    if (!configState->known()) {
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
    // Only this command changes the run state the controller keeps.
    Outcome saved = Outcome::Failed;
    {
        RunStateCommand command(api->resvData, m_monitor.wantedRunState());
        saved = saveConfigToCtrl();
        if (saved == Outcome::Done)
            command.commit(api->resvDataSaved);
    }
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
    const QString refusal = m_monitor.reserveRefusal();
    if (refusal.isEmpty())
        ZuzEraroveLibApi::getInstance()->addResvProgram(row);
    else
        finish(showError(this, refusal));
}

void ZuzEraroveMainPage::cancelBtnClickedSlot()
{
    const int row = senderRow(cancelBtns);
    ZuzEraroveLibApi *api = ZuzEraroveLibApi::getInstance();
    const QString question = ReservationMonitor::cancelQuestion(api->getResvStatus(row));
    if (!question.isEmpty() && confirm(this, question) == Answer::Yes)
        api->delResvProgram(row);
}

void ZuzEraroveMainPage::onCancelallbtnClicked()
{
    if (confirm(this, tr("Are you sure to cancel all reservations?")) != Answer::Yes)
        return;
    ZuzEraroveLibApi *api = ZuzEraroveLibApi::getInstance();
    QVector<int> statuses;
    for (int r = 0; r < m_monitor.rows(); ++r)
        statuses.append(api->getResvStatus(r));
    const ReservationMonitor::CancelAll order = ReservationMonitor::cancelAllOrder(statuses);
    for (int r : order.waiting) {
        api->delResvProgram(r);
        api->delay_MSec(200);
    }
    if (order.running >= 0)
        api->delResvProgram(order.running);
}

void ZuzEraroveMainPage::onClearbuttonClicked()
{
    if (confirm(this, tr("Are you sure to clear the total?")) == Answer::Yes)
        ZuzEraroveLibApi::getInstance()->clearRunTotal();
}
