// Round trips of every value kind through both writers, and the rules all three readers share:
// format detection, locale independence, the nesting limit and duplicate keys.
#include "PlistTestSupport.h"
#include "TRLimits.h"
#include "plist/TRPropertyList.h"
#include "plist/TRValueJson.h"

#include <QProcess>
#include <QTemporaryDir>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>
#include <limits>

using namespace plisttest;
using Format = TRPropertyList::Format;

namespace {

QString stringWith(std::initializer_list<char16_t> units)
{
    QString text;
    for (const char16_t unit : units)
        text.append(QChar(unit));
    return text;
}

// Every kind and the edges of each, all of which both formats carry exactly.
TRValue everyKind()
{
    QByteArray allBytes;
    for (int i = 0; i < 256; ++i)
        allBytes.append(char(i));
    TRArray integers;
    for (const qint64 number : {qint64(0), qint64(1), qint64(255), qint64(256), qint64(65535), qint64(65536),
                                qint64(4294967295LL), qint64(4294967296LL), qint64(-1), qint64(-256),
                                std::numeric_limits<qint64>::min(), std::numeric_limits<qint64>::max()})
        integers.append(TRValue::fromInteger(number));
    integers.append(TRValue::fromUnsigned(quint64(1) << 63));
    integers.append(TRValue::fromUnsigned(std::numeric_limits<quint64>::max()));
    TRArray reals;
    for (const double number :
         {0.0, -0.0, 0.1, 1.0 / 3.0, -2.5, 1e300, 4.9e-324, 1.7976931348623157e308,
          std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
          std::numeric_limits<double>::quiet_NaN()})
        reals.append(TRValue::fromReal(number));
    TRArray dates;
    // 2001-01-01, 0001-01-01, 9999-12-31T23:59:59, 1900-01-01 and 2069-12-31: whole seconds.
    for (const double date : {0.0, -63113904000.0, 252423993599.0, -3187296000.0, 2145830400.0})
        dates.append(TRValue::fromDate(date));
    TRDictionary many;
    for (int i = 20; i > 0; --i)
        many.insert(QStringLiteral("key %1").arg(i), TRValue::fromInteger(i));
    return dict({
        {QStringLiteral("strings"),
         TRValue::fromArray(
             {TRValue::fromString(QString()), TRValue::fromString(QStringLiteral("plain")),
              TRValue::fromString(QStringLiteral("  \t ")),
              TRValue::fromString(QStringLiteral("a & b < c > d \"q\" 'a'")),
              TRValue::fromString(QStringLiteral("line\nbreak\r\nand return\r")),
              TRValue::fromString(stringWith({u'\u00e9', u'\u4321', 0xd83d, 0xde30, u'\ufeff'})),
              TRValue::fromString(QStringLiteral("]]> <![CDATA[ x")),
              TRValue::fromString(QStringLiteral("-12")),
              TRValue::fromString(stringWith({0xfeff, u'b', u'o', u'm'}))})},
        {QStringLiteral("integers"), TRValue::fromArray(integers)},
        {QStringLiteral("reals"), TRValue::fromArray(reals)},
        {QStringLiteral("booleans"), TRValue::fromArray({TRValue::fromBool(true), TRValue::fromBool(false)})},
        {QStringLiteral("dates"), TRValue::fromArray(dates)},
        {QStringLiteral("data"),
         TRValue::fromArray({TRValue::fromData(QByteArray()), TRValue::fromData(allBytes),
                             TRValue::fromData(QByteArray("a")), TRValue::fromData(QByteArray("ab"))})},
        {QStringLiteral("empty"), TRValue::fromArray({TRValue::fromArray({}), TRValue::fromDictionary({})})},
        {QStringLiteral("ordered"), TRValue::fromDictionary(many)},
        {stringWith({u'k', 0xd83d, 0xde00, u'&'}),
         TRValue::fromArray({TRValue::fromArray({TRValue::fromArray({})})})},
        {QString(), TRValue::fromString(QStringLiteral("empty key"))},
    });
}

TRValue roundTrip(const TRValue &value, Format format)
{
    QByteArray bytes;
    QString error;
    EXPECT_TRUE(TRPropertyList::write(value, format, &bytes, &error)) << error.toStdString();
    TRValue back;
    Format detected = Format::OpenStep;
    EXPECT_TRUE(TRPropertyList::read(bytes, &back, &detected, &error)) << error.toStdString();
    EXPECT_EQ(detected, format);
    return back;
}

// Dictionary key order matters to the user; operator== ignores it.
void expectSameOrder(const TRValue &a, const TRValue &b)
{
    EXPECT_EQ(TRValueJson::toJson(a), TRValueJson::toJson(b));
}

} // namespace

