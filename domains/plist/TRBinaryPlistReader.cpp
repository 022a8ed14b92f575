#include "TRBinaryPlistReader.h"

#include "TRLimits.h"
#include "TRText.h"

#include <QtEndian>

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

TRBinaryPlistReader::TRBinaryPlistReader(const QByteArray &bytes)
    : m_bytes(bytes)
{
}

bool TRBinaryPlistReader::fail(quint64 offset, const char *reason)
{
    m_error = trFormat(trText("The binary property list is damaged at byte %@: %@."),
                       {QString::number(offset), trText(reason)});
    return false;
}

bool TRBinaryPlistReader::read(TRValue *value, QString *error)
{
    *value = TRValue();
    m_data = reinterpret_cast<const unsigned char *>(m_bytes.constData());
    m_size = quint64(m_bytes.size());
    const bool ok = [&] {
        if (m_size < kHeaderSize || std::memcmp(m_data, "bplist00", kHeaderSize) != 0)
            return fail(0, "not a binary property list of version 00");
        if (m_size < kHeaderSize + 1 + kTrailerSize)
            return fail(m_size, "the file is truncated");
        const quint64 trailerOffset = m_size - kTrailerSize;
        const unsigned char *trailer = m_data + trailerOffset;
        m_offsetSize = trailer[6];
        m_referenceSize = trailer[7];
        m_objectCount = bigEndian(trailer + 8, 8);
        const quint64 top = bigEndian(trailer + 16, 8);
        m_tableOffset = bigEndian(trailer + 24, 8);
        if (m_offsetSize < 1 || m_offsetSize > 8)
            return fail(trailerOffset + 6, "offset width out of range");
        if (m_referenceSize < 1 || m_referenceSize > 8)
            return fail(trailerOffset + 7, "reference width out of range");
        if (m_objectCount == 0)
            return fail(trailerOffset + 8, "the file holds no object");
        if (top >= m_objectCount)
            return fail(trailerOffset + 16, "top object out of range");
        if (m_tableOffset < kHeaderSize + 1 || m_tableOffset > trailerOffset)
            return fail(trailerOffset + 24, "offset table out of range");
        if (m_objectCount > (trailerOffset - m_tableOffset) / quint64(m_offsetSize))
            return fail(trailerOffset + 8, "object count larger than the offset table");
        m_objects.resize(m_objectCount);
        m_states.assign(m_objectCount, State::Unread);
        m_heights.assign(m_objectCount, 0);
        countUses(top);
        return readObject(top, 0, value);
    }();
    m_objects.clear();
    m_states.clear();
    m_heights.clear();
    m_uses.clear();
    if (!ok) {
        *value = TRValue();
        if (error)
            *error = m_error;
    }
    return ok;
}

bool TRBinaryPlistReader::readReference(quint64 position, quint64 *index)
{
    *index = bigEndian(m_data + position, m_referenceSize);
    if (*index >= m_objectCount)
        return fail(position, "object reference out of range");
    return true;
}

bool TRBinaryPlistReader::readLength(quint64 offset, int info, quint64 *position, quint64 *length)
{
    if (info != 0xf) {
        *length = quint64(info);
        return true;
    }
    if (*position >= m_tableOffset)
        return fail(offset, "the object is truncated");
    const unsigned char marker = m_data[*position];
    const int widthLog = marker & 0xf;
    if ((marker >> 4) != 0x1 || widthLog > 3)
        return fail(*position, "bad length of an object");
    const quint64 width = quint64(1) << widthLog;
    if (m_tableOffset - *position - 1 < width)
        return fail(*position, "the object is truncated");
    *length = bigEndian(m_data + *position + 1, int(width));
    if (width == 8 && *length >> 63)
        return fail(*position, "bad length of an object");
    *position += 1 + width;
    return true;
}

