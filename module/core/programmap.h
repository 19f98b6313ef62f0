#pragma once

#include "zuzerarovelibapi.h"

#include <QList>
#include <QString>
#include <QVector>

// The program map as the operator edits it: the numbers 1 to 512, each with the program it maps
// to, over the entries the service read from programMapping.xml. A save writes back every entry
// the operator did not change exactly as it was read, in its place: entries numbered outside 1 to
// 512, several entries of one number, names in subfolders.
class ProgramMap
{
public:
    static constexpr int numbers = 512;

    // The entries as read, in file order. Each number shows the last entry that has it.
    void load(const QList<ProgramMapData> &entries);
    // The map was read from the controller (or the controller has none): only then may it be
    // saved, or it would replace the controller's map with the few numbers set here.
    bool isRead() const { return m_read; }
    void setRead(bool read) { m_read = read; }
    // In edit mode the operator may change the numbers; in view mode the table is covered.
    bool isEditing() const { return m_editing; }
    void setEditing(bool editing) { m_editing = editing; }
    // The first entry is numbered 0, a number no longer shown: the operator is told once a load.
    bool startsWithZero() const { return !m_entries.isEmpty() && m_entries.first().programNum == 0; }

    // The program of number n (1 to 512) as it is saved, and as its cell shows it.
    QString name(int n) const { return valid(n) ? m_rows[n - 1].name : QString(); }
    QString shown(int n) const { return valid(n) ? m_rows[n - 1].shown : QString(); }

    // The chooser's choice for number n: "/RPL/<path>", or "" to clear it. Refused, changing
    // nothing, when another number already maps to that program.
    enum class Assign { Done, Duplicate };
    Assign assign(int n, const QString &choice);
    // Every number emptied.
    void clear();

    // The entries to save.
    QList<ProgramMapData> toSave() const;

    // The name a loaded entry shows: the part after the first "/" at position 1 or later, so
    // "/RPL/SUB/A.XPL" shows as "SUB/A.XPL" and "SUB/A.XPL" as "A.XPL".
    static QString displayForm(const QString &name);

private:
    struct Row
    {
        QString name;
        QString shown;
        // The name as loaded: while the row holds it, the row saves its entries as read.
        QString loaded;
    };
    static bool valid(int n) { return n >= 1 && n <= numbers; }

    QList<ProgramMapData> m_entries;
    QVector<Row> m_rows = QVector<Row>(numbers);
    bool m_read = false;
    bool m_editing = false;
};
