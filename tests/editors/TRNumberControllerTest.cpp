#include "TRNumberController.h"

#include "TRNumberText.h"
#include "TRNumberValidator.h"

#include <QButtonGroup>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <memory>

namespace {

// The number sheet's controls as the sheet lays them out.
struct NumberEditorTest : ::testing::Test
{
    NumberEditorTest()
    {
        for (const char *identifier : {"1", "2", "3"}) {
            auto *page = new QWidget;
            page->setProperty(TRNumberController::kTabIdentifierProperty, QString::fromLatin1(identifier));
            tabs.addTab(page, QString::fromLatin1(identifier));
        }
        integerValue = new QLineEdit(tabs.widget(0));
        realValue = new QLineEdit(tabs.widget(1));
        yes = new QRadioButton(tabs.widget(2));
        no = new QRadioButton(tabs.widget(2));
        booleanValue.addButton(yes, 0);
        booleanValue.addButton(no, 1);
        controller = std::make_unique<TRNumberController>(&tabs, integerValue, realValue, &booleanValue);
    }

    QTabWidget tabs;
    QLineEdit *integerValue;
    QLineEdit *realValue;
    QRadioButton *yes;
    QRadioButton *no;
    QButtonGroup booleanValue;
    std::unique_ptr<TRNumberController> controller;
};

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNan = std::numeric_limits<double>::quiet_NaN();

TEST_F(NumberEditorTest, EveryValueConfirmedUnchanged)
{
    const struct
    {
        TRValue value;
        const char *tab;
        const char *whole;
        const char *real;
        bool truth;
        TRValue back;
    } cases[] = {
        {TRValue::fromInteger(0), "1", "0", "0", false, TRValue::fromInteger(0)},
        {TRValue::fromInteger(42), "1", "42", "42", true, TRValue::fromInteger(42)},
        {TRValue::fromInteger(-1), "1", "-1", "-1", true, TRValue::fromInteger(-1)},
        {TRValue::fromInteger(2147483648), "1", "2147483648", "2147483648", true,
         TRValue::fromInteger(2147483648)},
        {TRValue::fromInteger(std::numeric_limits<qint64>::max()), "1", "9223372036854775807",
         "9223372036854775808", true, TRValue::fromInteger(std::numeric_limits<qint64>::max())},
        {TRValue::fromInteger(std::numeric_limits<qint64>::min()), "1", "-9223372036854775808",
         "-9223372036854775808", true, TRValue::fromInteger(std::numeric_limits<qint64>::min())},
        {TRValue::fromUnsigned(std::numeric_limits<quint64>::max()), "1", "18446744073709551615",
         "18446744073709551616", true, TRValue::fromUnsigned(std::numeric_limits<quint64>::max())},
        {TRValue::fromReal(0.1), "2", "0", "0.1", true, TRValue::fromReal(0.1)},
        {TRValue::fromReal(2.5), "2", "2", "2.5", true, TRValue::fromReal(2.5)},
        {TRValue::fromReal(3.0), "1", "3", "3", true, TRValue::fromReal(3.0)},
        {TRValue::fromReal(3.00000001), "2", "3", "3.00000001", true, TRValue::fromReal(3.00000001)},
        {TRValue::fromReal(1e19), "1", "10000000000000000000", "1e+19", true, TRValue::fromReal(1e19)},
        {TRValue::fromReal(1e300), "2", "18446744073709551615", "1e+300", true, TRValue::fromReal(1e300)},
        {TRValue::fromReal(-1e300), "2", "-9223372036854775808", "-1e+300", true, TRValue::fromReal(-1e300)},
        {TRValue::fromReal(-0.0), "1", "0", "-0", false, TRValue::fromReal(-0.0)},
        {TRValue::fromReal(kInf), "2", "18446744073709551615", "inf", true, TRValue::fromReal(kInf)},
        {TRValue::fromReal(-kInf), "2", "-9223372036854775808", "-inf", true, TRValue::fromReal(-kInf)},
        {TRValue::fromReal(kNan), "2", "0", "nan", true, TRValue::fromReal(kNan)},
        {TRValue::fromBool(true), "3", "1", "1", true, TRValue::fromBool(true)},
        {TRValue::fromBool(false), "3", "0", "0", false, TRValue::fromBool(false)},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.value.description().toStdString());
        controller->setValue(c.value);
        EXPECT_EQ(controller->selectedTab(), QString::fromLatin1(c.tab));
        EXPECT_EQ(integerValue->text(), QString::fromLatin1(c.whole));
        EXPECT_EQ(realValue->text(), QString::fromLatin1(c.real));
        EXPECT_EQ(yes->isChecked(), c.truth);
        EXPECT_EQ(no->isChecked(), !c.truth);
        EXPECT_TRUE(integerValue->hasAcceptableInput());
        EXPECT_TRUE(realValue->hasAcceptableInput());
        const TRValue back = controller->value();
        EXPECT_EQ(back.kind(), c.back.kind());
        EXPECT_EQ(back, c.back) << back.description().toStdString();
        EXPECT_EQ(back.isUnsignedInteger(), c.back.isUnsignedInteger());
        if (back.isReal()) {
            EXPECT_EQ(std::signbit(back.toReal()), std::signbit(c.back.toReal()));
        }
    }
    // A whole-valued real opens on the whole-number tab; typing there gives the integer typed.
    controller->setValue(TRValue::fromReal(28.0));
    integerValue->setText(QStringLiteral("64"));
    EXPECT_EQ(controller->value(), TRValue::fromInteger(64));
    integerValue->setText(QStringLiteral("28"));
    EXPECT_EQ(controller->value(), TRValue::fromReal(28.0)) << "the form as it was filled";
}

