#pragma once

#if defined(RUVOZUVID_MODULE_BUILD)
#error "the module sees the platform's API only, never the simulator's hooks"
#endif

#include "zuzerarovelibapi.h"

// The service's two files, as XML:
//   <ZuzEraroveConfig runState="0" signalMode="1" protocol="0">
//     <Slot id="1" program="MAIN.XPL" cycleIndex="1"/> ... one per slot, id 1 to 15
//   </ZuzEraroveConfig>
//   <ProgramMapping>
//     <Program num="1" name="MAIN.XPL"/> ... in list order
//   </ProgramMapping>
namespace zuzfiles {

inline const char ctrlConfigPath[] = "/application/zuzerarove/zuzeraroveconfig.xml";
inline const char ctrlProgramMapPath[] = "/application/zuzerarove/programMapping.xml";
inline const char ctrlSoftPlcPath[] = "/application/zuzerarove/softplcconfig.xml";

// Reads return false for a missing, unreadable or malformed file and leave *out untouched.
bool readConfig(const QString &path, ZuzEraroveData *out);
bool writeConfig(const QString &path, const ZuzEraroveData &data);
bool readProgramMap(const QString &path, QList<ProgramMapData> *out);
bool writeProgramMap(const QString &path, const QList<ProgramMapData> &maps);
// The soft-PLCs whose start-up mode is 1 (auto-startup), in the order of the file's entries.
bool readSoftPlcAutoStart(const QString &path, bool out[4]);

} // namespace zuzfiles
