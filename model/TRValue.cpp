#include "TRValue.h"

#include "TRDateTime.h"
#include "TRHexDigits.h"
#include "TRMemory.h"

#include <QHash>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

// ---- TRDictionary

namespace {

// A table of up to 2^24 slots keeps the top 8 bits of each key's hash in its slots, above the entry's
// position plus one: most other keys are then ruled out without being looked at.
constexpr int kIndexBits = 24;
constexpr quint32 kIndexMask = (quint32(1) << kIndexBits) - 1;

bool isTagged(std::size_t slotCount)
{
    return slotCount <= (std::size_t(1) << kIndexBits);
}

quint32 slotValue(std::size_t slotCount, qsizetype index, size_t hash)
{
    const quint32 tag = isTagged(slotCount) ? quint32(hash >> (8 * sizeof(size_t) - 8)) << kIndexBits : 0;
    return quint32(index + 1) | tag;
}

// Slots for that many entries: a power of two, at most half full.
std::size_t tableSizeFor(qsizetype count)
{
    std::size_t size = 16;
    while (size < std::size_t(count) * 2)
        size *= 2;
    return size;
}

// An empty table of that many slots; a large one asks for large pages before it is first written.
std::unique_ptr<quint32[]> newSlots(std::size_t size)
{
    auto table = std::make_unique_for_overwrite<quint32[]>(size + 1);
    trAdviseLargePages(table.get(), (size + 1) * sizeof(quint32));
    std::fill_n(table.get(), size + 1, 0);
    table[0] = quint32(size);
    return table;
}

qsizetype entryOf(std::size_t slotCount, quint32 slot)
{
    return qsizetype(slot & (isTagged(slotCount) ? kIndexMask : ~quint32(0))) - 1;
}

} // namespace

TRDictionary::TRDictionary(const TRDictionary &other) : m_entries(other.m_entries)
{
    if (other.m_slots) {
        const std::size_t length = other.slotCount() + 1;
        m_slots = std::make_unique<quint32[]>(length);
        std::copy_n(other.m_slots.get(), length, m_slots.get());
    }
}

TRDictionary &TRDictionary::operator=(const TRDictionary &other)
{
    if (this != &other)
        *this = TRDictionary(other);
    return *this;
}

void TRDictionary::reserve(qsizetype count)
{
    m_entries.reserve(count);
    if (count > kLinearLimit && std::size_t(count) * 2 > slotCount())
        rebuildSlots(count);
}

void TRDictionary::rebuildSlots(qsizetype capacityFor)
{
    const std::size_t size = tableSizeFor(capacityFor);
    m_slots = newSlots(size);
    quint32 *table = m_slots.get() + 1;
    const std::size_t mask = size - 1;
    for (qsizetype i = 0; i < m_entries.size(); ++i) {
        const size_t hash = qHash(m_entries.at(i).first);
        std::size_t slot = hash & mask;
        while (table[slot] != 0)
            slot = (slot + 1) & mask;
        table[slot] = slotValue(size, i, hash);
    }
}

// The slot holding the key, or the empty slot where it would go (counted from 1).
std::size_t TRDictionary::findSlot(const QString &key, size_t hash) const
{
    const std::size_t size = slotCount();
    const std::size_t mask = size - 1;
    const quint32 *table = m_slots.get() + 1;
    const quint32 tagMask = isTagged(size) ? ~kIndexMask : 0;
    const quint32 tag = slotValue(size, -1, hash) & tagMask;
    std::size_t slot = hash & mask;
    while (table[slot] != 0 &&
           ((table[slot] & tagMask) != tag || m_entries.at(entryOf(size, table[slot])).first != key))
        slot = (slot + 1) & mask;
    return slot + 1;
}

bool TRDictionary::insert(const QString &key, TRValue value)
{
    // A small dictionary needs no hash.
    return insert(key, !m_slots && m_entries.size() < kLinearLimit ? 0 : qHash(key), std::move(value));
}

size_t TRDictionary::hashFor(const QString &key) const
{
    const size_t hash = qHash(key);
    if (m_slots)
        __builtin_prefetch(m_slots.get() + 1 + (hash & (slotCount() - 1)));
    return hash;
}

