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
    // Every entry of a long listing is read here: its text is looked at by hand.
    const ushort *text = entry.utf16();
    const int size = entry.size();
    if (size > 0 && text[size - 1] == '/')
        return size;
    int timeComma = size - 1;
    while (timeComma >= 0 && text[timeComma] != ',')
        --timeComma;
    int sizeComma = timeComma > 0 ? timeComma - 1 : -1;
    while (sizeComma >= 0 && text[sizeComma] != ',')
        --sizeComma;
    return sizeComma < 0 ? size : sizeComma;
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
