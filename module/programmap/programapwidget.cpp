#include "programmap/programapwidget.h"
#include "ui_programapwidget.h"

#include "chooser/fileedit.h"
#include "common/controllerfiles.h"
#include "common/modulepaths.h"
#include "common/msgboxes.h"
#include "common/tablecells.h"
#include "core/domain.h"
#include "core/modulelog.h"
#include "treefiles/treepath.h"

#include "rtmfunctions.h"

#include <QHeaderView>
#include <QTimer>

namespace {

constexpr int rows = ProgramMap::numbers;

} // namespace

prograMapWidget::prograMapWidget(QWidget *parent)
    : QWidget(parent), ui(std::make_unique<Ui::prograMapWidget>()), m_selectedRow(0), m_selectedColumn(0)
{
    ui->setupUi(this);
    RtmSetUIStyleSheet(this, QStringLiteral("ZuzErarove"));

    ui->editLabel->show();
    QTableWidget *table = ui->tableWidget;
    table->setColumnCount(2);
    table->setHorizontalHeaderLabels({tr("ProgramNum"), tr("ProgramName")});
    table->setRowCount(rows);
    table->setSelectionMode(QAbstractItemView::NoSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->horizontalHeader()->setStretchLastSection(true);
    table->horizontalHeader()->setStyleSheet(
        QStringLiteral("QHeaderView::section{font: 22px simhei;color: #412b3b;}"));
    for (int r = 0; r < rows; ++r) {
        table->setItem(r, 0, centredItem(QString::number(r + 1)));
        table->setItem(r, 1, centredItem(QString()));
    }
    m_fileEdit = std::make_unique<FileEdit>(nullptr);
    m_fileEdit->setVisible(false);

    connect(table, &QTableWidget::cellClicked, this, &prograMapWidget::tableCellClickedSlot);
    connect(ui->backBtn, &QPushButton::clicked, this, &prograMapWidget::quit);
    connect(ui->saveButton, &QPushButton::clicked, this, &prograMapWidget::saveBtnSlot);
    connect(ui->resetBtn, &QPushButton::clicked, this, &prograMapWidget::resetBtnSlot);
    connect(m_fileEdit.get(), &FileEdit::signalUpateRpl, this, &prograMapWidget::onSlotUpateRpl);
    connect(ui->emptyBtn, &QPushButton::clicked, this, &prograMapWidget::emptyBtnSlot);

    // The first load runs once the page is on its way to the screen.
    QTimer::singleShot(50, this, &prograMapWidget::refreshUi);
}

prograMapWidget::~prograMapWidget() = default;

void prograMapWidget::retranslateUi()
{
    ui->retranslateUi(this);
    ui->tableWidget->setHorizontalHeaderLabels({tr("ProgramNum"), tr("ProgramName")});
    if (inEditMode())
        ui->saveButton->setText(tr("Save"));
}

void prograMapWidget::showEvent(QShowEvent *event)
{
    // Showing the page reloads nothing: edits and mode survive a visit to another page.
    Q_UNUSED(event)
}

bool prograMapWidget::inEditMode() const
{
    return m_programMap.isEditing();
}

void prograMapWidget::enterViewMode()
{
    m_programMap.setEditing(false);
    ui->editLabel->show();
    ui->saveButton->setText(tr("Edit"));
}

void prograMapWidget::showNames()
{
    // A cell shows a name cut to a screen's worth; the map keeps it whole.
    for (int r = 0; r < rows; ++r)
        ui->tableWidget->item(r, 1)->setText(shownName(m_programMap.shown(r + 1)));
}

void prograMapWidget::refreshUi()
{
    finish(loadMap());
}

Outcome prograMapWidget::loadMap()
{
    ZuzEraroveLibApi *api = ZuzEraroveLibApi::getInstance();
    // A folder that cannot be made fails the fetch into it, which says so.
    if (!treepath::makeFolder(modulepaths::panelRoot(), modulepaths::localDir()))
        qCWarning(moduleLog).noquote() << "The local folder could not be made:" << modulepaths::localDir();
    if (!api->getFileFromCtrl(modulepaths::ctrlProgramMapPath(), modulepaths::localProgramMapPath())) {
        // A controller without a map has an empty one, which is what the table shows at first.
        m_programMap.setRead(m_programMap.isRead() || absentOnController(modulepaths::ctrlProgramMapPath()));
        return showError(this, tr("Failed to get %1 file form Ctrl.").arg(modulepaths::ctrlProgramMapPath()));
    }
    if (!api->readPrograMapFile(modulepaths::localProgramMapPath()))
        return showError(this, tr("Failed to read %1 file.").arg(modulepaths::localProgramMapPath()));
    return fillTable();
}

Outcome prograMapWidget::fillTable()
{
    m_programMap.load(ZuzEraroveLibApi::getInstance()->programMaps);
    showNames();
    if (!m_programMap.startsWithZero())
        return Outcome::Done;
    return showNote(this, tr("Version update, please confirm whether the '0' program mapping number was "
                             "configured before! ")
                              + QLatin1Char('\n')
                              + tr("If yes, change the '0' program mapping number to another unconfigured "
                                   "program number."));
}

void prograMapWidget::tableCellClickedSlot(int row, int column)
{
    if (column != 1 || !m_fileEdit)
        return;
    m_selectedRow = row;
    m_selectedColumn = column;
    // The chooser runs from the event loop, not inside the table's mouse handler: the panel may
    // close the screen while the chooser is open, and the table must not be in the middle of an
    // event when it goes. It reports through signalUpateRpl while it is still open.
    QTimer::singleShot(0, m_fileEdit.get(), [this] {
        if (!m_fileEdit->isVisible())
            m_fileEdit->exec();
    });
}

void prograMapWidget::onSlotUpateRpl(QString path)
{
    QTableWidgetItem *item = ui->tableWidget->item(m_selectedRow, m_selectedColumn);
    if (!item)
        return;
    if (m_programMap.assign(m_selectedRow + 1, path) == ProgramMap::Assign::Duplicate) {
        finish(showError(this, tr("Program mapping information is duplicated, adding failed!")));
        return;
    }
    m_fileEdit->close();
    item->setText(shownName(m_programMap.shown(m_selectedRow + 1)));
}

void prograMapWidget::saveBtnSlot()
{
    if (!inEditMode()) {
        m_programMap.setEditing(true);
        ui->editLabel->hide();
        ui->saveButton->setText(tr("Save"));
        return;
    }
    if (confirm(this, tr("Are you sure Save?")) != Answer::Yes)
        return;
    // A table that never showed the controller's map would replace it with the operator's few
    // entries and drop all the others.
    if (!m_programMap.isRead()) {
        finish(showError(this, tr("The program map could not be read from the controller, so nothing was "
                                  "saved. Press Reset to read it again.")));
        return;
    }
    const QList<ProgramMapData> maps = m_programMap.toSave();
    ZuzEraroveLibApi *api = ZuzEraroveLibApi::getInstance();
    api->programMaps = maps;
    const QString local = modulepaths::localProgramMapPath();
    if (!api->writePrograMapFile(local)) {
        finish(showError(this, tr("Failed write %1 file.").arg(local)));
        return;
    }
    Outcome told;
    if (api->sendFileToCtrl(local, modulepaths::ctrlProgramMapPath())) {
        api->setUpdateProgramMapConfig();
        api->delay_MSec(16);
        // What was saved is what the controller has now: the next save starts from it.
        m_programMap.load(maps);
        told = showNote(this, tr("Save file successfully."));
    } else {
        told = showError(this, tr("Failed send %1 file to Ctrl.").arg(local));
    }
    if (told != Outcome::Gone)
        enterViewMode();
}

void prograMapWidget::resetBtnSlot()
{
    if (confirm(this, tr("Are you sure you want to restore the list?")) == Answer::Yes)
        finish(loadMap());
}

void prograMapWidget::emptyBtnSlot()
{
    if (confirm(this, tr("Are you sure you want to clear the list?")) == Answer::Yes) {
        m_programMap.clear();
        showNames();
    }
}

void prograMapWidget::quit()
{
    if (inEditMode()) {
        if (confirm(this, tr("Do you want to exit the current page modification?")) != Answer::Yes)
            return;
        if (loadMap() == Outcome::Gone)
            return;
        enterViewMode();
    }
    emit setCurrentWidgetSignal(PageMonitor);
}
