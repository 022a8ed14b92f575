#pragma once

#include "TRValue.h"

#include <QString>

// The application's own preferences, kept in its domain ("tamrix") of the shared store: initial values
// answer while the user has stored nothing and are never written; set values are written at once.
class TRAppPreferences final
{
public:
    static TRAppPreferences &shared();
    static QString domainName();

    void setInitialValues(const TRDictionary &initialValues);
    // The stored value, else the initial value, else none.
    TRValue value(const QString &key) const;
    // Read as a truth value: a number other than 0, true, or a text that reads as true.
    bool boolValue(const QString &key) const;
    bool setValue(const QString &key, const TRValue &value, QString *error = nullptr);

private:
    TRValue m_initialValues;
};
