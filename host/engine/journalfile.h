#pragma once

#include <QFile>

// Writes every journal entry to a file, one JSON object a line ("clock" in milliseconds, "kind",
// "text" and the entry's fields), for as long as it lives.
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
