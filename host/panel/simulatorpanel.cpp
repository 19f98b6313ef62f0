#include "panel/simulatorpanel.h"

#include "engine/recorder.h"

#include "simcontroller.h"
#include "zuzerarovesim.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {

QString statusText(int status)
{
    switch (status) {
    case 0: return QStringLiteral("-");
    case 1: return QStringLiteral("reserved");
    case 2: return QStringLiteral("RUNNING");
    default: return QString::number(status);
    }
}

} // namespace

SimulatorPanel::SimulatorPanel(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("simulatorPanel"));
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(8, 8, 8, 8);
    column->addWidget(createControllerGroup());
    column->addWidget(createReservationGroup());
    column->addWidget(createInputGroup());
    column->addWidget(createAutoStartGroup());
    column->addWidget(createFaultGroup());
    column->addWidget(createAlarmGroup());
    column->addStretch(1);

    auto *timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &SimulatorPanel::refresh);
    timer->start(200);
    refresh();
}

QGroupBox *SimulatorPanel::createControllerGroup()
{
    const sim::Controller &ctrl = sim::Controller::instance();
    auto *group = new QGroupBox(QStringLiteral("Controller"), this);
    auto *form = new QFormLayout(group);
    m_clock = new QLabel(group);
    m_clock->setObjectName(QStringLiteral("simClock"));
    form->addRow(QStringLiteral("Clock"), m_clock);
    m_running = new QLabel(group);
    m_running->setObjectName(QStringLiteral("simRunning"));
    form->addRow(QStringLiteral("Running"), m_running);

    m_connected = new QCheckBox(QStringLiteral("Connected"), group);
    m_connected->setObjectName(QStringLiteral("simConnected"));
    m_connected->setChecked(ctrl.isConnected());
    connect(m_connected, &QCheckBox::toggled, this, [this](bool on) {
        emit connectionSet(on);
        sim::Controller::instance().setConnected(on);
    });
    form->addRow(m_connected);
    m_robotRunning = new QCheckBox(QStringLiteral("Robot program running outside the reservation"), group);
    m_robotRunning->setObjectName(QStringLiteral("simRobotRunning"));
    connect(m_robotRunning, &QCheckBox::toggled, this, [this](bool on) {
        // The controller takes no outside program while one runs, nor stops one it did not start
        // from outside: the box goes back, and nothing happened to record.
        sim::Controller &ctrl = sim::Controller::instance();
        if (on ? ctrl.isRobotRunning() : !(ctrl.isRobotRunning() && ctrl.runningOrigin() == sim::Origin::Outside)) {
            const QSignalBlocker block(m_robotRunning);
            m_robotRunning->setChecked(!on);
            return;
        }
        emit robotRunningSet(on);
        ctrl.setRobotRunning(on);
    });
    form->addRow(m_robotRunning);

    m_runTime = new QSpinBox(group);
    m_runTime->setObjectName(QStringLiteral("simRunTime"));
    m_runTime->setRange(1, 3600);
    m_runTime->setSuffix(QStringLiteral(" s"));
    m_runTime->setValue(int(ctrl.runDuration() / 1000));
    connect(m_runTime, QOverload<int>::of(&QSpinBox::valueChanged), this, [this](int s) {
        emit runTimeSet(qint64(s) * 1000);
        sim::Controller::instance().setRunDuration(qint64(s) * 1000);
    });
    form->addRow(QStringLiteral("Program run time"), m_runTime);
    m_speed = new QDoubleSpinBox(group);
    m_speed->setObjectName(QStringLiteral("simSpeed"));
    m_speed->setRange(0.1, 100.0);
    m_speed->setSuffix(QStringLiteral(" x"));
    m_speed->setValue(ctrl.speed());
    connect(m_speed, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this, [](double x) {
        sim::Controller &controller = sim::Controller::instance();
        if (controller.isLiveClock())
            controller.setLiveClock(true, x);
    });
    form->addRow(QStringLiteral("Clock speed"), m_speed);
    return group;
}

