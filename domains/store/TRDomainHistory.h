#pragma once

#include "TRValue.h"

#include <QDateTime>
#include <QList>
#include <QString>

// The versions each domain had, kept outside the defaults folder: one folder per domain, one binary
// property list per version, named by its sequence number. A version is kept whole when it is the first
// kept or ten versions have passed since the last whole one; the others hold only the top-level keys that
// differ from the version before (set and removed keys, and the key order when it cannot be told), so a
// hundred versions of a large domain that change a key each cost about one copy of it. Every file is
// written atomically; a file that cannot be read is reported by name and leaves the other versions
// readable, except those built on it.
class TRDomainHistory final
{
public:
    // What a version's source says.
    static constexpr const char *kTamrix = "Tamrix";
    static constexpr const char *kAnotherProgram = "another program";
    static constexpr const char *kImport = "import";
    static constexpr const char *kRestore = "restore";
    static constexpr const char *kDeleted = "deleted";

    // Whichever bound is reached first drops the oldest versions.
    struct Limits
    {
        int versionsPerDomain = 100;
        int daysPerDomain = 30;
        qint64 bytesInAll = 200LL * 1024 * 1024;
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

    // Keeps the contents (a dictionary) as the domain's newest version, unless the newest kept is the
    // same; then drops what the bounds no longer allow, measured from the time given. Answers false with
    // the reason when the version could not be written (nothing else is then changed).
    bool record(const QString &domain, const TRValue &contents, const QString &source,
                QString *error = nullptr, const QDateTime &time = QDateTime::currentDateTimeUtc());
    // Newest first; files that cannot be read are left out and listed in unreadable.
    QList<Version> versions(const QString &domain, QList<Unreadable> *unreadable = nullptr) const;
    // The version's contents, rebuilt from the whole version it is built on.
    bool contents(const QString &domain, qint64 id, TRValue *value, QString *error = nullptr) const;

private:
    QString domainFolder(const QString &domain) const;
    QString fileFor(const QString &domain, qint64 id) const;
    // The ids kept for the domain, oldest first.
    QList<qint64> ids(const QString &domain) const;
    bool readFile(const QString &domain, qint64 id, TRDictionary *record, QString *error) const;
    bool writeFile(const QString &domain, qint64 id, const TRValue &record, QString *error);
    // contents(), answering also how many files it read (the whole version and the differences after).
    bool rebuild(const QString &domain, qint64 id, TRValue *value, QString *error, int *length) const;
    QDateTime oldestTime(const QString &domain) const;
    // Drops the oldest version; the one after it becomes whole first when it was built on it.
    bool dropOldest(const QString &domain, QString *error);
    void applyLimits(const QString &domain, const QDateTime &now);

    QString m_folder;
    Limits m_limits;
    // The size of every version file, counted on first need and kept up to date after; -1 before.
    qint64 m_bytes = -1;
};
