// The key search's row test against its plain rule: the name, and with values looked at the name, one
// space and the value's text joined. The matcher leaves out making value texts that cannot hold the
// searched text; it must decide every row as the plain rule does.
#include "TRKey.h"
#include "TRKeyMatcher.h"

#include <gtest/gtest.h>

namespace {

bool plainRule(const TRKey &key, const QString &text, bool prefixOnly, bool lookInValues)
{
    const QString name = key.nameDescription();
    const qsizetype at = name.indexOf(text, 0, Qt::CaseInsensitive);
    if (at == 0 || (at > 0 && !prefixOnly))
        return true;
    if (!lookInValues)
        return false;
    const QString joined = name + QLatin1Char(' ') + key.valueDescription();
    return prefixOnly ? joined.startsWith(text, Qt::CaseInsensitive)
                      : joined.contains(text, Qt::CaseInsensitive);
}

} // namespace

TEST(KeyMatcher, DecidesEveryRowAsThePlainRule)
{
    const QString domain = QStringLiteral("d");
    TRDictionary entries;
    entries.insert(QStringLiteral("when"), TRValue::fromDate(818035200.5));
    entries.insert(QStringLiteral("far"), TRValue::fromDate(1e300)); // shown as a number
    entries.insert(QStringLiteral("blob"), TRValue::fromData(QByteArray::fromHex("0a1bfe")));
    entries.insert(QStringLiteral("big"), TRValue::fromData(QByteArray(70, '\xab')));
    entries.insert(QStringLiteral("n"), TRValue::fromInteger(-42));
    entries.insert(QStringLiteral("r"), TRValue::fromReal(1.5e-7));
    entries.insert(QStringLiteral("inf"), TRValue::fromReal(-std::numeric_limits<double>::infinity()));
    entries.insert(QStringLiteral("yes"), TRValue::fromBool(true));
    entries.insert(QStringLiteral("s"), TRValue::fromString(QStringLiteral("Date 2026")));
    entries.insert(QStringLiteral("list"),
                   TRValue::fromArray({TRValue::fromInteger(7), TRValue::fromData({})}));
    const TRKeyPtr root = TRKey::create(TRValue(), TRValue::fromDictionary(entries), nullptr, domain);
    std::vector<TRKeyPtr> keys;
    for (const TRKeyPtr &key : root->children()) {
        keys.push_back(key);
        for (const TRKeyPtr &element : key->children())
            keys.push_back(element);
    }

    // Texts found in a value alone, across the joining space from either side, in no value, and with
    // letters a date or data text holds in another case.
    const char *const texts[] = {"2026",       "06 ",    "when 2026", "en 20",   "far 1E+300", "1e+3",
                                 "blob <0A1B", "ob <0a", "<0a1b",     "FE>",     "ab…",        "70 BYTES>",
                                 "big <",      "n -4",   "-42",       "r 1.5e-", "INF -iNf",   "-inf",
                                 "yes y",      "s date", "1 <>",      "#1 <",    "7",          "item #0 7",
                                 "w",          "x y z",  " ",         "nope"};
    int found = 0;
    for (const bool prefixOnly : {false, true}) {
        for (const bool lookInValues : {false, true}) {
            for (const char *raw : texts) {
                const QString text = QString::fromUtf8(raw);
                const TRKeyMatcher matcher(text, prefixOnly, lookInValues);
                for (const TRKeyPtr &key : keys) {
                    const bool expected = plainRule(*key, text, prefixOnly, lookInValues);
                    EXPECT_EQ(matcher.matches(*key), expected)
                        << raw << " in " << key->nameDescription().toStdString() << " prefix " << prefixOnly
                        << " values " << lookInValues;
                    found += expected ? 1 : 0;
                }
            }
        }
    }
    // The table reaches matches through values, not only misses.
    EXPECT_GT(found, 40);
}
