#pragma once

#include "TRKey.h"
#include "TRValue.h"

#include <QString>
#include <vector>

class QMimeData;

// Keys as they travel through the clipboard and drag and drop: a sequence of values, each with the name it
// had in a dictionary or none (a list element, or a value that came without a name).
//
// On the way out the keys become a property list other programs read: a dictionary of the entries when
// every key has a distinct name, the value itself for a single element, else an array of the values. It
// goes as XML under the MIME type "application/x-plist" and as plain text; a value XML cannot carry
// (control characters, far dates) goes as a binary property list under that type and as no text. A
// private type keeps the exact sequence (names, elements) for this program.
//
// On the way in a property list whose top is a dictionary gives its entries; any other value is one
// unnamed item. Plain text may be a whole XML document or a fragment cut from one (a value, a run of
// values, or a run of key and value pairs), or OpenStep text starting with a brace or a parenthesis.
struct TRKeyPlistFragment
{
    struct Item
    {
        bool named = false;
        QString name;
        TRValue value;
    };
    std::vector<Item> items;

    static constexpr const char *kPlistMimeType = "application/x-plist";
    static constexpr const char *kKeysMimeType = "application/x-tamrix-keys";

    // The keys' names (dictionary entries only) and values, in the given order.
    static TRKeyPlistFragment fromKeys(const std::vector<TRKeyPtr> &keys);

    // The property list other programs are given (see above).
    TRValue publicValue() const;
    // Fills the MIME data with the private, the property-list and the text forms.
    void writeTo(QMimeData *data) const;
    // Reads the fragment from the MIME data: the private form, else the property-list type, else the
    // text. Answers false with a message when none of them holds a property list, or one too large.
    static bool readFrom(const QMimeData *data, TRKeyPlistFragment *fragment, QString *error);
    // Reads a property list given as text or bytes (see above).
    static bool readPlist(const QByteArray &bytes, TRKeyPlistFragment *fragment, QString *error);
    static bool hasFragmentFormat(const QMimeData *data);
};
