#include "TRDomainController.h"

#include "StoreTestSupport.h"
#include "store/TRDefaultsStore.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using storetest::everyKindDictionary;
using storetest::simpleDictionary;

// Domain controllers over the shared store, pointed at a private folder.
class DomainController : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_previousFolder = TRDefaultsStore::standard().folder();
        TRDefaultsStore::setStandardFolder(m_dir.path());
    }
    void TearDown() override { TRDefaultsStore::setStandardFolder(m_previousFolder); }

    TRDefaultsStore &store() { return TRDefaultsStore::standard(); }

    QString m_previousFolder;

    QTemporaryDir m_dir;
};

TEST_F(DomainController, AbsentDomainIsEmptyAndUnmodified)
{
    EXPECT_EQ(TRDomainController::loadDomainForName(QStringLiteral("nobody")), TRValue::fromDictionary({}));
    TRDomainController domain(QStringLiteral("nobody"));
    EXPECT_EQ(domain.name(), QStringLiteral("nobody"));
    EXPECT_EQ(domain.count(), 0);
    EXPECT_FALSE(domain.modified());
    EXPECT_EQ(domain.databaseRepresentation(), TRValue::fromDictionary({}));
    EXPECT_EQ(domain.rootKey()->domain(), QStringLiteral("nobody"));
    EXPECT_TRUE(domain.rootKey()->name().isNone());
    EXPECT_FALSE(domain.rootKey()->parent());
}

TEST_F(DomainController, LoadsFromTheStoreAndCountsTopLevelKeysOnly)
{
    ASSERT_TRUE(store().setPersistentDomain(everyKindDictionary(), QStringLiteral("com.x")));
    TRDomainController domain(QStringLiteral("com.x"));
    EXPECT_EQ(domain.count(), everyKindDictionary().toDictionary().size());
    EXPECT_EQ(domain.databaseRepresentation(), everyKindDictionary());
    EXPECT_FALSE(domain.modified());
    // Every node carries the domain's name.
    const TRKeyPtr array = domain.rootKey()->childForName(TRValue::fromString(QStringLiteral("array")));
    ASSERT_TRUE(array);
    EXPECT_EQ(array->childAtIndex(2)->domain(), QStringLiteral("com.x"));
}

TEST_F(DomainController, BuiltFromContentsAndFromARoot)
{
    TRDomainController fromContents(QStringLiteral("new"), simpleDictionary(4));
    EXPECT_EQ(fromContents.count(), 4);
    EXPECT_FALSE(fromContents.modified());
    fromContents.setModified(true);
    EXPECT_TRUE(fromContents.modified());

    const TRKeyPtr root = TRKey::create(TRValue(), simpleDictionary(2), nullptr, QStringLiteral("restored"));
    TRDomainController restored(QStringLiteral("restored"), root);
    EXPECT_EQ(restored.rootKey(), root);
}

TEST_F(DomainController, ReloadTakesTheStoreAsItNowIs)
{
    ASSERT_TRUE(store().setPersistentDomain(simpleDictionary(2), QStringLiteral("d")));
    TRDomainController domain(QStringLiteral("d"));
    domain.rootKey()->removeKey(domain.rootKey()->childAtIndex(0));
    domain.setModified(true);
    ASSERT_TRUE(store().setPersistentDomain(simpleDictionary(5), QStringLiteral("d")));
    ASSERT_TRUE(store().synchronize());
    domain.reloadDomain();
    EXPECT_EQ(domain.databaseRepresentation(), simpleDictionary(5));
    EXPECT_FALSE(domain.modified());

    ASSERT_TRUE(store().removePersistentDomainForName(QStringLiteral("d")));
    domain.reloadDomain();
    EXPECT_EQ(domain.count(), 0);
}

TEST_F(DomainController, AnswersTheOutlineDataSourceQuestions)
{
    ASSERT_TRUE(store().setPersistentDomain(everyKindDictionary(), QStringLiteral("com.x")));
    const TRDomainController domain(QStringLiteral("com.x"));
    EXPECT_EQ(domain.outlineViewNumberOfChildrenOfItem(nullptr), domain.count());
    EXPECT_FALSE(domain.outlineViewIsItemExpandable(nullptr));
    const TRKeyPtr first = domain.outlineViewChildOfItem(0, nullptr);
    ASSERT_TRUE(first);
    EXPECT_EQ(first, domain.rootKey()->childAtIndex(0));
    EXPECT_FALSE(domain.outlineViewChildOfItem(domain.count(), nullptr));

    // A leaf: not expandable, no children; its three cells.
    EXPECT_FALSE(domain.outlineViewIsItemExpandable(first.get()));
    EXPECT_EQ(domain.outlineViewNumberOfChildrenOfItem(first.get()), 0);
    EXPECT_EQ(domain.outlineViewObjectValueForTableColumn(QStringLiteral("keyName"), first.get()).toString(),
              QStringLiteral("string"));
    EXPECT_EQ(domain.outlineViewObjectValueForTableColumn(QStringLiteral("keyType"), first.get()).toString(),
              QStringLiteral("String"));
    EXPECT_EQ(domain.outlineViewObjectValueForTableColumn(QStringLiteral("keyValue"), first.get()).toString(),
              QStringLiteral("hello <&> world"));
    for (const QString &other : {QStringLiteral("KeyName"), QStringLiteral("modified"), QString()})
        EXPECT_FALSE(domain.outlineViewObjectValueForTableColumn(other, first.get()).isValid());

    // A compound node.
    const TRKeyPtr array = domain.rootKey()->childForName(TRValue::fromString(QStringLiteral("array")));
    EXPECT_TRUE(domain.outlineViewIsItemExpandable(array.get()));
    EXPECT_EQ(domain.outlineViewNumberOfChildrenOfItem(array.get()), 4);
    EXPECT_EQ(domain.outlineViewChildOfItem(3, array.get()), array->childAtIndex(3));
    EXPECT_EQ(
        domain.outlineViewObjectValueForTableColumn(QStringLiteral("keyName"), array->childAtIndex(1).get())
            .toString(),
        QStringLiteral("Item #1"));
}

TEST_F(DomainController, TreeIsBuiltOnceAndKeptUntilReload)
{
    ASSERT_TRUE(store().setPersistentDomain(everyKindDictionary(), QStringLiteral("lazy")));
    TRDomainController domain(QStringLiteral("lazy"));
    // Count and representation answer the same before and after the tree exists.
    const int count = domain.count();
    EXPECT_EQ(domain.databaseRepresentation(), everyKindDictionary());
    const TRKeyPtr root = domain.rootKey();
    EXPECT_EQ(domain.rootKey(), root);
    EXPECT_EQ(domain.count(), count);
    EXPECT_EQ(root->count(), count);
    EXPECT_EQ(domain.databaseRepresentation(), everyKindDictionary());

    // Changes made through the tree are what the domain holds from then on.
    root->removeKey(root->childAtIndex(0));
    EXPECT_EQ(domain.count(), count - 1);
    EXPECT_EQ(domain.databaseRepresentation().toDictionary().size(), count - 1);

    domain.reloadDomain();
    EXPECT_EQ(domain.count(), count);
    EXPECT_NE(domain.rootKey(), root);
    EXPECT_EQ(domain.databaseRepresentation(), everyKindDictionary());
}
