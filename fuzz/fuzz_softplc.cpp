// The soft-PLC configuration's round trip: whatever the reader takes, a write without an edit
// gives back the bytes read but for the date comment (a UTF-8 file; another encoding, a document
// the reader cannot tell from it), and an edit of one entry changes only that entry.

#include "core/softplcconfig.h"
#include "xmloutline.h"

#include <QDateTime>

#include <cstdlib>

// What a save without an edit must give, from the bytes alone (nothing of the reader): the bytes
// read with their leading date comment stamped anew, or with a new one put first. Null for inputs
// where the date comment stands elsewhere, which this oracle leaves to the outline.
static QByteArray expectedBytes(const QByteArray &input, const QByteArray &stamped)
{
    const QByteArray marker = "<!-- Date(ymd)/time(hms) ";
    const QByteArray lineEnd = input.contains("\r\n") ? "\r\n" : "\n";
    int at = input.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    if (input.mid(at, 5) == "<?xml" && input.indexOf("?>", at) >= 0) {
        at = input.indexOf("?>", at) + 2;
        at += input.mid(at, lineEnd.size()) == lineEnd ? lineEnd.size() : 0;
    }
    QByteArray expected = input;
    if (input.count(marker) == 0)
        return expected.insert(at, stamped + lineEnd);
    if (input.count(marker) == 1 && input.mid(at, marker.size()) == marker && input.indexOf("-->", at) >= 0)
        return expected.replace(at, input.indexOf("-->", at) + 3 - at, stamped);
    return QByteArray();
}

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
    pugi::xml_document doc;
    const bool utf8 = doc.load_buffer(input.constData(), size_t(input.size()), readerOptions).encoding == pugi::encoding_utf8;
    const QByteArray expected = expectedBytes(input, "<!-- Date(ymd)/time(hms) 2026/01/01 00:00:00 -->");
    if (utf8 && !expected.isNull() && written != expected)
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
