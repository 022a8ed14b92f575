// The key tree: building from property lists and back, names, child operations, display texts, ownership.
#include "TRKey.h"

#include "TRLimits.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace {

const QString kDomain = QStringLiteral("com.example.test");

TRValue str(const char *text)
{
    return TRValue::fromString(QString::fromUtf8(text));
}

TRValue dict(std::initializer_list<std::pair<const char *, TRValue>> entries)
{
    TRDictionary dictionary;
    for (const auto &[key, value] : entries)
        dictionary.insert(QString::fromUtf8(key), value);
    return TRValue::fromDictionary(std::move(dictionary));
}

TRKeyPtr root(const TRValue &contents)
{
    return TRKey::create(TRValue(), contents, nullptr, kDomain);
}

TRKeyPtr leaf(const TRValue &name, const TRValue &value, const TRKeyPtr &parent)
{
    return TRKey::create(name, value, parent, kDomain);
}

// Every node of a tree carries the domain and a parent link to the node that holds it.
void expectLinked(const TRKeyPtr &node)
{
    EXPECT_EQ(node->domain(), kDomain);
    for (const TRKeyPtr &child : node->children()) {
        EXPECT_EQ(child->parent(), node);
        expectLinked(child);
    }
}

TRValue sampleDomain()
{
    return dict({
        {"name", str("Tamrix")},
        {"flag", TRValue::fromBool(false)},
        {"count", TRValue::fromInteger(12)},
        {"ratio", TRValue::fromReal(0.75)},
        {"when", TRValue::fromDate(725943845)},
        {"blob", TRValue::fromData(QByteArray("\x01\x02", 2))},
        {"list", TRValue::fromArray(
                     {TRValue::fromArray({str("a"), str("b")}), dict({{"x", TRValue::fromInteger(1)}})})},
        {"empty", dict({})},
        {"big", TRValue::fromUnsigned(18446744073709551615ULL)},
    });
}

} // namespace

TEST(TRKeyBuild, EmptyDictionaryGivesEmptyRoot)
{
    const TRKeyPtr node = root(dict({}));
    EXPECT_TRUE(node->isDictionary());
    EXPECT_EQ(node->count(), 0);
    EXPECT_EQ(node->valueDescription(), QStringLiteral("0 sub-items"));
    EXPECT_EQ(node->databaseRepresentation(), dict({}));
    EXPECT_TRUE(node->name().isNone());
    EXPECT_TRUE(node->nameDescription().isNull());
    EXPECT_EQ(node->parent(), nullptr);
}

TEST(TRKeyBuild, ValuesThatExpandBeyondTheBoundBuildNothing)
{
    // Each level holds the one below twice: 41 distinct arrays stand for 2^41 - 1 nodes.
    TRValue shared = TRValue::fromArray({});
    for (int level = 1; level <= 40; ++level) {
        shared = TRValue::fromArray({shared, shared});
        if (level == 8) {
            const TRKeyPtr small = root(dict({{"k", shared}}));
            ASSERT_NE(small, nullptr);
            EXPECT_EQ(small->databaseRepresentation(), dict({{"k", shared}}));
        }
    }
    EXPECT_EQ(TRKey::create(TRValue(), dict({{"k", shared}}), nullptr, QStringLiteral("d")), nullptr);
}

TEST(TRKeyBuild, ArrayElementsAreNumberedWithKindsAndTexts)
{
    const TRKeyPtr list =
        root(TRValue::fromArray({TRValue::fromBool(true), TRValue::fromInteger(3), str("three")}));
    ASSERT_TRUE(list->isArray());
    ASSERT_EQ(list->count(), 3);
    const char *names[] = {"Item #0", "Item #1", "Item #2"};
    const char *types[] = {"Boolean", "Number", "String"};
    const char *values[] = {"YES", "3", "three"};
    for (int i = 0; i < 3; ++i) {
        const TRKeyPtr child = list->childAtIndex(i);
        EXPECT_EQ(child->name(), TRValue::fromInteger(i));
        EXPECT_EQ(child->nameDescription(), QString::fromLatin1(names[i]));
        EXPECT_EQ(child->typeName(), QString::fromLatin1(types[i]));
        EXPECT_EQ(child->valueDescription(), QString::fromLatin1(values[i]));
    }
    EXPECT_EQ(leaf(str("f"), TRValue::fromBool(false), nullptr)->valueDescription(), QStringLiteral("NO"));
}

