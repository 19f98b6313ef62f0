#include "engine/scenario.h"

#include "engine/steps.h"
#include "treefiles/folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>

namespace {

// The line of a \u escape that is half of a character, a high surrogate not followed by a low
// one or a low one alone; 0 when there is none. A lone \udc80 to \udcff is no half: it is a byte
// that is no part of UTF-8 (0x80 to 0xff), as a name on a controller may hold one, in the form the
// screen's texts keep it. The text has parsed, so a backslash stands only in a text, before the
// character it escapes.
int loneSurrogateLine(const QByteArray &text)
{
    auto unit = [&text](int at) { return at + 6 <= text.size() && text.at(at) == '\\' && text.at(at + 1) == 'u'
                                             ? text.mid(at + 2, 4).toInt(nullptr, 16) : -1; };
    for (int i = 0; i < text.size(); ++i) {
        if (text.at(i) != '\\')
            continue;
        const int code = unit(i);
        if (code >= 0xD800 && code <= 0xDBFF) {
            const int next = unit(i + 6);
            if (next < 0xDC00 || next > 0xDFFF)
                return text.left(i).count('\n') + 1;
            i += 11;
        } else if (code >= 0xDC00 && code <= 0xDFFF && !(code >= 0xDC80 && code <= 0xDCFF)) {
            return text.left(i).count('\n') + 1;
        } else {
            ++i; // the escaped character
        }
    }
    return 0;
}

// Every step's name as a file writes it ("press", "expect text"), the old names too.
QStringList stepNames(const QList<StepDef> &defs)
{
    QStringList names;
    for (const StepDef &def : defs)
        names << def.name << def.aliases;
    return names;
}


// The line each element of a top-level array starts on. QJsonDocument keeps no positions, so
// the text is walked once more for them; it has parsed already, so it is well formed.
QList<int> elementLines(const QByteArray &text, const QString &key)
{
    QList<int> lines;
    int line = 1, depth = 0;
    bool inString = false, wanted = false, inWanted = false, expectElement = false;
    QByteArray lastString, current;
    for (int i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\n')
            ++line;
        if (inString) {
            if (c == '\\')
                current += text[++i];
            else if (c == '"') {
                inString = false;
                lastString = current;
            } else
                current += c;
            continue;
        }
        if (expectElement && !QChar::isSpace(uchar(c))) {
            if (c != ']')
                lines << line;
            expectElement = false;
        }
        switch (c) {
        case '"':
            inString = true;
            current.clear();
            break;
        case ':':
            wanted = depth == 1 && lastString == key.toUtf8();
            break;
        case '[':
        case '{':
            ++depth;
            if (c == '[' && wanted && depth == 2) {
                inWanted = true;
                expectElement = true;
            }
            wanted = false;
            break;
        case ']':
        case '}':
            if (--depth == 1)
                inWanted = false;
            break;
        case ',':
            expectElement = inWanted && depth == 2;
            break;
        }
    }
    return lines;
}

bool readSteps(const QList<StepDef> &defs, const QJsonObject &root, const QByteArray &text, const QString &key,
               int first, QList<ScenarioStep> *steps, QString *error, const QString &path)
{
    const QJsonValue value = root.value(key);
    if (value.isUndefined())
        return true;
    if (!value.isArray()) {
        *error = QStringLiteral("%1: \"%2\" is not a list of steps").arg(path, key);
        return false;
    }
    const QJsonArray array = value.toArray();
    const QList<int> lines = elementLines(text, key);
    for (int i = 0; i < array.size(); ++i) {
        ScenarioStep step;
        step.number = first + i;
        step.line = lines.value(i);
        step.args = array.at(i).toObject();
        step.def = findStep(defs, step.args, &step.kind);
        QString problem;
        if (!array.at(i).isObject() || step.args.isEmpty())
            problem = QStringLiteral("a step is an object such as {\"press\": \"runOrStopButton\"}");
        else if (!step.def && step.args.contains(QStringLiteral("expect")))
            problem = QStringLiteral("unknown step \"expect %1\"").arg(step.args.value(QStringLiteral("expect")).toString())
                      + nearestNames(QStringLiteral("expect ") + step.args.value(QStringLiteral("expect")).toString(), stepNames(defs));
        else if (!step.def)
            problem = QStringLiteral("unknown step \"%1\"").arg(step.args.begin().key())
                      + nearestNames(step.args.begin().key(), stepNames(defs));
        else
            problem = stepProblem(*step.def, step.kind, step.args, key == QLatin1String("setup"));
        if (!problem.isEmpty()) {
            *error = QStringLiteral("%1: %2").arg(step.where(path), problem);
            return false;
        }
        steps->append(step);
    }
    return true;
}

} // namespace

