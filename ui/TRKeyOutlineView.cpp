#include "TRKeyOutlineView.h"

#include "TRKeyOutlineInPlace.h"
#include "TRMemory.h"

#if TR_OUTLINE_IN_PLACE
namespace {

// Whether the laid-out rows stand for the model as it is, with nothing that a full layout treats
// specially (hidden or spanned rows, animated expanding).
bool rowsUpToDate(const QTreeViewPrivate *d)
{
    return TRKeyOutlineView::laysOutInPlace() && d->model && !d->delayedPendingLayout &&
           !d->viewItems.isEmpty() && d->hiddenIndexes.isEmpty() && d->spanningIndexes.isEmpty() &&
           !d->animationsEnabled;
}

// The place of a parent among the laid-out rows: -1 for the view's root, -2 where it is not shown.
int parentItemOf(const QTreeViewPrivate *d, const QModelIndex &parent)
{
    if (parent == QModelIndex(d->root))
        return -1;
    if (parent.column() != 0)
        return -2;
    const int item = d->viewIndex(parent);
    return item < 0 ? -2 : item;
}

// The siblings laid out from a place on (their parent's children, each followed by its own shown rows)
// have moved by delta rows in the model: their indexes name the new rows.
void renumberSiblings(QTreeViewPrivate *d, int from, int parentItem, const QModelIndex &parent, int delta)
{
    QTreeViewItem *items = d->viewItems.data();
    const int size = int(d->viewItems.size());
    for (int i = from; i < size && items[i].parentItem == parentItem; i += 1 + int(items[i].total))
        items[i].index = d->model->index(items[i].index.row() + delta, 0, parent);
}

// Adds the rows inserted under a shown, expanded parent (or the root) where a full layout would put them.
bool insertInPlace(QTreeViewPrivate *d, const QModelIndex &parent, int start, int end)
{
    if (!rowsUpToDate(d) || start < 0 || end < start)
        return false;
    const int parentItem = parentItemOf(d, parent);
    if (parentItem == -2 || (parentItem >= 0 && !d->viewItems.at(parentItem).expanded))
        return false;
    const int count = end - start + 1;
    const int rows = d->model->rowCount(parent);
    QList<QModelIndex> added;
    added.reserve(count);
    for (int row = start; row <= end; ++row) {
        const QModelIndex index = d->model->index(row, 0, parent);
        // A row the view holds as expanded would need its own children laid out.
        if (!index.isValid() || d->isIndexExpanded(index))
            return false;
        added.append(index);
    }
    int before = -1;
    int at = parentItem + 1;
    if (start > 0) {
        before = d->viewIndex(d->model->index(start - 1, 0, parent));
        if (before < 0 || d->viewItems.at(before).parentItem != parentItem)
            return false;
        at = before + 1 + int(d->viewItems.at(before).total);
    }

    QTreeViewItem item;
    item.parentItem = parentItem;
    item.level = parentItem < 0 ? 0 : d->viewItems.at(parentItem).level + 1;
    d->insertViewItems(at, count, item);
    for (int k = 0; k < count; ++k) {
        QTreeViewItem &shown = d->viewItems[at + k];
        shown.index = added.at(k);
        shown.hasChildren = d->hasVisibleChildren(added.at(k));
        shown.hasMoreSiblings = start + k < rows - 1;
    }
    if (before >= 0)
        d->viewItems[before].hasMoreSiblings = true;
    for (int i = parentItem; i >= 0; i = d->viewItems.at(i).parentItem)
        d->viewItems[i].total += count;
    if (parentItem >= 0)
        d->viewItems[parentItem].hasChildren = true;
    renumberSiblings(d, at + count, parentItem, parent, count);
    return true;
}

// Where rows about to be removed stand among the laid-out rows: their parent's place (-1: the root, -2: not
// shown), whether the parent's children are shown, and the place of the first removed row.
struct RemovedRows
{
    int parentItem = -2;
    bool childrenShown = false;
    int first = -1;
};

// Takes the rows about to be removed, and every row shown below them, out of the laid-out rows.
bool takeOutRows(QTreeViewPrivate *d, const QModelIndex &parent, int start, int end, RemovedRows &removed)
{
    const int parentItem = parentItemOf(d, parent);
    removed.parentItem = parentItem;
    removed.childrenShown = parentItem == -1 || (parentItem >= 0 && d->viewItems.at(parentItem).expanded);
    if (!removed.childrenShown)
        return true;
    const int first = d->viewIndex(d->model->index(start, 0, parent));
    if (first < 0)
        return false;
    int next = first;
    for (int row = start; row <= end; ++row) {
        if (next >= d->viewItems.size() || d->viewItems.at(next).parentItem != parentItem)
            return false;
        next += 1 + int(d->viewItems.at(next).total);
    }
    // The row before becomes the last one.
    int before = -1;
    if (start > 0 && end == d->model->rowCount(parent) - 1) {
        before = d->viewIndex(d->model->index(start - 1, 0, parent));
        if (before < 0)
            return false;
    }

    // A removed row the view held as expanded is forgotten now rather than at the next full layout.
    for (int i = first; i < next; ++i) {
        if (d->viewItems.at(i).expanded)
            d->expandedIndexes.remove(d->viewItems.at(i).index);
    }
    if (before >= 0)
        d->viewItems[before].hasMoreSiblings = false;
    const int count = next - first;
    d->removeViewItems(first, count);
    for (int i = parentItem; i >= 0; i = d->viewItems.at(i).parentItem)
        d->viewItems[i].total -= count;
    removed.first = first;
    return true;
}

// A full layout makes one row for every top-level key at once (and for the keys below expanded ones). The
// list of rows is made that large up front, rather than grown to the next power of two, and a list much
// larger than the rows it will hold (a large domain shown before) is given back.
void reserveRows(QTreeViewPrivate *d)
{
    const qsizetype rows = d->model->rowCount(d->root);
    const qsizetype capacity = d->viewItems.capacity();
    if (capacity >= rows && capacity <= 2 * rows + 1024)
        return;
    QList<QTreeViewItem> reserved;
    reserved.reserve(rows);
    const std::size_t bytes = std::size_t(rows) * sizeof(QTreeViewItem);
    if (bytes >= std::size_t(8) << 20)
        trAdviseLargePages(reserved.data(), bytes);
    d->viewItems.swap(reserved);
}

} // namespace

