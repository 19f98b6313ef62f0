// The run as one page, read like a log: a summary linking to each failure, then each scenario's
// steps in their written order with when they began and how long they took, the pictures it
// took, the screen at its failure, its journal as a table to filter by kind, and a timeline of its
// steps. Every text from a scenario or the journal is escaped and joined, never used as a format.

#include "engine/outputfiles.h"
#include "engine/report.h"

#include <QDir>
#include <QMap>
#include <QStringList>

namespace {

QString esc(const QString &text)
{
    return text.toHtmlEscaped();
}

QString num(qint64 n)
{
    return QString::number(n);
}

QString seconds(qint64 ms)
{
    return QString::number(ms / 1000.0, 'f', 3);
}

QString image(const QByteArray &png, const QString &alt)
{
    return QStringLiteral("<img alt=\"") + esc(alt) + QStringLiteral("\" src=\"data:image/png;base64,")
           + QString::fromLatin1(png.toBase64()) + QStringLiteral("\">");
}

const char *const style =
    "body{font:14px sans-serif;margin:2em;max-width:80em}h2.failed,li.failed,td.failed,td.error{color:#b00}"
    "h2.passed,li.passed{color:#070}table{border-collapse:collapse;margin:.5em 0}"
    "td,th{border:1px solid #ccc;padding:2px 6px;vertical-align:top;text-align:left}td.n{text-align:right}"
    "tr.failed td,tr.error td{background:#fdd}code{white-space:pre-wrap}img{max-width:100%;border:1px solid #999}"
    "div.journal{max-height:30em;overflow:auto}label{margin-right:1em}section{margin-bottom:3em}"
    "svg text{font:11px sans-serif}";

// Hides the journal's rows of a kind whose box is unticked.
const char *const script =
    "function filterJournal(box){var t=document.getElementById(box.dataset.table);"
    "t.querySelectorAll('tr[data-kind=\"'+box.value+'\"]').forEach(function(r){r.hidden=!box.checked;});}";

QString stepTable(const ScenarioResult &r, const QString &id)
{
    QString out = QStringLiteral("<table><tr><th>step</th><th>line</th><th>began at (s, controller clock)</th>"
                                 "<th>took (ms)</th><th>outcome</th><th>step as written</th></tr>\n");
    for (const StepResult &s : r.steps) {
        const QString row = id + QStringLiteral("-step") + num(s.number);
        out += QStringLiteral("<tr id=\"") + row + QStringLiteral("\" class=\"") + esc(verdictName(s.verdict)) + QStringLiteral("\"><td class=n>")
               + num(s.number) + QStringLiteral("</td><td class=n>") + num(s.line) + QStringLiteral("</td><td class=n>")
               + seconds(s.clockMs) + QStringLiteral("</td><td class=n>") + num(s.ms) + QStringLiteral("</td><td class=\"")
               + esc(verdictName(s.verdict)) + QStringLiteral("\">") + esc(verdictName(s.verdict)) + QStringLiteral("</td><td><code>") + esc(s.text)
               + QStringLiteral("</code></td></tr>\n");
        if (!s.picture.isEmpty())
            out += QStringLiteral("<tr><td colspan=6><details open><summary>") + esc(s.pictureName)
                   + QStringLiteral("</summary>") + image(s.picture, s.pictureName) + QStringLiteral("</details></td></tr>\n");
    }
    return out + QStringLiteral("</table>\n");
}

// The journal's entries as rows: time, kind, the call or the file, the text.
QString journalTable(const QList<sim::JournalEntry> &journal, const QString &id)
{
    QString rows;
    QMap<QString, int> kinds;
    for (const sim::JournalEntry &entry : journal) {
        QString what = entry.fields.value(QStringLiteral("path")).toString();
        if (what.isEmpty() && entry.kind == QLatin1String("call"))
            what = entry.text.section(QLatin1Char('('), 0, 0);
        ++kinds[entry.kind];
        rows += QStringLiteral("<tr data-kind=\"") + esc(entry.kind) + QStringLiteral("\"><td class=n>") + seconds(entry.clockMs)
                + QStringLiteral("</td><td>") + esc(entry.kind) + QStringLiteral("</td><td>") + esc(what) + QStringLiteral("</td><td><code>")
                + esc(entry.text) + QStringLiteral("</code></td></tr>\n");
    }
    const QString table = id + QStringLiteral("-journal");
    QString out = QStringLiteral("<p>");
    for (auto it = kinds.cbegin(); it != kinds.cend(); ++it)
        out += QStringLiteral("<label><input type=checkbox checked value=\"") + esc(it.key()) + QStringLiteral("\" data-table=\"")
               + table + QStringLiteral("\" onchange=\"filterJournal(this)\"> ") + esc(it.key()) + QStringLiteral(" (")
               + num(it.value()) + QStringLiteral(")</label>");
    return out + QStringLiteral("</p>\n<div class=journal><table id=\"") + table
           + QStringLiteral("\"><tr><th>s</th><th>kind</th><th>call or file</th><th>text</th></tr>\n") + rows
           + QStringLiteral("</table></div>\n");
}

// Each step as a bar from its start to its end on the scenario's own clock, with an axis.
QString timeline(const ScenarioResult &r)
{
    if (r.steps.isEmpty())
        return QString();
    qint64 end = 1;
    for (const StepResult &s : r.steps)
        end = qMax(end, s.startMs + s.ms);
    const int width = 900, left = 260, row = 16, top = 24;
    const double scale = double(width - left - 20) / double(end);
    const int height = top + row * int(r.steps.size()) + 8;
    QString svg = QStringLiteral("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"") + num(width) + QStringLiteral("\" height=\"")
                  + num(height) + QStringLiteral("\">");
    // The axis: ten ticks over the run, in seconds.
    for (int tick = 0; tick <= 10; ++tick) {
        const double x = left + tick * (width - left - 20) / 10.0;
        svg += QStringLiteral("<line x1=\"") + QString::number(x) + QStringLiteral("\" y1=\"16\" x2=\"") + QString::number(x)
               + QStringLiteral("\" y2=\"") + num(height) + QStringLiteral("\" stroke=\"#ddd\"/><text x=\"") + QString::number(x - 10)
               + QStringLiteral("\" y=\"12\">") + seconds(end * tick / 10) + QStringLiteral(" s</text>");
    }
    for (int i = 0; i < r.steps.size(); ++i) {
        const StepResult &s = r.steps.at(i);
        const int y = top + row * i;
        const QString colour = s.verdict == Verdict::Held ? QStringLiteral("#7b7") : QStringLiteral("#d66");
        svg += QStringLiteral("<text x=\"2\" y=\"") + num(y + 11) + QStringLiteral("\">") + esc(num(s.number) + QStringLiteral(" ") + s.text.left(40))
               + QStringLiteral("</text><rect x=\"") + QString::number(left + s.startMs * scale) + QStringLiteral("\" y=\"") + num(y + 2)
               + QStringLiteral("\" width=\"") + QString::number(qMax(2.0, s.ms * scale)) + QStringLiteral("\" height=\"12\" fill=\"")
               + colour + QStringLiteral("\"><title>") + esc(s.text) + QStringLiteral(": ") + num(s.ms) + QStringLiteral(" ms</title></rect>");
    }
    return svg + QStringLiteral("</svg>\n");
}

} // namespace

