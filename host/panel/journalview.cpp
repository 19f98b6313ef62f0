#include "panel/journalview.h"

#include "simcontroller.h"

#include <QListWidget>
#include <QPainter>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// The list keeps the latest entries only, so a shift does not fill memory.
constexpr int KeptEntries = 2000;
constexpr qint64 ShownMs = 10 * 60 * 1000;

QColor barColour(const QString &state)
{
    if (state == QLatin1String("reserved"))
        return QColor(0xe0, 0xa8, 0x30);
    if (state == QLatin1String("running"))
        return QColor(0x2f, 0x6f, 0xc0);
    if (state == QLatin1String("finished"))
        return QColor(0x3c, 0x9a, 0x4a);
    return QColor(0xa0, 0x40, 0x40); // stopped or cancelled
}

} // namespace

RunTimeline::RunTimeline(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("runTimeline"));
    setAutoFillBackground(true);
    // Scrolls with the clock even when nothing happens.
    auto *timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, qOverload<>(&QWidget::update));
    timer->start(500);
}

void RunTimeline::hear(const sim::JournalEntry &entry)
{
    if (entry.kind != QLatin1String("queue"))
        return;
    const int slot = entry.fields.value(QStringLiteral("slot")).toInt();
    const QString state = entry.fields.value(QStringLiteral("state")).toString();
    QList<Bar> &lane = m_lanes[slot];
    if (!lane.isEmpty() && lane.last().to < 0) {
        lane.last().to = entry.clockMs;
        // A reservation that turns into a run stays a reservation; anything else ends as it ended.
        if (state != QLatin1String("running"))
            lane.last().state = state;
    }
    if (state == QLatin1String("reserved") || state == QLatin1String("running"))
        lane.append(Bar{entry.clockMs, -1, state});
    // Bars that left the window are forgotten.
    while (!lane.isEmpty() && lane.first().to >= 0 && lane.first().to < entry.clockMs - ShownMs)
        lane.removeFirst();
    update();
}

void RunTimeline::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    draw(p, size());
}

QPixmap RunTimeline::picture() const
{
    QPixmap pixmap(800, 30 + 26 * qMax(1, int(m_lanes.size())));
    QPainter p(&pixmap);
    draw(p, pixmap.size());
    return pixmap;
}

void RunTimeline::draw(QPainter &p, const QSize &size) const
{
    const int width = size.width(), height = size.height();
    p.fillRect(QRect(QPoint(), size), palette().base());
    const qint64 now = sim::Controller::instance().now();
    const qint64 start = qMax<qint64>(0, now - ShownMs);
    const int labelWidth = 56, top = 4;
    const int laneHeight = qMax(12, (height - top - 18) / qMax(1, int(m_lanes.size())));
    const double perMs = double(width - labelWidth - 4) / ShownMs;
    auto x = [&](qint64 ms) { return labelWidth + int((qMax(ms, start) - start) * perMs); };
    int y = top;
    for (auto it = m_lanes.cbegin(); it != m_lanes.cend(); ++it, y += laneHeight) {
        p.setPen(palette().text().color());
        p.drawText(QRect(0, y, labelWidth - 4, laneHeight), Qt::AlignRight | Qt::AlignVCenter,
                   QStringLiteral("slot %1").arg(it.key()));
        for (const Bar &bar : it.value()) {
            const int left = x(bar.from), right = x(bar.to < 0 ? now : bar.to);
            p.fillRect(QRect(left, y + 2, qMax(2, right - left), laneHeight - 4), barColour(bar.state));
        }
    }
    p.setPen(palette().mid().color());
    for (int minute = 0; minute <= 10; ++minute) {
        const int at = x(start + minute * 60000);
        p.drawLine(at, height - 16, at, height - 12);
    }
    p.drawText(QRect(labelWidth, height - 14, width - labelWidth, 14), Qt::AlignRight,
               QStringLiteral("controller clock %1 s").arg(now / 1000));
}

JournalView::JournalView(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("journalView"));
    auto *tabs = new QTabWidget(this);
    m_list = new QListWidget(tabs);
    m_list->setObjectName(QStringLiteral("journalList"));
    m_list->setUniformItemSizes(true);
    m_timeline = new RunTimeline(tabs);
    tabs->addTab(m_list, QStringLiteral("Journal"));
    tabs->addTab(m_timeline, QStringLiteral("Timeline"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(tabs);

    m_listener = sim::Journal::instance().addListener([this](const sim::JournalEntry &entry) {
        m_timeline->hear(entry);
        m_list->addItem(QStringLiteral("%1 s  %2  %3").arg(entry.clockMs / 1000.0, 0, 'f', 1).arg(entry.kind, entry.text));
        if (m_list->count() > KeptEntries)
            delete m_list->takeItem(0);
        m_list->scrollToBottom();
    });
}

JournalView::~JournalView()
{
    sim::Journal::instance().removeListener(m_listener);
}
