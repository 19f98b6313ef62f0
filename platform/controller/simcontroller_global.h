#pragma once

#if defined(RUVOZUVID_MODULE_BUILD)
#error "the module sees the platform's API only, never the simulator's hooks"
#endif

#include <QtGlobal>

#if defined(SIMCONTROLLER_LIBRARY)
#define SIMCONTROLLER_EXPORT Q_DECL_EXPORT
#else
#define SIMCONTROLLER_EXPORT Q_DECL_IMPORT
#endif
