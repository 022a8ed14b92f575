// Commands on several keys at once, all made of the three key primitives and each one undo step: Cut,
// Copy, Paste and Duplicate through the clipboard's property lists, Delete key with several keys selected,
// and drops on the key outline.
#include "TRAlert.h"
#include "TRAppController.h"
#include "TRDomainController.h"
#include "TRKeyOutlineDrag.h"
#include "TRKeyOutlineModel.h"
#include "TRKeyPlistFragment.h"
#include "TRMainView.h"
#include "TRText.h"
#include "TRUndoManager.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QItemSelection>
#include <QMimeData>
#include <unordered_map>
#include <unordered_set>

namespace {

// A free name in the dictionary: the name itself, else "name copy", "name copy 2", ...
QString unusedName(const TRKey &dictionary, const QString &name)
{
    if (!dictionary.keyExists(TRValue::fromString(name)))
        return name;
    QString candidate = trFormat(trText("%@ copy"), {name});
    for (int number = 2; dictionary.keyExists(TRValue::fromString(candidate)); ++number)
        candidate = trFormat(trText("%@ copy %d"), {name, QString::number(number)});
    return candidate;
}

bool holds(const std::vector<TRKeyPtr> &keys, const TRKey *key)
{
    return std::ranges::any_of(keys, [key](const TRKeyPtr &held) { return held.get() == key; });
}

// New elements of the list for the fragment's values, put into children at the position and named by
// the positions they take there.
std::vector<TRKeyPtr> insertElements(const TRKeyPtr &list, std::vector<TRKeyPtr> *children, std::size_t at,
                                     const TRKeyPlistFragment &fragment)
{
    std::vector<TRKeyPtr> elements;
    for (const TRKeyPlistFragment::Item &item : fragment.items) {
        const TRValue name = TRValue::fromInteger(qint64(at + elements.size()));
        if (TRKeyPtr key = TRKey::create(name, item.value, list, list->domain()))
            elements.push_back(std::move(key));
    }
    children->insert(children->begin() + std::ptrdiff_t(at), elements.begin(), elements.end());
    return elements;
}

} // namespace

std::vector<TRKeyPtr> TRAppController::selectedKeys() const
{
    const TRKeyOutlineModel *model = m_view ? m_view->keyOutlineModel() : nullptr;
    if (!model)
        return {};
    std::vector<TRKeyPtr> keys;
    for (const QModelIndex &row : m_view->selectedKeyRows()) {
        if (TRKey *key = model->keyForIndex(row))
            keys.push_back(key->shared_from_this());
    }
    return TRKeyOutlineDrag::topmostKeys(std::move(keys));
}

std::vector<TRKeyPtr> TRAppController::insertFragment(const TRKeyPtr &parent, int position,
                                                      const TRKeyPlistFragment &fragment,
                                                      const QString &actionName)
{
    std::vector<TRKeyPtr> added;
    if (!parent || !parent->isCompound() || fragment.items.empty())
        return added;
    m_keyCommands.beginCommand();
    if (parent->isDictionary()) {
        for (const TRKeyPlistFragment::Item &item : fragment.items) {
            const QString name = unusedName(*parent, item.named ? item.name : trText("new key"));
            const TRKeyPtr key =
                TRKey::create(TRValue::fromString(name), item.value, parent, parent->domain());
            if (!key)
                continue;
            addKey(key);
            added.push_back(key);
        }
    } else {
        std::vector<TRKeyPtr> children = parent->children();
        const std::size_t at =
            position < 0 ? children.size() : std::min(std::size_t(position), children.size());
        added = insertElements(parent, &children, at, fragment);
        m_keyCommands.rearrangeList(parent, children);
    }
    m_keyCommands.endCommand(actionName);
    return added;
}

