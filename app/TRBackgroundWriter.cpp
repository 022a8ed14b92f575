#include "TRBackgroundWriter.h"

#include "store/TRRecoveryStore.h"

#include <QMetaObject>
#include <chrono>
#include <pthread.h>
#include <sys/resource.h>
#include <unistd.h>
#include <utility>

TRBackgroundWriter::TRBackgroundWriter(const QString &storeFolder, const QString &historyFolder,
                                       const TRDomainHistory::Limits &limits,
                                       std::unique_ptr<TRRecoveryStore> recovery, QObject *parent)
    : QObject(parent), m_store(std::make_unique<TRDefaultsStore>(storeFolder)),
      m_recovery(std::move(recovery)), m_storeFolder(storeFolder)
{
    // The observers run on the worker; what they say is told on the owner's thread.
    const auto tell = [this](const QString &text) {
        if (text.isEmpty())
            return;
        const std::lock_guard lock(m_mutex);
        if (m_messages.empty() || m_messages.back() != text)
            m_messages.push_back(text);
    };
    if (!historyFolder.isEmpty())
        m_store->setHistory(std::make_shared<TRDomainHistory>(historyFolder, limits), tell);
    m_store->setLockObserver([tell](TRDefaultsStore::LockEvent event, const QString &text) {
        if (event != TRDefaultsStore::LockEvent::Taken)
            tell(text);
    });
    m_thread = std::thread([this] { run(); });
}

TRBackgroundWriter::~TRBackgroundWriter()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    m_thread.join();
    // A clean end: nothing of this session is left to recover.
    if (m_recovery)
        m_recovery->close();
}

void TRBackgroundWriter::write(Write job)
{
    {
        const std::lock_guard lock(m_mutex);
        for (Job &queued : m_queue) {
            if (queued.kind != Job::Kind::Write || queued.write.domain != job.domain)
                continue;
            // Not started yet: the newer contents take its place, so that nothing is written twice and
            // nothing out of order. The older ones are freed by the worker: a large domain's take a while.
            m_discarded.push_back(std::exchange(queued.write.contents, std::move(job.contents)));
            queued.write.changeCount = job.changeCount;
            if (!job.historySource.isEmpty())
                queued.write.historySource = job.historySource;
            return;
        }
        Job queued;
        queued.kind = Job::Kind::Write;
        // A write of the domain that has not been told yet leaves a file the caller has not seen.
        int &pending = m_pendingWrites[job.domain];
        queued.followsWrite = pending > 0;
        ++pending;
        queued.write = std::move(job);
        m_queue.push_back(std::move(queued));
    }
    m_wake.notify_one();
}

void TRBackgroundWriter::keepRecovery(const QString &domain, const TRFileIdentity &readFrom,
                                      TRDomainController::Snapshot contents)
{
    if (!m_recovery)
        return;
    {
        const std::lock_guard lock(m_mutex);
        for (Job &queued : m_queue) {
            if (queued.kind == Job::Kind::Keep && queued.write.domain == domain) {
                m_discarded.push_back(std::exchange(queued.write.contents, std::move(contents)));
                queued.write.expected = readFrom;
                return;
            }
        }
        Job job;
        job.kind = Job::Kind::Keep;
        job.write.domain = domain;
        job.write.expected = readFrom;
        job.write.contents = std::move(contents);
        m_queue.push_back(std::move(job));
    }
    m_wake.notify_one();
}

void TRBackgroundWriter::forgetRecovery(const QString &domain)
{
    if (!m_recovery)
        return;
    {
        const std::lock_guard lock(m_mutex);
        // A keep not started yet has nothing left to keep.
        std::erase_if(m_queue, [this, &domain](Job &queued) {
            if (queued.kind != Job::Kind::Keep || queued.write.domain != domain)
                return false;
            m_discarded.push_back(std::move(queued.write.contents));
            return true;
        });
        Job job;
        job.kind = Job::Kind::Forget;
        job.write.domain = domain;
        m_queue.push_back(std::move(job));
    }
    m_wake.notify_one();
}

void TRBackgroundWriter::setHistoryLimits(const TRDomainHistory::Limits &limits)
{
    {
        const std::lock_guard lock(m_mutex);
        m_newLimits = limits;
        // The worker owns the history: it takes them in its turn.
        Job job;
        job.kind = Job::Kind::Limits;
        m_queue.push_back(std::move(job));
    }
    m_wake.notify_one();
}

bool TRBackgroundWriter::isBusy() const
{
    const std::lock_guard lock(m_mutex);
    return !m_queue.empty() || m_running > 0 || !m_outcomes.empty() || m_deliveryPosted;
}

