#pragma once

#include "TRValue.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

class TRCoder;
class TRKey;
using TRKeyPtr = std::shared_ptr<TRKey>;

// One node of a domain's key tree: a name within its parent (a number, a text, or none for the root), a
// value (a property-list leaf, or a container of child nodes for an array or a dictionary), a weak link to
// the parent and the name of the domain the node belongs to. Nodes are shared: a node taken out of its
// parent lives on while an undo record holds it.
class TRKey final : public std::enable_shared_from_this<TRKey>
{
public:
    enum class NodeKind : quint8
    {
        Leaf,
        List,
        Dictionary
    };

    // The child container of a compound node. Children keep the order in which they were built or added;
    // a dictionary container finds a child by key in O(1) on average. A node built from a value makes its
    // children when they are first asked for: a domain of a million keys is shown a screenful at a time,
    // so until then a child costs only its share of the value it is made from: no node, and no slot
    // either while few children are made.
    struct Children
    {
        // One slot a child, null where the child is not made yet. Empty while the children are still
        // the source value's and only a few are made: those are in sparse, by position.
        std::vector<TRKeyPtr> nodes;
        std::unordered_map<std::size_t, TRKeyPtr> sparse;
        // The value the children were built from, while the child list is still that value's: child i
        // is its element i, a dictionary's keys and their lookup are the value's, and keys, index and
        // pending stay empty. The first change of the list (detach()) copies out what it needs.
        TRValue source;
        std::size_t sourceCount = 0;       // the source value's element count, asked for with every row shown
        std::vector<QString> keys;         // dictionary nodes only: the key each child is stored under
        QHash<QString, std::size_t> index; // dictionary nodes only: key to position
        // After a change, while some children are not made: one value a child, what the child at that
        // position is made from (none where it is made). Empty once every child is made.
        std::vector<TRValue> pending;
        // One bit a position, set where the child not made yet is an array or a dictionary. A view asks the
        // kind of every row it lays out: worked out for every position in one pass over the values when
        // first asked (far cheaper than one read of a value a row among the view's own work), then kept in
        // step with the positions while children are not made. Never asked for a made child.
        std::vector<bool> compound;
        // A dictionary node's last representation while its keys stay those, in that order (none once
        // a key is added, removed or renamed): the next one reuses its lookup table. Kept for large
        // dictionaries only, where building the table is most of the work.
        TRValue layout;
    };

    // initWithName:value:parent:domain: builds the node and, through its value, its whole subtree. Null,
    // with nothing built, when the value expands to more than kTRMaxExpandedValues nodes (its shared
    // containers counted at every place they are used).
    static TRKeyPtr create(const TRValue &name, const TRValue &value, const TRKeyPtr &parent,
                           const QString &domain);
    // create() for a value already found to expand to at most kTRMaxExpandedValues nodes (a domain's
    // contents as the store read them): the same node, without counting the whole value a second time.
    static TRKeyPtr createWithinBound(const TRValue &name, const TRValue &value, const TRKeyPtr &parent,
                                      const QString &domain)
    {
        return build(name, value, parent, domain);
    }

    ~TRKey();
    TRKey(const TRKey &) = delete;
    TRKey &operator=(const TRKey &) = delete;

    // ---- Kind tests on values (class-level). The boolean test runs before the number test.
    static bool isObjectArray(const TRValue &value) { return value.isArray(); }
    static bool isObjectDictionary(const TRValue &value) { return value.isDictionary(); }
    static bool isObjectCompound(const TRValue &value);
    static bool isObjectString(const TRValue &value) { return value.isString(); }
    static bool isObjectBoolean(const TRValue &value) { return value.isBoolean(); }
    static bool isObjectNumber(const TRValue &value) { return value.isNumber(); }
    static bool isObjectDate(const TRValue &value) { return value.isDate(); }
    static bool isObjectData(const TRValue &value) { return value.isData(); }
    // "Boolean", "Number", "Date", "Binary", "Array", "Dictionary", or "String" for anything else
    // (none included), looked up for translation.
    static QString valueTypeName(const TRValue &value);
    // The name of every type a key can have, as the outline shows them.
    static QStringList typeNames();

    // processValue:forKey: turns a value into what the owner holds: a leaf stays the very value, an array
    // or a dictionary becomes a new container of child nodes whose parent is the owner.
    static void processValue(const TRValue &value, TRKey &owner);

    // ---- Fields
    const TRValue &name() const { return m_name; }
    const QString &domain() const { return m_domain; }
    // A leaf's value; none for a compound node (whose contents are its children).
    const TRValue &value() const { return m_value; }
    // The parent, or null for the root and once the parent is gone.
    TRKeyPtr parent() const { return m_parent.lock(); }
    // Only restoring from an archive relinks a node.
    void setParent(const TRKeyPtr &parent) { m_parent = parent; }

    NodeKind nodeKind() const { return m_kind; }
    bool isArray() const { return m_kind == NodeKind::List; }
    bool isDictionary() const { return m_kind == NodeKind::Dictionary; }
    bool isCompound() const { return m_kind != NodeKind::Leaf; }

