#pragma once

#include "treefiles/result.h"

#include "journal.h"

#include <QByteArray>
#include <QList>
#include <QString>

class OutputFiles;

// How a step came out: still running, held, failed (what it expects did not hold), could not be
// taken as written, or stopped by the end of its scenario before it held.
enum class Verdict { Running, Held, Failed, Error, Stopped };
// Its name in the reports: "running", "held", "failed", "error", "stopped".
QString verdictName(Verdict verdict);

// How one step of a scenario came out.
struct StepResult
{
    int number = 0;
    int line = 0;
    QString text;    // the step as the file has it
    Verdict verdict = Verdict::Running;
    qint64 ms = 0;          // how long it took, its waits included
    qint64 clockMs = 0;     // when it began, on the controller's clock
    qint64 startMs = 0;     // when it began, since the scenario did
    QString pictureName;    // a screenshot step's picture, as PNG
    QByteArray picture;
};

// How one scenario came out, with what a failure leaves to look at.
struct ScenarioResult
{
    QString name;
    QString file;
    qint64 ms = 0;
    QString failure;  // empty when every step held
    bool error = false; // the scenario could not run as written
    QList<StepResult> steps;
    QByteArray picture;  // PNG of the screen, with its box, at the failure
    QList<sim::JournalEntry> journal; // the journal up to the failure, as entries until written
    QString picturePath; // where the picture and the journal were saved, if they were
    QString journalPath;
    QString saveError;   // why they could not be saved, if they could not
};

// Saves a failed scenario's picture and journal into dir as <file>-<digest>-failure.png and
// .journal.jsonl, named after the scenario's file and its whole path, and notes their paths in
// the result.
Result saveFailure(const OutputFiles &files, ScenarioResult *result, const QString &dir);
// A JUnit XML report; a failure's picture and journal are attached as Jenkins and GitLab read
// attachments ("[[ATTACHMENT|path]]" in the test case's output).
Result writeJUnit(const OutputFiles &files, const QString &path, const QList<ScenarioResult> &results);
// One page that opens in a browser with nothing beside it: every scenario, every step with its
// outcome and time, a failure's picture and journal, and the run timeline.
Result writeHtml(const OutputFiles &files, const QString &dir, const QList<ScenarioResult> &results);
