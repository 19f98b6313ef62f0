#include "engine/outputfiles.h"

#include <QDir>
#include <QFile>

#include <sys/resource.h>
#include <sys/stat.h>

using treefiles::Folder;
using treefiles::Make;

namespace {

// A scenario's disk limit stands for a full disk in the trees it plays in; the bench's own
// outputs are written past it.
class FullSize
{
public:
    explicit FullSize(bool lift)
    {
        if (!lift || ::getrlimit(RLIMIT_FSIZE, &m_saved) != 0 || m_saved.rlim_cur == m_saved.rlim_max)
            return;
        rlimit all = m_saved;
        all.rlim_cur = all.rlim_max;
        m_lifted = ::setrlimit(RLIMIT_FSIZE, &all) == 0;
    }
    ~FullSize()
    {
        if (m_lifted)
            ::setrlimit(RLIMIT_FSIZE, &m_saved);
    }
    FullSize(const FullSize &) = delete;
    FullSize &operator=(const FullSize &) = delete;

private:
    rlimit m_saved = {};
    bool m_lifted = false;
};

QByteArray nameOf(const QString &name)
{
    return QFile::encodeName(name);
}

} // namespace

void OutputFiles::addInput(const QString &path)
{
    struct stat st;
    if (path.isEmpty() || path.contains(QChar(0)) || ::stat(QFile::encodeName(path).constData(), &st) != 0
        || m_inputs.contains(treefiles::identityOf(st)))
        return;
    m_inputs.insert(treefiles::identityOf(st), path);
    Folder tree;
    if (!S_ISDIR(st.st_mode) || !Folder::openAsGiven(path, &tree))
        return;
    // Every folder of the tree, so that one reached by another way (a bind mount) is known too.
    treefiles::Walker knowing;
    knowing.enter = [&](const Folder &folder, const QByteArray &, int, QList<QByteArray> *inner) {
        QList<Folder::Entry> found;
        if (const Result read = folder.entries(&found); !read)
            return read;
        for (const auto &[name, entry] : std::as_const(found))
            if (S_ISDIR(entry.st_mode)) {
                m_inputs.insert(treefiles::identityOf(entry), path);
                inner->append(name);
            }
        return Result::ok();
    };
    (void)treefiles::walk(std::move(tree), knowing);
}

void OutputFiles::addPlayTree(const QString &path)
{
    struct stat st;
    if (!path.isEmpty() && ::stat(QFile::encodeName(path).constData(), &st) == 0)
        m_playTrees.insert({quint64(st.st_dev), quint64(st.st_ino)});
}

QString OutputFiles::inputOf(const struct stat &st) const
{
    return m_inputs.value(treefiles::identityOf(st));
}

treefiles::Veto OutputFiles::inputVeto(const QString &path) const
{
    return [this, path](const struct stat &st, const QString &) {
        const QString input = inputOf(st);
        return input.isEmpty() ? QString() : QStringLiteral("%1 lies inside %2, which this run reads").arg(path, input);
    };
}

Result OutputFiles::openParent(const QString &path, Make make, Place *place) const
{
    if (path.isEmpty() || path.contains(QChar(0)))
        return Result::failure(QStringLiteral("\"%1\" is no place for a file").arg(path));
    const QString absolute = QDir::cleanPath(QDir::current().absoluteFilePath(path));
    const int slash = absolute.lastIndexOf(QLatin1Char('/'));
    if (absolute == QLatin1String("/"))
        return Result::failure(QStringLiteral("%1 is no place for a file").arg(path));
    place->leaf = nameOf(absolute.mid(slash + 1));
    bool limited = false;
    const treefiles::Veto input = inputVeto(path);
    const auto veto = [&](const struct stat &st, const QString &shown) {
        limited = limited || m_playTrees.contains({quint64(st.st_dev), quint64(st.st_ino)});
        return input(st, shown);
    };
    if (const Result opened = Folder::open(slash == 0 ? QStringLiteral("/") : absolute.left(slash), make, &place->folder, veto); !opened)
        return opened;
    place->shown = place->folder.isOpen() ? place->folder.shown(place->leaf) : absolute;
    place->limited = limited;
    return Result::ok();
}

