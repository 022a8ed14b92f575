// tamrix-tool history: the versions the history keeps of each domain, from the command line.
#include "Commands.h"
#include "TRKeyPath.h"
#include "TRText.h"
#include "plist/TRPropertyList.h"
#include "store/TRDefaultsStore.h"
#include "store/TRDomainHistory.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cstdio>
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

QString quoted(const QString &text)
{
    QString out = QStringLiteral("\"");
    for (const QChar c : text) {
        if (c == u'"' || c == u'\\')
            out += u'\\';
        if (c == u'\n')
            out += QStringLiteral("\\n");
        else if (c == u'\t')
            out += QStringLiteral("\\t");
        else if (c == u'\r')
            out += QStringLiteral("\\r");
        else
            out += c;
    }
    return out + u'"';
}

// A value as GNUstep's OpenStep text writes it, on one line (typed scalars as <*I..>, <*R..>, <*B.>,
// <*D..>).
QString openStepText(const TRValue &value)
{
    if (value.isString())
        return quoted(value.toString());
    if (value.isBoolean())
        return value.toBool() ? QStringLiteral("<*BY>") : QStringLiteral("<*BN>");
    if (value.isInteger())
        return QStringLiteral("<*I%1>").arg(value.description());
    if (value.isReal())
        return QStringLiteral("<*R%1>").arg(value.description());
    if (value.isDate())
        return QStringLiteral("<*D%1>").arg(value.description());
    if (value.isData())
        return u'<' + QString::fromLatin1(value.toData().toHex()) + u'>';
    if (value.isArray()) {
        QStringList elements;
        for (const TRValue &element : value.toArray())
            elements.append(openStepText(element));
        return u'(' + elements.join(QStringLiteral(", ")) + u')';
    }
    if (value.isDictionary()) {
        QString out = QStringLiteral("{");
        for (const auto &[key, element] : value.toDictionary())
            out += quoted(key) + QStringLiteral(" = ") + openStepText(element) + QStringLiteral("; ");
        return out + u'}';
    }
    return value.description();
}

// Key-level changes from older to newer, into dictionaries and lists (by position): "+ PATH VALUE",
// "- PATH", "~ PATH OLD -> NEW".
void differences(const TRValue &older, const TRValue &newer, QStringList &names, QStringList *lines)
{
    if (older.isDictionary() && newer.isDictionary()) {
        for (const auto &[key, value] : newer.toDictionary()) {
            names.append(key);
            if (!older.toDictionary().contains(key))
                lines->append(QStringLiteral("+ %1 %2").arg(trKeyPath(names), openStepText(value)));
            else
                differences(older.toDictionary().value(key), value, names, lines);
            names.removeLast();
        }
        for (const auto &[key, value] : older.toDictionary()) {
            if (!newer.toDictionary().contains(key))
                lines->append(QStringLiteral("- ") + trKeyPath(names + QStringList{key}));
        }
        return;
    }
    if (older.isArray() && newer.isArray()) {
        const TRArray &before = older.toArray();
        const TRArray &after = newer.toArray();
        for (qsizetype at = 0; at < std::max(before.size(), after.size()); ++at) {
            names.append(QString::number(at));
            if (at >= before.size())
                lines->append(QStringLiteral("+ %1 %2").arg(trKeyPath(names), openStepText(after.at(at))));
            else if (at >= after.size())
                lines->append(QStringLiteral("- ") + trKeyPath(names));
            else
                differences(before.at(at), after.at(at), names, lines);
            names.removeLast();
        }
        return;
    }
    if (!(older == newer) || older.kind() != newer.kind())
        lines->append(
            QStringLiteral("~ %1 %2 -> %3").arg(trKeyPath(names), openStepText(older), openStepText(newer)));
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
    QStringList names;
    QStringList lines;
    differences(older, newer, names, &lines);
    for (const QString &line : std::as_const(lines))
        printLine(stdout, line);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

int restore(const TRDomainHistory &history, const QString &domain, const QString &number)
{
    TRValue value;
    if (!versionNumbered(history, domain, number, &value))
        return 1;
    keepReplacedVersion(domain, QString::fromLatin1(TRDomainHistory::kRestore));
    QString error;
    TRDefaultsStore &store = TRDefaultsStore::standard();
    const bool done = value.toDictionary().isEmpty() ? store.removePersistentDomainForName(domain, &error)
                                                     : store.setPersistentDomain(value, domain, &error);
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
