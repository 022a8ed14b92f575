// Domain list commands of the application controller: lookups, the two primitives that add and remove a
// domain and undo each other, New domain, Delete domain and the domain search.
#include "TRAlert.h"
#include "TRAppController.h"
#include "TRDomainListModel.h"
#include "TRMainView.h"
#include "TRText.h"
#include "TRUndoManager.h"
#include "store/TRDefaultsStore.h"

#include <QFileInfo>
#include <QLineEdit>

namespace {

// Whether the store holds a domain of that name, or any file in its place (one it cannot read, or a
// dangling link, included). Such a name is not the user's to create: undoing the creation would delete
// that file.
bool storeHoldsName(const QString &name)
{
    TRDefaultsStore &store = TRDefaultsStore::standard();
    const QFileInfo file(store.filePathForName(name));
    return file.exists() || file.isSymLink() || !store.persistentDomainForName(name).isNone();
}

} // namespace

TRDomainController *TRAppController::domainForName(const QString &name) const
{
    return m_domainList.forName(name);
}

int TRAppController::indexOfDomain(const QString &name) const
{
    return m_domainList.indexOf(name);
}

TRDomainController *TRAppController::currentDomain() const
{
    return m_domainList.shown().get();
}

void TRAppController::addDomain(const TRDomainEnvelopePtr &envelope)
{
    if (!envelope || indexOfDomain(envelope->name()) >= 0)
        return;
    auto domain = std::make_shared<TRDomainController>(envelope->name(), envelope->contents());
    domain->setModified(true);
    m_domainList.append(std::move(domain));
    reloadDomainList();

    m_undoManager->registerUndo([this, envelope] { removeDomain(envelope); });
    m_undoManager->setActionName(m_undoManager->isUndoing() ? trText("Delete domain") : trText("New domain"));
    m_undoManager->setActionDomain(envelope->name());
}

void TRAppController::removeDomain(const TRDomainEnvelopePtr &envelope)
{
    if (!envelope)
        return;
    finishPendingWrites();
    const int row = indexOfDomain(envelope->name());
    if (row < 0)
        return;
    // The store goes first: when it cannot delete the file, the domain stays in the list and on disk,
    // and the user is told why. Undoing a creation deletes only a file that Tamrix wrote: one that
    // another program made under the name meanwhile is not the user's.
    const bool undoingCreation = m_undoManager->isUndoing();
    if (!undoingCreation || m_domainList.wasWritten(envelope->name())) {
        QString error;
        if (!TRDefaultsStore::standard().removePersistentDomainForName(envelope->name(), &error)) {
            reportFailures(trText("Cannot delete domain"),
                           {trFormat(trText("%@: %@"), {envelope->name(), error})});
            return;
        }
        m_domainList.noteFileGone(envelope->name());
    }
    const bool wasLastRow = row == numberOfRowsInTableView() - 1;
    const int selected = selectedRow();
    m_domainList.removeAt(row);
    m_externalChanges->forget(envelope->name());
    reloadDomainList();
    // When the deleted domain was selected, the row that followed takes its place in the selection; when
    // it was the last row, its predecessor does. Another selection stays with its domain.
    if (selected == row && numberOfRowsInTableView() > 0)
        selectRow(wasLastRow ? row - 1 : row);
    // The selection is scrolled to.
    if (const int shown = selectedRow(); shown >= 0)
        selectRow(shown);
    tableViewSelectionDidChange();

    m_undoManager->registerUndo([this, envelope] { addDomain(envelope); });
    m_undoManager->setActionName(m_undoManager->isUndoing() ? trText("New domain") : trText("Delete domain"));
    m_undoManager->setActionDomain(envelope->name());
}

bool TRAppController::acceptsDomainName(const QString &name)
{
    QString reason;
    if (name.isEmpty()) {
        TRAlert::beginSheet(mainWindow(),
                            TRAlert::notice(trText("Empty domain name"),
                                            trText("It is not possible to add a domain with empty name. "
                                                   "Please enter a valid domain name.")));
        return false;
    }
    if (!TRDefaultsStore::isValidDomainName(name, &reason)) {
        TRAlert::beginSheet(
            mainWindow(),
            TRAlert::notice(trText("Invalid domain name"),
                            trFormat(trText("The defaults database cannot hold a domain named %@: %@ Please "
                                            "enter a different domain name."),
                                     {name, reason})));
        return false;
    }
    return true;
}

void TRAppController::newDomain()
{
    setCurrentSheet(m_sheets.newDomainSheet);
    // The name kept from the last use is selected, so that typing replaces it.
    if (QLineEdit *nameEdit = m_sheets.newDomainNameEdit) {
        nameEdit->setFocus(Qt::OtherFocusReason);
        nameEdit->selectAll();
    }
    if (showCurrentSheet() == 0)
        return;
    // Taken as typed, not trimmed; the field keeps the text for the next use.
    const QString name = m_sheets.newDomainNameEdit ? m_sheets.newDomainNameEdit->text() : QString();
    if (!acceptsDomainName(name))
        return;
    if (indexOfDomain(name) != -1) {
        TRAlert::beginSheet(
            mainWindow(),
            TRAlert::notice(
                trText("Domain exists"),
                trFormat(trText("The domain %@ already exists. Please use a different domain name."),
                         {name})));
        return;
    }
    if (storeHoldsName(name)) {
        TRAlert::beginSheet(
            mainWindow(),
            TRAlert::notice(trText("Domain exists"),
                            trFormat(trText("The defaults database already holds the domain %@, which is not "
                                            "in the list. Use Reload All Domains to show it, or use a "
                                            "different domain name."),
                                     {name})));
        return;
    }
    addDomain(std::make_shared<TRDomainEnvelope>(name));
    selectRow(numberOfRowsInTableView() - 1);
}

void TRAppController::deleteDomain()
{
    TRDomainController *domain = currentDomain();
    if (m_domainList.isEmpty() || !domain)
        return;
    const QString name = domain->name();
    const TRAlert::Content alert = TRAlert::question(
        trText("About to delete a domain"),
        trFormat(trText("The domain %@ is about to be permanently deleted. Do you confirm?"), {name}),
        trText("No"), trText("Yes"), TRAlert::kDefault);
    TRAlert::beginSheet(mainWindow(), alert, [this, name](int code) { doRemoveDomain(code, name); });
}

void TRAppController::doRemoveDomain(int returnCode, const QString &name)
{
    if (returnCode != TRAlert::kAlternate)
        return;
    // Found again by name: a domain removed while the question was open is simply not found.
    TRDomainController *domain = domainForName(name);
    if (!domain)
        return;
    removeDomain(std::make_shared<TRDomainEnvelope>(name, domain->databaseRepresentation()));
}

void TRAppController::searchDomain()
{
    const QString text = m_view ? m_view->domainSearchText() : QString();
    if (text.isEmpty())
        return;
    const int count = numberOfRowsInTableView();
    if (count <= 1)
        return;
    const bool prefixOnly = preferenceIsSet(kDomainSearch);
    const int selected = selectedRow();
    // Every row but the selected one, once, starting after it and wrapping to the top.
    const int examined = selected < 0 ? count : count - 1;
    const int first = selected < 0 ? 0 : selected + 1;
    for (int step = 0; step < examined; ++step) {
        const int row = (first + step) % count;
        const QString &name = m_domainList.at(row)->name();
        const qsizetype at = name.indexOf(text, 0, Qt::CaseInsensitive);
        if (at < 0 || (prefixOnly && at != 0))
            continue;
        selectRow(row);
        if (m_view)
            m_view->focusDomainSearch(false);
        return;
    }
    TRAlert::beep();
}
