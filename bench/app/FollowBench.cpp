// Following another program's write of a large domain: from the file renamed into place to the key
// outline painted with the new keys, through the watcher (its quiet time included), and the same with the
// look at the store made at once (the codec's read plus the tree and the outline).
#include "TRAppController.h"
#include "TRBenchStore.h"
#include "TRBenchWindow.h"
#include "TRMainInterface.h"
#include "TRMainWindow.h"
#include "plist/TRPropertyList.h"
#include "store/TRDefaultsStore.h"

#include <QApplication>
#include <QFile>
#include <QTreeView>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <memory>

namespace {

class Window : public TRBenchWindow
{
public:
    explicit Window(int keys)
    {
        fillWithSmallAndLarge(keys);
        // Two versions another program alternates between, of different sizes.
        for (quint32 seed : {8u, 9u}) {
            QByteArray bytes;
            TRPropertyList::write(benchstore::makeDomain(keys + int(seed), seed), TRPropertyList::Format::Xml,
                                  &bytes);
            m_versions.append(bytes);
        }
        open();
        selectDomain(1);
        paint();
    }

    // Another program writes the next version: a new file renamed into place.
    void writeNextVersion()
    {
        const QString path = TRDefaultsStore::standard().filePathForName(QStringLiteral("b.large"));
        QFile file(path + QStringLiteral(".new"));
        if (!file.open(QIODevice::WriteOnly) || file.write(m_versions[m_next]) != m_versions[m_next].size())
            std::abort();
        file.close();
        if (::rename(QFile::encodeName(file.fileName()).constData(), QFile::encodeName(path).constData()) !=
            0)
            std::abort();
        m_next = 1 - m_next;
    }
    bool showsTheFile() const
    {
        const TRDomainController *domain = m_controller->domainForName(QStringLiteral("b.large"));
        return domain->fileIdentity() == TRDefaultsStore::standard().fileIdentity(QStringLiteral("b.large"));
    }
    void waitUntilShown()
    {
        while (!showsTheFile())
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        paint();
    }
    void lookNow()
    {
        m_controller->checkExternalChanges();
        paint();
    }
    void paint() { outline()->viewport()->repaint(); }

private:
    QList<QByteArray> m_versions;
    int m_next = 0;
};

void BM_ExternalWriteUntilShownThroughWatcher(benchmark::State &state)
{
    Window window(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        window.writeNextVersion();
        window.waitUntilShown();
    }
}

void BM_ExternalWriteUntilShownLookingAtOnce(benchmark::State &state)
{
    Window window(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        window.writeNextVersion();
        state.ResumeTiming();
        window.lookNow();
        if (!window.showsTheFile())
            state.SkipWithError("the outline did not follow the file");
    }
}

} // namespace

BENCHMARK(BM_ExternalWriteUntilShownThroughWatcher)
    ->Arg(200000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_ExternalWriteUntilShownLookingAtOnce)->Arg(200000)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    return trRunAppBenchmarks(argc, argv);
}
