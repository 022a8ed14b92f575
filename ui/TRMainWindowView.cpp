#include "TRMainWindowView.h"

#include "TRAppController.h"
#include "TRKeyDiffView.h"
#include "TRKeyOutlineModel.h"
#include "TRMainWindow.h"
#include "ui_TRMainWindow.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QScrollBar>
#include <QSplitter>
#include <QStatusBar>

namespace {

QList<int> sectionSizes(const QHeaderView *header)
{
    QList<int> sizes;
    if (!header || !header->model())
        return sizes;
    // The last section stretches; its width follows the window.
    for (int section = 0; section + 1 < header->count(); ++section)
        sizes.append(header->sectionSize(section));
    return sizes;
}

void applySectionSizes(QHeaderView *header, const QList<int> &sizes)
{
    if (!header)
        return;
    for (int section = 0; section < sizes.size() && section + 1 < header->count(); ++section) {
        if (sizes[section] > 0)
            header->resizeSection(section, sizes[section]);
    }
}

// Where a key stands in its tree: its name in each dictionary on the way down, its position in each array.
using KeyPath = QList<TRValue>;

KeyPath pathOf(const TRKeyOutlineModel *model, QModelIndex index)
{
    KeyPath path;
    for (index = index.siblingAtColumn(0); index.isValid(); index = index.parent()) {
        const TRKey *key = model->keyForIndex(index);
        if (!key)
            return {};
        const TRKeyPtr parent = key->parent();
        path.prepend(parent && parent->isArray() ? TRValue::fromInteger(index.row()) : key->name());
    }
    return path;
}

QModelIndex indexOf(const TRKeyOutlineModel *model, const KeyPath &path)
{
    TRKeyPtr key;
    const TRKey *at = model->domainController()->rootKey().get();
    for (const TRValue &name : path) {
        key = at->isCompound() ? at->childForName(name) : nullptr;
        if (!key)
            return {};
        at = key.get();
    }
    return key ? model->indexForKey(key.get()) : QModelIndex();
}

// What the user sees of a key outline, by key rather than by row, so that it survives a new tree.
struct OutlineState
{
    QList<KeyPath> expanded; // parents before their children
    QList<KeyPath> selected;
    KeyPath current;
    KeyPath top;
    int horizontal = 0;
};

void collectExpanded(const QTreeView *outline, const TRKeyOutlineModel *model, const QModelIndex &parent,
                     QList<KeyPath> *expanded)
{
    const int rows = model->rowCount(parent);
    for (int row = 0; row < rows; ++row) {
        const QModelIndex index = model->index(row, 0, parent);
        if (outline->isExpanded(index)) {
            expanded->append(pathOf(model, index));
            collectExpanded(outline, model, index, expanded);
        }
    }
}

OutlineState captureState(const QTreeView *outline, const TRKeyOutlineModel *model)
{
    OutlineState state;
    collectExpanded(outline, model, QModelIndex(), &state.expanded);
    if (const QItemSelectionModel *selection = outline->selectionModel()) {
        for (const QModelIndex &index : selection->selectedRows())
            state.selected.append(pathOf(model, index));
        state.current = pathOf(model, selection->currentIndex());
    }
    state.top = pathOf(model, outline->indexAt(QPoint(1, 1)));
    state.horizontal = outline->horizontalScrollBar()->value();
    return state;
}

void restoreState(QTreeView *outline, const TRKeyOutlineModel *model, const OutlineState &state)
{
    for (const KeyPath &path : state.expanded) {
        if (const QModelIndex index = indexOf(model, path); index.isValid())
            outline->expand(index);
    }
    if (QItemSelectionModel *selection = outline->selectionModel()) {
        if (const QModelIndex current = indexOf(model, state.current); current.isValid())
            selection->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
        for (const KeyPath &path : state.selected) {
            if (const QModelIndex index = indexOf(model, path); index.isValid())
                selection->select(index, QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
    }
    if (const QModelIndex top = indexOf(model, state.top); top.isValid())
        outline->scrollTo(top, QAbstractItemView::PositionAtTop);
    outline->horizontalScrollBar()->setValue(state.horizontal);
}

} // namespace

TRMainWindowView::TRMainWindowView(TRMainWindow &window, TRAppController &controller)
    : m_window(&window), m_controller(controller), m_unreadableFiles(new QLabel(&window))
{
    m_unreadableFiles->setObjectName(QStringLiteral("unreadableFilesLabel"));
    m_unreadableFiles->setTextFormat(Qt::PlainText);
    m_unreadableFiles->hide();
    window.form().statusBar->addWidget(m_unreadableFiles, 1);
}

TRMainWindowView::~TRMainWindowView() = default;

QWidget *TRMainWindowView::window() const
{
    return m_window;
}

void TRMainWindowView::showStatusMessage(const QString &message)
{
    if (!m_window)
        return;
    if (message.isEmpty())
        m_window->statusBar()->clearMessage();
    else
        m_window->statusBar()->showMessage(message);
}

void TRMainWindowView::showUnreadableFiles(const QString &text, const QString &details)
{
    QLabel *label = m_unreadableFiles;
    if (!label)
        return;
    label->setText(text);
    label->setToolTip(details);
    label->setVisible(!text.isEmpty());
}

void TRMainWindowView::showBothVersions(const QString &domain, const TRValue &onDisk,
                                        const QString &fileProblem, const TRValue &inTamrix)
{
    auto *view = new TRKeyDiffView(domain, onDisk, fileProblem, inTamrix, m_window);
    view->show();
}

// ---- The domain list

void TRMainWindowView::setDomainListModel(QAbstractItemModel *model)
{
    if (!m_window)
        return;
    QTableView *list = m_window->form().domainListView;
    list->setModel(model);
    QObject::connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, &m_controller,
                     [controller = &m_controller] { controller->tableViewSelectionDidChange(); });
    // The marker column is as wide as the marker; the names take what the user gives them (remembered);
    // the key count takes the rest.
    QHeaderView *header = list->horizontalHeader();
    header->setStretchLastSection(true);
    header->setSectionResizeMode(0, QHeaderView::Fixed);
    header->resizeSection(0, header->fontMetrics().height() + 12);
    header->resizeSection(1, header->fontMetrics().averageCharWidth() * 26);
    list->verticalHeader()->setDefaultSectionSize(list->fontMetrics().height() + 8);
}

int TRMainWindowView::selectedDomainRow() const
{
    const QTableView *list = m_window ? m_window->form().domainListView : nullptr;
    if (!list || !list->selectionModel())
        return -1;
    const QModelIndexList rows = list->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void TRMainWindowView::selectDomainRow(int row)
{
    QTableView *list = m_window ? m_window->form().domainListView : nullptr;
    if (!list || !list->model() || row < 0 || row >= list->model()->rowCount())
        return;
    const QModelIndex index = list->model()->index(row, 0);
    list->selectionModel()->setCurrentIndex(index,
                                            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    list->scrollTo(index);
}

QString TRMainWindowView::domainSearchText() const
{
    return m_window ? m_window->form().domainSearchField->text() : QString();
}

void TRMainWindowView::focusDomainSearch(bool selectText)
{
    if (!m_window)
        return;
    QLineEdit *field = m_window->form().domainSearchField;
    field->setFocus(selectText ? Qt::ShortcutFocusReason : Qt::OtherFocusReason);
    if (selectText)
        field->selectAll();
}

// ---- The key outline

TRKeyOutlineModel *TRMainWindowView::keyOutlineModel() const
{
    return m_window ? qobject_cast<TRKeyOutlineModel *>(m_window->form().domainContentsView->model())
                    : nullptr;
}

void TRMainWindowView::setKeyOutlineModel(TRKeyOutlineModel *model)
{
    if (!m_window)
        return;
    QTreeView *outline = m_window->form().domainContentsView;
    if (outline->model() == model)
        return;
    QItemSelectionModel *oldSelection = outline->selectionModel();
    outline->setModel(model);
    if (oldSelection && oldSelection != outline->selectionModel())
        oldSelection->deleteLater();
}

QModelIndex TRMainWindowView::currentKeyRow() const
{
    const QTreeView *outline = m_window ? m_window->form().domainContentsView : nullptr;
    return outline && outline->selectionModel() ? outline->selectionModel()->currentIndex() : QModelIndex();
}

QModelIndexList TRMainWindowView::selectedKeyRows() const
{
    const QTreeView *outline = m_window ? m_window->form().domainContentsView : nullptr;
    return outline && outline->selectionModel() ? outline->selectionModel()->selectedRows()
                                                : QModelIndexList();
}

bool TRMainWindowView::isKeyRowSelected(const QModelIndex &row) const
{
    const QTreeView *outline = m_window ? m_window->form().domainContentsView : nullptr;
    return outline && outline->selectionModel() &&
           outline->selectionModel()->isRowSelected(row.row(), row.parent());
}

void TRMainWindowView::selectKeyRows(const QItemSelection &rows, const QModelIndex &current)
{
    QTreeView *outline = m_window ? m_window->form().domainContentsView : nullptr;
    if (!outline || !outline->selectionModel())
        return;
    QItemSelectionModel *selection = outline->selectionModel();
    selection->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
    selection->select(rows, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    outline->scrollTo(current);
}

bool TRMainWindowView::isKeyExpanded(const QModelIndex &row) const
{
    return m_window && m_window->form().domainContentsView->isExpanded(row);
}

void TRMainWindowView::setKeyExpanded(const QModelIndex &row, bool expanded)
{
    if (m_window)
        m_window->form().domainContentsView->setExpanded(row, expanded);
}

QModelIndex TRMainWindowView::keyRowBelow(const QModelIndex &row) const
{
    return m_window ? m_window->form().domainContentsView->indexBelow(row) : QModelIndex();
}

void TRMainWindowView::redrawKeyOutline()
{
    if (m_window)
        m_window->form().domainContentsView->viewport()->update();
}

void TRMainWindowView::keepingKeyOutlineView(const std::function<void()> &replaceTree)
{
    QTreeView *outline = m_window ? m_window->form().domainContentsView : nullptr;
    const TRKeyOutlineModel *model = keyOutlineModel();
    if (!model) {
        replaceTree();
        return;
    }
    const OutlineState state = captureState(outline, model);
    replaceTree();
    restoreState(outline, model, state);
}

QString TRMainWindowView::keySearchText() const
{
    return m_window ? m_window->form().keySearchField->text() : QString();
}

void TRMainWindowView::focusKeySearch(bool selectText)
{
    if (!m_window)
        return;
    QLineEdit *field = m_window->form().keySearchField;
    field->setFocus(selectText ? Qt::ShortcutFocusReason : Qt::OtherFocusReason);
    if (selectText)
        field->selectAll();
}

QList<int> TRMainWindowView::keyOutlineColumnWidths() const
{
    return m_window ? sectionSizes(m_window->form().domainContentsView->header()) : QList<int>();
}

void TRMainWindowView::setKeyOutlineColumnWidths(const QList<int> &widths)
{
    if (m_window)
        applySectionSizes(m_window->form().domainContentsView->header(), widths);
}

QList<int> TRMainWindowView::defaultKeyOutlineColumnWidths() const
{
    if (!m_window)
        return {};
    // Name and type; the value takes the rest.
    const int character = m_window->form().domainContentsView->fontMetrics().averageCharWidth();
    return {character * 30, character * 12};
}

// ---- The window's layout

QList<int> TRMainWindowView::windowSize() const
{
    return m_window ? QList<int>{m_window->width(), m_window->height()} : QList<int>();
}

void TRMainWindowView::setWindowSize(const QList<int> &size)
{
    if (m_window && size.size() == 2)
        m_window->resize(size[0], size[1]);
}

QList<int> TRMainWindowView::splitterSizes() const
{
    return m_window ? m_window->form().splitter->sizes() : QList<int>();
}

void TRMainWindowView::setSplitterSizes(const QList<int> &sizes)
{
    if (m_window && sizes.size() == m_window->form().splitter->count())
        m_window->form().splitter->setSizes(sizes);
}

QList<int> TRMainWindowView::domainListColumnWidths() const
{
    return m_window ? sectionSizes(m_window->form().domainListView->horizontalHeader()) : QList<int>();
}

void TRMainWindowView::setDomainListColumnWidths(const QList<int> &widths)
{
    if (m_window)
        applySectionSizes(m_window->form().domainListView->horizontalHeader(), widths);
}
