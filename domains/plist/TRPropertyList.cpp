#include "TRPropertyList.h"

#include "TRBinaryPlistReader.h"
#include "TRBinaryPlistWriter.h"
#include "TRHexDigits.h"
#include "TRLimits.h"
#include "TROpenStepReader.h"
#include "TRPlistScalars.h"
#include "TRText.h"
#include "TRXmlPlistReader.h"
#include "TRXmlPlistWriter.h"

#include <QStringDecoder>

namespace {

// XML when the text starts (after a byte-order mark and white space) with a declaration, a DOCTYPE,
// a comment or the plist element; the OpenStep form otherwise.
bool looksLikeXml(const QByteArray &bytes)
{
    const QByteArray head = bytes.left(512);
    QString text;
    const auto *raw = reinterpret_cast<const unsigned char *>(head.constData());
    if (head.size() >= 2 && ((raw[0] == 0xfe && raw[1] == 0xff) || (raw[0] == 0xff && raw[1] == 0xfe))) {
        QStringDecoder decoder(raw[0] == 0xfe ? QStringConverter::Utf16BE : QStringConverter::Utf16LE);
        text = decoder.decode(head.sliced(2, (head.size() - 2) / 2 * 2));
    } else {
        text = QString::fromUtf8(head.startsWith("\xef\xbb\xbf") ? head.sliced(3) : head);
    }
    qsizetype i = 0;
    while (i < text.size() &&
           (text.at(i) == u' ' || text.at(i) == u'\t' || text.at(i) == u'\n' || text.at(i) == u'\r'))
        ++i;
    const QStringView rest = QStringView(text).sliced(i);
    if (rest.startsWith(u"<?xml") || rest.startsWith(u"<!") || rest.startsWith(u"<plist"))
        return true;
    // Another element name; "<dead beef>" is text-form data. An element name holds a letter beyond f.
    if (!rest.startsWith(u'<') || rest.size() < 2 || !rest.at(1).isLetter())
        return false;
    bool beyondHex = false;
    qsizetype k = 1;
    for (; k < rest.size() && rest.at(k).isLetterOrNumber(); ++k)
        beyondHex = beyondHex || trHexDigitValue(rest.at(k).unicode()) < 0;
    return beyondHex && k < rest.size() && (rest.at(k) == u'>' || rest.at(k) == u'/' || rest.at(k).isSpace());
}

// Refuses a list that holds more than kTRMaxExpandedValues values once expanded.
bool refuseExpansion(QString *error)
{
    if (error)
        *error =
            trFormat(trText("The property list holds more than %@ values once every shared value is counted "
                            "where it is used."),
                     {QString::number(kTRMaxExpandedValues)});
    return false;
}

bool refuseEmpty(QString *error)
{
    if (error)
        *error = trText("The file is empty.");
    return false;
}

} // namespace

bool TRPropertyList::read(const QByteArray &bytes, TRValue *value, Format *format, QString *error)
{
    *value = TRValue();
    if (bytes.isEmpty())
        return refuseEmpty(error);
    if (bytes.startsWith("bplist")) {
        if (format)
            *format = Format::Binary;
        return TRBinaryPlistReader(bytes).read(value, error);
    }
    if (looksLikeXml(bytes)) {
        if (format)
            *format = Format::Xml;
        return TRXmlPlistReader(bytes).read(value, error);
    }
    if (format)
        *format = Format::OpenStep;
    return TROpenStepReader(bytes).read(value, error);
}

bool TRPropertyList::readWithinBound(const QByteArray &bytes, TRValue *value, Format *format, QString *error)
{
    if (!bytes.startsWith("bplist")) {
        if (read(bytes, value, format, error) && fitsExpansionBound(*value, error))
            return true;
        *value = TRValue();
        return false;
    }
    if (format)
        *format = Format::Binary;
    TRBinaryPlistReader reader(bytes);
    if (!reader.read(value, error))
        return false;
    if (reader.expandedValues() <= kTRMaxExpandedValues)
        return true;
    *value = TRValue();
    return refuseExpansion(error);
}

bool TRPropertyList::readShape(const QByteArray &bytes, TRPlistShape *shape, Format *format, QString *error)
{
    *shape = TRPlistShape();
    bool ok = false;
    if (bytes.startsWith("bplist")) {
        if (format)
            *format = Format::Binary;
        ok = TRBinaryPlistReader(bytes).scan(shape, error);
    } else if (!bytes.isEmpty() && looksLikeXml(bytes)) {
        if (format)
            *format = Format::Xml;
        ok = TRXmlPlistReader(bytes).scan(shape, error);
    } else if (!bytes.isEmpty()) {
        if (format)
            *format = Format::OpenStep;
        ok = TROpenStepReader(bytes).scan(shape, error);
    } else {
        ok = refuseEmpty(error);
    }
    if (ok && shape->expandedValues > kTRMaxExpandedValues)
        ok = refuseExpansion(error);
    if (!ok)
        *shape = TRPlistShape();
    return ok;
}

bool TRPropertyList::fitsExpansionBound(const TRValue &value, QString *error)
{
    return value.expandedSize(kTRMaxExpandedValues + 1) <= kTRMaxExpandedValues || refuseExpansion(error);
}

bool TRPropertyList::canWriteXml(const TRValue &value)
{
    return TRXmlPlistWriter::canWrite(value);
}

bool TRPropertyList::writeXml(const TRValue &value, QByteArray *out, QString *error)
{
    return TRXmlPlistWriter().write(value, out, error);
}

bool TRPropertyList::writeBinary(const TRValue &value, QByteArray *out, QString *error,
                                 const BinaryOptions &options)
{
    return TRBinaryPlistWriter(options).write(value, out, error);
}

bool TRPropertyList::write(const TRValue &value, Format format, QByteArray *out, QString *error)
{
    switch (format) {
    case Format::Xml:
        return writeXml(value, out, error);
    case Format::Binary:
        return writeBinary(value, out, error);
    case Format::OpenStep:
        break;
    }
    if (error)
        *error = trText("Property lists are written as XML or binary, not in the text form.");
    return false;
}
