#include "TRKeyCommands.h"

#include "TRDomainList.h"
#include "TRText.h"
#include "TRUndoManager.h"

#include <algorithm>
#include <utility>

namespace {

bool holds(const std::vector<TRKeyPtr> &keys, const TRKey *key)
{
    return std::ranges::any_of(keys, [key](const TRKeyPtr &held) { return held.get() == key; });
}

} // namespace

TRKeyCommands::TRKeyCommands(TRDomainList &domains, TRUndoManager &undoManager, Host &host)
    : m_domains(domains), m_undoManager(undoManager), m_host(host)
{
}

void TRKeyCommands::finishChange(TRDomainController *domain, bool mayAutoSave)
{
    m_undoManager.setActionDomain(domain->name());
    if (m_deferred > 0) {
        m_deferredDomains.insert(domain->name());
        return;
    }
    if (mayAutoSave)
        m_host.autoSaveDomain(domain);
    m_host.keysChanged();
}

void TRKeyCommands::addKey(const TRKeyPtr &key)
{
    TRDomainController *domain = key ? m_domains.forName(key->domain()) : nullptr;
    if (!domain || !domain->insertKey(key))
        return;
    m_undoManager.registerUndo([this, key] { removeKey(key); });
    m_undoManager.setActionName(m_undoManager.isUndoing() ? trText("Delete key") : trText("New key"));
    finishChange(domain, true);
}

void TRKeyCommands::removeKey(const TRKeyPtr &key)
{
    TRDomainController *domain = key ? m_domains.forName(key->domain()) : nullptr;
    if (!domain || !domain->takeKey(key))
        return;
    m_undoManager.registerUndo([this, key] { addKey(key); });
    m_undoManager.setActionName(m_undoManager.isUndoing() ? trText("New key") : trText("Delete key"));
    // The store does not take an empty domain.
    finishChange(domain, domain->count() > 0);
}

void TRKeyCommands::replaceKey(const TRKeyPtr &oldKey, const TRKeyPtr &newKey, const QString &actionName)
{
    if (!oldKey || !newKey)
        return;
    TRDomainController *domain = m_domains.forName(oldKey->domain());
    if (!domain || !domain->replaceKey(oldKey, newKey))
        return;
    m_undoManager.registerUndo(
        [this, newKey, oldKey, actionName] { replaceKey(newKey, oldKey, actionName); });
    m_undoManager.setActionName(actionName.isEmpty() ? trText("Edit key") : actionName);
    finishChange(domain, true);
}

void TRKeyCommands::beginCommand()
{
    m_undoManager.beginUndoGrouping();
    deferChanges();
}

void TRKeyCommands::endCommand(const QString &actionName)
{
    m_undoManager.fixActionName(actionName);
    m_undoManager.endUndoGrouping();
    finishDeferredChanges();
}

void TRKeyCommands::finishDeferredChanges()
{
    if (m_deferred <= 0 || --m_deferred > 0)
        return;
    const QSet<QString> names = std::exchange(m_deferredDomains, {});
    if (names.isEmpty())
        return;
    for (const QString &name : names) {
        // The store does not take an empty domain.
        TRDomainController *domain = m_domains.forName(name);
        if (domain && domain->count() > 0)
            m_host.autoSaveDomain(domain);
    }
    m_host.keysChanged();
}

void TRKeyCommands::rearrangeList(const TRKeyPtr &list, const std::vector<TRKeyPtr> &children)
{
    const std::vector<TRKeyPtr> old = list->children();
    std::size_t first = 0;
    while (first < old.size() && first < children.size() && old[first] == children[first] &&
           old[first]->name() == TRValue::fromInteger(qint64(first)))
        ++first;
    // Taken out from the end, so that undoing puts them back in order.
    for (std::size_t i = old.size(); i > first; --i)
        removeKey(old[i - 1]);
    for (std::size_t i = first; i < children.size(); ++i) {
        const TRKeyPtr &child = children[i];
        const TRValue position = TRValue::fromInteger(qint64(i));
        // An element shows its position: one that moved comes back as a new node named by its new place.
        addKey(child->name() == position
                   ? child
                   : TRKey::create(position, child->databaseRepresentation(), list, list->domain()));
    }
}

void TRKeyCommands::removeKeys(const std::vector<TRKeyPtr> &keys)
{
    std::vector<TRKeyPtr> lists;
    for (const TRKeyPtr &key : keys) {
        const TRKeyPtr parent = key->parent();
        if (!parent)
            continue;
        if (!parent->isArray())
            removeKey(key);
        else if (!holds(lists, parent.get()))
            lists.push_back(parent);
    }
    for (const TRKeyPtr &list : lists) {
        std::vector<TRKeyPtr> left;
        for (const TRKeyPtr &child : list->children()) {
            if (!holds(keys, child.get()))
                left.push_back(child);
        }
        rearrangeList(list, left);
    }
}