TEST_F(NumberEditorTest, TheSelectedTabDecidesTheKind)
{
    controller->setValue(TRValue::fromInteger(42));
    ASSERT_TRUE(controller->selectTab(QStringLiteral("3")));
    no->setChecked(true);
    EXPECT_EQ(controller->value(), TRValue::fromBool(false));
    yes->setChecked(true);
    EXPECT_EQ(controller->value(), TRValue::fromBool(true));
    controller->selectTab(QStringLiteral("2"));
    EXPECT_EQ(controller->value(), TRValue::fromReal(42.0));

    controller->setValue(TRValue::fromReal(2.5));
    controller->selectTab(QStringLiteral("1"));
    EXPECT_EQ(controller->value(), TRValue::fromInteger(2));
    controller->setValue(TRValue::fromReal(-2.5));
    controller->selectTab(QStringLiteral("1"));
    EXPECT_EQ(controller->value(), TRValue::fromInteger(-2));

    controller->setValue(TRValue::fromBool(true));
    controller->selectTab(QStringLiteral("1"));
    EXPECT_EQ(controller->value(), TRValue::fromInteger(1));
    EXPECT_FALSE(controller->selectTab(QStringLiteral("4")));
    EXPECT_EQ(controller->selectedTab(), u"1");
}

TEST_F(NumberEditorTest, TextThatIsNotWhollyANumberReadsItsLeadingNumber)
{
    controller->selectTab(QStringLiteral("1"));
    const struct
    {
        const char16_t *text;
        TRValue value;
    } wholes[] = {
        {u"12abc", TRValue::fromInteger(12)},
        {u"abc", TRValue::fromInteger(0)},
        {u"", TRValue::fromInteger(0)},
        {u"  -7 ", TRValue::fromInteger(-7)},
        {u"+8", TRValue::fromInteger(8)},
        {u"-", TRValue::fromInteger(0)},
        {u"3.9", TRValue::fromInteger(3)},
        {u"99999999999999999999999", TRValue::fromUnsigned(std::numeric_limits<quint64>::max())},
        {u"-99999999999999999999999", TRValue::fromInteger(std::numeric_limits<qint64>::min())},
    };
    for (const auto &w : wholes) {
        integerValue->setText(QString::fromUtf16(w.text));
        EXPECT_EQ(controller->value(), w.value) << integerValue->text().toStdString();
    }

    controller->selectTab(QStringLiteral("2"));
    const struct
    {
        const char16_t *text;
        double value;
    } reals[] = {
        {u"1.5e", 1.5},        {u" -3.25x", -3.25}, {u"abc", 0.0},      {u"", 0.0},          {u".5", 0.5},
        {u"7.", 7.0},          {u"1e999", kInf},    {u"-1e999", -kInf}, {u"1e-400", 0},      {u"INF", kInf},
        {u"-Infinity", -kInf}, {u"NaN", kNan},      {u"2,5", 2.0},      {u"1e-310", 1e-310},
    };
    for (const auto &r : reals) {
        realValue->setText(QString::fromUtf16(r.text));
        EXPECT_EQ(controller->value(), TRValue::fromReal(r.value)) << realValue->text().toStdString();
    }
}

