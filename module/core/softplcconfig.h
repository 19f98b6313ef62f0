#pragma once

#include <QByteArray>
#include <QString>

#include <array>

class QDateTime;

// softplcconfig.xml: the start-up mode and program of the soft-PLCs "softplc1" to "softplc4".
//
//   <SoftPlcConfig><PlcData>
//     <PlcInfo id="1"><mode>1</mode><ProgName>/RPL/P1.XPL</ProgName></PlcInfo> ... four of them
//   </PlcData></SoftPlcConfig>
//
// The entries are the child nodes of PlcData in document order, whatever their names; their
// mode is an integer (0 command activation, 1 auto-startup, any other value kept as it is) and
// their program the ProgName text without "/RPL/". The configuration keeps the bytes it was
// read from, and a write changes in them only the values that differ from what was read and the
// date comment: comments, CDATA, the byte-order mark, line ends, quoting, everything else goes
// back byte for byte.
class SoftPlcConfig
{
public:
    static constexpr int count = 4;

    std::array<int, count> mode{};
    std::array<QString, count> progName;

    // Takes the entries from the document; false for one that does not parse, the entries
    // then as they were. Entries the document does not reach keep their values too.
    bool read(const QByteArray &bytes);
    // The file for the entries as they are now, stamped with the time in its leading comment.
    QByteArray write(const QDateTime &stamp) const;

private:
    // The bytes read with the edits and a new date in place; false when they cannot take them.
    bool splice(const QDateTime &stamp, QByteArray *out) const;

    QByteArray m_document;
    // The entries as the document gave them, and how many it gave.
    std::array<int, count> m_readMode{};
    std::array<QString, count> m_readName;
    bool m_read = false;
};

// The soft-PLCs that the controller's environment list xpl.cfg names ("softplc1" to
// "softplc4", in any letter case): the Name of each child of XplConfiguration/EnvironmentList.
// Empty (all false) for a list that does not parse.
std::array<bool, SoftPlcConfig::count> softPlcsNamed(const QByteArray &environmentList);
