// The power-editing side of the main interface: Rename key, Change type and Copy key path in the Key menu
// and the outline's context menu, the selected key's status, the property-list exchange in the File menu,
// files dropped on the window, and Find in All Domains.
#include "TRAppController.h"
#include "TRFindAllPanel.h"
#include "TRMainInterface.h"
#include "TRMainWindow.h"
#include "TRText.h"
#include "TRValueConversion.h"
#include "ui_TRMainWindow.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMimeData>

namespace {

// Takes a single local file dropped anywhere on the window (a view that takes drops of its own gets them
// first) and hands it to the controller's import.
class FileDropFilter final : public QObject
{
public:
    FileDropFilter(TRAppController &controller, QObject *parent) : QObject(parent), m_controller(controller)
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
            auto *drag = static_cast<QDropEvent *>(event);
            if (droppedFile(drag->mimeData()).isEmpty())
                return QObject::eventFilter(watched, event);
            drag->acceptProposedAction();
            return true;
        }
        if (event->type() == QEvent::Drop) {
            auto *drop = static_cast<QDropEvent *>(event);
            const QString path = droppedFile(drop->mimeData());
            if (path.isEmpty())
                return QObject::eventFilter(watched, event);
            drop->acceptProposedAction();
            m_controller.importFile(path);
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    static QString droppedFile(const QMimeData *data)
    {
        const QList<QUrl> urls = data ? data->urls() : QList<QUrl>();
        return urls.size() == 1 && urls.first().isLocalFile() ? urls.first().toLocalFile() : QString();
    }

    TRAppController &m_controller;
};

QAction *makeAction(QWidget *window, const char *objectName, const QString &text, const QString &tip)
{
    auto *action = new QAction(text, window);
    action->setObjectName(QString::fromLatin1(objectName));
    action->setStatusTip(tip);
    return action;
}

} // namespace

