#include "engine/screenprofile.h"

#include "engine/session.h"

#include "basezedoveduddata.h"
#include "simcontroller.h"

#include <QAbstractButton>
#include <QApplication>
#include <QChildEvent>
#include <QDialog>
#include <QLabel>
#include <QMap>
#include <QRegularExpression>
#include <QStackedWidget>

namespace screenprofile {

namespace {

const QString fetchCall = QStringLiteral("getFileFromCtrl");
// Pages that read what they show after they are made.
const QStringList lateLoaders = {QStringLiteral("prograMapWidget")};

} // namespace

const QList<PageRoad> &pageRoads()
{
    static const QList<PageRoad> roads = {
        {QStringLiteral("ZuzEraroveSetting"), QStringLiteral("settingButton"), QStringLiteral("returnButton")},
        {QStringLiteral("SoftPlcFun"), QStringLiteral("softPlcButton"), QStringLiteral("returnButton")},
        {QStringLiteral("prograMapWidget"), QStringLiteral("prograMapBtn"), QStringLiteral("backBtn")},
    };
    return roads;
}

QStringList dialogNames()
{
    return {boxText, confirmKey, cancelKey, chooser, chooserTree, chooserCancelKey, chooserSelectKey, chooserCloseKey};
}

QString roleOf(const QString &objectName)
{
    QString kind;
    int slot = 0;
    if (isRowKey(objectName, &kind, &slot))
        return QStringLiteral("slot %1's %2 key (the step \"%3\": %1)").arg(slot).arg(kind == QLatin1String("reserve") ? QStringLiteral("Res") : QStringLiteral("Cancel"), kind);
    static const QMap<QString, QString> roles = {
        {lamp, QStringLiteral("the run lamp (the step \"expect lamp\")")},
        {boxText, QStringLiteral("the box's text (\"expect box\", \"answer\" with \"box\")")},
        {confirmKey, QStringLiteral("the box's OK key (\"answer\": confirm, or acknowledge a note)")},
        {cancelKey, QStringLiteral("the box's Cancel key (\"answer\": cancel)")},
        {chooserCancelKey, QStringLiteral("the chooser's Cancel key (\"answer\": cancel)")},
        {chooserSelectKey, QStringLiteral("the chooser's Select key (\"answer\": select, or \"pick\")")},
        {chooserCloseKey, QStringLiteral("the chooser's X (\"answer\": close)")},
        {chooserTree, QStringLiteral("the chooser's programs: Name, Size, Date (\"pick\"; \"expect text\" with \"item\" and \"column\")")},
    };
    return roles.value(objectName);
}

QString rowKey(const QString &kind, int slot)
{
    return QStringLiteral("%1Btn_%2").arg(kind).arg(slot);
}

bool isRowKey(const QString &name, QString *kind, int *slot)
{
    static const QRegularExpression key(QStringLiteral("^(reserve|cancel)Btn_(\\d+)$"));
    const QRegularExpressionMatch m = key.match(name);
    if (!m.hasMatch())
        return false;
    *kind = m.captured(1);
    *slot = m.captured(2).toInt();
    return true;
}

QStringList answerKeys(const QString &answer)
{
    if (answer == QLatin1String("confirm") || answer == QLatin1String("acknowledge"))
        return {confirmKey};
    if (answer == QLatin1String("cancel"))
        return {cancelKey, chooserCancelKey};
    if (answer == QLatin1String("select"))
        return {chooserSelectKey};
    if (answer == QLatin1String("close"))
        return {chooserCloseKey};
    return {};
}

QString answerOf(const QWidget *key, const QWidget *box)
{
    const QString name = key->objectName();
    if (name == confirmKey)
        return box->findChild<QAbstractButton *>(cancelKey) ? QStringLiteral("confirm") : QStringLiteral("acknowledge");
    if (name == cancelKey || name == chooserCancelKey)
        return QStringLiteral("cancel");
    if (name == chooserSelectKey)
        return QStringLiteral("select");
    if (name == chooserCloseKey)
        return QStringLiteral("close");
    return QString();
}

QWidget *openBox()
{
    if (QWidget *modal = QApplication::activeModalWidget())
        return modal;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->isVisible() && qobject_cast<QDialog *>(w)
            && (w->objectName() == QLatin1String("MsgBox") || w->objectName() == chooser))
            return w;
    return nullptr;
}

QString textOf(const QWidget *box)
{
    const QLabel *label = box->findChild<QLabel *>(boxText);
    return label ? label->text() : box->objectName();
}

QString currentPage(const ModuleSession &session)
{
    auto *stack = session.data() ? qobject_cast<QStackedWidget *>(session.data()->customWidget()) : nullptr;
    return stack && stack->currentWidget() ? stack->currentWidget()->objectName() : QString();
}

bool isStarted()
{
    return sim::CallLog::instance().count({fetchCall}) > 0;
}

void PageWatch::reset()
{
    m_loading.clear();
}

void PageWatch::watch(const ModuleSession &session)
{
    if (QWidget *stack = session.data() ? session.data()->customWidget() : nullptr)
        stack->installEventFilter(this);
}

bool PageWatch::eventFilter(QObject *watched, QEvent *event)
{
    // A page is made as it is first shown; it is on the stack, named, before its first read.
    if (event->type() == QEvent::ChildAdded) {
        const QObject *child = static_cast<QChildEvent *>(event)->child();
        if (child->isWidgetType() && lateLoaders.contains(child->objectName()))
            m_loading.insert(child->objectName(), sim::CallLog::instance().count({fetchCall}));
    }
    return QObject::eventFilter(watched, event);
}

bool PageWatch::ready(const ModuleSession &session)
{
    const auto loading = m_loading.find(currentPage(session));
    if (loading == m_loading.end())
        return true;
    if (sim::CallLog::instance().count({fetchCall}) <= loading.value())
        return false;
    m_loading.erase(loading);
    return true;
}

} // namespace screenprofile
