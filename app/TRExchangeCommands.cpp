// Exchange files (Export All Domains, Export Domain, Import All Domains, Import Domain) and property-list
// files (Export Domain as Property List, Import Property List as Domain): their file panels and the
// did-end handlers that do the work.
#include "TRExchangeCommands.h"

#include "TRAlert.h"
#include "TRDomainList.h"
#include "TRFileDialog.h"
#include "TRText.h"
#include "archive/TRKeyedArchiver.h"
#include "archive/TRKeyedUnarchiver.h"
#include "plist/TRPropertyList.h"
#include "store/TRAtomicFile.h"
#include "store/TRDefaultsStore.h"

#include <QDir>
#include <QFile>
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

namespace {

const QString kPlistSuffix = QStringLiteral("plist");

// The largest file read whole: a settings file is far smaller, and more would only hold up the window.
constexpr qint64 kMaxPlistBytes = qint64(1) << 30;

bool readPropertyList(const QString &path, TRValue *contents, QString *reason)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *reason = file.errorString();
        return false;
    }
    if (file.size() > kMaxPlistBytes) {
        *reason = trText("The file is too large for a property list.");
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        *reason = file.errorString();
        return false;
    }
    TRValue value;
    if (!TRPropertyList::readWithinBound(bytes, &value, nullptr, reason))
        return false;
    if (!value.isDictionary()) {
        *reason = trText("The property list does not hold a dictionary at its top, as a domain does.");
        return false;
    }
    *contents = value;
    return true;
}

} // namespace

TRExchangeCommands::TRExchangeCommands(const TRDomainList &domains, Host &host)
    : m_domains(domains), m_host(host)
{
}

// ---- Export

void TRExchangeCommands::exportToFile()
{
    TRFileDialog::beginSheet(m_host.exchangeWindow(), panelSettings(TRFileDialog::Kind::Save, true),
                             [this](int code, const QString &path) { doExportToFile(code, path); });
}

void TRExchangeCommands::exportDomainToFile()
{
    TRFileDialog::beginSheet(m_host.exchangeWindow(), panelSettings(TRFileDialog::Kind::Save, false),
                             [this](int code, const QString &path) { doExportDomainToFile(code, path); });
}

void TRExchangeCommands::doExportToFile(int returnCode, const QString &path)
{
    if (returnCode != TRFileDialog::kOK)
        return;
    TRArchiveContents contents;
    contents.isList = true;
    contents.domains = m_domains.domains();
    writeExchangeFile(contents, path);
}

void TRExchangeCommands::doExportDomainToFile(int returnCode, const QString &path)
{
    if (returnCode != TRFileDialog::kOK || !m_domains.shown())
        return;
    TRArchiveContents contents;
    contents.domains.push_back(m_domains.shown());
    writeExchangeFile(contents, path);
}

void TRExchangeCommands::writeExchangeFile(const TRArchiveContents &contents, const QString &path)
{
    // The domains are written as they stand, unsaved changes included; nothing in memory changes.
    QString reason;
    if (!TRKeyedArchiver::archiveRootObject(contents, path, &reason))
        reportExportFailure(path, reason);
}

void TRExchangeCommands::reportExportFailure(const QString &path, const QString &reason)
{
    TRAlert::beginSheet(
        m_host.exchangeWindow(),
        TRAlert::notice(
            trText("Export error"),
            trFormat(
                trText("The export operation failed. Please make sure you have sufficient permissions to "
                       "the directory %@ and that you haven't run out of disk space. Then try again."),
                {QDir::toNativeSeparators(QFileInfo(path).absolutePath())}),
            reason));
}

// ---- Import

void TRExchangeCommands::importFromFile()
{
    TRFileDialog::beginSheet(m_host.exchangeWindow(), panelSettings(TRFileDialog::Kind::Open, true),
                             [this](int code, const QString &path) { doImportFromFile(code, path); });
}

void TRExchangeCommands::importDomainFromFile()
{
    TRFileDialog::beginSheet(m_host.exchangeWindow(), panelSettings(TRFileDialog::Kind::Open, false),
                             [this](int code, const QString &path) { doImportDomainFromFile(code, path); });
}

void TRExchangeCommands::importFile(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix();
    if (suffix.compare(kDomainListSuffix, Qt::CaseInsensitive) == 0)
        doImportFromFile(TRFileDialog::kOK, path);
    else if (suffix.compare(QLatin1String("plist"), Qt::CaseInsensitive) == 0)
        doImportPropertyListAsDomain(TRFileDialog::kOK, path);
    else
        doImportDomainFromFile(TRFileDialog::kOK, path);
}

bool TRExchangeCommands::readExchangeFile(const QString &path, bool list, TRArchiveContents *contents)
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

void TRExchangeCommands::reportImportFailure(const QString &path, const QString &reason)
{
    TRAlert::beginSheet(
        m_host.exchangeWindow(),
        TRAlert::notice(
            trText("Import error"),
            trFormat(
                trText("The import operation failed. Please make sure you have sufficient permissions to "
                       "the file %@ and that the file is in proper format. Then try again."),
                {QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath())}),
            reason));
}

