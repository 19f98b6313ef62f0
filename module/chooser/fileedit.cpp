#include "chooser/fileedit.h"
#include "ui_fileedit.h"

#include "common/modulepaths.h"
#include "common/msgboxes.h"
#include "core/modulelog.h"
#include "core/programlisting.h"
#include "treefiles/treepath.h"

#include "rbxinterface.h"
#include "rtmfunctions.h"

#include <QApplication>
#include <QDebug>
#include <QFileInfo>
#include <QHash>
#include <QHeaderView>
#include <QMouseEvent>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTimer>

#include <algorithm>
#include <map>

namespace {

// A program of the listing. Its texts stay in the listing's entry, which the item shares, and
// are cut out when the view asks for them: tens of thousands of programs would otherwise hold
// three strings each, and building and clearing the tree would spend its time allocating them.
class ProgramItem : public QTreeWidgetItem
{
public:
    ProgramItem(const QString &entry, const ProgramListing::Node &node, const QIcon &icon)
        : QTreeWidgetItem(UserType), m_entry(entry), m_icon(icon),
          m_fields{node.fields[0], node.fields[1], node.fields[2]}
    {
    }

    QVariant data(int column, int role) const override
    {
        if ((role == Qt::DisplayRole || role == Qt::EditRole) && column >= 0 && column < 3)
            return m_entry.mid(m_fields[column].first, m_fields[column].second);
        if (role == Qt::DecorationRole && column == 0)
            return m_icon;
        return QTreeWidgetItem::data(column, role);
    }

private:
    QString m_entry;
    QIcon m_icon;
    ProgramListing::Place m_fields[3];
};

// Finds the name that needs the most room, by its text and its depth; the view measures it
// properly once the tree holds it. Shaping thousands of names would take longer than building
// the tree, so they are compared by the sum of their characters' widths.
class WidestName
{
public:
    // Starts from the widest item found before, or from none.
    WidestName(const QTreeView *tree, QTreeWidgetItem *item, int need)
        : m_metrics(tree->fontMetrics()), m_indentation(tree->indentation()), m_item(item), m_need(need)
    {
        for (int c = 0; c < 128; ++c)
            m_asciiWidth[c] = m_metrics.horizontalAdvance(QChar(c));
    }

    void consider(QTreeWidgetItem *item, const QStringRef &text, int depth)
    {
        int need = depth * m_indentation;
        for (const QChar ch : text)
            need += ch.unicode() < 128 ? m_asciiWidth[ch.unicode()] : m_metrics.horizontalAdvance(ch);
        if (need > m_need) {
            m_need = need;
            m_item = item;
        }
    }

    QTreeWidgetItem *item() const { return m_item; }
    int need() const { return m_need; }

private:
    QFontMetrics m_metrics;
    int m_indentation;
    int m_asciiWidth[128];
    QTreeWidgetItem *m_item;
    int m_need;
};

// Every row as high as one with an icon, "Unselected!" too. The view then takes the first row's
// height for all of them: measured one by one through the style sheet, the rows above a program
// deep in a long listing would cost a tap on it milliseconds, and the scroll bar's drag as many.
// A cell's measure is kept: the header measures the first rows for its widths each time the
// chooser is shown, and laying a text out through the style costs more than the rest of a show.
class RowHeights : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        // What the measure depends on: the view's font, the cell's text and icon, the row's state.
        if (option.font != m_font) {
            m_measures.clear();
            m_font = option.font;
        }
        QString key = index.data(Qt::DisplayRole).toString();
        key += QChar(0xfffe);
        key += QChar(ushort(index.column()));
        key += QChar(ushort(index.data(Qt::DecorationRole).isNull()));
        key += QChar(ushort(option.state & 0xffff));
        key += QChar(ushort(uint(option.state) >> 16));
        key += QChar(ushort(int(option.features)));
        const auto kept = m_measures.constFind(key);
        if (kept != m_measures.constEnd())
            return *kept;
        if (m_measures.size() >= MostMeasuresKept)
            m_measures.clear();
        return *m_measures.insert(key, measure(option, index));
    }

private:
    enum { MostMeasuresKept = 4096 };

    QSize measure(const QStyleOptionViewItem &option, const QModelIndex &index) const
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        QStyleOptionViewItem withIcon = option;
        initStyleOption(&withIcon, index);
        if (!(withIcon.features & QStyleOptionViewItem::HasDecoration)) {
            withIcon.features |= QStyleOptionViewItem::HasDecoration;
            const QWidget *view = option.widget;
            QStyle *style = view ? view->style() : QApplication::style();
            size.setHeight(qMax(size.height(), style->sizeFromContents(QStyle::CT_ItemViewItem, &withIcon, QSize(), view).height()));
        }
        return size;
    }

    mutable QFont m_font;
    mutable QHash<QString, QSize> m_measures;
};

} // namespace

