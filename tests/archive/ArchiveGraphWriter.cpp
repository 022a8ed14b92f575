#include "ArchiveGraphWriter.h"

#include "TRLimits.h"
#include "TRText.h"
#include "archive/TRArchiveFormat.h"
#include "plist/TRBinaryPlistEncoding.h"

#include <algorithm>

using namespace TRArchiveFormat;
using TRBinaryPlistEncoding::bitsOf;

namespace {

TRValue classRecord(WrittenClass cls)
{
    const ClassChain chain = classChain(cls);
    TRArray classes;
    for (int i = 0; i < chain.length; ++i)
        classes.append(TRValue::fromString(*chain.names[i]));
    TRDictionary record;
    record.insert(kClassesKey, TRValue::fromArray(std::move(classes)));
    record.insert(kClassNameKey, TRValue::fromString(*chain.names[0]));
    return TRValue::fromDictionary(std::move(record));
}

} // namespace

ArchiveGraphWriter::ArchiveGraphWriter()
{
    m_objects.append(TRValue::fromString(kNull));
}

bool ArchiveGraphWriter::write(const TRArchiveContents &contents, TRValue *archive, QString *error)
{
    if (!contents.isList && (contents.domains.size() != 1 || !contents.domains.front())) {
        if (error)
            *error = trText("A single-domain archive needs exactly one domain.");
        return false;
    }
    ArchiveGraphWriter archiver;
    const quint64 root = contents.isList ? archiver.uidOfDomainList(contents.domains)
                                         : archiver.uidOfDomain(*contents.domains.front());
    if (archiver.failed()) {
        if (error)
            *error = archiver.m_error;
        return false;
    }
    *archive = archiver.finish(root);
    return true;
}

void ArchiveGraphWriter::fail(const QString &message)
{
    if (m_error.isEmpty())
        m_error = message;
}

TRValue ArchiveGraphWriter::reference(quint64 uid)
{
    // One UID value per object, shared by every place that refers to it.
    if (uid >= m_references.size())
        m_references.resize(std::max<std::size_t>(std::size_t(uid) + 1, m_references.size() * 2));
    TRValue &value = m_references[std::size_t(uid)];
    if (value.isNone())
        value = TRValue::fromUid(uid);
    return value;
}

quint64 ArchiveGraphWriter::reserveObject()
{
    m_objects.append(TRValue());
    return quint64(m_objects.size() - 1);
}

void ArchiveGraphWriter::beginRecord()
{
    m_records.emplace_back();
    m_records.back().entries.reserve(4);
}

void ArchiveGraphWriter::endRecord(quint64 uid, ClassId id)
{
    Record record = std::move(m_records.back());
    m_records.pop_back();
    record.entries.insert(kClassKey, reference(uidOfClass(id)));
    m_objects[qsizetype(uid)] = TRValue::fromDictionary(std::move(record.entries));
}

void ArchiveGraphWriter::codeUid(quint64 uid)
{
    Record &record = m_records.back();
    record.entries.insert(trCodedValueKey(record.coded++), reference(uid));
}

quint64 ArchiveGraphWriter::uidOfClass(ClassId id)
{
    quint64 &uid = m_classUids[int(id)];
    if (uid)
        return uid;
    m_objects.append(classRecord(id));
    uid = quint64(m_objects.size() - 1);
    return uid;
}

quint64 ArchiveGraphWriter::uidOfValue(const TRValue &value)
{
    if (failed())
        return 0;
    switch (value.kind()) {
    case TRValue::Kind::None:
        return 0;
    case TRValue::Kind::String:
        return uidOfText(value.toString(), &value);
    case TRValue::Kind::Integer:
    case TRValue::Kind::Real:
    case TRValue::Kind::Boolean: {
        // Booleans stay apart from integers, unsigned from signed, and -0.0 from 0.0.
        QHash<quint64, quint64> &numbers = value.isBoolean()           ? m_booleans
                                           : value.isReal()            ? m_reals
                                           : value.isUnsignedInteger() ? m_unsignedIntegers
                                                                       : m_integers;
        const quint64 key = value.isReal()      ? bitsOf(value.toReal())
                            : value.isBoolean() ? quint64(value.toBool())
                                                : value.toUnsigned();
        const auto found = numbers.constFind(key);
        if (found != numbers.cend())
            return *found;
        m_objects.append(value);
        const quint64 uid = quint64(m_objects.size() - 1);
        numbers.insert(key, uid);
        return uid;
    }
    case TRValue::Kind::Data:
        m_objects.append(value);
        return quint64(m_objects.size() - 1);
    case TRValue::Kind::Date: {
        // Apple's layout, which GNUstep reads too: an NSDate record with the seconds since 2001.
        const quint64 uid = reserveObject();
        beginRecord();
        m_records.back().entries.insert(kTimeKey, TRValue::fromReal(value.toDate()));
        endRecord(uid, ClassId::Date);
        return uid;
    }
    case TRValue::Kind::Array:
    case TRValue::Kind::Dictionary:
    case TRValue::Kind::Uid:
        break;
    }
    fail(trText("A key holds a value that cannot be archived."));
    return 0;
}

