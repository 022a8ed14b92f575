#include "TRKeyedArchiver.h"

#include "TRBinaryArchiveWriter.h"
#include "TRText.h"
#include "store/TRAtomicFile.h"

bool TRKeyedArchiver::archivedData(const TRArchiveContents &contents, QByteArray *bytes, QString *error)
{
    return TRBinaryArchiveWriter::write(contents, bytes, error);
}

bool TRKeyedArchiver::archiveRootObject(const TRArchiveContents &contents, const QString &path,
                                        QString *error)
{
    QByteArray bytes;
    if (!archivedData(contents, &bytes, error))
        return false;
    QString reason;
    if (!TRAtomicFile::write(path, bytes, -1, &reason)) {
        if (error)
            *error = trFormat(trText("Cannot write %@: %@"), {path, reason});
        return false;
    }
    return true;
}