TEST(TRKeyBuild, NestedArraysNumberAfreshAndCarryTheDomain)
{
    const TRKeyPtr tree = root(sampleDomain());
    expectLinked(tree);
    const TRKeyPtr outer = tree->childForName(str("list"));
    ASSERT_TRUE(outer && outer->isArray());
    const TRKeyPtr inner = outer->childAtIndex(0);
    EXPECT_EQ(inner->childAtIndex(1)->name(), TRValue::fromInteger(1));
    EXPECT_EQ(inner->childAtIndex(1)->nameDescription(), QStringLiteral("Item #1"));
    EXPECT_EQ(outer->childAtIndex(1)->typeName(), QStringLiteral("Dictionary"));
    EXPECT_EQ(outer->typeName(), QStringLiteral("Array"));
    EXPECT_EQ(outer->valueDescription(), QStringLiteral("2 sub-items"));
    EXPECT_EQ(outer->childAtIndex(1)->valueDescription(), QStringLiteral("1 sub-items"));
}

TEST(TRKeyBuild, RoundTripGivesEqualListSharingEveryLeaf)
{
    const TRValue contents = sampleDomain();
    const TRKeyPtr tree = root(contents);
    const TRValue back = tree->databaseRepresentation();
    EXPECT_EQ(back, contents);
    // Same key order as read.
    for (int i = 0; i < tree->count(); ++i)
        EXPECT_EQ(back.toDictionary().keyAt(i), contents.toDictionary().keyAt(i));

    // A leaf of the tree, the same leaf in the property list made from it, and a second holder: one object.
    const TRValue original = contents.toDictionary().value(QStringLiteral("name"));
    const TRKeyPtr node = tree->childForName(str("name"));
    const TRValue secondHolder = node->value();
    EXPECT_TRUE(node->value().isSameObject(original));
    EXPECT_TRUE(back.toDictionary().value(QStringLiteral("name")).isSameObject(original));
    EXPECT_EQ(secondHolder.identity(), original.identity());
    // Untouched, the tree converts back to the very value it was built from; once a child is made, to a
    // new container.
    EXPECT_TRUE(back.isSameObject(contents));
    EXPECT_FALSE(tree->databaseRepresentation().isSameObject(contents));
    EXPECT_EQ(tree->databaseRepresentation(), contents);
}

TEST(TRKeyBuild, DigitKeysStayTexts)
{
    const TRKeyPtr tree = root(dict({{"42", str("x")}}));
    const TRKeyPtr child = tree->childAtIndex(0);
    EXPECT_TRUE(child->name().isString());
    EXPECT_EQ(child->nameDescription(), QStringLiteral("42"));
}

TEST(TRKeyList, NamesStayPutAfterRemovalsAndOperationsFindByIdentity)
{
    const TRKeyPtr list = root(TRValue::fromArray({str("a"), str("b"), str("c")}));
    const TRKeyPtr first = list->childAtIndex(0);
    list->removeKey(first);
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->childAtIndex(0)->nameDescription(), QStringLiteral("Item #1"));
    EXPECT_EQ(list->childAtIndex(1)->nameDescription(), QStringLiteral("Item #2"));
    // The removed node lives on with its name, domain and parent link.
    EXPECT_EQ(first->parent(), list);
    EXPECT_EQ(first->value(), str("a"));

    // Removing the node named 2 removes the last element.
    list->removeKey(list->childAtIndex(1));
    ASSERT_EQ(list->count(), 1);
    EXPECT_EQ(list->childAtIndex(0)->value(), str("b"));

    // Replacing the node named 1 replaces the first element.
    const TRKeyPtr replacement = leaf(TRValue::fromInteger(1), str("B"), list);
    list->replaceKey(list->childAtIndex(0), replacement);
    EXPECT_EQ(list->childAtIndex(0), replacement);

    // A removed element put back with addKey goes to the end.
    list->addKey(first);
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->childAtIndex(1), first);
}

