#include "treefiles/rawtext.h"
#include "treefiles/treepath.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <thread>
#include <unistd.h>

// The guard of the file trees: a link at any depth, live or dangling, relative or absolute,
// never lets a read, a write or a new folder leave the tree. And the files' lossless text.
class tst_TreePath : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void linksAtEveryDepth_data();
    void linksAtEveryDepth();
    void writesWholeOrNothing();
    void aFolderSwappedForALinkIsNotFollowed();
    void rawTextKeepsEveryByte_data();
    void rawTextKeepsEveryByte();

private:
    QString root() const { return base->filePath(QStringLiteral("root")); }
    QString out() const { return base->filePath(QStringLiteral("out")); }
    QScopedPointer<QTemporaryDir> base;
};

void tst_TreePath::init()
{
    base.reset(new QTemporaryDir);
    QVERIFY(QDir().mkpath(root() + QStringLiteral("/a/b/c")));
    QVERIFY(QDir().mkpath(root() + QStringLiteral("/x")));
    QVERIFY(QDir().mkpath(out() + QStringLiteral("/b/c")));
    for (const QString &file : {root() + QStringLiteral("/a/b/c/f.txt"), out() + QStringLiteral("/b/c/f.txt")}) {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("kept");
    }
}

void tst_TreePath::linksAtEveryDepth_data()
{
    QTest::addColumn<QString>("place");  // below the root, replaced by a link
    QTest::addColumn<QString>("target"); // "@out" and "@root" stand for the two folders
    QTest::addColumn<QString>("path");   // below the root, the file read or written
    QTest::addColumn<bool>("inside");
    QTest::newRow("no link") << "" << "" << "a/b/c/f.txt" << true;
    QTest::newRow("depth 1 out") << "a" << "@out" << "a/b/c/f.txt" << false;
    QTest::newRow("depth 2 out") << "a/b" << "@out/b" << "a/b/c/f.txt" << false;
    QTest::newRow("depth 3 out") << "a/b/c" << "@out/b/c" << "a/b/c/f.txt" << false;
    QTest::newRow("the file itself out") << "a/b/c/f.txt" << "@out/b/c/f.txt" << "a/b/c/f.txt" << false;
    QTest::newRow("depth 2 out, relative") << "a/b" << "../../out/b" << "a/b/c/f.txt" << false;
    QTest::newRow("depth 2 dangling out") << "a/b" << "@out/none" << "a/b/c/f.txt" << false;
    QTest::newRow("the file dangling out") << "a/b/c/f.txt" << "@out/new.txt" << "a/b/c/f.txt" << false;
    QTest::newRow("depth 2 inside") << "a/b" << "../x" << "a/b/f.txt" << true;
    QTest::newRow("depth 2 dangling inside") << "a/b" << "@root/new" << "a/b/c/f.txt" << true;
    QTest::newRow("a link through a link out") << "x/hop" << "@root/a/b" << "x/hop/c/f.txt" << true;
    QTest::newRow("dot-dot behind a link leads where the link went") << "x/deep" << "@out/b/c" << "x/deep/../c/f.txt" << false;
    QTest::newRow("dot-dot out of the root") << "" << "" << "a/../../out/b/c/f.txt" << false;
    QTest::newRow("a sibling named like the root") << "" << "" << "../root2/f.txt" << false;
    QTest::newRow("a loop") << "x/loop" << "loop2/.." << "x/loop/f.txt" << false;
}

void tst_TreePath::linksAtEveryDepth()
{
    QFETCH(QString, place);
    QFETCH(QString, target);
    QFETCH(QString, path);
    QFETCH(bool, inside);
    target.replace(QStringLiteral("@out"), out()).replace(QStringLiteral("@root"), root());
    if (!place.isEmpty()) {
        const QString link = root() + QLatin1Char('/') + place;
        if (QFileInfo(link).isDir())
            QVERIFY(QDir(link).removeRecursively());
        else
            QFile::remove(link);
        QVERIFY(QFile::link(target, link));
        if (place == QLatin1String("x/loop"))
            QVERIFY(QFile::link(QStringLiteral("loop"), root() + QStringLiteral("/x/loop2")));
    }
    const QString full = root() + QLatin1Char('/') + path;
    QCOMPARE(!treepath::inside(root(), full).isEmpty(), inside);
    // The root may itself be reached through a link.
    QVERIFY(QFile::link(root(), base->filePath(QStringLiteral("rootlink"))));
    QCOMPARE(!treepath::inside(base->filePath(QStringLiteral("rootlink")), full).isEmpty(), inside);

    QByteArray bytes;
    QVERIFY(!treepath::readFile(root(), full, &bytes) || inside);
    const bool wrote = treepath::writeFile(root(), full, "new");
    const bool madeFolder = treepath::makeFolder(root(), full + QStringLiteral("/../made"));
    QVERIFY(!wrote || inside);
    QVERIFY(!madeFolder || inside);
    // Nothing outside changed.
    QFile kept(out() + QStringLiteral("/b/c/f.txt"));
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), QByteArray("kept"));
    QCOMPARE(QDir(out()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"b"});
    QCOMPARE(QDir(out() + QStringLiteral("/b/c")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"f.txt"});
}

