#include "core/settingseditor.h"

#include "core/domain.h"

void SettingsEditor::load(const ZuzEraroveData &record, const QStringList &listed)
{
    m_shown = record;
    m_record = record;
    const QString none = tr("Unselected");
    if (!m_names->lists(listed, none))
        m_names = std::make_unique<ProgramNames>(listed, none);
}

int SettingsEditor::programIndex(int row) const
{
    return isSlot(row) ? m_names->indexOf(m_shown.rplNames[row]) + 1 : 0;
}

QString SettingsEditor::missingReport() const
{
    QString report;
    for (int r = 0; r < slotRows(m_shown.signalMode); ++r) {
        const QString &name = m_shown.rplNames[r];
        if (!name.isEmpty() && !m_names->contains(name))
            report += QStringLiteral("\nID:%1 Name:%2").arg(r + 1).arg(shownName(name));
    }
    return report.isEmpty() ? report : tr("The following files do not exist, please reselect.%1").arg(report);
}

void SettingsEditor::setMode(int index)
{
    m_record.signalMode = index;
}

void SettingsEditor::setProtocol(int index)
{
    m_record.protocol = index;
}

void SettingsEditor::pickProgram(int row, int index)
{
    if (isSlot(row) && index >= 0)
        m_record.rplNames[row] = m_names->nameAt(index);
}

void SettingsEditor::setCycleText(int row, const QString &text)
{
    if (!isSlot(row))
        return;
    m_record.cycleIndex[row] = text == QString::number(m_shown.cycleIndex[row]) ? m_shown.cycleIndex[row]
                                                                                 : text.toInt(nullptr, 10);
}

ZuzEraroveData SettingsEditor::withRunState(ZuzEraroveData record, int runState)
{
    record.runState = runState;
    return record;
}
