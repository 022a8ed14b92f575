// Several keys selected in the outline: Delete key asks once naming the count and deletes them in one undo
// step (AutoSave saving once), a key inside a selected one goes with it, and the commands on one key act on
// the current row.
#include "KeyTestSupport.h"
#include "TRUndoManager.h"
#include "store/TRPreferences.h"

namespace {

const QString kDomain = QStringLiteral("org.example.many");

TRValue sample()
{
    TRDictionary inner;
    inner.insert(QStringLiteral("inner"), TRValue::fromInteger(1));
    TRDictionary top;
    top.insert(QStringLiteral("a"), TRValue::fromString(QStringLiteral("x")));
    top.insert(QStringLiteral("d"), TRValue::fromDictionary(std::move(inner)));
    top.insert(QStringLiteral("l"), TRValue::fromArray({TRValue::fromInteger(0), TRValue::fromInteger(1),
                                                        TRValue::fromInteger(2), TRValue::fromInteger(3)}));
    top.insert(QStringLiteral("z"), TRValue::fromBool(true));
    return TRValue::fromDictionary(std::move(top));
}

class MultipleSelection : public KeyTest
{
protected:
    void select(const QList<QStringList> &paths)
    {
        outline()->selectionModel()->clear();
        for (const QStringList &path : paths)
            outline()->selectionModel()->select(indexOf(path),
                                                QItemSelectionModel::Select | QItemSelectionModel::Rows);
        settle();
    }
};

} // namespace

TEST_F(MultipleSelection, DeleteKeyDeletesEverySelectedKeyInOneStep)
{
    startShowing(kDomain, sample());
    const TRValue before = rootValue();
    outline()->expand(indexOf({QStringLiteral("l")}));
    outline()->expand(indexOf({QStringLiteral("d")}));
    // d's child goes with d; two list elements, a top-level leaf.
    select({{QStringLiteral("a")},
            {QStringLiteral("d")},
            {QStringLiteral("d"), QStringLiteral("inner")},
            {QStringLiteral("l"), QStringLiteral("Item #1")},
            {QStringLiteral("l"), QStringLiteral("Item #2")}});
    EXPECT_EQ(m_controller->selectedKeys().size(), 4U);

    // "No" changes nothing.
    TRAlert::setNextAnswer(TRAlert::kDefault);
    trigger("actionDeleteKey");
    settle();
    ASSERT_EQ(alertTitles(), QStringList{QStringLiteral("About to delete keys")});
    EXPECT_EQ(TRAlert::shownAlerts().first().message,
              QStringLiteral("The 4 selected keys are about to be deleted. Do you confirm?"));
    EXPECT_EQ(rootValue(), before);

    ASSERT_TRUE(TRPreferences::shared().setValue(QString::fromLatin1(TRAppController::kAutoSave),
                                                 TRValue::fromBool(true)));
    deleteSelectedKey();
    TRDictionary left;
    left.insert(QStringLiteral("l"), TRValue::fromArray({TRValue::fromInteger(0), TRValue::fromInteger(3)}));
    left.insert(QStringLiteral("z"), TRValue::fromBool(true));
    const TRValue after = TRValue::fromDictionary(std::move(left));
    EXPECT_EQ(rootValue(), after);
    EXPECT_EQ(storedDomain(kDomain), after);
    EXPECT_FALSE(domain(kDomain)->modified());
    EXPECT_EQ(undoNames(), QStringList{QStringLiteral("Delete keys")});

    // Undo brings every key back, the list in its order.
    trigger("actionUndo");
    EXPECT_EQ(rootValue(), before);
    EXPECT_EQ(redoNames(), QStringList{QStringLiteral("Delete keys")});
    EXPECT_TRUE(undoNames().isEmpty());
    trigger("actionRedo");
    EXPECT_EQ(rootValue(), after);
    EXPECT_EQ(undoNames(), QStringList{QStringLiteral("Delete keys")});
}

TEST_F(MultipleSelection, SingleKeyCommandsActOnTheCurrentRow)
{
    startShowing(kDomain, sample());
    outline()->expand(indexOf({QStringLiteral("d")}));
    select({{QStringLiteral("a")}, {QStringLiteral("d")}});
    outline()->selectionModel()->setCurrentIndex(indexOf({QStringLiteral("d")}),
                                                 QItemSelectionModel::NoUpdate);
    // New key goes into the expanded current dictionary, not beside the first selected key.
    newKey(QStringLiteral("child"), 4);
    EXPECT_TRUE(rootValue()
                    .toDictionary()
                    .value(QStringLiteral("d"))
                    .toDictionary()
                    .contains(QStringLiteral("child")));

    // Edit key edits the current row; with the current row deselected, the first selected one.
    select({{QStringLiteral("a")}, {QStringLiteral("z")}});
    outline()->selectionModel()->setCurrentIndex(indexOf({QStringLiteral("z")}),
                                                 QItemSelectionModel::NoUpdate);
    EXPECT_EQ(m_controller->selectedKey()->name(), TRValue::fromString(QStringLiteral("z")));
    outline()->selectionModel()->setCurrentIndex(indexOf({QStringLiteral("l")}),
                                                 QItemSelectionModel::NoUpdate);
    EXPECT_EQ(m_controller->selectedKey()->name(), TRValue::fromString(QStringLiteral("a")));

    // One key selected: the single-key question as before.
    select({{QStringLiteral("z")}});
    TRAlert::setNextAnswer(TRAlert::kDefault);
    trigger("actionDeleteKey");
    settle();
    EXPECT_EQ(alertTitles().last(), QStringLiteral("About to delete a key"));
}
