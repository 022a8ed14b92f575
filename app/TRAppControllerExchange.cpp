// Exchange files of the application controller: Export All Domains, Export Domain, Import All Domains and
// Import Domain, their file panels and the did-end handlers that do the work.
#include "TRAlert.h"
#include "TRAppController.h"
#include "TRDomainListModel.h"
#include "TRFileDialog.h"
#include "TRText.h"
#include "TRUndoManager.h"
#include "archive/TRKeyedArchiver.h"
#include "archive/TRKeyedUnarchiver.h"
#include "store/TRDefaultsStore.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace {

const QString kDomainSuffix = QStringLiteral("tamdom");
const QString kDomainListSuffix = QStringLiteral("tamdoms");

TRFileDialog::Settings panelSettings(TRFileDialog::Kind kind, bool list)
{
    TRFileDialog::Settings settings;
    settings.kind = kind;
    const bool save = kind == TRFileDialog::Kind::Save;
    settings.title = save ? trText("Export domains") : trText("Import domains");
    settings.prompt = save ? trText("Export") : trText("Import");
    settings.nameFieldLabel = save ? trText("Export as") : trText("Import from");
    settings.nameFilters.append(list ? trText("Tamrix domains (*.tamdoms)")
                                     : trText("Tamrix domain (*.tamdom)"));
    // Only the single-domain import refuses other kinds of file.
    if (list || save)
        settings.nameFilters.append(trText("All files (*)"));
    if (!list)
        settings.defaultSuffix = kDomainSuffix;
    return settings;
}

// Why the store could not take the file's domains as they are, or an empty text: a name it cannot hold
// could never be saved, and of two domains of one name, saving one would overwrite the other.
QString refusalOf(const std::vector<TRDomainControllerPtr> &domains)
{
    QSet<QString> names;
    for (const TRDomainControllerPtr &domain : domains) {
        QString reason;
        if (!TRDefaultsStore::isValidDomainName(domain->name(), &reason))
            return trFormat(trText("The file holds a domain that the defaults database cannot hold: %@"),
                            {reason});
        if (names.contains(domain->name()))
            return trFormat(trText("The file holds more than one domain named %@."), {domain->name()});
        names.insert(domain->name());
    }
    return QString();
}

} // namespace

// ---- Export

void TRAppController::exportToFile()
{
    TRFileDialog::beginSheet(mainWindow(), panelSettings(TRFileDialog::Kind::Save, true),
                             [this](int code, const QString &path) { doExportToFile(code, path); });
}

void TRAppController::exportDomainToFile()
{
    TRFileDialog::beginSheet(mainWindow(), panelSettings(TRFileDialog::Kind::Save, false),
                             [this](int code, const QString &path) { doExportDomainToFile(code, path); });
}

void TRAppController::doExportToFile(int returnCode, const QString &path)
{
    if (returnCode != TRFileDialog::kOK)
        return;
    TRArchiveContents contents;
    contents.isList = true;
    contents.domains = m_domainList.domains();
    writeExchangeFile(contents, path);
}

void TRAppController::doExportDomainToFile(int returnCode, const QString &path)
{
    if (returnCode != TRFileDialog::kOK || !m_domainList.shown())
        return;
    TRArchiveContents contents;
    contents.domains.push_back(m_domainList.shown());
    writeExchangeFile(contents, path);
}

void TRAppController::writeExchangeFile(const TRArchiveContents &contents, const QString &path)
{
    // The domains are written as they stand, unsaved changes included; nothing in memory changes.
    QString reason;
    if (!TRKeyedArchiver::archiveRootObject(contents, path, &reason))
        reportExportFailure(path, reason);
}

void TRAppController::reportExportFailure(const QString &path, const QString &reason)
{
    TRAlert::beginSheet(
        mainWindow(),
        TRAlert::notice(
            trText("Export error"),
            trFormat(
                trText("The export operation failed. Please make sure you have sufficient permissions to "
                       "the directory %@ and that you haven't run out of disk space. Then try again."),
                {QDir::toNativeSeparators(QFileInfo(path).absolutePath())}),
            reason));
}

// ---- Import

void TRAppController::importFromFile()
{
    TRFileDialog::beginSheet(mainWindow(), panelSettings(TRFileDialog::Kind::Open, true),
                             [this](int code, const QString &path) { doImportFromFile(code, path); });
}

void TRAppController::importDomainFromFile()
{
    TRFileDialog::beginSheet(mainWindow(), panelSettings(TRFileDialog::Kind::Open, false),
                             [this](int code, const QString &path) { doImportDomainFromFile(code, path); });
}

