#include "TRDomainHistory.h"

#include "TRAtomicFile.h"
#include "TRDateTime.h"
#include "TRText.h"
#include "plist/TRPropertyList.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTimeZone>
#include <algorithm>
#include <cstdio>
#include <utility>

namespace {

// A version file: {Time; Source; Keys; Added; Removed; Changed; File?} and either Contents (whole: the
// binary property list of the dictionary, as data, so that reading what a version is costs no decoding
// of it) or Set, Gone and, when the key order cannot be told from them, Order.
const QString kTime = QStringLiteral("Time");
const QString kSource = QStringLiteral("Source");
const QString kKeys = QStringLiteral("Keys");
const QString kAdded = QStringLiteral("Added");
const QString kRemoved = QStringLiteral("Removed");
const QString kChanged = QStringLiteral("Changed");
const QString kFile = QStringLiteral("File");
const QString kContents = QStringLiteral("Contents");
const QString kSet = QStringLiteral("Set");
const QString kGone = QStringLiteral("Gone");
const QString kOrder = QStringLiteral("Order");
const QString kSuffix = QStringLiteral(".plist");
const QString kDroppedSuffix = QStringLiteral(".dropped");

// Dropped versions kept, set aside, for the versions built on them, before the oldest kept one is made
// whole: a domain at its bound drops one version a save, and most saves then write no whole copy.
constexpr int kMaxDropped = 9;
// Domains whose newest contents stay in memory.
constexpr int kCachedDomains = 8;
constexpr int kIdDigits = 8;
constexpr double kSecondsFrom1970To2001 = double(kTRDaysFrom1970To2001) * 86400.0;

TRValue dateValue(const QDateTime &time)
{
    return TRValue::fromDate(double(time.toMSecsSinceEpoch()) / 1000.0 - kSecondsFrom1970To2001);
}

QDateTime timeFrom(const TRValue &value)
{
    if (!value.isDate())
        return {};
    return QDateTime::fromMSecsSinceEpoch(qint64((value.toDate() + kSecondsFrom1970To2001) * 1000.0),
                                          QTimeZone::utc());
}

TRValue stringsValue(const QStringList &strings)
{
    TRArray elements;
    elements.reserve(strings.size());
    for (const QString &string : strings)
        elements.append(TRValue::fromString(string));
    return TRValue::fromArray(std::move(elements));
}

// The strings of an array of strings; false for anything else.
bool stringsFrom(const TRValue &value, QStringList *strings)
{
    if (!value.isArray())
        return false;
    for (const TRValue &element : value.toArray()) {
        if (!element.isString())
            return false;
        strings->append(element.toString());
    }
    return true;
}

QStringList keysOf(const TRDictionary &dictionary)
{
    QStringList keys;
    keys.reserve(dictionary.size());
    for (const auto &[key, value] : dictionary)
        keys.append(key);
    return keys;
}

struct Difference
{
    TRDictionary set; // added or changed, in the newer version's order
    QStringList gone;
    QStringList order; // empty: the order follows from the others
    int added = 0;
    int changed = 0;
};

// The key order the older dictionary gives after the difference: its keys less the gone ones, a set
// key in its old place, the new keys after them in their order.
QStringList orderAfter(const TRDictionary &older, const TRDictionary &set, const QStringList &gone)
{
    const QSet<QString> removed(gone.cbegin(), gone.cend());
    QStringList order;
    order.reserve(older.size() + set.size());
    for (const auto &[key, value] : older) {
        if (!removed.contains(key))
            order.append(key);
    }
    for (const auto &[key, value] : set) {
        if (!older.contains(key) || removed.contains(key))
            order.append(key);
    }
    return order;
}

// One pass over the newer keys, each looked up once in the older: the order follows from the
// difference when the keys both have come in the older order, and the new ones after them.
Difference differenceOf(const TRDictionary &older, const TRDictionary &newer)
{
    Difference difference;
    qsizetype present = 0;
    qsizetype last = -1;
    bool inOrder = true;
    for (const auto &[key, value] : newer) {
        const qsizetype at = older.indexOf(key);
        if (at < 0) {
            ++difference.added;
            difference.set.insert(key, value);
            continue;
        }
        ++present;
        inOrder = inOrder && difference.added == 0 && at > last;
        last = at;
        if (older.valueAt(at) == value)
            continue;
        ++difference.changed;
        difference.set.insert(key, value);
    }
    if (present < older.size()) {
        for (const auto &[key, value] : older) {
            if (!newer.contains(key))
                difference.gone.append(key);
        }
    }
    if (!inOrder)
        difference.order = keysOf(newer);
    return difference;
}

// Applies the difference to the dictionary: in place when it only sets keys, which is what most do.
bool applyDifference(TRDictionary *built, const TRDictionary &record, QString *error)
{
    const TRValue set = record.value(kSet);
    QStringList gone;
    QStringList order;
    if (!set.isDictionary() || !stringsFrom(record.value(kGone), &gone) ||
        (record.contains(kOrder) && !stringsFrom(record.value(kOrder), &order))) {
        *error = trText("The difference is not one the history writes.");
        return false;
    }
    for (const QString &key : std::as_const(gone)) {
        if (!built->contains(key)) {
            *error =
                trFormat(trText("The difference removes the key %@, which the version before lacks."), {key});
            return false;
        }
    }
    const TRDictionary &setKeys = set.toDictionary();
    if (gone.isEmpty() && order.isEmpty()) {
        for (const auto &[key, value] : setKeys)
            built->insert(key, value);
        return true;
    }
    const QStringList expected = orderAfter(*built, setKeys, gone);
    if (order.isEmpty())
        order = expected;
    else if (order.size() != expected.size() || QSet<QString>(order.cbegin(), order.cend()) !=
                                                    QSet<QString>(expected.cbegin(), expected.cend())) {
        *error = trText("The difference's key order does not name the version's keys.");
        return false;
    }
    TRDictionary result;
    result.reserve(order.size());
    for (const QString &key : std::as_const(order)) {
        const qsizetype at = setKeys.indexOf(key);
        result.insert(key, at >= 0 ? setKeys.valueAt(at) : built->value(key));
    }
    *built = std::move(result);
    return true;
}

int integerIn(const TRDictionary &record, const QString &key)
{
    const TRValue value = record.value(key);
    return value.isInteger() ? int(value.toInteger()) : 0;
}

bool isWhole(const TRDictionary &record)
{
    return record.value(kContents).isData();
}

} // namespace

