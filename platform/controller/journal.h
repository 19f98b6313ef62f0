#pragma once

#include "simcontroller_global.h"

#include <QList>
#include <QString>
#include <QVariantMap>

#include <functional>

namespace sim {

// One event of the simulated controller or of the module's traffic with it, stamped with the
// controller clock. kind is one of "call" (the module called the platform), "fetch", "send",
// "link", "fault", "run", "queue", "input", "box"; fields carry the event's details by name.
struct JournalEntry
{
    qint64 clockMs = 0;
    QString kind;
    QString text;
    QVariantMap fields;
};

// What happens, told to whoever listens: the simulator panel's list, the --journal file, the
// recorder. Nothing is kept without a listener.
class SIMCONTROLLER_EXPORT Journal
{
public:
    using Listener = std::function<void(const JournalEntry &)>;

    static Journal &instance();
    // The id removes the listener again.
    int addListener(Listener listener);
    void removeListener(int id);
    bool isHeard() const { return !m_listeners.isEmpty(); }

    void record(const QString &kind, const QString &text, const QVariantMap &fields = QVariantMap());

private:
    QList<QPair<int, Listener>> m_listeners;
    int m_nextId = 1;
};

} // namespace sim
