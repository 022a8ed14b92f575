#include "TRKeyedUnarchiver.h"

#include "TRArchiveFormat.h"
#include "TRLimits.h"
#include "plist/TRPropertyList.h"
#include "TRText.h"

#include <QFile>

namespace {

const QString &nullMarker()
{
    static const QString marker = QStringLiteral("$null");
    return marker;
}

// The record's entry under the key, looked for first where writers put it.
const TRValue *recordEntry(const TRDictionary &record, qsizetype likely, const QString &key)
{
    const qsizetype at = likely >= 0 && likely < record.size() && record.keyAt(likely) == key ? likely
                                                                                              : record.indexOf(key);
    return at >= 0 ? &record.valueAt(at) : nullptr;
}

} // namespace

TRKeyedUnarchiver::TRKeyedUnarchiver(const TRArray &objects, bool xml)
    : m_objects(objects)
    , m_xml(xml)
    , m_marks(std::size_t(objects.size()), Mark::Unvisited)
    , m_leaves(std::size_t(objects.size()))
    , m_objectClasses(std::size_t(objects.size()), -1)
{
}

bool TRKeyedUnarchiver::unarchiveObjectWithFile(const QString &path, TRArchiveContents *contents, QString *error,
                                                Failure *failure)
{
    if (failure)
        *failure = Failure::Unreadable;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = trFormat(trText("Cannot read %@: %@"), {path, file.errorString()});
        return false;
    }
    if (file.size() > kMaxFileSize) {
        if (error)
            *error = trFormat(trText("%@ is too large to be an exchange file."), {path});
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error = trFormat(trText("Cannot read %@: %@"), {path, file.errorString()});
        return false;
    }
    return unarchiveObjectWithData(bytes, contents, error, failure);
}

bool TRKeyedUnarchiver::unarchiveObjectWithData(const QByteArray &bytes, TRArchiveContents *contents, QString *error,
                                                Failure *failure)
{
    if (failure)
        *failure = Failure::Unreadable;
    TRValue archive;
    TRPropertyList::Format format = TRPropertyList::Format::Binary;
    QString parseError;
    if (!TRPropertyList::read(bytes, &archive, &format, &parseError)) {
        if (error)
            *error = trFormat(trText("Not a keyed archive: %@"), {parseError});
        return false;
    }
    if (format == TRPropertyList::Format::OpenStep) {
        if (error)
            *error = trText("Not a keyed archive: a keyed archive is a binary or XML property list.");
        return false;
    }
    return unarchiveObjectWithPropertyList(archive, format == TRPropertyList::Format::Xml, contents, error, failure);
}

bool TRKeyedUnarchiver::unarchiveObjectWithPropertyList(const TRValue &archive, bool xml,
                                                        TRArchiveContents *contents, QString *error, Failure *failure)
{
    if (failure)
        *failure = Failure::Unreadable;
    const TRDictionary &top = archive.toDictionary();
    const TRValue objects = top.value(QStringLiteral("$objects"));
    const bool isArchive = archive.isDictionary()
                           && top.value(QStringLiteral("$archiver")) == TRValue::fromString(QStringLiteral("NSKeyedArchiver"))
                           && top.value(QStringLiteral("$top")).isDictionary() && objects.isArray()
                           && !objects.toArray().isEmpty() && objects.toArray().first().toString() == nullMarker();
    if (!isArchive) {
        if (error)
            *error = trText("Not a keyed archive: the property list lacks $archiver, $top or $objects.");
        return false;
    }
    const TRValue version = top.value(QStringLiteral("$version"));
    if (!version.isInteger() || version.toInteger() != 100000) {
        if (error)
            *error = trFormat(trText("Unsupported keyed archive version %@."), {version.description()});
        return false;
    }

    TRKeyedUnarchiver unarchiver(objects.toArray(), xml);
    TRArchiveContents result;
    if (!unarchiver.decodeRoot(top.value(QStringLiteral("$top")), &result)) {
        if (error)
            *error = unarchiver.m_error;
        if (failure)
            *failure = unarchiver.m_wrongRoot ? Failure::WrongRoot : Failure::Unreadable;
        return false;
    }
    *contents = std::move(result);
    if (failure)
        *failure = Failure::None;
    return true;
}