TEST(TRKeyList, TextNamedElementIsActedOnWherevItStands)
{
    const TRKeyPtr list = root(TRValue::fromArray({str("a"), str("b")}));
    const TRKeyPtr named = leaf(str("New item"), TRValue::fromInteger(7), list);
    list->addKey(named, TRValue::fromInteger(1));
    ASSERT_EQ(list->count(), 3);
    EXPECT_EQ(list->childAtIndex(1), named);
    EXPECT_EQ(named->nameDescription(), QStringLiteral("New item"));
    const TRKeyPtr newer = leaf(str("New item"), TRValue::fromInteger(8), list);
    list->replaceKey(named, newer);
    EXPECT_EQ(list->childAtIndex(1), newer);
    list->removeKey(newer);
    EXPECT_EQ(list->count(), 2);
    EXPECT_EQ(list->childAtIndex(1)->value(), str("b"));
}

TEST(TRKeyList, EqualNodesAreNotConfusedWithTheOneRemoved)
{
    // Two elements with equal names and values: removal takes the very node given.
    const TRKeyPtr list = root(TRValue::fromArray({}));
    const TRKeyPtr a = leaf(TRValue::fromInteger(0), str("same"), list);
    const TRKeyPtr b = leaf(TRValue::fromInteger(0), str("same"), list);
    list->addKey(a);
    list->addKey(b);
    list->removeKey(b);
    ASSERT_EQ(list->count(), 1);
    EXPECT_EQ(list->childAtIndex(0), a);
}

TEST(TRKeyDictionary, KeyExistsAndNameBasedOperations)
{
    const TRKeyPtr tree = root(dict({{"a", str("1")}, {"b", TRValue::fromArray({str("x")})}}));
    EXPECT_TRUE(tree->keyExists(str("a")));
    EXPECT_TRUE(tree->keyExists(str("b")));
    EXPECT_FALSE(tree->keyExists(str("c")));
    const TRKeyPtr list = tree->childForName(str("b"));
    // A list answers no even for a name one of its children has; a leaf always answers no.
    EXPECT_FALSE(list->keyExists(TRValue::fromInteger(0)));
    EXPECT_FALSE(tree->childForName(str("a"))->keyExists(str("a")));
    EXPECT_EQ(list->childForName(TRValue::fromInteger(0))->value(), str("x"));

    // replaceKey with a differently named node stores it under the old name, in the old place.
    const TRKeyPtr other = leaf(str("zzz"), str("2"), tree);
    tree->replaceKey(tree->childForName(str("a")), other);
    EXPECT_EQ(tree->count(), 2);
    EXPECT_EQ(tree->childAtIndex(0), other);
    EXPECT_EQ(tree->childForName(str("a")), other);
    EXPECT_EQ(tree->databaseRepresentation().toDictionary().keyAt(0), QStringLiteral("a"));

    // addKey replaces a child of the same name; removeKey by name; removing an absent name changes nothing.
    const TRKeyPtr again = leaf(str("b"), TRValue::fromInteger(5), tree);
    tree->addKey(again);
    EXPECT_EQ(tree->count(), 2);
    EXPECT_EQ(tree->childForName(str("b")), again);
    tree->removeKey(leaf(str("absent"), str(""), tree));
    EXPECT_EQ(tree->count(), 2);
    tree->removeKey(again);
    EXPECT_EQ(tree->count(), 1);
    EXPECT_FALSE(tree->keyExists(str("b")));
}

