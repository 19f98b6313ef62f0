#include "core/modulelog.h"

Q_LOGGING_CATEGORY(moduleLog, "ruvozuvid", QtWarningMsg)
