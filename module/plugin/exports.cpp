// The module's two entry points, exported with C linkage under their plain names.
//   CreateZedOvedudData()            a new data object; the host owns it and destroys it
//                                    through its virtual destructor.
//   CreateZedOvedudWidget(data, p)   a new widget on that data object, a child of p when p is
//                                    given; the host owns it. It shows the module's one page
//                                    stack, which the data object owns.

#include "common/modulepaths.h"
#include "plugin/factories.h"

#include <QtGlobal>

namespace {
// Paths and images are ready as soon as the module is loaded.
const bool loaded = (modulepaths::init(), true);
} // namespace

extern "C" Q_DECL_EXPORT BaseZedOvedudData *CreateZedOvedudData()
{
    Q_UNUSED(loaded)
    return createZedOvedudData();
}

extern "C" Q_DECL_EXPORT RtmBaseWidget *CreateZedOvedudWidget(BaseRtmWidgetData *data, QWidget *parent)
{
    return createZedOvedudWidget(data, parent);
}
