// Export Domain as Property List and Import Property List as Domain: a domain's dictionary as an XML or
// binary property-list file, and any property list the codec reads as a domain named after its file.
#include "TRAppController.h"
#include "TRFileDialog.h"
#include "TRNameSheet.h"
#include "TRSheetRunner.h"
#include "TRText.h"
#include "plist/TRPropertyList.h"
#include "store/TRAtomicFile.h"

#include <QFile>
#include <QFileInfo>

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

void TRAppController::exportDomainAsPropertyList()
{
    if (!m_domainList.shown())
        return;
    TRFileDialog::Settings settings;
    settings.kind = TRFileDialog::Kind::Save;
    settings.title = trText("Export Domain as Property List");
    settings.prompt = trText("Export");
    settings.nameFieldLabel = trText("Export as");
    settings.defaultSuffix = kPlistSuffix;
    settings.nameFilters = {trText("XML property list (*.plist)"), trText("Binary property list (*.plist)")};
    TRFileDialog::beginFilteredSheet(mainWindow(), settings,
                                     [this](int code, const QString &path, int filter) {
                                         doExportDomainAsPropertyList(code, path, filter == 1);
                                     });
}

void TRAppController::doExportDomainAsPropertyList(int returnCode, const QString &path, bool binary)
{
    if (returnCode != TRFileDialog::kOK || !m_domainList.shown())
        return;
    // Unsaved changes included; nothing in memory changes.
    const TRValue contents = m_domainList.shown()->databaseRepresentation();
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

void TRAppController::importPropertyListAsDomain()
{
    TRFileDialog::Settings settings;
    settings.kind = TRFileDialog::Kind::Open;
    settings.title = trText("Import Property List as Domain");
    settings.prompt = trText("Import");
    settings.nameFieldLabel = trText("Import from");
    settings.nameFilters = {trText("Property lists (*.plist)"), trText("All files (*)")};
    TRFileDialog::beginSheet(mainWindow(), settings, [this](int code, const QString &path) {
        doImportPropertyListAsDomain(code, path);
    });
}

void TRAppController::doImportPropertyListAsDomain(int returnCode, const QString &path)
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
    TRNameSheet *sheet = nameSheet();
    sheet->prepare(trText("Import Property List as Domain"), trText("Name of the domain:"),
                   QFileInfo(path).completeBaseName());
    if (TRSheetRunner::run(sheet) == 0)
        return;
    const QString name = sheet->name();
    if (!acceptsDomainName(name))
        return;
    auto domain = std::make_shared<TRDomainController>(name, contents);
    // Like every imported domain, it reaches the store when saved.
    domain->setModified(true);
    importDomainAsking(domain);
}
