#include "TRRecentChangesPanel.h"

#include "TRAppController.h"
#include "TRKeyPath.h"
#include "TRText.h"
#include "TRValueChanges.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int kNamesRole = Qt::UserRole;
constexpr qsizetype kShownCharacters = 120;

QString shown(const TRValue &value)
{
    const QString text = trOpenStepText(value);
    return text.size() > kShownCharacters ? text.left(kShownCharacters) + QChar(0x2026) : text;
}

QString changeText(const TRValueChange &change)
{
    switch (change.kind) {
    case TRValueChange::Kind::Added:
        return trFormat(trText("added: %@"), {shown(change.after)});
    case TRValueChange::Kind::Removed:
        return trFormat(trText("removed: %@"), {shown(change.before)});
    case TRValueChange::Kind::Changed:
        break;
    }
    return shown(change.before) + QStringLiteral(" \u2192 ") + shown(change.after);
}

} // namespace

TRRecentChangesPanel::TRRecentChangesPanel(TRAppController &controller, QWidget *parent)
    : QDialog(parent), m_controller(controller), m_field(new QLineEdit(this)), m_list(new QTreeWidget(this)),
      m_status(new QLabel(this))
{
    setObjectName(QStringLiteral("recentChangesPanel"));
    setWindowTitle(trText("Recent Changes"));
    setModal(false);
    m_field->setObjectName(QStringLiteral("recentChangesField"));
    m_field->setPlaceholderText(trText("Domain, key or value"));
    m_field->setAccessibleName(trText("Text to find in the recent changes"));
    m_field->setClearButtonEnabled(true);
    m_list->setObjectName(QStringLiteral("recentChangesList"));
    m_list->setAccessibleName(trText("Changes other programs made"));
    m_list->setHeaderLabels({trText("Time"), trText("Domain"), trText("Key"), trText("Change")});
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->header()->setStretchLastSection(true);
    m_status->setObjectName(QStringLiteral("recentChangesStatus"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_field);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_status);
    resize(760, 420);

    connect(m_field, &QLineEdit::textChanged, this, &TRRecentChangesPanel::reload);
    connect(m_list, &QTreeWidget::itemActivated, this, &TRRecentChangesPanel::activate);
    connect(&controller, &TRAppController::recentChangesChanged, this, [this] {
        if (isVisible())
            reload();
    });
}

void TRRecentChangesPanel::showPanel()
{
    reload();
    show();
    raise();
    activateWindow();
    m_field->setFocus(Qt::ShortcutFocusReason);
    m_field->selectAll();
}

void TRRecentChangesPanel::reload()
{
    const QString text = m_field->text();
    m_list->clear();
    QList<QTreeWidgetItem *> items;
    const QList<TRRecentChange> &changes = m_controller.recentChanges();
    for (const TRRecentChange &recent : changes) {
        const QString path = trKeyPath(recent.change.names);
        const QString what = changeText(recent.change);
        if (!text.isEmpty() && !recent.domain.contains(text, Qt::CaseInsensitive) &&
            !path.contains(text, Qt::CaseInsensitive) && !what.contains(text, Qt::CaseInsensitive))
            continue;
        auto *item =
            new QTreeWidgetItem({QLocale().toString(recent.time.toLocalTime().time(), QLocale::LongFormat),
                                 recent.domain, path, what});
        item->setData(0, kNamesRole, recent.change.names);
        item->setToolTip(3, what);
        items.append(item);
    }
    m_list->addTopLevelItems(items);
    for (int column = 0; column < 3; ++column)
        m_list->resizeColumnToContents(column);
    m_status->setText(
        changes.isEmpty() ? trText("No other program has changed the store since Tamrix started.")
        : text.isEmpty()  ? trFormat(trText("%d changes"), {QString::number(items.size())})
                          : trFormat(trText("%d of %d changes"),
                                     {QString::number(items.size()), QString::number(changes.size())}));
}

void TRRecentChangesPanel::activate(QTreeWidgetItem *item)
{
    if (item)
        m_controller.revealKey(item->text(1), item->data(0, kNamesRole).toStringList());
}
