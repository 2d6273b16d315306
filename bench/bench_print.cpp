// 打印报表 of the report tab's whole list (every entry of a ledger of 1,000 accounts and
// 1,000,000 entries, in time order, as the tab shows it once a sort order is chosen and before
// any report is made): prints the time to the first page shown in the preview (target: at
// most 1 s), to a page near the end (target: at most 0.3 s), the PDF of the whole list in pages
// a minute (target: at least 2,000) and the peak memory of each step (target: at most 150 MB),
// beside the floor: the bare statement read once, in order.
//
//   bench_print [program folder | empty-ledger template] [--pdf-pages N]
//
// --pdf-pages writes only the first N pages of the PDF, for a quick run; by default every page.

#include "BenchLedger.h"
#include "app/Session.h"
#include "platform/PreviewForm.h"
#include "platform/Seams.h"
#include "printing/ReportEngine.h"
#include "reports/ReportQuery.h"
#include "storage/PublicFunction.h"
#include "storage/ShareDM.h"
#include "widgets/StatementRows.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPrinter>

#include <cstdio>

namespace {

constexpr double FirstPageTargetMs = 1000;
constexpr double PageTargetMs = 300;
constexpr double PdfTargetPagesPerMinute = 2000;
constexpr double TargetMb = 150;

const char *verdict(bool met)
{
    return met ? "met" : "MISSED";
}

} // namespace

int main(int argc, char **argv)
{
    int exitCode = 0;
    if (Bench::RunAsGenerator(argc, argv, &exitCode))
        return exitCode;
    int pdfPages = -1;
    QList<char *> args;
    for (int i = 0; i < argc; ++i) {
        if (QByteArray(argv[i]) == "--pdf-pages" && i + 1 < argc)
            pdfPages = QByteArray(argv[++i]).toInt();
        else
            args.append(argv[i]);
    }
    int count = int(args.size());
    Bench::UseOffscreenWindowsUnlessSet();
    QApplication app(count, args.data());
    Bench::Setup bench("bench_print", count, args.data());
    if (!bench.prepare() || !bench.open())
        return 1;
    Platform::Seams::handlers().today = [] { return QDate(2026, 6, 15); };

    SessionValues &s = Session();
    const ViewFilters f = MakeViewFilters(QStringLiteral("5"), true, Bench::Cashier);
    s.AccountBookFilter = f.AccountBookFilter;
    s.MoneyOwnerFilter = f.MoneyOwnerFilter;
    s.ReportCondition = Sql();
    const Sql statement = ReportGridSql(
        s.AccountBookFilter, s.MoneyOwnerFilter, s.ReportCondition, ReportSortChoices().first());
    const QString templatePath = ReportTemplatePath(QStringLiteral("Report.frf"));

    // The floor: the statement read once, in order, every field of every row.
    Bench::ResetPeakMemory();
    int floorRows = 0;
    QElapsedTimer timer;
    timer.start();
    if (!Bench::ReadAll(statement, &floorRows))
        return bench.failed(QStringLiteral("the bare statement failed"));
    const double floorMs = Bench::MsSince(timer);
    const double floorPeak = Bench::PeakMemoryMb();

    // 打印报表 up to the first page shown: rows opened, report prepared, preview laid out at
    // page width and its first page drawn.
    const bool reset = Bench::ResetPeakMemory();
    const double startMb = Bench::PeakMemoryMb();
    std::optional<PreparedReport> report;
    Platform::Seams::handlers().preview = [&report](const Platform::PreviewSource &source) {
        report = dynamic_cast<const PreparedReport &>(source);
    };
    timer.restart();
    const auto rows = StatementRows::open(statement, Texts::DatabaseOpenFailed);
    if (!rows || !PrintReport(templatePath, rows) || !report)
        return bench.failed(QStringLiteral("the print failed"));
    Platform::TFormPreview preview(*report);
    preview.resize(1600, 1000);
    preview.show();
    preview.grab();
    const double firstMs = Bench::MsSince(timer);
    const double firstMb = Bench::PeakMemoryMb();
    const int pages = report->pageCount();
    if (preview.pageView()->pagesRendered() < 1)
        return bench.failed(QStringLiteral("the preview drew no page"));

    // A page near the end, reached with the page box.
    timer.restart();
    preview.goToPage(pages - 2);
    preview.grab();
    const double nearEndMs = Bench::MsSince(timer);
    // And back to the middle, for a page no block read before holds.
    timer.restart();
    preview.goToPage(pages / 2);
    preview.grab();
    const double middleMs = Bench::MsSince(timer);
    const double browseMb = Bench::PeakMemoryMb();

    // The PDF of the whole list, page after page.
    const QString pdf = bench.folder() + QStringLiteral("report.pdf");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(report->isLandscape() ? QPageLayout::Landscape : QPageLayout::Portrait);
    const int written = pdfPages > 0 ? std::min(pdfPages, pages) : pages;
    if (written < pages)
        printer.setFromTo(1, written);
    timer.restart();
    const double cpu = Bench::CpuMs();
    if (!report->paintPages(&printer) || QFileInfo(pdf).size() <= 0)
        return bench.failed(QStringLiteral("the PDF could not be written"));
    const double pdfMs = Bench::MsSince(timer);
    const double pdfCpu = Bench::CpuMs() - cpu;
    const double pdfMb = Bench::PeakMemoryMb();
    const double perMinute = written / (pdfMs / 60000.0);

    std::printf("whole list: %d rows, %d pages of %s\n\n", report->rowCount(), pages,
        qPrintable(QFileInfo(templatePath).fileName()));
    std::printf("first page shown: %.0f ms  (target <= %.0f ms: %s)\n", firstMs, FirstPageTargetMs,
        verdict(firstMs <= FirstPageTargetMs));
    std::printf("page %d reached: %.0f ms, page %d: %.0f ms  (target <= %.0f ms: %s)\n", pages - 1, nearEndMs,
        pages / 2 + 1, middleMs, PageTargetMs, verdict(std::max(nearEndMs, middleMs) <= PageTargetMs));
    std::printf(
        "PDF of %s%d pages: %.1f s (CPU %.1f s), %.0f pages a minute, %.1f MB  (target >= %.0f: %s)\n",
        written < pages ? "the first " : "all ", written, pdfMs / 1000, pdfCpu / 1000, perMinute,
        QFileInfo(pdf).size() / 1e6, PdfTargetPagesPerMinute, verdict(perMinute >= PdfTargetPagesPerMinute));
    if (reset)
        std::printf(
            "peak memory from %.0f MB: %.0f MB to the first page, %.0f MB browsing, %.0f MB with the PDF"
            "  (target <= %.0f MB: %s)\n",
            startMb, firstMb, browseMb, pdfMb, TargetMb,
            verdict(std::max({firstMb, browseMb, pdfMb}) <= TargetMb));
    else
        std::printf("peak memory of the whole run: %.0f MB (the peak could not be restarted)\n", pdfMb);
    std::printf("floor, the bare statement read once in order: %d rows in %.0f ms, peak %.0f MB\n", floorRows,
        floorMs, floorPeak);
    std::printf("first page / floor: %.2f ×; PDF / floor: %.1f ×\n\n", firstMs / floorMs,
        pdfMs * pages / written / floorMs);
    return 0;
}
