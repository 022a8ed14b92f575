#include "TRBinaryPlistView.h"

#include "TRBinaryPlistEncoding.h"
#include "TRText.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr quint64 kHeaderSize = 8;
constexpr quint64 kTrailerSize = 32;

quint64 bigEndian(const unsigned char *bytes, int width)
{
    quint64 number = 0;
    for (int i = 0; i < width; ++i)
        number = number << 8 | bytes[i];
    return number;
}

} // namespace

TRBinaryPlistView::TRBinaryPlistView(const QByteArray &bytes)
    : m_data(reinterpret_cast<const unsigned char *>(bytes.constData())), m_size(quint64(bytes.size()))
{
}

bool TRBinaryPlistView::fail(quint64 offset, const char *reason)
{
    // Only recorded here: a pass that skips what it cannot read may fail often.
    m_faultOffset = offset;
    m_reason = reason;
    return false;
}

QString TRBinaryPlistView::error() const
{
    if (!m_reason)
        return QString();
    return trFormat(trText("The binary property list is damaged at byte %@: %@."),
                    {QString::number(m_faultOffset), trText(m_reason)});
}

bool TRBinaryPlistView::open()
{
    if (m_size < kHeaderSize || std::memcmp(m_data, "bplist00", kHeaderSize) != 0)
        return fail(0, QT_TRANSLATE_NOOP("Tamrix", "not a binary property list of version 00"));
    if (m_size < kHeaderSize + 1 + kTrailerSize)
        return fail(m_size, QT_TRANSLATE_NOOP("Tamrix", "the file is truncated"));
    const quint64 trailerOffset = m_size - kTrailerSize;
    const unsigned char *trailer = m_data + trailerOffset;
    m_offsetSize = trailer[6];
    m_referenceSize = trailer[7];
    m_objectCount = bigEndian(trailer + 8, 8);
    m_top = bigEndian(trailer + 16, 8);
    m_tableOffset = bigEndian(trailer + 24, 8);
    if (m_offsetSize < 1 || m_offsetSize > 8)
        return fail(trailerOffset + 6, QT_TRANSLATE_NOOP("Tamrix", "offset width out of range"));
    if (m_referenceSize < 1 || m_referenceSize > 8)
        return fail(trailerOffset + 7, QT_TRANSLATE_NOOP("Tamrix", "reference width out of range"));
    if (m_objectCount == 0)
        return fail(trailerOffset + 8, QT_TRANSLATE_NOOP("Tamrix", "the file holds no object"));
    if (m_top >= m_objectCount)
        return fail(trailerOffset + 16, QT_TRANSLATE_NOOP("Tamrix", "top object out of range"));
    if (m_tableOffset < kHeaderSize + 1 || m_tableOffset > trailerOffset)
        return fail(trailerOffset + 24, QT_TRANSLATE_NOOP("Tamrix", "offset table out of range"));
    if (m_objectCount > (trailerOffset - m_tableOffset) / quint64(m_offsetSize))
        return fail(trailerOffset + 8,
                    QT_TRANSLATE_NOOP("Tamrix", "object count larger than the offset table"));
    return true;
}

bool TRBinaryPlistView::readLength(quint64 offset, int info, quint64 *position, quint64 *length)
{
    if (info != 0xf) {
        *length = quint64(info);
        return true;
    }
    if (*position >= m_tableOffset)
        return fail(offset, QT_TRANSLATE_NOOP("Tamrix", "the object is truncated"));
    const unsigned char marker = m_data[*position];
    const int widthLog = marker & 0xf;
    if ((marker >> 4) != 0x1 || widthLog > 3)
        return fail(*position, QT_TRANSLATE_NOOP("Tamrix", "bad length of an object"));
    const quint64 width = quint64(1) << widthLog;
    if (m_tableOffset - *position - 1 < width)
        return fail(*position, QT_TRANSLATE_NOOP("Tamrix", "the object is truncated"));
    *length = bigEndian(m_data + *position + 1, int(width));
    if (width == 8 && *length >> 63)
        return fail(*position, QT_TRANSLATE_NOOP("Tamrix", "bad length of an object"));
    *position += 1 + width;
    return true;
}

