#include "engine/scenario.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSet>

namespace {

// What a step's own key holds.
enum class Value { Text, Number, Flag, NumberOrOff };

struct StepKind
{
    const char *name; // the step's key; for expectations "expect <what>"
    Value value;
    bool inSetup;     // may also come before the screen opens
    const char *keys; // the other fields it takes; "!" marks those it needs
};

const StepKind stepKinds[] = {
    // The operator, on the screen; each waits up to "within" milliseconds for its widget.
    {"press", Value::Text, false, "within"},
    {"reserve", Value::Number, false, "within"},
    {"cancel", Value::Number, false, "within"},
    {"choose", Value::Text, false, "item index within"},
    {"type", Value::Text, false, "text! within"},
    {"clickCell", Value::Text, false, "row! column! within"},
    {"pick", Value::Text, false, "select within"},
    {"answer", Value::Text, false, "box within"},
    {"closeScreen", Value::Flag, false, ""},
    // The cell and the controller.
    {"connect", Value::Flag, true, ""},
    {"fault", Value::Text, true, "on path"},
    {"robotRunning", Value::Flag, true, ""},
    {"input", Value::Number, false, ""},
    {"binary", Value::Number, false, ""},
    {"runTime", Value::Number, true, ""},
    {"advance", Value::Number, false, ""},
    {"write", Value::Text, true, "content!"},
    {"remove", Value::Text, true, ""},
    {"link", Value::Text, true, "to!"},
    {"diskLimit", Value::NumberOrOff, false, ""},
    // Time and pictures.
    {"wait", Value::Number, false, ""},
    {"screenshot", Value::Text, false, "window timeline"},
    // What must hold; each waits up to "within" milliseconds for it.
    {"expect text", Value::Text, false, "of! row column is contains within"},
    {"expect enabled", Value::Text, false, "of! is! within"},
    {"expect shown", Value::Text, false, "of! is! within"},
    {"expect rows", Value::Text, false, "of! is! within"},
    {"expect lamp", Value::Text, false, "is! within"},
    {"expect page", Value::Text, false, "is! within"},
    {"expect screen", Value::Text, false, "is! within"},
    {"expect box", Value::Text, false, "is contains kind within"},
    {"expect boxes", Value::Text, false, "is! within"},
    {"expect file", Value::Text, false, "path! is contains absent element attribute within"},
    {"expect queue", Value::Text, false, "is! within"},
    {"expect slot", Value::Text, false, "slot! status total within"},
    {"expect service", Value::Text, false, "started signalMode protocol programs mapSize autoStart within"},
    {"expect robot", Value::Text, false, "is! within"},
    {"expect calls", Value::Text, false, "of! count! within"},
    {"expect unchanged", Value::Text, false, "except within"},
};

const StepKind *findKind(const QString &name)
{
    for (const StepKind &kind : stepKinds)
        if (name == QLatin1String(kind.name))
            return &kind;
    return nullptr;
}

bool valueFits(Value value, const QJsonValue &v)
{
    switch (value) {
    case Value::Text:
        return v.isString();
    case Value::Number:
        return v.isDouble() && v.toDouble() >= 0 && v.toDouble() == double(qint64(v.toDouble()));
    case Value::Flag:
        return v.isBool();
    case Value::NumberOrOff:
        return (v.isBool() && !v.toBool()) || valueFits(Value::Number, v);
    }
    return false;
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

// What kind of value a step's field takes, where one kind serves every step that has it; "" for
// a field whose kind depends on the step ("is").
QString fieldProblem(const QString &step, const QString &key, const QJsonValue &v)
{
    static const QStringList numbers{"within", "count", "slot", "row", "column", "total", "index",
                                     "mapSize", "signalMode", "protocol"};
    static const QStringList texts{"attribute", "box", "contains", "content", "element", "item",
                                   "kind", "path", "status", "text", "to"};
    static const QStringList flags{"on", "select", "started", "window", "timeline", "absent"};
    auto listOf = [&v](bool (QJsonValue::*is)() const) {
        if (!v.isArray())
            return false;
        for (const QJsonValue &item : v.toArray())
            if (!(item.*is)())
                return false;
        return true;
    };
    bool fits = true;
    QString kind;
    if (numbers.contains(key)) {
        fits = valueFits(Value::Number, v);
        kind = QStringLiteral("a whole number");
    } else if (texts.contains(key) || (key == QLatin1String("of") && step != QLatin1String("expect calls"))) {
        fits = v.isString();
        kind = QStringLiteral("a text");
    } else if (flags.contains(key)) {
        fits = v.isBool();
        kind = QStringLiteral("true or false");
    } else if (key == QLatin1String("of") || key == QLatin1String("except") || key == QLatin1String("programs")) {
        fits = listOf(&QJsonValue::isString);
        kind = QStringLiteral("a list of texts");
    } else if (key == QLatin1String("autoStart")) {
        fits = listOf(&QJsonValue::isBool);
        kind = QStringLiteral("a list of true and false");
    }
    return fits ? QString() : QStringLiteral("\"%1\" takes %2 for \"%3\"").arg(step, kind, key);
}

bool isTreePath(const QString &path)
{
    static const QStringList trees = {QStringLiteral("controller:/"), QStringLiteral("panel:/"),
                                      QStringLiteral("outside:/")};
    for (const QString &tree : trees)
        if (path.startsWith(tree))
            return !path.split(QLatin1Char('/')).contains(QStringLiteral(".."));
    return false;
}

// What is wrong with one step, or nothing.
QString checkStep(const ScenarioStep &step, bool inSetup)
{
    QString name = step.kind;
    if (name == QLatin1String("expect"))
        name += QLatin1Char(' ') + step.args.value(name).toString();
    const StepKind *kind = findKind(name);
    if (!kind)
        return QStringLiteral("unknown step \"%1\"").arg(name);
    if (inSetup && !kind->inSetup)
        return QStringLiteral("\"%1\" cannot come before the screen opens").arg(name);
    if (!valueFits(kind->value, step.args.value(step.kind)))
        return QStringLiteral("\"%1\" has a value of the wrong kind").arg(step.kind);
    const QStringList keys = QString::fromLatin1(kind->keys).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QSet<QString> allowed{step.kind};
    for (const QString &key : keys) {
        const QString bare = key.endsWith(QLatin1Char('!')) ? key.chopped(1) : key;
        allowed << bare;
        if (key.endsWith(QLatin1Char('!')) && !step.args.contains(bare))
            return QStringLiteral("\"%1\" needs \"%2\"").arg(name, bare);
    }
    for (auto it = step.args.begin(); it != step.args.end(); ++it) {
        if (!allowed.contains(it.key()))
            return QStringLiteral("\"%1\" takes no \"%2\"").arg(name, it.key());
        if (it.key() != step.kind) {
            const QString problem = fieldProblem(name, it.key(), it.value());
            if (!problem.isEmpty())
                return problem;
        }
    }
    // A fault's "path" is a part of the controller paths it hits; the other paths name a file.
    for (const char *pathKey : {"write", "remove", "link", "to", "path"}) {
        const QString key = QString::fromLatin1(pathKey);
        if (step.args.contains(key) && step.kind != QLatin1String("fault") && !isTreePath(step.args.value(key).toString()))
            return QStringLiteral("\"%1\" is not a path in the controller:/, panel:/ or outside:/ tree")
                .arg(step.args.value(key).toString());
    }
    // A picture lands in the --screenshots folder, never beside or above it.
    if (step.kind == QLatin1String("screenshot")) {
        const QString shot = step.args.value(step.kind).toString();
        if (shot.isEmpty() || shot.contains(QLatin1Char('/')) || shot.contains(QLatin1Char('\\'))
            || shot.startsWith(QLatin1Char('.')))
            return QStringLiteral("\"%1\" is not a file name of the screenshots folder").arg(shot);
    }
    return QString();
}

bool readSteps(const QJsonObject &root, const QByteArray &text, const QString &key, int first,
               QList<ScenarioStep> *steps, QString *error, const QString &path)
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
        // The step's own key is the first one that names a kind.
        for (auto it = step.args.begin(); it != step.args.end() && step.kind.isEmpty(); ++it)
            if (it.key() == QLatin1String("expect") || findKind(it.key()))
                step.kind = it.key();
        QString problem;
        if (!array.at(i).isObject() || step.args.isEmpty())
            problem = QStringLiteral("a step is an object such as {\"press\": \"runOrStopButton\"}");
        else if (step.kind.isEmpty())
            problem = QStringLiteral("unknown step \"%1\"").arg(step.args.begin().key());
        else
            problem = checkStep(step, key == QLatin1String("setup"));
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
    return QStringLiteral("%1:%2, step %3").arg(file).arg(line).arg(number);
}

bool loadScenario(const QString &path, const QString &sampleController, Scenario *scenario, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("%1: cannot be read: %2").arg(path, file.errorString());
        return false;
    }
    const QByteArray text = file.readAll();
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(text, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        const int line = text.left(parseError.offset).count('\n') + 1;
        *error = QStringLiteral("%1:%2: %3").arg(path).arg(line).arg(parseError.errorString());
        return false;
    }
    if (!doc.isObject()) {
        *error = QStringLiteral("%1:1: a scenario is an object with a name and steps").arg(path);
        return false;
    }
    const QJsonObject root = doc.object();
    for (auto it = root.begin(); it != root.end(); ++it)
        if (!QStringList{"name", "controller", "setup", "steps"}.contains(it.key())) {
            *error = QStringLiteral("%1: unknown field \"%2\"").arg(path, it.key());
            return false;
        } else if ((it.key() == QLatin1String("name") || it.key() == QLatin1String("controller")) && !it.value().isString()) {
            *error = QStringLiteral("%1: \"%2\" is a text").arg(path, it.key());
            return false;
        }
    scenario->file = path;
    scenario->name = root.value(QStringLiteral("name")).toString(QFileInfo(path).completeBaseName());
    const QString controller = root.value(QStringLiteral("controller")).toString(QStringLiteral("sample"));
    scenario->controller = controller == QLatin1String("sample")
                               ? sampleController
                               : QFileInfo(path).absoluteDir().absoluteFilePath(controller);
    if (!QFileInfo(scenario->controller).isDir()) {
        *error = QStringLiteral("%1: the controller folder %2 does not exist").arg(path, scenario->controller);
        return false;
    }
    scenario->setup.clear();
    scenario->steps.clear();
    if (!readSteps(root, text, QStringLiteral("setup"), 1, &scenario->setup, error, path))
        return false;
    return readSteps(root, text, QStringLiteral("steps"), scenario->setup.size() + 1, &scenario->steps, error, path);
}

void copyFolder(const QString &from, const QString &to)
{
    QDirIterator it(from, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString target = to + QLatin1Char('/') + QDir(from).relativeFilePath(source);
        QDir().mkpath(QFileInfo(target).absolutePath());
        QFile::copy(source, target);
    }
}
