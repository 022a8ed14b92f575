#pragma once

#include "TRDomainController.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

class QWidget;
class TRDomainList;
struct TRArchiveContents;

// Exchange files ("tamdom", one domain; "tamdoms", the whole list) and property-list files: the file
// panels, reading a file and checking what it holds, writing domains out as they stand (unsaved changes
// included), the question before unsaved changes are lost, and the alert of any failure. Putting imported
// domains in the list is the host's. The handlers take the panel's code: 1 is OK, anything else cancels.
class TRExchangeCommands
{
public:
    class Host
    {
    public:
        // The window that panels and alerts belong to; null for none.
        virtual QWidget *exchangeWindow() const = 0;
        // The domain takes the place of the listed domain of its name, or joins the list.
        virtual void putImportedDomain(const TRDomainControllerPtr &domain) = 0;
        // The domains replace the whole list.
        virtual void putImportedDomains(std::vector<TRDomainControllerPtr> domains) = 0;
        // The name of a domain made from a property list, the file's name proposed: false when the user
        // cancels or the store cannot hold the name (the host says why).
        virtual bool askDomainName(const QString &proposed, QString *name) = 0;
        // Shows what the import would put in the domain's place beside what Tamrix holds of it.
        virtual void showImportChanges(const QString &domain, const TRValue &imported,
                                       const TRValue &inTamrix) = 0;

    protected:
        ~Host() = default;
    };

    TRExchangeCommands(const TRDomainList &domains, Host &host);

    void exportToFile();
    void exportDomainToFile();
    void importFromFile();
    void importDomainFromFile();
    void doExportToFile(int returnCode, const QString &path);
    void doExportDomainToFile(int returnCode, const QString &path);
    void doImportFromFile(int returnCode, const QString &path);
    void doImportDomainFromFile(int returnCode, const QString &path);
    // A file opened from the file manager or dropped on the window: a "tamdoms" file as Import All
    // Domains does, a "plist" file as Import Property List as Domain does, any other as Import Domain does.
    void importFile(const QString &path);

    void exportDomainAsPropertyList();
    void doExportDomainAsPropertyList(int returnCode, const QString &path, bool binary);
    void importPropertyListAsDomain();
    void doImportPropertyListAsDomain(int returnCode, const QString &path);

private:
    void writeExchangeFile(const TRArchiveContents &contents, const QString &path);
    // Reads a file of the expected kind; any failure is reported with "Import error".
    bool readExchangeFile(const QString &path, bool list, TRArchiveContents *contents);
    // Runs proceed at once when no unsaved changes are at stake, else when the user agrees to lose them.
    // With Show Changes…, each domain losing changes is shown beside what the import puts in its place
    // (nothing is imported then).
    void confirmDiscardingChanges(const QStringList &losing, bool wholeList,
                                  const std::vector<TRDomainControllerPtr> &imported,
                                  const std::function<void()> &proceed);
    // Runs the question about the loaded domain of that name, then puts the domain in its place.
    void importDomainAsking(const TRDomainControllerPtr &domain);
    void reportExportFailure(const QString &path, const QString &reason);
    void reportImportFailure(const QString &path, const QString &reason);

    const TRDomainList &m_domains;
    Host &m_host;
};