Result OutputFiles::checkPlace(const Place &place, bool isFolder) const
{
    struct stat st;
    bool exists = false;
    if (const Result seen = place.folder.entry(place.leaf, &st, &exists); !seen || !exists)
        return seen;
    if (S_ISLNK(st.st_mode))
        return Result::failure(QStringLiteral("%1 is a link; the bench writes through none").arg(place.shown));
    if (const QString input = inputOf(st); !input.isEmpty())
        return Result::failure(QStringLiteral("%1 is %2, which this run reads").arg(place.shown, input));
    if (S_ISDIR(st.st_mode) != isFolder)
        return Result::failure(QString::fromLatin1(isFolder ? "%1 is no folder" : "%1 is a folder").arg(place.shown));
    if (!isFolder && st.st_nlink > 1)
        return Result::failure(QStringLiteral("%1 has another name too (a hard link); the bench replaces no file it "
                                              "cannot see whole").arg(place.shown));
    return Result::ok();
}

Result OutputFiles::check(const QString &path, QString *placeFound) const
{
    Place place;
    if (const Result opened = openParent(path, Make::No, &place); !opened || !place.folder.isOpen())
        return opened;
    if (const Result free = checkPlace(place, false); !free)
        return free;
    struct stat st;
    if (const Result seen = place.folder.status(&st); !seen)
        return seen;
    if (placeFound)
        *placeFound = QStringLiteral("%1:%2/").arg(quint64(st.st_dev)).arg(quint64(st.st_ino)) + QString::fromLatin1(place.leaf.toHex());
    treefiles::PendingFile probe;
    return treefiles::PendingFile::begin(place.folder, place.leaf, &probe);
}

Result OutputFiles::writeFile(const QString &path, const QByteArray &bytes) const
{
    Place place;
    if (const Result opened = openParent(path, Make::Missing, &place); !opened)
        return opened;
    if (const Result free = checkPlace(place, false); !free)
        return free;
    const FullSize full(!place.limited);
    return place.folder.writeFile(place.leaf, bytes);
}

Result OutputFiles::writeFiles(const QString &folder, const QStringList &names, const QByteArray &bytes) const
{
    Folder opened;
    bool limited = false;
    if (const Result made = openFolder(folder, &opened, &limited); !made)
        return made;
    const FullSize full(!limited);
    // One file is written and each other name made a second name of it, a hard link: thousands
    // of files in a blink instead of an inode each. Each replaces the name that stood there whole,
    // so no file another name shares is written into; a link or an input of the run is refused.
    QByteArray first;
    for (const QString &name : names) {
        Place place{Folder(), nameOf(name), opened.shown(nameOf(name))};
        struct stat st;
        bool exists = false;
        if (const Result seen = opened.entry(place.leaf, &st, &exists); !seen)
            return seen;
        if (exists && (S_ISLNK(st.st_mode) || S_ISDIR(st.st_mode) || !inputOf(st).isEmpty())) {
            (void)opened.duplicate(&place.folder);
            return checkPlace(place, false);
        }
        // A file has at most so many names: where no further one is taken, the next file written
        // takes the others.
        if (!first.isEmpty() && opened.makeSecondName(first, place.leaf))
            continue;
        if (const Result written = opened.writeFile(place.leaf, bytes); !written)
            return written;
        first = place.leaf;
    }
    return opened.sync();
}

Result OutputFiles::Stream::append(const QByteArray &bytes)
{
    const FullSize full(!m_limited);
    return m_file.append(bytes);
}

Result OutputFiles::Stream::commit()
{
    const FullSize full(!m_limited);
    return m_file.commit();
}

