#include "TRDefaultsStore.h"

#include "TRDefaultsLock.h"
#include "TRGnustepConfig.h"
#include "TRText.h"
#include "plist/TRPropertyList.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
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

QString &standardFolderOverride()
{
    static QString folder;
    return folder;
}

QString systemError(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
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
            if (error)
                *error = trFormat(trText("Cannot create the defaults folder %@: %@"), {path, systemError(errno)});
            return false;
        }
    }
    return true;
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

TRDefaultsStore::TRDefaultsStore(const QString &folder)
    : m_folder(folder)
{
}

TRDefaultsStore &TRDefaultsStore::standard()
{
    static TRDefaultsStore store(standardFolderOverride().isEmpty() ? resolveFolder() : standardFolderOverride());
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

TRDefaultsStore::Lookup TRDefaultsStore::readDomainFile(const QString &path, CachedFile *result, bool needValue)
{
    const QByteArray native = QFile::encodeName(path);
    struct stat info {};
    if (::stat(native.constData(), &info) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) {
            m_cache.remove(path);
            return Lookup::Absent;
        }
        const QString reason = systemError(errno);
        noteUnreadable(path, reason);
        result->reason = reason;
        return Lookup::Unreadable;
    }
    if (!S_ISREG(info.st_mode))
        return Lookup::Absent;

    const auto cached = m_cache.constFind(path);
    const bool unchanged = cached != m_cache.cend() && cached->device == info.st_dev && cached->inode == info.st_ino
                           && cached->size == info.st_size && cached->mtime.tv_sec == info.st_mtim.tv_sec
                           && cached->mtime.tv_nsec == info.st_mtim.tv_nsec && cached->mode == info.st_mode;
    if (unchanged && (!needValue || !cached->readable || !cached->dictionary.isNone())) {
        *result = *cached;
    } else {
        CachedFile entry;
        entry.device = info.st_dev;
        entry.inode = info.st_ino;
        entry.size = info.st_size;
        entry.mtime = info.st_mtim;
        entry.mode = info.st_mode;
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            entry.reason = file.errorString();
        } else {
            const QByteArray bytes = file.readAll();
            TRValue value;
            TRPropertyList::Format format = TRPropertyList::Format::Xml;
            QString parseError;
            if (file.error() != QFileDevice::NoError)
                entry.reason = file.errorString();
            else if (!TRPropertyList::read(bytes, &value, &format, &parseError))
                entry.reason = parseError;
            else if (!value.isDictionary())
                entry.reason = trText("The property list's root is not a dictionary.");
            else {
                entry.readable = true;
                entry.dictionary = value;
                entry.format = int(format);
            }
        }
        m_cache.insert(path, entry);
        *result = entry;
    }
    if (!result->readable) {
        noteUnreadable(path, result->reason);
        return Lookup::Unreadable;
    }
    return Lookup::Readable;
}

bool TRDefaultsStore::setAside(const QString &path, const QString &reason, QString *error)
{
    const QString stamp = QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
    const QString suffix = QStringLiteral(".unreadable-") + stamp;
    // The file name of a long domain keeps as much of itself as leaves room for the suffix and a counter.
    const qsizetype slash = path.lastIndexOf(u'/');
    QString kept = path.mid(slash + 1);
    while (!kept.isEmpty() && QFile::encodeName(kept + suffix).size() + kAsideCounterBytes > kMaxFileNameBytes) {
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
            return true;
        }
        if (errno != EEXIST)
            break;
    }
    if (error)
        *error = trFormat(trText("Cannot set aside the unreadable domain file %@: %@"), {path, systemError(errno)});
    return false;
}

QStringList TRDefaultsStore::persistentDomainNames()
{
    m_unreadable.clear();
    QStringList names;
    const QDir dir(m_folder);
    const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::NoSort);
    for (const QString &entry : entries) {
        if (!entry.endsWith(kExtension))
            continue;
        const QString name = entry.chopped(kExtension.size());
        if (!isValidDomainName(name))
            continue;
        CachedFile file;
        if (readDomainFile(dir.filePath(entry), &file, false) == Lookup::Readable)
            names.append(name);
    }
    std::sort(names.begin(), names.end(), codePointLess);
    return names;
}

TRValue TRDefaultsStore::persistentDomainForName(const QString &name)
{
    if (!isValidDomainName(name))
        return TRValue();
    CachedFile file;
    const QString path = filePathForName(name);
    if (readDomainFile(path, &file, true) != Lookup::Readable)
        return TRValue();
    // Handed over: the caller keeps the contents (a domain controller turns them into its key tree), so
    // the store keeps only what it needs to know about the file, not a second copy of every domain.
    m_cache[path].dictionary = TRValue();
    return file.dictionary;
}

bool TRDefaultsStore::setPersistentDomain(const TRValue &dictionary, const QString &name, QString *error)
{
    if (!isValidDomainName(name, error))
        return false;
    if (!dictionary.isDictionary()) {
        if (error)
            *error = trFormat(trText("Cannot write the domain file %@: the domain is not a dictionary."),
                              {filePathForName(name)});
        return false;
    }
    if (!makeFolder(m_folder, error))
        return false;
    const TRDefaultsLock lock(m_folder);
    return writeLocked(dictionary, name, error);
}

bool TRDefaultsStore::updatePersistentDomain(const QString &name, const std::function<TRValue(const TRValue &)> &change,
                                             QString *error)
{
    if (!isValidDomainName(name, error))
        return false;
    if (!makeFolder(m_folder, error))
        return false;
    const TRDefaultsLock lock(m_folder);
    CachedFile current;
    const bool readable = readDomainFile(followLinks(filePathForName(name)), &current, true) == Lookup::Readable;
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
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = trFormat(trText("Cannot write the domain file %@: %@"), {path, file.errorString()});
        return false;
    }
    if (::fchmod(file.handle(), mode) != 0) {
        if (error)
            *error = trFormat(trText("Cannot write the domain file %@: %@"), {path, systemError(errno)});
        file.cancelWriting();
        return false;
    }
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        if (error)
            *error = trFormat(trText("Cannot write the domain file %@: %@"), {path, file.errorString()});
        file.cancelWriting();
        return false;
    }
    return true;
}

bool TRDefaultsStore::removePersistentDomainForName(const QString &name, QString *error)
{
    if (!isValidDomainName(name, error))
        return false;
    struct stat info {};
    if (::lstat(QFile::encodeName(filePathForName(name)).constData(), &info) != 0
        && (errno == ENOENT || errno == ENOTDIR))
        return true; // nothing to remove
    const TRDefaultsLock lock(m_folder);
    return removeLocked(name, error);
}

bool TRDefaultsStore::removeLocked(const QString &name, QString *error)
{
    const QString path = filePathForName(name);
    const QByteArray native = QFile::encodeName(path);
    struct stat info {};
    if (::lstat(native.constData(), &info) != 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return true;
        if (error)
            *error = trFormat(trText("Cannot remove the domain file %@: %@"), {path, systemError(errno)});
        return false;
    }
    if (S_ISREG(info.st_mode)) {
        CachedFile existing;
        if (readDomainFile(path, &existing, false) == Lookup::Unreadable)
            return setAside(path, existing.reason, error);
    }
    // A link goes, its target stays: the target belongs to whoever made the link.
    if (::unlink(native.constData()) != 0 && errno != ENOENT) {
        if (error)
            *error = trFormat(trText("Cannot remove the domain file %@: %@"), {path, systemError(errno)});
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
