#include "TRStoreWatcher.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

TRStoreWatcher::TRStoreWatcher(const QString &folder, QObject *parent) : QObject(parent), m_folder(folder)
{
    m_quiet.setSingleShot(true);
    m_poll.setInterval(kPollMs);
    connect(&m_quiet, &QTimer::timeout, this, &TRStoreWatcher::flush);
    connect(&m_poll, &QTimer::timeout, this, &TRStoreWatcher::poll);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &TRStoreWatcher::noteChange);
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, &TRStoreWatcher::noteChange);
    watch();
}

void TRStoreWatcher::setFiles(const QStringList &paths)
{
    const QSet<QString> wanted(paths.cbegin(), paths.cend());
    QStringList dropped;
    for (const QString &path : std::as_const(m_files)) {
        if (!wanted.contains(path))
            dropped.append(path);
    }
    const QStringList watched = m_watcher.files();
    const QSet<QString> watchedSet(watched.cbegin(), watched.cend());
    for (const QString &path : dropped) {
        if (watchedSet.contains(path))
            m_watcher.removePath(path);
    }
    m_files = wanted;
    watch();
}

void TRStoreWatcher::watch()
{
    bool complete = true;
    if (!m_watcher.directories().contains(m_folder))
        complete = m_watcher.addPath(m_folder);
    const QStringList watched = m_watcher.files();
    const QSet<QString> watchedSet(watched.cbegin(), watched.cend());
    // A file that is not there (removed, or not written yet) is left to the folder's watch, which sees
    // it come.
    QStringList missing;
    for (const QString &path : std::as_const(m_files)) {
        if (!watchedSet.contains(path) && QFileInfo::exists(path))
            missing.append(path);
    }
    if (!missing.isEmpty() && !m_watcher.addPaths(missing).isEmpty())
        complete = false;
    if (complete) {
        m_poll.stop();
        m_lastScan.clear();
    } else if (!m_poll.isActive()) {
        m_lastScan = scanFolder();
        m_poll.start();
    }
}

void TRStoreWatcher::noteChange()
{
    if (!m_pending) {
        m_pending = true;
        m_firstPending.start();
    }
    const qint64 left = kLatestMs - m_firstPending.elapsed();
    m_quiet.start(int(std::clamp<qint64>(left, 0, m_quietMs)));
}

void TRStoreWatcher::flush()
{
    m_quiet.stop();
    if (!m_pending)
        return;
    m_pending = false;
    m_firstPending.invalidate();
    watch();
    emit changed();
}

void TRStoreWatcher::poll()
{
    QHash<QString, TRFileIdentity> scan = scanFolder();
    const bool changed = scan != m_lastScan;
    m_lastScan = std::move(scan);
    // Once the folder can be watched again, the system's watcher goes on from this look.
    watch();
    if (changed)
        noteChange();
}

QHash<QString, TRFileIdentity> TRStoreWatcher::scanFolder() const
{
    QHash<QString, TRFileIdentity> scan;
    const QStringList names = QDir(m_folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names) {
        const QString path = m_folder + u'/' + name;
        scan.insert(path, TRFileIdentity::ofPath(path));
    }
    // The folder's own identity changes when it is made, removed or replaced.
    scan.insert(m_folder, TRFileIdentity::ofPath(m_folder));
    return scan;
}
