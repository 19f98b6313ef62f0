#pragma once

#include <QHash>
#include <QPair>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVector>

#include <limits>

// The controller's program directory "/RPL/" as the chooser shows it: the listing's entries as
// a tree of directories and ".XPL" programs, which items count as programs, and the choice an
// item gives. Entries are "path,size,date"; a directory's path ends with "/".
class ProgramListing
{
public:
    // The directory listed, as a choice begins with it.
    static QString directory() { return QStringLiteral("/RPL/"); }
    // An item names a program when its name holds ".XPL" or ".PJ", whatever its letter case.
    static bool isProgram(const QString &name);
    // What Select gives for an item named name at itemPath: "/RPL/<itemPath>" for a program,
    // "" for anything else.
    static QString choice(const QString &name, const QString &itemPath);

    // Where a text lies in its entry: position and length.
    using Place = QPair<int, int>;
    // A node of the tree, after its parent in the list. A program's texts stay in its entry.
    struct Node
    {
        int parent = -1; // the top level
        int depth = 0;
        int entry = -1;  // a program's entry; -1 for a directory
        // The node's place in the order of the listing: the first keyLength characters of the
        // entry source, the directory's path up to its "/" or the program's whole entry.
        int source = -1;
        int keyLength = 0;
        QString name;    // a directory's name
        Place fields[3]; // a program's name, size and date in its entry
        bool expanded = true;
    };

    // Takes a listing (upper-cased and sorted here); false when it is the one taken last, so
    // the tree already shows it. The tree of a first listing is read up to about `nodes` nodes,
    // readTo() reads on: a long listing is shown before it is read to its end.
    bool take(const QStringList &listing, int nodes = std::numeric_limits<int>::max());
    // Reads the listing on until the tree holds `nodes` nodes or the whole listing.
    void readTo(int nodes);
    bool wholeRead() const { return m_reading.next == m_entries.size(); }
    const QStringList &entries() const { return m_entries; }
    // The tree of the entries read: a node's parent comes before it, and a part read later
    // only adds nodes after those read before.
    const QVector<Node> &nodes() const { return m_nodes; }
    // The text of a program's field (0 name, 1 size, 2 date).
    QString text(const Node &node, int field) const;

    // What the last take() changed in the tree taken before it: for each node, the node of the
    // earlier tree that is the same item (same entry, under the same parent), or -1 for a new
    // one; and the earlier nodes that are gone, in their order. The first take() has no
    // earlier tree: every node is new.
    const QVector<int> &earlier() const { return m_earlier; }
    const QVector<int> &gone() const { return m_gone; }

    // The directories the operator collapsed, by item path and "/"; a new show expands all.
    void setCollapsed(const QString &dirPath, bool collapsed);
    void expandAll() { m_collapsed.clear(); }

private:
    // Where the pieces of an entry lie.
    struct Parsed
    {
        int start = 0;         // after "/RPL/", when the entry begins with it
        int commas[3] = {};    // the ends of the name, the size and the date
        int pathEnd = 0;       // after the name's last "/"
        bool directory = false;
        bool shown = false;    // a directory or a ".XPL" name
    };
    static Parsed parse(const QString &entry);
    static Node programNode(const QString &entry, const Parsed &p, int e, int parent, int depth);
    // The listing upper-cased and in order, its tree begun.
    void takeWhole();
    // The few entries gone and added, upper-cased, applied to the tree in place; false when
    // they change it in a way only a new tree shows, and then nothing was changed.
    bool patch(const QStringList &gone, const QStringList &added);
    static QStringRef key(const Node &node, const QStringList &entries)
    {
        return QStringRef(&entries.at(node.source), 0, node.keyLength);
    }
    // The program node under parent named by the first upTo characters of entry, among the
    // entries before the one numbered before; -1 when there is none.
    int programNamed(int parent, const QString &entry, int upTo, int before) const;
    void match(const QVector<Node> &before, const QStringList &entriesBefore);

    QStringList m_listing;
    bool m_taken = false;
    QStringList m_entries;
    QVector<Node> m_nodes;
    QSet<QString> m_collapsed;
    // Past this many entries come and gone, the listing is upper-cased and sorted again whole.
    static constexpr int FewEntries = 256;
    QVector<int> m_nodeOfEntry;
    QHash<QString, int> m_dirNodes; // by the directory's path and "/"
    // Where the tree's reading stands: the next entry, the path of the last one and its
    // directory, and each directory by its parent and name. The names are pieces of the
    // entries, which do not change until the next take().
    struct Reading
    {
        int next = 0;
        QStringRef lastPath;
        int lastDir = -1;
        int lastDepth = 0;
        QHash<QPair<int, QStringRef>, int> dirs;
    };
    Reading m_reading;
    QVector<int> m_earlier;
    QVector<int> m_gone;
};
