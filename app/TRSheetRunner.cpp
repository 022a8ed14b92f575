#include "TRSheetRunner.h"

#include <QDialog>
#include <QList>
#include <utility>

namespace {

struct Answer
{
    int code = 0;
    TRSheetRunner::Filler filler;
};

QList<Answer> &answers()
{
    static QList<Answer> queue;
    return queue;
}

} // namespace

int TRSheetRunner::run(QDialog *sheet)
{
    if (!sheet)
        return 0;
    if (!answers().isEmpty()) {
        const Answer answer = answers().takeFirst();
        if (answer.filler)
            answer.filler(sheet);
        sheet->hide();
        return answer.code;
    }
    sheet->setWindowModality(Qt::WindowModal);
    const int code = sheet->exec();
    sheet->hide();
    // The keyboard goes back to the window the sheet belongs to (without a window manager, or with
    // one that leaves focus where it was, it would go nowhere).
    if (QWidget *owner = sheet->parentWidget())
        owner->window()->activateWindow();
    return code == QDialog::Rejected ? 0 : 1;
}

void TRSheetRunner::setNextAnswer(int code, Filler filler)
{
    answers().append(Answer{code, std::move(filler)});
}

int TRSheetRunner::pendingAnswers()
{
    return static_cast<int>(answers().size());
}

void TRSheetRunner::resetScript()
{
    answers().clear();
}
