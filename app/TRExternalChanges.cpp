// Changes other programs make to the store: the folder is watched; an unmodified domain follows its
// file, a modified one is marked and saving it asks first.
#include "TRExternalChanges.h"

#include "TRAlert.h"
#include "TRDomainList.h"
#include "TRDomainListModel.h"
#include "TRKeyOutlineModel.h"
#include "TRMainView.h"
#include "TRText.h"
#include "TRUndoManager.h"
#include "store/TRDomainHistory.h"
#include "store/TRStoreWatcher.h"

#include <QApplication>
#include <QDir>
#include <algorithm>

TRExternalChanges::TRExternalChanges(TRDomainList &domains, TRDomainListModel &listModel,
                                     TRUndoManager &undoManager, Host &host, QObject *parent)
    : QObject(parent), m_domains(domains), m_listModel(listModel), m_undoManager(undoManager), m_host(host)
{
}

TRExternalChanges::~TRExternalChanges() = default;

bool TRExternalChanges::isChangedOnDisk(const TRDomainController &domain) const
{
    const auto mark = m_changedOnDisk.constFind(domain.name());
    return domain.modified() && mark != m_changedOnDisk.cend() && *mark == domain.fileIdentity();
}

void TRExternalChanges::mark(const TRDomainController &domain)
{
    m_changedOnDisk.insert(domain.name(), domain.fileIdentity());
}

void TRExternalChanges::forget(const QString &name)
{
    m_changedOnDisk.remove(name);
}

void TRExternalChanges::setFollowing(bool follow)
{
    if (follow == (m_storeWatcher != nullptr))
        return;
    if (!follow) {
        delete m_storeWatcher;
        m_storeWatcher = nullptr;
        m_changedOnDisk.clear();
        m_host.domainListChanged();
        return;
    }
    startWatching();
    // What other programs did while nobody looked.
    check();
}

