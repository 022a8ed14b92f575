#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

class TRTokenField;

// The editor of binary data: the same bytes shown three times, one token per byte, as two hexadecimal
// digits, as a decimal number 0 to 255 and as one character. The user edits the hexadecimal or the
// decimal field; each change rewrites the other two fields at once, never the one being typed in. The
// character field is read-only. The bytes read back always come from the hexadecimal field.
//
// There is no invalid input: a token's characters that are not digits are dropped, a token without
// digits stands for 0, a hexadecimal token keeps its first two digits and a decimal token its first three,
// reduced modulo 256. Each separated token is shown in the form it is read in.
class TRAsciiHexConverter final : public QObject
{
    Q_OBJECT

public:
    // The fields stay owned by their sheet and must outlive the converter. The converter makes white space
    // the separator, installs its display hooks, makes the character field read-only and listens to the
    // change signals of the hexadecimal and decimal fields.
    TRAsciiHexConverter(TRTokenField *hexField, TRTokenField *decField, TRTokenField *asciiField,
                        QObject *parent = nullptr);
    ~TRAsciiHexConverter() override;

    // Fills the three fields from the bytes.
    void setData(const QByteArray &bytes);
    // Gives the keyboard focus to the hexadecimal field, the first one a user changes.
    void beginEditing();
    // One byte per token of the hexadecimal field: the value of the two digits the token shows.
    QByteArray data() const;

    // A hexadecimal token's normalised form: its hexadecimal digits (case kept), "0" in front up to two,
    // the first two kept: "F" gives "0F", "1g2" gives "12", "abc" gives "ab", "" gives "00".
    static QString makeHexStringFrom(const QString &token);
    // A decimal token's normalised form: its first three decimal digits ("0" when none) modulo 256, without
    // leading zeros: "007" gives "7", "300" gives "44", "1234" gives "123", "-5" gives "5".
    static QString makeDecStringFrom(const QString &token);
    // Whether every character is a hexadecimal (decimal) digit; yes for the empty text.
    static bool isValidHex(const QString &text);
    static bool isValidDec(const QString &text);
    // The character token of a byte: "." below 0x20, else the byte read as ISO 8859-1.
    static QString asciiToken(int byte);

    // Rewrites the decimal field from the hexadecimal one.
    void hexToDec();
    // Rewrites the hexadecimal field from the decimal one.
    void decToHex();
    // Rewrites the character field from the hexadecimal one.
    void hexToAscii();
    // hexToAscii(), then hexToDec().
    void hexToOthers();
    // decToHex(), then hexToAscii().
    void decToOthers();

    // Reacts to a change of a field's text: the other fields follow the hexadecimal or decimal field.
    // Changes that arrive while the converter writes the fields itself are ignored.
    void controlTextDidChange(TRTokenField *field);
    // The text shown for a separated token of the field: its normalised form in the hexadecimal and
    // decimal fields, the token itself elsewhere and while the converter writes the fields.
    QString displayString(const TRTokenField *field, const QString &token) const;

    TRTokenField *hexField() const { return m_hexField; }
    TRTokenField *decField() const { return m_decField; }
    TRTokenField *asciiField() const { return m_asciiField; }

private:
    // The byte each token of the hexadecimal field stands for.
    QList<int> hexBytes() const;

    // Guarded: a sheet may destroy its fields before the converter.
    QPointer<TRTokenField> m_hexField;
    QPointer<TRTokenField> m_decField;
    QPointer<TRTokenField> m_asciiField;
    bool m_settingData = false;
};
