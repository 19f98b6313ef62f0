#pragma once

#include "treefiles/folder.h"
#include "treefiles/result.h"

#include <QByteArray>
#include <QMap>
#include <QSet>
#include <QString>
#include <QStringList>

struct stat;

// The bench's policy over the file layer (treefiles::Folder): every file and folder the bench
// makes, replaces or removes goes through here. A link on the way or at the place, or a file with
// a second name at the place, is refused; nothing that is, or lies inside, an input of the run (a
// scenario file, a tree the run reads) is written or removed, known by device and inode however
// it is reached, a bind mount included. The trees the run plays in are limited by a scenario's
// diskLimit; the bench's own outputs never are.
class OutputFiles
{
public:
    // A file or tree the run reads, however it is spelled or reached; one that does not exist is
    // none. Every folder of a tree is known, so one reached by another mount is known too.
    void addInput(const QString &path);
    // A tree the run plays in (the controller's, the panel's): what is written in it meets the
    // scenario's disk limit.
    void addPlayTree(const QString &path);

    // Whether a file could be written at path, without writing anything: where its folder
    // stands, a new file is made in it and taken away again. place, when its folder stands, is
    // the file's place by identity (its folder's device and inode, and its name).
    Result check(const QString &path, QString *place = nullptr) const;
    Result writeFile(const QString &path, const QByteArray &bytes) const;
    // The same bytes as each of names in one folder, which is made and opened once: one file,
    // the other names hard links to it.
    Result writeFiles(const QString &folder, const QStringList &names, const QByteArray &bytes) const;

    // A file written as the run goes (a journal): a new, empty file replaces the old one whole,
    // the lines go in as they come, and commit makes them durable.
    class Stream
    {
    public:
        bool isOpen() const { return m_file.isOpen(); }
        Result append(const QByteArray &bytes);
        Result commit();

    private:
        friend class OutputFiles;
        treefiles::PendingFile m_file;
        bool m_limited = false;
    };
    Result openStream(const QString &path, Stream *stream) const;

    Result makeFolder(const QString &path) const;
    // A folder made here and now, where nothing stood (a run's temporary tree), held locked in
    // held for as long as it lives: made under a fresh name, locked, then named, so no other run
    // ever sees it unlocked.
    Result makeHeldFolder(const QString &path, treefiles::Folder *held) const;
    // The tree at from (an input, read as given) copied into the folder to, made for it; links
    // are copied as links. With durable, the copy is made beside its place, synced and put in
    // place whole: a refused or cut copy leaves nothing at to.
    Result copyTree(const QString &from, const QString &to, bool durable = false) const;
    Result makeLink(const QString &path, const QString &target) const;
    // Removes a file, a link (never what it points to) or a whole tree; nothing there is no fault.
    Result removePath(const QString &path) const;

private:
    // The folder that holds a path, opened from the root name by name without following a link,
    // and the path's last name in it.
    struct Place
    {
        treefiles::Folder folder;
        QByteArray leaf;
        QString shown;
        bool limited = false; // in a tree the run plays in
    };
    // With make, the missing folders on the way are made; without, a missing one leaves the
    // place's folder closed.
    Result openParent(const QString &path, treefiles::Make make, Place *place) const;
    // Whether a file (or a folder) may stand at leaf in the opened folder.
    Result checkPlace(const Place &place, bool isFolder) const;
    Result openFolder(const QString &path, treefiles::Folder *folder, bool *limited = nullptr) const;
    QString inputOf(const struct stat &st) const;
    treefiles::Veto inputVeto(const QString &path) const;

    QMap<treefiles::Identity, QString> m_inputs; // every input and every folder inside one, the name given
    QSet<QPair<quint64, quint64>> m_playTrees;
};