quint64 ArchiveGraphWriter::uidOfText(const QString &text, const TRValue *value)
{
    if (failed())
        return 0;
    const auto found = m_strings.constFind(text);
    if (found != m_strings.cend())
        return *found;
    if (text == kNull) {
        // Both platforms' unarchivers read this text as no value: it would not come back.
        fail(trFormat(trText("The text %@ cannot be stored in an exchange file: it reads back as no value."),
                      {QLatin1Char('"') + kNull + QLatin1Char('"')}));
        return 0;
    }
    m_objects.append(value ? *value : TRValue::fromString(text));
    const quint64 uid = quint64(m_objects.size() - 1);
    m_strings.insert(text, uid);
    return uid;
}

void ArchiveGraphWriter::encodeText(const QString &text)
{
    codeUid(uidOfText(text, nullptr));
}

void ArchiveGraphWriter::encodeValue(const TRValue &value)
{
    codeUid(uidOfValue(value));
}

void ArchiveGraphWriter::encodeKey(const TRKeyPtr &key)
{
    codeUid(uidOfKey(key));
}

quint64 ArchiveGraphWriter::uidOfKey(const TRKeyPtr &key)
{
    if (failed() || !key)
        return 0;
    const quint64 uid = reserveObject();
    beginRecord();
    key->encodeWithCoder(*this);
    endRecord(uid, ClassId::Key);
    return uid;
}

void ArchiveGraphWriter::encodeNodeValue(const TRKey &owner)
{
    codeUid(owner.isCompound() ? uidOfChildren(owner) : uidOfValue(owner.value()));
}

quint64 ArchiveGraphWriter::uidOfChildren(const TRKey &owner)
{
    if (failed())
        return 0;
    // Nothing is written that the reader would refuse.
    if (++m_depth > kTRMaxNestingDepth) {
        fail(trFormat(trText("The keys are nested deeper than %@ levels."),
                      {QString::number(kTRMaxNestingDepth)}));
        return 0;
    }
    const quint64 uid = reserveObject();
    beginRecord();
    const std::vector<TRKeyPtr> &children = owner.children();
    TRArray keys;
    TRArray objects;
    objects.reserve(qsizetype(children.size()));
    if (owner.isDictionary()) {
        keys.reserve(qsizetype(children.size()));
        for (std::size_t i = 0; i < children.size(); ++i)
            keys.append(reference(uidOfText(owner.keyAtIndex(int(i)), nullptr)));
    }
    for (const TRKeyPtr &child : children)
        objects.append(reference(uidOfKey(child)));
    Record &record = m_records.back();
    if (owner.isDictionary())
        record.entries.insert(kKeysKey, TRValue::fromArray(std::move(keys)));
    record.entries.insert(kListKey, TRValue::fromArray(std::move(objects)));
    endRecord(uid, owner.isDictionary() ? ClassId::MutableDictionary : ClassId::MutableArray);
    --m_depth;
    return uid;
}

quint64 ArchiveGraphWriter::uidOfDomain(const TRDomainController &domain)
{
    const quint64 uid = reserveObject();
    beginRecord();
    domain.encodeWithCoder(*this);
    endRecord(uid, ClassId::Domain);
    return uid;
}

quint64 ArchiveGraphWriter::uidOfDomainList(const std::vector<TRDomainControllerPtr> &domains)
{
    const quint64 uid = reserveObject();
    beginRecord();
    TRArray objects;
    objects.reserve(qsizetype(domains.size()));
    for (const TRDomainControllerPtr &domain : domains) {
        if (!domain) {
            fail(trText("The list of domains holds an empty entry."));
            break;
        }
        objects.append(reference(uidOfDomain(*domain)));
    }
    m_records.back().entries.insert(kListKey, TRValue::fromArray(std::move(objects)));
    endRecord(uid, ClassId::MutableArray);
    return uid;
}

TRValue ArchiveGraphWriter::finish(quint64 rootUid)
{
    TRDictionary top;
    top.insert(kRootKey, reference(rootUid));
    TRDictionary archive;
    archive.insert(kVersionKey, TRValue::fromInteger(kTRArchiveVersion));
    archive.insert(kArchiverKey, TRValue::fromString(kArchiverName));
    archive.insert(kTopKey, TRValue::fromDictionary(std::move(top)));
    archive.insert(kObjectsKey, TRValue::fromArray(std::move(m_objects)));
    return TRValue::fromDictionary(std::move(archive));
}
