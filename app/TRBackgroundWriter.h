#pragma once

#include "TRDomainController.h"
#include "TRValue.h"
#include "store/TRDefaultsStore.h"
#include "store/TRDomainHistory.h"
#include "store/TRFileIdentity.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

class TRRecoveryStore;

// The window's writes that need not wait for the disk: AutoSave's writes of domain files and the recovery
// files of unsaved changes. One worker thread runs them in the order they were asked for, each on the
// immutable contents of its moment, through a store of its own on the same folder (GNUstep's lock, the
// lost-update check, atomic replacement, the history), so that the window's thread never waits on a
// write it did not ask to wait for. What a write found comes back on the thread that made the writer,
// in order, through written().
class TRBackgroundWriter final : public QObject
{
    Q_OBJECT

public:
    struct Write
    {
        QString domain;
        // Put together on the worker: taking them costs the window only what changed.
        TRDomainController::Snapshot contents;
        // The file the contents are to replace; a write that follows another write of the same domain
        // still waiting replaces the file that one leaves instead.
        TRFileIdentity expected;
        QString historySource;
        // The domain's change count when the contents were taken: the caller's way to tell whether the
        // write holds its latest edit.
        quint64 changeCount = 0;
    };
    struct Outcome
    {
        QString domain;
        quint64 changeCount = 0;
        TRDefaultsStore::WriteResult result = TRDefaultsStore::WriteResult::Failed;
        TRFileIdentity written;
        QString error;
        // Not tried: an earlier write of the same domain failed or met another program's change, and the
        // caller has been told about that one.
        bool skipped = false;
    };

    // Writes into the store folder, keeping the history in historyFolder (none: no history) and the
    // recovery files in recovery (none: none kept).
    TRBackgroundWriter(const QString &storeFolder, const QString &historyFolder,
                       const TRDomainHistory::Limits &limits, std::unique_ptr<TRRecoveryStore> recovery,
                       QObject *parent = nullptr);
    // Runs what is queued to its end, then stops the worker.
    ~TRBackgroundWriter() override;

    void write(Write job);
    // Keeps the domain's unsaved contents in its recovery file; a later keep of the same domain still
    // waiting takes the earlier one's place.
    void keepRecovery(const QString &domain, const TRFileIdentity &readFrom,
                      TRDomainController::Snapshot contents);
    void forgetRecovery(const QString &domain);
    void setHistoryLimits(const TRDomainHistory::Limits &limits);

    // Whether anything is queued, running, or found and not yet told through written().
    bool isBusy() const;
    bool hasPendingWrite(const QString &domain) const;
    // Runs until everything asked for has been done and told; whileWaiting is called about every 20 ms
    // with the milliseconds waited so far (to paint the window and say why it waits).
    void waitUntilDone(const std::function<void(qint64 waited)> &whileWaiting = {});

signals:
    void written(const TRBackgroundWriter::Outcome &outcome);
    // A recovery file could not be kept, with the reason; kept again afterwards: an empty text.
    void recoveryProblem(const QString &reason);
    // What the history or GNUstep's lock have to say (for the status bar).
    void message(const QString &text);
    // Nothing is queued, running or untold any more.
    void done();

private:
    struct Job
    {
        enum class Kind
        {
            Write,
            Keep,
            Forget,
            // Takes the history's new limits.
            Limits
        } kind = Kind::Write;
        Write write;
        bool followsWrite = false;
    };
    void run();
    void runJob(Job &job);
    // Tells what the worker found, on the owner's thread.
    void deliver();

    std::unique_ptr<TRDefaultsStore> m_store;
    std::unique_ptr<TRRecoveryStore> m_recovery;
    QString m_storeFolder;

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_progress;
    std::deque<Job> m_queue;
    std::deque<Outcome> m_outcomes;
    std::deque<std::pair<bool, QString>> m_recoveryReports;
    std::deque<QString> m_messages;
    // Contents a newer job made needless, for the worker to free.
    std::vector<TRDomainController::Snapshot> m_discarded;
    std::optional<TRDomainHistory::Limits> m_newLimits;
    // The writes of each domain asked for and not yet told.
    QHash<QString, int> m_pendingWrites;
    int m_running = 0;
    bool m_deliveryPosted = false;
    bool m_stopping = false;
    // Worker thread only: the domains whose last write failed, so that the writes queued after it are
    // skipped, and the files the last writes left.
    QHash<QString, TRFileIdentity> m_lastWritten;
    QSet<QString> m_failed;
    bool m_recoveryFailing = false;
    std::thread m_thread;
};
