#include "ArchiveTestSupport.h"

#include "archive/TRKeyedUnarchiver.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

namespace archivetest {

namespace {

QJsonValue strip(const QJsonValue &value)
{
    if (value.isArray()) {
        QJsonArray result;
        for (const QJsonValue &element : value.toArray())
            result.append(strip(element));
        return result;
    }
    if (value.isObject()) {
        QJsonObject result;
        const QJsonObject object = value.toObject();
        for (auto it = object.begin(); it != object.end(); ++it) {
            if (it.key() != QLatin1String("iso") && it.key() != QLatin1String("mutable"))
                result.insert(it.key(), strip(it.value()));
        }
        return result;
    }
    return value;
}

} // namespace

QJsonValue normalizedDump(const QByteArray &json)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    EXPECT_FALSE(document.isNull()) << error.errorString().toStdString() << " in\n" << json.toStdString();
    return strip(document.object());
}

TRArchiveContents readArchive(const QByteArray &bytes)
{
    TRArchiveContents contents;
    QString error;
    EXPECT_TRUE(TRKeyedUnarchiver::unarchiveObjectWithData(bytes, &contents, &error)) << error.toStdString();
    return contents;
}

TRValue uid(quint64 number)
{
    return TRValue::fromUid(number);
}

ArchiveBuilder::ArchiveBuilder()
{
    m_objects.append(TRValue::fromString(QStringLiteral("$null")));
}

quint64 ArchiveBuilder::add(const TRValue &object)
{
    m_objects.append(object);
    return quint64(m_objects.size() - 1);
}

void ArchiveBuilder::set(quint64 uidNumber, const TRValue &object)
{
    m_objects[qsizetype(uidNumber)] = object;
}

quint64 ArchiveBuilder::classUid(const QString &name)
{
    for (qsizetype i = 1; i < m_objects.size(); ++i) {
        if (m_objects.at(i).toDictionary().value(QStringLiteral("$classname")).toString() == name)
            return quint64(i);
    }
    TRDictionary record;
    record.insert(QStringLiteral("$classname"), TRValue::fromString(name));
    record.insert(
        QStringLiteral("$classes"),
        TRValue::fromArray({TRValue::fromString(name), TRValue::fromString(QStringLiteral("NSObject"))}));
    return add(TRValue::fromDictionary(std::move(record)));
}

TRValue ArchiveBuilder::record(const QString &className,
                               std::initializer_list<std::pair<QString, TRValue>> entries)
{
    TRDictionary record;
    for (const auto &[key, value] : entries)
        record.insert(key, value);
    record.insert(QStringLiteral("$class"), uid(classUid(className)));
    return TRValue::fromDictionary(std::move(record));
}

quint64 ArchiveBuilder::key(quint64 domainUid, quint64 nameUid, quint64 valueUid)
{
    return add(record(QStringLiteral("TRKey"), {{QStringLiteral("$0"), uid(domainUid)},
                                                {QStringLiteral("$1"), uid(nameUid)},
                                                {QStringLiteral("$2"), uid(valueUid)}}));
}

quint64 ArchiveBuilder::list(const QList<quint64> &uids, const QString &className)
{
    TRArray objects;
    for (quint64 number : uids)
        objects.append(uid(number));
    return add(record(className, {{QStringLiteral("NS.objects"), TRValue::fromArray(objects)}}));
}

quint64 ArchiveBuilder::domain(quint64 nameUid, quint64 rootUid)
{
    return add(record(QStringLiteral("TRDomainController"),
                      {{QStringLiteral("$0"), uid(nameUid)}, {QStringLiteral("$1"), uid(rootUid)}}));
}

TRValue ArchiveBuilder::archive(quint64 root) const
{
    TRDictionary top;
    top.insert(QStringLiteral("root"), uid(root));
    TRDictionary archive;
    archive.insert(QStringLiteral("$version"), TRValue::fromInteger(100000));
    archive.insert(QStringLiteral("$archiver"), TRValue::fromString(QStringLiteral("NSKeyedArchiver")));
    archive.insert(QStringLiteral("$top"), TRValue::fromDictionary(std::move(top)));
    archive.insert(QStringLiteral("$objects"), TRValue::fromArray(m_objects));
    return TRValue::fromDictionary(std::move(archive));
}

} // namespace archivetest
