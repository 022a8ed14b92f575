// The history in the main window: History… (Ctrl+H) opens the Changes panel of the shown domain, Recent
// Changes… (Ctrl+Shift+H) the list of what other programs changed; both in the Domain menu.
#include "TRAppController.h"
#include "TRHistoryPanel.h"
#include "TRMainInterface.h"
#include "TRMainWindow.h"
#include "TRRecentChangesPanel.h"
#include "TRText.h"
#include "ui_TRMainWindow.h"

#include <QAction>

void TRMainInterface::connectHistoryCommands()
{
    Ui::TRMainWindow &form = m_mainWindow->form();
    TRMainWindow *window = m_mainWindow.get();

    auto *history = new QAction(trText("&History..."), window);
    history->setObjectName(QStringLiteral("actionHistory"));
    history->setStatusTip(
        trText("See the versions of the selected domain, what each changed, and restore one"));
    history->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
    connect(history, &QAction::triggered, this, [this] {
        if (!m_historyPanel)
            m_historyPanel = new TRHistoryPanel(m_controller, m_mainWindow.get());
        m_historyPanel->showPanel();
    });
    auto *recent = new QAction(trText("Recent Chan&ges..."), window);
    recent->setObjectName(QStringLiteral("actionRecentChanges"));
    recent->setStatusTip(trText("List the keys other programs changed while Tamrix ran"));
    recent->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_H));
    connect(recent, &QAction::triggered, this, [this] {
        if (!m_recentChangesPanel)
            m_recentChangesPanel = new TRRecentChangesPanel(m_controller, m_mainWindow.get());
        m_recentChangesPanel->showPanel();
    });
    form.menuDomain->addSeparator();
    form.menuDomain->addActions({history, recent});

    // The panel follows the shown domain and the edits made to it.
    connect(&m_controller, &TRAppController::commandsChanged, this, &TRMainInterface::updateHistoryCommands);
    updateHistoryCommands();
}

void TRMainInterface::updateHistoryCommands()
{
    m_mainWindow->findChild<QAction *>(QStringLiteral("actionHistory"))
        ->setEnabled(!m_controller.shownDomainName().isEmpty());
    // A save adds a version: the folder is listed, not read.
    const QString shown = m_controller.shownDomainName();
    if (m_historyPanel && m_historyPanel->isVisible() &&
        (m_historyPanel->shownDomain() != shown ||
         (m_controller.history() &&
          m_controller.history()->newestId(shown) != m_historyPanel->newestShownId())))
        m_historyPanel->reload();
}
