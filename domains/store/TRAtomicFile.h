#pragma once

#include <QByteArray>
#include <QString>

// Replaces a file atomically and durably: the contents go to a temporary file beside it, every write and
// the flush to disk are checked, and only then does the temporary file take the old one's name and the
// folder get flushed. A full disk or a power cut leaves the old file or the new one, never a part.
class TRAtomicFile final
{
public:
    // Writes the bytes to the path. A mode of -1 keeps the old file's permissions (a new file gets the
    // default ones). On failure answers false with the reason, and the old file is as it was, unless the
    // reason says that only the flush of the folder failed.
    static bool write(const QString &path, const QByteArray &bytes, int mode, QString *reason);
    // Flushes a folder's entries to disk, so that a rename in it survives a power cut.
    static bool syncFolder(const QString &folder, QString *reason);
};
