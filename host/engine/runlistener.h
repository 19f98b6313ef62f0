#pragma once

#include "engine/report.h"
#include "treefiles/result.h"

#include <QList>
#include <cstdio>

class OutputFiles;
struct Scenario;
struct ScenarioStep;

// What a run of scenarios tells whoever reports on it, in this order: the run begun, each
// scenario begun, each step begun and ended, each scenario ended (its failure's picture and
// journal saved by then), the run ended; and the controller's journal entry by entry as it
// comes. The console, the JUnit and the HTML reports and the journal file each listen; none of
// them is told anything another is not.
class RunListener
{
public:
    virtual ~RunListener() = default;
    virtual void runBegun(const QList<Scenario> &) {}
    virtual void scenarioBegun(const Scenario &) {}
    virtual void stepBegun(const Scenario &, const ScenarioStep &) {}
    virtual void stepEnded(const Scenario &, const StepResult &) {}
    virtual void scenarioEnded(const ScenarioResult &) {}
    // An entry of the controller's journal as it comes, between the steps' news.
    virtual void journalled(const sim::JournalEntry &) {}
    virtual void runEnded(const QList<ScenarioResult> &) {}
};

// The run as a terminal shows it: a line a scenario and its outcome, a failure with where its
// picture went, every step as it begins when verbose, and how many passed.
class ConsoleReport : public RunListener
{
public:
    ConsoleReport(std::FILE *out, bool verbose) : m_out(out), m_verbose(verbose) {}
    void scenarioBegun(const Scenario &scenario) override;
    void stepBegun(const Scenario &scenario, const ScenarioStep &step) override;
    void scenarioEnded(const ScenarioResult &result) override;
    void runEnded(const QList<ScenarioResult> &results) override;

private:
    void line(const QString &text) const;
    std::FILE *m_out;
    bool m_verbose;
};

// The JUnit XML report and the HTML page, written once the run has ended; what went wrong in
// writing them is kept for the run's exit code.
class FileReports : public RunListener
{
public:
    FileReports(const OutputFiles &files, const QString &junit, const QString &htmlDir)
        : m_files(files), m_junit(junit), m_html(htmlDir)
    {
    }
    void runEnded(const QList<ScenarioResult> &results) override;
    // Each report that could not be written, as "--report: why".
    QStringList failures() const { return m_failures; }

private:
    const OutputFiles &m_files;
    QString m_junit;
    QString m_html;
    QStringList m_failures;
};