FileEdit::FileEdit(QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::FileEdit>()), dragPos(0, 0), dragging(false)
{
    ui->setupUi(this);
    RtmSetUIStyleSheet(this, QStringLiteral("ZuzErarove"));
    QTreeWidget *tree = ui->rplRemoteFiles;
    tree->setColumnCount(3);
    tree->setHeaderLabels({tr("Name"), tr("Size"), tr("Date")});
    setWindowFlags(Qt::CustomizeWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint
                   | Qt::FramelessWindowHint);
    connect(ui->btnCancle, &QPushButton::clicked, this, &FileEdit::onSlotCancle);
    connect(ui->btnSelect, &QPushButton::clicked, this, &FileEdit::onSlotSelect);

    rbx = std::make_unique<rbxInterface>(1, true);
    m_dirIcon = style()->standardIcon(QStyle::SP_DirIcon);
    m_programIcon = QIcon(QStringLiteral(":/image/program.png"));

    // A child of the dialog, as the screen's other timers are: what waits for the screen to
    // come to rest finds it there.
    m_nextItems.setParent(this);
    m_nextItems.setSingleShot(true);
    connect(&m_nextItems, &QTimer::timeout, this, [this] { addItems(ItemsAtOnce); });

    tree->setSelectionMode(QAbstractItemView::SingleSelection);
    tree->setItemDelegate(new RowHeights(tree));
    tree->setUniformRowHeights(true);
    tree->header()->setSectionsMovable(false);
    tree->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    // The view measures the first 32 rows, a screen and a half of the tree, rather than every row:
    // each measure goes through the style sheet, and laying out thousands of programs would make
    // the dialog slow to open. The widest name of the whole listing reaches the "Name" column
    // through the header instead (fitNameColumn); sizes and dates are alike in width.
    tree->header()->setResizeContentsPrecision(32);
    auto *corner = new QWidget;
    corner->setStyleSheet(QStringLiteral("border:none;"));
    tree->setCornerWidget(corner);

    connect(tree, &QTreeWidget::itemExpanded, this, &FileEdit::rplItemExpanded);
    connect(tree, &QTreeWidget::itemCollapsed, this, &FileEdit::rplItemCollapsed);
    connect(tree, &QTreeWidget::itemSelectionChanged, this, &FileEdit::rplItemSelectionChanged);
    connect(tree, &QTreeWidget::itemClicked, this, &FileEdit::itemClickedSlot);
}

FileEdit::~FileEdit() = default;

void FileEdit::showEvent(QShowEvent *event)
{
    Q_UNUSED(event)
    if (localRplDir.isEmpty())
        prepareLocalFolder();
    // Without the controller the tree keeps what the last listing showed.
    if (rbx->isConnected()) {
        m_listing.expandAll();
        refreshRemoteFiles();
    }
}

void FileEdit::prepareLocalFolder()
{
    // The host's flash directory is known only once the host runs, and follows its panel.
    localRplDir = RtmGetLocalBaseFlashDir(1) + QStringLiteral("/RPL");
    // Only a folder of the panel's own tree is emptied or made: a link on the way leads elsewhere.
    const QString inTree = treepath::writable(modulepaths::panelRoot(), localRplDir);
    if (QFileInfo(inTree).isDir()) {
        // A folder that keeps some content holds nothing the chooser reads: it lists the controller.
        RtmRemoveFolderContent(localRplDir);
    } else if (!inTree.isEmpty() && !treepath::makeFolder(modulepaths::panelRoot(), localRplDir)) {
        qCWarning(moduleLog).noquote() << "The chooser's local folder could not be made:" << localRplDir;
    }
}

void FileEdit::refreshRemoteFiles()
{
    QStringList entries;
    if (!rbx->flashDir(entries, ProgramListing::directory()))
        entries.clear();
    // The listing is compared with the whole tree it gave last time.
    completeTree();
    // The operator opens the chooser for one cell after another: a listing that has not changed
    // keeps its tree, and one that changed a little changes only those items.
    if (m_listing.take(entries, ItemsAtOnce)) {
        const int changes = m_listing.gone().size() + int(std::count(m_listing.earlier().cbegin(), m_listing.earlier().cend(), -1));
        // Items added one by one each tell the view; past a few hundred, a new tree is quicker.
        // The widest name is looked for among the new items while the widest one stays.
        if (m_items.isEmpty() || changes > MostItemsChanged) {
            buildTree();
        } else {
            bool widestStays = m_widest;
            for (int gone : m_listing.gone())
                widestStays = widestStays && m_items.at(gone) != m_widest;
            updateTree();
            fitNameColumn(widestStays);
        }
    }
    showTreeAgain();
}

