#pragma once

#include "TRFileIdentity.h"
#include "TRValue.h"

#include <QList>
#include <QString>

// Unsaved contents of domains, kept outside the defaults folder so that they survive a crash: each running
// Tamrix keeps its own session folder, "session-<pid>-<time>", holding a lock file it keeps locked (flock)
// while it runs, and one binary property list per domain with unsaved changes. A session whose lock nobody
// holds belongs to a process that has ended without removing it: its files are what a start-up offers to
// recover. Two running Tamrix never take each other's files.
class TRRecoveryStore final
{
public:
    // A domain's unsaved contents another session left.
    struct Recovered
    {
        QString domain;
        // The defaults folder the contents belong to, and the identity of the domain's file when they
        // were read from it: another identity now means another program changed the file since.
        QString storeFolder;
        TRFileIdentity readFrom;
        TRValue contents;
        QString fileName;
        // Why the file cannot be read; empty when it can (contents is then a dictionary).
        QString problem;
    };

    explicit TRRecoveryStore(QString folder);
    ~TRRecoveryStore();
    TRRecoveryStore(const TRRecoveryStore &) = delete;
    TRRecoveryStore &operator=(const TRRecoveryStore &) = delete;

    // TAMRIX_RECOVERY_DIR, else $XDG_STATE_HOME/tamrix/recovery, else ~/.local/state/tamrix/recovery.
    static QString defaultFolder();

    // Makes this process's session folder and locks it; false with the reason when it cannot.
    bool open(QString *error = nullptr);
    bool isOpen() const { return m_lockFd >= 0; }
    // Keeps the domain's contents, replacing the last kept, atomically.
    bool keep(const QString &domain, const QString &storeFolder, const TRFileIdentity &readFrom,
              const TRValue &contents, QString *error = nullptr);
    // The domain was saved, reloaded or its changes discarded: its file goes.
    void forget(const QString &domain);
    // Removes this session's folder (a clean end).
    void close();

    // What sessions of ended processes left, for the store folder given (all stores when empty).
    QList<Recovered> leftBehind(const QString &storeFolder = QString()) const;
    // Removes a file leftBehind() answered, and its session folder once nothing is left in it.
    void discard(const Recovered &recovered) const;

    // This session's folder; empty until open().
    const QString &sessionFolder() const { return m_session; }

private:
    static QString fileNameFor(const QString &domain);

    QString m_folder;
    QString m_session;
    int m_lockFd = -1;
};
