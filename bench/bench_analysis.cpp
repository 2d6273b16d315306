// The analysis dialog 报表数据分析 over a whole-ledger report: 1,000 accounts and 1,000,000
// entries. For each of the six analyses prints the dialog's refresh (its chart query and grid
// query, the chart's points and the grid with its footers; target: at most 1.2 × the floor)
// beside the floor: the same two grouped statements run bare on the same ledger, every row read.
//
//   bench_analysis [program folder | empty-ledger template]
//
// Without an argument the template comes from the build tree's programfiles folder.

#include "BenchLedger.h"
#include "app/Session.h"
#include "reports/CakeForm.h"
#include "reports/ReportQuery.h"
#include "storage/PublicFunction.h"
#include "storage/ShareDM.h"
#include "widgets/ChartView.h"
#include "widgets/DataGrid.h"

#include <QApplication>
#include <QComboBox>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <cstdio>

namespace {

constexpr int Runs = 3;
constexpr double Target = 1.2;

// The report a user gets from the builder with every list on "所有" and no range: every entry.
ReportConditions wholeLedgerReport()
{
    ReportChoices choices;
    choices.documentKind = Texts::AllItems;
    choices.transferKind = Texts::AllItems;
    choices.currentAccount = Texts::AllItems;
    choices.currentReason = Texts::AllItems;
    choices.type = choices.voucher = choices.customer = choices.salesman = Texts::AllItems;
    return BuildReportConditions(choices);
}

} // namespace

int main(int argc, char **argv)
{
    int exitCode = 0;
    if (Bench::RunAsGenerator(argc, argv, &exitCode))
        return exitCode;
    Bench::UseOffscreenWindowsUnlessSet();
    QApplication app(argc, argv);
    Bench::Setup bench("bench_analysis", argc, argv);
    if (!bench.prepare() || !bench.open())
        return 1;

    SessionValues &s = Session();
    const ViewFilters f = MakeViewFilters(QStringLiteral("5"), true, Bench::Cashier);
    s.AccountBookFilter = f.AccountBookFilter;
    s.MoneyOwnerFilter = f.MoneyOwnerFilter;
    const ReportConditions report = wholeLedgerReport();
    s.ReportCondition = report.condition;
    s.ReportAccountCondition = report.accountCondition;
    s.ReportStartDate = report.startDate;

    // As 报表分析 opens it: a fresh copy of the report condition, then shown (its first refresh).
    TFormCake form;
    form.ChartCondition = s.ReportCondition;
    form.resize(720, 520);
    form.show();
    QCoreApplication::processEvents();
    auto *analysisChoice = form.findChild<QComboBox *>(QStringLiteral("ComboBox1"));
    auto *restrictionChoice = form.findChild<QComboBox *>(QStringLiteral("ComboBox3"));
    if (!analysisChoice || !restrictionChoice)
        return bench.failed(QStringLiteral("the dialog's lists are missing"));

    std::printf("whole-ledger report, \"综合统计收支\", the best of %d runs each\n\n", Runs);
    std::printf("%-16s %7s %7s %11s %11s %8s\n", "analysis", "groups", "points", "refresh", "floor", "ratio");
    bool ok = true;
    double refreshTotal = 0, floorTotal = 0;
    const Sql restriction = Cake::Restriction(restrictionChoice->currentText());
    for (const Cake::Analysis &analysis : Cake::Analyses()) {
        // Chosen without the list's own refresh, so that each run below is one refresh.
        {
            const QSignalBlocker quiet(analysisChoice);
            analysisChoice->setCurrentIndex(analysisChoice->findText(analysis.name));
        }
        const double refreshMs = Bench::BestOf(
            Runs,
            [&] {
                form.RefreshAnalysis();
                // The footers as the grid shows them, counted and summed.
                for (int c = 0; c < form.grid()->columnCount(); ++c)
                    form.grid()->footerText(c);
                return form.grid()->isOpen();
            },
            &ok);
        int chartRows = 0, gridRows = 0;
        const Sql chartSql = Cake::ChartSql(
            analysis, s.AccountBookFilter, s.MoneyOwnerFilter, form.ChartCondition, restriction);
        const Sql gridSql = Cake::GridSql(
            analysis, s.AccountBookFilter, s.MoneyOwnerFilter, form.ChartCondition, restriction);
        const double floorMs = Bench::BestOf(
            Runs, [&] { return Bench::ReadAll(chartSql, &chartRows) && Bench::ReadAll(gridSql, &gridRows); },
            &ok);
        if (!ok)
            return bench.failed(QStringLiteral("%1 failed").arg(analysis.name));
        if (form.grid()->rowCount() != gridRows)
            return bench.failed(QStringLiteral("%1: the grid shows %2 groups, the statement gives %3")
                                    .arg(analysis.name)
                                    .arg(form.grid()->rowCount())
                                    .arg(gridRows));
        refreshTotal += refreshMs;
        floorTotal += floorMs;
        const double ratio = refreshMs / floorMs;
        std::printf("%-*s %7d %7d %8.1f ms %8.1f ms %7.2f ×  (%s)\n",
            16 + int(analysis.name.toUtf8().size() - analysis.name.size()) / 2, qPrintable(analysis.name),
            gridRows, form.chart()->pointCount(), refreshMs, floorMs, ratio,
            ratio <= Target ? "met" : "MISSED");
    }
    const double ratio = refreshTotal / floorTotal;
    std::printf("\nthe six together: %.1f ms, floor %.1f ms, %.2f × floor (target <= %.1f ×: %s)\n\n",
        refreshTotal, floorTotal, ratio, Target, ratio <= Target ? "met" : "MISSED");
    return 0;
}
