#include "softplcconfig.h"

#include "treefiles/rawtext.h"

#include <QDateTime>

#include <pugixml.hpp>

#include <algorithm>
#include <sstream>
#include <utility>
#include <vector>

namespace {

// Processing instructions and CDATA sections become nodes besides elements and text, and
// references are expanded: a name with "&" or in a CDATA section reads as it was written. Line ends
// stay as they are; comments and the declaration are no nodes.
constexpr unsigned int readOptions = pugi::parse_pi | pugi::parse_escapes | pugi::parse_cdata;

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

QByteArray dateComment(const QDateTime &stamp)
{
    return "<!-- Date(ymd)/time(hms) " + stamp.toString(QStringLiteral("yyyy/MM/dd hh:mm:ss")).toUtf8() + " -->";
}

QByteArray escaped(QByteArray text)
{
    return text.replace('&', "&amp;").replace('<', "&lt;").replace('>', "&gt;");
}

// The end of the markup that starts at from ("<!--", "<![CDATA[", "<?" or a tag), past its last
// character; -1 when the bytes end first. A quoted attribute value may hold ">".
int markupEnd(const QByteArray &bytes, int from)
{
    for (const auto &[open, close] : {std::pair<const char *, const char *>{"<!--", "-->"}, {"<![CDATA[", "]]>"}, {"<?", "?>"}})
        if (bytes.mid(from, int(qstrlen(open))) == open) {
            const int end = bytes.indexOf(close, from + int(qstrlen(open)));
            return end < 0 ? -1 : end + int(qstrlen(close));
        }
    char quote = 0;
    for (int i = from + 1; i < bytes.size(); ++i) {
        const char c = bytes.at(i);
        if (quote)
            quote = c == quote ? 0 : quote;
        else if (c == '"' || c == '\'')
            quote = c;
        else if (c == '>')
            return i + 1;
    }
    return -1;
}

// Where the content of the element whose "<" stands at tagAt lies: from after its start tag to its
// end tag; an empty element ("<x/>") has none, and its whole tag is given instead. False when the
// bytes there do not read so.
bool contentSpan(const QByteArray &bytes, int tagAt, int *from, int *to, bool *empty)
{
    const int tagEnd = markupEnd(bytes, tagAt);
    if (tagEnd < 0)
        return false;
    *empty = bytes.at(tagEnd - 2) == '/';
    if (*empty) {
        *from = tagAt;
        *to = tagEnd;
        return true;
    }
    *from = tagEnd;
    int depth = 0;
    for (int i = tagEnd; i < bytes.size(); ++i) {
        if (bytes.at(i) != '<')
            continue;
        const bool closing = bytes.mid(i, 2) == "</";
        const int end = markupEnd(bytes, i);
        if (end < 0)
            return false;
        if (closing && depth == 0) {
            *to = i;
            return true;
        }
        if (closing)
            --depth;
        else if (bytes.at(i + 1) != '!' && bytes.at(i + 1) != '?' && bytes.at(end - 2) != '/')
            ++depth;
        i = end - 1;
    }
    return false;
}

} // namespace

bool SoftPlcConfig::splice(const QDateTime &stamp, QByteArray *out) const
{
    pugi::xml_document doc;
    const pugi::xml_parse_result parsed =
        doc.load_buffer(m_document.constData(), size_t(m_document.size()), readOptions, pugi::encoding_auto);
    if (!parsed || parsed.encoding != pugi::encoding_utf8)
        return false;
    const pugi::xml_node data = element(element(doc, "SoftPlcConfig"), "PlcData");
    struct Edit
    {
        int from, to;
        QByteArray text;
    };
    QList<Edit> edits;
    pugi::xml_node node = data.first_child();
    for (int i = 0; i < count; ++i, node = node ? node.next_sibling() : node) {
        if (mode[i] == m_readMode[i] && progName[i] == m_readName[i])
            continue;
        if (node.type() != pugi::node_element)
            return false;
        for (const char *name : {"mode", "ProgName"}) {
            const bool isMode = qstrcmp(name, "mode") == 0;
            if (isMode ? mode[i] == m_readMode[i] : progName[i] == m_readName[i])
                continue;
            const pugi::xml_node child = element(node, name);
            const int tagAt = child ? int(child.offset_debug()) - 1 : -1;
            if (tagAt < 0 || m_document.mid(tagAt, int(qstrlen(name)) + 1) != QByteArray("<") + name)
                return false;
            Edit edit{0, 0, isMode ? QByteArray::number(mode[i]) : programPrefix + escaped(rawtext::encode(progName[i]))};
            bool empty = false;
            if (!contentSpan(m_document, tagAt, &edit.from, &edit.to, &empty))
                return false;
            if (empty)
                edit.text = m_document.mid(edit.from, edit.to - edit.from - 2) + '>' + edit.text + "</" + name + '>';
            edits << edit;
        }
    }
    // From the end, so that each span is where it was read.
    std::sort(edits.begin(), edits.end(), [](const Edit &a, const Edit &b) { return a.from > b.from; });
    QByteArray bytes = m_document;
    for (const Edit &edit : edits)
        bytes.replace(edit.from, edit.to - edit.from, edit.text);
    // The date comment ahead of the root is stamped anew, or one is put first (after a byte-order
    // mark and the declaration), in the file's own line ends.
    int comment = -1;
    pugi::xml_document prolog;
    if (prolog.load_buffer(m_document.constData(), size_t(m_document.size()), readOptions | pugi::parse_comments)) {
        for (pugi::xml_node top = prolog.first_child(); top && top.type() != pugi::node_element; top = top.next_sibling())
            if (top.type() == pugi::node_comment && QByteArray(top.value()).startsWith(" Date(ymd)/time(hms) ")) {
                comment = int(top.offset_debug()) - 4;
                break;
            }
    }
    const int commentEnd = comment < 0 ? -1 : bytes.indexOf("-->", comment + 4);
    if (comment >= 0 && bytes.mid(comment, 4) == "<!--" && commentEnd >= 0) {
        bytes.replace(comment, commentEnd + 3 - comment, dateComment(stamp));
    } else {
        const QByteArray lineEnd = bytes.contains("\r\n") ? "\r\n" : "\n";
        int at = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
        if (bytes.mid(at, 5) == "<?xml") {
            const int end = bytes.indexOf("?>", at);
            at = end < 0 ? at : end + 2;
            at += bytes.mid(at, lineEnd.size()) == lineEnd ? lineEnd.size() : 0;
        }
        bytes.insert(at, dateComment(stamp) + lineEnd);
    }
    *out = bytes;
    return true;
}

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
    // The bytes read, with only the edited values and the date replaced; a document whose bytes
    // cannot take an edit in place (an entry it lacks, or one that is no element) is written anew.
    if (QByteArray spliced; m_read && splice(stamp, &spliced))
        return spliced;
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
    const QByteArray comment = dateComment(stamp);
    doc.append_child(pugi::node_comment).set_value(comment.mid(4, comment.size() - 7).constData());
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
