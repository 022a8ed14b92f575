#pragma once

#include "TRValue.h"

#include <QString>

// Turns a leaf value into a value of another leaf kind (Change Type): text and numbers, booleans and the
// numbers 0 and 1, dates and their ISO 8601 text, data and its UTF-8 text. Each conversion says whether it
// keeps everything, loses something (and what), or cannot be made for this value (and why).
class TRValueConversion final
{
public:
    // The leaf kinds a value can be changed to, in the order the menu shows them.
    enum class Kind
    {
        String,
        Number,
        Boolean,
        Date,
        Data
    };
    static constexpr int kKindCount = 5;

    enum class Outcome
    {
        Exact,     // the value changes kind and nothing else
        Lossy,     // made, but the message names what would change
        Impossible // not made: the message says why
    };
    struct Result
    {
        Outcome outcome = Outcome::Impossible;
        TRValue value; // none when impossible
        QString message;
    };

    // The kind of a leaf value (an integer and a real are both numbers); false for containers and none.
    static bool kindOf(const TRValue &value, Kind *kind);
    // Whether some values of the one kind convert to the other (a different kind).
    static bool exists(Kind from, Kind to);
    static Result convert(const TRValue &value, Kind to);

    // "2024-01-02T03:04:05Z", with milliseconds when the date has a fraction of a second; empty for a
    // date the calendar cannot show.
    static QString isoText(double secondsSince2001);
    // Reads "2024-01-02", "2024-01-02T03:04", "2024-01-02T03:04:05.250+02:00" and the like (a time
    // without a zone is taken as UTC).
    static bool readIsoText(const QString &text, double *secondsSince2001);
};
