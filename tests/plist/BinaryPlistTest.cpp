// The binary form: the bytes the writer chooses, sharing, and a table of damaged files with the byte
// offset each error must name.
#include "PlistTestSupport.h"
#include "TRLimits.h"
#include "plist/TRPropertyList.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <limits>

using namespace plisttest;

namespace {

QByteArray binary(const TRValue &value, bool share = true)
{
    TRPropertyList::BinaryOptions options;
    options.shareEqualScalars = share;
    QByteArray bytes;
    QString error;
    EXPECT_TRUE(TRPropertyList::writeBinary(value, &bytes, &error, options)) << error.toStdString();
    return bytes;
}

quint64 trailerField(const QByteArray &bytes, int at)
{
    quint64 number = 0;
    for (int i = 0; i < 8; ++i)
        number = number << 8 | static_cast<unsigned char>(bytes.at(bytes.size() - 32 + at + i));
    return number;
}

// The bytes of the top object of a file written for a single value.
QByteArray topObject(const TRValue &value)
{
    const QByteArray bytes = binary(value);
    return bytes.mid(8, qsizetype(trailerField(bytes, 24)) - 8);
}

} // namespace

TEST(BinaryPlistWriter, ChoosesMinimalWidths)
{
    const struct
    {
        TRValue value;
        const char *hex;
    } cases[] = {
        {TRValue::fromInteger(0), "10 00"},
        {TRValue::fromInteger(255), "10 ff"},
        {TRValue::fromInteger(256), "11 0100"},
        {TRValue::fromInteger(65536), "12 00010000"},
        {TRValue::fromInteger(4294967295LL), "12 ffffffff"},
        {TRValue::fromInteger(4294967296LL), "13 0000000100000000"},
        {TRValue::fromInteger(-1), "13 ffffffffffffffff"},
        {TRValue::fromUnsigned(quint64(1) << 63), "14 0000000000000000 8000000000000000"},
        {TRValue::fromReal(1.5), "23 3ff8000000000000"},
        {TRValue::fromDate(-1.0), "33 bff0000000000000"},
        {TRValue::fromBool(true), "09"},
        {TRValue::fromUid(5), "80 05"},
        {TRValue::fromUid(0x1234), "81 1234"},
        {TRValue::fromUid(0x123456), "83 00123456"},
        {TRValue::fromUid(quint64(1) << 40), "87 0000010000000000"},
        {TRValue::fromString(QStringLiteral("abc")), "53 616263"},
        {TRValue::fromString(QStringLiteral("\u00e9")), "61 00e9"},
        {TRValue::fromString(QStringLiteral("fifteen chars..")), "5f 100f 6669667465656e2063686172732e2e"},
        {TRValue::fromData(QByteArray(3, '\x01')), "43 010101"},
    };
    for (const auto &testCase : cases)
        EXPECT_EQ(topObject(testCase.value).toHex(), QByteArray(testCase.hex).replace(' ', ""))
            << testCase.hex;
}

TEST(BinaryPlistWriter, SharesEqualScalarsAndSharedObjects)
{
    TRArray strings;
    for (int i = 0; i < 1000; ++i)
        strings.append(TRValue::fromString(QStringLiteral("same text")));
    const TRValue array = TRValue::fromArray(strings);
    EXPECT_EQ(trailerField(binary(array, true), 8), 2u);
    EXPECT_EQ(trailerField(binary(array, false), 8), 1001u);
    // References widen to two bytes past 255 objects.
    EXPECT_EQ(binary(array, false).at(binary(array, false).size() - 25), 2);

    // One shared handle is one object even without sharing of equal scalars.
    const TRValue blob = TRValue::fromData(QByteArray(1000, 'x'));
    const TRValue twice = TRValue::fromArray({blob, blob, TRValue::fromArray({blob})});
    EXPECT_LT(binary(twice, false).size(), 1100);
    // Keys and equal string values share one object.
    const TRValue keys = dict({{QStringLiteral("name"), TRValue::fromString(QStringLiteral("name"))}});
    EXPECT_EQ(trailerField(binary(keys), 8), 2u);
    // Equal numbers of different kinds stay apart.
    const TRValue numbers =
        TRValue::fromArray({TRValue::fromInteger(1), TRValue::fromReal(1.0), TRValue::fromBool(true),
                            TRValue::fromDate(1.0), TRValue::fromInteger(1)});
    const TRValue back = accepted(binary(numbers));
    EXPECT_EQ(back, numbers);
    EXPECT_EQ(trailerField(binary(numbers), 8), 5u);
}

