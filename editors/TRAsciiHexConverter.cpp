#include "TRAsciiHexConverter.h"

#include "TRDigits.h"
#include "TRTokenField.h"

namespace {

template<typename Test>
bool everyCharacter(const QString &text, Test test)
{
    for (const QChar character : text) {
        if (!test(character.unicode()))
            return false;
    }
    return true;
}

} // namespace

TRAsciiHexConverter::TRAsciiHexConverter(TRTokenField *hexField, TRTokenField *decField,
                                         TRTokenField *asciiField, QObject *parent)
    : QObject(parent), m_hexField(hexField), m_decField(decField), m_asciiField(asciiField)
{
    // The token fields separate at white space by their nature.
    if (m_asciiField)
        m_asciiField->setReadOnly(true);
    for (TRTokenField *field : {m_hexField.data(), m_decField.data()}) {
        if (!field)
            continue;
        field->setDisplayHook([this, field](const QString &token) { return displayString(field, token); });
        connect(field, &TRTokenField::textChanged, this, [this, field] { controlTextDidChange(field); });
    }
}

TRAsciiHexConverter::~TRAsciiHexConverter()
{
    // The fields may outlive the converter; their hooks must not call into it then.
    for (TRTokenField *field : {m_hexField.data(), m_decField.data()}) {
        if (field)
            field->setDisplayHook({});
    }
}

void TRAsciiHexConverter::setData(const QByteArray &bytes)
{
    m_settingData = true;
    QStringList hex;
    hex.reserve(bytes.size());
    for (const char byte : bytes)
        hex.append(hexToStr(static_cast<unsigned char>(byte)));
    if (m_hexField)
        m_hexField->setTokens(hex);
    hexToOthers();
    m_settingData = false;
}

void TRAsciiHexConverter::beginEditing()
{
    if (m_hexField)
        m_hexField->setFocus(Qt::OtherFocusReason);
}

QByteArray TRAsciiHexConverter::data() const
{
    const QList<int> bytes = hexBytes();
    QByteArray result(bytes.size(), '\0');
    for (qsizetype i = 0; i < bytes.size(); ++i)
        result[i] = static_cast<char>(bytes.at(i));
    return result;
}

QString TRAsciiHexConverter::makeHexStringFrom(const QString &token)
{
    QString digits;
    for (const QChar character : token) {
        if (isHexDigit(character.unicode()))
            digits.append(character);
        if (digits.size() == 2)
            return digits;
    }
    while (digits.size() < 2)
        digits.prepend(u'0');
    return digits;
}

QString TRAsciiHexConverter::makeDecStringFrom(const QString &token)
{
    int value = 0;
    int digits = 0;
    for (const QChar character : token) {
        if (digits == 3)
            break;
        if (isDecDigit(character.unicode())) {
            value = 10 * value + decDigitValue(character.unicode());
            ++digits;
        }
    }
    return QString::number(value % 256);
}

bool TRAsciiHexConverter::isValidHex(const QString &text)
{
    return everyCharacter(text, [](int character) { return isHexDigit(character); });
}

bool TRAsciiHexConverter::isValidDec(const QString &text)
{
    return everyCharacter(text, [](int character) { return isDecDigit(character); });
}

QString TRAsciiHexConverter::asciiToken(int byte)
{
    const int code = byte & 0xFF;
    return code < 0x20 ? QStringLiteral(".") : QString(QChar(code));
}

QList<int> TRAsciiHexConverter::hexBytes() const
{
    const QStringList tokens = m_hexField ? m_hexField->tokens() : QStringList();
    QList<int> bytes;
    bytes.reserve(tokens.size());
    for (const QString &token : tokens)
        bytes.append(strToHex(makeHexStringFrom(token)));
    return bytes;
}

void TRAsciiHexConverter::hexToDec()
{
    QStringList dec;
    for (const int byte : hexBytes())
        dec.append(QString::number(byte));
    if (m_decField)
        m_decField->setTokens(dec);
}

void TRAsciiHexConverter::decToHex()
{
    const QStringList tokens = m_decField ? m_decField->tokens() : QStringList();
    QStringList hex;
    hex.reserve(tokens.size());
    for (const QString &token : tokens)
        hex.append(hexToStr(makeDecStringFrom(token).toInt()));
    if (m_hexField)
        m_hexField->setTokens(hex);
}

void TRAsciiHexConverter::hexToAscii()
{
    QStringList ascii;
    for (const int byte : hexBytes())
        ascii.append(asciiToken(byte));
    if (m_asciiField)
        m_asciiField->setTokens(ascii);
}

void TRAsciiHexConverter::hexToOthers()
{
    hexToAscii();
    hexToDec();
}

void TRAsciiHexConverter::decToOthers()
{
    decToHex();
    hexToAscii();
}

void TRAsciiHexConverter::controlTextDidChange(TRTokenField *field)
{
    if (field != m_hexField && field != m_decField)
        return;
    if (m_settingData)
        return;
    m_settingData = true;
    if (field == m_hexField)
        hexToOthers();
    else
        decToOthers();
    m_settingData = false;
}

QString TRAsciiHexConverter::displayString(const TRTokenField *field, const QString &token) const
{
    if (m_settingData)
        return token;
    if (field == m_hexField)
        return makeHexStringFrom(token);
    if (field == m_decField)
        return makeDecStringFrom(token);
    return token;
}
