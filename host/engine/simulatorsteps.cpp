#include "engine/outputfiles.h"
#include "engine/stage.h"
#include "engine/stepcontext.h"

#include "simcontroller.h"
#include "zuzerarovesim.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QMap>

// The cell's and the controller's steps, and the ones of time and pictures: what the simulator
// panel does, what a set-up writes into the trees.

namespace simulatorsteps {

namespace {

sim::Controller &controller()
{
    return sim::Controller::instance();
}

sim::Reservation &service()
{
    return sim::Reservation::instance();
}

qint64 number(const QJsonObject &step, const char *key)
{
    return step.value(QLatin1String(key)).toVariant().toLongLong();
}

} // namespace

StepOutcome connect(StepContext &, const QJsonObject &step)
{
    controller().setConnected(step.value(QStringLiteral("connect")).toBool());
    return held();
}

StepOutcome fault(StepContext &, const QJsonObject &step)
{
    static const QMap<QString, sim::Fault> faults = {
        {QStringLiteral("fetch"), sim::Fault::Fetch}, {QStringLiteral("send"), sim::Fault::Send},
        {QStringLiteral("listing"), sim::Fault::Listing}, {QStringLiteral("read"), sim::Fault::Read},
        {QStringLiteral("write"), sim::Fault::Write}};
    controller().setFault(faults.value(step.value(QStringLiteral("fault")).toString()),
                          step.value(QStringLiteral("on")).toBool(true), step.value(QStringLiteral("path")).toString());
    return held();
}

StepOutcome robotRunning(StepContext &, const QJsonObject &step)
{
    controller().setRobotRunning(step.value(QStringLiteral("robotRunning")).toBool());
    return held();
}

StepOutcome input(StepContext &, const QJsonObject &step)
{
    service().pulseInput(int(number(step, "input")));
    return held();
}

StepOutcome binary(StepContext &, const QJsonObject &step)
{
    service().setBinaryCode(int(number(step, "binary")));
    service().strobe();
    return held();
}

StepOutcome runTime(StepContext &, const QJsonObject &step)
{
    controller().setRunDuration(number(step, "runTime"));
    return held();
}

StepOutcome softPlcAutoStart(StepContext &c, const QJsonObject &step)
{
    const QJsonArray flags = step.value(QStringLiteral("softPlcAutoStart")).toArray();
    // Before the screen opens they stand over what the service reads from the controller then.
    if (c.inSetup)
        c.setupAutoStart = flags;
    for (int plc = 0; plc < flags.size() && plc < 4; ++plc)
        service().setAutoStart(plc, flags.at(plc).toBool());
    return held();
}

StepOutcome advance(StepContext &, const QJsonObject &step)
{
    controller().advance(number(step, "advance"));
    return held();
}

// What these steps change in the trees, they change behind the controller's file service.

StepOutcome write(StepContext &c, const QJsonObject &step)
{
    controller().treeChanged();
    const QString content = c.substituted(step.value(QStringLiteral("content"))).toString();
    const Result written = c.files->writeFile(c.resolve(step.value(QStringLiteral("write")).toString()), content.toUtf8());
    return written ? held() : failed(written.error());
}

StepOutcome remove(StepContext &c, const QJsonObject &step)
{
    controller().treeChanged();
    // A link goes, never what it points to.
    const Result removed = c.files->removePath(c.resolve(step.value(QStringLiteral("remove")).toString()));
    return removed ? held() : failed(removed.error());
}

StepOutcome link(StepContext &c, const QJsonObject &step)
{
    controller().treeChanged();
    const Result made = c.files->makeLink(c.resolve(step.value(QStringLiteral("link")).toString()),
                                          c.resolve(step.value(QStringLiteral("to")).toString()));
    return made ? held() : failed(made.error());
}

StepOutcome programs(StepContext &c, const QJsonObject &step)
{
    controller().treeChanged();
    const int count = int(number(step, "programs"));
    const QString in = step.value(QStringLiteral("in")).toString(QStringLiteral("controller:/RPL/"));
    const int folders = step.value(QStringLiteral("folders")).toInt(0);
    // The programs a folder at a time, each folder opened once.
    QMap<QString, QStringList> byFolder;
    for (int p = 0; p < count; ++p) {
        const QString folder = folders > 0 ? QStringLiteral("/LINE_%1").arg(qint64(p) * folders / count + 1, 2, 10, QLatin1Char('0'))
                                           : QString();
        byFolder[c.resolve(in) + folder] << QStringLiteral("PROGRAM_%1.XPL").arg(p + 1, 5, 10, QLatin1Char('0'));
    }
    for (auto it = byFolder.cbegin(); it != byFolder.cend(); ++it)
        if (const Result written = c.files->writeFiles(it.key(), it.value(), "MOVJ P1\nEND\n"); !written)
            return failed(written.error());
    return held();
}

StepOutcome diskLimit(StepContext &, const QJsonObject &step)
{
    const QJsonValue limit = step.value(QStringLiteral("diskLimit"));
    limitFileSize(limit.isBool() ? -1 : limit.toVariant().toLongLong());
    return held();
}

StepOutcome wait(StepContext &c, const QJsonObject &step)
{
    const qint64 ms = qint64(number(step, "wait") * c.pace);
    return c.elapsedMs >= ms ? held() : later(int(qMin<qint64>(ms - c.elapsedMs, 1 << 30)));
}

StepOutcome screenshot(StepContext &c, const QJsonObject &step)
{
    const QPixmap pixmap = c.stage->picture(step.value(QStringLiteral("window")).toBool()     ? Stage::Picture::Window
                                            : step.value(QStringLiteral("timeline")).toBool() ? Stage::Picture::Timeline
                                                                                               : Stage::Picture::Screen);
    c.picture = pngOf(pixmap);
    c.pictureName = step.value(QStringLiteral("screenshot")).toString();
    if (!c.pictureName.endsWith(QLatin1String(".png"), Qt::CaseInsensitive))
        c.pictureName += QStringLiteral(".png");
    if (c.shotDir.isEmpty())
        return held();
    // A picture the bench may not write there is the run's fault, not the screen's.
    const Result written = c.files->writeFile(QDir(c.shotDir).filePath(c.pictureName), c.picture);
    return written ? held() : error(written.error());
}

} // namespace simulatorsteps
