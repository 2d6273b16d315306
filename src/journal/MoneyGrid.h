#pragma once

// What the daily journal grid and the report grid share: their thirteen columns with captions,
// default widths and footers, the widths stored in the grid's settings section, the colour of
// the amount column and the widening of a column to the widest text it has drawn.

#include <QList>
#include <QString>

class DataGrid;

namespace MoneyGrid {

struct ColumnSpec {
    QString field;
    QString caption;
    int width; // default, in pixels
};

// The columns in their order.
const QList<ColumnSpec> &Columns();

// One column: field, centred title and cells, width, and its footer (the row count + "条" under
// MoneyIndex, the sums under MoneyIn and MoneySum in black and under MoneyOut in red).
void SetGridColumn(DataGrid *grid, const QString &caption, const QString &field, int width, int position);
// Every column, each with the width stored in the grid's settings section under its field name
// (the default width when none is stored or the stored text is no whole number).
void SetColumns(DataGrid *grid, const QString &section);
int StoredWidth(const QString &section, const ColumnSpec &column);
// Writes the grid's current column widths, or the default widths, into the section in one
// write; false after its one failure message, with none of them stored.
bool SaveWidths(const DataGrid *grid, const QString &section);
bool SaveDefaultWidths(const QString &section);

// An amount is drawn red when, rounded to a whole number with halves to the even number, it is
// negative: -0.5 stays black, -0.6 is red.
bool IsRedAmount(double amount);

// The cell drawing and title clicks of a money grid: MoneySum in red by IsRedAmount, each column
// remembering the widest text it has drawn (plus 20 pixels), and a title click widening a
// narrower column to that width, never narrowing it. The memory lasts for the run.
void AttachCellRules(DataGrid *grid);
// The width a column has remembered, 0 before it drew anything.
int RememberedWidth(const DataGrid *grid, int position);

} // namespace MoneyGrid
