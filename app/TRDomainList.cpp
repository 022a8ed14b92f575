#include "TRDomainList.h"

#include "store/TRDefaultsStore.h"

#include <algorithm>

TRDomainList::TRDomainList(std::shared_ptr<TRKeyOutlineDragHandler> dragHandler)
    : m_dragHandler(std::move(dragHandler))
{
}

TRDomainControllerPtr TRDomainList::at(int row) const
{
    return row < 0 || row >= count() ? nullptr : m_domains[static_cast<std::size_t>(row)];
}

int TRDomainList::indexOf(const QString &name) const
{
    for (std::size_t row = 0; row < m_domains.size(); ++row) {
        if (m_domains[row]->name() == name)
            return static_cast<int>(row);
    }
    return -1;
}

TRDomainController *TRDomainList::forName(const QString &name) const
{
    return at(indexOf(name)).get();
}

bool TRDomainList::modifiedDomainExists() const
{
    // An empty domain is not written, so it holds nothing to lose.
    return std::ranges::any_of(m_domains, [](const TRDomainControllerPtr &domain) {
        return domain->modified() && domain->count() > 0;
    });
}

void TRDomainList::adopt(TRDomainController &domain) const
{
    domain.setOutlineDragHandler(m_dragHandler);
}

void TRDomainList::loadFromStore()
{
    m_domains.clear();
    const QStringList names = TRDefaultsStore::standard().persistentDomainNames();
    m_domains.reserve(static_cast<std::size_t>(names.size()));
    for (const QString &name : names) {
        m_domains.push_back(std::make_shared<TRDomainController>(name));
        adopt(*m_domains.back());
    }
}

void TRDomainList::append(TRDomainControllerPtr domain)
{
    adopt(*domain);
    m_domains.push_back(std::move(domain));
}

int TRDomainList::insertInStoreOrder(TRDomainControllerPtr domain)
{
    adopt(*domain);
    const QString name = domain->name();
    const auto at = std::ranges::find_if(
        m_domains, [&name](const TRDomainControllerPtr &listed) { return name < listed->name(); });
    const auto row = at - m_domains.begin();
    m_domains.insert(at, std::move(domain));
    return static_cast<int>(row);
}

void TRDomainList::replace(int row, TRDomainControllerPtr domain)
{
    if (row < 0 || row >= count())
        return;
    adopt(*domain);
    m_domains[static_cast<std::size_t>(row)] = std::move(domain);
}

void TRDomainList::removeAt(int row)
{
    if (row >= 0 && row < count())
        m_domains.erase(m_domains.begin() + row);
}

void TRDomainList::assign(std::vector<TRDomainControllerPtr> domains)
{
    for (const TRDomainControllerPtr &domain : domains)
        adopt(*domain);
    m_domains = std::move(domains);
}

void TRDomainList::clear()
{
    m_shown.reset();
    m_domains.clear();
}
