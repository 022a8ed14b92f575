// Moving among keys: Go to Key, Back and Forward, showing a key that Find in All Domains found, and each
// domain's view (its selected key and expanded rows) kept when the user leaves it and restored when the
// user comes back, in this run or the next.
#include "TRAppController.h"
#include "TRKeyOutlineModel.h"
#include "TRKeyPath.h"
#include "TRMainView.h"
#include "TRText.h"
#include "store/TRPreferences.h"

#include <QWidget>

namespace {

const QString kMainWindowView = QStringLiteral("MainWindowView");

} // namespace

class TRAppController::Navigating
{
public:
    explicit Navigating(TRAppController &controller) : m_controller(controller)
    {
        m_controller.beginNavigating();
    }
    ~Navigating() { m_controller.endNavigating(); }
    Navigating(const Navigating &) = delete;
    Navigating &operator=(const Navigating &) = delete;

private:
    TRAppController &m_controller;
};

void TRAppController::endNavigating()
{
    if (--m_navigating == 0)
        visitShownPlace();
}

bool TRAppController::showDomainNamed(const QString &name)
{
    const int row = indexOfDomain(name);
    if (row < 0 || !m_view)
        return false;
    if (selectedRow() != row) {
        selectRow(row);
        tableViewSelectionDidChange();
    }
    const TRDomainController *domain = currentDomain();
    return domain && domain->name() == name;
}

void TRAppController::selectShownKey(const TRKeyPtr &key)
{
    TRDomainController *domain = currentDomain();
    if (!domain || !m_view)
        return;
    const TRKeyOutlineModel *model = domain->outlineModel();
    if (!key || key == domain->rootKey()) {
        m_view->selectKeyRows(QItemSelection(), QModelIndex());
        return;
    }
    // Parents first: a row expands only under an expanded parent.
    QList<TRKeyPtr> parents;
    for (TRKeyPtr parent = key->parent(); parent && parent != domain->rootKey(); parent = parent->parent())
        parents.prepend(parent);
    for (const TRKeyPtr &parent : std::as_const(parents))
        m_view->setKeyExpanded(model->indexForKey(parent.get()), true);
    const QModelIndex index = model->indexForKey(key.get());
    m_view->selectKeyRows(QItemSelection(index, index), index);
}

void TRAppController::revealKey(const QString &domainName, const QStringList &names)
{
    const Navigating navigating(*this);
    if (!showDomainNamed(domainName))
        return;
    // The tree may have changed since the search: the walk stops at the deepest key still there.
    if (const TRKeyPtr key = TRKeyNavigation::keyAt(currentDomain()->rootKey(), names))
        selectShownKey(key);
    if (QWidget *window = mainWindow()) {
        window->raise();
        window->activateWindow();
    }
}

QString TRAppController::goToKey(const QString &path)
{
    const QStringList names = trNamesInKeyPath(path);
    if (names.isEmpty())
        return QString();
    // The path names a key in the domain, or is the domain's name alone.
    const auto reaches = [](TRDomainController *domain, const QStringList &inDomain) -> TRKeyPtr {
        if (inDomain.isEmpty())
            return domain->rootKey();
        bool reachedAll = false;
        TRKeyPtr key = TRKeyNavigation::keyAt(domain->rootKey(), inDomain, &reachedAll);
        return reachedAll ? key : nullptr;
    };
    TRDomainController *named = domainForName(names.first());
    TRDomainController *shown = currentDomain();
    TRDomainController *domain = nullptr;
    TRKeyPtr key;
    if (named)
        key = reaches(named, names.mid(1));
    if (key) {
        domain = named;
    } else if (shown && (key = reaches(shown, names))) {
        domain = shown;
    } else if (named) {
        return trFormat(trText("No key %@ in %@"), {keyPath(names.mid(1)), named->name()});
    } else if (shown) {
        return trFormat(trText("No key %@ in %@"), {path, shown->name()});
    } else {
        return trFormat(trText("No domain %@"), {names.first()});
    }
    const Navigating navigating(*this);
    if (showDomainNamed(domain->name()))
        selectShownKey(key);
    return QString();
}

void TRAppController::goBack()
{
    while (const std::optional<TRKeyNavigation::Place> place = m_navigation.goBack()) {
        if (goToPlace(*place))
            break;
    }
    emit commandsChanged();
}

void TRAppController::goForward()
{
    while (const std::optional<TRKeyNavigation::Place> place = m_navigation.goForward()) {
        if (goToPlace(*place))
            break;
    }
    emit commandsChanged();
}

bool TRAppController::goToPlace(const TRKeyNavigation::Place &place)
{
    // A place that is gone is stepped over; a key that is gone leaves its nearest parent selected.
    ++m_navigating;
    const bool shown = showDomainNamed(place.domain);
    if (shown)
        selectShownKey(TRKeyNavigation::keyAt(currentDomain()->rootKey(), trNamesInKeyPath(place.keyPath)));
    --m_navigating;
    return shown;
}

void TRAppController::keySelectionDidChange()
{
    if (m_navigating == 0)
        visitShownPlace();
}

void TRAppController::visitShownPlace()
{
    if (const TRDomainController *domain = currentDomain()) {
        const TRKeyPtr key = selectedKey();
        m_navigation.visit({domain->name(), key ? keyPath(*key) : QString()});
    }
}

// ---- Each domain's view

void TRAppController::rememberShownView()
{
    TRDomainController *domain = currentDomain();
    if (!domain || !m_view || m_view->keyOutlineModel() != domain->outlineModel())
        return;
    const TRKeyOutlineModel *model = domain->outlineModel();
    TRKeyNavigation::DomainView view;
    if (const TRKeyPtr key = selectedKey())
        view.selected = keyPath(*key);
    for (const QModelIndex &row : m_view->expandedKeyRows()) {
        if (view.expanded.size() == TRKeyNavigation::kExpandedLimit)
            break;
        if (const TRKey *key = model->keyForIndex(row))
            view.expanded.append(keyPath(*key));
    }
    m_navigation.remember(domain->name(), std::move(view));
}

void TRAppController::restoreShownView()
{
    TRDomainController *domain = currentDomain();
    const std::optional<TRKeyNavigation::DomainView> view =
        domain ? m_navigation.viewOf(domain->name()) : std::nullopt;
    if (!view || !m_view)
        return;
    const TRKeyOutlineModel *model = domain->outlineModel();
    for (const QString &path : view->expanded) {
        bool reachedAll = false;
        const TRKeyPtr key = TRKeyNavigation::keyAt(domain->rootKey(), trNamesInKeyPath(path), &reachedAll);
        if (reachedAll && key->isCompound())
            m_view->setKeyExpanded(model->indexForKey(key.get()), true);
    }
    if (!view->selected.isEmpty())
        selectShownKey(TRKeyNavigation::keyAt(domain->rootKey(), trNamesInKeyPath(view->selected)));
}

void TRAppController::restoreSavedView()
{
    m_navigation.restore(TRPreferences::shared().value(kMainWindowView));
    const Navigating navigating(*this);
    // A domain that is gone, or one that cannot be read, leaves nothing selected.
    showDomainNamed(m_navigation.shownDomain());
}

void TRAppController::saveView()
{
    rememberShownView();
    const TRDomainController *domain = currentDomain();
    m_navigation.setShownDomain(domain ? domain->name() : QString());
    const TRValue value = m_navigation.toValue();
    TRPreferences &preferences = TRPreferences::shared();
    if (preferences.value(kMainWindowView) != value)
        preferences.setValue(kMainWindowView, value);
}
