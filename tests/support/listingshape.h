#pragma once

#include "core/programlisting.h"

#include <QStringList>

// The chooser's tree as a line a node: its parent's number, its depth and its three texts. Two
// trees an operator cannot tell apart have the same shape.
inline QStringList listingShape(const ProgramListing &listing)
{
    QStringList lines;
    for (const ProgramListing::Node &node : listing.nodes())
        lines << QStringLiteral("%1 %2 %3|%4|%5").arg(node.parent).arg(node.depth)
                     .arg(listing.text(node, 0), listing.text(node, 1), listing.text(node, 2));
    return lines;
}
