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
#include <utility>

namespace {

// A version file: {Time; Source; Keys; Added; Removed; Changed} and either Contents (whole) or Set,
// Gone and, when the key order cannot be told from them, Order.
const QString kTime = QStringLiteral("Time");
const QString kSource = QStringLiteral("Source");
const QString kKeys = QStringLiteral("Keys");
const QString kAdded = QStringLiteral("Added");
const QString kRemoved = QStringLiteral("Removed");
const QString kChanged = QStringLiteral("Changed");
const QString kContents = QStringLiteral("Contents");
const QString kSet = QStringLiteral("Set");
const QString kGone = QStringLiteral("Gone");
const QString kOrder = QStringLiteral("Order");
const QString kSuffix = QStringLiteral(".plist");

// A whole version at least every this many.
constexpr qint64 kWholeEvery = 10;
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

Difference differenceOf(const TRDictionary &older, const TRDictionary &newer)
{
    Difference difference;
    for (const auto &[key, value] : newer) {
        const qsizetype at = older.indexOf(key);
        if (at < 0)
            ++difference.added;
        else if (older.valueAt(at) == value)
            continue;
        else
            ++difference.changed;
        difference.set.insert(key, value);
    }
    for (const auto &[key, value] : older) {
        if (!newer.contains(key))
            difference.gone.append(key);
    }
    const QStringList order = keysOf(newer);
    if (orderAfter(older, difference.set, difference.gone) != order)
        difference.order = order;
    return difference;
}

bool applyDifference(const TRDictionary &older, const TRDictionary &record, TRDictionary *newer,
                     QString *error)
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
        if (!older.contains(key)) {
            *error =
                trFormat(trText("The difference removes the key %@, which the version before lacks."), {key});
            return false;
        }
    }
    const TRDictionary &setKeys = set.toDictionary();
    const QStringList expected = orderAfter(older, setKeys, gone);
    if (order.isEmpty())
        order = expected;
    else if (QSet<QString>(order.cbegin(), order.cend()) !=
                 QSet<QString>(expected.cbegin(), expected.cend()) ||
             order.size() != expected.size()) {
        *error = trText("The difference's key order does not name the version's keys.");
        return false;
    }
    TRDictionary result;
    result.reserve(order.size());
    for (const QString &key : std::as_const(order)) {
        const qsizetype at = setKeys.indexOf(key);
        result.insert(key, at >= 0 ? setKeys.valueAt(at) : older.value(key));
    }
    *newer = std::move(result);
    return true;
}

int integerIn(const TRDictionary &record, const QString &key)
{
    const TRValue value = record.value(key);
    return value.isInteger() ? int(value.toInteger()) : 0;
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
    const QString overridden = qEnvironmentVariable("TAMRIX_HISTORY_DIR");
    if (!overridden.isEmpty())
        return overridden;
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    // The base directory specification ignores a relative path.
    if (state.isEmpty() || QDir::isRelativePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/tamrix/history");
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

QList<qint64> TRDomainHistory::ids(const QString &domain) const
{
    QList<qint64> found;
    const QStringList names =
        QDir(domainFolder(domain))
            .entryList({QStringLiteral("*") + kSuffix}, QDir::Files | QDir::NoDotAndDotDot);
    for (const QString &name : names) {
        bool isNumber = false;
        const qint64 id = name.chopped(kSuffix.size()).toLongLong(&isNumber);
        if (isNumber && id > 0)
            found.append(id);
    }
    std::sort(found.begin(), found.end());
    return found;
}

bool TRDomainHistory::readFile(const QString &domain, qint64 id, TRDictionary *record, QString *error) const
{
    QFile file(fileFor(domain, id));
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
        !(value.toDictionary().value(kContents).isDictionary() || value.toDictionary().contains(kSet))) {
        *error = trText("It is not a version the history writes.");
        return false;
    }
    *record = value.toDictionary();
    return true;
}

bool TRDomainHistory::writeFile(const QString &domain, qint64 id, const TRValue &record, QString *error)
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
            return true;
        }
    }
    if (error)
        *error = reason;
    return false;
}

bool TRDomainHistory::record(const QString &domain, const TRValue &contents, const QString &source,
                             QString *error, const QDateTime &time)
{
    if (!contents.isDictionary()) {
        if (error)
            *error = trText("A domain's contents are a dictionary.");
        return false;
    }
    const QList<qint64> kept = ids(domain);
    TRValue newest;
    QString unused;
    int chain = 0;
    const bool hasNewest = !kept.isEmpty() && rebuild(domain, kept.last(), &newest, &unused, &chain);
    if (hasNewest && newest == contents)
        return true;
    // Whole when nothing readable comes before it, or when the last whole one is ten versions back.
    const qint64 id = kept.isEmpty() ? 1 : kept.last() + 1;
    const bool whole = !hasNewest || chain >= kWholeEvery;
    const TRDictionary empty;
    const Difference difference =
        differenceOf(hasNewest ? newest.toDictionary() : empty, contents.toDictionary());
    TRDictionary record;
    record.insert(kTime, dateValue(time.toUTC()));
    record.insert(kSource, TRValue::fromString(source));
    record.insert(kKeys, TRValue::fromInteger(contents.toDictionary().size()));
    record.insert(kAdded, TRValue::fromInteger(difference.added));
    record.insert(kRemoved, TRValue::fromInteger(difference.gone.size()));
    record.insert(kChanged, TRValue::fromInteger(difference.changed));
    if (whole) {
        record.insert(kContents, contents);
    } else {
        record.insert(kSet, TRValue::fromDictionary(difference.set));
        record.insert(kGone, stringsValue(difference.gone));
        if (!difference.order.isEmpty())
            record.insert(kOrder, stringsValue(difference.order));
    }
    if (!writeFile(domain, id, TRValue::fromDictionary(std::move(record)), error))
        return false;
    applyLimits(domain, time);
    return true;
}

