#include "TRAppController.h"

#include "TRAlert.h"
#include "TRDomainListModel.h"
#include "TRKeyOutlineDrag.h"
#include "TRKeyOutlineModel.h"
#include "TRMainView.h"
#include "TRSheetRunner.h"
#include "TRText.h"
#include "TRUndoManager.h"
#include "store/TRDefaultsStore.h"
#include "store/TRPreferences.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QTimer>

namespace {

QString g_trCross;

} // namespace

void TRAppController::initialize()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    g_trCross = QString(QChar(0x2718));
    TRDictionary initial;
    initial.insert(QString::fromLatin1(kDomainSearch), TRValue::fromInteger(0));
    initial.insert(QString::fromLatin1(kKeySearch), TRValue::fromInteger(0));
    initial.insert(QString::fromLatin1(kAutoSave), TRValue::fromBool(false));
    initial.insert(QString::fromLatin1(kLookInValues), TRValue::fromBool(false));
    initial.insert(QString::fromLatin1(kFollowExternalChanges), TRValue::fromBool(true));
    const TRDomainHistory::Limits limits;
    initial.insert(QString::fromLatin1(kHistoryVersions), TRValue::fromInteger(limits.versionsPerDomain));
    initial.insert(QString::fromLatin1(kHistoryDays), TRValue::fromInteger(limits.daysPerDomain));
    initial.insert(QString::fromLatin1(kHistoryMegabytes), TRValue::fromInteger(limits.bytesInAll >> 20));
    TRPreferences::shared().setInitialValues(TRValue::fromDictionary(std::move(initial)));
}

const QString &TRAppController::trCross()
{
    return g_trCross;
}

TRAppController::TRAppController(QObject *parent)
    : QObject(parent), m_undoManager(new TRUndoManager(this)), m_domainListModel(new TRDomainListModel(this)),
      m_keyCommands(m_domainList, *m_undoManager, *this),
      m_keyClipboard(m_keyCommands,
                     // A model can outlive the controller (an undo step holds its domain).
                     [controller = QPointer<TRAppController>(this)](const TRKeyDrop &drop) {
                         return controller && controller->dropKeys(drop);
                     }),
      m_exchange(m_domainList, *this)
{
    m_domainList.setDragHandler(m_keyClipboard.dragHandler());
    m_externalChanges = new TRExternalChanges(m_domainList, *m_domainListModel, *m_undoManager, *this, this);
    initialize();
    if (g_trCross.isEmpty())
        g_trCross = QString(QChar(0x2718));
}

TRAppController::~TRAppController()
{
    // What is under way lands, and is told, while the list is still there.
    stopBackgroundWriter();
    // Nothing watches or marks a list that is going.
    delete m_externalChanges;
    m_externalChanges = nullptr;
    if (m_started) {
        TRDefaultsStore::standard().setLockObserver({});
        TRDefaultsStore::standard().setHistory({});
    }
    setOutlineDataSource(nullptr);
    m_domainList.clear();
    g_trCross.clear();
}

bool TRAppController::preferenceIsSet(const char *key)
{
    return TRPreferences::shared().boolValue(QString::fromLatin1(key));
}

// ---- Start-up

void TRAppController::awakeFromNib()
{
    // Loading "Sheets" and "Preferences" calls back here; start-up happens once.
    if (m_started)
        return;
    m_started = true;

    if (m_view)
        m_view->setDomainListModel(m_domainListModel);
    if (QWidget *window = mainWindow())
        window->installEventFilter(this);
    connect(m_undoManager, &TRUndoManager::changed, this, &TRAppController::commandsChanged);
    connect(this, &TRAppController::commandsChanged, this, [this] { m_sessionEndApproved = false; });

    TRDefaultsStore::standard().setLockObserver(
        [this](TRDefaultsStore::LockEvent event, const QString &message) { showLockStatus(event, message); });
    reloadDomains();
    startHistory();
    startBackgroundWriter();
    m_domainListModel->setDataSource(this);
    updateWindowTitle();
    if (preferenceIsSet(kFollowExternalChanges))
        m_externalChanges->startWatching();

    if (m_interfaceLoader) {
        m_interfaceLoader(QStringLiteral("Sheets"), *this);
        m_interfaceLoader(QStringLiteral("Preferences"), *this);
    }
    setCurrentSheet(nullptr);
    setCurrentKey(nullptr);
    setEditedKey(nullptr);

    restoreWindowState();
    restoreSavedView();
    reportUnreadableFiles();
    // Asked once the window is up.
    QTimer::singleShot(0, this, &TRAppController::offerRecovery);
}

