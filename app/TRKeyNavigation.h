#pragma once

#include "TRKey.h"
#include "TRValue.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// Where the user has been among the keys: the places visited, for Back and Forward, and what was seen of
// each domain looked at (its selected key and expanded rows, by key path), for coming back to it in this
// run and the next. Key paths are the ones Copy Key Path writes: names from the top level down, a list
// element by its position, joined by "/", a "/" or a backslash in a name escaped with a backslash
// (TRKeyPath.h).
class TRKeyNavigation
{
public:
    // A domain, and the path of its selected key (empty: none selected).
    struct Place
    {
        QString domain;
        QString keyPath;
        bool operator==(const Place &) const = default;
    };
    // What the outline showed of a domain; expanded rows parents first.
    struct DomainView
    {
        QString selected;
        QStringList expanded;
        bool operator==(const DomainView &) const = default;
    };

    // The bounds: places kept for Back, domains remembered, expanded rows remembered of each.
    static constexpr int kPlaceLimit = 200;
    static constexpr int kDomainLimit = 50;
    static constexpr int kExpandedLimit = 500;

    // The key the names reach from root: a list element by its position, a dictionary key by its name.
    // Where a name reaches nothing, the deepest key reached (null for none) and reachedAll false.
    static TRKeyPtr keyAt(const TRKeyPtr &root, const QStringList &names, bool *reachedAll = nullptr);

    // ---- Back and Forward
    // The place becomes the newest, the places after the present one are dropped; the present place
    // again changes nothing.
    void visit(const Place &place);
    bool canGoBack() const { return m_position > 0; }
    bool canGoForward() const { return m_position + 1 < m_places.size(); }
    // Steps back or forward and answers the place stepped to; none at either end.
    std::optional<Place> goBack();
    std::optional<Place> goForward();

    // ---- The view of each domain
    // The domain becomes the most recently seen.
    void remember(const QString &domain, DomainView view);
    std::optional<DomainView> viewOf(const QString &domain) const;
    // The domain shown last; empty for none.
    const QString &shownDomain() const { return m_shownDomain; }
    void setShownDomain(const QString &domain) { m_shownDomain = domain; }

    // As kept in the application's domain: {Domain = name; Domains = {name = {Selected = path;
    // Expanded = (paths)}}; Order = (names, most recent first)}.
    TRValue toValue() const;
    // Replaces the remembered views from a kept value; anything not of that form is ignored (a
    // hand-edited domain may hold anything), and an unusable value leaves nothing remembered.
    void restore(const TRValue &value);

private:
    QList<Place> m_places;
    qsizetype m_position = -1;
    // Most recently seen first.
    QStringList m_order;
    QHash<QString, DomainView> m_views;
    QString m_shownDomain;
};
