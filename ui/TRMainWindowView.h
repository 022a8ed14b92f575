#pragma once

#include "TRMainView.h"

#include <QPointer>

class QLabel;
class TRAppController;
class TRMainWindow;

// The main view over the main window's widgets. The widgets may go before it (the window is closed and
// deleted): each call then does nothing and answers an empty value.
class TRMainWindowView final : public TRMainView
{
public:
    // Puts the notice of unreadable files into the window's status bar; the domain list's selection
    // changes go to the controller.
    TRMainWindowView(TRMainWindow &window, TRAppController &controller);
    ~TRMainWindowView() override;

    QWidget *window() const override;
    void showStatusMessage(const QString &message) override;
    void showUnreadableFiles(const QString &text, const QString &details) override;
    void showBothVersions(const QString &domain, const TRValue &onDisk, const QString &fileProblem,
                          const TRValue &inTamrix) override;
    void showImportChanges(const QString &domain, const TRValue &imported, const TRValue &inTamrix) override;
    void showRecoveredChanges(const QString &domain, const TRValue &stored,
                              const TRValue &recovered) override;

    void setDomainListModel(QAbstractItemModel *model) override;
    int selectedDomainRow() const override;
    void selectDomainRow(int row) override;
    QString domainSearchText() const override;
    void focusDomainSearch(bool selectText) override;

    TRKeyOutlineModel *keyOutlineModel() const override;
    void setKeyOutlineModel(TRKeyOutlineModel *model) override;
    QModelIndex currentKeyRow() const override;
    QModelIndexList selectedKeyRows() const override;
    bool isKeyRowSelected(const QModelIndex &row) const override;
    void selectKeyRows(const QItemSelection &rows, const QModelIndex &current) override;
    bool isKeyExpanded(const QModelIndex &row) const override;
    QModelIndexList expandedKeyRows() const override;
    void setKeyExpanded(const QModelIndex &row, bool expanded) override;
    QModelIndex keyRowBelow(const QModelIndex &row) const override;
    void redrawKeyOutline() override;
    void keepingKeyOutlineView(const std::function<void()> &replaceTree) override;
    QString keySearchText() const override;
    void focusKeySearch(bool selectText) override;
    QList<int> keyOutlineColumnWidths() const override;
    void setKeyOutlineColumnWidths(const QList<int> &widths) override;
    void fitKeyOutlineColumns() override;

    QList<int> windowSize() const override;
    void setWindowSize(const QList<int> &size) override;
    QList<int> splitterSizes() const override;
    void setSplitterSizes(const QList<int> &sizes) override;

private:
    QPointer<TRMainWindow> m_window;
    TRAppController &m_controller;
    QPointer<QLabel> m_unreadableFiles;
    // The widths the user gave the key and type columns; 0: the column is sized to its contents.
    QList<int> m_userKeyColumnWidths{0, 0};
    // The view itself is resizing the columns.
    bool m_fittingColumns = false;
};
