#include "TRBinaryArchiveWriter.h"

#include "TRArchiveFormat.h"
#include "TRLimits.h"
#include "TRText.h"
#include "plist/TRBinaryPlistEncoding.h"

#include <limits>

using namespace TRBinaryPlistEncoding;
using namespace TRArchiveFormat;

namespace {

// A sink that also notes where the last object began.
struct Counter : CountingSink
{
    quint64 last = 0;
    void begin() { last = size; }
};

// A sink that also writes each object's offset into the offset table as the object begins.
struct Filler : RawSink
{
    const char *start = nullptr;
    char *table = nullptr;
    int offsetSize = 1;

    void begin()
    {
        RawSink entry{table};
        putBigEndian(entry, quint64(at - start), offsetSize);
        table = entry.at;
    }
};

} // namespace

// Object indices of the file: the fixed head (0: the top dictionary, 1: $top, 2: $version, 3: $objects,
// then the texts of the layout), $objects, one UID per object, then the containers and times that the
// records of $objects refer to, in the order of their records.
struct TRBinaryArchiveWriter::Layout
{
    std::vector<QString> strings;
    quint64 versionKey = 0, archiverKey = 0, topKey = 0, objectsKey = 0, archiverName = 0, rootKey = 0;
    quint64 classKey = 0, keysKey = 0, listKey = 0, timeKey = 0, classNameKey = 0, classesKey = 0;
    std::vector<quint64> codedKeys;
    quint64 classNames[int(ClassId::Count)][kMaxChain] = {};
    int chainLengths[int(ClassId::Count)] = {};
    quint64 objectBase = 0, uidBase = 0, extraBase = 0, total = 0;
    quint32 rootUid = 0;
    int refSize = 1;
};

TRBinaryArchiveWriter::TRBinaryArchiveWriter()
{
    m_objects.push_back(Object{});
}

bool TRBinaryArchiveWriter::write(const TRArchiveContents &contents, QByteArray *bytes, QString *error)
{
    TRBinaryArchiveWriter writer;
    quint32 root = 0;
    if (contents.isList) {
        root = writer.uidOfDomainList(contents.domains);
    } else if (contents.domains.size() == 1 && contents.domains.front()) {
        root = writer.uidOfDomain(*contents.domains.front());
    } else {
        writer.fail(trText("A single-domain archive needs exactly one domain."));
    }
    if (!writer.failed())
        writer.writeBytes(root, bytes);
    if (writer.failed()) {
        if (error)
            *error = writer.m_error;
        return false;
    }
    return true;
}

void TRBinaryArchiveWriter::fail(const QString &message)
{
    if (m_error.isEmpty())
        m_error = message;
}

quint32 TRBinaryArchiveWriter::addObject(Type type, quint64 payload)
{
    if (m_objects.size() >= std::numeric_limits<quint32>::max()) {
        fail(trText("The keys are too many for one exchange file."));
        return 0;
    }
    m_objects.push_back(Object{payload, 0, 0, type});
    return quint32(m_objects.size() - 1);
}

void TRBinaryArchiveWriter::beginRecord()
{
    m_recordStarts.push_back(m_pending.size());
}

void TRBinaryArchiveWriter::endRecord(quint32 uid, ClassId id)
{
    const std::size_t start = m_recordStarts.back();
    m_recordStarts.pop_back();
    const quint32 classUid = uidOfClass(id);
    Object &object = m_objects[uid];
    object.classUid = classUid;
    if (start == m_pending.size())
        return; // nothing coded: a date keeps its time in the payload
    object.payload = m_references.size();
    object.count = quint32(m_pending.size() - start);
    m_references.insert(m_references.end(), m_pending.begin() + std::ptrdiff_t(start), m_pending.end());
    m_pending.resize(start);
}

quint32 TRBinaryArchiveWriter::uidOfClass(ClassId id)
{
    quint32 &uid = m_classUids[int(id)];
    if (!uid)
        uid = addObject(Type::Class, quint64(id));
    return uid;
}

quint32 TRBinaryArchiveWriter::uidOfNumber(QHash<quint64, quint32> &numbers, Type type, quint64 bits)
{
    const auto found = numbers.constFind(bits);
    if (found != numbers.cend())
        return *found;
    const quint32 uid = addObject(type, bits);
    numbers.insert(bits, uid);
    return uid;
}

