#pragma once

#include <QAbstractListModel>
#include <QHash>
#include <QString>
#include <QStringList>

// The programs the reservation service lists, as a program box lists them: the text for no
// program first, then every name in the service's order. Every box of a page that lists these
// names shares one; a name's place is found in constant time.
//
// It never changes once made: another list is another model. A box bound to it therefore never
// sees its rows reset under the item it shows (a reset moves a box to no item, and a page must
// not take that for the operator's pick).
class ProgramNames : public QAbstractListModel
{
    Q_OBJECT
public:
    ProgramNames(const QStringList &names, const QString &noneText);

    const QStringList &names() const { return m_names; }
    const QString &noneText() const { return m_none; }
    // Whether a list made of these would be this one.
    bool lists(const QStringList &names, const QString &noneText) const
    {
        return m_names == names && m_none == noneText;
    }
    // The first place of name in names, or -1.
    int indexOf(const QString &name) const { return m_first.value(name, -1); }
    bool contains(const QString &name) const { return m_first.contains(name); }
    // The first row showing text exactly, or -1: what QComboBox::findText finds with an exact,
    // case-sensitive match.
    int findRow(const QString &text) const;
    // The program at a box's row; "" for the first row and any row that is no program.
    QString nameAt(int row) const { return row > 0 ? m_names.value(row - 1) : QString(); }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    const QStringList m_names;
    const QString m_none;
    QHash<QString, int> m_first;
};
