#include "zuzerarovelibapi.h"

#include "simcontroller.h"
#include "zuzerarovefiles.h"
#include "zuzerarovesim.h"

using sim::Controller;
using sim::Fault;
using sim::logCall;
using sim::Reservation;

ZuzEraroveLibApi::ZuzEraroveLibApi() = default;

ZuzEraroveLibApi *ZuzEraroveLibApi::getInstance()
{
    static ZuzEraroveLibApi api;
    return &api;
}

bool ZuzEraroveLibApi::getFileFromCtrl(QString ctrlPath, QString localPath)
{
    logCall("getFileFromCtrl", ctrlPath, localPath);
    return Controller::instance().fetch(ctrlPath, localPath);
}

bool ZuzEraroveLibApi::sendFileToCtrl(QString localPath, QString ctrlPath)
{
    logCall("sendFileToCtrl", localPath, ctrlPath);
    return Controller::instance().send(localPath, ctrlPath);
}

bool ZuzEraroveLibApi::readZuzEraroveFile(QString localPath)
{
    logCall("readZuzEraroveFile", localPath);
    ZuzEraroveData data;
    if (Controller::instance().isFaulty(Fault::Read, localPath)
        || !zuzfiles::readConfig(sim::panelRoot(), localPath, &data))
        return false;
    resvData = data;
    resvDataSaved = data;
    return true;
}

bool ZuzEraroveLibApi::writeZuzEraroveFile(QString localPath)
{
    logCall("writeZuzEraroveFile", localPath);
    if (Controller::instance().isFaulty(Fault::Write, localPath))
        return false;
    return zuzfiles::writeConfig(sim::panelRoot(), localPath, resvData);
}

bool ZuzEraroveLibApi::readPrograMapFile(QString localPath)
{
    logCall("readPrograMapFile", localPath);
    QList<ProgramMapData> maps;
    if (Controller::instance().isFaulty(Fault::Read, localPath)
        || !zuzfiles::readProgramMap(sim::panelRoot(), localPath, &maps))
        return false;
    programMaps = maps;
    return true;
}

bool ZuzEraroveLibApi::writePrograMapFile(QString localPath)
{
    logCall("writePrograMapFile", localPath);
    if (Controller::instance().isFaulty(Fault::Write, localPath))
        return false;
    return zuzfiles::writeProgramMap(sim::panelRoot(), localPath, programMaps);
}

int ZuzEraroveLibApi::getResvStatus(int row)
{
    logCall("getResvStatus", row);
    return Reservation::instance().status(row);
}

void ZuzEraroveLibApi::addResvProgram(int row)
{
    logCall("addResvProgram", row);
    Reservation::instance().reserve(row);
}

void ZuzEraroveLibApi::delResvProgram(int row)
{
    logCall("delResvProgram", row);
    Reservation::instance().cancel(row);
}

int ZuzEraroveLibApi::getProgramQueue(int position)
{
    logCall("getProgramQueue", position);
    const QList<int> queue = Reservation::instance().queue();
    return position >= 0 && position < queue.size() ? queue[position] + 1 : 0;
}

int ZuzEraroveLibApi::getProgramRunTotal(int row)
{
    logCall("getProgramRunTotal", row);
    return Reservation::instance().total(row);
}

void ZuzEraroveLibApi::clearRunTotal()
{
    logCall("clearRunTotal");
    Reservation::instance().clearTotals();
}

void ZuzEraroveLibApi::clearUnusedIdTotal()
{
    logCall("clearUnusedIdTotal");
    Reservation::instance().clearUnusedTotals();
}

bool ZuzEraroveLibApi::getResvRunningStatus()
{
    logCall("getResvRunningStatus");
    return Reservation::instance().isStarted();
}

void ZuzEraroveLibApi::setStartRunProgram()
{
    logCall("setStartRunProgram");
    Reservation::instance().announceStartOrStop();
}

void ZuzEraroveLibApi::setUpdateConfig()
{
    logCall("setUpdateConfig");
    Reservation::instance().applyControllerConfig();
}

void ZuzEraroveLibApi::setUpdateProgramMapConfig()
{
    logCall("setUpdateProgramMapConfig");
    Reservation::instance().applyControllerProgramMap();
}

QStringList ZuzEraroveLibApi::getAllRplName()
{
    logCall("getAllRplName");
    return Reservation::instance().programNames();
}

bool ZuzEraroveLibApi::isSameRplResData(ZuzEraroveData a, ZuzEraroveData b)
{
    logCall("isSameRplResData");
    if (a.runState != b.runState || a.signalMode != b.signalMode || a.protocol != b.protocol)
        return false;
    for (int i = 0; i < ZUZ_SLOT_COUNT; ++i)
        if (a.rplNames[i] != b.rplNames[i] || a.cycleIndex[i] != b.cycleIndex[i])
            return false;
    return true;
}

bool ZuzEraroveLibApi::isSameQstrList(QStringList a, QStringList b)
{
    logCall("isSameQstrList");
    return a == b;
}

void ZuzEraroveLibApi::setSignalMode(int mode)
{
    logCall("setSignalMode", mode);
    Reservation::instance().setSignalMode(mode);
}

void ZuzEraroveLibApi::setProtocolType(rescProtocol protocol)
{
    logCall("setProtocolType", int(protocol));
    Reservation::instance().setProtocol(protocol);
}

rescProtocol ZuzEraroveLibApi::getProtocolType()
{
    logCall("getProtocolType");
    return rescProtocol(Reservation::instance().protocol());
}

bool ZuzEraroveLibApi::setUsedVars_zuzEraroves(bool used, rescProtocol protocol)
{
    logCall("setUsedVars_zuzEraroves", used, int(protocol));
    if (Controller::instance().isFaulty(Fault::RegisterVar))
        return false;
    Reservation::instance().setVarsUsed(used, protocol);
    return true;
}

void ZuzEraroveLibApi::setAutoStartPLc(int plc, bool autoStart)
{
    logCall("setAutoStartPLc", plc, autoStart);
    Reservation::instance().setAutoStart(plc, autoStart);
}

bool ZuzEraroveLibApi::getAutoStartPLc(int plc)
{
    logCall("getAutoStartPLc", plc);
    return Reservation::instance().autoStart(plc);
}

void ZuzEraroveLibApi::delay_MSec(unsigned int ms)
{
    logCall("delay_MSec", ms);
    Controller::instance().wait(ms);
}
