#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>
#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;
class TRAppController;
class TRFindAllSearch;

// The results panel of Find in All Domains: a search field, whether values are searched too, and a list of
// domain, key path and value of every match. The list fills a slice at a time from a zero timer, so the
// window keeps answering; activating a result shows its key in the main window.
class TRFindAllPanel final : public QDialog
{
    Q_OBJECT

public:
    TRFindAllPanel(TRAppController &controller, QWidget *parent);
    ~TRFindAllPanel() override;

    // Shows the panel (non-modal) with its search field ready for typing.
    void showPanel();
    // Starts a new search of every domain as they are now; an empty text clears the list.
    void search(const QString &text, bool inValues);
    bool isSearching() const { return m_timer.isActive(); }

    // At most this many matches are listed.
    static constexpr int kMaxResults = 10000;

signals:
    void searchFinished();

private:
    void searchSlice();
    void activate(QTreeWidgetItem *item);
    void updateStatus();

    TRAppController &m_controller;
    QLineEdit *m_field;
    QCheckBox *m_inValues;
    QTreeWidget *m_results;
    QLabel *m_status;
    std::unique_ptr<TRFindAllSearch> m_search;
    QTimer m_timer;
    bool m_truncated = false;
    bool m_searchedValues = false;
};
