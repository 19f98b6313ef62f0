#pragma once

#include <QString>

// An entry of a controller's folder listing: "PATH/" for a folder, "PATH,SIZE,TIME" for a file.
// A file's name may hold commas itself, so its size and time are the entry's last two fields:
// the entry is read from its end.
namespace listingentry {

// Where the path ends: at the comma before the size, or at the entry's end for a folder (or an
// entry without a size and a time).
inline int pathEnd(const QString &entry)
{
    if (entry.endsWith(QLatin1Char('/')))
        return entry.size();
    const int timeComma = entry.lastIndexOf(QLatin1Char(','));
    const int sizeComma = timeComma > 0 ? entry.lastIndexOf(QLatin1Char(','), timeComma - 1) : -1;
    return sizeComma < 0 ? entry.size() : sizeComma;
}

inline QString path(const QString &entry)
{
    return entry.left(pathEnd(entry));
}

// Whether the entry is the file at path.
inline bool names(const QString &entry, const QString &path)
{
    return entry.startsWith(path) && pathEnd(entry) == path.size();
}

} // namespace listingentry