QGroupBox *SimulatorPanel::createReservationGroup()
{
    auto *group = new QGroupBox(QStringLiteral("Reservation"), this);
    auto *column = new QVBoxLayout(group);
    m_state = new QLabel(group);
    m_state->setObjectName(QStringLiteral("simState"));
    column->addWidget(m_state);
    m_queue = new QLabel(group);
    m_queue->setObjectName(QStringLiteral("simQueue"));
    column->addWidget(m_queue);
    m_slots = new QTableWidget(ZUZ_SLOT_COUNT, 4, group);
    m_slots->setObjectName(QStringLiteral("simSlots"));
    m_slots->setHorizontalHeaderLabels(
        {QStringLiteral("Program"), QStringLiteral("Status"), QStringLiteral("Queue"), QStringLiteral("Total")});
    m_slots->verticalHeader()->setDefaultSectionSize(20);
    m_slots->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_slots->horizontalHeader()->setDefaultSectionSize(64);
    m_slots->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_slots->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_slots->setSelectionMode(QAbstractItemView::NoSelection);
    m_slots->setMinimumHeight(240);
    for (int r = 0; r < m_slots->rowCount(); ++r)
        for (int c = 0; c < m_slots->columnCount(); ++c)
            m_slots->setItem(r, c, new QTableWidgetItem);
    column->addWidget(m_slots);
    return group;
}

QGroupBox *SimulatorPanel::createInputGroup()
{
    auto *group = new QGroupBox(QStringLiteral("External reservation inputs"), this);
    auto *grid = new QGridLayout(group);
    grid->addWidget(new QLabel(QStringLiteral("Alone:"), group), 0, 0);
    for (int i = 1; i <= 4; ++i) {
        auto *button = new QPushButton(QStringLiteral("IN%1").arg(i), group);
        button->setObjectName(QStringLiteral("simInput%1").arg(i));
        connect(button, &QPushButton::clicked, this, [this, i] {
            emit inputPulsed(i);
            sim::Reservation::instance().pulseInput(i);
            refresh();
        });
        grid->addWidget(button, 0, i);
        m_inputs.append(button);
    }
    grid->addWidget(new QLabel(QStringLiteral("Binary:"), group), 1, 0);
    for (int bit = 3; bit >= 0; --bit) {
        auto *box = new QCheckBox(QString::number(1 << bit), group);
        box->setObjectName(QStringLiteral("simCodeBit%1").arg(bit));
        connect(box, &QCheckBox::toggled, this, &SimulatorPanel::applyBinaryCode);
        grid->addWidget(box, 1, 4 - bit);
        m_codeBits.prepend(box);
    }
    m_strobe = new QPushButton(QStringLiteral("Strobe"), group);
    m_strobe->setObjectName(QStringLiteral("simStrobe"));
    connect(m_strobe, &QPushButton::clicked, this, [this] {
        sim::Reservation &service = sim::Reservation::instance();
        if (service.binaryCode() >= 1 && service.binaryCode() <= ZUZ_SLOT_COUNT)
            emit codeStrobed(service.binaryCode());
        service.strobe();
        refresh();
    });
    grid->addWidget(m_strobe, 1, 5);
    return group;
}

QGroupBox *SimulatorPanel::createAutoStartGroup()
{
    auto *group = new QGroupBox(QStringLiteral("Soft-PLC auto-start"), this);
    auto *row = new QHBoxLayout(group);
    for (int plc = 0; plc < 4; ++plc) {
        auto *box = new QCheckBox(QStringLiteral("softplc%1").arg(plc + 1), group);
        box->setObjectName(QStringLiteral("simAutoStart%1").arg(plc + 1));
        connect(box, &QCheckBox::clicked, this, [this, plc](bool on) {
            sim::Reservation &service = sim::Reservation::instance();
            QList<bool> flags;
            for (int i = 0; i < 4; ++i)
                flags << (i == plc ? on : service.autoStart(i));
            emit autoStartSet(flags);
            service.setAutoStart(plc, on);
        });
        row->addWidget(box);
        m_autoStart.append(box);
    }
    return group;
}

