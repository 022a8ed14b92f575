#pragma once

#include <QValidator>

// Lets a text field take only text that forms a number of the number editor: a whole number from -2^63
// to 2^64-1, or a real number (digits with an optional fraction and exponent, inf or nan). Partial
// input on the way there (a lone sign, "1e", "in") is let through as intermediate.
class TRNumberValidator final : public QValidator
{
    Q_OBJECT

public:
    enum class Form
    {
        Whole,
        Real
    };

    explicit TRNumberValidator(Form form, QObject *parent = nullptr);

    State validate(QString &input, int &position) const override;

private:
    State validateWhole(const QString &input) const;
    State validateReal(const QString &input) const;

    Form m_form;
};