TEST(BinaryPlistReader, SharedReferencesStayShared)
{
    // Object i is an array holding object i + 1 twice: 2^100 leaves if expanded, 100 objects on disk.
    BinaryFile file;
    file.offsetSize = 2;
    const int levels = 100;
    for (int i = 0; i < levels; ++i)
        file.objects.append(QByteArray("\xa2", 1) + char(i + 1) + char(i + 1));
    file.objects.append(QByteArray("\x10\x2a", 2));
    const QByteArray bytes = file.build();
    ASSERT_LT(bytes.size(), 1000);
    const TRValue value = accepted(bytes);
    ASSERT_EQ(value.toArray().size(), 2);
    EXPECT_TRUE(value.toArray().at(0).isSameObject(value.toArray().at(1)));
    TRValue leaf = value;
    for (int i = 0; i < levels; ++i)
        leaf = leaf.toArray().at(1);
    EXPECT_EQ(leaf.toInteger(), 42);
    // Written again, it stays as small as it came.
    EXPECT_LT(binary(value).size(), 2 * bytes.size());
    EXPECT_EQ(accepted(binary(value)).toArray().size(), 2);
}

TEST(BinaryPlistReader, SharingIsMeasuredAgainstTheExpansionBound)
{
    // a(n) holds a(n-1) twice: 2^(n+1) - 1 values in all, n + 1 of them distinct.
    TRValue shared = TRValue::fromArray({});
    for (int level = 1; level <= 40; ++level) {
        shared = TRValue::fromArray({shared, shared});
        const quint64 expanded = (quint64(2) << level) - 1;
        EXPECT_EQ(shared.expandedSize(kTRMaxExpandedValues + 1),
                  std::min(expanded, kTRMaxExpandedValues + 1));
        if (level != 10 && level != 21 && level != 22 && level != 40)
            continue;
        QByteArray bytes;
        ASSERT_TRUE(TRPropertyList::writeBinary(shared, &bytes));
        EXPECT_LT(bytes.size(), 1024);
        const TRValue back = accepted(bytes);
        QString error;
        const bool fits = expanded <= kTRMaxExpandedValues; // 21 levels: just inside
        EXPECT_EQ(TRPropertyList::fitsExpansionBound(back, &error), fits) << level;
        EXPECT_EQ(error.contains(QString::number(kTRMaxExpandedValues)), !fits) << error.toStdString();
    }
}

TEST(BinaryPlistReader, ReadsEveryWidth)
{
    BinaryFile file;
    file.offsetSize = 8;
    file.referenceSize = 8;
    file.objects = {
        QByteArray::fromHex("a7 0000000000000001 0000000000000002 0000000000000003 0000000000000004"
                            "   0000000000000005 0000000000000006 0000000000000007"),
        QByteArray::fromHex("14 ffffffffffffffff fffffffffffffffe"), // -2 in sixteen bytes
        QByteArray::fromHex("22 3fc00000"),                          // 1.5 as a float
        QByteArray::fromHex("86 01020304050607"),                    // seven-byte UID
        QByteArray::fromHex("6f 1002 d83d de30"),                    // one emoji, long length
        QByteArray::fromHex("12 ffffffff"),                          // four bytes are unsigned
        QByteArray::fromHex("4f 1000"),                              // empty data, long length
        QByteArray::fromHex("08")};
    const TRValue value = accepted(file.build());
    const TRArray &elements = value.toArray();
    ASSERT_EQ(elements.size(), 7);
    EXPECT_EQ(elements.at(0).toInteger(), -2);
    EXPECT_FALSE(elements.at(0).isUnsignedInteger());
    EXPECT_EQ(elements.at(1).toReal(), 1.5);
    EXPECT_EQ(elements.at(2).toUid(), 0x01020304050607u);
    EXPECT_EQ(elements.at(3).toString(), QString::fromUtf8("\xf0\x9f\x98\xb0"));
    EXPECT_EQ(elements.at(4).toInteger(), 4294967295LL);
    EXPECT_TRUE(elements.at(5).isData());
    EXPECT_FALSE(elements.at(6).toBool());
}

