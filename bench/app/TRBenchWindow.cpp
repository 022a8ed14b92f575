#include "TRBenchWindow.h"

#include "TRAlert.h"
#include "TRBenchStore.h"
#include "TRMainWindow.h"
#include "store/TRDefaultsStore.h"

#include <QApplication>
#include <QTableView>
#include <QTreeView>
#include <benchmark/benchmark.h>
#include <cstdio>

TRBenchWindow::TRBenchWindow()
{
    TRDefaultsStore::setStandardFolder(m_folder.path());
}

TRBenchWindow::~TRBenchWindow() = default;

void TRBenchWindow::fillWithGeneratedStore()
{
    QString error;
    benchstore::Summary summary;
    if (!benchstore::makeStore(folder(), &summary, &error))
        std::fprintf(stderr, "%s\n", qPrintable(error));
}

void TRBenchWindow::fillWithSmallAndLarge(int keys)
{
    TRDefaultsStore &store = TRDefaultsStore::standard();
    store.setPersistentDomain(benchstore::makeDomain(10, 1), QStringLiteral("a.small"));
    store.setPersistentDomain(benchstore::makeDomain(keys, 7), QStringLiteral("b.large"));
}

void TRBenchWindow::open()
{
    // Whatever was written into the folder is read afresh.
    TRDefaultsStore::setStandardFolder(m_folder.path());
    TRAlert::setScripted(true);
    m_controller = std::make_unique<TRAppController>();
    m_interface = std::make_unique<TRMainInterface>(*m_controller);
    m_interface->mainWindow()->resize(1000, 700);
    m_interface->show();
    QApplication::processEvents();
}

QTreeView *TRBenchWindow::outline() const
{
    return m_interface->mainWindow()->findChild<QTreeView *>(QStringLiteral("domainContentsView"));
}

void TRBenchWindow::selectDomain(int row)
{
    QTableView *list = m_interface->mainWindow()->findChild<QTableView *>(QStringLiteral("domainListView"));
    list->selectionModel()->setCurrentIndex(list->model()->index(row, 0),
                                            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

int trRunAppBenchmarks(int argc, char **argv, const std::function<void()> &beforeExit)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (beforeExit)
        beforeExit();
    return 0;
}
