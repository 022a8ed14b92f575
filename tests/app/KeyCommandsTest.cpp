// Key commands through the real main window: New key, Edit key, Delete key, their undo and redo, AutoSave
// and the key search.
#include "AppTestFixture.h"
#include "KeyTestSupport.h"
#include "TRUndoManager.h"
#include "store/TRPreferences.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QTreeView>

namespace {

TRValue sample()
{
    TRDictionary inner;
    inner.insert(QStringLiteral("inner"), TRValue::fromInteger(1));
    TRDictionary top;
    top.insert(QStringLiteral("a"), str("x"));
    top.insert(QStringLiteral("d"), TRValue::fromDictionary(std::move(inner)));
    top.insert(QStringLiteral("l"), TRValue::fromArray({str("l0"), str("l1"), str("l2")}));
    return TRValue::fromDictionary(std::move(top));
}

const QString kDomain = QStringLiteral("org.example.keys");

} // namespace

TEST_F(KeyTest, NewKeyChoosesItsParentFromTheSelection)
{
    storeDomain(kDomain, sample());
    start();
    newDomain(QStringLiteral("empty"));
    selectDomain(kDomain);

    // No row selected: a top-level key.
    newKey(QStringLiteral("top"), 4);
    EXPECT_EQ(keysOf(rootValue()).last(), QStringLiteral("top"));

    // A collapsed dictionary selected: its sibling.
    selectKey({QStringLiteral("d")});
    newKey(QStringLiteral("beside"), 5);
    EXPECT_TRUE(rootValue().toDictionary().value(QStringLiteral("beside")).isDictionary());

    // Expanded: its child, after the value sheet.
    outline()->expand(indexOf({QStringLiteral("d")}));
    selectKey({QStringLiteral("d")});
    newKey(QStringLiteral("child"), 0, [](QDialog *sheet) { setString(sheet, QStringLiteral("typed")); });
    EXPECT_EQ(
        rootValue().toDictionary().value(QStringLiteral("d")).toDictionary().value(QStringLiteral("child")),
        str("typed"));

    // An expanded list: the name field says where the element goes and cannot be edited; it is appended.
    outline()->expand(indexOf({QStringLiteral("l")}));
    selectKey({QStringLiteral("l"), QStringLiteral("Item #1")});
    // A leaf inside the list: its parent is the list too.
    TRSheetRunner::setNextAnswer(1, [](QDialog *sheet) {
        auto *name = sheet->findChild<QLineEdit *>(QStringLiteral("newKeyNameEdit"));
        EXPECT_EQ(name->text(), QStringLiteral("Item #3"));
        EXPECT_FALSE(name->isEnabled());
        sheet->findChild<QComboBox *>(QStringLiteral("newKeyTypePopup"))->setCurrentIndex(1);
    });
    TRSheetRunner::setNextAnswer(1, [](QDialog *sheet) { setInteger(sheet, QStringLiteral("42")); });
    trigger("actionNewKey");
    const TRArray list = rootValue().toDictionary().value(QStringLiteral("l")).toArray();
    ASSERT_EQ(list.size(), 4);
    EXPECT_EQ(list.last(), TRValue::fromInteger(42));
    EXPECT_TRUE(domain(kDomain)->modified());
    EXPECT_EQ(undoNames().mid(0, 4), QStringList(4, QStringLiteral("New key")));

    // An empty domain: the root, whatever was selected elsewhere.
    selectDomain(QStringLiteral("empty"));
    newKey(QStringLiteral("first"), 3, [](QDialog *) {});
    EXPECT_EQ(domain(QStringLiteral("empty"))
                  ->databaseRepresentation()
                  .toDictionary()
                  .value(QStringLiteral("first")),
              TRValue::fromData(QByteArray()));
}