bool TRBinaryPlistView::object(quint64 index, Object *object)
{
    const quint64 entry = m_tableOffset + index * quint64(m_offsetSize);
    const quint64 offset = bigEndian(m_data + entry, m_offsetSize);
    if (offset < kHeaderSize || offset >= m_tableOffset)
        return fail(entry, QT_TRANSLATE_NOOP("Tamrix", "object offset out of range"));
    const unsigned char marker = m_data[offset];
    const int type = marker >> 4;
    const int info = marker & 0xf;
    quint64 position = offset + 1;
    const quint64 available = m_tableOffset - position;
    quint64 count = 0;
    switch (type) {
    case Boolean:
        if (info != 0x8 && info != 0x9)
            return fail(offset, QT_TRANSLATE_NOOP("Tamrix", "unknown object type"));
        break;
    case Integer:
        if (info > 4)
            return fail(offset, QT_TRANSLATE_NOOP("Tamrix", "bad integer width"));
        if (available < quint64(1) << info)
            return fail(offset, QT_TRANSLATE_NOOP("Tamrix", "the object is truncated"));
        break;
    case Real:
    case Date:
        if (info != 3 && (type == Date || info != 2))
            return fail(offset, type == Date ? QT_TRANSLATE_NOOP("Tamrix", "bad date width")
                                             : QT_TRANSLATE_NOOP("Tamrix", "bad real width"));
        if (available < quint64(1) << info)
            return fail(offset, QT_TRANSLATE_NOOP("Tamrix", "the object is truncated"));
        break;
    case Data:
    case Ascii:
    case Utf16:
        if (!readLength(offset, info, &position, &count))
            return false;
        if (count > (m_tableOffset - position) / (type == Utf16 ? 2 : 1))
            return fail(offset, QT_TRANSLATE_NOOP("Tamrix", "the object is truncated"));
        break;
    case Uid:
        if (info + 1 > 8)
            return fail(offset, QT_TRANSLATE_NOOP("Tamrix", "UID wider than 8 bytes"));
        if (available < quint64(info) + 1)
            return fail(offset, QT_TRANSLATE_NOOP("Tamrix", "the object is truncated"));
        break;
    case Array:
    case Dictionary:
        if (!readLength(offset, info, &position, &count))
            return false;
        if (count > (m_tableOffset - position) / (quint64(m_referenceSize) * (type == Dictionary ? 2 : 1)))
            return fail(offset, QT_TRANSLATE_NOOP("Tamrix", "the object is truncated"));
        break;
    default:
        return fail(offset, QT_TRANSLATE_NOOP("Tamrix", "unknown object type"));
    }
    *object = {offset, position, count, quint8(type), quint8(info)};
    return true;
}

bool TRBinaryPlistView::looksLikeContainer(quint64 index) const
{
    const quint64 offset = offsetOf(index);
    if (offset < kHeaderSize || offset >= m_tableOffset)
        return false;
    const int type = m_data[offset] >> 4;
    return type == Array || type == Dictionary;
}

quint64 TRBinaryPlistView::offsetOf(quint64 index) const
{
    return bigEndian(m_data + m_tableOffset + index * quint64(m_offsetSize), m_offsetSize);
}

quint64 TRBinaryPlistView::referenceOffset(const Object &container, quint64 at, bool values) const
{
    return container.position + (values ? container.count + at : at) * quint64(m_referenceSize);
}

bool TRBinaryPlistView::reference(const Object &container, quint64 at, quint64 *index, bool values)
{
    const quint64 position = referenceOffset(container, at, values);
    *index = bigEndian(m_data + position, m_referenceSize);
    if (*index >= m_objectCount)
        return fail(position, QT_TRANSLATE_NOOP("Tamrix", "object reference out of range"));
    return true;
}

