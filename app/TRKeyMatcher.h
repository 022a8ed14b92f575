#pragma once

#include <QList>
#include <QString>

class TRKey;

// The key search's test of one row: the text within the key's name (at its start with KeySearch on), or,
// with LookInValues on, within the name, one space and the value's text joined. The value's text is made
// only when the searched text could be found in it: dates, data and numbers are shown with few characters,
// and a text holding any other cannot match them.
class TRKeyMatcher
{
public:
    TRKeyMatcher(const QString &text, bool prefixOnly, bool lookInValues);

    bool matches(const TRKey &key) const;

private:
    // Whether the value's text of a key of that kind is worth making for a key of that name.
    bool valueMayMatch(const TRKey &key, const QString &name) const;

    QString m_text;
    bool m_prefixOnly;
    bool m_lookInValues;
    // Per end of the text: whether the text from that position on is made only of characters a date, a
    // number or a data value can show (a text made of such characters from position i on, for each i).
    QList<bool> m_dateTail;
    QList<bool> m_dataTail;
};
