// Showing a key that Find in All Domains found: its domain selected, the outline expanded down to it.
#include "TRAppController.h"
#include "TRKeyOutlineModel.h"
#include "TRMainView.h"

#include <QWidget>

void TRAppController::revealKey(const QString &domainName, const QStringList &names)
{
    const int row = indexOfDomain(domainName);
    if (row < 0 || !m_view)
        return;
    if (selectedRow() != row) {
        selectRow(row);
        tableViewSelectionDidChange();
    }
    TRDomainController *domain = currentDomain();
    if (!domain || domain->name() != domainName)
        return;
    const TRKeyOutlineModel *model = domain->outlineModel();
    TRKeyPtr key;
    // The tree may have changed since the search: the walk stops at the deepest key still there.
    TRKeyPtr node = domain->rootKey();
    for (const QString &name : names) {
        bool isPosition = false;
        const int position = name.toInt(&isPosition);
        const TRKeyPtr child = node->isArray() ? (isPosition ? node->childAtIndex(position) : nullptr)
                                               : node->childForName(TRValue::fromString(name));
        if (!child)
            break;
        if (node != domain->rootKey())
            m_view->setKeyExpanded(model->indexForKey(node.get()), true);
        key = child;
        node = child;
    }
    if (!key)
        return;
    const QModelIndex index = model->indexForKey(key.get());
    m_view->selectKeyRows(QItemSelection(index, index), index);
    if (QWidget *window = mainWindow()) {
        window->raise();
        window->activateWindow();
    }
}
