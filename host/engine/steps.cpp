#include "engine/steps.h"

#include "calllog.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QMap>
#include <QVector>

#include <cmath>

namespace {

bool isWhole(const QJsonValue &v, qint64 min, qint64 max)
{
    if (!v.isDouble())
        return false;
    const double d = v.toDouble();
    return std::isfinite(d) && d == std::floor(d) && d >= double(min) && d <= double(max);
}

template<typename Fits>
bool isListOf(const QJsonValue &v, Fits fits)
{
    if (!v.isArray())
        return false;
    for (const QJsonValue &item : v.toArray())
        if (!fits(item))
            return false;
    return true;
}

// A NUL ends a name for the system: a path holding one would name another file.
bool isTreePath(const QString &path)
{
    if (path.contains(QChar(0)))
        return false;
    for (const char *tree : {"controller:/", "panel:/", "outside:/"})
        if (path.startsWith(QLatin1String(tree)))
            return !path.split(QLatin1Char('/')).contains(QStringLiteral(".."));
    return false;
}

bool isPictureName(const QString &name)
{
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\')) && !name.contains(QChar(0))
           && !name.startsWith(QLatin1Char('.'));
}

QStringList knownCalls()
{
    QStringList names;
    for (const char *name : sim::callNames)
        names << QString::fromLatin1(name);
    return names;
}

// The limits are named whatever they are: a number past one is refused saying which.
QString range(const StepField &f)
{
    return QStringLiteral("a whole number from %1 to %2").arg(QString::number(f.min), QString::number(f.max));
}

QString quoted(const QStringList &texts)
{
    return QLatin1Char('"') + texts.join(QStringLiteral("\", \"")) + QLatin1Char('"');
}

// What a field takes, in words.
QString kindText(const StepField &f)
{
    switch (f.type) {
    case FieldType::Text:
        return QStringLiteral("a text");
    case FieldType::Texts:
        return QStringLiteral("a list of texts");
    case FieldType::Path:
        return QStringLiteral("a path in the controller:/, panel:/ or outside:/ tree");
    case FieldType::PictureName:
        return QStringLiteral("a file name of the screenshots folder");
    case FieldType::WholeNumber:
        return range(f);
    case FieldType::WholeNumbers:
        return QStringLiteral("a list of whole numbers from %1 to %2").arg(QString::number(f.min), QString::number(f.max));
    case FieldType::Flag:
        return QStringLiteral("true or false");
    case FieldType::Flags:
        return QStringLiteral("a list of true and false");
    case FieldType::NumberOrOff:
        return QStringLiteral("a whole number, or false");
    case FieldType::Choice:
        return QStringLiteral("one of ") + quoted(f.choices);
    case FieldType::CallNames:
        return QStringLiteral("a list of the platform's call names");
    }
    return QString();
}

QJsonObject fieldSchema(const StepField &f)
{
    auto whole = [&f] {
        return QJsonObject{{QStringLiteral("type"), QStringLiteral("integer")}, {QStringLiteral("minimum"), f.min},
                           {QStringLiteral("maximum"), f.max}};
    };
    auto listOf = [](const QJsonObject &item) {
        return QJsonObject{{QStringLiteral("type"), QStringLiteral("array")}, {QStringLiteral("items"), item}};
    };
    const QJsonObject text{{QStringLiteral("type"), QStringLiteral("string")}};
    const QJsonObject flag{{QStringLiteral("type"), QStringLiteral("boolean")}};
    QJsonObject o;
    switch (f.type) {
    case FieldType::Text:
        o = text;
        break;
    case FieldType::Texts:
        o = listOf(text);
        break;
    case FieldType::Path:
        o = QJsonObject{{QStringLiteral("type"), QStringLiteral("string")},
                        {QStringLiteral("pattern"), QStringLiteral("^(controller|panel|outside):/(?!(.*/)?\\.\\.(/|$))[^\\u0000]*$")}};
        break;
    case FieldType::PictureName:
        o = QJsonObject{{QStringLiteral("type"), QStringLiteral("string")},
                        {QStringLiteral("pattern"), QStringLiteral("^[^./\\\\\\u0000][^/\\\\\\u0000]*$")}};
        break;
    case FieldType::WholeNumber:
        o = whole();
        break;
    case FieldType::WholeNumbers:
        o = listOf(whole());
        break;
    case FieldType::Flag:
        o = flag;
        break;
    case FieldType::Flags:
        o = listOf(flag);
        break;
    case FieldType::NumberOrOff:
        o = QJsonObject{{QStringLiteral("oneOf"), QJsonArray{whole(), QJsonObject{{QStringLiteral("const"), false}}}}};
        break;
    case FieldType::Choice:
        o = QJsonObject{{QStringLiteral("enum"), QJsonArray::fromStringList(f.choices)}};
        break;
    case FieldType::CallNames:
        o = listOf(QJsonObject{{QStringLiteral("enum"), QJsonArray::fromStringList(knownCalls())}});
        break;
    }
    if (!f.help.isEmpty())
        o.insert(QStringLiteral("description"), f.help);
    return o;
}

QJsonObject stepSchema(const StepDef &def)
{
    QJsonObject properties;
    QJsonArray required{def.key()};
    if (def.key() == QLatin1String("expect")) {
        properties.insert(QStringLiteral("expect"),
                          QJsonObject{{QStringLiteral("const"), def.name.mid(7)}, {QStringLiteral("description"), def.help}});
    } else {
        QJsonObject own = fieldSchema(def.value);
        own.insert(QStringLiteral("description"), def.help);
        properties.insert(def.name, own);
    }
    for (const StepField &f : def.fields) {
        properties.insert(f.name, fieldSchema(f));
        if (f.required)
            required << f.name;
    }
    QJsonObject schema{{QStringLiteral("type"), QStringLiteral("object")},
                       {QStringLiteral("title"), def.name},
                       {QStringLiteral("properties"), properties},
                       {QStringLiteral("required"), required},
                       {QStringLiteral("additionalProperties"), false}};
    // Escape answers only as cancel (stepProblem says so too).
    if (def.name == QLatin1String("answer")) {
        const QJsonObject byEscape{{QStringLiteral("by"), QJsonObject{{QStringLiteral("const"), QStringLiteral("escape")}}}};
        const QJsonObject cancels{{def.name, QJsonObject{{QStringLiteral("const"), QStringLiteral("cancel")}}}};
        schema.insert(QStringLiteral("if"), QJsonObject{{QStringLiteral("properties"), byEscape},
                                                        {QStringLiteral("required"), QJsonArray{QStringLiteral("by")}}});
        schema.insert(QStringLiteral("then"), QJsonObject{{QStringLiteral("properties"), cancels}});
    }
    return schema;
}

QString cell(QString text)
{
    return text.replace(QLatin1Char('|'), QStringLiteral("\\|")).replace(QLatin1Char('\n'), QLatin1Char(' '));
}

} // namespace

