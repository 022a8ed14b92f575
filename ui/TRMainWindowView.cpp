#include "TRMainWindowView.h"

#include "TRAppController.h"
#include "TRKey.h"
#include "TRKeyDiffView.h"
#include "TRKeyOutlineModel.h"
#include "TRMainWindow.h"
#include "TRText.h"
#include "ui_TRMainWindow.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <algorithm>

namespace {

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

// Only rows with children are asked whether they are expanded: a flat domain of a million values costs
// a walk of its kinds.
void collectExpanded(const QTreeView *outline, const QAbstractItemModel *model, const QModelIndex &parent,
                     QModelIndexList *expanded)
{
    const int rows = model->rowCount(parent);
    for (int row = 0; row < rows; ++row) {
        const QModelIndex index = model->index(row, 0, parent);
        if (model->hasChildren(index) && outline->isExpanded(index)) {
            expanded->append(index);
            collectExpanded(outline, model, index, expanded);
        }
    }
}

OutlineState captureState(const QTreeView *outline, const TRKeyOutlineModel *model)
{
    OutlineState state;
    QModelIndexList expanded;
    collectExpanded(outline, model, QModelIndex(), &expanded);
    for (const QModelIndex &index : std::as_const(expanded))
        state.expanded.append(pathOf(model, index));
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

// What an item view puts either side of a cell's text.
int textMargins(const QAbstractItemView *view)
{
    return (view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1) * 2 + 4;
}

// The rows a freshly shown outline measures its key column by: about two screens of the top level.
constexpr int kMeasuredRows = 100;
// The key column grows to at most this many average characters, and to at most half the outline.
constexpr int kKeyColumnCharacters = 48;

} // namespace

TRMainWindowView::TRMainWindowView(TRMainWindow &window, TRAppController &controller)
    : m_window(&window), m_controller(controller), m_unreadableFiles(new QLabel(&window))
{
    m_unreadableFiles->setObjectName(QStringLiteral("unreadableFilesLabel"));
    m_unreadableFiles->setTextFormat(Qt::PlainText);
    m_unreadableFiles->hide();
    window.form().statusBar->addWidget(m_unreadableFiles, 1);
    // A column the user drags keeps that width; a double click on its edge gives it back to its
    // contents.
    QHeaderView *header = window.form().domainContentsView->header();
    QObject::connect(header, &QHeaderView::sectionResized, header, [this](int section, int, int size) {
        if (!m_fittingColumns && section < m_userKeyColumnWidths.size())
            m_userKeyColumnWidths[section] = size;
    });
    QObject::connect(header, &QHeaderView::sectionHandleDoubleClicked, header, [this](int section) {
        if (section < m_userKeyColumnWidths.size()) {
            m_userKeyColumnWidths[section] = 0;
            fitKeyOutlineColumns();
        }
    });
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

void TRMainWindowView::showImportChanges(const QString &domain, const TRValue &imported,
                                         const TRValue &inTamrix)
{
    const TRKeyDiffView::Labels labels{trFormat(trText("Domain %@: Tamrix's Copy and the Import"), {domain}),
                                       trText("In the file being imported"), trText("In Tamrix now")};
    auto *view = new TRKeyDiffView(domain, imported, QString(), inTamrix, m_window, labels);
    view->show();
}

void TRMainWindowView::showRecoveredChanges(const QString &domain, const TRValue &stored,
                                            const TRValue &recovered)
{
    const TRKeyDiffView::Labels labels{
        trFormat(trText("Domain %@: the Defaults Database and the Recovered Changes"), {domain}),
        trText("In the defaults database"), trText("Recovered, not saved")};
    const TRValue onDisk = stored.isNone() ? TRValue::fromDictionary({}) : stored;
    auto *view = new TRKeyDiffView(domain, onDisk, QString(), recovered, m_window, labels);
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
    // The marker column is as wide as the marker, the key count as wide as seven digits or its title;
    // the names take the rest.
    QHeaderView *header = list->horizontalHeader();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(0, QHeaderView::Fixed);
    header->resizeSection(0, header->fontMetrics().height() + 12);
    header->setSectionResizeMode(1, QHeaderView::Stretch);
    header->setSectionResizeMode(2, QHeaderView::Fixed);
    header->resizeSection(
        2, std::max(header->sectionSizeHint(2),
                    list->fontMetrics().horizontalAdvance(QStringLiteral("8888888")) + textMargins(list)));
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
    {
        const QScopedValueRollback<bool> fitting(m_fittingColumns, true);
        outline->setModel(model);
    }
    if (oldSelection && oldSelection != outline->selectionModel())
        oldSelection->deleteLater();
    if (QItemSelectionModel *selection = outline->selectionModel(); selection && model)
        QObject::connect(selection, &QItemSelectionModel::selectionChanged, &m_controller,
                         [controller = &m_controller] { controller->keySelectionDidChange(); });
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

QModelIndexList TRMainWindowView::expandedKeyRows() const
{
    QModelIndexList rows;
    if (const TRKeyOutlineModel *model = keyOutlineModel())
        collectExpanded(m_window->form().domainContentsView, model, QModelIndex(), &rows);
    return rows;
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
    return m_userKeyColumnWidths;
}

void TRMainWindowView::setKeyOutlineColumnWidths(const QList<int> &widths)
{
    for (qsizetype column = 0; column < m_userKeyColumnWidths.size(); ++column)
        m_userKeyColumnWidths[column] = std::max(0, widths.value(column));
    fitKeyOutlineColumns();
}

void TRMainWindowView::fitKeyOutlineColumns()
{
    QTreeView *outline = m_window ? m_window->form().domainContentsView : nullptr;
    if (!outline)
        return;
    QHeaderView *header = outline->header();
    const QScopedValueRollback<bool> fitting(m_fittingColumns, true);
    const int margins = textMargins(outline);
    const QFontMetrics metrics = outline->fontMetrics();
    // The key column: the rows the user sees first, not every row (a domain may hold a million).
    int keyWidth = header->sectionSizeHint(0);
    if (const QAbstractItemModel *model = outline->model(); model && m_userKeyColumnWidths[0] == 0) {
        const int rows = std::min(model->rowCount(), kMeasuredRows);
        const int indentation = outline->rootIsDecorated() ? outline->indentation() : 0;
        for (int row = 0; row < rows; ++row)
            keyWidth =
                std::max(keyWidth, indentation + outline->sizeHintForIndex(model->index(row, 0)).width());
        int largest = metrics.averageCharWidth() * kKeyColumnCharacters;
        if (outline->isVisible())
            largest = std::min(largest, outline->viewport()->width() / 2);
        keyWidth = std::min(keyWidth, std::max(largest, header->sectionSizeHint(0)));
    }
    // The type column: every type's name, so that no row's is cut.
    int typeWidth = header->sectionSizeHint(1);
    for (const QString &name : TRKey::typeNames())
        typeWidth = std::max(typeWidth, metrics.horizontalAdvance(name) + margins);
    const int fitted[] = {keyWidth, typeWidth};
    for (int column = 0; column < 2; ++column)
        header->resizeSection(column, m_userKeyColumnWidths[column] > 0 ? m_userKeyColumnWidths[column]
                                                                        : fitted[column]);
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
