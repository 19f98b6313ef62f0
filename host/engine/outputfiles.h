#pragma once

#include "engine/result.h"

#include <QByteArray>
#include <QMap>
#include <QPair>
#include <QString>
#include <QStringList>

struct stat;

class QFile;

// The one way the bench writes: every file and folder it makes, replaces or removes goes through
// here. Each folder on the way is opened from the root without following a link; a link or a file
// with a second name at the place is refused; a file is replaced whole by a rename inside its
// opened folder; and nothing that is, or lies inside, an input of the run (a scenario file, a tree
// the run reads) is written or removed, compared by device and inode, never by spelling.
class OutputFiles
{
public:
    // A file or tree the run reads, however it is spelled or reached; one that does not exist is
    // none.
    void addInput(const QString &path);

    // Whether a file could be written at path, without writing anything.
    Result check(const QString &path) const;
    Result writeFile(const QString &path, const QByteArray &bytes) const;
    // The same bytes as each of names in one folder, which is made and opened once: one file,
    // the other names hard links to it.
    Result writeFiles(const QString &folder, const QStringList &names, const QByteArray &bytes) const;
    // A file written as the run goes (a journal), made anew at its place.
    Result openStream(const QString &path, QFile *file) const;
    Result makeFolder(const QString &path) const;
    // A folder made here and now, where nothing stood (a run's temporary tree).
    Result makeNewFolder(const QString &path) const;
    // Copies the tree at from (an input, read as given) into the folder to, made for it; links are
    // copied as links.
    Result copyTree(const QString &from, const QString &to) const;
    Result makeLink(const QString &path, const QString &target) const;
    // Removes a file, a link (never what it points to) or a whole tree; nothing there is no fault.
    Result removePath(const QString &path) const;

private:
    // An open file or folder, closed with it.
    class Handle
    {
    public:
        Handle() = default;
        explicit Handle(int fd) : m_fd(fd) {}
        Handle(Handle &&other) noexcept;
        Handle &operator=(Handle &&other) noexcept;
        ~Handle();
        int fd() const { return m_fd; }
        bool isOpen() const { return m_fd >= 0; }

    private:
        int m_fd = -1;
    };
    // The folder that holds a path, opened from the root name by name without following a link,
    // and the path's last name in it.
    struct Place
    {
        Handle folder;
        QByteArray leaf;
        QString shown;
        bool missing = false; // a folder on the way is not there (and was not to be made)
    };
    Result openParent(const QString &path, bool make, Place *place) const;
    // Whether a file (or a folder) may stand at leaf in the opened folder.
    Result checkPlace(int folder, const QByteArray &leaf, const QString &shown, bool isFolder) const;
    // The path's folder opened and made, and its place checked.
    Result placeFor(const QString &path, bool isFolder, Place *place) const;
    Result writeInto(int folder, const QByteArray &leaf, const QString &shown, const QByteArray &bytes) const;
    Result openFolder(const QString &path, bool fresh, Handle *folder) const;
    Result copyInto(int from, int to, const QString &shown) const;
    Result removeEntry(int parent, const QByteArray &name, const struct stat &st, const QString &shown) const;
    QString inputOf(const struct stat &st) const;

    QMap<QPair<quint64, quint64>, QString> m_inputs; // device and inode, the name given
};
