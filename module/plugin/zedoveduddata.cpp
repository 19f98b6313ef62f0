#include "plugin/zedoveduddata.h"

#include "plugin/zuzeraroveman.h"

ZedOvedudData::ZedOvedudData() = default;

ZedOvedudData::~ZedOvedudData() = default;

QWidget *ZedOvedudData::createCustomWidget()
{
    if (m_stack) {
        m_stack->retranslatePages();
        return m_stack.get();
    }
    m_stack = std::make_unique<ZuzEraroveMan>(nullptr);
    return m_stack.get();
}

QWidget *ZedOvedudData::customWidget()
{
    return m_stack.get();
}

void ZedOvedudData::destroyStack()
{
    // reset() clears the pointer before the deletion runs.
    m_stack.reset();
}
