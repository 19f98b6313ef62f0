#pragma once

#include <QLibrary>
#include <QString>

class BaseRtmWidgetData;
class BaseZedOvedudData;
class QWidget;
class RtmBaseWidget;

// Loads a screen module and resolves its two factories:
//   BaseZedOvedudData *CreateZedOvedudData()    the caller owns the data object
//   RtmBaseWidget *CreateZedOvedudWidget(BaseRtmWidgetData *data, QWidget *parent)
//                                               the caller owns the widget (or its parent does)
// The library is never unloaded: the module's objects and resources live until the process ends.
class ModuleLoader
{
public:
    using CreateDataFn = BaseZedOvedudData *(*)();
    using CreateWidgetFn = RtmBaseWidget *(*)(BaseRtmWidgetData *, QWidget *);

    explicit ModuleLoader(const QString &path);

    // False when the file cannot be loaded or a factory is missing; error() names the path
    // and the missing symbol.
    bool load();
    QString error() const { return m_error; }
    QString path() const { return m_path; }

    // The factories, null until load() succeeded.
    CreateDataFn dataFactory() const { return m_createData; }
    CreateWidgetFn widgetFactory() const { return m_createWidget; }

private:
    QString m_path;
    QLibrary m_library;
    QString m_error;
    CreateDataFn m_createData = nullptr;
    CreateWidgetFn m_createWidget = nullptr;
};
