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

// Each file lies in the tree at root (the panel's or the controller's) and is refused outside it.
// Reads return false for a missing, unreadable, malformed or oversized file and leave *out
// untouched; writes return false, writing nothing, for a file the reads would refuse. Texts are
// kept byte for byte, invalid UTF-8 included.
bool readConfig(const QString &root, const QString &path, ZuzEraroveData *out);
bool writeConfig(const QString &root, const QString &path, const ZuzEraroveData &data);
bool readProgramMap(const QString &root, const QString &path, QList<ProgramMapData> *out);
bool writeProgramMap(const QString &root, const QString &path, const QList<ProgramMapData> &maps);
// The soft-PLCs whose start-up mode is 1 (auto-startup), in the order of the file's entries.
bool readSoftPlcAutoStart(const QString &root, const QString &path, bool out[4]);

} // namespace zuzfiles