// A removal between the model's rowsAboutToBeRemoved and rowsRemoved: where the removed rows stood, and the
// laid-out rows without them, kept aside while QTreeView drops its own.
struct TRKeyOutlineView::Removal
{
    QList<QTreeViewItem> items;
    RemovedRows rows;
    qsizetype rowsLeft = 0;
};

QTreeViewPrivate *TRKeyOutlineView::treePrivate()
{
    return static_cast<QTreeViewPrivate *>(d_ptr.data());
}
#else
// Without QTreeView's private class nothing is kept aside.
struct TRKeyOutlineView::Removal
{
};
#endif

TRKeyOutlineView::TRKeyOutlineView(QWidget *parent) : QTreeView(parent)
{
}

TRKeyOutlineView::~TRKeyOutlineView() = default;

bool TRKeyOutlineView::laysOutInPlace()
{
#if TR_OUTLINE_IN_PLACE
    static const bool sameQt = qstrcmp(qVersion(), QT_VERSION_STR) == 0;
    return sameQt;
#else
    return false;
#endif
}

void TRKeyOutlineView::setModel(QAbstractItemModel *model)
{
    if (model == this->model()) {
        QTreeView::setModel(model);
        return;
    }
    disconnect(m_removedConnections.first);
    disconnect(m_removedConnections.second);
    m_removal.reset();
    // Around QTreeView's own handler of rowsRemoved, which drops every laid-out row and schedules a full
    // layout: the rows are kept aside before it runs and put back after.
    if (model)
        m_removedConnections.first =
            connect(model, &QAbstractItemModel::rowsRemoved, this, &TRKeyOutlineView::keepRowsAside);
    QTreeView::setModel(model);
    if (model)
        m_removedConnections.second =
            connect(model, &QAbstractItemModel::rowsRemoved, this, &TRKeyOutlineView::finishRemoval);
}

