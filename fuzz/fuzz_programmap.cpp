// The program map as the controller delivers it, loaded and shown by the program map page.

#include "fuzzsetup.h"

#include "programapwidget.h"

#include "simcontroller.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzzSetup();
    static prograMapWidget *page = new prograMapWidget(nullptr);
    QString ctrlFile;
    sim::Controller::instance().resolve(QStringLiteral("/application/zuzerarove/programMapping.xml"), &ctrlFile);
    QDir().mkpath(QFileInfo(ctrlFile).absolutePath());
    QFile file(ctrlFile);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(reinterpret_cast<const char *>(data), qint64(size));
    file.close();
    QMetaObject::invokeMethod(page, "refreshUi");
    return 0;
}
