#pragma once

#include "TRValue.h"

#include <QByteArray>
#include <QString>

// Reads the OpenStep text form as GNUstep writes it: quoted and unquoted strings with escapes, ( ) arrays,
// { ; } dictionaries, <hex> and <[base64]> data, the typed forms <*I..>, <*R..>, <*BY>/<*BN> and
// <*D..>, comments, and the brace-less dictionary of strings files. Text is UTF-8 or UTF-16 with a
// byte-order mark.
class TROpenStepReader
{
public:
    explicit TROpenStepReader(const QByteArray &bytes);

    bool read(TRValue *value, QString *error);

private:
    bool readValue(int depth, TRValue *value);
    bool readString(QString *text);
    bool readQuoted(QString *text);
    bool readAngled(TRValue *value);
    bool readEntries(int depth, QChar terminator, TRValue *value);
    bool skipSpace();
    bool atEnd() const { return m_pos >= m_text.size(); }
    QChar peek() const { return atEnd() ? QChar() : m_text.at(m_pos); }
    bool fail(qsizetype position, const QString &reason);

    QByteArray m_bytes;
    QString m_text;
    qsizetype m_pos = 0;
    QString m_error;
};