void TRAppController::reloadDomains()
{
    m_domainList.loadFromStore();
}

void TRAppController::reportUnreadableFiles()
{
    if (!m_view)
        return;
    const QList<TRDefaultsStore::UnreadableFile> files = TRDefaultsStore::standard().unreadableFiles();
    QStringList lines;
    for (const TRDefaultsStore::UnreadableFile &file : files) {
        // A listed domain whose file became unreadable keeps its loaded copy and is reported on its own.
        const QString name = QFileInfo(file.fileName).completeBaseName();
        if (indexOfDomain(name) >= 0 && file.fileName == TRDefaultsStore::standard().filePathForName(name))
            continue;
        lines.append(file.setAsideAs.isEmpty() ? trFormat(trText("%@: %@"), {file.fileName, file.reason})
                                               : trFormat(trText("%@: %@ (set aside as %@)"),
                                                          {file.fileName, file.reason, file.setAsideAs}));
    }
    if (lines.isEmpty()) {
        m_view->showUnreadableFiles(QString(), QString());
        return;
    }
    m_view->showUnreadableFiles(
        lines.size() == 1
            ? trFormat(trText("A domain file could not be read and is not listed: %@"), {lines.first()})
            : trFormat(trText("%d domain files could not be read and are not listed (%@)"),
                       {QString::number(lines.size()), lines.join(QStringLiteral("; "))}),
        lines.join(QLatin1Char('\n')));
}

void TRAppController::showLockStatus(TRDefaultsStore::LockEvent event, const QString &message)
{
    if (!m_view)
        return;
    if (event == TRDefaultsStore::LockEvent::Taken) {
        m_view->showStatusMessage(QString());
        return;
    }
    m_view->showStatusMessage(message);
    // Painting goes on while the store waits; the user's input waits with it, and a wait met from
    // inside this one does not nest another event loop.
    static bool painting = false;
    if (event == TRDefaultsStore::LockEvent::Waiting && !painting) {
        painting = true;
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        painting = false;
    }
}

// ---- The domain list as a table

int TRAppController::numberOfRowsInTableView() const
{
    return m_domainList.count();
}

QString TRAppController::tableViewObjectValueForTableColumn(const QString &identifier, int row) const
{
    if (row < 0 || row >= numberOfRowsInTableView())
        return QString();
    const TRDomainController &domain = *m_domainList.at(row);
    if (identifier == QLatin1String("modified"))
        return !domain.modified() ? QString() : isChangedOnDisk(domain) ? changedOnDiskMarker() : trCross();
    if (identifier == QLatin1String("domainName"))
        return domain.name();
    if (identifier == QLatin1String("keyCount"))
        return QString::number(domain.count());
    return QStringLiteral("-Invalid-");
}

int TRAppController::selectedRow() const
{
    return m_view ? m_view->selectedDomainRow() : -1;
}

void TRAppController::selectRow(int row)
{
    if (m_view && row >= 0 && row < m_domainListModel->rowCount())
        m_view->selectDomainRow(row);
}

void TRAppController::tableViewSelectionDidChange()
{
    // The row's domain as the list shows it: while a change of the list is being announced, the view's
    // rows and the domains may not stand in the same order yet.
    const int row = selectedRow();
    const int at =
        numberOfRowsInTableView() > 0 && row >= 0 ? indexOfDomain(m_domainListModel->domainNameAt(row)) : -1;
    TRDomainControllerPtr domain;
    if (at >= 0)
        domain = m_domainList.at(at);
    beginNavigating();
    setOutlineDataSource(domain);
    reloadKeyOutline();
    endNavigating();
    emit commandsChanged();
}

void TRAppController::setOutlineDataSource(const TRDomainControllerPtr &domain)
{
    TRKeyOutlineModel *model = domain && m_view ? domain->outlineModel() : nullptr;
    if (!m_view || m_view->keyOutlineModel() == model) {
        m_domainList.setShown(domain);
        return;
    }
    rememberShownView();
    m_domainList.setShown(domain);
    m_view->setKeyOutlineModel(model);
    m_view->fitKeyOutlineColumns();
    restoreShownView();
}

void TRAppController::reloadDomainList()
{
    scheduleRecovery();
    m_domainListModel->reloadData();
    updateWindowTitle();
    emit commandsChanged();
}