TRDomainHistory::TRDomainHistory(QString folder) : TRDomainHistory(std::move(folder), Limits())
{
}

TRDomainHistory::TRDomainHistory(QString folder, Limits limits)
    : m_folder(std::move(folder)), m_limits(limits)
{
}

QString TRDomainHistory::defaultFolder()
{
    return trStateFolder("TAMRIX_HISTORY_DIR", QStringLiteral("history"));
}

QString TRDomainHistory::domainFolder(const QString &domain) const
{
    return m_folder + QLatin1Char('/') + domain;
}

QString TRDomainHistory::fileFor(const QString &domain, qint64 id) const
{
    return domainFolder(domain) + QLatin1Char('/') +
           QStringLiteral("%1").arg(id, kIdDigits, 10, QLatin1Char('0')) + kSuffix;
}

QString TRDomainHistory::droppedFileFor(const QString &domain, qint64 id) const
{
    return domainFolder(domain) + QLatin1Char('/') +
           QStringLiteral("%1").arg(id, kIdDigits, 10, QLatin1Char('0')) + kDroppedSuffix + kSuffix;
}

QString TRDomainHistory::existingFileFor(const QString &domain, qint64 id) const
{
    const QString kept = fileFor(domain, id);
    return QFileInfo::exists(kept) ? kept : droppedFileFor(domain, id);
}

QList<qint64> TRDomainHistory::ids(const QString &domain, bool dropped) const
{
    QList<qint64> found;
    const QStringList names =
        QDir(domainFolder(domain))
            .entryList({QStringLiteral("*") + kSuffix}, QDir::Files | QDir::NoDotAndDotDot);
    for (const QString &name : names) {
        QStringView stem = QStringView(name).chopped(kSuffix.size());
        if (dropped && stem.endsWith(kDroppedSuffix))
            stem.chop(kDroppedSuffix.size());
        bool isNumber = false;
        const qint64 id = stem.toLongLong(&isNumber);
        if (isNumber && id > 0)
            found.append(id);
    }
    std::sort(found.begin(), found.end());
    return found;
}