TEST(TRKeyDictionary, LargeDictionaryStaysConsistentThroughChanges)
{
    TRDictionary entries;
    for (int i = 0; i < 100; ++i)
        entries.insert(QStringLiteral("k%1").arg(i), TRValue::fromInteger(i));
    const TRKeyPtr tree = root(TRValue::fromDictionary(entries));
    for (int i = 0; i < 100; i += 3)
        tree->removeKey(tree->childForName(TRValue::fromString(QStringLiteral("k%1").arg(i))));
    for (int i = 0; i < 100; ++i) {
        const TRKeyPtr child = tree->childForName(TRValue::fromString(QStringLiteral("k%1").arg(i)));
        EXPECT_EQ(child == nullptr, i % 3 == 0) << i;
        if (child) {
            EXPECT_EQ(child->value().toInteger(), i);
        }
    }
    tree->addKey(leaf(str("k0"), str("back"), tree));
    EXPECT_EQ(tree->childAtIndex(tree->count() - 1)->value(), str("back"));
    EXPECT_EQ(tree->databaseRepresentation().toDictionary().size(), tree->count());
}

TEST(TRKeyOperations, PerformForAllRelinksDirectChildrenOnly)
{
    const TRKeyPtr tree = root(dict({{"d", dict({{"inner", str("x")}})}, {"s", str("y")}}));
    const TRKeyPtr inner = tree->childForName(str("d"));
    const TRKeyPtr grandchild = inner->childAtIndex(0);
    const TRKeyPtr other = root(dict({}));
    tree->performForAll(&TRKey::setParent, other);
    EXPECT_EQ(inner->parent(), other);
    EXPECT_EQ(tree->childForName(str("s"))->parent(), other);
    EXPECT_EQ(grandchild->parent(), inner);
}

TEST(TRKeyOperations, CallsNoCallerMakesDoNothing)
{
    const TRKeyPtr tree = root(dict({{"s", str("y")}, {"l", TRValue::fromArray({str("x")})}}));
    const TRKeyPtr leafNode = tree->childForName(str("s"));
    const TRKeyPtr list = tree->childForName(str("l"));
    EXPECT_EQ(list->childAtIndex(-1), nullptr);
    EXPECT_EQ(list->childAtIndex(1), nullptr);
    EXPECT_EQ(list->childForName(TRValue::fromInteger(99)), nullptr);
    EXPECT_EQ(leafNode->childAtIndex(0), nullptr);
    leafNode->addKey(list);
    leafNode->addKey(list, str("x"));
    leafNode->removeKey(list);
    leafNode->replaceKey(list, tree);
    EXPECT_EQ(leafNode->count(), 0);
    list->removeKey(leafNode);
    list->replaceKey(leafNode, tree);
    list->addKey(nullptr);
    EXPECT_EQ(list->count(), 1);
    list->addKey(leaf(TRValue::fromInteger(5), str("far"), list), TRValue::fromInteger(99));
    EXPECT_EQ(list->childAtIndex(1)->value(), str("far"));
}

TEST(TRKeyOwnership, ParentLinkReadsAsNoneOnceParentIsGone)
{
    TRKeyPtr tree = root(dict({{"child", str("x")}}));
    const TRKeyPtr child = tree->childAtIndex(0);
    tree->removeKey(child);
    EXPECT_EQ(child->parent(), tree);
    tree.reset();
    EXPECT_EQ(child->parent(), nullptr);
    EXPECT_EQ(child->value(), str("x"));
}

TEST(TRKeyDepth, DeepestAcceptedNestingBuildsConvertsAndDestroys)
{
    // Alternate arrays and dictionaries down to the readers' limit.
    TRValue value = str("bottom");
    for (int level = 0; level < kTRMaxNestingDepth; ++level) {
        if (level % 2 == 0)
            value = TRValue::fromArray({value});
        else
            value = dict({{"k", value}});
    }
    const TRValue contents = dict({{"deep", value}});
    TRKeyPtr tree = root(contents);
    int depth = 0;
    for (TRKeyPtr node = tree; node->isCompound(); node = node->childAtIndex(0))
        ++depth;
    EXPECT_EQ(depth, kTRMaxNestingDepth + 1);
    EXPECT_EQ(tree->databaseRepresentation(), contents);
    tree.reset();
    EXPECT_EQ(trCountValues(contents), kTRMaxNestingDepth + 2);
}

