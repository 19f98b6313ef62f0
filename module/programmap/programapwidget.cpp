#include "programapwidget.h"
#include "ui_programapwidget.h"

#include "controllerfiles.h"
#include "domain.h"
#include "fileedit.h"
#include "modulepaths.h"
#include "msgboxes.h"
#include "tablecells.h"

#include "rtmfunctions.h"

#include <QDir>
#include <QHeaderView>
#include <QTimer>

namespace {

constexpr int rows = 512;

// A name cell shows the name cut to a screen's worth; the whole name rides along as the cell's
// data, and that is what the duplicate check and the save use.
void setName(QTableWidgetItem *cell, const QString &name)
{
    cell->setText(shownName(name));
    cell->setData(Qt::UserRole, name);
}

QString nameOf(const QTableWidgetItem *cell)
{
    // A text set on the cell by other means stands for itself.
    const QString full = cell->data(Qt::UserRole).toString();
    return shownName(full) == cell->text() ? full : cell->text();
}

// The part after the first "/" at position 1 or later; the whole name when there is none.
// "/RPL/SUB/A.XPL" shows as "SUB/A.XPL".
QString displayForm(const QString &name)
{
    const int slash = name.indexOf(QLatin1Char('/'), 1);
    return slash >= 0 ? name.mid(slash + 1) : name;
}

} // namespace

prograMapWidget::prograMapWidget(QWidget *parent)
    : QWidget(parent), ui(new Ui::prograMapWidget), fileEdit(nullptr), selectedRow(0), selectedColumn(0),
      mapRead(false)
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
    if (!fileEdit)
        fileEdit = new FileEdit(nullptr);
    fileEdit->setVisible(false);

    connect(table, &QTableWidget::cellClicked, this, &prograMapWidget::tableCellClickedSlot);
    connect(ui->backBtn, &QPushButton::clicked, this, &prograMapWidget::quit);
    connect(ui->saveButton, &QPushButton::clicked, this, &prograMapWidget::saveBtnSlot);
    connect(ui->resetBtn, &QPushButton::clicked, this, &prograMapWidget::resetBtnSlot);
    connect(fileEdit, &FileEdit::signalUpateRpl, this, &prograMapWidget::onSlotUpateRpl);
    connect(ui->emptyBtn, &QPushButton::clicked, this, &prograMapWidget::emptyBtnSlot);

    if (!QDir(modulepaths::localDir()).exists())
        QDir().mkdir(modulepaths::localDir());
    // The first load runs once the page is on its way to the screen.
    QTimer::singleShot(50, this, &prograMapWidget::refreshUi);
}

prograMapWidget::~prograMapWidget()
{
    delete fileEdit;
    delete ui;
}

void prograMapWidget::retranslateUi()
{
    const bool editing = inEditMode();
    ui->retranslateUi(this);
    ui->tableWidget->setHorizontalHeaderLabels({tr("ProgramNum"), tr("ProgramName")});
    if (editing)
        ui->saveButton->setText(tr("Save"));
}

void prograMapWidget::showEvent(QShowEvent *event)
{
    // Showing the page reloads nothing: edits and mode survive a visit to another page.
    Q_UNUSED(event)
}

bool prograMapWidget::inEditMode() const
{
    return ui->saveButton->text() == tr("Save");
}

void prograMapWidget::enterViewMode()
{
    ui->editLabel->show();
    ui->saveButton->setText(tr("Edit"));
}

void prograMapWidget::clearNames()
{
    for (int r = 0; r < rows; ++r)
        setName(ui->tableWidget->item(r, 1), QString());
}

void prograMapWidget::refreshUi()
{
    loadMap();
}

bool prograMapWidget::loadMap()
{
    ZuzEraroveLibApi *api = ZuzEraroveLibApi::getInstance();
    if (!api->getFileFromCtrl(modulepaths::ctrlProgramMapPath(), modulepaths::localProgramMapPath())) {
        // A controller without a map has an empty one, which is what the table shows at first.
        mapRead = mapRead || absentOnController(modulepaths::ctrlProgramMapPath());
        return showError(this, tr("Failed to get %1 file form Ctrl.").arg(modulepaths::ctrlProgramMapPath()));
    }
    if (!api->readPrograMapFile(modulepaths::localProgramMapPath()))
        return showError(this, tr("Failed to read %1 file.").arg(modulepaths::localProgramMapPath()));
    return fillTable();
}

