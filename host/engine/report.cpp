#include "engine/report.h"

#include "engine/outputfiles.h"

#include <QDir>
#include <QRegularExpression>
#include <QXmlStreamWriter>

namespace {

QString fileName(int index, const QString &name)
{
    QString plain = name;
    plain.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9_-]+")), QStringLiteral("-"));
    return QStringLiteral("%1-%2").arg(index + 1, 2, 10, QLatin1Char('0')).arg(plain.left(60));
}

QString html(const QString &text)
{
    return text.toHtmlEscaped();
}

QString image(const QByteArray &png, const QString &alt)
{
    return QStringLiteral("<img alt=\"%1\" src=\"data:image/png;base64,%2\">").arg(html(alt), QString::fromLatin1(png.toBase64()));
}

} // namespace

Result saveFailure(const OutputFiles &files, ScenarioResult *result, int index, const QString &dir)
{
    if (dir.isEmpty() || result->failure.isEmpty())
        return Result::ok();
    const QString base = QDir(dir).filePath(fileName(index, result->name) + QStringLiteral("-failure"));
    if (!result->picture.isEmpty()) {
        if (const Result saved = files.writeFile(base + QStringLiteral(".png"), result->picture); !saved)
            return saved;
        result->picturePath = QDir(base + QStringLiteral(".png")).absolutePath();
    }
    if (const Result saved = files.writeFile(base + QStringLiteral(".journal.jsonl"), result->journal.toUtf8()); !saved)
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

Result writeHtml(const OutputFiles &files, const QString &dir, const QList<ScenarioResult> &results)
{
    int passed = 0;
    for (const ScenarioResult &r : results)
        passed += r.failure.isEmpty();
    QString page = QStringLiteral(
        "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Scenarios: %1 of %2 passed</title>\n<style>"
        "body{font:14px sans-serif;margin:2em}h2.failed{color:#b00}h2.passed{color:#070}"
        "table{border-collapse:collapse}td,th{border:1px solid #ccc;padding:2px 6px;vertical-align:top}"
        "td.held{background:#efe}td.failed,td.error{background:#fdd}code{white-space:pre-wrap}"
        "pre{max-height:30em;overflow:auto;background:#f6f6f6;padding:6px}img{max-width:100%;border:1px solid #999}"
        "</style></head><body>\n<h1>Scenarios: %1 of %2 passed</h1>\n")
                       .arg(passed)
                       .arg(results.size());
    for (const ScenarioResult &r : results) {
        const bool ok = r.failure.isEmpty();
        // One pass of arguments: a scenario's own text may hold "%1" and is never read as a format.
        page += QStringLiteral("<h2 class=\"%1\">%2: %3 (%4 ms)</h2>\n<p>%5</p>\n")
                    .arg(ok ? QStringLiteral("passed") : QStringLiteral("failed"), html(r.name),
                         ok ? QStringLiteral("passed") : r.error ? QStringLiteral("could not run") : QStringLiteral("failed"),
                         QString::number(r.ms), html(r.file));
        if (!ok)
            page += QStringLiteral("<p><b>%1</b></p>\n").arg(html(r.failure));
        page += QStringLiteral("<table><tr><th>step</th><th>line</th><th>outcome</th><th>ms</th><th>step as written</th></tr>\n");
        for (const StepResult &s : r.steps)
            page += QStringLiteral("<tr><td>%1</td><td>%2</td><td class=\"%3\">%3</td><td>%4</td><td><code>%5</code></td></tr>\n")
                        .arg(QString::number(s.number), QString::number(s.line), s.outcome, QString::number(s.ms), html(s.text));
        page += QStringLiteral("</table>\n");
        if (!r.picture.isEmpty())
            page += QStringLiteral("<h3>The screen at the failure</h3>\n") + image(r.picture, QStringLiteral("the screen")) + QLatin1Char('\n');
        if (!ok)
            page += QStringLiteral("<h3>The journal up to the failure</h3>\n<pre>%1</pre>\n").arg(html(r.journal));
        if (!r.timeline.isEmpty())
            page += QStringLiteral("<h3>The run timeline</h3>\n") + image(r.timeline, QStringLiteral("the run timeline")) + QLatin1Char('\n');
    }
    page += QStringLiteral("</body></html>\n");
    return files.writeFile(QDir(dir).filePath(QStringLiteral("index.html")), page.toUtf8());
}
