// tamrix-bench-loadstore DIR parse|store|load: one pass over a store, for peak-memory measurements.
//   parse: reads and parses every domain file with the codec alone, keeping every value.
//   store: lists the store and reads every domain through it, keeping every value (no key trees).
//   load:  what start-up does: lists the store and makes a domain controller for every domain.
//   trees: as load, and builds every controller's key tree as if every domain were opened.
#include "TRDomainController.h"
#include "plist/TRPropertyList.h"
#include "store/TRDefaultsStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <cstdio>
#include <memory>
#include <vector>

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const QStringList modes{QStringLiteral("parse"), QStringLiteral("store"), QStringLiteral("load"),
                            QStringLiteral("trees")};
    if (args.size() != 3 || !modes.contains(args.at(2))) {
        std::fputs("usage: tamrix-bench-loadstore DIR parse|store|load|trees\n", stderr);
        return 1;
    }
    const QString folder = args.at(1);
    QElapsedTimer timer;
    timer.start();
    qint64 keys = 0;
    std::vector<TRValue> values;
    std::vector<std::unique_ptr<TRDomainController>> domains;
    if (args.at(2) == QLatin1String("parse")) {
        const QStringList files =
            QDir(folder).entryList({QStringLiteral("*.plist")}, QDir::Files, QDir::Name);
        for (const QString &name : files) {
            QFile file(QDir(folder).filePath(name));
            TRValue value;
            if (!file.open(QIODevice::ReadOnly) || !TRPropertyList::read(file.readAll(), &value))
                return 1;
            keys += value.toDictionary().size();
            values.push_back(std::move(value));
        }
    } else if (args.at(2) == QLatin1String("store")) {
        TRDefaultsStore store(folder);
        for (const QString &name : store.persistentDomainNames()) {
            values.push_back(store.persistentDomainForName(name));
            keys += values.back().toDictionary().size();
        }
    } else {
        TRDefaultsStore::setStandardFolder(folder);
        for (const QString &name : TRDefaultsStore::standard().persistentDomainNames()) {
            domains.push_back(std::make_unique<TRDomainController>(name));
            if (args.at(2) == QLatin1String("trees"))
                domains.back()->rootKey();
            keys += domains.back()->count();
        }
    }
    std::printf("%s: %zu domains, %lld top-level keys, %lld ms\n", args.at(2).toUtf8().constData(),
                values.size() + domains.size(), static_cast<long long>(keys),
                static_cast<long long>(timer.elapsed()));
    return 0;
}
