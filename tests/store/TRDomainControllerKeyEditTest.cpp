// The domain controller's key edits on their own, as a command-line write or a restore uses them: the
// tree, the modified flag and the outline model's row notifications, with and without a model made.
#include "TRDomainController.h"
#include "TRKeyOutlineModel.h"
#include "plist/TRPropertyList.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <functional>
#include <gtest/gtest.h>

namespace {

const QString kDomain = QStringLiteral("com.x");

TRValue str(const char *text)
{
    return TRValue::fromString(QString::fromLatin1(text));
}

// a = "x", d = {b = "y"}, l = ("l0", "l1")
TRValue contents()
{
    TRDictionary inner;
    inner.insert(QStringLiteral("b"), str("y"));
    TRDictionary top;
    top.insert(QStringLiteral("a"), str("x"));
    top.insert(QStringLiteral("d"), TRValue::fromDictionary(std::move(inner)));
    top.insert(QStringLiteral("l"), TRValue::fromArray({str("l0"), str("l1")}));
    return TRValue::fromDictionary(std::move(top));
}

// The tree as text: each node's name, a leaf's value after "=", a compound node's children in brackets.
QString shape(const TRKey &node)
{
    QStringList parts;
    for (int row = 0; row < node.count(); ++row) {
        const TRKeyPtr child = node.childAtIndex(row);
        QString part = child->nameDescription();
        part += child->isCompound() ? QLatin1Char('[') + shape(*child) + QLatin1Char(']')
                                    : QLatin1Char('=') + child->valueDescription();
        parts.append(part);
    }
    return parts.join(QLatin1Char(' '));
}

TRKeyPtr child(const TRDomainController &domain, const char *name)
{
    return domain.rootKey()->childForName(str(name));
}

TRKeyPtr leaf(const TRValue &name, const char *value, const TRKeyPtr &parent, const QString &domain = kDomain)
{
    return TRKey::create(name, str(value), parent, domain);
}

TRKeyPtr leaf(const char *name, const char *value, const TRKeyPtr &parent, const QString &domain = kDomain)
{
    return leaf(str(name), value, parent, domain);
}

struct Case
{
    const char *what;
    std::function<bool(TRDomainController &)> edit;
    bool changed;
    const char *shapeAfter;
    int inserted;
    int removed;
    int dataChanged;
};

const QString kUnchanged = QStringLiteral("a=x d[b=y] l[Item #0=l0 Item #1=l1]");

const Case kCases[] = {
    {"insert into a dictionary",
     [](TRDomainController &d) { return d.insertKey(leaf("n", "1", d.rootKey())); }, true,
     "a=x d[b=y] l[Item #0=l0 Item #1=l1] n=1", 1, 0, 0},
    {"insert at the end of a list",
     [](TRDomainController &d) { return d.insertKey(leaf(TRValue::fromInteger(2), "l2", child(d, "l"))); },
     true, "a=x d[b=y] l[Item #0=l0 Item #1=l1 Item #2=l2]", 1, 0, 0},
    {"insert under a name taken",
     [](TRDomainController &d) { return d.insertKey(leaf("a", "lost", d.rootKey())); }, false, nullptr, 0, 0,
     0},
    {"insert under a parent of a dropped tree",
     [](TRDomainController &d) {
         const TRKeyPtr stranger = TRKey::create(TRValue(), contents(), nullptr, kDomain);
         return d.insertKey(leaf("n", "1", stranger));
     },
     false, nullptr, 0, 0, 0},
    {"insert a key of another domain",
     [](TRDomainController &d) { return d.insertKey(leaf("n", "1", d.rootKey(), QStringLiteral("other"))); },
     false, nullptr, 0, 0, 0},
    {"take from a dictionary", [](TRDomainController &d) { return d.takeKey(child(d, "a")); }, true,
     "d[b=y] l[Item #0=l0 Item #1=l1]", 0, 1, 0},
    // An element keeps its name: the commands renumber a list through the edits themselves.
    {"take the first element of a list",
     [](TRDomainController &d) { return d.takeKey(child(d, "l")->childAtIndex(0)); }, true,
     "a=x d[b=y] l[Item #1=l1]", 0, 1, 0},
    {"take a node standing nowhere under its name",
     [](TRDomainController &d) { return d.takeKey(leaf("a", "x", d.rootKey())); }, false, nullptr, 0, 0, 0},
    {"replace a leaf",
     [](TRDomainController &d) { return d.replaceKey(child(d, "a"), leaf("a", "new", d.rootKey())); }, true,
     "a=new d[b=y] l[Item #0=l0 Item #1=l1]", 0, 0, 1},
    {"replace under another name renames in place",
     [](TRDomainController &d) { return d.replaceKey(child(d, "a"), leaf("z", "x", d.rootKey())); }, true,
     "z=x d[b=y] l[Item #0=l0 Item #1=l1]", 0, 0, 1},
    {"replace with a key of another parent",
     [](TRDomainController &d) { return d.replaceKey(child(d, "a"), leaf("a", "new", child(d, "d"))); },
     false, nullptr, 0, 0, 0},
};

} // namespace

