#include "TRBinaryPlistWriter.h"

#include "TRLimits.h"
#include "TRText.h"

#include <cstring>

namespace {

int byteWidth(quint64 number)
{
    int width = 1;
    while (width < 8 && (number >> (8 * width)) != 0)
        ++width;
    return width;
}

void appendBigEndian(QByteArray *out, quint64 number, int width)
{
    char bytes[8];
    for (int i = 0; i < width; ++i)
        bytes[i] = char(number >> (8 * (width - 1 - i)) & 0xff);
    out->append(bytes, width);
}

// A marker whose low nibble holds the length, or 0xf followed by an integer object.
void appendMarker(QByteArray *out, int type, quint64 length)
{
    if (length < 15) {
        out->append(char(type << 4 | int(length)));
        return;
    }
    out->append(char(type << 4 | 0xf));
    const int width = byteWidth(length);
    const int widthLog = width == 1 ? 0 : width == 2 ? 1 : width <= 4 ? 2 : 3;
    out->append(char(0x10 | widthLog));
    appendBigEndian(out, length, 1 << widthLog);
}

quint64 bitsOf(double number)
{
    quint64 bits = 0;
    std::memcpy(&bits, &number, sizeof bits);
    return bits;
}

void appendString(QByteArray *out, const QString &text)
{
    const auto *units = reinterpret_cast<const char16_t *>(text.utf16());
    const qsizetype length = text.size();
    bool ascii = true;
    for (qsizetype i = 0; i < length && ascii; ++i)
        ascii = units[i] < 0x80;
    if (ascii) {
        appendMarker(out, 0x5, quint64(length));
        const qsizetype start = out->size();
        out->resize(start + length);
        char *bytes = out->data() + start;
        for (qsizetype i = 0; i < length; ++i)
            bytes[i] = char(units[i]);
        return;
    }
    appendMarker(out, 0x6, quint64(length));
    const qsizetype start = out->size();
    out->resize(start + 2 * length);
    char *bytes = out->data() + start;
    for (qsizetype i = 0; i < length; ++i) {
        bytes[2 * i] = char(units[i] >> 8);
        bytes[2 * i + 1] = char(units[i] & 0xff);
    }
}

} // namespace

TRBinaryPlistWriter::TRBinaryPlistWriter(const TRPropertyList::BinaryOptions &options)
    : m_options(options)
{
}

quint64 TRBinaryPlistWriter::addObject(const TRValue *value, const QString *key)
{
    m_objects.push_back(Object{value, key, 0, 0});
    return m_objects.size() - 1;
}

quint64 TRBinaryPlistWriter::collectString(const QString &text, const TRValue *value, const QString *key)
{
    const auto found = m_strings.constFind(text);
    if (found != m_strings.constEnd())
        return *found;
    const quint64 index = addObject(value, key);
    m_strings.insert(text, index);
    return index;
}

bool TRBinaryPlistWriter::collect(const TRValue &value, int depth, quint64 *index)
{
    using Kind = TRValue::Kind;
    const Kind kind = value.kind();
    if (kind == Kind::None)
        return false;

    // Equal scalars share one object when asked to; a shared handle always does.
    QHash<quint64, quint64> *scalars = nullptr;
    quint64 scalarKey = 0;
    if (m_options.shareEqualScalars) {
        switch (kind) {
        case Kind::String:
            *index = collectString(value.toString(), &value, nullptr);
            return true;
        case Kind::Integer:
            scalars = value.isUnsignedInteger() ? &m_unsignedIntegers : &m_integers;
            scalarKey = value.toUnsigned();
            break;
        case Kind::Real:
            scalars = &m_reals;
            scalarKey = bitsOf(value.toReal());
            break;
        case Kind::Date:
            scalars = &m_dates;
            scalarKey = bitsOf(value.toDate());
            break;
        case Kind::Boolean: {
            qint64 &shared = m_booleans[value.toBool() ? 1 : 0];
            if (shared < 0)
                shared = qint64(addObject(&value, nullptr));
            *index = quint64(shared);
            return true;
        }
        default:
            break;
        }
    }
    if (scalars) {
        const auto found = scalars->constFind(scalarKey);
        if (found != scalars->constEnd()) {
            *index = *found;
            return true;
        }
        *index = addObject(&value, nullptr);
        scalars->insert(scalarKey, *index);
        return true;
    }

    const bool compound = value.isCompound();
    // Keyed archives refer to a few objects (their domain name, their classes) from everywhere: a shared
    // UID handle is written once, like shared data.
    const bool sharedLeaf = kind == Kind::Data || kind == Kind::Uid;
    if (compound || sharedLeaf) {
        const auto found = m_byIdentity.constFind(value.identity());
        if (found != m_byIdentity.constEnd()) {
            *index = *found;
            return true;
        }
    }
    *index = addObject(&value, nullptr);
    if (!compound) {
        if (sharedLeaf)
            m_byIdentity.insert(value.identity(), *index);
        return true;
    }
    if (depth >= kTRMaxNestingDepth) {
        m_tooDeep = true;
        return false;
    }
    const size_t pendingStart = m_pending.size();
    if (value.isArray()) {
        for (const TRValue &element : value.toArray()) {
            quint64 child = 0;
            if (!collect(element, depth + 1, &child))
                return false;
            m_pending.push_back(child);
        }
    } else {
        const TRDictionary &entries = value.toDictionary();
        for (const auto &entry : entries)
            m_pending.push_back(collectString(entry.first, nullptr, &entry.first));
        for (const auto &entry : entries) {
            quint64 child = 0;
            if (!collect(entry.second, depth + 1, &child))
                return false;
            m_pending.push_back(child);
        }
    }
    Object &object = m_objects[*index];
    object.referencesBegin = m_references.size();
    object.referenceCount = m_pending.size() - pendingStart;
    m_references.insert(m_references.end(), m_pending.begin() + qsizetype(pendingStart), m_pending.end());
    m_pending.resize(pendingStart);
    m_byIdentity.insert(value.identity(), *index);
    return true;
}

