// Unsaved changes survive a crash: while a domain is modified its contents are kept in a recovery file
// (by the background writer, about a second after a change), and a start-up that finds the files of a
// Tamrix that ended without saving offers them back.
#include "TRAlert.h"
#include "TRAppController.h"
#include "TRBackgroundWriter.h"
#include "TRMainView.h"
#include "TRText.h"
#include "store/TRRecoveryStore.h"

#include <QFileInfo>
#include <QTimer>

void TRAppController::scheduleRecovery()
{
    if (!m_writer)
        return;
    // What no longer needs keeping goes at once; what does is kept a moment later, once for a burst.
    syncRecovery(false);
    if (!m_recoveryTimer->isActive() && m_domainList.modifiedDomainExists())
        m_recoveryTimer->start();
}

void TRAppController::syncRecovery(bool keepChanged)
{
    // Run after every key change: with nothing kept there is nothing to forget, and the list of every
    // domain is not walked.
    if (!m_writer || (!keepChanged && m_recoveryKept.isEmpty()))
        return;
    QSet<QString> listed;
    bool later = false;
    for (const TRDomainControllerPtr &domain : m_domainList.domains()) {
        const QString &name = domain->name();
        listed.insert(name);
        if (!domain->modified()) {
            if (m_recoveryKept.remove(name))
                m_writer->forgetRecovery(name);
            continue;
        }
        const auto kept = m_recoveryKept.constFind(name);
        if (!keepChanged || (kept != m_recoveryKept.cend() && *kept == domain->changeCount()))
            continue;
        // AutoSave's write of the domain is under way: its outcome decides whether anything is left.
        if (m_writer->hasPendingWrite(name)) {
            later = true;
            continue;
        }
        m_writer->keepRecovery(name, domain->fileIdentity(), domain->snapshot());
        m_recoveryKept.insert(name, domain->changeCount());
    }
    for (auto kept = m_recoveryKept.begin(); kept != m_recoveryKept.end();) {
        if (listed.contains(kept.key())) {
            ++kept;
            continue;
        }
        m_writer->forgetRecovery(kept.key());
        kept = m_recoveryKept.erase(kept);
    }
    if (later)
        m_recoveryTimer->start();
}

void TRAppController::recoveryProblem(const QString &reason)
{
    // Said once, until keeping works again.
    if (reason.isEmpty()) {
        m_recoveryWarned = false;
        return;
    }
    if (m_recoveryWarned || !m_view)
        return;
    m_recoveryWarned = true;
    m_view->showStatusMessage(
        trFormat(trText("Unsaved changes cannot be protected against a crash: %@"), {reason}));
}

void TRAppController::offerRecovery()
{
    TRDefaultsStore &store = TRDefaultsStore::standard();
    const TRRecoveryStore recovery(TRRecoveryStore::defaultFolder());
    QList<TRRecoveryStore::Recovered> offered;
    for (TRRecoveryStore::Recovered &left : recovery.leftBehind(store.folder())) {
        // Contents the store holds already have nothing to recover.
        if (left.problem.isEmpty()) {
            const TRValue stored = store.persistentDomainForName(left.domain);
            const bool same =
                stored.isNone() ? left.contents.toDictionary().isEmpty() : stored == left.contents;
            if (same) {
                recovery.discard(left);
                continue;
            }
        }
        offered.append(std::move(left));
    }
    // Two ended sessions with the same domain: the newer file is the one offered.
    std::ranges::sort(offered, [](const TRRecoveryStore::Recovered &a, const TRRecoveryStore::Recovered &b) {
        return QFileInfo(a.fileName).lastModified() > QFileInfo(b.fileName).lastModified();
    });
    if (!offered.isEmpty())
        askAboutRecovery(offered);
}

