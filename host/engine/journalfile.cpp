#include "engine/journalfile.h"

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

JournalFile::JournalFile(const QString &path) : m_file(path)
{
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return;
    m_listener = sim::Journal::instance().addListener([this](const sim::JournalEntry &entry) {
        m_file.write(journalLine(entry).toUtf8() + '\n');
        m_file.flush();
    });
}

JournalFile::~JournalFile()
{
    if (m_listener)
        sim::Journal::instance().removeListener(m_listener);
}
