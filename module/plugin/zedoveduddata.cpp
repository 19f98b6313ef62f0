#include "plugin/zedoveduddata.h"

#include "plugin/zuzeraroveman.h"

ZedOvedudData::ZedOvedudData() = default;

ZedOvedudData::~ZedOvedudData() = default;

QWidget *ZedOvedudData::createCustomWidget()
{
    if (stack) {
        stack->retranslatePages();
        return stack.get();
    }
    stack = std::make_unique<ZuzEraroveMan>(nullptr);
    return stack.get();
}

QWidget *ZedOvedudData::customWidget()
{
    return stack.get();
}

void ZedOvedudData::destroyStack()
{
    // reset() clears the pointer before the deletion runs.
    stack.reset();
}
