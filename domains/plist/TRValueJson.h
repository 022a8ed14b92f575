#pragma once

#include "TRValue.h"

#include <QByteArray>

// The canonical JSON form of a value, which tests and tools use to compare property lists made by
// different programs: {"string": ...}, {"integer": ...}, {"real": ...}, {"boolean": ...}, {"date": ...},
// {"data": "hex"}, {"array": [...]}, {"dict": {...}} in the container's own order, {"uid": ...}.
class TRValueJson
{
public:
    // Compact JSON in UTF-8; a none value gives {"none": null}.
    static QByteArray toJson(const TRValue &value);

private:
    static void append(QByteArray *out, const TRValue &value);
    static void appendText(QByteArray *out, QStringView text);
    static void appendNumber(QByteArray *out, double number);
};
