#include "engine/stepcontext.h"

#include "engine/screenprofile.h"
#include "engine/steps.h"

#include "engine/session.h"
#include "engine/stage.h"
#include "treefiles/folder.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QWidget>

#include <csignal>
#include <sys/resource.h>

QString StepContext::resolve(const QString &treePath) const
{
    const int colon = treePath.indexOf(QLatin1Char(':'));
    return workDir + QLatin1Char('/') + treePath.left(colon) + treePath.mid(colon + 1);
}

QJsonValue StepContext::substituted(const QJsonValue &value) const
{
    if (value.isArray()) {
        QJsonArray items;
        for (const QJsonValue &item : value.toArray())
            items << substituted(item);
        return items;
    }
    if (!value.isString())
        return value;
    QString text = value.toString();
    text.replace(QStringLiteral("${panel}"), workDir + QStringLiteral("/panel"));
    text.replace(QStringLiteral("${controller}"), workDir + QStringLiteral("/controller"));
    // "${repeat:N:900000}" stands for nine hundred thousand Ns. One pass over the text, which
    // grows to 64 MiB at most however many tokens it holds; what a token gives is not read again.
    static const QRegularExpression repeat(QStringLiteral("\\$\\{repeat:([^:}]*):(\\d+)\\}"));
    constexpr qint64 MostCharacters = 64 << 20;
    QString out;
    int from = 0;
    QRegularExpressionMatchIterator it = repeat.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        out += text.midRef(from, m.capturedStart() - from);
        from = m.capturedEnd();
        const QString part = m.captured(1);
        const qint64 room = qMax<qint64>(0, MostCharacters - out.size());
        const qint64 times = qMin(m.captured(2).toLongLong(), room / qMax(1, part.size()));
        out += part.repeated(int(times));
    }
    if (from == 0)
        return text;
    out += text.midRef(from);
    return out;
}

StepOutcome StepContext::findWidget(const QString &name, QWidget **found)
{
    *found = nullptr;
    if (QWidget *modal = QApplication::activeModalWidget())
        *found = modal->findChild<QWidget *>(name);
    if (!*found && session->widget())
        for (QWidget *w : stage->pendantScreen()->findChildren<QWidget *>(name)) {
            if (!*found || w->isVisible())
                *found = w;
            if (w->isVisible())
                break;
        }
    if (*found) {
        seen.insert(name);
        return held();
    }
    const QString page = screenprofile::currentPage(*session);
    if (seen.contains(name) || screenprofile::dialogNames().contains(name))
        return failed(QStringLiteral("%1 is no longer on the screen: the page shown is %2%3")
                          .arg(name, page.isEmpty() ? QStringLiteral("none") : page,
                               QApplication::activeModalWidget() ? QString() : QStringLiteral(", and no box or chooser is open")));
    QStringList names;
    if (QWidget *modal = QApplication::activeModalWidget())
        for (const QWidget *w : modal->findChildren<QWidget *>())
            names << w->objectName();
    for (const QWidget *w : stage->pendantScreen()->findChildren<QWidget *>())
        names << w->objectName();
    return error(QStringLiteral("there is no %1 on the screen%2 (virtualpanel --widgets lists every name)")
                     .arg(name, nearestNames(name, names)));
}

QMap<QString, QByteArray> StepContext::snapshot() const
{
    QMap<QString, treefiles::TreeEntry> entries;
    (void)treefiles::readTree(workDir, treefiles::anySize, &entries);
    QMap<QString, QByteArray> files;
    for (auto it = entries.cbegin(); it != entries.cend(); ++it)
        files.insert(it.key(), it->kind == treefiles::TreeEntry::Folder ? QByteArray("folder")
                               : it->kind == treefiles::TreeEntry::Link ? "link to " + it->bytes
                               : it->kind == treefiles::TreeEntry::Unreadable ? QByteArray("unreadable")
                                                                              : it->bytes);
    return files;
}

