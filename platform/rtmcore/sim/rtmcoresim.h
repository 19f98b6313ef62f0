#pragma once

#include "rtmcore_global.h"

#if defined(RUVOZUVID_MODULE_BUILD)
#error "the module sees the platform's API only, never the simulator's hooks"
#endif

#include <QMap>
#include <QString>

#include <functional>

class RtmBaseWidget;

namespace sim {

// The host's idle call: raises the element's idle flag, then runs its slotIdle().
RTMCORE_EXPORT void hostIdle(RtmBaseWidget *widget);
// True while an idle pass has not been taken by the element.
RTMCORE_EXPORT bool idlePending(RtmBaseWidget *widget);

// A touch editor keeps what it was set to in its properties "rtmCast", "rtmMinimum" and
// "rtmMaximum".

// Test and simulator hooks of the host framework.
class RTMCORE_EXPORT Panel
{
public:
    // The panel's file tree; when none is set, RTM_PANEL_ROOT, else the working directory.
    static void setRoot(const QString &dir);
    static QString root();

    // The host page that RtmGoToPage last asked for, -1 before any.
    static int lastPage();
    static void setGoToPageHandler(std::function<void(int)> handler);

    // Variables registered through RtmBaseWidget::setUsedVar: number -> used.
    static QMap<int, bool> usedVars();
    static void recordUsedVar(int number, bool used);

    static void reset();
};

} // namespace sim
