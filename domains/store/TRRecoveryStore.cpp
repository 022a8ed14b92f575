#include "TRRecoveryStore.h"

#include "TRAtomicFile.h"
#include "TRText.h"
#include "plist/TRPropertyList.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

const QString kLockName = QStringLiteral(".lock");
const QString kSessionPrefix = QStringLiteral("session-");
const QString kSuffix = QStringLiteral(".plist");
// A recovery file: {Domain; Store; ReadFrom?; Contents}.
const QString kDomain = QStringLiteral("Domain");
const QString kStore = QStringLiteral("Store");
const QString kReadFrom = QStringLiteral("ReadFrom");
const QString kContents = QStringLiteral("Contents");

// Whether a live process holds the session's lock.
bool isHeld(const QString &session)
{
    const QByteArray path = QFile::encodeName(session + u'/' + kLockName);
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return held;
}

} // namespace

TRRecoveryStore::TRRecoveryStore(QString folder) : m_folder(std::move(folder))
{
}

TRRecoveryStore::~TRRecoveryStore()
{
    if (m_lockFd >= 0)
        ::close(m_lockFd);
}

QString TRRecoveryStore::defaultFolder()
{
    return trStateFolder("TAMRIX_RECOVERY_DIR", QStringLiteral("recovery"));
}

QString TRRecoveryStore::fileNameFor(const QString &domain)
{
    // Domain names hold no "/" and are not "." or ".."; a leading dot would hide the file.
    return QStringLiteral("d-") + domain + kSuffix;
}

bool TRRecoveryStore::open(QString *error)
{
    if (isOpen())
        return true;
    // The time tells this session from an ended one that had the same process id.
    m_session = m_folder + u'/' + kSessionPrefix + QString::number(QCoreApplication::applicationPid()) +
                u'-' + QString::number(QDateTime::currentMSecsSinceEpoch());
    QString reason;
    if (QFileInfo::exists(m_session) || !QDir().mkpath(m_session)) {
        reason = trFormat(trText("Cannot make the folder %@."), {m_session});
    } else {
        const QByteArray path = QFile::encodeName(m_session + u'/' + kLockName);
        const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            m_lockFd = fd;
            return true;
        }
        reason = QString::fromLocal8Bit(std::strerror(errno));
        if (fd >= 0)
            ::close(fd);
    }
    if (error)
        *error = reason;
    return false;
}

bool TRRecoveryStore::keep(const QString &domain, const QString &storeFolder, const TRFileIdentity &readFrom,
                           const TRValue &contents, QString *error)
{
    if (!isOpen() && !open(error))
        return false;
    TRDictionary record;
    record.insert(kDomain, TRValue::fromString(domain));
    record.insert(kStore, TRValue::fromString(storeFolder));
    if (readFrom.exists)
        record.insert(kReadFrom, readFrom.toValue());
    record.insert(kContents, contents);
    QByteArray bytes;
    QString reason;
    if (TRPropertyList::writeBinary(TRValue::fromDictionary(std::move(record)), &bytes, &reason) &&
        TRAtomicFile::write(m_session + u'/' + fileNameFor(domain), bytes, 0600, &reason))
        return true;
    if (error)
        *error = reason;
    return false;
}

void TRRecoveryStore::forget(const QString &domain)
{
    if (isOpen())
        QFile::remove(m_session + u'/' + fileNameFor(domain));
}

void TRRecoveryStore::close()
{
    if (!isOpen())
        return;
    QDir(m_session).removeRecursively();
    ::close(m_lockFd);
    m_lockFd = -1;
}

QList<TRRecoveryStore::Recovered> TRRecoveryStore::leftBehind(const QString &storeFolder) const
{
    QList<Recovered> found;
    const QStringList sessions =
        QDir(m_folder).entryList({kSessionPrefix + u'*'}, QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString &name : sessions) {
        const QString session = m_folder + u'/' + name;
        if (session == m_session || isHeld(session))
            continue;
        for (const QString &file : QDir(session).entryList({QStringLiteral("d-*") + kSuffix}, QDir::Files)) {
            Recovered recovered;
            recovered.fileName = session + u'/' + file;
            recovered.domain = file.mid(2).chopped(kSuffix.size());
            QFile input(recovered.fileName);
            TRValue value;
            QString reason;
            if (!input.open(QIODevice::ReadOnly))
                reason = input.errorString();
            else if (!TRPropertyList::read(input.readAll(), &value, nullptr, &reason))
                ;
            else if (!value.isDictionary() || !value.toDictionary().value(kContents).isDictionary() ||
                     !value.toDictionary().value(kStore).isString())
                reason = trText("It is not a file of unsaved changes Tamrix writes.");
            if (reason.isEmpty()) {
                const TRDictionary &record = value.toDictionary();
                recovered.storeFolder = record.value(kStore).toString();
                recovered.readFrom = TRFileIdentity::fromValue(record.value(kReadFrom));
                recovered.contents = record.value(kContents);
                if (!storeFolder.isEmpty() && recovered.storeFolder != storeFolder)
                    continue;
            } else {
                recovered.problem = reason;
            }
            found.append(std::move(recovered));
        }
    }
    return found;
}

void TRRecoveryStore::discard(const Recovered &recovered) const
{
    QFile::remove(recovered.fileName);
    const QString session = QFileInfo(recovered.fileName).path();
    if (QDir(session).entryList({QStringLiteral("d-*") + kSuffix}, QDir::Files).isEmpty() && !isHeld(session))
        QDir(session).removeRecursively();
}
