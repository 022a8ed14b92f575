#include "TRDomainController.h"

#include "TRKeyOutlineModel.h"
#include "store/TRDefaultsStore.h"

TRValue TRDomainController::loadDomainForName(const QString &name)
{
    return load(name).contents;
}

TRDomainController::Loaded TRDomainController::load(const QString &name)
{
    TRDefaultsStore::DomainRead read = TRDefaultsStore::standard().readPersistentDomain(name);
    if (!read.dictionary.isDictionary())
        read.dictionary = TRValue::fromDictionary({});
    return Loaded{read.dictionary, read.identity};
}

TRDomainController::TRDomainController(const QString &name, const TRValue &contents)
    : m_name(name), m_contents(contents.isDictionary() ? contents : TRValue::fromDictionary({})),
      m_fileIdentity(TRDefaultsStore::standard().fileIdentity(name))
{
    setModified(false);
}

TRDomainController::TRDomainController(const QString &name) : m_name(name), m_inStore(true)
{
    // The file's version first, then its count: a write in between shows as a change to follow.
    m_fileIdentity = TRDefaultsStore::standard().fileIdentity(name);
    m_storeKeyCount = TRDefaultsStore::standard().persistentDomainKeyCount(name);
    setModified(false);
}

TRDomainController::TRDomainController(const QString &name, const TRKeyPtr &rootKey)
    : m_name(name), m_root(rootKey), m_contents(TRValue::fromDictionary({}))
{
}

TRDomainController::~TRDomainController() = default;

void TRDomainController::reloadDomain()
{
    reloadDomain(TRDefaultsStore::standard().readPersistentDomain(m_name));
}

void TRDomainController::reloadDomain(const TRDefaultsStore::DomainRead &read)
{
    if (m_outlineModel)
        m_outlineModel->beginResetTree();
    m_root.reset();
    m_base = TRValue();
    m_keepsContents = false;
    m_contents = read.dictionary.isDictionary() ? read.dictionary : TRValue::fromDictionary({});
    m_contentsFromStore = true;
    m_inStore = false;
    m_fileIdentity = read.identity;
    setModified(false);
    ++m_changeCount;
    if (m_outlineModel)
        m_outlineModel->endResetTree();
}

const TRValue &TRDomainController::contents() const
{
    if (m_inStore) {
        // Unmodified, so it takes the file as it stands now, and that version is the one it was read from.
        Loaded loaded = load(m_name);
        m_contents = std::move(loaded.contents);
        m_fileIdentity = loaded.identity;
        m_contentsFromStore = true;
        m_inStore = false;
    }
    return m_contents;
}

const TRKeyPtr &TRDomainController::rootKey() const
{
    if (!m_root) {
        // The store refuses files beyond the expansion bound: what it read is not counted again.
        const TRValue &from = contents();
        m_root = m_contentsFromStore ? TRKey::createWithinBound(TRValue(), from, nullptr, m_name)
                                     : TRKey::create(TRValue(), from, nullptr, m_name);
        if (!m_root) {
            // Too large to expand (files that are get refused when read, so only a value made in memory
            // comes here): shown empty, and the contents are what saving writes.
            m_root = TRKey::create(TRValue(), TRValue::fromDictionary({}), nullptr, m_name);
            m_keepsContents = true;
            return m_root;
        }
        takeAsBase(from);
        m_contents = TRValue();
    }
    return m_root;
}

int TRDomainController::count() const
{
    if (m_root)
        return m_root->count();
    return m_inStore ? m_storeKeyCount : int(m_contents.toDictionary().size());
}

TRValue TRDomainController::databaseRepresentation() const
{
    // Values never change, so the contents a tree has not been built from yet are their own representation.
    if (!m_root || m_keepsContents)
        return contents();
    TRValue made = m_root->databaseRepresentation();
    takeAsBase(made);
    return made;
}

void TRDomainController::takeAsBase(const TRValue &contents) const
{
    m_base = contents;
    m_changedSinceBase.clear();
    m_keysChangedSinceBase = false;
}

TRDomainController::Snapshot TRDomainController::snapshot() const
{
    Snapshot taken;
    // Past an eighth of the keys (and a few), taking the changed ones one by one stops paying.
    const auto changed = std::size_t(m_changedSinceBase.size());
    if (!m_root || m_keepsContents || m_base.isNone() ||
        (changed > 64 && changed * 8 > std::size_t(m_root->count()))) {
        taken.base = databaseRepresentation();
        return taken;
    }
    taken.base = m_base;
    taken.changed.reserve(changed);
    for (const QString &name : m_changedSinceBase) {
        const TRKeyPtr child = m_root->childForName(TRValue::fromString(name));
        taken.changed.emplace_back(name, child ? child->databaseRepresentation() : TRValue());
    }
    if (m_keysChangedSinceBase) {
        taken.reordered = true;
        const int count = m_root->count();
        taken.order.reserve(std::size_t(count));
        for (int i = 0; i < count; ++i)
            taken.order.push_back(m_root->keyAtIndex(i));
    }
    return taken;
}

