// The main window's size, splitter position and column widths, remembered between runs in the
// application's own domain.
#include "TRAppController.h"
#include "store/TRPreferences.h"

#include <QHeaderView>
#include <QMainWindow>
#include <QSplitter>
#include <QTableView>
#include <QTreeView>

namespace {

const QString kWindowSize = QStringLiteral("MainWindowSize");
const QString kSplitterSizes = QStringLiteral("MainWindowSplitterSizes");
const QString kDomainListColumns = QStringLiteral("DomainListColumnWidths");
const QString kKeyOutlineColumns = QStringLiteral("KeyOutlineColumnWidths");
constexpr int kLargest = 100000;

// A stored list of sizes, or an empty list when the value is not one (a hand-edited domain may hold
// anything).
QList<int> sizesFrom(const TRValue &value, qsizetype expected = -1)
{
    QList<int> sizes;
    if (!value.isArray() || (expected >= 0 && value.toArray().size() != expected))
        return {};
    for (const TRValue &element : value.toArray()) {
        if (!element.isInteger() || element.toInteger() < 0 || element.toInteger() > kLargest)
            return {};
        sizes.append(static_cast<int>(element.toInteger()));
    }
    return sizes;
}

TRValue valueFrom(const QList<int> &sizes)
{
    TRArray elements;
    for (int size : sizes)
        elements.append(TRValue::fromInteger(size));
    return TRValue::fromArray(std::move(elements));
}

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

void store(const QString &key, const QList<int> &sizes)
{
    if (sizes.isEmpty())
        return;
    TRPreferences &preferences = TRPreferences::shared();
    const TRValue value = valueFrom(sizes);
    if (preferences.value(key) != value)
        preferences.setValue(key, value);
}

} // namespace

void TRAppController::restoreWindowState()
{
    TRPreferences &preferences = TRPreferences::shared();
    if (QMainWindow *window = m_outlets.mainWindow) {
        const QList<int> size = sizesFrom(preferences.value(kWindowSize), 2);
        if (!size.isEmpty() && size[0] >= 200 && size[1] >= 150)
            window->resize(size[0], size[1]);
    }
    if (QSplitter *splitter = m_outlets.splitter) {
        const QList<int> sizes = sizesFrom(preferences.value(kSplitterSizes), splitter->count());
        if (!sizes.isEmpty())
            splitter->setSizes(sizes);
    }
    if (QTableView *list = m_outlets.domainListView)
        applySectionSizes(list->horizontalHeader(), sizesFrom(preferences.value(kDomainListColumns)));
    m_outlineColumnWidths = sizesFrom(preferences.value(kKeyOutlineColumns));
}

void TRAppController::saveWindowState()
{
    if (QMainWindow *window = m_outlets.mainWindow)
        store(kWindowSize, {window->width(), window->height()});
    if (QSplitter *splitter = m_outlets.splitter)
        store(kSplitterSizes, splitter->sizes());
    if (QTableView *list = m_outlets.domainListView)
        store(kDomainListColumns, sectionSizes(list->horizontalHeader()));
    rememberOutlineColumnWidths();
    store(kKeyOutlineColumns, m_outlineColumnWidths);
}

void TRAppController::rememberOutlineColumnWidths()
{
    if (QTreeView *outline = m_outlets.domainContentsView) {
        const QList<int> sizes = sectionSizes(outline->header());
        if (!sizes.isEmpty())
            m_outlineColumnWidths = sizes;
    }
}

void TRAppController::applyOutlineColumnWidths()
{
    QTreeView *outline = m_outlets.domainContentsView;
    if (!outline)
        return;
    if (m_outlineColumnWidths.isEmpty()) {
        // Name and type; the value takes the rest.
        const int character = outline->fontMetrics().averageCharWidth();
        m_outlineColumnWidths = {character * 30, character * 12};
    }
    applySectionSizes(outline->header(), m_outlineColumnWidths);
}
