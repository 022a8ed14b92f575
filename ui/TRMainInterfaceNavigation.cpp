// Moving among keys in the main window: the Go to Key field (Ctrl+L), Back and Forward in the Key menu,
// on Alt+Left and Alt+Right and on the mouse's back and forward buttons.
#include "TRAppController.h"
#include "TRMainInterface.h"
#include "TRMainWindow.h"
#include "TRText.h"
#include "ui_TRMainWindow.h"

#include <QAction>
#include <QApplication>
#include <QMouseEvent>

namespace {

// The mouse's back and forward buttons anywhere in the window.
class MouseButtonFilter final : public QObject
{
public:
    MouseButtonFilter(QWidget &window, QAction &back, QAction &forward)
        : QObject(&window), m_window(window), m_back(back), m_forward(forward)
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::MouseButtonPress || !watched->isWidgetType())
            return QObject::eventFilter(watched, event);
        auto *widget = static_cast<QWidget *>(watched);
        const Qt::MouseButton button = static_cast<QMouseEvent *>(event)->button();
        QAction *action = button == Qt::BackButton      ? &m_back
                          : button == Qt::ForwardButton ? &m_forward
                                                        : nullptr;
        if (!action || widget->window() != &m_window)
            return QObject::eventFilter(watched, event);
        if (action->isEnabled())
            action->trigger();
        return true;
    }

private:
    QWidget &m_window;
    QAction &m_back;
    QAction &m_forward;
};

QAction *makeAction(QWidget *window, const char *objectName, const QString &text, const QString &tip,
                    const QKeySequence &keys)
{
    auto *action = new QAction(text, window);
    action->setObjectName(QString::fromLatin1(objectName));
    action->setStatusTip(tip);
    action->setShortcut(keys);
    return action;
}

} // namespace

void TRMainInterface::connectNavigationCommands()
{
    Ui::TRMainWindow &form = m_mainWindow->form();
    TRMainWindow *window = m_mainWindow.get();
    TRAppController *controller = &m_controller;
    QLineEdit *field = form.goToKeyField;

    QAction *goToKey =
        makeAction(window, "actionGoToKey", trText("&Go to Key..."),
                   trText("Select a key by its path, such as Dict/a/0 or a domain's name and a path"),
                   QKeySequence(Qt::CTRL | Qt::Key_L));
    connect(goToKey, &QAction::triggered, field, [field] {
        field->setFocus(Qt::ShortcutFocusReason);
        field->selectAll();
    });
    QAction *back = makeAction(window, "actionGoBack", trText("&Back"),
                               trText("Go back to the key selected before"), QKeySequence::Back);
    connect(back, &QAction::triggered, controller, &TRAppController::goBack);
    QAction *forward =
        makeAction(window, "actionGoForward", trText("For&ward"),
                   trText("Go forward to the key selected after this one"), QKeySequence::Forward);
    connect(forward, &QAction::triggered, controller, &TRAppController::goForward);
    form.menuKey->addSeparator();
    form.menuKey->addActions({goToKey, back, forward});
    qApp->installEventFilter(new MouseButtonFilter(*window, *back, *forward));

    // A path that names nothing: the message takes the field's text, selected, so that typing replaces
    // it and Undo brings the path back.
    connect(field, &QLineEdit::returnPressed, this, [this, field] {
        if (field->text() == m_goToKeyMessage)
            return;
        const QString message = m_controller.goToKey(field->text());
        m_goToKeyMessage = message;
        if (message.isEmpty()) {
            m_mainWindow->form().domainContentsView->setFocus(Qt::OtherFocusReason);
            return;
        }
        field->selectAll();
        field->insert(message);
        field->selectAll();
    });

    connect(controller, &TRAppController::commandsChanged, this, &TRMainInterface::updateNavigationCommands);
    updateNavigationCommands();
}

void TRMainInterface::updateNavigationCommands()
{
    TRMainWindow *window = m_mainWindow.get();
    window->findChild<QAction *>(QStringLiteral("actionGoBack"))->setEnabled(m_controller.canGoBack());
    window->findChild<QAction *>(QStringLiteral("actionGoForward"))->setEnabled(m_controller.canGoForward());
}