TEST_F(KeyTest, RefusedOrCancelledNewKeyChangesNothing)
{
    startShowing(kDomain, sample());
    const TRValue before = rootValue();

    TRSheetRunner::setNextAnswer(0);
    trigger("actionNewKey");
    // Cancelled at the value sheet.
    TRSheetRunner::setNextAnswer(1, [](QDialog *sheet) { fillNewKey(sheet, QStringLiteral("s"), 0); });
    TRSheetRunner::setNextAnswer(0);
    trigger("actionNewKey");
    EXPECT_TRUE(alertTitles().isEmpty());

    newKeyNamed(QString());
    newKeyNamed(QStringLiteral("a"));
    EXPECT_EQ(alertTitles(), (QStringList{QStringLiteral("Empty key name"), QStringLiteral("Key exists")}));
    EXPECT_TRUE(TRAlert::shownAlerts().last().message.contains(QStringLiteral("The name a already exists")));
    EXPECT_EQ(rootValue(), before);
    EXPECT_FALSE(domain(kDomain)->modified());
    EXPECT_TRUE(undoNames().isEmpty());

    // Names compare exactly; any text is a name.
    newKey(QStringLiteral("A"), 4);
    newKey(QStringLiteral(" tab\there \u00e9"), 5);
    EXPECT_EQ(rootValue().toDictionary().size(), before.toDictionary().size() + 2);
    EXPECT_TRUE(rootValue().toDictionary().contains(QStringLiteral(" tab\there \u00e9")));
}

TEST_F(KeyTest, EveryPrimitiveUndoesAndRedoesInOneHistoryWithTheDomainSteps)
{
    startShowing(kDomain, sample());
    const TRValue before = rootValue();

    selectKey({QStringLiteral("a")});
    TRSheetRunner::setNextAnswer(1, [](QDialog *sheet) { setString(sheet, QStringLiteral("y")); });
    trigger("actionEditKey");
    EXPECT_EQ(rootValue().toDictionary().value(QStringLiteral("a")), str("y"));
    // The edited row is still selected.
    EXPECT_EQ(m_controller->selectedKey()->value(), str("y"));

    outline()->expand(indexOf({QStringLiteral("l")}));
    selectKey({QStringLiteral("l"), QStringLiteral("Item #1")});
    deleteSelectedKey();
    EXPECT_EQ(rootValue().toDictionary().value(QStringLiteral("l")).toArray(),
              (TRArray{str("l0"), str("l2")}));

    outline()->selectionModel()->clear();
    newKey(QStringLiteral("n"), 4);
    newDomain(QStringLiteral("other"));
    EXPECT_EQ(undoNames(), (QStringList{QStringLiteral("New domain"), QStringLiteral("New key"),
                                        QStringLiteral("Delete key"), QStringLiteral("Edit key")}));

    trigger("actionUndo");
    trigger("actionUndo");
    EXPECT_FALSE(contents(kDomain).toDictionary().contains(QStringLiteral("n")));
    EXPECT_EQ(action("actionUndo")->text(), QStringLiteral("&Undo Delete key"));
    EXPECT_EQ(action("actionRedo")->text(), QStringLiteral("&Redo New key"));
    trigger("actionUndo");
    // The element comes back as the last one.
    EXPECT_EQ(contents(kDomain).toDictionary().value(QStringLiteral("l")).toArray(),
              (TRArray{str("l0"), str("l2"), str("l1")}));
    EXPECT_EQ(action("actionRedo")->text(), QStringLiteral("&Redo Delete key"));
    trigger("actionUndo");
    EXPECT_EQ(action("actionRedo")->text(), QStringLiteral("&Redo Edit key"));
    EXPECT_EQ(contents(kDomain).toDictionary().value(QStringLiteral("a")), str("x"));

    for (int i = 0; i < 4; ++i)
        trigger("actionRedo");
    EXPECT_EQ(contents(kDomain).toDictionary().value(QStringLiteral("a")), str("y"));
    EXPECT_TRUE(contents(kDomain).toDictionary().contains(QStringLiteral("n")));
    EXPECT_EQ(contents(kDomain).toDictionary().value(QStringLiteral("l")).toArray(),
              (TRArray{str("l0"), str("l2")}));
    EXPECT_EQ(domainNames().last(), QStringLiteral("other"));
    EXPECT_NE(contents(kDomain), before);
}

