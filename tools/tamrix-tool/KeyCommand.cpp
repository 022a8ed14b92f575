// tamrix-tool key: one key of a domain by its path, read, typed, written, deleted or renamed through the
// store as the window writes (GNUstep's lock held from the read to the write, the history kept).
#include "Commands.h"
#include "TRDateTime.h"
#include "TRKeyPath.h"
#include "TRKeyPathEdit.h"
#include "TRText.h"
#include "TRValueChanges.h"
#include "plist/TROpenStepReader.h"
#include "plist/TRValueJson.h"
#include "store/TRDefaultsStore.h"

#include <QDateTime>
#include <cstdio>

namespace {

int fail(const QString &message)
{
    printLine(stderr, QStringLiteral("tamrix-tool key: ") + message);
    return 1;
}

int usage(const QString &why = QString())
{
    if (!why.isEmpty())
        printLine(stderr, QStringLiteral("tamrix-tool key: ") + why);
    printLine(stderr,
              trText("usage: key read DOMAIN [PATH] [--json] | type DOMAIN PATH | write DOMAIN PATH "
                     "VALUE | write DOMAIN PATH -TYPE VALUE... | delete DOMAIN PATH | rename DOMAIN PATH "
                     "NEW-NAME"));
    return kExitUsage;
}

QString typeName(const TRValue &value)
{
    if (value.isBoolean())
        return QStringLiteral("boolean");
    if (value.isInteger())
        return QStringLiteral("integer");
    if (value.isReal())
        return QStringLiteral("real");
    if (value.isDate())
        return QStringLiteral("date");
    if (value.isData())
        return QStringLiteral("data");
    if (value.isArray())
        return QStringLiteral("array");
    if (value.isDictionary())
        return QStringLiteral("dictionary");
    return QStringLiteral("string");
}

// As GNUstep's `defaults write` takes a value: text that opens as a list, a dictionary, data, a typed
// scalar or a quoted string must be one; any other text that is not a property list is the string itself
// ("two words", "a = b").
bool parseText(const QString &text, TRValue *value, QString *error)
{
    TROpenStepReader reader(text.toUtf8());
    if (reader.read(value, error))
        return true;
    if (!text.isEmpty() && QStringView(u"{(<\"").contains(text.front()))
        return false;
    *value = TRValue::fromString(text);
    return true;
}

// A typed leaf: the flag (without its dash) and its text.
bool parseTyped(const QString &flag, const QString &text, TRValue *value, QString *error)
{
    bool ok = false;
    if (flag == QLatin1String("string")) {
        *value = TRValue::fromString(text);
        return true;
    }
    if (flag == QLatin1String("int") || flag == QLatin1String("integer")) {
        const qint64 number = text.toLongLong(&ok);
        if (ok)
            *value = TRValue::fromInteger(number);
    } else if (flag == QLatin1String("float") || flag == QLatin1String("real")) {
        const double number = text.toDouble(&ok);
        if (ok)
            *value = TRValue::fromReal(number);
    } else if (flag == QLatin1String("bool") || flag == QLatin1String("boolean")) {
        const QString word = text.toLower();
        const bool yes =
            word == QLatin1String("yes") || word == QLatin1String("true") || word == QLatin1String("1");
        ok = yes || word == QLatin1String("no") || word == QLatin1String("false") ||
             word == QLatin1String("0");
        if (ok)
            *value = TRValue::fromBool(yes);
    } else if (flag == QLatin1String("date")) {
        const QDateTime time = QDateTime::fromString(text, Qt::ISODateWithMs);
        ok = time.isValid();
        if (ok)
            *value = TRValue::fromDate(double(time.toMSecsSinceEpoch() - 978307200000LL) / 1000.0);
    } else if (flag == QLatin1String("data")) {
        const QByteArray hex = text.toLatin1();
        const QByteArray bytes = QByteArray::fromHex(hex);
        ok = hex.size() % 2 == 0 && bytes.toHex() == hex.toLower();
        if (ok)
            *value = TRValue::fromData(bytes);
    } else {
        *error = trFormat(trText("unknown type -%@"), {flag});
        return false;
    }
    if (!ok)
        *error = trFormat(trText("%@ is not a valid -%@ value"), {text, flag});
    return ok;
}

// The values of -array and -dict: property-list text, or a type flag and its text.
bool parseValues(const QStringList &arguments, qsizetype from, TRArray *values, QString *error)
{
    for (qsizetype i = from; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        TRValue value;
        if (argument.size() > 1 && argument.startsWith(u'-') && !argument.at(1).isDigit() &&
            argument.at(1) != u'.') {
            if (i + 1 >= arguments.size()) {
                *error = trFormat(trText("%@ needs a value"), {argument});
                return false;
            }
            if (!parseTyped(argument.mid(1), arguments.at(++i), &value, error))
                return false;
        } else if (!parseText(argument, &value, error)) {
            return false;
        }
        values->append(value);
    }
    return true;
}

int readKey(TRDefaultsStore &store, const QString &domain, const QStringList &names, bool json)
{
    const TRDefaultsStore::DomainRead read = store.readPersistentDomain(domain);
    if (!read.dictionary.isDictionary())
        return fail(read.unreadable ? trFormat(trText("cannot read %@: %@"), {domain, read.reason})
                                    : trFormat(trText("No domain %@"), {domain}));
    TRValue value = read.dictionary;
    if (!names.isEmpty()) {
        const TRKeyPtr root = TRKey::create(TRValue(), read.dictionary, nullptr, domain);
        const TRKeyPtr key = root ? trKeyAtPath(root, names) : nullptr;
        if (!key)
            return fail(trFormat(trText("No key %@ in %@"), {trKeyPath(names), domain}));
        value = key->databaseRepresentation();
    }
    if (json) {
        const QByteArray text = TRValueJson::toJson(value);
        std::fwrite(text.constData(), 1, std::size_t(text.size()), stdout);
        std::fputc('\n', stdout);
    } else {
        printLine(stdout, trOpenStepText(value, TROpenStepQuoting::WhereNeeded));
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}

// Runs the edit on the domain's contents under the lock; the file stays as it is when the edit fails.
int editKey(TRDefaultsStore &store, const QString &domain, const TRKeyPathEdit &edit)
{
    QString editError;
    bool failed = false;
    QString error;
    const bool written = store.updatePersistentDomain(
        domain,
        [&](const TRValue &current) {
            TRValue result;
            if (!trApplyKeyPathEdit(domain, current, edit, &result, &editError)) {
                failed = true;
                return current;
            }
            return result;
        },
        &error);
    if (failed)
        return fail(editError);
    return written ? 0 : fail(error);
}

int writeKey(TRDefaultsStore &store, const QStringList &args)
{
    // write DOMAIN PATH VALUE | write DOMAIN PATH -TYPE ...
    TRKeyPathEdit edit;
    edit.names = trNamesInKeyPath(args.at(2));
    const QString &first = args.at(3);
    QString error;
    const bool flag =
        first.size() > 1 && first.startsWith(u'-') && !first.at(1).isDigit() && first.at(1) != u'.';
    if (!flag) {
        if (args.size() != 4)
            return usage();
        if (!parseText(first, &edit.value, &error))
            return fail(error);
        return editKey(store, args.at(1), edit);
    }
    const QString type = first.mid(1);
    TRArray values;
    if (type == QLatin1String("array") || type == QLatin1String("array-add")) {
        if (!parseValues(args, 4, &values, &error))
            return fail(error);
        edit.kind =
            type == QLatin1String("array") ? TRKeyPathEdit::Kind::Write : TRKeyPathEdit::Kind::ArrayAdd;
        edit.value = TRValue::fromArray(std::move(values));
        return editKey(store, args.at(1), edit);
    }
    if (type == QLatin1String("dict") || type == QLatin1String("dict-add")) {
        TRDictionary entries;
        for (qsizetype i = 4; i < args.size(); i += 2) {
            if (i + 1 >= args.size())
                return usage(trFormat(trText("%@ needs a value"), {args.at(i)}));
            TRArray one;
            qsizetype next = i + 1;
            // A value given with its type takes two arguments.
            const QString &v = args.at(next);
            const bool typed = v.size() > 1 && v.startsWith(u'-') && !v.at(1).isDigit() && v.at(1) != u'.';
            const QStringList part = typed ? args.mid(next, 2) : args.mid(next, 1);
            if (!parseValues(part, 0, &one, &error) || one.size() != 1)
                return fail(error);
            entries.insert(args.at(i), one.first());
            i += typed ? 1 : 0;
        }
        edit.kind = type == QLatin1String("dict") ? TRKeyPathEdit::Kind::Write : TRKeyPathEdit::Kind::DictAdd;
        edit.value = TRValue::fromDictionary(std::move(entries));
        return editKey(store, args.at(1), edit);
    }
    if (args.size() != 5)
        return usage();
    if (!parseTyped(type, args.at(4), &edit.value, &error))
        return fail(error);
    return editKey(store, args.at(1), edit);
}

} // namespace

int keyCommand(const QStringList &args)
{
    if (args.size() < 2)
        return usage();
    TRDefaultsStore &store = TRDefaultsStore::standard();
    useHistory(store);
    const QString &command = args.first();
    if (command == QLatin1String("read")) {
        const bool json = args.last() == QLatin1String("--json");
        const qsizetype count = args.size() - (json ? 1 : 0);
        if (count < 2 || count > 3)
            return usage();
        return readKey(store, args.at(1), count == 3 ? trNamesInKeyPath(args.at(2)) : QStringList(), json);
    }
    if (command == QLatin1String("type") && args.size() == 3) {
        const TRDefaultsStore::DomainRead read = store.readPersistentDomain(args.at(1));
        if (!read.dictionary.isDictionary())
            return fail(trFormat(trText("No domain %@"), {args.at(1)}));
        const TRKeyPtr root = TRKey::create(TRValue(), read.dictionary, nullptr, args.at(1));
        const TRKeyPtr key = root ? trKeyAtPath(root, trNamesInKeyPath(args.at(2))) : nullptr;
        if (!key)
            return fail(trFormat(trText("No key %@ in %@"), {args.at(2), args.at(1)}));
        printLine(stdout, typeName(key->databaseRepresentation()));
        return 0;
    }
    if (command == QLatin1String("write") && args.size() >= 4)
        return writeKey(store, args);
    if (command == QLatin1String("delete") && args.size() == 3) {
        TRKeyPathEdit edit;
        edit.kind = TRKeyPathEdit::Kind::Delete;
        edit.names = trNamesInKeyPath(args.at(2));
        return editKey(store, args.at(1), edit);
    }
    if (command == QLatin1String("rename") && args.size() == 4) {
        TRKeyPathEdit edit;
        edit.kind = TRKeyPathEdit::Kind::Rename;
        edit.names = trNamesInKeyPath(args.at(2));
        edit.newName = args.at(3);
        return editKey(store, args.at(1), edit);
    }
    return usage();
}
