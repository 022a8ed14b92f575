#include "TRFileDialog.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QTimer>
#include <algorithm>

namespace {

struct Script
{
    bool scripted = false;
    // A prepared answer: a chosen file, or a cancel.
    struct Answer
    {
        bool cancelled = true;
        QString path;
        int nameFilter = 0;
    };
    QList<Answer> answers;
    QList<TRFileDialog::Settings> shown;
};

Script &script()
{
    static Script instance;
    return instance;
}

// The path a dialog would answer for the typed name: absolute, with the default suffix when the name
// has none.
QString chosenPath(const QString &typed, const QString &defaultSuffix)
{
    QString path = QFileInfo(typed).absoluteFilePath();
    if (!defaultSuffix.isEmpty() && QFileInfo(path).suffix().isEmpty())
        path += QLatin1Char('.') + defaultSuffix;
    return path;
}

} // namespace

void TRFileDialog::beginSheet(QWidget *window, const Settings &settings, DidEnd didEnd)
{
    beginFilteredSheet(window, settings, [didEnd = std::move(didEnd)](int code, const QString &path, int) {
        didEnd(code, path);
    });
}

void TRFileDialog::beginFilteredSheet(QWidget *window, const Settings &settings, FilteredDidEnd didEnd)
{
    Script &s = script();
    if (s.scripted) {
        s.shown.append(settings);
        const Script::Answer answer = s.answers.isEmpty() ? Script::Answer() : s.answers.takeFirst();
        const int code = answer.cancelled ? kCancel : kOK;
        const QString path = answer.cancelled ? QString() : chosenPath(answer.path, settings.defaultSuffix);
        const int filter = answer.nameFilter;
        // As with a real panel, the command finishes before the answer is handled.
        QObject *context = window ? static_cast<QObject *>(window) : qApp;
        QTimer::singleShot(0, context,
                           [didEnd = std::move(didEnd), code, path, filter] { didEnd(code, path, filter); });
        return;
    }
    auto *dialog = new QFileDialog(window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(window ? Qt::WindowModal : Qt::ApplicationModal);
    dialog->setWindowTitle(settings.title);
    dialog->setAcceptMode(settings.kind == Kind::Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog->setFileMode(settings.kind == Kind::Save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog->setLabelText(QFileDialog::Accept, settings.prompt);
    dialog->setLabelText(QFileDialog::FileName, settings.nameFieldLabel);
    dialog->setDefaultSuffix(settings.defaultSuffix);
    dialog->setNameFilters(settings.nameFilters);
    QObject::connect(dialog, &QFileDialog::finished, dialog,
                     [dialog, didEnd = std::move(didEnd)](int result) {
                         const QStringList files = dialog->selectedFiles();
                         const int filter = int(dialog->nameFilters().indexOf(dialog->selectedNameFilter()));
                         if (result == QDialog::Accepted && !files.isEmpty())
                             didEnd(kOK, files.first(), std::max(filter, 0));
                         else
                             didEnd(kCancel, QString(), 0);
                     });
    dialog->open();
}

void TRFileDialog::setScripted(bool scripted)
{
    script().scripted = scripted;
}

bool TRFileDialog::isScripted()
{
    return script().scripted;
}

void TRFileDialog::setNextFileName(const QString &path, int nameFilter)
{
    script().answers.append(Script::Answer{false, path, nameFilter});
}

void TRFileDialog::setNextCancel()
{
    script().answers.append(Script::Answer());
}

QList<TRFileDialog::Settings> TRFileDialog::shownPanels()
{
    return script().shown;
}

void TRFileDialog::resetScript()
{
    Script &s = script();
    s.answers.clear();
    s.shown.clear();
}
