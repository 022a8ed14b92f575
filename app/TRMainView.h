#pragma once

#include <QItemSelection>
#include <QList>
#include <QModelIndex>
#include <QModelIndexList>
#include <QString>
#include <functional>

class QAbstractItemModel;
class QWidget;
class TRValue;
class TRKeyOutlineModel;

// What the application controller asks of the main window, in its own terms: ui/ implements it over the
// real widgets. Rows are indexes of the models the controller gave the view (the domain list's, the shown
// domain's outline model), in column 0. Sizes are in pixels; a list of column widths leaves out the last
// column, which takes the rest of the width.
class TRMainView
{
public:
    virtual ~TRMainView() = default;

    // The window that sheets, alerts and panels belong to.
    virtual QWidget *window() const = 0;
    // The status bar's message; an empty text clears it.
    virtual void showStatusMessage(const QString &message) = 0;
    // The notice of domain files that could not be read, with its details as a tool tip; hidden when the
    // text is empty.
    virtual void showUnreadableFiles(const QString &text, const QString &details) = 0;
    // Opens a read-only window with the domain's keys as its file holds them now beside the keys Tamrix
    // holds; fileProblem says why the file could not be read (empty when it could).
    virtual void showBothVersions(const QString &domain, const TRValue &onDisk, const QString &fileProblem,
                                  const TRValue &inTamrix) = 0;
    // The same view with what an import would put in the domain's place beside what Tamrix holds.
    virtual void showImportChanges(const QString &domain, const TRValue &imported,
                                   const TRValue &inTamrix) = 0;
    // The same view with what the store holds beside the unsaved changes a crash left (none: no file).
    virtual void showRecoveredChanges(const QString &domain, const TRValue &stored,
                                      const TRValue &recovered) = 0;

    // ---- The domain list
    // Shows the model; the view tells the controller when its selection changes.
    virtual void setDomainListModel(QAbstractItemModel *model) = 0;
    // The first selected row; -1 with none.
    virtual int selectedDomainRow() const = 0;
    // Selects the row alone, makes it the current one and scrolls to it.
    virtual void selectDomainRow(int row) = 0;
    virtual QString domainSearchText() const = 0;
    // Puts the keyboard focus into the search field, its text selected or not.
    virtual void focusDomainSearch(bool selectText) = 0;

    // ---- The key outline
    // The model shown; null while it shows none.
    virtual TRKeyOutlineModel *keyOutlineModel() const = 0;
    virtual void setKeyOutlineModel(TRKeyOutlineModel *model) = 0;
    virtual QModelIndex currentKeyRow() const = 0;
    virtual QModelIndexList selectedKeyRows() const = 0;
    virtual bool isKeyRowSelected(const QModelIndex &row) const = 0;
    // Selects these rows alone (whole rows), makes current the current one and scrolls to it.
    virtual void selectKeyRows(const QItemSelection &rows, const QModelIndex &current) = 0;
    // The view tells the controller when the outline's selection changes (keySelectionDidChange).
    virtual bool isKeyExpanded(const QModelIndex &row) const = 0;
    // The expanded rows under expanded parents, parents before their children.
    virtual QModelIndexList expandedKeyRows() const = 0;
    virtual void setKeyExpanded(const QModelIndex &row, bool expanded) = 0;
    // The row shown below this one; invalid after the last.
    virtual QModelIndex keyRowBelow(const QModelIndex &row) const = 0;
    virtual void redrawKeyOutline() = 0;
    // Runs replaceTree (which gives the shown model a new tree of the same domain) and puts back what
    // the user saw of the outline, by key rather than by row: the expanded, selected and current keys and
    // the key scrolled to, where they still exist.
    virtual void keepingKeyOutlineView(const std::function<void()> &replaceTree) = 0;
    virtual QString keySearchText() const = 0;
    // Puts the keyboard focus into the key search field, its text selected or not.
    virtual void focusKeySearch(bool selectText) = 0;
    // The widths the user gave the key and type columns by dragging them, 0 for one sized to its
    // contents (a double click on its edge gives a column back to its contents).
    virtual QList<int> keyOutlineColumnWidths() const = 0;
    virtual void setKeyOutlineColumnWidths(const QList<int> &widths) = 0;
    // Sizes the columns the user did not size to the shown domain's rows (the first screens of them,
    // bounded) and every type's name.
    virtual void fitKeyOutlineColumns() = 0;

    // ---- The window's layout, remembered between runs
    // Width and height.
    virtual QList<int> windowSize() const = 0;
    virtual void setWindowSize(const QList<int> &size) = 0;
    virtual QList<int> splitterSizes() const = 0;
    virtual void setSplitterSizes(const QList<int> &sizes) = 0;
};
