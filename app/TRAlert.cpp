#include "TRAlert.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <memory>

namespace {

struct Script
{
    bool scripted = false;
    QList<int> answers;
    QList<TRAlert::Shown> shown;
    int beeps = 0;
};

Script &script()
{
    static Script instance;
    return instance;
}

// Builds the box; the buttons' codes are kept as a property so the answer can be mapped back.
QMessageBox *makeBox(QWidget *parent, const TRAlert::Spec &spec)
{
    auto *box = new QMessageBox(parent);
    box->setIcon(QMessageBox::Warning);
    box->setWindowTitle(QApplication::applicationDisplayName());
    box->setText(spec.title);
    box->setInformativeText(spec.message);
    // Domain names and file names are shown as they are, never read as markup (the box passes the
    // format on to its main text only).
    box->setTextFormat(Qt::PlainText);
    for (QLabel *label : box->findChildren<QLabel *>()) {
        if (label->text() == spec.message)
            label->setTextFormat(Qt::PlainText);
    }
    const auto add = [box, &spec](const QString &text, int code, QMessageBox::ButtonRole role) {
        if (text.isEmpty())
            return;
        QPushButton *button = box->addButton(text, role);
        button->setProperty("alertCode", code);
        if (code == TRAlert::kDefault)
            box->setDefaultButton(button);
        if (code == spec.escapeCode)
            box->setEscapeButton(button);
    };
    add(spec.otherButton, TRAlert::kOther, QMessageBox::DestructiveRole);
    add(spec.alternateButton, TRAlert::kAlternate, QMessageBox::RejectRole);
    add(spec.defaultButton, TRAlert::kDefault, QMessageBox::AcceptRole);
    return box;
}

int codeOf(const QMessageBox *box, const TRAlert::Spec &spec)
{
    const QAbstractButton *clicked = box->clickedButton();
    return clicked ? clicked->property("alertCode").toInt() : spec.escapeCode;
}

} // namespace

bool TRAlert::takeScriptedAnswer(const Spec &spec, bool modal, int *code)
{
    Script &s = script();
    if (!s.scripted)
        return false;
    QStringList buttons{spec.defaultButton};
    if (!spec.alternateButton.isEmpty())
        buttons.append(spec.alternateButton);
    if (!spec.otherButton.isEmpty())
        buttons.append(spec.otherButton);
    s.shown.append(Shown{spec.title, spec.message, buttons, modal});
    *code = s.answers.isEmpty() ? kDefault : s.answers.takeFirst();
    return true;
}

void TRAlert::beginSheet(QWidget *window, const Spec &spec, DidEnd didEnd)
{
    int code = kDefault;
    if (takeScriptedAnswer(spec, false, &code)) {
        // As with a real sheet, the command finishes before the answer is handled; a window closed
        // meanwhile takes its pending answer with it.
        if (didEnd) {
            QObject *context = window ? static_cast<QObject *>(window) : qApp;
            QTimer::singleShot(0, context, [didEnd = std::move(didEnd), code] { didEnd(code); });
        }
        return;
    }
    QMessageBox *box = makeBox(window, spec);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(window ? Qt::WindowModal : Qt::ApplicationModal);
    QObject::connect(box, &QMessageBox::finished, box, [box, spec, didEnd = std::move(didEnd)](int) {
        if (didEnd)
            didEnd(codeOf(box, spec));
    });
    box->open();
}

int TRAlert::runModal(const Spec &spec)
{
    int code = kDefault;
    if (takeScriptedAnswer(spec, true, &code))
        return code;
    const std::unique_ptr<QMessageBox> box(makeBox(QApplication::activeWindow(), spec));
    box->setWindowModality(Qt::ApplicationModal);
    box->exec();
    return codeOf(box.get(), spec);
}

void TRAlert::beep()
{
    Script &s = script();
    if (s.scripted)
        ++s.beeps;
    else
        QApplication::beep();
}

void TRAlert::setScripted(bool scripted)
{
    script().scripted = scripted;
}

bool TRAlert::isScripted()
{
    return script().scripted;
}

void TRAlert::setNextAnswer(int code)
{
    script().answers.append(code);
}

QList<TRAlert::Shown> TRAlert::shownAlerts()
{
    return script().shown;
}

int TRAlert::beepCount()
{
    return script().beeps;
}

void TRAlert::resetScript()
{
    Script &s = script();
    s.answers.clear();
    s.shown.clear();
    s.beeps = 0;
}