void TRAppController::selectKeys(const std::vector<TRKeyPtr> &keys)
{
    const TRKeyOutlineModel *model = m_view ? m_view->keyOutlineModel() : nullptr;
    if (!model || keys.empty())
        return;
    // Rows by position in the parent, each parent's children walked once.
    std::unordered_set<const TRKey *> wanted;
    for (const TRKeyPtr &key : keys)
        wanted.insert(key.get());
    std::unordered_map<const TRKey *, int> rows;
    std::unordered_set<const TRKey *> walked;
    QItemSelection selection;
    QModelIndex first;
    for (const TRKeyPtr &key : keys) {
        const TRKeyPtr parent = key->parent();
        if (!parent)
            continue;
        const QModelIndex parentIndex = model->indexForKey(parent.get());
        if (!parentIndex.isValid() && parent != model->domainController()->rootKey())
            continue;
        if (walked.insert(parent.get()).second) {
            const std::vector<TRKeyPtr> &children = parent->children();
            for (std::size_t i = 0; i < children.size(); ++i) {
                if (wanted.contains(children[i].get()))
                    rows[children[i].get()] = int(i);
            }
        }
        const auto row = rows.find(key.get());
        if (row == rows.end())
            continue;
        const QModelIndex index = model->index(row->second, 0, parentIndex);
        const QModelIndex last = model->index(row->second, TRKeyOutlineModel::ColumnCount - 1, parentIndex);
        if (!first.isValid())
            first = index;
        // Neighbouring rows make one range.
        if (!selection.isEmpty() && selection.last().parent() == parentIndex &&
            selection.last().bottom() == index.row() - 1)
            selection.last() = QItemSelectionRange(selection.last().topLeft(), last);
        else
            selection.select(index, last);
    }
    if (!first.isValid())
        return;
    m_view->selectKeyRows(selection, first);
}

void TRAppController::copyKeys()
{
    const std::vector<TRKeyPtr> keys = selectedKeys();
    if (keys.empty())
        return;
    auto *data = new QMimeData;
    TRKeyPlistFragment::fromKeys(keys).writeTo(data);
    QGuiApplication::clipboard()->setMimeData(data);
}

void TRAppController::cutKeys()
{
    const std::vector<TRKeyPtr> keys = selectedKeys();
    if (keys.empty())
        return;
    copyKeys();
    m_keyCommands.beginCommand();
    m_keyCommands.removeKeys(keys);
    m_keyCommands.endCommand(trText("Cut"));
}

void TRAppController::pasteKeys()
{
    TRDomainController *domain = currentDomain();
    if (!domain)
        return;
    TRKeyPlistFragment fragment;
    QString error;
    if (!TRKeyPlistFragment::readFrom(QGuiApplication::clipboard()->mimeData(), &fragment, &error)) {
        TRAlert::beginSheet(mainWindow(),
                            TRAlert::notice(trText("Cannot paste"),
                                            trText("The clipboard holds no property list. Copy keys, or the "
                                                   "text of a property list, and paste again."),
                                            error));
        return;
    }
    const TRKeyPtr parent = parentForNewKeys(domain);
    // Into a list beside a selected element: after it.
    int position = -1;
    const TRKeyPtr selected = selectedKey();
    if (parent->isArray() && selected && selected->parent() == parent) {
        const std::vector<TRKeyPtr> &children = parent->children();
        position = int(std::find(children.begin(), children.end(), selected) - children.begin()) + 1;
    }
    selectKeys(insertFragment(parent, position, fragment, trText("Paste")));
}