QStringList TRDomainHistory::domains() const
{
    return QDir(m_folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
}

bool TRDomainHistory::readFile(const QString &path, TRDictionary *record, QString *error) const
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return false;
    }
    TRValue value;
    QString reason;
    if (!TRPropertyList::read(file.readAll(), &value, nullptr, &reason)) {
        *error = reason;
        return false;
    }
    if (!value.isDictionary() || !timeFrom(value.toDictionary().value(kTime)).isValid() ||
        !value.toDictionary().value(kSource).isString() ||
        !(isWhole(value.toDictionary()) || value.toDictionary().value(kSet).isDictionary())) {
        *error = trText("It is not a version the history writes.");
        return false;
    }
    *record = value.toDictionary();
    return true;
}

bool TRDomainHistory::writeFile(const QString &domain, qint64 id, const TRValue &record, qint64 *size,
                                QString *error)
{
    QByteArray bytes;
    QString reason;
    if (!QDir().mkpath(domainFolder(domain))) {
        reason = trFormat(trText("Cannot make the folder %@."), {domainFolder(domain)});
    } else if (TRPropertyList::writeBinary(record, &bytes, &reason)) {
        const qint64 replaced = QFileInfo(fileFor(domain, id)).size();
        if (TRAtomicFile::write(fileFor(domain, id), bytes, 0600, &reason)) {
            if (m_bytes >= 0)
                m_bytes += bytes.size() - replaced;
            if (size)
                *size = bytes.size();
            return true;
        }
    }
    if (error)
        *error = reason;
    return false;
}

bool TRDomainHistory::newest(const QString &domain, Newest *found) const
{
    const QList<qint64> kept = ids(domain);
    if (kept.isEmpty())
        return false;
    // Another writer (tamrix-tool, a second window) adds a file of a higher number.
    const auto cached = m_newest.constFind(domain);
    if (cached != m_newest.cend() && cached->id == kept.last() &&
        std::all_of(cached->files.cbegin(), cached->files.cend(), [&](const auto &file) {
            return TRFileIdentity::ofPath(existingFileFor(domain, file.first)) == file.second;
        })) {
        *found = *cached;
        return true;
    }
    QString unused;
    if (!rebuild(domain, kept.last(), &found->contents, &unused, found))
        return false;
    if (m_newest.size() >= kCachedDomains && !m_newest.contains(domain))
        m_newest.erase(m_newest.begin());
    m_newest.insert(domain, *found);
    return true;
}

qint64 TRDomainHistory::newestId(const QString &domain) const
{
    const QList<qint64> kept = ids(domain);
    return kept.isEmpty() ? 0 : kept.last();
}

bool TRDomainHistory::newestContents(const QString &domain, TRValue *value) const
{
    Newest found;
    if (!newest(domain, &found))
        return false;
    *value = found.contents;
    return true;
}

bool TRDomainHistory::holdsFile(const QString &domain, const TRFileIdentity &file) const
{
    if (!file.exists)
        return false;
    const QList<qint64> kept = ids(domain);
    if (kept.isEmpty())
        return false;
    const auto cached = m_newest.constFind(domain);
    if (cached != m_newest.cend() && cached->id == kept.last())
        return cached->file == file;
    TRDictionary record;
    QString unused;
    return readFile(fileFor(domain, kept.last()), &record, &unused) &&
           TRFileIdentity::fromValue(record.value(kFile)) == file;
}

