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
#include <QStyledItemDelegate>
#include <QTableWidgetItem>

#include <utility>

namespace {

const char keptCell[] = "keptCell";

// The table hands a row's cells back here when it is cleared or loses the row; the page's cells
// stay for the row's next build, hidden, and any other cell goes as the view would send it.
class KeptCells : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void destroyEditor(QWidget *editor, const QModelIndex &index) const override
    {
        if (editor->property(keptCell).toBool())
            editor->hide();
        else
            QStyledItemDelegate::destroyEditor(editor, index);
    }
};

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
    ui->rplSettingTw->setItemDelegate(new KeptCells(ui->rplSettingTw));
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
    for (const SlotRow &row : qAsConst(m_rows))
        delete row.name;
}

void ZuzEraroveSetting::shareConfigState(std::shared_ptr<ConfigState> state)
{
    configState = std::move(state);
    // Built just now, from the record the shared state describes.
    m_builtFrom = configState->generation();
}

ZuzEraroveSetting::SlotRow ZuzEraroveSetting::makeSlotRow(int r)
{
    auto *combo = new QComboBox;
    combo->setFixedSize(450, 40);
    // Every row lists the same names: one model, no copy of them per box.
    showProgramNames(combo, m_editor.programNames());
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

    auto *edit = new QTouchLineEdit;
    edit->setFixedSize(120, 40);
    edit->setCast(5, -1);
    edit->setValueRange(1.0, 9999.0);
    edit->setAlignment(Qt::AlignCenter);
    connect(edit, &QLineEdit::textChanged, this, [this, r](const QString &text) {
        if (!m_loading)
            m_editor.setCycleText(r, text);
    });

    const SlotRow row{centredCell(combo), centredCell(edit), combo, edit};
    row.nameCell->setProperty(keptCell, true);
    row.cycleCell->setProperty(keptCell, true);
    return row;
}

void ZuzEraroveSetting::initSettingTable(ZuzEraroveData data)
{
    QTableWidget *table = ui->rplSettingTw;
    nameBoxes.clear();
    cycleEdits.clear();
    // A kept row out of the table is no control of the page's.
    for (const SlotRow &row : qAsConst(m_rows)) {
        row.name->setObjectName(QString());
        row.cycle->setObjectName(QString());
    }
    resetRows(table, QSize(760, 406), slotRows(data.signalMode), slotRowHeight(data.signalMode));
    setUpColumns(table, {tr("ID"), tr("Name"), tr("Cycle index")}, {100, 480, 140});
    const int rows = table->rowCount();

    const QStringList names = ZuzEraroveLibApi::getInstance()->getAllRplName();
    m_editor.load(data, names);
    const bool loading = std::exchange(m_loading, true);
    for (int r = 0; r < rows; ++r) {
        table->setItem(r, 0, centredItem(QString::number(r + 1)));
        if (r == m_rows.size())
            m_rows.append(makeSlotRow(r));
        const SlotRow &row = m_rows.at(r);
        if (row.name->model() != m_editor.programNames())
            showProgramNames(row.name, m_editor.programNames());
        row.name->setCurrentIndex(m_editor.programIndex(r));
        row.cycle->setText(QString::number(data.cycleIndex[r]));
        row.name->setObjectName(QStringLiteral("nameBox_%1").arg(r + 1));
        row.cycle->setObjectName(QStringLiteral("cycleEdit_%1").arg(r + 1));
        nameBoxes.append(row.name);
        cycleEdits.append(row.cycle);
        table->setCellWidget(r, 1, row.nameCell);
        table->setCellWidget(r, 2, row.cycleCell);
    }
    m_loading = loading;
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
