#include "TRPreferences.h"

#include "TRDefaultsStore.h"

TRPreferences::TRPreferences(TRDefaultsStore &store, const QString &domainName)
    : m_store(store), m_domainName(domainName), m_initialValues(TRValue::fromDictionary({}))
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
    return m_store.updatePersistentDomain(
        m_domainName,
        [&key, &value](const TRValue &stored) {
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
            return TRValue::fromDictionary(std::move(entries));
        },
        error);
}
