#pragma once

#include "TRKey.h"
#include "TRKeyOutlineModel.h"
#include "TRKeyPlistFragment.h"

#include <QMimeData>
#include <QModelIndexList>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

// What a drop on a key outline asks for: the fragment's values put into a compound node, at a row of a
// list (-1: the end). When the keys were dragged from an outline of this process, sources holds them
// (aligned with the fragment's items) and move says whether they leave their places.
struct TRKeyDrop
{
    TRKeyPtr parent;
    int row = -1;
    TRKeyPlistFragment fragment;
    std::vector<TRKeyPtr> sources;
    bool move = false;
};

// The drag and drop side of the key outlines' item models. Dragging keys gives the clipboard's forms of
// them plus the nodes themselves; a drop is checked here (never into a dragged key or below it) and carried
// out by the drop function, through the application's key commands. One handler serves every domain's
// model.
class TRKeyOutlineDrag final : public TRKeyOutlineDragHandler
{
public:
    using DropFunction = std::function<bool(const TRKeyDrop &)>;
    explicit TRKeyOutlineDrag(DropFunction drop) : m_drop(std::move(drop)) {}

    QStringList mimeTypes() const override;
    QMimeData *mimeData(const TRKeyOutlineModel &model, const QModelIndexList &indexes) const override;
    bool canDropMimeData(const TRKeyOutlineModel &model, const QMimeData *data, Qt::DropAction action,
                         int row, const QModelIndex &parent) const override;
    bool dropMimeData(const TRKeyOutlineModel &model, const QMimeData *data, Qt::DropAction action, int row,
                      const QModelIndex &parent) override;
    // The dragged nodes when the data comes from an outline of this process (still in a tree or not).
    static std::vector<TRKeyPtr> draggedKeys(const QMimeData *data);
    // The keys of the indexes in outline order, a key inside another one left out.
    static std::vector<TRKeyPtr> topmostKeys(std::vector<TRKeyPtr> keys);

private:
    DropFunction m_drop;
};
