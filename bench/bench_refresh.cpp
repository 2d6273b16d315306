// The whole day step and the whole save of an entry, from the button to the painted window, over a
// ledger of 1,000 accounts and 1,000,000 entries, with each tab on screen in turn while the report
// tab holds the whole list (target: at most 50 ms each). Beside each figure: the statements of
// the grid on screen, with the raw-SQL floor of its first screen and of its count and sums.
//
//   bench_refresh [program folder | empty-ledger template]
//
// The program runs as a person uses it (login, book choice, buttons), on the offscreen window
// system unless another is set. Without an argument the template comes from the build tree.

#include "BenchLedger.h"
#include "app/MainForm.h"
#include "storage/PublicFunction.h"
#include "support/ProgramRun.h"
#include "widgets/DataGrid.h"
#include "widgets/DataGridModel.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

#include <cstdio>

namespace {

using namespace TestSupport;
constexpr double TargetMs = 50.0;
constexpr int Runs = 5;
const QDate Day(2026, 6, 15);
const Sql RawInsert(
    "Insert Into MoneyTable (MoneyKind, MoneyAccount, MoneyUser, MoneyRecordTime, MoneyCreateTime, "
    "MoneyIn, MoneyOut, MoneySum, MoneyReason, MoneyPower) Values ('财务收入', 2, '', '2026-06-15', "
    "'2026-06-15', 1, 0, 1, '利息收入', '出纳')");

struct Tab {
    MainTab tab;
    const char *title;
};
const Tab Tabs[] = {{MainTab::Journal, "日记帐簿"}, {MainTab::Accounts, "帐户状况"},
    {MainTab::GetPay, "应收应付"}, {MainTab::Reports, "报表中心, the whole list"}};

// The window as it is painted now, every widget on screen included.
void paint(TFormMain *window)
{
    window->repaint();
}

bool clickAndPaint(TFormMain *window, const char *button)
{
    auto *b = window->findChild<QAbstractButton *>(QString::fromLatin1(button));
    if (!b) {
        std::fprintf(stderr, "no button %s\n", button);
        return false;
    }
    b->click();
    paint(window);
    return true;
}

// A new income of 1 元 through 收入 and the entry form's 保存, on the account it offers or the last.
bool saveEntry(Run &run)
{
    run.seams.onDialog(QStringLiteral("TFormGetPay"), [](QDialog *d) {
        auto *account = d->findChild<QComboBox *>(QStringLiteral("ComboBox1"));
        if (account->currentText().isEmpty() && account->count() > 0)
            account->setCurrentIndex(account->count() - 1);
        d->findChild<QLineEdit *>(QStringLiteral("Edit2"))->setText(QStringLiteral("1"));
        d->findChild<QPushButton *>(QStringLiteral("BitBtn1"))->click();
    });
    const qsizetype before = run.seams.messages.size();
    run.window()->action(QStringLiteral("ActionGet"))->trigger();
    paint(run.window());
    if (run.seams.messages.size() == before + 1
        && run.seams.messages.last().text == QStringLiteral("记录新增成功"))
        return true;
    std::fprintf(stderr, "the save said: %s\n",
        qPrintable(run.seams.messageTexts().mid(before).join(QLatin1Char('|'))));
    return false;
}

// The floor of what the grids on screen need: the first screen of rows, and the count and sums
// of the whole result, each as one raw statement.
void printGridFloors(QWidget *page)
{
    for (DataGrid *grid : page->findChildren<DataGrid *>()) {
        if (!grid->isVisible() || !grid->isOpen())
            continue;
        const Sql &statement = grid->statement();
        std::printf("    %s: %s\n", qPrintable(grid->objectName()), qPrintable(statement.text()));
        bool ok = true;
        const double firstScreen = Bench::BestOf(
            Runs, [&] { return Bench::ReadAll(statement + Sql(" Limit 40")); }, &ok);
        QStringList sums;
        for (int c = 0; c < grid->columnCount(); ++c)
            if (grid->column(c).footer.kind == FooterKind::Sum)
                sums << QStringLiteral("Sum(%1)").arg(grid->column(c).field);
        const Sql aggregate
            = Sql(QStringLiteral("Select Count(*)")
                  + (sums.isEmpty() ? QString() : QStringLiteral(", ") + sums.join(QStringLiteral(", ")))
                  + QStringLiteral(" From ("))
            + WithoutTrailingOrderBy(statement) + Sql(")");
        const double counted = Bench::BestOf(
            Runs, [&] { return Bench::ReadAll(aggregate); }, &ok);
        std::printf("      floor: first 40 rows %.1f ms, count and %lld sums %.1f ms%s\n", firstScreen,
            qlonglong(sums.size()), counted, ok ? "" : " (failed)");
    }
}

} // namespace

