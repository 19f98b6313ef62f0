#include "programmap.h"

#include <QSet>

namespace {

const QString programDir = QStringLiteral("/RPL/");

// The program a name stands for, whether the map gives it with the directory or without.
QStringRef programKey(const QString &name)
{
    return name.startsWith(programDir) ? name.midRef(programDir.size()) : name.midRef(0);
}

} // namespace

QString ProgramMap::displayForm(const QString &name)
{
    const int slash = name.indexOf(QLatin1Char('/'), 1);
    return slash >= 0 ? name.mid(slash + 1) : name;
}

void ProgramMap::load(const QList<ProgramMapData> &entries)
{
    m_entries = entries;
    m_rows.fill(Row());
    for (const ProgramMapData &entry : entries) {
        if (!valid(entry.programNum))
            continue;
        Row &row = m_rows[entry.programNum - 1];
        row.name = row.loaded = entry.programName;
        row.shown = displayForm(entry.programName);
    }
    m_read = true;
}

ProgramMap::Assign ProgramMap::assign(int n, const QString &choice)
{
    if (!valid(n))
        return Assign::Done;
    const QString name = displayForm(choice);
    if (!name.isEmpty()) {
        for (int other = 1; other <= numbers; ++other)
            if (other != n && !m_rows[other - 1].name.isEmpty() && programKey(m_rows[other - 1].name) == programKey(name))
                return Assign::Duplicate;
    }
    Row &row = m_rows[n - 1];
    row.name = row.shown = name;
    return Assign::Done;
}

void ProgramMap::clear()
{
    for (Row &row : m_rows)
        row.name = row.shown = QString();
}

QList<ProgramMapData> ProgramMap::toSave() const
{
    // The last entry of each number: a changed number keeps its place there.
    QVector<int> last(numbers, -1);
    for (int i = 0; i < m_entries.size(); ++i)
        if (valid(m_entries[i].programNum))
            last[m_entries[i].programNum - 1] = i;
    QList<ProgramMapData> save;
    for (int i = 0; i < m_entries.size(); ++i) {
        const ProgramMapData &entry = m_entries[i];
        if (!valid(entry.programNum)) {
            save.append(entry);
            continue;
        }
        const Row &row = m_rows[entry.programNum - 1];
        if (row.name == row.loaded)
            save.append(entry);
        else if (last[entry.programNum - 1] == i && !row.name.isEmpty())
            save.append({entry.programNum, row.name});
    }
    for (int n = 1; n <= numbers; ++n)
        if (last[n - 1] < 0 && !m_rows[n - 1].name.isEmpty())
            save.append({n, m_rows[n - 1].name});
    return save;
}
