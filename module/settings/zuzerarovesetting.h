#pragma once

#include "zuzerarovelibapi.h"

#include <QBitArray>
#include <QList>
#include <QWidget>

class MsgBox;
class QComboBox;
class QTouchLineEdit;

namespace Ui {
class ZuzEraroveSetting;
}

// Page 1: signal mode, protocol, and each slot's program and cycle index. It edits the
// service's working record and compares it with the last saved one.
class ZuzEraroveSetting : public QWidget
{
    Q_OBJECT
public:
    explicit ZuzEraroveSetting(QWidget *parent);
    ~ZuzEraroveSetting() override;

signals:
    void setCurrentWidgetSignal(int pageId);
    void showMsgboxSignal(QString text);

private slots:
    void on_saveButton_clicked();
    void on_returnButton_clicked();
    void on_resetButton_clicked();
    void on_modeCB_currentIndexChanged(int index);

protected:
    void showEvent(QShowEvent *event) override;

private:
    // Rebuilds the rows for data's signal mode, each combo listing the service's programs.
    void initSettingTable(ZuzEraroveData data);
    // Puts data into the widgets; saved programs the service no longer lists are reported in
    // pendingMsgBox.
    void showSettingData(ZuzEraroveData data);
    // Writes the widgets into the service's working record, all 15 slots. A widget that still
    // shows what it was loaded with, and a slot without a row, leave their field as the record
    // shown had it: values the boxes cannot show, programs the service does not list and
    // slots beyond the mode's rows are written back as they were read.
    void saveUiToData();
    // Rebuilds the table from the service's working record.
    void reloadFromWorkingRecord();
    // The working record equals the saved one, the run state aside.
    bool unchangedSinceSave();

    Ui::ZuzEraroveSetting *ui;
    QList<QComboBox *> nameBoxes;
    QList<QTouchLineEdit *> cycleEdits;
    MsgBox *pendingMsgBox;
    // The record the widgets were last loaded from.
    ZuzEraroveData shown;
    // The program boxes the operator picked from since they were loaded, even the item shown.
    QBitArray picked;
    // The configuration's read generation the widgets were built from.
    int builtFrom;
};