void TRAppController::duplicateKeys()
{
    const std::vector<TRKeyPtr> keys = selectedKeys();
    if (keys.empty())
        return;
    std::vector<TRKeyPtr> added;
    std::vector<TRKeyPtr> lists;
    m_keyCommands.beginCommand();
    for (const TRKeyPtr &key : keys) {
        const TRKeyPtr parent = key->parent();
        if (!parent)
            continue;
        if (parent->isArray()) {
            if (!holds(lists, parent.get()))
                lists.push_back(parent);
            continue;
        }
        const QString name = unusedName(*parent, key->name().toString());
        if (const TRKeyPtr copy = TRKey::create(TRValue::fromString(name), key->databaseRepresentation(),
                                                parent, parent->domain())) {
            addKey(copy);
            added.push_back(copy);
        }
    }
    // In a list each copy follows its element.
    for (const TRKeyPtr &list : lists) {
        std::vector<TRKeyPtr> children;
        for (const TRKeyPtr &child : list->children()) {
            children.push_back(child);
            if (!holds(keys, child.get()))
                continue;
            const TRValue position = TRValue::fromInteger(qint64(children.size()));
            if (const TRKeyPtr copy =
                    TRKey::create(position, child->databaseRepresentation(), list, list->domain())) {
                children.push_back(copy);
                added.push_back(copy);
            }
        }
        m_keyCommands.rearrangeList(list, children);
    }
    m_keyCommands.endCommand(trText("Duplicate"));
    selectKeys(added);
}

void TRAppController::deleteSelectedKeys()
{
    m_keysToDelete = selectedKeys();
    const TRAlert::Content alert =
        TRAlert::question(trText("About to delete keys"),
                          trFormat(trText("The %d selected keys are about to be deleted. Do you confirm?"),
                                   {QString::number(m_keysToDelete.size())}),
                          trText("No"), trText("Yes"), TRAlert::kDefault);
    TRAlert::beginSheet(mainWindow(), alert, [this](int code) { doRemoveKeys(code); });
}

void TRAppController::doRemoveKeys(int returnCode)
{
    const std::vector<TRKeyPtr> keys = std::exchange(m_keysToDelete, {});
    if (returnCode != TRAlert::kAlternate || keys.empty())
        return;
    m_keyCommands.beginCommand();
    m_keyCommands.removeKeys(keys);
    m_keyCommands.endCommand(trText("Delete keys"));
}

bool TRAppController::dropKeys(const TRKeyDrop &drop)
{
    const TRKeyPtr &parent = drop.parent;
    if (!parent || !parent->isCompound() || drop.fragment.items.empty())
        return false;
    const bool move = drop.move && drop.sources.size() == drop.fragment.items.size();
    const QString actionName = move ? trText("Move keys") : trText("Copy keys");
    if (!move) {
        const auto added = insertFragment(parent, drop.row, drop.fragment, actionName);
        selectKeys(added);
        return !added.empty();
    }
    // Keys moved within their own dictionary stay as they are; the others leave their places.
    std::vector<TRKeyPtr> leaving;
    TRKeyPlistFragment arriving;
    for (std::size_t i = 0; i < drop.sources.size(); ++i) {
        const TRKeyPtr &source = drop.sources[i];
        if (parent->isDictionary() && source->parent() == parent)
            continue;
        if (source->parent() != parent)
            leaving.push_back(source);
        arriving.items.push_back(drop.fragment.items[i]);
    }
    if (arriving.items.empty())
        return false;
    std::vector<TRKeyPtr> added;
    m_keyCommands.beginCommand();
    m_keyCommands.removeKeys(leaving);
    if (parent->isDictionary()) {
        added = insertFragment(parent, -1, arriving, actionName);
    } else {
        // The elements of this list that move are taken out and put back at the drop row, which counts the
        // rows before they left.
        std::vector<TRKeyPtr> children;
        std::size_t at = std::size_t(-1);
        const std::vector<TRKeyPtr> &now = parent->children();
        for (std::size_t i = 0; i < now.size(); ++i) {
            if (int(i) == drop.row)
                at = children.size();
            if (!holds(drop.sources, now[i].get()))
                children.push_back(now[i]);
        }
        at = std::min(at, children.size());
        added = insertElements(parent, &children, at, arriving);
        m_keyCommands.rearrangeList(parent, children);
    }
    m_keyCommands.endCommand(actionName);
    selectKeys(added);
    return true;
}
