// The XML form: the exact layout the writer produces, what the reader accepts (encodings, entities,
// CDATA, every date year) and a table of malformed files with the line and column each error names.
#include "PlistTestSupport.h"
#include "plist/TRPropertyList.h"

#include <QStringEncoder>
#include <gtest/gtest.h>

using namespace plisttest;

namespace {

const QByteArray kHeader = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                           "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                           "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n";

QByteArray xml(const TRValue &value)
{
    QByteArray bytes;
    QString error;
    EXPECT_TRUE(TRPropertyList::writeXml(value, &bytes, &error)) << error.toStdString();
    return bytes;
}

} // namespace

TEST(XmlPlistWriter, WritesThePlatformLayout)
{
    const TRValue value = dict({
        {QStringLiteral("Name"), TRValue::fromString(QStringLiteral("A&B <c>"))},
        {QStringLiteral("Count"), TRValue::fromInteger(-42)},
        {QStringLiteral("Big"), TRValue::fromUnsigned(18446744073709551615ULL)},
        {QStringLiteral("Ratio"), TRValue::fromReal(0.1)},
        {QStringLiteral("Whole"), TRValue::fromReal(3.0)},
        {QStringLiteral("On"), TRValue::fromBool(true)},
        {QStringLiteral("When"), TRValue::fromDate(-978307200.5)},
        {QStringLiteral("Blob"), TRValue::fromData(QByteArray("hello"))},
        {QStringLiteral("List"), TRValue::fromArray({TRValue::fromBool(false), TRValue::fromArray({})})},
        {QStringLiteral("Empty"), TRValue::fromDictionary({})},
    });
    EXPECT_EQ(xml(value), kHeader + "<plist version=\"1.0\">\n"
                                    "<dict>\n"
                                    "\t<key>Name</key>\n"
                                    "\t<string>A&amp;B &lt;c&gt;</string>\n"
                                    "\t<key>Count</key>\n"
                                    "\t<integer>-42</integer>\n"
                                    "\t<key>Big</key>\n"
                                    "\t<integer>18446744073709551615</integer>\n"
                                    "\t<key>Ratio</key>\n"
                                    "\t<real>0.1</real>\n"
                                    "\t<key>Whole</key>\n"
                                    "\t<real>3</real>\n"
                                    "\t<key>On</key>\n"
                                    "\t<true/>\n"
                                    "\t<key>When</key>\n"
                                    "\t<date>1969-12-31T23:59:59Z</date>\n"
                                    "\t<key>Blob</key>\n"
                                    "\t<data>\n"
                                    "\taGVsbG8=\n"
                                    "\t</data>\n"
                                    "\t<key>List</key>\n"
                                    "\t<array>\n"
                                    "\t\t<false/>\n"
                                    "\t\t<array/>\n"
                                    "\t</array>\n"
                                    "\t<key>Empty</key>\n"
                                    "\t<dict/>\n"
                                    "</dict>\n"
                                    "</plist>\n");
}

