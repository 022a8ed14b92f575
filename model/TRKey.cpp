#include "TRKey.h"

#include "TRLimits.h"
#include "TRText.h"

#include <algorithm>

namespace {

// Dictionary nodes with at most this many children are searched linearly and carry no hash.
constexpr std::size_t kLinearLimit = kTRLinearLimit;

// List elements are named by position; the names of the first positions are made once and shared, as
// values never change.
TRValue positionName(qsizetype position)
{
    static constexpr qsizetype kShared = 4096;
    static const std::vector<TRValue> names = [] {
        std::vector<TRValue> made;
        made.reserve(std::size_t(kShared));
        for (qsizetype i = 0; i < kShared; ++i)
            made.push_back(TRValue::fromInteger(i));
        return made;
    }();
    return position < kShared ? names[std::size_t(position)] : TRValue::fromInteger(position);
}

// The name index of a large dictionary node is built by the first lookup, not with the node: a tree is
// mostly shown, and its conversion from a property list needs no lookups, since those keys are unique.
// Once built, the mutators keep it up to date; it is complete exactly when it holds every key.
// While at most one child in this many is made, made children are kept by position rather than in one
// slot a child: a domain of a million keys shown a screenful at a time then costs no slot per key.
constexpr std::size_t kSparseShare = 8;

bool hasFullIndex(const TRKey::Children &c)
{
    return c.nodes.size() > kLinearLimit && std::size_t(c.index.size()) == c.nodes.size();
}

const std::vector<TRKeyPtr> &noChildren()
{
    static const std::vector<TRKeyPtr> empty;
    return empty;
}

} // namespace

TRKey::TRKey(PrivateTag, const TRValue &name, const QString &domain) : m_domain(domain), m_name(name)
{
}

TRKey::~TRKey() = default;

TRKeyPtr TRKey::create(const TRValue &name, const TRValue &value, const TRKeyPtr &parent,
                       const QString &domain)
{
    // Counted before anything is built: a value that shares its containers can stand for far more nodes
    // than memory holds.
    if (value.isCompound() && value.expandedSize(kTRMaxExpandedValues + 1) > kTRMaxExpandedValues)
        return nullptr;
    return build(name, value, parent, domain);
}

TRKeyPtr TRKey::build(const TRValue &name, const TRValue &value, const TRKeyPtr &parent,
                      const QString &domain)
{
    auto node = std::make_shared<TRKey>(PrivateTag{}, name, domain);
    node->m_parent = parent;
    processValue(value, *node);
    return node;
}

TRKeyPtr TRKey::createList(const TRValue &name, const QString &domain, std::vector<TRKeyPtr> children)
{
    auto node = std::make_shared<TRKey>(PrivateTag{}, name, domain);
    node->m_kind = NodeKind::List;
    node->m_children = std::make_unique<Children>();
    node->m_children->nodes = std::move(children);
    return node;
}

TRKeyPtr TRKey::createDictionary(const TRValue &name, const QString &domain,
                                 std::vector<std::pair<QString, TRKeyPtr>> children)
{
    auto node = std::make_shared<TRKey>(PrivateTag{}, name, domain);
    node->m_kind = NodeKind::Dictionary;
    node->m_children = std::make_unique<Children>();
    node->m_children->nodes.reserve(children.size());
    node->m_children->keys.reserve(children.size());
    for (auto &[key, child] : children)
        node->storeInDictionary(key, child);
    return node;
}

bool TRKey::isObjectCompound(const TRValue &value)
{
    if (isObjectArray(value))
        return true;
    return isObjectDictionary(value);
}

QString TRKey::valueTypeName(const TRValue &value)
{
    if (isObjectBoolean(value))
        return trText("Boolean");
    if (isObjectNumber(value))
        return trText("Number");
    if (isObjectDate(value))
        return trText("Date");
    if (isObjectData(value))
        return trText("Binary");
    if (isObjectArray(value))
        return trText("Array");
    if (isObjectDictionary(value))
        return trText("Dictionary");
    return trText("String");
}

QStringList TRKey::typeNames()
{
    return {trText("String"), trText("Number"), trText("Boolean"),   trText("Date"),
            trText("Binary"), trText("Array"),  trText("Dictionary")};
}

