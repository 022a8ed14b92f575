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
    static const QRegularExpression whole(QStringLiteral("^([+-]?)0*([0-9]*)$"));
    const QRegularExpressionMatch match = whole.match(input);
    if (!match.hasMatch())
        return Invalid;
    const QString digits = match.captured(2);
    if (digits.isEmpty())
        return input.contains(u'0') ? Acceptable : Intermediate;
    // Equally long digit strings compare like their numbers.
    const QString limit = match.captured(1) == u"-" ? QStringLiteral("9223372036854775808")
                                                    : QStringLiteral("18446744073709551615");
    if (digits.size() > limit.size() || (digits.size() == limit.size() && digits > limit))
        return Invalid;
    return Acceptable;
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
