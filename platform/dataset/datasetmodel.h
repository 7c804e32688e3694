#pragma once
#include <QAbstractTableModel>
#include <QPointer>
#include <QString>
#include <QList>

class Dataset;

// One column of a grid over a dataset.
struct GridColumn {
    QString field;       // field name (case-insensitive)
    QString title;       // empty: the field name
    QString format;      // ",0.00;-,0.00", "0.00;-0.00", "dd.mm.yyyy", ...
    int width = -1;      // pixels; -1: view default
};

// Read-only table model over a Dataset for grids. Without column definitions
// every field is a column. Follows the dataset: reset on open/close/sort/filter,
// rows inserted/removed on append/cancel/delete, dataChanged on edits and post.
class DatasetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit DatasetModel(Dataset *ds, QList<GridColumn> columns = {}, QObject *parent = nullptr);

    Dataset *dataset() const { return m_ds; }
    void setColumns(const QList<GridColumn> &columns);
    const QList<GridColumn> &columns() const { return m_columns; }
    QString fieldOfColumn(int column) const;

    // Custom role: the raw field value (QVariant), also given for EditRole.
    static constexpr int FieldValueRole = Qt::UserRole + 1;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation o, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    int fieldIndexOf(int column) const;
    void rebuildFieldMap();

    QPointer<Dataset> m_ds;
    QList<GridColumn> m_columns;
    bool m_allFields = false;
    QList<int> m_fieldIndex;  // per column; -1 when the dataset lacks the field
};