void TRKey::processValue(const TRValue &value, TRKey &owner)
{
    if (!isObjectCompound(value)) {
        owner.m_kind = NodeKind::Leaf;
        owner.m_value = value;
        owner.m_children.reset();
        return;
    }
    owner.m_value = TRValue();
    owner.m_children = std::make_unique<Children>();
    // The children are made when first asked for (made()), from the value's elements.
    owner.m_kind = isObjectArray(value) ? NodeKind::List : NodeKind::Dictionary;
    owner.m_children->source = value;
    owner.m_children->sourceCount =
        std::size_t(isObjectArray(value) ? value.toArray().size() : value.toDictionary().size());
}

std::size_t TRKey::slotCount() const
{
    const Children &c = *m_children;
    if (!c.nodes.empty() || c.source.isNone())
        return c.nodes.size();
    return c.sourceCount;
}

void TRKey::layOutSlots() const
{
    Children &c = *m_children;
    const std::size_t size = slotCount();
    if (c.nodes.size() == size)
        return;
    c.nodes.resize(size);
    for (auto &[position, node] : c.sparse)
        c.nodes[position] = std::move(node);
    c.sparse = {};
}

const TRKeyPtr *TRKey::madeAt(std::size_t position) const
{
    const Children &c = *m_children;
    if (!c.nodes.empty())
        return c.nodes[position] ? &c.nodes[position] : nullptr;
    if (c.sparse.empty())
        return nullptr;
    const auto found = c.sparse.find(position);
    return found != c.sparse.end() && found->second ? &found->second : nullptr;
}

const TRValue &TRKey::unmadeValue(std::size_t position) const
{
    const Children &c = *m_children;
    if (c.source.isNone())
        return c.pending[position];
    return isArray() ? c.source.toArray().at(qsizetype(position))
                     : c.source.toDictionary().valueAt(qsizetype(position));
}

bool TRKey::unmadeIsCompound(std::size_t position) const
{
    Children &c = *m_children;
    const std::size_t size = slotCount();
    if (c.compound.size() != size) {
        // Every value's kind, read in a loop that does nothing else: the reads overlap.
        std::vector<bool> bits(size);
        if (!c.source.isNone() && isArray()) {
            const TRArray &elements = c.source.toArray();
            for (std::size_t i = 0; i < size; ++i)
                bits[i] = elements.at(qsizetype(i)).isCompound();
        } else if (!c.source.isNone()) {
            const TRDictionary &entries = c.source.toDictionary();
            for (std::size_t i = 0; i < size; ++i)
                bits[i] = entries.valueAt(qsizetype(i)).isCompound();
        } else {
            for (std::size_t i = 0; i < size; ++i)
                bits[i] = c.pending[i].isCompound();
        }
        c.compound = std::move(bits);
    }
    return c.compound[position];
}

void TRKey::detach() const
{
    Children &c = *m_children;
    if (c.source.isNone())
        return;
    layOutSlots();
    const std::size_t size = c.nodes.size();
    if (isDictionary()) {
        const TRDictionary &entries = c.source.toDictionary();
        c.keys.reserve(size);
        for (std::size_t i = 0; i < size; ++i)
            c.keys.push_back(entries.keyAt(qsizetype(i)));
    }
    if (std::any_of(c.nodes.begin(), c.nodes.end(), [](const TRKeyPtr &node) { return !node; })) {
        c.pending.reserve(size);
        for (std::size_t i = 0; i < size; ++i)
            c.pending.push_back(c.nodes[i] ? TRValue() : unmadeValue(i));
    }
    // The keys stay the source's until a key is added, removed or renamed.
    if (isDictionary() && size > std::size_t(kTRLinearLimit))
        c.layout = c.source;
    c.source = TRValue();
    c.sourceCount = 0;
}

const TRKeyPtr &TRKey::made(std::size_t position) const
{
    Children &c = *m_children;
    if (c.nodes.empty() && !c.source.isNone() && c.sparse.size() >= slotCount() / kSparseShare)
        layOutSlots();
    TRKeyPtr &slot = c.nodes.empty() ? c.sparse[position] : c.nodes[position];
    if (!slot) {
        // A list element not made yet has not moved (inserting or removing elements makes them all
        // first), so its position is still its name.
        const TRValue name = isDictionary() ? TRValue::fromString(keyAtIndex(int(position)))
                                            : positionName(qsizetype(position));
        const TRKeyPtr self = std::const_pointer_cast<TRKey>(shared_from_this());
        slot = build(name, unmadeValue(position), self, m_domain);
        if (!c.pending.empty())
            c.pending[position] = TRValue();
    }
    return slot;
}

