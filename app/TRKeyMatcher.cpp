#include "TRKeyMatcher.h"

#include "TRKey.h"

namespace {

// Every character a date's text can hold ("2026-12-07 19:05:41 +0000", or a number for a date out of
// range), and every character a number's text can hold, folded to lower case.
constexpr QStringView kDateAndNumberCharacters = u"0123456789-+:. eainf";
// A data value's text: "<0a1b2c3d 4e5f…  123 bytes>".
constexpr QStringView kDataCharacters = u"0123456789abcdef<> \u2026ytes";

// For each position of the text, whether the text from there to its end holds only such characters.
QList<bool> tailsWithin(const QString &text, QStringView allowed)
{
    QList<bool> tails(text.size() + 1, true);
    for (qsizetype i = text.size() - 1; i >= 0; --i)
        tails[i] = tails[i + 1] && allowed.contains(text.at(i).toCaseFolded());
    return tails;
}

} // namespace

TRKeyMatcher::TRKeyMatcher(const QString &text, bool prefixOnly, bool lookInValues)
    : m_text(text), m_prefixOnly(prefixOnly), m_lookInValues(lookInValues),
      m_dateTail(tailsWithin(text, kDateAndNumberCharacters)), m_dataTail(tailsWithin(text, kDataCharacters))
{
}

bool TRKeyMatcher::valueMayMatch(const TRKey &key, const QString &name) const
{
    const TRValue &value = key.value();
    const QList<bool> *tails = nullptr;
    if (key.isCompound() || value.isBoolean())
        return true;
    if (value.isDate() || value.isNumber())
        tails = &m_dateTail;
    else if (value.isData())
        tails = &m_dataTail;
    else
        return true;
    // Where the value's text would begin within the searched text: at 0 (the value alone holds it), or
    // after a space whose left part ends the name.
    if (!m_prefixOnly && tails->at(0))
        return true;
    for (qsizetype space = m_text.indexOf(u' '); space >= 0; space = m_text.indexOf(u' ', space + 1)) {
        const QStringView before = QStringView(m_text).left(space);
        const bool joins = m_prefixOnly ? before.compare(name, Qt::CaseInsensitive) == 0
                                        : name.endsWith(before, Qt::CaseInsensitive);
        if (joins && tails->at(space + 1))
            return true;
    }
    return false;
}

bool TRKeyMatcher::matches(const TRKey &key) const
{
    const QString name = key.nameDescription();
    const qsizetype at = name.indexOf(m_text, 0, Qt::CaseInsensitive);
    if (at == 0 || (at > 0 && !m_prefixOnly))
        return true;
    if (!m_lookInValues || (m_prefixOnly && name.size() >= m_text.size()))
        return false;
    if (!valueMayMatch(key, name))
        return false;
    // The name, one space and the value, as one text.
    const QString joined = name + QLatin1Char(' ') + key.valueDescription();
    return m_prefixOnly ? joined.startsWith(m_text, Qt::CaseInsensitive)
                        : joined.contains(m_text, Qt::CaseInsensitive);
}