    // ---- Children. Positions count from 0; a position outside the list gives null.
    int count() const;
    TRKeyPtr childAtIndex(int index) const;
    // The kind of the child at a position, without making the child (a view asks it of every row); Leaf
    // outside the list.
    NodeKind childKindAt(int index) const;
    TRKeyPtr childForName(const TRValue &name) const;
    bool keyExists(const TRValue &name) const;
    // The position of that very node among the children, or -1. O(1) on average: a dictionary looks its
    // name up, a list tries the position its name gives before it searches.
    int rowOfChild(const TRKey *child) const;
    // What a mutator did to the child list: nothing, an insertion at a row, the replacement of the child at
    // a row, or the removal of the child at a row.
    struct Edit
    {
        enum class Kind : quint8
        {
            None,
            Insert,
            Replace,
            Remove
        };
        Kind kind = Kind::None;
        int row = -1;
        bool operator==(const Edit &) const = default;
    };
    // Told what a mutator is about to do, after it has decided and before the list changes: an item
    // model's begin call goes here, so that it always matches the change.
    using EditObserver = std::function<void(const Edit &)>;

    // List: appended at the end. Dictionary: stored under the child's own name, replacing any child there.
    Edit addKey(const TRKeyPtr &child, const EditObserver &before = {});
    // List: inserted at the position given by the name's intValue (clamped to the list). Dictionary: stored
    // under the given name, replacing any child there.
    Edit addKey(const TRKeyPtr &child, const TRValue &name, const EditObserver &before = {});
    // List: the very node is taken out (found by identity). Dictionary: the entry stored under its name.
    Edit removeKey(const TRKeyPtr &child, const EditObserver &before = {});
    // List: the new node takes the old node's place (by identity). Dictionary: stored under the old name.
    Edit replaceKey(const TRKeyPtr &oldChild, const TRKeyPtr &newChild, const EditObserver &before = {});
    // Dictionary only: the new node takes the old node's entry, in its place, under the new node's name;
    // nothing when that name belongs to another entry (a rename loses no entry).
    Edit renameKey(const TRKeyPtr &oldChild, const TRKeyPtr &newChild, const EditObserver &before = {});
    // Applies the operation with the argument to every direct child, in order.
    void performForAll(const std::function<void(TRKey &, const TRKeyPtr &)> &operation,
                       const TRKeyPtr &argument) const;
    // The children in order (empty for a leaf).
    const std::vector<TRKeyPtr> &children() const;

    // ---- Conversion back to a property list; leaves are the very values the tree holds.
    TRValue databaseRepresentation() const;

    // ---- Display texts
    QString nameDescription() const;
    QString valueDescription() const;
    QString typeName() const;

    // Builds a compound node from already-made children (restoring an archive). Parent links of the
    // children are left to the caller. Dictionary children are stored under the given keys.
    static TRKeyPtr createList(const TRValue &name, const QString &domain, std::vector<TRKeyPtr> children);
    static TRKeyPtr createDictionary(const TRValue &name, const QString &domain,
                                     std::vector<std::pair<QString, TRKeyPtr>> children);
    // A dictionary node's key for a child position (empty for other nodes or out of range).
    QString keyAtIndex(int index) const;

    // ---- Archiving (TRKeyCoding.cpp): domain, name and value, in this order and without keys. Reading
    // relinks the direct children to the new node; it answers null once the coder has failed.
    void encodeWithCoder(TRCoder &coder) const;
    static TRKeyPtr initWithCoder(TRCoder &coder);

private:
    struct PrivateTag
    {
    };

public:
    TRKey(PrivateTag, const TRValue &name, const QString &domain);

private:
    // create() without the size check, for the nodes below one that passed it.
    static TRKeyPtr build(const TRValue &name, const TRValue &value, const TRKeyPtr &parent,
                          const QString &domain);
    void storeInDictionary(const QString &key, const TRKeyPtr &child);
    // Where the dictionary stores that key; the child count when it holds no such key.
    std::size_t dictionaryPosition(const QString &key) const;
    Edit storeReporting(const QString &key, const TRKeyPtr &child, const EditObserver &before);
    void removeFromDictionaryAt(std::size_t position);
    // The number of children, whether their slots are laid out or not.
    std::size_t slotCount() const;
    // Lays out one slot a child (a no-op once they are).
    void layOutSlots() const;
    // The child at a position if it is made, else null; the position must be in range.
    const TRKeyPtr *madeAt(std::size_t position) const;
    // The child at a position, made first if it is not made yet; the position must be in range.
    const TRKeyPtr &made(std::size_t position) const;
    // Makes every child not made yet.
    void makeAll() const;
    // What the child at a position not made yet is made from.
    const TRValue &unmadeValue(std::size_t position) const;
    // Whether that value is an array or a dictionary, from the bits of the child container.
    bool unmadeIsCompound(std::size_t position) const;
    // Before the first change of the child list: keys and values copied out of the source value.
    void detach() const;
    // Keeps the values of children not made yet in step with a change of the child list.
    void appendSlot(const TRKeyPtr &child) const;
    void setSlot(std::size_t position, const TRKeyPtr &child) const;
    void eraseSlot(std::size_t position) const;
    static QString nameKey(const TRValue &name);

    QString m_domain;
    TRValue m_name;
    TRValue m_value;
    std::unique_ptr<Children> m_children;
    std::weak_ptr<TRKey> m_parent;
    NodeKind m_kind = NodeKind::Leaf;
};
