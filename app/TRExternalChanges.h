#pragma once

#include "TRDomainController.h"
#include "TRValueChanges.h"
#include "store/TRDefaultsStore.h"
#include "store/TRFileIdentity.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <functional>
#include <vector>

// A key-level change another program made, as Tamrix saw it land.
struct TRRecentChange
{
    QDateTime time; // UTC
    QString domain;
    TRValueChange change;
};

class TRDomainList;
class TRDomainListModel;
class TRMainView;
class TRStoreWatcher;
class TRUndoManager;

// Changes other programs make to the live store. While following is on, the store's folder is watched;
// at each look an unmodified domain follows its file (or leaves the list with it), a modified one is
// marked (saving it asks first), and new files add domains. It owns the watcher and the marks; the list
// is the domain list's, and what the window does about a change is the host's.
class TRExternalChanges final : public QObject
{
    Q_OBJECT

public:
    class Host
    {
    public:
        // The list's rows or markers changed: they are shown again.
        virtual void domainListChanged() = 0;
        // The unmodified domain at the row leaves the list: its file has gone.
        virtual void dropFollowedDomain(int row) = 0;
        // The files of the store that could not be read may have changed.
        virtual void unreadableFilesChanged() = 0;
        // The main view; null without one.
        virtual TRMainView *mainView() const = 0;
        // Changes were added to the recent ones.
        virtual void recentChangesAdded() = 0;
        // Whether Tamrix's own writes are under way: the check then waits for them (the host runs it
        // again once they have landed), since a file being written is not another program's change.
        virtual bool deferCheckForWrites() = 0;

    protected:
        ~Host() = default;
    };

    TRExternalChanges(TRDomainList &domains, TRDomainListModel &listModel, TRUndoManager &undoManager,
                      Host &host, QObject *parent = nullptr);
    ~TRExternalChanges() override;

    // Starts or stops watching. Stopping drops every mark; starting looks at once at what other
    // programs did while nobody looked.
    void setFollowing(bool follow);
    // Null while not following.
    TRStoreWatcher *storeWatcher() const { return m_storeWatcher; }
    // Compares every listed domain's file with the version its contents came from, then looks for new
    // files. The watcher runs it once the folder has been quiet for a moment; it waits while a sheet or
    // an alert is up.
    void check();

    // The domain is modified and marked as having a file another program changed since Tamrix read it.
    bool isChangedOnDisk(const TRDomainController &domain) const;
    // Marks the domain as of the version it was read from (a write found the file changed).
    void mark(const TRDomainController &domain);
    // The domain took another version (saved, reloaded, imported) or left the list: its mark goes.
    void forget(const QString &name);

    // Runs write at once when none of the domains that it would write has a file another program changed
    // since Tamrix read it; otherwise asks first (Save Anyway / Show Both… / Cancel), as a sheet.
    void confirmReplacing(const std::vector<TRDomainControllerPtr> &domains,
                          const std::function<void()> &write);
    // The same as an application-modal question (the quit path): whether to go on saving.
    bool confirmReplacingModal(const std::vector<TRDomainControllerPtr> &domains);
    // Of the domains that a save would write, those whose file changed since Tamrix read it; marks them.
    std::vector<TRDomainControllerPtr> changedOnDisk(const std::vector<TRDomainControllerPtr> &domains);
    // Opens the read-only view of the file's current keys beside the domain's.
    void showBothVersions(const TRDomainControllerPtr &domain);

    // Starts watching without a look (at start-up, with the list just read).
    void startWatching();

    // Every key-level change other programs made while Tamrix looked, newest first, at most
    // kMaxRecentChanges.
    const QList<TRRecentChange> &recentChanges() const { return m_recent; }
    static constexpr int kMaxRecentChanges = 10000;

private:
    void acceptFilesOnDisk(const std::vector<TRDomainControllerPtr> &domains);
    // An unmodified domain takes the contents read from its file, its outline keeping its expanded, selected
    // and visible keys where they still exist; its undo steps go.
    void followFile(const TRDomainControllerPtr &domain, const TRDefaultsStore::DomainRead &read);
    void insertFollowedDomain(const QString &name, const TRDefaultsStore::DomainRead &read);
    // Another program's version of the domain: into the history (and the version it replaced, when the
    // history does not hold it and the domain's unmodified contents are that version), and its changes
    // against the version before into the recent changes, when that version is known.
    void noteVersion(const QString &name, const TRFileIdentity &before, const TRDomainController *loaded,
                     const TRValue &after, const TRFileIdentity &identity);

    TRDomainList &m_domains;
    TRDomainListModel &m_listModel;
    TRUndoManager &m_undoManager;
    Host &m_host;
    TRStoreWatcher *m_storeWatcher = nullptr;
    // The domains marked, each with the version of its file it was read from then: a mark no longer
    // holds once the domain takes another version (saved, reloaded, imported, or Save Anyway answered).
    QHash<QString, TRFileIdentity> m_changedOnDisk;
    // A domain file found unreadable, by the version first seen so: reported when it stays so at a second
    // look, once (a file caught in the middle of a write is complete by then).
    QHash<QString, TRFileIdentity> m_unreadableSeen;
    QHash<QString, TRFileIdentity> m_unreadableReported;
    QList<TRRecentChange> m_recent;
};