TEST(XmlPlistReader, AcceptsEncodingsEntitiesAndCdata)
{
    const QString text = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n<plist version=\"1.0\">"
                                        "<string>\u00e9\U0001F600</string></plist>");
    const QString expected = QString::fromUtf8("\xc3\xa9\xf0\x9f\x98\x80");
    for (const auto encoding :
         {QStringConverter::Utf16LE, QStringConverter::Utf16BE, QStringConverter::Utf8}) {
        QStringEncoder encoder(encoding, QStringConverter::Flag::WriteBom);
        const QByteArray bytes = encoder.encode(text);
        EXPECT_EQ(accepted(bytes).toString(), expected) << int(encoding);
    }
    const TRValue value =
        accepted(kHeader + "<plist version=\"1.0\"><dict>\n"
                           "<key>a&amp;&#x42;&#67;</key><string>&lt;<![CDATA[<x> & ]]>&gt;</string>\n"
                           "<key>space</key><string>  </string>\n"
                           "<key>crlf</key><string>a\r\nb&#13;</string>\n"
                           "<!-- a comment --><key>empty</key><string/>\n"
                           "<key>padless</key><data>aGVsbG8</data>\n"
                           "<key>wrapped</key><data>\n\taGVs\n\tbG8=\n</data>\n"
                           "<key>hex</key><integer>0x1F</integer>\n"
                           "<key>spaced</key><integer> -7 </integer>\n"
                           "<key>inf</key><real>-Infinity</real>\n"
                           "</dict></plist>");
    const TRDictionary &entries = value.toDictionary();
    EXPECT_EQ(entries.keyAt(0), QStringLiteral("a&BC"));
    EXPECT_EQ(entries.valueAt(0).toString(), QStringLiteral("<<x> & >"));
    EXPECT_EQ(entries.value(QStringLiteral("space")).toString(), QStringLiteral("  "));
    EXPECT_EQ(entries.value(QStringLiteral("crlf")).toString(), QStringLiteral("a\nb\r"));
    EXPECT_EQ(entries.value(QStringLiteral("empty")).toString(), QString());
    EXPECT_TRUE(entries.value(QStringLiteral("empty")).isString());
    EXPECT_EQ(entries.value(QStringLiteral("padless")).toData(), QByteArray("hello"));
    EXPECT_EQ(entries.value(QStringLiteral("wrapped")).toData(), QByteArray("hello"));
    EXPECT_EQ(entries.value(QStringLiteral("hex")).toInteger(), 31);
    EXPECT_EQ(entries.value(QStringLiteral("spaced")).toInteger(), -7);
    EXPECT_EQ(entries.value(QStringLiteral("inf")).toReal(), -std::numeric_limits<double>::infinity());
}

TEST(XmlPlistReader, DatesOfEveryYearAreExact)
{
    const struct
    {
        const char *text;
        double seconds;
    } cases[] = {
        {"2001-01-01T00:00:00Z", 0},
        {"0001-01-01T00:00:00Z", -63113904000.0},
        {"9999-12-31T23:59:59Z", 252423993599.0},
        {"4001-01-01T00:00:00Z", 63113904000.0},
        {"1900-02-28T12:00:00Z", -3182241600.0},
        {"2000-02-29T00:00:00Z", -26524800.0},
        {"2024-01-02T03:04:05.25Z", 725857445.25},
    };
    for (const auto &testCase : cases) {
        const TRValue value = accepted(QByteArray("<plist><date>") + testCase.text + "</date></plist>");
        EXPECT_EQ(value.toDate(), testCase.seconds) << testCase.text;
        if (!QByteArray(testCase.text).contains('.')) {
            EXPECT_TRUE(xml(value).contains(QByteArray("<date>") + testCase.text + "</date>"))
                << testCase.text;
        }
    }
}

