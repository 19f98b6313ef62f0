#pragma once

#include "engine/stage.h"

#include <QWidget>

class JournalView;
class QCheckBox;
class QLabel;
class QTimer;
class SimulatorPanel;

// A pendant-sized window: a status strip, the 1024x688 screen that shows the module's widget,
// a key strip, and beside it the simulator panel and the journal with its run timeline.
class PanelWindow : public QWidget, public Stage
{
    Q_OBJECT
public:
    explicit PanelWindow(bool withSimulator, QWidget *parent = nullptr);

    QWidget *pendantScreen() const override { return m_screen; }
    QPixmap picture(Picture which) const override;
    SimulatorPanel *simulator() const { return m_simulator; }
    JournalView *journal() const { return m_journal; }
    void showNote(const QString &text);
    // Inspect mode: the key strip names the widget under the pointer, as a scenario addresses it.
    void setInspecting(bool on);

signals:
    // The window is closing: the panel closes the screen.
    void closing();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void updateStatus();
    void inspect();

    QWidget *m_screen = nullptr;
    QLabel *m_status = nullptr;
    QLabel *m_note = nullptr;
    SimulatorPanel *m_simulator = nullptr;
    JournalView *m_journal = nullptr;
    QCheckBox *m_inspect = nullptr;
    QTimer *m_inspectTimer = nullptr;
};
