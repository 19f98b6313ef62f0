#include "engine/journalfile.h"

#include "engine/outputfiles.h"
#include "journal.h"

#include <QJsonDocument>
#include <QJsonObject>

QString journalLine(const sim::JournalEntry &entry)
{
    QJsonObject line = QJsonObject::fromVariantMap(entry.fields);
    line.insert(QStringLiteral("clock"), entry.clockMs);
    line.insert(QStringLiteral("kind"), entry.kind);
    line.insert(QStringLiteral("text"), entry.text);
    return QString::fromUtf8(QJsonDocument(line).toJson(QJsonDocument::Compact));
}

Result JournalFile::begin(const OutputFiles &files, const QString &path)
{
    return files.openStream(path, &m_file);
}

void JournalFile::hearController()
{
    if (!m_listener)
        m_listener = sim::Journal::instance().addListener([this](const sim::JournalEntry &entry) { journalled(entry); });
}

void JournalFile::journalled(const sim::JournalEntry &entry)
{
    if (!m_file.isOpen() || !m_written)
        return;
    m_written = m_file.append(journalLine(entry).toUtf8() + '\n');
}

Result JournalFile::finish()
{
    if (!m_file.isOpen())
        return m_written;
    return m_written ? m_file.commit() : m_written;
}

JournalFile::~JournalFile()
{
    if (m_listener)
        sim::Journal::instance().removeListener(m_listener);
}
