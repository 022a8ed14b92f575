#include "TRHistoryPanel.h"

#include "TRAppController.h"
#include "TRKeyPath.h"
#include "TRText.h"
#include "TRValueChanges.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

// Item data: a version's id, a change's names and the selected version's value at its path.
constexpr int kIdRole = Qt::UserRole;
constexpr int kNamesRole = Qt::UserRole;
constexpr int kHasValueRole = Qt::UserRole + 1;
// A value shown in a cell is cut at this many characters (the tooltip holds it whole).
constexpr qsizetype kShownCharacters = 200;

QString shown(const TRValue &value)
{
    if (value.isNone())
        return QString();
    const QString text = trOpenStepText(value);
    return text.size() > kShownCharacters ? text.left(kShownCharacters) + QChar(0x2026) : text;
}

QString sourceText(const QString &source)
{
    // The stored word, in the user's language.
    if (source == QLatin1String(TRDomainHistory::kTamrix))
        return trText("Tamrix");
    if (source == QLatin1String(TRDomainHistory::kAnotherProgram))
        return trText("another program");
    if (source == QLatin1String(TRDomainHistory::kImport))
        return trText("import");
    if (source == QLatin1String(TRDomainHistory::kRestore))
        return trText("restore");
    if (source == QLatin1String(TRDomainHistory::kDeleted))
        return trText("deleted");
    return source;
}

} // namespace

TRHistoryPanel::TRHistoryPanel(TRAppController &controller, QWidget *parent)
    : QDialog(parent), m_controller(controller), m_title(new QLabel(this)),
      m_versionList(new QTreeWidget(this)), m_against(new QComboBox(this)), m_changes(new QTreeWidget(this)),
      m_status(new QLabel(this)), m_restoreVersion(new QPushButton(trText("Restore This Version"), this)),
      m_restoreKey(new QPushButton(trText("Restore Key"), this))
{
    setObjectName(QStringLiteral("historyPanel"));
    setWindowTitle(trText("History"));
    setModal(false);
    m_title->setObjectName(QStringLiteral("historyTitle"));
    m_versionList->setObjectName(QStringLiteral("historyVersions"));
    m_versionList->setAccessibleName(trText("Versions of the domain"));
    m_versionList->setHeaderLabels({trText("Time"), trText("Source"), trText("Keys"), trText("Added"),
                                    trText("Removed"), trText("Changed")});
    m_versionList->setRootIsDecorated(false);
    m_versionList->setUniformRowHeights(true);
    m_against->setObjectName(QStringLiteral("historyAgainst"));
    m_against->setAccessibleName(trText("Compare with"));
    m_against->addItems(
        {trText("Changes from the version before"), trText("Changes to the current contents")});
    m_changes->setObjectName(QStringLiteral("historyChanges"));
    m_changes->setAccessibleName(trText("Changes of the selected version"));
    m_changes->setHeaderLabels({trText("Key"), trText("Before"), trText("After")});
    m_changes->setRootIsDecorated(false);
    m_changes->setUniformRowHeights(true);
    m_changes->header()->setStretchLastSection(true);
    m_status->setObjectName(QStringLiteral("historyStatus"));
    m_status->setWordWrap(true);
    m_status->setTextFormat(Qt::PlainText);
    m_restoreVersion->setObjectName(QStringLiteral("historyRestoreVersion"));
    m_restoreKey->setObjectName(QStringLiteral("historyRestoreKey"));

    auto *splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(m_versionList);
    auto *lower = new QWidget(splitter);
    auto *lowerLayout = new QVBoxLayout(lower);
    lowerLayout->setContentsMargins(0, 0, 0, 0);
    lowerLayout->addWidget(m_against);
    lowerLayout->addWidget(m_changes, 1);
    splitter->addWidget(lower);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->addButton(m_restoreVersion, QDialogButtonBox::ActionRole);
    buttons->addButton(m_restoreKey, QDialogButtonBox::ActionRole);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_title);
    layout->addWidget(splitter, 1);
    layout->addWidget(m_status);
    layout->addWidget(buttons);
    resize(760, 520);

    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    connect(m_versionList, &QTreeWidget::currentItemChanged, this, &TRHistoryPanel::showChanges);
    connect(m_against, &QComboBox::currentIndexChanged, this, &TRHistoryPanel::showChanges);
    connect(m_changes, &QTreeWidget::currentItemChanged, this,
            [this] { m_restoreKey->setEnabled(m_changes->currentItem() != nullptr); });
    connect(m_restoreVersion, &QPushButton::clicked, this, &TRHistoryPanel::restoreVersion);
    connect(m_restoreKey, &QPushButton::clicked, this, &TRHistoryPanel::restoreKey);
    connect(m_changes, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem *item) {
        if (item)
            m_controller.revealKey(m_domain, item->data(0, kNamesRole).toStringList());
    });
}

void TRHistoryPanel::showPanel()
{
    reload();
    show();
    raise();
    activateWindow();
    m_versionList->setFocus(Qt::ShortcutFocusReason);
}

