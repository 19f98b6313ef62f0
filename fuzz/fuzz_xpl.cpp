// The controller's environment list.

#include "fuzzsetup.h"

#include "softplcfun.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzzSetup();
    static SoftPlcFun *page = new SoftPlcFun(nullptr);
    page->parseXplConfig(fuzzInputFile(data, size, QStringLiteral("fuzz-xpl.cfg")));
    return 0;
}
