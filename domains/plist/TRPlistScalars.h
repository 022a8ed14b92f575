#pragma once

#include "TRValue.h"

#include <QByteArray>
#include <QString>
#include <optional>
#include <string_view>

// The text forms of property-list scalars shared by the readers and writers: strict parsing of integers,
// reals and dates that never depends on the process locale, base64, and the shortest exact text of a real.
class TRPlistScalars
{
public:
    // A decimal integer (or hexadecimal after "0x"), with an optional sign and surrounding white space,
    // from -2^63 to 2^64-1; values above 2^63-1 come back unsigned. nullopt for anything else.
    static std::optional<TRValue> parseInteger(std::string_view text);
    // A decimal real with optional exponent, or nan, inf, infinity (any case, optional sign); surrounding
    // white space allowed. nullopt for junk and for finite texts beyond the range of a double.
    static std::optional<double> parseReal(std::string_view text);
    // "YYYY-MM-DDThh:mm:ssZ", optionally with a fraction of a second before the Z.
    static std::optional<double> parseIsoDate(std::string_view text);
    // "YYYY-MM-DD hh:mm:ss +hhmm" (any number of year digits, optional minus sign).
    static std::optional<double> parseDescriptionDate(std::string_view text);
    // True when the date has an ISO form with a four-digit year (years 1 to 9999).
    static bool hasIsoForm(double date);
    // Appends the ISO form, whole seconds (a fraction is dropped).
    static void appendIsoDate(QByteArray *out, double date);
    // Shortest text that reads back to the same double; "nan", "+infinity", "-infinity".
    static void appendReal(QByteArray *out, double number);

    // Base64 with white space anywhere; padding may be left out. nullopt for other characters, text
    // after padding, or a dangling sixth of a byte.
    static std::optional<QByteArray> decodeBase64(std::string_view text);
    // Base64 in lines of lineLength characters, each line preceded by indent and followed by a newline.
    static void appendBase64Lines(QByteArray *out, const QByteArray &bytes, int lineLength,
                                  const QByteArray &indent);

    // UTF-8 to text, keeping a leading U+FEFF (QString::fromUtf8 drops it as a byte-order mark).
    static QString textFromUtf8(const char *data, qsizetype size);

    // Offset of the first byte that does not belong to well-formed UTF-8, or -1.
    static qsizetype firstInvalidUtf8(const char *data, qsizetype size);
    // 1-based line and column (in characters) of a byte offset into UTF-8 text.
    static void lineAndColumn(const char *data, qsizetype size, qsizetype offset, qsizetype *line,
                              qsizetype *column);
    // The same for an offset into text in UTF-16 units.
    static void lineAndColumn(QStringView text, qsizetype offset, qsizetype *line, qsizetype *column);
};