void TRKey::makeAll() const
{
    if (!m_children || (m_children->source.isNone() && m_children->pending.empty()))
        return;
    layOutSlots();
    for (std::size_t i = 0; i < m_children->nodes.size(); ++i)
        made(i);
    detach();
    m_children->pending = std::vector<TRValue>();
    m_children->compound = std::vector<bool>();
}

void TRKey::appendSlot(const TRKeyPtr &child) const
{
    detach();
    Children &c = *m_children;
    c.layout = TRValue();
    if (c.compound.size() == c.nodes.size())
        c.compound.push_back(false);
    c.nodes.push_back(child);
    if (!c.pending.empty())
        c.pending.emplace_back();
}

void TRKey::setSlot(std::size_t position, const TRKeyPtr &child) const
{
    detach();
    m_children->nodes[position] = child;
    if (!m_children->pending.empty())
        m_children->pending[position] = TRValue();
}

void TRKey::eraseSlot(std::size_t position) const
{
    detach();
    Children &c = *m_children;
    c.layout = TRValue();
    if (c.compound.size() == c.nodes.size())
        c.compound.erase(c.compound.begin() + std::ptrdiff_t(position));
    c.nodes.erase(c.nodes.begin() + std::ptrdiff_t(position));
    if (!c.pending.empty())
        c.pending.erase(c.pending.begin() + std::ptrdiff_t(position));
}

QString TRKey::nameKey(const TRValue &name)
{
    return name.isString() ? name.toString() : name.description();
}

std::size_t TRKey::dictionaryPosition(const QString &key) const
{
    // The container is the node's cache as much as its contents: a lookup may build the index.
    Children &c = *m_children;
    if (!c.source.isNone()) {
        const qsizetype found = c.source.toDictionary().indexOf(key);
        return found >= 0 ? std::size_t(found) : slotCount();
    }
    if (c.nodes.size() > kLinearLimit) {
        if (!hasFullIndex(c)) {
            c.index.clear();
            c.index.reserve(qsizetype(c.nodes.size() * 2));
            for (std::size_t i = 0; i < c.keys.size(); ++i)
                c.index.insert(c.keys[i], i);
        }
        const auto found = c.index.constFind(key);
        return found != c.index.cend() ? *found : c.nodes.size();
    }
    return std::size_t(std::find(c.keys.begin(), c.keys.end(), key) - c.keys.begin());
}

void TRKey::storeInDictionary(const QString &key, const TRKeyPtr &child)
{
    Children &c = *m_children;
    const std::size_t position = dictionaryPosition(key);
    if (position < slotCount()) {
        setSlot(position, child);
        return;
    }
    const bool indexed = hasFullIndex(c);
    appendSlot(child);
    c.keys.push_back(key);
    if (indexed)
        c.index.insert(key, c.nodes.size() - 1);
}

TRKey::Edit TRKey::storeReporting(const QString &key, const TRKeyPtr &child, const EditObserver &before)
{
    const std::size_t position = dictionaryPosition(key);
    const Edit edit{position < slotCount() ? Edit::Kind::Replace : Edit::Kind::Insert, int(position)};
    if (before)
        before(edit);
    storeInDictionary(key, child);
    return edit;
}

TRKey::Edit TRKey::renameKey(const TRKeyPtr &oldChild, const TRKeyPtr &newChild, const EditObserver &before)
{
    if (!oldChild || !newChild || !isDictionary())
        return {};
    const QString oldKey = nameKey(oldChild->name());
    const QString newKey = nameKey(newChild->name());
    Children &c = *m_children;
    const std::size_t position = dictionaryPosition(oldKey);
    // Neither a missing entry nor one that would overwrite another: a rename loses nothing.
    if (position >= slotCount() || (newKey != oldKey && dictionaryPosition(newKey) < slotCount()))
        return {};
    const Edit edit{Edit::Kind::Replace, int(position)};
    if (before)
        before(edit);
    detach();
    setSlot(position, newChild);
    c.keys[position] = newKey;
    c.layout = TRValue();
    if (c.nodes.size() > kLinearLimit) {
        c.index.remove(oldKey);
        c.index.insert(newKey, position);
    }
    return edit;
}