TEST(BinaryPlistReader, DamagedFilesNameTheByte)
{
    const QByteArray one("\x10\x01", 2);
    const auto withObjects = [](std::initializer_list<QByteArray> objects) {
        BinaryFile file;
        file.objects = objects;
        return file;
    };
    BinaryFile badOffsetWidth = withObjects({one});
    badOffsetWidth.offsetSize = 0;
    BinaryFile badReferenceWidth = withObjects({one});
    badReferenceWidth.referenceSize = 9;
    BinaryFile noObjects = withObjects({one});
    noObjects.objectCount = 0;
    BinaryFile hugeCount = withObjects({one});
    hugeCount.objectCount = qint64(1) << 60;
    BinaryFile badTop = withObjects({one});
    badTop.top = 1;
    BinaryFile badTable = withObjects({one});
    badTable.tableOffset = 4;
    BinaryFile offsetOutside = withObjects({one});
    offsetOutside.objects = {one};
    QByteArray outside = offsetOutside.build();
    outside[10] = char(0x40); // the first (only) table entry

    const struct
    {
        const char *name;
        QByteArray bytes;
        const char *expected;
    } cases[] = {
        {"wrong version", QByteArray("bplist01").append(40, '\0'), "byte 0: not a binary property list"},
        {"too short", QByteArray("bplist00\x10\x01", 10), "byte 10: the file is truncated"},
        {"offset width", badOffsetWidth.build(), "byte 16: offset width"},
        {"reference width", badReferenceWidth.build(), "byte 18: reference width"},
        {"no objects", noObjects.build(), "byte 19: the file holds no object"},
        {"count beyond the file", hugeCount.build(), "byte 19: object count larger"},
        {"top", badTop.build(), "byte 27: top object out of range"},
        {"table", badTable.build(), "byte 35: offset table out of range"},
        {"object offset", outside, "byte 10: object offset out of range"},
        {"reference", withObjects({QByteArray("\xa1\x05", 2)}).build(),
         "byte 9: object reference out of range"},
        {"cycle", withObjects({QByteArray("\xa1\x01", 2), QByteArray("\xa1\x00", 2)}).build(),
         "byte 8: reference cycle"},
        {"null object", withObjects({QByteArray("\x00", 1)}).build(), "byte 8: unknown object type"},
        {"set", withObjects({QByteArray("\xc0", 1)}).build(), "byte 8: unknown object type"},
        {"integer width", withObjects({QByteArray("\x15", 1)}).build(), "byte 8: bad integer width"},
        {"truncated integer", withObjects({QByteArray("\x13\x01\x02", 3)}).build(),
         "byte 8: the object is truncated"},
        {"sixteen-byte overflow",
         withObjects({QByteArray::fromHex("14 0000000000000001 0000000000000000")}).build(),
         "byte 8: integer out of range"},
        {"real width", withObjects({QByteArray("\x21\x00\x00", 3)}).build(), "byte 8: bad real width"},
        {"date width", withObjects({QByteArray::fromHex("32 00000000")}).build(), "byte 8: bad date width"},
        {"ASCII", withObjects({QByteArray("\x52\x41\xc3", 3)}).build(), "byte 10: non-ASCII byte"},
        {"string length", withObjects({QByteArray("\x5e\x41", 2)}).build(),
         "byte 8: the object is truncated"},
        {"UTF-16 length", withObjects({QByteArray("\x62\x00\x41\x00", 4)}).build(),
         "byte 8: the object is truncated"},
        {"long length marker", withObjects({QByteArray("\x4f\x23\x00", 3)}).build(), "byte 9: bad length"},
        {"huge length", withObjects({QByteArray::fromHex("4f 13 7fffffffffffffff")}).build(),
         "byte 8: the object is truncated"},
        {"wide UID", withObjects({QByteArray::fromHex("88 010203040506070809")}).build(),
         "byte 8: UID wider"},
        {"array beyond table", withObjects({QByteArray("\xaf\x10\x7f", 3)}).build(),
         "byte 8: the object is truncated"},
        {"key kind", withObjects({QByteArray("\xd1\x01\x01", 3), one}).build(),
         "byte 9: dictionary key is not a string"},
    };
    for (const auto &testCase : cases) {
        const QString error = refusal(testCase.bytes);
        EXPECT_TRUE(error.contains(QLatin1String(testCase.expected)))
            << testCase.name << ": " << error.toStdString();
    }
}
