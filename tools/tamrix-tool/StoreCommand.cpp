// tamrix-tool store: the per-user defaults store from the command line.
#include "Commands.h"
#include "TRKeyPath.h"
#include "TRLimits.h"
#include "TRText.h"
#include "TRValueChanges.h"
#include "plist/TRPropertyList.h"
#include "plist/TRValueJson.h"
#include "store/TRDefaultsStore.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cstdio>

void printLine(FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stream);
    std::fputc('\n', stream);
}

namespace {

int fail(const QString &message)
{
    printLine(stderr, QStringLiteral("tamrix-tool store: ") + message);
    return 1;
}

int usage()
{
    fail(trText("usage: store dir | names [--json] | read NAME | write NAME FILE | remove NAME | find WORD "
                "[--values] [--json] | watch [DOMAIN...]"));
    return kExitUsage;
}

// A name as one line of plain text: control characters (a line break among them) and the backslash are
// written as escapes, so that every line is one whole name.
QString escaped(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t unit = c.unicode();
        if (unit == u'\\')
            out += QStringLiteral("\\\\");
        else if (unit == u'\n')
            out += QStringLiteral("\\n");
        else if (unit == u'\t')
            out += QStringLiteral("\\t");
        else if (unit == u'\r')
            out += QStringLiteral("\\r");
        else if (unit < 0x20 || (unit >= 0x7F && unit < 0xA0) || unit == 0x2028 || unit == 0x2029)
            out += QStringLiteral("\\u%1").arg(uint(unit), 4, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out;
}

void reportUnreadable(const TRDefaultsStore &store)
{
    for (const TRDefaultsStore::UnreadableFile &file : store.unreadableFiles()) {
        QString line = trFormat(trText("cannot read %@: %@"), {escaped(file.fileName), file.reason});
        if (!file.setAsideAs.isEmpty())
            line += trFormat(trText(" (set aside as %@)"), {escaped(file.setAsideAs)});
        printLine(stderr, QStringLiteral("tamrix-tool store: ") + line);
    }
}

int readDomain(TRDefaultsStore &store, const QString &name)
{
    QString error;
    if (!TRDefaultsStore::isValidDomainName(name, &error))
        return fail(error);
    const TRValue domain = store.persistentDomainForName(name);
    if (domain.isNone()) {
        reportUnreadable(store);
        return fail(trFormat(trText("no domain named %@ in %@"), {name, store.folder()}));
    }
    QByteArray xml;
    if (!TRPropertyList::writeXml(domain, &xml, &error) && !TRPropertyList::writeBinary(domain, &xml, &error))
        return fail(error);
    std::fwrite(xml.constData(), 1, std::size_t(xml.size()), stdout);
    return 0;
}

int writeDomain(TRDefaultsStore &store, const QString &name, const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return fail(trFormat(trText("cannot read %@: %@"), {fileName, file.errorString()}));
    if (file.size() > kTRMaxFileSize)
        return fail(trFormat(trText("cannot read %@: the file is larger than %@ MiB"),
                             {fileName, QString::number(kTRMaxFileSize >> 20)}));
    TRValue value;
    QString error;
    if (!TRPropertyList::read(file.readAll(), &value, nullptr, &error))
        return fail(trFormat(trText("cannot read %@: %@"), {fileName, error}));
    if (!value.isDictionary())
        return fail(
            trFormat(trText("cannot read %@: the property list's root is not a dictionary"), {fileName}));
    if (!store.setPersistentDomain(value, name, &error)) {
        reportUnreadable(store);
        return fail(error);
    }
    reportUnreadable(store);
    return 0;
}

// {"names": [...], "unreadable": [{"file", "reason", "setAsideAs"?}, ...]}
int printNamesAsJson(TRDefaultsStore &store)
{
    QJsonArray names;
    for (const QString &name : store.persistentDomainNames())
        names.append(name);
    QJsonArray unreadable;
    for (const TRDefaultsStore::UnreadableFile &file : store.unreadableFiles()) {
        QJsonObject entry{{QStringLiteral("file"), file.fileName}, {QStringLiteral("reason"), file.reason}};
        if (!file.setAsideAs.isEmpty())
            entry.insert(QStringLiteral("setAsideAs"), file.setAsideAs);
        unreadable.append(entry);
    }
    const QJsonObject top{{QStringLiteral("names"), names}, {QStringLiteral("unreadable"), unreadable}};
    const QByteArray json = QJsonDocument(top).toJson(QJsonDocument::Indented);
    std::fwrite(json.constData(), 1, std::size_t(json.size()), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

// Waits for another program's lock and changes made without the lock are told on standard error.
void reportLockEvents(TRDefaultsStore &store)
{
    store.setLockObserver([told = false](TRDefaultsStore::LockEvent event, const QString &message) mutable {
        if (event == TRDefaultsStore::LockEvent::NotTaken ||
            (event == TRDefaultsStore::LockEvent::Waiting && !told)) {
            printLine(stderr, QStringLiteral("tamrix-tool store: ") + message);
            told = told || event == TRDefaultsStore::LockEvent::Waiting;
        }
    });
}

// Whether the OpenStep text of a leaf of that kind can hold the word (folded to lower case) at all: a
// number's, a date's or data's text is made of a few characters, and most words have others, so that
// most leaves are never written out as text to be searched.
bool mayHold(TRValue::Kind kind, const QString &word)
{
    QLatin1StringView alphabet;
    switch (kind) {
    case TRValue::Kind::Integer:
        alphabet = QLatin1StringView("<*i-0123456789>");
        break;
    case TRValue::Kind::Real:
        alphabet = QLatin1StringView("<*r-+.0123456789einfa>");
        break;
    case TRValue::Kind::Boolean:
        alphabet = QLatin1StringView("<*byn>");
        break;
    case TRValue::Kind::Date:
        alphabet = QLatin1StringView("<*d0123456789-: +>");
        break;
    case TRValue::Kind::Data:
        alphabet = QLatin1StringView("<0123456789abcdef >");
        break;
    default:
        return true;
    }
    return std::all_of(word.cbegin(), word.cend(), [&](QChar c) { return alphabet.contains(c); });
}

// Every key of the value (and with values, every leaf) whose name or text holds the word, below names.
void findIn(const QString &domain, const TRValue &value, QStringList &names, const QString &word,
            const QString &folded, bool values, QJsonArray *json)
{
    const auto report = [&](const TRValue &found) {
        const QString path = domain + u'/' + trKeyPath(names);
        if (json) {
            json->append(QJsonObject{
                {QStringLiteral("domain"), domain},
                {QStringLiteral("path"), trKeyPath(names)},
                {QStringLiteral("value"), QJsonDocument::fromJson(TRValueJson::toJson(found)).object()}});
        } else {
            printLine(stdout,
                      path + QStringLiteral(" = ") + trOpenStepText(found, TROpenStepQuoting::WhereNeeded));
        }
    };
    const auto visit = [&](const QString &name, const TRValue &child, bool named) {
        names.append(name);
        const bool nameMatches = named && name.contains(word, Qt::CaseInsensitive);
        const bool valueMatches =
            values && !child.isArray() && !child.isDictionary() &&
            (child.isString() ? child.stringView().contains(word, Qt::CaseInsensitive)
                              : mayHold(child.kind(), folded) &&
                                    trOpenStepText(child).contains(word, Qt::CaseInsensitive));
        if (nameMatches || valueMatches)
            report(child);
        findIn(domain, child, names, word, folded, values, json);
        names.removeLast();
    };
    if (value.isDictionary()) {
        for (const auto &[name, child] : value.toDictionary())
            visit(name, child, true);
    } else if (value.isArray()) {
        const TRArray &elements = value.toArray();
        for (qsizetype i = 0; i < elements.size(); ++i)
            visit(QString::number(i), elements.at(i), false);
    }
}

int findKeys(TRDefaultsStore &store, const QStringList &args)
{
    const bool values = args.contains(QLatin1String("--values"));
    const bool asJson = args.contains(QLatin1String("--json"));
    QStringList words = args.mid(1);
    words.removeAll(QStringLiteral("--values"));
    words.removeAll(QStringLiteral("--json"));
    if (words.size() != 1 || words.first().isEmpty())
        return usage();
    QJsonArray found;
    const QString folded = words.first().toLower();
    for (const QString &domain : store.persistentDomainNames()) {
        QStringList names;
        findIn(domain, store.persistentDomainForName(domain), names, words.first(), folded, values,
               asJson ? &found : nullptr);
    }
    reportUnreadable(store);
    if (asJson) {
        const QByteArray json = QJsonDocument(found).toJson(QJsonDocument::Compact);
        std::fwrite(json.constData(), 1, std::size_t(json.size()), stdout);
        std::fputc('\n', stdout);
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}

} // namespace

int storeCommand(const QStringList &args)
{
    if (args.isEmpty())
        return usage();
    TRDefaultsStore &store = TRDefaultsStore::standard();
    reportLockEvents(store);
    useHistory(store);
    const QString &command = args.first();
    if (command == QLatin1String("dir") && args.size() == 1) {
        printLine(stdout, store.folder());
        return 0;
    }
    if (command == QLatin1String("names") && args.size() == 1) {
        for (const QString &name : store.persistentDomainNames())
            printLine(stdout, escaped(name));
        reportUnreadable(store);
        return 0;
    }
    if (command == QLatin1String("names") && args.size() == 2 && args.at(1) == QLatin1String("--json"))
        return printNamesAsJson(store);
    if (command == QLatin1String("find"))
        return findKeys(store, args);
    if (command == QLatin1String("watch"))
        return watchStore(store, args.mid(1));
    if (command == QLatin1String("read") && args.size() == 2)
        return readDomain(store, args.at(1));
    if (command == QLatin1String("write") && args.size() == 3)
        return writeDomain(store, args.at(1), args.at(2));
    if (command == QLatin1String("remove") && args.size() == 2) {
        QString error;
        if (!store.removePersistentDomainForName(args.at(1), &error))
            return fail(error);
        reportUnreadable(store);
        return 0;
    }
    return usage();
}
