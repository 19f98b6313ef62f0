// The controller's environment list: which soft-PLCs it names, whatever it holds.

#include "core/softplcconfig.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    softPlcsNamed(QByteArray(reinterpret_cast<const char *>(data), int(size)));
    return 0;
}
