#include "TRTokenField.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

QStringList list(std::initializer_list<const char16_t *> items)
{
    QStringList result;
    for (const char16_t *item : items)
        result.append(QString::fromUtf16(item));
    return result;
}

// Types text that QTest::keyClicks cannot map to keys (characters beyond ASCII).
void typeText(QWidget *widget, const QString &text)
{
    for (const QChar character : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(character));
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(character));
        QApplication::sendEvent(widget, &release);
    }
}

// A field that shows every token in upper case, so the display differs visibly from the token.
struct TokenFieldTest : ::testing::Test
{
    TokenFieldTest()
    {
        field.setDisplayHook([](const QString &token) { return token.toUpper(); });
        field.resize(300, 80);
    }
    TRTokenField field;
};

TEST(TRTokenFieldSeparators, WhiteSpaceButNotLineBreaks)
{
    for (const char16_t c : {u' ', u'\t', u'\u00a0', u'\u1680', u'\u2000', u'\u2003', u'\u200a', u'\u202f',
                             u'\u205f', u'\u3000'})
        EXPECT_TRUE(TRTokenField::isSeparator(QChar(c))) << int(c);
    for (const char16_t c :
         {u'\n', u'\r', u'\v', u'\f', u'\u0085', u'\u2028', u'\u2029', u'\u200b', u'a', u'.'})
        EXPECT_FALSE(TRTokenField::isSeparator(QChar(c))) << int(c);
}

TEST_F(TokenFieldTest, TokenBeingTypedIsListedRawAndShownThroughTheHookOnceSeparated)
{
    QTest::keyClicks(&field, QStringLiteral("1g2"));
    EXPECT_EQ(field.tokens(), list({u"1g2"}));
    EXPECT_EQ(field.displayedTokens(), list({u"1g2"}));
    QTest::keyClicks(&field, QStringLiteral(" "));
    EXPECT_EQ(field.tokens(), list({u"1g2"}));
    EXPECT_EQ(field.displayedTokens(), list({u"1G2"}));
    typeText(&field, QStringLiteral("ab\u00a0cd\u3000ef"));
    EXPECT_EQ(field.tokens(), list({u"1g2", u"ab", u"cd", u"ef"}));
    EXPECT_EQ(field.displayedTokens(), list({u"1G2", u"AB", u"CD", u"ef"}));
}

