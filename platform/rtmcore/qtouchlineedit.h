#pragma once

#include "rtmcore_global.h"

#include <QLineEdit>

// A line edit for touch entry. The cast names the value type that the text stands for; the
// value range limits what the operator can type. setText() is not limited.
class RTMCORE_EXPORT QTouchLineEdit : public QLineEdit
{
    Q_OBJECT
public:
    enum Cast {
        CastText = 0,
        CastBool = 1,
        CastInt8 = 2,
        CastUInt8 = 3,
        CastInt16 = 4,
        CastUInt16 = 5,
        CastInt32 = 6,
        CastFloat = 7,
    };

    explicit QTouchLineEdit(QWidget *parent = nullptr);

    // decimals: places shown for a float cast; -1 keeps the type's default.
    void setCast(unsigned int cast, int decimals);
    void setValueRange(double minimum, double maximum);

    unsigned int cast() const { return m_cast; }
    int decimals() const { return m_decimals; }
    double minimumValue() const { return m_min; }
    double maximumValue() const { return m_max; }

private:
    void updateValidator();

    unsigned int m_cast = CastText;
    int m_decimals = -1;
    double m_min = 0;
    double m_max = 0;
    bool m_hasRange = false;
};
