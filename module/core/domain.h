#pragma once

#include "zuzerarovelibapi.h"

#include <QString>

// The reservation screen's own numbers, named once.

// What a page asks the page stack for with setCurrentWidgetSignal(); any other value is the
// monitor.
enum PageId { PageClose = -1, PageMonitor = 0, PageSettings = 1, PageSoftPlc = 2, PageProgramMap = 3 };

// A slot's reservation status as the service reports it; anything above Reserved runs.
enum SlotStatus { SlotUnreserved = 0, SlotReserved = 1, SlotRunning = 2 };

// The signal mode: "Binary" takes 15 slots in rows of 50 pixels, anything else is "Alone" with
// 4 slots in rows of 80.
enum SignalMode { ModeAlone = 0, ModeBinary = 1 };

inline int slotRows(int signalMode)
{
    return signalMode == ModeBinary ? ZUZ_SLOT_COUNT : 4;
}

inline int slotRowHeight(int signalMode)
{
    return signalMode == ModeBinary ? 50 : 80;
}

// The field-bus protocols, 0 (discrete I/O) to 10.
constexpr int ProtocolCount = 11;

// The soft-PLCs "softplc1" to "softplc4".
constexpr int SoftPlcCount = 4;

// A program name as a cell or a box shows it: no program path is longer than a few hundred
// characters, so a longer name from a damaged file is cut there, keeping the screen responsive.
inline QString shownName(const QString &name)
{
    constexpr int longest = 256;
    return name.size() <= longest ? name : name.left(longest) + QChar(0x2026);
}
