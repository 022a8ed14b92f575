// Find in All Domains over the generated 1,000-domain store, in the main window with its event loop
// turning: the time to the first result rows, the time to the complete list, and the longest turn of the
// loop in between (the window repaints at every turn).
#include "TRAlert.h"
#include "TRAppController.h"
#include "TRBenchWindow.h"
#include "TRFindAllPanel.h"
#include "TRMainInterface.h"
#include "TRMainWindow.h"
#include "store/TRDefaultsStore.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <memory>
#include <vector>

namespace {

class Window : public TRBenchWindow
{
public:
    Window()
    {
        fillWithGeneratedStore();
        open();
        m_interface->mainWindow()->findChild<QAction *>(QStringLiteral("actionFindInAllDomains"))->trigger();
        m_panel = m_interface->mainWindow()->findChild<TRFindAllPanel *>();
        m_results = m_panel->findChild<QTreeWidget *>(QStringLiteral("findAllResults"));
    }

    static Window &shared()
    {
        static Window window;
        return window;
    }

    // One search from the command to the complete list, the window repainted at every turn of the loop.
    // The counters are the medians over the iterations.
    void search(benchmark::State &state, const QString &text, bool inValues)
    {
        std::vector<double> first;
        std::vector<double> all;
        std::vector<double> longestTurn;
        int rows = 0;
        for (auto _ : state) {
            QElapsedTimer clock;
            clock.start();
            m_panel->search(text, inValues);
            double firstRows = -1;
            double longest = 0;
            for (;;) {
                const qint64 turnStart = clock.nsecsElapsed();
                if (firstRows < 0 && m_results->topLevelItemCount() > 0) {
                    m_panel->repaint();
                    firstRows = double(clock.nsecsElapsed()) / 1e6;
                }
                if (!m_panel->isSearching())
                    break;
                QApplication::processEvents();
                m_panel->repaint();
                longest = std::max(longest, double(clock.nsecsElapsed() - turnStart) / 1e6);
            }
            all.push_back(double(clock.nsecsElapsed()) / 1e6);
            first.push_back(firstRows);
            longestTurn.push_back(longest);
            rows = m_results->topLevelItemCount();
        }
        state.counters["first_ms"] = median(first);
        state.counters["all_ms"] = median(all);
        state.counters["longest_turn_ms"] = median(longestTurn);
        state.counters["rows"] = rows;
    }

    static double median(std::vector<double> values)
    {
        if (values.empty())
            return 0;
        std::sort(values.begin(), values.end());
        return values[values.size() / 2];
    }

private:
    TRFindAllPanel *m_panel = nullptr;
    QTreeWidget *m_results = nullptr;
};

// A text found in names and values all over the store.
void BM_FindAllNamesAndValues(benchmark::State &state)
{
    Window::shared().search(state, QStringLiteral("qq"), true);
}

// A rarer text, names only.
void BM_FindAllNames(benchmark::State &state)
{
    Window::shared().search(state, QStringLiteral("12345"), false);
}

} // namespace

BENCHMARK(BM_FindAllNamesAndValues)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_FindAllNames)->Unit(benchmark::kMillisecond)->Iterations(5);

int main(int argc, char **argv)
{
    return trRunAppBenchmarks(argc, argv);
}
