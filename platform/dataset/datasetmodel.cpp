#include "platform/dataset/datasetmodel.h"
#include "platform/dataset/dataset.h"
#include "platform/dataset/displayformat.h"

#include <QSize>
#include <QSqlField>

DatasetModel::DatasetModel(Dataset *ds, QList<GridColumn> columns, QObject *parent)
    : QAbstractTableModel(parent), m_ds(ds), m_columns(std::move(columns))
{
    m_allFields = m_columns.isEmpty();
    rebuildFieldMap();
    connect(ds, &Dataset::aboutToReset, this, [this] { beginResetModel(); });
    connect(ds, &Dataset::resetDone, this, [this] {
        rebuildFieldMap();
        endResetModel();
    });
    connect(ds, &Dataset::rowAboutToBeInserted, this, [this](int row) { beginInsertRows({}, row, row); });
    connect(ds, &Dataset::rowInserted, this, [this](int) { endInsertRows(); });
    connect(ds, &Dataset::rowAboutToBeRemoved, this, [this](int row) { beginRemoveRows({}, row, row); });
    connect(ds, &Dataset::rowRemoved, this, [this](int) { endRemoveRows(); });
    connect(ds, &Dataset::rowChanged, this, [this](int row) {
        if (row >= 0 && row < rowCount() && columnCount() > 0)
            emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    });
}

void DatasetModel::setColumns(const QList<GridColumn> &columns)
{
    beginResetModel();
    m_columns = columns;
    m_allFields = m_columns.isEmpty();
    rebuildFieldMap();
    endResetModel();
}

void DatasetModel::rebuildFieldMap()
{
    if (m_allFields) {
        m_columns.clear();
        if (m_ds && m_ds->isOpen())
            for (int i = 0; i < m_ds->fieldCount(); ++i)
                m_columns.append(GridColumn{m_ds->fieldName(i), {}, {}, -1});
    }
    m_fieldIndex.clear();
    for (const GridColumn &c : std::as_const(m_columns))
        m_fieldIndex.append(m_ds && m_ds->isOpen() ? m_ds->fieldIndex(c.field) : -1);
}

QString DatasetModel::fieldOfColumn(int column) const { return m_columns.value(column).field; }

int DatasetModel::fieldIndexOf(int column) const { return m_fieldIndex.value(column, -1); }

int DatasetModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid() || !m_ds || !m_ds->isOpen())
        return 0;
    return m_ds->recordCount();
}

int DatasetModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant DatasetModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || !m_ds || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    const int f = fieldIndexOf(index.column());
    if (f < 0)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return displayText(m_ds->valueAt(index.row(), f), m_columns[index.column()].format);
    case Qt::EditRole:
    case FieldValueRole:
        return m_ds->valueAt(index.row(), f);
    case Qt::TextAlignmentRole: {
        const int t = m_ds->record().field(f).metaType().id();
        const bool number = t == QMetaType::Int || t == QMetaType::LongLong || t == QMetaType::Double;
        return QVariant::fromValue(Qt::Alignment((number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter));
    }
    default:
        return {};
    }
}

QVariant DatasetModel::headerData(int section, Qt::Orientation o, int role) const
{
    if (o == Qt::Horizontal && section >= 0 && section < columnCount()) {
        const GridColumn &c = m_columns[section];
        if (role == Qt::DisplayRole)
            return c.title.isEmpty() ? c.field : c.title;
        if (role == Qt::SizeHintRole && c.width > 0)
            return QSize(c.width, 20);
        return {};
    }
    if (o == Qt::Vertical && role == Qt::DisplayRole)
        return section + 1;
    return {};
}

Qt::ItemFlags DatasetModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}
