#pragma once

#include "TRKeySet.h"
#include "TRPlistShape.h"
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
    // Checks the whole text exactly as read() does, refusing the same files with the same messages, but
    // builds no values.
    bool scan(TRPlistShape *shape, QString *error);

private:
    bool run(TRValue *value, QString *error);
    bool readValue(int depth, TRValue *value);
    // A null text only checks the string and moves past it.
    bool readString(QString *text);
    // Appends the decoded characters to the text.
    bool readQuoted(QString *text);
    // Scanning: moves past a dictionary key as readString() does and adds it to the level's keys;
    // *repeated answers whether an equal key was there (then m_repeatedKey holds it).
    bool scanKey(int depth, bool *repeated);
    bool readAngled(TRValue *value);
    bool readEntries(int depth, QChar terminator, TRValue *value);
    bool skipSpace();
    bool atEnd() const { return m_pos >= m_text.size(); }
    QChar peek() const { return atEnd() ? QChar() : m_text.at(m_pos); }
    QChar peekAt(qsizetype at) const { return at < m_text.size() ? m_text.at(at) : QChar(); }
    bool fail(qsizetype position, const QString &reason);

    QByteArray m_bytes;
    QString m_text;
    qsizetype m_pos = 0;
    QString m_error;
    // Scanning: values are checked and counted, not kept. Every value read tells its kind and, for a
    // container, its number of elements or entries.
    bool m_scanOnly = false;
    TRValue::Kind m_lastKind = TRValue::Kind::None;
    qsizetype m_lastCount = 0;
    quint64 m_values = 0;
    TRKeySet m_keys;
    QString m_decodedKey;
    QString m_repeatedKey;
};
