// tamrix-tool archive: reads an exchange file into its dump, or writes one from an archive description.
#include "Commands.h"
#include "TRText.h"
#include "archive/TRArchiveDescription.h"
#include "archive/TRArchiveDump.h"
#include "archive/TRKeyedArchiver.h"
#include "archive/TRKeyedUnarchiver.h"

#include <QFile>
#include <cstdio>

namespace {

void printError(const QString &message)
{
    std::fprintf(stderr, "tamrix-tool archive: %s\n", message.toLocal8Bit().constData());
}

int usage()
{
    std::fputs(
        "usage: tamrix-tool archive read FILE\n"
        "       tamrix-tool archive write DESCRIPTION.json OUT\n"
        "read prints the archive dump of an exchange file (exit 1: unreadable, 2: root of the wrong kind);\n"
        "write writes the domain or domain list that an archive description gives.\n",
        stderr);
    return kExitUsage;
}

int readArchive(const QString &path)
{
    TRArchiveContents contents;
    QString error;
    TRKeyedUnarchiver::Failure failure = TRKeyedUnarchiver::Failure::None;
    if (!TRKeyedUnarchiver::unarchiveObjectWithFile(path, &contents, &error, &failure)) {
        printError(error);
        return failure == TRKeyedUnarchiver::Failure::WrongRoot ? 2 : 1;
    }
    const QByteArray dump = TRArchiveDump::dump(contents);
    std::fwrite(dump.constData(), 1, std::size_t(dump.size()), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

int writeArchive(const QString &descriptionPath, const QString &outPath)
{
    QFile description(descriptionPath);
    if (!description.open(QIODevice::ReadOnly)) {
        printError(trFormat(trText("Cannot read %@: %@"), {descriptionPath, description.errorString()}));
        return 1;
    }
    TRArchiveContents contents;
    QString error;
    if (!TRArchiveDescription::read(description.readAll(), &contents, &error) ||
        !TRKeyedArchiver::archiveRootObject(contents, outPath, &error)) {
        printError(error);
        return 1;
    }
    return 0;
}

} // namespace

int archiveCommand(const QStringList &args)
{
    if (args.size() == 2 && args.at(0) == QLatin1String("read"))
        return readArchive(args.at(1));
    if (args.size() == 3 && args.at(0) == QLatin1String("write"))
        return writeArchive(args.at(1), args.at(2));
    return usage();
}
