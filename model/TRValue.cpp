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
    copySlotsOf(other);
}

void TRDictionary::copySlotsOf(const TRDictionary &other)
{
    m_slots.reset();
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

TRValue::Data::~Data()
{
    // On a 64-bit system, with the allocator's own word a scalar takes one 32-byte block, a container one
    // of 48 bytes, and a short string 32 bytes and 16 more for every 8 code units past the first 8.
    static_assert(sizeof(Data) == 8);
    static_assert(sizeof(void *) != 8 || (sizeof(QString) <= 32 && sizeof(TRDictionary) <= 32));
    switch (kind) {
    case Kind::String:
        if (!isInline)
            payload<QString>().~QString();
        break;
    case Kind::Data:
        payload<QByteArray>().~QByteArray();
        break;
    case Kind::Array:
        payload<TRArray>().~TRArray();
        break;
    case Kind::Dictionary:
        payload<TRDictionary>().~TRDictionary();
        break;
    default:
        break;
    }
}

template<typename Payload, typename... Arguments>
TRValue TRValue::make(Kind kind, Arguments &&...arguments)
{
    static_assert(sizeof(Data) % alignof(Payload) == 0 &&
                  alignof(Payload) <= __STDCPP_DEFAULT_NEW_ALIGNMENT__);
    void *block = ::operator new(sizeof(Data) + sizeof(Payload));
    try {
        ::new (Data::payloadIn(block)) Payload(std::forward<Arguments>(arguments)...);
    } catch (...) {
        ::operator delete(block);
        throw;
    }
    TRValue value;
    value.m_d.reset(::new (block) Data(kind));
    return value;
}

// A string value of length code units, which the caller writes to *units.
TRValue TRValue::makeInlineString(qsizetype length, char16_t **units)
{
    static_assert(kInlineStringLimit <= std::numeric_limits<quint8>::max());
    Q_ASSERT(length >= 0 && length <= kInlineStringLimit);
    void *block = ::operator new(sizeof(Data) + std::size_t(length) * sizeof(char16_t));
    // The allocation starts the life of the char16_t objects written there.
    *units = static_cast<char16_t *>(Data::payloadIn(block));
    TRValue value;
    value.m_d.reset(::new (block) Data(Kind::String, true, quint8(length)));
    return value;
}

TRValue TRValue::fromString(const QString &text)
{
    if (text.size() > kInlineStringLimit)
        return make<QString>(Kind::String, text);
    char16_t *units = nullptr;
    TRValue value = makeInlineString(text.size(), &units);
    if (!text.isEmpty())
        std::memcpy(units, text.utf16(), std::size_t(text.size()) * sizeof(char16_t));
    return value;
}

TRValue TRValue::fromLatin1(QLatin1StringView text)
{
    if (text.size() > kInlineStringLimit)
        return make<QString>(Kind::String, QString(text));
    char16_t *units = nullptr;
    TRValue value = makeInlineString(text.size(), &units);
    for (qsizetype i = 0; i < text.size(); ++i)
        units[i] = char16_t(static_cast<unsigned char>(text.data()[i]));
    return value;
}

TRValue TRValue::fromInteger(qint64 number)
{
    return make<quint64>(Kind::Integer, quint64(number));
}

TRValue TRValue::fromUnsigned(quint64 number)
{
    if (number <= quint64(std::numeric_limits<qint64>::max()))
        return fromInteger(qint64(number));
    TRValue value = make<quint64>(Kind::Integer, number);
    value.m_d->isUnsigned = true;
    return value;
}

TRValue TRValue::fromReal(double number)
{
    return make<double>(Kind::Real, number);
}

TRValue TRValue::fromBool(bool truth)
{
    return make<bool>(Kind::Boolean, truth);
}

TRValue TRValue::fromDate(double secondsSince2001)
{
    return make<double>(Kind::Date, secondsSince2001);
}

TRValue TRValue::fromData(const QByteArray &bytes)
{
    return make<QByteArray>(Kind::Data, bytes);
}

TRValue TRValue::fromArray(TRArray elements)
{
    return make<TRArray>(Kind::Array, std::move(elements));
}

TRValue TRValue::fromDictionary(TRDictionary entries)
{
    return make<TRDictionary>(Kind::Dictionary, std::move(entries));
}

TRValue TRValue::fromUid(quint64 uid)
{
    return make<quint64>(Kind::Uid, uid);
}

bool TRValue::isNumber() const
{
    const Kind k = kind();
    return k == Kind::Integer || k == Kind::Real || k == Kind::Boolean;
}

QString TRValue::toString() const
{
    if (!isString())
        return QString();
    if (!m_d->isInline)
        return m_d->payload<QString>();
    return m_d->inlineLength == 0 ? QString() : stringView().toString();
}

QStringView TRValue::stringView() const
{
    if (!isString())
        return QStringView();
    if (!m_d->isInline)
        return m_d->payload<QString>();
    if (m_d->inlineLength == 0)
        return QStringView();
    return QStringView(&m_d->payload<char16_t>(), m_d->inlineLength);
}

qint64 TRValue::toInteger() const
{
    switch (kind()) {
    case Kind::Integer:
        return qint64(m_d->payload<quint64>());
    case Kind::Boolean:
        return m_d->payload<bool>() ? 1 : 0;
    case Kind::Real: {
        const double real = m_d->payload<double>();
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
        return m_d->payload<quint64>();
    return quint64(toInteger());
}

double TRValue::toReal() const
{
    switch (kind()) {
    case Kind::Integer:
        return m_d->isUnsigned ? double(m_d->payload<quint64>()) : double(qint64(m_d->payload<quint64>()));
    case Kind::Real:
    case Kind::Date:
        return m_d->payload<double>();
    case Kind::Boolean:
        return m_d->payload<bool>() ? 1.0 : 0.0;
    default:
        return 0.0;
    }
}

bool TRValue::toBool() const
{
    return isBoolean() && m_d->payload<bool>();
}

double TRValue::toDate() const
{
    return isDate() ? m_d->payload<double>() : 0.0;
}

QByteArray TRValue::toData() const
{
    return isData() ? m_d->payload<QByteArray>() : QByteArray();
}

const TRArray &TRValue::toArray() const
{
    static const TRArray empty;
    return isArray() ? m_d->payload<TRArray>() : empty;
}

const TRDictionary &TRValue::toDictionary() const
{
    static const TRDictionary empty;
    return isDictionary() ? m_d->payload<TRDictionary>() : empty;
}

quint64 TRValue::toUid() const
{
    return isUid() ? m_d->payload<quint64>() : 0;
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

int leadingInteger(QStringView text)
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
        return leadingInteger(stringView());
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
    const QStringView text = stringView();
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
        return m_d->isUnsigned ? QString::number(m_d->payload<quint64>())
                               : QString::number(qint64(m_d->payload<quint64>()));
    case Kind::Real:
        return shortestReal(m_d->payload<double>());
    case Kind::Boolean:
        return m_d->payload<bool>() ? QStringLiteral("1") : QStringLiteral("0");
    case Kind::Date:
        return trDateDescription(m_d->payload<double>());
    case Kind::Data:
        return dataDescription(m_d->payload<QByteArray>());
    case Kind::Array:
    case Kind::Dictionary:
        return QStringLiteral("(%1)").arg(isArray() ? toArray().size() : toDictionary().size());
    case Kind::Uid:
        return QStringLiteral("<CF$UID %1>").arg(m_d->payload<quint64>());
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
        return a.stringView() == b.stringView();
    case Kind::Integer:
        return a.m_d->isUnsigned == b.m_d->isUnsigned &&
               a.m_d->payload<quint64>() == b.m_d->payload<quint64>();
    case Kind::Real:
    case Kind::Date: {
        const double x = a.m_d->payload<double>();
        const double y = b.m_d->payload<double>();
        if (std::isnan(x) || std::isnan(y))
            return std::isnan(x) && std::isnan(y);
        return x == y && std::signbit(x) == std::signbit(y);
    }
    case Kind::Boolean:
        return a.m_d->payload<bool>() == b.m_d->payload<bool>();
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
        return a.m_d->payload<quint64>() == b.m_d->payload<quint64>();
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
