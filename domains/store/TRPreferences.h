#pragma once

#include "TRValue.h"

#include <QString>

class TRDefaultsStore;

// The application's own preferences: the "tamrix" domain of the defaults store, over initial values
// registered at start-up. Initial values are what a reader gets while the user has stored no value of
// its own; they are never written. Values set here are written to the domain at once.
class TRPreferences final
{
public:
    static constexpr const char *kDomainName = "tamrix";

    explicit TRPreferences(TRDefaultsStore &store,
                           const QString &domainName = QString::fromLatin1(kDomainName));

    // The preferences of this process, over the shared store.
    static TRPreferences &shared();

    QString domainName() const { return m_domainName; }

    // setInitialValues: a dictionary of key to initial value; replaces any earlier registration.
    void setInitialValues(const TRValue &dictionary);
    TRValue initialValues() const { return m_initialValues; }

    // The stored value, else the initial value, else none.
    TRValue value(const QString &key) const;
    // The value read as a truth value: a number is true when not 0, a text by its leading character.
    bool boolValue(const QString &key) const;
    // Writes the value into the domain at once. A none value removes the user's own value.
    bool setValue(const QString &key, const TRValue &value, QString *error = nullptr);

private:
    TRDefaultsStore &m_store;
    QString m_domainName;
    TRValue m_initialValues;
};