void TRAppController::importFile(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix();
    if (suffix.compare(kDomainListSuffix, Qt::CaseInsensitive) == 0)
        doImportFromFile(TRFileDialog::kOK, path);
    else if (suffix.compare(QLatin1String("plist"), Qt::CaseInsensitive) == 0)
        doImportPropertyListAsDomain(TRFileDialog::kOK, path);
    else
        doImportDomainFromFile(TRFileDialog::kOK, path);
}

bool TRAppController::readExchangeFile(const QString &path, bool list, TRArchiveContents *contents)
{
    TRArchiveContents read;
    QString reason;
    const bool readable = TRKeyedUnarchiver::unarchiveObjectWithFile(path, &read, &reason);
    if (readable && read.isList && !list)
        reason =
            trText("The file holds a list of domains, not one domain. Use Import All Domains to import it.");
    else if (readable && !read.isList && list)
        reason = trText("The file holds one domain, not a list of domains. Use Import Domain to import it.");
    else if (readable)
        reason = refusalOf(read.domains);
    if (readable && reason.isEmpty()) {
        *contents = std::move(read);
        return true;
    }
    reportImportFailure(path, reason);
    return false;
}

void TRAppController::reportImportFailure(const QString &path, const QString &reason)
{
    TRAlert::beginSheet(
        mainWindow(),
        TRAlert::notice(
            trText("Import error"),
            trFormat(
                trText("The import operation failed. Please make sure you have sufficient permissions to "
                       "the file %@ and that the file is in proper format. Then try again."),
                {QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath())}),
            reason));
}

void TRAppController::confirmDiscardingChanges(const QStringList &losing, bool wholeList,
                                               const std::function<void()> &proceed)
{
    if (losing.isEmpty()) {
        proceed();
        return;
    }
    const QString message =
        losing.size() == 1
            ? trFormat(wholeList ? trText("The domain %@ has unsaved changes. The import replaces the whole "
                                          "domain list, and these changes will be lost. Do you wish to "
                                          "import anyway?")
                                 : trText("The domain %@ has unsaved changes. The import replaces it, and "
                                          "these changes will be lost. Do you wish to import anyway?"),
                       {losing.first()})
            : trFormat(trText("%d domains have unsaved changes. The import replaces the whole domain list, "
                              "and these changes will be lost. Do you wish to import anyway?"),
                       {QString::number(losing.size())});
    const TRAlert::Content alert = TRAlert::question(trText("About to discard unsaved changes"), message,
                                                     trText("Cancel"), trText("Import"), TRAlert::kDefault);
    TRAlert::beginSheet(mainWindow(), alert, [proceed](int code) {
        if (code == TRAlert::kAlternate)
            proceed();
    });
}

void TRAppController::doImportDomainFromFile(int returnCode, const QString &path)
{
    TRArchiveContents contents;
    if (returnCode != TRFileDialog::kOK || !readExchangeFile(path, false, &contents))
        return;
    importDomainAsking(contents.domains.front());
}

void TRAppController::importDomainAsking(const TRDomainControllerPtr &domain)
{
    QStringList losing;
    if (const TRDomainController *loaded = domainForName(domain->name());
        loaded && loaded->modified() && loaded->count() > 0)
        losing.append(loaded->name());
    confirmDiscardingChanges(losing, false, [this, domain] { importDomain(domain); });
}

void TRAppController::importDomain(const TRDomainControllerPtr &domain)
{
    domain->setFileIdentity(TRDefaultsStore::standard().fileIdentity(domain->name()));
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

void TRAppController::doImportFromFile(int returnCode, const QString &path)
{
    TRArchiveContents contents;
    if (returnCode != TRFileDialog::kOK || !readExchangeFile(path, true, &contents))
        return;
    QStringList losing;
    for (const TRDomainControllerPtr &loaded : m_domainList.domains()) {
        if (loaded->modified() && loaded->count() > 0)
            losing.append(loaded->name());
    }
    auto domains = std::make_shared<std::vector<TRDomainControllerPtr>>(std::move(contents.domains));
    confirmDiscardingChanges(losing, true, [this, domains] { importDomains(std::move(*domains)); });
}

void TRAppController::importDomains(std::vector<TRDomainControllerPtr> domains)
{
    // Neither view may show a discarded domain, not even for a moment.
    m_domainListModel->setDataSource(nullptr);
    setOutlineDataSource(nullptr);
    reloadKeyOutline();
    for (const TRDomainControllerPtr &domain : domains) {
        domain->setFileIdentity(TRDefaultsStore::standard().fileIdentity(domain->name()));
    }
    m_domainList.assign(std::move(domains));
    m_domainListModel->setDataSource(this);
    updateWindowTitle();
    if (!m_domainList.isEmpty())
        selectRow(0);
    tableViewSelectionDidChange();
    m_undoManager->removeAllActions();
}
