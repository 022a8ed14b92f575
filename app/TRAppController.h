#pragma once

#include "TRBackgroundWriter.h"
#include "TRDomainController.h"
#include "TRDomainEnvelope.h"
#include "TRDomainList.h"
#include "TRExchangeCommands.h"
#include "TRExternalChanges.h"
#include "TRKey.h"
#include "TRKeyClipboard.h"
#include "TRKeyCommands.h"
#include "TRKeyNavigation.h"
#include "store/TRDefaultsStore.h"
#include "store/TRDomainHistory.h"
#include "store/TRRecoveryStore.h"

#include <QComboBox>
#include <QDialog>
#include <QHash>
#include <QLineEdit>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

class TRAsciiHexConverter;
class TRDateEditor;
class TRDomainListModel;
struct TRKeyDrop;
class TRKeyOutlineDragHandler;
struct TRKeyPlistFragment;
class TRKeyOutlineModel;
class TRMainView;
class TRNameSheet;
class TRNumberController;
class TRStoreWatcher;
class TRStringEditor;
class TRUndoManager;
class QTimer;
class QUrl;

// The application controller, one per process: every command of the main window starts here. It keeps the
// domain list and the key outline in step, runs the sheets and alerts, and hands the work to collaborators
// that own their state: the loaded domains (TRDomainList), the key primitives and their grouping
// (TRKeyCommands), the clipboard and drag and drop (TRKeyClipboard), exchange and property-list files
// (TRExchangeCommands) and the changes other programs make to the store (TRExternalChanges). It sees the
// main window only through TRMainView. Its source is split by concern: start-up, windows and quitting
// (TRAppController.cpp), domain commands (TRAppControllerDomains.cpp), saving and reloading
// (TRAppControllerSaving.cpp), key commands (TRAppControllerKeys.cpp), the value sheets
// (TRAppControllerSheets.cpp), exchange files (TRAppControllerExchange.cpp), about, preferences and home
// page (TRAppControllerAbout.cpp).
class TRAppController final : public QObject,
                              private TRExternalChanges::Host,
                              private TRKeyCommands::Host,
                              private TRExchangeCommands::Host
{
    Q_OBJECT

public:
    // The sheets and windows that the interface files "Sheets" and "Preferences" connect. The controller
    // does not own them.
    struct Sheets
    {
        QPointer<QDialog> newDomainSheet;
        QPointer<QLineEdit> newDomainNameEdit;
        // "Preferences".
        QPointer<QWidget> preferencesWindow;
        // "Sheets": the new-key sheet and the four value sheets with their editors.
        QPointer<QDialog> newKeySheet;
        QPointer<QLineEdit> newKeyNameEdit;
        QPointer<QComboBox> newKeyTypePopup;
        QPointer<QDialog> numberValueSheet;
        QPointer<TRNumberController> numberController;
        QPointer<QDialog> dateValueSheet;
        QPointer<TRDateEditor> dateValueEdit;
        QPointer<QDialog> dataValueSheet;
        QPointer<TRAsciiHexConverter> dataValueConverter;
        QPointer<QDialog> stringValueSheet;
        QPointer<TRStringEditor> stringValueEdit;
    };
    // Loads the interface file of that name ("Sheets", "Preferences") with the controller as owner,
    // filling its sheets.
    using InterfaceLoader = std::function<void(const QString &name, TRAppController &owner)>;

    // The preferences of the application, read as truth values.
    static constexpr const char *kDomainSearch = "DomainSearch";
    static constexpr const char *kKeySearch = "KeySearch";
    static constexpr const char *kAutoSave = "AutoSave";
    static constexpr const char *kLookInValues = "LookInValues";
    // On: the store's folder is watched and unmodified domains follow their files.
    static constexpr const char *kFollowExternalChanges = "FollowExternalChanges";

    // Class initialisation runs before the first controller exists (the constructor sees to it).
    static void initialize();
    // The modified marker: U+2718.
    static const QString &trCross();
    // The marker of a modified domain whose file another program changed: U+26A0.
    static const QString &changedOnDiskMarker();

    explicit TRAppController(QObject *parent = nullptr);
    ~TRAppController() override;

    Sheets &sheets() { return m_sheets; }
    // The main window, as the interface that built it shows it; none before it is set or after it is
    // cleared. The controller does not own it.
    void setMainView(TRMainView *view) { m_view = view; }
    TRMainView *mainView() const override { return m_view; }
    void setInterfaceLoader(InterfaceLoader loader) { m_interfaceLoader = std::move(loader); }
    TRUndoManager *undoManager() const { return m_undoManager; }
    TRDomainListModel *domainListModel() const { return m_domainListModel; }
    const std::vector<TRDomainControllerPtr> &domains() const { return m_domainList.domains(); }

    // ---- Start-up, main window and quitting
    void awakeFromNib();
    void reloadDomains();
    int numberOfRowsInTableView() const;
    QString tableViewObjectValueForTableColumn(const QString &identifier, int row) const;
    void tableViewSelectionDidChange();
    bool modifiedDomainExists() const;
    bool shouldQuit();
    bool windowShouldClose();
    void windowWillClose();
    // 1: terminate now, 0: cancel.
    int applicationShouldTerminate();
    bool applicationShouldTerminateAfterLastWindowClosed() const { return true; }
    bool hasTerminated() const { return m_terminated; }
    // The desktop session is ending (logout, shutdown). With unsaved changes, asks the quit question when
    // the session allows interaction, else saves them. Answers whether the session's end must be
    // cancelled: "Don't Quit", or a save that failed.
    bool sessionShouldCancel(bool interactionAllowed);
    void setCurrentKey(const TRKeyPtr &key);
    void setEditedKey(const TRKeyPtr &key);
    const TRKeyPtr &currentKey() const { return m_currentKey; }
    const TRKeyPtr &editedKey() const { return m_editedKey; }
    void setCurrentSheet(QDialog *sheet) { m_currentSheet = sheet; }
    QDialog *currentSheet() const { return m_currentSheet; }
    int showCurrentSheet();
    // Whether the preference is on: an integer other than 0, or true.
    static bool preferenceIsSet(const char *key);

    // ---- Domain list
    TRDomainController *domainForName(const QString &name) const;
    int indexOfDomain(const QString &name) const;
    TRDomainController *currentDomain() const;
    void addDomain(const TRDomainEnvelopePtr &envelope);
    void removeDomain(const TRDomainEnvelopePtr &envelope);
    void doRemoveDomain(int returnCode, const QString &name);

    // ---- Saving and reloading
    // Writes the domain if it is modified; a failed write is reported and the flag kept. Answers whether
    // nothing failed.
    bool doSaveDomain(TRDomainController *domain);
    void doReloadDomain(int returnCode, const TRDomainControllerPtr &domain);
    void doReloadAllDomains(int returnCode);

    // ---- Changes other programs make to the store (TRExternalChanges does the work)
    // Compares every loaded domain's file with the version its contents came from: an unmodified domain
    // follows its file (or leaves the list with it), a modified one is marked; new files add domains.
    // The watcher runs it once the folder has been quiet for a moment.
    void checkExternalChanges();
    // Null while FollowExternalChanges is off.
    TRStoreWatcher *storeWatcher() const { return m_externalChanges->storeWatcher(); }
    // The domain is modified and marked as having a file another program changed since Tamrix read it.
    bool isChangedOnDisk(const TRDomainController &domain) const;
    // Starts or stops watching as the preference now says.
    void preferencesDidChange();
    // Runs write at once when none of the domains that it would write has a file another program changed
    // since Tamrix read it; otherwise asks first (Save Anyway / Show Both… / Cancel), as a sheet.
    void confirmReplacingExternalChanges(const std::vector<TRDomainControllerPtr> &domains,
                                         const std::function<void()> &write);
    // The same as an application-modal question (the quit path): whether to go on saving.
    bool confirmReplacingExternalChangesModal(const std::vector<TRDomainControllerPtr> &domains);
    // Opens the read-only view of the file's current keys beside the domain's.
    void showBothVersions(const TRDomainControllerPtr &domain);

    // ---- Keys (TRAppControllerKeys.cpp, TRAppControllerSheets.cpp)
    // The three primitives every change of a key tree goes through; each registers its inverse. A key
    // whose parent is gone, or no longer in its domain's tree, changes nothing and records nothing.
    void addKey(const TRKeyPtr &key);
    void removeKey(const TRKeyPtr &key);
    // The step is named "Edit key" unless the command names it (the name is kept for undo and redo).
    void replaceKeys(const QList<TRKeyPtr> &pair, const QString &actionName = QString());
    void doRemoveKey(int returnCode);
    QDialog *sheetForKey(const TRKey &key) const;
    // 1 confirmed (editedKey() holds the replacement), 0 cancelled.
    int doEditKey();
    // The key of the outline's current row when it is selected, else of the first selected row; null
    // with none.
    TRKeyPtr selectedKey() const;

    // ---- Clipboard, duplicate, several keys, drag and drop (TRAppControllerClipboard.cpp)
    // The selected keys in outline order, a key inside another selected one left out.
    std::vector<TRKeyPtr> selectedKeys() const;
    // Puts the fragment's values into the compound node: into a list at the position (the end when out of
    // range), into a dictionary under their names made unique. One undo step under the action name;
    // answers the new keys.
    std::vector<TRKeyPtr> insertFragment(const TRKeyPtr &parent, int position,
                                         const TRKeyPlistFragment &fragment, const QString &actionName);
    // A drop on a key outline (the model's drop API ends here): one undo step.
    bool dropKeys(const TRKeyDrop &drop);
    void doRemoveKeys(int returnCode);

    // ---- Power editing: Rename key, Copy key path and the key status (TRAppControllerRename.cpp), Change
    // type (TRAppControllerTypes.cpp), property-list export and import (TRAppControllerExchange.cpp)
    // and revealing a key found in any domain (TRAppControllerFindAll.cpp).
    // The names from the top level down, a list element by its position, joined by "/" (a "/" or a
    // backslash in a name is escaped with a backslash): "Dict/a/0".
    static QString keyPath(const TRKey &key);
    static QString keyPath(const QStringList &names);
    // The selected key's path, kind and size for the status bar; empty with none.
    QString selectedKeyStatus() const;
    bool canRenameSelectedKey() const;
    // The kind is a TRValueConversion::Kind.
    bool canChangeSelectedKeyType(int kind) const;
    void changeKeyType(int kind);
    void doExportDomainAsPropertyList(int returnCode, const QString &path, bool binary);
    void doImportPropertyListAsDomain(int returnCode, const QString &path);
    // Shows the domain and the key reached by the names (as the find-all results give them), expanded to
    // and selected; the deepest key found when the tree changed since.
    void revealKey(const QString &domainName, const QStringList &names);

    // ---- Moving among keys (TRAppControllerNavigation.cpp)
    // Go to Key: "DOMAIN/PATH", "DOMAIN" or a bare "PATH" in the shown domain, in the syntax Copy Key
    // Path writes. Shows the domain and selects the key; answers why not when the path names nothing
    // (and changes nothing), else an empty text.
    QString goToKey(const QString &path);
    bool canGoBack() const { return m_navigation.canGoBack(); }
    bool canGoForward() const { return m_navigation.canGoForward(); }
    // The outline's selection changed: the selected key is a place visited.
    void keySelectionDidChange();
public slots:
    // The places visited, one step back or forward; a place whose domain is gone is stepped over.
    void goBack();
    void goForward();
    void renameKey();
    void copyKeyPath();
    void exportDomainAsPropertyList();
    void importPropertyListAsDomain();

public:
public slots:
    // Commands of the menus and buttons; the sender is not read.
    void terminate();
    void sheetOKClicked();
    void sheetCancelClicked();
    void newDomain();
    void deleteDomain();
    void searchDomain();
    void saveDomain();
    void saveAllDomains();
    void reloadDomain();
    void reloadAllDomains();
    void undo();
    void redo();
    void focusDomainSearch();
    void newKey();
    void keyDoubleClicked();
    void deleteKey();
    void searchKey();
    void focusKeySearch();
    void cutKeys();
    void copyKeys();
    void pasteKeys();
    void duplicateKeys();

    // ---- The history of every domain (TRAppControllerHistory.cpp)
public:
    // Preferences: the history's bounds (versions and days a domain, megabytes in all).
    static constexpr const char *kHistoryVersions = "HistoryVersions";
    static constexpr const char *kHistoryDays = "HistoryDays";
    static constexpr const char *kHistoryMegabytes = "HistoryMegabytes";
    // The bounds the preferences set.
    static TRDomainHistory::Limits historyLimits();
    // The history the store keeps; null before start-up.
    TRDomainHistory *history() const;
    // Makes the contents the listed domain's, as one undo step "Restore version": every top-level key
    // that differs is removed, replaced or added through the key primitives (the domain is then
    // modified, and written on Save). Answers false, changing nothing, when no such domain is listed.
    // The action name and the change source (who the history says made the next save's version) are the
    // restore's unless given.
    bool restoreVersion(const QString &domainName, const TRValue &contents,
                        const QString &actionName = QString(),
                        const QString &source = QString::fromLatin1(TRDomainHistory::kRestore));
    // The same for one key, reached by its names from the top level: a none value removes it; a key
    // whose parent is not there changes nothing (false).
    bool restoreKey(const QString &domainName, const QStringList &names, const TRValue &value);
    // Every key-level change other programs made to the store while Tamrix ran, newest first.
    const QList<TRRecentChange> &recentChanges() const { return m_externalChanges->recentChanges(); }
    // The domain shown in the outline; empty with none.
    QString shownDomainName() const;

private:
    // Gives the store the history with the preferences' bounds, and starts keeping, in the background,
    // the files the history does not hold yet (a domain no Tamrix has written), so that the first change
    // another program makes to one is told key by key.
    void startHistory();
    void keepUnheldFiles();
    QStringList m_filesToKeep;

    // ---- Writes the window does not wait for, and the recovery of unsaved changes
    // (TRAppControllerBackground.cpp, TRAppControllerRecovery.cpp)
public:
    // How long after a change its domain's recovery file is kept, in milliseconds.
    static constexpr int kRecoveryDelay = 1000;
    // Waits until what AutoSave and the recovery files have under way has landed and been told, keeping
    // the window painted (and saying why after a moment). Save, Reload, Delete, import and quitting run
    // it first.
    void finishPendingWrites();
    bool hasPendingWrites() const;
    // The start-up question about the unsaved changes a Tamrix that ended without saving left, when
    // their contents differ from the store's.
    void offerRecovery();
    // Hands the recovery files of the domains changed since they were last kept to the background writer
    // now rather than a moment later.
    void keepRecoveryFilesNow() { syncRecovery(true); }

private:
    void startBackgroundWriter();
    void stopBackgroundWriter();
    void backgroundWriteLanded(const TRBackgroundWriter::Outcome &outcome);
    // Forgets the recovery files of domains no longer modified or listed, and keeps soon those of
    // modified ones.
    void scheduleRecovery();
    void syncRecovery(bool keepChanged);
    void recoveryProblem(const QString &reason);
    void askAboutRecovery(const QList<TRRecoveryStore::Recovered> &offered);
    // Makes the recovered contents the domains', marked modified and kept by this session; answers
    // whether this session keeps them.
    bool recover(const QList<TRRecoveryStore::Recovered> &offered);
    TRBackgroundWriter *m_writer = nullptr;
    QTimer *m_recoveryTimer = nullptr;
    // The change count of each domain whose recovery file this session keeps.
    QHash<QString, quint64> m_recoveryKept;
    bool m_recoveryWarned = false;
    int m_recovering = 0;
    // The store is to be compared with the loaded domains once the writes under way have landed.
    bool m_checkWhenWritten = false;

    // ---- Exchange files (TRAppControllerExchange.cpp); code 1: the panel's OK, anything else: cancel
public:
    void doExportToFile(int returnCode, const QString &path);
    void doExportDomainToFile(int returnCode, const QString &path);
    void doImportFromFile(int returnCode, const QString &path);
    void doImportDomainFromFile(int returnCode, const QString &path);
    // Imports the file at the path (one opened from the file manager or dropped on the window): a
    // "tamdoms" file as Import All Domains does, a "plist" file as Import Property List as Domain does,
    // any other as Import Domain does, with the same checks and question.
    void importFile(const QString &path);
public slots:
    void exportToFile();
    void exportDomainToFile();
    void importFromFile();
    void importDomainFromFile();

private:
    // What the exchange commands ask of the window (TRAppControllerExchange.cpp).
    QWidget *exchangeWindow() const override;
    // The outline never shows a domain that is no longer listed; the imported domain is selected and the
    // undo steps go.
    void putImportedDomain(const TRDomainControllerPtr &domain) override;
    void putImportedDomains(std::vector<TRDomainControllerPtr> domains) override;
    bool askDomainName(const QString &proposed, QString *name) override;
    void showImportChanges(const QString &domain, const TRValue &imported, const TRValue &inTamrix) override;

    // ---- About, preferences and home page (TRAppControllerAbout.cpp)
public:
    // What the about panel shows.
    struct AboutPanelOptions
    {
        QString applicationName;
        QString applicationVersion;
        QString version; // the build version: none
        QString copyright;
    };
    static AboutPanelOptions aboutPanelOptions();
    static QUrl homePageUrl();
public slots:
    void showAbout();
    void preferences();
    void goToHomePage();

private:
    QPointer<QWidget> m_aboutPanel;

signals:
    // The main window's title or the state of the commands may have changed.
    void commandsChanged();
    // Another program's changes were added to recentChanges().
    void recentChangesChanged();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // saveAllDomains: with the controller as sender (the quit path): no empty-domain alert. Answers
    // whether every write succeeded.
    bool saveAll(bool fromQuitPath);
    // doSaveDomain: without the alert; a failure is added to the list.
    bool writeDomain(TRDomainController *domain, QStringList *failures);
    // One alert listing the domains whose write or removal failed, with the reasons.
    void reportFailures(const QString &title, const QStringList &failures);
    void reportUnreadableFiles();
    // Shows in the status bar what the store meets on GNUstep's lock, and keeps the window painted while
    // it waits for another program.
    void showLockStatus(TRDefaultsStore::LockEvent event, const QString &message);
    // The main view's window; null without one.
    QWidget *mainWindow() const;
    void reloadDomainList();
    void reloadKeyOutline();
    // setDataSource: on the key outline (none detaches it).
    void setOutlineDataSource(const TRDomainControllerPtr &domain);
    int selectedRow() const;
    void selectRow(int row);
    void restoreWindowState();
    void saveWindowState();
    // Each domain's view: kept when the outline leaves the domain, put back when it shows the domain
    // again; the shown domain and the views kept between runs.
    // Between these, commands move the selection: the place they end at is visited once, at the end.
    void beginNavigating() { ++m_navigating; }
    void endNavigating();
    class Navigating;
    bool showDomainNamed(const QString &name);
    // Expands the key's parents and selects it alone; null or the root: no key selected.
    void selectShownKey(const TRKeyPtr &key);
    bool goToPlace(const TRKeyNavigation::Place &place);
    void visitShownPlace();
    void rememberShownView();
    void restoreShownView();
    void restoreSavedView();
    void saveView();
    void updateWindowTitle();
    // Shows "Empty domain name" or "Invalid domain name" when the store cannot hold a domain of that name.
    bool acceptsDomainName(const QString &name);
    // Shows "Empty key name" or "Key exists" when the name cannot go into the parent.
    bool acceptsKeyName(const TRKey &parent, const QString &name);
    // The one-name sheet of Rename key and of the property-list import (made on first use).
    TRNameSheet *nameSheet();
    // What the key commands ask of the window (TRAppControllerKeys.cpp): the domain list and the
    // modified marker; with AutoSave on, the save.
    void keysChanged() override;
    void autoSaveDomain(TRDomainController *domain) override;
    // Where New key and Paste put keys: the expanded compound selected, else the selected key's parent,
    // else the top level.
    TRKeyPtr parentForNewKeys(TRDomainController *domain) const;
    void selectKeys(const std::vector<TRKeyPtr> &keys);
    // Delete key with several keys selected: one confirmation naming the count.
    void deleteSelectedKeys();

    // ---- What the external changes ask of the window (TRAppControllerDomains.cpp)
    void domainListChanged() override { reloadDomainList(); }
    // An unmodified domain whose file has gone leaves the list (the selection moves on as on deletion).
    void dropFollowedDomain(int row) override;
    void unreadableFilesChanged() override { reportUnreadableFiles(); }
    void recentChangesAdded() override { emit recentChangesChanged(); }
    bool deferCheckForWrites() override;

    Sheets m_sheets;
    TRMainView *m_view = nullptr;
    InterfaceLoader m_interfaceLoader;
    TRUndoManager *m_undoManager = nullptr;
    TRDomainListModel *m_domainListModel = nullptr;
    TRDomainList m_domainList;
    // The key primitives, grouping and deferred refreshes.
    TRKeyCommands m_keyCommands;
    // Cut, Copy, Paste, Duplicate and drag and drop, and the drag handler of every outline model.
    TRKeyClipboard m_keyClipboard;
    // Exchange files and property-list files.
    TRExchangeCommands m_exchange;
    QPointer<QDialog> m_currentSheet;
    QPointer<TRNameSheet> m_nameSheet;
    TRKeyPtr m_currentKey;
    TRKeyPtr m_editedKey;
    // Delete key with several keys selected: the keys the confirmation is about.
    std::vector<TRKeyPtr> m_keysToDelete;
    // The places visited and the views of the domains seen; while navigating is above 0 a command is
    // moving the selection, and the place it ends at is visited once.
    TRKeyNavigation m_navigation;
    int m_navigating = 0;
    // Changes other programs make to the store: the watcher and the marks (a child of the controller).
    TRExternalChanges *m_externalChanges = nullptr;
    bool m_started = false;
    bool m_quitApproved = false;
    // The session's end was agreed to: its closing of the window does not ask again. Any later command
    // withdraws the agreement (another program may have cancelled the session's end).
    bool m_sessionEndApproved = false;
    bool m_terminated = false;
};