TEST(TRKeyOperations, MutatorsReportWhatTheyDoBeforeDoingIt)
{
    using Kind = TRKey::Edit::Kind;
    TRDictionary many;
    for (int i = 0; i < 20; ++i)
        many.insert(QStringLiteral("k%1").arg(i), TRValue::fromInteger(i));
    const TRKeyPtr tree = root(dict({{"s", str("y")}, {"l", TRValue::fromArray({str("a"), str("b")})}}));
    const TRKeyPtr list = tree->childForName(str("l"));
    const TRKeyPtr large = root(TRValue::fromDictionary(many));
    const TRKeyPtr stray = leaf(str("absent"), str(""), tree);
    struct Case
    {
        const char *what;
        std::function<TRKey::Edit(const TRKey::EditObserver &)> mutate;
        TRKey::Edit expected;
        TRKeyPtr parent;
    };
    const Case cases[] = {
        {"dictionary add",
         [&](auto &o) { return tree->addKey(leaf(str("t"), str(""), tree), o); },
         {Kind::Insert, 2},
         tree},
        {"dictionary add over a name",
         [&](auto &o) { return tree->addKey(leaf(str("s"), str("z"), tree), o); },
         {Kind::Replace, 0},
         tree},
        {"dictionary remove absent", [&](auto &o) { return tree->removeKey(stray, o); }, {}, tree},
        {"dictionary replace",
         [&](auto &o) { return tree->replaceKey(tree->childAtIndex(2), leaf(str("t"), str("u"), tree), o); },
         {Kind::Replace, 2},
         tree},
        {"list append",
         [&](auto &o) { return list->addKey(leaf(TRValue::fromInteger(2), str("c"), list), o); },
         {Kind::Insert, 2},
         list},
        {"list insert",
         [&](auto &o) { return list->addKey(leaf(str("n"), str("d"), list), TRValue::fromInteger(1), o); },
         {Kind::Insert, 1},
         list},
        {"list remove",
         [&](auto &o) { return list->removeKey(list->childAtIndex(0), o); },
         {Kind::Remove, 0},
         list},
        {"list replace absent", [&](auto &o) { return list->replaceKey(stray, stray, o); }, {}, list},
        {"indexed remove",
         [&](auto &o) { return large->removeKey(large->childForName(str("k5")), o); },
         {Kind::Remove, 5},
         large},
    };
    for (const Case &c : cases) {
        const int countBefore = c.parent->count();
        int told = 0;
        const TRKey::Edit done = c.mutate([&](const TRKey::Edit &planned) {
            ++told;
            EXPECT_EQ(planned, c.expected) << c.what;
            EXPECT_EQ(c.parent->count(), countBefore) << c.what;
        });
        EXPECT_EQ(done, c.expected) << c.what;
        EXPECT_EQ(told, c.expected.kind == Kind::None ? 0 : 1) << c.what;
    }
    // Positions after an indexed removal still find every entry.
    for (int i = 0; i < 20; ++i) {
        const TRKeyPtr child = large->childForName(TRValue::fromString(QStringLiteral("k%1").arg(i)));
        ASSERT_EQ(child == nullptr, i == 5) << i;
        if (child) {
            EXPECT_EQ(child->value().toInteger(), i);
        }
    }
}

TEST(TRKeyDictionary, RenameKeepsThePlaceAndLosesNoEntry)
{
    // Small dictionaries are searched linearly, larger ones through their index: both are renamed.
    for (const int size : {3, 20}) {
        SCOPED_TRACE(size);
        TRDictionary entries;
        for (int i = 0; i < size; ++i)
            entries.insert(QStringLiteral("k%1").arg(i), TRValue::fromInteger(i));
        const TRKeyPtr tree = root(TRValue::fromDictionary(std::move(entries)));
        const TRKeyPtr old = tree->childForName(str("k1"));
        const TRKeyPtr renamed = leaf(str("new"), TRValue::fromInteger(1), tree);
        EXPECT_EQ(tree->renameKey(old, renamed), (TRKey::Edit{TRKey::Edit::Kind::Replace, 1}));
        EXPECT_EQ(tree->childAtIndex(1), renamed);
        EXPECT_EQ(tree->childForName(str("new")), renamed);
        EXPECT_FALSE(tree->keyExists(str("k1")));
        EXPECT_EQ(tree->databaseRepresentation().toDictionary().keyAt(1), QStringLiteral("new"));
        // A name another entry has: nothing changes. Renaming back restores the old entry.
        EXPECT_EQ(tree->renameKey(renamed, leaf(str("k0"), str("x"), tree)).kind, TRKey::Edit::Kind::None);
        EXPECT_EQ(tree->count(), size);
        tree->renameKey(renamed, old);
        EXPECT_EQ(tree->childForName(str("k1")), old);
        EXPECT_EQ(tree->childAtIndex(1), old);
    }
}

