#include "journal.h"

#include "simcontroller.h"

namespace sim {

Journal &Journal::instance()
{
    static Journal journal;
    return journal;
}

int Journal::addListener(Listener listener)
{
    m_listeners.append({m_nextId, std::move(listener)});
    return m_nextId++;
}

void Journal::removeListener(int id)
{
    for (int i = m_listeners.size() - 1; i >= 0; --i)
        if (m_listeners[i].first == id)
            m_listeners.removeAt(i);
}

void Journal::record(const QString &kind, const QString &text, const QVariantMap &fields)
{
    if (m_listeners.isEmpty())
        return;
    const JournalEntry entry{Controller::instance().now(), kind, text, fields};
    // A listener may remove itself while it hears the entry.
    const auto listeners = m_listeners;
    for (const auto &listener : listeners)
        listener.second(entry);
}

} // namespace sim
