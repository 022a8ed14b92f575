#include "TRPreferences.h"

#include "TRDefaultsStore.h"

TRPreferences::TRPreferences(TRDefaultsStore &store, const QString &domainName)
    : m_store(store)
    , m_domainName(domainName)
    , m_initialValues(TRValue::fromDictionary({}))
{
}

TRPreferences &TRPreferences::shared()
{
    static TRPreferences preferences(TRDefaultsStore::standard());
    return preferences;
}

void TRPreferences::setInitialValues(const TRValue &dictionary)
{
    m_initialValues = dictionary.isDictionary() ? dictionary : TRValue::fromDictionary({});
}

TRValue TRPreferences::value(const QString &key) const
{
    const TRValue stored = m_store.persistentDomainForName(m_domainName);
    if (stored.isDictionary()) {
        const TRValue own = stored.toDictionary().value(key);
        if (!own.isNone())
            return own;
    }
    return m_initialValues.toDictionary().value(key);
}

bool TRPreferences::boolValue(const QString &key) const
{
    return value(key).boolValue();
}

bool TRPreferences::setValue(const QString &key, const TRValue &value, QString *error)
{
    const TRValue stored = m_store.persistentDomainForName(m_domainName);
    TRDictionary entries;
    if (stored.isDictionary()) {
        entries.reserve(stored.toDictionary().size() + 1);
        for (const auto &[existingKey, existingValue] : stored.toDictionary()) {
            if (existingKey != key || !value.isNone())
                entries.insert(existingKey, existingValue);
        }
    }
    if (!value.isNone())
        entries.insert(key, value);
    if (entries.isEmpty())
        return m_store.removePersistentDomainForName(m_domainName, error);
    return m_store.setPersistentDomain(TRValue::fromDictionary(std::move(entries)), m_domainName, error);
}