void TRMainInterface::connectPowerCommands()
{
    Ui::TRMainWindow &form = m_mainWindow->form();
    TRMainWindow *window = m_mainWindow.get();
    TRAppController *controller = &m_controller;

    QAction *rename = makeAction(window, "actionRenameKey", trText("&Rename Key..."),
                                 trText("Give the selected dictionary entry another name"));
    rename->setShortcut(QKeySequence(Qt::Key_F2));
    connect(rename, &QAction::triggered, controller, &TRAppController::renameKey);
    QAction *copyPath = makeAction(window, "actionCopyKeyPath", trText("Copy Key &Path"),
                                   trText("Copy the path of the selected key, such as Dict/a/0"));
    connect(copyPath, &QAction::triggered, controller, &TRAppController::copyKeyPath);

    auto *types = new QMenu(trText("Change &Type"), window);
    types->setObjectName(QStringLiteral("menuChangeType"));
    const struct
    {
        const char *objectName;
        const char *text;
    } kinds[TRValueConversion::kKindCount] = {
        {"actionChangeTypeString", QT_TRANSLATE_NOOP("Tamrix", "String")},
        {"actionChangeTypeNumber", QT_TRANSLATE_NOOP("Tamrix", "Number")},
        {"actionChangeTypeBoolean", QT_TRANSLATE_NOOP("Tamrix", "Boolean")},
        {"actionChangeTypeDate", QT_TRANSLATE_NOOP("Tamrix", "Date")},
        {"actionChangeTypeData", QT_TRANSLATE_NOOP("Tamrix", "Binary")},
    };
    for (int kind = 0; kind < TRValueConversion::kKindCount; ++kind) {
        QAction *action = makeAction(window, kinds[kind].objectName, trText(kinds[kind].text), QString());
        action->setData(kind);
        connect(action, &QAction::triggered, controller,
                [controller, kind] { controller->changeKeyType(kind); });
        types->addAction(action);
    }

    // Key menu: the three after Delete Key. Domain menu: Find in All Domains after Find Domain.
    QAction *findAll = makeAction(window, "actionFindInAllDomains", trText("Find in &All Domains..."),
                                  trText("Search the names and values of every domain"));
    findAll->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F));
    connect(findAll, &QAction::triggered, this, [this] {
        if (!m_findAllPanel)
            m_findAllPanel = new TRFindAllPanel(m_controller, m_mainWindow.get());
        m_findAllPanel->showPanel();
    });
    const QList<QAction *> keyItems = form.menuKey->actions();
    QAction *afterDelete = keyItems.value(keyItems.indexOf(form.actionDeleteKey) + 1);
    form.menuKey->insertActions(afterDelete, {rename, types->menuAction(), copyPath});
    form.menuDomain->addAction(findAll);
    form.domainContentsView->addActions({rename, types->menuAction(), copyPath});

    // File menu: after Import Domain.
    QAction *exportPlist =
        makeAction(window, "actionExportDomainAsPropertyList", trText("Export Domain as &Property List..."),
                   trText("Write the selected domain to an XML or binary property list"));
    connect(exportPlist, &QAction::triggered, controller, &TRAppController::exportDomainAsPropertyList);
    QAction *importPlist =
        makeAction(window, "actionImportPropertyListAsDomain", trText("Impor&t Property List as Domain..."),
                   trText("Add a domain from a property list, or replace the loaded domain of its name"));
    connect(importPlist, &QAction::triggered, controller, &TRAppController::importPropertyListAsDomain);
    const QList<QAction *> fileItems = form.menuFile->actions();
    form.menuFile->insertActions(fileItems.value(fileItems.indexOf(form.actionImportDomain) + 1),
                                 {exportPlist, importPlist});

    auto *status = new QLabel(window);
    status->setObjectName(QStringLiteral("keyStatusLabel"));
    status->setTextFormat(Qt::PlainText);
    form.statusBar->addPermanentWidget(status);

    window->setAcceptDrops(true);
    window->installEventFilter(new FileDropFilter(m_controller, window));

    connect(controller, &TRAppController::commandsChanged, this, &TRMainInterface::updatePowerCommands);
    updatePowerCommands();
}

void TRMainInterface::updatePowerCommands()
{
    TRMainWindow *window = m_mainWindow.get();
    QTreeView *outline = window->form().domainContentsView;
    // Each domain brings its own selection model: follow the one shown now.
    QItemSelectionModel *selection = outline->selectionModel();
    if (selection && !selection->property("tamrixPowerCommands").toBool()) {
        selection->setProperty("tamrixPowerCommands", true);
        connect(selection, &QItemSelectionModel::selectionChanged, this,
                &TRMainInterface::updatePowerCommands);
    }
    const bool keySelected = m_controller.currentDomain() && m_controller.selectedKey();
    window->findChild<QAction *>(QStringLiteral("actionRenameKey"))
        ->setEnabled(m_controller.currentDomain() && m_controller.canRenameSelectedKey());
    window->findChild<QAction *>(QStringLiteral("actionCopyKeyPath"))->setEnabled(keySelected);
    auto *types = window->findChild<QMenu *>(QStringLiteral("menuChangeType"));
    bool anyType = false;
    for (QAction *action : types->actions()) {
        action->setEnabled(keySelected && m_controller.canChangeSelectedKeyType(action->data().toInt()));
        anyType = anyType || action->isEnabled();
    }
    types->menuAction()->setEnabled(anyType);
    window->findChild<QAction *>(QStringLiteral("actionExportDomainAsPropertyList"))
        ->setEnabled(m_controller.currentDomain() != nullptr);
    window->findChild<QLabel *>(QStringLiteral("keyStatusLabel"))
        ->setText(keySelected ? m_controller.selectedKeyStatus() : QString());
    // Every selection is a place visited.
    if (window->findChild<QAction *>(QStringLiteral("actionGoBack")))
        updateNavigationCommands();
}
