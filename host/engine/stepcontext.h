#pragma once

#include "engine/scenariostep.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonValue>
#include <QMap>
#include <QSet>
#include <QString>

class ModuleSession;
class OutputFiles;
class Stage;
class QWidget;

// What a step's handler may touch: the screen it acts on, the trees of the scenario, how far
// the step has come, and the pace. The runner owns what the pointers name.
struct StepContext
{
    // The screen.
    Stage *stage = nullptr;
    ModuleSession *session = nullptr;
    bool screenClosed = false; // the panel or the module closed the screen
    // The trees: "controller", "panel" and "outside" below workDir; the pictures' folder.
    QString workDir;
    QString shotDir;
    const OutputFiles *files = nullptr; // every file a step writes or removes goes through it
    QMap<QString, QByteArray> before; // the trees as the screen had opened, when a step compares
    // The set-up's auto-start flags, which stand over what the service reads as the screen opens.
    QJsonArray setupAutoStart;
    bool inSetup = false;
    // The step taken now: its phase (0 when it begins; a step that acts in phases counts it) and
    // the milliseconds since it began.
    int phase = 0;
    qint64 elapsedMs = 0;
    // A picture the step took, for the report, with its name.
    QString pictureName;
    QByteArray picture;
    double pace = 1; // stretches every wait
    QSet<QString> seen; // the names found on the screen since the scenario began

    // The file a tree path ("controller:/a.xml") names.
    QString resolve(const QString &treePath) const;
    // ${panel}, ${controller} and ${repeat:TEXT:N} replaced, in a text or a list of texts.
    QJsonValue substituted(const QJsonValue &value) const;
    // The widget of that name: in the open dialog first, then shown on the screen, then anywhere
    // on it. When there is none, the step fails if the name was on the screen before (a page left,
    // a dialog closed), and cannot run if the screen never had it, naming the nearest names.
    StepOutcome findWidget(const QString &name, QWidget **found);
    // Every file, folder and link of the trees, by its path below workDir.
    QMap<QString, QByteArray> snapshot() const;
};

// Files of the process can grow to only this many bytes, as on a full disk; below 0, as before.
void limitFileSize(qint64 bytes);

// Each kind of step is one function, grouped by what it touches.
namespace operatorsteps {
StepOutcome press(StepContext &c, const QJsonObject &step);
StepOutcome reserve(StepContext &c, const QJsonObject &step);
StepOutcome cancel(StepContext &c, const QJsonObject &step);
StepOutcome choose(StepContext &c, const QJsonObject &step);
StepOutcome type(StepContext &c, const QJsonObject &step);
StepOutcome clickCell(StepContext &c, const QJsonObject &step);
StepOutcome pick(StepContext &c, const QJsonObject &step);
StepOutcome answer(StepContext &c, const QJsonObject &step);
StepOutcome closeScreen(StepContext &c, const QJsonObject &step);
} // namespace operatorsteps

namespace simulatorsteps {
StepOutcome connect(StepContext &c, const QJsonObject &step);
StepOutcome fault(StepContext &c, const QJsonObject &step);
StepOutcome robotRunning(StepContext &c, const QJsonObject &step);
StepOutcome input(StepContext &c, const QJsonObject &step);
StepOutcome binary(StepContext &c, const QJsonObject &step);
StepOutcome runTime(StepContext &c, const QJsonObject &step);
StepOutcome softPlcAutoStart(StepContext &c, const QJsonObject &step);
StepOutcome advance(StepContext &c, const QJsonObject &step);
StepOutcome write(StepContext &c, const QJsonObject &step);
StepOutcome remove(StepContext &c, const QJsonObject &step);
StepOutcome link(StepContext &c, const QJsonObject &step);
StepOutcome programs(StepContext &c, const QJsonObject &step);
StepOutcome diskLimit(StepContext &c, const QJsonObject &step);
StepOutcome wait(StepContext &c, const QJsonObject &step);
StepOutcome screenshot(StepContext &c, const QJsonObject &step);
} // namespace simulatorsteps

namespace screenexpectations {
StepOutcome text(StepContext &c, const QJsonObject &step);
StepOutcome enabled(StepContext &c, const QJsonObject &step);
StepOutcome shown(StepContext &c, const QJsonObject &step);
StepOutcome rows(StepContext &c, const QJsonObject &step);
StepOutcome lamp(StepContext &c, const QJsonObject &step);
StepOutcome page(StepContext &c, const QJsonObject &step);
StepOutcome screen(StepContext &c, const QJsonObject &step);
StepOutcome box(StepContext &c, const QJsonObject &step);
StepOutcome boxes(StepContext &c, const QJsonObject &step);
} // namespace screenexpectations

namespace controllerexpectations {
StepOutcome file(StepContext &c, const QJsonObject &step);
StepOutcome queue(StepContext &c, const QJsonObject &step);
StepOutcome slot(StepContext &c, const QJsonObject &step);
StepOutcome service(StepContext &c, const QJsonObject &step);
StepOutcome robot(StepContext &c, const QJsonObject &step);
StepOutcome calls(StepContext &c, const QJsonObject &step);
StepOutcome unchanged(StepContext &c, const QJsonObject &step);
} // namespace controllerexpectations

// A value as a failure shows it: a text quoted, anything else as JSON; a long one cut.
QString shownValue(const QJsonValue &value);
// Held when found is what was expected (after substitution), else not yet, saying both.
StepOutcome compared(const StepContext &c, const QString &what, const QJsonValue &expected, const QJsonValue &found);
