#include "zedoveduddata.h"

#include "zuzeraroveman.h"

ZuzEraroveMan *zuzEraroveMan = nullptr;

ZedOvedudData::ZedOvedudData() = default;

ZedOvedudData::~ZedOvedudData()
{
    if (zuzEraroveMan) {
        ZuzEraroveMan *stack = zuzEraroveMan;
        zuzEraroveMan = nullptr;
        delete stack;
    }
}

QWidget *ZedOvedudData::createCustomWidget()
{
    if (zuzEraroveMan) {
        zuzEraroveMan->retranslatePages();
        return zuzEraroveMan;
    }
    zuzEraroveMan = new ZuzEraroveMan(nullptr);
    return zuzEraroveMan;
}

QWidget *ZedOvedudData::customWidget()
{
    return zuzEraroveMan;
}