TEST_F(KeyTest, StepsOfADroppedTreeChangeNothing)
{
    startShowing(kDomain, sample());
    selectKey({QStringLiteral("a")});
    deleteSelectedKey();
    TRAlert::setNextAnswer(TRAlert::kAlternate);
    trigger("actionDeleteDomain");
    settle();
    ASSERT_EQ(domain(kDomain), nullptr);

    trigger("actionUndo");
    ASSERT_NE(domain(kDomain), nullptr);
    const TRValue restored = domain(kDomain)->databaseRepresentation();
    EXPECT_FALSE(restored.toDictionary().contains(QStringLiteral("a")));
    // The key's parent was the dropped tree's root: putting it back touches neither tree.
    trigger("actionUndo");
    ASSERT_NE(domain(kDomain), nullptr);
    EXPECT_EQ(domain(kDomain)->databaseRepresentation(), restored);
    // That step recorded nothing: what is left to redo is the domain's deletion.
    EXPECT_TRUE(undoNames().isEmpty());
    EXPECT_EQ(redoNames(), QStringList{QStringLiteral("Delete domain")});
    trigger("actionRedo");
    EXPECT_EQ(domain(kDomain), nullptr);
    EXPECT_FALSE(storeHas(kDomain));
}

TEST_F(KeyTest, DeleteAsksFirstAndAutoSaveWritesAtOnce)
{
    TRDictionary two;
    two.insert(QStringLiteral("one"), str("1"));
    two.insert(QStringLiteral("two"), str("2"));
    storeDomain(kDomain, TRValue::fromDictionary(two));
    start();
    ASSERT_TRUE(TRPreferences::shared().setValue(QString::fromLatin1(TRAppController::kAutoSave),
                                                 TRValue::fromBool(true)));
    selectDomain(kDomain);

    selectKey({QStringLiteral("one")});
    TRAlert::setNextAnswer(TRAlert::kDefault);
    trigger("actionDeleteKey");
    settle();
    EXPECT_EQ(alertTitles(), QStringList{QStringLiteral("About to delete a key")});
    EXPECT_EQ(rootValue().toDictionary().size(), 2);

    // One of two: saved, marker cleared.
    deleteSelectedKey();
    EXPECT_EQ(keysOf(storedDomain(kDomain)), QStringList{QStringLiteral("two")});
    EXPECT_FALSE(domain(kDomain)->modified());
    // The last one: modified, not saved (the store takes no empty domain).
    selectKey({QStringLiteral("two")});
    deleteSelectedKey();
    EXPECT_TRUE(domain(kDomain)->modified());
    EXPECT_EQ(keysOf(storedDomain(kDomain)), QStringList{QStringLiteral("two")});
    // Undo puts it back and saves again.
    trigger("actionUndo");
    EXPECT_FALSE(domain(kDomain)->modified());
    EXPECT_EQ(keysOf(storedDomain(kDomain)), QStringList{QStringLiteral("two")});
    newKey(QStringLiteral("three"), 4);
    EXPECT_TRUE(storedDomain(kDomain).toDictionary().value(QStringLiteral("three")).isArray());
}

TEST_F(KeyTest, DoubleClickOpensCompoundsAndEditsLeavesThroughTheirSheet)
{
    TRDictionary contents = sample().toDictionary();
    contents.insert(QStringLiteral("flag"), TRValue::fromBool(true));
    startShowing(kDomain, TRValue::fromDictionary(contents));
    selectKey({QStringLiteral("d")});
    trigger("actionEditKey");
    EXPECT_TRUE(outline()->isExpanded(indexOf({QStringLiteral("d")})));
    emit outline()->doubleClicked(indexOf({QStringLiteral("d")}));
    EXPECT_FALSE(outline()->isExpanded(indexOf({QStringLiteral("d")})));
    EXPECT_TRUE(undoNames().isEmpty());

    // A boolean opens on the boolean tab; confirmed on the whole-number tab it becomes an integer.
    selectKey({QStringLiteral("flag")});
    TRSheetRunner::setNextAnswer(1, [](QDialog *sheet) {
        auto *tabs = sheet->findChild<QTabWidget *>(QStringLiteral("numberTypeTabs"));
        EXPECT_EQ(tabs->currentWidget()->objectName(), QStringLiteral("booleanPage"));
        setInteger(sheet, QStringLiteral("1"));
    });
    trigger("actionEditKey");
    EXPECT_EQ(rootValue().toDictionary().value(QStringLiteral("flag")), TRValue::fromInteger(1));
    EXPECT_EQ(m_controller->selectedKey()->typeName(), QStringLiteral("Number"));
}

