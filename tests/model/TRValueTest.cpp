// Value kinds: the kind tests and their order, type names, descriptions and equality.
#include "TRValue.h"

#include "TRKey.h"
#include "TRText.h"
#include "TestSupport.h"

#include <QCoreApplication>
#include <QTranslator>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <vector>

namespace {

TRDictionary dictionaryOf(std::initializer_list<std::pair<const char *, TRValue>> entries)
{
    TRDictionary dictionary;
    for (const auto &[key, value] : entries)
        dictionary.insert(QString::fromUtf8(key), value);
    return dictionary;
}

struct KindCase
{
    const char *label;
    TRValue value;
    const char *typeName;
    bool number, boolean, date, data, array, dictionary, string;
};

} // namespace

TEST(TRValueKinds, TestsAnswerAsEachKindRequires)
{
    const KindCase cases[] = {
        {"true", TRValue::fromBool(true), "Boolean", true, true, false, false, false, false, false},
        {"false", TRValue::fromBool(false), "Boolean", true, true, false, false, false, false, false},
        {"integer 1", TRValue::fromInteger(1), "Number", true, false, false, false, false, false, false},
        {"integer 0", TRValue::fromInteger(0), "Number", true, false, false, false, false, false, false},
        {"real 2.5", TRValue::fromReal(2.5), "Number", true, false, false, false, false, false, false},
        {"unsigned max", TRValue::fromUnsigned(std::numeric_limits<quint64>::max()), "Number", true, false,
         false, false, false, false, false},
        {"date", TRValue::fromDate(0), "Date", false, false, true, false, false, false, false},
        {"data", TRValue::fromData(QByteArray("\x00\x01", 2)), "Binary", false, false, false, true, false,
         false, false},
        {"empty array", TRValue::fromArray({}), "Array", false, false, false, false, true, false, false},
        {"empty dictionary", TRValue::fromDictionary({}), "Dictionary", false, false, false, false, false,
         true, false},
        {"string", TRValue::fromString(QStringLiteral("x")), "String", false, false, false, false, false,
         false, true},
        {"empty string", TRValue::fromString(QString()), "String", false, false, false, false, false, false,
         true},
        {"none", TRValue(), "String", false, false, false, false, false, false, false},
        {"uid", TRValue::fromUid(3), "String", false, false, false, false, false, false, false},
    };
    for (const KindCase &c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(TRKey::valueTypeName(c.value), QString::fromLatin1(c.typeName));
        EXPECT_EQ(TRKey::isObjectNumber(c.value), c.number);
        EXPECT_EQ(TRKey::isObjectBoolean(c.value), c.boolean);
        EXPECT_EQ(TRKey::isObjectDate(c.value), c.date);
        EXPECT_EQ(TRKey::isObjectData(c.value), c.data);
        EXPECT_EQ(TRKey::isObjectArray(c.value), c.array);
        EXPECT_EQ(TRKey::isObjectDictionary(c.value), c.dictionary);
        EXPECT_EQ(TRKey::isObjectCompound(c.value), c.array || c.dictionary);
        EXPECT_EQ(TRKey::isObjectString(c.value), c.string);
    }
}

TEST(TRValueKinds, BooleansAndNumbersStayApart)
{
    // A number that merely equals 0 or 1 is no boolean, and the two never compare equal.
    EXPECT_NE(TRValue::fromBool(true), TRValue::fromInteger(1));
    EXPECT_NE(TRValue::fromBool(false), TRValue::fromInteger(0));
    EXPECT_NE(TRValue::fromInteger(3), TRValue::fromReal(3.0));
    EXPECT_EQ(TRValue::fromBool(true), TRValue::fromBool(true));
}

