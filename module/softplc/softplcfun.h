#pragma once

#include "common/msgboxes.h"
#include "core/domain.h"
#include "core/programnames.h"
#include "core/softplcconfig.h"

#include <QList>
#include <QString>
#include <QWidget>

#include <memory>

class QComboBox;

namespace Ui {
class SoftPlcFun;
}

// Page 2: the start-up mode of each soft-PLC that the controller's environment list names,
// kept in softplcconfig.xml and handed to the reservation service as auto-start flags.
class SoftPlcFun : public QWidget
{
    Q_OBJECT
public:
    explicit SoftPlcFun(QWidget *parent);
    ~SoftPlcFun() override;

    // Aligns the modes with the service's auto-start flags; the page stack's idle refresh.
    void syncAutoStartState();

    // The configuration file. Read: false when the file cannot be loaded,
    // the entries then as they were. Write: false when the file cannot be saved; what the
    // operator did not change is written as it was read.
    bool readSoftPlcConfig(const QString &path);
    bool writeSoftPlcConfig(const QString &path);
    // Fetches the controller's environment list and shows the rows of the soft-PLCs it names.
    void loadXplConfig();
    void parseXplConfig(const QString &path);

signals:
    void setCurrentWidgetSignal(int pageId);

private slots:
    void on_returnButton_clicked();
    void on_resetButton_clicked();
    void on_saveButton_clicked();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void initPage();
    // Fetches and reads the configuration; true when the entries now hold the controller's.
    bool fetchEntries();
    // Binds the program boxes to the service's program list, made again only when it changed.
    void fillProgramBoxes();
    void applyConfigToUi();
    // The boxes into the entries: a box still showing its entry leaves it as it is.
    void takeBoxes();
    QWidget *plcRow(int plc) const;

    std::unique_ptr<Ui::SoftPlcFun> ui;
    QList<QComboBox *> modeBoxes;
    QList<QComboBox *> progNameBoxes;
    // The entries, with the file they were read from.
    SoftPlcConfig m_config;
    // What the program boxes list; it outlives their binding to it.
    std::unique_ptr<ProgramNames> m_programNames;
    QString softPlcLocalPath;
    QString softPlcCtrlPath;
    // The entries hold what the controller's file says.
    bool m_entriesRead;
};
