#pragma once

#include <QTreeView>
#include <memory>
#include <utility>

class QTreeViewPrivate;

// The key outline's view. QTreeView lays out every row it shows again when a row is inserted under a shown
// parent or any row is removed; a domain shown expanded can hold hundreds of thousands of rows, so this
// view inserts and removes the rows of its laid-out list in place instead: a key command then costs the
// same whatever the domain's size. Where that does not apply (rows hidden or spanned, a layout pending, a
// Qt other than the one it was built for) it does what QTreeView does.
class TRKeyOutlineView : public QTreeView
{
    Q_OBJECT

public:
    explicit TRKeyOutlineView(QWidget *parent = nullptr);
    ~TRKeyOutlineView() override;

    void setModel(QAbstractItemModel *model) override;
    void doItemsLayout() override;

    // Whether this build keeps rows laid out in place (false: QTreeView's own layout everywhere).
    static bool laysOutInPlace();

protected:
    void rowsInserted(const QModelIndex &parent, int start, int end) override;
    void rowsAboutToBeRemoved(const QModelIndex &parent, int start, int end) override;

private:
    // Run before and after QTreeView's own handler of the model's rowsRemoved.
    void keepRowsAside();
    void finishRemoval(const QModelIndex &parent, int start, int end);

    QTreeViewPrivate *treePrivate();

    struct Removal;
    std::unique_ptr<Removal> m_removal;
    std::pair<QMetaObject::Connection, QMetaObject::Connection> m_removedConnections;
};
