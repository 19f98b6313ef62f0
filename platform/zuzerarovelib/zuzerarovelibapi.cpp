#include "zuzerarovelibapi.h"

#include "simcontroller.h"
#include "zuzerarovefiles.h"
#include "zuzerarovesim.h"

using sim::Controller;
using sim::Fault;
using sim::Reservation;

ZuzEraroveLibApi::ZuzEraroveLibApi() = default;

ZuzEraroveLibApi *ZuzEraroveLibApi::getInstance()
{
    static ZuzEraroveLibApi api;
    return &api;
}

bool ZuzEraroveLibApi::getFileFromCtrl(QString ctrlPath, QString localPath)
{
    SIM_LOG_CALL("getFileFromCtrl", ctrlPath, localPath);
    return Controller::instance().fetch(ctrlPath, localPath);
}

bool ZuzEraroveLibApi::sendFileToCtrl(QString localPath, QString ctrlPath)
{
    SIM_LOG_CALL("sendFileToCtrl", localPath, ctrlPath);
    return Controller::instance().send(localPath, ctrlPath);
}

bool ZuzEraroveLibApi::readZuzEraroveFile(QString localPath)
{
    SIM_LOG_CALL("readZuzEraroveFile", localPath);
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
    SIM_LOG_CALL("writeZuzEraroveFile", localPath);
    if (Controller::instance().isFaulty(Fault::Write, localPath))
        return false;
    return zuzfiles::writeConfig(sim::panelRoot(), localPath, resvData);
}

bool ZuzEraroveLibApi::readPrograMapFile(QString localPath)
{
    SIM_LOG_CALL("readPrograMapFile", localPath);
    QList<ProgramMapData> maps;
    if (Controller::instance().isFaulty(Fault::Read, localPath)
        || !zuzfiles::readProgramMap(sim::panelRoot(), localPath, &maps))
        return false;
    programMaps = maps;
    return true;
}

bool ZuzEraroveLibApi::writePrograMapFile(QString localPath)
{
    SIM_LOG_CALL("writePrograMapFile", localPath);
    if (Controller::instance().isFaulty(Fault::Write, localPath))
        return false;
    return zuzfiles::writeProgramMap(sim::panelRoot(), localPath, programMaps);
}

int ZuzEraroveLibApi::getResvStatus(int row)
{
    SIM_LOG_CALL("getResvStatus", row);
    return Reservation::instance().status(row);
}

void ZuzEraroveLibApi::addResvProgram(int row)
{
    SIM_LOG_CALL("addResvProgram", row);
    Reservation::instance().reserve(row);
}

void ZuzEraroveLibApi::delResvProgram(int row)
{
    SIM_LOG_CALL("delResvProgram", row);
    Reservation::instance().cancel(row);
}

int ZuzEraroveLibApi::getProgramQueue(int position)
{
    SIM_LOG_CALL("getProgramQueue", position);
    const QList<int> queue = Reservation::instance().queue();
    return position >= 0 && position < queue.size() ? queue[position] + 1 : 0;
}

int ZuzEraroveLibApi::getProgramRunTotal(int row)
{
    SIM_LOG_CALL("getProgramRunTotal", row);
    return Reservation::instance().total(row);
}

void ZuzEraroveLibApi::clearRunTotal()
{
    SIM_LOG_CALL("clearRunTotal");
    Reservation::instance().clearTotals();
}

void ZuzEraroveLibApi::clearUnusedIdTotal()
{
    SIM_LOG_CALL("clearUnusedIdTotal");
    Reservation::instance().clearUnusedTotals();
}

bool ZuzEraroveLibApi::getResvRunningStatus()
{
    SIM_LOG_CALL("getResvRunningStatus");
    return Reservation::instance().isStarted();
}

void ZuzEraroveLibApi::setStartRunProgram()
{
    SIM_LOG_CALL("setStartRunProgram");
    Reservation::instance().announceStartOrStop();
}

void ZuzEraroveLibApi::setUpdateConfig()
{
    SIM_LOG_CALL("setUpdateConfig");
    Reservation::instance().applyControllerConfig();
}

void ZuzEraroveLibApi::setUpdateProgramMapConfig()
{
    SIM_LOG_CALL("setUpdateProgramMapConfig");
    Reservation::instance().applyControllerProgramMap();
}

QStringList ZuzEraroveLibApi::getAllRplName()
{
    SIM_LOG_CALL("getAllRplName");
    return Reservation::instance().programNames();
}

bool ZuzEraroveLibApi::isSameRplResData(ZuzEraroveData a, ZuzEraroveData b)
{
    SIM_LOG_CALL("isSameRplResData");
    if (a.runState != b.runState || a.signalMode != b.signalMode || a.protocol != b.protocol)
        return false;
    for (int i = 0; i < ZUZ_SLOT_COUNT; ++i)
        if (a.rplNames[i] != b.rplNames[i] || a.cycleIndex[i] != b.cycleIndex[i])
            return false;
    return true;
}

bool ZuzEraroveLibApi::isSameQstrList(QStringList a, QStringList b)
{
    SIM_LOG_CALL("isSameQstrList");
    return a == b;
}

void ZuzEraroveLibApi::setSignalMode(int mode)
{
    SIM_LOG_CALL("setSignalMode", mode);
    Reservation::instance().setSignalMode(mode);
}

void ZuzEraroveLibApi::setProtocolType(rescProtocol protocol)
{
    SIM_LOG_CALL("setProtocolType", int(protocol));
    Reservation::instance().setProtocol(protocol);
}

rescProtocol ZuzEraroveLibApi::getProtocolType()
{
    SIM_LOG_CALL("getProtocolType");
    return rescProtocol(Reservation::instance().protocol());
}

bool ZuzEraroveLibApi::setUsedVars_zuzEraroves(bool used, rescProtocol protocol)
{
    SIM_LOG_CALL("setUsedVars_zuzEraroves", used, int(protocol));
    if (Controller::instance().isFaulty(Fault::RegisterVar))
        return false;
    Reservation::instance().setVarsUsed(used, protocol);
    return true;
}

void ZuzEraroveLibApi::setAutoStartPLc(int plc, bool autoStart)
{
    SIM_LOG_CALL("setAutoStartPLc", plc, autoStart);
    Reservation::instance().setAutoStart(plc, autoStart);
}

bool ZuzEraroveLibApi::getAutoStartPLc(int plc)
{
    SIM_LOG_CALL("getAutoStartPLc", plc);
    return Reservation::instance().autoStart(plc);
}

void ZuzEraroveLibApi::delay_MSec(unsigned int ms)
{
    SIM_LOG_CALL("delay_MSec", ms);
    Controller::instance().wait(ms);
}
