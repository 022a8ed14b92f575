// tamrix-tool store watch: every key-level change any program makes to the store, one line as it lands.
#include "Commands.h"
#include "TRKeyPath.h"
#include "TRText.h"
#include "TRValueChanges.h"
#include "store/TRDefaultsStore.h"
#include "store/TRStoreWatcher.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QHash>
#include <QSocketNotifier>
#include <QTimer>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// An interruption ends the watch through the event loop, so that what was printed is flushed.
int g_signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_signalPipe[1], &byte, 1);
}

struct Known
{
    TRFileIdentity identity;
    TRValue contents;
};

class StoreWatch
{
public:
    StoreWatch(TRDefaultsStore &store, const QStringList &domains)
        : m_store(store), m_only(domains.begin(), domains.end()), m_watcher(store.folder())
    {
        // Every change as soon as it is seen: GNUstep's lock and the writers' temporary files keep the
        // folder busy while programs write one after another, and waiting for quiet would merge them.
        m_watcher.setQuietMs(0);
        QObject::connect(&m_watcher, &TRStoreWatcher::changed, [this] { look(false); });
        look(true);
    }

private:
    // An unreadable file is said once it has stayed so this long: a writer may be half way through it.
    static constexpr int kUnreadableMs = 300;

    bool watched(const QString &domain) const { return m_only.isEmpty() || m_only.contains(domain); }

    void print(const QString &what, const QString &change)
    {
        const QString time = QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs);
        printLine(stdout, time + u' ' + what + u' ' + change);
        // One line at a time, as it lands, into whatever reads the pipe.
        std::fflush(stdout);
    }

    static QString text(const TRValue &value)
    {
        return trOpenStepText(value, TROpenStepQuoting::WhereNeeded);
    }

    // Reads what changed since the last look; the first look only learns the store.
    void look(bool first)
    {
        QSet<QString> present;
        QStringList files;
        for (const QString &domain : m_store.persistentDomainNames()) {
            if (!watched(domain))
                continue;
            present.insert(domain);
            files.append(m_store.filePathForName(domain));
            const auto known = m_known.find(domain);
            if (known != m_known.end() && known->identity == m_store.fileIdentity(domain))
                continue;
            const TRDefaultsStore::DomainRead read = m_store.readPersistentDomain(domain);
            // Unreadable now: told below, and the last contents read stay what the next change is
            // compared with.
            if (read.unreadable) {
                present.remove(domain);
                continue;
            }
            if (!first && (known == m_known.end() || known->contents.isNone()))
                print(domain, QStringLiteral("+ ") + text(read.dictionary));
            else if (!first)
                for (const TRValueChange &change : trValueChanges(known->contents, read.dictionary))
                    printChange(domain, change);
            m_known.insert(domain, Known{read.identity, read.dictionary});
        }
        // A file that cannot be read is not a domain removed.
        QHash<QString, QString> unreadable;
        for (const TRDefaultsStore::UnreadableFile &file : m_store.unreadableFiles()) {
            const QString domain = QFileInfo(file.fileName).completeBaseName();
            if (watched(domain) && !present.contains(domain))
                unreadable.insert(file.fileName, file.reason);
        }
        for (auto found = unreadable.cbegin(); found != unreadable.cend(); ++found) {
            const QString domain = QFileInfo(found.key()).completeBaseName();
            present.insert(domain);
            if (m_toldUnreadable.contains(found.key()))
                continue;
            if (m_seenUnreadable.contains(found.key()) || first) {
                m_toldUnreadable.insert(found.key());
                printLine(stderr, QStringLiteral("tamrix-tool store: ") +
                                      trFormat(trText("cannot read %@: %@"), {found.key(), found.value()}));
            } else {
                QTimer::singleShot(kUnreadableMs, [this] { look(false); });
            }
        }
        m_seenUnreadable = QSet<QString>(unreadable.keyBegin(), unreadable.keyEnd());
        m_toldUnreadable.intersect(m_seenUnreadable);
        for (auto known = m_known.begin(); known != m_known.end();) {
            if (present.contains(known.key())) {
                ++known;
                continue;
            }
            if (!known->contents.isNone())
                print(known.key(), QStringLiteral("- ") + text(known->contents));
            known = m_known.erase(known);
        }
        // Files written in place are watched as well as the folder.
        m_watcher.setFiles(files);
    }

    void printChange(const QString &domain, const TRValueChange &change)
    {
        const QString where = domain + u'/' + trKeyPath(change.names);
        switch (change.kind) {
        case TRValueChange::Kind::Added:
            print(where, QStringLiteral("+ ") + text(change.after));
            break;
        case TRValueChange::Kind::Removed:
            print(where, QStringLiteral("- ") + text(change.before));
            break;
        case TRValueChange::Kind::Changed:
            print(where, text(change.before) + QStringLiteral(" -> ") + text(change.after));
            break;
        }
    }

    TRDefaultsStore &m_store;
    QSet<QString> m_only;
    TRStoreWatcher m_watcher;
    QHash<QString, Known> m_known;
    QSet<QString> m_seenUnreadable;
    QSet<QString> m_toldUnreadable;
};

} // namespace

int watchStore(TRDefaultsStore &store, const QStringList &domains)
{
    for (const QString &domain : domains) {
        if (QString error; !TRDefaultsStore::isValidDomainName(domain, &error)) {
            printLine(stderr, QStringLiteral("tamrix-tool store: ") + error);
            return 1;
        }
    }
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalPipe) != 0) {
        printLine(stderr,
                  QStringLiteral("tamrix-tool store: ") + QString::fromLocal8Bit(std::strerror(errno)));
        return 1;
    }
    QSocketNotifier interrupted(g_signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&interrupted, &QSocketNotifier::activated, [] { QCoreApplication::quit(); });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    ::sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        ::sigaction(signal, &action, nullptr);
    StoreWatch watch(store, domains);
    QCoreApplication::exec();
    return std::fflush(stdout) == 0 ? 0 : 1;
}
