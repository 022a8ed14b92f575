#pragma once

#include "TRFileIdentity.h"

#include <QElapsedTimer>
#include <QFileSystemWatcher>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QTimer>

// Watches the defaults folder for the changes other programs make: the folder itself (domain files added,
// removed, or renamed into place as atomic writers do) and the domain files it is given (written in
// place). A burst of changes comes out as one changed() once the folder has been quiet for a moment, and
// at the latest after a bound, so that a program that writes without pause is still followed. Where the
// system cannot watch (no folder yet, no inotify, too many watches), the identities of the folder's files
// are compared at a slow interval instead.
class TRStoreWatcher final : public QObject
{
    Q_OBJECT

public:
    static constexpr int kQuietMs = 150;
    static constexpr int kLatestMs = 1000;
    static constexpr int kPollMs = 2000;

    explicit TRStoreWatcher(const QString &folder, QObject *parent = nullptr);

    // How long the folder must be quiet before a change is announced (kQuietMs unless set): a follower
    // that shows every change as it lands waits less.
    void setQuietMs(int ms) { m_quietMs = ms; }
    // Watches these files as well as the folder; replaces the earlier list.
    void setFiles(const QStringList &paths);
    // The periodic comparison stands in for the system's watcher.
    bool isPolling() const { return m_poll.isActive(); }
    bool hasPendingChange() const { return m_pending; }
    // Counts as a change (a caller that could not handle one yet asks for another look this way).
    void noteChange();
    // Announces a pending change now rather than after the delay.
    void flush();

signals:
    void changed();

private:
    // Puts the folder and the files that fell off (a replaced file's watch goes with the old file) back
    // under the system's watcher, and polls while any of them cannot be watched.
    void watch();
    void poll();
    QHash<QString, TRFileIdentity> scanFolder() const;

    QString m_folder;
    QFileSystemWatcher m_watcher;
    QSet<QString> m_files;
    QTimer m_quiet;
    QTimer m_poll;
    QElapsedTimer m_firstPending;
    bool m_pending = false;
    int m_quietMs = kQuietMs;
    QHash<QString, TRFileIdentity> m_lastScan;
};
