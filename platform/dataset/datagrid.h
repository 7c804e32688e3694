#pragma once
#include <QColor>
#include <QHash>
#include <QStyledItemDelegate>
#include <QTableView>
#include <functional>

class Dataset;
class DatasetModel;
struct GridColumn;

// Paints one cell itself; return true when done, false for the default painting.
using CellPainter = std::function<bool(QPainter *, const QStyleOptionViewItem &, const QModelIndex &)>;

// A grid as the program's windows use them: read-only, whole-row single
// selection, alternating row colours, title click sorts by titleClickSort(),
// the selected row is the dataset's current row and the other way round.
class DataGrid : public QTableView {
    Q_OBJECT
public:
    explicit DataGrid(QWidget *parent = nullptr);

    // Shows the dataset with the given columns (all fields when empty).
    void setDataset(Dataset *ds, const QList<GridColumn> &columns);
    Dataset *dataset() const { return m_ds; }
    DatasetModel *datasetModel() const { return m_model; }

    // Resting and alternate row colour; default white and RGB(233, 243, 233).
    void setRowColours(const QColor &base, const QColor &alternate);
    QColor baseColour() const { return m_base; }
    QColor alternateColour() const { return m_alternate; }

    void setTitleClickSorting(bool on) { m_titleSort = on; }
    bool titleClickSorting() const { return m_titleSort; }
    // Stretch the columns so they fill the width (pickers do this).
    void setFitColumnsToWidth(bool on);

    // Custom painting of one column (bullets, markers); nullptr removes it.
    void setCellPainter(int column, CellPainter painter);
    CellPainter cellPainter(int column) const { return m_painters.value(column); }

    // Title of one column (the language loader sets grid titles through this).
    Q_INVOKABLE void setColumnTitle(int column, const QString &title);

signals:
    // After a title click has sorted the dataset.
    void sortedByTitle(const QString &field, const QString &sortText);

private:
    void onTitleClicked(int section);
    void syncSelectionFromDataset();
    void onViewCurrentChanged(const QModelIndex &current);
    void applyWidths();

    Dataset *m_ds = nullptr;
    DatasetModel *m_model = nullptr;
    QColor m_base;
    QColor m_alternate;
    bool m_titleSort = true;
    bool m_syncing = false;
    QHash<int, CellPainter> m_painters;
};