QString StepDef::key() const
{
    return name.startsWith(QLatin1String("expect ")) ? QStringLiteral("expect") : name;
}

const StepField *StepDef::field(const QString &fieldName) const
{
    for (const StepField &f : fields)
        if (f.name == fieldName)
            return &f;
    return nullptr;
}

const StepDef *findStepNamed(const QList<StepDef> &defs, const QString &name)
{
    for (const StepDef &def : defs)
        if (def.name == name || def.aliases.contains(name))
            return &def;
    return nullptr;
}

QString nearestNames(const QString &name, const QStringList &names)
{
    // The edit distance, one row at a time.
    auto distance = [](const QString &a, const QString &b) {
        QVector<int> row(b.size() + 1);
        for (int j = 0; j <= b.size(); ++j)
            row[j] = j;
        for (int i = 1; i <= a.size(); ++i) {
            int diagonal = row[0];
            row[0] = i;
            for (int j = 1; j <= b.size(); ++j) {
                const int above = row[j];
                row[j] = qMin(qMin(row[j] + 1, row[j - 1] + 1), diagonal + (a.at(i - 1).toLower() == b.at(j - 1).toLower() ? 0 : 1));
                diagonal = above;
            }
        }
        return row[b.size()];
    };
    const int most = qMax(2, int(name.size()) / 3);
    QMap<int, QStringList> near;
    for (const QString &candidate : names)
        if (!candidate.isEmpty() && !candidate.startsWith(QLatin1String("qt_")))
            if (const int d = distance(name, candidate); d <= most && !near[d].contains(candidate))
                near[d] << candidate;
    QStringList best;
    for (const QStringList &at : std::as_const(near))
        for (const QString &candidate : at)
            if (best.size() < 3)
                best << candidate;
    return best.isEmpty() ? QString() : QStringLiteral(" (did you mean \"") + best.join(QStringLiteral("\", \"")) + QStringLiteral("\"?)");
}

