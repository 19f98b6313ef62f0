// The soft-PLC configuration's round trip: whatever the reader takes, a write without an edit
// gives a document the reader cannot tell from it, and an edit of one entry changes only that
// entry.

#include "core/softplcconfig.h"
#include "xmloutline.h"

#include <QDateTime>

#include <cstdlib>

static bool sameEntries(const SoftPlcConfig &a, const SoftPlcConfig &b, int except = -1)
{
    for (int i = 0; i < SoftPlcConfig::count; ++i)
        if (i != except && (a.mode[i] != b.mode[i] || a.progName[i] != b.progName[i]))
            return false;
    return true;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), int(size));
    const QDateTime stamp(QDate(2026, 1, 1), QTime(0, 0));
    constexpr unsigned int readerOptions = pugi::parse_pi | pugi::parse_escapes;
    SoftPlcConfig read;
    if (!read.read(input))
        return 0;
    const QByteArray written = read.write(stamp);
    SoftPlcConfig again;
    if (!again.read(written) || !sameEntries(read, again)
        || xmlOutline(written, readerOptions) != xmlOutline(input, readerOptions))
        std::abort();

    SoftPlcConfig edited = read;
    const int entry = int(size % SoftPlcConfig::count);
    edited.mode[entry] = edited.mode[entry] == 1 ? 0 : 1;
    SoftPlcConfig afterEdit;
    if (!afterEdit.read(edited.write(stamp)) || !sameEntries(read, afterEdit, entry)
        || afterEdit.mode[entry] != edited.mode[entry] || afterEdit.progName[entry] != read.progName[entry])
        std::abort();
    return 0;
}
