#include "TRKeyOutlineModel.h"

#include "StoreTestSupport.h"
#include "TRDomainController.h"
#include "store/TRDefaultsStore.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using storetest::everyKindDictionary;

namespace {

TRKeyPtr childNamed(const TRKeyPtr &node, const char *name)
{
    return node->childForName(TRValue::fromString(QString::fromLatin1(name)));
}

// Visits every row below the parent, checking each index against the data-source operations.
int visit(TRKeyOutlineModel &model, const TRDomainController &domain, const QModelIndex &parent)
{
    int rows = 0;
    const TRKey *parentKey = model.keyForIndex(parent);
    EXPECT_EQ(model.rowCount(parent), domain.outlineViewNumberOfChildrenOfItem(parentKey));
    for (int row = 0; row < model.rowCount(parent); ++row) {
        ++rows;
        const TRKeyPtr key = domain.outlineViewChildOfItem(row, parentKey);
        for (int column = 0; column < model.columnCount(parent); ++column) {
            const QModelIndex index = model.index(row, column, parent);
            EXPECT_EQ(model.keyForIndex(index), key.get());
            EXPECT_EQ(model.parent(index), parent);
            EXPECT_EQ(model.data(index), domain.outlineViewObjectValueForTableColumn(
                                             TRKeyOutlineModel::columnIdentifiers().at(column), key.get()));
            EXPECT_EQ(model.indexForKey(key.get(), column), index);
        }
        const QModelIndex first = model.index(row, 0, parent);
        EXPECT_EQ(model.hasChildren(first), key->isCompound());
        EXPECT_EQ(model.flags(first).testFlag(Qt::ItemNeverHasChildren), !key->isCompound());
        rows += visit(model, domain, first);
    }
    return rows;
}

} // namespace

class KeyOutlineModel : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_previousFolder = TRDefaultsStore::standard().folder();
        TRDefaultsStore::setStandardFolder(m_dir.path());
        ASSERT_TRUE(
            TRDefaultsStore::standard().setPersistentDomain(everyKindDictionary(), QStringLiteral("com.x")));
        m_domain = std::make_unique<TRDomainController>(QStringLiteral("com.x"));
        m_model = m_domain->outlineModel();
        m_tester = std::make_unique<QAbstractItemModelTester>(
            m_model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    }
    void TearDown() override
    {
        m_tester.reset();
        m_domain.reset();
        TRDefaultsStore::setStandardFolder(m_previousFolder);
    }

    QString m_previousFolder;

    TRKeyPtr root() const { return m_domain->rootKey(); }
    TRKeyPtr leaf(const char *text) const
    {
        return TRKey::create(TRValue::fromString(QString::fromLatin1(text)),
                             TRValue::fromString(QStringLiteral("x")), nullptr, QStringLiteral("com.x"));
    }

    QTemporaryDir m_dir;
    std::unique_ptr<TRDomainController> m_domain;
    TRKeyOutlineModel *m_model = nullptr;
    std::unique_ptr<QAbstractItemModelTester> m_tester;
};

TEST_F(KeyOutlineModel, AnswersThroughTheDataSourceWithTheRootNeverARow)
{
    EXPECT_EQ(
        TRKeyOutlineModel::columnIdentifiers(),
        (QStringList{QStringLiteral("keyName"), QStringLiteral("keyType"), QStringLiteral("keyValue")}));
    EXPECT_EQ(m_model->columnCount(), 3);
    EXPECT_EQ(m_model->rowCount(), m_domain->count());
    EXPECT_FALSE(m_model->indexForKey(root().get()).isValid());
    EXPECT_EQ(visit(*m_model, *m_domain, QModelIndex()), int(trCountValues(everyKindDictionary())) - 1);
    EXPECT_FALSE(m_model->headerData(0, Qt::Horizontal).toString().isEmpty());

    // Nodes of another tree have no index here.
    const TRKeyPtr stranger = leaf("stranger");
    EXPECT_FALSE(m_model->indexForKey(stranger.get()).isValid());
}

