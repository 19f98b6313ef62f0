#pragma once

#include <QLoggingCategory>

// The module's own diagnostics beyond the debug lines the panel's log expects; switched on with
// QT_LOGGING_RULES="ruvozuvid.debug=true".
Q_DECLARE_LOGGING_CATEGORY(moduleLog)
