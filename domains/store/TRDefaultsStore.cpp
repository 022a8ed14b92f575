#include "TRDefaultsStore.h"

#include "TRAtomicFile.h"
#include "TRDefaultsLock.h"
#include "TRGnustepConfig.h"
#include "TRLimits.h"
#include "TRText.h"
#include "plist/TRPropertyList.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

const QString kExtension = QStringLiteral(".plist");
constexpr mode_t kNewFileMode = 0600;
constexpr mode_t kNewFolderMode = 0755;
// Longest file name the file systems take, and room for the "-NNN" that tells set-aside files apart.
constexpr qsizetype kMaxFileNameBytes = 255;
constexpr qsizetype kAsideCounterBytes = 4;
// Links followed before a chain counts as a loop (the kernel's own limit).
constexpr int kMaxLinkDepth = 40;
// Threads that read domain files at once while the store is listed.
constexpr int kMaxListingThreads = 4;

QString &standardFolderOverride()
{
    static QString folder;
    return folder;
}

// Domain files are read on several threads at once, so not strerror(), whose buffer is shared.
QString systemError(int code)
{
    char buffer[256];
    return QString::fromLocal8Bit(::strerror_r(code, buffer, sizeof buffer));
}

// The file a path finally names once every symbolic link on the way is followed; the path itself when
// it is no link. A dangling link gives the path it points to, so a write creates the target.
QString followLinks(const QString &path)
{
    QString current = path;
    for (int depth = 0; depth < kMaxLinkDepth; ++depth) {
        const QFileInfo info(current);
        if (!info.isSymLink())
            return current;
        current = info.symLinkTarget();
    }
    return current;
}

// Makes the folder and its missing parents with the store's folder mode.
bool makeFolder(const QString &folder, QString *error)
{
    const QString clean = QDir::cleanPath(QDir(folder).absolutePath());
    QString path;
    const QStringList parts = clean.split(u'/');
    for (const QString &part : parts) {
        if (part.isEmpty())
            continue;
        path += u'/' + part;
        const QByteArray native = QFile::encodeName(path);
        if (::mkdir(native.constData(), kNewFolderMode) != 0 && errno != EEXIST) {
            const QString reason = systemError(errno);
            if (error)
                *error = trFormat(trText("Cannot create the defaults folder %@: %@"), {path, reason});
            return false;
        }
    }
    return true;
}

// Reads the whole regular file that stat() described. The file is opened without blocking and checked
// again once open, so that a pipe or a device swapped in meanwhile is never read.
bool readRegularFile(const QByteArray &path, const struct stat &expected, QByteArray *bytes, QString *reason)
{
    const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        *reason = systemError(errno);
        return false;
    }
    struct stat info
    {
    };
    bool ok = ::fstat(fd, &info) == 0;
    if (!ok) {
        *reason = systemError(errno);
    } else if (!S_ISREG(info.st_mode) || info.st_dev != expected.st_dev || info.st_ino != expected.st_ino ||
               info.st_size > kTRMaxFileSize) {
        *reason = trText("The file changed while it was being read.");
        ok = false;
    }
    if (ok) {
        bytes->resize(qsizetype(info.st_size));
        qsizetype filled = 0;
        while (ok && filled < bytes->size()) {
            const ssize_t got = ::read(fd, bytes->data() + filled, std::size_t(bytes->size() - filled));
            if (got > 0)
                filled += got;
            else if (got == 0)
                bytes->truncate(
                    filled); // cut short meanwhile: what is there is parsed, and may well be refused
            else if (errno != EINTR) {
                *reason = systemError(errno);
                ok = false;
            }
        }
    }
    ::close(fd);
    return ok;
}

// File-name bytes as text: UTF-8 where they are, "\\xNN" for each byte that is not.
QString readableBytes(const QByteArray &bytes)
{
    QString text;
    qsizetype i = 0;
    while (i < bytes.size()) {
        // The longest prefix that decodes cleanly goes in whole; then one byte is escaped.
        qsizetype length = 0;
        for (qsizetype n = std::min<qsizetype>(4, bytes.size() - i); n > 0; --n) {
            const QByteArray piece = bytes.mid(i, n);
            if (QString::fromUtf8(piece).toUtf8() == piece) {
                length = n;
                break;
            }
        }
        if (length > 0) {
            text += QString::fromUtf8(bytes.mid(i, length));
            i += length;
        } else {
            text += QStringLiteral("\\x%1").arg(uint(quint8(bytes.at(i))), 2, 16, QLatin1Char('0'));
            ++i;
        }
    }
    return text;
}

