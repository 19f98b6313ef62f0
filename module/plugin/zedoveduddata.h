#pragma once

#include "basezedoveduddata.h"

#include <memory>

class ZuzEraroveMan;

// The widget data that the host keeps for the screen. It owns the page stack on the module's
// behalf; its type, class name, copying and record parsing are the host's.
class ZedOvedudData : public BaseZedOvedudData
{
public:
    ZedOvedudData();
    ~ZedOvedudData() override;

    // Builds the page stack on the first call; later calls retranslate and return it.
    QWidget *createCustomWidget() override;
    QWidget *customWidget() override;
    // The close road: deletes the stack with all its pages, once; the stack is gone (null)
    // before its deletion runs.
    void destroyStack();

private:
    // Shown as the central widget of one host widget at a time, which hands it back when it
    // goes; deleted here, by the data object or the close road.
    std::unique_ptr<ZuzEraroveMan> m_stack;
};