TEST_F(NumberEditorTest, FieldsTakeOnlyNumberText)
{
    integerValue->clear();
    QTest::keyClicks(integerValue, QStringLiteral("-1a2.3"));
    EXPECT_EQ(integerValue->text(), u"-123");
    integerValue->clear();
    QTest::keyClicks(integerValue, QStringLiteral("184467440737095516159"));
    EXPECT_EQ(integerValue->text(), u"18446744073709551615") << "a digit beyond the range is refused";
    integerValue->clear();
    QTest::keyClicks(integerValue, QStringLiteral("-92233720368547758089"));
    EXPECT_EQ(integerValue->text(), u"-9223372036854775808");

    realValue->clear();
    QTest::keyClicks(realValue, QStringLiteral("-1.5e+3x,"));
    EXPECT_EQ(realValue->text(), u"-1.5e+3");
    realValue->clear();
    QTest::keyClicks(realValue, QStringLiteral("infinity"));
    EXPECT_EQ(realValue->text(), u"infinity");
    realValue->clear();
    QTest::keyClicks(realValue, QStringLiteral("nax"));
    EXPECT_EQ(realValue->text(), u"na");
    EXPECT_FALSE(realValue->hasAcceptableInput());
}

TEST(TRNumberValidator, AcceptsOnlyNumbersInRange)
{
    using State = QValidator::State;
    const struct
    {
        TRNumberValidator::Form form;
        const char16_t *text;
        State state;
    } cases[] = {
        {TRNumberValidator::Form::Whole, u"", State::Intermediate},
        {TRNumberValidator::Form::Whole, u"-", State::Intermediate},
        {TRNumberValidator::Form::Whole, u"+", State::Intermediate},
        {TRNumberValidator::Form::Whole, u"0", State::Acceptable},
        {TRNumberValidator::Form::Whole, u"-0", State::Acceptable},
        {TRNumberValidator::Form::Whole, u"007", State::Acceptable},
        {TRNumberValidator::Form::Whole, u"18446744073709551615", State::Acceptable},
        {TRNumberValidator::Form::Whole, u"0018446744073709551615", State::Acceptable},
        {TRNumberValidator::Form::Whole, u"18446744073709551616", State::Invalid},
        {TRNumberValidator::Form::Whole, u"99999999999999999999", State::Invalid},
        {TRNumberValidator::Form::Whole, u"-9223372036854775808", State::Acceptable},
        {TRNumberValidator::Form::Whole, u"-9223372036854775809", State::Invalid},
        {TRNumberValidator::Form::Whole, u"1a", State::Invalid},
        {TRNumberValidator::Form::Whole, u" 1", State::Invalid},
        {TRNumberValidator::Form::Whole, u"1.0", State::Invalid},
        {TRNumberValidator::Form::Real, u"", State::Intermediate},
        {TRNumberValidator::Form::Real, u"-", State::Intermediate},
        {TRNumberValidator::Form::Real, u".", State::Intermediate},
        {TRNumberValidator::Form::Real, u"1e", State::Intermediate},
        {TRNumberValidator::Form::Real, u"1e-", State::Intermediate},
        {TRNumberValidator::Form::Real, u"in", State::Intermediate},
        {TRNumberValidator::Form::Real, u"-.5", State::Acceptable},
        {TRNumberValidator::Form::Real, u"1.5E+3", State::Acceptable},
        {TRNumberValidator::Form::Real, u"NaN", State::Acceptable},
        {TRNumberValidator::Form::Real, u"-infinity", State::Acceptable},
        {TRNumberValidator::Form::Real, u"1e999", State::Acceptable},
        {TRNumberValidator::Form::Real, u"infx", State::Invalid},
        {TRNumberValidator::Form::Real, u"1,5", State::Invalid},
        {TRNumberValidator::Form::Real, u"0x10", State::Invalid},
    };
    for (const auto &c : cases) {
        const TRNumberValidator validator(c.form);
        QString text = QString::fromUtf16(c.text);
        int position = int(text.size());
        EXPECT_EQ(validator.validate(text, position), c.state) << text.toStdString();
    }
}

TEST(TRNumberText, ShortestRealTextReadsBackExactly)
{
    for (const double value : {0.1, 0.2, 1.0 / 3, 2.5, 1e-310, 5e-324, 1.7976931348623157e308, -123456.789,
                               9007199254740993.0, 0.30000000000000004}) {
        const QString text = trShortestRealText(value);
        EXPECT_EQ(trLeadingReal(text), value) << text.toStdString();
    }
}

} // namespace
