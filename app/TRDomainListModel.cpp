#include "TRDomainListModel.h"

#include "TRAppController.h"
#include "TRText.h"

#include <QSet>

TRDomainListModel::TRDomainListModel(QObject *parent)
    : QAbstractTableModel(parent), m_identifiers(standardColumnIdentifiers())
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
    m_names = sourceNames();
    endResetModel();
}

int TRDomainListModel::sourceRowCount() const
{
    return m_source ? qMax(0, m_source->numberOfRowsInTableView()) : 0;
}

QStringList TRDomainListModel::sourceNames() const
{
    QStringList names;
    const int rows = sourceRowCount();
    names.reserve(rows);
    for (int row = 0; row < rows; ++row)
        names.append(m_source->tableViewObjectValueForTableColumn(QStringLiteral("domainName"), row));
    return names;
}

void TRDomainListModel::reloadData()
{
    const QStringList names = sourceNames();
    const QSet<QString> now(names.cbegin(), names.cend());
    for (qsizetype row = m_names.size() - 1; row >= 0; --row) {
        if (now.contains(m_names.at(row)))
            continue;
        beginRemoveRows(QModelIndex(), int(row), int(row));
        m_names.removeAt(row);
        endRemoveRows();
    }
    const QSet<QString> kept(m_names.cbegin(), m_names.cend());
    for (qsizetype row = 0; row < names.size(); ++row) {
        if (row < m_names.size() && m_names.at(row) == names.at(row))
            continue;
        if (kept.contains(names.at(row))) {
            // The order changed: nothing to follow row by row.
            beginResetModel();
            m_names = names;
            endResetModel();
            return;
        }
        beginInsertRows(QModelIndex(), int(row), int(row));
        m_names.insert(row, names.at(row));
        endInsertRows();
    }
    if (!m_names.isEmpty() && !m_identifiers.isEmpty())
        emit dataChanged(index(0, 0),
                         index(int(m_names.size()) - 1, static_cast<int>(m_identifiers.size()) - 1));
}

int TRDomainListModel::sourceRow(int row) const
{
    // While a change of the source is being announced, a row's domain may stand elsewhere in the source.
    const QString &name = m_names.at(row);
    if (row < sourceRowCount() &&
        m_source->tableViewObjectValueForTableColumn(QStringLiteral("domainName"), row) == name)
        return row;
    return m_source->indexOfDomain(name);
}

int TRDomainListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_names.size());
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
    const int row = sourceRow(index.row());
    if (row < 0)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return m_source->tableViewObjectValueForTableColumn(identifier, row);
    case Qt::ToolTipRole:
    case Qt::AccessibleTextRole: {
        // A screen reader says the word instead of the bare marker.
        const QString marker = identifier == QLatin1String("modified")
                                   ? m_source->tableViewObjectValueForTableColumn(identifier, row)
                                   : QString();
        if (marker.isEmpty())
            return {};
        if (marker == TRAppController::changedOnDiskMarker())
            return role == Qt::ToolTipRole ? trText("Changed on disk by another program")
                                           : trText("modified, changed on disk by another program");
        return role == Qt::ToolTipRole ? trText("Modified, not saved") : trText("modified");
    }
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
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= m_identifiers.size())
        return {};
    const QString &identifier = m_identifiers.at(section);
    if (identifier == QLatin1String("domainName"))
        return trText("Domain");
    if (identifier == QLatin1String("keyCount"))
        return trText("Keys");
    return QString();
}
