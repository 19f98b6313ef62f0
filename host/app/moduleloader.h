#pragma once

#include "treefiles/result.h"
#include "engine/session.h"

#include <QLibrary>
#include <QString>

// Loads a screen module and resolves its two factories, which a ModuleSession calls (it says who
// owns what they make). The library is never unloaded: the module's objects and resources live
// until the process ends.
class ModuleLoader
{
public:
    using CreateDataFn = ModuleSession::CreateDataFn;
    using CreateWidgetFn = ModuleSession::CreateWidgetFn;

    explicit ModuleLoader(const QString &path);

    // A failure when the file cannot be loaded or a factory is missing, naming the path
    // and the missing symbol.
    Result load();
    QString path() const { return m_path; }

    // The factories, null until load() succeeded.
    CreateDataFn dataFactory() const { return m_createData; }
    CreateWidgetFn widgetFactory() const { return m_createWidget; }

private:
    QString m_path;
    QLibrary m_library;
    CreateDataFn m_createData = nullptr;
    CreateWidgetFn m_createWidget = nullptr;
};
