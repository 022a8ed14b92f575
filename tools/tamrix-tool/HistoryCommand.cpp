// tamrix-tool history: the versions the history keeps of each domain, from the command line.
#include "Commands.h"
#include "TRKeyPath.h"
#include "TRText.h"
#include "TRValueChanges.h"
#include "plist/TRPropertyList.h"
#include "store/TRDefaultsStore.h"
#include "store/TRDomainHistory.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <utility>

namespace {

int fail(const QString &message)
{
    printLine(stderr, QStringLiteral("tamrix-tool history: ") + message);
    return 1;
}

int usage()
{
    fail(
        trText("usage: history list DOMAIN [--json] | show DOMAIN N | diff DOMAIN N [M] | restore DOMAIN N"));
    return kExitUsage;
}

void reportUnreadable(const QList<TRDomainHistory::Unreadable> &unreadable)
{
    for (const TRDomainHistory::Unreadable &file : unreadable)
        printLine(stderr, QStringLiteral("tamrix-tool history: ") +
                              trFormat(trText("cannot read %@: %@"), {file.fileName, file.reason}));
}

// Newest first, numbered from 1: number, UTC time, source, key count; or the same as JSON.
int list(const TRDomainHistory &history, const QString &domain, bool json)
{
    QList<TRDomainHistory::Unreadable> unreadable;
    const QList<TRDomainHistory::Version> versions = history.versions(domain, &unreadable);
    if (json) {
        QJsonArray entries;
        for (qsizetype at = 0; at < versions.size(); ++at) {
            const TRDomainHistory::Version &version = versions.at(at);
            entries.append(QJsonObject{{QStringLiteral("number"), int(at + 1)},
                                       {QStringLiteral("time"), version.time.toString(Qt::ISODate)},
                                       {QStringLiteral("source"), version.source},
                                       {QStringLiteral("keys"), version.keyCount},
                                       {QStringLiteral("added"), version.added},
                                       {QStringLiteral("removed"), version.removed},
                                       {QStringLiteral("changed"), version.changed},
                                       {QStringLiteral("problem"), version.problem}});
        }
        QJsonArray damaged;
        for (const TRDomainHistory::Unreadable &file : unreadable)
            damaged.append(QJsonObject{{QStringLiteral("file"), file.fileName},
                                       {QStringLiteral("reason"), file.reason}});
        const QJsonObject top{{QStringLiteral("versions"), entries}, {QStringLiteral("unreadable"), damaged}};
        const QByteArray text = QJsonDocument(top).toJson(QJsonDocument::Indented);
        std::fwrite(text.constData(), 1, std::size_t(text.size()), stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    for (qsizetype at = 0; at < versions.size(); ++at) {
        const TRDomainHistory::Version &version = versions.at(at);
        printLine(stdout, QStringLiteral("%1\t%2\t%3\t%4")
                              .arg(at + 1)
                              .arg(version.time.toString(Qt::ISODate), version.source)
                              .arg(version.keyCount));
    }
    reportUnreadable(unreadable);
    return 0;
}

// Version number N (1 = newest) of the domain.
bool versionNumbered(const TRDomainHistory &history, const QString &domain, const QString &number,
                     TRValue *value)
{
    bool isNumber = false;
    const int position = number.toInt(&isNumber);
    const QList<TRDomainHistory::Version> versions = history.versions(domain);
    QString error;
    if (!isNumber || position < 1 || position > versions.size())
        error = trFormat(trText("%@ has no version %@ in its history."), {domain, number});
    else if (history.contents(domain, versions.at(position - 1).id, value, &error))
        return true;
    fail(error);
    return false;
}

int show(const TRDomainHistory &history, const QString &domain, const QString &number)
{
    TRValue value;
    QString error;
    QByteArray xml;
    if (!versionNumbered(history, domain, number, &value))
        return 1;
    if (!TRPropertyList::writeXml(value, &xml, &error) && !TRPropertyList::writeBinary(value, &xml, &error))
        return fail(error);
    std::fwrite(xml.constData(), 1, std::size_t(xml.size()), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

// From version N to version M, or to the store's contents.
int diff(const TRDomainHistory &history, const QString &domain, const QStringList &numbers)
{
    TRValue older;
    TRValue newer;
    if (!versionNumbered(history, domain, numbers.at(0), &older))
        return 1;
    if (numbers.size() > 1) {
        if (!versionNumbered(history, domain, numbers.at(1), &newer))
            return 1;
    } else {
        newer = TRDefaultsStore::standard().persistentDomainForName(domain);
        if (newer.isNone())
            newer = TRValue::fromDictionary(TRDictionary());
    }
    for (const TRValueChange &change : trValueChanges(older, newer)) {
        const QString path = trKeyPath(change.names);
        switch (change.kind) {
        case TRValueChange::Kind::Added:
            printLine(stdout, QStringLiteral("+ %1 %2").arg(path, trOpenStepText(change.after)));
            break;
        case TRValueChange::Kind::Removed:
            printLine(stdout, QStringLiteral("- ") + path);
            break;
        case TRValueChange::Kind::Changed:
            printLine(stdout, QStringLiteral("~ %1 %2 -> %3")
                                  .arg(path, trOpenStepText(change.before), trOpenStepText(change.after)));
            break;
        }
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}

int restore(const TRDomainHistory &history, const QString &domain, const QString &number)
{
    TRValue value;
    if (!versionNumbered(history, domain, number, &value))
        return 1;
    QString error;
    TRDefaultsStore &store = TRDefaultsStore::standard();
    useHistory(store);
    // The store keeps the version it replaces; a version with no keys is the domain removed.
    const bool done = value.toDictionary().isEmpty()
                          ? store.removePersistentDomainForName(domain, &error)
                          : store.writePersistentDomain(value, domain, nullptr, nullptr, &error,
                                                        QString::fromLatin1(TRDomainHistory::kRestore)) ==
                                TRDefaultsStore::WriteResult::Written;
    return done ? 0 : fail(error);
}

} // namespace

int historyCommand(const QStringList &args)
{
    if (args.size() < 2)
        return usage();
    QString error;
    if (!TRDefaultsStore::isValidDomainName(args.at(1), &error))
        return fail(error);
    const TRDomainHistory history(TRDomainHistory::defaultFolder());
    const QString &command = args.first();
    if (command == QLatin1String("list") && args.size() == 2)
        return list(history, args.at(1), false);
    if (command == QLatin1String("list") && args.size() == 3 && args.at(2) == QLatin1String("--json"))
        return list(history, args.at(1), true);
    if (command == QLatin1String("show") && args.size() == 3)
        return show(history, args.at(1), args.at(2));
    if (command == QLatin1String("diff") && (args.size() == 3 || args.size() == 4))
        return diff(history, args.at(1), args.mid(2));
    if (command == QLatin1String("restore") && args.size() == 3)
        return restore(history, args.at(1), args.at(2));
    return usage();
}

void useHistory(TRDefaultsStore &store)
{
    store.setHistory(
        std::make_shared<TRDomainHistory>(TRDomainHistory::defaultFolder()),
        [](const QString &message) { printLine(stderr, QStringLiteral("tamrix-tool: ") + message); });
}
