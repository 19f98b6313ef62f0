#include "engine/stepcontext.h"

#include "calllog.h"
#include "simcontroller.h"
#include "zuzerarovesim.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QRegularExpression>
#include <QXmlStreamReader>

// What the controller and its service hold: each expectation reads them and holds, or is not
// there yet.

namespace controllerexpectations {

namespace {

const QStringList slotStatuses = {QStringLiteral("unreserved"), QStringLiteral("reserved"), QStringLiteral("running")};

const sim::Reservation &service()
{
    return sim::Reservation::instance();
}

// The text or one attribute of an XML element: "Tag", the n-th "Tag[n]", or "Tag[attr=value]".
bool xmlValue(const QByteArray &xml, const QString &element, const QString &attribute, QString *value)
{
    static const QRegularExpression selector(QStringLiteral("^([\\w.-]+)(?:\\[(\\d+)\\]|\\[([\\w.-]+)=([^\\]]*)\\])?$"));
    const QRegularExpressionMatch m = selector.match(element);
    if (!m.hasMatch())
        return false;
    int seen = 0;
    QXmlStreamReader reader(xml);
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement || reader.name() != m.captured(1))
            continue;
        const bool wanted = !m.captured(2).isEmpty() ? ++seen == m.captured(2).toInt()
                            : !m.captured(3).isEmpty() ? reader.attributes().value(m.captured(3)) == m.captured(4)
                                                       : true;
        if (!wanted)
            continue;
        if (attribute.isEmpty()) {
            *value = reader.readElementText(QXmlStreamReader::IncludeChildElements);
            return true;
        }
        if (!reader.attributes().hasAttribute(attribute))
            return false;
        *value = reader.attributes().value(attribute).toString();
        return true;
    }
    return false;
}

// Every field the step gives of found must match.
StepOutcome fieldsMatch(const StepContext &c, const QString &what, const QJsonObject &step, const QJsonObject &found)
{
    for (auto it = step.begin(); it != step.end(); ++it) {
        if (!found.contains(it.key()))
            continue;
        const StepOutcome o = compared(c, QStringLiteral("%1 %2").arg(what, it.key()), it.value(), found.value(it.key()));
        if (o.state != StepOutcome::Held)
            return o;
    }
    return held();
}

} // namespace

StepOutcome file(StepContext &c, const QJsonObject &step)
{
    const QString name = step.value(QStringLiteral("path")).toString();
    const bool inFile = step.contains(QStringLiteral("element"));
    QFile file(c.resolve(name));
    if (step.contains(QStringLiteral("absent")) && !inFile)
        return compared(c, name + QStringLiteral(" absent"), step.value(QStringLiteral("absent")), !file.exists());
    if (!file.open(QIODevice::ReadOnly))
        return notYet(name + QStringLiteral(" cannot be read"));
    QString value = QString::fromUtf8(file.readAll());
    QString place = name;
    if (inFile) {
        const QString element = step.value(QStringLiteral("element")).toString();
        const QString attribute = step.value(QStringLiteral("attribute")).toString();
        place = QStringLiteral("%1, %2%3").arg(name, element, attribute.isEmpty() ? QString() : QLatin1Char('@') + attribute);
        const bool found = xmlValue(value.toUtf8(), element, attribute, &value);
        if (step.contains(QStringLiteral("absent")))
            return compared(c, place + QStringLiteral(" absent"), step.value(QStringLiteral("absent")), !found);
        if (!found)
            return notYet(QStringLiteral("%1 is not in the file").arg(place));
    }
    if (step.contains(QStringLiteral("contains"))) {
        const QString part = c.substituted(step.value(QStringLiteral("contains"))).toString();
        if (!value.contains(part))
            return notYet(QStringLiteral("%1: expected a text with %2, found %3").arg(place, shownValue(part), shownValue(value)));
    }
    if (step.contains(QStringLiteral("lacks"))) {
        const QString part = c.substituted(step.value(QStringLiteral("lacks"))).toString();
        if (value.contains(part))
            return notYet(QStringLiteral("%1: expected no %2, found %3").arg(place, shownValue(part), shownValue(value)));
    }
    return step.contains(QStringLiteral("is")) ? compared(c, place, step.value(QStringLiteral("is")), value) : held();
}

