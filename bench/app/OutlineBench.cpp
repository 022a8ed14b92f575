// The key outline of the main window over one large domain: the time until the first rows are painted
// after the domain is selected, and expanding everything, scrolling to the end and collapsing again.
#include "TRBenchWindow.h"

#include <QTreeView>
#include <benchmark/benchmark.h>

namespace {

// A main window over a private store holding a small domain (row 0) and one with the given number of
// keys (row 1), as the generator makes them.
class Window : public TRBenchWindow
{
public:
    explicit Window(int keys)
    {
        fillWithSmallAndLarge(keys);
        open();
    }

    void select(int row) { selectDomain(row); }
    void paint() { outline()->viewport()->repaint(); }
};

void BM_SelectLargeDomainUntilPainted(benchmark::State &state)
{
    Window window(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        window.select(0);
        window.paint();
        state.ResumeTiming();
        window.select(1);
        window.paint();
    }
    state.SetComplexityN(state.range(0));
}

void BM_ExpandAll(benchmark::State &state)
{
    Window window(static_cast<int>(state.range(0)));
    window.select(1);
    window.paint();
    for (auto _ : state) {
        state.PauseTiming();
        window.outline()->collapseAll();
        window.outline()->scrollToTop();
        window.paint();
        state.ResumeTiming();
        window.outline()->expandAll();
        window.paint();
    }
    state.SetComplexityN(state.range(0));
}

void BM_ScrollToEndExpanded(benchmark::State &state)
{
    Window window(static_cast<int>(state.range(0)));
    window.select(1);
    window.outline()->expandAll();
    window.paint();
    for (auto _ : state) {
        state.PauseTiming();
        window.outline()->scrollToTop();
        window.paint();
        state.ResumeTiming();
        window.outline()->scrollToBottom();
        window.paint();
    }
    state.SetComplexityN(state.range(0));
}

void BM_CollapseAll(benchmark::State &state)
{
    Window window(static_cast<int>(state.range(0)));
    window.select(1);
    window.paint();
    for (auto _ : state) {
        state.PauseTiming();
        window.outline()->expandAll();
        window.outline()->scrollToBottom();
        window.paint();
        state.ResumeTiming();
        window.outline()->collapseAll();
        window.paint();
    }
    state.SetComplexityN(state.range(0));
}

} // namespace

BENCHMARK(BM_SelectLargeDomainUntilPainted)
    ->Arg(50000)
    ->Arg(100000)
    ->Arg(200000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_ExpandAll)
    ->Arg(50000)
    ->Arg(100000)
    ->Arg(200000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_ScrollToEndExpanded)
    ->Arg(50000)
    ->Arg(100000)
    ->Arg(200000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_CollapseAll)
    ->Arg(50000)
    ->Arg(100000)
    ->Arg(200000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

int main(int argc, char **argv)
{
    return trRunAppBenchmarks(argc, argv);
}
