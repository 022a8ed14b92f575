#include "TRFindAllPanel.h"

#include "TRAppController.h"
#include "TRFindAllSearch.h"
#include "TRText.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

// How long one slice of the search may keep the window from answering.
constexpr qint64 kSliceMilliseconds = 10;
// Keys visited between two looks at the clock.
constexpr int kStepBudget = 256;

} // namespace

TRFindAllPanel::TRFindAllPanel(TRAppController &controller, QWidget *parent)
    : QDialog(parent), m_controller(controller), m_field(new QLineEdit(this)),
      m_inValues(new QCheckBox(trText("Search values too"), this)), m_results(new QTreeWidget(this)),
      m_status(new QLabel(this))
{
    setObjectName(QStringLiteral("findAllPanel"));
    setWindowTitle(trText("Find in All Domains"));
    setModal(false);
    m_field->setObjectName(QStringLiteral("findAllField"));
    m_field->setPlaceholderText(trText("Name or value to find"));
    m_field->setAccessibleName(trText("Text to find in all domains"));
    m_field->setClearButtonEnabled(true);
    m_inValues->setObjectName(QStringLiteral("findAllInValues"));
    m_results->setObjectName(QStringLiteral("findAllResults"));
    m_results->setAccessibleName(trText("Matches in all domains"));
    m_results->setHeaderLabels({trText("Domain"), trText("Key"), trText("Value")});
    m_results->setRootIsDecorated(false);
    m_results->setUniformRowHeights(true);
    m_results->header()->setStretchLastSection(true);
    m_status->setObjectName(QStringLiteral("findAllStatus"));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_field);
    layout->addWidget(m_inValues);
    layout->addWidget(m_results, 1);
    layout->addWidget(m_status);
    resize(720, 420);

    // Values are searched as the key search's preference says, until the user ticks the box otherwise.
    m_inValues->setChecked(TRAppController::preferenceIsSet(TRAppController::kLookInValues));

    m_timer.setInterval(0);
    connect(&m_timer, &QTimer::timeout, this, &TRFindAllPanel::searchSlice);
    connect(m_field, &QLineEdit::returnPressed, this,
            [this] { search(m_field->text(), m_inValues->isChecked()); });
    connect(m_inValues, &QCheckBox::toggled, this, [this](bool inValues) {
        if (!m_field->text().isEmpty())
            search(m_field->text(), inValues);
    });
    connect(m_results, &QTreeWidget::itemActivated, this, &TRFindAllPanel::activate);
}

TRFindAllPanel::~TRFindAllPanel() = default;

void TRFindAllPanel::showPanel()
{
    show();
    raise();
    activateWindow();
    m_field->setFocus(Qt::ShortcutFocusReason);
    m_field->selectAll();
}

void TRFindAllPanel::search(const QString &text, bool inValues)
{
    if (m_field->text() != text)
        m_field->setText(text);
    m_results->clear();
    m_truncated = false;
    m_searchedValues = inValues;
    std::vector<std::pair<QString, TRValue>> contents;
    contents.reserve(m_controller.domains().size());
    for (const TRDomainControllerPtr &domain : m_controller.domains())
        contents.emplace_back(domain->name(), domain->databaseRepresentation());
    m_search = std::make_unique<TRFindAllSearch>(std::move(contents), text, inValues);
    m_timer.start();
    searchSlice();
}

void TRFindAllPanel::searchSlice()
{
    if (!m_search) {
        m_timer.stop();
        return;
    }
    QElapsedTimer clock;
    clock.start();
    QList<TRFindAllSearch::Match> found;
    bool done = false;
    while (!done && clock.elapsed() < kSliceMilliseconds)
        done = m_search->step(kStepBudget, &found);
    QList<QTreeWidgetItem *> items;
    for (const TRFindAllSearch::Match &match : found) {
        if (m_results->topLevelItemCount() + items.size() >= kMaxResults) {
            m_truncated = true;
            done = true;
            break;
        }
        auto *item = new QTreeWidgetItem({match.domain, TRAppController::keyPath(match.names), match.value});
        item->setData(0, Qt::UserRole, match.names);
        items.append(item);
    }
    m_results->addTopLevelItems(items);
    if (done) {
        m_timer.stop();
        m_search.reset();
    }
    updateStatus();
    if (done)
        emit searchFinished();
}

void TRFindAllPanel::updateStatus()
{
    const QString count = QString::number(m_results->topLevelItemCount());
    if (m_search)
        m_status->setText(trFormat(trText("Searching\u2026 %d matches so far"), {count}));
    else if (m_truncated)
        m_status->setText(trFormat(trText("The first %d matches"), {count}));
    else if (m_results->topLevelItemCount() == 0 && !m_searchedValues)
        // A word that stands only in values would otherwise look absent.
        m_status->setText(trText("No key name contains the text; values were not searched"));
    else
        m_status->setText(trFormat(trText("%d matches"), {count}));
}

void TRFindAllPanel::activate(QTreeWidgetItem *item)
{
    if (item)
        m_controller.revealKey(item->text(0), item->data(0, Qt::UserRole).toStringList());
}
