#pragma once

// The export of a grid to a spreadsheet: a new workbook in the user's temporary folder with a
// date line, the titles of the visible columns and one row per record, text kept as text and
// numbers as numbers, opened with the desktop's spreadsheet program. The user saves it where
// they like from there; the program never names or keeps it.

#include <QDate>
#include <QList>
#include <QString>
#include <QVariant>

class DataGrid;
class RowSource;

namespace GridExportTexts {
inline const QString NoSpreadsheetProgram
    = QStringLiteral("本机未安装EXCEL,本功能必须在安装有EXCEL的电脑上才能运行!");
inline const QString WorkbookNotMade = QStringLiteral("建立Excel对象不成功，请重试!");
} // namespace GridExportTexts

struct ExportColumn {
    QString field;
    QString caption;
};

// "日期:2006年06月15日".
QString ExportDateLine(const QDate &today);
// Stored dates and times are ISO text; the engine cannot tell them from other text by type.
bool IsDateTimeField(const QString &field);
// A date field's cell: empty, "yyyy.mm.dd", or "yyyy.mm.dd hh.nn.ss" when the stored text
// carries a time (is longer than a date).
QString ExportDateText(const QVariant &stored);

// Writes the workbook at path: row 1 the date line, row 3 the titles, row 4 on the records.
// False with *error when it could not be written whole.
bool WriteExportWorkbook(const QString &path, const QDate &today, const QList<ExportColumn> &columns,
    const RowSource &rows, QString *error = nullptr);

// The visible columns of the grid, in order.
QList<ExportColumn> VisibleExportColumns(const DataGrid *grid);

// Exports the grid's rows as a new workbook and opens it. A grid whose query is not open
// gives no file and no message; the failures show their messages.
void ExportGridToExcel(DataGrid *grid);
