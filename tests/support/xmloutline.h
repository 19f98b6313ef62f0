#pragma once

#include <QByteArray>
#include <QString>

#include <pugixml.hpp>

// A document as a reader with these options sees it, node by node: depth, kind, name, value and
// attributes. Two documents a reader cannot tell apart have the same outline.
inline QString xmlOutline(const QByteArray &bytes, unsigned int options)
{
    pugi::xml_document doc;
    if (!doc.load_buffer(bytes.constData(), size_t(bytes.size()), options))
        return QStringLiteral("(does not parse)");
    struct Walker : pugi::xml_tree_walker
    {
        QString text;
        bool for_each(pugi::xml_node &n) override
        {
            text += QStringLiteral("%1:%2:%3:%4[").arg(depth()).arg(int(n.type())).arg(QString::fromUtf8(n.name()),
                                                                                          QString::fromUtf8(n.value()));
            for (const pugi::xml_attribute &a : n.attributes())
                text += QString::fromUtf8(a.name()) + QLatin1Char('=') + QString::fromUtf8(a.value()) + QLatin1Char(';');
            text += QLatin1String("]\n");
            return true;
        }
    } walker;
    doc.traverse(walker);
    return walker.text;
}
