// tamrix-tool store: the per-user defaults store from the command line.
#include "Commands.h"

#include "TRText.h"
#include "plist/TRPropertyList.h"
#include "store/TRDefaultsStore.h"

#include <QFile>

#include <cstdio>

namespace {

void printLine(FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stream);
    std::fputc('\n', stream);
}

int fail(const QString &message)
{
    printLine(stderr, QStringLiteral("tamrix-tool store: ") + message);
    return 1;
}

int usage()
{
    fail(trText("usage: store dir | names | read NAME | write NAME FILE | remove NAME"));
    return kExitUsage;
}

void reportUnreadable(const TRDefaultsStore &store)
{
    for (const TRDefaultsStore::UnreadableFile &file : store.unreadableFiles()) {
        QString line = trFormat(trText("cannot read %@: %@"), {file.fileName, file.reason});
        if (!file.setAsideAs.isEmpty())
            line += trFormat(trText(" (set aside as %@)"), {file.setAsideAs});
        printLine(stderr, QStringLiteral("tamrix-tool store: ") + line);
    }
}

int readDomain(TRDefaultsStore &store, const QString &name)
{
    QString error;
    if (!TRDefaultsStore::isValidDomainName(name, &error))
        return fail(error);
    const TRValue domain = store.persistentDomainForName(name);
    if (domain.isNone()) {
        reportUnreadable(store);
        return fail(trFormat(trText("no domain named %@ in %@"), {name, store.folder()}));
    }
    QByteArray xml;
    if (!TRPropertyList::writeXml(domain, &xml, &error)
        && !TRPropertyList::writeBinary(domain, &xml, &error))
        return fail(error);
    std::fwrite(xml.constData(), 1, std::size_t(xml.size()), stdout);
    return 0;
}

int writeDomain(TRDefaultsStore &store, const QString &name, const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return fail(trFormat(trText("cannot read %@: %@"), {fileName, file.errorString()}));
    TRValue value;
    QString error;
    if (!TRPropertyList::read(file.readAll(), &value, nullptr, &error))
        return fail(trFormat(trText("cannot read %@: %@"), {fileName, error}));
    if (!value.isDictionary())
        return fail(trFormat(trText("cannot read %@: the property list's root is not a dictionary"), {fileName}));
    if (!store.setPersistentDomain(value, name, &error)) {
        reportUnreadable(store);
        return fail(error);
    }
    reportUnreadable(store);
    return 0;
}

} // namespace

int storeCommand(const QStringList &args)
{
    if (args.isEmpty())
        return usage();
    TRDefaultsStore &store = TRDefaultsStore::standard();
    const QString &command = args.first();
    if (command == QLatin1String("dir") && args.size() == 1) {
        printLine(stdout, store.folder());
        return 0;
    }
    if (command == QLatin1String("names") && args.size() == 1) {
        for (const QString &name : store.persistentDomainNames())
            printLine(stdout, name);
        reportUnreadable(store);
        return 0;
    }
    if (command == QLatin1String("read") && args.size() == 2)
        return readDomain(store, args.at(1));
    if (command == QLatin1String("write") && args.size() == 3)
        return writeDomain(store, args.at(1), args.at(2));
    if (command == QLatin1String("remove") && args.size() == 2) {
        QString error;
        if (!store.removePersistentDomainForName(args.at(1), &error))
            return fail(error);
        reportUnreadable(store);
        return 0;
    }
    return usage();
}
