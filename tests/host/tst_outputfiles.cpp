#include "engine/outputfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <sys/stat.h>
#include <unistd.h>

// The bench's one way to write, on its own: what it refuses and why, and that a refusal leaves
// every file as it was.
class tst_OutputFiles : public QObject
{
    Q_OBJECT
private slots:
    void refuses_data();
    void refuses();
    void replacesWholeAndRemovesOnlyTheLink();
};

using Place = std::function<QString(const QString &root)>; // makes the place, returns the path
Q_DECLARE_METATYPE(Place)

namespace {

bool write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray read(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
}

} // namespace

void tst_OutputFiles::refuses_data()
{
    QTest::addColumn<Place>("place");
    QTest::addColumn<QString>("why");
    QTest::newRow("a link at the name") << Place([](const QString &root) {
        QFile::link(root + QStringLiteral("/input/kept"), root + QStringLiteral("/out/r.xml"));
        return root + QStringLiteral("/out/r.xml");
    }) << QStringLiteral("is a link");
    QTest::newRow("a link to a folder on the way") << Place([](const QString &root) {
        QFile::link(root + QStringLiteral("/input"), root + QStringLiteral("/out/linked"));
        return root + QStringLiteral("/out/linked/r.xml");
    }) << QStringLiteral("is a link");
    QTest::newRow("a second name of a file") << Place([](const QString &root) {
        ::link(QFile::encodeName(root + QStringLiteral("/input/kept")).constData(),
               QFile::encodeName(root + QStringLiteral("/out/second")).constData());
        return root + QStringLiteral("/out/second");
    }) << QStringLiteral("another name too");
    QTest::newRow("inside an input, spelled another way") << Place([](const QString &root) {
        return root + QStringLiteral("/out/../input/./new.xml");
    }) << QStringLiteral("which this run reads");
    QTest::newRow("the input itself") << Place([](const QString &root) {
        return root + QStringLiteral("/input/kept");
    }) << QStringLiteral("which this run reads");
}

void tst_OutputFiles::refuses()
{
    QFETCH(Place, place);
    QFETCH(QString, why);
    QTemporaryDir root;
    QVERIFY(QDir(root.path()).mkpath(QStringLiteral("input")) && QDir(root.path()).mkpath(QStringLiteral("out")));
    QVERIFY(write(root.filePath(QStringLiteral("input/kept")), "kept"));
    OutputFiles files;
    files.addInput(root.filePath(QStringLiteral("input")));
    const QString path = place(root.path());
    for (const Result &result : {files.check(path), files.writeFile(path, "new")}) {
        QVERIFY(!result.isOk());
        QVERIFY2(result.error().contains(why), qPrintable(result.error()));
    }
    QCOMPARE(read(root.filePath(QStringLiteral("input/kept"))), QByteArray("kept"));
    QCOMPARE(QDir(root.filePath(QStringLiteral("input"))).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("kept")});
}

void tst_OutputFiles::replacesWholeAndRemovesOnlyTheLink()
{
    QTemporaryDir root;
    QVERIFY(write(root.filePath(QStringLiteral("target")), "target"));
    OutputFiles files;
    const QString report = root.filePath(QStringLiteral("deep/report.xml"));
    QVERIFY(files.writeFile(report, "old").isOk());
    QVERIFY(files.writeFile(report, "new").isOk());
    QCOMPARE(read(report), QByteArray("new"));
    QCOMPARE(QDir(root.filePath(QStringLiteral("deep"))).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList{QStringLiteral("report.xml")});
    QVERIFY(files.makeLink(root.filePath(QStringLiteral("link")), root.filePath(QStringLiteral("target"))).isOk());
    QVERIFY(files.removePath(root.filePath(QStringLiteral("link"))).isOk());
    QVERIFY(!QFileInfo(root.filePath(QStringLiteral("link"))).isSymLink());
    QCOMPARE(read(root.filePath(QStringLiteral("target"))), QByteArray("target"));
    QVERIFY(files.writeFiles(root.filePath(QStringLiteral("many")), {QStringLiteral("A.XPL"), QStringLiteral("B.XPL")}, "P").isOk());
    struct stat a = {}, b = {};
    QVERIFY(::stat(QFile::encodeName(root.filePath(QStringLiteral("many/A.XPL"))).constData(), &a) == 0);
    QVERIFY(::stat(QFile::encodeName(root.filePath(QStringLiteral("many/B.XPL"))).constData(), &b) == 0);
    QCOMPARE(a.st_ino, b.st_ino);
}

QTEST_GUILESS_MAIN(tst_OutputFiles)
#include "tst_outputfiles.moc"
