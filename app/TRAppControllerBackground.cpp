// The writes the window does not wait for: AutoSave writes a domain on the background writer once the edit
// is shown, and the commands that read or replace files wait for what is under way first, so that nothing
// lands out of order and no file Tamrix is writing is taken for another program's change.
#include "TRAppController.h"
#include "TRBackgroundWriter.h"
#include "TRMainView.h"
#include "TRText.h"
#include "store/TRRecoveryStore.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

namespace {

// A wait shorter than this is not worth a word in the status bar.
constexpr qint64 kWaitWorthTelling = 200;

} // namespace

void TRAppController::startBackgroundWriter()
{
    m_writer = new TRBackgroundWriter(
        TRDefaultsStore::standard().folder(), TRDomainHistory::defaultFolder(), historyLimits(),
        std::make_unique<TRRecoveryStore>(TRRecoveryStore::defaultFolder()), this);
    connect(m_writer, &TRBackgroundWriter::written, this, &TRAppController::backgroundWriteLanded);
    connect(m_writer, &TRBackgroundWriter::message, this, [this](const QString &text) {
        if (m_view)
            m_view->showStatusMessage(text);
    });
    connect(m_writer, &TRBackgroundWriter::recoveryProblem, this, &TRAppController::recoveryProblem);
    connect(m_writer, &TRBackgroundWriter::done, this, [this] {
        if (std::exchange(m_checkWhenWritten, false))
            checkExternalChanges();
    });
    m_recoveryTimer = new QTimer(this);
    m_recoveryTimer->setSingleShot(true);
    m_recoveryTimer->setInterval(kRecoveryDelay);
    connect(m_recoveryTimer, &QTimer::timeout, this, [this] { syncRecovery(true); });
}

void TRAppController::stopBackgroundWriter()
{
    if (!m_writer)
        return;
    m_writer->waitUntilDone();
    // What is left to keep is not kept: the domains are going with the controller.
    delete m_writer;
    m_writer = nullptr;
}

void TRAppController::autoSaveDomain(TRDomainController *domain)
{
    // Recovered changes are written only when the user saves them.
    if (!domain || !domain->modified() || m_recovering > 0 || !preferenceIsSet(kAutoSave))
        return;
    // A file another program changed is replaced only when the user says so, as on Save.
    if (!m_writer || isChangedOnDisk(*domain)) {
        doSaveDomain(domain);
        return;
    }
    TRBackgroundWriter::Write write;
    write.domain = domain->name();
    write.contents = domain->snapshot();
    write.expected = domain->fileIdentity();
    write.historySource = domain->changeSource();
    write.changeCount = domain->changeCount();
    m_writer->write(std::move(write));
}

void TRAppController::backgroundWriteLanded(const TRBackgroundWriter::Outcome &outcome)
{
    if (outcome.skipped)
        return;
    TRDomainController *domain = domainForName(outcome.domain);
    QStringList failures;
    switch (outcome.result) {
    case TRDefaultsStore::WriteResult::Written:
        m_domainList.noteWritten(outcome.domain);
        if (!domain)
            break;
        domain->setFileIdentity(outcome.written);
        // Edits made after the contents were taken are still to be written: their write is queued.
        if (domain->changeCount() == outcome.changeCount) {
            domain->setModified(false);
            domain->setChangeSource(QString());
            m_externalChanges->forget(outcome.domain);
        }
        break;
    case TRDefaultsStore::WriteResult::ChangedOnDisk:
        if (domain)
            m_externalChanges->mark(*domain);
        failures.append(trFormat(
            trText("%@: %@"), {outcome.domain, trText("Another program changed the file just now; nothing "
                                                      "was written. Save again to decide what to keep.")}));
        break;
    case TRDefaultsStore::WriteResult::Failed:
        // The domain keeps its flag: the changes are neither lost nor reported as saved.
        failures.append(trFormat(trText("%@: %@"), {outcome.domain, outcome.error}));
        break;
    }
    reloadDomainList();
    reportFailures(trText("Cannot save domain"), failures);
}

void TRAppController::finishPendingWrites()
{
    if (!m_writer || !m_writer->isBusy())
        return;
    bool told = false;
    m_writer->waitUntilDone([this, &told](qint64 waited) {
        // The window stays painted; what the user types waits for the writes.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        if (!told && waited >= kWaitWorthTelling && m_view) {
            told = true;
            m_view->showStatusMessage(trText("Writing changes to the defaults database…"));
        }
    });
    if (told && m_view)
        m_view->showStatusMessage(QString());
}

bool TRAppController::hasPendingWrites() const
{
    return m_writer && m_writer->isBusy();
}
