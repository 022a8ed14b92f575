#include "TRMainInterface.h"

#include "TRAppController.h"
#include "TRMainWindow.h"
#include "TRMainWindowView.h"
#include "TRPreferencesWindow.h"
#include "TRUndoManager.h"
#include "ui_TRMainWindow.h"
#include "ui_TRNewDomainSheet.h"

#include <QApplication>
#include <QIcon>
#include <QLineEdit>
#include <QSessionManager>
#include <QShortcut>
#include <QTimer>

TRMainInterface::TRMainInterface(TRAppController &controller, QObject *parent)
    : QObject(parent), m_controller(controller), m_mainWindow(std::make_unique<TRMainWindow>())
{
    // Ties the windows to the installed desktop entry (Wayland finds the name and icon through it) and
    // gives them the installed icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(TAMRIX_APP_ID));
    QGuiApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral(TAMRIX_APP_ID)));

    m_view = std::make_unique<TRMainWindowView>(*m_mainWindow, controller);
    controller.setMainView(m_view.get());

    QApplication::setQuitOnLastWindowClosed(controller.applicationShouldTerminateAfterLastWindowClosed());
    // Logging out or shutting down asks about unsaved changes too (the session manager does not close
    // the window first). The manager is only valid during the signal: a direct connection.
    connect(
        qApp, &QGuiApplication::commitDataRequest, &controller,
        [&controller](QSessionManager &manager) {
            // Asking for interaction makes the session wait for its turn: only when there is a question.
            if (!controller.modifiedDomainExists())
                return;
            const bool interactionAllowed = manager.allowsInteraction();
            if (controller.sessionShouldCancel(interactionAllowed))
                manager.cancel();
            else if (interactionAllowed)
                manager.release();
        },
        Qt::DirectConnection);
    connectCommands();
    controller.setInterfaceLoader(
        [this](const QString &name, TRAppController &owner) { loadInterface(name, owner); });
    controller.awakeFromNib();
    updateCommands();
}

TRMainInterface::~TRMainInterface()
{
    m_controller.setInterfaceLoader({});
    if (m_controller.mainView() == m_view.get())
        m_controller.setMainView(nullptr);
}

void TRMainInterface::show()
{
    m_mainWindow->show();
    if (qEnvironmentVariable("TAMRIX_QUIT_WHEN_IDLE") == QLatin1String("1"))
        QTimer::singleShot(0, &m_controller, &TRAppController::terminate);
}

void TRMainInterface::loadInterface(const QString &name, TRAppController &owner)
{
    if (name == QLatin1String("Sheets"))
        loadSheets(owner);
    else if (name == QLatin1String("Preferences"))
        loadPreferences(owner);
    owner.awakeFromNib();
}

void TRMainInterface::loadSheets(TRAppController &owner)
{
    // The sheets belong to the main window and live as long as it does.
    auto *newDomainSheet = new QDialog(m_mainWindow.get());
    Ui::TRNewDomainSheet newDomainForm;
    newDomainForm.setupUi(newDomainSheet);
    connect(newDomainForm.newDomainButtons, &QDialogButtonBox::accepted, &owner,
            &TRAppController::sheetOKClicked);
    connect(newDomainForm.newDomainButtons, &QDialogButtonBox::rejected, &owner,
            &TRAppController::sheetCancelClicked);
    owner.sheets().newDomainSheet = newDomainSheet;
    owner.sheets().newDomainNameEdit = newDomainForm.newDomainNameEdit;
    loadKeySheets(owner);
}

void TRMainInterface::loadPreferences(TRAppController &owner)
{
    auto *window = new TRPreferencesWindow(m_mainWindow.get());
    connect(window, &TRPreferencesWindow::preferenceChanged, &owner, &TRAppController::preferencesDidChange);
    owner.sheets().preferencesWindow = window;
}

void TRMainInterface::connectCommands()
{
    Ui::TRMainWindow &form = m_mainWindow->form();
    TRAppController *controller = &m_controller;
    connect(form.actionNewDomain, &QAction::triggered, controller, &TRAppController::newDomain);
    connect(form.actionDeleteDomain, &QAction::triggered, controller, &TRAppController::deleteDomain);
    connect(form.actionFindDomain, &QAction::triggered, controller, &TRAppController::focusDomainSearch);
    connect(form.domainSearchField, &QLineEdit::returnPressed, controller, &TRAppController::searchDomain);
    connect(form.actionSaveDomain, &QAction::triggered, controller, &TRAppController::saveDomain);
    connect(form.actionSaveAllDomains, &QAction::triggered, controller, &TRAppController::saveAllDomains);
    connect(form.actionReloadDomain, &QAction::triggered, controller, &TRAppController::reloadDomain);
    connect(form.actionReloadAllDomains, &QAction::triggered, controller, &TRAppController::reloadAllDomains);
    connect(form.actionQuit, &QAction::triggered, controller, &TRAppController::terminate);
    connect(form.actionUndo, &QAction::triggered, controller, &TRAppController::undo);
    connect(form.actionRedo, &QAction::triggered, controller, &TRAppController::redo);
    connect(form.actionExportAllDomains, &QAction::triggered, controller, &TRAppController::exportToFile);
    connect(form.actionExportDomain, &QAction::triggered, controller, &TRAppController::exportDomainToFile);
    connect(form.actionImportAllDomains, &QAction::triggered, controller, &TRAppController::importFromFile);
    connect(form.actionImportDomain, &QAction::triggered, controller, &TRAppController::importDomainFromFile);
    connect(form.actionPreferences, &QAction::triggered, controller, &TRAppController::preferences);
    connect(form.actionGoToHomePage, &QAction::triggered, controller, &TRAppController::goToHomePage);
    connect(form.actionAbout, &QAction::triggered, controller, &TRAppController::showAbout);
    connect(form.actionAboutQt, &QAction::triggered, qApp, &QApplication::aboutQt);
    connect(controller, &TRAppController::commandsChanged, this, &TRMainInterface::updateCommands);
    // Delete in the domain list asks to delete the selected domain.
    auto *deleteKey =
        new QShortcut(QKeySequence::Delete, form.domainListView, nullptr, nullptr, Qt::WidgetShortcut);
    connect(deleteKey, &QShortcut::activated, controller, &TRAppController::deleteDomain);
    connectKeyCommands();
    connectPowerCommands();
    connectNavigationCommands();
    connectHistoryCommands();
}

void TRMainInterface::updateCommands()
{
    Ui::TRMainWindow &form = m_mainWindow->form();
    const TRUndoManager *undoManager = m_controller.undoManager();
    form.actionUndo->setText(undoManager->undoMenuItemTitle());
    form.actionUndo->setEnabled(undoManager->canUndo());
    form.actionRedo->setText(undoManager->redoMenuItemTitle());
    form.actionRedo->setEnabled(undoManager->canRedo());
}