TEST_F(TokenFieldTest, RepeatedSeparatorsMakeNoEmptyTokens)
{
    QTest::keyClicks(&field, QStringLiteral("  a   b   "));
    EXPECT_EQ(field.tokens(), list({u"a", u"b"}));
    // Tabs and line breaks arrive by pasting: tabs separate, line breaks stay in their token.
    QApplication::clipboard()->setText(QStringLiteral("c\t\td\ne  "));
    QTest::keyClick(&field, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(field.tokens(), list({u"a", u"b", u"c", u"d\ne"}));
}

TEST_F(TokenFieldTest, ChangeSignalOnEveryChangeOfText)
{
    QSignalSpy changes(&field, &TRTokenField::textChanged);
    QTest::keyClicks(&field, QStringLiteral("ab c"));
    EXPECT_EQ(changes.count(), 4);
    QTest::keyClick(&field, Qt::Key_Backspace);
    EXPECT_EQ(changes.count(), 5);
    EXPECT_EQ(field.tokens(), list({u"ab"}));

    changes.clear();
    field.setTokens(list({u"x", u"y"}));
    EXPECT_EQ(changes.count(), 1);
    field.setTokens(list({u"x", u"y"}));
    EXPECT_EQ(changes.count(), 1) << "setting the same list changes nothing";
    field.setTokens({});
    EXPECT_EQ(changes.count(), 2);
}

TEST_F(TokenFieldTest, SetTokensReplacesEverythingAndKeepsTokensAsGiven)
{
    QTest::keyClicks(&field, QStringLiteral("typed"));
    field.setTokens(list({u"a b", u" ", u"c"}));
    EXPECT_EQ(field.tokens(), list({u"a b", u" ", u"c"}));
    EXPECT_EQ(field.displayedTokens(), list({u"A B", u" ", u"C"}));
    // Typing afterwards appends a new token.
    QTest::keyClicks(&field, QStringLiteral("d"));
    EXPECT_EQ(field.tokens(), list({u"a b", u" ", u"c", u"d"}));
}

TEST_F(TokenFieldTest, BackspaceAndDeleteJoinNeighbours)
{
    QTest::keyClicks(&field, QStringLiteral("ab cd"));
    QTest::keyClick(&field, Qt::Key_Left);
    QTest::keyClick(&field, Qt::Key_Left);
    QTest::keyClick(&field, Qt::Key_Backspace);
    EXPECT_EQ(field.tokens(), list({u"abcd"}));
    // The cursor sits between b and c: a separator splits the token there again.
    QTest::keyClicks(&field, QStringLiteral(" "));
    EXPECT_EQ(field.tokens(), list({u"ab", u"cd"}));
    EXPECT_EQ(field.displayedTokens(), list({u"AB", u"cd"}));
    // Back at the end of "ab", Delete removes the separator after it.
    QTest::keyClick(&field, Qt::Key_Left);
    QTest::keyClick(&field, Qt::Key_Delete);
    EXPECT_EQ(field.tokens(), list({u"abcd"}));
}

TEST_F(TokenFieldTest, ArrowKeysMoveBetweenTokensWithoutChangingThem)
{
    field.setTokens(list({u"aa", u"bb", u"cc"}));
    QSignalSpy changes(&field, &TRTokenField::textChanged);
    QTest::keyClick(&field, Qt::Key_Home);
    EXPECT_EQ(field.displayedTokens(), list({u"aa", u"BB", u"CC"}));
    QTest::keyClicks(&field, QStringLiteral("x"));
    EXPECT_EQ(field.tokens(), list({u"xaa", u"bb", u"cc"}));
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(&field, Qt::Key_Right);
    EXPECT_EQ(field.displayedTokens(), list({u"XAA", u"bb", u"CC"}));
    QTest::keyClick(&field, Qt::Key_End);
    QTest::keyClicks(&field, QStringLiteral("dd"));
    EXPECT_EQ(field.tokens(), list({u"xaa", u"bb", u"cc", u"dd"}));
    EXPECT_EQ(changes.count(), 3);
}

TEST_F(TokenFieldTest, ReadOnlyFieldTakesNoInput)
{
    field.setTokens(list({u"a"}));
    field.setReadOnly(true);
    QSignalSpy changes(&field, &TRTokenField::textChanged);
    QTest::keyClicks(&field, QStringLiteral("bc d"));
    QTest::keyClick(&field, Qt::Key_Backspace);
    QTest::mouseClick(field.viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(field.tokens(), list({u"a"}));
    EXPECT_EQ(changes.count(), 0);
    field.setTokens(list({u"b"}));
    EXPECT_EQ(field.tokens(), list({u"b"}));
}

TEST_F(TokenFieldTest, ClickingATokenOpensItForEditing)
{
    field.setTokens(list({u"aa", u"bb"}));
    field.show();
    QTest::mouseClick(field.viewport(), Qt::LeftButton, {}, QPoint(6, 6));
    EXPECT_EQ(field.displayedTokens(), list({u"aa", u"BB"}));
    // Keys go to the token's editor when the window is active, else to the field, which passes them on.
    QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : &field;
    QTest::keyClicks(target, QStringLiteral("z"));
    EXPECT_EQ(field.tokens(), list({u"aaz", u"bb"}));
}

TEST_F(TokenFieldTest, ManyTokensWrapAndScroll)
{
    QStringList many;
    for (int i = 0; i < 5000; ++i)
        many.append(QString::number(i));
    field.setTokens(many);
    EXPECT_EQ(field.tokens(), many);
    EXPECT_GT(field.verticalScrollBar()->maximum(), 0);
    QTest::keyClicks(&field, QStringLiteral("end"));
    EXPECT_EQ(field.tokens().size(), 5001);
    EXPECT_EQ(field.verticalScrollBar()->value(), field.verticalScrollBar()->maximum());
}

TEST(TRTokenFieldLayout, SizeHintsAreUsable)
{
    TRTokenField field;
    EXPECT_GT(field.sizeHint().width(), field.minimumSizeHint().width());
    EXPECT_GE(field.sizeHint().height(), field.minimumSizeHint().height());
    EXPECT_GT(field.minimumSizeHint().height(), field.fontMetrics().height());
}

} // namespace

namespace {

// Tab moves through the field as one control, in both directions, and a token typed in it is ended.
TEST(TRTokenFieldFocus, TabEntersAndLeavesTheWholeField)
{
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *before = new QLineEdit;
    auto *field = new TRTokenField;
    auto *after = new QLineEdit;
    layout->addWidget(before);
    layout->addWidget(field);
    layout->addWidget(after);
    field->setDisplayHook([](const QString &token) { return token.toUpper(); });
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    before->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), before);

    QTest::keyClick(before, Qt::Key_Tab);
    QWidget *editor = QApplication::focusWidget();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->parentWidget(), field->viewport());
    QTest::keyClicks(editor, QStringLiteral("ab"));
    EXPECT_EQ(field->displayedTokens(), list({u"ab"}));

    // Moving between tokens keeps the focus inside the field.
    QTest::keyClicks(editor, QStringLiteral(" cd"));
    QSignalSpy focusChanges(qApp, &QApplication::focusChanged);
    QTest::keyClick(editor, Qt::Key_Left);
    QTest::keyClick(editor, Qt::Key_Left);
    QTest::keyClick(editor, Qt::Key_Left);
    EXPECT_EQ(QApplication::focusWidget(), editor);
    for (const QList<QVariant> &change : std::as_const(focusChanges)) {
        auto *now = change.at(1).value<QWidget *>();
        EXPECT_TRUE(now == field || now == editor) << "focus passed through another control";
    }
    EXPECT_EQ(field->displayedTokens(), list({u"ab", u"CD"}));
    QTest::keyClick(editor, Qt::Key_Delete);
    EXPECT_EQ(field->tokens(), list({u"abcd"}));

    QTest::keyClick(editor, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), after);
    EXPECT_EQ(field->displayedTokens(), list({u"ABCD"}));

    QTest::keyClick(after, Qt::Key_Backtab);
    editor = QApplication::focusWidget();
    EXPECT_EQ(editor->parentWidget(), field->viewport());
    QTest::keyClick(editor, Qt::Key_Backtab);
    EXPECT_EQ(QApplication::focusWidget(), before);
    EXPECT_EQ(field->tokens(), list({u"abcd"}));
}

} // namespace

namespace {

TEST_F(TokenFieldTest, CopyPasteAndClearWorkOnTheWholeLine)
{
    field.setTokens(list({u"ab", u"c"}));
    EXPECT_EQ(field.displayedText(), u"AB C");
    QSignalSpy changes(&field, &TRTokenField::textChanged);
    field.appendText(QStringLiteral("d e\tf"));
    EXPECT_EQ(field.tokens(), list({u"ab", u"c", u"d", u"e", u"f"}));
    EXPECT_EQ(field.displayedText(), u"AB C D E f");
    // Appending while a token is being typed starts a new token.
    field.appendText(QStringLiteral("g"));
    EXPECT_EQ(field.tokens(), list({u"ab", u"c", u"d", u"e", u"f", u"g"}));
    EXPECT_EQ(changes.count(), 2);
    field.clear();
    EXPECT_TRUE(field.tokens().isEmpty());
    EXPECT_EQ(changes.count(), 3);

    field.setTokens(list({u"x"}));
    field.setReadOnly(true);
    field.appendText(QStringLiteral("y"));
    field.clear();
    EXPECT_EQ(field.tokens(), list({u"x"}));
}

} // namespace
