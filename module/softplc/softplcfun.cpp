#include "softplc/softplcfun.h"
#include "ui_softplcfun.h"

#include "common/controllerfiles.h"
#include "common/modulepaths.h"
#include "common/softplcfiles.h"
#include "common/tablecells.h"
#include "core/domain.h"
#include "core/modulelog.h"

#include "dataaccess.h"
#include "rtmfunctions.h"
#include "zuzerarovelibapi.h"

#include <QDateTime>
#include <QDebug>

SoftPlcFun::SoftPlcFun(QWidget *parent) : QWidget(parent), ui(std::make_unique<Ui::SoftPlcFun>()), m_entriesRead(false)
{
    ui->setupUi(this);
    // The host style makes every box's popup and lays its list out again at each change it
    // brings: the boxes get their lists first, laid out only when shown.
    for (QComboBox *box : findChildren<QComboBox *>())
        layOutListWhenShown(box);
    RtmSetUIStyleSheet(this, QStringLiteral("ZuzErarove"));
    initPage();
}

SoftPlcFun::~SoftPlcFun()
{
    // The program boxes go before the model they show.
    qDeleteAll(progNameBoxes);
}

void SoftPlcFun::initPage()
{
    softPlcLocalPath = modulepaths::localSoftPlcPath();
    softPlcCtrlPath = modulepaths::ctrlSoftPlcPath();
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
    // Only a folder that lists without the file says so; an unreadable one says nothing.
    if (DataAccess::GetFileFromController2TPU(softPlcCtrlPath, softPlcLocalPath, false))
        m_entriesRead = readSoftPlcConfig(softPlcLocalPath);
    else
        m_entriesRead = absentOnController(softPlcCtrlPath);
    return m_entriesRead;
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
    const QString none = tr("Unselected");
    if (m_programNames && m_programNames->lists(names, none))
        return;
    // The boxes move to the new list before the old one goes; their items are set from the
    // entries right after.
    auto listed = std::make_unique<ProgramNames>(names, none);
    for (QComboBox *box : qAsConst(progNameBoxes))
        showProgramNames(box, listed.get());
    m_programNames = std::move(listed);
}

void SoftPlcFun::applyConfigToUi()
{
    for (int i = 0; i < SoftPlcCount; ++i) {
        modeBoxes[i]->setCurrentIndex(m_config.mode[i]);
        progNameBoxes[i]->setCurrentIndex(m_programNames->findRow(m_config.progName[i]));
    }
}

void SoftPlcFun::takeBoxes()
{
    for (int i = 0; i < SoftPlcCount; ++i) {
        m_config.mode[i] = boxValue(modeBoxes[i], m_config.mode[i]);
        QComboBox *program = progNameBoxes[i];
        if (program->currentIndex() != m_programNames->findRow(m_config.progName[i]))
            m_config.progName[i] = program->currentText();
    }
}

void SoftPlcFun::syncAutoStartState()
{
    ZuzEraroveLibApi *api = ZuzEraroveLibApi::getInstance();
    for (int i = 0; i < SoftPlcCount; ++i) {
        if (m_config.mode[i] != 1 && api->getAutoStartPLc(i)) {
            modeBoxes[i]->setCurrentIndex(1);
            m_config.mode[i] = 1;
        } else if (m_config.mode[i] == 1 && !api->getAutoStartPLc(i)) {
            modeBoxes[i]->setCurrentIndex(0);
            m_config.mode[i] = 0;
        }
    }
}

void SoftPlcFun::on_saveButton_clicked()
{
    if (confirm(this, tr("Are you sure to save it?")) != Answer::Yes)
        return;
    // Entries that were never read from the controller are fetched first. The boxes showed
    // defaults until now, so the operator sees what the controller has before anything is saved.
    if (!m_entriesRead) {
        if (!fetchEntries()) {
            finish(showError(this, tr("The soft-PLC settings could not be read from the controller, so "
                                      "nothing was saved.")));
            return;
        }
        applyConfigToUi();
        finish(showError(this, tr("The soft-PLC settings were read again from the controller. Check them "
                                  "and save again.")));
        return;
    }
    // Every entry, hidden rows too; they keep these values even if a later step fails.
    takeBoxes();
    if (!writeSoftPlcConfig(softPlcLocalPath)) {
        finish(showError(this, tr("Failed to write file.")));
        return;
    }
    if (!DataAccess::SendFileFromTPU2Controller(softPlcLocalPath, softPlcCtrlPath, false)) {
        finish(showError(this, tr("Failed to send file.")));
        return;
    }
    ZuzEraroveLibApi *api = ZuzEraroveLibApi::getInstance();
    for (int i = 0; i < SoftPlcCount; ++i)
        api->setAutoStartPLc(i, modeBoxes[i]->currentIndex() == 1);
    finish(showNote(this, tr("Save successfully.")));
}

void SoftPlcFun::on_resetButton_clicked()
{
    // A local copy that cannot be read leaves the entries as they are.
    readSoftPlcConfig(softPlcLocalPath);
    applyConfigToUi();
}

void SoftPlcFun::on_returnButton_clicked()
{
    // The boxes get the entries back at the next showing, so unsaved changes are dropped.
    readSoftPlcConfig(softPlcLocalPath);
    emit setCurrentWidgetSignal(PageMonitor);
}

bool SoftPlcFun::readSoftPlcConfig(const QString &path)
{
    QByteArray bytes;
    return softplcfiles::read(path, &bytes) && m_config.read(bytes);
}

bool SoftPlcFun::writeSoftPlcConfig(const QString &path)
{
    return softplcfiles::write(path, m_config.write(QDateTime::currentDateTime()));
}

void SoftPlcFun::loadXplConfig()
{
    for (int plc = 0; plc < SoftPlcCount; ++plc)
        plcRow(plc)->hide();
    const QString &local = modulepaths::localEnvironmentListPath();
    // A folder that cannot be made fails the fetch into it, which shows the first two rows.
    if (!softplcfiles::makeLocalFolder())
        qCWarning(moduleLog).noquote() << "The local folder could not be made:" << modulepaths::localDir();
    if (DataAccess::GetFileFromController2TPU(modulepaths::ctrlEnvironmentListPath(), local, false)) {
        parseXplConfig(local);
        return;
    }
    qDebug("DataAccess::GetFileFromController2TPU failed");
    plcRow(0)->show();
    plcRow(1)->show();
}

void SoftPlcFun::parseXplConfig(const QString &path)
{
    QByteArray bytes;
    if (!softplcfiles::read(path, &bytes))
        return;
    const auto named = softPlcsNamed(bytes);
    for (int plc = 0; plc < SoftPlcCount; ++plc)
        if (named[plc])
            plcRow(plc)->show();
}
