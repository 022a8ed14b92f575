// Copy and Paste through the real main window: 10,000 top-level keys selected, copied and pasted into
// another domain, and one key holding a dictionary of 10,000 keys copied and pasted; each from the command
// to the repainted outline. The paste is undone between iterations, untimed.
#include "TRAppController.h"
#include "TRBenchWindow.h"
#include "TRMainInterface.h"
#include "TRUndoManager.h"
#include "store/TRDefaultsStore.h"

#include <QApplication>
#include <QTreeView>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

TRValue dictionaryOf(int keys)
{
    TRDictionary entries;
    entries.reserve(keys);
    for (int i = 0; i < keys; ++i)
        entries.insert(QStringLiteral("key %1").arg(i),
                       TRValue::fromString(QStringLiteral("value %1").arg(i)));
    return TRValue::fromDictionary(std::move(entries));
}

class Window : public TRBenchWindow
{
public:
    Window()
    {
        TRDefaultsStore &store = TRDefaultsStore::standard();
        store.setPersistentDomain(dictionaryOf(10000), QStringLiteral("a.keys"));
        TRDictionary nested;
        nested.insert(QStringLiteral("big"), dictionaryOf(10000));
        store.setPersistentDomain(TRValue::fromDictionary(std::move(nested)), QStringLiteral("b.nested"));
        store.setPersistentDomain(dictionaryOf(1), QStringLiteral("c.target"));
        open();
        paint();
    }
    void paint()
    {
        QApplication::processEvents();
        outline()->viewport()->repaint();
    }
    void showDomain(int row)
    {
        selectDomain(row);
        paint();
    }
    // The target domain with its only key selected: pasted keys go beside it.
    void showTarget()
    {
        showDomain(2);
        outline()->setCurrentIndex(outline()->model()->index(0, 0));
        paint();
    }
};

std::unique_ptr<Window> g_window;

Window &window()
{
    if (!g_window)
        g_window = std::make_unique<Window>();
    return *g_window;
}

// Copies what select() selects in the domain of that row and pastes it into the target domain.
template<typename Select>
void copyAndPaste(benchmark::State &state, int sourceRow, Select select)
{
    Window &w = window();
    for (auto _ : state) {
        state.PauseTiming();
        w.showDomain(sourceRow);
        select(w);
        w.paint();
        state.ResumeTiming();
        w.controller().copyKeys();
        w.showTarget();
        w.controller().pasteKeys();
        w.paint();
        state.PauseTiming();
        state.counters["target_keys"] = w.controller().currentDomain()->count();
        w.controller().undo();
        w.paint();
        state.ResumeTiming();
    }
    w.controller().undoManager()->removeAllActions();
}

void BM_CopyPasteTenThousandKeys(benchmark::State &state)
{
    copyAndPaste(state, 0, [](Window &w) { w.outline()->selectAll(); });
}

void BM_CopyPasteDictionaryOfTenThousandKeys(benchmark::State &state)
{
    copyAndPaste(state, 1,
                 [](Window &w) { w.outline()->setCurrentIndex(w.outline()->model()->index(0, 0)); });
}

} // namespace

BENCHMARK(BM_CopyPasteTenThousandKeys)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_CopyPasteDictionaryOfTenThousandKeys)->Unit(benchmark::kMillisecond)->MinTime(2.0);

int main(int argc, char **argv)
{
    return trRunAppBenchmarks(argc, argv, [] { g_window.reset(); });
}
