// Commands on several keys at once, all made of the three key primitives and each one undo step: Cut,
// Copy, Paste and Duplicate through the clipboard's property lists, Delete key with several keys selected,
// and drops on the key outline.
#include "TRAlert.h"
#include "TRAppController.h"
#include "TRDomainController.h"
#include "TRKeyClipboard.h"
#include "TRKeyOutlineDrag.h"
#include "TRKeyOutlineModel.h"
#include "TRKeyPlistFragment.h"
#include "TRMainView.h"
#include "TRText.h"
#include "TRUndoManager.h"

#include <QItemSelection>
#include <unordered_map>
#include <unordered_set>

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
    return m_keyClipboard.insertFragment(parent, position, fragment, actionName);
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
    TRKeyClipboard::copy(selectedKeys());
}

void TRAppController::cutKeys()
{
    m_keyClipboard.cut(selectedKeys());
}

void TRAppController::pasteKeys()
{
    TRDomainController *domain = currentDomain();
    if (!domain)
        return;
    TRKeyPlistFragment fragment;
    QString error;
    if (!TRKeyClipboard::readClipboard(&fragment, &error)) {
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
    if (!keys.empty())
        selectKeys(m_keyClipboard.duplicate(keys));
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
    std::vector<TRKeyPtr> arrived;
    const bool dropped = m_keyClipboard.drop(drop, &arrived);
    selectKeys(arrived);
    return dropped;
}
