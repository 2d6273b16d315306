// 导出EXCEL of the report grid holding about 100,000 rows (112 days of a ledger of 1,000,000
// entries, about 900 a day): prints the export's time (target: at most 3 s) and the process's
// peak memory during it (target: at most 150 MB), beside the floor: the same rows read bare
// and the same cells written with the spreadsheet library directly.
//
//   bench_export [program folder | empty-ledger template]
//
// Without an argument the template comes from the build tree's programfiles folder.

#include "BenchLedger.h"
#include "app/Session.h"
#include "journal/MoneyGrid.h"
#include "platform/Seams.h"
#include "reports/GridExport.h"
#include "reports/ReportQuery.h"
#include "storage/PublicFunction.h"
#include "storage/SettingKeys.h"
#include "storage/ShareDM.h"
#include "widgets/DataGrid.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <cstdio>
#include <xlsxwriter.h>

namespace {

constexpr double TargetSeconds = 3.0;
constexpr double TargetMb = 150.0;
const QDate From(2025, 1, 1);
const QDate To(2025, 4, 22);

ReportConditions report()
{
    ReportChoices choices;
    choices.documentKind = Texts::AllItems;
    choices.transferKind = Texts::AllItems;
    choices.timeRange = true;
    choices.startDate = From;
    choices.endDate = To;
    choices.currentAccount = Texts::AllItems;
    choices.currentReason = Texts::AllItems;
    choices.type = choices.voucher = choices.customer = choices.salesman = Texts::AllItems;
    return BuildReportConditions(choices);
}

// The grid's rows read bare, in its order, and its visible columns written as the export
// writes them (text as text, numbers as numbers, dates as their export text), row after row.
bool floorExport(const DataGrid &grid, const QString &path, int *rows)
{
    const QList<ExportColumn> columns = VisibleExportColumns(&grid);
    QSqlQuery q(ShareDataModule->connection());
    q.setForwardOnly(true);
    q.prepare(grid.statement().text());
    for (const QVariant &v : grid.statement().values())
        q.addBindValue(v);
    if (!q.exec()) {
        std::fprintf(stderr, "%s\n", qPrintable(q.lastError().text()));
        return false;
    }
    QList<int> fields;
    QList<bool> dates;
    for (const ExportColumn &c : columns) {
        fields.append(q.record().indexOf(c.field));
        dates.append(IsDateTimeField(c.field));
    }
    lxw_workbook_options options {};
    options.constant_memory = LXW_TRUE;
    const QByteArray name = QFile::encodeName(path);
    lxw_workbook *book = workbook_new_opt(name.constData(), &options);
    lxw_worksheet *sheet = book ? workbook_add_worksheet(book, nullptr) : nullptr;
    if (!sheet)
        return false;
    worksheet_write_string(sheet, 0, 0, ExportDateLine(Platform::Today()).toUtf8().constData(), nullptr);
    for (int c = 0; c < columns.size(); ++c)
        worksheet_write_string(sheet, 2, lxw_col_t(c), columns[c].caption.toUtf8().constData(), nullptr);
    lxw_row_t row = 3;
    while (q.next()) {
        for (int c = 0; c < columns.size(); ++c) {
            const QVariant value = q.value(fields[c]);
            if (value.isNull())
                continue;
            if (dates[c])
                worksheet_write_string(
                    sheet, row, lxw_col_t(c), ExportDateText(value).toUtf8().constData(), nullptr);
            else if (value.typeId() == QMetaType::QString)
                worksheet_write_string(
                    sheet, row, lxw_col_t(c), value.toString().toUtf8().constData(), nullptr);
            else
                worksheet_write_number(sheet, row, lxw_col_t(c), value.toDouble(), nullptr);
        }
        ++row;
    }
    *rows = int(row - 3);
    return workbook_close(book) == LXW_NO_ERROR;
}

} // namespace