bool TRBinaryPlistView::textEquals(const Object &text, QStringView expected) const
{
    if ((text.type != Ascii && text.type != Utf16) || text.count != quint64(expected.size()))
        return false;
    const unsigned char *bytes = m_data + text.position;
    for (quint64 i = 0; i < text.count; ++i) {
        const unsigned wanted = expected[qsizetype(i)].unicode();
        const unsigned unit = text.type == Ascii ? bytes[i] : unsigned(bytes[2 * i] << 8 | bytes[2 * i + 1]);
        if (unit != wanted)
            return false;
    }
    return true;
}

qint32 TRBinaryPlistView::numberOfText(const QString &text)
{
    const auto found = m_textNumbers.constFind(text);
    if (found != m_textNumbers.cend())
        return *found;
    const qint32 number = qint32(m_textNumbers.size());
    m_textNumbers.insert(text, number);
    return number;
}

qint32 TRBinaryPlistView::numberOfKey(quint64 index)
{
    if (m_keyNumbers.empty())
        m_keyNumbers.assign(m_objectCount, kUnnumbered);
    qint32 &number = m_keyNumbers[index];
    if (number != kUnnumbered)
        return number;
    Object key;
    if (!object(index, &key))
        return kUnnumbered;
    if (key.type != Ascii && key.type != Utf16) {
        number = kNotText;
        return number;
    }
    // Read unit by unit, as textEquals() compares: ASCII bytes as Latin-1.
    const unsigned char *bytes = m_data + key.position;
    QString text(qsizetype(key.count), Qt::Uninitialized);
    char16_t *units = reinterpret_cast<char16_t *>(text.data());
    for (quint64 i = 0; i < key.count; ++i)
        units[i] = key.type == Ascii ? char16_t(bytes[i]) : char16_t(bytes[2 * i] << 8 | bytes[2 * i + 1]);
    number = numberOfText(text);
    return number;
}

qint32 TRBinaryPlistView::numberOfWanted(const QString &key)
{
    for (const Wanted &wanted : m_wanted) {
        if (wanted.text.constData() == key.constData() && wanted.text.size() == key.size())
            return wanted.number;
    }
    const qint32 number = numberOfText(key);
    // Every empty text shares one address, and any text may be a fresh one: only texts with storage of
    // their own that callers keep are worth remembering, and the list stays short.
    if (!key.isEmpty() && m_wanted.size() < 32)
        m_wanted.push_back({key, number});
    return number;
}

bool TRBinaryPlistView::find(const Object &dictionary, const QString &key, quint64 *value, bool *found)
{
    return find(dictionary, &key, 1, value, found);
}

bool TRBinaryPlistView::find(const Object &dictionary, const QString *keys, int count, quint64 *values,
                             bool *found)
{
    std::fill(found, found + count, false);
    if (dictionary.type != Dictionary)
        return true;
    constexpr int kMostKeys = 8;
    qint32 wanted[kMostKeys];
    if (count > kMostKeys)
        return fail(dictionary.offset, QT_TRANSLATE_NOOP("Tamrix", "too many keys looked up at once"));
    for (int k = 0; k < count; ++k)
        wanted[k] = numberOfWanted(keys[k]);
    for (quint64 i = 0; i < dictionary.count; ++i) {
        quint64 keyIndex = 0;
        if (!reference(dictionary, i, &keyIndex))
            return false;
        const qint32 number = numberOfKey(keyIndex);
        if (number == kUnnumbered)
            return false;
        const quint64 at = referenceOffset(dictionary, i);
        if (number == kNotText)
            return fail(at, QT_TRANSLATE_NOOP("Tamrix", "dictionary key is not a string"));
        for (int k = 0; k < count; ++k) {
            if (number != wanted[k])
                continue;
            if (found[k])
                return fail(at, QT_TRANSLATE_NOOP("Tamrix", "duplicate dictionary key"));
            if (!reference(dictionary, i, &values[k], true))
                return false;
            found[k] = true;
            break;
        }
    }
    return true;
}

quint64 TRBinaryPlistView::uid(const Object &object) const
{
    return object.type == Uid ? bigEndian(m_data + object.position, object.info + 1) : 0;
}

