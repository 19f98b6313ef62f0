#pragma once

#include "treefiles/result.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>

#include <functional>
#include <limits>

#include <sys/stat.h>

// The one file layer under the module, the stand-ins and the bench. A folder is opened from "/"
// one name at a time and never through a link; files are read and written whole; trees are
// walked, copied and removed without recursion, whatever their depth. Every file written
// replaces its old version whole and survives a power cut: it is written under a fresh name
// beside its place, synced, renamed over it, and the folder is synced.
namespace treefiles {

// A file or folder known by what it is, however it is spelled or reached.
struct Identity
{
    quint64 device = 0;
    quint64 inode = 0;
    bool operator==(const Identity &other) const { return device == other.device && inode == other.inode; }
    bool operator<(const Identity &other) const
    {
        return device != other.device ? device < other.device : inode < other.inode;
    }
};
Identity identityOf(const struct stat &st);

// What a caller refuses of a folder or an entry the layer meets on its way, told its status and
// its path: a text says why, an empty one lets it pass.
using Veto = std::function<QString(const struct stat &st, const QString &shown)>;

enum class Make { No, Missing };

// A read that takes a file whatever its size: a copy, or a comparison of whole trees.
constexpr qint64 anySize = std::numeric_limits<qint64>::max() - 1;

class Folder
{
public:
    Folder() = default;
    Folder(Folder &&other) noexcept;
    Folder &operator=(Folder &&other) noexcept;
    Folder(const Folder &) = delete;
    Folder &operator=(const Folder &) = delete;
    ~Folder();

    // The folder at path (absolute, or from the working folder), opened from "/" one name at a
    // time: a link anywhere on the way refuses the path. With Make::Missing the missing folders
    // are made, and each made one synced into its parent; with Make::No a missing one is no fault
    // and leaves folder closed. veto is asked of each folder opened.
    static Result open(const QString &path, Make make, Folder *folder, const Veto &veto = {});
    // The folder path leads to, links on the way followed: for a tree that is read as given.
    static Result openAsGiven(const QString &path, Folder *folder);

    bool isOpen() const { return m_fd >= 0; }
    int fd() const { return m_fd; }
    // The path the messages give.
    const QString &shown() const { return m_shown; }
    QString shown(const QByteArray &name) const;
    Result status(struct stat *st) const;
    // The same folder, held apart: a second descriptor of it.
    Result duplicate(Folder *folder) const;

    // The folder name in this one, never through a link, made first with Make::Missing.
    Result child(const QByteArray &name, Make make, Folder *folder) const;
    // A new, empty folder in this one under a fresh name, for a tree to be put in place whole.
    Result makeFresh(QByteArray *name, Folder *folder) const;
    // The folder that holds this one, which must be expected: one moved meanwhile is refused.
    Result parent(const Identity &expected, Folder *folder) const;
    // The entry's own status (a link's, not its target's); exists is false where nothing is.
    Result entry(const QByteArray &name, struct stat *st, bool *exists) const;
    // Every name in the folder but "." and "..", read to its end.
    Result names(QList<QByteArray> *names) const;
    // Every entry in the folder with its own status; one gone meanwhile is left out.
    struct Entry
    {
        QByteArray name;
        struct stat st;
    };
    Result entries(QList<Entry> *entries) const;

    // The file's bytes: refused when it is a link, no regular file, or over limit.
    Result readFile(const QByteArray &name, qint64 limit, QByteArray *bytes) const;
    // The file at name replaced whole and durably by bytes; a link at name is replaced, never
    // followed.
    Result writeFile(const QByteArray &name, const QByteArray &bytes) const;
    Result makeLink(const QByteArray &name, const QByteArray &target) const;
    // A second name of the file at existing, put over what stood at name. Not synced: the
    // folder's sync() makes a batch of them durable.
    Result makeSecondName(const QByteArray &existing, const QByteArray &name) const;
    // The file, link (never what it leads to) or whole tree at name removed; nothing there is no
    // fault. veto is asked of every entry before anything goes.
    Result remove(const QByteArray &name, const Veto &veto = {}) const;
    // Every entry of this folder copied into to: folders made, files written, links copied as
    // links. Nothing is synced: a copy that must survive a power cut ends with syncAll().
    Result copyInto(const Folder &to, const Veto &veto = {}) const;
    // The entry name moved to newName in to, over what stood there unless Keep::Existing; both
    // folders synced.
    enum class Keep { Nothing, Existing };
    Result rename(const QByteArray &name, const Folder &to, const QByteArray &newName, Keep keep = Keep::Nothing) const;
    // The folder locked for as long as this handle (or one duplicated from it) is open, by
    // whichever process holds it; false where another holds it.
    bool tryLock() const;
    // The folder's own entries made durable.
    Result sync() const;
    // Everything written on the folder's file system made durable: one call for a whole tree.
    Result syncAll() const;

private:
    Folder(int fd, const QString &shown) : m_fd(fd), m_shown(shown) {}
    friend class PendingFile;
    int m_fd = -1;
    QString m_shown;
};

// A file written in parts (a journal as its run goes) under a fresh name beside its place, put in
// place whole and durably by commit. One never committed goes with it.
class PendingFile
{
public:
    PendingFile() = default;
    PendingFile(PendingFile &&other) noexcept;
    PendingFile &operator=(PendingFile &&other) noexcept;
    ~PendingFile();

    static Result begin(const Folder &folder, const QByteArray &name, PendingFile *file);
    bool isOpen() const { return m_fd >= 0; }
    // Puts the file in place as it stands and goes on writing it there: a log read as it grows,
    // whose old version a power cut no longer brings back.
    Result publish();
    Result append(const QByteArray &bytes);
    // Puts the file in place (or, once published, makes what was written durable).
    Result commit();

private:
    void discard();
    Folder m_folder;
    QByteArray m_name;
    QByteArray m_temp;
    int m_fd = -1;
    bool m_placed = false;
};

// One walk of a tree, depth first and without recursion. enter is told each folder as it is
// opened (the start first, with an empty name, at depth 0) and gives the names of the folders in
// it to go into, in order; leave is told each one it has gone through, with the folder that holds
// it open. The walk holds two folders open at any depth.
struct Walker
{
    std::function<Result(const Folder &folder, const QByteArray &name, int depth, QList<QByteArray> *inner)> enter;
    std::function<Result(const Folder &parent, const QByteArray &name, int depth)> leave;
};
Result walk(Folder start, const Walker &walker);

// What lies below a folder, entry by entry, by its path relative to the folder: a file's bytes
// (up to limit; a larger or unreadable one is marked so), a link's target, a folder. What a test
// of a whole tree compares; devices and pipes are left out, never opened.
struct TreeEntry
{
    enum Kind { File, Folder, Link, Unreadable } kind;
    QByteArray bytes;
};
Result readTree(const QString &path, qint64 limit, QMap<QString, TreeEntry> *entries);

// A file read as it is given (links on the way and at its name followed): refused unless it is a
// regular file no larger than limit, so a device or a pipe is never read or waited on. The
// reason, on its own, goes in why.
bool readGiven(const QString &path, qint64 limit, QByteArray *bytes, QString *why);

// The reason the system gives for the last call that failed.
QString lastError();

} // namespace treefiles
