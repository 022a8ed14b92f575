// Key tree costs per node: building from a property list, turning it back, and visiting every node by
// position, at 10^4, 10^5 and 10^6 keys.
#include "TRKey.h"

#include <benchmark/benchmark.h>

namespace {

// A preferences-like property list with about `keys` keys: top-level groups of dictionaries and arrays
// holding every leaf kind.
TRValue generate(int keys)
{
    TRDictionary top;
    int made = 0;
    for (int group = 0; made < keys; ++group) {
        TRDictionary entries;
        TRArray list;
        for (int i = 0; i < 20 && made < keys; ++i, ++made) {
            const QString key = QStringLiteral("key%1.%2").arg(group).arg(i);
            switch (i % 7) {
            case 0:
                entries.insert(key, TRValue::fromString(QStringLiteral("value %1").arg(made)));
                break;
            case 1:
                entries.insert(key, TRValue::fromInteger(made));
                break;
            case 2:
                entries.insert(key, TRValue::fromReal(made / 3.0));
                break;
            case 3:
                entries.insert(key, TRValue::fromBool(made % 2 == 0));
                break;
            case 4:
                entries.insert(key, TRValue::fromDate(made * 60.0));
                break;
            case 5:
                entries.insert(key, TRValue::fromData(QByteArray(16, char(made))));
                break;
            default:
                list.append(TRValue::fromInteger(made));
                break;
            }
        }
        entries.insert(QStringLiteral("list"), TRValue::fromArray(std::move(list)));
        top.insert(QStringLiteral("group%1").arg(group), TRValue::fromDictionary(std::move(entries)));
    }
    return TRValue::fromDictionary(std::move(top));
}

int countNodes(const TRKey &node)
{
    int nodes = 1;
    for (const TRKeyPtr &child : node.children())
        nodes += countNodes(*child);
    return nodes;
}

int visit(const TRKey &node)
{
    int visited = 1;
    const int count = node.count();
    for (int i = 0; i < count; ++i)
        visited += visit(*node.childAtIndex(i));
    return visited;
}

void BM_Build(benchmark::State &state)
{
    const TRValue contents = generate(int(state.range(0)));
    const QString domain = QStringLiteral("com.example.bench");
    int nodes = 0;
    for (auto _ : state) {
        TRKeyPtr root = TRKey::create(TRValue(), contents, nullptr, domain);
        benchmark::DoNotOptimize(root);
        // Tearing the tree down is measured on its own below.
        state.PauseTiming();
        nodes = countNodes(*root);
        root.reset();
        state.ResumeTiming();
    }
    state.counters["ns_per_node"] = benchmark::Counter(
        double(nodes), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_Destroy(benchmark::State &state)
{
    const TRValue contents = generate(int(state.range(0)));
    int nodes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        TRKeyPtr root = TRKey::create(TRValue(), contents, nullptr, QStringLiteral("b"));
        nodes = countNodes(*root);
        state.ResumeTiming();
        root.reset();
    }
    state.counters["ns_per_node"] = benchmark::Counter(
        double(nodes), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_DatabaseRepresentation(benchmark::State &state)
{
    const TRKeyPtr root =
        TRKey::create(TRValue(), generate(int(state.range(0))), nullptr, QStringLiteral("b"));
    const int nodes = countNodes(*root);
    for (auto _ : state) {
        TRValue list = root->databaseRepresentation();
        benchmark::DoNotOptimize(list);
        state.PauseTiming();
        list = TRValue();
        state.ResumeTiming();
    }
    state.counters["ns_per_node"] = benchmark::Counter(
        double(nodes), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_VisitByPosition(benchmark::State &state)
{
    const TRKeyPtr root =
        TRKey::create(TRValue(), generate(int(state.range(0))), nullptr, QStringLiteral("b"));
    int nodes = 0;
    for (auto _ : state) {
        nodes = visit(*root);
        benchmark::DoNotOptimize(nodes);
    }
    state.counters["ns_per_node"] = benchmark::Counter(
        double(nodes), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

} // namespace

BENCHMARK(BM_Build)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Destroy)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DatabaseRepresentation)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VisitByPosition)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
