// Change type through the real main window: which kinds the menu offers, exact changes as one undo step,
// the question before a lossy one and the refusal of an impossible one.
#include "KeyTestSupport.h"
#include "TRMainWindow.h"
#include "TRUndoManager.h"

#include <QAction>
#include <QMenu>

using namespace Qt::StringLiterals;

namespace {

const QString kDomain = QStringLiteral("org.example.types");

TRValue sample()
{
    TRDictionary top;
    top.insert(QStringLiteral("answer"), TRValue::fromString(QStringLiteral("42")));
    top.insert(QStringLiteral("padded"), TRValue::fromString(QStringLiteral(" 7 ")));
    top.insert(QStringLiteral("word"), TRValue::fromString(QStringLiteral("abc")));
    top.insert(QStringLiteral("flag"), TRValue::fromBool(true));
    top.insert(QStringLiteral("list"), TRValue::fromArray({TRValue::fromInteger(5)}));
    return TRValue::fromDictionary(std::move(top));
}

class ChangeType : public KeyTest
{
protected:
    void SetUp() override
    {
        KeyTest::SetUp();
        startShowing(kDomain, sample());
    }
    TRValue valueOf(const char *name) const
    {
        return rootValue().toDictionary().value(QString::fromLatin1(name));
    }
};

const char *const kActions[] = {"actionChangeTypeString", "actionChangeTypeNumber", "actionChangeTypeBoolean",
                                "actionChangeTypeDate", "actionChangeTypeData"};

} // namespace

TEST_F(ChangeType, TheMenuOffersTheKindsThereIsAConversionTo)
{
    const struct
    {
        QStringList rows;
        QList<bool> enabled; // String, Number, Boolean, Date, Data
    } cases[] = {
        {{u"answer"_s}, {false, true, true, true, true}},
        {{u"flag"_s}, {true, true, false, false, false}},
        {{u"list"_s, u"Item #0"_s}, {true, false, true, false, false}},
        {{u"list"_s}, {false, false, false, false, false}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.rows.join(u'/').toStdString());
        selectKey(c.rows);
        for (int kind = 0; kind < 5; ++kind)
            EXPECT_EQ(action(kActions[kind])->isEnabled(), c.enabled[kind]) << kActions[kind];
        const auto *menu = m_interface->mainWindow()->findChild<QMenu *>(QStringLiteral("menuChangeType"));
        EXPECT_EQ(menu->menuAction()->isEnabled(), c.enabled.contains(true));
    }
}

TEST_F(ChangeType, ExactChangeIsOneUndoStepAndKeepsThePlace)
{
    selectKey({QStringLiteral("answer")});
    trigger("actionChangeTypeNumber");
    EXPECT_EQ(valueOf("answer"), TRValue::fromInteger(42));
    EXPECT_EQ(keysOf(rootValue()), keysOf(sample()));
    EXPECT_TRUE(alertTitles().isEmpty());
    EXPECT_TRUE(domain(kDomain)->modified());
    EXPECT_EQ(undoNames(), QStringList{QStringLiteral("Change type")});
    trigger("actionUndo");
    EXPECT_EQ(rootValue(), sample());
    EXPECT_EQ(redoNames(), QStringList{QStringLiteral("Change type")});

    // A list element keeps its place too.
    selectKey({QStringLiteral("list"), QStringLiteral("Item #0")});
    trigger("actionChangeTypeString");
    EXPECT_EQ(valueOf("list"), TRValue::fromArray({TRValue::fromString(QStringLiteral("5"))}));
}

TEST_F(ChangeType, LossyChangeAsksFirstAndImpossibleOneChangesNothing)
{
    const struct
    {
        const char *key;
        const char *action;
        int answer;
        QString alert;
        TRValue expected;
    } cases[] = {
        {"padded", "actionChangeTypeNumber", TRAlert::kDefault, QStringLiteral("About to change the value"),
         TRValue::fromString(QStringLiteral(" 7 "))},
        {"padded", "actionChangeTypeNumber", TRAlert::kAlternate, QStringLiteral("About to change the value"),
         TRValue::fromInteger(7)},
        {"word", "actionChangeTypeNumber", TRAlert::kDefault, QStringLiteral("The type cannot be changed"),
         TRValue::fromString(QStringLiteral("abc"))},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.key);
        TRAlert::resetScript();
        selectKey({QString::fromLatin1(c.key)});
        TRAlert::setNextAnswer(c.answer);
        const qsizetype steps = undoNames().size();
        trigger(c.action);
        settle();
        ASSERT_EQ(alertTitles(), QStringList{c.alert});
        // The alert names the value it is about.
        const QString original = sample().toDictionary().value(QString::fromLatin1(c.key)).toString();
        EXPECT_TRUE(TRAlert::shownAlerts().first().message.contains(original));
        EXPECT_EQ(valueOf(c.key), c.expected);
        EXPECT_EQ(undoNames().size(), steps + (c.answer == TRAlert::kAlternate ? 1 : 0));
    }
}
