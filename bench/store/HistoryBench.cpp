// The history's cost: a save of a large domain with the history on against off, the disk that a hundred
// one-key changes take, and opening a domain's history as the Changes panel does.
#include "TRBenchStore.h"
#include "TRValueChanges.h"
#include "plist/TRPropertyList.h"
#include "store/TRDefaultsStore.h"
#include "store/TRDomainHistory.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

const QString kName = QStringLiteral("org.bench.history");

// The domain with its first key set to the number.
TRValue withFirstKey(const TRValue &domain, qint64 number)
{
    TRDictionary changed = domain.toDictionary();
    changed.insert(changed.keyAt(0), TRValue::fromInteger(number));
    return TRValue::fromDictionary(std::move(changed));
}

qint64 folderBytes(const QString &folder)
{
    qint64 bytes = 0;
    for (const QFileInfo &file : QDir(folder).entryInfoList(QDir::Files))
        bytes += file.size();
    return bytes;
}

// state.range(0): keys; state.range(1): 1 with the history. Each save changes one key; the history
// already holds the version it replaces, as after the domain's first save.
void saveDomain(benchmark::State &state)
{
    QTemporaryDir dir;
    TRDefaultsStore store(dir.filePath(QStringLiteral("Defaults")));
    if (state.range(1) != 0)
        store.setHistory(std::make_shared<TRDomainHistory>(dir.filePath(QStringLiteral("history"))));
    TRValue domain = benchstore::makeDomain(int(state.range(0)), 7);
    store.setPersistentDomain(domain, kName);
    qint64 step = 0;
    for (auto _ : state) {
        state.PauseTiming();
        domain = withFirstKey(domain, ++step);
        state.ResumeTiming();
        if (!store.setPersistentDomain(domain, kName))
            state.SkipWithError("the write failed");
    }
}
BENCHMARK(saveDomain)->Args({200000, 0})->Args({200000, 1})->Unit(benchmark::kMillisecond)->UseRealTime();

// A hundred one-key changes of a 10,000-key domain: the history's bytes against the domain file's.
void historyDisk(benchmark::State &state)
{
    for (auto _ : state) {
        QTemporaryDir dir;
        TRDefaultsStore store(dir.filePath(QStringLiteral("Defaults")));
        store.setHistory(std::make_shared<TRDomainHistory>(dir.filePath(QStringLiteral("history"))));
        TRValue domain = benchstore::makeDomain(10000, 3);
        for (int step = 0; step < 100; ++step) {
            domain = withFirstKey(domain, step);
            store.setPersistentDomain(domain, kName);
        }
        const double file = double(QFileInfo(store.filePathForName(kName)).size());
        const double history = double(folderBytes(dir.filePath(QStringLiteral("history/")) + kName));
        state.counters["domain_file_bytes"] = file;
        state.counters["history_bytes"] = history;
        state.counters["history_over_file"] = history / file;
    }
}
BENCHMARK(historyDisk)->Iterations(1)->Unit(benchmark::kMillisecond);

// Opening the history of a domain with 100 versions (state.range(0) keys), in a fresh history as a new
// panel does: the list of versions, the newest two rebuilt and their key-level changes.
void openHistory(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("history"));
    {
        TRDomainHistory history(folder);
        TRValue domain = benchstore::makeDomain(int(state.range(0)), 5);
        for (int step = 0; step < 100; ++step) {
            domain = withFirstKey(domain, step);
            history.record(kName, domain, QStringLiteral("Tamrix"));
        }
    }
    for (auto _ : state) {
        const TRDomainHistory history(folder);
        const QList<TRDomainHistory::Version> versions = history.versions(kName);
        TRValue newest;
        TRValue before;
        if (versions.size() != 100 || !history.contents(kName, versions.at(0).id, &newest) ||
            !history.contents(kName, versions.at(1).id, &before))
            state.SkipWithError("the history is not whole");
        benchmark::DoNotOptimize(trValueChanges(before, newest).size());
    }
}
BENCHMARK(openHistory)->Arg(10000)->Arg(200000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