void TRKey::removeFromDictionaryAt(std::size_t position)
{
    detach();
    Children &c = *m_children;
    const bool indexed = hasFullIndex(c) && c.nodes.size() > kLinearLimit + 1;
    if (indexed)
        c.index.remove(c.keys[position]);
    eraseSlot(position);
    c.keys.erase(c.keys.begin() + std::ptrdiff_t(position));
    if (!indexed) {
        c.index.clear();
        return;
    }
    // Only the entries after the removed one move up.
    for (std::size_t i = position; i < c.keys.size(); ++i)
        c.index[c.keys[i]] = i;
}

int TRKey::count() const
{
    return m_children ? int(slotCount()) : 0;
}

const std::vector<TRKeyPtr> &TRKey::children() const
{
    if (!m_children)
        return noChildren();
    makeAll();
    return m_children->nodes;
}

TRKeyPtr TRKey::childAtIndex(int index) const
{
    if (!m_children || index < 0 || std::size_t(index) >= slotCount())
        return nullptr;
    return made(std::size_t(index));
}

TRKey::NodeKind TRKey::childKindAt(int index) const
{
    if (!m_children || index < 0 || std::size_t(index) >= slotCount())
        return NodeKind::Leaf;
    if (const TRKeyPtr *child = madeAt(std::size_t(index)))
        return (*child)->nodeKind();
    if (!unmadeIsCompound(std::size_t(index)))
        return NodeKind::Leaf;
    const TRValue &value = unmadeValue(std::size_t(index));
    return value.isArray() ? NodeKind::List : value.isDictionary() ? NodeKind::Dictionary : NodeKind::Leaf;
}

QString TRKey::keyAtIndex(int index) const
{
    if (!isDictionary() || index < 0 || std::size_t(index) >= slotCount())
        return QString();
    if (!m_children->source.isNone())
        return m_children->source.toDictionary().keyAt(index);
    return m_children->keys[std::size_t(index)];
}

TRKeyPtr TRKey::childForName(const TRValue &name) const
{
    if (isArray())
        return childAtIndex(name.intValue());
    if (!isDictionary())
        return nullptr;
    const std::size_t position = dictionaryPosition(nameKey(name));
    return position < slotCount() ? made(position) : nullptr;
}

int TRKey::rowOfChild(const TRKey *child) const
{
    if (!child || !m_children)
        return -1;
    const std::size_t hint = isDictionary() ? dictionaryPosition(nameKey(child->name()))
                                            : std::size_t(std::max(child->name().intValue(), 0));
    if (hint < slotCount()) {
        if (const TRKeyPtr *atHint = madeAt(hint); atHint && atHint->get() == child)
            return int(hint);
    }
    if (isDictionary())
        return -1;
    // A list element not made yet has not moved, so a made one found elsewhere is among laid-out slots.
    const auto &nodes = m_children->nodes;
    const auto found = std::find_if(nodes.begin(), nodes.end(),
                                    [child](const TRKeyPtr &node) { return node.get() == child; });
    return found != nodes.end() ? int(found - nodes.begin()) : -1;
}

bool TRKey::keyExists(const TRValue &name) const
{
    return isDictionary() && childForName(name) != nullptr;
}

TRKey::Edit TRKey::addKey(const TRKeyPtr &child, const EditObserver &before)
{
    if (!child || !isCompound())
        return {};
    if (!isArray())
        return storeReporting(nameKey(child->name()), child, before);
    const Edit edit{Edit::Kind::Insert, int(slotCount())};
    if (before)
        before(edit);
    appendSlot(child);
    return edit;
}

TRKey::Edit TRKey::addKey(const TRKeyPtr &child, const TRValue &name, const EditObserver &before)
{
    if (!child || !isCompound())
        return {};
    if (isDictionary())
        return storeReporting(nameKey(name), child, before);
    // The elements after the new one move: those not made yet are made where their names are still right.
    makeAll();
    auto &nodes = m_children->nodes;
    const Edit edit{Edit::Kind::Insert, std::clamp(name.intValue(), 0, int(nodes.size()))};
    if (before)
        before(edit);
    nodes.insert(nodes.begin() + edit.row, child);
    return edit;
}