TEST(TRValueKinds, UnsignedValuesAboveSignedRangeKeepTheirSignedness)
{
    const TRValue small = TRValue::fromUnsigned(42);
    EXPECT_FALSE(small.isUnsignedInteger());
    EXPECT_EQ(small, TRValue::fromInteger(42));

    const TRValue big = TRValue::fromUnsigned(18446744073709551615ULL);
    EXPECT_TRUE(big.isUnsignedInteger());
    EXPECT_EQ(big.toUnsigned(), 18446744073709551615ULL);
    EXPECT_NE(big, TRValue::fromInteger(-1));
    EXPECT_EQ(big.description(), QStringLiteral("18446744073709551615"));
}

TEST(TRValueKinds, EqualityIsDeepAndKeepsEveryBitOfReals)
{
    EXPECT_NE(TRValue::fromReal(0.0), TRValue::fromReal(-0.0));
    EXPECT_EQ(TRValue::fromReal(std::nan("")), TRValue::fromReal(std::nan("")));
    EXPECT_NE(TRValue::fromDate(1.5), TRValue::fromReal(1.5));

    const TRValue a =
        TRValue::fromArray({TRValue::fromString(QStringLiteral("x")),
                            TRValue::fromDictionary(dictionaryOf({{"k", TRValue::fromInteger(1)}}))});
    const TRValue b =
        TRValue::fromArray({TRValue::fromString(QStringLiteral("x")),
                            TRValue::fromDictionary(dictionaryOf({{"k", TRValue::fromInteger(1)}}))});
    const TRValue c =
        TRValue::fromArray({TRValue::fromString(QStringLiteral("x")),
                            TRValue::fromDictionary(dictionaryOf({{"k", TRValue::fromInteger(2)}}))});
    EXPECT_EQ(a, b);
    EXPECT_FALSE(a.isSameObject(b));
    EXPECT_NE(a, c);
}

TEST(TRValueDescription, TextFormsOfEveryLeafKind)
{
    EXPECT_EQ(TRValue::fromString(QStringLiteral("héllo")).description(), QStringLiteral("héllo"));
    EXPECT_EQ(TRValue::fromInteger(-9223372036854775807LL - 1).description(),
              QStringLiteral("-9223372036854775808"));
    EXPECT_EQ(TRValue::fromReal(0.1).description(), QStringLiteral("0.1"));
    EXPECT_EQ(TRValue::fromReal(2.5).description(), QStringLiteral("2.5"));
    EXPECT_EQ(TRValue::fromReal(1e300).description(), QStringLiteral("1e+300"));
    EXPECT_EQ(TRValue::fromReal(-0.0).description(), QStringLiteral("-0"));
    EXPECT_EQ(TRValue::fromReal(std::numeric_limits<double>::infinity()).description(),
              QStringLiteral("inf"));
    EXPECT_EQ(TRValue::fromData(QByteArray("Hello\x00\xff", 7)).description(),
              QStringLiteral("<48656c6c 6f00ff>"));
    EXPECT_EQ(TRValue::fromData(QByteArray()).description(), QStringLiteral("<>"));
    EXPECT_EQ(TRValue::fromDate(0).description(), QStringLiteral("2001-01-01 00:00:00 +0000"));
}

TEST(TRValueDescription, ShortestRealReadsBackExactly)
{
    const double samples[] = {0.1, 1.0 / 3.0, 123456789.123456789, 5e-324, 1.7976931348623157e308, -2.5e-10};
    for (double sample : samples) {
        const QString text = TRValue::fromReal(sample).description();
        bool ok = false;
        EXPECT_EQ(text.toDouble(&ok), sample) << text.toStdString();
        EXPECT_TRUE(ok);
    }
}

TEST(TRValueDescription, LargeDataIsCutAfterSixtyFourBytes)
{
    const QByteArray blob(10 * 1024 * 1024, '\x5a');
    const QString text = TRValue::fromData(blob).description();
    EXPECT_LT(text.size(), 200);
    EXPECT_TRUE(text.startsWith(QStringLiteral("<5a5a5a5a 5a5a5a5a")));
    EXPECT_TRUE(text.endsWith(QStringLiteral("\u2026 10485760 bytes>")));
    // Exactly 64 bytes are shown whole, with no ellipsis.
    EXPECT_FALSE(TRValue::fromData(QByteArray(64, '\x01')).description().contains(QChar(0x2026)));
}

