#pragma once

#include <QString>
#include <QStringList>

class ModuleSession;
class QWidget;

// What the scenario engine knows of this screen and its boxes, in one place: the names its
// player and its recorder address, and when the screen counts as ready. Everything else the
// engine finds by the object names a scenario gives.
namespace screenprofile {

// The run lamp of the monitor page and its table of slots.
inline const QString lamp = QStringLiteral("runOrStopLedCB");
inline const QString monitorTable = QStringLiteral("zuzeraroveMonitoeTW");
// The table's Name column (from 1), whose names scroll when they are longer than this many
// characters.
inline constexpr int monitorName = 2;
inline constexpr int monitorNameStill = 20;
// A box's text, and its keys: confirm (or the one key of a note), cancel, and the chooser's.
inline const QString boxText = QStringLiteral("msgBoxText");
inline const QString confirmKey = QStringLiteral("msgBoxConfirm");
inline const QString cancelKey = QStringLiteral("msgBoxCancel");
inline const QString chooserCancelKey = QStringLiteral("btnCancle");
inline const QString chooserSelectKey = QStringLiteral("btnSelect");
inline const QString chooserCloseKey = QStringLiteral("closeBtn"); // the X of its title bar
// The program chooser, a dialog of its own, and its tree.
inline const QString chooser = QStringLiteral("FileEdit");
inline const QString chooserTree = QStringLiteral("rplRemoteFiles");
// The names a box or the chooser brings, there only while one is open.
QStringList dialogNames();

// The pages beyond the monitor: the key that opens each from the monitor, and the key back.
struct PageRoad
{
    QString page;
    QString key;
    QString back;
};
const QList<PageRoad> &pageRoads();
// The program map's key into its edit mode and its table, whose cells open the chooser.
inline const QString mapEditKey = QStringLiteral("saveButton");
inline const QString mapTable = QStringLiteral("tableWidget");

// What a widget of this screen is, where its name alone does not say; empty for the rest.
QString roleOf(const QString &objectName);

// A row's Res or Cancel key on the monitor page ("reserve" or "cancel", slot from 1).
QString rowKey(const QString &kind, int slot);
// The kind and slot of a row key's name; false for any other name.
bool isRowKey(const QString &name, QString *kind, int *slot);

// The keys that give an answer: "confirm", "acknowledge", "cancel", "select" or "close".
QStringList answerKeys(const QString &answer);
// The answer a key gives in that box, or an empty text for a key that answers nothing.
QString answerOf(const QWidget *key, const QWidget *box);

// The answer the panel's Return key gives in that box: the key with the focus, else its default
// key; empty when Return presses no key that answers.
QString answerOfReturn(const QWidget *box);

// The box or chooser an answer goes to: the modal one, else a note shown without waiting.
QWidget *openBox();
// The text of an open box, or the dialog's object name.
QString textOf(const QWidget *box);

// The object name of the page shown, empty with the screen closed.
QString currentPage(const ModuleSession &session);
QWidget *currentPageWidget(const ModuleSession &session);
// The screen has started: the monitor has fetched its configuration (counted in the call log).
bool isStarted();
} // namespace screenprofile