TEST_F(KeyOutlineModel, InsertAndRemoveMoveRowsAndKeepHeldIndexes)
{
    QSignalSpy aboutToInsert(m_model, &QAbstractItemModel::rowsAboutToBeInserted);
    QSignalSpy inserted(m_model, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(m_model, &QAbstractItemModel::rowsRemoved);
    QSignalSpy reset(m_model, &QAbstractItemModel::modelReset);

    const TRKeyPtr array = childNamed(root(), "array");
    const QModelIndex arrayIndex = m_model->indexForKey(array.get());
    const QPersistentModelIndex held(m_model->index(2, 0, arrayIndex)); // the inner dictionary
    const QPersistentModelIndex deep(m_model->index(0, 2, held));
    const TRKey *heldKey = m_model->keyForIndex(held);

    const TRKeyPtr added =
        TRKey::create(TRValue::fromInteger(0), TRValue::fromInteger(5), array, QStringLiteral("com.x"));
    m_model->beginInsertKey(array.get(), 0);
    array->addKey(added, TRValue::fromInteger(0));
    m_model->endInsertKey();
    ASSERT_EQ(inserted.count(), 1);
    EXPECT_EQ(aboutToInsert.count(), 1);
    EXPECT_EQ(inserted.at(0).at(0).value<QModelIndex>(), arrayIndex);
    EXPECT_EQ(inserted.at(0).at(1).toInt(), 0);
    EXPECT_EQ(inserted.at(0).at(2).toInt(), 0);
    EXPECT_EQ(held.row(), 3);
    EXPECT_EQ(m_model->keyForIndex(held), heldKey);
    EXPECT_EQ(m_model->parent(deep), QModelIndex(held));

    m_model->beginRemoveKey(array.get(), 0);
    array->removeKey(added);
    m_model->endRemoveKey();
    ASSERT_EQ(removed.count(), 1);
    EXPECT_EQ(held.row(), 2);
    EXPECT_TRUE(deep.isValid());

    // At the top level the parent is the invisible root.
    const TRKeyPtr top = leaf("zzz");
    top->setParent(root());
    m_model->beginInsertKey(nullptr, root()->count());
    root()->addKey(top);
    m_model->endInsertKey();
    ASSERT_EQ(inserted.count(), 2);
    EXPECT_FALSE(inserted.at(1).at(0).value<QModelIndex>().isValid());
    EXPECT_EQ(m_model->rowCount(), m_domain->count());
    EXPECT_EQ(m_model->indexForKey(top.get()).row(), root()->count() - 1);
    EXPECT_EQ(reset.count(), 0);
}

TEST_F(KeyOutlineModel, ReplaceKeepsTheRowAndMapsHeldRowsBelowIt)
{
    QSignalSpy layout(m_model, &QAbstractItemModel::layoutChanged);
    QSignalSpy removed(m_model, &QAbstractItemModel::rowsRemoved);
    QSignalSpy reset(m_model, &QAbstractItemModel::modelReset);

    const TRKeyPtr array = childNamed(root(), "array");
    const int row = m_model->indexForKey(array.get()).row();
    const QPersistentModelIndex heldRow(m_model->index(row, 1));
    const QPersistentModelIndex heldFirst(m_model->index(0, 0, m_model->index(row, 0)));
    const QPersistentModelIndex heldLast(m_model->index(3, 0, m_model->index(row, 0)));
    const QPersistentModelIndex heldOther(m_model->index(row == 0 ? 1 : 0, 0));
    const TRKey *otherKey = m_model->keyForIndex(heldOther);

    const TRKeyPtr replacement =
        TRKey::create(TRValue::fromString(QStringLiteral("array")),
                      TRValue::fromArray({TRValue::fromBool(true), TRValue::fromInteger(1)}), root(),
                      QStringLiteral("com.x"));
    m_model->beginReplaceKey(root().get(), row);
    root()->replaceKey(array, replacement);
    m_model->endReplaceKey();

    EXPECT_EQ(layout.count(), 1);
    EXPECT_EQ(removed.count(), 0);
    EXPECT_EQ(reset.count(), 0);
    ASSERT_TRUE(heldRow.isValid());
    EXPECT_EQ(heldRow.row(), row);
    EXPECT_EQ(heldRow.column(), 1);
    EXPECT_EQ(m_model->keyForIndex(heldRow), replacement.get());
    EXPECT_EQ(heldRow.data().toString(), QStringLiteral("Array"));
    ASSERT_TRUE(heldFirst.isValid());
    EXPECT_EQ(m_model->keyForIndex(heldFirst), replacement->childAtIndex(0).get());
    EXPECT_EQ(heldFirst.parent(), m_model->index(row, 0));
    EXPECT_FALSE(heldLast.isValid()); // the new array has no fourth element
    EXPECT_EQ(m_model->keyForIndex(heldOther), otherKey);
    EXPECT_EQ(visit(*m_model, *m_domain, QModelIndex()),
              int(trCountValues(m_domain->databaseRepresentation())) - 1);
}

TEST_F(KeyOutlineModel, ReloadIsAReset)
{
    QSignalSpy reset(m_model, &QAbstractItemModel::modelReset);
    ASSERT_TRUE(TRDefaultsStore::standard().setPersistentDomain(storetest::simpleDictionary(3),
                                                                QStringLiteral("com.x")));
    m_domain->reloadDomain();
    EXPECT_EQ(reset.count(), 1);
    EXPECT_EQ(m_model->rowCount(), 3);
    EXPECT_EQ(visit(*m_model, *m_domain, QModelIndex()), 3);
}

TEST_F(KeyOutlineModel, ParentsStayRightWhenRowsMoveUnderThem)
{
    // Many compound siblings: the row of a parent is found by lookup, and found again after a shift.
    TRDictionary entries;
    for (int i = 0; i < 500; ++i)
        entries.insert(QStringLiteral("group %1").arg(i, 3, 10, QChar(u'0')),
                       TRValue::fromDictionary(storetest::simpleDictionary(2).toDictionary()));
    ASSERT_TRUE(TRDefaultsStore::standard().setPersistentDomain(TRValue::fromDictionary(entries),
                                                                QStringLiteral("com.x")));
    m_domain->reloadDomain();
    const QModelIndex child = m_model->index(1, 0, m_model->index(400, 0));
    EXPECT_EQ(m_model->parent(child).row(), 400);

    // An array at the top shifts nothing in a dictionary; use the dictionary's own order instead:
    // removing the first group moves every other one up by a row.
    const TRKeyPtr first = root()->childAtIndex(0);
    m_model->beginRemoveKey(nullptr, 0);
    root()->removeKey(first);
    m_model->endRemoveKey();
    const TRKeyPtr group = root()->childAtIndex(399);
    const QModelIndex again = m_model->index(1, 0, m_model->indexForKey(group.get()));
    EXPECT_EQ(m_model->parent(again).row(), 399);
    EXPECT_EQ(m_model->keyForIndex(m_model->parent(again)), group.get());
}

TEST_F(KeyOutlineModel, ReplacingALeafRepaintsTheRowOrLaysOutItsNewChildren)
{
    // A leaf by a leaf keeps every index and only changes the row's data; a leaf by a compound node
    // also tells views to lay the parent out again, as the row gains children.
    struct Case
    {
        const char *name;
        TRValue value;
        int layouts;
        int children;
    };
    const TRKeyPtr array = childNamed(root(), "array");
    const Case cases[] = {
        {"string", TRValue::fromString(QStringLiteral("new")), 0, 0},
        {"date", TRValue::fromArray({TRValue::fromInteger(1), TRValue::fromInteger(2)}), 1, 2},
    };
    for (const Case &c : cases) {
        QSignalSpy data(m_model, &QAbstractItemModel::dataChanged);
        QSignalSpy layout(m_model, &QAbstractItemModel::layoutChanged);
        QSignalSpy removed(m_model, &QAbstractItemModel::rowsRemoved);
        const TRKeyPtr old = childNamed(root(), c.name);
        const QModelIndex index = m_model->indexForKey(old.get(), TRKeyOutlineModel::ValueColumn);
        const QPersistentModelIndex held(index);
        const QPersistentModelIndex inArray(m_model->index(1, 0, m_model->indexForKey(array.get())));
        const TRKeyPtr replacement = TRKey::create(TRValue::fromString(QString::fromLatin1(c.name)), c.value,
                                                   root(), QStringLiteral("com.x"));
        m_model->beginReplaceKey(root().get(), index.row());
        root()->replaceKey(old, replacement);
        m_model->endReplaceKey();

        ASSERT_EQ(data.count(), 1) << c.name;
        EXPECT_EQ(data.at(0).at(0).value<QModelIndex>(), index.siblingAtColumn(0));
        EXPECT_EQ(data.at(0).at(1).value<QModelIndex>(), index);
        EXPECT_EQ(layout.count(), c.layouts) << c.name;
        EXPECT_EQ(removed.count(), 0);
        EXPECT_EQ(QModelIndex(held), index);
        EXPECT_EQ(m_model->keyForIndex(held), replacement.get());
        EXPECT_EQ(held.data(), replacement->valueDescription());
        EXPECT_EQ(m_model->rowCount(held.sibling(held.row(), 0)), c.children);
        EXPECT_EQ(m_model->keyForIndex(inArray), array->childAtIndex(1).get());
    }
    EXPECT_EQ(visit(*m_model, *m_domain, QModelIndex()),
              int(trCountValues(m_domain->databaseRepresentation())) - 1);
}
