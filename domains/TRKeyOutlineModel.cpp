#include "TRKeyOutlineModel.h"

#include "TRDomainController.h"
#include "TRText.h"

TRKeyOutlineModel::TRKeyOutlineModel(TRDomainController *domain, QObject *parent)
    : QAbstractItemModel(parent), m_domain(domain)
{
}

TRKeyOutlineModel::~TRKeyOutlineModel() = default;

const QStringList &TRKeyOutlineModel::columnIdentifiers()
{
    static const QStringList identifiers{QStringLiteral("keyName"), QStringLiteral("keyType"),
                                         QStringLiteral("keyValue")};
    return identifiers;
}

const TRKey *TRKeyOutlineModel::rootOf() const
{
    return m_domain->rootKey().get();
}

const TRKey *TRKeyOutlineModel::containerOf(const QModelIndex &index)
{
    return static_cast<const TRKey *>(index.internalPointer());
}

TRKey *TRKeyOutlineModel::keyForIndex(const QModelIndex &index) const
{
    if (!index.isValid())
        return nullptr;
    // Only this child is made if it is not made yet: views ask for the rows they show.
    return containerOf(index)->childAtIndex(index.row()).get();
}

QModelIndex TRKeyOutlineModel::index(int row, int column, const QModelIndex &parent) const
{
    if (row < 0 || column < 0 || column >= ColumnCount || parent.column() > 0)
        return QModelIndex();
    const TRKey *container = parent.isValid() ? keyForIndex(parent) : rootOf();
    if (!container || row >= container->count())
        return QModelIndex();
    return createIndex(row, column, const_cast<TRKey *>(container));
}

QModelIndex TRKeyOutlineModel::sibling(int row, int column, const QModelIndex &index) const
{
    // The same container: no walk up to the parent and down again (views ask this for every row shown).
    if (!index.isValid() || column < 0 || column >= ColumnCount || row < 0 ||
        row >= containerOf(index)->count())
        return QModelIndex();
    return createIndex(row, column, index.internalPointer());
}

QModelIndex TRKeyOutlineModel::parent(const QModelIndex &child) const
{
    if (!child.isValid())
        return QModelIndex();
    const TRKey *container = containerOf(child);
    if (container == rootOf())
        return QModelIndex();
    const TRKeyPtr above = container->parent();
    const int row = above ? above->rowOfChild(container) : -1;
    return row < 0 ? QModelIndex() : createIndex(row, 0, above.get());
}

int TRKeyOutlineModel::rowCount(const QModelIndex &parent) const
{
    if (parent.column() > 0)
        return 0;
    const TRKey *key = parent.isValid() ? keyForIndex(parent) : rootOf();
    return key ? key->count() : 0;
}

int TRKeyOutlineModel::columnCount(const QModelIndex &) const
{
    return ColumnCount;
}

bool TRKeyOutlineModel::hasChildren(const QModelIndex &parent) const
{
    if (!parent.isValid())
        return rowCount(parent) > 0;
    if (parent.column() > 0)
        return false;
    return containerOf(parent)->childKindAt(parent.row()) != TRKey::NodeKind::Leaf;
}

QVariant TRKeyOutlineModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || role != Qt::DisplayRole)
        return QVariant();
    return m_domain->outlineViewObjectValueForTableColumn(columnIdentifiers().at(index.column()),
                                                          keyForIndex(index));
}

QVariant TRKeyOutlineModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QVariant();
    switch (section) {
    case NameColumn:
        return trText("Key");
    case TypeColumn:
        return trText("Type");
    case ValueColumn:
        return trText("Value");
    default:
        return QVariant();
    }
}

Qt::ItemFlags TRKeyOutlineModel::flags(const QModelIndex &index) const
{
    // Asked of every row when the view lays out its rows: answered without making the row's node.
    if (!index.isValid() || index.row() >= containerOf(index)->count())
        return Qt::ItemIsDropEnabled;
    Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
    if (containerOf(index)->childKindAt(index.row()) == TRKey::NodeKind::Leaf)
        result |= Qt::ItemNeverHasChildren;
    else
        result |= Qt::ItemIsDropEnabled;
    return result;
}

Qt::DropActions TRKeyOutlineModel::supportedDragActions() const
{
    return Qt::CopyAction | Qt::MoveAction;
}

Qt::DropActions TRKeyOutlineModel::supportedDropActions() const
{
    return Qt::CopyAction | Qt::MoveAction;
}

QStringList TRKeyOutlineModel::mimeTypes() const
{
    return m_dragHandler ? m_dragHandler->mimeTypes() : QStringList();
}

QMimeData *TRKeyOutlineModel::mimeData(const QModelIndexList &indexes) const
{
    return m_dragHandler ? m_dragHandler->mimeData(*this, indexes) : nullptr;
}

bool TRKeyOutlineModel::canDropMimeData(const QMimeData *data, Qt::DropAction action, int row, int,
                                        const QModelIndex &parent) const
{
    return m_dragHandler && m_dragHandler->canDropMimeData(*this, data, action, row, parent);
}

bool TRKeyOutlineModel::dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int,
                                     const QModelIndex &parent)
{
    return m_dragHandler && m_dragHandler->dropMimeData(*this, data, action, row, parent);
}

