#pragma once

#include "core/configstate.h"
#include "core/settingseditor.h"

#include "zuzerarovelibapi.h"

#include <QList>
#include <QWidget>

#include <memory>

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

    // Whether the configuration was read, shared with the other pages of the stack.
    void shareConfigState(std::shared_ptr<ConfigState> state);

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
    // Writes the shown record with the operator's edits into the service's working record.
    void saveUiToData();
    // Rebuilds the table from the service's working record.
    void reloadFromWorkingRecord();
    // The working record equals the saved one, the run state aside.
    bool unchangedSinceSave();

    std::unique_ptr<Ui::ZuzEraroveSetting> ui;
    QList<QComboBox *> nameBoxes;
    QList<QTouchLineEdit *> cycleEdits;
    std::unique_ptr<MsgBox> pendingMsgBox;
    SettingsEditor m_editor;
    std::shared_ptr<ConfigState> configState = std::make_shared<ConfigState>();
    // A slot row's controls in their centring cells. Made once a row and kept while the page
    // lives: a box over thousands of programs costs far more to make and style than to show
    // again, and a mode switch would make up to fifteen.
    struct SlotRow
    {
        QWidget *nameCell;
        QWidget *cycleCell;
        QComboBox *name;
        QTouchLineEdit *cycle;
    };
    SlotRow makeSlotRow(int r);
    QList<SlotRow> m_rows;
    // The widgets are being loaded with a record: their changes are no edits.
    bool m_loading;
    // The configuration's read generation the widgets were built from.
    int m_builtFrom;
};