void TRBinaryPlistReader::countUses(quint64 top)
{
    // Same decoding as readObject(); an object this pass cannot decode fails there when it is reached.
    m_uses.assign(m_objectCount, 0);
    m_uses[top] = 1;
    const auto use = [this](quint64 index) {
        if (index < m_objectCount && m_uses[index] < 2)
            ++m_uses[index];
    };
    for (quint64 index = 0; index < m_objectCount; ++index) {
        const quint64 offset = bigEndian(m_data + m_tableOffset + index * quint64(m_offsetSize), m_offsetSize);
        if (offset < kHeaderSize || offset >= m_tableOffset)
            continue;
        const int type = m_data[offset] >> 4;
        if (type != 0xa && type != 0xd)
            continue;
        quint64 position = offset + 1;
        quint64 count = m_data[offset] & 0xf;
        if (count == 0xf) {
            if (position >= m_tableOffset)
                continue;
            const unsigned char marker = m_data[position];
            const quint64 width = quint64(1) << (marker & 0xf);
            if ((marker >> 4) != 0x1 || (marker & 0xf) > 3 || m_tableOffset - position - 1 < width)
                continue;
            count = bigEndian(m_data + position + 1, int(width));
            if (width == 8 && count >> 63)
                continue;
            position += 1 + width;
        }
        const quint64 references = type == 0xd ? 2 * count : count;
        if (count > (m_tableOffset - position) / (quint64(m_referenceSize) * (type == 0xd ? 2 : 1)))
            continue;
        for (quint64 i = 0; i < references; ++i)
            use(bigEndian(m_data + position + i * quint64(m_referenceSize), m_referenceSize));
    }
}

bool TRBinaryPlistReader::readObject(quint64 index, int depth, TRValue *value)
{
    const quint64 offset = bigEndian(m_data + m_tableOffset + index * quint64(m_offsetSize), m_offsetSize);
    if (m_states[index] == State::Done) {
        // A shared object: its nesting counts again at every place it is used.
        if (depth + m_heights[index] > kTRMaxNestingDepth)
            return fail(offset, "nesting too deep");
        *value = m_objects[index];
        m_lastHeight = m_heights[index];
        return true;
    }
    if (m_states[index] == State::Reading)
        return fail(offset, "reference cycle");
    if (m_states[index] == State::Consumed)
        return fail(offset, "object used more often than referenced");
    if (offset < kHeaderSize || offset >= m_tableOffset)
        return fail(m_tableOffset + index * quint64(m_offsetSize), "object offset out of range");

    const unsigned char marker = m_data[offset];
    const int type = marker >> 4;
    const int info = marker & 0xf;
    quint64 position = offset + 1;
    const quint64 available = m_tableOffset - position;
    switch (type) {
    case 0x0:
        if (info != 0x8 && info != 0x9)
            return fail(offset, "unknown object type");
        *value = TRValue::fromBool(info == 0x9);
        break;
    case 0x1: {
        if (info > 4)
            return fail(offset, "bad integer width");
        const quint64 width = quint64(1) << info;
        if (available < width)
            return fail(offset, "the object is truncated");
        const unsigned char *bytes = m_data + position;
        if (width == 16) {
            const quint64 high = bigEndian(bytes, 8);
            const quint64 low = bigEndian(bytes + 8, 8);
            if (high == 0)
                *value = TRValue::fromUnsigned(low);
            else if (high == ~quint64(0) && (low >> 63) != 0)
                *value = TRValue::fromInteger(qint64(low));
            else
                return fail(offset, "integer out of range");
        } else if (width == 8) {
            *value = TRValue::fromInteger(qint64(bigEndian(bytes, 8)));
        } else {
            *value = TRValue::fromInteger(qint64(bigEndian(bytes, int(width))));
        }
        break;
    }
    case 0x2:
    case 0x3: {
        const bool isDate = type == 0x3;
        if (info != 3 && (isDate || info != 2))
            return fail(offset, isDate ? "bad date width" : "bad real width");
        const quint64 width = quint64(1) << info;
        if (available < width)
            return fail(offset, "the object is truncated");
        double number = 0;
        if (width == 4) {
            const quint32 bits = quint32(bigEndian(m_data + position, 4));
            float single = 0;
            std::memcpy(&single, &bits, sizeof single);
            number = double(single);
        } else {
            const quint64 bits = bigEndian(m_data + position, 8);
            std::memcpy(&number, &bits, sizeof number);
        }
        *value = isDate ? TRValue::fromDate(number) : TRValue::fromReal(number);
        break;
    }
    case 0x4:
    case 0x5:
    case 0x6: {
        quint64 length = 0;
        if (!readLength(offset, info, &position, &length))
            return false;
        const quint64 unit = type == 0x6 ? 2 : 1;
        if (length > (m_tableOffset - position) / unit)
            return fail(offset, "the object is truncated");
        const auto *bytes = m_data + position;
        if (type == 0x4) {
            *value = TRValue::fromData(QByteArray(reinterpret_cast<const char *>(bytes), qsizetype(length)));
        } else if (type == 0x5) {
            for (quint64 i = 0; i < length; ++i) {
                if (bytes[i] >= 0x80)
                    return fail(position + i, "non-ASCII byte in an ASCII string");
            }
            *value = TRValue::fromString(QString::fromLatin1(reinterpret_cast<const char *>(bytes), qsizetype(length)));
        } else {
            QString text(qsizetype(length), Qt::Uninitialized);
            char16_t *units = reinterpret_cast<char16_t *>(text.data());
            for (quint64 i = 0; i < length; ++i)
                units[i] = char16_t(bytes[2 * i] << 8 | bytes[2 * i + 1]);
            *value = TRValue::fromString(text);
        }
        break;
    }
    case 0x8: {
        const quint64 width = quint64(info) + 1;
        if (width > 8)
            return fail(offset, "UID wider than 8 bytes");
        if (available < width)
            return fail(offset, "the object is truncated");
        *value = TRValue::fromUid(bigEndian(m_data + position, int(width)));
        break;
    }
    case 0xa:
    case 0xd: {
        quint64 count = 0;
        if (!readLength(offset, info, &position, &count))
            return false;
        const quint64 perEntry = quint64(m_referenceSize) * (type == 0xd ? 2 : 1);
        if (count > (m_tableOffset - position) / perEntry)
            return fail(offset, "the object is truncated");
        if (depth >= kTRMaxNestingDepth)
            return fail(offset, "nesting too deep");
        m_states[index] = State::Reading;
        if (!readCompound(position, type, count, depth + 1, value))
            return false;
        break;
    }
    default:
        return fail(offset, "unknown object type");
    }
    const int height = type == 0xa || type == 0xd ? m_lastHeight + 1 : 0;
    if (m_uses[index] > 1) {
        // Only objects referenced from several places are kept for reuse.
        m_objects[index] = *value;
        m_states[index] = State::Done;
        m_heights[index] = quint16(height);
    } else {
        m_states[index] = State::Consumed;
    }
    m_lastHeight = height;
    return true;
}