bool TRDictionary::insert(const QString &key, size_t hash, TRValue value)
{
    if (!m_slots && m_entries.size() < kLinearLimit) {
        const qsizetype existing = indexOf(key);
        if (existing >= 0) {
            m_entries[existing].second = std::move(value);
            return false;
        }
        m_entries.append(Entry(key, std::move(value)));
        return true;
    }
    if (slotCount() < std::size_t(m_entries.size() + 1) * 2)
        rebuildSlots(m_entries.size() + 1);
    const std::size_t slot = findSlot(key, hash);
    if (m_slots[slot] != 0) {
        m_entries[entryOf(slotCount(), m_slots[slot])].second = std::move(value);
        return false;
    }
    m_entries.emplace_back(key, std::move(value));
    m_slots[slot] = slotValue(slotCount(), m_entries.size() - 1, hash);
    return true;
}

qsizetype TRDictionary::adopt(QList<Entry> entries)
{
    *this = TRDictionary();
    const qsizetype count = entries.size();
    m_entries = std::move(entries);
    const auto repeated = [this](qsizetype at) {
        *this = TRDictionary();
        return at;
    };
    if (count <= kLinearLimit) {
        for (qsizetype i = 1; i < count; ++i) {
            for (qsizetype j = 0; j < i; ++j) {
                if (m_entries.at(j).first == m_entries.at(i).first)
                    return repeated(i);
            }
        }
        return -1;
    }
    const std::size_t size = tableSizeFor(count);
    m_slots = newSlots(size);
    // Each key is hashed a few entries ahead, so that its slot is on its way by the time it is looked at.
    constexpr qsizetype kAhead = 8;
    size_t ahead[kAhead];
    const auto hashAt = [&](qsizetype i) {
        const size_t hash = qHash(m_entries.at(i).first);
        __builtin_prefetch(m_slots.get() + 1 + (hash & (size - 1)));
        return hash;
    };
    for (qsizetype i = 0; i < std::min(kAhead, count); ++i)
        ahead[i] = hashAt(i);
    for (qsizetype i = 0; i < count; ++i) {
        const size_t hash = ahead[i % kAhead];
        if (i + kAhead < count)
            ahead[i % kAhead] = hashAt(i + kAhead);
        const std::size_t slot = findSlot(m_entries.at(i).first, hash);
        if (m_slots[slot] != 0)
            return repeated(i);
        m_slots[slot] = slotValue(size, i, hash);
    }
    return -1;
}

qsizetype TRDictionary::indexOf(const QString &key) const
{
    if (!m_slots) {
        for (qsizetype i = 0; i < m_entries.size(); ++i) {
            if (m_entries.at(i).first == key)
                return i;
        }
        return -1;
    }
    return entryOf(slotCount(), m_slots[findSlot(key, qHash(key))]);
}

TRValue TRDictionary::value(const QString &key) const
{
    const qsizetype index = indexOf(key);
    return index >= 0 ? m_entries.at(index).second : TRValue();
}

// ---- TRValue

TRValue::Data::Data(TRValue::Kind ofKind) : kind(ofKind), bits(0)
{
    // With the allocator's own word, a value takes one 48-byte block.
    static_assert(sizeof(void *) != 8 || sizeof(Data) <= 32);
    switch (kind) {
    case Kind::String:
        new (&text) QString;
        break;
    case Kind::Data:
        new (&bytes) QByteArray;
        break;
    case Kind::Array:
        new (&elements) TRArray;
        break;
    case Kind::Dictionary:
        entries = new TRDictionary;
        break;
    default:
        break;
    }
}

TRValue::Data::~Data()
{
    switch (kind) {
    case Kind::String:
        text.~QString();
        break;
    case Kind::Data:
        bytes.~QByteArray();
        break;
    case Kind::Array:
        elements.~TRArray();
        break;
    case Kind::Dictionary:
        delete entries;
        break;
    default:
        break;
    }
}

TRValue TRValue::make(Kind kind)
{
    TRValue value;
    value.m_d = new Data(kind);
    return value;
}

TRValue TRValue::fromString(const QString &text)
{
    TRValue value = make(Kind::String);
    value.m_d->text = text;
    return value;
}

TRValue TRValue::fromInteger(qint64 number)
{
    TRValue value = make(Kind::Integer);
    value.m_d->bits = quint64(number);
    return value;
}

TRValue TRValue::fromUnsigned(quint64 number)
{
    if (number <= quint64(std::numeric_limits<qint64>::max()))
        return fromInteger(qint64(number));
    TRValue value = make(Kind::Integer);
    value.m_d->isUnsigned = true;
    value.m_d->bits = number;
    return value;
}

TRValue TRValue::fromReal(double number)
{
    TRValue value = make(Kind::Real);
    value.m_d->real = number;
    return value;
}

TRValue TRValue::fromBool(bool truth)
{
    TRValue value = make(Kind::Boolean);
    value.m_d->truth = truth;
    return value;
}

