#include "TRKeyDiffView.h"

#include "TRText.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPalette>
#include <QScrollBar>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <utility>

namespace {

enum Column
{
    NameColumn,
    TypeColumn,
    ValueColumn
};

QTreeWidget *makeTree(const QString &accessibleName)
{
    auto *tree = new QTreeWidget;
    tree->setColumnCount(3);
    tree->setHeaderLabels({trText("Key"), trText("Type"), trText("Value")});
    tree->setAccessibleName(accessibleName);
    tree->setUniformRowHeights(true);
    tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tree->header()->resizeSection(NameColumn, 200);
    tree->header()->resizeSection(TypeColumn, 90);
    return tree;
}

QTreeWidgetItem *makeItem(QTreeWidgetItem *parent, QTreeWidget *tree, const TRKeyPtr &key)
{
    auto *item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree);
    if (key) {
        item->setText(NameColumn, key->nameDescription());
        item->setText(TypeColumn, key->typeName());
        item->setText(ValueColumn, key->valueDescription());
    } else {
        item->setDisabled(true); // a placeholder: this version has no such key
    }
    return item;
}

// The relative luminance of a colour, as contrast ratios count it.
double luminance(const QColor &colour)
{
    const auto channel = [](double c) {
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(colour.redF()) + 0.7152 * channel(colour.greenF()) +
           0.0722 * channel(colour.blueF());
}

double contrast(const QColor &a, const QColor &b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The marks' background, warm and light over a light palette, warm and dark over a dark one; the text is
// the palette's own where it reads well on it, else black or white, whichever reads better.
std::pair<QColor, QColor> markColours(const QPalette &palette, bool holdsDifference)
{
    const bool dark = palette.color(QPalette::Base).lightnessF() < 0.5;
    const QColor background = holdsDifference ? (dark ? QColor(74, 61, 20) : QColor(255, 236, 179))
                                              : (dark ? QColor(110, 70, 10) : QColor(255, 205, 130));
    QColor text = palette.color(QPalette::Text);
    if (contrast(text, background) < 4.5)
        text = contrast(QColor(Qt::black), background) >= contrast(QColor(Qt::white), background)
                   ? QColor(Qt::black)
                   : QColor(Qt::white);
    return {background, text};
}

void markItem(QTreeWidgetItem *item, bool holdsDifference, const QString &note, const QPalette &palette)
{
    const auto [background, text] = markColours(palette, holdsDifference);
    for (int column = 0; column < 3; ++column) {
        item->setBackground(column, background);
        item->setForeground(column, text);
        item->setToolTip(column, note);
    }
    QFont font = item->font(NameColumn);
    font.setBold(!holdsDifference);
    item->setFont(NameColumn, font);
    item->setData(NameColumn, Qt::AccessibleDescriptionRole, note);
}

} // namespace

TRKeyDiffView::TRKeyDiffView(const QString &domain, const TRValue &onDisk, const QString &fileProblem,
                             const TRValue &inTamrix, QWidget *parent, const Labels &labels)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("keyDiffView"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setWindowTitle(labels.title.isEmpty() ? trFormat(trText("Domain %@: File and Tamrix's Copy"), {domain})
                                          : labels.title);

    m_diskTree = makeTree(trText("Keys in the file"));
    m_tamrixTree = makeTree(trText("Keys in Tamrix"));
    const QString diskTitle = !labels.left.isEmpty() ? labels.left
                              : fileProblem.isEmpty()
                                  ? trText("In the file (changed by another program)")
                                  : trFormat(trText("In the file: it cannot be read (%@)"), {fileProblem});
    auto *diskLabel = new QLabel(diskTitle);
    auto *tamrixLabel = new QLabel(labels.right.isEmpty() ? trText("In Tamrix (not saved)") : labels.right);
    diskLabel->setBuddy(m_diskTree);
    tamrixLabel->setBuddy(m_tamrixTree);

    // Either version was within the bounds of a key tree when it was read or made.
    const auto treeOf = [&domain](const TRValue &contents) {
        TRKeyPtr root = TRKey::create(
            TRValue(), contents.isDictionary() ? contents : TRValue::fromDictionary({}), nullptr, domain);
        return root ? root : TRKey::create(TRValue(), TRValue::fromDictionary({}), nullptr, domain);
    };
    const TRKeyPtr diskRoot = treeOf(onDisk);
    const TRKeyPtr tamrixRoot = treeOf(inTamrix);
    addChildren(diskRoot.get(), tamrixRoot.get(), nullptr, nullptr, QString());

    auto *summary = new QLabel(m_differing.isEmpty() ? trText("Both versions hold the same keys and values.")
                                                     : trFormat(trText("%d keys differ; they are marked."),
                                                                {QString::number(m_differing.size())}));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);

    auto *grid = new QGridLayout;
    grid->addWidget(diskLabel, 0, 0);
    grid->addWidget(tamrixLabel, 0, 1);
    grid->addWidget(m_diskTree, 1, 0);
    grid->addWidget(m_tamrixTree, 1, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid, 1);
    layout->addWidget(summary);
    layout->addWidget(buttons);
    keepTreesTogether();
    resize(900, 520);
}

