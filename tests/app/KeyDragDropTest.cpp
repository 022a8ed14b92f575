// Drag and drop of keys through the outline models' drop API (mimeData, then dropMimeData), as the views
// call it: reordering a list, moving and copying keys between dictionaries and between domains, drops a
// key into itself refused, each drop one undo step.
#include "KeyTestSupport.h"
#include "TRUndoManager.h"

#include <QMimeData>
#include <memory>

namespace {

const QString kFirst = QStringLiteral("org.example.first");
const QString kSecond = QStringLiteral("org.example.second");

TRValue sample()
{
    TRDictionary inner;
    inner.insert(QStringLiteral("a"), str(QStringLiteral("inner a")));
    TRDictionary top;
    top.insert(QStringLiteral("a"), str(QStringLiteral("x")));
    top.insert(QStringLiteral("d"), TRValue::fromDictionary(std::move(inner)));
    top.insert(QStringLiteral("l"), TRValue::fromArray({str(QStringLiteral("l0")), str(QStringLiteral("l1")),
                                                        str(QStringLiteral("l2"))}));
    return TRValue::fromDictionary(std::move(top));
}

class DragDrop : public KeyTest
{
protected:
    TRKeyOutlineModel *modelOf(const QString &name) const { return domain(name)->outlineModel(); }
    // The index of a key of a domain by its path of names (dictionary keys, list positions as numbers).
    QModelIndex at(const QString &name, const QStringList &path) const
    {
        TRKeyPtr key = domain(name)->rootKey();
        for (const QString &step : path) {
            bool number = false;
            const int position = step.toInt(&number);
            key = number && key->isArray() ? key->childAtIndex(position) : key->childForName(str(step));
            if (!key)
                return QModelIndex();
        }
        return modelOf(name)->indexForKey(key.get());
    }
    // Drags the keys at the paths of one domain and drops them on a row of a parent of another (or the
    // same) domain; answers what the drop answered.
    bool drag(const QString &from, const QList<QStringList> &paths, const QString &to,
              const QStringList &parent, int row, Qt::DropAction action)
    {
        QModelIndexList indexes;
        for (const QStringList &path : paths)
            indexes.append(at(from, path));
        std::unique_ptr<QMimeData> data(modelOf(from)->mimeData(indexes));
        const QModelIndex target = parent.isEmpty() ? QModelIndex() : at(to, parent);
        if (!modelOf(to)->canDropMimeData(data.get(), action, row, 0, target))
            return false;
        const bool dropped = modelOf(to)->dropMimeData(data.get(), action, row, 0, target);
        settle();
        return dropped;
    }
    TRArray list(const QString &name) const
    {
        return contents(name).toDictionary().value(QStringLiteral("l")).toArray();
    }
};

} // namespace

TEST_F(DragDrop, ReordersListElementsInOneStep)
{
    startShowing(kFirst, sample());
    const TRValue before = contents(kFirst);
    const QStringList l{QStringLiteral("l")};

    // The last element to the front; then the first two after the last.
    EXPECT_TRUE(drag(kFirst, {{QStringLiteral("l"), QStringLiteral("2")}}, kFirst, l, 0, Qt::MoveAction));
    EXPECT_EQ(list(kFirst),
              (TRArray{str(QStringLiteral("l2")), str(QStringLiteral("l0")), str(QStringLiteral("l1"))}));
    EXPECT_TRUE(drag(kFirst,
                     {{QStringLiteral("l"), QStringLiteral("0")}, {QStringLiteral("l"), QStringLiteral("1")}},
                     kFirst, l, 3, Qt::MoveAction));
    EXPECT_EQ(list(kFirst),
              (TRArray{str(QStringLiteral("l1")), str(QStringLiteral("l2")), str(QStringLiteral("l0"))}));
    // The rows show their new positions.
    const QModelIndex listIndex = at(kFirst, l);
    for (int row = 0; row < 3; ++row)
        EXPECT_EQ(modelOf(kFirst)->index(row, 0, listIndex).data().toString(),
                  QStringLiteral("Item #%1").arg(row));
    // A copy within the list: the element is there twice.
    EXPECT_TRUE(drag(kFirst, {{QStringLiteral("l"), QStringLiteral("0")}}, kFirst, l, 1, Qt::CopyAction));
    EXPECT_EQ(list(kFirst).size(), 4);
    EXPECT_EQ(list(kFirst).at(1), str(QStringLiteral("l1")));

    EXPECT_EQ(undoNames(), (QStringList{QStringLiteral("Copy keys"), QStringLiteral("Move keys"),
                                        QStringLiteral("Move keys")}));
    for (int i = 0; i < 3; ++i)
        trigger("actionUndo");
    EXPECT_EQ(contents(kFirst), before);
    for (int i = 0; i < 3; ++i)
        trigger("actionRedo");
    EXPECT_EQ(list(kFirst).size(), 4);
}

