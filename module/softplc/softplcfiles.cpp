// The soft-PLC configuration file and the controller's environment list.
//
// Texts are UTF-8 both ways, as the file's declaration says: a program name written with
// characters outside ASCII reads back unchanged, whatever the panel's locale. File paths are
// handed to the library in the local 8-bit encoding.

#include "softplcfun.h"
#include "ui_softplcfun.h"

#include "domain.h"

#include "dataaccess.h"
#include "rtmfunctions.h"

#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <pugixml.hpp>

#include <sstream>

namespace {

// Only processing instructions become nodes besides elements and text: references stay
// unexpanded, line ends as they are, comments and the declaration are dropped.
constexpr unsigned int readOptions = pugi::parse_pi;

// Both files are a few hundred bytes; a larger one is refused rather than parsed on the
// user-interface thread.
constexpr qint64 maxFileSize = 1 << 20;

bool loadLocalized(const QString &path, pugi::xml_document *doc)
{
    const QString local = RtmGetLocalizedFileName(path, true);
    if (QFileInfo(local).size() > maxFileSize)
        return false;
    const QByteArray file = QFile::encodeName(local);
    return bool(doc->load_file(file.constData(), readOptions, pugi::encoding_auto));
}

// The first child element of that name: a processing instruction of the same name is no element.
pugi::xml_node element(const pugi::xml_node &parent, const char *name)
{
    for (pugi::xml_node child = parent.child(name); child; child = child.next_sibling(name))
        if (child.type() == pugi::node_element)
            return child;
    return pugi::xml_node();
}

QString text(const pugi::xml_node &node, const char *child)
{
    return QString::fromUtf8(element(node, child).text().get());
}

} // namespace

bool SoftPlcFun::readSoftPlcConfig(const QString &path)
{
    pugi::xml_document doc;
    if (!loadLocalized(path, &doc))
        return false;
    pugi::xml_node node = element(element(doc, "SoftPlcConfig"), "PlcData").first_child();
    // Entries are taken in document order whatever the nodes are called; id is not read.
    for (int i = 0; i < SoftPlcCount && node; ++i, node = node.next_sibling()) {
        plcProgName[i] = text(node, "ProgName").remove(QStringLiteral("/RPL/"));
        plcMode[i] = element(node, "mode").text().as_int(0);
    }
    return true;
}

bool SoftPlcFun::writeSoftPlcConfig(const QString &path)
{
    const QString dir = RtmGetLocalizedFileName(path.left(path.lastIndexOf(QLatin1Char('/'))), true);
    if (!QDir(dir).exists())
        QDir().mkpath(dir);

    pugi::xml_document doc;
    pugi::xml_node declaration = doc.append_child(pugi::node_declaration);
    declaration.append_attribute("version") = "1.0";
    declaration.append_attribute("encoding") = "UTF-8";
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyy/MM/dd hh:mm:ss"));
    doc.append_child(pugi::node_comment)
        .set_value(QStringLiteral(" Date(ymd)/time(hms) %1 ").arg(stamp).toUtf8().constData());
    pugi::xml_node data = doc.append_child("SoftPlcConfig").append_child("PlcData");
    for (int i = 0; i < SoftPlcCount; ++i) {
        pugi::xml_node info = data.append_child("PlcInfo");
        info.append_attribute("id") = i + 1;
        info.append_child("mode").text().set(QByteArray::number(plcMode[i]).constData());
        info.append_child("ProgName").text().set(
            (QStringLiteral("/RPL/") + plcProgName[i]).toUtf8().constData());
    }
    std::ostringstream out;
    doc.save(out, "\t", pugi::format_indent, pugi::encoding_utf8);
    const std::string bytes = out.str();
    // Written beside the file and renamed over it, so a failed write leaves the old file whole.
    // A link in its place is not followed out of the panel's tree.
    if (QFileInfo(path).isSymLink())
        return false;
    QSaveFile file(path);
    // Unbuffered: a short write on a full disk shows in write()'s count, where a buffered file
    // would lose the rest unnoticed and commit it cut.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    if (file.write(bytes.data(), qint64(bytes.size())) != qint64(bytes.size())) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

void SoftPlcFun::loadXplConfig()
{
    for (int plc = 0; plc < SoftPlcCount; ++plc)
        plcRow(plc)->hide();
    const QString local = RtmGetLocalizedFileName(QStringLiteral("../Application/zuzerarove/xpl.cfg"), true);
    const QString dir = RtmGetLocalizedFileName(QStringLiteral("../Application/zuzerarove"), true);
    if (!QDir(dir).exists())
        QDir().mkdir(dir);
    if (DataAccess::GetFileFromController2TPU(QStringLiteral("/xpl/xpl.cfg"), local, false)) {
        parseXplConfig(local);
        return;
    }
    qDebug("DataAccess::GetFileFromController2TPU failed");
    plcRow(0)->show();
    plcRow(1)->show();
}

void SoftPlcFun::parseXplConfig(const QString &path)
{
    pugi::xml_document doc;
    if (!loadLocalized(path, &doc))
        return;
    const pugi::xml_node list = element(element(doc, "XplConfiguration"), "EnvironmentList");
    for (pugi::xml_node env = list.first_child(); env; env = env.next_sibling()) {
        const QString name = text(env, "Name");
        for (int plc = 0; plc < SoftPlcCount; ++plc)
            if (name.compare(QStringLiteral("softplc%1").arg(plc + 1), Qt::CaseInsensitive) == 0)
                plcRow(plc)->show();
    }
}
