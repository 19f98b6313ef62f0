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
    if (const Result opened = files.openStream(path, &m_file); !opened)
        return opened;
    m_listener = sim::Journal::instance().addListener([this](const sim::JournalEntry &entry) {
        m_file.write(journalLine(entry).toUtf8() + '\n');
        m_file.flush();
    });
    return Result::ok();
}

JournalFile::~JournalFile()
{
    if (m_listener)
        sim::Journal::instance().removeListener(m_listener);
}
