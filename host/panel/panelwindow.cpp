#include "panel/panelwindow.h"

#include "panel/journalview.h"
#include "panel/simulatorpanel.h"

#include "simcontroller.h"

#include <QApplication>
#include <QCheckBox>
#include <QCursor>
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

    auto *keys = new QHBoxLayout;
    keys->setContentsMargins(12, 0, 12, 0);
    m_note = new QLabel(pendant);
    m_note->setObjectName(QStringLiteral("pendantKeys"));
    m_note->setFixedHeight(40);
    keys->addWidget(m_note, 1);
    m_inspect = new QCheckBox(QStringLiteral("Inspect"), pendant);
    m_inspect->setObjectName(QStringLiteral("inspectMode"));
    m_inspect->setToolTip(QStringLiteral("Name the widget under the pointer, as a scenario addresses it"));
    m_inspect->setStyleSheet(QStringLiteral("color: #e8edf2;"));
    keys->addWidget(m_inspect);
    column->addLayout(keys);
    m_inspectTimer = new QTimer(this);
    connect(m_inspectTimer, &QTimer::timeout, this, &PanelWindow::inspect);
    connect(m_inspect, &QCheckBox::toggled, this, &PanelWindow::setInspecting);
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

void PanelWindow::setInspecting(bool on)
{
    m_inspect->setChecked(on);
    if (on)
        m_inspectTimer->start(150);
    else
        m_inspectTimer->stop();
}

void PanelWindow::inspect()
{
    // The innermost named widget under the pointer, on the screen or in a box over it, and the
    // names around it.
    QWidget *w = QApplication::widgetAt(QCursor::pos());
    QStringList names;
    QString kind;
    for (; w && w != m_screen; w = w->parentWidget()) {
        if (w->objectName().isEmpty() || w->objectName().startsWith(QLatin1String("qt_")))
            continue;
        if (names.isEmpty())
            kind = QString::fromLatin1(w->metaObject()->className());
        names << w->objectName();
        if (w->isWindow())
            break;
    }
    if (!names.isEmpty())
        showNote(QStringLiteral("%1 (%2)  in %3").arg(names.first(), kind, names.mid(1).join(QStringLiteral(" < "))));
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