bool TRKeyedUnarchiver::decodeRoot(const TRValue &top, TRArchiveContents *contents)
{
    const TRValue reference = top.toDictionary().value(QStringLiteral("root"));
    quint64 root = 0;
    if (reference.isNone()) {
        fail(trText("The archive has no root object."));
        return false;
    }
    Class cls = Class::Plain;
    if (!uidOf(reference, &root) || !classOf(root, &cls))
        return false;
    if (cls == Class::Domain) {
        TRDomainControllerPtr domain = domainAt(root);
        if (!domain)
            return false;
        contents->isList = false;
        contents->domains.push_back(std::move(domain));
        return true;
    }
    if (root == 0 || !isList(cls)) {
        m_wrongRoot = true;
        fail(trText("The archive's root object is neither a domain nor a list of domains."));
        return false;
    }
    const TRArray *elements = referenceList(root, "NS.objects");
    if (!elements || !claim(root))
        return false;
    contents->isList = true;
    contents->mutableList = cls == Class::MutableArray;
    contents->domains.reserve(std::size_t(elements->size()));
    for (const TRValue &element : *elements) {
        quint64 uid = 0;
        Class elementClass = Class::Plain;
        if (!uidOf(element, &uid) || !classOf(uid, &elementClass))
            return false;
        if (uid == 0 || elementClass != Class::Domain) {
            m_wrongRoot = true;
            failAt(uid, trText("the list of domains holds something other than a domain."));
            return false;
        }
        TRDomainControllerPtr domain = domainAt(uid);
        if (!domain)
            return false;
        contents->domains.push_back(std::move(domain));
    }
    m_marks[std::size_t(root)] = Mark::Taken;
    return true;
}

void TRKeyedUnarchiver::fail(const QString &message)
{
    if (m_error.isEmpty())
        m_error = message;
}

void TRKeyedUnarchiver::failAt(quint64 uid, const QString &message)
{
    fail(trFormat(trText("Archive object %@: %@"), {QString::number(uid), message}));
}

bool TRKeyedUnarchiver::uidOf(const TRValue &reference, quint64 *uid)
{
    if (failed())
        return false;
    bool isReference = reference.isUid();
    quint64 value = reference.toUid();
    if (!isReference && m_xml && reference.isDictionary() && reference.toDictionary().size() == 1) {
        // An XML archive writes a reference as {CF$UID: n}.
        const TRValue number = reference.toDictionary().value(QStringLiteral("CF$UID"));
        isReference = number.isInteger() && !number.isUnsignedInteger() && number.toInteger() >= 0;
        value = quint64(number.toInteger());
    }
    if (!isReference) {
        fail(trFormat(trText("The archive holds %@ where a reference to an object belongs."), {reference.description()}));
        return false;
    }
    if (value >= quint64(m_objects.size())) {
        fail(trFormat(trText("The archive refers to object %@, but it holds only %@ objects."),
                      {QString::number(value), QString::number(m_objects.size())}));
        return false;
    }
    *uid = value;
    return true;
}

quint64 TRKeyedUnarchiver::nextUid()
{
    if (failed() || m_frames.empty())
        return 0;
    Frame &frame = m_frames.back();
    const TRValue *reference = recordEntry(*frame.record, frame.next, trCodedValueKey(frame.next));
    ++frame.next;
    quint64 uid = 0;
    // A missing key is a none value, as a reference to object 0 is.
    if (!reference || reference->isNone() || !uidOf(*reference, &uid))
        return 0;
    return uid;
}

QString TRKeyedUnarchiver::className(Class cls)
{
    switch (cls) {
    case Class::Plain:
        return trText("a plain value");
    case Class::Key:
        return QStringLiteral("TRKey");
    case Class::Domain:
        return QStringLiteral("TRDomainController");
    case Class::Array:
        return QStringLiteral("NSArray");
    case Class::MutableArray:
        return QStringLiteral("NSMutableArray");
    case Class::Dictionary:
        return QStringLiteral("NSDictionary");
    case Class::MutableDictionary:
        return QStringLiteral("NSMutableDictionary");
    case Class::String:
        return QStringLiteral("NSString");
    case Class::Data:
        return QStringLiteral("NSData");
    case Class::Date:
        return QStringLiteral("NSDate");
    }
    return QString();
}

