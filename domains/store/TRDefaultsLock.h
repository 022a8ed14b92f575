#pragma once

#include <QString>
#include <ctime>
#include <functional>

// GNUstep's lock on a defaults folder, held around one file operation: the directory
// "<folder>/.lck/.GNUstepDefaults.lck", made with mkdir (which fails while another holder has it). A
// waiting locker polls, breaks a lock older than the stale age, and after the give-up time carries on
// without the lock, as GNUstep itself does. Unlocking removes the directory only if nobody replaced it.
class TRDefaultsLock final
{
public:
    struct Timing
    {
        int pollMs = 100;
        int staleMs = 20000;
        int giveUpMs = 25000;
    };

    // Called at every poll while another holder keeps the lock, with the time waited so far.
    using Waiting = std::function<void(qint64 waitedMs)>;

    // Takes the lock (waiting as described). The folder must exist for the lock to be taken.
    explicit TRDefaultsLock(const QString &folder, const Waiting &waiting = {});
    ~TRDefaultsLock();

    TRDefaultsLock(const TRDefaultsLock &) = delete;
    TRDefaultsLock &operator=(const TRDefaultsLock &) = delete;

    // False when the lock could not be taken and the operation goes on without it.
    bool isHeld() const { return m_held; }
    // Why the lock is not held; empty when it is.
    const QString &failure() const { return m_failure; }
    // Whether another holder had to be waited for.
    bool waited() const { return m_waited; }

    static QString lockPath(const QString &folder);

    // Tests shorten the waits; the defaults are GNUstep's.
    static void setTiming(const Timing &timing);
    static Timing timing();

private:
    QString m_path;
    bool m_held = false;
    bool m_waited = false;
    QString m_failure;
    timespec m_mtime{};
};
