#include "core/programnames.h"

ProgramNames::ProgramNames(const QStringList &names, const QString &noneText) : m_names(names), m_none(noneText)
{
    m_first.reserve(m_names.size());
    for (int i = m_names.size() - 1; i >= 0; --i)
        m_first.insert(m_names[i], i);
}

int ProgramNames::findRow(const QString &text) const
{
    if (text == m_none)
        return 0;
    const int index = indexOf(text);
    return index < 0 ? -1 : index + 1;
}

int ProgramNames::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_names.size() + 1;
}

QVariant ProgramNames::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.column() != 0 || index.row() < 0 || index.row() > m_names.size())
        return {};
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    return index.row() == 0 ? m_none : m_names[index.row() - 1];
}