bool TRKeyedUnarchiver::classOf(quint64 uid, Class *cls)
{
    if (failed())
        return false;
    qint8 &known = m_objectClasses[std::size_t(uid)];
    if (known >= 0) {
        *cls = Class(known);
        return true;
    }
    static const QString classKey = QStringLiteral("$class");
    const TRDictionary &record = m_objects.at(qsizetype(uid)).toDictionary();
    const TRValue *classReference = recordEntry(record, record.size() - 1, classKey);
    if (uid == 0 || !classReference) {
        *cls = Class::Plain;
        known = qint8(*cls);
        return true;
    }
    quint64 classUid = 0;
    if (!uidOf(*classReference, &classUid))
        return false;
    const auto cached = m_classes.constFind(classUid);
    if (cached != m_classes.cend()) {
        *cls = *cached;
        known = qint8(*cls);
        return true;
    }
    // $classes and any $classhints are not consulted: the class is chosen by its name alone.
    const TRValue name = m_objects.at(qsizetype(classUid)).toDictionary().value(QStringLiteral("$classname"));
    if (!name.isString()) {
        failAt(uid, trText("its class record has no $classname."));
        return false;
    }
    static const QHash<QString, Class> allowed = {
        {QStringLiteral("TRKey"), Class::Key},
        {QStringLiteral("TRDomainController"), Class::Domain},
        {QStringLiteral("NSArray"), Class::Array},
        {QStringLiteral("NSMutableArray"), Class::MutableArray},
        {QStringLiteral("NSDictionary"), Class::Dictionary},
        {QStringLiteral("NSMutableDictionary"), Class::MutableDictionary},
        {QStringLiteral("NSString"), Class::String},
        {QStringLiteral("NSMutableString"), Class::String},
        {QStringLiteral("NSData"), Class::Data},
        {QStringLiteral("NSMutableData"), Class::Data},
        {QStringLiteral("NSDate"), Class::Date},
    };
    const auto found = allowed.constFind(name.toString());
    if (found == allowed.cend()) {
        failAt(uid, trFormat(trText("objects of class %@ are not accepted in an exchange file."), {name.toString()}));
        return false;
    }
    m_classes.insert(classUid, *found);
    *cls = *found;
    known = qint8(*cls);
    return true;
}

bool TRKeyedUnarchiver::claim(quint64 uid)
{
    Mark &mark = m_marks[std::size_t(uid)];
    if (mark == Mark::Decoding) {
        failAt(uid, trText("the object contains itself."));
        return false;
    }
    if (mark != Mark::Unvisited) {
        failAt(uid, trText("a key, container or domain is used in more than one place."));
        return false;
    }
    mark = Mark::Decoding;
    return true;
}

const TRArray *TRKeyedUnarchiver::referenceList(quint64 uid, const char *key)
{
    const TRDictionary &record = m_objects.at(qsizetype(uid)).toDictionary();
    const qsizetype at = record.indexOf(QString::fromLatin1(key));
    const TRValue *list = at >= 0 ? &record.valueAt(at) : nullptr;
    if (!list || !list->isArray()) {
        failAt(uid, trFormat(trText("the record has no %@ list."), {QString::fromLatin1(key)}));
        return nullptr;
    }
    return &list->toArray();
}

TRValue TRKeyedUnarchiver::leafAt(quint64 uid)
{
    if (uid == 0 || failed())
        return {};
    if (m_marks[std::size_t(uid)] == Mark::Leaf)
        return m_leaves[std::size_t(uid)];
    Class cls = Class::Plain;
    if (!classOf(uid, &cls))
        return {};
    const TRValue &object = m_objects.at(qsizetype(uid));
    const TRDictionary &record = object.toDictionary();
    TRValue leaf;
    switch (cls) {
    case Class::Plain:
        switch (object.kind()) {
        case TRValue::Kind::String:
        case TRValue::Kind::Integer:
        case TRValue::Kind::Real:
        case TRValue::Kind::Boolean:
        case TRValue::Kind::Date:
        case TRValue::Kind::Data:
            leaf = object;
            break;
        default:
            failAt(uid, trText("a value has the wrong shape."));
            return {};
        }
        break;
    case Class::String:
        leaf = record.value(QStringLiteral("NS.string"));
        if (!leaf.isString()) {
            failAt(uid, trText("a string record has no NS.string text."));
            return {};
        }
        break;
    case Class::Data:
        leaf = record.value(QStringLiteral("NS.data"));
        if (!leaf.isData()) {
            failAt(uid, trText("a data record has no NS.data bytes."));
            return {};
        }
        break;
    case Class::Date: {
        const TRValue time = record.value(QStringLiteral("NS.time"));
        if (!time.isReal() && !time.isInteger()) {
            failAt(uid, trText("a date record has no NS.time number."));
            return {};
        }
        leaf = TRValue::fromDate(time.toReal());
        break;
    }
    default:
        failAt(uid, trFormat(trText("found %@ where a value belongs."), {className(cls)}));
        return {};
    }
    // Both platforms read the string "$null" as none.
    if (leaf.isString() && leaf.toString() == nullMarker())
        leaf = TRValue();
    m_marks[std::size_t(uid)] = Mark::Leaf;
    m_leaves[std::size_t(uid)] = leaf;
    return leaf;
}

