#include "zuzerarovefiles.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <pugixml.hpp>

#include <sstream>

namespace zuzfiles {

// The service's files are small; a larger one is refused unread.
static constexpr qint64 maxFileSize = 1 << 20;

static bool load(const QString &path, pugi::xml_document *doc)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > maxFileSize)
        return false;
    const QByteArray bytes = file.read(maxFileSize + 1);
    if (bytes.size() > maxFileSize)
        return false;
    if (file.error() != QFileDevice::NoError)
        return false;
    return bool(doc->load_buffer(bytes.constData(), size_t(bytes.size())));
}

static bool save(const QString &path, const pugi::xml_document &doc)
{
    std::ostringstream out;
    doc.save(out, "  ", pugi::format_default, pugi::encoding_utf8);
    const std::string text = out.str();
    // A link in the file's place is not written through.
    if (QFileInfo(path).isSymLink())
        return false;
    QSaveFile file(path);
    // Unbuffered: a short write on a full disk shows in write()'s count, where a buffered file
    // would lose the rest unnoticed and commit it cut.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    if (file.write(text.data(), qint64(text.size())) != qint64(text.size())) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

static QString text(const pugi::xml_attribute &a)
{
    return QString::fromUtf8(a.as_string());
}

bool readConfig(const QString &path, ZuzEraroveData *out)
{
    pugi::xml_document doc;
    if (!out || !load(path, &doc))
        return false;
    const pugi::xml_node root = doc.child("ZuzEraroveConfig");
    if (!root)
        return false;
    ZuzEraroveData data;
    data.runState = root.attribute("runState").as_int(0);
    data.signalMode = root.attribute("signalMode").as_int(0);
    data.protocol = root.attribute("protocol").as_int(0);
    for (const pugi::xml_node slot : root.children("Slot")) {
        const int id = slot.attribute("id").as_int(0);
        if (id < 1 || id > ZUZ_SLOT_COUNT)
            continue;
        data.rplNames[id - 1] = text(slot.attribute("program"));
        data.cycleIndex[id - 1] = slot.attribute("cycleIndex").as_int(1);
    }
    *out = data;
    return true;
}

bool writeConfig(const QString &path, const ZuzEraroveData &data)
{
    pugi::xml_document doc;
    pugi::xml_node root = doc.append_child("ZuzEraroveConfig");
    root.append_attribute("runState") = data.runState;
    root.append_attribute("signalMode") = data.signalMode;
    root.append_attribute("protocol") = data.protocol;
    for (int i = 0; i < ZUZ_SLOT_COUNT; ++i) {
        pugi::xml_node slot = root.append_child("Slot");
        slot.append_attribute("id") = i + 1;
        slot.append_attribute("program") = data.rplNames[i].toUtf8().constData();
        slot.append_attribute("cycleIndex") = data.cycleIndex[i];
    }
    return save(path, doc);
}

bool readProgramMap(const QString &path, QList<ProgramMapData> *out)
{
    pugi::xml_document doc;
    if (!out || !load(path, &doc))
        return false;
    const pugi::xml_node root = doc.child("ProgramMapping");
    if (!root)
        return false;
    QList<ProgramMapData> maps;
    for (const pugi::xml_node program : root.children("Program"))
        maps.append({program.attribute("num").as_int(0), text(program.attribute("name"))});
    *out = maps;
    return true;
}

bool writeProgramMap(const QString &path, const QList<ProgramMapData> &maps)
{
    pugi::xml_document doc;
    pugi::xml_node root = doc.append_child("ProgramMapping");
    for (const ProgramMapData &m : maps) {
        pugi::xml_node program = root.append_child("Program");
        program.append_attribute("num") = m.programNum;
        program.append_attribute("name") = m.programName.toUtf8().constData();
    }
    return save(path, doc);
}

bool readSoftPlcAutoStart(const QString &path, bool out[4])
{
    pugi::xml_document doc;
    if (!load(path, &doc))
        return false;
    const pugi::xml_node data = doc.child("SoftPlcConfig").child("PlcData");
    bool autoStart[4] = {};
    int plc = 0;
    for (pugi::xml_node info = data.first_child(); info && plc < 4; info = info.next_sibling()) {
        if (info.type() != pugi::node_element)
            continue;
        autoStart[plc++] = info.child("mode").text().as_int(0) == 1;
    }
    for (int i = 0; i < 4; ++i)
        out[i] = autoStart[i];
    return true;
}

} // namespace zuzfiles
