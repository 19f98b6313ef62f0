#include "zuzerarovefiles.h"

#include "treefiles/rawtext.h"
#include "treefiles/treepath.h"

#include <pugixml.hpp>

#include <sstream>

namespace zuzfiles {

static bool load(const QString &tree, const QString &path, pugi::xml_document *doc)
{
    QByteArray bytes;
    return treepath::readFile(tree, path, &bytes) && doc->load_buffer(bytes.constData(), size_t(bytes.size()));
}

// A file the reader would refuse is not written: nothing is, and the write fails.
static bool save(const QString &tree, const QString &path, const pugi::xml_document &doc)
{
    std::ostringstream out;
    doc.save(out, "  ", pugi::format_default, pugi::encoding_utf8);
    const std::string text = out.str();
    return treepath::writeFile(tree, path, QByteArray(text.data(), int(text.size())));
}

static QString text(const pugi::xml_attribute &a)
{
    return rawtext::decode(a.as_string());
}

bool readConfig(const QString &tree, const QString &path, ZuzEraroveData *out)
{
    pugi::xml_document doc;
    if (!out || !load(tree, path, &doc))
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

bool writeConfig(const QString &tree, const QString &path, const ZuzEraroveData &data)
{
    pugi::xml_document doc;
    pugi::xml_node root = doc.append_child("ZuzEraroveConfig");
    root.append_attribute("runState") = data.runState;
    root.append_attribute("signalMode") = data.signalMode;
    root.append_attribute("protocol") = data.protocol;
    for (int i = 0; i < ZUZ_SLOT_COUNT; ++i) {
        pugi::xml_node slot = root.append_child("Slot");
        slot.append_attribute("id") = i + 1;
        slot.append_attribute("program") = rawtext::encode(data.rplNames[i]).constData();
        slot.append_attribute("cycleIndex") = data.cycleIndex[i];
    }
    return save(tree, path, doc);
}

bool readProgramMap(const QString &tree, const QString &path, QList<ProgramMapData> *out)
{
    pugi::xml_document doc;
    if (!out || !load(tree, path, &doc))
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

bool writeProgramMap(const QString &tree, const QString &path, const QList<ProgramMapData> &maps)
{
    pugi::xml_document doc;
    pugi::xml_node root = doc.append_child("ProgramMapping");
    for (const ProgramMapData &m : maps) {
        pugi::xml_node program = root.append_child("Program");
        program.append_attribute("num") = m.programNum;
        program.append_attribute("name") = rawtext::encode(m.programName).constData();
    }
    return save(tree, path, doc);
}

bool readSoftPlcAutoStart(const QString &tree, const QString &path, bool out[4])
{
    pugi::xml_document doc;
    if (!load(tree, path, &doc))
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
