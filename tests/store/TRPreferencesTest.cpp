#include "store/TRPreferences.h"

#include "StoreTestSupport.h"
#include "store/TRDefaultsStore.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TRValue initialValues()
{
    TRDictionary values;
    values.insert(QStringLiteral("DomainSearch"), TRValue::fromInteger(0));
    values.insert(QStringLiteral("KeySearch"), TRValue::fromInteger(0));
    values.insert(QStringLiteral("AutoSave"), TRValue::fromBool(false));
    values.insert(QStringLiteral("LookInValues"), TRValue::fromBool(true));
    return TRValue::fromDictionary(values);
}

} // namespace

TEST(TRPreferences, InitialValuesAreReadButNeverWritten)
{
    QTemporaryDir dir;
    TRDefaultsStore store(dir.path());
    TRPreferences preferences(store);
    preferences.setInitialValues(initialValues());
    EXPECT_EQ(preferences.domainName(), QStringLiteral("tamrix"));
    EXPECT_FALSE(preferences.boolValue(QStringLiteral("AutoSave")));
    EXPECT_TRUE(preferences.boolValue(QStringLiteral("LookInValues")));
    EXPECT_EQ(preferences.value(QStringLiteral("KeySearch")), TRValue::fromInteger(0));
    EXPECT_TRUE(preferences.value(QStringLiteral("Unknown")).isNone());
    EXPECT_FALSE(preferences.boolValue(QStringLiteral("Unknown")));
    EXPECT_TRUE(store.persistentDomainNames().isEmpty());
}

TEST(TRPreferences, SetValuesAreWrittenAtOnceAndReadAsTruthValues)
{
    QTemporaryDir dir;
    TRDefaultsStore store(dir.path());
    TRPreferences preferences(store);
    preferences.setInitialValues(initialValues());

    ASSERT_TRUE(preferences.setValue(QStringLiteral("DomainSearch"), TRValue::fromInteger(2)));
    ASSERT_TRUE(preferences.setValue(QStringLiteral("AutoSave"), TRValue::fromBool(true)));
    ASSERT_TRUE(preferences.setValue(QStringLiteral("LookInValues"), TRValue::fromInteger(0)));
    EXPECT_TRUE(preferences.boolValue(QStringLiteral("DomainSearch"))); // any integer but 0 is true
    EXPECT_TRUE(preferences.boolValue(QStringLiteral("AutoSave")));
    EXPECT_FALSE(preferences.boolValue(QStringLiteral("LookInValues")));

    // The domain on disk holds exactly what was set, not the initial values.
    TRDefaultsStore other(dir.path());
    const TRValue stored = other.persistentDomainForName(QStringLiteral("tamrix"));
    ASSERT_TRUE(stored.isDictionary());
    EXPECT_EQ(stored.toDictionary().size(), 3);
    EXPECT_EQ(stored.toDictionary().value(QStringLiteral("DomainSearch")), TRValue::fromInteger(2));
    EXPECT_FALSE(stored.toDictionary().contains(QStringLiteral("KeySearch")));

    // Another writer's change is seen by the next read.
    TRPreferences second(other);
    ASSERT_TRUE(second.setValue(QStringLiteral("AutoSave"), TRValue::fromBool(false)));
    EXPECT_FALSE(preferences.boolValue(QStringLiteral("AutoSave")));

    // Removing the user's own values brings the initial ones back; the last one removes the domain.
    for (const QString &key :
         {QStringLiteral("DomainSearch"), QStringLiteral("AutoSave"), QStringLiteral("LookInValues")})
        ASSERT_TRUE(preferences.setValue(key, TRValue()));
    EXPECT_TRUE(preferences.boolValue(QStringLiteral("LookInValues")));
    EXPECT_TRUE(store.persistentDomainNames().isEmpty());
}

TEST(TRPreferences, KeepsOtherKeysOfTheDomainAndTheirOrder)
{
    QTemporaryDir dir;
    TRDefaultsStore store(dir.path());
    ASSERT_TRUE(store.setPersistentDomain(storetest::simpleDictionary(3), QStringLiteral("tamrix")));
    TRPreferences preferences(store);
    ASSERT_TRUE(preferences.setValue(QStringLiteral("k1"), TRValue::fromBool(true)));
    const TRDictionary stored = store.persistentDomainForName(QStringLiteral("tamrix")).toDictionary();
    ASSERT_EQ(stored.size(), 3);
    EXPECT_EQ(stored.keyAt(1), QStringLiteral("k1"));
    EXPECT_EQ(stored.valueAt(1), TRValue::fromBool(true));
    EXPECT_EQ(stored.value(QStringLiteral("k2")), TRValue::fromString(QStringLiteral("v2")));
}
