#include "TRKeyPlistFragment.h"

#include "TRText.h"
#include "plist/TRPropertyList.h"

#include <QMimeData>
#include <QSet>

namespace {

const QString kNameField = QStringLiteral("name");
const QString kValueField = QStringLiteral("value");

QString mimeType(const char *type)
{
    return QString::fromLatin1(type);
}

// What a value read from outside stands for: a dictionary's entries, or the value as one item.
TRKeyPlistFragment itemsOf(const TRValue &value, bool elements)
{
    TRKeyPlistFragment fragment;
    if (value.isDictionary()) {
        const TRDictionary &entries = value.toDictionary();
        fragment.items.reserve(std::size_t(entries.size()));
        for (const TRDictionary::Entry &entry : entries)
            fragment.items.push_back({true, entry.first, entry.second});
    } else if (elements && value.isArray()) {
        for (const TRValue &element : value.toArray())
            fragment.items.push_back({false, QString(), element});
    } else {
        fragment.items.push_back({false, QString(), value});
    }
    return fragment;
}

bool readChecked(const QByteArray &bytes, TRValue *value, QString *error)
{
    return TRPropertyList::read(bytes, value, nullptr, error) &&
           TRPropertyList::fitsExpansionBound(*value, error);
}

// The private form: an array of {name, value} records, the name left out for an element.
bool readPrivate(const QByteArray &bytes, TRKeyPlistFragment *fragment)
{
    TRValue value;
    if (!readChecked(bytes, &value, nullptr) || !value.isArray())
        return false;
    TRKeyPlistFragment read;
    for (const TRValue &record : value.toArray()) {
        const TRValue name = record.toDictionary().value(kNameField);
        const TRValue item = record.toDictionary().value(kValueField);
        if (!record.isDictionary() || item.isNone() || !(name.isNone() || name.isString()))
            return false;
        read.items.push_back({name.isString(), name.toString(), item});
    }
    *fragment = std::move(read);
    return true;
}

} // namespace

TRKeyPlistFragment TRKeyPlistFragment::fromKeys(const std::vector<TRKeyPtr> &keys)
{
    TRKeyPlistFragment fragment;
    fragment.items.reserve(keys.size());
    for (const TRKeyPtr &key : keys) {
        const TRKeyPtr parent = key->parent();
        const bool named = parent && parent->isDictionary();
        fragment.items.push_back(
            {named, named ? key->name().toString() : QString(), key->databaseRepresentation()});
    }
    return fragment;
}

TRValue TRKeyPlistFragment::publicValue() const
{
    bool allNamed = true;
    QSet<QString> names;
    for (const Item &item : items) {
        if (!item.named || names.contains(item.name)) {
            allNamed = false;
            break;
        }
        names.insert(item.name);
    }
    if (allNamed && !items.empty()) {
        TRDictionary entries;
        entries.reserve(qsizetype(items.size()));
        for (const Item &item : items)
            entries.insert(item.name, item.value);
        return TRValue::fromDictionary(std::move(entries));
    }
    if (items.size() == 1)
        return items.front().value;
    TRArray values;
    values.reserve(qsizetype(items.size()));
    for (const Item &item : items)
        values.append(item.value);
    return TRValue::fromArray(std::move(values));
}

void TRKeyPlistFragment::writeTo(QMimeData *data) const
{
    TRArray records;
    records.reserve(qsizetype(items.size()));
    for (const Item &item : items) {
        TRDictionary record;
        if (item.named)
            record.insert(kNameField, TRValue::fromString(item.name));
        record.insert(kValueField, item.value);
        records.append(TRValue::fromDictionary(std::move(record)));
    }
    QByteArray bytes;
    if (TRPropertyList::writeBinary(TRValue::fromArray(std::move(records)), &bytes))
        data->setData(mimeType(kKeysMimeType), bytes);

    const TRValue value = publicValue();
    bytes.clear();
    if (TRPropertyList::writeXml(value, &bytes)) {
        data->setData(mimeType(kPlistMimeType), bytes);
        data->setText(QString::fromUtf8(bytes));
    } else if (TRPropertyList::writeBinary(value, &bytes)) {
        data->setData(mimeType(kPlistMimeType), bytes);
    }
}

bool TRKeyPlistFragment::hasFragmentFormat(const QMimeData *data)
{
    return data && (data->hasFormat(mimeType(kKeysMimeType)) || data->hasFormat(mimeType(kPlistMimeType)) ||
                    data->hasText());
}

bool TRKeyPlistFragment::readFrom(const QMimeData *data, TRKeyPlistFragment *fragment, QString *error)
{
    if (data && data->hasFormat(mimeType(kKeysMimeType)) &&
        readPrivate(data->data(mimeType(kKeysMimeType)), fragment))
        return true;
    if (data && data->hasFormat(mimeType(kPlistMimeType)))
        return readPlist(data->data(mimeType(kPlistMimeType)), fragment, error);
    if (data && data->hasText())
        return readPlist(data->text().toUtf8(), fragment, error);
    if (error)
        *error = trText("The clipboard is empty.");
    return false;
}

bool TRKeyPlistFragment::readPlist(const QByteArray &bytes, TRKeyPlistFragment *fragment, QString *error)
{
    const QByteArray text = bytes.trimmed();
    const bool xml = text.startsWith('<');
    // Plain words would read as an OpenStep string: only a dictionary or an array is taken as OpenStep.
    if (!xml && !text.startsWith('{') && !text.startsWith('(') && !text.startsWith("bplist")) {
        if (error)
            *error = trText("It is neither an XML nor an OpenStep property list.");
        return false;
    }
    TRValue value;
    QString firstError;
    if (readChecked(text, &value, &firstError)) {
        *fragment = itemsOf(value, false);
        return true;
    }
    if (xml) {
        // A fragment cut out of a document: one value, a run of key and value pairs, a run of values.
        const QByteArray open("<plist version=\"1.0\">");
        const QByteArray close("</plist>");
        struct Wrapper
        {
            const char *before;
            const char *after;
            bool elements;
        };
        static constexpr Wrapper wrappers[] = {
            {"", "", false}, {"<dict>", "</dict>", false}, {"<array>", "</array>", true}};
        for (const Wrapper &wrapper : wrappers) {
            if (readChecked(open + wrapper.before + text + wrapper.after + close, &value, nullptr)) {
                *fragment = itemsOf(value, wrapper.elements);
                return true;
            }
        }
    }
    if (error)
        *error = firstError;
    return false;
}
