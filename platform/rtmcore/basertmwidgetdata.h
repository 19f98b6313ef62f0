#pragma once

#include "basedatamanager.h"

#include <QString>

// Data of one widget on a panel page: its type, its class and the variable it is bound to.
class RTMCORE_EXPORT BaseRtmWidgetData : public BaseDataManager
{
public:
    enum { CustomWidgetType = 100 };

    BaseRtmWidgetData();
    ~BaseRtmWidgetData() override;

    // The record starts with the bound variable's number, a little-endian signed 16-bit value.
    bool ParseBinData(const QByteArray &data, unsigned short version) override;
    virtual int getWidgetDataType();
    virtual QString getWidgetDataClassName();
    virtual bool copy(const BaseRtmWidgetData *other);

    // 0 means the widget is bound to no variable.
    qint16 varNumber() const { return m_varNumber; }
    void setVarNumber(qint16 number) { m_varNumber = number; }

protected:
    qint16 m_varNumber = 0;
};