Result OutputFiles::openStream(const QString &path, Stream *stream) const
{
    Place place;
    if (const Result opened = openParent(path, Make::Missing, &place); !opened)
        return opened;
    if (const Result free = checkPlace(place, false); !free)
        return free;
    stream->m_limited = place.limited;
    // The old file is replaced by the new, empty one at once; the lines go into it as they come.
    const FullSize full(!place.limited);
    if (const Result begun = treefiles::PendingFile::begin(place.folder, place.leaf, &stream->m_file); !begun)
        return begun;
    return stream->m_file.publish();
}

Result OutputFiles::openFolder(const QString &path, Folder *folder, bool *limited) const
{
    Place place;
    if (const Result opened = openParent(path, Make::Missing, &place); !opened)
        return opened;
    if (const Result free = checkPlace(place, true); !free)
        return free;
    if (const Result made = place.folder.child(place.leaf, Make::Missing, folder); !made)
        return made;
    struct stat st;
    if (const Result seen = folder->status(&st); !seen)
        return seen;
    if (const QString input = inputOf(st); !input.isEmpty())
        return Result::failure(QStringLiteral("%1 is %2, which this run reads").arg(place.shown, input));
    if (limited)
        *limited = place.limited || m_playTrees.contains({quint64(st.st_dev), quint64(st.st_ino)});
    return Result::ok();
}

Result OutputFiles::makeFolder(const QString &path) const
{
    Folder folder;
    return openFolder(path, &folder);
}

Result OutputFiles::makeHeldFolder(const QString &path, Folder *held) const
{
    Place place;
    if (const Result opened = openParent(path, Make::Missing, &place); !opened)
        return opened;
    QByteArray fresh;
    if (const Result made = place.folder.makeFresh(&fresh, held); !made)
        return made;
    Result named = held->tryLock() ? Result::ok() : Result::failure(QStringLiteral("%1 cannot be locked").arg(place.shown));
    if (named)
        named = place.folder.rename(fresh, place.folder, place.leaf, Folder::Keep::Existing);
    if (!named) {
        (void)place.folder.remove(fresh);
        *held = Folder();
    }
    return named;
}

Result OutputFiles::copyTree(const QString &from, const QString &to, bool durable) const
{
    Folder source;
    if (!Folder::openAsGiven(from, &source))
        return Result::failure(QStringLiteral("the folder %1 cannot be read").arg(from));
    if (!durable) {
        Folder target;
        bool limited = false;
        if (const Result opened = openFolder(to, &target, &limited); !opened)
            return opened;
        const FullSize full(!limited);
        return source.copyInto(target);
    }
    // Made beside its place under a fresh name, synced, then put in place whole: a copy that is
    // refused or cut leaves nothing where it was to go.
    Place place;
    if (const Result opened = openParent(to, Make::Missing, &place); !opened)
        return opened;
    if (const Result free = checkPlace(place, true); !free)
        return free;
    const FullSize full(!place.limited);
    QByteArray fresh;
    Folder target;
    if (const Result made = place.folder.makeFresh(&fresh, &target); !made)
        return made;
    Result copied = source.copyInto(target);
    if (copied)
        copied = target.syncAll();
    if (copied)
        copied = place.folder.rename(fresh, place.folder, place.leaf);
    if (!copied)
        (void)place.folder.remove(fresh);
    return copied;
}

Result OutputFiles::makeLink(const QString &path, const QString &target) const
{
    Place place;
    if (const Result opened = openParent(path, Make::Missing, &place); !opened)
        return opened;
    return place.folder.makeLink(place.leaf, QFile::encodeName(target));
}

Result OutputFiles::removePath(const QString &path) const
{
    Place place;
    if (const Result opened = openParent(path, Make::No, &place); !opened || !place.folder.isOpen())
        return opened;
    return place.folder.remove(place.leaf, [this](const struct stat &st, const QString &shown) {
        const QString input = inputOf(st);
        return input.isEmpty() ? QString() : QStringLiteral("%1 is %2, which this run reads").arg(shown, input);
    });
}
