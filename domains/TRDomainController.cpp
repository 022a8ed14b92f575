#include "TRDomainController.h"

#include "TRKeyOutlineModel.h"
#include "store/TRDefaultsStore.h"

TRValue TRDomainController::loadDomainForName(const QString &name)
{
    const TRValue contents = TRDefaultsStore::standard().persistentDomainForName(name);
    return contents.isDictionary() ? contents : TRValue::fromDictionary({});
}

TRDomainController::TRDomainController(const QString &name, const TRValue &contents, QObject *contentsView)
    : m_name(name)
    , m_rootKey(TRKey::create(TRValue(), contents.isDictionary() ? contents : TRValue::fromDictionary({}), nullptr,
                              m_name))
    , m_domainContentsView(contentsView)
{
    setModified(false);
}

TRDomainController::TRDomainController(const QString &name, QObject *contentsView)
    : TRDomainController(name, loadDomainForName(name), contentsView)
{
}

TRDomainController::TRDomainController(const QString &name, const TRKeyPtr &rootKey)
    : m_name(name)
    , m_rootKey(rootKey ? rootKey : TRKey::create(TRValue(), TRValue::fromDictionary({}), nullptr, name))
{
}

TRDomainController::~TRDomainController() = default;

void TRDomainController::reloadDomain()
{
    if (m_outlineModel)
        m_outlineModel->beginResetTree();
    m_rootKey = TRKey::create(TRValue(), loadDomainForName(m_name), nullptr, m_name);
    setModified(false);
    if (m_outlineModel)
        m_outlineModel->endResetTree();
}

int TRDomainController::count() const
{
    return m_rootKey->count();
}

TRValue TRDomainController::databaseRepresentation() const
{
    return m_rootKey->databaseRepresentation();
}

int TRDomainController::outlineViewNumberOfChildrenOfItem(const TRKey *item) const
{
    return item ? item->count() : m_rootKey->count();
}

TRKeyPtr TRDomainController::outlineViewChildOfItem(int index, const TRKey *item) const
{
    return item ? item->childAtIndex(index) : m_rootKey->childAtIndex(index);
}

bool TRDomainController::outlineViewIsItemExpandable(const TRKey *item) const
{
    return item ? item->isCompound() : false;
}

QVariant TRDomainController::outlineViewObjectValueForTableColumn(const QString &identifier, const TRKey *item) const
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
    if (!m_outlineModel)
        m_outlineModel = std::make_unique<TRKeyOutlineModel>(this);
    return m_outlineModel.get();
}