bool TRDomainHistory::record(const QString &domain, const TRValue &contents, const QString &source,
                             QString *error, const QDateTime &time, const TRFileIdentity &file)
{
    if (!contents.isDictionary()) {
        if (error)
            *error = trText("A domain's contents are a dictionary.");
        return false;
    }
    Newest last;
    const bool hasNewest = newest(domain, &last);
    // Taken, or of no use: its contents are not held longer than this.
    m_expected = Expected{};
    if (hasNewest && last.contents == contents) {
        // The same version, now in a file of another identity (written again, or touched).
        if (file.exists)
            m_newest[domain].file = file;
        return true;
    }
    const QList<qint64> kept = ids(domain, true);
    const qint64 id = kept.isEmpty() ? 1 : kept.last() + 1;
    const TRDictionary empty;
    const Difference difference =
        differenceOf(hasNewest ? last.contents.toDictionary() : empty, contents.toDictionary());
    TRDictionary record;
    record.insert(kTime, dateValue(time.toUTC()));
    record.insert(kSource, TRValue::fromString(source));
    record.insert(kKeys, TRValue::fromInteger(contents.toDictionary().size()));
    record.insert(kAdded, TRValue::fromInteger(difference.added));
    record.insert(kRemoved, TRValue::fromInteger(difference.gone.size()));
    record.insert(kChanged, TRValue::fromInteger(difference.changed));
    if (file.exists)
        record.insert(kFile, file.toValue());
    Newest next{id, contents, file, last.wholeBytes, last.differenceBytes, last.files};
    TRValue written;
    bool whole = !hasNewest;
    if (!whole) {
        TRDictionary changes = record;
        changes.insert(kSet, TRValue::fromDictionary(difference.set));
        changes.insert(kGone, stringsValue(difference.gone));
        if (!difference.order.isEmpty())
            changes.insert(kOrder, stringsValue(difference.order));
        written = TRValue::fromDictionary(std::move(changes));
        // Differences that outweigh a whole copy would make every later version slow to rebuild.
        QByteArray bytes;
        whole = TRPropertyList::writeBinary(written, &bytes) &&
                last.differenceBytes + bytes.size() > last.wholeBytes;
    }
    if (whole) {
        QByteArray bytes;
        QString reason;
        if (!TRPropertyList::writeBinary(contents, &bytes, &reason)) {
            if (error)
                *error = reason;
            return false;
        }
        record.insert(kContents, TRValue::fromData(bytes));
        written = TRValue::fromDictionary(std::move(record));
    }
    qint64 size = 0;
    if (!writeFile(domain, id, written, &size, error))
        return false;
    if (whole) {
        next.wholeBytes = size;
        next.differenceBytes = 0;
        next.files.clear();
    } else {
        next.differenceBytes += size;
    }
    next.files.append({id, TRFileIdentity::ofPath(fileFor(domain, id))});
    if (m_newest.size() >= kCachedDomains && !m_newest.contains(domain))
        m_newest.erase(m_newest.begin());
    m_newest.insert(domain, next);
    applyLimits(domain, time);
    return true;
}

QList<TRDomainHistory::Version> TRDomainHistory::versions(const QString &domain,
                                                          QList<Unreadable> *unreadable) const
{
    QList<Version> found;
    const QList<qint64> kept = ids(domain);
    const QList<qint64> all = ids(domain, true);
    // Oldest first, so that a version built on an unreadable one is told so.
    QString brokenBy;
    if (!kept.isEmpty()) {
        // The dropped versions the oldest kept ones are built on.
        for (const qint64 id : all) {
            if (id >= kept.first())
                break;
            TRDictionary record;
            QString reason;
            if (!readFile(droppedFileFor(domain, id), &record, &reason))
                brokenBy = droppedFileFor(domain, id);
            else if (isWhole(record))
                brokenBy.clear();
        }
    }
    for (const qint64 id : kept) {
        TRDictionary record;
        QString reason;
        if (!readFile(fileFor(domain, id), &record, &reason)) {
            if (unreadable)
                unreadable->append({fileFor(domain, id), reason});
            brokenBy = fileFor(domain, id);
            continue;
        }
        if (isWhole(record))
            brokenBy.clear();
        Version version{id,
                        timeFrom(record.value(kTime)),
                        record.value(kSource).toString(),
                        integerIn(record, kKeys),
                        integerIn(record, kAdded),
                        integerIn(record, kRemoved),
                        integerIn(record, kChanged),
                        {}};
        if (!brokenBy.isEmpty())
            version.problem = trFormat(trText("It is built on %@, which cannot be read."), {brokenBy});
        found.prepend(std::move(version));
    }
    return found;
}

