#pragma once

#include <QByteArray>
#include <QString>

// Texts of the files as the screen holds them: UTF-8, and lossless. A byte that is no part of
// valid UTF-8 becomes the lone surrogate U+DC80 + byte and turns back into that byte when the text
// is written, so a name that was never edited goes back to its file exactly as it was read.
namespace rawtext {

QString decode(const char *bytes, int size = -1);
inline QString decode(const QByteArray &bytes)
{
    return decode(bytes.constData(), bytes.size());
}
QByteArray encode(const QString &text);

} // namespace rawtext
