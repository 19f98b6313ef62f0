#pragma once

#include <QPixmap>
#include <QPointer>
#include <QWidget>

#include "rtmbasewidget.h"

class BaseZedOvedudData;
class JournalView;
class QLabel;
class QTimer;
class RtmBaseWidget;
class SimulatorPanel;

// A pendant-sized window: a status strip, the 1024x688 screen that shows the module's widget,
// a key strip, and beside it the simulator panel and the journal with its run timeline. It drives
// the module with idle calls.
class PanelWindow : public QWidget
{
    Q_OBJECT
public:
    explicit PanelWindow(bool withSimulator, QWidget *parent = nullptr);
    ~PanelWindow() override;

    // Takes ownership of both; the widget is shown on the screen.
    void setModule(BaseZedOvedudData *data, RtmBaseWidget *widget);
    QWidget *pendantScreen() const { return m_screen; }
    RtmBaseWidget *moduleWidget() const { return m_widget; }
    BaseZedOvedudData *moduleData() const { return m_data; }
    // The object name of the module's page shown, empty without a module.
    QString currentPage() const;
    // The screen as the operator sees it, with an open dialog drawn over its middle.
    QPixmap grabScreen() const;
    SimulatorPanel *simulator() const { return m_simulator; }
    JournalView *journal() const { return m_journal; }

    void startIdle(int periodMs);
    void stopIdle();
    // Deletes the module's widget, then its data object, as the host does when leaving a page.
    void releaseModule();
    void showNote(const QString &text);

private:
    void idle();
    void updateStatus();

    QWidget *m_screen = nullptr;
    QLabel *m_status = nullptr;
    QLabel *m_note = nullptr;
    SimulatorPanel *m_simulator = nullptr;
    JournalView *m_journal = nullptr;
    QTimer *m_idleTimer = nullptr;
    BaseZedOvedudData *m_data = nullptr;
    QPointer<RtmBaseWidget> m_widget;
};
