// The chooser's tree patched in place, listing after listing, against a tree made fresh from each
// listing: every byte toggles one entry of a pool that holds the awkward cases (a directory named
// like a program, with and without an entry of its own; names differing in case; commas in
// names; entries without the prefix or without size and date), and the next byte, when it is
// odd, takes the listing with that entry alone changed in its date.

#include "core/programlisting.h"
#include "listingshape.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QStringList pool{
        QStringLiteral("/RPL/A/"), QStringLiteral("/RPL/A/P1.XPL,1,d"), QStringLiteral("/RPL/A/p2.xpl,2,d"),
        QStringLiteral("/RPL/A/B/P3.XPL,3,d"), QStringLiteral("/RPL/A/B/"), QStringLiteral("/RPL/Q.XPL/"),
        QStringLiteral("/RPL/q.xpl,4,d"), QStringLiteral("/RPL/Q.XPL,5,d"), QStringLiteral("/RPL/Q.XPL/R.XPL,6,d"),
        QStringLiteral("/RPL/PART,2.XPL,7,d"), QStringLiteral("/RPL/PART.XPL,8,d"), QStringLiteral("/RPL/PART.XPL,OLD,9,d"),
        QStringLiteral("/RPL/N.TXT,1,d"), QStringLiteral("A/P8.XPL,1,d"), QStringLiteral("/RPL/P9.XPL"),
        QStringLiteral("/RPL/C,D/P4.XPL,4,d")};
    QStringList listing;
    ProgramListing patched;
    patched.take(listing);
    // A few hundred changes say what a longer run would; each one builds a fresh tree.
    for (size_t i = 0; i < size && i < 256; ++i) {
        QString entry = pool.at(data[i] % pool.size());
        if (data[i] & 0x80 && entry.count(QLatin1Char(',')) >= 2)
            entry += QLatin1Char('x'); // another date
        if (listing.contains(entry))
            listing.removeOne(entry);
        else
            listing.insert(int(data[i] >> 4) % (listing.size() + 1), entry);
        patched.take(listing);
        ProgramListing fresh;
        fresh.take(listing);
        if (listingShape(patched) != listingShape(fresh))
            std::abort();
    }
    return 0;
}
