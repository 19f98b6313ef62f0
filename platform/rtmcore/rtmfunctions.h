#pragma once

#include "rtmcore_global.h"

#include <QString>

class QWidget;

// Maps a path of the panel's file tree to the one in use: relative names are taken from the
// panel's bin directory, so "../Application/x" is "<panel root>/Application/x".
RTMCORE_EXPORT QString RtmGetLocalizedFileName(const QString &name, bool localized);
// The local directory that mirrors controller flash drive n; made when missing.
RTMCORE_EXPORT QString RtmGetLocalBaseFlashDir(int drive);
// Removes everything inside dir, keeping dir itself.
RTMCORE_EXPORT bool RtmRemoveFolderContent(const QString &dir);
// Applies the panel style of that name to w; false for an unknown style.
RTMCORE_EXPORT bool RtmSetUIStyleSheet(QWidget *w, QString styleName);
RTMCORE_EXPORT void RtmGoToPage(int page);
RTMCORE_EXPORT void RtmSwitchWidgetVariablesContext();
