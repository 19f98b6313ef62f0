#include "fileedit.h"
#include "ui_fileedit.h"

#include "core/treepath.h"
#include "modulepaths.h"
#include "msgboxes.h"

#include "rbxinterface.h"
#include "rtmfunctions.h"

#include <QDebug>
#include <QFileInfo>
#include <QHash>
#include <QHeaderView>
#include <QMouseEvent>
#include <QStyle>
#include <QTimer>
#include <QTreeWidgetItemIterator>

namespace {

// A program is an item whose name names an ".XPL" or ".PJ" file, whatever its letter case.
bool isProgram(const QString &name)
{
    const QString upper = name.toUpper();
    return upper.contains(QLatin1String(".XPL")) || upper.contains(QLatin1String(".PJ"));
}

// The first child of parent whose name is name, or null.
QTreeWidgetItem *firstChildNamed(QTreeWidgetItem *parent, const QStringRef &name)
{
    for (int i = 0; i < parent->childCount(); ++i) {
        if (parent->child(i)->text(0) == name)
            return parent->child(i);
    }
    return nullptr;
}

// The n-th of the fields that commas separate in a listing entry; empty when it has fewer.
QStringRef field(QStringRef entry, int n)
{
    for (; n > 0; --n) {
        const int comma = entry.indexOf(QLatin1Char(','));
        entry = comma < 0 ? entry.right(0) : entry.mid(comma + 1);
    }
    const int comma = entry.indexOf(QLatin1Char(','));
    return comma < 0 ? entry : entry.left(comma);
}

// A program of the listing. Its texts stay in the listing's entry, which the item shares, and
// are cut out when the view asks for them: tens of thousands of programs would otherwise hold
// three strings each, and building and clearing the tree would spend its time allocating them.
class ProgramItem : public QTreeWidgetItem
{
public:
    // s: the entry without "/RPL/" and name, the program's name: both inside entry.
    ProgramItem(QTreeWidgetItem *parent, const QString &entry, const QStringRef &s,
                const QStringRef &name, const QIcon &icon)
        : QTreeWidgetItem(parent, UserType), m_entry(entry), m_icon(icon),
          m_fields{place(name), place(field(s, 1)), place(field(s, 2))}
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
    // Where the name, the size and the date lie in the entry: position and length.
    QPair<int, int> m_fields[3];

    static QPair<int, int> place(const QStringRef &text) { return {text.position(), text.size()}; }
};

// Finds the name that needs the most room, by its text and its depth; the view measures it
// properly once the tree holds it. Shaping thousands of names would take longer than building
// the tree, so they are compared by the sum of their characters' widths.
class WidestName
{
public:
    explicit WidestName(const QTreeView *tree)
        : m_metrics(tree->fontMetrics()), m_indentation(tree->indentation())
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

private:
    QFontMetrics m_metrics;
    int m_indentation;
    int m_asciiWidth[128];
    QTreeWidgetItem *m_item = nullptr;
    int m_need = -1;
};

} // namespace

QString FileEdit::localRplDir;
const QString FileEdit::remoteRplDir = QStringLiteral("/RPL/");
QSet<QString> FileEdit::collapsedDirs;

FileEdit::FileEdit(QWidget *parent)
    : QDialog(parent), ui(new Ui::FileEdit), rbx(nullptr), dragPos(0, 0), dragging(false)
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

    rbx = new rbxInterface(1, true);
    // The host's flash directory is known only once the host runs, and follows its panel.
    localRplDir = RtmGetLocalBaseFlashDir(1) + QStringLiteral("/RPL");
    // Only a folder of the panel's own tree is emptied or made: a link on the way leads elsewhere.
    const QString inTree = treepath::writable(modulepaths::panelRoot(), localRplDir);
    if (QFileInfo(inTree).isDir())
        RtmRemoveFolderContent(localRplDir);
    else if (!inTree.isEmpty())
        treepath::makeFolder(modulepaths::panelRoot(), localRplDir);

    tree->setSelectionMode(QAbstractItemView::SingleSelection);
    tree->header()->setSectionsMovable(false);
    tree->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    // The view measures the first 250 rows, a dozen screens of the tree, rather than every row:
    // laying out thousands of programs would make the dialog slow to open. The widest name of
    // the whole listing reaches the "Name" column through the header instead (refreshRemoteFiles).
    tree->header()->setResizeContentsPrecision(250);
    auto *corner = new QWidget;
    corner->setStyleSheet(QStringLiteral("border:none;"));
    tree->setCornerWidget(corner);

    connect(tree, &QTreeWidget::itemExpanded, this, &FileEdit::rplItemExpanded);
    connect(tree, &QTreeWidget::itemCollapsed, this, &FileEdit::rplItemCollapsed);
    connect(tree, &QTreeWidget::itemSelectionChanged, this, &FileEdit::rplItemSelectionChanged);
    connect(tree, &QTreeWidget::itemClicked, this, &FileEdit::itemClickedSlot);
}

FileEdit::~FileEdit()
{
    delete rbx;
    delete ui;
}