const StepDef *findStep(const QList<StepDef> &defs, const QJsonObject &step, QString *key)
{
    for (auto it = step.begin(); it != step.end(); ++it) {
        if (it.key() == QLatin1String("expect")) {
            *key = it.key();
            return findStepNamed(defs, QStringLiteral("expect ") + it.value().toString());
        }
        if (it.key() != QLatin1String("expect") && !it.key().startsWith(QLatin1String("expect ")))
            if (const StepDef *def = findStepNamed(defs, it.key())) {
                *key = it.key();
                return def;
            }
    }
    return nullptr;
}

QString fieldProblem(const QString &step, const StepField &f, const QJsonValue &v)
{
    bool fits = false;
    switch (f.type) {
    case FieldType::Text:
        fits = v.isString();
        break;
    case FieldType::Texts:
        fits = isListOf(v, [](const QJsonValue &i) { return i.isString(); });
        break;
    case FieldType::Path:
        fits = v.isString() && isTreePath(v.toString());
        if (v.isString() && !fits)
            return QStringLiteral("\"%1\" is not a path in the controller:/, panel:/ or outside:/ tree").arg(visibleText(v.toString()));
        break;
    case FieldType::PictureName:
        fits = v.isString() && isPictureName(v.toString());
        if (v.isString() && !fits)
            return QStringLiteral("\"%1\" is not a file name of the screenshots folder").arg(visibleText(v.toString()));
        break;
    case FieldType::WholeNumber:
        fits = isWhole(v, f.min, f.max);
        break;
    case FieldType::WholeNumbers:
        fits = isListOf(v, [&f](const QJsonValue &i) { return isWhole(i, f.min, f.max); });
        break;
    case FieldType::Flag:
        fits = v.isBool();
        break;
    case FieldType::Flags:
        fits = isListOf(v, [](const QJsonValue &i) { return i.isBool(); });
        break;
    case FieldType::NumberOrOff:
        fits = (v.isBool() && !v.toBool()) || isWhole(v, f.min, f.max);
        break;
    case FieldType::Choice:
        fits = v.isString() && f.choices.contains(v.toString());
        break;
    case FieldType::CallNames: {
        if (!isListOf(v, [](const QJsonValue &i) { return i.isString(); }))
            break;
        const QStringList known = knownCalls();
        for (const QJsonValue &name : v.toArray())
            if (!known.contains(name.toString()))
                return QStringLiteral("the platform has no call \"%1\" (virtualpanel --steps lists them)").arg(name.toString());
        fits = true;
        break;
    }
    }
    return fits ? QString() : QStringLiteral("\"%1\" takes %2 for \"%3\"").arg(step, kindText(f), f.name);
}

QString stepProblem(const StepDef &def, const QString &key, const QJsonObject &step, bool inSetup)
{
    if (inSetup && !def.inSetup)
        return QStringLiteral("\"%1\" cannot come before the screen opens").arg(def.name);
    if (key != QLatin1String("expect")) {
        StepField own = def.value;
        own.name = key;
        if (const QString problem = fieldProblem(def.name, own, step.value(key)); !problem.isEmpty())
            return problem;
    }
    for (const StepField &f : def.fields)
        if (f.required && !step.contains(f.name))
            return QStringLiteral("\"%1\" needs \"%2\"").arg(def.name, f.name);
    for (auto it = step.begin(); it != step.end(); ++it) {
        if (it.key() == key)
            continue;
        const StepField *f = def.field(it.key());
        if (!f) {
            QStringList fields;
            for (const StepField &known : def.fields)
                fields << known.name;
            return QStringLiteral("\"%1\" takes no \"%2\"").arg(def.name, it.key()) + nearestNames(it.key(), fields);
        }
        if (const QString problem = fieldProblem(def.name, *f, it.value()); !problem.isEmpty())
            return problem;
    }
    // Escape answers a box or the chooser as closing does: it cancels.
    if (def.name == QLatin1String("answer") && step.value(QStringLiteral("by")).toString() == QLatin1String("escape")
        && step.value(key).toString() != QLatin1String("cancel"))
        return QStringLiteral("\"answer\": Escape cancels, so \"by\": \"escape\" goes only with \"cancel\", not with \"%1\"")
            .arg(step.value(key).toString());
    return QString();
}