namespace {

// The whole tree as text: each node's name, type and value, its children indented below it, and whether
// each child links back to the node that holds it.
QString dump(const TRKeyPtr &node, int depth = 0)
{
    QString text = QString(depth * 2, QLatin1Char(' ')) + node->nameDescription() + QLatin1Char('|') +
                   node->typeName() + QLatin1Char('|') + node->valueDescription() + QLatin1Char('\n');
    for (const TRKeyPtr &child : node->children())
        text += (child->parent() == node ? QString() : QStringLiteral("unlinked ")) + dump(child, depth + 1);
    return text;
}

} // namespace

TEST(TRKeyLazy, ChildrenMadeOnDemandBehaveAsChildrenMadeAtOnce)
{
    // Every child of a tree built from a value is made when first asked for. Each change, made to a tree
    // not yet looked at, must leave what the same change leaves in a tree whose children were all made.
    const TRValue list =
        TRValue::fromArray({str("a"), dict({{"x", TRValue::fromArray({str("1"), str("2")})}}), str("c"),
                            TRValue::fromInteger(4)});
    TRDictionary many;
    for (int i = 0; i < 12; ++i)
        many.insert(QStringLiteral("k%1").arg(i), i % 2 ? TRValue::fromInteger(i) : list);
    const TRValue dictionary = TRValue::fromDictionary(std::move(many));
    // Large enough that its first children made are kept apart from a slot per child.
    TRDictionary more;
    for (int i = 0; i < 100; ++i)
        more.insert(QStringLiteral("m%1").arg(i), i % 3 ? TRValue::fromInteger(i) : list);
    const TRValue large = TRValue::fromDictionary(std::move(more));
    // Looks at the children from a position on, each found again by its row and its name.
    const auto lookAt = [](const TRKeyPtr &t, int from, int count) {
        for (int i = from; i < from + count; ++i) {
            const TRKeyPtr child = t->childAtIndex(i);
            EXPECT_EQ(t->rowOfChild(child.get()), i);
            EXPECT_EQ(t->childForName(child->name()), child);
            EXPECT_EQ(t->childKindAt(i), child->nodeKind());
        }
    };
    using Change = std::function<void(const TRKeyPtr &)>;
    const struct
    {
        const char *what;
        TRValue contents;
        Change change;
    } cases[] = {
        {"list: nothing", list, [](const TRKeyPtr &) {}},
        {"list: remove the second", list, [](const TRKeyPtr &t) { t->removeKey(t->childAtIndex(1)); }},
        {"list: insert at the front", list,
         [](const TRKeyPtr &t) {
             t->addKey(leaf(TRValue::fromInteger(0), str("new"), t), TRValue::fromInteger(0));
         }},
        {"list: append", list,
         [](const TRKeyPtr &t) { t->addKey(leaf(TRValue::fromInteger(4), str("end"), t)); }},
        {"list: replace the third", list,
         [](const TRKeyPtr &t) {
             t->replaceKey(t->childAtIndex(2), leaf(TRValue::fromInteger(2), str("C"), t));
         }},
        {"dictionary: nothing", dictionary, [](const TRKeyPtr &) {}},
        {"dictionary: remove, add, then look up", dictionary,
         [](const TRKeyPtr &t) {
             t->removeKey(t->childForName(str("k3")));
             t->addKey(leaf(str("k12"), str("added"), t));
             t->removeKey(t->childAtIndex(0));
             t->childForName(str("k10"))->childAtIndex(1)->childAtIndex(0);
         }},
        {"dictionary: rename and replace", dictionary,
         [](const TRKeyPtr &t) {
             t->renameKey(t->childForName(str("k5")), leaf(str("five"), str("5"), t));
             t->addKey(leaf(str("k7"), str("seven"), t));
             t->replaceKey(t->childAtIndex(8), leaf(str("x"), TRValue::fromBool(true), t));
         }},
        {"dictionary: a nested list changed", dictionary,
         [](const TRKeyPtr &t) {
             const TRKeyPtr inner = t->childForName(str("k4"));
             inner->removeKey(inner->childAtIndex(0));
             inner->addKey(leaf(TRValue::fromInteger(9), str("z"), inner), TRValue::fromInteger(1));
         }},
        {"large dictionary: a few looked at, then changed", large,
         [&](const TRKeyPtr &t) {
             lookAt(t, 90, 3);
             t->removeKey(t->childAtIndex(91));
             t->addKey(leaf(str("m3"), str("three"), t));
             lookAt(t, 0, 5);
         }},
        {"large dictionary: most looked at, then a nested list changed", large,
         [&](const TRKeyPtr &t) {
             lookAt(t, 10, 40);
             const TRKeyPtr inner = t->childForName(str("m99"));
             inner->removeKey(inner->childAtIndex(1));
             t->renameKey(t->childAtIndex(60), leaf(str("sixty"), str("60"), t));
         }},
        {"list: a made element found by its row", list,
         [&](const TRKeyPtr &t) {
             lookAt(t, 2, 2);
             EXPECT_EQ(t->rowOfChild(leaf(TRValue::fromInteger(2), str("c"), t).get()), -1);
         }},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const TRKeyPtr lazy = root(c.contents);
        const TRKeyPtr made = root(c.contents);
        dump(made);
        c.change(lazy);
        c.change(made);
        // The conversion back reads a child not made yet from its value; dump() then makes every child.
        EXPECT_EQ(lazy->databaseRepresentation(), made->databaseRepresentation());
        EXPECT_EQ(dump(lazy), dump(made));
    }
}