bool TRKeyDiffView::addChildren(const TRKey *disk, const TRKey *tamrix, QTreeWidgetItem *diskParent,
                                QTreeWidgetItem *tamrixParent, const QString &path)
{
    const bool diskCompound = disk && disk->isCompound();
    const bool tamrixCompound = tamrix && tamrix->isCompound();
    bool differs = false;
    if (diskCompound && tamrixCompound && disk->isArray() && tamrix->isArray()) {
        // Elements pair up by position.
        const int count = std::max(disk->count(), tamrix->count());
        for (int i = 0; i < count; ++i)
            differs |= addRow(disk->childAtIndex(i), tamrix->childAtIndex(i), diskParent, tamrixParent, path);
        return differs;
    }
    // Entries pair up by key: Tamrix's in its order, then those only the file has.
    const TRKey *dictionaryOfDisk = diskCompound && disk->isDictionary() ? disk : nullptr;
    const TRKey *dictionaryOfTamrix = tamrixCompound && tamrix->isDictionary() ? tamrix : nullptr;
    if (tamrixCompound) {
        for (const TRKeyPtr &child : tamrix->children())
            differs |= addRow(dictionaryOfDisk ? dictionaryOfDisk->childForName(child->name()) : nullptr,
                              child, diskParent, tamrixParent, path);
    }
    if (diskCompound) {
        for (const TRKeyPtr &child : disk->children()) {
            if (!dictionaryOfTamrix || !dictionaryOfTamrix->childForName(child->name()))
                differs |= addRow(child, nullptr, diskParent, tamrixParent, path);
        }
    }
    return differs;
}

bool TRKeyDiffView::addRow(const TRKeyPtr &disk, const TRKeyPtr &tamrix, QTreeWidgetItem *diskParent,
                           QTreeWidgetItem *tamrixParent, const QString &path)
{
    QTreeWidgetItem *diskItem = makeItem(diskParent, m_diskTree, disk);
    QTreeWidgetItem *tamrixItem = makeItem(tamrixParent, m_tamrixTree, tamrix);
    const TRKeyPtr &either = tamrix ? tamrix : disk;
    const QString rowPath =
        path.isEmpty() ? either->nameDescription() : path + u'/' + either->nameDescription();
    const qsizetype at = m_differing.size();

    bool differs = !disk || !tamrix || disk->nodeKind() != tamrix->nodeKind() ||
                   (!disk->isCompound() && !(disk->value() == tamrix->value()));
    const bool holdsDifference =
        addChildren(disk.get(), tamrix.get(), diskItem, tamrixItem, rowPath) && !differs;
    if (differs) {
        m_differing.insert(at, rowPath);
        const QString note = !disk     ? trText("Only in Tamrix's copy")
                             : !tamrix ? trText("Only in the file")
                                       : trText("Differs");
        markItem(diskItem, false, note, m_diskTree->palette());
        markItem(tamrixItem, false, note, m_tamrixTree->palette());
    } else if (holdsDifference) {
        const QString note = trText("Holds keys that differ");
        markItem(diskItem, true, note, m_diskTree->palette());
        markItem(tamrixItem, true, note, m_tamrixTree->palette());
        diskItem->setExpanded(true);
        tamrixItem->setExpanded(true);
    }
    return differs || holdsDifference;
}

void TRKeyDiffView::keepTreesTogether()
{
    // The rows stand side by side: scrolling, unfolding and choosing a row in one tree does the same in
    // the other.
    const auto pair = [](QTreeWidget *from, QTreeWidget *to) {
        connect(from->verticalScrollBar(), &QScrollBar::valueChanged, to->verticalScrollBar(),
                &QScrollBar::setValue);
        const auto twin = [from, to](QTreeWidgetItem *item) {
            QList<int> rows;
            for (QTreeWidgetItem *at = item; at; at = at->parent())
                rows.prepend(at->parent() ? at->parent()->indexOfChild(at) : from->indexOfTopLevelItem(at));
            QTreeWidgetItem *other = to->topLevelItem(rows.takeFirst());
            for (int row : rows)
                other = other ? other->child(row) : nullptr;
            return other;
        };
        connect(from, &QTreeWidget::itemExpanded, to, [twin](QTreeWidgetItem *item) {
            if (QTreeWidgetItem *other = twin(item))
                other->setExpanded(true);
        });
        connect(from, &QTreeWidget::itemCollapsed, to, [twin](QTreeWidgetItem *item) {
            if (QTreeWidgetItem *other = twin(item))
                other->setExpanded(false);
        });
        connect(from, &QTreeWidget::currentItemChanged, to, [to, twin](QTreeWidgetItem *item) {
            if (QTreeWidgetItem *other = item ? twin(item) : nullptr; other && to->currentItem() != other)
                to->setCurrentItem(other);
        });
    };
    pair(m_diskTree, m_tamrixTree);
    pair(m_tamrixTree, m_diskTree);
}
