#pragma once

#include "core/programlisting.h"

#include <QDialog>
#include <QIcon>
#include <QPoint>
#include <QTimer>

#include <memory>

class QTreeWidgetItem;
class rbxInterface;

namespace Ui {
class FileEdit;
}

// A frameless dialog listing the controller's program directory "/RPL/" as a tree of
// directories and ".XPL" programs, with sizes and dates. Select emits the chosen program as
// "/RPL/<path>", or "" for anything that is not a program; the receiver closes the dialog.
class FileEdit : public QDialog
{
    Q_OBJECT
public:
    explicit FileEdit(QWidget *parent = nullptr);
    ~FileEdit() override;

signals:
    void signalUpateRpl(QString Name);

private slots:
    void onSlotCancle();
    void onSlotSelect();
    void rplItemExpanded(QTreeWidgetItem *item);
    void rplItemCollapsed(QTreeWidgetItem *item);
    void rplItemSelectionChanged();
    void openItem();
    void itemClickedSlot(QTreeWidgetItem *item, int column);
    void on_closeBtn_clicked();

protected:
    void showEvent(QShowEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    // The item's column-0 text behind its ancestors', joined by "/".
    QString itemPath(QTreeWidgetItem *item) const;
    // Empties the panel's local program folder, or makes it: once, when first shown.
    void prepareLocalFolder();
    void refreshRemoteFiles();
    void showTreeAgain();
    // The tree of the listing, under "Unselected!": a large one in parts, ItemsAtOnce items an
    // event-loop turn, so that the dialog shows its first rows within a frame.
    void buildTree();
    // The items of the next count nodes, the listing read on as far as they need, handed to
    // the view at once; the name column is fitted once the last is in.
    void addItems(int count);
    // A tree still being built gets its remaining items now.
    void completeTree();
    // The tree shown changed into the listing's: only the items that appeared or went away are
    // added or taken out.
    void updateTree();
    QTreeWidgetItem *makeItem(const ProgramListing::Node &node);
    // The "Name" column as wide as the widest item of the whole tree needs; only the new items
    // are measured against the widest one while it stays.
    void fitNameColumn(bool onlyNewItems);

    std::unique_ptr<Ui::FileEdit> ui;
    // The listing as the controller last gave it: while it stays the same, so does the tree.
    ProgramListing m_listing;
    // The item of each node of the listing's tree.
    QVector<QTreeWidgetItem *> m_items;
    QTreeWidgetItem *m_widest = nullptr;
    int m_widestNeed = -1;
    // Past this many items added and taken away, the tree is built again whole.
    static constexpr int MostItemsChanged = 256;
    // Items made and laid out in one turn: about a millisecond's work each, and the view lays
    // out the whole tree again after every part.
    static constexpr int ItemsAtOnce = 5000;
    QTimer m_nextItems;
    QIcon m_dirIcon;
    QIcon m_programIcon;
    std::unique_ptr<rbxInterface> rbx;
    QPoint dragPos;
    bool dragging;
    // The panel's local program folder, known once the dialog is first shown.
    QString localRplDir;
};
