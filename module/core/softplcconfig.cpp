#include "softplcconfig.h"

#include "core/rawtext.h"

#include <QDateTime>

#include <pugixml.hpp>

#include <sstream>
#include <vector>

namespace {

// Processing instructions become nodes besides elements and text, and references are expanded:
// a name with "&" reads as it was written. Line ends stay as they are; comments, CDATA and the
// declaration are no nodes.
constexpr unsigned int readOptions = pugi::parse_pi | pugi::parse_escapes;

const char programPrefix[] = "/RPL/";

// The first child element of that name: a processing instruction of the same name is no element.
pugi::xml_node element(const pugi::xml_node &parent, const char *name)
{
    for (pugi::xml_node child = parent.child(name); child; child = child.next_sibling(name))
        if (child.type() == pugi::node_element)
            return child;
    return pugi::xml_node();
}

bool parse(const QByteArray &bytes, pugi::xml_document *doc)
{
    return bool(doc->load_buffer(bytes.constData(), size_t(bytes.size()), readOptions, pugi::encoding_auto));
}

QString programOf(const pugi::xml_node &entry)
{
    return rawtext::decode(element(entry, "ProgName").text().get()).remove(QLatin1String(programPrefix));
}

void setText(pugi::xml_node entry, const char *name, const QByteArray &text)
{
    pugi::xml_node child = element(entry, name);
    if (!child)
        child = entry.append_child(name);
    child.text().set(text.constData());
}

void fillEntry(pugi::xml_node entry, int plc, int mode, const QString &program)
{
    entry.append_attribute("id") = plc + 1;
    setText(entry, "mode", QByteArray::number(mode));
    setText(entry, "ProgName", programPrefix + rawtext::encode(program));
}

// Texts that something the reader skips (a comment, a CDATA section) kept apart would run
// together when the document is written: an empty comment keeps them apart, so the reader walks
// the same nodes again.
void keepTextsApart(pugi::xml_document &doc)
{
    struct Finder : pugi::xml_tree_walker
    {
        std::vector<pugi::xml_node> seconds;
        bool for_each(pugi::xml_node &node) override
        {
            if (node.type() == pugi::node_pcdata && node.previous_sibling().type() == pugi::node_pcdata)
                seconds.push_back(node);
            return true;
        }
    } finder;
    doc.traverse(finder);
    for (pugi::xml_node &second : finder.seconds)
        second.parent().insert_child_before(pugi::node_comment, second);
}

pugi::xml_node elementOrNew(pugi::xml_node parent, const char *name)
{
    const pugi::xml_node found = element(parent, name);
    return found ? found : parent.append_child(name);
}

} // namespace

bool SoftPlcConfig::read(const QByteArray &bytes)
{
    pugi::xml_document doc;
    if (!parse(bytes, &doc))
        return false;
    m_document = bytes;
    m_read = true;
    pugi::xml_node node = element(element(doc, "SoftPlcConfig"), "PlcData").first_child();
    for (int i = 0; i < count && node; ++i, node = node.next_sibling()) {
        progName[i] = programOf(node);
        mode[i] = element(node, "mode").text().as_int(0);
    }
    m_readMode = mode;
    m_readName = progName;
    return true;
}

QByteArray SoftPlcConfig::write(const QDateTime &stamp) const
{
    pugi::xml_document kept;
    if (m_read)
        parse(m_document, &kept);
    pugi::xml_node data = element(element(kept, "SoftPlcConfig"), "PlcData");
    // The entry nodes as the reader walks them.
    pugi::xml_node nodes[count];
    pugi::xml_node node = data.first_child();
    for (int i = 0; i < count && node; ++i, node = node.next_sibling())
        nodes[i] = node;
    for (int i = 0; i < count; ++i) {
        if (m_read && mode[i] == m_readMode[i] && progName[i] == m_readName[i])
            continue;
        if (nodes[i].type() == pugi::node_element) {
            if (mode[i] != m_readMode[i])
                setText(nodes[i], "mode", QByteArray::number(mode[i]));
            if (progName[i] != m_readName[i])
                setText(nodes[i], "ProgName", programPrefix + rawtext::encode(progName[i]));
            continue;
        }
        // A text or an instruction stood for this entry, or nothing did: an element takes its
        // place, and the entries before it that the document lacked come first, as they are.
        if (!data)
            data = elementOrNew(elementOrNew(kept, "SoftPlcConfig"), "PlcData");
        if (nodes[i]) {
            pugi::xml_node entry = data.insert_child_before("PlcInfo", nodes[i]);
            data.remove_child(nodes[i]);
            nodes[i] = entry;
            fillEntry(entry, i, mode[i], progName[i]);
            continue;
        }
        for (int j = 0; j <= i; ++j) {
            if (!nodes[j]) {
                nodes[j] = data.append_child("PlcInfo");
                fillEntry(nodes[j], j, mode[j], progName[j]);
            }
        }
    }

    keepTextsApart(kept);
    pugi::xml_document doc;
    pugi::xml_node declaration = doc.append_child(pugi::node_declaration);
    declaration.append_attribute("version") = "1.0";
    declaration.append_attribute("encoding") = "UTF-8";
    doc.append_child(pugi::node_comment)
        .set_value(QStringLiteral(" Date(ymd)/time(hms) %1 ")
                       .arg(stamp.toString(QStringLiteral("yyyy/MM/dd hh:mm:ss")))
                       .toUtf8()
                       .constData());
    for (pugi::xml_node top = kept.first_child(); top; top = top.next_sibling())
        doc.append_copy(top);
    std::ostringstream out;
    doc.save(out, "\t", pugi::format_indent, pugi::encoding_utf8);
    const std::string bytes = out.str();
    return QByteArray(bytes.data(), int(bytes.size()));
}

std::array<bool, SoftPlcConfig::count> softPlcsNamed(const QByteArray &environmentList)
{
    std::array<bool, SoftPlcConfig::count> named{};
    pugi::xml_document doc;
    if (!parse(environmentList, &doc))
        return named;
    const pugi::xml_node list = element(element(doc, "XplConfiguration"), "EnvironmentList");
    for (pugi::xml_node env = list.first_child(); env; env = env.next_sibling()) {
        const QString name = rawtext::decode(element(env, "Name").text().get());
        for (int plc = 0; plc < SoftPlcConfig::count; ++plc)
            if (name.compare(QStringLiteral("softplc%1").arg(plc + 1), Qt::CaseInsensitive) == 0)
                named[plc] = true;
    }
    return named;
}
