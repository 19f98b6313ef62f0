#include "engine/idlerule.h"

#include "engine/operatorinput.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QDialog>
#include <QThread>
#include <QTimer>

namespace idlerule {

namespace {

QString timerSaid(const QObject *timer, int interval)
{
    const QObject *owner = timer->parent();
    QString who = owner && !owner->objectName().isEmpty() ? owner->objectName() : QString();
    if (!timer->objectName().isEmpty())
        who = timer->objectName();
    return QStringLiteral("a timer of %1 ms%2 is still to fire").arg(interval).arg(who.isEmpty() ? QString() : QStringLiteral(" of ") + who);
}

// A single-shot QTimer below root that is running.
QString pendingTimerBelow(const QWidget *root)
{
    for (const QTimer *timer : root->findChildren<QTimer *>())
        if (timer->isActive() && timer->isSingleShot())
            return timerSaid(timer, timer->interval());
    return QString();
}

} // namespace

QString busyWith(const QWidget *screen, int baseLevel)
{
    const QList<QDialog *> waiting = operatorinput::waitingDialogs();
    if (waiting.isEmpty() && QThread::currentThread()->loopLevel() > baseLevel)
        return QStringLiteral("the module runs a wait of its own");
    if (QString pending = pendingWork(screen); !pending.isEmpty())
        return pending;
    return QString();
}

QString pendingWork(const QWidget *screen)
{
    // QTimer::singleShot's timers are the event dispatcher's children until they have fired and
    // their slot has returned; one whose slot runs now (a box it opened) is no longer pending.
    if (QAbstractEventDispatcher *dispatcher = QAbstractEventDispatcher::instance())
        for (QObject *child : dispatcher->children())
            if (qstrcmp(child->metaObject()->className(), "QSingleShotTimer") == 0)
                if (const auto timers = dispatcher->registeredTimers(child); !timers.isEmpty())
                    return timerSaid(child, timers.first().interval);
    if (screen)
        if (QString pending = pendingTimerBelow(screen); !pending.isEmpty())
            return pending;
    for (QWidget *top : QApplication::topLevelWidgets())
        if (qobject_cast<QDialog *>(top))
            if (QString pending = pendingTimerBelow(top); !pending.isEmpty())
                return pending;
    return QString();
}

} // namespace idlerule
