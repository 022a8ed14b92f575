// TRDefaultsStore: reading one domain file, through the cache of what each file held when last read.
#include "TRDefaultsStore.h"
#include "TRLimits.h"
#include "TRMemory.h"
#include "TRSystemError.h"
#include "TRText.h"
#include "plist/TRPropertyList.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Files from this size on are read into memory the system may back with large pages, and their memory
// is handed back to the system once they are parsed.
constexpr off_t kLargeFile = off_t(8) << 20;

// Whether the file stands as stat() described it: same file, size and modification time.
bool sameVersion(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
           a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

// Reads the whole regular file that stat() described, into a buffer of exactly its size. The file is
// opened without blocking and checked again once open, so that a pipe or a device swapped in meanwhile is
// never read. The bytes are those of the version stat() described: a file that is written to, grows or
// shrinks meanwhile is refused as changed (whoever watches it reads it again once it has settled).
bool readRegularFile(const QByteArray &path, const struct stat &expected, QByteArray *bytes, QString *reason)
{
    const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        *reason = trSystemError(errno);
        return false;
    }
    struct stat info
    {
    };
    const auto changed = [] { return trText("The file changed while it was being read."); };
    bool ok = ::fstat(fd, &info) == 0;
    if (!ok) {
        *reason = trSystemError(errno);
    } else if (!S_ISREG(info.st_mode) || !sameVersion(info, expected) || info.st_size > kTRMaxFileSize) {
        *reason = changed();
        ok = false;
    }
    QByteArray buffer;
    if (ok) {
        buffer = QByteArray(qsizetype(info.st_size), Qt::Uninitialized);
        if (info.st_size >= kLargeFile)
            trAdviseLargePages(buffer.data(), std::size_t(buffer.size()));
        qsizetype filled = 0;
        // One byte past the end is asked for too: a file that grew answers it.
        char past = 0;
        while (ok && filled <= buffer.size()) {
            const bool atEnd = filled == buffer.size();
            const ssize_t got = atEnd
                                    ? ::read(fd, &past, 1)
                                    : ::read(fd, buffer.data() + filled, std::size_t(buffer.size() - filled));
            if (got > 0 && !atEnd) {
                filled += got;
            } else if (got == 0 && atEnd) {
                break;
            } else if (got >= 0) {
                *reason = changed(); // shorter or longer than it was
                ok = false;
            } else if (errno != EINTR) {
                *reason = trSystemError(errno);
                ok = false;
            }
        }
        // Written to in place meanwhile, at the same size.
        struct stat after
        {
        };
        if (ok && (::fstat(fd, &after) != 0 || !sameVersion(after, expected))) {
            *reason = changed();
            ok = false;
        }
    }
    ::close(fd);
    if (ok)
        *bytes = std::move(buffer);
    return ok;
}

} // namespace

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
        found.file.reason = trSystemError(errno);
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
            const bool parsed = needValue
                                    ? TRPropertyList::readWithinBound(bytes, &value, &format, &parseError)
                                    : TRPropertyList::readShape(bytes, &shape, &format, &parseError);
            bytes = QByteArray(); // the value holds what it needs
            if (info.st_size >= kLargeFile)
                trReleaseFreedMemory(); // what the file's bytes and the reader's tables took
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
