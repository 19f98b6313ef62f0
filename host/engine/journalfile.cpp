#include "engine/journalfile.h"

#include "journal.h"

#include <QJsonDocument>
#include <QJsonObject>

JournalFile::JournalFile(const QString &path) : m_file(path)
{
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return;
    m_listener = sim::Journal::instance().addListener([this](const sim::JournalEntry &entry) {
        QJsonObject line = QJsonObject::fromVariantMap(entry.fields);
        line.insert(QStringLiteral("clock"), entry.clockMs);
        line.insert(QStringLiteral("kind"), entry.kind);
        line.insert(QStringLiteral("text"), entry.text);
        m_file.write(QJsonDocument(line).toJson(QJsonDocument::Compact) + '\n');
        m_file.flush();
    });
}

JournalFile::~JournalFile()
{
    if (m_listener)
        sim::Journal::instance().removeListener(m_listener);
}
