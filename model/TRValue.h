#pragma once

#include "TRLimits.h"

#include <QByteArray>
#include <QExplicitlySharedDataPointer>
#include <QHash>
#include <QList>
#include <QSharedData>
#include <QString>
#include <QStringView>
#include <cstddef>
#include <memory>
#include <new>
#include <utility>

class TRValue;
class TRDictionary;
using TRArray = QList<TRValue>;

// One property-list value: string, integer, real, boolean, date, data, array or dictionary (and the UID
// of keyed archives), or none. A TRValue is a handle to an immutable object; copies share that object,
// so a value held by a key, by the property list made for saving and by an undo record is one object.
class TRValue
{
public:
    enum class Kind : quint8
    {
        None,
        String,
        Integer,
        Real,
        Boolean,
        Date,
        Data,
        Array,
        Dictionary,
        Uid
    };

    TRValue() = default; // none

    // The longest string, in UTF-16 code units, kept in its value's own heap block; a longer one keeps a
    // shared QString, so that toString() copies no characters of a long text.
    static constexpr qsizetype kInlineStringLimit = 32;

    static TRValue fromString(const QString &text);
    // The same from Latin-1 text, with no QString made on the way.
    static TRValue fromLatin1(QLatin1StringView text);
    static TRValue fromInteger(qint64 number);
    // Values up to 2^63-1 become ordinary (signed) integers; larger ones are kept as unsigned.
    static TRValue fromUnsigned(quint64 number);
    static TRValue fromReal(double number);
    static TRValue fromBool(bool truth);
    // Seconds since 2001-01-01T00:00:00Z.
    static TRValue fromDate(double secondsSince2001);
    static TRValue fromData(const QByteArray &bytes);
    static TRValue fromArray(TRArray elements);
    static TRValue fromDictionary(TRDictionary entries);
    static TRValue fromUid(quint64 uid);

    TRValue(const TRValue &other);
    TRValue(TRValue &&other) noexcept;
    TRValue &operator=(const TRValue &other);
    TRValue &operator=(TRValue &&other) noexcept;
    ~TRValue();

    Kind kind() const;
    bool isNone() const { return !m_d; }
    bool isString() const { return kind() == Kind::String; }
    bool isInteger() const { return kind() == Kind::Integer; }
    bool isReal() const { return kind() == Kind::Real; }
    bool isBoolean() const { return kind() == Kind::Boolean; }
    // Integers, reals and booleans: a boolean is also a number.
    bool isNumber() const;
    bool isDate() const { return kind() == Kind::Date; }
    bool isData() const { return kind() == Kind::Data; }
    bool isArray() const { return kind() == Kind::Array; }
    bool isDictionary() const { return kind() == Kind::Dictionary; }
    bool isCompound() const { return isArray() || isDictionary(); }
    bool isUid() const { return kind() == Kind::Uid; }
    // An integer above 2^63-1, kept unsigned.
    bool isUnsignedInteger() const;

    // Payload accessors; each answers an empty or zero value for another kind.
    QString toString() const;
    // A string's text without a copy, valid while this value's object lives; empty for another kind.
    QStringView stringView() const;
    qint64 toInteger() const;   // an integer's signed value (unsigned ones wrap), a real's whole part, 0/1
    quint64 toUnsigned() const; // an integer's bits as unsigned
    double toReal() const;      // any number as a double
    bool toBool() const;
    double toDate() const;
    QByteArray toData() const;
    const TRArray &toArray() const;
    const TRDictionary &toDictionary() const;
    quint64 toUid() const;

    // The platform's intValue: a number's whole part; a text's leading whole number (white space and a
    // sign allowed), 0 when there is none. Clamped to the int range.
    int intValue() const;
    // The platform's boolValue: a number is true when not zero; a text when it starts with Y, y, T, t or a
    // digit 1 to 9 (after white space, a sign and leading zeros).
    bool boolValue() const;

    // The standard text form: a string as itself, integers in decimal, reals in the shortest form that
    // reads back to the same double, dates as "2024-01-02 03:04:05 +0000", data as "<48656c6c 6f00ff>"
    // (at most 64 bytes shown, then an ellipsis and the byte count), booleans as 1 or 0.
    QString description() const;

    // How many values a walk over every element visits (this one included), a shared container counted
    // at every place it is used. Counting stops at limit, which it then answers; the work is linear in
    // the number of distinct containers however much they are shared.
    quint64 expandedSize(quint64 limit) const;

    // The shared object's address: equal for handles that share one object; null for none.
    const void *identity() const;
    bool isSameObject(const TRValue &other) const { return m_d == other.m_d; }

    // Deep equality: same kind and same contents. Reals compare by value, except that nan equals nan and
    // -0.0 differs from 0.0 (files must keep every bit); signed and unsigned integers compare by value.
    friend bool operator==(const TRValue &a, const TRValue &b);
    friend bool operator!=(const TRValue &a, const TRValue &b) { return !(a == b); }

private:
    struct Data;

    template<typename Payload, typename... Arguments>
    static TRValue make(Kind kind, Arguments &&...arguments);
    static TRValue makeInlineString(qsizetype length, char16_t **units);
    QExplicitlySharedDataPointer<Data> m_d;
};

// An ordered dictionary of property-list values with text keys: entries keep the order in which they
// were added, and lookup by key is O(1) on average. Filled once by its maker, then wrapped in a TRValue
// and never changed again.
class TRDictionary
{
public:
    using Entry = std::pair<QString, TRValue>;

