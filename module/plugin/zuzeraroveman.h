#pragma once

#include "core/configstate.h"

#include <QStackedWidget>

#include <memory>

class ZuzEraroveMainPage;
class ZuzEraroveSetting;
class SoftPlcFun;
class prograMapWidget;

// The module's page stack. Page indices: 0 monitor, 1 reservation settings, 2 soft-PLC
// settings, 3 program mapping, -1 close the module; any other value means 0. A page is made on
// its first request and then lives as long as the stack.
class ZuzEraroveMan : public QStackedWidget
{
    Q_OBJECT
public:
    explicit ZuzEraroveMan(QWidget *parent);
    ~ZuzEraroveMan() override;

    // The host's idle call: the visible page refreshes what it shows.
    void refreshVisiblePages();
    // Sets the texts of the pages that keep them again.
    void retranslatePages();

signals:
    void closeApp();

private slots:
    void setCurrentWidgetSlot(int pageId);

private:
    // The page in member, made and added on the first request.
    template<typename Page>
    Page *page(Page *&member);
    // The pages that save the configuration share whether it was read.
    void attach(ZuzEraroveMainPage *page);
    void attach(ZuzEraroveSetting *page);
    void attach(QWidget *) {}

    ZuzEraroveMainPage *monitorPage;
    ZuzEraroveSetting *settingPage;
    SoftPlcFun *softPlcPage;
    prograMapWidget *prograMapPage;
    std::shared_ptr<ConfigState> configState = std::make_shared<ConfigState>();
};
