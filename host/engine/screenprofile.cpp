#include "engine/screenprofile.h"

#include "engine/session.h"

#include "basezedoveduddata.h"
#include "simcontroller.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QMap>
#include <QRegularExpression>
#include <QStackedWidget>

namespace screenprofile {

namespace {

const QString fetchCall = QStringLiteral("getFileFromCtrl");

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

QString answerOfReturn(const QWidget *box)
{
    const QPushButton *pressed = qobject_cast<const QPushButton *>(box->focusWidget());
    if (!pressed || !pressed->autoDefault())
        for (const QPushButton *b : box->findChildren<QPushButton *>())
            if (b->isDefault())
                pressed = b;
    return pressed ? answerOf(pressed, box) : QString();
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

QWidget *currentPageWidget(const ModuleSession &session)
{
    auto *stack = session.data() && session.widget() ? qobject_cast<QStackedWidget *>(session.data()->customWidget()) : nullptr;
    return stack ? stack->currentWidget() : nullptr;
}

QString currentPage(const ModuleSession &session)
{
    const QWidget *page = currentPageWidget(session);
    return page ? page->objectName() : QString();
}

bool isStarted()
{
    return sim::CallLog::instance().count({fetchCall}) > 0;
}

} // namespace screenprofile
