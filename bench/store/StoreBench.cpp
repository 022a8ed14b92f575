// Loading the generated store into domain controllers against the bare codec parse of the same files, and
// the key outline's item model visiting every row of large domains.
#include "TRBenchStore.h"
#include "TRDomainController.h"
#include "TRKeyOutlineModel.h"
#include "plist/TRPropertyList.h"
#include "store/TRDefaultsStore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

// TAMRIX_BENCH_STORE names a store made with tamrix-bench-makestore; otherwise one is made once here.
QString storeFolder()
{
    static QTemporaryDir made;
    static const QString folder = [] {
        const QString given = qEnvironmentVariable("TAMRIX_BENCH_STORE");
        if (!given.isEmpty())
            return given;
        benchstore::Summary summary;
        QString error;
        if (!benchstore::makeStore(made.path(), &summary, &error)) {
            std::fprintf(stderr, "cannot make the store: %s\n", error.toUtf8().constData());
            std::exit(1);
        }
        return made.path();
    }();
    return folder;
}

void parseAllFiles(benchmark::State &state)
{
    const QString folder = storeFolder();
    const QStringList files = QDir(folder).entryList({QStringLiteral("*.plist")}, QDir::Files, QDir::Name);
    for (auto _ : state) {
        std::vector<TRValue> values;
        values.reserve(std::size_t(files.size()));
        for (const QString &name : files) {
            QFile file(QDir(folder).filePath(name));
            TRValue value;
            if (!file.open(QIODevice::ReadOnly) || !TRPropertyList::read(file.readAll(), &value))
                state.SkipWithError("unreadable file");
            values.push_back(std::move(value));
        }
        benchmark::DoNotOptimize(values.data());
    }
    state.counters["domains"] = double(files.size());
}

// state.range(0): 1 to build every key tree as well, as if every domain were opened.
void loadAllDomains(benchmark::State &state)
{
    const bool trees = state.range(0) != 0;
    TRDefaultsStore::setStandardFolder(storeFolder());
    TRDefaultsStore &store = TRDefaultsStore::standard();
    for (auto _ : state) {
        store.synchronize(); // as a reload does: the disk as it now stands
        std::vector<std::unique_ptr<TRDomainController>> domains;
        for (const QString &name : store.persistentDomainNames())
            domains.push_back(std::make_unique<TRDomainController>(name));
        if (trees) {
            for (const auto &domain : domains)
                benchmark::DoNotOptimize(domain->rootKey().get());
        }
        benchmark::DoNotOptimize(domains.data());
        state.counters["domains"] = double(domains.size());
    }
}

// What a view does for every row it shows: the index of each column, its data, and its parent.
qint64 visit(const TRKeyOutlineModel &model, const QModelIndex &parent)
{
    qint64 rows = 0;
    const int count = model.rowCount(parent);
    for (int row = 0; row < count; ++row) {
        for (int column = 0; column < TRKeyOutlineModel::ColumnCount; ++column) {
            const QModelIndex index = model.index(row, column, parent);
            benchmark::DoNotOptimize(model.data(index));
            benchmark::DoNotOptimize(model.parent(index));
        }
        ++rows;
        const QModelIndex first = model.index(row, 0, parent);
        if (model.hasChildren(first))
            rows += visit(model, first);
    }
    return rows;
}

void outlineVisit(benchmark::State &state)
{
    TRDomainController domain(QStringLiteral("bench"), benchstore::makeDomain(int(state.range(0)), 1u));
    const TRKeyOutlineModel *model = domain.outlineModel();
    qint64 rows = 0;
    for (auto _ : state)
        rows = visit(*model, QModelIndex());
    state.counters["rows"] = double(rows);
    state.SetComplexityN(rows);
}

} // namespace

BENCHMARK(parseAllFiles)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(loadAllDomains)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(outlineVisit)
    ->Arg(12500)
    ->Arg(25000)
    ->Arg(50000)
    ->Arg(100000)
    ->Arg(200000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

BENCHMARK_MAIN();