TEST(TRKeyLazy, KindsOfChildrenNotMadeFollowEveryChange)
{
    // A view asks the kind of every row without making the children. Asked before a change (so that the
    // container keeps its answers) or only after it, the answers must be the kinds of the children made.
    TRDictionary mixed;
    const TRValue kinds[] = {str("s"),
                             TRValue::fromInteger(1),
                             TRValue::fromReal(0.5),
                             TRValue::fromBool(true),
                             TRValue::fromDate(1),
                             TRValue::fromData(QByteArray("d")),
                             TRValue::fromArray({str("a")}),
                             dict({{"x", str("y")}}),
                             TRValue::fromArray({}),
                             dict({})};
    for (int i = 0; i < 40; ++i)
        mixed.insert(QStringLiteral("k%1").arg(i), kinds[i % std::size(kinds)]);
    const TRValue dictionary = TRValue::fromDictionary(std::move(mixed));
    const TRValue list = TRValue::fromArray(TRArray(std::begin(kinds), std::end(kinds)));
    const auto compound = [](const TRKeyPtr &t, const char *name) {
        return leaf(str(name), dict({{"in", str("side")}}), t);
    };
    using Change = std::function<void(const TRKeyPtr &)>;
    const struct
    {
        const char *what;
        TRValue contents;
        Change change;
    } cases[] = {
        {"dictionary: nothing", dictionary, [](const TRKeyPtr &) {}},
        {"dictionary: a compound child removed, a leaf added", dictionary,
         [](const TRKeyPtr &t) {
             t->removeKey(t->childForName(str("k6")));
             t->addKey(leaf(str("new"), str("leaf"), t));
         }},
        {"dictionary: a leaf replaced by a dictionary, a dictionary renamed", dictionary,
         [&](const TRKeyPtr &t) {
             t->addKey(compound(t, "k0"));
             t->renameKey(t->childForName(str("k7")), leaf(str("seven"), str("leaf now"), t));
         }},
        {"dictionary: removed and put back, as undo does", dictionary,
         [](const TRKeyPtr &t) {
             const TRKeyPtr removed = t->childForName(str("k17"));
             t->removeKey(removed);
             t->removeKey(t->childAtIndex(2));
             t->addKey(removed);
         }},
        {"list: a compound element inserted at the front", list,
         [&](const TRKeyPtr &t) { t->addKey(compound(t, "0"), TRValue::fromInteger(0)); }},
        {"list: a compound element appended, a leaf removed", list,
         [&](const TRKeyPtr &t) {
             t->addKey(compound(t, "10"));
             t->removeKey(t->childAtIndex(1));
         }},
        {"list: an array replaced by a leaf", list,
         [](const TRKeyPtr &t) {
             t->replaceKey(t->childAtIndex(6), leaf(TRValue::fromInteger(6), str("s"), t));
         }},
    };
    const auto asked = [](const TRKeyPtr &t) {
        std::vector<TRKey::NodeKind> answers;
        for (int i = 0; i < t->count(); ++i)
            answers.push_back(t->childKindAt(i));
        return answers;
    };
    for (const auto &c : cases) {
        for (const bool askedFirst : {true, false}) {
            SCOPED_TRACE(std::string(c.what) + (askedFirst ? ", asked first" : ""));
            const TRKeyPtr lazy = root(c.contents);
            const TRKeyPtr made = root(c.contents);
            made->children();
            if (askedFirst)
                asked(lazy);
            c.change(lazy);
            c.change(made);
            std::vector<TRKey::NodeKind> expected;
            for (const TRKeyPtr &child : made->children())
                expected.push_back(child->nodeKind());
            EXPECT_EQ(asked(lazy), expected);
        }
    }
}