TEST(TRValueNumbers, IntValueFollowsThePlatform)
{
    EXPECT_EQ(TRValue::fromString(QStringLiteral("  -42abc")).intValue(), -42);
    EXPECT_EQ(TRValue::fromString(QStringLiteral("+7")).intValue(), 7);
    EXPECT_EQ(TRValue::fromString(QStringLiteral("abc")).intValue(), 0);
    EXPECT_EQ(TRValue::fromString(QStringLiteral("99999999999")).intValue(), std::numeric_limits<int>::max());
    EXPECT_EQ(TRValue::fromReal(-3.9).intValue(), -3);
    EXPECT_EQ(TRValue::fromReal(std::nan("")).intValue(), 0);
    EXPECT_EQ(TRValue::fromBool(true).intValue(), 1);
    EXPECT_EQ(TRValue().intValue(), 0);
}

TEST(TRValueDictionary, KeepsInsertionOrderAndFindsKeysAtEverySize)
{
    for (int size : {0, 1, 8, 9, 500}) {
        SCOPED_TRACE(size);
        TRDictionary dictionary;
        for (int i = size - 1; i >= 0; --i)
            EXPECT_TRUE(dictionary.insert(QString::number(i), TRValue::fromInteger(i)));
        ASSERT_EQ(dictionary.size(), size);
        for (int i = 0; i < size; ++i) {
            EXPECT_EQ(dictionary.keyAt(size - 1 - i), QString::number(i));
            EXPECT_EQ(dictionary.value(QString::number(i)).toInteger(), i);
        }
        EXPECT_TRUE(dictionary.value(QStringLiteral("absent")).isNone());
        if (size > 0) {
            // A key stored again keeps its place and takes the new value.
            EXPECT_FALSE(dictionary.insert(QStringLiteral("0"), TRValue::fromString(QStringLiteral("new"))));
            EXPECT_EQ(dictionary.size(), size);
            EXPECT_EQ(dictionary.keyAt(size - 1), QStringLiteral("0"));
            EXPECT_EQ(dictionary.value(QStringLiteral("0")).toString(), QStringLiteral("new"));
        }
    }
}

TEST(TRValueDictionary, ReservedAndCopiedDictionariesFindEveryKey)
{
    for (qsizetype reserved : {0, 4, 9, 100}) {
        for (int size : {3, 9, 40}) {
            SCOPED_TRACE(testing::Message() << "reserved " << reserved << ", size " << size);
            TRDictionary dictionary;
            dictionary.reserve(reserved);
            for (int i = 0; i < size; ++i)
                EXPECT_TRUE(dictionary.insert(QStringLiteral("key %1").arg(i), TRValue::fromInteger(i)));
            EXPECT_FALSE(dictionary.insert(QStringLiteral("key 0"), TRValue::fromInteger(-1)));
            TRDictionary copy = dictionary;
            copy.insert(QStringLiteral("only in the copy"), TRValue());
            for (int i = 0; i < size; ++i) {
                EXPECT_EQ(dictionary.indexOf(QStringLiteral("key %1").arg(i)), i);
                EXPECT_EQ(copy.indexOf(QStringLiteral("key %1").arg(i)), i);
            }
            EXPECT_EQ(dictionary.value(QStringLiteral("key 0")).toInteger(), -1);
            EXPECT_FALSE(dictionary.contains(QStringLiteral("only in the copy")));
            EXPECT_EQ(copy.indexOf(QStringLiteral("only in the copy")), size);
        }
    }
}

