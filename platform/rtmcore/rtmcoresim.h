#pragma once

#include "rtmcore_global.h"

#include <QMap>
#include <QString>

#include <functional>

namespace sim {

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