QString ScenarioStep::text() const
{
    return QString::fromUtf8(QJsonDocument(args).toJson(QJsonDocument::Compact));
}

QString ScenarioStep::where(const QString &file) const
{
    return QStringLiteral("%1:%2, step %3").arg(file, QString::number(line), QString::number(number));
}

Result loadScenario(const QString &path, const QString &sampleController, const QList<StepDef> &defs,
                    Scenario *scenario)
{
    QString error;
    QByteArray text;
    QString why;
    if (!treefiles::readGiven(path, maxScenarioSize, &text, &why))
        return Result::failure(QStringLiteral("%1: cannot be read: %2").arg(path, why));
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(text, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        const int line = text.left(parseError.offset).count('\n') + 1;
        return Result::failure(QStringLiteral("%1:%2: %3").arg(path, QString::number(line), parseError.errorString()));
    }
    if (const int line = loneSurrogateLine(text); line > 0)
        return Result::failure(QStringLiteral("%1:%2: a text holds half of a character (a \\u escape of a lone surrogate); "
                                              "write the whole character, or a byte that is no UTF-8 as \\udc80 to \\udcff").arg(path, QString::number(line)));
    if (!doc.isObject())
        return Result::failure(QStringLiteral("%1:1: a scenario is an object with a name and steps").arg(path));
    const QJsonObject root = doc.object();
    for (auto it = root.begin(); it != root.end(); ++it) {
        const QStringList fields{"name", "controller", "panel", "language", "setup", "steps"};
        if (!fields.contains(it.key()))
            return Result::failure(QStringLiteral("%1: unknown field \"%2\"").arg(path, it.key()) + nearestNames(it.key(), fields));
        if (!QStringList{"setup", "steps"}.contains(it.key()) && !it.value().isString())
            return Result::failure(QStringLiteral("%1: \"%2\" is a text").arg(path, it.key()));
    }
    scenario->file = path;
    scenario->name = root.value(QStringLiteral("name")).toString(QFileInfo(path).completeBaseName());
    scenario->language = root.value(QStringLiteral("language")).toString();
    const QString controller = root.value(QStringLiteral("controller")).toString(QStringLiteral("sample"));
    scenario->controller = controller == QLatin1String("sample")
                               ? sampleController
                               : QFileInfo(path).absoluteDir().absoluteFilePath(controller);
    if (!QFileInfo(scenario->controller).isDir())
        return Result::failure(QStringLiteral("%1: the controller folder %2 does not exist").arg(path, scenario->controller));
    // A panel tree to start from, as a recording carries it; the panel's bare folders otherwise.
    const QString panel = root.value(QStringLiteral("panel")).toString();
    scenario->panel = panel.isEmpty() ? QString() : QFileInfo(path).absoluteDir().absoluteFilePath(panel);
    if (!panel.isEmpty() && !QFileInfo(scenario->panel).isDir())
        return Result::failure(QStringLiteral("%1: the panel folder %2 does not exist").arg(path, scenario->panel));
    scenario->setup.clear();
    scenario->steps.clear();
    if (!readSteps(defs, root, text, QStringLiteral("setup"), 1, &scenario->setup, &error, path)
        || !readSteps(defs, root, text, QStringLiteral("steps"), scenario->setup.size() + 1, &scenario->steps, &error, path))
        return Result::failure(error);
    return Result::ok();
}
