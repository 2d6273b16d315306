#pragma once

// A spreadsheet workbook written as a real .xlsx file: a new workbook, its first sheet, cells
// set to text or to numbers, saved and then opened with the desktop's spreadsheet program.
// Text cells stay text (digits keep their leading zeros), number cells are numbers. Every
// failure is returned to the caller with a reason; nothing here shows a message.
//
//   Platform::Spreadsheet book;
//   QString error;
//   bool ok = book.newWorkbook(path, &error)
//             && book.setText(1, 1, "日期:2026年06月15日", &error)
//             && book.setText(4, 2, "000123", &error)
//             && book.setNumber(4, 3, 12.5, &error)
//             && book.save(&error)
//             && Platform::OpenSpreadsheet(path, &error);

#include <QString>

struct lxw_workbook;
struct lxw_worksheet;

namespace Platform {

class Spreadsheet
{
public:
    Spreadsheet();
    // A workbook that was not saved is discarded; nothing is written.
    ~Spreadsheet();
    Spreadsheet(const Spreadsheet &) = delete;
    Spreadsheet &operator=(const Spreadsheet &) = delete;

    // How the cells come: in any order, or row by row from the top (each row's cells in any
    // order), which lets the workbook keep only the current row in memory; a cell above the
    // current row then fails.
    enum class Order { Any, RowByRow };

    // Starts a new workbook whose first sheet takes the cells, to be saved as path. Fails when
    // the folder of path does not exist.
    bool newWorkbook(const QString &path, QString *error = nullptr, Order order = Order::Any);
    bool isOpen() const { return workbook != nullptr; }
    QString path() const { return target; }

    // Rows and columns count from 1, as the sheet shows them.
    bool setText(int row, int column, const QString &text, QString *error = nullptr);
    bool setNumber(int row, int column, double value, QString *error = nullptr);

    // Writes the file (replacing one of that name only when the whole file was written) and
    // closes the workbook.
    bool save(QString *error = nullptr);

private:
    bool checkCell(int row, int column, QString *error) const;
    void discard();

    Order order = Order::Any;
    int currentRow = 0; // the row last written, for Order::RowByRow
    lxw_workbook *workbook = nullptr;
    lxw_worksheet *sheet = nullptr;
    QString target;
    QString partial;
};

// Opens a saved workbook with the desktop's default program for it.
bool OpenSpreadsheet(const QString &path, QString *error = nullptr);

// Text as a cell stores it: control characters and "_xHHHH_" look-alikes are escaped the way
// spreadsheet files spell them, so that the cell reads back as written.
QString SpreadsheetCellText(const QString &text);

} // namespace Platform