void TRHistoryPanel::reload()
{
    m_domain = m_controller.shownDomainName();
    m_versionList->clear();
    m_changes->clear();
    m_versions.clear();
    QList<TRDomainHistory::Unreadable> unreadable;
    if (const TRDomainHistory *history = m_controller.history(); history && !m_domain.isEmpty())
        m_versions = history->versions(m_domain, &unreadable);
    m_title->setText(m_domain.isEmpty() ? trText("No domain is selected.")
                     : m_versions.isEmpty()
                         ? trFormat(trText("The history keeps no version of %@ yet."), {m_domain})
                         : trFormat(trText("Versions of %@, newest first"), {m_domain}));
    setWindowTitle(m_domain.isEmpty() ? trText("History") : trFormat(trText("History of %@"), {m_domain}));
    QList<QTreeWidgetItem *> items;
    items.reserve(m_versions.size());
    for (const TRDomainHistory::Version &version : std::as_const(m_versions)) {
        auto *item = new QTreeWidgetItem(
            {QLocale().toString(version.time.toLocalTime(), QLocale::ShortFormat), sourceText(version.source),
             QString::number(version.keyCount), QString::number(version.added),
             QString::number(version.removed), QString::number(version.changed)});
        item->setData(0, kIdRole, version.id);
        if (!version.problem.isEmpty()) {
            item->setDisabled(true);
            item->setToolTip(0, version.problem);
        }
        items.append(item);
    }
    m_versionList->addTopLevelItems(items);
    for (int column = 0; column < m_versionList->columnCount(); ++column)
        m_versionList->resizeColumnToContents(column);
    QStringList damaged;
    for (const TRDomainHistory::Unreadable &file : std::as_const(unreadable))
        damaged.append(trFormat(trText("%@: %@"), {file.fileName, file.reason}));
    m_unreadable = damaged.isEmpty() ? QString()
                                     : trFormat(trText("Unreadable versions, left out: %@"),
                                                {damaged.join(QStringLiteral("; "))});
    m_status->setText(m_unreadable);
    m_restoreVersion->setEnabled(false);
    m_restoreKey->setEnabled(false);
    if (!items.isEmpty())
        m_versionList->setCurrentItem(items.first());
}

bool TRHistoryPanel::selectedContents(TRValue *contents)
{
    const QTreeWidgetItem *item = m_versionList->currentItem();
    const TRDomainHistory *history = m_controller.history();
    if (!item || !history)
        return false;
    QString error;
    if (history->contents(m_domain, item->data(0, kIdRole).toLongLong(), contents, &error))
        return true;
    m_status->setText(
        (m_unreadable + u' ' + trFormat(trText("This version cannot be read: %@"), {error})).trimmed());
    return false;
}

void TRHistoryPanel::showChanges()
{
    m_changes->clear();
    m_restoreKey->setEnabled(false);
    m_status->setText(m_unreadable);
    TRValue selected;
    const bool readable = selectedContents(&selected);
    m_restoreVersion->setEnabled(readable);
    if (!readable)
        return;
    const TRDomainHistory *history = m_controller.history();
    const int row = m_versionList->indexOfTopLevelItem(m_versionList->currentItem());
    // Against the version before: what the selected one changed. Against now: what changed since, and
    // the selected version's value is the "before" side.
    const bool againstNow = m_against->currentIndex() == 1;
    TRValue other = TRValue::fromDictionary(TRDictionary());
    if (againstNow) {
        if (const TRDomainController *domain = m_controller.domainForName(m_domain))
            other = domain->databaseRepresentation();
    } else if (row + 1 < m_versions.size()) {
        QString error;
        if (!history->contents(m_domain, m_versions.at(row + 1).id, &other, &error)) {
            m_status->setText(
                (m_unreadable + u' ' + trFormat(trText("The version before cannot be read: %@"), {error}))
                    .trimmed());
            return;
        }
    }
    const QList<TRValueChange> changes =
        againstNow ? trValueChanges(selected, other) : trValueChanges(other, selected);
    QList<QTreeWidgetItem *> items;
    items.reserve(changes.size());
    for (const TRValueChange &change : changes) {
        auto *item =
            new QTreeWidgetItem({trKeyPath(change.names), shown(change.before), shown(change.after)});
        item->setData(0, kNamesRole, change.names);
        // What Restore Key puts back: the selected version's side.
        item->setData(0, kHasValueRole, !(againstNow ? change.before : change.after).isNone());
        item->setToolTip(1, trOpenStepText(change.before));
        item->setToolTip(2, trOpenStepText(change.after));
        items.append(item);
    }
    m_changes->addTopLevelItems(items);
    m_changes->resizeColumnToContents(0);
    if (changes.isEmpty())
        m_status->setText(
            (m_unreadable + u' ' +
             (againstNow ? trText("This version is the domain's contents now.") : trText("No key changed.")))
                .trimmed());
}

void TRHistoryPanel::restoreVersion()
{
    TRValue contents;
    if (selectedContents(&contents) && m_controller.restoreVersion(m_domain, contents))
        showChanges();
}

void TRHistoryPanel::restoreKey()
{
    const QTreeWidgetItem *item = m_changes->currentItem();
    TRValue contents;
    if (!item || !selectedContents(&contents))
        return;
    const QStringList names = item->data(0, kNamesRole).toStringList();
    TRValue value;
    if (item->data(0, kHasValueRole).toBool()) {
        // The selected version's value at the path.
        value = contents;
        for (const QString &name : names)
            value = value.isArray() ? value.toArray().value(name.toInt()) : value.toDictionary().value(name);
    }
    if (m_controller.restoreKey(m_domain, names, value))
        showChanges();
}
