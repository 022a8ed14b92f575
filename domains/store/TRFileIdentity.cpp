#include "TRFileIdentity.h"

#include <QFile>
#include <cerrno>
#include <sys/stat.h>

TRFileIdentity TRFileIdentity::ofPath(const QString &path)
{
    struct stat info
    {
    };
    TRFileIdentity identity;
    if (::stat(QFile::encodeName(path).constData(), &info) != 0) {
        identity.exists = errno != ENOENT && errno != ENOTDIR;
        return identity;
    }
    identity.exists = true;
    identity.device = quint64(info.st_dev);
    identity.inode = quint64(info.st_ino);
    identity.size = qint64(info.st_size);
    identity.mtimeSeconds = qint64(info.st_mtim.tv_sec);
    identity.mtimeNanoseconds = qint64(info.st_mtim.tv_nsec);
    return identity;
}
