#include "moduleloader.h"

#include <QFileInfo>

ModuleLoader::ModuleLoader(const QString &path) : m_path(path)
{
    m_library.setFileName(QFileInfo(path).absoluteFilePath());
}

bool ModuleLoader::load()
{
    m_createData = nullptr;
    m_createWidget = nullptr;
    if (!QFileInfo(m_path).isFile()) {
        m_error = QStringLiteral("cannot load module %1: no such file").arg(m_path);
        return false;
    }
    if (!m_library.load()) {
        m_error = QStringLiteral("cannot load module %1: %2").arg(m_path, m_library.errorString());
        return false;
    }
    const char *const dataSymbol = "CreateZedOvedudData";
    const char *const widgetSymbol = "CreateZedOvedudWidget";
    auto createData = reinterpret_cast<CreateDataFn>(m_library.resolve(dataSymbol));
    auto createWidget = reinterpret_cast<CreateWidgetFn>(m_library.resolve(widgetSymbol));
    QStringList missing;
    if (!createData)
        missing << QString::fromLatin1(dataSymbol);
    if (!createWidget)
        missing << QString::fromLatin1(widgetSymbol);
    if (!missing.isEmpty()) {
        m_error = QStringLiteral("module %1 does not export %2")
                      .arg(m_path, missing.join(QStringLiteral(" and ")));
        return false;
    }
    m_createData = createData;
    m_createWidget = createWidget;
    m_error.clear();
    return true;
}

BaseZedOvedudData *ModuleLoader::createData() const
{
    return m_createData ? m_createData() : nullptr;
}

RtmBaseWidget *ModuleLoader::createWidget(BaseRtmWidgetData *data, QWidget *parent) const
{
    return m_createWidget ? m_createWidget(data, parent) : nullptr;
}
