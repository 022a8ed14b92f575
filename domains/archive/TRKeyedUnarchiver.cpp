#include "TRKeyedUnarchiver.h"

#include "TRArchiveFormat.h"
#include "TRLimits.h"
#include "TRText.h"
#include "plist/TRPropertyList.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString &nullMarker()
{
    static const QString marker = QStringLiteral("$null");
    return marker;
}

// The keys of records and of the archive's top level.
const QString kClassKey = QStringLiteral("$class");
const QString kClassNameKey = QStringLiteral("$classname");
const QString kObjectsKey = QStringLiteral("NS.objects");
const QString kKeysKey = QStringLiteral("NS.keys");
const QString kStringKey = QStringLiteral("NS.string");
const QString kDataKey = QStringLiteral("NS.data");
const QString kTimeKey = QStringLiteral("NS.time");
const QString kArchiverKey = QStringLiteral("$archiver");
const QString kVersionKey = QStringLiteral("$version");
const QString kTopKey = QStringLiteral("$top");
const QString kArchiveObjectsKey = QStringLiteral("$objects");
const QString kRootKey = QStringLiteral("root");
const QString kArchiverName = QStringLiteral("NSKeyedArchiver");

QString notAnArchive()
{
    return trText("Not a keyed archive: the property list lacks $archiver, $top or $objects.");
}

QString unsupportedVersion(const TRValue &version)
{
    return trFormat(trText("Unsupported keyed archive version %@."), {version.description()});
}

} // namespace

TRKeyedUnarchiver::TRKeyedUnarchiver(const TRArray *objects, bool xml)
    : m_objects(objects), m_objectCount(quint64(objects->size())), m_xml(xml),
      m_marks(std::size_t(m_objectCount), Mark::Unvisited), m_leaves(std::size_t(m_objectCount)),
      m_objectClasses(std::size_t(m_objectCount), -1)
{
}

TRKeyedUnarchiver::TRKeyedUnarchiver(TRBinaryPlistView *view, const TRBinaryPlistView::Object &objects)
    : m_view(view), m_objectList(objects), m_objectCount(objects.count),
      m_marks(std::size_t(m_objectCount), Mark::Unvisited), m_leaves(std::size_t(m_objectCount)),
      m_objectClasses(std::size_t(m_objectCount), -1)
{
}

bool TRKeyedUnarchiver::unarchiveObjectWithFile(const QString &path, TRArchiveContents *contents,
                                                QString *error, Failure *failure)
{
    if (failure)
        *failure = Failure::Unreadable;
    // Opened without waiting: a FIFO (or a device) must be refused, not block the caller until some
    // other process writes to it.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (error)
            *error =
                trFormat(trText("Cannot read %@: %@"), {path, QString::fromLocal8Bit(std::strerror(errno))});
        return false;
    }
    struct stat info
    {
    };
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        if (error)
            *error = trFormat(trText("%@ is not a file."), {path});
        return false;
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
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

bool TRKeyedUnarchiver::unarchiveObjectWithData(const QByteArray &bytes, TRArchiveContents *contents,
                                                QString *error, Failure *failure)
{
    if (failure)
        *failure = Failure::Unreadable;
    if (bytes.startsWith("bplist00"))
        return unarchiveBinary(bytes, contents, error, failure);
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
    return unarchiveObjectWithPropertyList(archive, format == TRPropertyList::Format::Xml, contents, error,
                                           failure);
}

bool TRKeyedUnarchiver::unarchiveObjectWithPropertyList(const TRValue &archive, bool xml,
                                                        TRArchiveContents *contents, QString *error,
                                                        Failure *failure)
{
    if (failure)
        *failure = Failure::Unreadable;
    const TRDictionary &top = archive.toDictionary();
    const TRValue objects = top.value(kArchiveObjectsKey);
    const bool isArchive =
        archive.isDictionary() && top.value(kArchiverKey) == TRValue::fromString(kArchiverName) &&
        top.value(kTopKey).isDictionary() && objects.isArray() && !objects.toArray().isEmpty() &&
        objects.toArray().first().toString() == nullMarker();
    if (!isArchive) {
        if (error)
            *error = notAnArchive();
        return false;
    }
    const TRValue version = top.value(kVersionKey);
    if (!version.isInteger() || version.toInteger() != kTRArchiveVersion) {
        if (error)
            *error = unsupportedVersion(version);
        return false;
    }
    TRKeyedUnarchiver unarchiver(&objects.toArray(), xml);
    const TRValue topValue = top.value(kTopKey);
    const TRDictionary &topRecord = topValue.toDictionary();
    const qsizetype rootAt = topRecord.indexOf(kRootKey);
    Entry root;
    root.present = rootAt >= 0 && !topRecord.valueAt(rootAt).isNone();
    root.value = root.present ? &topRecord.valueAt(rootAt) : nullptr;
    return finish(unarchiver, root, contents, error, failure);
}

