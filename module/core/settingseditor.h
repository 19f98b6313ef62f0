#pragma once

#include "core/programnames.h"

#include "zuzerarovelibapi.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <memory>

// The reservation settings as the operator edits them: the record the page shows, the
// programs its boxes list, and the operator's edits over it. What the operator did not edit
// stays as it was loaded, even where no box can show it: a mode or protocol outside the lists,
// a program the service does not list, a cycle index out of range, the slots beyond the mode's
// rows.
class SettingsEditor
{
    // The texts belong to the settings page.
    Q_DECLARE_TR_FUNCTIONS(ZuzEraroveSetting)
public:
    // The record shown from now on, with the programs the boxes list; no edits. The boxes' model
    // is made again only when the list differs from the one loaded before.
    void load(const ZuzEraroveData &record, const QStringList &listed);
    const ZuzEraroveData &shown() const { return m_shown; }
    const QStringList &listed() const { return m_names->names(); }
    // The model every program box of the page shows; it lives until a load with another list.
    ProgramNames *programNames() const { return m_names.get(); }
    // The shown record with the operator's edits.
    const ZuzEraroveData &record() const { return m_record; }

    // The program box's item for a row: 0 "Unselected" for none and for a program not listed.
    int programIndex(int row) const;
    // The note on the shown programs that the service does not list, or "" when it lists all.
    QString missingReport() const;

    // The operator's edits, as the boxes and fields give them.
    void setMode(int index);
    void setProtocol(int index);
    // The item picked in a row's program box: 0 (or any row that is no program) clears the slot.
    // -1, a box showing no item, is no pick: a box shows none only when its model goes.
    void pickProgram(int row, int index);
    // The text of a row's cycle index field: a number in base ten; the text the field was
    // loaded with gives back the value it was loaded from.
    void setCycleText(int row, const QString &text);

    // record with the run state given: the run state belongs to the monitor's start and stop,
    // it is no setting of this page.
    static ZuzEraroveData withRunState(ZuzEraroveData record, int runState);

private:
    static bool isSlot(int row) { return row >= 0 && row < ZUZ_SLOT_COUNT; }

    ZuzEraroveData m_shown;
    ZuzEraroveData m_record;
    std::unique_ptr<ProgramNames> m_names = std::make_unique<ProgramNames>(QStringList(), tr("Unselected"));
};
