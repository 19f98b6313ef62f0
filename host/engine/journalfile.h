#pragma once

#include "engine/outputfiles.h"
#include "engine/runlistener.h"
#include "treefiles/result.h"

#include <QString>

// A journal entry as one JSON object on one line: "clock" in milliseconds, "kind", "text" and
// the entry's fields.
QString journalLine(const sim::JournalEntry &entry);

// Writes journal entries to a file as their journalLine, each as it comes: told by a run of
// scenarios as one of its listeners, or by the simulated controller itself in a session at the
// operator's hands.
class JournalFile : public RunListener
{
public:
    JournalFile() = default;
    ~JournalFile() override;
    // Starts the file anew at path; nothing is written yet.
    Result begin(const OutputFiles &files, const QString &path);
    // Makes the lines durable; the first line that could not be written fails it.
    Result finish();
    // Hears the simulated controller's journal directly, where no run tells it.
    void hearController();
    void journalled(const sim::JournalEntry &entry) override;

    JournalFile(const JournalFile &) = delete;
    JournalFile &operator=(const JournalFile &) = delete;

private:
    OutputFiles::Stream m_file;
    Result m_written = Result::ok();
    int m_listener = 0;
};