TEST_F(KeyTest, KeySearchWalksTheRowsShownAfterTheSelection)
{
    TRDictionary contents;
    contents.insert(QStringLiteral("Foo"), str("zzz"));
    contents.insert(QStringLiteral("bar"), str("needle"));
    contents.insert(QStringLiteral("info"), TRValue::fromArray({str("hidden")}));
    storeDomain(kDomain, TRValue::fromDictionary(contents));
    storeDomain(QStringLiteral("single"), dictionaryOf(1));
    start();
    selectDomain(kDomain);
    auto preference = [](const char *key, int value) {
        ASSERT_TRUE(TRPreferences::shared().setValue(QString::fromLatin1(key), TRValue::fromInteger(value)));
    };
    const QStringList foo{QStringLiteral("Foo")};
    const QStringList bar{QStringLiteral("bar")};
    const QStringList info{QStringLiteral("info")};
    struct Case
    {
        QStringList selected;
        const char *text;
        int keySearch;
        int lookInValues;
        QStringList expected;
    };
    const Case cases[] = {
        {foo, "fo", 0, 0, info},    // any position; the selected row is not tested
        {foo, "fo", 1, 0, foo},     // begins-with: info does not, Foo is selected
        {info, "fo", 1, 0, foo},    // wraps to the top
        {foo, "NEEDLE", 0, 0, foo}, // values are not looked at
        {foo, "NEEDLE", 0, 1, bar}, // ... unless asked to
        {foo, "needle", 1, 1, foo}, // begins-with still needs the name to begin with it
        {foo, "hidden", 0, 1, foo}, // children of collapsed rows are not searched
        {{}, "foo", 0, 0, foo},     // no selection: from the first row
        {bar, "o z", 0, 1, foo},    // a match may span the name and the value
        {bar, "foo z", 1, 1, foo},  // ... from the start in begins-with mode
    };
    for (const Case &c : cases) {
        preference(TRAppController::kKeySearch, c.keySearch);
        preference(TRAppController::kLookInValues, c.lookInValues);
        if (c.selected.isEmpty())
            outline()->selectionModel()->clear();
        else
            selectKey(c.selected);
        searchKeys(QString::fromUtf8(c.text));
        EXPECT_EQ(m_controller->selectedKey()->nameDescription(), c.expected.first()) << c.text;
    }

    // A single row is never searched.
    selectDomain(QStringLiteral("single"));
    outline()->selectionModel()->clear();
    searchKeys(QStringLiteral("k"));
    EXPECT_EQ(m_controller->selectedKey(), nullptr);
}

TEST_F(KeyTest, CommandsThatCannotActAreDisabled)
{
    storeDomain(kDomain, sample());
    start();
    EXPECT_FALSE(action("actionNewKey")->isEnabled());
    EXPECT_FALSE(action("actionDeleteKey")->isEnabled());
    selectDomain(kDomain);
    EXPECT_TRUE(action("actionNewKey")->isEnabled());
    EXPECT_FALSE(action("actionEditKey")->isEnabled());
    selectKey({QStringLiteral("a")});
    EXPECT_TRUE(action("actionEditKey")->isEnabled());
    EXPECT_TRUE(action("actionDeleteKey")->isEnabled());
    EXPECT_TRUE(outline()->actions().contains(action("actionDeleteKey")));
}
