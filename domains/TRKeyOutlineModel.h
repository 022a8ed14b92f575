#pragma once

#include "TRKey.h"

#include <QAbstractItemModel>
#include <QHash>
#include <QStringList>
#include <memory>

class TRDomainController;
class TRKeyOutlineModel;

// What dragging keys out of an outline and dropping data on one mean: the forms the keys take as MIME
// data, which drops are taken and how they are carried out. The application supplies it; a model without
// one gives no data and takes no drop.
class TRKeyOutlineDragHandler
{
public:
    virtual ~TRKeyOutlineDragHandler() = default;
    virtual QStringList mimeTypes() const = 0;
    virtual QMimeData *mimeData(const TRKeyOutlineModel &model, const QModelIndexList &indexes) const = 0;
    virtual bool canDropMimeData(const TRKeyOutlineModel &model, const QMimeData *data, Qt::DropAction action,
                                 int row, const QModelIndex &parent) const = 0;
    virtual bool dropMimeData(const TRKeyOutlineModel &model, const QMimeData *data, Qt::DropAction action,
                              int row, const QModelIndex &parent) = 0;
};

// The key outline's item model: a thin adapter over a domain controller's key tree. Three columns
// ("keyName", "keyType", "keyValue"), the root never a row. An index names its key's parent node (the
// internal pointer) and the key's row there, so an index stays valid while another node takes the key's
// place. Every lookup is O(1) on average: no walk over siblings or over rows shown.
//
// Edits of the tree reach views through the begin/end pairs below, never through a reset (that is for
// reload and import), so expansion, selection and scroll position survive. The notifications are:
//   insert                           rowsAboutToBeInserted/rowsInserted of one row
//   remove                           rowsAboutToBeRemoved/rowsRemoved of one row
//   replace, leaf by leaf            dataChanged of the row's three columns, nothing else
//   replace, leaf by compound        dataChanged of the row, then layoutAboutToBeChanged/layoutChanged of
//                                    the parent (the row gains children)
//   replace of a compound node       layoutAboutToBeChanged/layoutChanged of the parent; held indexes below
//                                    the old node move to the same rows below the new one, or become
//                                    invalid where it has none
class TRKeyOutlineModel final : public QAbstractItemModel
{
    Q_OBJECT

public:
    enum Column
    {
        NameColumn = 0,
        TypeColumn = 1,
        ValueColumn = 2,
        ColumnCount = 3
    };

    explicit TRKeyOutlineModel(TRDomainController *domain, QObject *parent = nullptr);
    ~TRKeyOutlineModel() override;

    // The column identifiers, in column order.
    static const QStringList &columnIdentifiers();

    TRDomainController *domainController() const { return m_domain; }

    QModelIndex index(int row, int column, const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    QModelIndex sibling(int row, int column, const QModelIndex &index) const override;
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    bool hasChildren(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // Dragging and dropping keys, through the drag handler.
    void setDragHandler(std::shared_ptr<TRKeyOutlineDragHandler> handler)
    {
        m_dragHandler = std::move(handler);
    }
    TRKeyOutlineDragHandler *dragHandler() const { return m_dragHandler.get(); }
    Qt::DropActions supportedDragActions() const override;
    Qt::DropActions supportedDropActions() const override;
    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
    bool canDropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                         const QModelIndex &parent) const override;
    bool dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                      const QModelIndex &parent) override;

    // The node of an index (null for the invisible top level), and the index of a node (invalid for the
    // root and for nodes outside this domain's tree).
    TRKey *keyForIndex(const QModelIndex &index) const;
    QModelIndex indexForKey(const TRKey *key, int column = NameColumn) const;

    // Around adding a child at a row of a compound node (null parent: the root).
    void beginInsertKey(const TRKey *parent, int row);
    void endInsertKey();
    // Around taking out the child at a row.
    void beginRemoveKey(const TRKey *parent, int row);
    void endRemoveKey();
    // Around putting another node in the place of the child at a row. The caller keeps the old node
    // alive until endReplaceKey() returns; views keep their selection on the row.
    void beginReplaceKey(const TRKey *parent, int row);
    void endReplaceKey();
    // Around a change a TRKey mutator reports (its observer calls beginEdit, its result goes to endEdit);
    // nothing for an edit of kind None.
    void beginEdit(const TRKey *parent, const TRKey::Edit &edit);
    void endEdit(const TRKey::Edit &edit);
    // Around replacing the whole tree (reload, import).
    void beginResetTree();
    void endResetTree();

private:
    const TRKey *rootOf() const;
    // The node whose children an index's row counts: the parent of the index's key.
    static const TRKey *containerOf(const QModelIndex &index);
    void mapIndexesBelowReplacedKey(const TRKey *replacement);

    TRDomainController *m_domain;
    std::shared_ptr<TRKeyOutlineDragHandler> m_dragHandler;
    const TRKey *m_replaceParent = nullptr;
    int m_replaceRow = -1;
    const TRKey *m_replacedKey = nullptr;
    bool m_replaceLayout = false;
};