bool TRBackgroundWriter::hasPendingWrite(const QString &domain) const
{
    const std::lock_guard lock(m_mutex);
    return m_pendingWrites.value(domain) > 0;
}

void TRBackgroundWriter::waitUntilDone(const std::function<void(qint64 waited)> &whileWaiting)
{
    const auto start = std::chrono::steady_clock::now();
    for (;;) {
        {
            std::unique_lock lock(m_mutex);
            if (m_queue.empty() && m_running == 0)
                break;
            m_progress.wait_for(lock, std::chrono::milliseconds(20));
            if (m_queue.empty() && m_running == 0)
                break;
        }
        if (whileWaiting)
            whileWaiting(std::chrono::duration_cast<std::chrono::milliseconds>(
                             std::chrono::steady_clock::now() - start)
                             .count());
    }
    deliver();
}

void TRBackgroundWriter::run()
{
    // Named in process listings and profiles; the window's thread goes first when both want a core.
    ::pthread_setname_np(::pthread_self(), "tamrix-writer");
    ::setpriority(PRIO_PROCESS, id_t(::gettid()), 5);
    for (;;) {
        Job job;
        std::vector<TRDomainController::Snapshot> discarded;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_stopping || !m_queue.empty(); });
            discarded.swap(m_discarded);
            if (m_queue.empty())
                return;
            job = std::move(m_queue.front());
            m_queue.pop_front();
            ++m_running;
            if (job.kind == Job::Kind::Limits && m_newLimits && m_store->history())
                m_store->history()->setLimits(*std::exchange(m_newLimits, std::nullopt));
        }
        discarded.clear();
        runJob(job);
        {
            const std::lock_guard lock(m_mutex);
            --m_running;
            if (!m_deliveryPosted) {
                m_deliveryPosted = true;
                QMetaObject::invokeMethod(this, &TRBackgroundWriter::deliver, Qt::QueuedConnection);
            }
        }
        m_progress.notify_all();
    }
}

void TRBackgroundWriter::runJob(Job &job)
{
    const QString &domain = job.write.domain;
    if (job.kind == Job::Kind::Write) {
        Outcome outcome;
        outcome.domain = domain;
        outcome.changeCount = job.write.changeCount;
        if (job.followsWrite && m_failed.contains(domain)) {
            outcome.skipped = true;
        } else {
            m_failed.remove(domain);
            const TRFileIdentity expected = job.followsWrite && m_lastWritten.contains(domain)
                                                ? m_lastWritten.value(domain)
                                                : job.write.expected;
            outcome.result =
                m_store->writePersistentDomain(job.write.contents.contents(), domain, &expected,
                                               &outcome.written, &outcome.error, job.write.historySource);
            if (outcome.result == TRDefaultsStore::WriteResult::Written)
                m_lastWritten.insert(domain, outcome.written);
            else
                m_failed.insert(domain);
        }
        // The contents are not needed any longer; they go here rather than on the owner's thread.
        job.write.contents = {};
        const std::lock_guard lock(m_mutex);
        m_outcomes.push_back(std::move(outcome));
        return;
    }
    if (!m_recovery || job.kind == Job::Kind::Limits)
        return;
    if (job.kind == Job::Kind::Forget) {
        m_recovery->forget(domain);
        return;
    }
    QString error;
    bool kept = m_recovery->isOpen() || m_recovery->open(&error);
    kept = kept &&
           m_recovery->keep(domain, m_storeFolder, job.write.expected, job.write.contents.contents(), &error);
    job.write.contents = {};
    // Told once when keeping starts failing, and once when it works again.
    if (kept == !m_recoveryFailing)
        return;
    m_recoveryFailing = !kept;
    const std::lock_guard lock(m_mutex);
    m_recoveryReports.emplace_back(kept, error);
}

void TRBackgroundWriter::deliver()
{
    std::deque<Outcome> outcomes;
    std::deque<std::pair<bool, QString>> reports;
    std::deque<QString> messages;
    {
        const std::lock_guard lock(m_mutex);
        m_deliveryPosted = false;
        outcomes.swap(m_outcomes);
        reports.swap(m_recoveryReports);
        messages.swap(m_messages);
        for (const Outcome &outcome : outcomes) {
            auto pending = m_pendingWrites.find(outcome.domain);
            if (pending != m_pendingWrites.end() && --*pending <= 0)
                m_pendingWrites.erase(pending);
        }
    }
    for (const QString &text : messages)
        emit message(text);
    for (const auto &[kept, reason] : reports)
        emit recoveryProblem(kept ? QString() : reason);
    for (const Outcome &outcome : outcomes)
        emit written(outcome);
    if (!isBusy())
        emit done();
}
