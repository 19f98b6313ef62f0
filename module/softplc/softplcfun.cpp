#include "softplcfun.h"
#include "ui_softplcfun.h"

#include "controllerfiles.h"
#include "domain.h"
#include "msgboxes.h"

#include "dataaccess.h"
#include "rtmfunctions.h"
#include "zuzerarovelibapi.h"

SoftPlcFun::SoftPlcFun(QWidget *parent) : QWidget(parent), ui(new Ui::SoftPlcFun), entriesRead(false)
{
    for (int i = 0; i < SoftPlcCount; ++i)
        plcMode[i] = 0;
    ui->setupUi(this);
    RtmSetUIStyleSheet(this, QStringLiteral("ZuzErarove"));
    initPage();
}

SoftPlcFun::~SoftPlcFun()
{
    delete ui;
}

void SoftPlcFun::initPage()
{
    softPlcLocalPath = RtmGetLocalizedFileName(QStringLiteral("../Application/zuzerarove/softplcconfig.xml"), true);
    softPlcCtrlPath = QStringLiteral("/application/zuzerarove/softplcconfig.xml");
    // The only fetch from the controller in the page's life unless it fails; later reads use
    // the local copy.
    fetchEntries();

    modeBoxes = {ui->comboBoxModePlc1, ui->comboBoxModePlc2, ui->comboBoxModePlc3, ui->comboBoxModePlc4};
    progNameBoxes = {ui->comboBoxProgName1, ui->comboBoxProgName2, ui->comboBoxProgName3, ui->comboBoxProgName4};
    // The program column is kept but never shown; its values still travel through the file.
    for (QComboBox *box : qAsConst(progNameBoxes))
        box->hide();
    ui->labelProgName->hide();
    fillProgramBoxes();
    loadXplConfig();
}

bool SoftPlcFun::fetchEntries()
{
    // A controller without the file has every soft-PLC at its default: nothing unseen to lose.
    if (DataAccess::GetFileFromController2TPU(softPlcCtrlPath, softPlcLocalPath, false))
        entriesRead = readSoftPlcConfig(softPlcLocalPath);
    else
        entriesRead = absentOnController(softPlcCtrlPath);
    return entriesRead;
}

QWidget *SoftPlcFun::plcRow(int plc) const
{
    QWidget *const rows[] = {ui->frame_3, ui->frame_4, ui->framePlc3, ui->framePlc4};
    return rows[plc];
}

void SoftPlcFun::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    loadXplConfig();
    fillProgramBoxes();
    applyConfigToUi();
}

void SoftPlcFun::fillProgramBoxes()
{
    const QStringList names = ZuzEraroveLibApi::getInstance()->getAllRplName();
    const QString unselected = tr("Unselected");
    for (QComboBox *box : qAsConst(progNameBoxes)) {
        box->clear();
        box->addItem(unselected);
        box->addItems(names);
    }
}

void SoftPlcFun::applyConfigToUi()
{
    for (int i = 0; i < SoftPlcCount; ++i) {
        modeBoxes[i]->setCurrentIndex(plcMode[i]);
        progNameBoxes[i]->setCurrentIndex(
            progNameBoxes[i]->findText(plcProgName[i], Qt::MatchExactly | Qt::MatchCaseSensitive));
    }
}

void SoftPlcFun::syncAutoStartState()
{
    ZuzEraroveLibApi *api = ZuzEraroveLibApi::getInstance();
    for (int i = 0; i < SoftPlcCount; ++i) {
        if (plcMode[i] != 1 && api->getAutoStartPLc(i)) {
            modeBoxes[i]->setCurrentIndex(1);
            plcMode[i] = 1;
        } else if (plcMode[i] == 1 && !api->getAutoStartPLc(i)) {
            modeBoxes[i]->setCurrentIndex(0);
            plcMode[i] = 0;
        }
    }
}

void SoftPlcFun::on_saveButton_clicked()
{
    if (!confirm(this, tr("Are you sure to save it?")))
        return;
    // Entries that were never read from the controller are fetched first. The boxes showed
    // defaults until now, so the operator sees what the controller has before anything is saved.
    if (!entriesRead) {
        if (!fetchEntries()) {
            showError(this, tr("The soft-PLC settings could not be read from the controller, so "
                               "nothing was saved."));
            return;
        }
        applyConfigToUi();
        showError(this, tr("The soft-PLC settings were read again from the controller. Check them "
                           "and save again."));
        return;
    }
    // Every entry, hidden rows too; they keep these values even if a later step fails. When the
    // service lists no program at all (an empty or unreadable program directory), the program
    // names stay as they were: there was nothing to choose from.
    const bool nothingListed = progNameBoxes[0]->count() < 2;
    for (int i = 0; i < SoftPlcCount; ++i) {
        plcMode[i] = modeBoxes[i]->currentIndex();
        if (!nothingListed || progNameBoxes[i]->currentIndex() >= 0)
            plcProgName[i] = progNameBoxes[i]->currentText();
    }
    if (!writeSoftPlcConfig(softPlcLocalPath)) {
        showError(this, tr("Failed to write file."));
        return;
    }
    if (!DataAccess::SendFileFromTPU2Controller(softPlcLocalPath, softPlcCtrlPath, false)) {
        showError(this, tr("Failed to send file."));
        return;
    }
    ZuzEraroveLibApi *api = ZuzEraroveLibApi::getInstance();
    for (int i = 0; i < SoftPlcCount; ++i)
        api->setAutoStartPLc(i, modeBoxes[i]->currentIndex() == 1);
    showNote(this, tr("Save successfully."));
}

void SoftPlcFun::on_resetButton_clicked()
{
    readSoftPlcConfig(softPlcLocalPath);
    applyConfigToUi();
}

void SoftPlcFun::on_returnButton_clicked()
{
    // The boxes get the entries back at the next showing, so unsaved changes are dropped.
    readSoftPlcConfig(softPlcLocalPath);
    emit setCurrentWidgetSignal(PageMonitor);
}
