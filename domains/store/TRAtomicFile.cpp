#include "TRAtomicFile.h"

#include "TRSystemError.h"
#include "TRText.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool TRAtomicFile::write(const QString &path, const QByteArray &bytes, int mode, QString *reason)
{
    // The bytes go straight to the temporary file's descriptor, each write checked with the system's own
    // reason: a buffered QSaveFile meets a full disk only in the flush inside commit(), which goes on to
    // replace the old file regardless.
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        *reason = file.errorString();
        return false;
    }
    auto cancel = [&file, reason](const QString &why) {
        *reason = why;
        file.cancelWriting();
        return false;
    };
    if (mode >= 0 && ::fchmod(file.handle(), mode_t(mode)) != 0)
        return cancel(trSystemError(errno));
    for (qsizetype written = 0; written < bytes.size();) {
        const ssize_t done =
            ::write(file.handle(), bytes.constData() + written, std::size_t(bytes.size() - written));
        if (done < 0 && errno != EINTR)
            return cancel(trSystemError(errno));
        if (done > 0)
            written += done;
    }
    // File systems that allocate late report a full disk only when the data reach it.
    if (::fsync(file.handle()) != 0)
        return cancel(trSystemError(errno));
    if (!file.commit()) {
        *reason = file.errorString();
        return false;
    }
    QString folderReason;
    if (!syncFolder(QFileInfo(path).absolutePath(), &folderReason)) {
        *reason = trFormat(
            trText("the new contents are in place, but the folder could not be flushed to disk (%@)"),
            {folderReason});
        return false;
    }
    return true;
}

bool TRAtomicFile::syncFolder(const QString &folder, QString *reason)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        *reason = trSystemError(errno);
        return false;
    }
    // File systems that cannot flush a folder (EINVAL) keep their entries by other means.
    const bool synced = ::fsync(fd) == 0 || errno == EINVAL;
    if (!synced)
        *reason = trSystemError(errno);
    ::close(fd);
    return synced;
}