void TRKeyOutlineView::doItemsLayout()
{
#if TR_OUTLINE_IN_PLACE
    // QTreeView's own layout drops every row before laying them out again.
    if (laysOutInPlace() && model())
        reserveRows(treePrivate());
#endif
    QTreeView::doItemsLayout();
}

void TRKeyOutlineView::rowsInserted(const QModelIndex &parent, int start, int end)
{
    m_removal.reset();
#if TR_OUTLINE_IN_PLACE
    if (insertInPlace(treePrivate(), parent, start, end)) {
        QAbstractItemView::rowsInserted(parent, start, end);
        // Updates the scroll bars and repaints (no layout is pending).
        QAbstractItemView::doItemsLayout();
        return;
    }
#endif
    QTreeView::rowsInserted(parent, start, end);
}

void TRKeyOutlineView::rowsAboutToBeRemoved(const QModelIndex &parent, int start, int end)
{
    m_removal.reset();
#if TR_OUTLINE_IN_PLACE
    QTreeViewPrivate *d = treePrivate();
    if (rowsUpToDate(d) && start >= 0 && end >= start) {
        // The current row and open editors, while the rows still stand for the model.
        QAbstractItemView::rowsAboutToBeRemoved(parent, start, end);
        auto removal = std::make_unique<Removal>();
        // Until the model has removed the rows, the rows left stand for it (the selection model moves the
        // current row now, and the view scrolls to it).
        if (rowsUpToDate(d) && takeOutRows(d, parent, start, end, removal->rows)) {
            removal->rowsLeft = d->viewItems.size();
            m_removal = std::move(removal);
        } else {
            d->viewItems.clear(); // as QTreeView does: every row is laid out again
        }
        return;
    }
#endif
    QTreeView::rowsAboutToBeRemoved(parent, start, end);
}

void TRKeyOutlineView::keepRowsAside()
{
#if TR_OUTLINE_IN_PLACE
    if (!m_removal)
        return;
    QTreeViewPrivate *d = treePrivate();
    // Rows laid out again in the meantime (before the model removed its rows) are QTreeView's to renew.
    if (d->delayedPendingLayout || d->viewItems.size() != m_removal->rowsLeft)
        m_removal.reset();
    else
        m_removal->items.swap(d->viewItems);
#endif
}

void TRKeyOutlineView::finishRemoval(const QModelIndex &parent, int start, int end)
{
    const std::unique_ptr<Removal> removal = std::move(m_removal);
    if (!removal)
        return;
#if TR_OUTLINE_IN_PLACE
    QTreeViewPrivate *d = treePrivate();
    // QTreeView has dropped its rows and scheduled a full layout; unless something laid out the rows in
    // between, the rows kept aside stand for the model once the later siblings name their new rows.
    if (!d->viewItems.isEmpty() || !d->delayedPendingLayout)
        return;
    d->viewItems.swap(removal->items);
    const RemovedRows &rows = removal->rows;
    if (rows.childrenShown)
        renumberSiblings(d, rows.first, rows.parentItem, parent, -(end - start + 1));
    if (rows.parentItem >= 0) {
        QTreeViewItem &item = d->viewItems[rows.parentItem];
        item.hasChildren = item.expanded ? item.total > 0 : d->hasVisibleChildren(parent);
    }
    // Cancels the full layout; updates the scroll bars and repaints.
    QAbstractItemView::doItemsLayout();
#else
    Q_UNUSED(parent);
    Q_UNUSED(start);
    Q_UNUSED(end);
#endif
}
