#include "TRAppPreferences.h"

#include "store/TRDefaultsStore.h"

TRAppPreferences &TRAppPreferences::shared()
{
    static TRAppPreferences instance;
    return instance;
}

QString TRAppPreferences::domainName()
{
    return QStringLiteral("tamrix");
}

void TRAppPreferences::setInitialValues(const TRDictionary &initialValues)
{
    m_initialValues = TRValue::fromDictionary(initialValues);
}

TRValue TRAppPreferences::value(const QString &key) const
{
    const TRValue stored = TRDefaultsStore::standard().persistentDomainForName(domainName());
    if (stored.isDictionary()) {
        TRValue value = stored.toDictionary().value(key);
        if (!value.isNone())
            return value;
    }
    return m_initialValues.toDictionary().value(key);
}

bool TRAppPreferences::boolValue(const QString &key) const
{
    return value(key).boolValue();
}

bool TRAppPreferences::setValue(const QString &key, const TRValue &value, QString *error)
{
    TRDefaultsStore &store = TRDefaultsStore::standard();
    const TRValue stored = store.persistentDomainForName(domainName());
    TRDictionary contents;
    if (stored.isDictionary())
        contents = stored.toDictionary();
    contents.insert(key, value);
    return store.setPersistentDomain(TRValue::fromDictionary(std::move(contents)), domainName(), error);
}