void limitFileSize(qint64 bytes)
{
    // The limit in force before the first one, to go back to.
    static rlimit saved;
    static bool limited = false;
    if (bytes >= 0 && !limited) {
        getrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, SIG_IGN);
        limited = true;
    }
    if (bytes < 0 && limited) {
        setrlimit(RLIMIT_FSIZE, &saved);
        limited = false;
    } else if (bytes >= 0) {
        rlimit limit = saved;
        limit.rlim_cur = rlim_t(bytes);
        setrlimit(RLIMIT_FSIZE, &limit);
    }
}

QString shownValue(const QJsonValue &value)
{
    QString text = value.isString() ? QLatin1Char('"') + visibleText(value.toString()) + QLatin1Char('"')
                                    : QString::fromUtf8(QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact))
                                          .mid(1)
                                          .chopped(1);
    if (text.size() > 300)
        text = text.left(300) + QStringLiteral("... (%1 characters)").arg(text.size());
    return text;
}

// Two texts that differ, shown as a unified diff around their first different line; within a
// long line, around its first different character.
QString textDifference(const QString &expected, const QString &found)
{
    const QStringList want = expected.split(QLatin1Char('\n')), have = found.split(QLatin1Char('\n'));
    int line = 0;
    while (line < want.size() && line < have.size() && want.at(line) == have.at(line))
        ++line;
    auto around = [](const QString &text, int at) {
        const int from = qMax(0, at - 60);
        return (from > 0 ? QStringLiteral("...") : QString()) + visibleText(text.mid(from, 120)) + (from + 120 < text.size() ? QStringLiteral("...") : QString());
    };
    int column = 0;
    if (line < want.size() && line < have.size())
        while (column < want.at(line).size() && column < have.at(line).size() && want.at(line).at(column) == have.at(line).at(column))
            ++column;
    const int first = qMax(0, line - 3);
    QString body;
    int wantLines = 0, haveLines = 0;
    for (int i = first; i < line; ++i) {
        body += QLatin1Char(' ') + around(want.at(i), 0) + QLatin1Char('\n');
        ++wantLines;
        ++haveLines;
    }
    // Three lines from the first difference on: a line both hold alike is context.
    for (int i = line; i < line + 3 && (i < want.size() || i < have.size()); ++i) {
        const int at = i == line ? column : 0;
        if (i < want.size() && i < have.size() && want.at(i) == have.at(i)) {
            body += QLatin1Char(' ') + around(want.at(i), 0) + QLatin1Char('\n');
            ++wantLines;
            ++haveLines;
            continue;
        }
        if (i < want.size()) {
            body += QLatin1Char('-') + around(want.at(i), at) + QLatin1Char('\n');
            ++wantLines;
        }
        if (i < have.size()) {
            body += QLatin1Char('+') + around(have.at(i), at) + QLatin1Char('\n');
            ++haveLines;
        }
    }
    // A unified diff's hunk: where each side's lines begin, and how many it shows.
    auto range = [first](int count) {
        return QStringLiteral("%1,%2").arg(count == 0 ? first : first + 1).arg(count);
    };
    const QString diff = QStringLiteral("--- expected\n+++ found\n@@ -%1 +%2 @@\n").arg(range(wantLines), range(haveLines)) + body;
    return diff;
}

StepOutcome compared(const StepContext &c, const QString &what, const QJsonValue &expected, const QJsonValue &found)
{
    const QJsonValue wanted = c.substituted(expected);
    if (wanted == found)
        return held();
    // Whole files and long texts differ somewhere a cut-off view would hide.
    if (wanted.isString() && found.isString()
        && (wanted.toString().contains(QLatin1Char('\n')) || found.toString().contains(QLatin1Char('\n'))
            || qMax(wanted.toString().size(), found.toString().size()) > 120))
        return notYet(what + QStringLiteral(": the texts differ\n") + textDifference(wanted.toString(), found.toString()));
    return notYet(QStringLiteral("%1: expected %2, found %3").arg(what, shownValue(wanted), shownValue(found)));
}