bool TRBinaryPlistView::text(const Object &object, QString *text)
{
    const unsigned char *bytes = m_data + object.position;
    if (object.type == Ascii) {
        if (!checkAscii(object))
            return false;
        *text = QString::fromLatin1(reinterpret_cast<const char *>(bytes), qsizetype(object.count));
        return true;
    }
    if (object.type != Utf16)
        return fail(object.offset, QT_TRANSLATE_NOOP("Tamrix", "a text was expected"));
    QString units16(qsizetype(object.count), Qt::Uninitialized);
    char16_t *units = reinterpret_cast<char16_t *>(units16.data());
    for (quint64 i = 0; i < object.count; ++i)
        units[i] = char16_t(bytes[2 * i] << 8 | bytes[2 * i + 1]);
    *text = std::move(units16);
    return true;
}

bool TRBinaryPlistView::leafOrEmpty(const Object &object, TRValue *value)
{
    if (object.type == Array)
        *value = TRValue::fromArray({});
    else if (object.type == Dictionary)
        *value = TRValue::fromDictionary({});
    else
        return leaf(object, value);
    return true;
}

bool TRBinaryPlistView::checkAscii(const Object &object)
{
    const unsigned char *bytes = m_data + object.position;
    for (quint64 i = 0; i < object.count; ++i) {
        if (bytes[i] >= 0x80)
            return fail(object.position + i,
                        QT_TRANSLATE_NOOP("Tamrix", "non-ASCII byte in an ASCII string"));
    }
    return true;
}

bool TRBinaryPlistView::checkLeaf(const Object &object)
{
    switch (object.type) {
    case Integer: {
        if (object.info != 4)
            return true;
        // Sixteen bytes hold an unsigned 64-bit number or a negative one; nothing wider fits.
        const unsigned char *bytes = m_data + object.position;
        const quint64 high = bigEndian(bytes, 8);
        const quint64 low = bigEndian(bytes + 8, 8);
        if (high == 0 || (high == ~quint64(0) && (low >> 63) != 0))
            return true;
        return fail(object.offset, QT_TRANSLATE_NOOP("Tamrix", "integer out of range"));
    }
    case Ascii:
        return checkAscii(object);
    case Boolean:
    case Real:
    case Date:
    case Data:
    case Utf16:
    case Uid:
        return true;
    default:
        return fail(object.offset, QT_TRANSLATE_NOOP("Tamrix", "a container where a plain value belongs"));
    }
}

bool TRBinaryPlistView::leaf(const Object &object, TRValue *value)
{
    if (!checkLeaf(object))
        return false;
    const unsigned char *bytes = m_data + object.position;
    switch (object.type) {
    case Boolean:
        *value = TRValue::fromBool(object.info == 0x9);
        return true;
    case Integer: {
        const int width = 1 << object.info;
        if (width == 16) {
            const quint64 high = bigEndian(bytes, 8);
            const quint64 low = bigEndian(bytes + 8, 8);
            *value = high == 0 ? TRValue::fromUnsigned(low) : TRValue::fromInteger(qint64(low));
        } else {
            *value = TRValue::fromInteger(qint64(bigEndian(bytes, width)));
        }
        return true;
    }
    case Real:
    case Date: {
        double number = 0;
        if (object.info == 2) {
            const quint32 bits = quint32(bigEndian(bytes, 4));
            float single = 0;
            std::memcpy(&single, &bits, sizeof single);
            number = double(single);
        } else {
            number = TRBinaryPlistEncoding::doubleOf(bigEndian(bytes, 8));
        }
        *value = object.type == Date ? TRValue::fromDate(number) : TRValue::fromReal(number);
        return true;
    }
    case Data:
        *value =
            TRValue::fromData(QByteArray(reinterpret_cast<const char *>(bytes), qsizetype(object.count)));
        return true;
    case Ascii:
        *value = TRValue::fromLatin1(
            QLatin1StringView(reinterpret_cast<const char *>(bytes), qsizetype(object.count)));
        return true;
    case Utf16: {
        QString string;
        text(object, &string);
        *value = TRValue::fromString(std::move(string));
        return true;
    }
    default: // Uid; checkLeaf() refused every other type
        *value = TRValue::fromUid(uid(object));
        return true;
    }
}
