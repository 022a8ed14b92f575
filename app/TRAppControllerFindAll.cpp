// Showing a key that Find in All Domains found: its domain selected, the outline expanded down to it.
#include "TRAppController.h"
#include "TRKeyOutlineModel.h"

#include <QItemSelectionModel>
#include <QMainWindow>
#include <QTreeView>

void TRAppController::revealKey(const QString &domainName, const QStringList &names)
{
    const int row = indexOfDomain(domainName);
    QTreeView *outline = m_outlets.domainContentsView;
    if (row < 0 || !outline)
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
            outline->expand(model->indexForKey(node.get()));
        key = child;
        node = child;
    }
    if (!key)
        return;
    const QModelIndex index = model->indexForKey(key.get());
    outline->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                          QItemSelectionModel::Rows);
    outline->scrollTo(index);
    if (QMainWindow *window = m_outlets.mainWindow) {
        window->raise();
        window->activateWindow();
    }
}
