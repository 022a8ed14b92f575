#include "TRKeySet.h"

#include <algorithm>
#include <cstring>

namespace {

int unitSize(TRKeySet::Units units)
{
    return units == TRKeySet::Units::Latin1 || units == TRKeySet::Units::Utf8 ? 1 : 2;
}

char16_t unitAt(const TRKeySet::Key &key, qsizetype i)
{
    const auto *bytes = static_cast<const unsigned char *>(key.data);
    switch (key.units) {
    case TRKeySet::Units::Utf16BigEndian:
        return char16_t(bytes[2 * i] << 8 | bytes[2 * i + 1]);
    case TRKeySet::Units::Utf16:
        return static_cast<const char16_t *>(key.data)[i];
    default:
        return bytes[i];
    }
}

} // namespace

void TRKeySet::clear(int level, qsizetype expected)
{
    if (qsizetype(m_levels.size()) <= level)
        m_levels.resize(size_t(level) + 1);
    Level &set = m_levels[size_t(level)];
    // A set grown for a large dictionary and reused for small ones frees only the table it used.
    if (set.entries.size() * 4 >= set.table.size()) {
        std::fill(set.table.begin(), set.table.end(), 0);
    } else {
        for (const Entry &entry : set.entries)
            set.table[entry.slot] = 0;
    }
    set.entries.clear();
    set.copies.clear();
    set.queued.clear();
    if (expected > 0) {
        grow(&set, expected);
        set.entries.reserve(size_t(expected));
    }
}

bool TRKeySet::insert(int level, const Key &key, bool copy)
{
    return insert(&m_levels[size_t(level)], Prepared{key, hash(key)}, copy);
}

qsizetype TRKeySet::queue(int level, const Key &key)
{
    static constexpr size_t kQueued = 16;
    Level &set = m_levels[size_t(level)];
    const Prepared prepared{key, hash(key)};
    if (!set.table.empty())
        __builtin_prefetch(set.table.data() + (prepared.hash & (set.table.size() - 1)));
    set.queued.push_back(prepared);
    return set.queued.size() < kQueued ? -1 : settle(level);
}

qsizetype TRKeySet::settle(int level)
{
    Level &set = m_levels[size_t(level)];
    qsizetype repeated = -1;
    for (const Prepared &key : set.queued) {
        if (!insert(&set, key, false)) {
            repeated = qsizetype(set.entries.size());
            break;
        }
    }
    set.queued.clear();
    return repeated;
}

bool TRKeySet::insert(Level *level, const Prepared &key, bool copy)
{
    Level &set = *level;
    grow(&set, qsizetype(set.entries.size()) + 1);
    const size_t mask = set.table.size() - 1;
    size_t slot = key.hash & mask;
    for (; set.table[slot] != 0; slot = (slot + 1) & mask) {
        const quint64 used = set.table[slot];
        if (quint32(used >> 32) == key.hash &&
            equal(keyOf(set, set.entries[size_t(quint32(used)) - 1]), key.key))
            return false;
    }
    Entry entry{quintptr(key.key.data), quint32(slot), quint32(key.key.units), copy, quint32(key.key.length)};
    if (copy) {
        const size_t bytes = size_t(key.key.length) * size_t(unitSize(key.key.units));
        entry.where = set.copies.size();
        set.copies.resize(set.copies.size() + (bytes + 1) / 2);
        if (bytes > 0)
            std::memcpy(set.copies.data() + entry.where, key.key.data, bytes);
    }
    set.entries.push_back(entry);
    set.table[slot] = quint64(key.hash) << 32 | quint64(set.entries.size());
    return true;
}

void TRKeySet::grow(Level *level, qsizetype keys)
{
    size_t capacity = std::max<size_t>(level->table.size(), 16);
    while (capacity < size_t(keys) * 2)
        capacity *= 2;
    if (capacity == level->table.size())
        return;
    level->table.assign(capacity, 0);
    const size_t mask = capacity - 1;
    for (Entry &entry : level->entries) {
        const quint32 keyHash = hash(keyOf(*level, entry));
        size_t slot = keyHash & mask;
        while (level->table[slot] != 0)
            slot = (slot + 1) & mask;
        level->table[slot] = quint64(keyHash) << 32 | quint64(&entry - level->entries.data() + 1);
        entry.slot = quint32(slot);
    }
}

TRKeySet::Key TRKeySet::keyOf(const Level &level, const Entry &entry)
{
    const void *data = entry.copied ? static_cast<const void *>(level.copies.data() + entry.where)
                                    : reinterpret_cast<const void *>(entry.where);
    return Key{data, qsizetype(entry.length), Units(entry.units)};
}

quint32 TRKeySet::hash(const Key &key)
{
    // FNV-1a over the code units, so that a text hashes alike in every encoding.
    quint64 value = 0xcbf29ce484222325u;
    const auto mix = [&value](char16_t unit) { value = (value ^ unit) * 0x100000001b3u; };
    const auto *bytes = static_cast<const unsigned char *>(key.data);
    switch (key.units) {
    case Units::Utf16BigEndian:
        for (qsizetype i = 0; i < key.length; ++i)
            mix(char16_t(bytes[2 * i] << 8 | bytes[2 * i + 1]));
        break;
    case Units::Utf16:
        for (qsizetype i = 0; i < key.length; ++i)
            mix(static_cast<const char16_t *>(key.data)[i]);
        break;
    default:
        for (qsizetype i = 0; i < key.length; ++i)
            mix(bytes[i]);
    }
    return quint32(value ^ value >> 32);
}

bool TRKeySet::equal(const Key &a, const Key &b)
{
    Q_ASSERT((a.units == Units::Utf8) == (b.units == Units::Utf8));
    if (a.length != b.length)
        return false;
    if (a.length == 0)
        return true;
    if (a.units == b.units)
        return std::memcmp(a.data, b.data, size_t(a.length) * size_t(unitSize(a.units))) == 0;
    for (qsizetype i = 0; i < a.length; ++i) {
        if (unitAt(a, i) != unitAt(b, i))
            return false;
    }
    return true;
}