QString stepReference(const QList<StepDef> &defs)
{
    QString out = QStringLiteral(
        "A scenario is a JSON object: \"name\", \"controller\" (\"sample\" or a folder beside the file), \"panel\" "
        "(a panel tree to start from, a folder beside the file; a recording carries one), \"setup\" (steps before the screen opens) and \"steps\". A step is an object whose first key names it; an expectation "
        "is {\"expect\": \"<what>\", ...}. Steps marked \"setup\" may also stand in \"setup\".\n\n"
        "| step | value | fields (! required) | setup | what it does | recorded for |\n"
        "|---|---|---|---|---|---|\n");
    for (const StepDef &def : defs) {
        QStringList fields;
        for (const StepField &f : def.fields)
            fields << QStringLiteral("`%1`%2: %3%4").arg(f.name, f.required ? QStringLiteral("!") : QString(), kindText(f),
                                                        f.help.isEmpty() ? QString() : QStringLiteral(" (") + f.help + QLatin1Char(')'));
        const QString value = def.key() == QLatin1String("expect") ? QStringLiteral("\"%1\"").arg(def.name.mid(7))
                                                                     : kindText(def.value)
                                                                           + (def.value.help.isEmpty() ? QString()
                                                                                                        : QStringLiteral(": ") + def.value.help);
        QString name = QStringLiteral("`%1`").arg(def.name);
        if (!def.aliases.isEmpty())
            name += QStringLiteral(" (also `%1`)").arg(def.aliases.join(QStringLiteral("`, `")));
        out += QStringLiteral("| %1 | %2 | %3 | %4 | %5 | %6 |\n")
                   .arg(name, cell(value), cell(fields.join(QStringLiteral("; "))),
                        def.inSetup ? QStringLiteral("setup") : QString(), cell(def.help),
                        cell(def.recorded.isEmpty() ? QStringLiteral("-") : def.recorded));
    }
    out += QStringLiteral("\nThe platform's calls that `expect calls` counts: ") + knownCalls().join(QStringLiteral(", "))
           + QStringLiteral(".\n");
    return out;
}

QString stepManual(const QList<StepDef> &defs)
{
    // Each text wrapped at 100 columns, indented under its step.
    auto wrapped = [](const QString &text, const QString &indent) {
        QString out, line = indent;
        for (const QString &word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            if (line.size() > indent.size() && line.size() + 1 + word.size() > 100) {
                out += line + QLatin1Char('\n');
                line = indent + QStringLiteral("  ");
            } else if (line.size() > indent.size()) {
                line += QLatin1Char(' ');
            }
            line += word;
        }
        return out + line + QLatin1Char('\n');
    };
    QString out = wrapped(QStringLiteral("A scenario is a JSON object: \"name\", \"controller\" (\"sample\" or a folder beside "
                                         "the file), \"panel\" (a panel tree to start from, a folder beside the file), \"setup\" "
                                         "(steps before the screen opens) and \"steps\". A step is an object whose first key "
                                         "names it; an expectation is {\"expect\": \"<what>\", ...}."), QString());
    for (const StepDef &def : defs) {
        const QString value = def.key() == QLatin1String("expect") ? QStringLiteral("{\"expect\": \"") + def.name.mid(7) + QStringLiteral("\"}")
                                                                     : QStringLiteral("{\"") + def.name + QStringLiteral("\": ")
                                                                           + kindText(def.value) + QLatin1Char('}');
        out += QLatin1Char('\n') + value + (def.inSetup ? QStringLiteral("   (also in setup)") : QString())
               + (def.aliases.isEmpty() ? QString() : QStringLiteral("   (once called ") + def.aliases.join(QStringLiteral(", ")) + QLatin1Char(')'))
               + QLatin1Char('\n');
        out += wrapped(def.help, QStringLiteral("    "));
        if (!def.value.help.isEmpty() && def.key() != QLatin1String("expect"))
            out += wrapped(QStringLiteral("value: ") + def.value.help, QStringLiteral("    "));
        for (const StepField &f : def.fields)
            out += wrapped(f.name + (f.required ? QStringLiteral(" (required): ") : QStringLiteral(": ")) + kindText(f)
                               + (f.help.isEmpty() ? QString() : QStringLiteral("; ") + f.help),
                           QStringLiteral("    "));
        if (!def.recorded.isEmpty())
            out += wrapped(QStringLiteral("recorded for ") + def.recorded, QStringLiteral("    "));
    }
    return out + QLatin1Char('\n') + wrapped(QStringLiteral("The platform's calls that \"expect calls\" counts: ")
                                             + knownCalls().join(QStringLiteral(", ")) + QLatin1Char('.'), QString());
}

