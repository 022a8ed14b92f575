// Exchange files against plain binary property lists of the same tree: time (Google Benchmark) and, with
// --peak OPERATION KEYS, the peak memory one operation adds.
#include "archive/TRKeyedArchiver.h"
#include "archive/TRKeyedUnarchiver.h"
#include "plist/TRPropertyList.h"

#include <QFile>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

// A domain of about `keys` nodes: groups of 100 (a dictionary and 99 leaves of every kind).
TRArchiveContents makeDomain(int keys)
{
    const QString name = QStringLiteral("com.example.Bench");
    TRDictionary top;
    const int groups = std::max(1, keys / 100);
    for (int g = 0; g < groups; ++g) {
        TRDictionary group;
        for (int i = 0; i < 99; ++i) {
            const QString key = QStringLiteral("key%1").arg(i);
            TRValue value;
            switch (i % 6) {
            case 0: value = TRValue::fromString(QStringLiteral("value %1 of group %2").arg(i).arg(g)); break;
            case 1: value = TRValue::fromInteger(qint64(g) * 1000 + i); break;
            case 2: value = TRValue::fromReal(g + i / 7.0); break;
            case 3: value = TRValue::fromBool(i % 4 == 3); break;
            case 4: value = TRValue::fromDate(600000000.0 + g * 60 + i); break;
            default: value = TRValue::fromData(QByteArray::number(g * 977 + i, 16)); break;
            }
            group.insert(key, value);
        }
        top.insert(QStringLiteral("group%1").arg(g), TRValue::fromDictionary(std::move(group)));
    }
    TRArchiveContents contents;
    contents.domains.push_back(std::make_shared<TRDomainController>(
        name, TRKey::create(TRValue(), TRValue::fromDictionary(std::move(top)), nullptr, name)));
    return contents;
}

QByteArray exportDomain(const TRArchiveContents &contents)
{
    QByteArray bytes;
    TRKeyedArchiver::archivedData(contents, &bytes);
    return bytes;
}

TRArchiveContents importDomain(const QByteArray &bytes)
{
    TRArchiveContents contents;
    TRKeyedUnarchiver::unarchiveObjectWithData(bytes, &contents);
    return contents;
}

QByteArray writePlist(const TRArchiveContents &contents)
{
    QByteArray bytes;
    TRPropertyList::writeBinary(contents.domains.front()->databaseRepresentation(), &bytes);
    return bytes;
}

TRKeyPtr readPlist(const QByteArray &bytes)
{
    TRValue value;
    TRPropertyList::read(bytes, &value);
    return TRKey::create(TRValue(), value, nullptr, QStringLiteral("com.example.Bench"));
}

void BM_ArchiveExport(benchmark::State &state)
{
    const TRArchiveContents contents = makeDomain(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(exportDomain(contents));
    state.SetComplexityN(state.range(0));
}

void BM_ArchiveImport(benchmark::State &state)
{
    const QByteArray bytes = exportDomain(makeDomain(int(state.range(0))));
    for (auto _ : state)
        benchmark::DoNotOptimize(importDomain(bytes));
    state.counters["bytes"] = double(bytes.size());
    state.SetComplexityN(state.range(0));
}

// The export's first half: the archive's property list, before it becomes bytes.
void BM_ArchiveGraph(benchmark::State &state)
{
    const TRArchiveContents contents = makeDomain(int(state.range(0)));
    for (auto _ : state) {
        TRValue archive;
        TRKeyedArchiver::archivedPropertyList(contents, &archive);
        benchmark::DoNotOptimize(archive);
    }
    state.SetComplexityN(state.range(0));
}

void BM_PlistWrite(benchmark::State &state)
{
    const TRArchiveContents contents = makeDomain(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(writePlist(contents));
    state.SetComplexityN(state.range(0));
}

void BM_PlistRead(benchmark::State &state)
{
    const QByteArray bytes = writePlist(makeDomain(int(state.range(0))));
    for (auto _ : state)
        benchmark::DoNotOptimize(readPlist(bytes));
    state.counters["bytes"] = double(bytes.size());
    state.SetComplexityN(state.range(0));
}

void sizes(benchmark::internal::Benchmark *bench)
{
    bench->Arg(10000)->Arg(100000)->Arg(200000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);
}

BENCHMARK(BM_ArchiveExport)->Apply(sizes);
BENCHMARK(BM_ArchiveImport)->Apply(sizes);
BENCHMARK(BM_ArchiveGraph)->Apply(sizes);
BENCHMARK(BM_PlistWrite)->Apply(sizes);
BENCHMARK(BM_PlistRead)->Apply(sizes);

long statusKiB(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qsizetype(std::strlen(field))).trimmed().split(' ').first().toLong();
    }
    return -1;
}

// Peak resident memory that one operation adds above what its input already holds.
int measurePeak(const std::string &operation, int keys)
{
    TRArchiveContents contents;
    QByteArray bytes;
    if (operation == "export" || operation == "plist-write")
        contents = makeDomain(keys);
    else if (operation == "import")
        bytes = exportDomain(makeDomain(keys));
    else if (operation == "plist-read")
        bytes = writePlist(makeDomain(keys));
    else
        return 64;
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (!clear.open(QIODevice::WriteOnly) || clear.write("5") != 1) {
        std::fputs("cannot reset the peak (needs /proc/self/clear_refs)\n", stderr);
        return 1;
    }
    clear.close();
    const long before = statusKiB("VmRSS:");
    if (operation == "export")
        benchmark::DoNotOptimize(exportDomain(contents));
    else if (operation == "plist-write")
        benchmark::DoNotOptimize(writePlist(contents));
    else if (operation == "import")
        benchmark::DoNotOptimize(importDomain(bytes));
    else
        benchmark::DoNotOptimize(readPlist(bytes));
    const long peak = statusKiB("VmHWM:");
    std::printf("%s %d keys: input %ld KiB resident, peak +%ld KiB, file %lld bytes\n", operation.c_str(), keys,
                before, peak - before, static_cast<long long>(bytes.size()));
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 4 && std::strcmp(argv[1], "--peak") == 0)
        return measurePeak(argv[2], std::atoi(argv[3]));
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