QModelIndex TRKeyOutlineModel::indexForKey(const TRKey *key, int column) const
{
    if (!key || key == rootOf() || column < 0 || column >= ColumnCount)
        return QModelIndex();
    // Only nodes of this domain's tree have an index.
    const TRKeyPtr container = key->parent();
    const TRKey *top = key;
    for (TRKeyPtr up = container; up; up = up->parent())
        top = up.get();
    if (top != rootOf())
        return QModelIndex();
    const int row = container->rowOfChild(key);
    return row < 0 ? QModelIndex() : createIndex(row, column, container.get());
}

void TRKeyOutlineModel::beginInsertKey(const TRKey *parent, int row)
{
    beginInsertRows(indexForKey(parent), row, row);
}

void TRKeyOutlineModel::endInsertKey()
{
    endInsertRows();
}

void TRKeyOutlineModel::beginRemoveKey(const TRKey *parent, int row)
{
    beginRemoveRows(indexForKey(parent), row, row);
}

void TRKeyOutlineModel::endRemoveKey()
{
    endRemoveRows();
}

void TRKeyOutlineModel::beginReplaceKey(const TRKey *parent, int row)
{
    m_replaceParent = parent ? parent : rootOf();
    m_replaceRow = row;
    const TRKeyPtr old = m_replaceParent->childAtIndex(row);
    m_replacedKey = old.get();
    // A leaf in the place of a leaf keeps every index as it is: the row is only repainted.
    if (!m_replacedKey || !m_replacedKey->isCompound())
        return;
    const QModelIndex parentIndex = indexForKey(m_replaceParent);
    if (parentIndex.isValid())
        emit layoutAboutToBeChanged({QPersistentModelIndex(parentIndex)});
    else
        emit layoutAboutToBeChanged();
    m_replaceLayout = true;
}

void TRKeyOutlineModel::endReplaceKey()
{
    const TRKeyPtr replacement = m_replaceParent->childAtIndex(m_replaceRow);
    const QModelIndex parentIndex = indexForKey(m_replaceParent);
    const bool layout = m_replaceLayout;
    if (layout)
        mapIndexesBelowReplacedKey(replacement.get());
    m_replaceLayout = false;
    m_replaceParent = nullptr;
    m_replacedKey = nullptr;
    const int row = std::exchange(m_replaceRow, -1);
    if (layout) {
        if (parentIndex.isValid())
            emit layoutChanged({QPersistentModelIndex(parentIndex)});
        else
            emit layoutChanged();
        return;
    }
    // The row's indexes name its container and its row, both unchanged: only the row is painted again.
    emit dataChanged(index(row, 0, parentIndex), index(row, ColumnCount - 1, parentIndex));
    // A compound node in the place of a leaf brings children the views have not met.
    if (replacement && replacement->isCompound()) {
        if (parentIndex.isValid()) {
            emit layoutAboutToBeChanged({QPersistentModelIndex(parentIndex)});
            emit layoutChanged({QPersistentModelIndex(parentIndex)});
        } else {
            emit layoutAboutToBeChanged();
            emit layoutChanged();
        }
    }
}

void TRKeyOutlineModel::mapIndexesBelowReplacedKey(const TRKey *replacement)
{
    // Indexes name their container: those whose container lies in the replaced subtree move to the node
    // at the same rows below the replacement, or become invalid where it has no such node.
    const QModelIndexList persistent = persistentIndexList();
    QModelIndexList from;
    QModelIndexList to;
    for (const QModelIndex &held : persistent) {
        const TRKey *container = containerOf(held);
        QList<int> path;
        bool below = container == m_replacedKey;
        for (const TRKey *current = container; !below && current && current != rootOf();) {
            const TRKeyPtr up = current->parent();
            if (!up)
                break;
            path.prepend(up->rowOfChild(current));
            if (up.get() == m_replacedKey)
                below = true;
            current = up.get();
        }
        if (!below)
            continue;
        const TRKey *target = replacement;
        for (int step : std::as_const(path)) {
            const std::vector<TRKeyPtr> &children = target->children();
            target = step >= 0 && std::size_t(step) < children.size() ? children[std::size_t(step)].get()
                                                                      : nullptr;
            if (!target)
                break;
        }
        from.append(held);
        to.append(target && held.row() < target->count()
                      ? createIndex(held.row(), held.column(), const_cast<TRKey *>(target))
                      : QModelIndex());
    }
    changePersistentIndexList(from, to);
}

void TRKeyOutlineModel::beginEdit(const TRKey *parent, const TRKey::Edit &edit)
{
    switch (edit.kind) {
    case TRKey::Edit::Kind::Insert:
        beginInsertKey(parent, edit.row);
        break;
    case TRKey::Edit::Kind::Replace:
        beginReplaceKey(parent, edit.row);
        break;
    case TRKey::Edit::Kind::Remove:
        beginRemoveKey(parent, edit.row);
        break;
    case TRKey::Edit::Kind::None:
        break;
    }
}

void TRKeyOutlineModel::endEdit(const TRKey::Edit &edit)
{
    switch (edit.kind) {
    case TRKey::Edit::Kind::Insert:
        endInsertKey();
        break;
    case TRKey::Edit::Kind::Replace:
        endReplaceKey();
        break;
    case TRKey::Edit::Kind::Remove:
        endRemoveKey();
        break;
    case TRKey::Edit::Kind::None:
        break;
    }
}

void TRKeyOutlineModel::beginResetTree()
{
    beginResetModel();
}

void TRKeyOutlineModel::endResetTree()
{
    endResetModel();
}
