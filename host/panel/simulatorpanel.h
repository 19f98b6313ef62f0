#pragma once

#include <QJsonObject>
#include <QWidget>

class QCheckBox;
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
    // The operator changed the cell here; step is the scenario step that does the same.
    void commanded(const QJsonObject &step);

private:
    // One builder a group box, top to bottom.
    QGroupBox *createControllerGroup();
    QGroupBox *createReservationGroup();
    QGroupBox *createInputGroup();
    QGroupBox *createAutoStartGroup();
    QGroupBox *createFaultGroup();
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
