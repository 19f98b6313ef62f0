#include "msgbox.h"

#include "msgboxsim.h"
#include "simcontroller.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

namespace {

struct Hooks
{
    std::function<int(const sim::MsgBoxRecord &)> responder;
    QList<sim::MsgBoxRecord> records;
    QList<sim::MsgBoxRecord> open;
};

Hooks &hooks()
{
    static Hooks h;
    return h;
}

QString chosen(const QString &given, const QString &fallback)
{
    return given.isEmpty() || given == QLatin1String("unchanged") ? fallback : given;
}

} // namespace

namespace sim {

void MsgBoxHooks::setResponder(std::function<int(const MsgBoxRecord &)> responder)
{
    hooks().responder = std::move(responder);
}

void MsgBoxHooks::answerAll(int answer)
{
    setResponder([answer](const MsgBoxRecord &) { return answer; });
}

void MsgBoxHooks::clearResponder()
{
    hooks().responder = nullptr;
}

QList<MsgBoxRecord> MsgBoxHooks::records()
{
    return hooks().records;
}

QList<MsgBoxRecord> MsgBoxHooks::open()
{
    return hooks().open;
}

void MsgBoxHooks::clearRecords()
{
    hooks().records.clear();
}

} // namespace sim

MsgBox::MsgBox(int kind, QString text, int buttons, bool execNow, bool autoClose,
               int autoCloseSeconds, bool plainText, bool wordWrap, QString confirmText,
               QString cancelText, QString title, int fontPixelSize)
    : QDialog(nullptr, Qt::Dialog | Qt::FramelessWindowHint)
{
    SIM_LOG_CALL("MsgBox", kind, text, buttons, execNow);
    setObjectName(QStringLiteral("MsgBox"));
    setWindowTitle(chosen(title, QStringLiteral("Message")));
    setResult(0);

    QFont f = font();
    if (fontPixelSize > 0)
        f.setPixelSize(fontPixelSize);
    setFont(f);

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(24, 20, 24, 16);
    outer->setSpacing(18);
    auto *row = new QHBoxLayout;
    row->setSpacing(16);
    if (!plainText) {
        const QStyle::StandardPixmap icons[] = {QStyle::SP_MessageBoxInformation,
                                                QStyle::SP_MessageBoxWarning,
                                                QStyle::SP_MessageBoxCritical};
        const int index = kind == 1 || kind == 2 ? kind : 0;
        auto *icon = new QLabel(this);
        icon->setObjectName(QStringLiteral("msgBoxIcon"));
        icon->setPixmap(style()->standardIcon(icons[index]).pixmap(48, 48));
        icon->setAlignment(Qt::AlignTop);
        row->addWidget(icon);
    }
    auto *label = new QLabel(text, this);
    label->setObjectName(QStringLiteral("msgBoxText"));
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(wordWrap);
    label->setMinimumWidth(320);
    row->addWidget(label, 1);
    outer->addLayout(row);

    auto *keys = new QHBoxLayout;
    keys->addStretch(1);
    auto *confirm = new QPushButton(chosen(confirmText, tr("OK")), this);
    confirm->setObjectName(QStringLiteral("msgBoxConfirm"));
    confirm->setMinimumSize(100, 40);
    connect(confirm, &QPushButton::clicked, this, [this] { done(1); });
    keys->addWidget(confirm);
    if (buttons == 3) {
        auto *cancel = new QPushButton(chosen(cancelText, tr("Cancel")), this);
        cancel->setObjectName(QStringLiteral("msgBoxCancel"));
        cancel->setMinimumSize(100, 40);
        connect(cancel, &QPushButton::clicked, this, [this] { done(0); });
        keys->addWidget(cancel);
    }
    outer->addLayout(keys);

    if (autoClose && autoCloseSeconds > 0)
        QTimer::singleShot(autoCloseSeconds * 1000, this, [this] { done(0); });

    sim::MsgBoxRecord record{kind, text, buttons, execNow, -1};
    Hooks &h = hooks();
    if (!execNow) {
        h.records.append(record);
        if (!h.responder) {
            // A note that waits for nothing stays above the window it speaks of, as a box does.
            if (QWidget *window = QApplication::activeWindow(); window && window != this)
                setParent(window, windowFlags());
            setModal(false);
            show();
        }
        return;
    }
    if (h.responder) {
        setResult(h.responder(record));
    } else {
        setModal(true);
        h.open.append(record);
        exec();
        h.open.removeLast();
    }
    record.answer = result();
    h.records.append(record);
    sim::Journal::instance().record(QStringLiteral("box"),
                                    QStringLiteral("answered %1: %2").arg(record.answer == 1 ? QStringLiteral("confirm") : QStringLiteral("cancel"), text),
                                    {{QStringLiteral("text"), text}, {QStringLiteral("answer"), record.answer}});
}

MsgBox::~MsgBox() = default;
