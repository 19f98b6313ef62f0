#pragma once

#include <QString>

// True only when the controller is connected and lists the folders on the way to ctrlPath
// without that file: a failed fetch then means the controller has no such file, so the
// defaults a page shows are what the controller has. Any doubt (no link, no listing) is false.
bool absentOnController(const QString &ctrlPath);
