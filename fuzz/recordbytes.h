#pragma once

#include <QByteArray>

// A second reading of the service's files, apart from the service's reader and the lossless text:
// the raw bytes of each value its records hold, straight from the XML. A file saved without an
// edit must carry the same bytes for every name, and the same digits for every whole number that
// was written as one.
namespace recordbytes {

bool sameConfig(const QByteArray &read, const QByteArray &saved);
bool sameMap(const QByteArray &read, const QByteArray &saved);

} // namespace recordbytes