bool TRDomainHistory::contents(const QString &domain, qint64 id, TRValue *value, QString *error) const
{
    Newest chain;
    return rebuild(domain, id, value, error, &chain);
}

bool TRDomainHistory::rebuild(const QString &domain, qint64 id, TRValue *value, QString *error,
                              Newest *chain) const
{
    QString reason;
    const QList<qint64> all = ids(domain, true);
    qsizetype at = all.indexOf(id);
    if (at < 0 || !QFileInfo::exists(fileFor(domain, id))) {
        if (error)
            *error = trFormat(trText("%@ has no version %@ in its history."), {domain, QString::number(id)});
        return false;
    }
    const auto pathOf = [&](qint64 of) { return existingFileFor(domain, of); };
    // Back to the whole version it is built on, then forward through the differences.
    QList<TRDictionary> records;
    qint64 differenceBytes = 0;
    qint64 wholeBytes = 0;
    for (;; --at) {
        TRDictionary record;
        if (at < 0 || !readFile(pathOf(all.at(at)), &record, &reason)) {
            if (error)
                *error = at < 0 ? trFormat(trText("No whole version of %@ comes before version %@."),
                                           {domain, QString::number(id)})
                                : trFormat(trText("Version %@ of %@ cannot be read: %@"),
                                           {QString::number(all.at(at)), domain, reason});
            return false;
        }
        const qint64 size = QFileInfo(pathOf(all.at(at))).size();
        const bool whole = isWhole(record);
        records.prepend(std::move(record));
        if (whole) {
            wholeBytes = size;
            break;
        }
        differenceBytes += size;
    }
    // The version of a file its writer has just read (the same identity, so the same bytes): those are
    // its contents.
    const TRFileIdentity newestFile = TRFileIdentity::fromValue(records.last().value(kFile));
    if (newestFile.exists && m_expected.domain == domain && m_expected.file == newestFile &&
        m_expected.contents.isDictionary()) {
        *value = m_expected.contents;
    } else if (!rebuildFrom(records, domain, all, at, value, error)) {
        return false;
    }
    if (chain) {
        chain->files.clear();
        for (qsizetype step = at; step < all.indexOf(id) + 1; ++step)
            chain->files.append({all.at(step), TRFileIdentity::ofPath(pathOf(all.at(step)))});
        chain->id = id;
        chain->file = newestFile;
        chain->wholeBytes = wholeBytes;
        chain->differenceBytes = differenceBytes;
    }
    return true;
}

bool TRDomainHistory::rebuildFrom(const QList<TRDictionary> &records, const QString &domain,
                                  const QList<qint64> &all, qsizetype at, TRValue *value,
                                  QString *error) const
{
    QString reason;
    TRValue base;
    if (!TRPropertyList::read(records.first().value(kContents).toData(), &base, nullptr, &reason) ||
        !base.isDictionary()) {
        if (error)
            *error =
                trFormat(trText("Version %@ of %@ cannot be read: %@"),
                         {QString::number(all.at(at)), domain,
                          reason.isEmpty() ? trText("It is not a version the history writes.") : reason});
        return false;
    }
    TRDictionary built = base.toDictionary();
    for (qsizetype step = 1; step < records.size(); ++step) {
        if (!applyDifference(&built, records.at(step), &reason)) {
            if (error)
                *error = trFormat(trText("Version %@ of %@ cannot be read: %@"),
                                  {QString::number(all.at(at + step)), domain, reason});
            return false;
        }
    }
    *value = TRValue::fromDictionary(std::move(built));
    return true;
}

void TRDomainHistory::expectContents(const QString &domain, const TRFileIdentity &file,
                                     const TRValue &contents)
{
    m_expected = Expected{domain, file, contents};
}

void TRDomainHistory::removeDropped(const QString &domain)
{
    const QList<qint64> kept = ids(domain);
    for (const qint64 id : ids(domain, true)) {
        if (!kept.isEmpty() && id >= kept.first())
            break;
        const QString path = droppedFileFor(domain, id);
        const qint64 size = QFileInfo(path).size();
        if (QFile::remove(path) && m_bytes >= 0)
            m_bytes -= size;
    }
}

