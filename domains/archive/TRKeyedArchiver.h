#pragma once

#include "TRArchiveContents.h"

#include <QByteArray>
#include <QString>

// Writes domains as a keyed archive in the layout both platforms' keyed archivers read: a binary property
// list {$archiver, $version, $top: {root: UID}, $objects}, with one record per object in $objects, linked
// by UIDs; values coded without keys are stored under "$0", "$1", ... in their object's record.
class TRKeyedArchiver final
{
public:
    // archiveRootObject:toFile: replaces the file atomically. On failure the file is left as it was.
    static bool archiveRootObject(const TRArchiveContents &contents, const QString &path,
                                  QString *error = nullptr);
    // The archive's bytes, written straight from the tree by TRBinaryArchiveWriter.
    static bool archivedData(const TRArchiveContents &contents, QByteArray *bytes, QString *error = nullptr);
};
