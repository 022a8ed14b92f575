#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;
class TRAppController;

// Recent Changes: every key-level change other programs made to the store while Tamrix ran, newest
// first (time, domain, key path, old → new), narrowed by a search field; activating a change shows its
// key in the main window.
class TRRecentChangesPanel final : public QDialog
{
    Q_OBJECT

public:
    TRRecentChangesPanel(TRAppController &controller, QWidget *parent);

    // Shows the panel (non-modal) with its search field ready for typing.
    void showPanel();
    // Lists the changes again, as the search field narrows them.
    void reload();

private:
    void activate(QTreeWidgetItem *item);

    TRAppController &m_controller;
    QLineEdit *m_field;
    QTreeWidget *m_list;
    QLabel *m_status;
};