QGroupBox *SimulatorPanel::createFaultGroup()
{
    const struct
    {
        const char *name;
        const char *text;
        sim::Fault fault;
        const char *step;
    } faults[] = {
        {"simFaultFetch", "Fetch from controller", sim::Fault::Fetch, "fetch"},
        {"simFaultSend", "Send to controller", sim::Fault::Send, "send"},
        {"simFaultListing", "Directory listing", sim::Fault::Listing, "listing"},
        {"simFaultRead", "Service file read", sim::Fault::Read, "read"},
        {"simFaultWrite", "Service file write", sim::Fault::Write, "write"},
    };
    auto *group = new QGroupBox(QStringLiteral("Faults"), this);
    auto *grid = new QGridLayout(group);
    for (int i = 0; i < int(sizeof faults / sizeof faults[0]); ++i) {
        auto *box = new QCheckBox(QString::fromLatin1(faults[i].text), group);
        box->setObjectName(QString::fromLatin1(faults[i].name));
        const sim::Fault fault = faults[i].fault;
        const QString step = QString::fromLatin1(faults[i].step);
        connect(box, &QCheckBox::toggled, this, [this, fault, step](bool on) {
            emit faultSet(step, on);
            sim::Controller::instance().setFault(fault, on);
        });
        grid->addWidget(box, i / 2, i % 2);
    }
    return group;
}

QGroupBox *SimulatorPanel::createAlarmGroup()
{
    // A pendant's alarm page takes the screen away whatever is open on it; the key arms it
    // while nothing covers the panel, so that a box or the chooser can be opened before it fires.
    auto *group = new QGroupBox(QStringLiteral("Alarm"), this);
    auto *row = new QHBoxLayout(group);
    auto *delay = new QSpinBox(group);
    delay->setObjectName(QStringLiteral("simAlarmDelay"));
    delay->setRange(1, 600);
    delay->setValue(5);
    delay->setSuffix(QStringLiteral(" s"));
    auto *arm = new QPushButton(QStringLiteral("Close the screen after"), group);
    arm->setObjectName(QStringLiteral("simCloseScreen"));
    auto *timer = new QTimer(group);
    timer->setSingleShot(true);
    connect(timer, &QTimer::timeout, this, [this, arm] {
        arm->setEnabled(true);
        emit screenCloseDue();
    });
    connect(arm, &QPushButton::clicked, this, [timer, delay, arm] {
        arm->setEnabled(false);
        timer->start(delay->value() * 1000);
    });
    row->addWidget(arm);
    row->addWidget(delay);
    return group;
}

void SimulatorPanel::applyBinaryCode()
{
    int code = 0;
    for (int bit = 0; bit < m_codeBits.size(); ++bit)
        if (m_codeBits[bit]->isChecked())
            code |= 1 << bit;
    sim::Reservation::instance().setBinaryCode(code);
}