void TRExchangeCommands::confirmDiscardingChanges(const QStringList &losing, bool wholeList,
                                                  const std::vector<TRDomainControllerPtr> &imported,
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
    TRAlert::Content alert = TRAlert::question(trText("About to discard unsaved changes"), message,
                                               trText("Cancel"), trText("Import"), TRAlert::kDefault);
    alert.otherButton = trText("Show Changes…");
    TRAlert::beginSheet(m_host.exchangeWindow(), alert, [this, losing, imported, proceed](int code) {
        if (code == TRAlert::kAlternate) {
            proceed();
            return;
        }
        if (code != TRAlert::kOther)
            return;
        // What each losing domain would become: the imported domain of its name, or nothing when the
        // whole list is replaced by one without it.
        for (const QString &name : losing) {
            const TRDomainController *loaded = m_domains.forName(name);
            if (!loaded)
                continue;
            TRValue replacement = TRValue::fromDictionary(TRDictionary());
            for (const TRDomainControllerPtr &domain : imported) {
                if (domain->name() == name)
                    replacement = domain->databaseRepresentation();
            }
            m_host.showImportChanges(name, replacement, loaded->databaseRepresentation());
        }
    });
}

void TRExchangeCommands::doImportDomainFromFile(int returnCode, const QString &path)
{
    TRArchiveContents contents;
    if (returnCode != TRFileDialog::kOK || !readExchangeFile(path, false, &contents))
        return;
    importDomainAsking(contents.domains.front());
}

void TRExchangeCommands::importDomainAsking(const TRDomainControllerPtr &domain)
{
    QStringList losing;
    if (const TRDomainController *loaded = m_domains.forName(domain->name());
        loaded && loaded->modified() && loaded->count() > 0)
        losing.append(loaded->name());
    confirmDiscardingChanges(losing, false, {domain}, [this, domain] { m_host.putImportedDomain(domain); });
}

void TRExchangeCommands::doImportFromFile(int returnCode, const QString &path)
{
    TRArchiveContents contents;
    if (returnCode != TRFileDialog::kOK || !readExchangeFile(path, true, &contents))
        return;
    QStringList losing;
    for (const TRDomainControllerPtr &loaded : m_domains.domains()) {
        if (loaded->modified() && loaded->count() > 0)
            losing.append(loaded->name());
    }
    auto domains = std::make_shared<std::vector<TRDomainControllerPtr>>(std::move(contents.domains));
    confirmDiscardingChanges(losing, true, *domains,
                             [this, domains] { m_host.putImportedDomains(std::move(*domains)); });
}

// ---- Property lists

void TRExchangeCommands::exportDomainAsPropertyList()
{
    if (!m_domains.shown())
        return;
    TRFileDialog::Settings settings;
    settings.kind = TRFileDialog::Kind::Save;
    settings.title = trText("Export Domain as Property List");
    settings.prompt = trText("Export");
    settings.nameFieldLabel = trText("Export as");
    settings.defaultSuffix = kPlistSuffix;
    settings.nameFilters = {trText("XML property list (*.plist)"), trText("Binary property list (*.plist)")};
    TRFileDialog::beginFilteredSheet(m_host.exchangeWindow(), settings,
                                     [this](int code, const QString &path, int filter) {
                                         doExportDomainAsPropertyList(code, path, filter == 1);
                                     });
}

void TRExchangeCommands::doExportDomainAsPropertyList(int returnCode, const QString &path, bool binary)
{
    if (returnCode != TRFileDialog::kOK || !m_domains.shown())
        return;
    // Unsaved changes included; nothing in memory changes.
    const TRValue contents = m_domains.shown()->databaseRepresentation();
    QByteArray bytes;
    QString reason;
    if (!binary && !TRPropertyList::canWriteXml(contents)) {
        reason = trText("The domain holds text or a date that XML cannot carry. Export it as a binary "
                        "property list.");
    } else if (TRPropertyList::write(contents,
                                     binary ? TRPropertyList::Format::Binary : TRPropertyList::Format::Xml,
                                     &bytes, &reason)) {
        if (TRAtomicFile::write(path, bytes, -1, &reason))
            return;
    }
    reportExportFailure(path, reason);
}

void TRExchangeCommands::importPropertyListAsDomain()
{
    TRFileDialog::Settings settings;
    settings.kind = TRFileDialog::Kind::Open;
    settings.title = trText("Import Property List as Domain");
    settings.prompt = trText("Import");
    settings.nameFieldLabel = trText("Import from");
    settings.nameFilters = {trText("Property lists (*.plist)"), trText("All files (*)")};
    TRFileDialog::beginSheet(m_host.exchangeWindow(), settings, [this](int code, const QString &path) {
        doImportPropertyListAsDomain(code, path);
    });
}

void TRExchangeCommands::doImportPropertyListAsDomain(int returnCode, const QString &path)
{
    if (returnCode != TRFileDialog::kOK)
        return;
    TRValue contents;
    QString reason;
    if (!readPropertyList(path, &contents, &reason)) {
        reportImportFailure(path, reason);
        return;
    }
    // The name the file gives, "org.example.app" for "org.example.app.plist", may be changed first.
    QString name;
    if (!m_host.askDomainName(QFileInfo(path).completeBaseName(), &name))
        return;
    auto domain = std::make_shared<TRDomainController>(name, contents);
    // Like every imported domain, it reaches the store when saved.
    domain->setModified(true);
    importDomainAsking(domain);
}
