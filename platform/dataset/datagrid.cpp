#include "platform/dataset/datagrid.h"
#include "platform/core/guarded.h"
#include "platform/dataset/dataset.h"
#include "platform/dataset/datasetmodel.h"
#include "platform/dataset/sorttext.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPainter>

namespace {
// An EAbort from an event handler ends the action without a message.
void guardedQuiet(const std::function<void()> &body)
{
    guarded([&] {
        try {
            body();
        } catch (const EAbort &) {
        }
    });
}
} // namespace

namespace {

// Hands painting to the grid's per-column painters.
class PainterDelegate : public QStyledItemDelegate {
public:
    explicit PainterDelegate(DataGrid *grid) : QStyledItemDelegate(grid), m_grid(grid) {}
    void paint(QPainter *p, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const CellPainter painter = m_grid->cellPainter(index.column());
        if (painter) {
            QStyleOptionViewItem opt = option;
            initStyleOption(&opt, index);
            if (painter(p, opt, index))
                return;
        }
        QStyledItemDelegate::paint(p, option, index);
    }

private:
    DataGrid *m_grid;
};

} // namespace

DataGrid::DataGrid(QWidget *parent)
    : QTableView(parent), m_base(Qt::white), m_alternate(233, 243, 233)
{
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAlternatingRowColors(true);
    setItemDelegate(new PainterDelegate(this));
    setTabKeyNavigation(false);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setHighlightSections(false);
    setRowColours(m_base, m_alternate);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, &DataGrid::onTitleClicked);
}

void DataGrid::setDataset(Dataset *ds, const QList<GridColumn> &columns)
{
    if (m_model) {
        setModel(nullptr);
        delete m_model;
        m_model = nullptr;
    }
    if (m_ds)
        disconnect(m_ds, nullptr, this, nullptr);
    m_ds = ds;
    if (!ds)
        return;
    // while the dataset adds or drops a row the view moves its current index
    // itself; passing that back would re-enter the dataset mid-operation (so
    // these run before the model's own handlers)
    connect(ds, &Dataset::rowAboutToBeInserted, this, [this] { m_syncing = true; });
    connect(ds, &Dataset::rowAboutToBeRemoved, this, [this] { m_syncing = true; });
    m_model = new DatasetModel(ds, columns, this);
    setModel(m_model);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) { onViewCurrentChanged(current); });
    connect(ds, &Dataset::currentRowChanged, this, [this] { syncSelectionFromDataset(); });
    connect(ds, &Dataset::resetDone, this, [this] {
        applyWidths();
        syncSelectionFromDataset();
    });
    connect(ds, &Dataset::rowInserted, this, [this] {
        m_syncing = false;
        syncSelectionFromDataset();
    });
    connect(ds, &Dataset::rowRemoved, this, [this] {
        m_syncing = false;
        syncSelectionFromDataset();
    });
    applyWidths();
    syncSelectionFromDataset();
}

void DataGrid::setRowColours(const QColor &base, const QColor &alternate)
{
    m_base = base;
    m_alternate = alternate;
    QPalette pal = palette();
    pal.setColor(QPalette::Base, base);
    pal.setColor(QPalette::AlternateBase, alternate);
    setPalette(pal);
}

void DataGrid::setFitColumnsToWidth(bool on)
{
    horizontalHeader()->setSectionResizeMode(on ? QHeaderView::Stretch : QHeaderView::Interactive);
}

void DataGrid::setCellPainter(int column, CellPainter painter)
{
    if (painter)
        m_painters.insert(column, std::move(painter));
    else
        m_painters.remove(column);
    viewport()->update();
}

void DataGrid::setColumnTitle(int column, const QString &title)
{
    if (!m_model || column < 0 || column >= m_model->columns().size())
        return;
    QList<GridColumn> cols = m_model->columns();
    if (cols[column].title == title)
        return;
    cols[column].title = title;
    // the reset forgets the widths and the selection; both are put back
    QList<int> widths;
    for (int i = 0; i < cols.size(); ++i)
        widths << columnWidth(i);
    m_model->setColumns(cols);
    for (int i = 0; i < cols.size(); ++i)
        setColumnWidth(i, widths[i]);
    syncSelectionFromDataset();
}

void DataGrid::applyWidths()
{
    if (!m_model)
        return;
    const auto &cols = m_model->columns();
    for (int i = 0; i < cols.size(); ++i)
        if (cols[i].width > 0)
            setColumnWidth(i, cols[i].width);
}

void DataGrid::onTitleClicked(int section)
{
    if (!m_titleSort || !m_ds || !m_model || !m_ds->isOpen())
        return;
    const QString field = m_model->fieldOfColumn(section);
    if (field.isEmpty())
        return;
    guardedQuiet([&] {
        const QString sortText = titleClickSort(m_ds->sort(), field);
        m_ds->setSort(sortText);
        emit sortedByTitle(field, sortText);
    });
}

void DataGrid::syncSelectionFromDataset()
{
    if (!m_ds || !m_model || m_syncing)
        return;
    m_syncing = true;
    const int row = m_ds->isOpen() ? m_ds->row() : -1;
    if (row >= 0 && row < m_model->rowCount()) {
        const int col = qMax(0, currentIndex().column());
        selectionModel()->setCurrentIndex(m_model->index(row, col),
                                          QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        scrollTo(m_model->index(row, col));
    } else {
        selectionModel()->clearSelection();
    }
    m_syncing = false;
}

void DataGrid::onViewCurrentChanged(const QModelIndex &current)
{
    if (m_syncing || !m_ds || !m_ds->isOpen() || !current.isValid() || current.row() == m_ds->row())
        return;
    // moving may post a pending edit; if that fails the grid returns to the row
    guardedQuiet([&] { m_ds->setRow(current.row()); });
    syncSelectionFromDataset();
}
