#include "fileedit.h"
#include "ui_fileedit.h"

#include "msgboxes.h"

#include "rbxinterface.h"
#include "rtmfunctions.h"

#include <QDebug>
#include <QDir>
#include <QHash>
#include <QHeaderView>
#include <QMouseEvent>
#include <QStyle>

namespace {

// A program is an item whose name names an ".XPL" or ".PJ" file, whatever its letter case.
bool isProgram(const QString &name)
{
    const QString upper = name.toUpper();
    return upper.contains(QLatin1String(".XPL")) || upper.contains(QLatin1String(".PJ"));
}

} // namespace

QString FileEdit::localRplDir;
QString FileEdit::remoteRplDir;
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
    localRplDir = RtmGetLocalBaseFlashDir(1) + QStringLiteral("/RPL");
    remoteRplDir = QStringLiteral("/RPL/");
    if (QDir(localRplDir).exists())
        RtmRemoveFolderContent(localRplDir);
    else
        QDir().mkdir(localRplDir);

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
    tree->clear();
    new QTreeWidgetItem(tree, {tr("Unselected!")});
    remoteFiles.clear();
    if (!rbx || !rbx->flashDir(remoteFiles, remoteRplDir))
        return;
    for (QString &entry : remoteFiles)
        entry = entry.toUpper();
    remoteFiles.sort();

    // The name that needs the most room, by its text and its depth; measured properly once the
    // tree holds it. Shaping thousands of names would take longer than building the tree, so
    // they are compared by the sum of their characters' widths.
    const QFontMetrics metrics = tree->fontMetrics();
    int asciiWidth[128];
    for (int c = 0; c < 128; ++c)
        asciiWidth[c] = metrics.horizontalAdvance(QChar(c));
    auto textWidth = [&](const QString &text) {
        int width = 0;
        for (const QChar ch : text)
            width += ch.unicode() < 128 ? asciiWidth[ch.unicode()] : metrics.horizontalAdvance(ch);
        return width;
    };
    QTreeWidgetItem *widest = nullptr;
    int widestNeed = -1;
    auto consider = [&](QTreeWidgetItem *item, const QString &text, int depth) {
        const int need = textWidth(text) + depth * tree->indentation();
        if (need > widestNeed) {
            widestNeed = need;
            widest = item;
        }
    };

    // Sorted, a directory's own entry comes before the entries inside it. The tree is built
    // apart from the view and handed over at once; the first child of each parent with a given
    // name is remembered, so a deep or wide tree is not searched.
    QTreeWidgetItem staging;
    QHash<QTreeWidgetItem *, QHash<QString, QTreeWidgetItem *>> firstChild;
    QList<QPair<QTreeWidgetItem *, bool>> dirs;
    const QIcon dirIcon = style()->standardIcon(QStyle::SP_DirIcon);
    const QIcon programIcon(QStringLiteral(":/image/program.png"));
    for (const QString &entry : qAsConst(remoteFiles)) {
        const QString s = entry.startsWith(remoteRplDir) ? entry.mid(remoteRplDir.size()) : entry;
        QString name = s.left(s.indexOf(QLatin1Char(',')));
        if (!name.endsWith(QLatin1Char('/')) && !name.endsWith(QLatin1String(".XPL")))
            continue;
        QTreeWidgetItem *parent = &staging;
        int depth = 0;
        int slash;
        while ((slash = name.indexOf(QLatin1Char('/'))) >= 0) {
            const QString seg = name.left(slash);
            QTreeWidgetItem *&child = firstChild[parent][seg];
            if (!child) {
                child = new QTreeWidgetItem(parent, {seg});
                child->setIcon(0, dirIcon);
                child->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
                dirs.append({child, !collapsedDirs.contains(s)});
                consider(child, seg, depth);
            }
            ++depth;
            parent = child;
            name = name.mid(slash + 1);
        }
        if (name.isEmpty())
            continue;
        const QVector<QStringRef> fields = s.splitRef(QLatin1Char(','));
        auto *program = new QTreeWidgetItem(
            parent, {name, fields.value(1).toString(), fields.value(2).toString()});
        program->setIcon(0, programIcon);
        consider(program, name, depth);
        QTreeWidgetItem *&first = firstChild[parent][name];
        if (!first)
            first = program;
    }
    tree->addTopLevelItems(staging.takeChildren());
    for (const auto &dir : qAsConst(dirs))
        dir.first->setExpanded(dir.second);
    if (widest)
        fitNameColumn(widest);
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
    if (!text.contains(tr("Unselected!")))
        showNote(this, tr("Please select RPL or PJ file!"), MsgWarning);
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
