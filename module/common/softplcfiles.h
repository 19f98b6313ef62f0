#pragma once

#include <QByteArray>
#include <QString>

// The soft-PLC page's files in the panel's tree, read and written through its guard as the other
// pages' files are (paths from modulepaths); what the files hold is SoftPlcConfig's.
namespace softplcfiles {

// A local file's bytes; false when it cannot be read or is larger than any file the screen reads.
bool read(const QString &localPath, QByteArray *bytes);
// Writes the file whole or not at all, its folder made first.
bool write(const QString &localPath, const QByteArray &bytes);
// Makes the local folder the files are fetched into; false when it cannot be made.
bool makeLocalFolder();

} // namespace softplcfiles
