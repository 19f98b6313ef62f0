#pragma once

#include "engine/scenariostep.h"

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

struct StepContext;

// The kinds of value a step's fields take.
enum class FieldType {
    Text,
    Texts,        // a list of texts
    Path,         // a file in one of the trees: "controller:/...", "panel:/..." or "outside:/..."
    PictureName,  // a plain file name, in the screenshots folder
    WholeNumber,  // between min and max
    WholeNumbers, // a list of them
    Flag,         // true or false
    Flags,        // a list of them
    NumberOrOff,  // a whole number, or false
    Choice,       // one of choices
    CallNames,    // a list of the platform's entry points, as the call log names them
};

struct StepField
{
    QString name;
    FieldType type = FieldType::Text;
    bool required = false;
    QString help;
    QStringList choices = {};
    qint64 min = 0;
    qint64 max = 2147483647;
};

// One kind of step, declared once: the reader checks a file against it, the runner takes it
// through it, the recorder writes it by it, and the reference and the schema are printed from it.
struct StepDef
{
    QString name;       // "press", or for an expectation "expect text"
    StepField value;    // what the step's own key holds
    bool inSetup = false; // may also come before the screen opens
    QList<StepField> fields;
    QString help;
    QString recorded;   // what the recorder writes it for; empty when it never does
    QStringList aliases = {}; // names it had before; files that use them keep playing
    StepOutcome (*run)(StepContext &, const QJsonObject &step) = nullptr;

    // The key that names the step in a file: "press", or "expect".
    QString key() const;
    const StepField *field(const QString &name) const;
};

// The steps a runner takes (stepDefs(), engine/stepregistry.h) are handed to what reads, checks, prints
// or writes steps.

// The kind a step object names (its first key that names one, or "expect" with its value), or
// null; *key is that key.
const StepDef *findStep(const QList<StepDef> &defs, const QJsonObject &step, QString *key);
const StepDef *findStepNamed(const QList<StepDef> &defs, const QString &name);
// " (did you mean ...?)" with the names nearest to name by spelling, or an empty text when none is
// near.
QString nearestNames(const QString &name, const QStringList &names);
// What is wrong with a field's value, or an empty text.
QString fieldProblem(const QString &step, const StepField &field, const QJsonValue &value);
// What is wrong with a step in a file, or an empty text.
QString stepProblem(const StepDef &def, const QString &key, const QJsonObject &step, bool inSetup);

// The reference of every step, as Markdown tables: virtualpanel --steps, and the README.
QString stepReference(const QList<StepDef> &defs);
// The same for a terminal: a section a step, wrapped at 100 columns.
QString stepManual(const QList<StepDef> &defs);
// The JSON Schema of a scenario file.
QJsonObject scenarioSchema(const QList<StepDef> &defs);

// A step as the recorder writes it; a step the reader would refuse is a fault of the recorder.
QJsonObject recordedStep(const QList<StepDef> &defs, const QString &name, const QJsonValue &value,
                         const QJsonObject &fields = {});

// A text as a message shows it: every character that shows nothing or looks like another
// (controls, format and combining marks, odd spaces, a byte that is no UTF-8 held as \udc80 to
// \udcff) and the backslash written as a JSON escape, so two different texts never look alike.
QString visibleText(const QString &text);
