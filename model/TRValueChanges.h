#pragma once

#include "TRValue.h"

#include <QList>
#include <QString>
#include <QStringList>

// One key-level change from one value to another: a key (or list element) added, removed, or holding
// another value. Dictionaries and lists are walked into (lists by position); any other difference is the
// whole value's.
struct TRValueChange
{
    enum class Kind
    {
        Added,
        Removed,
        Changed
    };
    Kind kind = Kind::Changed;
    // The key's names from the top level down (trKeyPath writes them as a path).
    QStringList names;
    TRValue before; // none when added
    TRValue after;  // none when removed
};

// Every change from older to newer: the newer keys in their order, then the keys removed.
QList<TRValueChange> trValueChanges(const TRValue &older, const TRValue &newer);

// A value as GNUstep's OpenStep text writes it, on one line: strings quoted, typed scalars as <*I5>,
// <*R1.5>, <*BY>, <*D2024-01-02 03:04:05 +0000>, data as <0fab>, (lists) and {dictionaries}.
// Strings are quoted always, or (as GNUstep's defaults read prints them) only when they hold anything but
// ASCII letters and digits.
enum class TROpenStepQuoting
{
    Always,
    WhereNeeded
};
QString trOpenStepText(const TRValue &value, TROpenStepQuoting quoting = TROpenStepQuoting::Always);