StepOutcome queue(StepContext &c, const QJsonObject &step)
{
    QJsonArray queued;
    for (int slot : service().queue())
        queued << slot + 1;
    return compared(c, QStringLiteral("the queue"), step.value(QStringLiteral("is")), queued);
}

StepOutcome slot(StepContext &c, const QJsonObject &step)
{
    const int slot = step.value(QStringLiteral("slot")).toInt() - 1;
    const int status = service().status(slot);
    return fieldsMatch(c, QStringLiteral("slot"), step,
                       {{QStringLiteral("status"), slotStatuses.value(status, QString::number(status))},
                        {QStringLiteral("total"), service().total(slot)}});
}

StepOutcome service(StepContext &c, const QJsonObject &step)
{
    const ZuzEraroveData config = service().configInForce();
    QJsonArray programs, autoStart;
    for (int i = 0; i < step.value(QStringLiteral("programs")).toArray().size() && i < ZUZ_SLOT_COUNT; ++i)
        programs << config.rplNames[i];
    for (int i = 0; i < step.value(QStringLiteral("autoStart")).toArray().size() && i < 4; ++i)
        autoStart << service().autoStart(i);
    return fieldsMatch(c, QStringLiteral("service"), step,
                       {{QStringLiteral("started"), service().isStarted()},
                        {QStringLiteral("signalMode"), config.signalMode},
                        {QStringLiteral("protocol"), config.protocol},
                        {QStringLiteral("mapSize"), int(service().programMapInForce().size())},
                        {QStringLiteral("programs"), programs},
                        {QStringLiteral("autoStart"), autoStart}});
}

StepOutcome robot(StepContext &c, const QJsonObject &step)
{
    return compared(c, QStringLiteral("the robot"), step.value(QStringLiteral("is")),
                    sim::Controller::instance().isRobotRunning() ? QStringLiteral("running") : QStringLiteral("idle"));
}

StepOutcome calls(StepContext &c, const QJsonObject &step)
{
    QStringList names;
    for (const QJsonValue &name : step.value(QStringLiteral("of")).toArray())
        names << name.toString();
    return compared(c, QStringLiteral("calls of ") + names.join(QStringLiteral(", ")), step.value(QStringLiteral("count")),
                    int(sim::CallLog::instance().count(names)));
}

StepOutcome unchanged(StepContext &c, const QJsonObject &step)
{
    QStringList allowed;
    for (const QJsonValue &path : step.value(QStringLiteral("except")).toArray())
        allowed << QDir(c.workDir).relativeFilePath(c.resolve(path.toString()));
    auto mayChange = [&allowed](const QString &path) {
        for (const QString &a : allowed)
            if (path == a || path.startsWith(a + QLatin1Char('/')))
                return true;
        return false;
    };
    const QMap<QString, QByteArray> now = c.snapshot();
    QStringList paths = c.before.keys() + now.keys();
    paths.removeDuplicates();
    // Named as "except" takes them, "panel:/Application/...", with what happened to each.
    QStringList changed;
    for (const QString &path : qAsConst(paths)) {
        if (mayChange(path) || (c.before.value(path) == now.value(path) && c.before.contains(path) == now.contains(path)))
            continue;
        const QString tree = path.section(QLatin1Char('/'), 0, 0) + QStringLiteral(":/") + path.section(QLatin1Char('/'), 1);
        changed << tree + (!c.before.contains(path) ? QStringLiteral(" (made)") : !now.contains(path) ? QStringLiteral(" (removed)")
                                                                                                          : QStringLiteral(" (changed)"));
    }
    return changed.isEmpty() ? held()
                             : notYet(QStringLiteral("since the screen opened: ") + changed.join(QStringLiteral(", ")));
}

} // namespace controllerexpectations