void TRAppController::reloadKeyOutline()
{
    // Trees that are replaced reset their item model themselves (reloadDomain); what is left is to
    // redraw.
    if (m_view)
        m_view->redrawKeyOutline();
}

QWidget *TRAppController::mainWindow() const
{
    return m_view ? m_view->window() : nullptr;
}

void TRAppController::updateWindowTitle()
{
    QWidget *window = mainWindow();
    if (!window)
        return;
    QString folder = QDir::toNativeSeparators(TRDefaultsStore::standard().folder());
    const QString home = QDir::toNativeSeparators(QDir::homePath());
    if (!home.isEmpty() && home != QLatin1String("/") && folder.startsWith(home + QDir::separator()))
        folder = QLatin1Char('~') + folder.mid(home.size());
    window->setWindowTitle(trFormat(trText("%@[*] - Tamrix"), {folder}));
    window->setWindowModified(modifiedDomainExists());
}

// ---- Quitting

bool TRAppController::modifiedDomainExists() const
{
    return m_domainList.modifiedDomainExists();
}

bool TRAppController::shouldQuit()
{
    finishPendingWrites();
    if (!modifiedDomainExists())
        return true;
    TRAlert::Content content = TRAlert::question(
        trText("About to quit Tamrix"),
        trText(
            "There are some unsaved changes. If you quit now, all changes will be lost. Do you wish to quit "
            "anyway?"),
        trText("Save and Quit"), trText("Don't Quit"), TRAlert::kAlternate);
    content.otherButton = trText("Don't Save");
    switch (TRAlert::runModal(content)) {
    case TRAlert::kDefault:
        // A save that failed keeps the application open: quitting would lose the changes. So does a
        // question about files other programs changed that is not answered with Save Anyway.
        return confirmReplacingExternalChangesModal(m_domainList.domains()) && saveAll(true);
    case TRAlert::kOther:
        return true;
    default:
        return false;
    }
}

bool TRAppController::sessionShouldCancel(bool interactionAllowed)
{
    finishPendingWrites();
    if (!modifiedDomainExists())
        return false;
    // Without leave to ask, the changes are saved rather than lost.
    const bool proceed = interactionAllowed ? shouldQuit() : saveAll(true);
    m_sessionEndApproved = proceed;
    return !proceed;
}

bool TRAppController::windowShouldClose()
{
    return shouldQuit();
}

void TRAppController::windowWillClose()
{
    finishPendingWrites();
    saveWindowState();
    QString error;
    if (!TRDefaultsStore::standard().synchronize(&error))
        qWarning("%s", qUtf8Printable(error));
    m_terminated = true;
}

int TRAppController::applicationShouldTerminate()
{
    QWidget *window = mainWindow();
    if (!window || !window->isVisible())
        return 1;
    return shouldQuit() ? 1 : 0;
}

void TRAppController::terminate()
{
    if (applicationShouldTerminate() == 0)
        return;
    // The question has been answered: closing the window must not ask again.
    m_quitApproved = true;
    QWidget *window = mainWindow();
    if (window && window->isVisible())
        window->close();
    m_terminated = true;
    QCoreApplication::quit();
}

bool TRAppController::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Close && watched == mainWindow()) {
        if (!m_quitApproved && !m_sessionEndApproved && !windowShouldClose()) {
            event->ignore();
            return true;
        }
        windowWillClose();
        return false;
    }
    return QObject::eventFilter(watched, event);
}

// ---- Held keys and sheets

void TRAppController::setCurrentKey(const TRKeyPtr &key)
{
    TRKeyPtr held = key;
    m_currentKey = std::move(held);
}

void TRAppController::setEditedKey(const TRKeyPtr &key)
{
    TRKeyPtr held = key;
    m_editedKey = std::move(held);
}

int TRAppController::showCurrentSheet()
{
    return TRSheetRunner::run(m_currentSheet);
}

void TRAppController::sheetOKClicked()
{
    if (m_currentSheet)
        m_currentSheet->done(1);
}

void TRAppController::sheetCancelClicked()
{
    if (m_currentSheet)
        m_currentSheet->done(0);
}

void TRAppController::undo()
{
    m_keyCommands.deferChanges();
    m_undoManager->undo();
    m_keyCommands.finishDeferredChanges();
}

void TRAppController::redo()
{
    m_keyCommands.deferChanges();
    m_undoManager->redo();
    m_keyCommands.finishDeferredChanges();
}

void TRAppController::focusDomainSearch()
{
    if (m_view)
        m_view->focusDomainSearch(true);
}
