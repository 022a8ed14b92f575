// Key commands on one large domain shown fully expanded: New key, Edit key and Delete key, and the undo and
// redo of each, from the command to the repainted outline; the key search over every row with values
// looked at; the save AutoSave makes after an edit; the memory 10,000 undo steps hold.
#include "TRAlert.h"
#include "TRAppController.h"
#include "TRBenchStore.h"
#include "TRBenchWindow.h"
#include "TRKeyOutlineModel.h"
#include "TRMainInterface.h"
#include "TRMainWindow.h"
#include "TRSheetRunner.h"
#include "TRUndoManager.h"
#include "store/TRDefaultsStore.h"
#include "store/TRPreferences.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <QTreeView>
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <map>
#include <memory>

namespace {

// Bytes the heap has handed out and not taken back (resident size would hide reuse of freed memory).
double heapInUse()
{
    return double(mallinfo2().uordblks);
}

// The main window over a private store holding one domain of the given number of keys, selected and
// expanded, with a string key in the middle of the top level selected.
class Window : public TRBenchWindow
{
public:
    explicit Window(int keys)
    {
        TRDefaultsStore::standard().setPersistentDomain(benchstore::makeDomain(keys, 7),
                                                        QStringLiteral("b.large"));
        open();
        selectDomain(0);
        outline()->expandAll();
        paint();
        const TRKeyPtr &root = m_controller->currentDomain()->rootKey();
        for (int i = root->count() / 2; i < root->count() && !m_leaf; ++i) {
            if (root->childAtIndex(i)->value().isString())
                m_leaf = root->childAtIndex(i);
        }
    }

    void paint()
    {
        QApplication::processEvents();
        outline()->viewport()->repaint();
    }
    void trigger(const char *name)
    {
        m_interface->mainWindow()->findChild<QAction *>(QString::fromLatin1(name))->trigger();
        paint();
    }
    // Selects the leaf in the middle (or whatever now stands in its place) and shows it.
    void selectLeaf()
    {
        const auto *model = qobject_cast<TRKeyOutlineModel *>(outline()->model());
        const TRKeyPtr &root = m_controller->currentDomain()->rootKey();
        const TRKeyPtr shown = root->childForName(m_leaf->name());
        const QModelIndex index = model->indexForKey(shown.get());
        outline()->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                                QItemSelectionModel::Rows);
        outline()->scrollTo(index);
        paint();
    }

    void newKey()
    {
        const QString name = QStringLiteral("bench %1").arg(++m_made);
        TRSheetRunner::setNextAnswer(1, [name](QDialog *sheet) {
            sheet->findChild<QLineEdit *>(QStringLiteral("newKeyNameEdit"))->setText(name);
            sheet->findChild<QComboBox *>(QStringLiteral("newKeyTypePopup"))->setCurrentIndex(0);
        });
        TRSheetRunner::setNextAnswer(1, [name](QDialog *sheet) {
            sheet->findChild<QPlainTextEdit *>(QStringLiteral("stringValueEdit"))->setPlainText(name);
        });
        trigger("actionNewKey");
    }
    void editKey()
    {
        const QString text = QStringLiteral("edited %1").arg(++m_made);
        TRSheetRunner::setNextAnswer(1, [text](QDialog *sheet) {
            sheet->findChild<QPlainTextEdit *>(QStringLiteral("stringValueEdit"))->setPlainText(text);
        });
        trigger("actionEditKey");
    }
    void deleteKey()
    {
        TRAlert::setNextAnswer(TRAlert::kAlternate);
        trigger("actionDeleteKey");
    }

private:
    TRKeyPtr m_leaf;
    int m_made = 0;
};

// One window per size, kept for every benchmark of that size (building one takes seconds).
std::map<int, std::unique_ptr<Window>> g_windows;

Window &window(int keys)
{
    if (!g_windows.count(keys)) {
        // Only one large window at a time.
        g_windows.clear();
        g_windows[keys] = std::make_unique<Window>(keys);
    }
    Window &shown = *g_windows[keys];
    shown.selectLeaf();
    return shown;
}

enum class Step
{
    Command,
    Undo,
    Redo
};