bool TRKeyedUnarchiver::unarchiveBinary(const QByteArray &bytes, TRArchiveContents *contents, QString *error,
                                        Failure *failure)
{
    // The same checks as above, made on the bytes without reading the archive into values first.
    TRBinaryPlistView view(bytes);
    TRBinaryPlistView::Object top;
    TRBinaryPlistView::Object objects;
    TRBinaryPlistView::Object topRecord;
    TRValue version;
    bool isArchive = false;
    const bool readable = [&] {
        if (!view.open() || !view.object(view.top(), &top))
            return false;
        quint64 archiver = 0, topIndex = 0, objectsIndex = 0, first = 0, versionIndex = 0;
        bool found = false;
        TRBinaryPlistView::Object object;
        if (!view.find(top, kArchiverKey, &archiver, &found))
            return false;
        if (!found || !view.object(archiver, &object) || !view.textEquals(object, kArchiverName))
            return !view.failed();
        if (!view.find(top, kTopKey, &topIndex, &found))
            return false;
        if (!found || !view.object(topIndex, &topRecord) || topRecord.type != TRBinaryPlistView::Dictionary)
            return !view.failed();
        if (!view.find(top, kArchiveObjectsKey, &objectsIndex, &found))
            return false;
        if (!found || !view.object(objectsIndex, &objects) || objects.type != TRBinaryPlistView::Array ||
            objects.count == 0)
            return !view.failed();
        if (!view.reference(objects, 0, &first) || !view.object(first, &object))
            return false;
        if (!view.textEquals(object, nullMarker()))
            return true;
        isArchive = true;
        if (!view.find(top, kVersionKey, &versionIndex, &found))
            return false;
        if (!found)
            return true;
        return view.object(versionIndex, &object) && view.leafOrEmpty(object, &version);
    }();
    if (!readable || !isArchive) {
        if (error)
            *error = readable ? notAnArchive() : trFormat(trText("Not a keyed archive: %@"), {view.error()});
        return false;
    }
    if (!version.isInteger() || version.toInteger() != kTRArchiveVersion) {
        if (error)
            *error = unsupportedVersion(version);
        return false;
    }
    TRKeyedUnarchiver unarchiver(&view, objects);
    Entry root;
    if (!view.find(topRecord, kRootKey, &root.index, &root.present)) {
        if (error)
            *error = trFormat(trText("Not a keyed archive: %@"), {view.error()});
        return false;
    }
    return finish(unarchiver, root, contents, error, failure);
}