// Code-point order (QString's own order compares UTF-16 units, which puts U+10000 and above before
// U+E000..U+FFFF).
bool codePointLess(const QString &a, const QString &b)
{
    const QList<uint> ua = a.toUcs4();
    const QList<uint> ub = b.toUcs4();
    return std::lexicographical_compare(ua.cbegin(), ua.cend(), ub.cbegin(), ub.cend());
}

} // namespace

TRDefaultsStore::TRDefaultsStore(const QString &folder) : m_folder(folder)
{
}

TRDefaultsStore &TRDefaultsStore::standard()
{
    static TRDefaultsStore store(standardFolderOverride().isEmpty() ? resolveFolder()
                                                                    : standardFolderOverride());
    return store;
}

void TRDefaultsStore::setStandardFolder(const QString &folder)
{
    standardFolderOverride() = folder;
    TRDefaultsStore &store = standard();
    store.m_folder = folder.isEmpty() ? resolveFolder() : folder;
    store.m_cache.clear();
    store.m_unreadable.clear();
}

QString TRDefaultsStore::resolveFolder()
{
    const QString forced = qEnvironmentVariable("TAMRIX_DEFAULTS_DIR");
    if (!forced.isEmpty())
        return QDir::cleanPath(QDir(forced).absolutePath());
    return TRGnustepConfig::userDefaultsFolder();
}

bool TRDefaultsStore::isValidDomainName(const QString &name, QString *error)
{
    QString message;
    if (name.isEmpty())
        message = trText("A domain name cannot be empty.");
    else if (name.contains(u'/') || name.contains(QChar(u'\0')))
        message = trFormat(trText("The domain name \"%@\" contains \"/\" or a NUL character."), {name});
    else if (name == QStringLiteral(".") || name == QStringLiteral(".."))
        message = trFormat(trText("\"%@\" cannot be used as a domain name."), {name});
    else if (!name.isValidUtf16())
        message = trText("The domain name is not valid Unicode text.");
    else if (name.toUtf8().size() > kMaxNameBytes)
        message = trFormat(trText("The domain name \"%@\" is longer than %d bytes."),
                           {name, QString::number(kMaxNameBytes)});
    if (message.isEmpty())
        return true;
    if (error)
        *error = message;
    return false;
}

QString TRDefaultsStore::folder() const
{
    return m_folder;
}

QString TRDefaultsStore::filePathForName(const QString &name) const
{
    return m_folder + u'/' + name + kExtension;
}

void TRDefaultsStore::setLockObserver(LockObserver observer)
{
    m_lockObserver = std::move(observer);
}

TRDefaultsLock::Waiting TRDefaultsStore::lockWaiting() const
{
    if (!m_lockObserver)
        return {};
    return [this](qint64 waitedMs) {
        m_lockObserver(
            LockEvent::Waiting,
            trFormat(trText("Waiting for another program to release the lock on the defaults folder %@ "
                            "(%@ s)…"),
                     {m_folder, QString::number(waitedMs / 1000)}));
    };
}

void TRDefaultsStore::reportLock(const TRDefaultsLock &lock) const
{
    if (!m_lockObserver)
        return;
    if (!lock.isHeld())
        m_lockObserver(
            LockEvent::NotTaken,
            trFormat(trText("The lock on the defaults folder %@ could not be taken (%@); the change is "
                            "made without it."),
                     {TRDefaultsLock::lockPath(m_folder), lock.failure()}));
    else if (lock.waited())
        m_lockObserver(LockEvent::Taken, QString());
}

QList<TRDefaultsStore::UnreadableFile> TRDefaultsStore::unreadableFiles() const
{
    return m_unreadable;
}