TEST(PlistRoundTrip, EveryKindThroughXmlAndBinary)
{
    const TRValue value = everyKind();
    for (const Format format : {Format::Xml, Format::Binary}) {
        const TRValue back = roundTrip(value, format);
        EXPECT_EQ(back, value) << int(format);
        expectSameOrder(back, value);
        const TRValue negativeZero = back.toDictionary().value(QStringLiteral("reals")).toArray().at(1);
        EXPECT_TRUE(std::signbit(negativeZero.toReal()));
        const TRValue largest = back.toDictionary().value(QStringLiteral("integers")).toArray().last();
        EXPECT_TRUE(largest.isUnsignedInteger());
        EXPECT_EQ(largest.toUnsigned(), std::numeric_limits<quint64>::max());
    }
}

TEST(PlistRoundTrip, BinaryKeepsWhatXmlCannotCarry)
{
    // U+0000, a lone surrogate, U+FFFE, control characters, fractions of seconds, far years and UIDs.
    const TRValue value = dict({
        {QStringLiteral("nul"), TRValue::fromString(stringWith({u'a', 0, u'b'}))},
        {QStringLiteral("lone"), TRValue::fromString(stringWith({0xd800, u'x'}))},
        {stringWith({0xfffe}), TRValue::fromString(stringWith({0x01, 0x1f}))},
        {QStringLiteral("fraction"), TRValue::fromDate(12.345678901234)},
        {QStringLiteral("year 40000"), TRValue::fromDate(1.2e12)},
        {QStringLiteral("year -5000"), TRValue::fromDate(-2.2e11)},
        {QStringLiteral("uid"), TRValue::fromUid(0x0102030405060708ULL)},
        {QStringLiteral("small uid"), TRValue::fromUid(7)},
    });
    EXPECT_EQ(roundTrip(value, Format::Binary), value);
    for (const auto &entry : value.toDictionary()) {
        const TRValue single = dict({{entry.first, entry.second}});
        if (entry.first == QLatin1String("fraction")) {
            // XML carries whole seconds, as the platform writes them.
            EXPECT_TRUE(TRPropertyList::canWriteXml(single));
            EXPECT_EQ(roundTrip(single, Format::Xml).toDictionary().value(entry.first).toDate(), 12.0);
            continue;
        }
        EXPECT_FALSE(TRPropertyList::canWriteXml(single)) << entry.first.toStdString();
        QByteArray bytes = "untouched";
        QString error;
        EXPECT_FALSE(TRPropertyList::writeXml(single, &bytes, &error));
        EXPECT_FALSE(error.isEmpty());
        EXPECT_EQ(bytes, "untouched");
    }
}