int main(int argc, char **argv)
{
    int exitCode = 0;
    if (Bench::RunAsGenerator(argc, argv, &exitCode))
        return exitCode;
    Bench::UseOffscreenWindowsUnlessSet();
    QApplication app(argc, argv);
    Bench::Setup bench("bench_export", argc, argv);
    if (!bench.prepare() || !bench.open())
        return 1;
    // The workbooks land in the bench's own folder, and the desktop opens nothing.
    qputenv("TMPDIR", QFile::encodeName(bench.folder()));
    QStringList opened;
    Platform::Seams::handlers().openWithDesktop = [&opened](const QString &path) {
        opened.append(path);
        return true;
    };
    Platform::Seams::handlers().today = [] { return QDate(2026, 6, 15); };

    SessionValues &s = Session();
    const ViewFilters f = MakeViewFilters(QStringLiteral("5"), true, Bench::Cashier);
    s.AccountBookFilter = f.AccountBookFilter;
    s.MoneyOwnerFilter = f.MoneyOwnerFilter;
    const ReportConditions built = report();
    s.ReportCondition = built.condition;
    s.ReportAccountCondition = built.accountCondition;
    s.ReportStartDate = built.startDate;

    // The report centre's grid, as its refresh fills it.
    DataGrid grid;
    grid.resize(1200, 600);
    if (!RunGridQuery(&grid,
            ReportGridSql(
                s.AccountBookFilter, s.MoneyOwnerFilter, s.ReportCondition, ReportSortChoices().first()),
            Texts::DatabaseOpenFailed))
        return bench.failed(QStringLiteral("the report failed"));
    MoneyGrid::SetColumns(&grid, SettingSections::ReportGrid);
    grid.show();
    QCoreApplication::processEvents();
    const int columns = int(VisibleExportColumns(&grid).size());
    std::printf("report grid: %d rows (%s to %s), %d visible columns\n\n", grid.rowCount(),
        qPrintable(IsoDate(From)), qPrintable(IsoDate(To)), columns);

    const double before = Bench::PeakMemoryMb();
    const bool reset = Bench::ResetPeakMemory();
    const double start = Bench::PeakMemoryMb();
    QElapsedTimer timer;
    timer.start();
    const double cpu = Bench::CpuMs();
    ExportGridToExcel(&grid);
    const double exportMs = Bench::MsSince(timer);
    const double exportCpu = Bench::CpuMs() - cpu;
    const double after = Bench::PeakMemoryMb();
    if (opened.size() != 1 || !QFileInfo(opened.first()).isFile())
        return bench.failed(QStringLiteral("the export wrote no workbook"));

    const QString floorPath = bench.folder() + QStringLiteral("floor.xlsx");
    Bench::ResetPeakMemory();
    const double floorStart = Bench::PeakMemoryMb();
    int floorRows = 0;
    timer.restart();
    const double floorCpuStart = Bench::CpuMs();
    if (!floorExport(grid, floorPath, &floorRows))
        return bench.failed(QStringLiteral("the bare export failed"));
    const double floorMs = Bench::MsSince(timer);
    const double floorCpu = Bench::CpuMs() - floorCpuStart;
    const double floorPeak = Bench::PeakMemoryMb();

    const double seconds = exportMs / 1000.0;
    std::printf("ExportGridToExcel: %.2f s (CPU %.2f s), %.1f MB written  (target <= %.1f s: %s)\n", seconds,
        exportCpu / 1000.0, QFileInfo(opened.first()).size() / 1e6, TargetSeconds,
        seconds <= TargetSeconds ? "met" : "MISSED");
    std::printf("  peak memory: %.0f MB before the export (the whole run so far); ", before);
    if (reset)
        std::printf("%.0f MB at its start, %.0f MB during it  (target <= %.0f MB: %s)\n", start, after,
            TargetMb, after <= TargetMb ? "met" : "MISSED");
    else
        std::printf("%.0f MB after it (the peak could not be restarted)\n", after);
    std::printf("floor, %d rows read bare and written directly: %.2f s (CPU %.2f s), %.1f MB written, "
                "peak %.0f MB from %.0f MB\n",
        floorRows, floorMs / 1000.0, floorCpu / 1000.0, QFileInfo(floorPath).size() / 1e6, floorPeak,
        floorStart);
    std::printf("export / floor: %.2f ×\n\n", exportMs / floorMs);
    return 0;
}
