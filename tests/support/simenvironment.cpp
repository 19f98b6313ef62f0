#include "simenvironment.h"

#include "desktopsim.h"
#include "msgboxsim.h"
#include "rtmcoresim.h"
#include "simcontroller.h"
#include "zuzerarovesim.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <QWidget>

void resetPlatform()
{
    sim::Controller::instance().reset();
    sim::Reservation::instance().reset();
    sim::MsgBoxHooks::clearResponder();
    sim::MsgBoxHooks::clearRecords();
    sim::Panel::reset();
    sim::Desktop::setCloseHandler(nullptr);
    sim::Desktop::resetCloseRequests();
    sim::CallLog::instance().setEnabled(true);
    sim::CallLog::instance().setKeepEntries(true);
    sim::CallLog::instance().clear();
}

SimEnvironment::SimEnvironment()
{
    QDir().mkpath(controllerRoot());
    QDir().mkpath(panelRoot() + QStringLiteral("/bin"));
    QDir().mkpath(localDir());
    sim::Controller::instance().setRoot(controllerRoot());
    sim::Panel::setRoot(panelRoot());
    resetPlatform();
}

SimEnvironment::~SimEnvironment()
{
    resetPlatform();
}

QString SimEnvironment::controllerRoot() const
{
    return m_dir.path() + QStringLiteral("/controller");
}

QString SimEnvironment::panelRoot() const
{
    return m_dir.path() + QStringLiteral("/panel");
}

QString SimEnvironment::localDir() const
{
    return panelRoot() + QStringLiteral("/Application/zuzerarove");
}

bool SimEnvironment::writeControllerFile(const QString &ctrlPath, const QByteArray &content) const
{
    const QString path = controllerRoot() + QLatin1Char('/') + ctrlPath;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    const bool written = file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
    // Written behind the controller's file service, which must hear of it.
    sim::Controller::instance().treeChanged();
    return written;
}

QByteArray SimEnvironment::controllerFile(const QString &ctrlPath) const
{
    QFile file(controllerRoot() + QLatin1Char('/') + ctrlPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool SimEnvironment::controllerFileExists(const QString &ctrlPath) const
{
    return QFileInfo::exists(controllerRoot() + QLatin1Char('/') + ctrlPath);
}

void SimEnvironment::addPrograms(const QStringList &names) const
{
    for (const QString &name : names)
        writeControllerFile(QStringLiteral("/RPL/") + name, "MOVJ P1\nEND\n");
}

void SimEnvironment::writeReservationConfig(int signalMode, int protocol, const QStringList &names,
                                            int runState) const
{
    QByteArray xml = QStringLiteral("<ZuzEraroveConfig runState=\"%1\" signalMode=\"%2\" protocol=\"%3\">\n")
                         .arg(runState).arg(signalMode).arg(protocol).toUtf8();
    for (int i = 0; i < names.size(); ++i)
        xml += QStringLiteral("  <Slot id=\"%1\" program=\"%2\" cycleIndex=\"1\"/>\n")
                   .arg(i + 1)
                   .arg(names[i].toHtmlEscaped())
                   .toUtf8();
    xml += "</ZuzEraroveConfig>\n";
    writeControllerFile(QStringLiteral("/application/zuzerarove/zuzeraroveconfig.xml"), xml);
}

void SimEnvironment::clear() const
{
    QDir(controllerRoot()).removeRecursively();
    QDir(panelRoot()).removeRecursively();
    QDir().mkpath(controllerRoot());
    QDir().mkpath(panelRoot() + QStringLiteral("/bin"));
    QDir().mkpath(localDir());
    resetPlatform();
}

QStringList boxTexts()
{
    QStringList texts;
    for (const sim::MsgBoxRecord &r : sim::MsgBoxHooks::records())
        texts << r.text;
    return texts;
}

bool waitForCall(const QString &name, int timeoutMs)
{
    return QTest::qWaitFor([&] { return !sim::CallLog::instance().entriesOf({name}).isEmpty(); }, timeoutMs);
}

QWidgetList newTopLevels(const QWidgetList &before)
{
    QWidgetList now;
    const QWidgetList all = QApplication::topLevelWidgets();
    for (QWidget *w : all)
        if (!before.contains(w))
            now.append(w);
    return now;
}
