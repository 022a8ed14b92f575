// The key outline's clipboard side: Cut, Copy, Paste and Duplicate in the Edit menu and the outline's
// context menu, their keys acting only while the outline has the focus (search fields keep their own),
// and drops on the outline carried out by the controller.
#include "TRAppController.h"
#include "TRMainInterface.h"
#include "TRMainWindow.h"
#include "ui_TRMainWindow.h"

#include <QDropEvent>
#include <QPointer>

namespace {

// A drag moves keys; with Shift or Ctrl held it copies them.
class DropActionChooser final : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove ||
            event->type() == QEvent::Drop) {
            auto *drop = static_cast<QDropEvent *>(event);
            const bool copy = drop->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier);
            const Qt::DropAction action = copy ? Qt::CopyAction : Qt::MoveAction;
            if (drop->possibleActions() & action)
                drop->setDropAction(action);
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

void TRMainInterface::connectClipboardCommands()
{
    Ui::TRMainWindow &form = m_mainWindow->form();
    TRAppController *controller = &m_controller;
    QTreeView *outline = form.domainContentsView;

    const struct
    {
        QAction *action;
        QKeySequence keys;
        void (TRAppController::*command)();
    } commands[] = {
        {form.actionCutKeys, QKeySequence::Cut, &TRAppController::cutKeys},
        {form.actionCopyKeys, QKeySequence::Copy, &TRAppController::copyKeys},
        {form.actionPasteKeys, QKeySequence::Paste, &TRAppController::pasteKeys},
        {form.actionDuplicateKeys, QKeySequence(Qt::CTRL | Qt::Key_D), &TRAppController::duplicateKeys},
    };
    auto *separator = new QAction(outline);
    separator->setSeparator(true);
    outline->addAction(separator);
    for (const auto &command : commands) {
        command.action->setShortcut(command.keys);
        command.action->setShortcutContext(Qt::WidgetShortcut);
        connect(command.action, &QAction::triggered, controller, command.command);
        outline->addAction(command.action);
    }

    outline->viewport()->installEventFilter(new DropActionChooser(outline));
}

void TRMainInterface::updateClipboardCommands()
{
    Ui::TRMainWindow &form = m_mainWindow->form();
    const bool domainShown = m_controller.currentDomain() != nullptr;
    const bool keySelected = domainShown && m_controller.selectedKey() != nullptr;
    form.actionCutKeys->setEnabled(keySelected);
    form.actionCopyKeys->setEnabled(keySelected);
    form.actionPasteKeys->setEnabled(domainShown);
    form.actionDuplicateKeys->setEnabled(keySelected);
}