bool TRDomainHistory::dropOldest(const QString &domain, bool freeSpace)
{
    const QList<qint64> kept = ids(domain);
    if (kept.size() < 2)
        return false;
    TRDictionary next;
    QString reason;
    const bool nextIsWhole = readFile(fileFor(domain, kept.at(1)), &next, &reason) && isWhole(next);
    // An unreadable next version is built on nothing that dropping this one could save.
    const bool nextIsReadable = reason.isEmpty();
    const qsizetype dropped = ids(domain, true).size() - kept.size();
    if (!nextIsWhole && nextIsReadable && !freeSpace && dropped < kMaxDropped) {
        // Set aside: the versions after it are still built on it.
        const QByteArray from = QFile::encodeName(fileFor(domain, kept.first()));
        const QByteArray to = QFile::encodeName(droppedFileFor(domain, kept.first()));
        return std::rename(from.constData(), to.constData()) == 0;
    }
    if (!nextIsWhole && nextIsReadable) {
        TRValue rebuilt;
        QByteArray bytes;
        if (!contents(domain, kept.at(1), &rebuilt, &reason) ||
            !TRPropertyList::writeBinary(rebuilt, &bytes, &reason))
            return false;
        TRDictionary whole;
        for (const QString &key : {kTime, kSource, kKeys, kAdded, kRemoved, kChanged, kFile}) {
            if (next.contains(key))
                whole.insert(key, next.value(key));
        }
        whole.insert(kContents, TRValue::fromData(bytes));
        qint64 size = 0;
        if (!writeFile(domain, kept.at(1), TRValue::fromDictionary(std::move(whole)), &size, nullptr))
            return false;
        if (m_newest.value(domain).id == kept.at(1))
            m_newest.remove(domain);
    }
    const qint64 size = QFileInfo(fileFor(domain, kept.first())).size();
    if (!QFile::remove(fileFor(domain, kept.first())))
        return false;
    if (m_bytes >= 0)
        m_bytes -= size;
    removeDropped(domain);
    // The cached sizes of the chain no longer hold once its whole version moved.
    if (auto cached = m_newest.find(domain); cached != m_newest.end() && !nextIsWhole)
        m_newest.erase(cached);
    return true;
}

QDateTime TRDomainHistory::oldestTime(const QString &domain) const
{
    const QList<qint64> kept = ids(domain);
    TRDictionary record;
    QString unused;
    // An unreadable oldest file counts as old: it goes first.
    if (kept.isEmpty() || !readFile(fileFor(domain, kept.first()), &record, &unused))
        return QDateTime::fromMSecsSinceEpoch(0, QTimeZone::utc());
    return timeFrom(record.value(kTime));
}

void TRDomainHistory::applyLimits(const QString &domain, const QDateTime &now)
{
    // The newest version of a domain always stays. A bound that cannot be kept (a file that cannot be
    // removed) leaves the history as it is.
    const QDateTime oldestAllowed = now.addDays(-m_limits.daysPerDomain);
    for (;;) {
        const qsizetype count = ids(domain).size();
        if (count <= 1 || (count <= m_limits.versionsPerDomain && oldestTime(domain) >= oldestAllowed))
            break;
        if (!dropOldest(domain, false))
            return;
    }
    // All domains together: the oldest version of any domain goes first, and its file with it.
    if (m_bytes < 0) {
        m_bytes = 0;
        for (const QString &name : domains()) {
            for (const QFileInfo &file :
                 QDir(domainFolder(name)).entryInfoList({QStringLiteral("*") + kSuffix}, QDir::Files))
                m_bytes += file.size();
        }
    }
    while (m_bytes > m_limits.bytesInAll) {
        QString oldestDomain;
        QDateTime oldest;
        for (const QString &name : domains()) {
            if (ids(name).size() <= 1)
                continue;
            if (const QDateTime time = oldestTime(name); oldest.isNull() || time < oldest) {
                oldest = time;
                oldestDomain = name;
            }
        }
        if (oldestDomain.isEmpty() || !dropOldest(oldestDomain, true))
            return;
    }
}