int main(int argc, char **argv)
{
    int exitCode = 0;
    if (Bench::RunAsGenerator(argc, argv, &exitCode))
        return exitCode;
    Bench::UseOffscreenWindowsUnlessSet();
    QApplication app(argc, argv);
    Bench::Setup bench("bench_refresh", argc, argv);
    if (!bench.prepare())
        return 1;

    Run run;
    run.seams.today = Day;
    run.rememberLedger(bench.ledgerPath());
    // Both account books in view: every account and entry of the ledger.
    run.writeSetting(QStringLiteral("AccountType"), QStringLiteral("5"));
    QElapsedTimer started;
    started.start();
    run.seams.onDialog(QStringLiteral("TFormLogin"), loginAs(Cashier));
    run.seams.onDialog(QStringLiteral("TFormChose"), CloseBox);
    if (!run.start())
        return bench.failed(QStringLiteral("the program did not start on the ledger"));
    std::printf("Start and login: %.0f ms\n\n", Bench::MsSince(started));
    TFormMain *window = run.window();
    window->resize(1024, 768);

    // The report tab holds the whole list, as after choosing an order with no report made.
    QWidget *reports = window->tabPage(MainTab::Reports);
    window->tabs()->setCurrentWidget(reports);
    reports->findChild<QComboBox *>(QStringLiteral("ComboBox3"))->setCurrentIndex(1);
    if (!window->reportGridOpen())
        return bench.failed(QStringLiteral("the whole list did not open"));

    std::printf("Day %s, %d entries; best of %d runs, wall (CPU) ms; target %.0f ms:\n",
        qPrintable(Day.toString(Qt::ISODate)), Bench::EntryCount, Runs, TargetMs);
    bool allWithin = true;
    for (const Tab &t : Tabs) {
        window->tabs()->setCurrentWidget(window->tabPage(t.tab));
        paint(window);
        bool ok = true;
        double cpu = 0;
        bool forward = true;
        const double step = Bench::BestOf(
            Runs,
            [&] {
                const double c0 = Bench::CpuMs();
                const bool done = clickAndPaint(window, forward ? "BitBtn2" : "BitBtn1");
                forward = !forward;
                cpu = Bench::CpuMs() - c0;
                return done;
            },
            &ok);
        const double stepCpu = cpu;
        if (!forward)
            clickAndPaint(window, "BitBtn1");
        const double save = Bench::BestOf(
            Runs,
            [&] {
                const double c0 = Bench::CpuMs();
                const bool done = saveEntry(run);
                cpu = Bench::CpuMs() - c0;
                return done;
            },
            &ok);
        // The part of both that is RefreshAll, and the raw write that a save cannot go below.
        const double refresh = Bench::BestOf(
            Runs,
            [&] {
                window->RefreshAll();
                paint(window);
                return true;
            },
            &ok);
        const double formOnly = Bench::BestOf(
            Runs,
            [&] {
                run.seams.onDialog(QStringLiteral("TFormGetPay"), [](QDialog *d) { d->reject(); });
                window->action(QStringLiteral("ActionGet"))->trigger();
                paint(window);
                return true;
            },
            &ok);
        const double write = Bench::BestOf(
            Runs, [&] { return Bench::ReadAll(RawInsert); }, &ok);
        if (!ok)
            return bench.failed(
                QStringLiteral("a day step or a save failed on %1").arg(QString::fromUtf8(t.title)));
        const bool within = step <= TargetMs && save <= TargetMs;
        allWithin = allWithin && within;
        std::printf("  %s on screen: day step %.1f (%.1f), save %.1f (%.1f)%s\n", t.title, step, stepCpu,
            save, cpu, within ? "" : "  ABOVE TARGET");
        std::printf("    RefreshAll alone, painted: %.1f ms; 收入 opened and cancelled: %.1f ms; floor of a "
                    "save's write (one raw Insert): %.1f ms\n",
            refresh, formOnly, write);
        printGridFloors(window->tabPage(t.tab));
    }
    std::printf("\n%s\n", allWithin ? "every figure within the target" : "some figures above the target");
    return 0;
}