TEST(TRValueDictionary, InsertWithAnEarlierHashAgreesWithInsert)
{
    // Every hash is taken before any insert, so later ones were taken before the table grew.
    for (qsizetype reserved : {0, 100}) {
        for (int size : {3, 9, 40}) {
            SCOPED_TRACE(testing::Message() << "reserved " << reserved << ", size " << size);
            TRDictionary plain;
            TRDictionary split;
            plain.reserve(reserved);
            split.reserve(reserved);
            QStringList keys;
            for (int i = 0; i < size; ++i)
                keys.append(QStringLiteral("key %1").arg(i % (size - 1)));
            std::vector<size_t> hashes;
            for (const QString &key : keys)
                hashes.push_back(split.hashFor(key));
            for (int i = 0; i < size; ++i) {
                const TRValue value = TRValue::fromInteger(i);
                EXPECT_EQ(split.insert(keys.at(i), hashes.at(size_t(i)), value),
                          plain.insert(keys.at(i), value));
            }
            ASSERT_EQ(split.size(), size - 1);
            for (qsizetype i = 0; i < split.size(); ++i) {
                EXPECT_EQ(split.at(i), plain.at(i));
                EXPECT_EQ(split.indexOf(keys.at(i)), i);
            }
        }
    }
}

namespace {

class PrefixTranslator final : public QTranslator
{
public:
    QString translate(const char *context, const char *sourceText, const char *, int) const override
    {
        if (QLatin1StringView(context) != QLatin1StringView(kTamrixTextContext))
            return QString();
        if (QLatin1StringView(sourceText) == QLatin1StringView("Boolean"))
            return QStringLiteral("Wahrheitswert");
        if (QLatin1StringView(sourceText) == QLatin1StringView("Item #%d"))
            return QStringLiteral("Element %d");
        return QString();
    }
    bool isEmpty() const override { return false; }
};

} // namespace

TEST(TRValueTexts, LookupGivesTranslationOrTheEnglishText)
{
    EXPECT_EQ(TRKey::valueTypeName(TRValue::fromBool(true)), QStringLiteral("Boolean"));
    PrefixTranslator translator;
    QCoreApplication::installTranslator(&translator);
    EXPECT_EQ(TRKey::valueTypeName(TRValue::fromBool(true)), QStringLiteral("Wahrheitswert"));
    // No entry: the English text itself.
    EXPECT_EQ(TRKey::valueTypeName(TRValue::fromInteger(1)), QStringLiteral("Number"));
    const TRKeyPtr list =
        TRKey::create(TRValue(), TRValue::fromArray({TRValue::fromInteger(5)}), nullptr, QStringLiteral("d"));
    EXPECT_EQ(list->childAtIndex(0)->nameDescription(), QStringLiteral("Element 0"));
    QCoreApplication::removeTranslator(&translator);
    EXPECT_EQ(list->childAtIndex(0)->nameDescription(), QStringLiteral("Item #0"));
}

TEST(TRValueTexts, FormatFillsSlotsInOrder)
{
    EXPECT_EQ(trFormat(QStringLiteral("a %@ b %d c %%"), {QStringLiteral("X"), QStringLiteral("7")}),
              QStringLiteral("a X b 7 c %"));
    EXPECT_EQ(trFormat(QStringLiteral("%@ and %@"), {QStringLiteral("one")}), QStringLiteral("one and %@"));
    EXPECT_EQ(trFormat(QStringLiteral("100%"), {}), QStringLiteral("100%"));
}

TEST(TRValueTexts, FormatTakesNumberedSlotsSoATranslationCanReorder)
{
    const QStringList arguments{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")};
    const struct
    {
        const char *pattern;
        const char *filled;
    } cases[] = {
        {"%2$@ vor %1$@", "B vor A"}, {"%3$d, %1$@, %2$@", "C, A, B"},
        {"%2$@ %@", "B C"},         // an unnumbered slot continues after the numbered one
        {"%4$@ %0$@", "%4$@ %0$@"}, // out of range: left as it stands
        {"%1$x 50%", "%1$x 50%"},     {"%12", "%12"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(trFormat(QString::fromUtf8(c.pattern), arguments), QString::fromUtf8(c.filled))
            << c.pattern;
}
