#pragma once

#include <QAbstractTableModel>
#include <QStringList>

class TRAppController;

// The domain list's item model: a thin adapter that asks its data source (the application controller)
// for the row count and for each cell by column identifier. Detaching the data source empties it.
class TRDomainListModel final : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit TRDomainListModel(QObject *parent = nullptr);

    // "modified", "domainName", "keyCount".
    static QStringList standardColumnIdentifiers();
    QStringList columnIdentifiers() const { return m_identifiers; }
    void setColumnIdentifiers(const QStringList &identifiers);

    // setDataSource: (none detaches); the view is redrawn from the new source.
    void setDataSource(TRAppController *source);
    TRAppController *dataSource() const { return m_source; }
    // reloadData: rows are matched to the data source's by domain name. A row whose domain has gone is
    // announced as removed where it stood, a new domain as inserted where it now stands, and every cell
    // as changed, so that persistent indexes (the selection among them) stay with their domain.
    void reloadData();
    // The domain of the row as last announced; empty outside the rows.
    QString domainNameAt(int row) const { return m_names.value(row); }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    int sourceRowCount() const;
    QStringList sourceNames() const;
    // The source's row for the model's row, found by the row's domain name; -1 once it has gone.
    int sourceRow(int row) const;

    TRAppController *m_source = nullptr;
    QStringList m_identifiers;
    QStringList m_names; // the domain of each row, as last announced
};
