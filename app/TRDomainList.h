#pragma once

#include "TRDomainController.h"

#include <QSet>
#include <QString>
#include <memory>
#include <vector>

class TRKeyOutlineDragHandler;

// The loaded domains in list order, the one the key outline shows, and the domains whose files this
// process wrote. Every domain that enters the list gets the list's drag handler for its outline model.
// Rows are positions in the list; a row outside it answers nothing and changes nothing.
class TRDomainList
{
public:
    explicit TRDomainList(std::shared_ptr<TRKeyOutlineDragHandler> dragHandler = nullptr);

    // Given to every domain that enters from now on.
    void setDragHandler(std::shared_ptr<TRKeyOutlineDragHandler> handler)
    {
        m_dragHandler = std::move(handler);
    }

    const std::vector<TRDomainControllerPtr> &domains() const { return m_domains; }
    int count() const { return static_cast<int>(m_domains.size()); }
    bool isEmpty() const { return m_domains.empty(); }
    // Null outside the list.
    TRDomainControllerPtr at(int row) const;
    // -1 when no listed domain has the name.
    int indexOf(const QString &name) const;
    TRDomainController *forName(const QString &name) const;
    // Whether a listed domain holds changes a save would write.
    bool modifiedDomainExists() const;

    // Every domain of the store, in its order, none of them read yet.
    void loadFromStore();
    void append(TRDomainControllerPtr domain);
    // Where the store's order (by name) puts it among the listed domains; answers its row.
    int insertInStoreOrder(TRDomainControllerPtr domain);
    void replace(int row, TRDomainControllerPtr domain);
    void removeAt(int row);
    // The whole list at once (an import of every domain).
    void assign(std::vector<TRDomainControllerPtr> domains);
    void clear();

    // The domain the outline shows; null for none.
    const TRDomainControllerPtr &shown() const { return m_shown; }
    void setShown(TRDomainControllerPtr domain) { m_shown = std::move(domain); }

    // Files this process wrote and has not removed since: undoing the creation of any other domain
    // leaves the store's file alone (another program made it).
    void noteWritten(const QString &name) { m_writtenNames.insert(name); }
    void noteFileGone(const QString &name) { m_writtenNames.remove(name); }
    bool wasWritten(const QString &name) const { return m_writtenNames.contains(name); }

private:
    void adopt(TRDomainController &domain) const;

    std::shared_ptr<TRKeyOutlineDragHandler> m_dragHandler;
    std::vector<TRDomainControllerPtr> m_domains;
    TRDomainControllerPtr m_shown;
    QSet<QString> m_writtenNames;
};
