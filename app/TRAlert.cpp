#include "TRAlert.h"

#include "TRText.h"

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
QMessageBox *makeBox(QWidget *parent, const TRAlert::Content &content)
{
    auto *box = new QMessageBox(parent);
    box->setIcon(QMessageBox::Warning);
    box->setWindowTitle(QApplication::applicationDisplayName());
    box->setText(content.title);
    box->setInformativeText(content.message);
    box->setDetailedText(content.detailedText);
    // Domain names and file names are shown as they are, never read as markup (the box passes the
    // format on to its main text only).
    box->setTextFormat(Qt::PlainText);
    for (QLabel *label : box->findChildren<QLabel *>()) {
        if (label->text() == content.message)
            label->setTextFormat(Qt::PlainText);
    }
    const auto add = [box, &content](const QString &text, int code, QMessageBox::ButtonRole role) {
        if (text.isEmpty())
            return;
        QPushButton *button = box->addButton(text, role);
        button->setProperty("alertCode", code);
        if (code == TRAlert::kDefault)
            box->setDefaultButton(button);
        if (code == content.escapeCode)
            box->setEscapeButton(button);
    };
    add(content.otherButton, TRAlert::kOther, QMessageBox::DestructiveRole);
    add(content.alternateButton, TRAlert::kAlternate, QMessageBox::RejectRole);
    add(content.defaultButton, TRAlert::kDefault, QMessageBox::AcceptRole);
    return box;
}

int codeOf(const QMessageBox *box, const TRAlert::Content &content)
{
    const QAbstractButton *clicked = box->clickedButton();
    return clicked ? clicked->property("alertCode").toInt() : content.escapeCode;
}

} // namespace

TRAlert::Content TRAlert::notice(const QString &title, const QString &message, const QString &detailedText)
{
    Content content;
    content.title = title;
    content.message = message;
    content.detailedText = detailedText;
    content.defaultButton = trText("OK");
    return content;
}

TRAlert::Content TRAlert::question(const QString &title, const QString &message, const QString &defaultButton,
                                   const QString &alternateButton, int escapeCode)
{
    Content content;
    content.title = title;
    content.message = message;
    content.defaultButton = defaultButton;
    content.alternateButton = alternateButton;
    content.escapeCode = escapeCode;
    return content;
}

bool TRAlert::takeScriptedAnswer(const Content &content, bool modal, int *code)
{
    Script &s = script();
    if (!s.scripted)
        return false;
    QStringList buttons{content.defaultButton};
    if (!content.alternateButton.isEmpty())
        buttons.append(content.alternateButton);
    if (!content.otherButton.isEmpty())
        buttons.append(content.otherButton);
    s.shown.append(Shown{content.title, content.message, content.detailedText, buttons, modal});
    *code = s.answers.isEmpty() ? kDefault : s.answers.takeFirst();
    return true;
}

void TRAlert::beginSheet(QWidget *window, const Content &content, DidEnd didEnd)
{
    int code = kDefault;
    if (takeScriptedAnswer(content, false, &code)) {
        // As with a real sheet, the command finishes before the answer is handled; a window closed
        // meanwhile takes its pending answer with it.
        if (didEnd) {
            QObject *context = window ? static_cast<QObject *>(window) : qApp;
            QTimer::singleShot(0, context, [didEnd = std::move(didEnd), code] { didEnd(code); });
        }
        return;
    }
    QMessageBox *box = makeBox(window, content);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(window ? Qt::WindowModal : Qt::ApplicationModal);
    QObject::connect(box, &QMessageBox::finished, box, [box, content, didEnd = std::move(didEnd)](int) {
        // The keyboard goes back to the window the sheet belongs to.
        if (QWidget *owner = box->parentWidget())
            owner->window()->activateWindow();
        if (didEnd)
            didEnd(codeOf(box, content));
    });
    box->open();
}

int TRAlert::runModal(const Content &content)
{
    int code = kDefault;
    if (takeScriptedAnswer(content, true, &code))
        return code;
    const std::unique_ptr<QMessageBox> box(makeBox(QApplication::activeWindow(), content));
    box->setWindowModality(Qt::ApplicationModal);
    box->exec();
    return codeOf(box.get(), content);
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
