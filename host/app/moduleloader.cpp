#include "app/moduleloader.h"

#include <QFile>
#include <QFileInfo>

#include <link.h>

#include <cstring>

namespace {

// The ELF class of this program: a module of the other one does not load.
constexpr unsigned char ownClass = sizeof(void *) == 8 ? ELFCLASS64 : ELFCLASS32;

// What is wrong with the file as a shared object for this machine, or an empty string. The
// system's loader maps every loadable segment straight from the file; one that lies past the
// end of a truncated file would kill the panel with a bus error on first touch.
QString elfProblem(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return file.errorString();
    const qint64 size = file.size();
    ElfW(Ehdr) header;
    if (file.read(reinterpret_cast<char *>(&header), sizeof header) != qint64(sizeof header)
        || std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0)
        return QStringLiteral("not a shared object");
    if (header.e_ident[EI_CLASS] != ownClass || header.e_type != ET_DYN || header.e_phentsize != sizeof(ElfW(Phdr)))
        return QStringLiteral("not a %1-bit shared object").arg(sizeof(void *) * 8);
    const qint64 tableEnd = qint64(header.e_phoff) + qint64(header.e_phnum) * qint64(sizeof(ElfW(Phdr)));
    if (header.e_phoff == 0 || header.e_phoff > quint64(size) || tableEnd > size)
        return QStringLiteral("truncated (its program headers lie past the end of the file)");
    file.seek(qint64(header.e_phoff));
    for (int i = 0; i < header.e_phnum; ++i) {
        ElfW(Phdr) segment;
        if (file.read(reinterpret_cast<char *>(&segment), sizeof segment) != qint64(sizeof segment))
            return QStringLiteral("truncated (its program headers lie past the end of the file)");
        if (segment.p_type == PT_LOAD
            && (segment.p_offset > quint64(size) || segment.p_filesz > quint64(size) - segment.p_offset))
            return QStringLiteral("truncated (a loadable segment ends at byte %1 of a %2-byte file)")
                .arg(segment.p_offset + segment.p_filesz)
                .arg(size);
    }
    return QString();
}

} // namespace

ModuleLoader::ModuleLoader(const QString &path) : m_path(path)
{
    m_library.setFileName(QFileInfo(path).absoluteFilePath());
}

Result ModuleLoader::load()
{
    m_createData = nullptr;
    m_createWidget = nullptr;
    const QFileInfo info(m_path);
    if (info.isDir())
        return Result::failure(QStringLiteral("cannot load module %1: it is a directory").arg(m_path));
    if (!info.isFile())
        return Result::failure(QStringLiteral("cannot load module %1: no such file").arg(m_path));
    const QString problem = elfProblem(m_path);
    if (!problem.isEmpty())
        return Result::failure(QStringLiteral("cannot load module %1: %2").arg(m_path, problem));
    if (!m_library.load())
        return Result::failure(QStringLiteral("cannot load module %1: %2").arg(m_path, m_library.errorString()));
    const char *const dataSymbol = "CreateZedOvedudData";
    const char *const widgetSymbol = "CreateZedOvedudWidget";
    auto createData = reinterpret_cast<CreateDataFn>(m_library.resolve(dataSymbol));
    auto createWidget = reinterpret_cast<CreateWidgetFn>(m_library.resolve(widgetSymbol));
    QStringList missing;
    if (!createData)
        missing << QString::fromLatin1(dataSymbol);
    if (!createWidget)
        missing << QString::fromLatin1(widgetSymbol);
    if (!missing.isEmpty())
        return Result::failure(
            QStringLiteral("module %1 does not export %2").arg(m_path, missing.join(QStringLiteral(" and "))));
    m_createData = createData;
    m_createWidget = createWidget;
    return Result::ok();
}
