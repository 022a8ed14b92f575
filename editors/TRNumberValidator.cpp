#include "TRNumberValidator.h"

#include "TRNumberText.h"

#include <QRegularExpression>

TRNumberValidator::TRNumberValidator(Form form, QObject *parent) : QValidator(parent), m_form(form)
{
}

QValidator::State TRNumberValidator::validate(QString &input, int &) const
{
    return m_form == Form::Whole ? validateWhole(input) : validateReal(input);
}

QValidator::State TRNumberValidator::validateWhole(const QString &input) const
{
    static const QRegularExpression whole(QStringLiteral("^[+-]?([0-9]*)$"));
    const QRegularExpressionMatch match = whole.match(input);
    if (!match.hasMatch())
        return Invalid;
    const QString digits = match.captured(1);
    if (digits.isEmpty())
        return Intermediate;
    // Reading clamps at the ends of the range, so a text that reads back as something else is beyond it.
    const TRValue value = trLeadingWholeNumber(input);
    QString canonical = value.description();
    const bool negative = input.startsWith(u'-');
    QString written = digits;
    while (written.size() > 1 && written.startsWith(u'0'))
        written.remove(0, 1);
    if (negative && canonical.startsWith(u'-'))
        canonical.remove(0, 1);
    return canonical == written ? Acceptable : Invalid;
}

QValidator::State TRNumberValidator::validateReal(const QString &input) const
{
    static const QRegularExpression real(QRegularExpression::anchoredPattern(trRealNumberPattern()),
                                         QRegularExpression::CaseInsensitiveOption);
    if (input.isEmpty())
        return Intermediate;
    const QRegularExpressionMatch match =
        real.match(input, 0, QRegularExpression::PartialPreferCompleteMatch);
    if (match.hasMatch())
        return Acceptable;
    return match.hasPartialMatch() ? Intermediate : Invalid;
}
