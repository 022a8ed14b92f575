#pragma once

#include "TRPlistShape.h"
#include "TRValue.h"

#include <QByteArray>
#include <QString>

// Reading and writing property-list files: XML 1.0 property lists, binary "bplist00" files and the
// OpenStep text form as GNUstep writes it. Reading detects the format from the content, is strict (every
// malformed input is refused with a message naming its position) and bounded (nesting deeper than
// kTRMaxNestingDepth is refused; shared binary references become shared values).
//
// A dictionary that holds the same key twice is refused in every format, with the position of the
// second occurrence: neither value may be dropped without the user knowing.
// XML carries dates as whole seconds of years 1 to 9999; writing XML drops a fraction of a second (as
// the platform does), and canWriteXml() answers false for dates outside those years.
class TRPropertyList
{
public:
    enum class Format
    {
        Xml,
        Binary,
        OpenStep
    };

    struct BinaryOptions
    {
        // A constructor rather than a member initializer, so that `= {}` can serve as a default argument
        // inside this class.
        BinaryOptions() : shareEqualScalars(true) {}
        // Writes equal strings and numbers once and refers to them from every place they occur.
        bool shareEqualScalars;
    };

    // Parses a whole file. On failure answers false, leaves *value as none and sets *error to a message
    // that names the position (line and column for text, byte offset for binary).
    static bool read(const QByteArray &bytes, TRValue *value, Format *format = nullptr,
                     QString *error = nullptr);

    // read() and then fitsExpansionBound(), with the same refusals and messages; a binary list is counted
    // while it is read rather than walked again.
    static bool readWithinBound(const QByteArray &bytes, TRValue *value, Format *format = nullptr,
                                QString *error = nullptr);

    // What read() and then fitsExpansionBound() would say of the bytes, with the same refusals and
    // messages, and the shape of the list, without building its values.
    static bool readShape(const QByteArray &bytes, TRPlistShape *shape, Format *format = nullptr,
                          QString *error = nullptr);

    // Whether the value holds at most kTRMaxExpandedValues values once each shared one is counted at
    // every place it is used. Binary files share containers, so a few hundred bytes can stand for 2^40
    // values: whatever expands a value (a key tree, XML, JSON, a comparison) asks this first, and
    // otherwise refuses it with the message set here.
    static bool fitsExpansionBound(const TRValue &value, QString *error = nullptr);

    // True when every string and key of the value can be carried by XML 1.0 (and it holds no UID).
    static bool canWriteXml(const TRValue &value);
    // The platform's XML layout. Answers false with an error when canWriteXml() says no.
    static bool writeXml(const TRValue &value, QByteArray *out, QString *error = nullptr);
    // Binary "bplist00". Answers false with an error only for a value that has no binary form (none).
    static bool writeBinary(const TRValue &value, QByteArray *out, QString *error = nullptr,
                            const BinaryOptions &options = {});
    static bool write(const TRValue &value, Format format, QByteArray *out, QString *error = nullptr);
};
