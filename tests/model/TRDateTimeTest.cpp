// Calendar arithmetic of property-list dates, far outside the years a QDateTime handles well.
#include "TRDateTime.h"

#include "TestSupport.h"

#include <cmath>
#include <gtest/gtest.h>

TEST(TRDateTime, DescriptionsOfKnownDates)
{
    EXPECT_EQ(trDateDescription(0), QStringLiteral("2001-01-01 00:00:00 +0000"));
    EXPECT_EQ(trDateDescription(-1), QStringLiteral("2000-12-31 23:59:59 +0000"));
    EXPECT_EQ(trDateDescription(-0.5), QStringLiteral("2000-12-31 23:59:59 +0000"));
    // 2024-01-02 03:04:05 UTC
    EXPECT_EQ(trDateDescription(725857445), QStringLiteral("2024-01-02 03:04:05 +0000"));
    // The year-0001 and year-4001 dates that real preference files hold.
    EXPECT_EQ(trDateDescription(-63113904000.0), QStringLiteral("0001-01-01 00:00:00 +0000"));
    EXPECT_EQ(trDateDescription(63113904000.0), QStringLiteral("4001-01-01 00:00:00 +0000"));
    EXPECT_EQ(trDateDescription(std::nan("")), QStringLiteral("nan"));
}

TEST(TRDateTime, DaysRoundTripOverCenturiesAndLeapRules)
{
    for (qint64 days = -1000000; days <= 3000000; days += 997) {
        qint64 year = 0;
        int month = 0;
        int day = 0;
        trCivilFromDays(days, &year, &month, &day);
        ASSERT_TRUE(trIsValidCivil(year, month, day, 0, 0, 0));
        ASSERT_EQ(trDaysFromCivil(year, month, day), days);
    }
    EXPECT_TRUE(trIsValidCivil(2000, 2, 29, 0, 0, 0));
    EXPECT_FALSE(trIsValidCivil(1900, 2, 29, 0, 0, 0));
    EXPECT_FALSE(trIsValidCivil(2023, 4, 31, 0, 0, 0));
    EXPECT_FALSE(trIsValidCivil(2023, 13, 1, 0, 0, 0));
    EXPECT_FALSE(trIsValidCivil(2023, 1, 1, 24, 0, 0));
}

TEST(TRDateTime, CivilTimeRoundTripKeepsFractions)
{
    const double samples[] = {0.0, 0.25, -0.25, 725943845.125, -63113904000.0, 2.5e11, -2.5e11};
    for (double sample : samples) {
        const auto civil = trCivilFromDate(sample);
        ASSERT_TRUE(civil.has_value());
        EXPECT_EQ(trDateFromCivil(*civil), sample);
    }
    EXPECT_FALSE(trCivilFromDate(1e300).has_value());
}
