#include "PlistTestSupport.h"

#include "TRLimits.h"
#include "plist/TRPropertyList.h"
#include "plist/TRValueJson.h"

#include <gtest/gtest.h>

namespace plisttest {

namespace {

void appendBigEndian(QByteArray *out, quint64 number, int width)
{
    for (int i = width - 1; i >= 0; --i)
        out->append(char(number >> (8 * i) & 0xff));
}

} // namespace

QByteArray BinaryFile::build() const
{
    QByteArray bytes("bplist00");
    QList<quint64> offsets;
    for (const QByteArray &object : objects) {
        offsets.append(quint64(bytes.size()));
        bytes.append(object);
    }
    const quint64 table = tableOffset >= 0 ? quint64(tableOffset) : quint64(bytes.size());
    for (const quint64 offset : offsets)
        appendBigEndian(&bytes, offset, offsetSize);
    bytes.append(6, '\0');
    bytes.append(char(offsetSize));
    bytes.append(char(referenceSize));
    appendBigEndian(&bytes, objectCount >= 0 ? quint64(objectCount) : quint64(objects.size()), 8);
    appendBigEndian(&bytes, top, 8);
    appendBigEndian(&bytes, table, 8);
    return bytes;
}

void expectShapeAgrees(const QByteArray &bytes)
{
    TRValue value;
    QString readError;
    TRPropertyList::Format readFormat = TRPropertyList::Format::Xml;
    const bool read = TRPropertyList::read(bytes, &value, &readFormat, &readError) &&
                      TRPropertyList::fitsExpansionBound(value, &readError);
    TRValue bounded;
    QString boundedError;
    EXPECT_EQ(TRPropertyList::readWithinBound(bytes, &bounded, nullptr, &boundedError), read);
    EXPECT_EQ(boundedError, readError);
    EXPECT_EQ(bounded.isNone(), !read);
    TRPlistShape shape;
    QString scanError;
    TRPropertyList::Format scanFormat = TRPropertyList::Format::Xml;
    const bool scanned = TRPropertyList::readShape(bytes, &shape, &scanFormat, &scanError);
    ASSERT_EQ(scanned, read) << (read ? scanError : readError).toStdString();
    EXPECT_EQ(scanError, readError);
    if (!read)
        return;
    EXPECT_EQ(scanFormat, readFormat);
    EXPECT_EQ(shape.rootKind, value.kind());
    EXPECT_EQ(shape.rootCount, value.isArray()        ? value.toArray().size()
                               : value.isDictionary() ? value.toDictionary().size()
                                                      : 0);
    EXPECT_EQ(shape.expandedValues, value.expandedSize(kTRMaxExpandedValues + 1));
}

QString refusal(const QByteArray &bytes)
{
    expectShapeAgrees(bytes);
    TRValue value = TRValue::fromString(QStringLiteral("stale"));
    QString error;
    if (TRPropertyList::read(bytes, &value, nullptr, &error)) {
        ADD_FAILURE() << "accepted: " << TRValueJson::toJson(value).left(200).toStdString();
        return QString();
    }
    EXPECT_TRUE(value.isNone());
    EXPECT_FALSE(error.isEmpty());
    return error;
}

TRValue accepted(const QByteArray &bytes)
{
    expectShapeAgrees(bytes);
    TRValue value;
    QString error;
    EXPECT_TRUE(TRPropertyList::read(bytes, &value, nullptr, &error)) << error.toStdString();
    return value;
}

TRValue dict(std::initializer_list<std::pair<QString, TRValue>> entries)
{
    TRDictionary dictionary;
    for (const auto &[key, value] : entries)
        dictionary.insert(key, value);
    return TRValue::fromDictionary(std::move(dictionary));
}

QByteArray nestedText(const char *form, int levels)
{
    const bool xml = QByteArray(form) == "xml";
    QByteArray text = xml ? QByteArray("<plist>") : QByteArray();
    for (int i = 0; i < levels; ++i)
        text.append(xml ? "<array>" : "(");
    for (int i = 0; i < levels; ++i)
        text.append(xml ? "</array>" : ")");
    if (xml)
        text.append("</plist>");
    return text;
}

} // namespace plisttest
