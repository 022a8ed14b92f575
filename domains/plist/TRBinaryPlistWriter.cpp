#include "TRBinaryPlistWriter.h"

#include "TRBinaryPlistEncoding.h"
#include "TRLimits.h"
#include "TRText.h"

using namespace TRBinaryPlistEncoding;

TRBinaryPlistWriter::TRBinaryPlistWriter(const TRPropertyList::BinaryOptions &options) : m_options(options)
{
}

quint64 TRBinaryPlistWriter::addObject(const TRValue *value, const QString *key)
{
    m_objects.push_back(Object{value, key, 0, 0});
    return m_objects.size() - 1;
}

quint64 TRBinaryPlistWriter::collectString(QStringView text, const TRValue *value, const QString *key)
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
            *index = collectString(value.stringView(), &value, nullptr);
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

void TRBinaryPlistWriter::emitObject(const Object &object, QByteArray *bytes) const
{
    ByteArraySink out{bytes};
    if (object.key || object.value->isString()) {
        putString(out, object.key ? QStringView(*object.key) : object.value->stringView());
        return;
    }
    const TRValue &value = *object.value;
    switch (value.kind()) {
    case TRValue::Kind::Boolean:
        out.put(char(value.toBool() ? 0x09 : 0x08));
        break;
    case TRValue::Kind::Integer:
        putInteger(out, value.toUnsigned(), value.isUnsignedInteger());
        break;
    case TRValue::Kind::Real:
        putReal(out, value.toReal());
        break;
    case TRValue::Kind::Date:
        putDate(out, value.toDate());
        break;
    case TRValue::Kind::Data:
        putData(out, value.toData());
        break;
    case TRValue::Kind::Uid:
        putUid(out, value.toUid());
        break;
    case TRValue::Kind::Array:
    case TRValue::Kind::Dictionary: {
        const bool isArray = value.isArray();
        putMarker(out, isArray ? 0xa : 0xd, isArray ? object.referenceCount : object.referenceCount / 2);
        auto *refs =
            reinterpret_cast<unsigned char *>(out.span(qsizetype(object.referenceCount) * m_referenceSize));
        for (quint64 i = 0; i < object.referenceCount; ++i) {
            const quint64 reference = m_references[object.referencesBegin + i];
            for (int k = 0; k < m_referenceSize; ++k)
                *refs++ = static_cast<unsigned char>(reference >> (8 * (m_referenceSize - 1 - k)));
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
    // A large dictionary's keys, and most of its string values, are strings of their own: the table is
    // made once near the size it ends at rather than grown through every doubling.
    if (value.isDictionary() && value.toDictionary().size() > 1024)
        m_strings.reserve(value.toDictionary().size() * 2);
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
    ByteArraySink tail{&bytes};
    for (const quint64 offset : offsets)
        putBigEndian(tail, offset, offsetSize);
    bytes.append(6, '\0');
    bytes.append(char(offsetSize));
    bytes.append(char(m_referenceSize));
    putBigEndian(tail, m_objects.size(), 8);
    putBigEndian(tail, top, 8);
    putBigEndian(tail, tableOffset, 8);
    *out = std::move(bytes);
    return true;
}
