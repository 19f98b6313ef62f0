// The controller's listing of "/RPL/", one entry a line, turned into the chooser's nodes: every
// node after its parent, every program's texts inside its entry.

#include "core/programlisting.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), int(size));
    ProgramListing listing;
    listing.take(text.split(QLatin1Char('\n')));
    const QVector<ProgramListing::Node> &nodes = listing.nodes();
    for (int i = 0; i < nodes.size(); ++i) {
        const ProgramListing::Node &node = nodes[i];
        if (node.parent >= i || (node.parent >= 0 && nodes[node.parent].depth + 1 != node.depth))
            std::abort();
        if (node.entry >= 0) {
            const QString &entry = listing.entries().at(node.entry);
            for (const ProgramListing::Place &at : node.fields)
                if (at.first < 0 || at.first + at.second > entry.size())
                    std::abort();
            if (!listing.text(node, 0).endsWith(QLatin1String(".XPL")))
                std::abort();
        }
    }
    return 0;
}
