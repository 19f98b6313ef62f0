#include "core/programlisting.h"

#include <QHash>

#include <algorithm>

namespace {

// The n-th of the fields that commas separate in a listing entry; empty when it has fewer.
QStringRef field(QStringRef entry, int n)
{
    for (; n > 0; --n) {
        const int comma = entry.indexOf(QLatin1Char(','));
        entry = comma < 0 ? entry.right(0) : entry.mid(comma + 1);
    }
    const int comma = entry.indexOf(QLatin1Char(','));
    return comma < 0 ? entry : entry.left(comma);
}

ProgramListing::Place place(const QStringRef &text)
{
    return {text.position(), text.size()};
}

} // namespace

bool ProgramListing::isProgram(const QString &name)
{
    const QString upper = name.toUpper();
    return upper.contains(QLatin1String(".XPL")) || upper.contains(QLatin1String(".PJ"));
}

QString ProgramListing::choice(const QString &name, const QString &itemPath)
{
    return isProgram(name) ? directory() + itemPath : QString();
}

bool ProgramListing::take(const QStringList &listing)
{
    if (m_taken && listing == m_listing)
        return false;
    m_taken = true;
    m_listing = listing;
    m_entries = listing;
    for (QString &entry : m_entries)
        entry = entry.toUpper();
    // A controller lists in order; only a listing out of it is sorted.
    if (!std::is_sorted(m_entries.cbegin(), m_entries.cend()))
        m_entries.sort();
    build();
    return true;
}

QString ProgramListing::text(const Node &node, int field) const
{
    if (node.entry < 0)
        return field == 0 ? node.name : QString();
    const Place &at = node.fields[field];
    return m_entries.at(node.entry).mid(at.first, at.second);
}

void ProgramListing::setCollapsed(const QString &dirPath, bool collapsed)
{
    if (collapsed)
        m_collapsed.insert(dirPath);
    else
        m_collapsed.remove(dirPath);
}

void ProgramListing::build()
{
    m_nodes.clear();
    // Sorted, a directory's own entry comes before the entries inside it, and the entries of one
    // directory follow each other. Each node is found by its parent and name (the first child of
    // that name, a program too: a directory named like a program goes under it), and the last
    // entry's directory by its path, so neither a wide nor a deep tree is searched.
    // The keys are pieces of the entries, which stay as they are while the tree is built.
    QHash<QPair<int, QStringRef>, int> children;
    QStringRef lastPath;
    int lastDir = -1;
    int lastDepth = 0;
    const QString prefix = directory();
    for (int e = 0; e < m_entries.size(); ++e) {
        const QString &entry = m_entries.at(e);
        const QStringRef s = entry.startsWith(prefix) ? entry.midRef(prefix.size()) : entry.midRef(0);
        const QStringRef name = field(s, 0);
        if (!name.endsWith(QLatin1Char('/')) && !name.endsWith(QLatin1String(".XPL")))
            continue;
        // The directories the entry lies in, each with the "/" after it.
        const QStringRef path = name.left(name.lastIndexOf(QLatin1Char('/')) + 1);
        if (path != lastPath) {
            lastPath = path;
            lastDir = -1;
            lastDepth = 0;
            // The piece after the last "/" is empty.
            const QVector<QStringRef> segs = path.split(QLatin1Char('/'));
            for (int i = 0; i + 1 < segs.size(); ++i) {
                int &child = children[qMakePair(lastDir, segs.at(i))];
                if (!child) {
                    Node dir;
                    dir.parent = lastDir;
                    dir.depth = lastDepth;
                    dir.name = segs.at(i).toString();
                    dir.expanded = !m_collapsed.contains(s.toString());
                    m_nodes.append(dir);
                    child = m_nodes.size(); // one past, so 0 is "none"
                }
                lastDir = child - 1;
                ++lastDepth;
            }
        }
        const QStringRef program = name.mid(path.size());
        if (program.isEmpty())
            continue;
        Node node;
        node.parent = lastDir;
        node.depth = lastDepth;
        node.entry = e;
        node.fields[0] = place(program);
        node.fields[1] = place(field(s, 1));
        node.fields[2] = place(field(s, 2));
        m_nodes.append(node);
        int &first = children[qMakePair(lastDir, program)];
        if (!first)
            first = m_nodes.size();
    }
}
