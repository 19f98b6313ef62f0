#pragma once

#include <QtGlobal>

#if defined(RTMCORE_LIBRARY)
#define RTMCORE_EXPORT Q_DECL_EXPORT
#else
#define RTMCORE_EXPORT Q_DECL_IMPORT
#endif
