// The history of every domain in the window: the store keeps the versions, bounded as the preferences
// say; restoring a version or a key is an undoable edit of the domain, written on Save.
#include "TRAppController.h"
#include "TRMainView.h"
#include "TRText.h"
#include "store/TRPreferences.h"

#include <QFileInfo>
#include <QTimer>
#include <memory>

namespace {

// The background pass keeps one file between two looks at the window's events, and none larger than
// this: reading and keeping such a file whole would stall the window; it is kept at its first save, or
// when Tamrix follows another program's change to it with its contents loaded.
constexpr qint64 kLargestFileKeptInBackground = 1024 * 1024;

int preferredNumber(const char *key, int fallback)
{
    const TRValue value = TRPreferences::shared().value(QString::fromLatin1(key));
    return value.isNumber() && value.toInteger() > 0 ? int(value.toInteger()) : fallback;
}

} // namespace

TRDomainHistory::Limits TRAppController::historyLimits()
{
    const TRDomainHistory::Limits defaults;
    TRDomainHistory::Limits limits;
    limits.versionsPerDomain = preferredNumber(kHistoryVersions, defaults.versionsPerDomain);
    limits.daysPerDomain = preferredNumber(kHistoryDays, defaults.daysPerDomain);
    limits.bytesInAll =
        qint64(preferredNumber(kHistoryMegabytes, int(defaults.bytesInAll >> 20))) * 1024 * 1024;
    return limits;
}

TRDomainHistory *TRAppController::history() const
{
    return TRDefaultsStore::standard().history();
}

QString TRAppController::shownDomainName() const
{
    const TRDomainController *domain = currentDomain();
    return domain ? domain->name() : QString();
}

void TRAppController::startHistory()
{
    TRDefaultsStore::standard().setHistory(
        std::make_shared<TRDomainHistory>(TRDomainHistory::defaultFolder(), historyLimits()),
        [controller = QPointer<TRAppController>(this)](const QString &message) {
            // A history that cannot be kept never stops a save: it is only told.
            if (controller && controller->m_view)
                controller->m_view->showStatusMessage(message);
        });
    m_filesToKeep.clear();
    for (const TRDomainControllerPtr &domain : m_domainList.domains())
        m_filesToKeep.append(domain->name());
    if (!m_filesToKeep.isEmpty())
        QTimer::singleShot(0, this, &TRAppController::keepUnheldFiles);
}

void TRAppController::keepUnheldFiles()
{
    TRDefaultsStore &store = TRDefaultsStore::standard();
    if (!store.history())
        return;
    // A file being written is kept by its writer.
    if (hasPendingWrites()) {
        QTimer::singleShot(50, this, &TRAppController::keepUnheldFiles);
        return;
    }
    if (!m_filesToKeep.isEmpty()) {
        const QString name = m_filesToKeep.takeLast();
        if (QFileInfo(store.filePathForName(name)).size() <= kLargestFileKeptInBackground)
            store.keepFileInHistory(name);
    }
    if (!m_filesToKeep.isEmpty())
        QTimer::singleShot(0, this, &TRAppController::keepUnheldFiles);
}

bool TRAppController::restoreVersion(const QString &domainName, const TRValue &contents,
                                     const QString &actionName, const QString &source)
{
    TRDomainController *domain = domainForName(domainName);
    if (!domain || !contents.isDictionary())
        return false;
    const TRKeyPtr root = domain->rootKey();
    const TRDictionary &wanted = contents.toDictionary();
    const QString step = actionName.isEmpty() ? trText("Restore version") : actionName;
    m_keyCommands.beginCommand();
    // Keys the version lacks go, keys it holds otherwise are replaced in their place, its new keys
    // come after the others.
    std::vector<TRKeyPtr> current = root->children();
    for (const TRKeyPtr &key : current) {
        const QString name = key->name().toString();
        const qsizetype at = wanted.indexOf(name);
        if (at < 0)
            m_keyCommands.removeKey(key);
        else if (key->databaseRepresentation() != wanted.valueAt(at)) {
            if (TRKeyPtr replacement = TRKey::create(key->name(), wanted.valueAt(at), root, domainName))
                m_keyCommands.replaceKey(key, replacement, step);
        }
    }
    for (const auto &[name, value] : wanted) {
        if (root->keyExists(TRValue::fromString(name)))
            continue;
        if (TRKeyPtr key = TRKey::create(TRValue::fromString(name), value, root, domainName))
            m_keyCommands.addKey(key);
    }
    // The keys take the version's order too: from the first one out of place, they leave and come back in
    // order, so that the domain written is the version itself.
    const std::vector<TRKeyPtr> placed = root->children();
    std::size_t first = 0;
    while (first < placed.size() && first < std::size_t(wanted.size()) &&
           placed[first]->name().toString() == wanted.keyAt(qsizetype(first)))
        ++first;
    if (first < placed.size()) {
        QHash<QString, TRKeyPtr> moved;
        for (std::size_t i = placed.size(); i > first; --i) {
            moved.insert(placed[i - 1]->name().toString(), placed[i - 1]);
            m_keyCommands.removeKey(placed[i - 1]);
        }
        for (qsizetype i = qsizetype(first); i < wanted.size(); ++i) {
            if (const TRKeyPtr key = moved.value(wanted.keyAt(i)))
                m_keyCommands.addKey(key);
        }
    }
    domain->setChangeSource(source);
    m_keyCommands.endCommand(step);
    return true;
}

bool TRAppController::restoreKey(const QString &domainName, const QStringList &names, const TRValue &value)
{
    TRDomainController *domain = domainForName(domainName);
    if (!domain || names.isEmpty())
        return false;
    bool reachedAll = false;
    const TRKeyPtr key = TRKeyNavigation::keyAt(domain->rootKey(), names, &reachedAll);
    m_keyCommands.beginCommand();
    bool changed = false;
    if (reachedAll && key && key->parent()) {
        if (value.isNone()) {
            m_keyCommands.removeKey(key);
            changed = true;
        } else if (key->databaseRepresentation() != value) {
            if (TRKeyPtr replacement = TRKey::create(key->name(), value, key->parent(), domainName)) {
                m_keyCommands.replaceKey(key, replacement, trText("Restore key"));
                changed = true;
            }
        }
    } else if (!value.isNone()) {
        // Not there: its parent must be, and the key goes in under its name (at the end of a list).
        bool parentReached = names.size() == 1;
        const TRKeyPtr parent =
            names.size() == 1
                ? domain->rootKey()
                : TRKeyNavigation::keyAt(domain->rootKey(), names.mid(0, names.size() - 1), &parentReached);
        if (parentReached && parent && parent->isCompound()) {
            const TRValue name =
                parent->isArray() ? TRValue::fromInteger(parent->count()) : TRValue::fromString(names.last());
            if (TRKeyPtr created = TRKey::create(name, value, parent, domainName)) {
                m_keyCommands.addKey(created);
                changed = true;
            }
        }
    }
    if (changed)
        domain->setChangeSource(QString::fromLatin1(TRDomainHistory::kRestore));
    m_keyCommands.endCommand(trText("Restore key"));
    return changed;
}
