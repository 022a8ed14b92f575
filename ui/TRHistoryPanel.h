#pragma once

#include "TRValue.h"
#include "store/TRDomainHistory.h"

#include <QDialog>
#include <QList>

class QComboBox;
class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class TRAppController;

// The Changes panel of one domain: the versions its history keeps (local time, source, keys added,
// removed and changed), and for the selected one its key-level changes against the version before or
// against the domain's contents now, "path: old → new". Restore This Version and Restore Key change the
// domain in the window, as one undo step each; Save writes it.
class TRHistoryPanel final : public QDialog
{
    Q_OBJECT

public:
    TRHistoryPanel(TRAppController &controller, QWidget *parent);

    // Shows the panel (non-modal) for the domain shown in the window, its newest version selected.
    void showPanel();
    // Reads the shown domain's history again.
    void reload();
    // The domain whose history is shown.
    const QString &shownDomain() const { return m_domain; }
    // The newest version listed; 0 with none.
    qint64 newestShownId() const { return m_versions.isEmpty() ? 0 : m_versions.first().id; }

private:
    void showChanges();
    void restoreVersion();
    void restoreKey();
    // The selected version's contents; false (and the reason shown) when it cannot be rebuilt.
    bool selectedContents(TRValue *contents);

    TRAppController &m_controller;
    QString m_domain;
    QList<TRDomainHistory::Version> m_versions;
    // The files of the history that could not be read, as the status line tells them.
    QString m_unreadable;
    QLabel *m_title;
    QTreeWidget *m_versionList;
    QComboBox *m_against;
    QTreeWidget *m_changes;
    QLabel *m_status;
    QPushButton *m_restoreVersion;
    QPushButton *m_restoreKey;
};
