#include "settings/zuzerarovesetting.h"
#include "ui_zuzerarovesetting.h"

#include "common/configtransfer.h"
#include "common/msgboxes.h"
#include "common/tablecells.h"
#include "core/domain.h"
#include "core/settingseditor.h"

#include "msgbox.h"
#include "qtouchlineedit.h"
#include "rtmfunctions.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QTableWidgetItem>

namespace {

void scrollBarsAsNeeded(QComboBox *combo)
{
    combo->view()->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    combo->view()->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

} // namespace

ZuzEraroveSetting::ZuzEraroveSetting(QWidget *parent)
    : QWidget(parent), ui(std::make_unique<Ui::ZuzEraroveSetting>()), m_loading(false),
      m_builtFrom(configState->generation())
{
    ui->setupUi(this);
    // The operator's choices are edits; the page's own loading of a record is not.
    connect(ui->protocolCB, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this](int index) {
        if (!m_loading)
            m_editor.setProtocol(index);
    });
    ZuzEraroveLibApi *api = ZuzEraroveLibApi::getInstance();
    initSettingTable(api->resvData);
    showSettingData(api->resvData);
    RtmSetUIStyleSheet(this, QStringLiteral("ZuzErarove"));
    scrollBarsAsNeeded(ui->protocolCB);
}

ZuzEraroveSetting::~ZuzEraroveSetting()
{
    // The program boxes go before the editor's model they show.
    qDeleteAll(nameBoxes);
}

void ZuzEraroveSetting::shareConfigState(std::shared_ptr<ConfigState> state)
{
    configState = std::move(state);
    // Built just now, from the record the shared state describes.
    m_builtFrom = configState->generation();
}

void ZuzEraroveSetting::initSettingTable(ZuzEraroveData data)
{
    QTableWidget *table = ui->rplSettingTw;
    resetSlotRows(table, nameBoxes, cycleEdits, QSize(760, 406), data.signalMode);
    setUpColumns(table, {tr("ID"), tr("Name"), tr("Cycle index")}, {100, 480, 140});
    const int rows = table->rowCount();

    const QStringList names = ZuzEraroveLibApi::getInstance()->getAllRplName();
    m_editor.load(data, names);
    for (int r = 0; r < rows; ++r) {
        table->setItem(r, 0, centredItem(QString::number(r + 1)));

        auto *combo = new QComboBox;
        combo->setObjectName(QStringLiteral("nameBox_%1").arg(r + 1));
        combo->setFixedSize(450, 40);
        // Every row lists the same names: one model, no copy of them per box.
        showProgramNames(combo, m_editor.programNames());
        combo->setCurrentIndex(m_editor.programIndex(r));
        scrollBarsAsNeeded(combo);
        combo->setMaxVisibleItems(6);
        // A pick is an edit even of the item shown: "Unselected" over an unlisted program clears it.
        connect(combo, QOverload<int>::of(&QComboBox::activated), this, [this, r](int index) {
            m_editor.pickProgram(r, index);
        });
        connect(combo, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this, r](int index) {
            if (!m_loading)
                m_editor.pickProgram(r, index);
        });
        nameBoxes.append(combo);

        auto *edit = new QTouchLineEdit;
        edit->setObjectName(QStringLiteral("cycleEdit_%1").arg(r + 1));
        edit->setFixedSize(120, 40);
        edit->setCast(5, -1);
        edit->setValueRange(1.0, 9999.0);
        edit->setText(QString::number(data.cycleIndex[r]));
        edit->setAlignment(Qt::AlignCenter);
        connect(edit, &QLineEdit::textChanged, this, [this, r](const QString &text) {
            if (!m_loading)
                m_editor.setCycleText(r, text);
        });
        cycleEdits.append(edit);

        table->setCellWidget(r, 1, centredCell(combo));
        table->setCellWidget(r, 2, centredCell(edit));
    }
}

void ZuzEraroveSetting::showSettingData(ZuzEraroveData data)
{
    const QSignalBlocker blocker(ui->modeCB);
    m_loading = true;
    ui->modeCB->setCurrentIndex(data.signalMode);
    ui->protocolCB->setCurrentIndex(data.protocol);
    for (int r = 0; r < nameBoxes.size(); ++r) {
        nameBoxes[r]->setCurrentIndex(m_editor.programIndex(r));
        if (QTouchLineEdit *edit = cycleEdits.value(r))
            edit->setText(QString::number(data.cycleIndex[r]));
    }
    m_loading = false;

    pendingMsgBox.reset();
    const QString report = m_editor.missingReport();
    // The host decides whether and when to show this report; the page only keeps it.
    if (!report.isEmpty())
        pendingMsgBox = keptNote(report, MsgError);
}

void ZuzEraroveSetting::saveUiToData()
{
    ZuzEraroveData &working = ZuzEraroveLibApi::getInstance()->resvData;
    working = SettingsEditor::withRunState(m_editor.record(), working.runState);
}

void ZuzEraroveSetting::reloadFromWorkingRecord()
{
    ZuzEraroveLibApi *api = ZuzEraroveLibApi::getInstance();
    initSettingTable(api->resvData);
    showSettingData(api->resvData);
}

void ZuzEraroveSetting::on_modeCB_currentIndexChanged(int index)
{
    m_editor.setMode(index);
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
    return api->isSameRplResData(api->resvData, SettingsEditor::withRunState(api->resvDataSaved, api->resvData.runState));
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
    api->resvData = SettingsEditor::withRunState(api->resvDataSaved, api->resvData.runState);
    reloadFromWorkingRecord();
    emit setCurrentWidgetSignal(PageMonitor);
}

void ZuzEraroveSetting::on_saveButton_clicked()
{
    if (confirm(this, tr("Are you sure to save it?")) != Answer::Yes)
        return;
    // Saving a record that was never read would write defaults over the controller's settings.
    if (!configState->known()) {
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
    if (m_builtFrom != configState->generation()) {
        m_builtFrom = configState->generation();
        reloadFromWorkingRecord();
        return;
    }
    if (nameBoxes.isEmpty() || m_editor.listed().isEmpty())
        return;
    ZuzEraroveLibApi *api = ZuzEraroveLibApi::getInstance();
    if (api->isSameQstrList(api->getAllRplName(), m_editor.listed()))
        return;
    saveUiToData();
    reloadFromWorkingRecord();
}
