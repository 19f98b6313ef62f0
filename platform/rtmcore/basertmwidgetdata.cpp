#include "basertmwidgetdata.h"

#include <QtEndian>

BaseRtmWidgetData::BaseRtmWidgetData() = default;
BaseRtmWidgetData::~BaseRtmWidgetData() = default;

bool BaseRtmWidgetData::ParseBinData(const QByteArray &data, unsigned short version)
{
    Q_UNUSED(version)
    if (data.size() < 2)
        return false;
    m_varNumber = qFromLittleEndian<qint16>(data.constData());
    return true;
}

int BaseRtmWidgetData::getWidgetDataType()
{
    return CustomWidgetType;
}

QString BaseRtmWidgetData::getWidgetDataClassName()
{
    return QStringLiteral("BaseRtmWidgetData");
}

bool BaseRtmWidgetData::copy(const BaseRtmWidgetData *other)
{
    if (!other)
        return false;
    m_varNumber = other->m_varNumber;
    return true;
}
