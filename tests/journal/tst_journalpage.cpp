// The daily journal page as a cashier uses it: the day's balances, counts and sums, the grid with
// its footers, colours and widths, the day buttons, editing an entry from the grid and the print.

#include "accounts/AccountPanels.h"
#include "app/Dialogs.h"
#include "app/MainForm.h"
#include "journal/GetPayForm.h"
#include "journal/MoneyGrid.h"
#include "support/ProgramRun.h"
#include "support/ReportRecorder.h"
#include "support/TestMain.h"
#include "widgets/DataGrid.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

using namespace TestSupport;

namespace {

const QDate Day(2026, 6, 15);

QString labelText(const Run &run, const char *name)
{
    return child<QLabel>(run.window(), QString::fromLatin1(name))->text();
}

DataGrid *journalGrid(const Run &run)
{
    return child<DataGrid>(run.window()->tabPage(MainTab::Journal), QStringLiteral("DBGridEh1"));
}

QColor cellColour(DataGrid *grid, int row, const QString &field)
{
    for (int c = 0; c < grid->columnCount(); ++c)
        if (grid->column(c).field == field)
            return grid->model()->data(grid->model()->index(row, c), Qt::ForegroundRole).value<QColor>();
    return {};
}

qint64 addTransferHalf(
    LedgerFile &ledger, qint64 account, double amount, const QString &reason, const QDate &day)
{
    return ledger.insert(
        QStringLiteral(
            "Insert Into MoneyTable (MoneyKind, MoneyAccount, MoneyUser, MoneyRecordTime, "
            "MoneyCreateTime, MoneySum, MoneyReason, MoneyPower) Values (?, ?, '', ?, ?, ?, ?, '出纳')"),
        {amount < 0 ? QStringLiteral("财务支出") : QStringLiteral("财务收入"), account, IsoDate(day),
            IsoDate(day), amount, reason});
}

// A bank account of 1000 and a cash account of 500, with entries before and on the day.
void addDayLedger(Run &run)
{
    auto ledger = run.ledger();
    const qint64 bank = ledger->addAccount(QStringLiteral("工商银行"), 1, 1000);
    const qint64 cash = ledger->addAccount(QStringLiteral("库存现金"), 2, 500);
    ledger->addEntry(bank, 200, Day.addDays(-1));
    ledger->addEntry(cash, -50, Day.addDays(-3));
    ledger->addEntry(bank, 300, Day);
    ledger->addEntry(cash, -80.5, Day);
    ledger->addEntry(bank, 0, Day);
    ledger->addEntry(bank, 999, Day.addDays(1));
    // Two transfers of 100 on the day: one between the two banks, one from the bank to the cash.
    const qint64 bank2 = ledger->addAccount(QStringLiteral("建设银行"), 1, 0);
    addTransferHalf(*ledger, bank, -100, QStringLiteral("帐户平调"), Day);
    addTransferHalf(*ledger, bank2, 100, QStringLiteral("帐户平调"), Day);
    addTransferHalf(*ledger, bank, -40, QStringLiteral("帐簿平调"), Day);
    addTransferHalf(*ledger, cash, 40, QStringLiteral("帐簿平调"), Day);
}

} // namespace

class TestJournalPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    // The labels for the book settings: the balances always include both transfer halves; the day
    // counts leave out "帐户平调" always and "帐簿平调" only when the book reads "5". An entry of 0
    // counts as income.
    void dayFigures_data()
    {
        QTest::addColumn<QString>("book");
        QTest::addColumn<QString>("income");
        QTest::addColumn<QString>("expense");
        QTest::newRow("both books") << "5"
                                    << "共 2 笔～300 元"
                                    << "共 1 笔～80.5 元";
        QTest::newRow("no book condition") << "7"
                                           << "共 3 笔～340 元"
                                           << "共 2 笔～120.5 元";
    }
    void dayFigures()
    {
        QFETCH(QString, book);
        QFETCH(QString, income);
        QFETCH(QString, expense);
        Run run;
        addDayLedger(run);
        run.writeSetting(QStringLiteral("AccountType"), book);
        QVERIFY(run.startAs(Cashier));
        QCOMPARE(run.window()->currentDay(), Day);
        // Opening 1500, then 200 and -50 before the day; the day adds 300 - 80.5 + 0 and the
        // transfers cancel out.
        QCOMPARE(labelText(run, "Label7"), QStringLiteral("上日结余：1650 元"));
        QCOMPARE(labelText(run, "Label8"), QStringLiteral("本日结余：1869.5 元"));
        QCOMPARE(labelText(run, "Label9"), QStringLiteral("本日收入："));
        QCOMPARE(labelText(run, "Label10"), QStringLiteral("本日支出："));
        QCOMPARE(labelText(run, "Label11"), income);
        QCOMPARE(labelText(run, "Label12"), expense);
        QCOMPARE(labelText(run, "AccountSum"), QStringLiteral("总金额：1869.5 元"));
        DataGrid *grid = journalGrid(run);
        QCOMPARE(grid->rowCount(), 7);
        QCOMPARE(grid->footerText(0), QStringLiteral("7条"));
        QCOMPARE(grid->footerText(5), QStringLiteral("300"));
        QCOMPARE(grid->footerText(6), QStringLiteral("80.5"));
        QCOMPARE(grid->footerColor(6), QColor(Qt::red));
        QCOMPARE(grid->footerText(7), QStringLiteral("219.5"));
        QStringList captions;
        for (int c = 0; c < grid->columnCount(); ++c)
            captions << grid->column(c).caption;
        QCOMPARE(captions,
            (QStringList {"记录号", "单据编号", "录入时间", "帐户名称", "客户名称", "收入", "支出", "合计",
                "业务员", "收支种类", "类别", "凭证", "备注"}));
        QCOMPARE(grid->displayText(0, 2), QStringLiteral("2026-6-15"));
        QVERIFY(run.seams.messages.isEmpty());
    }

    void emptyDay()
    {
        Run run;
        run.ledger()->addAccount(QStringLiteral("工商银行"), 1, 1000);
        QVERIFY(run.startAs(Cashier));
        QCOMPARE(labelText(run, "Label7"), QStringLiteral("上日结余：1000 元"));
        QCOMPARE(labelText(run, "Label8"), QStringLiteral("本日结余：1000 元"));
        QCOMPARE(labelText(run, "Label11"), QStringLiteral("共 0 笔～0 元"));
        QCOMPARE(labelText(run, "Label12"), QStringLiteral("共 0 笔～0 元"));
        QCOMPARE(journalGrid(run)->rowCount(), 0);
        QCOMPARE(journalGrid(run)->footerText(0), QStringLiteral("0条"));
    }

    // Amounts rounded to a whole number with halves to even: negative ones are red.
    void amountColour_data()
    {
        QTest::addColumn<double>("amount");
        QTest::addColumn<bool>("red");
        QTest::newRow("-0.3") << -0.3 << false;
        QTest::newRow("-0.5") << -0.5 << false;
        QTest::newRow("-0.6") << -0.6 << true;
        QTest::newRow("-1.5") << -1.5 << true;
        QTest::newRow("-2.5") << -2.5 << true;
        QTest::newRow("0") << 0.0 << false;
        QTest::newRow("12") << 12.0 << false;
    }
    void amountColour()
    {
        QFETCH(double, amount);
        QFETCH(bool, red);
        QCOMPARE(MoneyGrid::IsRedAmount(amount), red);
    }

    void amountColourInTheGrid()
    {
        Run run;
        {
            auto ledger = run.ledger();
            const qint64 bank = ledger->addAccount(QStringLiteral("工商银行"), 1, 1000);
            ledger->addEntry(bank, -0.3, Day);
            ledger->addEntry(bank, -0.6, Day);
        }
        QVERIFY(run.startAs(Cashier));
        DataGrid *grid = journalGrid(run);
        QCOMPARE(grid->rowCount(), 2);
        QCOMPARE(cellColour(grid, 0, QStringLiteral("MoneySum")), QColor(Qt::black));
        QCOMPARE(cellColour(grid, 1, QStringLiteral("MoneySum")), QColor(Qt::red));
        QCOMPARE(cellColour(grid, 1, QStringLiteral("MoneyOut")), QColor(Qt::black));
    }

    // The day buttons move the day of every view, of the entry form's date and of the date part
    // of new document numbers.
    void dayButtons()
    {
        Run run;
        {
            auto ledger = run.ledger();
            const qint64 bank = ledger->addAccount(QStringLiteral("工商银行"), 1, 1000);
            ledger->addEntry(bank, 10, Day.addDays(-1));
        }
        QVERIFY(run.startAs(Cashier));
        child<QAbstractButton>(run.window(), QStringLiteral("BitBtn1"))->click();
        QCOMPARE(run.window()->currentDay(), Day.addDays(-1));
        QCOMPARE(journalGrid(run)->rowCount(), 1);
        QCOMPARE(labelText(run, "Label11"), QStringLiteral("共 1 笔～10 元"));
        QString formDay, serial;
        run.seams.onDialog(QStringLiteral("TFormGetPay"), [&](QDialog *d) {
            formDay = child<QDateEdit>(d, QStringLiteral("DateTimePicker1"))->date().toString(Qt::ISODate);
            serial = child<QLineEdit>(d, QStringLiteral("Edit4"))->text();
        });
        run.window()->action(QStringLiteral("ActionGet"))->trigger();
        QCOMPARE(formDay, QStringLiteral("2026-06-14"));
        QVERIFY2(serial.contains(QStringLiteral("260614")), qPrintable(serial));

        child<QAbstractButton>(run.window(), QStringLiteral("BitBtn2"))->click();
        child<QAbstractButton>(run.window(), QStringLiteral("BitBtn2"))->click();
        QCOMPARE(run.window()->currentDay(), Day.addDays(1));
        QCOMPARE(journalGrid(run)->rowCount(), 0);
        QCOMPARE(labelText(run, "Label7"), QStringLiteral("上日结余：1010 元"));
    }

    // 平调 on the main window: both halves show in the journal, the day counts leave them out, and
    // with every account in view ("7") the button refuses.
    void transferFromTheMainWindow()
    {
        Run run;
        {
            auto ledger = run.ledger();
            ledger->addAccount(QStringLiteral("工商银行"), 1, 1000);
            ledger->addAccount(QStringLiteral("建设银行"), 1, 0);
        }
        run.writeSetting(QStringLiteral("AccountType"), QStringLiteral("5"));
        QVERIFY(run.startAs(Cashier));
        run.seams.onDialog(QStringLiteral("TFormDraw"), [](QDialog *d) {
            auto pick = [d](const char *name, const QString &text) {
                auto *box = child<QComboBox>(d, QString::fromLatin1(name));
                box->setCurrentIndex(box->findText(text));
            };
            pick("ComboBox1", QStringLiteral("工商银行"));
            pick("ComboBox2", QStringLiteral("建设银行"));
            child<QLineEdit>(d, QStringLiteral("Edit2"))->setText(QStringLiteral("250"));
            child<QAbstractButton>(d, QStringLiteral("BitBtn1"))->click();
        });
        child<QAbstractButton>(run.window(), QStringLiteral("SpeedButtonDraw"))->click();
        QCOMPARE(run.seams.lastMessage(), QStringLiteral("平调成功"));
        DataGrid *grid = journalGrid(run);
        QCOMPARE(grid->rowCount(), 2);
        QCOMPARE(grid->value(0, QStringLiteral("MoneyUser")).toString(), QStringLiteral("调出->建设银行"));
        QCOMPARE(grid->value(1, QStringLiteral("MoneyUser")).toString(), QStringLiteral("工商银行->调入"));
        QCOMPARE(labelText(run, "Label11"), QStringLiteral("共 0 笔～0 元"));
        QCOMPARE(labelText(run, "Label12"), QStringLiteral("共 0 笔～0 元"));
        QCOMPARE(labelText(run, "Label8"), QStringLiteral("本日结余：1000 元"));

        run.writeSetting(QStringLiteral("AccountType"), QStringLiteral("7"));
        run.seams.clearMessages();
        child<QAbstractButton>(run.window(), QStringLiteral("SpeedButtonDraw"))->click();
        QCOMPARE(run.seams.messageTexts(),
            QStringList {QStringLiteral("为免出现平调错误，在“所有帐户”状态下不提供平调功能！")});
        QCOMPARE(run.seams.shownDialogs.count(QStringLiteral("TFormDraw")), 1);
    }

    // 修改记录 opens the selected entry; after OK the same entry is selected again.
    void editFromTheGrid()
    {
        Run run;
        qint64 second = 0;
        {
            auto ledger = run.ledger();
            const qint64 bank = ledger->addAccount(QStringLiteral("工商银行"), 1, 1000);
            ledger->addEntry(bank, 10, Day);
            second = ledger->addEntry(bank, -20, Day);
            ledger->addEntry(bank, 30, Day);
            // As the entry form stores them: with a category and a voucher kind.
            ledger->exec(QStringLiteral("Update MoneyTable Set MoneyType = '日常收支', MoneyToken = '发票'"));
        }
        QVERIFY(run.startAs(Cashier));
        run.window()->tabs()->setCurrentWidget(run.window()->tabPage(MainTab::Journal));
        DataGrid *grid = journalGrid(run);
        grid->setCurrentRow(1);
        QString kind, amount;
        run.seams.onDialog(QStringLiteral("TFormGetPay"), [&](QDialog *d) {
            auto *form = static_cast<TFormGetPay *>(d);
            kind = form->Request.EntryKind;
            QCOMPARE(form->Request.EntryIndex, second);
            amount = child<QLineEdit>(d, QStringLiteral("Edit2"))->text();
            child<QLineEdit>(d, QStringLiteral("Edit2"))->setText(QStringLiteral("25"));
            child<QAbstractButton>(d, QStringLiteral("BitBtn1"))->click();
        });
        run.window()->action(QStringLiteral("ActionEditMoney"))->trigger();
        QCOMPARE(kind, QStringLiteral("财务支出"));
        QCOMPARE(amount, QStringLiteral("20"));
        QCOMPARE(grid->currentRow(), 1);
        QCOMPARE(grid->value(QStringLiteral("MoneyIndex")).toLongLong(), second);
        QCOMPARE(labelText(run, "Label12"), QStringLiteral("共 1 笔～25 元"));

        // A double click on a row opens it too.
        run.seams.onDialog(QStringLiteral("TFormGetPay"),
            [&](QDialog *d) { QCOMPARE(static_cast<TFormGetPay *>(d)->Request.EntryIndex, second); });
        emit grid->gridDoubleClicked(1, 3);
        QCOMPARE(run.seams.shownDialogs.count(QStringLiteral("TFormGetPay")), 2);
    }

    void editWithoutARow()
    {
        Run run;
        run.ledger()->addAccount(QStringLiteral("工商银行"), 1, 1000);
        QVERIFY(run.startAs(Cashier));
        run.seams.clearMessages();
        run.window()->action(QStringLiteral("ActionEditMoney"))->trigger();
        QCOMPARE(run.seams.messageTexts(), QStringList {QStringLiteral("请先选中要修改的记录")});

        // A double click on the empty grid says the same, as 修改记录 does.
        run.seams.clearMessages();
        run.window()->tabs()->setCurrentWidget(run.window()->tabPage(MainTab::Journal));
        auto *grid = child<DataGrid>(run.window(), QStringLiteral("DBGridEh1"));
        QCOMPARE(grid->rowCount(), 0);
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, QPoint(30, 30));
        QCOMPARE(run.seams.messageTexts(), QStringList {QStringLiteral("请先选中要修改的记录")});
        QVERIFY(!run.seams.shownDialogs.contains(QStringLiteral("TFormGetPay")));
    }

    // The print hands the four header texts and the day's rows, in grid order, to the template the
    // print setting chooses.
    void printTheDay_data()
    {
        QTest::addColumn<QString>("printType");
        QTest::addColumn<QString>("file");
        QTest::newRow("missing") << QString() << "Daily.frf";
        QTest::newRow("portrait") << "纵向打印"
                                  << "Daily.frf";
        QTest::newRow("landscape") << "横向打印"
                                   << "Daily2.frf";
        QTest::newRow("any other") << "随便"
                                   << "Daily2.frf";
    }
    void printTheDay()
    {
        QFETCH(QString, printType);
        QFETCH(QString, file);
        Run run;
        {
            auto ledger = run.ledger();
            const qint64 bank = ledger->addAccount(QStringLiteral("工商银行"), 1, 1000);
            ledger->addEntry(bank, 10, Day);
            ledger->addEntry(bank, -20, Day);
        }
        if (!printType.isEmpty())
            run.writeSetting(QStringLiteral("PrintType"), printType);
        ReportRecorder printed(run.seams);
        QVERIFY(run.startAs(Cashier));
        run.window()->action(QStringLiteral("ActionPrintMoney"))->trigger();
        QCOMPARE(printed.reports.size(), 1);
        const PreparedReport &report = printed.reports.first();
        QVERIFY2(report.templatePath().endsWith(QStringLiteral("/Frf/") + file),
            qPrintable(report.templatePath()));
        QCOMPARE(ShownRows(report).size(), 2);
        QVERIFY(ShownRows(report).at(0).contains(QStringLiteral("10")));
        QVERIFY(ShownRows(report).at(1).contains(QStringLiteral("-20")));
        const QStringList headers = report.headerTexts();
        for (const QString &text : {QStringLiteral("上日结余：1000 元"), QStringLiteral("本日结余：990 元"),
                 QStringLiteral("本日收入：共 1 笔～10 元"), QStringLiteral("本日支出：共 1 笔～20 元")})
            QVERIFY2(
                headers.join(QLatin1Char('|')).contains(text), qPrintable(headers.join(QLatin1Char('|'))));
        QVERIFY(run.seams.messages.isEmpty());
    }

    // Dragged widths last until the next refresh; saved ones survive refreshes and a restart;
    // restoring the defaults shows them at once.
    void columnWidths()
    {
        Run run;
        run.ledger()->addAccount(QStringLiteral("工商银行"), 1, 1000);
        QVERIFY(run.startAs(Cashier));
        run.window()->tabs()->setCurrentWidget(run.window()->tabPage(MainTab::Journal));
        DataGrid *grid = journalGrid(run);
        QHeaderView *titles = grid->horizontalHeader();
        QCOMPARE(titles->sectionSize(4), 112);
        titles->resizeSection(4, 150);
        QCOMPARE(grid->column(4).width, 150);
        run.window()->RefreshAll();
        QCOMPARE(titles->sectionSize(4), 112);

        titles->resizeSection(4, 150);
        run.seams.answerQuestions({false});
        child<QAbstractButton>(run.window(), QStringLiteral("Button22"))->click();
        QCOMPARE(run.readSetting(QStringLiteral("MoneyUser")), QStringLiteral("<none>"));
        run.seams.answerQuestions({true});
        run.seams.clearMessages();
        child<QAbstractButton>(run.window(), QStringLiteral("Button22"))->click();
        QCOMPARE(run.seams.messageTexts(),
            (QStringList {QStringLiteral("您确定把当前格式保存为常用格式吗？"),
                QStringLiteral("列表格式保存成功，日记帐簿数据列宽将按当前长度显示")}));
        QCOMPARE(run.seams.messages[0].caption, QStringLiteral("保存确认"));
        QCOMPARE(
            ReadSetting(QStringLiteral("日记帐簿"), QStringLiteral("MoneyUser"), QString(), run.settings()),
            QStringLiteral("150"));
        QCOMPARE(
            ReadSetting(QStringLiteral("日记帐簿"), QStringLiteral("MoneyIndex"), QString(), run.settings()),
            QStringLiteral("50"));
        run.window()->RefreshAll();
        QCOMPARE(titles->sectionSize(4), 150);

        Run again;
        QFile::remove(again.settings());
        QVERIFY(QFile::copy(run.settings(), again.settings()));
        again.ledger()->addAccount(QStringLiteral("工商银行"), 1, 1000);
        run.program.reset();
        QVERIFY(again.startAs(Cashier));
        QCOMPARE(journalGrid(again)->horizontalHeader()->sectionSize(4), 150);

        again.seams.clearMessages();
        child<QAbstractButton>(again.window(), QStringLiteral("Button23"))->click();
        QCOMPARE(again.seams.messageTexts(),
            QStringList {QStringLiteral("列表格式恢复成功，日记帐簿数据列宽恢复为软件默认格式")});
        QCOMPARE(journalGrid(again)->horizontalHeader()->sectionSize(4), 112);
        QCOMPARE(
            ReadSetting(QStringLiteral("日记帐簿"), QStringLiteral("MoneyUser"), QString(), again.settings()),
            QStringLiteral("112"));
    }

    // A title click widens a column to the widest text it has drawn, plus 20, once.
    void titleClickWidens()
    {
        Run run;
        {
            auto ledger = run.ledger();
            const qint64 bank = ledger->addAccount(QStringLiteral("工商银行"), 1, 1000);
            ledger->exec(QStringLiteral("Update MoneyTable Set MoneyUser = ? Where MoneyIndex = ?"),
                {QStringLiteral("一段很长很长很长很长很长很长很长很长的备注文字"),
                    ledger->addEntry(bank, 10, Day)});
        }
        QVERIFY(run.startAs(Cashier));
        DataGrid *grid = journalGrid(run);
        run.window()->tabs()->setCurrentWidget(run.window()->tabPage(MainTab::Journal));
        grid->grab(); // draws the cells
        // The customer column (112 wide) drew a longer name.
        const int remembered = MoneyGrid::RememberedWidth(grid, 4);
        QVERIFY2(remembered > 112, qPrintable(QString::number(remembered)));
        QHeaderView *titles = grid->horizontalHeader();
        emit titles->sectionClicked(4);
        QCOMPARE(titles->sectionSize(4), remembered);
        emit titles->sectionClicked(4);
        QCOMPARE(titles->sectionSize(4), remembered);
        // A column wider than its texts is never narrowed.
        titles->resizeSection(0, 200);
        emit titles->sectionClicked(0);
        QCOMPARE(titles->sectionSize(0), 200);
    }
};

QUILL_TEST_MAIN(TestJournalPage)
#include "tst_journalpage.moc"
