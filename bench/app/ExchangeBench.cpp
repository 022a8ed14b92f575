// Export All Domains and Import All Domains of the generated 1,000-domain store, from the command to the
// repainted, idle window, against the bare archive write and read of the same domains.
#include "TRAlert.h"
#include "TRBenchWindow.h"
#include "TRMainWindow.h"
#include "archive/TRKeyedArchiver.h"
#include "archive/TRKeyedUnarchiver.h"

#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

// The main window over the generated store, every domain's tree built, and an export of all of them.
class Window : public TRBenchWindow
{
public:
    Window()
    {
        fillWithGeneratedStore();
        open();
        idle();
        for (const TRDomainControllerPtr &domain : controller().domains())
            domain->rootKey();
        controller().doExportToFile(1, file());
    }

    static Window &shared()
    {
        static Window window;
        return window;
    }

    QString file() const { return m_files.filePath(QStringLiteral("all.tamdoms")); }
    QString scratch() const { return m_files.filePath(QStringLiteral("scratch.tamdoms")); }
    void idle()
    {
        QApplication::processEvents();
        m_interface->mainWindow()->repaint();
        QApplication::processEvents();
    }

private:
    QTemporaryDir m_files;
};

void BM_ExportAllCommand(benchmark::State &state)
{
    Window &window = Window::shared();
    for (auto _ : state) {
        window.controller().doExportToFile(1, window.scratch());
        window.idle();
    }
}

void BM_ExportAllBare(benchmark::State &state)
{
    Window &window = Window::shared();
    TRArchiveContents contents;
    contents.isList = true;
    contents.domains = window.controller().domains();
    for (auto _ : state)
        benchmark::DoNotOptimize(TRKeyedArchiver::archiveRootObject(contents, window.scratch()));
}

void BM_ImportAllCommand(benchmark::State &state)
{
    Window &window = Window::shared();
    for (auto _ : state) {
        // Every domain is modified after the first import: the question is answered with Import.
        TRAlert::setNextAnswer(TRAlert::kAlternate);
        window.controller().doImportFromFile(1, window.file());
        window.idle();
        TRAlert::resetScript();
    }
}

void BM_ImportAllBare(benchmark::State &state)
{
    Window &window = Window::shared();
    for (auto _ : state) {
        TRArchiveContents contents;
        benchmark::DoNotOptimize(TRKeyedUnarchiver::unarchiveObjectWithFile(window.file(), &contents));
    }
}

} // namespace

BENCHMARK(BM_ExportAllBare)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportAllCommand)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportAllBare)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportAllCommand)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    return trRunAppBenchmarks(argc, argv);
}
