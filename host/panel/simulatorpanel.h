#pragma once

#include <QWidget>

class QCheckBox;
class Recorder;
class QDoubleSpinBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTableWidget;

// Drives the simulated controller by hand: what it runs, its inputs, its link and its faults.
// Every control has an object name, so a tour or a test can find it.
class SimulatorPanel : public QWidget
{
    Q_OBJECT
public:
    explicit SimulatorPanel(QWidget *parent = nullptr);

    // Reads the controller and the reservation into the panel; runs on a timer.
    void refresh();

signals:
    // The operator changes the cell here: each is told before it takes effect, so that what a
    // recording checks before it is the state the command found.
    void connectionSet(bool on);
    void robotRunningSet(bool on);
    void runTimeSet(qint64 ms);
    void inputPulsed(int input);
    void codeStrobed(int code);
    void autoStartSet(const QList<bool> &flags);
    void faultSet(const QString &fault, bool on);
    // The panel's alarm: the screen is to close now, whatever box or chooser is open over it.
    void screenCloseDue();

private:
    // One builder a group box, top to bottom.
    QGroupBox *createControllerGroup();
    QGroupBox *createReservationGroup();
    QGroupBox *createInputGroup();
    QGroupBox *createAutoStartGroup();
    QGroupBox *createFaultGroup();
    QGroupBox *createAlarmGroup();
    void applyBinaryCode();

    QLabel *m_clock = nullptr;
    QLabel *m_state = nullptr;
    QLabel *m_running = nullptr;
    QLabel *m_queue = nullptr;
    QTableWidget *m_slots = nullptr;
    QCheckBox *m_connected = nullptr;
    QCheckBox *m_robotRunning = nullptr;
    QSpinBox *m_runTime = nullptr;
    QDoubleSpinBox *m_speed = nullptr;
    QList<QPushButton *> m_inputs;
    QList<QCheckBox *> m_codeBits;
    QPushButton *m_strobe = nullptr;
    QList<QCheckBox *> m_autoStart;
};

// The simulator panel's commands reach the recording as the steps that play them.
void recordSimulator(SimulatorPanel *simulator, Recorder *recorder);
