#pragma once

#include "TRDefaultsLock.h"
#include "TRFileIdentity.h"
#include "TRValue.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <ctime>
#include <functional>
#include <memory>
#include <sys/types.h>

class TRDomainHistory;

// The per-user defaults database: a folder holding one property-list file per persistent domain
// ("<name>.plist"), shared with GNUstep programs. Writes go through at once, atomically and under
// GNUstep's lock. Failures are reported (false plus a message naming the file and the reason).
class TRDefaultsStore
{
public:
    // A domain file that could not be read, and where it was set aside (empty until it is).
    struct UnreadableFile
    {
        QString fileName;
        QString reason;
        QString setAsideAs;
    };

    // What a write or a removal meets on GNUstep's lock: still waiting for another holder (called at every
    // poll, so a window can keep itself painted), done waiting, or going on without the lock.
    enum class LockEvent
    {
        Waiting,
        Taken,
        NotTaken
    };
    using LockObserver = std::function<void(LockEvent event, const QString &message)>;

    // Longest domain name, in UTF-8 bytes, that leaves room in a file name (255 bytes) for ".plist" and
    // the ".XXXXXX" of the temporary file that replaces an existing domain file.
    static constexpr int kMaxNameBytes = 242;

    explicit TRDefaultsStore(const QString &folder);

    // The shared store of this process (standardUserDefaults), on resolveFolder(). Tests may point it at
    // another folder with setStandardFolder() before first use, or through TAMRIX_DEFAULTS_DIR.
    static TRDefaultsStore &standard();
    static void setStandardFolder(const QString &folder);
    // TAMRIX_DEFAULTS_DIR when set and not empty; otherwise the folder GNUstep base resolves.
    static QString resolveFolder();

    // Empty, "/" or NUL inside, "." or "..", or longer than the file system takes: refused with a message.
    static bool isValidDomainName(const QString &name, QString *error = nullptr);

    QString folder() const;
    // The file that holds (or would hold) the domain.
    QString filePathForName(const QString &name) const;

    // The five operations.
    QStringList persistentDomainNames();
    // The domain's top-level dictionary, or none when the store has no such domain.
    TRValue persistentDomainForName(const QString &name);
    // The number of the domain's top-level keys; 0 when the store has no such domain or cannot read it.
    // Listing the domains has counted them, so an unchanged file is not read again.
    int persistentDomainKeyCount(const QString &name);
    bool setPersistentDomain(const TRValue &dictionary, const QString &name, QString *error = nullptr);
    bool removePersistentDomainForName(const QString &name, QString *error = nullptr);
    bool synchronize(QString *error = nullptr);

    // What reading a domain found: its dictionary (none when the file is absent or unreadable), the
    // identity of the file the dictionary came from, and why an existing file could not be read. A
    // dictionary read is always within the expansion bound (TRPropertyList::fitsExpansionBound): files
    // beyond it are unreadable.
    struct DomainRead
    {
        TRValue dictionary;
        TRFileIdentity identity;
        bool unreadable = false;
        QString reason;
    };
    DomainRead readPersistentDomain(const QString &name);
    // The identity of the domain's file as it stands now.
    TRFileIdentity fileIdentity(const QString &name) const;

    enum class WriteResult
    {
        Written,
        Failed,
        ChangedOnDisk
    };
    // setPersistentDomain that, given the identity of the file the caller's copy is to replace, writes
    // nothing (ChangedOnDisk) when the file is no longer that one. The check runs under the lock, right
    // before the write, so that no other writer slips in between. Tells the identity of the file written.
    // The history takes the version written as made by the source (TRDomainHistory::kTamrix when empty).
    WriteResult writePersistentDomain(const TRValue &dictionary, const QString &name,
                                      const TRFileIdentity *expected, TRFileIdentity *written,
                                      QString *error = nullptr, const QString &historySource = QString());