void TRAppController::askAboutRecovery(const QList<TRRecoveryStore::Recovered> &offered)
{
    TRDefaultsStore &store = TRDefaultsStore::standard();
    QStringList domains;
    QStringList changedSince;
    QStringList unreadable;
    for (const TRRecoveryStore::Recovered &left : offered) {
        if (!left.problem.isEmpty()) {
            unreadable.append(
                trFormat(trText("%@: %@"), {QFileInfo(left.fileName).fileName(), left.problem}));
            continue;
        }
        if (domains.contains(left.domain))
            continue;
        domains.append(left.domain);
        if (!(store.fileIdentity(left.domain) == left.readFrom))
            changedSince.append(left.domain);
    }
    QString message;
    if (!domains.isEmpty())
        message = trFormat(trText("Tamrix ended without saving changes to %@. Recovered domains are marked "
                                  "modified; nothing is written until you save them."),
                           {domains.join(QStringLiteral(", "))});
    if (!changedSince.isEmpty())
        message += QLatin1Char('\n') +
                   trFormat(trText("Another program changed %@ since these changes were made. Saving will "
                                   "ask before replacing its file."),
                            {changedSince.join(QStringLiteral(", "))});
    if (!unreadable.isEmpty())
        message += QLatin1Char('\n') +
                   trFormat(trText("These recovery files cannot be read and are never applied: %@"),
                            {unreadable.join(QStringLiteral("; "))});
    TRAlert::Content alert =
        TRAlert::question(trText("Unsaved changes were found"), message.trimmed(),
                          trText("Recover Unsaved Changes"), trText("Discard"), TRAlert::kDefault);
    if (!domains.isEmpty())
        alert.otherButton = trText("Show Changes…");
    TRAlert::beginSheet(mainWindow(), alert, [this, offered](int code) {
        if (code == TRAlert::kOther) {
            // Side by side, then the same question again.
            for (const TRRecoveryStore::Recovered &left : offered) {
                if (left.problem.isEmpty() && m_view)
                    m_view->showRecoveredChanges(
                        left.domain, TRDefaultsStore::standard().persistentDomainForName(left.domain),
                        left.contents);
            }
            QTimer::singleShot(0, this, [this, offered] { askAboutRecovery(offered); });
            return;
        }
        // Files this session could not keep again stay for the next start.
        if (code == TRAlert::kDefault && !recover(offered))
            return;
        const TRRecoveryStore recovery(TRRecoveryStore::defaultFolder());
        for (const TRRecoveryStore::Recovered &left : offered)
            recovery.discard(left);
    });
}

bool TRAppController::recover(const QList<TRRecoveryStore::Recovered> &offered)
{
    TRDefaultsStore &store = TRDefaultsStore::standard();
    QSet<QString> done;
    QString first;
    ++m_recovering;
    for (const TRRecoveryStore::Recovered &left : offered) {
        if (!left.problem.isEmpty() || done.contains(left.domain) ||
            !TRDefaultsStore::isValidDomainName(left.domain))
            continue;
        done.insert(left.domain);
        if (first.isEmpty())
            first = left.domain;
        TRDomainController *domain = domainForName(left.domain);
        if (!domain) {
            // A domain made in Tamrix and never saved, or one another program removed since.
            auto made = std::make_shared<TRDomainController>(left.domain, left.contents);
            made->setFileIdentity(left.readFrom);
            made->setModified(true);
            m_domainList.append(std::move(made));
        } else {
            // The recovered tree is made through the key edits, as one undo step.
            restoreVersion(left.domain, left.contents, trText("Recover unsaved changes"), QString());
            domain->setModified(true);
            domain->setFileIdentity(left.readFrom);
        }
        // The save question applies: the changes were made to the version they were read from.
        if (TRDomainController *recovered = domainForName(left.domain);
            recovered && !(store.fileIdentity(left.domain) == left.readFrom))
            m_externalChanges->mark(*recovered);
    }
    --m_recovering;
    reloadDomainList();
    reloadKeyOutline();
    // Kept by this session before the old files go, so that a crash now loses nothing either.
    syncRecovery(true);
    if (m_writer)
        m_writer->waitUntilDone();
    if (!first.isEmpty())
        showDomainNamed(first);
    return m_writer && !m_recoveryWarned;
}
