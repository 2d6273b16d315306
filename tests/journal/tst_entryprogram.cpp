// The entry form as a user reaches it: the program started on the Default ledger, the cashier
// logged in, 收入 and 支出 pressed on the main window.

#include "app/Dialogs.h"
#include "app/MainForm.h"
#include "journal/GetPayForm.h"
#include "receivables/GetPayForm4.h"
#include "support/ProgramRun.h"
#include "support/ReportRecorder.h"
#include "support/TestMain.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace TestSupport;

namespace {

// The balance shown by the first account panel.
QString accountPanelBalance(TFormMain *window)
{
    auto *panel = child<QWidget>(window, QStringLiteral("AccountPanel0"));
    auto *balance = panel ? child<QLabel>(panel, QStringLiteral("AccountMoney")) : nullptr;
    return balance && !panel->isHidden() ? balance->text() : QString();
}

TFormGetPay *entryForm(const Run &run)
{
    return run.program->dialogs()->getPay;
}

} // namespace

class TestEntryProgram : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    // The typical expense: numbered for the main window's day, offered to the customer's
    // payable, stored, printed as a bill, the payable's sums updated, and the account panel
    // showing the lower balance.
    void expenseFromTheMainWindow()
    {
        Run run;
        qint64 payable = 0;
        {
            auto ledger = run.ledger();
            ledger->addAccount(QStringLiteral("工商银行"), 1, 1000);
            payable = ledger->insert(
                QStringLiteral("Insert Into GetPay (GetPayTime, GetPayUser, GetPayKind, GetPaySum, "
                               "GetPaySum2, GetPaySum3, GetPayPower) "
                               "Values ('2026-06-01', '华联''商场', '应付', 500, 0, 500, '出纳')"));
        }
        run.writeSetting(QStringLiteral("BillPrint"), QStringLiteral("开单时自动打印"));
        ReportRecorder bills(run.seams);
        QVERIFY(run.startAs(Cashier));
        QCOMPARE(accountPanelBalance(run.window()), QStringLiteral("1000 元"));
        run.window()->setCurrentDay(QDate(2026, 7, 1));

        run.seams.onDialog(QStringLiteral("TFormGetPay4"), [](QDialog *d) {
            auto *match = static_cast<TFormGetPay4 *>(d);
            QCOMPARE(match->Request.MatchUser, QStringLiteral("华联'商场"));
            QCOMPARE(match->Request.MatchKind, QStringLiteral("应付"));
            trigger(d, QStringLiteral("ActionYes"));
        });
        run.seams.onDialog(QStringLiteral("TFormGetPay"), [](QDialog *d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("新增财务支出"));
            QCOMPARE(text(d, "Edit4"), QStringLiteral("ZC26070101"));
            auto *date = child<QDateEdit>(d, QStringLiteral("DateTimePicker1"));
            QCOMPARE(date->date(), QDate(2026, 7, 1));
            QCOMPARE(text(d, "ComboBox1"), QStringLiteral("工商银行"));
            // Another day in the form: the number stays that of the main window's day.
            date->setDate(QDate(2026, 6, 28));
            child<QComboBox>(d, QStringLiteral("ComboBox5"))->setEditText(QStringLiteral("华联'商场"));
            child<QLineEdit>(d, QStringLiteral("Edit2"))->setText(QStringLiteral("80"));
            child<QPushButton>(d, QStringLiteral("BitBtn1"))->click();
        });
        trigger(run.window(), QStringLiteral("ActionPay"));
        QCOMPARE(
            run.seams.shownDialogs, QStringList({"TFormLogin", "TFormChose", "TFormGetPay", "TFormGetPay4"}));
        QCOMPARE(run.seams.lastMessage(), QStringLiteral("记录新增成功"));

        auto ledger = run.ledger();
        const QVariantList entry
            = ledger
                  ->rows(QStringLiteral("Select MoneyKind, MoneySerial, MoneyCreateTime, MoneyRecordTime, "
                                        "MoneySum, MoneyUser, MoneyGetPay, "
                                        "MoneyPower From MoneyTable Where MoneyIndex > 1"))
                  .value(0);
        QCOMPARE(entry,
            QVariantList(
                {"财务支出", "ZC26070101", "2026-06-28", "2026-06-15", -80.0, "华联'商场", payable, "出纳"}));
        QCOMPARE(ledger
                     ->rows(QStringLiteral("Select GetPaySum2, GetPaySum3 From GetPay Where GetPayIndex = ?"),
                         {payable})
                     .value(0),
            QVariantList({80.0, 420.0}));

        // The refresh after the save shows the balance on the main window's day.
        QCOMPARE(accountPanelBalance(run.window()), QStringLiteral("920 元"));

        QCOMPARE(bills.reports.size(), 1);
        QCOMPARE(bills.reports.first().title(), QStringLiteral("财务支出单"));
        QVERIFY(
            ShownRows(bills.reports.first()).value(0).contains(QStringLiteral("捌拾　零元　零角　零分　")));
        QVERIFY(ShownRows(bills.reports.first()).value(0).contains(QStringLiteral("¥80")));
    }

    // Each command opens a new entry of its kind, numbered on the main window's day, without
    // what an earlier caller left in the presets.
    void incomeAndExpenseNumberedApart()
    {
        Run run;
        {
            auto ledger = run.ledger();
            const qint64 bank = ledger->addAccount(QStringLiteral("工商银行"), 1, 0);
            ledger->exec(
                QStringLiteral("Insert Into MoneyTable (MoneyKind, MoneySerial, MoneyAccount, MoneySum) "
                               "Values ('财务支出', 'ZC26070101', ?, -5), ('财务支出', 'ZC26070102', ?, -5)"),
                {bank, bank});
        }
        QVERIFY(run.startAs(Cashier));
        run.window()->setCurrentDay(QDate(2026, 7, 1));
        TFormGetPay *form = entryForm(run);
        form->Request.PresetUser = QStringLiteral("上次留下");
        form->Request.PresetAmount = QStringLiteral("99");
        form->Request.PresetRemark = QStringLiteral("旧备注");
        QStringList seen;
        auto look = [&seen](QDialog *d) {
            seen << d->windowTitle() << text(d, "Edit4") << text(d, "ComboBox5") << text(d, "Edit2")
                 << text(d, "Edit3");
        };
        run.seams.onDialog(QStringLiteral("TFormGetPay"), look);
        trigger(run.window(), QStringLiteral("ActionGet"));
        run.seams.onDialog(QStringLiteral("TFormGetPay"), look);
        trigger(run.window(), QStringLiteral("ActionPay"));
        QCOMPARE(seen,
            QStringList(
                {"新增财务收入", "SR26070101", "", "", "", "新增财务支出", "ZC26070103", "", "", ""}));
        QVERIFY(run.seams.messages.isEmpty());
    }
};

QUILL_TEST_MAIN(TestEntryProgram)
#include "tst_entryprogram.moc"
