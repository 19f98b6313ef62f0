#include "pagestack.h"

#include "zuzeraroveman.h"

namespace {
ZuzEraroveMan *theStack = nullptr;
} // namespace

namespace pagestack {

ZuzEraroveMan *current()
{
    return theStack;
}

void adopt(ZuzEraroveMan *stack)
{
    theStack = stack;
}

void destroy()
{
    ZuzEraroveMan *stack = theStack;
    theStack = nullptr;
    delete stack;
}

} // namespace pagestack