void SimulatorPanel::refresh()
{
    const sim::Controller &ctrl = sim::Controller::instance();
    const sim::Reservation &resv = sim::Reservation::instance();

    m_clock->setText(QStringLiteral("%1 s%2").arg(ctrl.now() / 1000.0, 0, 'f', 1)
                         .arg(ctrl.isLiveClock() ? QString() : QStringLiteral(" (manual)")));
    if (ctrl.isRobotRunning()) {
        const QString origin = ctrl.runningOrigin() == sim::Origin::Reservation
                                   ? QStringLiteral("reservation") : QStringLiteral("outside");
        const QString left = ctrl.runningEndsAt() >= 0
                                 ? QStringLiteral(", %1 s left").arg((ctrl.runningEndsAt() - ctrl.now()) / 1000.0, 0, 'f', 1)
                                 : QString();
        m_running->setText(QStringLiteral("%1 (%2%3)").arg(ctrl.runningProgram(), origin, left));
    } else {
        m_running->setText(QStringLiteral("nothing"));
    }
    if (m_robotRunning->isChecked() != (ctrl.isRobotRunning() && ctrl.runningOrigin() == sim::Origin::Outside)) {
        const QSignalBlocker block(m_robotRunning);
        m_robotRunning->setChecked(!m_robotRunning->isChecked());
    }
    if (m_connected->isChecked() != ctrl.isConnected()) {
        const QSignalBlocker block(m_connected);
        m_connected->setChecked(ctrl.isConnected());
    }
    // The run time in force, as a scenario's set-up or a reset leaves it, unless it is being typed.
    if (!m_runTime->hasFocus() && m_runTime->value() != int(ctrl.runDuration() / 1000)) {
        const QSignalBlocker block(m_runTime);
        m_runTime->setValue(int(ctrl.runDuration() / 1000));
    }

    const bool binary = resv.signalMode() == 1;
    m_state->setText(QStringLiteral("%1, mode %2, protocol %3")
                         .arg(resv.isStarted() ? QStringLiteral("STARTED") : QStringLiteral("stopped"),
                              binary ? QStringLiteral("Binary") : QStringLiteral("Alone"))
                         .arg(resv.protocol()));
    QStringList queue;
    const QList<int> queued = resv.queue();
    for (int slot : queued)
        queue << QString::number(slot + 1);
    m_queue->setText(QStringLiteral("Queue: %1").arg(queue.isEmpty() ? QStringLiteral("empty") : queue.join(QStringLiteral(", "))));

    const ZuzEraroveData config = resv.configInForce();
    for (int r = 0; r < ZUZ_SLOT_COUNT; ++r) {
        const int position = queued.indexOf(r);
        const QString cells[] = {config.rplNames[r], statusText(resv.status(r)),
                                 position >= 0 ? QString::number(position + 1) : QString(),
                                 QString::number(resv.total(r))};
        for (int c = 0; c < 4; ++c)
            if (m_slots->item(r, c)->text() != cells[c])
                m_slots->item(r, c)->setText(cells[c]);
        m_slots->setRowHidden(r, r >= resv.slotCount());
    }
    for (QPushButton *input : qAsConst(m_inputs))
        input->setEnabled(!binary);
    for (QCheckBox *bit : qAsConst(m_codeBits))
        bit->setEnabled(binary);
    m_strobe->setEnabled(binary);
    for (int plc = 0; plc < m_autoStart.size(); ++plc)
        if (m_autoStart[plc]->isChecked() != resv.autoStart(plc))
            m_autoStart[plc]->setChecked(resv.autoStart(plc));
}

// The simulator panel's commands reach the recording as the steps that play them.
void recordSimulator(SimulatorPanel *simulator, Recorder *recorder)
{
    QObject::connect(simulator, &SimulatorPanel::connectionSet, recorder, &Recorder::connectionSet);
    QObject::connect(simulator, &SimulatorPanel::robotRunningSet, recorder, &Recorder::robotRunningSet);
    QObject::connect(simulator, &SimulatorPanel::runTimeSet, recorder, &Recorder::runTimeSet);
    QObject::connect(simulator, &SimulatorPanel::inputPulsed, recorder, &Recorder::inputPulsed);
    QObject::connect(simulator, &SimulatorPanel::codeStrobed, recorder, &Recorder::codeStrobed);
    QObject::connect(simulator, &SimulatorPanel::autoStartSet, recorder, &Recorder::autoStartSet);
    QObject::connect(simulator, &SimulatorPanel::faultSet, recorder, &Recorder::faultSet);
}
