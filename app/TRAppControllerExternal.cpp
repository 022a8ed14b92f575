// Changes other programs make to the store, as the application controller meets them: TRExternalChanges
// watches and marks; the controller redisplays the list and moves the selection.
#include "TRAppController.h"
#include "TRExternalChanges.h"
#include "store/TRStoreWatcher.h"

const QString &TRAppController::changedOnDiskMarker()
{
    static const QString marker(QChar(0x26A0));
    return marker;
}

bool TRAppController::isChangedOnDisk(const TRDomainController &domain) const
{
    return m_externalChanges->isChangedOnDisk(domain);
}

void TRAppController::checkExternalChanges()
{
    m_externalChanges->check();
}

bool TRAppController::deferCheckForWrites()
{
    if (!hasPendingWrites())
        return false;
    m_checkWhenWritten = true;
    return true;
}

void TRAppController::preferencesDidChange()
{
    m_externalChanges->setFollowing(preferenceIsSet(kFollowExternalChanges));
    if (TRDomainHistory *history = TRDefaultsStore::standard().history())
        history->setLimits(historyLimits());
    if (m_writer)
        m_writer->setHistoryLimits(historyLimits());
}

void TRAppController::confirmReplacingExternalChanges(const std::vector<TRDomainControllerPtr> &domains,
                                                      const std::function<void()> &write)
{
    m_externalChanges->confirmReplacing(domains, write);
}

bool TRAppController::confirmReplacingExternalChangesModal(const std::vector<TRDomainControllerPtr> &domains)
{
    return m_externalChanges->confirmReplacingModal(domains);
}

void TRAppController::showBothVersions(const TRDomainControllerPtr &domain)
{
    m_externalChanges->showBothVersions(domain);
}

void TRAppController::dropFollowedDomain(int row)
{
    const TRDomainControllerPtr domain = m_domainList.at(row);
    if (!domain)
        return;
    const bool wasLastRow = row + 1 == m_domainList.count();
    const int selected = selectedRow();
    m_domainList.removeAt(row);
    m_domainList.noteFileGone(domain->name());
    reloadDomainList();
    if (selected == row && numberOfRowsInTableView() > 0)
        selectRow(wasLastRow ? row - 1 : row);
    tableViewSelectionDidChange();
}
