// The soft-PLC configuration: read, then written and read again.

#include "fuzzsetup.h"

#include "softplcfun.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzzSetup();
    static SoftPlcFun *page = new SoftPlcFun(nullptr);
    const QString input = fuzzInputFile(data, size, QStringLiteral("fuzz-softplcconfig.xml"));
    if (page->readSoftPlcConfig(input)) {
        const QString written = input + QStringLiteral(".out");
        if (page->writeSoftPlcConfig(written))
            page->readSoftPlcConfig(written);
    }
    return 0;
}
