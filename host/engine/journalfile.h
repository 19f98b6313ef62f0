#pragma once

#include <QFile>
#include <QString>

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
    explicit JournalFile(const QString &path);
    ~JournalFile();
    bool isOpen() const { return m_file.isOpen(); }

    JournalFile(const JournalFile &) = delete;
    JournalFile &operator=(const JournalFile &) = delete;

private:
    QFile m_file;
    int m_listener = 0;
};
