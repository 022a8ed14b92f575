#pragma once

#include "TRValue.h"

#include <QByteArray>
#include <QString>

// Writes the platform's XML property-list layout: declaration, the plist DOCTYPE, tab indentation,
// base64 data, dates in UTC with whole seconds, reals in the shortest exact form. A carriage return is
// written as a character reference so that reading gives it back.
class TRXmlPlistWriter
{
public:
    // True when every string and key can be carried by XML 1.0, every date has a four-digit year and
    // the value holds no UID and no none.
    static bool canWrite(const TRValue &value);
    static bool canWriteText(QStringView text);

    bool write(const TRValue &value, QByteArray *out, QString *error);

private:
    void writeValue(const TRValue &value, int level);
    void indent(int level);
    void appendEscaped(QStringView text);
    void appendElement(const char *tag, QStringView text, int level);

    QByteArray m_out;
};
