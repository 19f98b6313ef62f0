#include "zedoveduddata.h"

#include "pagestack.h"
#include "zuzeraroveman.h"

ZedOvedudData::ZedOvedudData() = default;

ZedOvedudData::~ZedOvedudData()
{
    pagestack::destroy();
}

QWidget *ZedOvedudData::createCustomWidget()
{
    if (ZuzEraroveMan *stack = pagestack::current()) {
        stack->retranslatePages();
        return stack;
    }
    pagestack::adopt(new ZuzEraroveMan(nullptr));
    return pagestack::current();
}

QWidget *ZedOvedudData::customWidget()
{
    return pagestack::current();
}
