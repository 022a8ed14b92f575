// The exchange-file and property-list commands of the application controller: TRExchangeCommands runs the
// panels, reads, checks and writes; the controller puts imported domains in the list.
#include "TRAppController.h"
#include "TRDomainListModel.h"
#include "TRMainView.h"
#include "TRNameSheet.h"
#include "TRSheetRunner.h"
#include "TRText.h"
#include "TRUndoManager.h"
#include "store/TRDefaultsStore.h"

#include <QWidget>

void TRAppController::exportToFile()
{
    m_exchange.exportToFile();
}

void TRAppController::exportDomainToFile()
{
    m_exchange.exportDomainToFile();
}

void TRAppController::importFromFile()
{
    m_exchange.importFromFile();
}

void TRAppController::importDomainFromFile()
{
    m_exchange.importDomainFromFile();
}

void TRAppController::doExportToFile(int returnCode, const QString &path)
{
    m_exchange.doExportToFile(returnCode, path);
}

void TRAppController::doExportDomainToFile(int returnCode, const QString &path)
{
    m_exchange.doExportDomainToFile(returnCode, path);
}

void TRAppController::doImportFromFile(int returnCode, const QString &path)
{
    m_exchange.doImportFromFile(returnCode, path);
}

void TRAppController::doImportDomainFromFile(int returnCode, const QString &path)
{
    m_exchange.doImportDomainFromFile(returnCode, path);
}

void TRAppController::importFile(const QString &path)
{
    m_exchange.importFile(path);
}

void TRAppController::exportDomainAsPropertyList()
{
    m_exchange.exportDomainAsPropertyList();
}

void TRAppController::doExportDomainAsPropertyList(int returnCode, const QString &path, bool binary)
{
    m_exchange.doExportDomainAsPropertyList(returnCode, path, binary);
}

void TRAppController::importPropertyListAsDomain()
{
    m_exchange.importPropertyListAsDomain();
}

void TRAppController::doImportPropertyListAsDomain(int returnCode, const QString &path)
{
    m_exchange.doImportPropertyListAsDomain(returnCode, path);
}

QWidget *TRAppController::exchangeWindow() const
{
    return mainWindow();
}

bool TRAppController::askDomainName(const QString &proposed, QString *name)
{
    TRNameSheet *sheet = nameSheet();
    sheet->prepare(trText("Import Property List as Domain"), trText("Name of the domain:"), proposed);
    if (TRSheetRunner::run(sheet) == 0)
        return false;
    *name = sheet->name();
    return acceptsDomainName(*name);
}

void TRAppController::showImportChanges(const QString &domain, const TRValue &imported,
                                        const TRValue &inTamrix)
{
    if (m_view)
        m_view->showImportChanges(domain, imported, inTamrix);
}

void TRAppController::putImportedDomain(const TRDomainControllerPtr &domain)
{
    // The file the import is to replace is the one AutoSave leaves.
    finishPendingWrites();
    domain->setFileIdentity(TRDefaultsStore::standard().fileIdentity(domain->name()));
    domain->setChangeSource(QString::fromLatin1(TRDomainHistory::kImport));
    int row = indexOfDomain(domain->name());
    if (row >= 0) {
        // The outline never shows a domain that is no longer in the list, not even for a moment.
        const bool shown = m_domainList.shown() && m_domainList.shown()->name() == domain->name();
        if (shown)
            setOutlineDataSource(nullptr);
        m_domainList.replace(row, domain);
        if (shown)
            setOutlineDataSource(domain);
    } else {
        row = numberOfRowsInTableView();
        m_domainList.append(domain);
    }
    reloadDomainList();
    selectRow(row);
    // Selecting the row that was selected already announces no change.
    tableViewSelectionDidChange();
    m_undoManager->removeAllActions();
}

void TRAppController::putImportedDomains(std::vector<TRDomainControllerPtr> domains)
{
    finishPendingWrites();
    // Neither view may show a discarded domain, not even for a moment.
    m_domainListModel->setDataSource(nullptr);
    setOutlineDataSource(nullptr);
    reloadKeyOutline();
    for (const TRDomainControllerPtr &domain : domains) {
        domain->setFileIdentity(TRDefaultsStore::standard().fileIdentity(domain->name()));
        domain->setChangeSource(QString::fromLatin1(TRDomainHistory::kImport));
    }
    m_domainList.assign(std::move(domains));
    m_domainListModel->setDataSource(this);
    updateWindowTitle();
    if (!m_domainList.isEmpty())
        selectRow(0);
    tableViewSelectionDidChange();
    m_undoManager->removeAllActions();
}
