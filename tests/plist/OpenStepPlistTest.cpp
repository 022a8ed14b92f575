// The OpenStep text form as GNUstep writes it: every construct, and a table of malformed texts with
// the line and column each error names.
#include "PlistTestSupport.h"
#include "plist/TRPropertyList.h"

#include <QStringEncoder>
#include <gtest/gtest.h>

using namespace plisttest;

TEST(OpenStepPlistReader, ReadsEveryConstruct)
{
    const QByteArray text = "// !$*UTF8*$!\n"
                            "{\n"
                            "\tplain = value.with/path:chars-and_$;\n"
                            "\t\"quoted key\" = \"tab\\there \\\"q\\\" \\\\ \\101\\U00e9\\n\";\n"
                            "\t/* block\n comment */ number = 12;\n"
                            "\tint = <*I-42>;\n"
                            "\tbig = <*I18446744073709551615>;\n"
                            "\treal = <*R3.25>;\n"
                            "\tyes = <*BY>;\n"
                            "\tno = <*BN>;\n"
                            "\tdate = <*D2024-01-02 03:04:05 +0100>;\n"
                            "\thex = <0fA1 b2\n c3>;\n"
                            "\tbase64 = <[aGVsbG8=]>;\n"
                            "\tempty = ();\n"
                            "\tlist = (a, \"b\", (c), {}, ) ;\n"
                            "\t\xc3\xa9t\xc3\xa9 = caf\xc3\xa9;\n"
                            "}\n";
    TRValue value;
    TRPropertyList::Format format = TRPropertyList::Format::Xml;
    QString error;
    ASSERT_TRUE(TRPropertyList::read(text, &value, &format, &error)) << error.toStdString();
    EXPECT_EQ(format, TRPropertyList::Format::OpenStep);
    const TRDictionary &entries = value.toDictionary();
    EXPECT_EQ(entries.keyAt(0), QStringLiteral("plain"));
    EXPECT_EQ(entries.valueAt(0).toString(), QStringLiteral("value.with/path:chars-and_$"));
    EXPECT_EQ(entries.value(QStringLiteral("quoted key")).toString(),
              QStringLiteral("tab\there \"q\" \\ A\u00e9\n"));
    EXPECT_TRUE(entries.value(QStringLiteral("number")).isString());
    EXPECT_EQ(entries.value(QStringLiteral("int")).toInteger(), -42);
    EXPECT_TRUE(entries.value(QStringLiteral("big")).isUnsignedInteger());
    EXPECT_EQ(entries.value(QStringLiteral("real")).toReal(), 3.25);
    EXPECT_TRUE(entries.value(QStringLiteral("yes")).toBool());
    EXPECT_TRUE(entries.value(QStringLiteral("no")).isBoolean());
    EXPECT_EQ(entries.value(QStringLiteral("date")).toDate(), 725857445.0 - 3600.0);
    EXPECT_EQ(entries.value(QStringLiteral("hex")).toData(), QByteArray::fromHex("0fa1b2c3"));
    EXPECT_EQ(entries.value(QStringLiteral("base64")).toData(), QByteArray("hello"));
    EXPECT_EQ(entries.value(QStringLiteral("empty")).toArray().size(), 0);
    EXPECT_EQ(entries.value(QStringLiteral("list")).toArray().size(), 4);
    EXPECT_EQ(entries.value(QString::fromUtf8("\xc3\xa9t\xc3\xa9")).toString(),
              QString::fromUtf8("caf\xc3\xa9"));

    // A strings file has no braces; UTF-16 with a byte-order mark reads the same.
    QStringEncoder encoder(QStringConverter::Utf16BE, QStringConverter::Flag::WriteBom);
    const TRValue strings =
        accepted(encoder.encode(QStringLiteral("/* strings */ \"Hello\" = \"Hallo\";\nBye = Tsch\u00fcss;")));
    EXPECT_EQ(strings.toDictionary().size(), 2);
    EXPECT_EQ(strings.toDictionary().value(QStringLiteral("Bye")).toString(), QStringLiteral("Tsch\u00fcss"));
    EXPECT_EQ(accepted("  \"lonely\"  ").toString(), QStringLiteral("lonely"));
    // Only the first byte-order mark is one; a second is text.
    EXPECT_EQ(accepted("\xef\xbb\xbf\"\xef\xbb\xbf\"").toString(), QString(QChar(0xfeff)));
    EXPECT_EQ(accepted(QStringEncoder(QStringConverter::Utf16BE, QStringConverter::Flag::WriteBom)
                           .encode(QStringLiteral("\"\ufeffx\"")))
                  .toString(),
              QStringLiteral("\ufeffx"));
}

TEST(OpenStepPlistReader, MalformedTextsNameLineAndColumn)
{
    const struct
    {
        const char *text;
        const char *expected;
    } cases[] = {
        {"{ a = \"open; }", "line 1, column 7: unterminated string"},
        {"{ a = b }", "column 9: expected \xe2\x80\x9c;\xe2\x80\x9d"},
        {"{ a b; }", "column 5: expected \xe2\x80\x9c=\xe2\x80\x9d"},
        {"{ a = b;", "unterminated dictionary"},
        {"(a, b", "unterminated array"},
        {"(a b)", "column 4: expected"},
        {"{\n  a = <0f1>;\n}", "line 2, column 10: odd number"},
        {"<0g>", "column 3: bad hexadecimal digit"},
        {"<0f", "unterminated data"},
        {"<*X1>", "unknown typed value"},
        {"<*I12abc>", "not an integer"},
        {"<*I99999999999999999999>", "not an integer"},
        {"<*R1,5>", "not a real"},
        {"<*BT>", "<*BY> or <*BN>"},
        {"<*D2024-02-30 00:00:00 +0000>", "not a date"},
        {"<[a$]>", "bad base64"},
        {"a b", "column 3: text after the value"},
        {"() ()", "column 4: text after the value"},
        {"/* open", "unterminated comment"},
        {"", "empty"},
        {"  // nothing\n", "holds no value"},
        {"{ a = ; }", "column 7: unexpected character"},
        {"\"a\\U\"", "escape without hexadecimal digits"},
        {"(\xff)", "not valid UTF-8 at byte 1"},
        {"(abcdefgh, \xff)", "not valid UTF-8 at byte 11"},
        {"(abcdefg\xc3\xa9"
         "abcdefgh\xc0)",
         "not valid UTF-8 at byte 18"},
    };
    for (const auto &testCase : cases) {
        const QString error = refusal(testCase.text);
        EXPECT_TRUE(error.contains(QString::fromUtf8(testCase.expected)))
            << testCase.text << " -> " << error.toStdString();
    }
}
