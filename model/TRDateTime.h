#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

// Calendar arithmetic for property-list dates: seconds since 2001-01-01T00:00:00Z as a double, in the
// proleptic Gregorian calendar, UTC, for any year (no dependency on the process time zone or on the
// range of QDateTime).
struct TRCivilTime
{
    qint64 year = 2001;
    int month = 1;       // 1..12
    int day = 1;         // 1..31
    int hour = 0;        // 0..23
    int minute = 0;      // 0..59
    int second = 0;      // 0..59
    double fraction = 0; // [0, 1)
};

// Whole days between 1970-01-01 and 2001-01-01.
inline constexpr qint64 kTRDaysFrom1970To2001 = 11323;

// The civil time of a date; nullopt for nan and for values whose year would not fit in 64 bits.
std::optional<TRCivilTime> trCivilFromDate(double secondsSince2001);

// Seconds since 2001 of a civil time (no range check on the fields beyond what the caller made sure of).
double trDateFromCivil(const TRCivilTime &civil);

// Days since 1970-01-01 of a proleptic Gregorian date, and back.
qint64 trDaysFromCivil(qint64 year, int month, int day);
void trCivilFromDays(qint64 days, qint64 *year, int *month, int *day);

// True when the fields form a real date and time (month length and leap years included).
bool trIsValidCivil(qint64 year, int month, int day, int hour, int minute, int second);

// "2024-01-02 03:04:05 +0000": the description of a date (fractions of a second are cut off).
QString trDateDescription(double secondsSince2001);