// Times the command, its undo or its redo; the steps around it are not timed and leave the domain as it
// was.
template<typename Command>
void timeCommand(benchmark::State &state, Step timed, Command command)
{
    Window &w = window(int(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        w.selectLeaf();
        if (timed != Step::Command)
            command(w);
        if (timed == Step::Redo)
            w.trigger("actionUndo");
        state.ResumeTiming();
        if (timed == Step::Command)
            command(w);
        else
            w.trigger(timed == Step::Undo ? "actionUndo" : "actionRedo");
        state.PauseTiming();
        if (timed != Step::Undo)
            w.trigger("actionUndo");
        state.ResumeTiming();
    }
    w.controller().undoManager()->removeAllActions();
}

void BM_NewKey(benchmark::State &s)
{
    timeCommand(s, Step::Command, [](Window &w) { w.newKey(); });
}
void BM_NewKeyUndo(benchmark::State &s)
{
    timeCommand(s, Step::Undo, [](Window &w) { w.newKey(); });
}
void BM_NewKeyRedo(benchmark::State &s)
{
    timeCommand(s, Step::Redo, [](Window &w) { w.newKey(); });
}
void BM_EditKey(benchmark::State &s)
{
    timeCommand(s, Step::Command, [](Window &w) { w.editKey(); });
}
void BM_EditKeyUndo(benchmark::State &s)
{
    timeCommand(s, Step::Undo, [](Window &w) { w.editKey(); });
}
void BM_EditKeyRedo(benchmark::State &s)
{
    timeCommand(s, Step::Redo, [](Window &w) { w.editKey(); });
}
void BM_DeleteKey(benchmark::State &s)
{
    timeCommand(s, Step::Command, [](Window &w) { w.deleteKey(); });
}
void BM_DeleteKeyUndo(benchmark::State &s)
{
    timeCommand(s, Step::Undo, [](Window &w) { w.deleteKey(); });
}
void BM_DeleteKeyRedo(benchmark::State &s)
{
    timeCommand(s, Step::Redo, [](Window &w) { w.deleteKey(); });
}

// A search that matches no row walks every row shown, reading each key's name and value texts.
void BM_KeySearchEveryRowWithValues(benchmark::State &state)
{
    Window &w = window(int(state.range(0)));
    TRPreferences::shared().setValue(QString::fromLatin1(TRAppController::kLookInValues),
                                     TRValue::fromBool(true));
    QLineEdit *field = w.mainWindow()->findChild<QLineEdit *>(QStringLiteral("keySearchField"));
    field->setText(QStringLiteral("no key or value holds this text"));
    for (auto _ : state)
        w.controller().searchKey();
    TRPreferences::shared().setValue(QString::fromLatin1(TRAppController::kLookInValues), TRValue());
    state.counters["rows"] = double(w.outline()->model()->rowCount());
}

// Edit key with AutoSave on: the command, the save of the whole domain and the repaint.
void BM_EditKeyWithAutoSave(benchmark::State &state)
{
    TRPreferences::shared().setValue(QString::fromLatin1(TRAppController::kAutoSave),
                                     TRValue::fromBool(true));
    timeCommand(state, Step::Command, [](Window &w) { w.editKey(); });
    TRPreferences::shared().setValue(QString::fromLatin1(TRAppController::kAutoSave), TRValue());
}

// The same from the command until the file holds the edit (what AutoSave had under way has landed first).
void BM_EditKeyWithAutoSaveUntilWritten(benchmark::State &state)
{
    TRPreferences::shared().setValue(QString::fromLatin1(TRAppController::kAutoSave),
                                     TRValue::fromBool(true));
    Window &w = window(int(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        w.selectLeaf();
        w.controller().finishPendingWrites();
        state.ResumeTiming();
        w.editKey();
        w.controller().finishPendingWrites();
        state.PauseTiming();
        w.trigger("actionUndo");
        w.controller().finishPendingWrites();
        state.ResumeTiming();
    }
    w.controller().undoManager()->removeAllActions();
    TRPreferences::shared().setValue(QString::fromLatin1(TRAppController::kAutoSave), TRValue());
}

// The recovery file of an edited domain: the window's part (the contents handed to the writer, once a
// burst of edits), or until the file is written. A fixed count: the untimed edit and undo around each
// keep cost far more than the keep itself.
void BM_RecoveryFile(benchmark::State &state)
{
    Window &w = window(int(state.range(0)));
    const bool untilWritten = state.range(1) != 0;
    for (auto _ : state) {
        state.PauseTiming();
        w.selectLeaf();
        w.editKey();
        w.controller().finishPendingWrites();
        state.ResumeTiming();
        w.controller().keepRecoveryFilesNow();
        if (untilWritten)
            w.controller().finishPendingWrites();
        state.PauseTiming();
        w.trigger("actionUndo");
        w.controller().finishPendingWrites();
        state.ResumeTiming();
    }
    w.controller().undoManager()->removeAllActions();
}

// The heap memory 10,000 Edit key steps hold (each holds the old and the new key), per step.
void BM_UndoStepsMemory(benchmark::State &state)
{
    Window &w = window(int(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        w.controller().undoManager()->removeAllActions();
        w.paint();
        const double before = heapInUse();
        state.ResumeTiming();
        for (int i = 0; i < 10000; ++i) {
            TRSheetRunner::setNextAnswer(1, [i](QDialog *sheet) {
                sheet->findChild<QPlainTextEdit *>(QStringLiteral("stringValueEdit"))
                    ->setPlainText(QString::number(i));
            });
            w.controller().keyDoubleClicked();
        }
        state.PauseTiming();
        state.counters["heap_bytes_per_step"] = (heapInUse() - before) / 10000;
        w.controller().undoManager()->removeAllActions();
        state.ResumeTiming();
    }
}

} // namespace

#define TR_SIZES ->Arg(50000)->Arg(100000)->Arg(200000)->Unit(benchmark::kMillisecond)
BENCHMARK(BM_NewKey) TR_SIZES;
BENCHMARK(BM_NewKeyUndo) TR_SIZES;
BENCHMARK(BM_NewKeyRedo) TR_SIZES;
BENCHMARK(BM_EditKey) TR_SIZES;
BENCHMARK(BM_EditKeyUndo) TR_SIZES;
BENCHMARK(BM_EditKeyRedo) TR_SIZES;
BENCHMARK(BM_DeleteKey) TR_SIZES;
BENCHMARK(BM_DeleteKeyUndo) TR_SIZES;
BENCHMARK(BM_DeleteKeyRedo) TR_SIZES;
BENCHMARK(BM_KeySearchEveryRowWithValues) TR_SIZES;
BENCHMARK(BM_EditKeyWithAutoSave)->Arg(200000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EditKeyWithAutoSaveUntilWritten)->Arg(200000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RecoveryFile)
    ->Args({10000, 0})
    ->Args({200000, 0})
    ->Args({200000, 1})
    ->Iterations(30)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UndoStepsMemory)->Arg(50000)->Iterations(1)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    return trRunAppBenchmarks(argc, argv, [] { g_windows.clear(); });
}
