#pragma once

#include "TRKey.h"
#include "TRValue.h"

#include <QString>
#include <QStringList>

// One change of a domain's key reached by its path (the names Copy Key Path writes, a list element by its
// position), as the command line asks for it. It is made on a domain controller over the contents,
// through the controller's own key edits, so that it changes the tree exactly as the window would.
struct TRKeyPathEdit
{
    enum class Kind
    {
        // The key takes the value: replaced in its place, or added. Missing dictionaries on the way are
        // made; a list position equal to the list's length appends.
        Write,
        Delete,
        // A dictionary key takes another name, keeping its place.
        Rename,
        // The values of an array are appended to the list at the path (made when missing).
        ArrayAdd,
        // The entries of a dictionary are stored in the dictionary at the path (made when missing).
        DictAdd
    };
    Kind kind = Kind::Write;
    QStringList names;
    TRValue value;
    QString newName;
};

// The key the names reach from the root; null when one of them names nothing (a list position is
// written as Copy Key Path writes it: "0", never "00" or "+0").
TRKeyPtr trKeyAtPath(const TRKeyPtr &root, const QStringList &names);

// What the domain's contents (a dictionary) become after the edit; false with the reason, changing
// nothing, when the path names nothing the edit can act on.
bool trApplyKeyPathEdit(const QString &domain, const TRValue &contents, const TRKeyPathEdit &edit,
                        TRValue *result, QString *error);
