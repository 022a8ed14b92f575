#include "TRDomainListModel.h"

#include "TRAppController.h"
#include "TRText.h"

TRDomainListModel::TRDomainListModel(QObject *parent)
    : QAbstractTableModel(parent)
    , m_identifiers(standardColumnIdentifiers())
{
}

QStringList TRDomainListModel::standardColumnIdentifiers()
{
    return {QStringLiteral("modified"), QStringLiteral("domainName"), QStringLiteral("keyCount")};
}

void TRDomainListModel::setColumnIdentifiers(const QStringList &identifiers)
{
    beginResetModel();
    m_identifiers = identifiers;
    endResetModel();
}

void TRDomainListModel::setDataSource(TRAppController *source)
{
    beginResetModel();
    m_source = source;
    m_rows = sourceRowCount();
    endResetModel();
}

int TRDomainListModel::sourceRowCount() const
{
    return m_source ? qMax(0, m_source->numberOfRowsInTableView()) : 0;
}

void TRDomainListModel::reloadData()
{
    const int rows = sourceRowCount();
    if (rows > m_rows) {
        beginInsertRows(QModelIndex(), m_rows, rows - 1);
        m_rows = rows;
        endInsertRows();
    } else if (rows < m_rows) {
        beginRemoveRows(QModelIndex(), rows, m_rows - 1);
        m_rows = rows;
        endRemoveRows();
    }
    if (m_rows > 0 && !m_identifiers.isEmpty())
        emit dataChanged(index(0, 0), index(m_rows - 1, static_cast<int>(m_identifiers.size()) - 1));
}

int TRDomainListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int TRDomainListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_identifiers.size());
}

QVariant TRDomainListModel::data(const QModelIndex &index, int role) const
{
    if (!m_source || !checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const QString &identifier = m_identifiers.at(index.column());
    switch (role) {
    case Qt::DisplayRole:
        return m_source->tableViewObjectValueForTableColumn(identifier, index.row());
    case Qt::ToolTipRole:
        if (identifier == QLatin1String("modified")
            && !m_source->tableViewObjectValueForTableColumn(identifier, index.row()).isEmpty())
            return trText("Modified, not saved");
        return {};
    case Qt::AccessibleTextRole:
        // A screen reader says the word instead of the bare marker.
        if (identifier == QLatin1String("modified")
            && !m_source->tableViewObjectValueForTableColumn(identifier, index.row()).isEmpty())
            return trText("modified");
        return {};
    case Qt::TextAlignmentRole:
        if (identifier == QLatin1String("keyCount"))
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        if (identifier == QLatin1String("modified"))
            return QVariant::fromValue(Qt::AlignCenter);
        return {};
    default:
        return {};
    }
}

QVariant TRDomainListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0
        || section >= m_identifiers.size())
        return {};
    const QString &identifier = m_identifiers.at(section);
    if (identifier == QLatin1String("domainName"))
        return trText("Domain");
    if (identifier == QLatin1String("keyCount"))
        return trText("Keys");
    return QString();
}
