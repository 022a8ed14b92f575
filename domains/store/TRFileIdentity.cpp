#include "TRFileIdentity.h"

#include <QDir>
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

TRValue TRFileIdentity::toValue() const
{
    TRDictionary entries;
    entries.insert(QStringLiteral("Device"), TRValue::fromUnsigned(device));
    entries.insert(QStringLiteral("Inode"), TRValue::fromUnsigned(inode));
    entries.insert(QStringLiteral("Size"), TRValue::fromInteger(size));
    entries.insert(QStringLiteral("Seconds"), TRValue::fromInteger(mtimeSeconds));
    entries.insert(QStringLiteral("Nanoseconds"), TRValue::fromInteger(mtimeNanoseconds));
    return TRValue::fromDictionary(std::move(entries));
}

TRFileIdentity TRFileIdentity::fromValue(const TRValue &value)
{
    TRFileIdentity file;
    if (!value.isDictionary())
        return file;
    const TRDictionary &entries = value.toDictionary();
    file.exists = true;
    file.device = entries.value(QStringLiteral("Device")).toUnsigned();
    file.inode = entries.value(QStringLiteral("Inode")).toUnsigned();
    file.size = entries.value(QStringLiteral("Size")).toInteger();
    file.mtimeSeconds = entries.value(QStringLiteral("Seconds")).toInteger();
    file.mtimeNanoseconds = entries.value(QStringLiteral("Nanoseconds")).toInteger();
    return file;
}

QString trStateFolder(const char *overrideVariable, const QString &name)
{
    const QString overridden = qEnvironmentVariable(overrideVariable);
    if (!overridden.isEmpty())
        return overridden;
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty() || QDir::isRelativePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/tamrix/") + name;
}
