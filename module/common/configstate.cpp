#include "common/configstate.h"

namespace {
bool isKnown = false;
int readCount = 0;
} // namespace

namespace configstate {

bool known()
{
    return isKnown;
}

void markRead()
{
    isKnown = true;
    ++readCount;
}

void markUnknown()
{
    isKnown = false;
}

int generation()
{
    return readCount;
}

} // namespace configstate