TRKeyPtr TRKeyedUnarchiver::keyAt(quint64 uid)
{
    Class cls = Class::Plain;
    if (!classOf(uid, &cls))
        return nullptr;
    if (uid == 0 || cls != Class::Key) {
        failAt(uid, trFormat(trText("found %@ where a key belongs."), {uid == 0 ? trText("nothing") : className(cls)}));
        return nullptr;
    }
    if (!claim(uid))
        return nullptr;
    m_frames.push_back({&m_objects.at(qsizetype(uid)).toDictionary(), 0});
    TRKeyPtr key = TRKey::initWithCoder(*this);
    m_frames.pop_back();
    m_marks[std::size_t(uid)] = Mark::Taken;
    return failed() ? nullptr : key;
}

TRDomainControllerPtr TRKeyedUnarchiver::domainAt(quint64 uid)
{
    if (!claim(uid))
        return nullptr;
    m_frames.push_back({&m_objects.at(qsizetype(uid)).toDictionary(), 0});
    TRDomainControllerPtr domain = TRDomainController::initWithCoder(*this);
    m_frames.pop_back();
    m_marks[std::size_t(uid)] = Mark::Taken;
    return failed() ? nullptr : domain;
}

bool TRKeyedUnarchiver::childrenAt(quint64 uid, Class cls, NodeContents *contents)
{
    if (!claim(uid))
        return false;
    if (++m_depth > kTRMaxNestingDepth) {
        failAt(uid, trFormat(trText("the keys are nested deeper than %@ levels."), {QString::number(kTRMaxNestingDepth)}));
        return false;
    }
    const TRArray *objects = referenceList(uid, "NS.objects");
    const TRArray *keys = isDictionary(cls) ? referenceList(uid, "NS.keys") : nullptr;
    if (!objects || (isDictionary(cls) && !keys))
        return false;
    if (keys && keys->size() != objects->size()) {
        failAt(uid, trText("a dictionary has not as many keys as values."));
        return false;
    }
    contents->kind = keys ? TRKey::NodeKind::Dictionary : TRKey::NodeKind::List;
    contents->nodes.reserve(std::size_t(objects->size()));
    if (keys)
        contents->keys.reserve(std::size_t(keys->size()));
    for (qsizetype i = 0; i < objects->size(); ++i) {
        quint64 childUid = 0;
        if (keys) {
            quint64 keyUid = 0;
            if (!uidOf(keys->at(i), &keyUid))
                return false;
            const TRValue key = leafAt(keyUid);
            if (failed())
                return false;
            if (!key.isString()) {
                // A "$null" key reads as no value on both platforms, so it cannot name an entry.
                failAt(keyUid, key.isNone() ? trText("a dictionary key is $null or missing.")
                                            : trText("a dictionary key is not a text."));
                return false;
            }
            contents->keys.push_back(key.toString());
        }
        if (!uidOf(objects->at(i), &childUid))
            return false;
        TRKeyPtr child = keyAt(childUid);
        if (!child)
            return false;
        contents->nodes.push_back(std::move(child));
    }
    --m_depth;
    m_marks[std::size_t(uid)] = Mark::Taken;
    return true;
}

TRValue TRKeyedUnarchiver::decodeValue()
{
    return leafAt(nextUid());
}

TRKeyPtr TRKeyedUnarchiver::decodeKey()
{
    const quint64 uid = nextUid();
    return failed() ? nullptr : keyAt(uid);
}

TRCoder::NodeContents TRKeyedUnarchiver::decodeNodeValue()
{
    NodeContents contents;
    const quint64 uid = nextUid();
    Class cls = Class::Plain;
    if (uid == 0 || !classOf(uid, &cls))
        return contents;
    if (isList(cls) || isDictionary(cls)) {
        if (!childrenAt(uid, cls, &contents))
            return {};
        return contents;
    }
    contents.leaf = leafAt(uid);
    return contents;
}
