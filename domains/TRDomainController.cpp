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
    return m_root && !m_keepsContents ? m_root->databaseRepresentation() : contents();
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

bool TRDomainController::edit(TRKey &parent,
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
    setModified(true);
    return true;
}

bool TRDomainController::insertKey(const TRKeyPtr &key)
{
    if (!key || !holdsParentOf(*key))
        return false;
    const TRKeyPtr parent = key->parent();
    if (parent->isDictionary() && parent->keyExists(key->name()))
        return false;
    return edit(*parent, [&](const TRKey::EditObserver &before) { return parent->addKey(key, before); });
}

bool TRDomainController::takeKey(const TRKeyPtr &key)
{
    if (!key || !holdsParentOf(*key))
        return false;
    const TRKeyPtr parent = key->parent();
    // A dictionary finds its entry by name: the very node must stand there.
    if (parent->isDictionary() && parent->childForName(key->name()) != key)
        return false;
    return edit(*parent, [&](const TRKey::EditObserver &before) { return parent->removeKey(key, before); });
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
    return edit(*parent, [&](const TRKey::EditObserver &before) {
        return rename ? parent->renameKey(oldKey, newKey, before)
                      : parent->replaceKey(oldKey, newKey, before);
    });
}
