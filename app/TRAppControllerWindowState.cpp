// The main window's size, splitter position and column widths, remembered between runs in the
// application's own domain.
#include "TRAppController.h"
#include "TRMainView.h"
#include "store/TRPreferences.h"

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
    m_view->setDomainListColumnWidths(sizesFrom(preferences.value(kDomainListColumns)));
    m_outlineColumnWidths = sizesFrom(preferences.value(kKeyOutlineColumns));
}

void TRAppController::saveWindowState()
{
    if (!m_view)
        return;
    store(kWindowSize, m_view->windowSize());
    store(kSplitterSizes, m_view->splitterSizes());
    store(kDomainListColumns, m_view->domainListColumnWidths());
    rememberOutlineColumnWidths();
    store(kKeyOutlineColumns, m_outlineColumnWidths);
}

void TRAppController::rememberOutlineColumnWidths()
{
    if (!m_view)
        return;
    const QList<int> sizes = m_view->keyOutlineColumnWidths();
    if (!sizes.isEmpty())
        m_outlineColumnWidths = sizes;
}

void TRAppController::applyOutlineColumnWidths()
{
    if (!m_view)
        return;
    if (m_outlineColumnWidths.isEmpty())
        m_outlineColumnWidths = m_view->defaultKeyOutlineColumnWidths();
    m_view->setKeyOutlineColumnWidths(m_outlineColumnWidths);
}