void TRExternalChanges::startWatching()
{
    if (m_storeWatcher)
        return;
    m_storeWatcher = new TRStoreWatcher(TRDefaultsStore::standard().folder(), this);
    connect(m_storeWatcher, &TRStoreWatcher::changed, this, &TRExternalChanges::check);
    // The files watched follow the list, whatever changed it (a reload, an import, a new domain).
    const auto watchListedFiles = [this] {
        if (!m_storeWatcher)
            return;
        QStringList paths;
        paths.reserve(m_domains.count());
        for (const TRDomainControllerPtr &domain : m_domains.domains())
            paths.append(TRDefaultsStore::standard().filePathForName(domain->name()));
        m_storeWatcher->setFiles(paths);
    };
    for (const auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(&m_listModel, signal, m_storeWatcher, watchListedFiles);
    connect(&m_listModel, &QAbstractItemModel::modelReset, m_storeWatcher, watchListedFiles);
    watchListedFiles();
}

void TRExternalChanges::check()
{
    // Not while a sheet or an alert is up: the key or the domain it is about stays as the user saw it.
    if (QApplication::activeModalWidget()) {
        if (m_storeWatcher)
            m_storeWatcher->noteChange();
        return;
    }
    if (m_host.deferCheckForWrites())
        return;
    TRDefaultsStore &store = TRDefaultsStore::standard();
    bool listChanged = false;
    bool lookAgain = false;
    QStringList marked;
    QStringList unreadable;
    for (int row = 0; row < m_domains.count();) {
        const TRDomainControllerPtr domain = m_domains.at(row);
        const QString name = domain->name();
        const TRFileIdentity now = store.fileIdentity(name);
        if (now == domain->fileIdentity()) {
            // Unchanged, or changed back; Tamrix's own writes end here too.
            listChanged |= m_changedOnDisk.remove(name);
            m_unreadableSeen.remove(name);
            m_unreadableReported.remove(name);
            ++row;
            continue;
        }
        if (domain->modified()) {
            if (!isChangedOnDisk(*domain)) {
                m_changedOnDisk.insert(name, domain->fileIdentity());
                marked.append(name);
                listChanged = true;
                if (const TRDefaultsStore::DomainRead read = store.readPersistentDomain(name);
                    read.dictionary.isDictionary())
                    noteVersion(name, domain->fileIdentity(), nullptr, read.dictionary, read.identity);
            }
            ++row;
            continue;
        }
        if (!now.exists && domain->fileIdentity().exists) {
            noteVersion(name, domain->fileIdentity(), domain.get(), TRValue::fromDictionary(TRDictionary()),
                        now);
            m_changedOnDisk.remove(name);
            m_undoManager.removeActionsOfDomain(name);
            m_host.dropFollowedDomain(row);
            listChanged = true;
            continue;
        }
        const TRDefaultsStore::DomainRead read = store.readPersistentDomain(name);
        if (read.unreadable) {
            // The loaded copy stays. A file caught in the middle of a write is complete at the second
            // look; one that is still unreadable then is reported, once.
            if (m_unreadableSeen.value(name) != read.identity) {
                m_unreadableSeen.insert(name, read.identity);
                lookAgain = true;
            } else if (m_unreadableReported.value(name) != read.identity) {
                m_unreadableReported.insert(name, read.identity);
                unreadable.append(
                    trFormat(trText("The file of domain %@ cannot be read (%@); Tamrix keeps the "
                                    "contents it read before."),
                             {name, read.reason}));
            }
        } else if (read.dictionary.isDictionary()) {
            m_unreadableSeen.remove(name);
            m_unreadableReported.remove(name);
            noteVersion(name, domain->fileIdentity(), domain.get(), read.dictionary, read.identity);
            followFile(domain, read);
            listChanged = true;
        }
        ++row;
    }
    // New files: only their names are looked at, so a look stays cheap whatever the store's size.
    QSet<QString> listed;
    listed.reserve(m_domains.count());
    for (const TRDomainControllerPtr &domain : m_domains.domains())
        listed.insert(domain->name());
    const QStringList files =
        QDir(store.folder())
            .entryList({QStringLiteral("*.plist")}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &file : files) {
        const QString name = file.chopped(6);
        if (listed.contains(name) || !TRDefaultsStore::isValidDomainName(name))
            continue;
        // An unreadable new file is reported with the others that are not listed.
        const TRDefaultsStore::DomainRead read = store.readPersistentDomain(name);
        if (read.dictionary.isDictionary()) {
            noteVersion(name, TRFileIdentity(), nullptr, read.dictionary, read.identity);
            insertFollowedDomain(name, read);
            listChanged = true;
        }
    }
    if (listChanged)
        m_host.domainListChanged();
    m_host.unreadableFilesChanged();

    TRMainView *view = m_host.mainView();
    if (view && !unreadable.isEmpty())
        view->showStatusMessage(unreadable.join(QLatin1Char(' ')));
    else if (view && !marked.isEmpty())
        view->showStatusMessage(
            marked.size() == 1
                ? trFormat(trText("The file of domain %@ was changed by another program. Saving the domain "
                                  "will ask first."),
                           {marked.first()})
                : trFormat(trText("The files of %d modified domains were changed by another program. Saving "
                                  "them will ask first."),
                           {QString::number(marked.size())}));
    if (lookAgain && m_storeWatcher)
        m_storeWatcher->noteChange();
}

void TRExternalChanges::followFile(const TRDomainControllerPtr &domain,
                                   const TRDefaultsStore::DomainRead &read)
{
    TRMainView *view = m_host.mainView();
    if (view && m_domains.shown() == domain && view->keyOutlineModel() == domain->outlineModel())
        view->keepingKeyOutlineView([&] { domain->reloadDomain(read); });
    else
        domain->reloadDomain(read);
    m_changedOnDisk.remove(domain->name());
    m_undoManager.removeActionsOfDomain(domain->name());
}

void TRExternalChanges::noteVersion(const QString &name, const TRFileIdentity &before,
                                    const TRDomainController *loaded, const TRValue &after,
                                    const TRFileIdentity &identity)
{
    TRDefaultsStore &store = TRDefaultsStore::standard();
    TRDomainHistory *history = store.history();
    TRValue older;
    if (!before.exists) {
        older = TRValue::fromDictionary(TRDictionary());
    } else if (history && history->holdsFile(name, before)) {
        history->newestContents(name, &older);
    } else if (loaded && loaded->isLoaded() && !loaded->modified()) {
        older = loaded->databaseRepresentation();
        store.keepInHistory(name, older, before, QString::fromLatin1(TRDomainHistory::kAnotherProgram));
    }
    if (identity.exists)
        store.keepInHistory(name, after, identity, QString::fromLatin1(TRDomainHistory::kAnotherProgram));
    else
        store.keepInHistory(name, after, identity, QString::fromLatin1(TRDomainHistory::kDeleted));
    if (older.isNone())
        return;
    const QList<TRValueChange> changes = trValueChanges(older, after);
    if (changes.isEmpty())
        return;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    QList<TRRecentChange> added;
    added.reserve(std::min<qsizetype>(changes.size(), kMaxRecentChanges));
    for (auto change = changes.crbegin(); change != changes.crend() && added.size() < kMaxRecentChanges;
         ++change)
        added.append({now, name, *change});
    m_recent = added + m_recent.mid(0, kMaxRecentChanges - added.size());
    m_host.recentChangesAdded();
}

void TRExternalChanges::insertFollowedDomain(const QString &name, const TRDefaultsStore::DomainRead &read)
{
    auto domain = std::make_shared<TRDomainController>(name, read.dictionary);
    domain->setFileIdentity(read.identity);
    m_domains.insertInStoreOrder(std::move(domain));
}

std::vector<TRDomainControllerPtr>
TRExternalChanges::changedOnDisk(const std::vector<TRDomainControllerPtr> &domains)
{
    std::vector<TRDomainControllerPtr> changed;
    bool newlyMarked = false;
    for (const TRDomainControllerPtr &domain : domains) {
        // Only what a save would write.
        if (!domain || !domain->modified() || domain->count() == 0)
            continue;
        if (TRDefaultsStore::standard().fileIdentity(domain->name()) == domain->fileIdentity())
            continue;
        changed.push_back(domain);
        if (!isChangedOnDisk(*domain)) {
            m_changedOnDisk.insert(domain->name(), domain->fileIdentity());
            newlyMarked = true;
        }
    }
    if (newlyMarked)
        m_host.domainListChanged();
    return changed;
}

namespace {

TRAlert::Content replaceQuestion(const std::vector<TRDomainControllerPtr> &domains)
{
    TRAlert::Content alert;
    alert.title = trText("Changed by another program");
    if (domains.size() == 1) {
        alert.message =
            trFormat(trText("The file of domain %@ was changed by another program since Tamrix read it. "
                            "Saving will replace those changes."),
                     {domains.front()->name()});
    } else {
        QStringList names;
        for (const TRDomainControllerPtr &domain : domains)
            names.append(domain->name());
        alert.message =
            trFormat(trText("The files of domains %@ were changed by another program since Tamrix "
                            "read them. Saving will replace those changes."),
                     {names.join(QStringLiteral(", "))});
    }
    alert.defaultButton = trText("Cancel");
    alert.alternateButton = trText("Show Both…");
    alert.otherButton = trText("Save Anyway");
    alert.escapeCode = TRAlert::kDefault;
    return alert;
}

} // namespace

void TRExternalChanges::acceptFilesOnDisk(const std::vector<TRDomainControllerPtr> &domains)
{
    // The user chose to replace the files as they stand now; a write by another program after this
    // answer is asked about again.
    for (const TRDomainControllerPtr &domain : domains)
        domain->setFileIdentity(TRDefaultsStore::standard().fileIdentity(domain->name()));
}

void TRExternalChanges::confirmReplacing(const std::vector<TRDomainControllerPtr> &domains,
                                         const std::function<void()> &write)
{
    const std::vector<TRDomainControllerPtr> changed = changedOnDisk(domains);
    if (changed.empty()) {
        write();
        return;
    }
    TRAlert::beginSheet(m_host.mainView() ? m_host.mainView()->window() : nullptr, replaceQuestion(changed),
                        [this, changed, write](int code) {
                            if (code == TRAlert::kOther) {
                                acceptFilesOnDisk(changed);
                                write();
                            } else if (code == TRAlert::kAlternate) {
                                for (const TRDomainControllerPtr &domain : changed)
                                    showBothVersions(domain);
                            }
                        });
}

bool TRExternalChanges::confirmReplacingModal(const std::vector<TRDomainControllerPtr> &domains)
{
    const std::vector<TRDomainControllerPtr> changed = changedOnDisk(domains);
    if (changed.empty())
        return true;
    switch (TRAlert::runModal(replaceQuestion(changed))) {
    case TRAlert::kOther:
        acceptFilesOnDisk(changed);
        return true;
    case TRAlert::kAlternate:
        for (const TRDomainControllerPtr &domain : changed)
            showBothVersions(domain);
        return false;
    default:
        return false;
    }
}

void TRExternalChanges::showBothVersions(const TRDomainControllerPtr &domain)
{
    if (!domain)
        return;
    const TRDefaultsStore::DomainRead read = TRDefaultsStore::standard().readPersistentDomain(domain->name());
    if (TRMainView *view = m_host.mainView())
        view->showBothVersions(domain->name(), read.dictionary, read.reason,
                               domain->databaseRepresentation());
}