void FileEdit::showTreeAgain()
{
    // As a new tree would show: every directory expanded, nothing chosen, from the top.
    QTreeWidget *tree = ui->rplRemoteFiles;
    tree->topLevelItem(0)->setText(0, tr("Unselected!"));
    tree->clearSelection();
    tree->setCurrentItem(nullptr);
    for (QTreeWidgetItem *item : qAsConst(m_items)) {
        if (item->childIndicatorPolicy() == QTreeWidgetItem::ShowIndicator)
            item->setExpanded(true);
    }
    tree->scrollToTop();
}

QTreeWidgetItem *FileEdit::makeItem(const ProgramListing::Node &node)
{
    if (node.entry >= 0)
        return new ProgramItem(m_listing.entries().at(node.entry), node, m_programIcon);
    auto *item = new QTreeWidgetItem(QStringList{node.name});
    item->setIcon(0, m_dirIcon);
    item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    return item;
}

void FileEdit::buildTree()
{
    QTreeWidget *tree = ui->rplRemoteFiles;
    m_nextItems.stop();
    tree->clear();
    m_widest = nullptr;
    new QTreeWidgetItem(tree, {tr("Unselected!")});
    m_items.clear();
    m_items.reserve(m_listing.entries().size());
    addItems(ItemsAtOnce);
}

void FileEdit::addItems(int count)
{
    QTreeWidget *tree = ui->rplRemoteFiles;
    const int from = m_items.size();
    m_listing.readTo(from + count);
    const QVector<ProgramListing::Node> &nodes = m_listing.nodes();
    const int to = from + qMin(count, nodes.size() - from);
    // The nodes come parents first: each new item goes under a new parent apart from the view,
    // under a parent the view shows already, or to the top; the last two are handed over at
    // once, as each handing makes the view lay the whole tree out again.
    QTreeWidgetItem topLevel;
    std::map<int, QList<QTreeWidgetItem *>> underShown;
    for (int i = from; i < to; ++i) {
        const ProgramListing::Node &node = nodes.at(i);
        QTreeWidgetItem *item = makeItem(node);
        if (node.parent < 0)
            topLevel.addChild(item);
        else if (node.parent >= from)
            m_items.at(node.parent)->addChild(item);
        else
            underShown[node.parent].append(item);
        m_items.append(item);
    }
    for (const auto &children : underShown)
        m_items.at(children.first)->addChildren(children.second);
    tree->addTopLevelItems(topLevel.takeChildren());
    for (int i = from; i < to; ++i) {
        if (nodes[i].entry < 0)
            m_items[i]->setExpanded(nodes[i].expanded);
    }
    if (to < nodes.size() || !m_listing.wholeRead()) {
        m_nextItems.start();
        return;
    }
    fitNameColumn(false);
    // A hidden view lays its tree out only when shown again: the operator, who does not look at
    // the chooser now, would wait for it then.
    if (!tree->isVisible())
        tree->doItemsLayout();
}

void FileEdit::completeTree()
{
    if (!m_nextItems.isActive())
        return;
    m_nextItems.stop();
    m_listing.readTo(std::numeric_limits<int>::max());
    addItems(m_listing.nodes().size() - m_items.size());
}

void FileEdit::updateTree()
{
    QTreeWidget *tree = ui->rplRemoteFiles;
    const QVector<ProgramListing::Node> &nodes = m_listing.nodes();
    const QVector<int> &earlier = m_listing.earlier();
    // Children before their parents: a parent's item takes its children with it.
    const QVector<int> &gone = m_listing.gone();
    for (auto it = gone.crbegin(); it != gone.crend(); ++it)
        delete m_items.at(*it);
    QVector<QTreeWidgetItem *> items(nodes.size());
    // Each node's place among its parent's children; the top level begins after "Unselected!".
    QVector<int> children(nodes.size(), 0);
    int topLevel = 1;
    for (int i = 0; i < nodes.size(); ++i) {
        const ProgramListing::Node &node = nodes.at(i);
        int &place = node.parent < 0 ? topLevel : children[node.parent];
        if (earlier.at(i) >= 0) {
            items[i] = m_items.at(earlier.at(i));
        } else {
            items[i] = makeItem(node);
            if (node.parent < 0)
                tree->insertTopLevelItem(place, items[i]);
            else
                items.at(node.parent)->insertChild(place, items[i]);
            if (node.entry < 0)
                items[i]->setExpanded(node.expanded);
        }
        ++place;
    }
    m_items = items;
}

