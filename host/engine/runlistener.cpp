#include "engine/runlistener.h"

#include "engine/scenario.h"

void ConsoleReport::line(const QString &text) const
{
    std::fprintf(m_out, "%s\n", text.toUtf8().constData());
    std::fflush(m_out);
}

void ConsoleReport::scenarioBegun(const Scenario &scenario)
{
    line(QStringLiteral("scenario \"%1\" (%2)").arg(scenario.name, scenario.file));
}

void ConsoleReport::stepBegun(const Scenario &, const ScenarioStep &step)
{
    if (m_verbose)
        line(QStringLiteral("  step %1 (line %2): %3").arg(step.number).arg(step.line).arg(step.text()));
}

void ConsoleReport::scenarioEnded(const ScenarioResult &result)
{
    if (!result.failure.isEmpty())
        line(QStringLiteral("  FAILED: ") + result.failure);
    if (!result.saveError.isEmpty())
        line(QStringLiteral("  the failure cannot be saved: ") + result.saveError);
    else if (!result.picturePath.isEmpty())
        line(QStringLiteral("  the screen at the failure: ") + result.picturePath);
    line(QStringLiteral("  %1 in %2 ms").arg(result.failure.isEmpty() ? QStringLiteral("passed") : QStringLiteral("failed")).arg(result.ms));
}

void ConsoleReport::runEnded(const QList<ScenarioResult> &results)
{
    int passed = 0;
    for (const ScenarioResult &result : results)
        passed += result.failure.isEmpty();
    line(QStringLiteral("virtualpanel: %1 of %2 scenarios passed").arg(passed).arg(results.size()));
}

void FileReports::runEnded(const QList<ScenarioResult> &results)
{
    if (!m_junit.isEmpty())
        if (const Result written = writeJUnit(m_files, m_junit, results); !written)
            m_failures << QStringLiteral("--report: ") + written.error();
    if (!m_html.isEmpty())
        if (const Result written = writeHtml(m_files, m_html, results); !written)
            m_failures << QStringLiteral("--html-report: ") + written.error();
}
