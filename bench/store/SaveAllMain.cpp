// tamrix-bench-saveall DIR: what Save All costs on a store, and how much of it is flushing the folder.
// Every domain of DIR is read once; then all of them are written back three times over:
//   store:    through the store (lock, format kept, atomic and durable write), as Save All does;
//   durable:  the file writes alone (temporary file, checked writes, fsync, rename, folder fsync);
//   no-sync:  the same without the folder fsync, as the store wrote before.
// Prints the wall and CPU time of each pass.
#include "plist/TRPropertyList.h"
#include "store/TRAtomicFile.h"
#include "store/TRDefaultsStore.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSaveFile>
#include <cstdio>
#include <ctime>
#include <functional>
#include <unistd.h>
#include <vector>

namespace {

double cpuSeconds()
{
    timespec now{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

bool writeWithoutFolderSync(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    return file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) && file.write(bytes) == bytes.size() &&
           file.flush() && ::fsync(file.handle()) == 0 && file.commit();
}

void measure(const char *label, const std::function<bool()> &pass)
{
    QElapsedTimer wall;
    wall.start();
    const double cpu = cpuSeconds();
    const bool ok = pass();
    std::printf("%-8s %s %8lld ms wall %8.0f ms CPU\n", label, ok ? "ok    " : "FAILED",
                static_cast<long long>(wall.elapsed()), (cpuSeconds() - cpu) * 1000);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 2) {
        std::fputs("usage: tamrix-bench-saveall DIR\n", stderr);
        return 1;
    }
    TRDefaultsStore store(args.at(1));
    const QStringList names = store.persistentDomainNames();
    std::vector<TRValue> domains;
    std::vector<QByteArray> files;
    for (const QString &name : names) {
        domains.push_back(store.persistentDomainForName(name));
        QByteArray bytes;
        if (!TRPropertyList::write(domains.back(), TRPropertyList::Format::Xml, &bytes) &&
            !TRPropertyList::writeBinary(domains.back(), &bytes))
            return 1;
        files.push_back(bytes);
    }
    std::printf("%lld domains\n", static_cast<long long>(names.size()));
    measure("store", [&] {
        for (std::size_t i = 0; i < domains.size(); ++i) {
            if (!store.setPersistentDomain(domains[i], names.at(qsizetype(i))))
                return false;
        }
        return true;
    });
    measure("durable", [&] {
        QString reason;
        for (std::size_t i = 0; i < files.size(); ++i) {
            if (!TRAtomicFile::write(store.filePathForName(names.at(qsizetype(i))), files[i], 0600, &reason))
                return false;
        }
        return true;
    });
    measure("no-sync", [&] {
        for (std::size_t i = 0; i < files.size(); ++i) {
            if (!writeWithoutFolderSync(store.filePathForName(names.at(qsizetype(i))), files[i]))
                return false;
        }
        return true;
    });
    return 0;
}
