#pragma once

#include "TRAppController.h"
#include "TRMainInterface.h"
#include "TRMainWindow.h"

#include <QString>
#include <QTemporaryDir>
#include <functional>
#include <memory>

class QTreeView;

// The main window the application benchmarks drive: shown at 1000 x 700 over a store folder of its own,
// with alerts answered by script. The defaults store points at the folder from the start: fill it, then
// open the window.
class TRBenchWindow
{
public:
    TRBenchWindow();
    TRBenchWindow(const TRBenchWindow &) = delete;
    TRBenchWindow &operator=(const TRBenchWindow &) = delete;
    virtual ~TRBenchWindow();

    QString folder() const { return m_folder.path(); }
    // Fills the folder with the generated 1,000-domain store.
    void fillWithGeneratedStore();
    // Fills the folder with a small domain (row 0) and a generated one of the given number of keys (row 1).
    void fillWithSmallAndLarge(int keys);
    // Shows the main window over what the folder holds now.
    void open();
    TRAppController &controller() { return *m_controller; }
    TRMainWindow *mainWindow() const { return m_interface->mainWindow(); }
    QTreeView *outline() const;
    // Makes the domain in the given row of the domain list the selected one.
    void selectDomain(int row);

protected:
    QTemporaryDir m_folder;
    std::unique_ptr<TRAppController> m_controller;
    std::unique_ptr<TRMainInterface> m_interface;
};

// The main of an application benchmark: Google Benchmark inside a QApplication (offscreen unless
// QT_QPA_PLATFORM names a platform). beforeExit runs after the benchmarks, while the application is there.
int trRunAppBenchmarks(int argc, char **argv, const std::function<void()> &beforeExit = {});
