#include "plugin/factories.h"

#include "modulefixture.h"

#include <QPushButton>
#include <QProcess>
#include <QTemporaryDir>
#include <QTranslator>
#include <QXmlStreamReader>
#include <QtTest>

// The module's texts and their Simplified Chinese translation.
class tst_Translations : public QObject
{
    Q_OBJECT
private slots:
    void everyTextIsInTheTranslation();
    void chineseIsComplete();
    void moduleShowsChinese();

private:
    struct Message
    {
        QString context, source, translation, type;
    };
    static QList<Message> read(const QString &path);
};

QList<tst_Translations::Message> tst_Translations::read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<Message> messages;
    QXmlStreamReader xml(&file);
    QString context;
    Message m;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("name"))
            context = xml.readElementText();
        else if (xml.name() == QLatin1String("message"))
            m = Message{context, {}, {}, {}};
        else if (xml.name() == QLatin1String("source"))
            m.source = xml.readElementText();
        else if (xml.name() == QLatin1String("translation")) {
            m.type = xml.attributes().value(QLatin1String("type")).toString();
            m.translation = xml.readElementText();
            messages << m;
        }
    }
    return messages;
}

void tst_Translations::everyTextIsInTheTranslation()
{
    // What the sources hold now, as the toolkit's own tool collects it.
    QTemporaryDir dir;
    const QString fresh = dir.filePath(QStringLiteral("fresh.ts"));
    QProcess lupdate;
    lupdate.start(QStringLiteral(LUPDATE), {QStringLiteral("-silent"), QStringLiteral("-locations"), QStringLiteral("none"),
                                            QStringLiteral(MODULE_SOURCES), QStringLiteral("-ts"), fresh});
    QVERIFY(lupdate.waitForFinished(120000));
    QCOMPARE(lupdate.exitCode(), 0);
    QSet<QString> inSources, inTranslation;
    for (const Message &m : read(fresh))
        inSources << m.context + QLatin1Char('|') + m.source;
    for (const Message &m : read(QStringLiteral(CHINESE_TS)))
        if (m.type != QLatin1String("vanished") && m.type != QLatin1String("obsolete"))
            inTranslation << m.context + QLatin1Char('|') + m.source;
    QVERIFY(inSources.size() > 100);
    const QSet<QString> missing = inSources - inTranslation;
    QVERIFY2(missing.isEmpty(), qPrintable(QStringList(missing.values()).join(QLatin1Char('\n'))));
    QVERIFY2((inTranslation - inSources).isEmpty(), "texts the module no longer has");
    const QSet<QString> contexts{"ZuzEraroveMainPage", "ZuzEraroveSetting", "SoftPlcFun", "prograMapWidget", "FileEdit"};
    for (const QString &key : inSources)
        QVERIFY2(contexts.contains(key.section(QLatin1Char('|'), 0, 0)), qPrintable(key));
}

void tst_Translations::chineseIsComplete()
{
    const QList<Message> messages = read(QStringLiteral(CHINESE_TS));
    QVERIFY(!messages.isEmpty());
    for (const Message &m : messages) {
        QVERIFY2(m.type.isEmpty(), qPrintable(m.context + QStringLiteral(": unfinished: ") + m.source));
        QVERIFY2(!m.translation.isEmpty(), qPrintable(m.context + QStringLiteral(": empty: ") + m.source));
        QCOMPARE(m.translation.count(QStringLiteral("%1")), m.source.count(QStringLiteral("%1")));
    }
}

void tst_Translations::moduleShowsChinese()
{
    ModuleFixture f(createZedOvedudData, createZedOvedudWidget);
    f.setUp();
    // The compiled translation travels in the module's own resources.
    QTranslator translator;
    QVERIFY(translator.load(QStringLiteral(":/i18n/ruvozuvid_zh_CN.qm")));
    QCoreApplication::installTranslator(&translator);
    QVERIFY(f.start(1, {QStringLiteral("A.XPL")}));
    QCOMPARE(f.screen()->find<QPushButton>(QStringLiteral("runOrStopButton"))->text(), QStringLiteral("启动"));
    QCOMPARE(f.screen()->find<QPushButton>(QStringLiteral("reserveBtn_2"))->text(), QStringLiteral("预约_2"));
    QCoreApplication::removeTranslator(&translator);
    QVERIFY(f.tearDown());
}

QTEST_MAIN(tst_Translations)
#include "tst_translations.moc"
