#pragma once

#include <QString>

#include <ctime>

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

    // Takes the lock (waiting as described). The folder must exist for the lock to be taken.
    explicit TRDefaultsLock(const QString &folder);
    ~TRDefaultsLock();

    TRDefaultsLock(const TRDefaultsLock &) = delete;
    TRDefaultsLock &operator=(const TRDefaultsLock &) = delete;

    // False when the lock could not be taken and the operation goes on without it.
    bool isHeld() const { return m_held; }

    static QString lockPath(const QString &folder);

    // Tests shorten the waits; the defaults are GNUstep's.
    static void setTiming(const Timing &timing);
    static Timing timing();

private:
    QString m_path;
    bool m_held = false;
    timespec m_mtime{};
};