void tst_TreePath::writesWholeOrNothing()
{
    const QString file = root() + QStringLiteral("/x/f.txt");
    QVERIFY(treepath::writeFile(root(), file, "first"));
    // Over the limit nothing is written and the old file stays.
    QVERIFY(!treepath::writeFile(root(), file, QByteArray(int(treepath::maxFileSize) + 1, 'x')));
    QByteArray bytes;
    QVERIFY(treepath::readFile(root(), file, &bytes));
    QCOMPARE(bytes, QByteArray("first"));
    // A link in the file's place is not written through, even inside the tree.
    QVERIFY(QFile::link(file, root() + QStringLiteral("/x/alias.txt")));
    QVERIFY(!treepath::writeFile(root(), root() + QStringLiteral("/x/alias.txt"), "second"));
    // Reading refuses what is too large, and folders.
    QVERIFY(treepath::writeFile(root(), file, QByteArray(int(treepath::maxFileSize), 'x')));
    QVERIFY(treepath::readFile(root(), file, &bytes));
    QVERIFY(!treepath::readFile(root(), file, &bytes, treepath::maxFileSize - 1));
    QVERIFY(!treepath::readFile(root(), root() + QStringLiteral("/x"), &bytes));
    // A name as long as the system takes saves, whatever stands at names a save might once
    // have used beside it, and leaves nothing else behind.
    const QString longest = root() + QStringLiteral("/x/") + QString(255, QLatin1Char('L'));
    QVERIFY(QDir().mkpath(root() + QStringLiteral("/x/.f.txt.new") + QString::number(QCoreApplication::applicationPid())));
    QVERIFY(treepath::writeFile(root(), longest, "long") && treepath::writeFile(root(), file, "third"));
    QVERIFY(treepath::readFile(root(), longest, &bytes) && bytes == "long");
    QCOMPARE(QDir(root() + QStringLiteral("/x")).entryList(QDir::Files | QDir::Hidden).size(), 3);
}

// A folder on the way swapped for a link to a folder outside, over and over, while the guard
// writes, reads and makes folders through it: the guard resolves the path and then opens it name
// by name without following a link, so nothing is ever written or made outside.
void tst_TreePath::aFolderSwappedForALinkIsNotFollowed()
{
    const QByteArray folder = QFile::encodeName(root() + QStringLiteral("/x"));
    const QByteArray saved = QFile::encodeName(root() + QStringLiteral("/x-saved"));
    const QByteArray outside = QFile::encodeName(out());
    std::atomic<bool> stop{false};
    std::thread swapper([&] {
        while (!stop) {
            if (::rename(folder.constData(), saved.constData()) != 0)
                continue;
            ::symlink(outside.constData(), folder.constData());
            ::unlink(folder.constData());
            ::rename(saved.constData(), folder.constData());
        }
    });
    QByteArray bytes;
    for (int i = 0; i < 3000; ++i) {
        (void)treepath::writeFile(root(), root() + QStringLiteral("/x/written.txt"), "inside");
        (void)treepath::makeFolder(root(), root() + QStringLiteral("/x/made"));
        (void)treepath::readFile(root(), root() + QStringLiteral("/x/b/c/f.txt"), &bytes);
    }
    stop = true;
    swapper.join();
    QCOMPARE(QDir(out()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList{"b"});
}

// The text a run of lone surrogates stands for.
static QString chars(std::initializer_list<char16_t> units)
{
    QString text;
    for (char16_t u : units)
        text.append(QChar(u));
    return text;
}

void tst_TreePath::rawTextKeepsEveryByte_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("ASCII") << QByteArray("A.XPL") << QStringLiteral("A.XPL");
    QTest::newRow("UTF-8") << QByteArray("焊接_ä.XPL") << QStringLiteral("焊接_ä.XPL");
    QTest::newRow("outside the BMP") << QByteArray("\xf0\x9f\x94\xa7") << QString::fromUtf8("\xf0\x9f\x94\xa7");
    QTest::newRow("invalid bytes") << QByteArray("\xff\xfe") << chars({0xDCFF, 0xDCFE});
    QTest::newRow("cut sequence") << QByteArray("a\xe7\x84") << chars({u'a', 0xDCE7, 0xDC84});
    QTest::newRow("overlong") << QByteArray("\xc0\xaf") << chars({0xDCC0, 0xDCAF});
    QTest::newRow("an encoded surrogate") << QByteArray("\xed\xb3\xbf") << chars({0xDCED, 0xDCB3, 0xDCBF});
    QTest::newRow("over U+10FFFF") << QByteArray("\xf4\x90\x80\x80") << chars({0xDCF4, 0xDC90, 0xDC80, 0xDC80});
}

void tst_TreePath::rawTextKeepsEveryByte()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(rawtext::decode(bytes), text);
    QCOMPARE(rawtext::encode(text), bytes);
}

QTEST_GUILESS_MAIN(tst_TreePath)
#include "tst_treepath.moc"
