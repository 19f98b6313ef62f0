#pragma once

#include "treefiles/folder.h"

#include <QByteArray>
#include <QString>


// The one guard every file operation of the screen and of the platform goes through: the panel
// and the controller each own a file tree, and nothing outside them may be read, written, made
// or removed, whatever links lie on the way.
namespace treepath {

// Where path really leads once every component is resolved as the system would resolve it:
// links at any depth (relative or absolute, dangling ones to where they point), "." and "..".
// Components that do not exist yet are taken as written. Empty when the path is empty, holds a
// NUL, or loops through links.
QString realPath(const QString &path);

// The real path of path when it lies inside the tree rooted at root (the root itself counts);
// empty when it leads out of the tree, or the root does not exist. A relative path is taken
// from the root, so a controller path "/RPL/A.XPL" is given as root + "/RPL/A.XPL".
QString inside(const QString &root, const QString &path);

// inside() for a file to be written: empty also when the file's own place holds a link, so a
// write never goes through a link, even one that stays in the tree.
QString writable(const QString &root, const QString &path);

// Makes the folder and its missing parents, each one checked to stay inside the tree.
bool makeFolder(const QString &root, const QString &path);

// Every file the screen and the platform read is small; a larger one is refused unread, as one
// that cannot be read, and none that large is written.
constexpr qint64 maxFileSize = 1 << 20;

// A file transfer copies what it is given, whatever its size; the readers judge it.
constexpr qint64 anySize = treefiles::anySize;

// The file's bytes, when it lies inside the tree, is a file and is no larger than limit.
bool readFile(const QString &root, const QString &path, QByteArray *bytes, qint64 limit = maxFileSize);

// Replaces the file whole and durably (treefiles::Folder::writeFile): the old file or the new one
// survives a power cut. Refused outside the tree, through a link, or over limit.
bool writeFile(const QString &root, const QString &path, const QByteArray &bytes, qint64 limit = maxFileSize);

} // namespace treepath
