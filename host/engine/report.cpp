#include "engine/report.h"

#include "engine/journalfile.h"
#include "engine/outputfiles.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QXmlStreamWriter>

namespace {

// A scenario's own name for what it leaves: its file's name, and a short digest of the file's
// whole path, so that scenarios of one name in different folders, in one run or in several
// writing into one folder, never take each other's files.
QString fileName(const QString &file)
{
    QString plain = QFileInfo(file).completeBaseName();
    plain.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9_-]+")), QStringLiteral("-"));
    const QByteArray digest = QCryptographicHash::hash(QFileInfo(file).absoluteFilePath().toUtf8(), QCryptographicHash::Sha1);
    return QStringLiteral("%1-%2").arg(plain.left(60), QString::fromLatin1(digest.toHex().left(8)));
}

} // namespace

QString verdictName(Verdict verdict)
{
    switch (verdict) {
    case Verdict::Running:
        return QStringLiteral("running");
    case Verdict::Held:
        return QStringLiteral("held");
    case Verdict::Failed:
        return QStringLiteral("failed");
    case Verdict::Error:
        return QStringLiteral("error");
    case Verdict::Stopped:
        return QStringLiteral("stopped");
    }
    return QString();
}

Result saveFailure(const OutputFiles &files, ScenarioResult *result, const QString &dir)
{
    if (dir.isEmpty() || result->failure.isEmpty())
        return Result::ok();
    const QString base = QDir(dir).filePath(fileName(result->file) + QStringLiteral("-failure"));
    if (!result->picture.isEmpty()) {
        if (const Result saved = files.writeFile(base + QStringLiteral(".png"), result->picture); !saved)
            return saved;
        result->picturePath = QDir(base + QStringLiteral(".png")).absolutePath();
    }
    QByteArray journal;
    for (const sim::JournalEntry &entry : qAsConst(result->journal))
        journal += journalLine(entry).toUtf8() + '\n';
    if (const Result saved = files.writeFile(base + QStringLiteral(".journal.jsonl"), journal); !saved)
        return saved;
    result->journalPath = QDir(base + QStringLiteral(".journal.jsonl")).absolutePath();
    return Result::ok();
}

Result writeJUnit(const OutputFiles &files, const QString &path, const QList<ScenarioResult> &results)
{
    int failures = 0, errors = 0;
    qint64 ms = 0;
    for (const ScenarioResult &r : results) {
        failures += !r.failure.isEmpty() && !r.error;
        errors += r.error;
        ms += r.ms;
    }
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("testsuites"));
    xml.writeStartElement(QStringLiteral("testsuite"));
    xml.writeAttribute(QStringLiteral("name"), QStringLiteral("scenarios"));
    xml.writeAttribute(QStringLiteral("tests"), QString::number(results.size()));
    xml.writeAttribute(QStringLiteral("failures"), QString::number(failures));
    xml.writeAttribute(QStringLiteral("errors"), QString::number(errors));
    xml.writeAttribute(QStringLiteral("time"), QString::number(ms / 1000.0));
    for (const ScenarioResult &r : results) {
        xml.writeStartElement(QStringLiteral("testcase"));
        xml.writeAttribute(QStringLiteral("classname"), r.file);
        xml.writeAttribute(QStringLiteral("name"), r.name);
        xml.writeAttribute(QStringLiteral("time"), QString::number(r.ms / 1000.0));
        if (!r.failure.isEmpty()) {
            xml.writeStartElement(r.error ? QStringLiteral("error") : QStringLiteral("failure"));
            xml.writeAttribute(QStringLiteral("message"), r.failure);
            xml.writeEndElement();
        }
        QString out;
        for (const QString &attached : {r.picturePath, r.journalPath})
            if (!attached.isEmpty())
                out += QStringLiteral("[[ATTACHMENT|%1]]\n").arg(attached);
        if (!out.isEmpty())
            xml.writeTextElement(QStringLiteral("system-out"), out);
        xml.writeEndElement();
    }
    xml.writeEndDocument();
    return files.writeFile(path, bytes);
}