    TRDictionary() = default;
    TRDictionary(const TRDictionary &other);
    TRDictionary(TRDictionary &&other) noexcept = default;
    TRDictionary &operator=(const TRDictionary &other);
    TRDictionary &operator=(TRDictionary &&other) noexcept = default;
    ~TRDictionary() = default;

    void reserve(qsizetype count);
    // Stores the value under the key; an existing key keeps its position and takes the new value.
    // Answers true when the key was new.
    bool insert(const QString &key, TRValue value);
    // The same in two steps, for a caller that inserts many keys: hashFor() hashes the key and starts
    // loading its slot, so that work done before insert(key, hash, value) (reading the value) hides the
    // cache miss. The hash must be hashFor()'s answer for that key.
    size_t hashFor(const QString &key) const;
    bool insert(const QString &key, size_t hash, TRValue value);
    // A dictionary of the other's keys, in its order, with the value valueAt(position) gives for each: the
    // lookup table is the other's, copied rather than built again.
    template<typename ValueAt>
    static TRDictionary withKeysOf(const TRDictionary &keys, ValueAt valueAt)
    {
        TRDictionary made;
        made.m_entries.reserve(keys.size());
        for (qsizetype i = 0; i < keys.size(); ++i)
            made.m_entries.emplace_back(keys.keyAt(i), valueAt(i));
        made.copySlotsOf(keys);
        return made;
    }
    // Takes entries made elsewhere, in their order, and indexes them. Answers the position of the first
    // key that repeats an earlier one (the dictionary is then left empty), or -1.
    qsizetype adopt(QList<Entry> entries);

    qsizetype size() const { return m_entries.size(); }
    bool isEmpty() const { return m_entries.isEmpty(); }
    const Entry &at(qsizetype index) const { return m_entries.at(index); }
    const QString &keyAt(qsizetype index) const { return m_entries.at(index).first; }
    const TRValue &valueAt(qsizetype index) const;
    // Position of the key, or -1.
    qsizetype indexOf(const QString &key) const;
    bool contains(const QString &key) const { return indexOf(key) >= 0; }
    // The value stored under the key, or none.
    TRValue value(const QString &key) const;

    QList<Entry>::const_iterator begin() const { return m_entries.cbegin(); }
    QList<Entry>::const_iterator end() const { return m_entries.cend(); }

private:
    // Small dictionaries (most of them) are searched linearly and carry no hash.
    static constexpr qsizetype kLinearLimit = kTRLinearLimit;

    QList<Entry> m_entries;
    // Open-addressing table over m_entries for larger dictionaries: element 0 holds the number of slots (a
    // power of two, at most half full), then each slot holds an entry's position plus one (0 marks an empty
    // slot). It costs four bytes a slot where a QHash node would copy the key and cost ten times that, and a
    // single pointer in every value, so that scalars stay small.
    std::unique_ptr<quint32[]> m_slots;

    std::size_t slotCount() const { return m_slots ? m_slots[0] : 0; }
    std::size_t findSlot(const QString &key, size_t hash) const;
    void copySlotsOf(const TRDictionary &other);
    void rebuildSlots(qsizetype capacityFor);
};

// The object that the handles of a value share: this header, then in the same heap block the payload of
// the value's kind, sized to fit it: integers' and UIDs' 64 bits (signed ones in two's complement), reals'
// and dates' double, a boolean's bool; the container of strings, data, arrays and dictionaries; or a short
// string's UTF-16 code units themselves, so that it costs one allocation where a QString would add its own
// block.
struct TRValue::Data : QSharedData
{
    explicit Data(TRValue::Kind ofKind, bool unitsInline = false, quint8 length = 0) noexcept
        : kind(ofKind), isInline(unitsInline), inlineLength(length)
    {
    }
    Data(const Data &) = delete;
    Data &operator=(const Data &) = delete;
    ~Data();
    // The block was taken with ::operator new for header and payload together.
    static void operator delete(void *block) { ::operator delete(block); }

    TRValue::Kind kind = TRValue::Kind::None;
    bool isUnsigned = false;
    // A string whose inlineLength code units follow the header.
    bool isInline = false;
    quint8 inlineLength = 0;

    static void *payloadIn(void *block) { return static_cast<std::byte *>(block) + sizeof(Data); }
    template<typename Payload>
    const Payload &payload() const
    {
        return *std::launder(
            reinterpret_cast<const Payload *>(reinterpret_cast<const std::byte *>(this) + sizeof(Data)));
    }
    template<typename Payload>
    Payload &payload()
    {
        return *std::launder(reinterpret_cast<Payload *>(reinterpret_cast<std::byte *>(this) + sizeof(Data)));
    }
};

inline TRValue::TRValue(const TRValue &other) = default;
inline TRValue::TRValue(TRValue &&other) noexcept = default;
inline TRValue &TRValue::operator=(const TRValue &other) = default;
inline TRValue &TRValue::operator=(TRValue &&other) noexcept = default;
inline TRValue::~TRValue() = default;
inline TRValue::Kind TRValue::kind() const
{
    return m_d ? m_d->kind : Kind::None;
}
inline bool TRValue::isUnsignedInteger() const
{
    return isInteger() && m_d->isUnsigned;
}
inline const void *TRValue::identity() const
{
    return m_d.data();
}
inline const TRValue &TRDictionary::valueAt(qsizetype index) const
{
    return m_entries.at(index).second;
}

// Number of values in the whole tree of a value (the value itself included).
qsizetype trCountValues(const TRValue &value);
