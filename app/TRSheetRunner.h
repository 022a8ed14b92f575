#pragma once

#include <functional>

class QDialog;

// Runs a custom sheet: a window-modal dialog in a nested loop, answering 1 when its confirming button
// ended it and 0 for the cancelling one. The dialog is hidden when run() returns and keeps its controls'
// contents for the next run.
//
// Tests prepare the answer (and what the user would type) instead: with an answer queued, the sheet is
// not shown; the filler, if any, gets the dialog first.
class TRSheetRunner final
{
public:
    using Filler = std::function<void(QDialog *sheet)>;

    static int run(QDialog *sheet);

    static void setNextAnswer(int code, Filler filler = {});
    static int pendingAnswers();
    static void resetScript();
};
