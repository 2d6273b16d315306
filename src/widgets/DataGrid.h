#pragma once

// The program's data grid: a read-only table over one statement with whole-row selection,
// columns set at run time and one footer row under the cells that follows the columns. Rows
// are read lazily by DataGridModel; the row count and the footer sums come from SQL.
//
//   grid->setColumns({{"MoneyIndex", "记录号", 50, Qt::AlignCenter, Qt::AlignCenter,
//                      GridFooter::rowCount("条")}, …});
//   if (!RunGridQuery(grid, Sql("Select * From … Order By MoneyIndex"), Texts::DatabaseOpenFailed))
//       return;
//   grid->setBeforeDrawCell([](const CellInfo &cell, QColor &color) { … });
//   const QVariant key = grid->value("MoneyIndex");   // of the current row

#include "storage/RowSource.h"
#include "storage/Sql.h"
#include "widgets/DataGridModel.h"

#include <QTableView>

#include <memory>

class GridFooterBar;

class DataGrid : public QTableView
{
    Q_OBJECT
public:
    // The pixel size of the cells' and the footer's text.
    static constexpr int CellFontPixels = 11;

    explicit DataGrid(QWidget *parent = nullptr);
    ~DataGrid() override;

    // Runs the statement on the shared connection and stands on the first row. The columns
    // stay as they are. On failure the grid is closed (no rows) and *error says why.
    bool open(const Sql &statement, QString *error = nullptr);
    // Runs the statement again, after the data changed; stands on the first row.
    bool refresh(QString *error = nullptr);
    void close();
    bool isOpen() const;
    // The field that identifies a row, when the grid should not find it from the statement.
    void setKeyField(const QString &field) { dataModel->setKeyField(field); }
    const Sql &statement() const;

    // Columns; until any are set the grid shows every field of the statement.
    void setColumns(const QList<GridColumn> &columns);
    void setColumn(int position, const GridColumn &column);
    void clearColumns();
    int columnCount() const;
    // The column as it is now (width dragged by the user, visibility).
    GridColumn column(int position) const;
    void setColumnVisible(int position, bool visible);

    int rowCount() const;
    // The current row, -1 when there is none (closed or empty).
    int currentRow() const;
    void setCurrentRow(int row);
    // A field of the current row; null when there is no current row.
    QVariant value(const QString &field) const;
    QVariant value(int row, const QString &field) const;
    QString displayText(int row, int column) const;
    // Makes the row whose key field equals value current (rows not yet read included);
    // false, with the current row unchanged, when there is none.
    bool selectRowWithKey(const QString &field, const QVariant &value);

    void setFooterVisible(bool visible);
    bool isFooterVisible() const { return footerShown; }
    QString footerText(int column) const;
    QColor footerColor(int column) const;
    QWidget *footerBar() const;

    // Called before each cell is drawn; may change its font colour.
    void setBeforeDrawCell(CellColorCallback callback);

    DataGridModel *gridModel() const { return dataModel; }
    // The grid's rows for a report or an export.
    const RowSource &rows() const { return *rowSource; }

signals:
    void titleClicked(int column);
    // A double click with the left button; row or column is -1 outside the cells.
    void gridDoubleClicked(int row, int column);

protected:
    void updateGeometries() override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void applyColumnLayout();
    void showSelectionWhenInactive();
    void restoreCurrentRow();
    // Sets both scroll ranges for a viewport with the footer's strip of this height under it.
    void fitScrollRanges(int footerStrip);
    int footerHeight() const;
    int firstVisibleColumn() const;

    DataGridModel *dataModel = nullptr;
    GridFooterBar *footer = nullptr;
    std::unique_ptr<GridRows> rowSource;
    bool footerShown = true;
    bool inGeometryUpdate = false;
    bool applyingLayout = false;
    bool goingToTop = false;
    int rowToRestore = 0;
    // Where the current row was before the statement last ran: a row looked for by its key
    // after a refresh is most often still there.
    int rowBeforeRun = -1;
};

// Runs sql into the grid the way RunQuery does for a Query: on failure shows failMessage
// and leaves the grid closed.
bool RunGridQuery(DataGrid *grid, const Sql &sql, const QString &failMessage);
