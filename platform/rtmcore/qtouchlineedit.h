#pragma once

#include "rtmcore_global.h"

#include <QLineEdit>

// A line edit for touch entry. The cast names the value type that the text stands for (0 text,
// 1 bool, 2 and 3 signed and unsigned 8-bit, 4 and 5 16-bit, 6 signed 32-bit, 7 float); the value
// range limits what the operator can type. setText() is not limited.
class RTMCORE_EXPORT QTouchLineEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit QTouchLineEdit(QWidget *parent = nullptr);

    // decimals: places shown for a float cast; -1 keeps the type's default.
    void setCast(unsigned int cast, int decimals);
    void setValueRange(double minimum, double maximum);

private:
    void updateValidator();

    unsigned int m_cast = 0;
    int m_decimals = -1;
    double m_min = 0;
    double m_max = 0;
    bool m_hasRange = false;
};
