#pragma once

#include "TRValue.h"

#include <QList>
#include <QString>
#include <QStringList>

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

    // The five operations.
    QStringList persistentDomainNames();
    // The domain's top-level dictionary, or none when the store has no such domain.
    TRValue persistentDomainForName(const QString &name);
    bool setPersistentDomain(const TRValue &dictionary, const QString &name, QString *error = nullptr);
    bool removePersistentDomainForName(const QString &name, QString *error = nullptr);
    bool synchronize(QString *error = nullptr);

    // The files met by the last persistentDomainNames() or read that could not be read.
    QList<UnreadableFile> unreadableFiles() const;

private:
    QString m_folder;
    QList<UnreadableFile> m_unreadable;
};
