// The main window's size, splitter position and the key columns' widths the user set, remembered between
// runs in the application's own domain.
#include "TRAppController.h"
#include "TRMainView.h"
#include "store/TRPreferences.h"

namespace {

const QString kWindowSize = QStringLiteral("MainWindowSize");
const QString kSplitterSizes = QStringLiteral("MainWindowSplitterSizes");
// Earlier versions kept every width under KeyOutlineColumnWidths, set by the user or not.
const QString kKeyOutlineColumns = QStringLiteral("KeyOutlineColumnWidthsSetByUser");
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
    if (!m_view)
        return;
    TRPreferences &preferences = TRPreferences::shared();
    const QList<int> size = sizesFrom(preferences.value(kWindowSize), 2);
    if (!size.isEmpty() && size[0] >= 200 && size[1] >= 150)
        m_view->setWindowSize(size);
    const QList<int> sizes = sizesFrom(preferences.value(kSplitterSizes), m_view->splitterSizes().size());
    if (!sizes.isEmpty())
        m_view->setSplitterSizes(sizes);
    m_view->setKeyOutlineColumnWidths(sizesFrom(preferences.value(kKeyOutlineColumns), 2));
}

void TRAppController::saveWindowState()
{
    if (!m_view)
        return;
    store(kWindowSize, m_view->windowSize());
    store(kSplitterSizes, m_view->splitterSizes());
    store(kKeyOutlineColumns, m_view->keyOutlineColumnWidths());
    saveView();
}