void TRBinaryPlistWriter::emitObject(const Object &object, QByteArray *out) const
{
    if (object.key || object.value->isString()) {
        appendString(out, object.key ? *object.key : object.value->toString());
        return;
    }
    const TRValue &value = *object.value;
    switch (value.kind()) {
    case TRValue::Kind::Boolean:
        out->append(char(value.toBool() ? 0x09 : 0x08));
        break;
    case TRValue::Kind::Integer: {
        const quint64 bits = value.toUnsigned();
        if (value.isUnsignedInteger()) {
            out->append(char(0x14));
            appendBigEndian(out, 0, 8);
            appendBigEndian(out, bits, 8);
        } else if (value.toInteger() < 0 || bits > 0xffffffffu) {
            out->append(char(0x13));
            appendBigEndian(out, bits, 8);
        } else {
            const int width = byteWidth(bits);
            const int widthLog = width == 1 ? 0 : width == 2 ? 1 : 2;
            out->append(char(0x10 | widthLog));
            appendBigEndian(out, bits, 1 << widthLog);
        }
        break;
    }
    case TRValue::Kind::Real:
        out->append(char(0x23));
        appendBigEndian(out, bitsOf(value.toReal()), 8);
        break;
    case TRValue::Kind::Date:
        out->append(char(0x33));
        appendBigEndian(out, bitsOf(value.toDate()), 8);
        break;
    case TRValue::Kind::Data: {
        const QByteArray bytes = value.toData();
        appendMarker(out, 0x4, quint64(bytes.size()));
        out->append(bytes);
        break;
    }
    case TRValue::Kind::Uid: {
        const quint64 uid = value.toUid();
        const int width = byteWidth(uid);
        const int rounded = width == 1 ? 1 : width == 2 ? 2 : width <= 4 ? 4 : 8;
        out->append(char(0x80 | (rounded - 1)));
        appendBigEndian(out, uid, rounded);
        break;
    }
    case TRValue::Kind::Array:
    case TRValue::Kind::Dictionary: {
        const bool isArray = value.isArray();
        appendMarker(out, isArray ? 0xa : 0xd, isArray ? object.referenceCount : object.referenceCount / 2);
        const qsizetype start = out->size();
        out->resize(start + qsizetype(object.referenceCount) * m_referenceSize);
        auto *bytes = reinterpret_cast<unsigned char *>(out->data() + start);
        for (quint64 i = 0; i < object.referenceCount; ++i) {
            const quint64 reference = m_references[object.referencesBegin + i];
            for (int k = 0; k < m_referenceSize; ++k)
                *bytes++ = static_cast<unsigned char>(reference >> (8 * (m_referenceSize - 1 - k)));
        }
        break;
    }
    case TRValue::Kind::String:
    case TRValue::Kind::None:
        break;
    }
}

bool TRBinaryPlistWriter::write(const TRValue &value, QByteArray *out, QString *error)
{
    quint64 top = 0;
    if (!collect(value, 0, &top)) {
        if (error) {
            *error = m_tooDeep ? trFormat(trText("The value is nested deeper than %@ levels."),
                                          {QString::number(kTRMaxNestingDepth)})
                               : trText("A value without content cannot be written to a property list.");
        }
        return false;
    }
    m_referenceSize = byteWidth(m_objects.size() - 1);

    QByteArray bytes;
    bytes.reserve(qsizetype(64 + m_objects.size() * 12));
    bytes.append("bplist00", 8);
    std::vector<quint64> offsets;
    offsets.reserve(m_objects.size());
    for (const Object &object : m_objects) {
        offsets.push_back(quint64(bytes.size()));
        emitObject(object, &bytes);
    }
    const quint64 tableOffset = quint64(bytes.size());
    const int offsetSize = byteWidth(offsets.back());
    bytes.reserve(bytes.size() + qsizetype(offsets.size()) * offsetSize + 32);
    for (const quint64 offset : offsets)
        appendBigEndian(&bytes, offset, offsetSize);
    bytes.append(6, '\0');
    bytes.append(char(offsetSize));
    bytes.append(char(m_referenceSize));
    appendBigEndian(&bytes, m_objects.size(), 8);
    appendBigEndian(&bytes, top, 8);
    appendBigEndian(&bytes, tableOffset, 8);
    *out = std::move(bytes);
    return true;
}