    // Reads the domain (none when absent or unreadable), lets the change make its new contents and
    // writes them, all under one hold of the lock, so that a concurrent GNUstep writer loses nothing.
    // A change that answers none or an empty dictionary removes the domain; one that answers the very
    // value it was given (the same object, or none for none) leaves the file as it is.
    bool updatePersistentDomain(const QString &name, const std::function<TRValue(const TRValue &)> &change,
                                QString *error = nullptr);

    // Told about waits for the lock and about changes made without it (see LockEvent).
    void setLockObserver(LockObserver observer);

    // The history of the domains, none by default. With one, every write and removal keeps the version
    // it replaces (read from the file only when the history does not hold it yet) and then the version it
    // leaves, all under the lock. A history that cannot be written never stops the write: the observer is
    // told why, and the write goes on.
    using HistoryObserver = std::function<void(const QString &message)>;
    void setHistory(std::shared_ptr<TRDomainHistory> history, HistoryObserver observer = {});
    TRDomainHistory *history() const { return m_history.get(); }
    // Keeps a version that a read found (another program's write that Tamrix follows), unless the history
    // holds it; a failure goes to the observer.
    void keepInHistory(const QString &name, const TRValue &contents, const TRFileIdentity &file,
                       const QString &source);
    // Keeps the domain's file as it stands, unless the history holds it (checked without reading it).
    void keepFileInHistory(const QString &name);

    // The files met by the last persistentDomainNames() or read that could not be read.
    QList<UnreadableFile> unreadableFiles() const;

private:
    // What one domain file held when it was last read, and the file's identity then.
    struct CachedFile
    {
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = 0;
        timespec mtime{};
        mode_t mode = 0;
        bool readable = false;
        TRValue dictionary; // the parsed contents until a reader takes them
        int format = -1;    // TRPropertyList::Format of a readable file
        int keyCount = 0;   // top-level keys of a readable file
        QString reason;     // why it could not be read
    };
    // NotAFile: a device, pipe, socket or folder under the name, never opened, written or set aside.
    enum class Lookup
    {
        Absent,
        Readable,
        Unreadable,
        NotAFile
    };

    // Write and remove with the lock already held.
    bool writeLocked(const TRValue &dictionary, const QString &name, QString *error,
                     const QString &historySource);
    // Before a write or a removal: the file's version into the history unless it holds it already.
    void keepReplacedVersion(const QString &name, const QString &path);
    bool removeLocked(const QString &name, QString *error);
    // What looking at a domain file found, and what it means for the cache.
    struct Inspection
    {
        Lookup lookup = Lookup::Absent;
        CachedFile file;
        enum class Cache
        {
            Keep,
            Remove,
            Store
        } cache = Cache::Keep;
    };
    // Reads the file at the path (following links), from the cache when the file is unchanged. Without
    // needValue the file is only checked and its keys counted, and a cached entry whose contents were
    // handed out answers readability, format and count.
    Lookup readDomainFile(const QString &path, CachedFile *result, bool needValue);
    // The reading alone: changes nothing, so several files can be inspected at once.
    Inspection inspectDomainFile(const QString &path, bool needValue) const;
    // Brings the cache and the unreadable files up to date with an inspection.
    Lookup settleInspection(const QString &path, const Inspection &inspection, CachedFile *result);
    void noteUnreadable(const QString &path, const QString &reason, const QString &setAsideAs = QString());
    // Tells the observer how taking the lock went.
    TRDefaultsLock::Waiting lockWaiting() const;
    void reportLock(const TRDefaultsLock &lock) const;
    // Moves an unreadable domain file out of the way of a write or a removal.
    bool setAside(const QString &path, const QString &reason, QString *error);

    QString m_folder;
    QList<UnreadableFile> m_unreadable;
    QHash<QString, CachedFile> m_cache;
    LockObserver m_lockObserver;
    std::shared_ptr<TRDomainHistory> m_history;
    HistoryObserver m_historyObserver;
};
