// tamrix-tool history: the versions the history keeps of each domain, from the command line.
#include "Commands.h"
#include "TRText.h"
#include "plist/TRPropertyList.h"
#include "store/TRDefaultsStore.h"
#include "store/TRDomainHistory.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>

namespace {

int fail(const QString &message)
{
    printLine(stderr, QStringLiteral("tamrix-tool history: ") + message);
    return 1;
}

int usage()
{
    fail(trText("usage: history list DOMAIN [--json] | show DOMAIN N"));
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
                                       {QStringLiteral("changed"), version.changed}});
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

int show(const TRDomainHistory &history, const QString &domain, const QString &number)
{
    bool isNumber = false;
    const int position = number.toInt(&isNumber);
    const QList<TRDomainHistory::Version> versions = history.versions(domain);
    if (!isNumber || position < 1 || position > versions.size())
        return fail(trFormat(trText("%@ has no version %@ in its history."), {domain, number}));
    TRValue value;
    QString error;
    QByteArray xml;
    if (!history.contents(domain, versions.at(position - 1).id, &value, &error) ||
        (!TRPropertyList::writeXml(value, &xml, &error) && !TRPropertyList::writeBinary(value, &xml, &error)))
        return fail(error);
    std::fwrite(xml.constData(), 1, std::size_t(xml.size()), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
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
    return usage();
}

bool keepReplacedVersion(const QString &domain, const QString &source)
{
    TRDefaultsStore &store = TRDefaultsStore::standard();
    const TRValue current = store.persistentDomainForName(domain);
    if (current.isNone())
        return true;
    TRDomainHistory history(TRDomainHistory::defaultFolder());
    QString error;
    if (history.record(domain, current, source, &error))
        return true;
    printLine(stderr, QStringLiteral("tamrix-tool history: ") +
                          trFormat(trText("the history could not be kept: %@"), {error}));
    return false;
}
