#pragma once

#include "TRKey.h"
#include "TRValue.h"

#include <QDialog>
#include <QString>
#include <QStringList>

class QTreeWidget;
class QTreeWidgetItem;

// A read-only view of two versions of one domain side by side: the keys its file holds now, as another
// program left them, and the keys Tamrix holds. Both trees list the keys of either version in the same
// rows, so that they scroll and unfold together; a key whose value differs, or that only one version has,
// is marked, and so is every dictionary or array holding one.
class TRKeyDiffView final : public QDialog
{
    Q_OBJECT

public:
    // What the window and its two sides are called; empty texts say the file and Tamrix's copy.
    struct Labels
    {
        QString title;
        QString left;
        QString right;
    };
    // fileProblem: why the file could not be read (then its side stays empty); empty when it could.
    TRKeyDiffView(const QString &domain, const TRValue &onDisk, const QString &fileProblem,
                  const TRValue &inTamrix, QWidget *parent = nullptr, const Labels &labels = Labels());

    // The keys marked as differing, as paths of names joined by "/", in the order shown.
    QStringList differingKeys() const { return m_differing; }
    QTreeWidget *diskTree() const { return m_diskTree; }
    QTreeWidget *tamrixTree() const { return m_tamrixTree; }

private:
    // Adds the rows for the children of the two nodes (either may be null or a leaf) under the two parent
    // items; answers whether any of them differs.
    bool addChildren(const TRKey *disk, const TRKey *tamrix, QTreeWidgetItem *diskParent,
                     QTreeWidgetItem *tamrixParent, const QString &path);
    bool addRow(const TRKeyPtr &disk, const TRKeyPtr &tamrix, QTreeWidgetItem *diskParent,
                QTreeWidgetItem *tamrixParent, const QString &path);
    void keepTreesTogether();

    QTreeWidget *m_diskTree = nullptr;
    QTreeWidget *m_tamrixTree = nullptr;
    QStringList m_differing;
};
