#include "common/tablecells.h"

#include "core/programnames.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QListView>
#include <QSpacerItem>
#include <QTableWidgetItem>
#include <QWidget>

QTableWidgetItem *centredItem(const QString &text)
{
    auto *item = new QTableWidgetItem(text);
    item->setTextAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    return item;
}

void setUpColumns(QTableWidget *table, const QStringList &labels, const QVector<int> &widths)
{
    table->setColumnCount(labels.size());
    table->setHorizontalHeaderLabels(labels);
    for (int c = 0; c < widths.size(); ++c)
        table->setColumnWidth(c, widths[c]);
    table->horizontalHeader()->setVisible(true);
    table->verticalHeader()->setVisible(false);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionMode(QAbstractItemView::NoSelection);
}

void resetRows(QTableWidget *table, const QSize &size, int rows, int rowHeight)
{
    table->clear();
    table->setShowGrid(false);
    table->resize(size);
    table->setRowCount(rows);
    for (int r = 0; r < rows; ++r)
        table->setRowHeight(r, rowHeight);
}

QWidget *centredCell(QWidget *control)
{
    auto *cell = new QWidget;
    auto *box = new QHBoxLayout(cell);
    box->setContentsMargins(0, 0, 0, 0);
    box->addItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Maximum));
    box->addWidget(control);
    box->addItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Maximum));
    return cell;
}

int boxValue(const QComboBox *box, int loaded)
{
    const int shownIndex = loaded >= 0 && loaded < box->count() ? loaded : -1;
    return box->currentIndex() == shownIndex ? loaded : box->currentIndex();
}

namespace {

// A box's list laid out when it is shown or asked where an item lies, not at every font or style
// change while it is hidden: a box lays its whole list out at each such change, and a page's
// boxes get several while the page is built.
class LaidOutWhenShown : public QListView
{
public:
    void doItemsLayout() override
    {
        if (isVisible())
            layOutNow();
        else
            pending = true;
    }
    QRect visualRect(const QModelIndex &index) const override
    {
        const_cast<LaidOutWhenShown *>(this)->layOutPending();
        return QListView::visualRect(index);
    }
    void scrollTo(const QModelIndex &index, ScrollHint hint = EnsureVisible) override
    {
        layOutPending();
        QListView::scrollTo(index, hint);
    }
    QModelIndex indexAt(const QPoint &point) const override
    {
        const_cast<LaidOutWhenShown *>(this)->layOutPending();
        return QListView::indexAt(point);
    }

protected:
    void showEvent(QShowEvent *event) override
    {
        layOutPending();
        QListView::showEvent(event);
    }

private:
    void layOutNow()
    {
        pending = false;
        QListView::doItemsLayout();
    }
    void layOutPending()
    {
        if (pending)
            layOutNow();
    }

    bool pending = false;
};

} // namespace

void layOutListWhenShown(QComboBox *box)
{
    if (!dynamic_cast<LaidOutWhenShown *>(box->view())) {
        auto *list = new LaidOutWhenShown;
        list->setUniformItemSizes(true);
        box->setView(list);
    }
}

void showProgramNames(QComboBox *box, ProgramNames *names)
{
    // The names first: a list that is made for the box takes them as it comes, rather than a
    // list made before it connecting to them and then giving way.
    box->setModel(names);
    layOutListWhenShown(box);
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
}
