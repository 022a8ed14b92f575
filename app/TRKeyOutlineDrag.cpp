#include "TRKeyOutlineDrag.h"

#include "TRDomainController.h"
#include "TRKeyOutlineModel.h"

#include <QHash>
#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace {

// The MIME data of a drag from an outline of this process: the clipboard's forms plus the nodes.
class TRKeyMimeData final : public QMimeData
{
public:
    std::vector<std::weak_ptr<TRKey>> keys;
};

bool isSelfOrBelow(const TRKey *node, const TRKey *top)
{
    if (node == top)
        return true;
    for (TRKeyPtr up = node->parent(); up; up = up->parent()) {
        if (up.get() == top)
            return true;
    }
    return false;
}

// The compound node a drop on that index goes into; null for a leaf.
TRKeyPtr dropTarget(const TRKeyOutlineModel &model, const QModelIndex &parent)
{
    TRKey *key = parent.isValid() ? model.keyForIndex(parent) : model.domainController()->rootKey().get();
    return key && key->isCompound() ? key->shared_from_this() : nullptr;
}

} // namespace

QStringList TRKeyOutlineDrag::mimeTypes() const
{
    return {QString::fromLatin1(TRKeyPlistFragment::kKeysMimeType),
            QString::fromLatin1(TRKeyPlistFragment::kPlistMimeType), QStringLiteral("text/plain")};
}

std::vector<TRKeyPtr> TRKeyOutlineDrag::topmostKeys(std::vector<TRKeyPtr> keys)
{
    std::unordered_set<const TRKey *> chosen;
    for (const TRKeyPtr &key : keys)
        chosen.insert(key.get());
    // A key below another chosen one goes with it.
    std::erase_if(keys, [&](const TRKeyPtr &key) {
        for (TRKeyPtr up = key->parent(); up; up = up->parent()) {
            if (chosen.contains(up.get()))
                return true;
        }
        return false;
    });
    std::unordered_set<const TRKey *> seen;
    std::erase_if(keys, [&](const TRKeyPtr &key) { return !seen.insert(key.get()).second; });
    // Outline order: by the path of positions from the root (a parent finds a child's row without a walk
    // over its children: a domain's top level can hold hundreds of thousands).
    std::unordered_map<const TRKey *, std::vector<int>> paths;
    std::function<const std::vector<int> &(const TRKey *)> pathOf = [&](const TRKey *node) -> const auto &
    {
        const auto known = paths.find(node);
        if (known != paths.end())
            return known->second;
        std::vector<int> path;
        if (const TRKeyPtr parent = node->parent()) {
            path = pathOf(parent.get());
            path.push_back(parent->rowOfChild(node));
        }
        return paths.emplace(node, std::move(path)).first->second;
    };
    std::vector<std::pair<std::vector<int>, TRKeyPtr>> ordered;
    ordered.reserve(keys.size());
    for (TRKeyPtr &key : keys)
        ordered.emplace_back(pathOf(key.get()), std::move(key));
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    keys.clear();
    for (auto &entry : ordered)
        keys.push_back(std::move(entry.second));
    return keys;
}

QMimeData *TRKeyOutlineDrag::mimeData(const TRKeyOutlineModel &model, const QModelIndexList &indexes) const
{
    std::vector<TRKeyPtr> keys;
    for (const QModelIndex &index : indexes) {
        if (TRKey *key = model.keyForIndex(index))
            keys.push_back(key->shared_from_this());
    }
    keys = topmostKeys(std::move(keys));
    if (keys.empty())
        return nullptr;
    auto *data = new TRKeyMimeData;
    TRKeyPlistFragment::fromKeys(keys).writeTo(data);
    for (const TRKeyPtr &key : keys)
        data->keys.push_back(key);
    return data;
}

std::vector<TRKeyPtr> TRKeyOutlineDrag::draggedKeys(const QMimeData *data)
{
    std::vector<TRKeyPtr> keys;
    if (const auto *ours = dynamic_cast<const TRKeyMimeData *>(data)) {
        for (const std::weak_ptr<TRKey> &held : ours->keys) {
            TRKeyPtr key = held.lock();
            if (!key)
                return {};
            keys.push_back(std::move(key));
        }
    }
    return keys;
}

bool TRKeyOutlineDrag::canDropMimeData(const TRKeyOutlineModel &model, const QMimeData *data,
                                       Qt::DropAction action, int, const QModelIndex &parent) const
{
    if ((action != Qt::CopyAction && action != Qt::MoveAction) ||
        !TRKeyPlistFragment::hasFragmentFormat(data))
        return false;
    const TRKeyPtr target = dropTarget(model, parent);
    // Never into a dragged key or below it.
    return target && std::ranges::none_of(draggedKeys(data), [&](const TRKeyPtr &key) {
               return isSelfOrBelow(target.get(), key.get());
           });
}

bool TRKeyOutlineDrag::dropMimeData(const TRKeyOutlineModel &model, const QMimeData *data,
                                    Qt::DropAction action, int row, const QModelIndex &parent)
{
    if (!canDropMimeData(model, data, action, row, parent) || !m_drop)
        return false;
    TRKeyDrop drop;
    drop.parent = dropTarget(model, parent);
    drop.row = row;
    drop.sources = draggedKeys(data);
    drop.move = action == Qt::MoveAction && !drop.sources.empty();
    if (!drop.sources.empty())
        drop.fragment = TRKeyPlistFragment::fromKeys(drop.sources);
    else if (!TRKeyPlistFragment::readFrom(data, &drop.fragment, nullptr))
        return false;
    return m_drop(drop);
}