TEST(DomainControllerKeyEdits, ChangeTheTreeTellTheModelAndMarkTheDomain)
{
    for (const bool withModel : {true, false}) {
        for (const Case &test : kCases) {
            SCOPED_TRACE(std::string(test.what) + (withModel ? ", model made" : ", no model"));
            TRDomainController domain(kDomain, contents());
            std::unique_ptr<QAbstractItemModelTester> tester;
            std::unique_ptr<QSignalSpy> inserted, removed, changed;
            if (withModel) {
                TRKeyOutlineModel *model = domain.outlineModel();
                tester = std::make_unique<QAbstractItemModelTester>(
                    model, QAbstractItemModelTester::FailureReportingMode::Fatal);
                inserted = std::make_unique<QSignalSpy>(model, &QAbstractItemModel::rowsInserted);
                removed = std::make_unique<QSignalSpy>(model, &QAbstractItemModel::rowsRemoved);
                changed = std::make_unique<QSignalSpy>(model, &QAbstractItemModel::dataChanged);
            }

            EXPECT_EQ(test.edit(domain), test.changed);
            EXPECT_EQ(domain.modified(), test.changed);
            EXPECT_EQ(shape(*domain.rootKey()),
                      test.shapeAfter ? QString::fromLatin1(test.shapeAfter) : kUnchanged);
            if (withModel) {
                EXPECT_EQ(inserted->count(), test.inserted);
                EXPECT_EQ(removed->count(), test.removed);
                EXPECT_EQ(changed->count(), test.dataChanged);
            }
        }
    }
}

namespace {

// The bytes of the binary encoding: the same keys in the same order with the same values, bit for bit.
QByteArray encoded(const TRValue &value)
{
    QByteArray bytes;
    EXPECT_TRUE(TRPropertyList::writeBinary(value, &bytes));
    return bytes;
}

TRKeyPtr replacement(const TRKeyPtr &old, const char *value)
{
    return leaf(old->name(), value, old->parent());
}

} // namespace

// What AutoSave and the recovery files write is put together from a snapshot: after every kind of edit, in
// one long sequence, it is the tree, key order included, while the window's part stays the changed keys.
TEST(DomainControllerKeyEdits, SnapshotsPutTogetherAreTheTreeAfterEveryEdit)
{
    TRDictionary top = contents().toDictionary();
    for (int i = 0; i < 100; ++i)
        top.insert(QStringLiteral("k%1").arg(i, 2, 10, QLatin1Char('0')), TRValue::fromInteger(i));
    TRDomainController domain(kDomain, TRValue::fromDictionary(std::move(top)));

    struct Step
    {
        const char *what;
        std::function<bool()> edit;
        bool reordered;
        std::size_t changed;
    };
    const auto k = [&](const char *name) { return child(domain, name); };
    const Step steps[] = {
        {"replace a top-level leaf", [&] { return domain.replaceKey(k("a"), replacement(k("a"), "new")); },
         false, 1},
        {"replace a leaf deep down",
         [&] {
             const TRKeyPtr b = k("d")->childForName(str("b"));
             return domain.replaceKey(b, replacement(b, "deep"));
         },
         false, 2},
        {"append to a list", [&] { return domain.insertKey(leaf(TRValue::fromInteger(2), "l2", k("l"))); },
         false, 3},
        {"take a list element", [&] { return domain.takeKey(k("l")->childAtIndex(0)); }, false, 3},
        {"add a top-level key", [&] { return domain.insertKey(leaf("n", "1", domain.rootKey())); }, true, 4},
        {"rename in place", [&] { return domain.replaceKey(k("k05"), leaf("z", "5", domain.rootKey())); },
         true, 5},
        {"take a top-level key", [&] { return domain.takeKey(k("k10")); }, true, 6},
        {"bring it back at the end", [&] { return domain.insertKey(leaf("k10", "back", domain.rootKey())); },
         true, 6},
        {"the whole representation taken", [&] { return !domain.databaseRepresentation().isNone(); }, false,
         0},
        {"an edit after it", [&] { return domain.replaceKey(k("k20"), replacement(k("k20"), "20")); }, false,
         1},
    };
    for (const Step &step : steps) {
        SCOPED_TRACE(step.what);
        ASSERT_TRUE(step.edit());
        const TRDomainController::Snapshot snapshot = domain.snapshot();
        EXPECT_EQ(encoded(snapshot.contents()), encoded(domain.rootKey()->databaseRepresentation()));
        EXPECT_EQ(snapshot.reordered, step.reordered);
        EXPECT_EQ(snapshot.changed.size(), step.changed);
    }
}
