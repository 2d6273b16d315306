#include "platform/Spreadsheet.h"

#include "platform/FileOps.h"
#include "platform/Seams.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <xlsxwriter.h>

namespace Platform {

namespace {
// The largest sheet the file format allows.
constexpr int MaxRows = 1048576;
constexpr int MaxColumns = 16384;

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

QString libraryError(lxw_error code)
{
    return QString::fromUtf8(lxw_strerror(code));
}
} // namespace

QString SpreadsheetCellText(const QString &text)
{
    // Most text has nothing to escape: look before copying.
    const bool plain = std::none_of(text.cbegin(), text.cend(), [](QChar c) {
        const ushort u = c.unicode();
        return u == '_' || u < 0x20 || u == 0xFFFE || u == 0xFFFF;
    });
    if (plain)
        return text;
    static const QRegularExpression lookAlike(QStringLiteral("_(x[0-9A-Fa-f]{4}_)"));
    QString out = text;
    // An underscore that starts "_xHHHH_" would be read back as an escape: escape it first.
    out.replace(lookAlike, QStringLiteral("_x005F_\\1"));
    QString escaped;
    escaped.reserve(out.size());
    for (const QChar c : out) {
        const ushort u = c.unicode();
        if ((u < 0x20 && u != '\t' && u != '\n' && u != '\r') || u == 0xFFFE || u == 0xFFFF)
            escaped += QLatin1String("_x")
                + QString::number(u, 16).toUpper().rightJustified(4, QLatin1Char('0')) + QLatin1Char('_');
        else
            escaped += c;
    }
    return escaped;
}

Spreadsheet::Spreadsheet() = default;

Spreadsheet::~Spreadsheet()
{
    discard();
}

void Spreadsheet::discard()
{
    if (workbook) {
        // Frees the workbook without writing its file.
        lxw_workbook_free(workbook);
        workbook = nullptr;
        sheet = nullptr;
    }
    if (!partial.isEmpty())
        QFile::remove(partial);
    partial.clear();
}

bool Spreadsheet::newWorkbook(const QString &path, QString *error, Order order)
{
    discard();
    target = path;
    this->order = order;
    currentRow = 0;
    const QFileInfo info(path);
    if (path.isEmpty() || info.fileName().isEmpty()) {
        setError(error, QStringLiteral("no file name for the workbook"));
        return false;
    }
    if (!info.absoluteDir().exists()) {
        setError(error, QStringLiteral("folder does not exist: %1").arg(info.absolutePath()));
        return false;
    }
    if (info.isDir()) {
        setError(error, QStringLiteral("a folder has that name: %1").arg(path));
        return false;
    }
    // Written beside the target and renamed over it at the end, so that a failed save never
    // leaves half a file under the name the user will open.
    RemoveLeftoverTemporaries(info.absolutePath(), info.fileName());
    partial = TemporaryPathFor(info.absoluteFilePath());
    const QByteArray name = QFile::encodeName(partial);
    lxw_workbook_options options {};
    // Row by row, each finished row goes to the sheet's file at once instead of staying in
    // memory with every cell before it.
    options.constant_memory = order == Order::RowByRow ? LXW_TRUE : LXW_FALSE;
    workbook = workbook_new_opt(name.constData(), &options);
    if (!workbook) {
        partial.clear();
        setError(error, QStringLiteral("the workbook could not be created"));
        return false;
    }
    sheet = workbook_add_worksheet(workbook, nullptr);
    if (!sheet) {
        discard();
        setError(error, QStringLiteral("the first sheet could not be created"));
        return false;
    }
    return true;
}

bool Spreadsheet::checkCell(int row, int column, QString *error) const
{
    if (!workbook || !sheet) {
        setError(error, QStringLiteral("no workbook is open"));
        return false;
    }
    if (row < 1 || row > MaxRows || column < 1 || column > MaxColumns) {
        setError(error, QStringLiteral("cell (%1, %2) is outside the sheet").arg(row).arg(column));
        return false;
    }
    if (order == Order::RowByRow && row < currentRow) {
        setError(error,
            QStringLiteral("cell (%1, %2) is above row %3, already written")
                .arg(row)
                .arg(column)
                .arg(currentRow));
        return false;
    }
    return true;
}

bool Spreadsheet::setText(int row, int column, const QString &text, QString *error)
{
    if (!checkCell(row, column, error))
        return false;
    const QByteArray utf8 = SpreadsheetCellText(text).toUtf8();
    const lxw_error result
        = worksheet_write_string(sheet, lxw_row_t(row - 1), lxw_col_t(column - 1), utf8.constData(), nullptr);
    if (result != LXW_NO_ERROR) {
        setError(error, QStringLiteral("cell (%1, %2): %3").arg(row).arg(column).arg(libraryError(result)));
        return false;
    }
    currentRow = row;
    return true;
}

bool Spreadsheet::setNumber(int row, int column, double value, QString *error)
{
    if (!checkCell(row, column, error))
        return false;
    if (!std::isfinite(value)) {
        setError(error, QStringLiteral("cell (%1, %2): not a finite number").arg(row).arg(column));
        return false;
    }
    const lxw_error result
        = worksheet_write_number(sheet, lxw_row_t(row - 1), lxw_col_t(column - 1), value, nullptr);
    if (result != LXW_NO_ERROR) {
        setError(error, QStringLiteral("cell (%1, %2): %3").arg(row).arg(column).arg(libraryError(result)));
        return false;
    }
    currentRow = row;
    return true;
}

bool Spreadsheet::save(QString *error)
{
    if (!workbook) {
        setError(error, QStringLiteral("no workbook is open"));
        return false;
    }
    // workbook_close writes the file and frees the workbook whatever the outcome.
    const lxw_error result = workbook_close(workbook);
    workbook = nullptr;
    sheet = nullptr;
    if (result != LXW_NO_ERROR) {
        discard();
        setError(error, QStringLiteral("%1: %2").arg(target, libraryError(result)));
        return false;
    }
    // On the disk before it takes the name: a crash never leaves an empty workbook there.
    const int committed = CommitTemporary(partial, target);
    if (committed != 0) {
        discard();
        setError(error, QStringLiteral("%1: %2").arg(target, ErrorNumberText(committed)));
        return false;
    }
    partial.clear();
    return true;
}

bool OpenSpreadsheet(const QString &path, QString *error)
{
    if (!FileExists(path)) {
        setError(error, QStringLiteral("no such file: %1").arg(path));
        return false;
    }
    if (!OpenWithDesktop(path)) {
        setError(error, QStringLiteral("no program opened %1").arg(path));
        return false;
    }
    return true;
}

} // namespace Platform