TEST(XmlPlistReader, MalformedFilesNameLineAndColumn)
{
    const struct
    {
        const char *text;
        const char *expected;
    } cases[] = {
        {"<plist><integer>12abc</integer></plist>", "line 1, column 8: not an integer"},
        {"<plist><integer>18446744073709551616</integer></plist>", "line 1, column 8: not an integer"},
        {"<plist><integer>-9223372036854775809</integer></plist>", "column 8: not an integer"},
        {"<plist><integer></integer></plist>", "column 8: not an integer"},
        {"<plist>\n  <real>1,5</real></plist>", "line 2, column 3: not a real"},
        {"<plist><real>1e999</real></plist>", "not a real"},
        {"<plist><real>0x10</real></plist>", "not a real"},
        {"<plist><date>2024-13-01T00:00:00Z</date></plist>", "not a date"},
        {"<plist><date>2023-02-29T00:00:00Z</date></plist>", "not a date"},
        {"<plist><date>2024-01-01 00:00:00Z</date></plist>", "not a date"},
        {"<plist><date>garbage</date></plist>", "not a date"},
        {"<plist><data>@@@@</data></plist>", "bad base64"},
        {"<plist><data>AAAA=AAA</data></plist>", "bad base64"},
        {"<plist><data>A</data></plist>", "bad base64"},
        {"<plist><true>yes</true></plist>", "text inside a boolean"},
        {"<plist><integr>1</integr></plist>", "column 8: unknown element <integr>"},
        {"<plist><string>a<b/></string></plist>", "column 17: unexpected element inside <string>"},
        {"<plist><dict><key>a</key></dict></plist>", "column 14: a key without a value"},
        {"<plist><dict><key>a</key><key>b</key><true/></dict></plist>", "column 14: a key without a value"},
        {"<plist><dict><true/></dict></plist>", "column 14: a value without a key"},
        {"<plist><dict>junk<key>a</key><true/></dict></plist>", "text outside a value"},
        {"<plist><array><true/>x</array></plist>", "text outside a value"},
        {"<plist><key>a</key></plist>", "a key outside a dictionary"},
        {"<plist><true/>\n<false/></plist>", "line 2, column 1: a second root object"},
        {"<plist></plist>", "holds no value"},
        {"<plist><true/></plist>trailing", "text outside the root element"},
        {"<plist><true/></plist><plist/>", "a second root element"},
        {"<dict></dict>", "unknown root element <dict>"},
        {"<plist><array></plist>", "line 1, column"},
        {"<plist><string>\xc3\x28</string></plist>", "column 16: the text is not valid UTF-8"},
        {"<?xml version=\"1.0\"?>", "no root element"},
        {"<plist><string>a &nbsp; b</string></plist>", "column 18: unknown entity"},
        {"<plist><string>a & b</string></plist>", "column 18: a lone"},
        {"<plist><string>&#0;</string></plist>", "character XML does not allow"},
        {"<plist><string>&#xD800;</string></plist>", "character XML does not allow"},
        {"<plist><string>&#x110000;</string></plist>", "character XML does not allow"},
        {"<plist><string>&#xZZ;</string></plist>", "bad character reference"},
        {"<plist><string>a\x01</string></plist>", "column 17: a character XML does not allow"},
        {"<plist><string>x</strin></plist>", "column 17: </strin> does not close <string>"},
        {"<plist><string>x</plist>", "does not close <string>"},
        {"<plist><string>x", "column 8: <string> is not closed"},
        {"<plist><array>\n<true/>", "line 1, column 8: <array> is not closed"},
        {"<plist><!-- open <true/></plist>", "unterminated comment"},
        {"<plist><string><![CDATA[x</string></plist>", "unterminated CDATA"},
        {"<plist version=1.0><true/></plist>", "malformed attribute"},
        {"<plist><true/></plist>", nullptr},
    };
    for (const auto &testCase : cases) {
        if (!testCase.expected) {
            accepted(testCase.text); // the control case of the table
            continue;
        }
        const QString error = refusal(testCase.text);
        EXPECT_TRUE(error.contains(QString::fromUtf8(testCase.expected)))
            << testCase.text << " -> " << error.toStdString();
    }
}

TEST(XmlPlistReader, PassesOverMarkupAroundValues)
{
    const TRValue value =
        accepted("\xef\xbb\xbf<?xml version='1.0' encoding='UTF-8' standalone=\"yes\"?>\n"
                 "<!-- before -->\n"
                 "<!DOCTYPE plist [ <!ENTITY x \"<y>\"> <!-- ] --> ]>\n"
                 "<?tool hint?>\n"
                 "<plist version = '1.0' xmlns:a=\"x\">\n"
                 "  <dict >\n"
                 "    <!-- comment --><key>a<!-- split -->b</key><string>c<?pi?>d</string>\n"
                 "    <key>n</key><integer>\n\t42\n</integer>\n"
                 "  </dict >\n"
                 "</plist >\n"
                 "<!-- after -->\n");
    EXPECT_EQ(value.toDictionary().value(QStringLiteral("ab")).toString(), QStringLiteral("cd"));
    EXPECT_EQ(value.toDictionary().value(QStringLiteral("n")).toInteger(), 42);
}
