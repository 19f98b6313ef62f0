#pragma once

#include "engine/result.h"

#include <QFile>
#include <QString>

class OutputFiles;

namespace sim {
struct JournalEntry;
}

// A journal entry as one JSON object on one line: "clock" in milliseconds, "kind", "text" and
// the entry's fields.
QString journalLine(const sim::JournalEntry &entry);

// Writes every journal entry to a file as its journalLine, for as long as it lives.
class JournalFile
{
public:
    JournalFile() = default;
    ~JournalFile();
    // Starts the file anew at path, as every output of the bench is made.
    Result begin(const OutputFiles &files, const QString &path);

    JournalFile(const JournalFile &) = delete;
    JournalFile &operator=(const JournalFile &) = delete;

private:
    QFile m_file;
    int m_listener = 0;
};
