#include "core/programlisting.h"
#include "treefiles/listingentry.h"

#include <QHash>

#include <algorithm>
#include <cstring>
#include <numeric>
#include <utility>

namespace {

ProgramListing::Place place(const QStringRef &text)
{
    return {text.position(), text.size()};
}

// The piece of entry from..to, which the entry outlives.
QStringRef piece(const QString &entry, int from, int to)
{
    return QStringRef(&entry, from, to - from);
}

// Whether the entry has a letter upper-casing may change: from "a" to "z", or past ASCII. A
// controller lists in upper case, so every character of every entry is looked at: four at once.
bool needsUpperCase(const QString &entry)
{
    const ushort *text = entry.utf16();
    const int size = entry.size();
    quint64 found = 0;
    int i = 0;
    for (; i + 4 <= size; i += 4) {
        quint64 x;
        std::memcpy(&x, text + i, sizeof x);
        // Past ASCII; otherwise at least "a" (+0x1F reaches 0x80) and not past "z" (+0x05 does not).
        found |= (x & 0xFF80FF80FF80FF80ULL)
            | ((x + 0x001F001F001F001FULL) & ~(x + 0x0005000500050005ULL) & 0x0080008000800080ULL);
    }
    for (; i < size; ++i)
        found |= quint64(ushort(text[i] - 'a') < 26) | quint64(text[i] >= 0x80);
    return found;
}

// The entry upper-cased; one without a lower-case letter, as a controller lists, is only read.
void upperCase(QString &entry)
{
    if (needsUpperCase(entry))
        entry = entry.toUpper();
}

// The first of the sorted entries first..last that names the program name: the name alone, or
// the name and a comma; last when none does.
QStringList::const_iterator namedEntry(QStringList::const_iterator first, QStringList::const_iterator last, const QStringRef &name)
{
    auto at = std::lower_bound(first, last, name, [](const QString &a, const QStringRef &b) { return QStringRef(&a) < b; });
    if (at == last || QStringRef(&*at) == name)
        return at;
    const QString path = name.toString();
    const QString named = path + QLatin1Char(',');
    // The entry of this name, not one of a longer name with a comma after it.
    for (at = std::lower_bound(at, last, named); at != last && at->startsWith(named); ++at)
        if (listingentry::names(*at, path))
            return at;
    return last;
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

bool ProgramListing::take(const QStringList &listing, int nodes)
{
    if (!m_taken) {
        m_taken = true;
        m_listing = listing;
        takeWhole();
        readTo(nodes);
        return true;
    }
    // What changed is told against the whole tree taken last.
    readTo(std::numeric_limits<int>::max());
    // The entries before and after the part that differs from the listing taken last. Entries
    // the controller kept share their text with the earlier ones: they compare by that alone.
    const auto same = [](const QString &a, const QString &b) { return a.constData() == b.constData() || a == b; };
    const int common = qMin(listing.size(), m_listing.size());
    int head = 0;
    while (head < common && same(listing.at(head), m_listing.at(head)))
        ++head;
    int tail = 0;
    while (tail < common - head && same(listing.at(listing.size() - 1 - tail), m_listing.at(m_listing.size() - 1 - tail)))
        ++tail;
    if (listing.size() == m_listing.size() && head + tail == listing.size())
        return false;
    QStringList gone, added;
    if (listing.size() + m_listing.size() - 2 * (head + tail) <= FewEntries) {
        for (int i = head; i < m_listing.size() - tail; ++i) {
            gone.append(m_listing.at(i));
            upperCase(gone.last());
        }
        for (int i = head; i < listing.size() - tail; ++i) {
            added.append(listing.at(i));
            upperCase(added.last());
        }
    }
    m_listing = listing;
    if ((gone.isEmpty() && added.isEmpty()) || !patch(gone, added)) {
        const QStringList entriesBefore = m_entries;
        const QVector<Node> before = m_nodes;
        takeWhole();
        readTo(std::numeric_limits<int>::max());
        match(before, entriesBefore);
    }
    return true;
}

void ProgramListing::takeWhole()
{
    m_entries = m_listing;
    // Read through a constant list: the list is copied only when an entry changes.
    for (int i = 0; i < m_entries.size(); ++i)
        if (needsUpperCase(qAsConst(m_entries).at(i)))
            m_entries[i] = m_entries.at(i).toUpper();
    // A controller lists in order; only a listing out of it is sorted.
    if (!std::is_sorted(m_entries.cbegin(), m_entries.cend()))
        m_entries.sort();
    m_reading = Reading();
    m_nodes.clear();
    m_nodes.reserve(m_entries.size());
    m_nodeOfEntry.fill(-1, m_entries.size());
    m_dirNodes.clear();
    // A new tree has no earlier one: every node is new.
    m_earlier.clear();
    m_gone.clear();
}

ProgramListing::Parsed ProgramListing::parse(const QString &entry)
{
    // Every entry of a listing is read here, so the text is looked at by hand.
    Parsed p;
    const ushort *text = entry.utf16();
    const int size = entry.size();
    const QString prefix = directory();
    p.start = size >= prefix.size() && std::equal(prefix.utf16(), prefix.utf16() + prefix.size(), text) ? prefix.size() : 0;
    // The name, which may hold commas, then the size and the date: read from the end.
    p.commas[0] = qMax(p.start, listingentry::pathEnd(entry));
    int sizeEnd = p.commas[0] + 1;
    while (sizeEnd < size && text[sizeEnd] != ',')
        ++sizeEnd;
    p.commas[1] = qMin(sizeEnd, size);
    p.commas[2] = size;
    const int nameSize = p.commas[0] - p.start;
    const ushort *nameEnd = text + p.commas[0];
    p.directory = nameSize >= 1 && nameEnd[-1] == '/';
    p.shown = p.directory
        || (nameSize >= 4 && nameEnd[-4] == '.' && nameEnd[-3] == 'X' && nameEnd[-2] == 'P' && nameEnd[-1] == 'L');
    p.pathEnd = p.commas[0];
    while (p.pathEnd > p.start && text[p.pathEnd - 1] != '/')
        --p.pathEnd;
    return p;
}

ProgramListing::Node ProgramListing::programNode(const QString &entry, const Parsed &p, int e, int parent, int depth)
{
    const int size = entry.size();
    Node node;
    node.parent = parent;
    node.depth = depth;
    node.entry = e;
    node.source = e;
    node.keyLength = size;
    node.fields[0] = place(piece(entry, p.pathEnd, p.commas[0]));
    node.fields[1] = place(piece(entry, qMin(p.commas[0] + 1, size), p.commas[1]));
    node.fields[2] = place(piece(entry, qMin(p.commas[1] + 1, size), p.commas[2]));
    return node;
}

bool ProgramListing::patch(const QStringList &gone, const QStringList &added)
{
    // Programs that come and go in directories that stay are put in or taken out of the tree in
    // place; anything else (a directory's entry, a directory made or emptied, a program a
    // directory is named like) is left to a new tree. Nothing is changed until that is known.
    QStringList entries = m_entries;
    QVector<Node> nodes = m_nodes;
    QVector<int> nodeOfEntry = m_nodeOfEntry;
    QHash<QString, int> dirNodes = m_dirNodes;
    QVector<int> origin(nodes.size());
    std::iota(origin.begin(), origin.end(), 0);
    QVector<int> goneNodes;
    // Node and entry numbers after the one that came or went move by one.
    const auto renumber = [&](int node, int entry, int by) {
        for (Node &n : nodes) {
            if (n.parent >= node)
                n.parent += by;
            if (n.source >= entry)
                n.source += by;
            if (n.entry >= entry)
                n.entry += by;
        }
        for (int &n : nodeOfEntry)
            if (n >= node)
                n += by;
        for (int &n : dirNodes)
            if (n >= node)
                n += by;
    };
    const auto hasChild = [&](int parent) {
        return std::any_of(nodes.cbegin(), nodes.cend(), [parent](const Node &n) { return n.parent == parent; });
    };
    for (const QString &entry : gone) {
        const auto at = std::lower_bound(entries.begin(), entries.end(), entry);
        if (at == entries.end() || *at != entry)
            return false;
        const int e = int(at - entries.begin());
        const Parsed p = parse(entry);
        // A directory named like the program stands in its place once it goes: a new tree.
        const QString name = entry.mid(p.start, p.commas[0] - p.start);
        if (p.directory || dirNodes.contains(name + QLatin1Char('/'))
            || std::binary_search(entries.cbegin(), entries.cend(), entry.left(p.commas[0]) + QLatin1Char('/')))
            return false;
        const int node = nodeOfEntry.at(e);
        // A directory without an entry of its own takes its place from its first program's
        // entry: when that one goes, the directory may move, which a new tree shows.
        for (int d = node >= 0 ? nodes.at(node).parent : -1; d >= 0; d = nodes.at(d).parent)
            if (nodes.at(d).source == e)
                return false;
        entries.removeAt(e);
        nodeOfEntry.remove(e);
        if (node >= 0) {
            const int parent = nodes.at(node).parent;
            if (hasChild(node))
                return false;
            nodes.remove(node);
            if (origin.at(node) >= 0)
                goneNodes.append(origin.at(node));
            origin.remove(node);
            renumber(node + 1, e + 1, -1);
            // A directory without an entry of its own lasts as long as something is in it.
            const int dir = parent > node ? parent - 1 : parent;
            if (dir >= 0 && !hasChild(dir))
                return false;
        } else {
            renumber(nodes.size(), e + 1, -1);
        }
    }
    for (const QString &entry : added) {
        const Parsed p = parse(entry);
        if (p.directory)
            return false;
        const int e = int(std::upper_bound(entries.begin(), entries.end(), entry) - entries.begin());
        if (!p.shown || p.pathEnd == p.commas[0]) {
            renumber(nodes.size(), e, 1);
            entries.insert(e, entry);
            nodeOfEntry.insert(e, -1);
            continue;
        }
        const QString path = entry.mid(p.start, p.pathEnd - p.start);
        const int parent = path.isEmpty() ? -1 : dirNodes.value(path, -2);
        // A program of the same name may be the one a directory is put under.
        if (parent == -2 || dirNodes.contains(entry.mid(p.start, p.commas[0] - p.start) + QLatin1Char('/'))
            || namedEntry(entries.cbegin(), entries.cend(), piece(entry, 0, p.commas[0])) != entries.cend())
            return false;
        renumber(nodes.size(), e, 1);
        entries.insert(e, entry);
        // Its place among the nodes, which are in the order of their keys.
        const QStringRef key(&entries.at(e));
        const int node = int(std::lower_bound(nodes.cbegin(), nodes.cend(), key, [&](const Node &n, const QStringRef &k) {
                                 return ProgramListing::key(n, entries) < k;
                             }) - nodes.cbegin());
        // A parent comes before its children: a place before the parent (entries with and
        // without the folder's prefix mixed) is left to a new tree.
        if (node <= parent)
            return false;
        renumber(node, entries.size(), 1);
        // A parent comes before its children: its number does not move.
        nodes.insert(node, programNode(entries.at(e), p, e, parent, parent < 0 ? 0 : nodes.at(parent).depth + 1));
        origin.insert(node, -1);
        nodeOfEntry.insert(e, node);
    }
    m_entries = entries;
    m_reading = Reading();
    m_reading.next = m_entries.size();
    m_nodes = nodes;
    m_nodeOfEntry = nodeOfEntry;
    m_dirNodes = dirNodes;
    m_earlier = origin;
    std::sort(goneNodes.begin(), goneNodes.end());
    m_gone = goneNodes;
    return true;
}

void ProgramListing::match(const QVector<Node> &before, const QStringList &entriesBefore)
{
    // Both trees' nodes are in the order of their keys, as the sorted entries they come from, so
    // one walk through both pairs them: a node stays when its key and kind are the same and its
    // parent stayed as its parent.
    m_earlier.fill(-1, m_nodes.size());
    m_gone.clear();
    int i = 0;
    for (int j = 0; j < m_nodes.size(); ++j) {
        const Node &node = m_nodes.at(j);
        const QStringRef now = key(node, m_entries);
        while (i < before.size() && key(before.at(i), entriesBefore) < now)
            m_gone.append(i++);
        if (i == before.size() || key(before.at(i), entriesBefore) != now)
            continue;
        const Node &old = before.at(i);
        const bool sameParent = node.parent < 0 ? old.parent < 0 : m_earlier.at(node.parent) >= 0 && m_earlier.at(node.parent) == old.parent;
        if (sameParent && (node.entry < 0) == (old.entry < 0))
            m_earlier[j] = i;
        else
            m_gone.append(i);
        ++i;
    }
    while (i < before.size())
        m_gone.append(i++);
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

int ProgramListing::programNamed(int parent, const QString &entry, int upTo, int before) const
{
    const auto first = m_entries.cbegin();
    const auto last = first + before;
    const auto at = namedEntry(first, last, piece(entry, 0, upTo));
    if (at == last)
        return -1;
    const int node = m_nodeOfEntry.at(int(at - first));
    return node >= 0 && m_nodes.at(node).parent == parent ? node : -1;
}

void ProgramListing::readTo(int nodes)
{
    // Sorted, a directory's own entry comes before the entries inside it, and the entries of one
    // directory follow each other, so only a change of directory looks anything up. A node is
    // the first child of its name under its parent, a program too: a directory named like a
    // program goes under it. A program before it is found in the entries read, a directory by
    // its parent and name.
    Reading &r = m_reading;
    for (; r.next < m_entries.size() && m_nodes.size() < nodes; ++r.next) {
        const int e = r.next;
        const QString &entry = m_entries.at(e);
        const Parsed p = parse(entry);
        if (!p.shown)
            continue;
        const QStringRef path = piece(entry, p.start, p.pathEnd);
        if (path != r.lastPath) {
            r.lastPath = path;
            r.lastDir = -1;
            r.lastDepth = 0;
            const QChar *text = entry.constData();
            for (int from = p.start, slash = p.start; slash < p.pathEnd; ++slash) {
                if (text[slash] != QLatin1Char('/'))
                    continue;
                const QStringRef segment = piece(entry, from, slash);
                int found = r.dirs.value(qMakePair(r.lastDir, segment), -1);
                if (found < 0)
                    found = programNamed(r.lastDir, entry, slash, e);
                if (found < 0) {
                    Node dir;
                    dir.parent = r.lastDir;
                    dir.depth = r.lastDepth;
                    dir.name = segment.toString();
                    dir.source = e;
                    dir.keyLength = slash + 1;
                    const QString dirPath = entry.mid(p.start, slash + 1 - p.start);
                    dir.expanded = !m_collapsed.contains(dirPath);
                    found = m_nodes.size();
                    m_nodes.append(dir);
                    r.dirs.insert(qMakePair(r.lastDir, segment), found);
                    m_dirNodes.insert(dirPath, found);
                }
                r.lastDir = found;
                ++r.lastDepth;
                from = slash + 1;
            }
        }
        if (p.pathEnd == p.commas[0])
            continue;
        m_nodeOfEntry[e] = m_nodes.size();
        m_nodes.append(programNode(entry, p, e, r.lastDir, r.lastDepth));
    }
    if (wholeRead())
        r.dirs.clear();
    m_earlier.insert(m_earlier.size(), m_nodes.size() - m_earlier.size(), -1);
}