QJsonObject scenarioSchema(const QList<StepDef> &defs)
{
    QJsonArray anyStep, setupStep;
    for (const StepDef &def : defs) {
        const QJsonObject schema = stepSchema(def);
        anyStep << schema;
        if (def.inSetup)
            setupStep << schema;
        for (const QString &alias : def.aliases) {
            StepDef old = def;
            old.name = alias;
            anyStep << stepSchema(old);
            if (def.inSetup)
                setupStep << stepSchema(old);
        }
    }
    auto steps = [](const QString &help, const QString &definition) {
        return QJsonObject{{QStringLiteral("type"), QStringLiteral("array")},
                           {QStringLiteral("description"), help},
                           {QStringLiteral("items"), QJsonObject{{QStringLiteral("$ref"), QStringLiteral("#/definitions/") + definition}}}};
    };
    return QJsonObject{
        {QStringLiteral("$schema"), QStringLiteral("http://json-schema.org/draft-07/schema#")},
        {QStringLiteral("title"), QStringLiteral("virtual panel scenario")},
        {QStringLiteral("description"), QStringLiteral("A road through the screen, played by virtualpanel --scenario. "
                                                       "Printed by virtualpanel --schema.")},
        {QStringLiteral("type"), QStringLiteral("object")},
        {QStringLiteral("properties"),
         QJsonObject{{QStringLiteral("name"), QJsonObject{{QStringLiteral("type"), QStringLiteral("string")}}},
                     {QStringLiteral("controller"),
                      QJsonObject{{QStringLiteral("type"), QStringLiteral("string")},
                                  {QStringLiteral("description"), QStringLiteral("\"sample\", or a folder relative to the file")}}},
                     {QStringLiteral("panel"),
                      QJsonObject{{QStringLiteral("type"), QStringLiteral("string")},
                                  {QStringLiteral("description"), QStringLiteral("the panel's tree to start from, a folder relative to the file (a recording's)")}}},
                     {QStringLiteral("language"),
                      QJsonObject{{QStringLiteral("type"), QStringLiteral("string")},
                                  {QStringLiteral("description"), QStringLiteral("the panel's language when it was recorded, such as zh_CN")}}},
                     {QStringLiteral("setup"), steps(QStringLiteral("before the screen opens"), QStringLiteral("setupStep"))},
                     {QStringLiteral("steps"), steps(QStringLiteral("on the open screen"), QStringLiteral("step"))}}},
        {QStringLiteral("additionalProperties"), false},
        {QStringLiteral("definitions"),
         QJsonObject{{QStringLiteral("step"), QJsonObject{{QStringLiteral("oneOf"), anyStep}}},
                     {QStringLiteral("setupStep"), QJsonObject{{QStringLiteral("oneOf"), setupStep}}}}}};
}

QJsonObject recordedStep(const QList<StepDef> &defs, const QString &name, const QJsonValue &value,
                         const QJsonObject &fields)
{
    const StepDef *def = findStepNamed(defs, name);
    Q_ASSERT_X(def, "recordedStep", qPrintable(name));
    QJsonObject step = fields;
    if (def && def->key() == QLatin1String("expect"))
        step.insert(QStringLiteral("expect"), name.mid(7));
    else
        step.insert(name, value);
    Q_ASSERT_X(def && stepProblem(*def, def->key(), step, false).isEmpty(), "recordedStep",
               qPrintable(QString::fromUtf8(QJsonDocument(step).toJson(QJsonDocument::Compact))));
    return step;
}

QString visibleText(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            out += c;
            out += text.at(++i);
            continue;
        }
        const QChar::Category category = c.category();
        const bool hidden = c.isSurrogate() || category == QChar::Other_Control || category == QChar::Other_Format
                            || category == QChar::Other_NotAssigned || category == QChar::Other_PrivateUse
                            || category == QChar::Separator_Line || category == QChar::Separator_Paragraph
                            || category == QChar::Mark_NonSpacing || category == QChar::Mark_Enclosing
                            || (category == QChar::Separator_Space && c != QLatin1Char(' ')) || c == QLatin1Char('\\');
        if (!hidden || c == QLatin1Char('\n'))
            out += c;
        else if (c == QLatin1Char('\\'))
            out += QStringLiteral("\\\\");
        else
            out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
    }
    return out;
}