TRValue TRDomainController::Snapshot::contents() const
{
    if (changed.empty() && !reordered)
        return base;
    const TRDictionary &was = base.toDictionary();
    if (!reordered) {
        // The same keys in the same order: the changed ones take their new values in place.
        TRDictionary made = was;
        for (const auto &[name, value] : changed) {
            if (!value.isNone())
                made.insert(name, value);
        }
        return TRValue::fromDictionary(std::move(made));
    }
    QHash<QString, const TRValue *> now;
    now.reserve(qsizetype(changed.size()));
    for (const auto &[name, value] : changed)
        now.insert(name, &value);
    TRDictionary made;
    made.reserve(qsizetype(order.size()));
    for (const QString &name : order) {
        const auto found = now.constFind(name);
        made.insert(name, found != now.cend() ? **found : was.value(name));
    }
    return TRValue::fromDictionary(std::move(made));
}

int TRDomainController::outlineViewNumberOfChildrenOfItem(const TRKey *item) const
{
    return item ? item->count() : rootKey()->count();
}

TRKeyPtr TRDomainController::outlineViewChildOfItem(int index, const TRKey *item) const
{
    return item ? item->childAtIndex(index) : rootKey()->childAtIndex(index);
}

bool TRDomainController::outlineViewIsItemExpandable(const TRKey *item) const
{
    return item ? item->isCompound() : false;
}

QVariant TRDomainController::outlineViewObjectValueForTableColumn(const QString &identifier,
                                                                  const TRKey *item) const
{
    if (!item)
        return QVariant();
    if (identifier == QLatin1String("keyName"))
        return item->nameDescription();
    if (identifier == QLatin1String("keyType"))
        return item->typeName();
    if (identifier == QLatin1String("keyValue"))
        return item->valueDescription();
    return QVariant();
}

TRKeyOutlineModel *TRDomainController::outlineModel()
{
    if (!m_outlineModel) {
        m_outlineModel = std::make_unique<TRKeyOutlineModel>(this);
        m_outlineModel->setDragHandler(m_dragHandler);
    }
    return m_outlineModel.get();
}

void TRDomainController::setOutlineDragHandler(std::shared_ptr<TRKeyOutlineDragHandler> handler)
{
    m_dragHandler = std::move(handler);
    if (m_outlineModel)
        m_outlineModel->setDragHandler(m_dragHandler);
}

bool TRDomainController::holdsParentOf(const TRKey &key) const
{
    const TRKeyPtr parent = key.parent();
    if (!parent || key.domain() != m_name)
        return false;
    const TRKey *top = parent.get();
    for (TRKeyPtr up = parent->parent(); up; up = up->parent())
        top = up.get();
    return top == rootKey().get();
}

bool TRDomainController::edit(TRKey &parent, const TRKey &child, bool changesNames,
                              const std::function<TRKey::Edit(const TRKey::EditObserver &)> &mutate)
{
    TRKeyOutlineModel *model = m_outlineModel.get();
    TRKey::Edit done;
    if (model) {
        done = mutate([&](const TRKey::Edit &planned) { model->beginEdit(&parent, planned); });
        model->endEdit(done);
    } else {
        done = mutate({});
    }
    if (done.kind == TRKey::Edit::Kind::None)
        return false;
    noteChanged(parent, child, changesNames);
    setModified(true);
    return true;
}

void TRDomainController::noteChanged(const TRKey &parent, const TRKey &child, bool changesNames)
{
    // With no base the next snapshot takes the whole tree anyway.
    if (m_base.isNone())
        return;
    if (&parent == m_root.get()) {
        m_changedSinceBase.insert(child.name().toString());
        m_keysChangedSinceBase = m_keysChangedSinceBase || changesNames;
        return;
    }
    // Below the top level the top-level key it is in changed as a whole.
    TRKeyPtr topLevel = parent.parent();
    const TRKey *inside = &parent;
    while (topLevel && topLevel != m_root) {
        inside = topLevel.get();
        topLevel = topLevel->parent();
    }
    if (topLevel)
        m_changedSinceBase.insert(inside->name().toString());
    else
        m_base = TRValue();
}

bool TRDomainController::insertKey(const TRKeyPtr &key)
{
    if (!key || !holdsParentOf(*key))
        return false;
    const TRKeyPtr parent = key->parent();
    if (parent->isDictionary() && parent->keyExists(key->name()))
        return false;
    return edit(*parent, *key, true,
                [&](const TRKey::EditObserver &before) { return parent->addKey(key, before); });
}

bool TRDomainController::takeKey(const TRKeyPtr &key)
{
    if (!key || !holdsParentOf(*key))
        return false;
    const TRKeyPtr parent = key->parent();
    // A dictionary finds its entry by name: the very node must stand there.
    if (parent->isDictionary() && parent->childForName(key->name()) != key)
        return false;
    return edit(*parent, *key, true,
                [&](const TRKey::EditObserver &before) { return parent->removeKey(key, before); });
}

bool TRDomainController::replaceKey(const TRKeyPtr &oldKey, const TRKeyPtr &newKey)
{
    if (!oldKey || !newKey || oldKey->domain() != newKey->domain() || oldKey->parent() != newKey->parent() ||
        !holdsParentOf(*oldKey))
        return false;
    const TRKeyPtr parent = oldKey->parent();
    if (parent->isDictionary() && parent->childForName(oldKey->name()) != oldKey)
        return false;
    const bool rename = parent->isDictionary() && newKey->name() != oldKey->name();
    return edit(*parent, *newKey, rename, [&](const TRKey::EditObserver &before) {
        return rename ? parent->renameKey(oldKey, newKey, before)
                      : parent->replaceKey(oldKey, newKey, before);
    });
}