TEST(TRKeyDictionary, RepresentationAfterEveryKindOfChangeHoldsTheTreesKeys)
{
    // A large dictionary's representation reuses the lookup table of the one before while its keys stay
    // the same: after each change (taken before any representation, and between two) the representation
    // must hold the tree's keys in order, each found under its own name.
    const auto change = [](const TRKeyPtr &tree, int kind) {
        switch (kind) {
        case 0: // a value replaced
            tree->replaceKey(tree->childForName(str("k5")), leaf(str("k5"), str("new"), tree));
            break;
        case 1: // a key added
            tree->addKey(leaf(str("added"), TRValue::fromInteger(-1), tree));
            break;
        case 2: // a key removed
            tree->removeKey(tree->childForName(str("k3")));
            break;
        case 3: // a key renamed in place
            tree->renameKey(tree->childForName(str("k7")), leaf(str("renamed"), str("r"), tree));
            break;
        default: // removed and added back: same count, another order
            tree->removeKey(tree->childForName(str("k0")));
            tree->addKey(leaf(str("k0"), str("last"), tree));
            break;
        }
    };
    for (int kind = 0; kind < 5; ++kind) {
        for (const bool representedBefore : {false, true}) {
            SCOPED_TRACE(kind * 2 + int(representedBefore));
            TRDictionary entries;
            for (int i = 0; i < 40; ++i)
                entries.insert(QStringLiteral("k%1").arg(i), TRValue::fromInteger(i));
            const TRKeyPtr tree = root(TRValue::fromDictionary(std::move(entries)));
            if (representedBefore) {
                tree->replaceKey(tree->childForName(str("k1")), leaf(str("k1"), str("one"), tree));
                tree->databaseRepresentation();
            }
            change(tree, kind);
            for (int twice = 0; twice < 2; ++twice) {
                const TRValue representation = tree->databaseRepresentation();
                const TRDictionary &made = representation.toDictionary();
                ASSERT_EQ(made.size(), tree->count());
                for (int i = 0; i < tree->count(); ++i) {
                    const TRKeyPtr child = tree->childAtIndex(i);
                    EXPECT_EQ(made.keyAt(i), child->name().toString());
                    EXPECT_EQ(made.value(child->name().toString()), child->value());
                }
                tree->replaceKey(tree->childForName(str("k9")), leaf(str("k9"), str("again"), tree));
            }
        }
    }
}