QList<TRDomainHistory::Version> TRDomainHistory::versions(const QString &domain,
                                                          QList<Unreadable> *unreadable) const
{
    QList<Version> found;
    const QList<qint64> kept = ids(domain);
    for (auto id = kept.crbegin(); id != kept.crend(); ++id) {
        TRDictionary record;
        QString reason;
        if (!readFile(domain, *id, &record, &reason)) {
            if (unreadable)
                unreadable->append({fileFor(domain, *id), reason});
            continue;
        }
        found.append(Version{*id, timeFrom(record.value(kTime)), record.value(kSource).toString(),
                             integerIn(record, kKeys), integerIn(record, kAdded), integerIn(record, kRemoved),
                             integerIn(record, kChanged)});
    }
    return found;
}

bool TRDomainHistory::contents(const QString &domain, qint64 id, TRValue *value, QString *error) const
{
    int chain = 0;
    return rebuild(domain, id, value, error, &chain);
}

bool TRDomainHistory::rebuild(const QString &domain, qint64 id, TRValue *value, QString *error,
                              int *length) const
{
    QString reason;
    const QList<qint64> kept = ids(domain);
    qsizetype at = kept.indexOf(id);
    if (at < 0) {
        if (error)
            *error = trFormat(trText("%@ has no version %@ in its history."), {domain, QString::number(id)});
        return false;
    }
    // Back to the whole version it is built on, then forward through the differences.
    QList<TRDictionary> chain;
    for (;; --at) {
        TRDictionary record;
        if (at < 0 || !readFile(domain, kept.at(at), &record, &reason)) {
            if (error)
                *error = at < 0 ? trFormat(trText("No whole version of %@ comes before version %@."),
                                           {domain, QString::number(id)})
                                : trFormat(trText("Version %@ of %@ cannot be read: %@"),
                                           {QString::number(kept.at(at)), domain, reason});
            return false;
        }
        const bool whole = record.contains(kContents);
        chain.prepend(std::move(record));
        if (whole)
            break;
    }
    TRDictionary built = chain.first().value(kContents).toDictionary();
    for (qsizetype step = 1; step < chain.size(); ++step) {
        TRDictionary next;
        if (!applyDifference(built, chain.at(step), &next, &reason)) {
            if (error)
                *error = trFormat(trText("Version %@ of %@ cannot be read: %@"),
                                  {QString::number(kept.at(at + step)), domain, reason});
            return false;
        }
        built = std::move(next);
    }
    *value = TRValue::fromDictionary(std::move(built));
    *length = int(chain.size());
    return true;
}

bool TRDomainHistory::dropOldest(const QString &domain, QString *error)
{
    const QList<qint64> kept = ids(domain);
    if (kept.isEmpty())
        return false;
    if (kept.size() > 1) {
        TRDictionary next;
        QString reason;
        TRValue rebuilt;
        if (readFile(domain, kept.at(1), &next, &reason) && !next.contains(kContents) &&
            contents(domain, kept.at(1), &rebuilt, &reason)) {
            TRDictionary whole;
            for (const QString &key : {kTime, kSource, kKeys, kAdded, kRemoved, kChanged})
                whole.insert(key, next.value(key));
            whole.insert(kContents, rebuilt);
            if (!writeFile(domain, kept.at(1), TRValue::fromDictionary(std::move(whole)), error))
                return false;
        }
    }
    const qint64 size = QFileInfo(fileFor(domain, kept.first())).size();
    if (!QFile::remove(fileFor(domain, kept.first()))) {
        if (error)
            *error = trFormat(trText("Cannot remove %@."), {fileFor(domain, kept.first())});
        return false;
    }
    if (m_bytes >= 0)
        m_bytes -= size;
    return true;
}

QDateTime TRDomainHistory::oldestTime(const QString &domain) const
{
    const QList<qint64> kept = ids(domain);
    TRDictionary record;
    QString unused;
    // An unreadable oldest file counts as old: it goes first.
    if (kept.isEmpty() || !readFile(domain, kept.first(), &record, &unused))
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
        if (!dropOldest(domain, nullptr))
            return;
    }
    // All domains together: the oldest version of any domain goes first.
    if (m_bytes < 0) {
        m_bytes = 0;
        for (const QString &name : QDir(m_folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            for (const QFileInfo &file :
                 QDir(domainFolder(name)).entryInfoList({QStringLiteral("*") + kSuffix}, QDir::Files))
                m_bytes += file.size();
        }
    }
    while (m_bytes > m_limits.bytesInAll) {
        QString oldestDomain;
        QDateTime oldest;
        for (const QString &name : QDir(m_folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            if (ids(name).size() <= 1)
                continue;
            if (const QDateTime time = oldestTime(name); oldest.isNull() || time < oldest) {
                oldest = time;
                oldestDomain = name;
            }
        }
        if (oldestDomain.isEmpty() || !dropOldest(oldestDomain, nullptr))
            return;
    }
}
