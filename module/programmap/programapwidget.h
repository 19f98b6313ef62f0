#pragma once

#include "common/msgboxes.h"
#include "core/programmap.h"

#include "zuzerarovelibapi.h"

#include <QList>
#include <QWidget>

#include <memory>

class FileEdit;

namespace Ui {
class prograMapWidget;
}

// Page 3: program numbers 1 to 512 and the program each one maps to, over a ProgramMap that holds
// the entries and the mode: in view mode a label covers the cells and the key says "Edit"; in
// edit mode it says "Save" and a click on a name cell opens the remote program chooser.
class prograMapWidget : public QWidget
{
    Q_OBJECT
public:
    explicit prograMapWidget(QWidget *parent);
    ~prograMapWidget() override;

    // Sets the form's texts again; the mode is kept.
    void retranslateUi();

signals:
    void setCurrentWidgetSignal(int pageId);

private slots:
    void tableCellClickedSlot(int row, int column);
    void onSlotUpateRpl(QString path);
    void quit();
    void saveBtnSlot();
    void resetBtnSlot();
    void refreshUi();
    void emptyBtnSlot();

protected:
    void showEvent(QShowEvent *event) override;

private:
    // Download, read and show the map.
    Outcome loadMap();
    Outcome fillTable();
    // Every name cell as the map has it.
    void showNames();
    bool inEditMode() const;
    void enterViewMode();

    std::unique_ptr<Ui::prograMapWidget> ui;
    ProgramMap m_programMap;
    std::unique_ptr<FileEdit> m_fileEdit;
    int m_selectedRow;
    int m_selectedColumn;
};
