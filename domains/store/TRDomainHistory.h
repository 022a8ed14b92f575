#pragma once

#include "TRFileIdentity.h"
#include "TRValue.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <utility>

// The versions each domain's file had, kept outside the defaults folder: one folder per domain, one
// binary property list per version, named by its sequence number, each with its time, its source (who
// made it) and the identity of the domain file that held it. The oldest version is kept whole; each later
// one holds only the top-level keys that differ from the version before (set and removed keys, and the
// key order when it cannot be told from them), and is kept whole again only when the differences since
// the last whole one would outweigh it. So a hundred versions of a large domain that change a key each
// cost about one copy of it. Every file is written atomically; a file that cannot be read is reported by
// name and leaves the other versions readable, except those built on it.
class TRDomainHistory final
{
public:
    // What a version's source says: who made it.
    static constexpr const char *kTamrix = "Tamrix";
    static constexpr const char *kAnotherProgram = "another program";
    static constexpr const char *kImport = "import";
    static constexpr const char *kRestore = "restore";
    // The domain was removed: a version with no keys.
    static constexpr const char *kDeleted = "deleted";

    // Whichever bound is reached first drops the oldest versions.
    struct Limits
    {
        int versionsPerDomain = 100;
        int daysPerDomain = 30;
        qint64 bytesInAll = 200LL * 1024 * 1024;

        bool operator==(const Limits &) const = default;
    };

    struct Version
    {
        // The sequence number: larger is newer.
        qint64 id = 0;
        QDateTime time; // UTC
        QString source;
        int keyCount = 0;
        // Against the version before it (every key added for the first).
        int added = 0;
        int removed = 0;
        int changed = 0;
        // Why the version cannot be rebuilt (an unreadable version it is built on); empty when it can.
        QString problem;
    };

    struct Unreadable
    {
        QString fileName;
        QString reason;
    };

    // The default limits.
    explicit TRDomainHistory(QString folder);
    TRDomainHistory(QString folder, Limits limits);

    // TAMRIX_HISTORY_DIR, else $XDG_STATE_HOME/tamrix/history, else ~/.local/state/tamrix/history.
    static QString defaultFolder();

    const QString &folder() const { return m_folder; }
    const Limits &limits() const { return m_limits; }
    void setLimits(const Limits &limits) { m_limits = limits; }

    // Keeps the contents (a dictionary) as the domain's newest version, made by the source and held by
    // the domain file of the identity given, unless the newest kept is the same; then drops what the
    // bounds no longer allow, measured from the time given. Answers false with the reason when the version
    // could not be written (nothing else is then changed).
    bool record(const QString &domain, const TRValue &contents, const QString &source,
                QString *error = nullptr, const QDateTime &time = QDateTime::currentDateTimeUtc(),
                const TRFileIdentity &file = TRFileIdentity());
    // Whether the newest version kept is what the domain file of that identity holds, so that keeping
    // it needs no reading of the file.
    bool holdsFile(const QString &domain, const TRFileIdentity &file) const;
    // What the domain file of that identity holds, as its writer has just read it: when the newest version
    // kept is that file's, the next record() takes these contents for it rather than rebuilding them
    // from the whole version and the differences after it.
    void expectContents(const QString &domain, const TRFileIdentity &file, const TRValue &contents);
    // The newest version's id (a listing of the folder, no reading); 0 with none.
    qint64 newestId(const QString &domain) const;
    // The newest version's contents; false when the history has none it can read.
    bool newestContents(const QString &domain, TRValue *value) const;
    // Newest first; files that cannot be read are left out and listed in unreadable.
    QList<Version> versions(const QString &domain, QList<Unreadable> *unreadable = nullptr) const;
    // The version's contents, rebuilt from the whole version it is built on.
    bool contents(const QString &domain, qint64 id, TRValue *value, QString *error = nullptr) const;
    // The names of the domains with a history.
    QStringList domains() const;

private:
    // The newest version of a domain as this history last wrote or rebuilt it, so that the next one is
    // told apart without reading the files again.
    struct Newest
    {
        qint64 id = 0;
        TRValue contents;
        TRFileIdentity file;
        // The size of the last whole version, and of the differences written after it.
        qint64 wholeBytes = 0;
        qint64 differenceBytes = 0;
        // The files it is rebuilt from, the whole one first, as they were: one changed since (damaged or
        // replaced by another writer) means the cache no longer holds.
        QList<std::pair<qint64, TRFileIdentity>> files;
    };

    QString domainFolder(const QString &domain) const;
    QString fileFor(const QString &domain, qint64 id) const;
    QString droppedFileFor(const QString &domain, qint64 id) const;
    // The file of a kept version, else of a dropped one.
    QString existingFileFor(const QString &domain, qint64 id) const;
    // The ids kept for the domain, oldest first; with dropped, those dropped but still built on.
    QList<qint64> ids(const QString &domain, bool dropped = false) const;
    bool readFile(const QString &path, TRDictionary *record, QString *error) const;
    bool writeFile(const QString &domain, qint64 id, const TRValue &record, qint64 *size, QString *error);
    bool rebuild(const QString &domain, qint64 id, TRValue *value, QString *error, Newest *chain) const;
    // The contents from the whole version (records' first, version all[at]) and the differences after it.
    bool rebuildFrom(const QList<TRDictionary> &records, const QString &domain, const QList<qint64> &all,
                     qsizetype at, TRValue *value, QString *error) const;
    // The newest version kept, from the cache when nothing else has written to the history since.
    bool newest(const QString &domain, Newest *found) const;
    QDateTime oldestTime(const QString &domain) const;
    // Drops the oldest version. Its file stays, set aside, while the versions after it are built on it
    // and fewer than ten are set aside; otherwise the one after it becomes whole first, unless it is.
    bool dropOldest(const QString &domain, bool freeSpace);
    void applyLimits(const QString &domain, const QDateTime &now);
    void removeDropped(const QString &domain);

    QString m_folder;
    Limits m_limits;
    // The size of every version file, counted on first need and kept up to date after; -1 before.
    qint64 m_bytes = -1;
    mutable QHash<QString, Newest> m_newest;
    struct Expected
    {
        QString domain;
        TRFileIdentity file;
        TRValue contents;
    };
    Expected m_expected;
};
