// tamrix-tool: the command-line companion of the editor, for property lists, the store and archives.
#include "Commands.h"

#include <QCoreApplication>

#include <cstdio>

namespace {

void printUsage()
{
    std::fputs("usage: tamrix-tool plist|store|archive COMMAND ...\n"
               "  tamrix-tool plist dump FILE\n"
               "  tamrix-tool plist convert IN OUT --format xml|binary\n"
               "  tamrix-tool plist check FILE\n"
               "  tamrix-tool store dir | names [--json] | read NAME | write NAME FILE | remove NAME\n"
               "  tamrix-tool archive read FILE\n"
               "  tamrix-tool archive write DESCRIPTION.json OUT\n",
               stderr);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    // Names and paths are UTF-8 text: bytes that are not would reach the store as U+FFFD, naming
    // something else than was meant.
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        if (QString::fromUtf8(argument).toUtf8() != argument) {
            std::fprintf(stderr, "tamrix-tool: argument %d is not valid UTF-8 text\n", i);
            return 1;
        }
    }
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    if (arguments.isEmpty()) {
        printUsage();
        return 1;
    }
    const QString group = arguments.takeFirst();
    if (group == QLatin1String("plist"))
        return plistCommand(arguments);
    if (group == QLatin1String("store"))
        return storeCommand(arguments);
    if (group == QLatin1String("archive"))
        return archiveCommand(arguments);
    printUsage();
    return 1;
}
