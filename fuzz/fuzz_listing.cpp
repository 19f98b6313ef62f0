// The controller's listing of "/RPL/", one entry a line, turned into the chooser's tree.

#include "fuzzsetup.h"

#include "fileedit.h"

#include "simcontroller.h"

#include <QStringList>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzzSetup();
    static FileEdit *chooser = new FileEdit(nullptr);
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), int(size));
    sim::Controller::instance().setListing(QStringLiteral("/RPL/"), text.split(QLatin1Char('\n')));
    chooser->show();
    chooser->hide();
    return 0;
}