TRKey::Edit TRKey::removeKey(const TRKeyPtr &child, const EditObserver &before)
{
    if (!child || !isCompound())
        return {};
    if (isArray())
        layOutSlots();
    auto &nodes = m_children->nodes;
    const std::size_t position =
        isArray() ? std::size_t(std::find(nodes.begin(), nodes.end(), child) - nodes.begin())
                  : dictionaryPosition(nameKey(child->name()));
    if (position >= slotCount())
        return {};
    const Edit edit{Edit::Kind::Remove, int(position)};
    if (before)
        before(edit);
    if (isArray()) {
        makeAll();
        nodes.erase(nodes.begin() + std::ptrdiff_t(position));
    } else
        removeFromDictionaryAt(position);
    return edit;
}

TRKey::Edit TRKey::replaceKey(const TRKeyPtr &oldChild, const TRKeyPtr &newChild, const EditObserver &before)
{
    if (!oldChild || !newChild || !isCompound())
        return {};
    if (isDictionary())
        return storeReporting(nameKey(oldChild->name()), newChild, before);
    layOutSlots();
    auto &nodes = m_children->nodes;
    const auto found = std::find(nodes.begin(), nodes.end(), oldChild);
    if (found == nodes.end())
        return {};
    const Edit edit{Edit::Kind::Replace, int(found - nodes.begin())};
    if (before)
        before(edit);
    setSlot(std::size_t(found - nodes.begin()), newChild);
    return edit;
}

void TRKey::performForAll(const std::function<void(TRKey &, const TRKeyPtr &)> &operation,
                          const TRKeyPtr &argument) const
{
    if (!m_children)
        return;
    for (const TRKeyPtr &child : children())
        operation(*child, argument);
}

TRValue TRKey::databaseRepresentation() const
{
    // Nothing made and nothing changed: the value the node was built from.
    if (m_children && !m_children->source.isNone() && m_children->sparse.empty() &&
        std::none_of(m_children->nodes.begin(), m_children->nodes.end(),
                     [](const TRKeyPtr &node) { return bool(node); }))
        return m_children->source;
    // A child not made yet is still the very value it would be made from.
    const auto valueAt = [this](std::size_t i) {
        const TRKeyPtr *child = madeAt(i);
        return child ? (*child)->databaseRepresentation() : unmadeValue(i);
    };
    if (isArray()) {
        TRArray elements;
        elements.reserve(qsizetype(slotCount()));
        for (std::size_t i = 0; i < slotCount(); ++i)
            elements.append(valueAt(i));
        return TRValue::fromArray(std::move(elements));
    }
    if (isDictionary()) {
        const TRValue &layout = m_children->source.isNone() ? m_children->layout : m_children->source;
        if (layout.isDictionary() && std::size_t(layout.toDictionary().size()) == slotCount())
            return TRValue::fromDictionary(TRDictionary::withKeysOf(
                layout.toDictionary(), [&](qsizetype i) { return valueAt(std::size_t(i)); }));
        TRDictionary entries;
        entries.reserve(qsizetype(slotCount()));
        for (std::size_t i = 0; i < slotCount(); ++i)
            entries.insert(keyAtIndex(int(i)), valueAt(i));
        TRValue made = TRValue::fromDictionary(std::move(entries));
        if (slotCount() > kTRLinearLimit)
            m_children->layout = made;
        return made;
    }
    return m_value;
}

QString TRKey::nameDescription() const
{
    if (isObjectNumber(m_name))
        return trFormat(trText("Item #%d"), {QString::number(m_name.intValue())});
    return m_name.isNone() ? QString() : (m_name.isString() ? m_name.toString() : m_name.description());
}

QString TRKey::valueDescription() const
{
    if (isCompound())
        return trFormat(trText("%d sub-items"), {QString::number(count())});
    if (isObjectBoolean(m_value))
        return m_value.boolValue() ? trText("YES") : trText("NO");
    return m_value.description();
}

QString TRKey::typeName() const
{
    if (isArray())
        return trText("Array");
    if (isDictionary())
        return trText("Dictionary");
    return valueTypeName(m_value);
}