void FileEdit::fitNameColumn(bool onlyNewItems)
{
    QTreeWidget *tree = ui->rplRemoteFiles;
    WidestName widest(tree, onlyNewItems ? m_widest : nullptr, onlyNewItems ? m_widestNeed : -1);
    const QVector<ProgramListing::Node> &nodes = m_listing.nodes();
    for (int i = 0; i < nodes.size(); ++i) {
        if (onlyNewItems && m_listing.earlier().at(i) >= 0)
            continue;
        const ProgramListing::Node &node = nodes.at(i);
        widest.consider(m_items.at(i), node.entry < 0 ? QStringRef(&node.name)
                                                     : m_listing.entries().at(node.entry).midRef(node.fields[0].first, node.fields[0].second),
                        node.depth);
    }
    m_widest = widest.item();
    m_widestNeed = widest.need();
    if (!m_widest)
        return;
    // The item's place in the tree's model, from the top down.
    QList<QTreeWidgetItem *> chain;
    for (QTreeWidgetItem *up = m_widest; up; up = up->parent())
        chain.prepend(up);
    QModelIndex index;
    for (QTreeWidgetItem *item : qAsConst(chain)) {
        const int row = item->parent() ? item->parent()->indexOfChild(item) : tree->indexOfTopLevelItem(item);
        index = tree->model()->index(row, 0, index);
    }
    const int depth = chain.size() - 1;
    // A few pixels over, for a name that kerning makes a little wider than the one chosen.
    const int width = tree->sizeHintForIndex(index).width()
        + (depth + (tree->rootIsDecorated() ? 1 : 0)) * tree->indentation() + 4;
    // The header's height comes from the other columns. The header picks the hint up when it
    // lays the new rows out; told now, it would measure them all once more.
    const QSignalBlocker quiet(tree->model());
    tree->headerItem()->setSizeHint(0, QSize(width, 0));
}

QString FileEdit::itemPath(QTreeWidgetItem *item) const
{
    QStringList parts;
    for (; item; item = item->parent())
        parts.prepend(item->text(0));
    return parts.join(QLatin1Char('/'));
}

void FileEdit::onSlotCancle()
{
    close();
}

void FileEdit::on_closeBtn_clicked()
{
    close();
}

void FileEdit::onSlotSelect()
{
    QTreeWidgetItem *item = ui->rplRemoteFiles->currentItem();
    if (!item) {
        close();
        return;
    }
    const QString path = itemPath(item);
    qDebug().noquote() << "getItemPath:" << path;
    // The dialog stays open: the receiver closes it when it takes the choice.
    emit signalUpateRpl(ProgramListing::choice(item->text(0), path));
}

void FileEdit::rplItemExpanded(QTreeWidgetItem *item)
{
    m_listing.setCollapsed(itemPath(item) + QLatin1Char('/'), false);
}

void FileEdit::rplItemCollapsed(QTreeWidgetItem *item)
{
    m_listing.setCollapsed(itemPath(item) + QLatin1Char('/'), true);
}

void FileEdit::rplItemSelectionChanged()
{
    if (ui->rplRemoteFiles->selectedItems().isEmpty())
        ui->rplRemoteFiles->setCurrentItem(nullptr);
}

void FileEdit::openItem()
{
    QTreeWidgetItem *item = ui->rplRemoteFiles->currentItem();
    if (item && !item->text(1).isEmpty())
        RtmGoToPage(30);
}

void FileEdit::itemClickedSlot(QTreeWidgetItem *item, int column)
{
    Q_UNUSED(column)
    if (!item)
        return;
    const QString text = item->text(0);
    if (ProgramListing::isProgram(text))
        return;
    qDebug().noquote() << text;
    // The note runs from the event loop, not inside the tree's mouse handler: the panel may
    // close the screen, deleting this chooser and its tree, while the note is open.
    if (!text.contains(tr("Unselected!")))
        QTimer::singleShot(0, this, [this] { finish(showNote(this, tr("Please select RPL or PJ file!"), MsgWarning)); });
}

void FileEdit::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    dragging = true;
    dragPos = event->pos();
}

void FileEdit::mouseMoveEvent(QMouseEvent *event)
{
    // Only the title strip drags the frameless dialog.
    if (dragging && event->pos().y() < 32)
        move(event->globalPos() - dragPos);
}

void FileEdit::mouseReleaseEvent(QMouseEvent *event)
{
    Q_UNUSED(event)
    dragging = false;
}