TEST_F(DragDrop, MovesAndCopiesBetweenDictionariesAndDomains)
{
    storeDomain(kFirst, sample());
    storeDomain(kSecond, sample());
    start();
    selectDomain(kFirst);

    // Top-level a into d, which holds an a: it arrives as "a copy" and leaves the top level.
    EXPECT_TRUE(drag(kFirst, {{QStringLiteral("a")}}, kFirst, {QStringLiteral("d")}, -1, Qt::MoveAction));
    EXPECT_FALSE(contents(kFirst).toDictionary().contains(QStringLiteral("a")));
    const TRDictionary d = contents(kFirst).toDictionary().value(QStringLiteral("d")).toDictionary();
    EXPECT_EQ(d.value(QStringLiteral("a copy")), str(QStringLiteral("x")));
    // A list element into a dictionary, copied: a named key, the list unchanged.
    EXPECT_TRUE(drag(kFirst, {{QStringLiteral("l"), QStringLiteral("1")}}, kFirst, {}, -1, Qt::CopyAction));
    EXPECT_EQ(contents(kFirst).toDictionary().value(QStringLiteral("new key")), str(QStringLiteral("l1")));
    EXPECT_EQ(list(kFirst).size(), 3);

    // Across domains: the whole dictionary d of the first domain into the second one's list, moved.
    const TRValue movedD = contents(kFirst).toDictionary().value(QStringLiteral("d"));
    EXPECT_TRUE(drag(kFirst, {{QStringLiteral("d")}}, kSecond, {QStringLiteral("l")}, 1, Qt::MoveAction));
    EXPECT_FALSE(contents(kFirst).toDictionary().contains(QStringLiteral("d")));
    EXPECT_EQ(list(kSecond).size(), 4);
    EXPECT_EQ(list(kSecond).at(1), movedD);
    EXPECT_TRUE(domain(kFirst)->modified());
    EXPECT_TRUE(domain(kSecond)->modified());
    // One step puts both domains back.
    trigger("actionUndo");
    EXPECT_EQ(contents(kFirst).toDictionary().value(QStringLiteral("d")), movedD);
    EXPECT_EQ(contents(kSecond), sample());
    EXPECT_EQ(undoNames(), (QStringList{QStringLiteral("Copy keys"), QStringLiteral("Move keys")}));
}

TEST_F(DragDrop, NeverIntoItselfOrBelowAndNothingFromNoPropertyList)
{
    TRValue nested = [] {
        TRDictionary below;
        below.insert(QStringLiteral("e"), TRValue::fromDictionary({}));
        TRDictionary top;
        top.insert(QStringLiteral("d"), TRValue::fromDictionary(std::move(below)));
        top.insert(QStringLiteral("s"), str(QStringLiteral("leaf")));
        return TRValue::fromDictionary(std::move(top));
    }();
    startShowing(kFirst, nested);
    EXPECT_FALSE(drag(kFirst, {{QStringLiteral("d")}}, kFirst, {QStringLiteral("d")}, -1, Qt::MoveAction));
    EXPECT_FALSE(drag(kFirst, {{QStringLiteral("d")}}, kFirst, {QStringLiteral("d"), QStringLiteral("e")}, -1,
                      Qt::CopyAction));
    // Onto a leaf, or a move within its own dictionary: nothing.
    EXPECT_FALSE(drag(kFirst, {{QStringLiteral("d")}}, kFirst, {QStringLiteral("s")}, -1, Qt::MoveAction));
    EXPECT_FALSE(drag(kFirst, {{QStringLiteral("s")}}, kFirst, {}, 0, Qt::MoveAction));
    // Text from another program that is no property list.
    QMimeData words;
    words.setText(QStringLiteral("just words"));
    EXPECT_FALSE(modelOf(kFirst)->dropMimeData(&words, Qt::CopyAction, -1, 0, QModelIndex()));
    EXPECT_EQ(contents(kFirst), nested);
    EXPECT_TRUE(undoNames().isEmpty());
    EXPECT_FALSE(domain(kFirst)->modified());

    // A property list dropped from another program copies in.
    QMimeData plist;
    plist.setText(QStringLiteral("<key>dropped</key><integer>3</integer>"));
    EXPECT_TRUE(
        modelOf(kFirst)->dropMimeData(&plist, Qt::MoveAction, -1, 0, at(kFirst, {QStringLiteral("d")})));
    EXPECT_EQ(contents(kFirst)
                  .toDictionary()
                  .value(QStringLiteral("d"))
                  .toDictionary()
                  .value(QStringLiteral("dropped")),
              TRValue::fromInteger(3));
}
