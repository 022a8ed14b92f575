#include "TRDateTime.h"

#include <cmath>

qint64 trDaysFromCivil(qint64 year, int month, int day)
{
    // Howard Hinnant's days_from_civil, on 64-bit years.
    year -= month <= 2 ? 1 : 0;
    const qint64 era = (year >= 0 ? year : year - 399) / 400;
    const qint64 yearOfEra = year - era * 400;
    const qint64 dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const qint64 dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

void trCivilFromDays(qint64 days, qint64 *year, int *month, int *day)
{
    days += 719468;
    const qint64 era = (days >= 0 ? days : days - 146096) / 146097;
    const qint64 dayOfEra = days - era * 146097;
    const qint64 yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const qint64 dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const qint64 monthIndex = (5 * dayOfYear + 2) / 153;
    *day = int(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
    *month = int(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
    *year = yearOfEra + era * 400 + (*month <= 2 ? 1 : 0);
}

std::optional<TRCivilTime> trCivilFromDate(double secondsSince2001)
{
    if (!std::isfinite(secondsSince2001))
        return std::nullopt;
    const double whole = std::floor(secondsSince2001);
    // About 2.9e11 years either way: far beyond any real date, and safely inside 64-bit day counts.
    if (std::fabs(whole) > 9.0e18)
        return std::nullopt;
    const auto seconds = static_cast<qint64>(whole);
    qint64 days = seconds / 86400;
    qint64 secondOfDay = seconds % 86400;
    if (secondOfDay < 0) {
        secondOfDay += 86400;
        --days;
    }
    TRCivilTime civil;
    trCivilFromDays(days + kTRDaysFrom1970To2001, &civil.year, &civil.month, &civil.day);
    civil.hour = int(secondOfDay / 3600);
    civil.minute = int(secondOfDay / 60 % 60);
    civil.second = int(secondOfDay % 60);
    civil.fraction = secondsSince2001 - whole;
    return civil;
}

double trDateFromCivil(const TRCivilTime &civil)
{
    const qint64 days = trDaysFromCivil(civil.year, civil.month, civil.day) - kTRDaysFrom1970To2001;
    const qint64 seconds = days * 86400 + civil.hour * 3600 + civil.minute * 60 + civil.second;
    return double(seconds) + civil.fraction;
}

bool trIsValidCivil(qint64 year, int month, int day, int hour, int minute, int second)
{
    if (month < 1 || month > 12 || day < 1 || hour < 0 || hour > 23 || minute < 0 || minute > 59 ||
        second < 0 || second > 59)
        return false;
    static constexpr int lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    const int length = month == 2 && leap ? 29 : lengths[month - 1];
    return day <= length;
}

QString trDateDescription(double secondsSince2001)
{
    const auto civil = trCivilFromDate(secondsSince2001);
    if (!civil)
        return QString::number(secondsSince2001);
    const QString year = civil->year < 0 ? QStringLiteral("-%1").arg(-civil->year, 4, 10, QLatin1Char('0'))
                                         : QStringLiteral("%1").arg(civil->year, 4, 10, QLatin1Char('0'));
    return QStringLiteral("%1-%2-%3 %4:%5:%6 +0000")
        .arg(year)
        .arg(civil->month, 2, 10, QLatin1Char('0'))
        .arg(civil->day, 2, 10, QLatin1Char('0'))
        .arg(civil->hour, 2, 10, QLatin1Char('0'))
        .arg(civil->minute, 2, 10, QLatin1Char('0'))
        .arg(civil->second, 2, 10, QLatin1Char('0'));
}
