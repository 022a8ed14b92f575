// Exchange files against plain binary property lists of the same tree: time (Google Benchmark) and, with
// --peak OPERATION KEYS, the peak memory one operation adds.
#include "ArchiveGraphWriter.h"
#include "archive/TRKeyedArchiver.h"
#include "archive/TRKeyedUnarchiver.h"
#include "plist/TRPropertyList.h"

#include <atomic>
#include <benchmark/benchmark.h>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <malloc.h>
#include <string>

namespace {

std::atomic<long long> heapLive{0};
std::atomic<long long> heapPeak{0};

void countHeap(long long change)
{
    const long long live = heapLive.fetch_add(change) + change;
    long long peak = heapPeak.load();
    while (live > peak && !heapPeak.compare_exchange_weak(peak, live)) {
    }
}

} // namespace

// The allocator, counted: glibc's own functions do the work.
extern "C" {
void *__libc_malloc(size_t size);
void *__libc_calloc(size_t count, size_t size);
void *__libc_realloc(void *pointer, size_t size);
void *__libc_memalign(size_t alignment, size_t size);
void __libc_free(void *pointer);

void *malloc(size_t size) noexcept
{
    void *pointer = __libc_malloc(size);
    if (pointer)
        countHeap(static_cast<long long>(malloc_usable_size(pointer)));
    return pointer;
}

void *calloc(size_t count, size_t size) noexcept
{
    void *pointer = __libc_calloc(count, size);
    if (pointer)
        countHeap(static_cast<long long>(malloc_usable_size(pointer)));
    return pointer;
}

void *realloc(void *pointer, size_t size) noexcept
{
    const long long old = pointer ? static_cast<long long>(malloc_usable_size(pointer)) : 0;
    void *moved = __libc_realloc(pointer, size);
    if (moved)
        countHeap(static_cast<long long>(malloc_usable_size(moved)) - old);
    else if (size == 0)
        countHeap(-old);
    return moved;
}

void *memalign(size_t alignment, size_t size) noexcept
{
    void *pointer = __libc_memalign(alignment, size);
    if (pointer)
        countHeap(static_cast<long long>(malloc_usable_size(pointer)));
    return pointer;
}

void *aligned_alloc(size_t alignment, size_t size) noexcept
{
    return memalign(alignment, size);
}

int posix_memalign(void **result, size_t alignment, size_t size) noexcept
{
    *result = memalign(alignment, size);
    return *result ? 0 : ENOMEM;
}

void free(void *pointer) noexcept
{
    if (pointer)
        countHeap(-static_cast<long long>(malloc_usable_size(pointer)));
    __libc_free(pointer);
}
}

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
            case 0:
                value = TRValue::fromString(QStringLiteral("value %1 of group %2").arg(i).arg(g));
                break;
            case 1:
                value = TRValue::fromInteger(qint64(g) * 1000 + i);
                break;
            case 2:
                value = TRValue::fromReal(g + i / 7.0);
                break;
            case 3:
                value = TRValue::fromBool(i % 4 == 3);
                break;
            case 4:
                value = TRValue::fromDate(600000000.0 + g * 60 + i);
                break;
            default:
                value = TRValue::fromData(QByteArray::number(g * 977 + i, 16));
                break;
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

// The archive as a value graph (the tests' ArchiveGraphWriter), the form export used to build before
// writing it; export now writes the bytes straight from the tree.
void BM_ArchiveGraph(benchmark::State &state)
{
    const TRArchiveContents contents = makeDomain(int(state.range(0)));
    for (auto _ : state) {
        TRValue archive;
        ArchiveGraphWriter::write(contents, &archive);
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
    bench->Arg(10000)
        ->Arg(100000)
        ->Arg(200000)
        ->Arg(1000000)
        ->Unit(benchmark::kMillisecond)
        ->Complexity(benchmark::oN);
}

BENCHMARK(BM_ArchiveExport)->Apply(sizes);
BENCHMARK(BM_ArchiveImport)->Apply(sizes);
BENCHMARK(BM_ArchiveGraph)->Apply(sizes);
BENCHMARK(BM_PlistWrite)->Apply(sizes);
BENCHMARK(BM_PlistRead)->Apply(sizes);

// Peak heap that one operation adds above what its input already holds, counted by the allocator
// functions below (resident-set figures would hide the reuse of memory freed while the input was made).
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
    const long long before = heapLive.load();
    heapPeak.store(before);
    if (operation == "export")
        benchmark::DoNotOptimize(exportDomain(contents));
    else if (operation == "plist-write")
        benchmark::DoNotOptimize(writePlist(contents));
    else if (operation == "import")
        benchmark::DoNotOptimize(importDomain(bytes));
    else
        benchmark::DoNotOptimize(readPlist(bytes));
    std::printf("%s %d keys: input %.1f MiB on the heap, peak +%.1f MiB\n", operation.c_str(), keys,
                double(before) / 1048576.0, double(heapPeak.load() - before) / 1048576.0);
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
