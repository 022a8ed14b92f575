// String values on both sides of the length up to which a value keeps its text in its own block: what
// they answer, how copies share them, and their round trips through both writers and readers.
#include "PlistTestSupport.h"
#include "plist/TRPropertyList.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <vector>

using namespace plisttest;

namespace {

constexpr qsizetype kLimit = TRValue::kInlineStringLimit;

QString ascii(qsizetype length)
{
    QString text;
    for (qsizetype i = 0; i < length; ++i)
        text.append(QLatin1Char(char('a' + i % 26)));
    return text;
}

struct TextCase
{
    const char *label;
    QString text;
};

std::vector<TextCase> textCases()
{
    const QString pair = QString::fromUtf8("\xf0\x9f\x98\x80"); // one character, two code units
    return {
        {"empty", QString()},
        {"one", QStringLiteral("x")},
        {"limit - 1", ascii(kLimit - 1)},
        {"limit", ascii(kLimit)},
        {"limit + 1", ascii(kLimit + 1)},
        {"four times the limit", ascii(4 * kLimit)},
        {"pair ending at the limit", ascii(kLimit - 2) + pair},
        {"pair ending past the limit", ascii(kLimit - 1) + pair},
        {"embedded nul", QStringLiteral("a") + QChar(0) + QStringLiteral("b")},
        {"Latin-1 at the limit", ascii(kLimit - 1) + QChar(0xe9)},
        {"non-Latin-1", QString::fromUtf8("\xce\xb1\xce\xb2\xce\xb3 \xe4\xb8\xad")},
    };
}

} // namespace

TEST(StringValue, AnswersItsTextAndComparesByTextAtEveryLength)
{
    for (const TextCase &c : textCases()) {
        SCOPED_TRACE(c.label);
        const TRValue value = TRValue::fromString(c.text);
        EXPECT_TRUE(value.isString());
        EXPECT_EQ(value.toString(), c.text);
        EXPECT_EQ(value.stringView(), QStringView(c.text));
        EXPECT_EQ(value.description(), c.text);
        EXPECT_EQ(value.toString().size(), c.text.size());

        const TRValue copy = value;
        EXPECT_TRUE(copy.isSameObject(value));
        EXPECT_EQ(copy.identity(), value.identity());
        EXPECT_EQ(copy.stringView().data(), value.stringView().data());

        const TRValue same = TRValue::fromString(QString(c.text.data(), c.text.size()));
        EXPECT_FALSE(same.isSameObject(value));
        EXPECT_EQ(same, value);
        EXPECT_NE(TRValue::fromString(c.text + QChar(u'z')), value);
        if (!c.text.isEmpty()) {
            QString changed = c.text;
            changed[changed.size() - 1] = QChar(u'?');
            EXPECT_NE(TRValue::fromString(changed), value);
        }
        EXPECT_NE(TRValue::fromData(c.text.toUtf8()), value);

        const bool latin1 =
            std::all_of(c.text.cbegin(), c.text.cend(), [](QChar u) { return u.unicode() < 0x100; });
        if (latin1) {
            const QByteArray bytes = c.text.toLatin1();
            EXPECT_EQ(TRValue::fromLatin1(QLatin1StringView(bytes)), value);
        }
    }
}

TEST(StringValue, RoundTripsThroughBothFormats)
{
    TRArray strings;
    TRDictionary keyed;
    for (const TextCase &c : textCases()) {
        strings.append(TRValue::fromString(c.text));
        // Equal texts made apart, written once when equal scalars are shared.
        strings.append(TRValue::fromString(QString(c.text.data(), c.text.size())));
        keyed.insert(c.text, TRValue::fromString(c.text));
    }
    const TRValue value = dict({{QStringLiteral("strings"), TRValue::fromArray(strings)},
                                {QStringLiteral("keyed"), TRValue::fromDictionary(keyed)}});
    for (const bool share : {true, false}) {
        SCOPED_TRACE(share ? "binary, sharing" : "binary");
        TRPropertyList::BinaryOptions options;
        options.shareEqualScalars = share;
        QByteArray bytes;
        ASSERT_TRUE(TRPropertyList::writeBinary(value, &bytes, nullptr, options));
        EXPECT_EQ(accepted(bytes), value);
    }
    for (const TextCase &c : textCases()) {
        SCOPED_TRACE(c.label);
        const TRValue one = TRValue::fromString(c.text);
        QByteArray xml;
        if (c.text.contains(QChar(0))) {
            EXPECT_FALSE(TRPropertyList::writeXml(one, &xml));
            continue;
        }
        ASSERT_TRUE(TRPropertyList::writeXml(one, &xml));
        EXPECT_EQ(accepted(xml), one);
    }
}