Result writeHtml(const OutputFiles &files, const QString &dir, const QList<ScenarioResult> &results)
{
    int passed = 0;
    for (const ScenarioResult &r : results)
        passed += r.failure.isEmpty();
    const QString title = QStringLiteral("Scenarios: ") + num(passed) + QStringLiteral(" of ") + num(results.size()) + QStringLiteral(" passed");
    QString page = QStringLiteral("<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>") + title
                   + QStringLiteral("</title>\n<style>") + QLatin1String(style) + QStringLiteral("</style><script>")
                   + QLatin1String(script) + QStringLiteral("</script></head><body>\n<h1>") + title + QStringLiteral("</h1>\n<ul>\n");
    for (int i = 0; i < results.size(); ++i) {
        const ScenarioResult &r = results.at(i);
        const QString id = QStringLiteral("s") + num(i + 1);
        const bool ok = r.failure.isEmpty();
        page += QStringLiteral("<li class=\"") + (ok ? QStringLiteral("passed") : QStringLiteral("failed")) + QStringLiteral("\"><a href=\"#")
                + id + QStringLiteral("\">") + esc(r.name) + QStringLiteral("</a>: ")
                + (ok ? QStringLiteral("passed") : r.error ? QStringLiteral("could not run") : QStringLiteral("failed")) + QStringLiteral(" in ")
                + num(r.ms) + QStringLiteral(" ms");
        if (!ok)
            page += QStringLiteral(" (<a href=\"#") + id + QStringLiteral("-failure\">the failure</a>)");
        page += QStringLiteral("</li>\n");
    }
    page += QStringLiteral("</ul>\n");
    for (int i = 0; i < results.size(); ++i) {
        const ScenarioResult &r = results.at(i);
        const QString id = QStringLiteral("s") + num(i + 1);
        const bool ok = r.failure.isEmpty();
        page += QStringLiteral("<section id=\"") + id + QStringLiteral("\"><h2 class=\"") + (ok ? QStringLiteral("passed") : QStringLiteral("failed"))
                + QStringLiteral("\">") + esc(r.name) + QStringLiteral("</h2>\n<p>") + esc(r.file) + QStringLiteral(", ") + num(r.ms)
                + QStringLiteral(" ms</p>\n");
        if (!ok) {
            page += QStringLiteral("<p id=\"") + id + QStringLiteral("-failure\"><b>") + esc(r.failure) + QStringLiteral("</b>");
            for (const StepResult &s : r.steps)
                if (s.verdict == Verdict::Failed || s.verdict == Verdict::Error)
                    page += QStringLiteral(" <a href=\"#") + id + QStringLiteral("-step") + num(s.number) + QStringLiteral("\">step ")
                            + num(s.number) + QStringLiteral("</a>");
            page += QStringLiteral("</p>\n");
        }
        page += stepTable(r, id);
        if (!r.picture.isEmpty())
            page += QStringLiteral("<h3>The screen at the failure</h3>\n") + image(r.picture, QStringLiteral("the screen at the failure"))
                    + QLatin1Char('\n');
        if (!ok)
            page += QStringLiteral("<h3>The journal up to the failure</h3>\n") + journalTable(r.journal, id);
        page += QStringLiteral("<h3>The steps in time</h3>\n") + timeline(r);
        page += QStringLiteral("</section>\n");
    }
    page += QStringLiteral("</body></html>\n");
    return files.writeFile(QDir(dir).filePath(QStringLiteral("index.html")), page.toUtf8());
}
