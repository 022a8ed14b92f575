#include "TRKeyOutlineModel.h"

#include "TRDomainController.h"
#include "TRKeyOutlineDrag.h"
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

TRKey *TRKeyOutlineModel::keyForIndex(const QModelIndex &index) const
{
    return index.isValid() ? static_cast<TRKey *>(index.internalPointer()) : nullptr;
}

int TRKeyOutlineModel::rowOfCompound(const TRKey *key) const
{
    const TRKeyPtr container = key->parent();
    if (!container)
        return -1;
    const std::vector<TRKeyPtr> &siblings = container->children();
    const auto known = m_compoundRows.constFind(key);
    if (known != m_compoundRows.cend() && std::size_t(*known) < siblings.size() &&
        siblings[std::size_t(*known)].get() == key)
        return *known;
    // A miss (the tree changed, or the node was never handed out): note every compound sibling at once,
    // so that a parent is searched for at most once per change.
    int found = -1;
    for (std::size_t i = 0; i < siblings.size(); ++i) {
        if (!siblings[i]->isCompound())
            continue;
        m_compoundRows.insert(siblings[i].get(), int(i));
        if (siblings[i].get() == key)
            found = int(i);
    }
    return found;
}

QModelIndex TRKeyOutlineModel::index(int row, int column, const QModelIndex &parent) const
{
    if (row < 0 || column < 0 || column >= ColumnCount || parent.column() > 0)
        return QModelIndex();
    const TRKeyPtr child = m_domain->outlineViewChildOfItem(row, keyForIndex(parent));
    if (!child)
        return QModelIndex();
    if (child->isCompound())
        m_compoundRows.insert(child.get(), row);
    return createIndex(row, column, child.get());
}

QModelIndex TRKeyOutlineModel::parent(const QModelIndex &child) const
{
    const TRKey *key = keyForIndex(child);
    if (!key)
        return QModelIndex();
    const TRKeyPtr container = key->parent();
    if (!container || container.get() == rootOf())
        return QModelIndex();
    const int row = rowOfCompound(container.get());
    return row < 0 ? QModelIndex() : createIndex(row, 0, container.get());
}

int TRKeyOutlineModel::rowCount(const QModelIndex &parent) const
{
    if (parent.column() > 0)
        return 0;
    return m_domain->outlineViewNumberOfChildrenOfItem(keyForIndex(parent));
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
    return m_domain->outlineViewIsItemExpandable(keyForIndex(parent));
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
    const TRKey *key = keyForIndex(index);
    if (!key)
        return Qt::ItemIsDropEnabled;
    Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
    if (!key->isCompound())
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
    return TRKeyOutlineDrag::mimeTypes();
}

QMimeData *TRKeyOutlineModel::mimeData(const QModelIndexList &indexes) const
{
    return TRKeyOutlineDrag::mimeData(*this, indexes);
}

bool TRKeyOutlineModel::canDropMimeData(const QMimeData *data, Qt::DropAction action, int row, int,
                                        const QModelIndex &parent) const
{
    return TRKeyOutlineDrag::canDropMimeData(*this, data, action, row, parent);
}

bool TRKeyOutlineModel::dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int,
                                     const QModelIndex &parent)
{
    return TRKeyOutlineDrag::dropMimeData(*this, data, action, row, parent);
}

QModelIndex TRKeyOutlineModel::indexForKey(const TRKey *key, int column) const
{
    if (!key || key == rootOf() || column < 0 || column >= ColumnCount)
        return QModelIndex();
    // Only nodes of this domain's tree have an index.
    const TRKey *top = key;
    for (TRKeyPtr up = key->parent(); up; up = up->parent())
        top = up.get();
    if (top != rootOf())
        return QModelIndex();
    int row = -1;
    if (key->isCompound()) {
        row = rowOfCompound(key);
    } else {
        const std::vector<TRKeyPtr> &siblings = key->parent()->children();
        for (std::size_t i = 0; i < siblings.size() && row < 0; ++i) {
            if (siblings[i].get() == key)
                row = int(i);
        }
    }
    return row < 0 ? QModelIndex() : createIndex(row, column, const_cast<TRKey *>(key));
}

void TRKeyOutlineModel::beginInsertKey(const TRKey *parent, int row)
{
    beginInsertRows(indexForKey(parent), row, row);
}

void TRKeyOutlineModel::endInsertKey()
{
    m_compoundRows.clear();
    endInsertRows();
}

void TRKeyOutlineModel::beginRemoveKey(const TRKey *parent, int row)
{
    beginRemoveRows(indexForKey(parent), row, row);
}

void TRKeyOutlineModel::endRemoveKey()
{
    m_compoundRows.clear();
    endRemoveRows();
}

void TRKeyOutlineModel::beginReplaceKey(const TRKey *parent, int row)
{
    m_replaceParent = parent ? parent : rootOf();
    m_replaceRow = row;
    const TRKeyPtr old = m_replaceParent->childAtIndex(row);
    m_replacedKey = old.get();
    const QModelIndex parentIndex = indexForKey(m_replaceParent);
    if (parentIndex.isValid())
        emit layoutAboutToBeChanged({QPersistentModelIndex(parentIndex)});
    else
        emit layoutAboutToBeChanged();
}

void TRKeyOutlineModel::endReplaceKey()
{
    const TRKeyPtr replacement = m_replaceParent->childAtIndex(m_replaceRow);
    const QModelIndexList persistent = persistentIndexList();
    QModelIndexList from;
    QModelIndexList to;
    for (const QModelIndex &held : persistent) {
        const TRKey *key = keyForIndex(held);
        if (!key || !m_replacedKey)
            continue;
        // The rows leading from the replaced node down to the held node, if it lies below it.
        QList<int> path;
        bool below = key == m_replacedKey;
        const TRKey *current = key;
        int row = held.row();
        while (!below) {
            path.prepend(row);
            const TRKeyPtr up = current->parent();
            if (!up || up.get() == rootOf())
                break;
            if (up.get() == m_replacedKey) {
                below = true;
                break;
            }
            row = rowOfCompound(up.get());
            current = up.get();
        }
        if (!below)
            continue;
        TRKeyPtr target = replacement;
        for (int step : std::as_const(path))
            target = target ? target->childAtIndex(step) : nullptr;
        from.append(held);
        to.append(target
                      ? createIndex(path.isEmpty() ? m_replaceRow : path.last(), held.column(), target.get())
                      : QModelIndex());
    }
    changePersistentIndexList(from, to);
    m_compoundRows.clear();
    const QModelIndex parentIndex = indexForKey(m_replaceParent);
    m_replaceParent = nullptr;
    m_replacedKey = nullptr;
    m_replaceRow = -1;
    if (parentIndex.isValid())
        emit layoutChanged({QPersistentModelIndex(parentIndex)});
    else
        emit layoutChanged();
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
    m_compoundRows.clear();
    endResetModel();
}
