// A minimal screen module: a page with a label and an exit key that closes the screen through
// the desktop, as a real module does.

#include "basezedoveduddata.h"
#include "desktopapi.h"
#include "rtmbasewidget.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>
#include <QVariant>

namespace {

QPointer<QWidget> page;

class TestData : public BaseZedOvedudData
{
public:
    ~TestData() override { delete page; }
    QWidget *createCustomWidget() override
    {
        if (!page) {
            page = new QWidget;
            page->setObjectName(QStringLiteral("testPage"));
            auto *column = new QVBoxLayout(page);
            auto *label = new QLabel(QStringLiteral("Test module"), page);
            label->setObjectName(QStringLiteral("testLabel"));
            column->addWidget(label);
            auto *exit = new QPushButton(QStringLiteral("Exit"), page);
            exit->setObjectName(QStringLiteral("exitButton"));
            column->addWidget(exit);
        }
        return page;
    }
    QWidget *customWidget() override { return page; }
};

class TestWidget : public RtmBaseWidget
{
public:
    TestWidget(BaseRtmWidgetData *data, QWidget *parent)
        : RtmBaseWidget(data, parent, Qt::FramelessWindowHint)
    {
    }
    ~TestWidget() override
    {
        if (QWidget *central = getCentralWidget()) {
            central->setParent(nullptr);
            layout()->removeWidget(central);
        }
    }
    void slotIdle() override
    {
        ++idleCalls;
        RtmBaseWidget::slotIdle();
        if (page)
            page->setProperty("idleCalls", idleCalls);
    }
    int idleCalls = 0;
};

} // namespace

extern "C" __attribute__((visibility("default"))) BaseZedOvedudData *CreateZedOvedudData()
{
    return new TestData;
}

extern "C" __attribute__((visibility("default"))) RtmBaseWidget *
CreateZedOvedudWidget(BaseRtmWidgetData *data, QWidget *parent)
{
    auto *widget = new TestWidget(data, parent);
    auto *zdata = static_cast<BaseZedOvedudData *>(data);
    if (QWidget *central = zdata->createCustomWidget()) {
        widget->setCentralWidget(central);
        if (auto *exit = central->findChild<QPushButton *>(QStringLiteral("exitButton")))
            QObject::connect(exit, &QPushButton::clicked, widget, [widget] {
                widget->setCentralWidget(nullptr);
                delete page;
                DesktopApi::closeApplication(0, false);
            });
    }
    return widget;
}