void TRDefaultsStore::noteUnreadable(const QString &path, const QString &reason, const QString &setAsideAs)
{
    for (UnreadableFile &known : m_unreadable) {
        if (known.fileName == path) {
            known.reason = reason;
            if (!setAsideAs.isEmpty())
                known.setAsideAs = setAsideAs;
            return;
        }
    }
    m_unreadable.append(UnreadableFile{path, reason, setAsideAs});
}

TRDefaultsStore::Lookup TRDefaultsStore::readDomainFile(const QString &path, CachedFile *result,
                                                        bool needValue)
{
    return settleInspection(path, inspectDomainFile(path, needValue), result);
}

TRDefaultsStore::Inspection TRDefaultsStore::inspectDomainFile(const QString &path, bool needValue) const
{
    Inspection found;
    const QByteArray native = QFile::encodeName(path);
    struct stat info
    {
    };
    if (::stat(native.constData(), &info) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) {
            found.cache = Inspection::Cache::Remove;
            return found;
        }
        found.lookup = Lookup::Unreadable;
        found.file.reason = systemError(errno);
        return found;
    }
    if (!S_ISREG(info.st_mode)) {
        // A device, a pipe, a socket or a folder under a domain's name is neither opened nor replaced.
        found.lookup = Lookup::NotAFile;
        found.file.reason = trText("It is not a regular file.");
        found.cache = Inspection::Cache::Remove;
        return found;
    }

    const auto cached = m_cache.constFind(path);
    const bool unchanged = cached != m_cache.cend() && cached->device == info.st_dev &&
                           cached->inode == info.st_ino && cached->size == info.st_size &&
                           cached->mtime.tv_sec == info.st_mtim.tv_sec &&
                           cached->mtime.tv_nsec == info.st_mtim.tv_nsec && cached->mode == info.st_mode;
    if (unchanged && (!needValue || !cached->readable || !cached->dictionary.isNone())) {
        found.file = *cached;
    } else {
        CachedFile &entry = found.file;
        entry.device = info.st_dev;
        entry.inode = info.st_ino;
        entry.size = info.st_size;
        entry.mtime = info.st_mtim;
        entry.mode = info.st_mode;
        QByteArray bytes;
        TRPropertyList::Format format = TRPropertyList::Format::Xml;
        QString parseError;
        TRPlistShape shape;
        // A file beyond the size bound is reported without being read.
        if (info.st_size > kTRMaxFileSize) {
            entry.reason =
                trFormat(trText("The file is larger than %@ MiB."), {QString::number(kTRMaxFileSize >> 20)});
        } else if (readRegularFile(native, info, &bytes, &entry.reason)) {
            // Without needValue the file is scanned: the same checks, but no values are built.
            TRValue value;
            const bool parsed = needValue ? TRPropertyList::read(bytes, &value, &format, &parseError) &&
                                                TRPropertyList::fitsExpansionBound(value, &parseError)
                                          : TRPropertyList::readShape(bytes, &shape, &format, &parseError);
            if (needValue && parsed)
                shape = TRPlistShape{value.kind(), value.toDictionary().size(), 0};
            if (!parsed)
                entry.reason = parseError;
            else if (shape.rootKind != TRValue::Kind::Dictionary)
                entry.reason = trText("The property list's root is not a dictionary.");
            else {
                entry.readable = true;
                entry.dictionary = value;
                entry.format = int(format);
                entry.keyCount = int(shape.rootCount);
            }
        }
        found.cache = Inspection::Cache::Store;
    }
    found.lookup = found.file.readable ? Lookup::Readable : Lookup::Unreadable;
    return found;
}

TRDefaultsStore::Lookup TRDefaultsStore::settleInspection(const QString &path, const Inspection &inspection,
                                                          CachedFile *result)
{
    switch (inspection.cache) {
    case Inspection::Cache::Keep:
        break;
    case Inspection::Cache::Remove:
        m_cache.remove(path);
        break;
    case Inspection::Cache::Store:
        m_cache.insert(path, inspection.file);
        break;
    }
    *result = inspection.file;
    if (inspection.lookup == Lookup::Unreadable || inspection.lookup == Lookup::NotAFile)
        noteUnreadable(path, inspection.file.reason);
    return inspection.lookup;
}