void FileEdit::showEvent(QShowEvent *event)
{
    Q_UNUSED(event)
    // Without the controller the tree keeps what the last listing showed.
    if (rbx->isConnected()) {
        collapsedDirs.clear();
        refreshRemoteFiles();
    }
}

void FileEdit::refreshRemoteFiles()
{
    QTreeWidget *tree = ui->rplRemoteFiles;
    QStringList listing;
    if (!rbx || !rbx->flashDir(listing, remoteRplDir))
        listing.clear();
    // The operator opens the chooser for one cell after another: a listing that has not changed
    // keeps its tree.
    if (tree->topLevelItemCount() > 0 && listing == lastListing) {
        showTreeAgain();
        return;
    }
    lastListing = listing;
    tree->clear();
    new QTreeWidgetItem(tree, {tr("Unselected!")});
    remoteFiles = listing;
    if (remoteFiles.isEmpty())
        return;
    for (QString &entry : remoteFiles)
        entry = entry.toUpper();
    remoteFiles.sort();
    buildTree();
}

void FileEdit::showTreeAgain()
{
    // As a new tree would show: every directory expanded, nothing chosen, from the top.
    QTreeWidget *tree = ui->rplRemoteFiles;
    tree->topLevelItem(0)->setText(0, tr("Unselected!"));
    tree->clearSelection();
    tree->setCurrentItem(nullptr);
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        if ((*it)->childIndicatorPolicy() == QTreeWidgetItem::ShowIndicator)
            (*it)->setExpanded(true);
    }
    tree->scrollToTop();
}

void FileEdit::buildTree()
{
    QTreeWidget *tree = ui->rplRemoteFiles;
    WidestName widest(tree);
    // Sorted, a directory's own entry comes before the entries inside it, and the entries of
    // one directory follow each other. The tree is built apart from the view and handed over at
    // once. Each directory node is remembered by its parent and name, and the last entry's
    // directory by its path, so neither a wide nor a deep tree is searched.
    QTreeWidgetItem staging;
    QHash<QPair<QTreeWidgetItem *, QString>, QTreeWidgetItem *> dirNodes;
    QList<QPair<QTreeWidgetItem *, bool>> dirs;
    QStringRef lastPath;
    QTreeWidgetItem *lastDir = &staging;
    int lastDepth = 0;
    const QIcon dirIcon = style()->standardIcon(QStyle::SP_DirIcon);
    const QIcon programIcon(QStringLiteral(":/image/program.png"));
    for (const QString &entry : qAsConst(remoteFiles)) {
        const QStringRef s = entry.startsWith(remoteRplDir) ? entry.midRef(remoteRplDir.size()) : entry.midRef(0);
        const QStringRef name = field(s, 0);
        if (!name.endsWith(QLatin1Char('/')) && !name.endsWith(QLatin1String(".XPL")))
            continue;
        // The directories the entry lies in, each with the "/" after it.
        const QStringRef path = name.left(name.lastIndexOf(QLatin1Char('/')) + 1);
        if (path != lastPath) {
            lastPath = path;
            lastDir = &staging;
            lastDepth = 0;
            // The piece after the last "/" is empty.
            const QVector<QStringRef> segs = path.split(QLatin1Char('/'));
            for (int i = 0; i + 1 < segs.size(); ++i) {
                const QStringRef &seg = segs.at(i);
                QTreeWidgetItem *&child = dirNodes[qMakePair(lastDir, seg.toString())];
                // A directory named like a program goes under the program listed before it.
                if (!child && seg.endsWith(QLatin1String(".XPL")))
                    child = firstChildNamed(lastDir, seg);
                if (!child) {
                    child = new QTreeWidgetItem(lastDir, {seg.toString()});
                    child->setIcon(0, dirIcon);
                    child->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
                    dirs.append({child, !collapsedDirs.contains(s.toString())});
                    widest.consider(child, seg, lastDepth);
                }
                lastDir = child;
                ++lastDepth;
            }
        }
        const QStringRef program = name.mid(path.size());
        if (!program.isEmpty())
            widest.consider(new ProgramItem(lastDir, entry, s, program, programIcon), program, lastDepth);
    }
    tree->addTopLevelItems(staging.takeChildren());
    for (const auto &dir : qAsConst(dirs))
        dir.first->setExpanded(dir.second);
    if (widest.item())
        fitNameColumn(widest.item());
}

void FileEdit::fitNameColumn(QTreeWidgetItem *widest)
{
    QTreeWidget *tree = ui->rplRemoteFiles;
    // The item's place in the tree's model, from the top down.
    QList<QTreeWidgetItem *> chain;
    for (QTreeWidgetItem *up = widest; up; up = up->parent())
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
    emit signalUpateRpl(isProgram(item->text(0)) ? remoteRplDir + path : QString());
}

void FileEdit::rplItemExpanded(QTreeWidgetItem *item)
{
    collapsedDirs.remove(itemPath(item) + QLatin1Char('/'));
}

void FileEdit::rplItemCollapsed(QTreeWidgetItem *item)
{
    collapsedDirs.insert(itemPath(item) + QLatin1Char('/'));
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
    if (isProgram(text))
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
