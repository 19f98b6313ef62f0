#include "plugin/factories.h"

#include "chooser/fileedit.h"
#include "ui_fileedit.h"
#include "ui_programapwidget.h"
#include "ui_softplcfun.h"
#include "ui_zuzerarovemainpage.h"
#include "ui_zuzerarovesetting.h"
#include "modulefixture.h"
#include "msgbox.h"
#include "msgboxsim.h"
#include "simcontroller.h"

#include <QPushButton>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTranslator>
#include <QtTest>

// The screen as the panel's style draws it, in English and in Chinese: every size a form fixes
// is the size the widget has, and no table wraps its cells' texts.
class tst_FormGeometry : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void screen_data();
    void screen();

private:
    static void verifySurface(QWidget *surface);
    static void verifyFixedSizes(QWidget *surface);

    ModuleFixture f{createZedOvedudData, createZedOvedudWidget};
};

void tst_FormGeometry::init()
{
    f.setUp();
    f.env().writeControllerFile(QStringLiteral("/application/zuzerarove/programMapping.xml"),
                                "<ProgramMapping><Program num=\"1\" name=\"/RPL/SUB/D.XPL\"/></ProgramMapping>");
}

void tst_FormGeometry::cleanup()
{
    QVERIFY(f.tearDown());
}

void tst_FormGeometry::verifySurface(QWidget *surface)
{
    QApplication::processEvents();
    verifyFixedSizes(surface);
    // A cell that wrapped would show the first half of a name such as "GONE.XPL(no file)".
    for (QTableWidget *table : surface->findChildren<QTableWidget *>())
        QVERIFY2(!table->wordWrap(), qPrintable(table->objectName()));
}

// The minimum and maximum size of every widget of a form as designed, by object name.
template<typename Form, typename Base = QWidget>
QHash<QString, QPair<QSize, QSize>> designed()
{
    Base bare;
    Form form;
    form.setupUi(&bare);
    QHash<QString, QPair<QSize, QSize>> sizes;
    QWidget *top = &bare;
    QWidgetList widgets = top->findChildren<QWidget *>();
    widgets.prepend(top);
    for (QWidget *w : qAsConst(widgets))
        sizes.insert(w->objectName(), qMakePair(w->minimumSize(), w->maximumSize()));
    return sizes;
}

QHash<QString, QPair<QSize, QSize>> designedFor(const QWidget *surface)
{
    const QByteArray cls = surface->metaObject()->className();
    if (cls == "ZuzEraroveMainPage")
        return designed<Ui::ZuzEraroveMainPage>();
    if (cls == "ZuzEraroveSetting")
        return designed<Ui::ZuzEraroveSetting>();
    if (cls == "SoftPlcFun")
        return designed<Ui::SoftPlcFun>();
    if (cls == "prograMapWidget")
        return designed<Ui::prograMapWidget>();
    if (cls == "FileEdit")
        return designed<Ui::FileEdit, QDialog>();
    return {};
}

void tst_FormGeometry::verifyFixedSizes(QWidget *surface)
{
    const QHash<QString, QPair<QSize, QSize>> form = designedFor(surface);
    QWidgetList widgets = surface->findChildren<QWidget *>();
    widgets.prepend(surface);
    for (QWidget *w : qAsConst(widgets)) {
        // The toolkit's own parts of a view are not the form's.
        if (!w->isVisibleTo(surface) || w->objectName().startsWith(QLatin1String("qt_")))
            continue;
        // Widgets that the pages build row by row all have fixed sizes.
        const auto given = form.constFind(w->objectName());
        const QSize min = given != form.cend() ? given->first : w->maximumSize();
        const QSize max = given != form.cend() ? given->second : w->maximumSize();
        const QString name = surface->objectName() + QLatin1Char('/') + w->objectName();
        if (min.width() == max.width() && max.width() < QWIDGETSIZE_MAX)
            QVERIFY2(w->width() == max.width() && w->minimumWidth() == min.width(), qPrintable(name));
        if (min.height() == max.height() && max.height() < QWIDGETSIZE_MAX)
            QVERIFY2(w->height() == max.height() && w->minimumHeight() == min.height(), qPrintable(name));
    }
}

void tst_FormGeometry::screen_data()
{
    QTest::addColumn<QString>("translation");
    QTest::newRow("English") << QString();
    QTest::newRow("Chinese") << QStringLiteral(":/i18n/ruvozuvid_zh_CN.qm");
}

void tst_FormGeometry::screen()
{
    QFETCH(QString, translation);
    QTranslator translator;
    if (!translation.isEmpty()) {
        QVERIFY(translator.load(translation));
        QCoreApplication::installTranslator(&translator);
    }
    // A slot whose program is gone shows its name with the "(no file)" mark.
    QVERIFY(f.start(1, {QStringLiteral("A.XPL"), QStringLiteral("SEAM_WELDING_B.XPL"), QStringLiteral("SUB/D.XPL")}));
    f.screen()->idle();
    // Every surface an operator sees: the four pages, the chooser and a message box.
    verifySurface(f.currentPage());
    const struct
    {
        const char *open, *leave;
    } visits[] = {{"settingButton", "returnButton"}, {"softPlcButton", "returnButton"}, {"prograMapBtn", "backBtn"}};
    for (const auto &visit : visits) {
        f.screen()->find<QPushButton>(QString::fromLatin1(visit.open))->click();
        if (qstrcmp(visit.open, "prograMapBtn") == 0)
            QTRY_VERIFY(!sim::CallLog::instance().entriesOf({QStringLiteral("readPrograMapFile")}).isEmpty());
        verifySurface(f.currentPage());
        f.currentPage()->findChild<QPushButton *>(QString::fromLatin1(visit.leave))->click();
    }
    FileEdit chooser(nullptr);
    chooser.show();
    verifySurface(&chooser);
    sim::MsgBoxHooks::clearResponder();
    const QString unchanged = QStringLiteral("unchanged");
    MsgBox box(2, QStringLiteral("Failed to send file."), 3, false, false, 0, false, false, unchanged, unchanged,
               unchanged, 18);
    verifySurface(&box);
    QCoreApplication::removeTranslator(&translator);
}

QTEST_MAIN(tst_FormGeometry)
#include "tst_formgeometry.moc"
