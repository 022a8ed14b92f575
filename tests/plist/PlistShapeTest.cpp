// Scanning a property list (readShape) answers what reading it does: every file of the corpus, whole
// and damaged, gets the same verdict, the same message and the shape of the value read.
#include "PlistTestSupport.h"
#include "TRLimits.h"
#include "plist/TRPropertyList.h"

#include <QDirIterator>
#include <QFile>
#include <gtest/gtest.h>

using namespace plisttest;

namespace {

QList<QString> corpusFiles()
{
    QList<QString> files;
    QDirIterator it(QStringLiteral(TAMRIX_SOURCE_DIR "/fuzz/plist/seeds"), QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(it.next());
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace

TEST(PlistShape, AgreesWithReadingOnTheCorpusWholeAndDamaged)
{
    const QList<QString> files = corpusFiles();
    ASSERT_GE(files.size(), 50);
    for (const QString &path : files) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        const QByteArray bytes = file.readAll();
        SCOPED_TRACE(path.toStdString());
        expectShapeAgrees(bytes);
        // Cut short, and one byte at a time changed at up to 64 places spread over the file: the damage
        // reaches headers, tags, lengths, references and the trailer, and the text form's brackets,
        // separators and quotes.
        for (const qsizetype cut : {bytes.size() / 4, bytes.size() / 2, bytes.size() - 1})
            expectShapeAgrees(bytes.left(cut));
        const qsizetype stride = std::max<qsizetype>(1, bytes.size() / 64);
        for (qsizetype at = 0; at < bytes.size(); at += stride) {
            for (const char replacement : {'\0', '\xff', '<', '"', '}', ';'}) {
                QByteArray damaged = bytes;
                damaged[at] = replacement;
                SCOPED_TRACE(at);
                expectShapeAgrees(damaged);
            }
        }
    }
}

TEST(PlistShape, CountsSharedValuesWhereTheyAreUsed)
{
    // Equal texts are written once: here one object is a key, a value and a key again one level down.
    const TRValue x = TRValue::fromString(QStringLiteral("x"));
    QByteArray keys;
    ASSERT_TRUE(TRPropertyList::writeBinary(
        dict({{QStringLiteral("x"), x}, {QStringLiteral("y"), dict({{QStringLiteral("x"), x}})}}), &keys));
    expectShapeAgrees(keys);

    // a(n) holds a(n-1) twice; 21 levels are just inside the expansion bound, 22 just beyond.
    for (const int levels : {0, 1, 21, 22, 40}) {
        TRValue shared = TRValue::fromArray({});
        for (int level = 1; level <= levels; ++level)
            shared = TRValue::fromArray({shared, shared});
        for (const TRValue &root :
             {shared, dict({{QStringLiteral("a"), shared}, {QStringLiteral("b"), shared}})}) {
            QByteArray bytes;
            ASSERT_TRUE(TRPropertyList::writeBinary(root, &bytes));
            SCOPED_TRACE(levels);
            expectShapeAgrees(bytes);
        }
    }
}

TEST(PlistShape, AgreesWithReadingOnTheTextForm)
{
    const QByteArray deep = QByteArray(kTRMaxNestingDepth, '(') + QByteArray(kTRMaxNestingDepth, ')');
    const QByteArray deeper = '(' + deep + ')';
    const QByteArray utf16("\xfe\xff\0{\0a\0=\0\"\0b\0\"\0;\0}", 18);
    for (const QByteArray &bytes :
         {QByteArray("\"a\" = 1; \"b\" = (x, <*I5>, <0aff>, <[AAE=]>, {c = <*BY>;});"), // a strings file
          QByteArray("{ a = 1; b = (1, 2); a = 2; }"), QByteArray("\"just a string\""),
          QByteArray("<*D2024-01-02 03:04:05 +0000>"), QByteArray("( )"), QByteArray("{ }"),
          QByteArray("x y"), QByteArray("/* open"), QByteArray("{ a = \"open; }"), QByteArray("( <*Ix> )"),
          QByteArray("( <abc> )"), QByteArray("{ a = ; }"), QByteArray("a = b; a = c;"), deep, deeper, utf16,
          utf16.left(17)}) {
        SCOPED_TRACE(bytes.toStdString());
        expectShapeAgrees(bytes);
    }
}

TEST(PlistShape, AgreesWithReadingOnRepeatedKeys)
{
    // Binary: a dictionary of two entries (keys objects 1 and 2, values object 3), or of three.
    const auto binary = [](const char *first, const char *second) {
        BinaryFile file;
        file.objects = {QByteArray::fromHex("d2 01 02 03 03"), QByteArray::fromHex(first),
                        QByteArray::fromHex(second), QByteArray::fromHex("10 01")};
        return file.build();
    };
    BinaryFile sameObject;
    sameObject.objects = {QByteArray::fromHex("d2 01 01 02 02"), QByteArray::fromHex("51 61"),
                          QByteArray::fromHex("10 01")};
    // The outer dictionary repeats "a" and its first value is a dictionary repeating "b": that one is met
    // first. A shared key serves both dictionaries.
    BinaryFile nested;
    nested.objects = {QByteArray::fromHex("d2 01 01 02 03"), QByteArray::fromHex("51 61"),
                      QByteArray::fromHex("d2 04 05 03 03"), QByteArray::fromHex("10 01"),
                      QByteArray::fromHex("51 62"),          QByteArray::fromHex("61 0062")};
    BinaryFile sharedKey = nested;
    sharedKey.objects[0] = QByteArray::fromHex("d2 01 04 03 02");
    sharedKey.objects[2] = QByteArray::fromHex("d2 01 04 03 03");
    sharedKey.objects[5] = QByteArray::fromHex("61 0063");
    // Forty entries (keys objects 1 to 40, values object 41): key i is "k<i>" unless named otherwise, a
    // repeated key late in the dictionary, before or after a fault.
    const auto forty = [](std::initializer_list<std::pair<int, QByteArray>> keys) {
        BinaryFile file;
        QByteArray top = QByteArray::fromHex("df 10 28");
        for (int i = 0; i < 80; ++i)
            top.append(char(i < 40 ? i + 1 : 41));
        file.objects = {top};
        for (int i = 0; i < 40; ++i)
            file.objects.append(char(0x50 + 3) + QByteArray("k") + QByteArray::number(i + 10));
        for (const auto &[at, object] : keys)
            file.objects[at + 1] = object;
        file.objects.append(QByteArray::fromHex("10 01"));
        return file.build();
    };
    const QByteArray k3 = QByteArray::fromHex("63 006b 0031 0033"); // "k13" in UTF-16
    const QByteArray notText = QByteArray::fromHex("10 02");
    const auto xml = [](const char *entries) {
        return QByteArray("<?xml version=\"1.0\"?><plist version=\"1.0\">") + entries + "</plist>";
    };
    const struct
    {
        QByteArray bytes;
        const char *refusal; // a part of the message, or null where the file is read
    } cases[] = {
        {binary("52 6162", "62 0061 0062"), "duplicate dictionary key"}, // ASCII and UTF-16
        {binary("62 0061 0062", "52 6162"), "duplicate dictionary key"},
        {binary("52 6162", "62 0061 0063"), nullptr},
        {binary("52 6162", "52 6163"), nullptr},
        {binary("52 6162", "52 6162"), "duplicate dictionary key"},
        {binary("50", "60"), "duplicate dictionary key"},
        {binary("61 00e9", "61 00e8"), nullptr},
        {binary("51 61", "10 01"), "dictionary key is not a string"},
        {binary("51 61", "51 e1"), "non-ASCII byte"},
        {sameObject.build(), "duplicate dictionary key"},
        {nested.build(), "duplicate dictionary key"},
        {sharedKey.build(), nullptr},
        {forty({}), nullptr},
        {forty({{30, k3}}), "duplicate dictionary key"},
        {forty({{39, k3}}), "duplicate dictionary key"},
        {forty({{20, k3}, {25, notText}}), "duplicate dictionary key"},
        {forty({{20, k3}, {18, notText}}), "dictionary key is not a string"},
        {forty({{20, k3}, {21, notText}}), "duplicate dictionary key"},
        {xml("<dict><key>a&amp;b</key><true/><key>a&#x26;b</key><true/></dict>"), "duplicate key"},
        {xml("<dict><key>A</key><true/><key>&#65;</key><true/></dict>"), "duplicate key"},
        {xml("<dict><key>\xc3\xa9</key><true/><key>&#xe9;</key><true/></dict>"), "duplicate key"},
        {xml("<dict><key><![CDATA[a<]]></key><true/><key>a&lt;</key><true/></dict>"), "duplicate key"},
        {xml("<dict><key>a\r\nb</key><true/><key>a\nb</key><true/></dict>"), "duplicate key"},
        {xml("<dict><key/><true/><key></key><true/></dict>"), "duplicate key"},
        {xml("<dict><key>ab</key><true/><key>ac</key><true/><key>a&amp;</key><true/></dict>"), nullptr},
        // The repeated key is reported once its dictionary is read: faults inside come first.
        {xml("<dict><key>a</key><true/><key>a</key><true/><key>b</key><integer>x</integer></dict>"),
         "not an integer"},
        {xml("<dict><key>a</key><dict><key>b&#10;</key><true/><key>b\n</key><true/></dict>"
             "<key>a</key><true/></dict>"),
         "duplicate key \u201cb"},
        {QByteArray("{ \"a\" = 1; a = 2; }"), "duplicate key"},
        {QByteArray("{ \"a\\n\" = 1; \"a\\012\" = 2; }"), "duplicate key"},
        {QByteArray("{ \"\\U0041\" = 1; A = 2; }"), "duplicate key"},
        {QByteArray("{ \"a\\\"\" = 1; 'a\"' = 2; }"), "duplicate key"},
        {QByteArray("{ ab = 1; ac = 2; \"a\\\\\" = 3; a = 4; }"), nullptr},
        // A decoded key outlives the decoding of the keys inside its value.
        {QByteArray("{ \"x\\n\" = { \"y\\n\" = 1; \"z\\n\" = 2; }; \"x\\012\" = 3; }"),
         "duplicate key \u201cx"},
        {QByteArray("{ a = 1; a = 2; b = (; }"), "duplicate key"},
        {QByteArray("\"\\u00e9\" = 1; \xc3\xa9 = 2;"), "duplicate key"}, // a strings file
    };
    for (const auto &testCase : cases) {
        SCOPED_TRACE(testCase.bytes.toStdString());
        if (testCase.refusal)
            EXPECT_TRUE(refusal(testCase.bytes).contains(QString::fromUtf8(testCase.refusal)));
        else
            accepted(testCase.bytes);
    }
}

TEST(PlistShape, AgreesWithReadingOnLargeContainers)
{
    // Large enough to be read on two threads: key i is "k<i>" (object 1 + i), value i the integer i
    // (object 1 + n + i). Changes replace objects, or point an entry's key or value elsewhere.
    constexpr int n = 33000;
    const auto be32 = [](quint32 number) {
        const char bytes[] = {char(number >> 24), char(number >> 16), char(number >> 8), char(number)};
        return QByteArray(bytes, 4);
    };
    struct Change
    {
        int object; // replaced object, or -1
        QByteArray bytes;
        int keyOf = -1; // entry whose key (or array element) points at `to`
        int valueOf = -1;
        quint32 to = 0;
    };
    const auto large = [&](bool array, std::initializer_list<Change> changes) {
        BinaryFile file;
        file.offsetSize = 4;
        file.referenceSize = 4;
        QList<quint32> keys, values;
        for (int i = 0; i < n; ++i) {
            keys.append(quint32(1 + i));
            values.append(quint32(1 + n + i));
        }
        file.objects.append(QByteArray());
        for (int i = 0; i < n; ++i)
            file.objects.append(QByteArray("\x5f\x10", 2) + char(QByteArray::number(i).size() + 1) + 'k' +
                                QByteArray::number(i));
        for (int i = 0; i < n; ++i)
            file.objects.append(QByteArray("\x12") + be32(quint32(i)));
        for (const Change &change : changes) {
            if (change.object >= file.objects.size())
                file.objects.resize(change.object + 1);
            if (change.object >= 0)
                file.objects[change.object] = change.bytes;
            if (change.keyOf >= 0)
                (array ? values : keys)[change.keyOf] = change.to;
            if (change.valueOf >= 0)
                values[change.valueOf] = change.to;
        }
        QByteArray top = QByteArray(array ? "\xaf\x12" : "\xdf\x12") + be32(n);
        for (const quint32 key : array ? QList<quint32>() : keys)
            top += be32(key);
        for (const quint32 value : values)
            top += be32(value);
        file.objects[0] = top;
        return file.build();
    };
    const int late = 30000; // read by the second thread
    const auto key = [](int i) { return 1 + i; };
    const auto value = [](int i) { return 1 + n + i; };
    const QByteArray k7 = QByteArray::fromHex("5f 10 02 6b 37"),
                     k7utf16 = QByteArray::fromHex("62 006b 0037");
    const int x = 1 + 2 * n; // objects added after the others
    const QByteArray nonAscii = QByteArray::fromHex("51 e1"), unknown = QByteArray::fromHex("70");
    // Nested dictionaries sharing entry 1's key and value, the second repeating that key.
    const QByteArray sharesEntry1 = QByteArray::fromHex("d1") + be32(key(1)) + be32(value(1));
    const QByteArray repeatsInside =
        QByteArray::fromHex("d2") + be32(key(1)) + be32(key(1)) + be32(value(1)) + be32(value(2));
    const struct
    {
        bool array;
        QByteArray bytes;
        const char *refusal; // a part of the message, or null where the file is read
    } cases[] = {
        {false, large(false, {}), nullptr},
        {true, large(true, {}), nullptr},
        {false, large(false, {{key(late), k7}}), "duplicate dictionary key"},
        {false, large(false, {{key(late), k7utf16}}), "duplicate dictionary key"},
        // The first fault in the order of the entries counts, a repeated key included.
        {false, large(false, {{key(late), k7}, {value(late + 5), nonAscii}}), "duplicate dictionary key"},
        {false, large(false, {{key(late), k7}, {value(100), nonAscii}}), "non-ASCII byte"},
        {false, large(false, {{key(late), k7}, {value(late - 1), unknown}}), "unknown object type"},
        {false, large(false, {{key(late), QByteArray::fromHex("10 01")}}), "dictionary key is not a string"},
        {false, large(false, {{key(late), k7}, {-1, {}, late - 2, -1, quint32(value(3))}}),
         "dictionary key is not a string"},
        // Shared objects, containers and cycles take the ordered path among the others.
        {false, large(false, {{-1, {}, -1, late, quint32(value(10))}}), nullptr},
        {false, large(false, {{-1, {}, -1, 20, quint32(key(20))}}), nullptr},
        {false, large(false, {{-1, {}, -1, late, quint32(key(late + 1))}}), nullptr},
        {false, large(false, {{-1, {}, -1, late, 0}}), "reference cycle"},
        {false, large(false, {{value(late), QByteArray::fromHex("a1") + be32(value(late + 1))}}), nullptr},
        {false, large(false, {{value(late), sharesEntry1}}), nullptr},
        {false, large(false, {{value(late), repeatsInside}}), "duplicate dictionary key"},
        // Containers whose objects are used once each: read ahead unless something in them is refused.
        {false,
         large(false,
               {{value(late), QByteArray::fromHex("a2") + be32(x) + be32(x + 1)}, {x, k7}, {x + 1, k7}}),
         nullptr},
        {false,
         large(false, {{value(late), QByteArray::fromHex("a1") + be32(x)},
                       {x, QByteArray::fromHex("a1") + be32(x + 1)},
                       {x + 1, nonAscii}}),
         "non-ASCII byte"},
        {false,
         large(false,
               {{value(late), QByteArray::fromHex("d2") + be32(x) + be32(x + 1) + be32(x + 2) + be32(x + 3)},
                {x, k7},
                {x + 1, k7utf16},
                {x + 2, k7},
                {x + 3, k7}}),
         "duplicate dictionary key"},
        {false,
         large(false,
               {{key(late - 9), k7}, {value(late), QByteArray::fromHex("a1") + be32(x)}, {x, unknown}}),
         "duplicate dictionary key"},
        {true, large(true, {{value(late), nonAscii}, {value(late + 1), unknown}}), "non-ASCII byte"},
        {true, large(true, {{-1, {}, late, -1, 0}}), "reference cycle"},
        {true, large(true, {{-1, {}, 5, -1, quint32(value(late))}}), nullptr},
    };
    for (const auto &testCase : cases) {
        SCOPED_TRACE(&testCase - cases);
        if (testCase.refusal) {
            EXPECT_TRUE(refusal(testCase.bytes).contains(QString::fromUtf8(testCase.refusal)));
            continue;
        }
        const TRValue read = accepted(testCase.bytes);
        ASSERT_EQ(testCase.array ? read.toArray().size() : read.toDictionary().size(), n);
    }
    // Every entry where it belongs, with its own key and value.
    const TRDictionary plain = accepted(large(false, {})).toDictionary();
    for (int i = 0; i < n; i += 997) {
        EXPECT_EQ(plain.keyAt(i), QStringLiteral("k%1").arg(i));
        EXPECT_EQ(plain.value(QStringLiteral("k%1").arg(i)).toInteger(), i);
    }
}
