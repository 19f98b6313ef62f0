#include "qtouchlineedit.h"

#include <QDoubleValidator>
#include <QIntValidator>

#include <cmath>

namespace {
enum Cast { CastText = 0, CastBool = 1, CastFloat = 7 };
} // namespace

QTouchLineEdit::QTouchLineEdit(QWidget *parent) : QLineEdit(parent) {}

void QTouchLineEdit::setCast(unsigned int cast, int decimals)
{
    m_cast = cast;
    m_decimals = decimals;
    setProperty("rtmCast", cast);
    updateValidator();
}

void QTouchLineEdit::setValueRange(double minimum, double maximum)
{
    m_min = qMin(minimum, maximum);
    m_max = qMax(minimum, maximum);
    m_hasRange = true;
    setProperty("rtmMinimum", m_min);
    setProperty("rtmMaximum", m_max);
    updateValidator();
}

void QTouchLineEdit::updateValidator()
{
    const QValidator *old = validator();
    if (m_cast == CastText || m_cast == CastBool || !m_hasRange) {
        setValidator(nullptr);
    } else if (m_cast == CastFloat) {
        setValidator(new QDoubleValidator(m_min, m_max, m_decimals < 0 ? 3 : m_decimals, this));
    } else {
        setValidator(new QIntValidator(int(std::ceil(m_min)), int(std::floor(m_max)), this));
    }
    delete old;
}
