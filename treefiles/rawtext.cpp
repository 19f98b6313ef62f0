#include "treefiles/rawtext.h"

#include <cstring>

namespace rawtext {

namespace {

constexpr char16_t escapeBase = 0xDC00;

// The length of the valid UTF-8 sequence at p (at most n bytes there) and its code point; 0
// when the bytes there are no valid sequence (overlong, surrogate, over U+10FFFF, cut short).
int sequence(const unsigned char *p, int n, char32_t *code)
{
    const unsigned char b = p[0];
    int length;
    char32_t c;
    if (b >= 0xC2 && b <= 0xDF) {
        length = 2;
        c = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
        length = 3;
        c = b & 0x0F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        length = 4;
        c = b & 0x07;
    } else {
        return 0;
    }
    if (n < length)
        return 0;
    for (int i = 1; i < length; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 0;
        c = (c << 6) | (p[i] & 0x3F);
    }
    const char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < least[length] || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF)
        return 0;
    *code = c;
    return length;
}

void appendUtf8(QByteArray *out, char32_t c)
{
    if (c < 0x80) {
        out->append(char(c));
    } else if (c < 0x800) {
        out->append(char(0xC0 | (c >> 6)));
        out->append(char(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out->append(char(0xE0 | (c >> 12)));
        out->append(char(0x80 | ((c >> 6) & 0x3F)));
        out->append(char(0x80 | (c & 0x3F)));
    } else {
        out->append(char(0xF0 | (c >> 18)));
        out->append(char(0x80 | ((c >> 12) & 0x3F)));
        out->append(char(0x80 | ((c >> 6) & 0x3F)));
        out->append(char(0x80 | (c & 0x3F)));
    }
}

} // namespace

QString decode(const char *bytes, int size)
{
    if (!bytes)
        return QString();
    const int n = size < 0 ? int(std::strlen(bytes)) : size;
    const auto *p = reinterpret_cast<const unsigned char *>(bytes);
    QString text;
    text.reserve(n);
    for (int i = 0; i < n;) {
        if (p[i] < 0x80) {
            text.append(QLatin1Char(char(p[i++])));
            continue;
        }
        char32_t code;
        const int length = sequence(p + i, n - i, &code);
        if (length == 0) {
            text.append(QChar(char16_t(escapeBase + p[i++])));
            continue;
        }
        if (code >= 0x10000) {
            text.append(QChar(QChar::highSurrogate(code)));
            text.append(QChar(QChar::lowSurrogate(code)));
        } else {
            text.append(QChar(char16_t(code)));
        }
        i += length;
    }
    return text;
}

QByteArray encode(const QString &text)
{
    QByteArray out;
    out.reserve(text.size());
    const int n = text.size();
    for (int i = 0; i < n; ++i) {
        const char16_t u = text.at(i).unicode();
        if (QChar::isHighSurrogate(u) && i + 1 < n && QChar::isLowSurrogate(text.at(i + 1).unicode())) {
            appendUtf8(&out, QChar::surrogateToUcs4(u, text.at(i + 1).unicode()));
            ++i;
        } else if (u >= escapeBase + 0x80 && u <= escapeBase + 0xFF) {
            out.append(char(u - escapeBase));
        } else if (QChar::isSurrogate(u)) {
            // A lone surrogate no file gave: nothing in UTF-8 stands for it.
            appendUtf8(&out, 0xFFFD);
        } else {
            appendUtf8(&out, u);
        }
    }
    return out;
}

} // namespace rawtext