TRValue TRValue::fromDate(double secondsSince2001)
{
    TRValue value = make(Kind::Date);
    value.m_d->real = secondsSince2001;
    return value;
}

TRValue TRValue::fromData(const QByteArray &bytes)
{
    TRValue value = make(Kind::Data);
    value.m_d->bytes = bytes;
    return value;
}

TRValue TRValue::fromArray(TRArray elements)
{
    TRValue value = make(Kind::Array);
    value.m_d->elements = std::move(elements);
    return value;
}

TRValue TRValue::fromDictionary(TRDictionary entries)
{
    TRValue value = make(Kind::Dictionary);
    *value.m_d->entries = std::move(entries);
    return value;
}

TRValue TRValue::fromUid(quint64 uid)
{
    TRValue value = make(Kind::Uid);
    value.m_d->bits = uid;
    return value;
}

bool TRValue::isNumber() const
{
    const Kind k = kind();
    return k == Kind::Integer || k == Kind::Real || k == Kind::Boolean;
}

QString TRValue::toString() const
{
    return isString() ? m_d->text : QString();
}

qint64 TRValue::toInteger() const
{
    switch (kind()) {
    case Kind::Integer:
        return qint64(m_d->bits);
    case Kind::Boolean:
        return m_d->truth ? 1 : 0;
    case Kind::Real: {
        const double real = m_d->real;
        if (std::isnan(real))
            return 0;
        if (real >= 9223372036854775808.0)
            return std::numeric_limits<qint64>::max();
        if (real < -9223372036854775808.0)
            return std::numeric_limits<qint64>::min();
        return static_cast<qint64>(real);
    }
    default:
        return 0;
    }
}

quint64 TRValue::toUnsigned() const
{
    if (isInteger() || isUid())
        return m_d->bits;
    return quint64(toInteger());
}

double TRValue::toReal() const
{
    switch (kind()) {
    case Kind::Integer:
        return m_d->isUnsigned ? double(m_d->bits) : double(qint64(m_d->bits));
    case Kind::Real:
    case Kind::Date:
        return m_d->real;
    case Kind::Boolean:
        return m_d->truth ? 1.0 : 0.0;
    default:
        return 0.0;
    }
}

bool TRValue::toBool() const
{
    return isBoolean() && m_d->truth;
}

double TRValue::toDate() const
{
    return isDate() ? m_d->real : 0.0;
}

QByteArray TRValue::toData() const
{
    return isData() ? m_d->bytes : QByteArray();
}

const TRArray &TRValue::toArray() const
{
    static const TRArray empty;
    return isArray() ? m_d->elements : empty;
}

const TRDictionary &TRValue::toDictionary() const
{
    static const TRDictionary empty;
    return isDictionary() ? *m_d->entries : empty;
}

quint64 TRValue::toUid() const
{
    return isUid() ? m_d->bits : 0;
}

namespace {

int clampToInt(qint64 number)
{
    if (number > std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    if (number < std::numeric_limits<int>::min())
        return std::numeric_limits<int>::min();
    return int(number);
}

int leadingInteger(const QString &text)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i).isSpace())
        ++i;
    bool negative = false;
    if (i < text.size() && (text.at(i) == u'-' || text.at(i) == u'+')) {
        negative = text.at(i) == u'-';
        ++i;
    }
    qint64 number = 0;
    for (; i < text.size() && text.at(i) >= u'0' && text.at(i) <= u'9'; ++i) {
        number = number * 10 + (text.at(i).unicode() - u'0');
        if (number > qint64(std::numeric_limits<int>::max()) + 1)
            break;
    }
    return clampToInt(negative ? -number : number);
}

QString shortestReal(double number)
{
    if (std::isnan(number))
        return QStringLiteral("nan");
    if (std::isinf(number))
        return number > 0 ? QStringLiteral("inf") : QStringLiteral("-inf");
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, number);
    return QString::fromLatin1(buffer, result.ptr - buffer);
}

QString dataDescription(const QByteArray &bytes)
{
    static constexpr qsizetype kShown = 64;
    const qsizetype shown = std::min(bytes.size(), kShown);
    QString text;
    text.reserve(shown * 2 + shown / 4 + 24);
    text.append(u'<');
    for (qsizetype i = 0; i < shown; ++i) {
        if (i > 0 && i % 4 == 0)
            text.append(u' ');
        const auto byte = static_cast<unsigned char>(bytes.at(i));
        text.append(QLatin1Char(trHexDigit(byte >> 4)));
        text.append(QLatin1Char(trHexDigit(byte)));
    }
    if (bytes.size() > kShown)
        text.append(QStringLiteral(" \u2026 %1 bytes").arg(bytes.size()));
    text.append(u'>');
    return text;
}

} // namespace