bool TRDefaultsStore::setAside(const QString &path, const QString &reason, QString *error)
{
    const QString stamp = QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
    const QString suffix = QStringLiteral(".unreadable-") + stamp;
    // The file name of a long domain keeps as much of itself as leaves room for the suffix and a counter.
    const qsizetype slash = path.lastIndexOf(u'/');
    QString kept = path.mid(slash + 1);
    while (!kept.isEmpty() &&
           QFile::encodeName(kept + suffix).size() + kAsideCounterBytes > kMaxFileNameBytes) {
        kept.chop(1);
        if (!kept.isEmpty() && kept.back().isHighSurrogate())
            kept.chop(1);
    }
    const QString base = path.left(slash + 1) + kept + suffix;
    const QByteArray source = QFile::encodeName(path);
    for (int attempt = 1; attempt < 1000; ++attempt) {
        const QString aside = attempt == 1 ? base : base + u'-' + QString::number(attempt);
        const QByteArray target = QFile::encodeName(aside);
        if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0) {
            m_cache.remove(path);
            noteUnreadable(path, reason, aside);
            QString ignored;
            TRAtomicFile::syncFolder(path.left(slash),
                                     &ignored); // a failing folder fails the write that follows
            return true;
        }
        if (errno != EEXIST)
            break;
    }
    const QString failure = systemError(errno);
    if (error)
        *error = trFormat(trText("Cannot set aside the unreadable domain file %@: %@"), {path, failure});
    return false;
}

QStringList TRDefaultsStore::persistentDomainNames()
{
    m_unreadable.clear();
    QStringList names;
    const QByteArray suffix = QFile::encodeName(kExtension);
    DIR *dir = ::opendir(QFile::encodeName(m_folder).constData());
    if (!dir)
        return names;
    // The files are inspected on every core at once; what they tell is taken in the folder's order, so
    // the unreadable ones are reported as if they had been read one after the other.
    struct Entry
    {
        QString path;
        QString name; // empty for a file name that is not UTF-8 text
        Inspection inspection;
    };
    std::vector<Entry> entries;
    while (const dirent *found = ::readdir(dir)) {
        const QByteArray entry(found->d_name);
        if (!entry.endsWith(suffix))
            continue;
        const QString decoded = QFile::decodeName(entry);
        // A name that is not UTF-8 text cannot be named back to the file system: reported, with its bytes.
        if (QFile::encodeName(decoded) != entry) {
            entries.push_back(Entry{m_folder + u'/' + readableBytes(entry), QString(), {}});
            continue;
        }
        const QString name = decoded.chopped(kExtension.size());
        if (isValidDomainName(name))
            entries.push_back(Entry{m_folder + u'/' + decoded, name, {}});
    }
    ::closedir(dir);

    std::atomic<std::size_t> next{0};
    const auto inspectSome = [&] {
        for (std::size_t i = next++; i < entries.size(); i = next++) {
            if (!entries[i].name.isEmpty())
                entries[i].inspection = inspectDomainFile(entries[i].path, false);
        }
    };
    const int helpers = std::clamp(QThread::idealThreadCount(), 1, kMaxListingThreads) - 1;
    std::vector<std::thread> threads;
    for (int i = 0; i < helpers && std::size_t(i + 1) < entries.size(); ++i)
        threads.emplace_back(inspectSome);
    inspectSome();
    for (std::thread &thread : threads)
        thread.join();

    for (const Entry &entry : entries) {
        CachedFile file;
        if (entry.name.isEmpty())
            noteUnreadable(entry.path, trText("The file name is not valid UTF-8 text."));
        else if (settleInspection(entry.path, entry.inspection, &file) == Lookup::Readable)
            names.append(entry.name);
    }
    std::sort(names.begin(), names.end(), codePointLess);
    return names;
}

TRValue TRDefaultsStore::persistentDomainForName(const QString &name)
{
    return readPersistentDomain(name).dictionary;
}

