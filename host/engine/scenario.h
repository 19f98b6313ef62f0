#pragma once

#include "treefiles/result.h"

#include <QJsonObject>
#include <QList>
#include <QString>

struct StepDef;

// One step of a scenario, as written: its kind is the key that names it ("press", "expect",
// "fault", ...), args the whole object, def what it is.
struct ScenarioStep
{
    QString kind;
    const StepDef *def = nullptr;
    QJsonObject args;
    int number = 0; // counted from 1 over the set-up and the steps together
    int line = 0;
    // The step on one line, as the file has it.
    QString text() const;
    // Where it stands: "file:line, step N".
    QString where(const QString &file) const;
};

// A road through the screen: the controller it starts from, what is set up before the screen
// opens, and the steps.
struct Scenario
{
    QString file;
    QString name;
    QString controller; // absolute folder copied as the controller's store
    QString panel;      // absolute folder copied as the panel's tree; none when empty
    QString language;   // the panel's language it was recorded in, if it says
    QList<ScenarioStep> setup;
    QList<ScenarioStep> steps;
};

// A scenario file larger than this is refused unread: the longest recording of a shift is far
// smaller.
constexpr qint64 maxScenarioSize = 16 << 20;

// Reads and checks a scenario file. "sample" as the controller means sampleController; any
// other folder is relative to the file. A failure names the file, the line and the step when the
// file does not parse or holds a step or a field that no runner knows.
// The steps are checked against defs, a runner's steps.
Result loadScenario(const QString &path, const QString &sampleController, const QList<StepDef> &defs,
                    Scenario *scenario);


