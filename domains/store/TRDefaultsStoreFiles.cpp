// TRDefaultsStore: reading one domain file, through the cache of what each file held when last read.
#include "TRDefaultsStore.h"
#include "TRLimits.h"
#include "TRSystemError.h"
#include "TRText.h"
#include "plist/TRPropertyList.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Reads the whole regular file that stat() described. The file is opened without blocking and checked
// again once open, so that a pipe or a device swapped in meanwhile is never read.
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
    bool ok = ::fstat(fd, &info) == 0;
    if (!ok) {
        *reason = trSystemError(errno);
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
                *reason = trSystemError(errno);
                ok = false;
            }
        }
    }
    ::close(fd);
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