TRDefaultsStore::DomainRead TRDefaultsStore::readPersistentDomain(const QString &name)
{
    DomainRead read;
    if (!isValidDomainName(name))
        return read;
    CachedFile file;
    const QString path = filePathForName(name);
    const Lookup lookup = readDomainFile(path, &file, true);
    if (lookup == Lookup::Absent)
        return read;
    // The version that was read, not whatever may stand there by now.
    if (lookup == Lookup::NotAFile) {
        read.identity = TRFileIdentity::ofPath(path);
    } else {
        read.identity.exists = true;
        read.identity.device = quint64(file.device);
        read.identity.inode = quint64(file.inode);
        read.identity.size = qint64(file.size);
        read.identity.mtimeSeconds = qint64(file.mtime.tv_sec);
        read.identity.mtimeNanoseconds = qint64(file.mtime.tv_nsec);
    }
    if (lookup != Lookup::Readable) {
        read.unreadable = true;
        read.reason = file.reason;
        return read;
    }
    // Handed over: the caller keeps the contents (a domain controller turns them into its key tree), so
    // the store keeps only what it needs to know about the file, not a second copy of every domain.
    m_cache[path].dictionary = TRValue();
    read.dictionary = file.dictionary;
    return read;
}

TRFileIdentity TRDefaultsStore::fileIdentity(const QString &name) const
{
    return TRFileIdentity::ofPath(filePathForName(name));
}

int TRDefaultsStore::persistentDomainKeyCount(const QString &name)
{
    if (!isValidDomainName(name))
        return 0;
    CachedFile file;
    return readDomainFile(filePathForName(name), &file, false) == Lookup::Readable ? file.keyCount : 0;
}

bool TRDefaultsStore::setPersistentDomain(const TRValue &dictionary, const QString &name, QString *error)
{
    return writePersistentDomain(dictionary, name, nullptr, nullptr, error) == WriteResult::Written;
}

TRDefaultsStore::WriteResult TRDefaultsStore::writePersistentDomain(const TRValue &dictionary,
                                                                    const QString &name,
                                                                    const TRFileIdentity *expected,
                                                                    TRFileIdentity *written, QString *error)
{
    if (!isValidDomainName(name, error))
        return WriteResult::Failed;
    if (!dictionary.isDictionary()) {
        if (error)
            *error = trFormat(trText("Cannot write the domain file %@: the domain is not a dictionary."),
                              {filePathForName(name)});
        return WriteResult::Failed;
    }
    QString tooLarge;
    if (!TRPropertyList::fitsExpansionBound(dictionary, &tooLarge)) {
        if (error)
            *error =
                trFormat(trText("Cannot write the domain file %@: %@"), {filePathForName(name), tooLarge});
        return WriteResult::Failed;
    }
    if (!makeFolder(m_folder, error))
        return WriteResult::Failed;
    const TRDefaultsLock lock(m_folder, lockWaiting());
    reportLock(lock);
    if (expected && fileIdentity(name) != *expected)
        return WriteResult::ChangedOnDisk;
    if (!writeLocked(dictionary, name, error))
        return WriteResult::Failed;
    if (written)
        *written = fileIdentity(name);
    return WriteResult::Written;
}

bool TRDefaultsStore::updatePersistentDomain(const QString &name,
                                             const std::function<TRValue(const TRValue &)> &change,
                                             QString *error)
{
    if (!isValidDomainName(name, error))
        return false;
    if (!makeFolder(m_folder, error))
        return false;
    const TRDefaultsLock lock(m_folder, lockWaiting());
    reportLock(lock);
    CachedFile current;
    const bool readable =
        readDomainFile(followLinks(filePathForName(name)), &current, true) == Lookup::Readable;
    const TRValue changed = change(readable ? current.dictionary : TRValue());
    if (changed.isDictionary() && !changed.toDictionary().isEmpty())
        return writeLocked(changed, name, error);
    return removeLocked(name, error);
}

