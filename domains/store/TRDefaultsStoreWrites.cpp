// TRDefaultsStore: writing and removing domain files under the lock, setting unreadable ones aside, and
// flushing the folder.
#include "TRAtomicFile.h"
#include "TRDefaultsLock.h"
#include "TRDefaultsStore.h"
#include "TRDomainHistory.h"
#include "TRSystemError.h"
#include "TRText.h"
#include "plist/TRPropertyList.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr mode_t kNewFileMode = 0600;
constexpr mode_t kNewFolderMode = 0755;
// Longest file name the file systems take, and room for the "-NNN" that tells set-aside files apart.
constexpr qsizetype kMaxFileNameBytes = 255;
constexpr qsizetype kAsideCounterBytes = 4;
// Links followed before a chain counts as a loop (the kernel's own limit).
constexpr int kMaxLinkDepth = 40;

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
            const QString reason = trSystemError(errno);
            if (error)
                *error = trFormat(trText("Cannot create the defaults folder %@: %@"), {path, reason});
            return false;
        }
    }
    return true;
}

// Tells why the domain file at the path cannot be written, or removed, and answers false.
bool cannotWrite(const QString &path, const QString &reason, QString *error)
{
    if (error)
        *error = trFormat(trText("Cannot write the domain file %@: %@"), {path, reason});
    return false;
}

bool cannotRemove(const QString &path, const QString &reason, QString *error)
{
    if (error)
        *error = trFormat(trText("Cannot remove the domain file %@: %@"), {path, reason});
    return false;
}

} // namespace

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
    const QString failure = trSystemError(errno);
    if (error)
        *error = trFormat(trText("Cannot set aside the unreadable domain file %@: %@"), {path, failure});
    return false;
}

void TRDefaultsStore::setHistory(std::shared_ptr<TRDomainHistory> history, HistoryObserver observer)
{
    m_history = std::move(history);
    m_historyObserver = std::move(observer);
}

void TRDefaultsStore::keepInHistory(const QString &name, const TRValue &contents, const TRFileIdentity &file,
                                    const QString &source)
{
    QString reason;
    if (m_history && !m_history->holdsFile(name, file) &&
        !m_history->record(name, contents, source, &reason, QDateTime::currentDateTimeUtc(), file) &&
        m_historyObserver)
        m_historyObserver(trFormat(trText("The history of %@ could not be kept: %@"), {name, reason}));
}

void TRDefaultsStore::keepReplacedVersion(const QString &name, const QString &path)
{
    if (!m_history)
        return;
    const TRFileIdentity file = TRFileIdentity::ofPath(path);
    if (!file.exists || m_history->holdsFile(name, file))
        return;
    CachedFile existing;
    // Its writer is not known: had it been this history's store, the history would hold it.
    if (readDomainFile(path, &existing, true) == Lookup::Readable && existing.dictionary.isDictionary())
        keepInHistory(name, existing.dictionary, file, QString::fromLatin1(TRDomainHistory::kAnotherProgram));
}

void TRDefaultsStore::keepFileInHistory(const QString &name)
{
    if (isValidDomainName(name))
        keepReplacedVersion(name, followLinks(filePathForName(name)));
}

bool TRDefaultsStore::setPersistentDomain(const TRValue &dictionary, const QString &name, QString *error)
{
    return writePersistentDomain(dictionary, name, nullptr, nullptr, error) == WriteResult::Written;
}

TRDefaultsStore::WriteResult TRDefaultsStore::writePersistentDomain(const TRValue &dictionary,
                                                                    const QString &name,
                                                                    const TRFileIdentity *expected,
                                                                    TRFileIdentity *written, QString *error,
                                                                    const QString &historySource)
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
        cannotWrite(filePathForName(name), tooLarge, error);
        return WriteResult::Failed;
    }
    if (!makeFolder(m_folder, error))
        return WriteResult::Failed;
    const TRDefaultsLock lock(m_folder, lockWaiting());
    reportLock(lock);
    if (expected && fileIdentity(name) != *expected)
        return WriteResult::ChangedOnDisk;
    if (!writeLocked(dictionary, name, error, historySource))
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
    const TRValue given = readable ? current.dictionary : TRValue();
    // The history need not read back what this has just read, to keep the change against it.
    if (m_history && readable) {
        TRFileIdentity read;
        read.exists = true;
        read.device = quint64(current.device);
        read.inode = quint64(current.inode);
        read.size = qint64(current.size);
        read.mtimeSeconds = qint64(current.mtime.tv_sec);
        read.mtimeNanoseconds = qint64(current.mtime.tv_nsec);
        m_history->expectContents(name, read, given);
    }
    const TRValue changed = change(given);
    if (changed.isSameObject(given))
        return true;
    if (changed.isDictionary() && !changed.toDictionary().isEmpty())
        return writeLocked(changed, name, error, QString());
    return removeLocked(name, error);
}

bool TRDefaultsStore::writeLocked(const TRValue &dictionary, const QString &name, QString *error,
                                  const QString &historySource)
{
    const QString path = followLinks(filePathForName(name));
    keepReplacedVersion(name, path);
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
        return cannotWrite(path, existing.reason, error);
    case Lookup::Absent:
        break;
    }
    if (format == TRPropertyList::Format::Xml && !TRPropertyList::canWriteXml(dictionary))
        format = TRPropertyList::Format::Binary;

    QByteArray bytes;
    QString encodeError;
    if (!TRPropertyList::write(dictionary, format, &bytes, &encodeError))
        return cannotWrite(path, encodeError, error);

    m_cache.remove(path);
    QString reason;
    if (!TRAtomicFile::write(path, bytes, int(mode), &reason))
        return cannotWrite(path, reason, error);
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
    if (m_history)
        keepInHistory(name, dictionary, TRFileIdentity::ofPath(path),
                      historySource.isEmpty() ? QString::fromLatin1(TRDomainHistory::kTamrix)
                                              : historySource);
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
        return cannotRemove(path, trSystemError(errno), error);
    }
    if (S_ISREG(info.st_mode)) {
        CachedFile existing;
        if (readDomainFile(path, &existing, false) == Lookup::Unreadable)
            return setAside(path, existing.reason, error);
    } else if (!S_ISLNK(info.st_mode)) {
        return cannotRemove(path, trText("It is not a regular file."), error);
    }
    keepReplacedVersion(name, followLinks(path));
    // A link goes, its target stays: the target belongs to whoever made the link.
    if (::unlink(native.constData()) != 0 && errno != ENOENT)
        return cannotRemove(path, trSystemError(errno), error);
    m_cache.remove(path);
    if (m_history)
        keepInHistory(name, TRValue::fromDictionary(TRDictionary()), TRFileIdentity(),
                      QString::fromLatin1(TRDomainHistory::kDeleted));
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
        *error = trFormat(trText("Cannot flush the defaults folder %@: %@"), {m_folder, trSystemError(code)});
    return synced;
}
