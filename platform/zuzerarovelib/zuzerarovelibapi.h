#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#if defined(ZUZERAROVELIB_LIBRARY)
#define ZUZERAROVELIB_EXPORT Q_DECL_EXPORT
#else
#define ZUZERAROVELIB_EXPORT Q_DECL_IMPORT
#endif

// Field-bus protocol of the reservation signals; 0 is discrete I/O.
enum rescProtocol : int {
    RESC_PROTOCOL_IO = 0,
    RESC_PROTOCOL_MODBUS_TCP = 1,
    RESC_PROTOCOL_ETHERCAT = 2,
    RESC_PROTOCOL_ETHERNET_IP = 3,
    RESC_PROTOCOL_PROFINET = 4,
    RESC_PROTOCOL_ETHERCAT_MASTER = 5,
    RESC_PROTOCOL_DEVICENET = 6,
    RESC_PROTOCOL_MTCP_MASTER = 7,
    RESC_PROTOCOL_EIP_MASTER = 8,
    RESC_PROTOCOL_PROFINET_MASTER = 9,
    RESC_PROTOCOL_DEVICENET_MASTER = 10,
};

constexpr int ZUZ_SLOT_COUNT = 15;

// One reservation configuration: run state, signal mode, protocol and the 15 slots.
struct ZuzEraroveData
{
    int runState = 0;   // 1 started, 0 stopped
    int signalMode = 0; // 1 "Binary" (15 slots), otherwise "Alone" (4 slots)
    int protocol = 0;   // a rescProtocol
    QString rplNames[ZUZ_SLOT_COUNT];
    int cycleIndex[ZUZ_SLOT_COUNT];

    ZuzEraroveData()
    {
        for (int &c : cycleIndex)
            c = 1;
    }
};

struct ProgramMapData
{
    int programNum = 0;
    QString programName;
};

// The program reservation service: its configuration, its program map and the reservation
// queue that the controller runs. One instance, used on the user-interface thread.
class ZUZERAROVELIB_EXPORT ZuzEraroveLibApi
{
public:
    static ZuzEraroveLibApi *getInstance();

    ZuzEraroveData resvData;      // working record
    ZuzEraroveData resvDataSaved; // last saved record
    QList<ProgramMapData> programMaps;

    // Copy one file between controller and panel; false when it failed, leaving the
    // destination as it was.
    bool getFileFromCtrl(QString ctrlPath, QString localPath);
    bool sendFileToCtrl(QString localPath, QString ctrlPath);

    // Read sets both resvData and resvDataSaved; a failed read changes nothing.
    bool readZuzEraroveFile(QString localPath);
    bool writeZuzEraroveFile(QString localPath);
    bool readPrograMapFile(QString localPath);
    bool writePrograMapFile(QString localPath);

    // 0 unreserved, 1 reserved, 2 running; 0 for a row outside the slots.
    int getResvStatus(int row);
    void addResvProgram(int row);
    void delResvProgram(int row);
    // The 1-based slot at 0-based queue position; 0 when the position is empty.
    int getProgramQueue(int position);
    int getProgramRunTotal(int row);
    void clearRunTotal();
    // Clears the totals of slots that have no program in the configuration in force.
    void clearUnusedIdTotal();

    bool getResvRunningStatus();
    // Announces a start or stop: starting ends a program that runs outside the reservation.
    void setStartRunProgram();
    // Take over the configuration file / program map file that was sent to the controller.
    void setUpdateConfig();
    void setUpdateProgramMapConfig();

    // The programs in the controller's "/RPL/" directory, as paths relative to it.
    QStringList getAllRplName();

    bool isSameRplResData(ZuzEraroveData a, ZuzEraroveData b);
    bool isSameQstrList(QStringList a, QStringList b);

    void setSignalMode(int mode);
    void setProtocolType(rescProtocol protocol);
    rescProtocol getProtocolType();

    // Registers (used) or releases the field-bus variables of that protocol.
    bool setUsedVars_zuzEraroves(bool used, rescProtocol protocol);

    void setAutoStartPLc(int plc, bool autoStart);
    bool getAutoStartPLc(int plc);

    void delay_MSec(unsigned int ms);

    ZuzEraroveLibApi(const ZuzEraroveLibApi &) = delete;
    ZuzEraroveLibApi &operator=(const ZuzEraroveLibApi &) = delete;

private:
    ZuzEraroveLibApi();
};