TEST(PlistRoundTrip, NoneHasNoFileForm)
{
    for (const TRValue &value :
         {TRValue(), TRValue::fromArray({TRValue()}), dict({{QStringLiteral("k"), TRValue()}})}) {
        QByteArray bytes;
        QString error;
        EXPECT_FALSE(TRPropertyList::writeBinary(value, &bytes, &error));
        EXPECT_FALSE(error.isEmpty());
        EXPECT_FALSE(TRPropertyList::writeXml(value, &bytes, &error));
    }
    QByteArray bytes;
    QString error;
    EXPECT_FALSE(TRPropertyList::write(TRValue::fromInteger(1), Format::OpenStep, &bytes, &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(PlistReaders, NestingLimitInEveryFormat)
{
    for (const char *form : {"xml", "openstep"}) {
        const TRValue deepest = accepted(nestedText(form, kTRMaxNestingDepth));
        EXPECT_TRUE(deepest.isArray()) << form;
        EXPECT_TRUE(
            refusal(nestedText(form, kTRMaxNestingDepth + 1)).contains(QStringLiteral("nested deeper")))
            << form;
        // Far beyond the limit: refused, not a stack overflow.
        EXPECT_FALSE(refusal(nestedText(form, 100000)).isEmpty()) << form;
    }
    for (const int levels : {kTRMaxNestingDepth, kTRMaxNestingDepth + 1, 100000}) {
        // Object i is an array holding object i + 1; the last is empty. Two-byte references.
        BinaryFile file;
        file.referenceSize = 4;
        file.offsetSize = 4;
        for (int i = 0; i < levels - 1; ++i)
            file.objects.append(QByteArray("\xa1", 1) +
                                QByteArray::fromHex(QByteArray::number(i + 1, 16).rightJustified(8, '0')));
        file.objects.append(QByteArray("\xa0", 1));
        if (levels <= kTRMaxNestingDepth)
            EXPECT_TRUE(accepted(file.build()).isArray());
        else
            EXPECT_TRUE(refusal(file.build()).contains(QStringLiteral("nesting too deep")));
    }
    // The writers refuse what no reader would take back.
    TRValue deep = TRValue::fromArray({});
    for (int i = 0; i < kTRMaxNestingDepth; ++i)
        deep = TRValue::fromArray({deep});
    QByteArray bytes;
    EXPECT_FALSE(TRPropertyList::writeBinary(deep, &bytes));
    EXPECT_FALSE(TRPropertyList::canWriteXml(deep));
}

TEST(PlistReaders, DuplicateKeysAreRefused)
{
    EXPECT_TRUE(refusal("<plist><dict><key>a</key><true/><key>a</key><false/></dict></plist>")
                    .contains(QStringLiteral("line 1, column 33: duplicate key")));
    EXPECT_TRUE(
        refusal("{ a = 1; b = 2;\n a = 3; }").contains(QStringLiteral("line 2, column 2: duplicate key")));
    BinaryFile file;
    file.objects = {QByteArray("\xd2\x01\x01\x02\x02", 5), QByteArray("\x51\x61", 2), QByteArray("\x09", 1)};
    EXPECT_TRUE(refusal(file.build()).contains(QStringLiteral("byte 10: duplicate dictionary key")));
}

namespace {

// Switches the process to a locale whose decimal separator is a comma, generating it when the system
// has none installed. Restores the C locale when done.
class CommaLocale
{
public:
    CommaLocale()
    {
        if (!std::setlocale(LC_ALL, "de_DE.UTF-8") && m_dir.isValid()) {
            QProcess::execute(QStringLiteral("localedef"),
                              {QStringLiteral("-i"), QStringLiteral("de_DE"), QStringLiteral("-f"),
                               QStringLiteral("UTF-8"), m_dir.filePath(QStringLiteral("de_DE.UTF-8"))});
            qputenv("LOCPATH", QFile::encodeName(m_dir.path()));
            std::setlocale(LC_ALL, "de_DE.UTF-8");
        }
    }
    ~CommaLocale()
    {
        std::setlocale(LC_ALL, "C");
        qunsetenv("LOCPATH");
    }
    bool active() const { return std::strtod("1,5", nullptr) == 1.5; }

private:
    QTemporaryDir m_dir;
};

} // namespace

TEST(PlistReaders, NumbersIgnoreTheProcessLocale)
{
    CommaLocale locale;
    if (!locale.active())
        GTEST_SKIP() << "no locale with a decimal comma can be made here";
    const TRValue xml = accepted("<plist><array><real>1.5</real><real>-2.25e3</real><integer>1000</integer>"
                                 "<date>2024-01-02T03:04:05Z</date></array></plist>");
    ASSERT_EQ(xml.toArray().size(), 4);
    EXPECT_EQ(xml.toArray().at(0).toReal(), 1.5);
    EXPECT_EQ(xml.toArray().at(1).toReal(), -2250.0);
    EXPECT_EQ(xml.toArray().at(2).toInteger(), 1000);
    EXPECT_EQ(accepted("<*R3.25>").toReal(), 3.25);
    EXPECT_FALSE(refusal("<plist><real>1,5</real></plist>").isEmpty());
    QByteArray bytes;
    ASSERT_TRUE(TRPropertyList::writeXml(TRValue::fromReal(0.5), &bytes));
    EXPECT_TRUE(bytes.contains("<real>0.5</real>"));
}