bool TRKeyedUnarchiver::finish(TRKeyedUnarchiver &unarchiver, const Entry &root, TRArchiveContents *contents,
                               QString *error, Failure *failure)
{
    TRArchiveContents result;
    if (!unarchiver.decodeRoot(root, &result)) {
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

bool TRKeyedUnarchiver::decodeRoot(const Entry &top, TRArchiveContents *contents)
{
    quint64 root = 0;
    if (!top.present) {
        fail(trText("The archive has no root object."));
        return false;
    }
    Class cls = Class::Plain;
    if (!uidOf(top, &root) || !classOf(root, &cls))
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
    List elements;
    if (!referenceList(root, kObjectsKey, &elements) || !claim(root))
        return false;
    contents->isList = true;
    contents->mutableList = cls == Class::MutableArray;
    contents->domains.reserve(std::size_t(elements.size));
    for (quint64 i = 0; i < elements.size; ++i) {
        quint64 uid = 0;
        Class elementClass = Class::Plain;
        if (!uidAt(elements, i, &uid) || !classOf(uid, &elementClass))
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
    Record record;
    Entry classReference;
    if (uid != 0 &&
        (!recordAt(uid, &record) ||
         !entryOf(record, record.values ? record.values->size() - 1 : -1, kClassKey, &classReference)))
        return false;
    if (uid == 0 || !classReference.present) {
        *cls = Class::Plain;
        known = qint8(*cls);
        return true;
    }
    quint64 classUid = 0;
    if (!uidOf(classReference, &classUid))
        return false;
    const auto cached = m_classes.constFind(classUid);
    if (cached != m_classes.cend()) {
        *cls = *cached;
        known = qint8(*cls);
        return true;
    }
    // $classes and any $classhints are not consulted: the class is chosen by its name alone.
    Record classRecord;
    Entry nameEntry;
    TRValue name;
    if (!recordAt(classUid, &classRecord) || !entryOf(classRecord, 0, kClassNameKey, &nameEntry) ||
        !valueOf(nameEntry, &name))
        return false;
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
        failAt(uid, trFormat(trText("objects of class %@ are not accepted in an exchange file."),
                             {name.toString()}));
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

TRValue TRKeyedUnarchiver::leafAt(quint64 uid)
{
    if (uid == 0 || failed())
        return {};
    if (m_marks[std::size_t(uid)] == Mark::Leaf)
        return m_leaves[std::size_t(uid)];
    Class cls = Class::Plain;
    if (!classOf(uid, &cls))
        return {};
    TRValue object;
    Record record;
    Entry entry;
    if (cls == Class::Plain && m_view) {
        if (!recordAt(uid, &record))
            return {};
        if (!m_view->leafOrEmpty(record.object, &object)) {
            viewFailed();
            return {};
        }
    } else if (cls == Class::Plain) {
        entry.present = true;
        entry.value = &m_objects->at(qsizetype(uid));
        if (!valueOf(entry, &object))
            return {};
    } else if (!recordAt(uid, &record)) {
        return {};
    }
    const auto recordValue = [&](const QString &key) {
        TRValue value;
        return entryOf(record, -1, key, &entry) && valueOf(entry, &value) ? value : TRValue();
    };
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
        leaf = recordValue(kStringKey);
        if (!leaf.isString()) {
            failAt(uid, trText("a string record has no NS.string text."));
            return {};
        }
        break;
    case Class::Data:
        leaf = recordValue(kDataKey);
        if (!leaf.isData()) {
            failAt(uid, trText("a data record has no NS.data bytes."));
            return {};
        }
        break;
    case Class::Date: {
        const TRValue time = recordValue(kTimeKey);
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
    if (failed())
        return {};
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
        failAt(uid, trFormat(trText("found %@ where a key belongs."),
                             {uid == 0 ? trText("nothing") : className(cls)}));
        return nullptr;
    }
    if (!claim(uid))
        return nullptr;
    if (!pushFrame(uid))
        return nullptr;
    TRKeyPtr key = TRKey::initWithCoder(*this);
    m_frames.pop_back();
    m_marks[std::size_t(uid)] = Mark::Taken;
    return failed() ? nullptr : key;
}

TRDomainControllerPtr TRKeyedUnarchiver::domainAt(quint64 uid)
{
    if (!claim(uid))
        return nullptr;
    if (!pushFrame(uid))
        return nullptr;
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
        failAt(uid, trFormat(trText("the keys are nested deeper than %@ levels."),
                             {QString::number(kTRMaxNestingDepth)}));
        return false;
    }
    const bool hasKeys = isDictionary(cls);
    List objects;
    List keys;
    if (!referenceList(uid, kObjectsKey, &objects) || (hasKeys && !referenceList(uid, kKeysKey, &keys)))
        return false;
    if (hasKeys && keys.size != objects.size) {
        failAt(uid, trText("a dictionary has not as many keys as values."));
        return false;
    }
    contents->kind = hasKeys ? TRKey::NodeKind::Dictionary : TRKey::NodeKind::List;
    contents->nodes.reserve(std::size_t(objects.size));
    if (hasKeys)
        contents->keys.reserve(std::size_t(keys.size));
    for (quint64 i = 0; i < objects.size; ++i) {
        quint64 childUid = 0;
        if (hasKeys) {
            quint64 keyUid = 0;
            if (!uidAt(keys, i, &keyUid))
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
        if (!uidAt(objects, i, &childUid))
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