bool prograMapWidget::fillTable()
{
    clearNames();
    programMaps = ZuzEraroveLibApi::getInstance()->programMaps;
    mapRead = true;
    int start = 0;
    if (!programMaps.isEmpty() && programMaps.first().programNum == 0) {
        if (!showNote(this, tr("Version update, please confirm whether the '0' program mapping number was "
                               "configured before! ")
                                + QLatin1Char('\n')
                                + tr("If yes, change the '0' program mapping number to another unconfigured "
                                     "program number.")))
            return false;
        start = 1;
    }
    // Only the first 512 entries count; later numbers win over earlier equal ones.
    for (int i = start; i < programMaps.size() && i < rows; ++i) {
        const int row = programMaps[i].programNum - 1;
        if (row >= 0 && row < rows)
            setName(ui->tableWidget->item(row, 1), displayForm(programMaps[i].programName));
    }
    return true;
}

void prograMapWidget::tableCellClickedSlot(int row, int column)
{
    if (column != 1 || !fileEdit)
        return;
    selectedRow = row;
    selectedColumn = column;
    // The chooser runs from the event loop, not inside the table's mouse handler: the panel may
    // close the screen while the chooser is open, and the table must not be in the middle of an
    // event when it goes. It reports through signalUpateRpl while it is still open.
    QTimer::singleShot(0, fileEdit, [this] {
        if (!fileEdit->isVisible())
            fileEdit->exec();
    });
}

void prograMapWidget::onSlotUpateRpl(QString path)
{
    QTableWidget *table = ui->tableWidget;
    QStringList inUse;
    for (int r = 0; r < rows; ++r) {
        const QString name = nameOf(table->item(r, 1));
        if (r != selectedRow && !name.isEmpty())
            inUse << name;
    }
    const QString name = displayForm(path);
    QTableWidgetItem *item = table->item(selectedRow, selectedColumn);
    if (!item)
        return;
    if (inUse.contains(name)) {
        showError(this, tr("Program mapping information is duplicated, adding failed!"));
        return;
    }
    fileEdit->close();
    setName(item, name);
}

void prograMapWidget::saveBtnSlot()
{
    if (!inEditMode()) {
        ui->editLabel->hide();
        ui->saveButton->setText(tr("Save"));
        return;
    }
    if (!confirm(this, tr("Are you sure Save?")))
        return;
    // A table that never showed the controller's map would replace it with the operator's few
    // entries and drop all the others.
    if (!mapRead) {
        showError(this, tr("The program map could not be read from the controller, so nothing was "
                           "saved. Press Reset to read it again."));
        return;
    }
    // Entries the table cannot show (numbers outside 1 to 512) are kept as they were, ahead of
    // the table's own.
    QList<ProgramMapData> maps;
    for (const ProgramMapData &entry : qAsConst(programMaps))
        if (entry.programNum < 1 || entry.programNum > rows)
            maps.append(entry);
    for (int r = 0; r < rows; ++r) {
        const QString name = nameOf(ui->tableWidget->item(r, 1));
        if (!name.isEmpty())
            maps.append({r + 1, name});
    }
    ZuzEraroveLibApi *api = ZuzEraroveLibApi::getInstance();
    api->programMaps = maps;
    const QString local = modulepaths::localProgramMapPath();
    if (!api->writePrograMapFile(local)) {
        showError(this, tr("Failed write %1 file.").arg(local));
        return;
    }
    bool alive;
    if (api->sendFileToCtrl(local, modulepaths::ctrlProgramMapPath())) {
        api->setUpdateProgramMapConfig();
        api->delay_MSec(16);
        programMaps = maps;
        alive = showNote(this, tr("Save file successfully."));
    } else {
        alive = showError(this, tr("Failed send %1 file to Ctrl.").arg(local));
    }
    if (alive)
        enterViewMode();
}

void prograMapWidget::resetBtnSlot()
{
    if (confirm(this, tr("Are you sure you want to restore the list?")))
        loadMap();
}

void prograMapWidget::emptyBtnSlot()
{
    if (confirm(this, tr("Are you sure you want to clear the list?")))
        clearNames();
}

void prograMapWidget::quit()
{
    if (inEditMode()) {
        if (!confirm(this, tr("Do you want to exit the current page modification?")))
            return;
        if (!loadMap())
            return;
        enterViewMode();
    }
    emit setCurrentWidgetSignal(PageMonitor);
}
