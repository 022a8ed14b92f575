// tamrix-tool: the command-line companion of Tamrix (property lists, the defaults store, archives).
#include "Commands.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    const QString command = args.isEmpty() ? QString() : args.takeFirst();
    if (command == QLatin1String("plist"))
        return plistCommand(args);
    if (command == QLatin1String("store"))
        return storeCommand(args);
    if (command == QLatin1String("archive"))
        return archiveCommand(args);
    std::fputs("usage: tamrix-tool plist|store|archive ...\n", stderr);
    return 1;
}
