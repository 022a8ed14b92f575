#include "TRFindAllSearch.h"

#include "TRText.h"

TRFindAllSearch::TRFindAllSearch(std::vector<std::pair<QString, TRValue>> domains, const QString &text,
                                 bool inValues)
    : m_domains(std::move(domains)), m_text(text), m_inValues(inValues)
{
    m_finished = m_text.isEmpty();
}

QString TRFindAllSearch::valueText(const TRValue &value)
{
    constexpr qsizetype kShown = 200;
    QString text;
    if (value.isBoolean())
        text = value.toBool() ? trText("YES") : trText("NO");
    else if (value.isCompound())
        text = trFormat(
            trText("%d sub-items"),
            {QString::number(value.isArray() ? value.toArray().size() : value.toDictionary().size())});
    else
        text = value.description();
    return text.size() > kShown ? text.left(kShown) + QChar(0x2026) : text;
}

bool TRFindAllSearch::matches(const QString &name, bool isEntry, const TRValue &value) const
{
    // A list element's position is no name to find.
    if (isEntry && name.contains(m_text, Qt::CaseInsensitive))
        return true;
    if (!m_inValues || value.isCompound())
        return false;
    if (value.isString())
        return value.stringView().contains(m_text, Qt::CaseInsensitive);
    return valueText(value).contains(m_text, Qt::CaseInsensitive);
}

bool TRFindAllSearch::step(int budget, QList<Match> *found)
{
    while (!m_finished && budget > 0) {
        if (m_stack.empty()) {
            if (m_domain >= m_domains.size()) {
                m_finished = true;
                break;
            }
            m_stack.push_back({m_domains[m_domain].second, 0});
            m_names.clear();
            continue;
        }
        Frame &top = m_stack.back();
        const bool isDictionary = top.container.isDictionary();
        const qsizetype size =
            isDictionary ? top.container.toDictionary().size() : top.container.toArray().size();
        if (top.next >= size) {
            m_stack.pop_back();
            if (!m_names.isEmpty())
                m_names.removeLast();
            if (m_stack.empty())
                ++m_domain;
            continue;
        }
        --budget;
        const qsizetype at = top.next++;
        const QString name = isDictionary ? top.container.toDictionary().keyAt(at) : QString::number(at);
        const TRValue value =
            isDictionary ? top.container.toDictionary().valueAt(at) : top.container.toArray().at(at);
        if (matches(name, isDictionary, value)) {
            QStringList names = m_names;
            names.append(name);
            found->append({m_domains[m_domain].first, names, valueText(value)});
        }
        if (value.isCompound()) {
            m_stack.push_back({value, 0});
            m_names.append(name);
        }
    }
    return m_finished;
}
