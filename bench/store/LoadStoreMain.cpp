// tamrix-bench-loadstore DIR parse|load: one pass over a store, for peak-memory measurements.
//   parse: reads and parses every domain file with the codec alone, keeping every value.
//   load:  what start-up does: lists the store and builds a domain controller for every domain.
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
    if (args.size() != 3 || (args.at(2) != QLatin1String("parse") && args.at(2) != QLatin1String("load"))) {
        std::fputs("usage: tamrix-bench-loadstore DIR parse|load\n", stderr);
        return 1;
    }
    const QString folder = args.at(1);
    QElapsedTimer timer;
    timer.start();
    qint64 keys = 0;
    std::vector<TRValue> values;
    std::vector<std::unique_ptr<TRDomainController>> domains;
    if (args.at(2) == QLatin1String("parse")) {
        const QStringList files = QDir(folder).entryList({QStringLiteral("*.plist")}, QDir::Files, QDir::Name);
        for (const QString &name : files) {
            QFile file(QDir(folder).filePath(name));
            TRValue value;
            if (!file.open(QIODevice::ReadOnly) || !TRPropertyList::read(file.readAll(), &value))
                return 1;
            keys += value.toDictionary().size();
            values.push_back(std::move(value));
        }
    } else {
        TRDefaultsStore::setStandardFolder(folder);
        for (const QString &name : TRDefaultsStore::standard().persistentDomainNames()) {
            domains.push_back(std::make_unique<TRDomainController>(name, nullptr));
            keys += domains.back()->count();
        }
    }
    std::printf("%s: %zu domains, %lld top-level keys, %lld ms\n", args.at(2).toUtf8().constData(),
                values.size() + domains.size(), static_cast<long long>(keys),
                static_cast<long long>(timer.elapsed()));
    return 0;
}
