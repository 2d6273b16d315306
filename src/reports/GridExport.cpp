#include "reports/GridExport.h"

#include "platform/Seams.h"
#include "platform/Spreadsheet.h"
#include "storage/Query.h"
#include "storage/RowSource.h"
#include "widgets/DataGrid.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryFile>

QString ExportDateLine(const QDate &today)
{
    return QStringLiteral("日期:") + today.toString(QStringLiteral("yyyy年MM月dd日"));
}

bool IsDateTimeField(const QString &field)
{
    static const QStringList fields = {QStringLiteral("MoneyRecordTime"), QStringLiteral("MoneyCreateTime"),
        QStringLiteral("GetPayTime"), QStringLiteral("SoftDataTime")};
    return fields.contains(field, Qt::CaseInsensitive);
}

QString ExportDateText(const QVariant &stored)
{
    const QString raw = stored.toString();
    const QString text = raw.trimmed();
    if (text.isEmpty())
        return {};
    if (text.size() > 10) {
        QDateTime moment = QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        if (!moment.isValid())
            moment = QDateTime::fromString(text, Qt::ISODate);
        if (moment.isValid())
            return moment.toString(QStringLiteral("yyyy.MM.dd HH.mm.ss"));
    }
    // The stored form of a day, "yyyy-MM-dd", needs only its dashes changed once it is a day.
    if (raw.size() == 10 && text.size() == 10 && text[4] == QLatin1Char('-') && text[7] == QLatin1Char('-')) {
        auto number = [&text](int from, int length) {
            int n = 0;
            for (int i = from; i < from + length; ++i) {
                const char16_t c = text[i].unicode();
                if (c < u'0' || c > u'9')
                    return -1;
                n = n * 10 + (c - u'0');
            }
            return n;
        };
        const int year = number(0, 4);
        if (year > 0 && QDate::isValid(year, number(5, 2), number(8, 2)))
            return QString(text).replace(QLatin1Char('-'), QLatin1Char('.'));
    }
    const QDate day = DateFromStored(stored);
    // Text that is no date at all is kept as it stands rather than lost.
    return day.isValid() ? day.toString(QStringLiteral("yyyy.MM.dd")) : text;
}

bool WriteExportWorkbook(const QString &path, const QDate &today, const QList<ExportColumn> &columns,
    const RowSource &rows, QString *error)
{
    Platform::Spreadsheet book;
    // The rows are read once, in order, and written as they come.
    if (!book.newWorkbook(path, error, Platform::Spreadsheet::Order::RowByRow)
        || !book.setText(1, 1, ExportDateLine(today), error))
        return false;
    for (int c = 0; c < columns.size(); ++c)
        if (!book.setText(3, c + 1, columns[c].caption, error))
            return false;
    QList<bool> dates;
    for (const ExportColumn &column : columns)
        dates.append(IsDateTimeField(column.field));
    const int count = rows.rowCount();
    for (int r = 0; r < count; ++r) {
        for (int c = 0; c < columns.size(); ++c) {
            const QVariant value = rows.value(r, columns[c].field);
            if (value.isNull())
                continue;
            bool ok = true;
            if (dates[c])
                ok = book.setText(r + 4, c + 1, ExportDateText(value), error);
            else if (value.typeId() == QMetaType::QString || value.typeId() == QMetaType::QByteArray)
                ok = book.setText(r + 4, c + 1, value.toString(), error);
            else
                ok = book.setNumber(r + 4, c + 1, value.toDouble(), error);
            if (!ok)
                return false;
        }
    }
    return book.save(error);
}

QList<ExportColumn> VisibleExportColumns(const DataGrid *grid)
{
    QList<ExportColumn> columns;
    for (int c = 0; c < grid->columnCount(); ++c) {
        const GridColumn column = grid->column(c);
        if (column.visible)
            columns.append({column.field, column.caption});
    }
    return columns;
}

void ExportGridToExcel(DataGrid *grid)
{
    if (!grid || !grid->isOpen())
        return;
    QString path;
    bool written = false;
    {
        Platform::BusyCursor busy;
        // A unique name in the user's temporary folder: the workbook is new, unsaved work.
        // A temporary folder that does not exist reads as an empty path: never fall back to
        // the working folder.
        const QString folder = QDir::tempPath();
        QTemporaryFile reserved(QDir(folder).filePath(QStringLiteral("Quillbrook-XXXXXX.xlsx")));
        reserved.setAutoRemove(false);
        if (!folder.isEmpty() && QDir(folder).exists() && reserved.open()) {
            path = reserved.fileName();
            reserved.close();
            written = WriteExportWorkbook(path, Platform::Today(), VisibleExportColumns(grid), grid->rows());
            if (!written)
                QFile::remove(path);
        }
        // As after a walk through every record: the last row is current.
        if (grid->rowCount() > 0)
            grid->setCurrentRow(grid->rowCount() - 1);
    }
    // The cursor is back to normal before any message.
    if (!written)
        Platform::ShowMessage(GridExportTexts::WorkbookNotMade);
    else if (!Platform::OpenSpreadsheet(path))
        Platform::ShowMessage(GridExportTexts::NoSpreadsheetProgram);
}
