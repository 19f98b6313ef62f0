#include "panel/panelwindow.h"

#include "panel/journalview.h"
#include "panel/simulatorpanel.h"

#include "simcontroller.h"

#include <QDateTime>
#include <QHBoxLayout>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

PanelWindow::PanelWindow(bool withSimulator, QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("virtualPanel"));
    setWindowTitle(QStringLiteral("Virtual panel"));

    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);

    auto *pendant = new QWidget(this);
    pendant->setObjectName(QStringLiteral("pendant"));
    pendant->setStyleSheet(QStringLiteral(
        "#pendant { background: #2d3640; } #pendantStatus, #pendantKeys { color: #e8edf2; }"));
    auto *column = new QVBoxLayout(pendant);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    m_status = new QLabel(pendant);
    m_status->setObjectName(QStringLiteral("pendantStatus"));
    m_status->setFixedHeight(40);
    m_status->setContentsMargins(12, 0, 12, 0);
    column->addWidget(m_status);

    m_screen = new QWidget(pendant);
    m_screen->setObjectName(QStringLiteral("pendantScreen"));
    m_screen->setFixedSize(1024, 688);
    m_screen->setAutoFillBackground(true);
    auto *screenLayout = new QVBoxLayout(m_screen);
    screenLayout->setContentsMargins(0, 0, 0, 0);
    column->addWidget(m_screen);

    m_note = new QLabel(pendant);
    m_note->setObjectName(QStringLiteral("pendantKeys"));
    m_note->setFixedHeight(40);
    m_note->setContentsMargins(12, 0, 12, 0);
    column->addWidget(m_note);
    pendant->setFixedSize(1024, 768);
    row->addWidget(pendant, 0, Qt::AlignTop);

    if (withSimulator) {
        m_simulator = new SimulatorPanel(this);
        m_simulator->setFixedWidth(420);
        row->addWidget(m_simulator);
        m_journal = new JournalView(this);
        m_journal->setFixedWidth(420);
        row->addWidget(m_journal);
    }

    auto *clock = new QTimer(this);
    connect(clock, &QTimer::timeout, this, &PanelWindow::updateStatus);
    clock->start(500);
    updateStatus();
}

QPixmap PanelWindow::picture(Picture which) const
{
    switch (which) {
    case Picture::Window:
        return const_cast<PanelWindow *>(this)->grab();
    case Picture::Timeline:
        return m_journal ? m_journal->timeline()->picture() : QPixmap();
    case Picture::Screen:
        break;
    }
    return screenWithBox(m_screen);
}

void PanelWindow::closeEvent(QCloseEvent *event)
{
    emit closing();
    QWidget::closeEvent(event);
}

void PanelWindow::showNote(const QString &text)
{
    m_note->setText(text);
}

void PanelWindow::updateStatus()
{
    const sim::Controller &ctrl = sim::Controller::instance();
    m_status->setText(QStringLiteral("%1    Controller: %2    Robot: %3")
                          .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")),
                               ctrl.isConnected() ? QStringLiteral("connected")
                                                  : QStringLiteral("NOT CONNECTED"),
                               ctrl.isRobotRunning() ? ctrl.runningProgram()
                                                     : QStringLiteral("idle")));
}
