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

using namespace TRArchiveFormat;

namespace {

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
    const TRValue objects = top.value(kObjectsKey);
    const bool isArchive = archive.isDictionary() &&
                           top.value(kArchiverKey) == TRValue::fromString(kArchiverName) &&
                           top.value(kTopKey).isDictionary() && objects.isArray() &&
                           !objects.toArray().isEmpty() && objects.toArray().first().toString() == kNull;
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
        if (!view.find(top, kObjectsKey, &objectsIndex, &found))
            return false;
        if (!found || !view.object(objectsIndex, &objects) || objects.type != TRBinaryPlistView::Array ||
            objects.count == 0)
            return !view.failed();
        if (!view.reference(objects, 0, &first) || !view.object(first, &object))
            return false;
        if (!view.textEquals(object, kNull))
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
    if (!referenceList(root, kListKey, &elements) || !claim(root))
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
