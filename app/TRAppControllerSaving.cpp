// Saving and reloading of the application controller: the one write step every save goes through, the
// Save, Save all, Reload and Reload all commands and their confirmations.
#include "TRAlert.h"
#include "TRAppController.h"
#include "TRDomainListModel.h"
#include "TRText.h"
#include "TRUndoManager.h"
#include "store/TRDefaultsStore.h"

bool TRAppController::writeDomain(TRDomainController *domain, QStringList *failures)
{
    // After what AutoSave has under way: that may have written the domain already.
    finishPendingWrites();
    if (!domain || !domain->modified())
        return true;
    QString error;
    TRFileIdentity written;
    // Only the version of the file the domain was read from (or the user agreed to replace) is replaced.
    const TRFileIdentity expected = domain->fileIdentity();
    switch (TRDefaultsStore::standard().writePersistentDomain(domain->databaseRepresentation(),
                                                              domain->name(), &expected, &written, &error,
                                                              domain->changeSource())) {
    case TRDefaultsStore::WriteResult::Written:
        break;
    case TRDefaultsStore::WriteResult::ChangedOnDisk:
        m_externalChanges->mark(*domain);
        error = trText("Another program changed the file just now; nothing was written. Save again to "
                       "decide what to keep.");
        [[fallthrough]];
    case TRDefaultsStore::WriteResult::Failed:
        // Nothing was written: the domain keeps its flag, so the changes are neither lost nor
        // reported as saved.
        failures->append(trFormat(trText("%@: %@"), {domain->name(), error}));
        return false;
    }
    domain->setModified(false);
    domain->setChangeSource(QString());
    domain->setFileIdentity(written);
    m_externalChanges->forget(domain->name());
    m_domainList.noteWritten(domain->name());
    return true;
}

bool TRAppController::doSaveDomain(TRDomainController *domain)
{
    finishPendingWrites();
    // A file another program changed is replaced only when the user says so.
    const int row = domain ? indexOfDomain(domain->name()) : -1;
    if (row >= 0 && !m_externalChanges->changedOnDisk({m_domainList.at(row)}).empty()) {
        const TRDomainControllerPtr held = m_domainList.at(row);
        confirmReplacingExternalChanges({held}, [this, held] {
            if (indexOfDomain(held->name()) < 0)
                return;
            QStringList failures;
            writeDomain(held.get(), &failures);
            reloadDomainList();
            reportFailures(trText("Cannot save domain"), failures);
        });
        return false;
    }
    QStringList failures;
    const bool saved = writeDomain(domain, &failures);
    reportFailures(trText("Cannot save domain"), failures);
    return saved;
}

void TRAppController::reportFailures(const QString &title, const QStringList &failures)
{
    if (failures.isEmpty())
        return;
    TRAlert::beginSheet(mainWindow(), TRAlert::notice(title, failures.join(QLatin1Char('\n'))));
}

void TRAppController::saveDomain()
{
    if (m_domainList.isEmpty())
        return;
    TRDomainController *domain = currentDomain();
    if (!domain)
        return;
    if (domain->count() > 0) {
        doSaveDomain(domain);
        reloadDomainList();
        return;
    }
    TRAlert::beginSheet(
        mainWindow(),
        TRAlert::notice(
            trText("Empty domain"),
            trFormat(trText("You are about to save an empty domain: %@. The defaults database does "
                            "not accept domains with no keys. The domain will not be saved."),
                     {domain->name()})));
}

void TRAppController::saveAllDomains()
{
    finishPendingWrites();
    // One question for every domain whose file another program changed.
    confirmReplacingExternalChanges(m_domainList.domains(), [this] { saveAll(false); });
}

bool TRAppController::saveAll(bool fromQuitPath)
{
    if (m_domainList.isEmpty())
        return true;
    bool emptyAlertShown = fromQuitPath;
    QStringList failures;
    for (const TRDomainControllerPtr &domain : m_domainList.domains()) {
        if (domain->count() > 0) {
            writeDomain(domain.get(), &failures);
        } else if (!emptyAlertShown) {
            emptyAlertShown = true;
            TRAlert::beginSheet(mainWindow(),
                                TRAlert::notice(trText("Empty domain"),
                                                trText("There are some domains which are empty (contain no "
                                                       "keys). The defaults database does not accept empty "
                                                       "domains. Empty domains will not be saved.")));
        }
    }
    reloadDomainList();
    if (!failures.isEmpty()) {
        const bool several = failures.size() > 1;
        if (fromQuitPath)
            failures.append(trText("Tamrix stays open so that these changes are not lost."));
        reportFailures(!several ? trText("Cannot save domain") : trText("Cannot save domains"), failures);
    }
    return failures.isEmpty();
}

void TRAppController::reloadDomain()
{
    finishPendingWrites();
    if (m_domainList.isEmpty())
        return;
    TRDomainControllerPtr domain = m_domainList.shown();
    if (domain && domain->modified()) {
        const TRAlert::Content alert = TRAlert::question(
            trText("About to reload a domain"),
            trText("You have requested to reload domain contents from the system defaults. All changes "
                   "made to this domain will be lost. Do you confirm?"),
            trText("Yes"), trText("No"), TRAlert::kAlternate);
        TRAlert::beginSheet(mainWindow(), alert, [this, domain](int code) { doReloadDomain(code, domain); });
        return;
    }
    doReloadDomain(TRAlert::kDefault, domain);
}

void TRAppController::doReloadDomain(int returnCode, const TRDomainControllerPtr &domain)
{
    if (returnCode != TRAlert::kDefault)
        return;
    finishPendingWrites();
    QString error;
    if (!TRDefaultsStore::standard().synchronize(&error))
        reportFailures(trText("Cannot read the defaults database"), {error});
    if (domain)
        domain->reloadDomain();
    reloadDomainList();
    reloadKeyOutline();
    m_undoManager->removeAllActions();
}

void TRAppController::reloadAllDomains()
{
    const TRAlert::Content alert = TRAlert::question(
        trText("About to reload all domains"),
        trText("You have requested to reload all domains from the system defaults. All changes made "
               "to any domains will be lost. Do you confirm?"),
        trText("Yes"), trText("No"), TRAlert::kAlternate);
    TRAlert::beginSheet(mainWindow(), alert, [this](int code) { doReloadAllDomains(code); });
}

void TRAppController::doReloadAllDomains(int returnCode)
{
    if (returnCode != TRAlert::kDefault)
        return;
    finishPendingWrites();
    QString error;
    if (!TRDefaultsStore::standard().synchronize(&error))
        reportFailures(trText("Cannot read the defaults database"), {error});
    // Neither view may show a discarded domain, not even for a moment.
    m_domainListModel->setDataSource(nullptr);
    setOutlineDataSource(nullptr);
    reloadDomains();
    m_domainListModel->setDataSource(this);
    updateWindowTitle();
    emit commandsChanged();
    m_undoManager->removeAllActions();
    reportUnreadableFiles();
}