int TRValue::intValue() const
{
    if (isString())
        return leadingInteger(toString());
    if (isInteger() && m_d->isUnsigned)
        return std::numeric_limits<int>::max();
    return clampToInt(toInteger());
}

bool TRValue::boolValue() const
{
    if (isNumber())
        return toReal() != 0.0 || (isInteger() && toUnsigned() != 0);
    if (!isString())
        return false;
    const QString text = toString();
    qsizetype i = 0;
    while (i < text.size() && text.at(i).isSpace())
        ++i;
    if (i < text.size() && (text.at(i) == u'-' || text.at(i) == u'+'))
        ++i;
    while (i < text.size() && text.at(i) == u'0')
        ++i;
    if (i >= text.size())
        return false;
    const QChar c = text.at(i);
    return c == u'Y' || c == u'y' || c == u'T' || c == u't' || (c >= u'1' && c <= u'9');
}

QString TRValue::description() const
{
    switch (kind()) {
    case Kind::None:
        return QString();
    case Kind::String:
        return toString();
    case Kind::Integer:
        return m_d->isUnsigned ? QString::number(m_d->bits) : QString::number(qint64(m_d->bits));
    case Kind::Real:
        return shortestReal(m_d->real);
    case Kind::Boolean:
        return m_d->truth ? QStringLiteral("1") : QStringLiteral("0");
    case Kind::Date:
        return trDateDescription(m_d->real);
    case Kind::Data:
        return dataDescription(m_d->bytes);
    case Kind::Array:
    case Kind::Dictionary:
        return QStringLiteral("(%1)").arg(isArray() ? toArray().size() : toDictionary().size());
    case Kind::Uid:
        return QStringLiteral("<CF$UID %1>").arg(m_d->bits);
    }
    return QString();
}

bool operator==(const TRValue &a, const TRValue &b)
{
    if (a.m_d == b.m_d)
        return true;
    if (a.kind() != b.kind())
        return false;
    using Kind = TRValue::Kind;
    switch (a.kind()) {
    case Kind::None:
        return true;
    case Kind::String:
        return a.toString() == b.toString();
    case Kind::Integer:
        return a.m_d->isUnsigned == b.m_d->isUnsigned && a.m_d->bits == b.m_d->bits;
    case Kind::Real:
    case Kind::Date: {
        const double x = a.m_d->real;
        const double y = b.m_d->real;
        if (std::isnan(x) || std::isnan(y))
            return std::isnan(x) && std::isnan(y);
        return x == y && std::signbit(x) == std::signbit(y);
    }
    case Kind::Boolean:
        return a.m_d->truth == b.m_d->truth;
    case Kind::Data:
        return a.toData() == b.toData();
    case Kind::Array:
        return a.toArray() == b.toArray();
    case Kind::Dictionary: {
        const TRDictionary &x = a.toDictionary();
        const TRDictionary &y = b.toDictionary();
        if (x.size() != y.size())
            return false;
        for (const auto &entry : x) {
            const qsizetype index = y.indexOf(entry.first);
            if (index < 0 || !(y.valueAt(index) == entry.second))
                return false;
        }
        return true;
    }
    case Kind::Uid:
        return a.m_d->bits == b.m_d->bits;
    }
    return false;
}

qsizetype trCountValues(const TRValue &value)
{
    qsizetype count = 1;
    if (value.isArray()) {
        for (const TRValue &element : value.toArray())
            count += trCountValues(element);
    } else if (value.isDictionary()) {
        for (const auto &entry : value.toDictionary())
            count += trCountValues(entry.second);
    }
    return count;
}

namespace {

quint64 expandedSizeOf(const TRValue &value, quint64 limit, QHash<const void *, quint64> *known)
{
    if (!value.isCompound())
        return 1;
    const auto found = known->constFind(value.identity());
    if (found != known->constEnd())
        return *found;
    quint64 total = 1;
    if (value.isArray()) {
        for (const TRValue &element : value.toArray()) {
            total = std::min(limit, total + expandedSizeOf(element, limit, known));
            if (total == limit)
                break;
        }
    } else {
        for (const auto &entry : value.toDictionary()) {
            total = std::min(limit, total + expandedSizeOf(entry.second, limit, known));
            if (total == limit)
                break;
        }
    }
    known->insert(value.identity(), total);
    return total;
}

} // namespace

quint64 TRValue::expandedSize(quint64 limit) const
{
    QHash<const void *, quint64> known;
    return std::min(limit, expandedSizeOf(*this, limit, &known));
}