quint32 TRBinaryArchiveWriter::uidOfValue(const TRValue &value)
{
    if (failed())
        return 0;
    switch (value.kind()) {
    case TRValue::Kind::None:
        return 0;
    case TRValue::Kind::String:
        return uidOfText(value.toString());
    case TRValue::Kind::Integer:
        return value.isUnsignedInteger() ? uidOfNumber(m_unsignedIntegers, Type::Unsigned, value.toUnsigned())
                                         : uidOfNumber(m_integers, Type::Integer, value.toUnsigned());
    case TRValue::Kind::Real:
        return uidOfNumber(m_reals, Type::Real, bitsOf(value.toReal()));
    case TRValue::Kind::Boolean:
        return uidOfNumber(m_booleans, Type::Boolean, value.toBool() ? 1 : 0);
    case TRValue::Kind::Data:
        m_data.push_back(value.toData());
        return addObject(Type::Data, m_data.size() - 1);
    case TRValue::Kind::Date: {
        // Apple's layout, which GNUstep reads too: an NSDate record with the seconds since 2001.
        const quint32 uid = addObject(Type::Date, bitsOf(value.toDate()));
        beginRecord();
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

quint32 TRBinaryArchiveWriter::uidOfText(const QString &text)
{
    if (failed())
        return 0;
    // The same characters at the same address are the same text. Every empty text shares one address, so
    // the check needs a text seen before (UID 0 is "$null" and never a text's).
    if (m_recentUid != 0 && text.constData() == m_recentText.constData() &&
        text.size() == m_recentText.size())
        return m_recentUid;
    auto found = m_textUids.constFind(text);
    if (found == m_textUids.cend()) {
        if (text == kNull) {
            // Both platforms' unarchivers read this text as no value: it would not come back.
            fail(trFormat(
                trText("The text %@ cannot be stored in an exchange file: it reads back as no value."),
                {QLatin1Char('"') + kNull + QLatin1Char('"')}));
            return 0;
        }
        m_texts.push_back(text);
        found = m_textUids.insert(text, addObject(Type::Text, m_texts.size() - 1));
    }
    m_recentText = text;
    m_recentUid = *found;
    return *found;
}

void TRBinaryArchiveWriter::encodeText(const QString &text)
{
    m_pending.push_back(uidOfText(text));
}

void TRBinaryArchiveWriter::encodeValue(const TRValue &value)
{
    m_pending.push_back(uidOfValue(value));
}

void TRBinaryArchiveWriter::encodeKey(const TRKeyPtr &key)
{
    m_pending.push_back(uidOfKey(key));
}

void TRBinaryArchiveWriter::encodeNodeValue(const TRKey &owner)
{
    m_pending.push_back(owner.isCompound() ? uidOfChildren(owner) : uidOfValue(owner.value()));
}

quint32 TRBinaryArchiveWriter::uidOfKey(const TRKeyPtr &key)
{
    if (failed() || !key)
        return 0;
    const quint32 uid = addObject(Type::Key, 0);
    beginRecord();
    key->encodeWithCoder(*this);
    endRecord(uid, ClassId::Key);
    return uid;
}

quint32 TRBinaryArchiveWriter::uidOfChildren(const TRKey &owner)
{
    if (failed())
        return 0;
    // Nothing is written that the reader would refuse.
    if (++m_depth > kTRMaxNestingDepth) {
        fail(trFormat(trText("The keys are nested deeper than %@ levels."),
                      {QString::number(kTRMaxNestingDepth)}));
        return 0;
    }
    const bool isDictionary = owner.isDictionary();
    const quint32 uid = addObject(isDictionary ? Type::Dictionary : Type::List, 0);
    beginRecord();
    const std::vector<TRKeyPtr> &children = owner.children();
    if (isDictionary) {
        for (std::size_t i = 0; i < children.size(); ++i)
            m_pending.push_back(uidOfText(owner.keyAtIndex(int(i))));
    }
    for (const TRKeyPtr &child : children)
        m_pending.push_back(uidOfKey(child));
    endRecord(uid, isDictionary ? ClassId::MutableDictionary : ClassId::MutableArray);
    // A dictionary's references are its keys, then its children.
    if (isDictionary)
        m_objects[uid].count /= 2;
    --m_depth;
    return uid;
}

quint32 TRBinaryArchiveWriter::uidOfDomain(const TRDomainController &domain)
{
    const quint32 uid = addObject(Type::Domain, 0);
    beginRecord();
    domain.encodeWithCoder(*this);
    endRecord(uid, ClassId::Domain);
    return uid;
}

quint32 TRBinaryArchiveWriter::uidOfDomainList(const std::vector<TRDomainControllerPtr> &domains)
{
    const quint32 uid = addObject(Type::List, 0);
    beginRecord();
    for (const TRDomainControllerPtr &domain : domains) {
        if (!domain) {
            fail(trText("The list of domains holds an empty entry."));
            break;
        }
        m_pending.push_back(uidOfDomain(*domain));
    }
    endRecord(uid, ClassId::MutableArray);
    return uid;
}

template<class Sink>
void TRBinaryArchiveWriter::writeObjects(Sink &out, const Layout &layout) const
{
    const int refSize = layout.refSize;
    const auto ref = [&out, refSize](quint64 index) { putBigEndian(out, index, refSize); };
    const auto uidRef = [&ref, &layout](quint32 uid) { ref(layout.uidBase + uid); };
    const quint32 *references = m_references.data();

    out.begin();
    putMarker(out, 0xd, 4);
    for (const quint64 key : {layout.versionKey, layout.archiverKey, layout.topKey, layout.objectsKey})
        ref(key);
    for (const quint64 value : {quint64(2), layout.archiverName, quint64(1), quint64(3)})
        ref(value);
    out.begin();
    putMarker(out, 0xd, 1);
    ref(layout.rootKey);
    uidRef(layout.rootUid);
    out.begin();
    putInteger(out, quint64(kTRArchiveVersion), false);
    out.begin();
    putMarker(out, 0xa, m_objects.size());
    for (quint64 uid = 0; uid < m_objects.size(); ++uid)
        ref(layout.objectBase + uid);
    for (const QString &text : layout.strings) {
        out.begin();
        putString(out, text);
    }

    quint64 extra = layout.extraBase;
    for (std::size_t uid = 0; uid < m_objects.size(); ++uid) {
        const Object &object = m_objects[uid];
        out.begin();
        switch (object.type) {
        case Type::Null:
            putString(out, kNull);
            break;
        case Type::Text:
            putString(out, m_texts[object.payload]);
            break;
        case Type::Integer:
        case Type::Unsigned:
            putInteger(out, object.payload, object.type == Type::Unsigned);
            break;
        case Type::Real:
            putReal(out, doubleOf(object.payload));
            break;
        case Type::Boolean:
            out.put(char(object.payload ? 0x09 : 0x08));
            break;
        case Type::Data:
            putData(out, m_data[object.payload]);
            break;
        case Type::Key:
        case Type::Domain:
            putMarker(out, 0xd, object.count + 1);
            for (quint32 i = 0; i < object.count; ++i)
                ref(layout.codedKeys[i]);
            ref(layout.classKey);
            for (quint32 i = 0; i < object.count; ++i)
                uidRef(references[object.payload + i]);
            uidRef(object.classUid);
            break;
        case Type::List:
            putMarker(out, 0xd, 2);
            ref(layout.listKey);
            ref(layout.classKey);
            ref(extra++);
            uidRef(object.classUid);
            break;
        case Type::Dictionary:
            putMarker(out, 0xd, 3);
            ref(layout.keysKey);
            ref(layout.listKey);
            ref(layout.classKey);
            ref(extra);
            ref(extra + 1);
            extra += 2;
            uidRef(object.classUid);
            break;
        case Type::Date:
            putMarker(out, 0xd, 2);
            ref(layout.timeKey);
            ref(layout.classKey);
            ref(extra++);
            uidRef(object.classUid);
            break;
        case Type::Class:
            putMarker(out, 0xd, 2);
            ref(layout.classesKey);
            ref(layout.classNameKey);
            ref(extra++);
            ref(layout.classNames[object.payload][0]);
            break;
        }
    }

    for (quint64 uid = 0; uid < m_objects.size(); ++uid) {
        out.begin();
        putUid(out, uid);
    }

    const auto uidList = [&](const quint32 *uids, quint32 count) {
        out.begin();
        putMarker(out, 0xa, count);
        for (quint32 i = 0; i < count; ++i)
            uidRef(uids[i]);
    };
    for (std::size_t uid = 0; uid < m_objects.size(); ++uid) {
        const Object &object = m_objects[uid];
        switch (object.type) {
        case Type::List:
            uidList(references + object.payload, object.count);
            break;
        case Type::Dictionary:
            uidList(references + object.payload, object.count);
            uidList(references + object.payload + object.count, object.count);
            break;
        case Type::Date:
            out.begin();
            putReal(out, doubleOf(object.payload));
            break;
        case Type::Class: {
            const int length = layout.chainLengths[object.payload];
            out.begin();
            putMarker(out, 0xa, quint64(length));
            for (int i = 0; i < length; ++i)
                ref(layout.classNames[object.payload][i]);
            break;
        }
        default:
            break;
        }
    }
}

bool TRBinaryArchiveWriter::writeBytes(quint32 rootUid, QByteArray *bytes)
{
    Layout layout;
    layout.rootUid = rootUid;
    QHash<QString, quint64> fixed;
    const auto text = [&](const QString &string) {
        const auto found = fixed.constFind(string);
        if (found != fixed.cend())
            return *found;
        layout.strings.push_back(string);
        return *fixed.insert(string, 4 + layout.strings.size() - 1);
    };
    layout.versionKey = text(kVersionKey);
    layout.archiverKey = text(kArchiverKey);
    layout.topKey = text(kTopKey);
    layout.objectsKey = text(kObjectsKey);
    layout.archiverName = text(kArchiverName);
    layout.rootKey = text(kRootKey);

    // Only the texts some record uses.
    quint32 coded = 0;
    bool lists = false, dictionaries = false, dates = false;
    quint64 extras = 0;
    for (std::size_t uid = 0; uid < m_objects.size(); ++uid) {
        const Object &object = m_objects[uid];
        switch (object.type) {
        case Type::Key:
        case Type::Domain:
            coded = std::max(coded, object.count);
            break;
        case Type::List:
            lists = true;
            extras += 1;
            break;
        case Type::Dictionary:
            dictionaries = true;
            extras += 2;
            break;
        case Type::Date:
            dates = true;
            extras += 1;
            break;
        case Type::Class:
            extras += 1;
            break;
        default:
            break;
        }
    }
    for (quint32 i = 0; i < coded; ++i)
        layout.codedKeys.push_back(text(trCodedValueKey(int(i))));
    layout.classKey = text(kClassKey);
    if (dictionaries)
        layout.keysKey = text(kKeysKey);
    if (lists || dictionaries)
        layout.listKey = text(kListKey);
    if (dates)
        layout.timeKey = text(kTimeKey);
    layout.classNameKey = text(kClassNameKey);
    layout.classesKey = text(kClassesKey);
    for (int id = 0; id < int(ClassId::Count); ++id) {
        if (!m_classUids[id])
            continue;
        const ClassChain chain = classChain(ClassId(id));
        for (int i = 0; i < chain.length; ++i)
            layout.classNames[id][i] = text(*chain.names[i]);
        layout.chainLengths[id] = chain.length;
    }

    const quint64 count = m_objects.size();
    layout.objectBase = 4 + layout.strings.size();
    layout.uidBase = layout.objectBase + count;
    layout.extraBase = layout.uidBase + count;
    layout.total = layout.extraBase + extras;
    layout.refSize = byteWidth(layout.total - 1);

    // Sized exactly first, then written in place, offsets included.
    Counter counter;
    counter.size = 8;
    writeObjects(counter, layout);
    const int offsetSize = byteWidth(counter.last);
    const quint64 tableOffset = counter.size;
    const quint64 size = tableOffset + layout.total * quint64(offsetSize) + 32;
    if (size > quint64(std::numeric_limits<qsizetype>::max() / 2)) {
        fail(trText("The keys are too many for one exchange file."));
        return false;
    }
    QByteArray out(qsizetype(size), Qt::Uninitialized);
    Filler filler;
    filler.at = out.data();
    filler.start = out.constData();
    filler.table = out.data() + tableOffset;
    filler.offsetSize = offsetSize;
    filler.put("bplist00", 8);
    writeObjects(filler, layout);
    RawSink trailer{filler.table};
    trailer.put("\0\0\0\0\0\0", 6);
    trailer.put(char(offsetSize));
    trailer.put(char(layout.refSize));
    putBigEndian(trailer, layout.total, 8);
    putBigEndian(trailer, 0, 8);
    putBigEndian(trailer, tableOffset, 8);
    if (filler.at != out.constData() + tableOffset || trailer.at != out.constData() + out.size()) {
        fail(trText("The exchange file could not be laid out."));
        return false;
    }
    *bytes = std::move(out);
    return true;
}
