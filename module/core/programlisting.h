#pragma once

#include <QPair>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVector>

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
        QString name;    // a directory's name
        Place fields[3]; // a program's name, size and date in its entry
        bool expanded = true;
    };

    // Takes a listing (upper-cased and sorted here); false when it is the one taken last, so
    // the tree already shows it.
    bool take(const QStringList &listing);
    const QStringList &entries() const { return m_entries; }
    const QVector<Node> &nodes() const { return m_nodes; }
    // The text of a program's field (0 name, 1 size, 2 date).
    QString text(const Node &node, int field) const;

    // The directories the operator collapsed, by item path and "/"; a new show expands all.
    void setCollapsed(const QString &dirPath, bool collapsed);
    void expandAll() { m_collapsed.clear(); }

private:
    void build();

    QStringList m_listing;
    bool m_taken = false;
    QStringList m_entries;
    QVector<Node> m_nodes;
    QSet<QString> m_collapsed;
};