bool TRBinaryPlistReader::readCompound(quint64 position, int type, quint64 count, int depth,
                                       TRValue *value)
{
    const quint64 width = quint64(m_referenceSize);
    int height = 0;
    const auto finish = [&](TRValue made) {
        *value = std::move(made);
        m_lastHeight = height;
        return true;
    };
    if (type == 0xa) {
        TRArray elements;
        elements.reserve(qsizetype(count));
        for (quint64 i = 0; i < count; ++i) {
            quint64 index = 0;
            TRValue element;
            if (!readReference(position + i * width, &index) || !readObject(index, depth, &element))
                return false;
            height = std::max(height, m_lastHeight);
            elements.append(std::move(element));
        }
        return finish(TRValue::fromArray(std::move(elements)));
    }
    TRDictionary entries;
    entries.reserve(qsizetype(count));
    const quint64 valuesAt = position + count * width;
    for (quint64 i = 0; i < count; ++i) {
        quint64 keyIndex = 0;
        quint64 valueIndex = 0;
        TRValue key;
        TRValue entry;
        if (!readReference(position + i * width, &keyIndex) || !readObject(keyIndex, depth, &key))
            return false;
        if (!key.isString())
            return fail(position + i * width, "dictionary key is not a string");
        if (!readReference(valuesAt + i * width, &valueIndex) || !readObject(valueIndex, depth, &entry))
            return false;
        height = std::max(height, m_lastHeight);
        if (!entries.insert(key.toString(), std::move(entry)))
            return fail(position + i * width, "duplicate dictionary key");
    }
    return finish(TRValue::fromDictionary(std::move(entries)));
}
