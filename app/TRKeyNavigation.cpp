#include "TRKeyNavigation.h"

#include <algorithm>
#include <utility>

namespace {

const QString kDomain = QStringLiteral("Domain");
const QString kDomains = QStringLiteral("Domains");
const QString kOrder = QStringLiteral("Order");
const QString kSelected = QStringLiteral("Selected");
const QString kExpanded = QStringLiteral("Expanded");

QStringList stringsFrom(const TRValue &value, qsizetype limit)
{
    QStringList strings;
    if (!value.isArray())
        return strings;
    for (const TRValue &element : value.toArray()) {
        if (strings.size() == limit)
            break;
        if (element.isString())
            strings.append(element.toString());
    }
    return strings;
}

TRValue valueFrom(const QStringList &strings)
{
    TRArray elements;
    elements.reserve(strings.size());
    for (const QString &string : strings)
        elements.append(TRValue::fromString(string));
    return TRValue::fromArray(std::move(elements));
}

} // namespace

TRKeyPtr TRKeyNavigation::keyAt(const TRKeyPtr &root, const QStringList &names, bool *reachedAll)
{
    TRKeyPtr key;
    TRKeyPtr node = root;
    bool all = node != nullptr;
    for (const QString &name : names) {
        TRKeyPtr child;
        if (node->isArray()) {
            bool isPosition = false;
            const int position = name.toInt(&isPosition);
            // "01" and "+1" are not how a position is written.
            if (isPosition && QString::number(position) == name)
                child = node->childAtIndex(position);
        } else if (node->isDictionary()) {
            child = node->childForName(TRValue::fromString(name));
        }
        if (!child) {
            all = false;
            break;
        }
        key = child;
        node = std::move(child);
    }
    if (reachedAll)
        *reachedAll = all;
    return key;
}

// ---- Back and Forward

void TRKeyNavigation::visit(const Place &place)
{
    if (m_position >= 0 && m_places.at(m_position) == place)
        return;
    m_places.resize(m_position + 1);
    m_places.append(place);
    if (m_places.size() > kPlaceLimit)
        m_places.removeFirst();
    m_position = m_places.size() - 1;
}

std::optional<TRKeyNavigation::Place> TRKeyNavigation::goBack()
{
    if (!canGoBack())
        return std::nullopt;
    return m_places.at(--m_position);
}

std::optional<TRKeyNavigation::Place> TRKeyNavigation::goForward()
{
    if (!canGoForward())
        return std::nullopt;
    return m_places.at(++m_position);
}

// ---- The view of each domain

void TRKeyNavigation::remember(const QString &domain, DomainView view)
{
    if (domain.isEmpty())
        return;
    if (view.expanded.size() > kExpandedLimit)
        view.expanded.resize(kExpandedLimit);
    m_order.removeAll(domain);
    m_order.prepend(domain);
    m_views.insert(domain, std::move(view));
    while (m_order.size() > kDomainLimit)
        m_views.remove(m_order.takeLast());
}

std::optional<TRKeyNavigation::DomainView> TRKeyNavigation::viewOf(const QString &domain) const
{
    const auto found = m_views.constFind(domain);
    if (found == m_views.constEnd())
        return std::nullopt;
    return *found;
}

TRValue TRKeyNavigation::toValue() const
{
    TRDictionary domains;
    for (const QString &name : m_order) {
        const DomainView &view = m_views[name];
        TRDictionary entry;
        entry.insert(kSelected, TRValue::fromString(view.selected));
        entry.insert(kExpanded, valueFrom(view.expanded));
        domains.insert(name, TRValue::fromDictionary(std::move(entry)));
    }
    TRDictionary value;
    value.insert(kDomain, TRValue::fromString(m_shownDomain));
    value.insert(kDomains, TRValue::fromDictionary(std::move(domains)));
    value.insert(kOrder, valueFrom(m_order));
    return TRValue::fromDictionary(std::move(value));
}

void TRKeyNavigation::restore(const TRValue &value)
{
    m_order.clear();
    m_views.clear();
    m_shownDomain.clear();
    if (!value.isDictionary())
        return;
    const TRDictionary &kept = value.toDictionary();
    const TRValue shown = kept.value(kDomain);
    if (shown.isString())
        m_shownDomain = shown.toString();
    const TRValue domains = kept.value(kDomains);
    if (!domains.isDictionary())
        return;
    // The order read from most recent, so the most recent ends first after its remember().
    QStringList order = stringsFrom(kept.value(kOrder), kDomainLimit);
    std::reverse(order.begin(), order.end());
    for (const QString &name : std::as_const(order)) {
        const TRValue entry = domains.toDictionary().value(name);
        if (!entry.isDictionary() || m_views.contains(name))
            continue;
        const TRValue selected = entry.toDictionary().value(kSelected);
        remember(name, DomainView{selected.isString() ? selected.toString() : QString(),
                                  stringsFrom(entry.toDictionary().value(kExpanded), kExpandedLimit)});
    }
}