bool TRDefaultsStore::writeLocked(const TRValue &dictionary, const QString &name, QString *error)
{
    const QString path = followLinks(filePathForName(name));
    TRPropertyList::Format format = TRPropertyList::Format::Xml;
    mode_t mode = kNewFileMode;
    CachedFile existing;
    switch (readDomainFile(path, &existing, false)) {
    case Lookup::Readable:
        // Binary stays binary; XML and GNUstep's text form are written as XML, as GNUstep does.
        if (existing.format == int(TRPropertyList::Format::Binary))
            format = TRPropertyList::Format::Binary;
        mode = existing.mode & 07777;
        break;
    case Lookup::Unreadable:
        if (!setAside(path, existing.reason, error))
            return false;
        break;
    case Lookup::NotAFile:
        if (error)
            *error = trFormat(trText("Cannot write the domain file %@: %@"), {path, existing.reason});
        return false;
    case Lookup::Absent:
        break;
    }
    if (format == TRPropertyList::Format::Xml && !TRPropertyList::canWriteXml(dictionary))
        format = TRPropertyList::Format::Binary;

    QByteArray bytes;
    QString encodeError;
    if (!TRPropertyList::write(dictionary, format, &bytes, &encodeError)) {
        if (error)
            *error = trFormat(trText("Cannot write the domain file %@: %@"), {path, encodeError});
        return false;
    }

    m_cache.remove(path);
    QString reason;
    if (!TRAtomicFile::write(path, bytes, int(mode), &reason)) {
        if (error)
            *error = trFormat(trText("Cannot write the domain file %@: %@"), {path, reason});
        return false;
    }
    // The next save of this domain needs the file's format and mode, and the domain list its key count,
    // not its contents: note them, so that neither reads and parses the whole file again. A reader still
    // parses it (the contents are not kept: what the file holds is what a read gives back).
    struct stat info
    {
    };
    if (::stat(QFile::encodeName(path).constData(), &info) == 0 && S_ISREG(info.st_mode)) {
        CachedFile written;
        written.device = info.st_dev;
        written.inode = info.st_ino;
        written.size = info.st_size;
        written.mtime = info.st_mtim;
        written.mode = info.st_mode;
        written.readable = true;
        written.format = int(format);
        written.keyCount = int(dictionary.toDictionary().size());
        m_cache.insert(path, written);
    }
    return true;
}

bool TRDefaultsStore::removePersistentDomainForName(const QString &name, QString *error)
{
    if (!isValidDomainName(name, error))
        return false;
    struct stat info
    {
    };
    if (::lstat(QFile::encodeName(filePathForName(name)).constData(), &info) != 0 &&
        (errno == ENOENT || errno == ENOTDIR))
        return true; // nothing to remove
    const TRDefaultsLock lock(m_folder, lockWaiting());
    reportLock(lock);
    return removeLocked(name, error);
}

bool TRDefaultsStore::removeLocked(const QString &name, QString *error)
{
    const QString path = filePathForName(name);
    const QByteArray native = QFile::encodeName(path);
    struct stat info
    {
    };
    if (::lstat(native.constData(), &info) != 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return true;
        const QString reason = systemError(errno);
        if (error)
            *error = trFormat(trText("Cannot remove the domain file %@: %@"), {path, reason});
        return false;
    }
    if (S_ISREG(info.st_mode)) {
        CachedFile existing;
        if (readDomainFile(path, &existing, false) == Lookup::Unreadable)
            return setAside(path, existing.reason, error);
    } else if (!S_ISLNK(info.st_mode)) {
        if (error)
            *error = trFormat(trText("Cannot remove the domain file %@: %@"),
                              {path, trText("It is not a regular file.")});
        return false;
    }
    // A link goes, its target stays: the target belongs to whoever made the link.
    if (::unlink(native.constData()) != 0 && errno != ENOENT) {
        const QString reason = systemError(errno);
        if (error)
            *error = trFormat(trText("Cannot remove the domain file %@: %@"), {path, reason});
        return false;
    }
    m_cache.remove(path);
    return true;
}

bool TRDefaultsStore::synchronize(QString *error)
{
    m_cache.clear();
    const QByteArray native = QFile::encodeName(m_folder);
    const int fd = ::open(native.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return true; // no folder yet: nothing was written
    const bool synced = ::fsync(fd) == 0;
    const int code = errno;
    ::close(fd);
    if (!synced && error)
        *error = trFormat(trText("Cannot flush the defaults folder %@: %@"), {m_folder, systemError(code)});
    return synced;
}
