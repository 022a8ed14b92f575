#include "TRDefaultsLock.h"

#include "TRSystemError.h"
#include "TRText.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <atomic>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::atomic<int> g_pollMs{100};
std::atomic<int> g_staleMs{20000};
std::atomic<int> g_giveUpMs{25000};

bool modificationTime(const QByteArray &path, timespec *mtime)
{
    struct stat info
    {
    };
    if (::stat(path.constData(), &info) != 0)
        return false;
    *mtime = info.st_mtim;
    return true;
}

qint64 ageMs(const timespec &mtime)
{
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return qint64(now.tv_sec - mtime.tv_sec) * 1000 + (now.tv_nsec - mtime.tv_nsec) / 1000000;
}

} // namespace

QString TRDefaultsLock::lockPath(const QString &folder)
{
    return QDir(folder).filePath(QStringLiteral(".lck/.GNUstepDefaults.lck"));
}

void TRDefaultsLock::setTiming(const Timing &value)
{
    g_pollMs = value.pollMs;
    g_staleMs = value.staleMs;
    g_giveUpMs = value.giveUpMs;
}

TRDefaultsLock::Timing TRDefaultsLock::timing()
{
    return Timing{g_pollMs.load(), g_staleMs.load(), g_giveUpMs.load()};
}

TRDefaultsLock::TRDefaultsLock(const QString &folder, const Waiting &waiting) : m_path(lockPath(folder))
{
    const Timing limits = timing();
    const QByteArray native = QFile::encodeName(m_path);
    const QByteArray parent = QFile::encodeName(QDir(folder).filePath(QStringLiteral(".lck")));
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        if (::mkdir(native.constData(), 0755) == 0) {
            m_held = modificationTime(native, &m_mtime);
            if (!m_held)
                m_failure = trSystemError(errno);
            return;
        }
        if (errno == ENOENT && ::mkdir(parent.constData(), 0755) == 0)
            continue;
        if (errno != EEXIST) {
            // Cannot lock here (a read-only folder, ...); the file operation goes on and meets the cause.
            m_failure = trSystemError(errno);
            return;
        }
        timespec held{};
        // A stale lock that cannot be removed (not ours to remove, or not empty) is waited out like
        // any other, not retried at once forever.
        if (modificationTime(native, &held) && ageMs(held) > limits.staleMs &&
            (::rmdir(native.constData()) == 0 || errno == ENOENT))
            continue;
        if (waited.elapsed() >= limits.giveUpMs) {
            m_failure = trFormat(trText("another program has held it for %@ seconds"),
                                 {QString::number(waited.elapsed() / 1000)});
            return;
        }
        m_waited = true;
        if (waiting)
            waiting(waited.elapsed());
        QThread::msleep(static_cast<unsigned long>(limits.pollMs));
    }
}

TRDefaultsLock::~TRDefaultsLock()
{
    if (!m_held)
        return;
    const QByteArray native = QFile::encodeName(m_path);
    timespec now{};
    // Another process broke our lock as stale and took its own: leave that one alone.
    if (modificationTime(native, &now) && now.tv_sec == m_mtime.tv_sec && now.tv_nsec == m_mtime.tv_nsec)
        ::rmdir(native.constData());
}
