// The report tab as a user works with it: the sort list, the refresh of the report, the print,
// editing an entry from the list and the saved column widths.

#include "ReportsFixture.h"
#include "journal/GetPayForm.h"
#include "journal/MoneyGrid.h"
#include "support/ReportRecorder.h"
#include "support/TestMain.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>

using namespace ReportsTest;

namespace {

// Written in this order, so their MoneyIndex rises from a to d; within a name the day decides
// before the index.
const QList<Entry> SortEntries = {
    {"a", QDate(2026, 6, 3), "银行", 10, "测试", "甲", "李"},
    {"b", QDate(2026, 6, 1), "现金", -5, "测试", "甲", "李"},
    {"c", QDate(2026, 6, 1), "银行", 30, "测试", "甲", "赵"},
    {"d", QDate(2026, 6, 2), "现金", 30, "测试", nullptr, "李"},
};

QComboBox *sortList(const Run &run)
{
    return child<QComboBox>(reportsTab(run), QStringLiteral("ComboBox3"));
}

void chooseSort(const Run &run, const QString &choice)
{
    QComboBox *sort = sortList(run);
    const int index = sort->findText(choice);
    QVERIFY2(index >= 0, qPrintable(choice));
    sort->setCurrentIndex(index);
}

QHash<QString, qint64> startOn(Run &run, const QList<Entry> &entries)
{
    QHash<QString, qint64> tags;
    {
        auto ledger = run.ledger();
        tags = addEntries(*ledger, entries);
        // As the entry form stores them: with a category and a voucher kind.
        ledger->exec(QStringLiteral("Update MoneyTable Set MoneyType = '日常收支', MoneyToken = '发票'"));
    }
    run.writeSetting(QStringLiteral("AccountType"), QStringLiteral("5"));
    if (!run.startAs(Cashier))
        qWarning("the program did not start");
    return tags;
}

QString readWidth(const Run &run, const QString &field)
{
    return ReadSetting(QStringLiteral("报表中心"), field, QStringLiteral("<none>"), run.settings());
}

} // namespace

class TestReportCentre : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    void tabControls()
    {
        Run run;
        QVERIFY(run.startAs(Cashier));
        QWidget *tab = reportsTab(run);
        QStringList captions;
        for (const char *name :
            {"Cake", "ToExcel", "ResearchReport", "MakeReport", "PrintReport", "Button24", "Button25"})
            captions << child<QAbstractButton>(tab, QString::fromLatin1(name))->text();
        QCOMPARE(captions,
            (QStringList {"报表分析", "导出EXCEL", "财务日结", "生成报表", "打印报表", "保存当前列表格式",
                "恢复默认列表格式"}));
        QStringList sorts;
        for (int i = 0; i < sortList(run)->count(); ++i)
            sorts << sortList(run)->itemText(i);
        QCOMPARE(
            sorts, (QStringList {"按时间排", "按帐户排", "按金额排", "按编号排", "按客户排", "按业务员"}));
        QCOMPARE(sortList(run)->currentText(), QStringLiteral("按时间排"));
        QCOMPARE(reportGrid(run)->accessibleName(), QStringLiteral("报表中心"));
        QVERIFY(!reportGrid(run)->isOpen());
    }

    // A sort change lists, before any report was made, every entry in view, in its order.
    void sortOrders_data()
    {
        QTest::addColumn<QString>("choice");
        QTest::addColumn<QStringList>("order");
        QTest::newRow("按时间排") << "按时间排" << QStringList {"b", "c", "d", "a"};
        QTest::newRow("按帐户排") << "按帐户排" << QStringList {"b", "d", "c", "a"};
        QTest::newRow("按金额排") << "按金额排" << QStringList {"c", "d", "a", "b"};
        QTest::newRow("按编号排") << "按编号排" << QStringList {"a", "b", "c", "d"};
        QTest::newRow("按客户排") << "按客户排" << QStringList {"d", "b", "c", "a"};
        QTest::newRow("按业务员") << "按业务员" << QStringList {"b", "d", "a", "c"};
    }
    void sortOrders()
    {
        QFETCH(QString, choice);
        QFETCH(QStringList, order);
        Run run;
        const QHash<QString, qint64> tags = startOn(run, SortEntries);
        // Another choice first, so that the wanted one is a change.
        chooseSort(run,
            choice == QStringLiteral("按编号排") ? QStringLiteral("按时间排") : QStringLiteral("按编号排"));
        chooseSort(run, choice);
        QCOMPARE(reportRows(run), indexesOf(tags, order));
        QCOMPARE(reportGrid(run)->footerText(0), QStringLiteral("4条"));
        QVERIFY(run.seams.messages.isEmpty());
    }

    // RefreshAll leaves an unmade report unmade, and refreshes one that was made.
    void refreshAllFollowsAnOpenReport()
    {
        Run run;
        startOn(run, SortEntries);
        run.window()->RefreshAll();
        QVERIFY(!reportGrid(run)->isOpen());
        makeReport(run);
        QCOMPARE(reportRows(run).size(), 4);
        {
            auto ledger = run.ledger();
            ledger->addEntry(
                ledger->value(QStringLiteral("Select AccountIndex From Account Where AccountName = '现金'"))
                    .toLongLong(),
                7, QDate(2026, 6, 4));
        }
        run.window()->RefreshAll();
        QCOMPARE(reportRows(run).size(), 5);
    }

    // The print goes through the template that "PrintType" chooses, with the rows in grid order;
    // with no report made it does nothing.
    void printTheList_data()
    {
        QTest::addColumn<QString>("printType");
        QTest::addColumn<QString>("file");
        QTest::newRow("missing") << QString() << "Report.frf";
        QTest::newRow("portrait") << "纵向打印"
                                  << "Report.frf";
        QTest::newRow("landscape") << "横向打印"
                                   << "Report2.frf";
        QTest::newRow("any other") << "其他"
                                   << "Report2.frf";
    }
    void printTheList()
    {
        QFETCH(QString, printType);
        QFETCH(QString, file);
        Run run;
        if (!printType.isEmpty())
            run.writeSetting(QStringLiteral("PrintType"), printType);
        ReportRecorder printed(run.seams);
        startOn(run, SortEntries);
        trigger(reportsTab(run), QStringLiteral("ActionPrintReport"));
        QVERIFY(printed.reports.isEmpty());
        QVERIFY(run.seams.messages.isEmpty());

        makeReport(run);
        chooseSort(run, QStringLiteral("按金额排"));
        trigger(reportsTab(run), QStringLiteral("ActionPrintReport"));
        QCOMPARE(printed.reports.size(), 1);
        const PreparedReport &report = printed.reports.first();
        QVERIFY2(report.templatePath().endsWith(QStringLiteral("/Frf/") + file),
            qPrintable(report.templatePath()));
        QCOMPARE(ShownRows(report).size(), 4);
        // 按金额排: 30, 30, 10, -5.
        QStringList sums;
        for (const QStringList &row : ShownRows(report))
            sums << row.value(7);
        QCOMPARE(sums, (QStringList {"30", "30", "10", "-5"}));
        QVERIFY(run.seams.messages.isEmpty());
    }

    // A double click opens the entry; after OK the same entry is current again, unless the edit
    // took it out of the report's conditions.
    void editFromTheList()
    {
        Run run;
        const QHash<QString, qint64> tags = startOn(run, SortEntries);
        makeReport(run, QDate(2026, 6, 1), QDate(2026, 6, 30));
        DataGrid *grid = reportGrid(run);
        grid->setCurrentRow(2); // d
        QCOMPARE(grid->value(QStringLiteral("MoneyIndex")).toLongLong(), tags["d"]);
        run.seams.onDialog(QStringLiteral("TFormGetPay"), [&](QDialog *d) {
            auto *form = static_cast<TFormGetPay *>(d);
            QCOMPARE(form->Request.EntryMode, QStringLiteral("修改"));
            QCOMPARE(form->Request.EntryKind, QStringLiteral("财务收入"));
            QCOMPARE(form->Request.EntryIndex, tags["d"]);
            child<QLineEdit>(d, QStringLiteral("Edit2"))->setText(QStringLiteral("35"));
            child<QAbstractButton>(d, QStringLiteral("BitBtn1"))->click();
        });
        emit grid->gridDoubleClicked(2, 4);
        QCOMPARE(grid->value(QStringLiteral("MoneyIndex")).toLongLong(), tags["d"]);
        QCOMPARE(grid->value(QStringLiteral("MoneySum")).toDouble(), 35.0);

        // A new day outside the time range: the refreshed list no longer shows it.
        grid->setCurrentRow(0); // b
        run.seams.onDialog(QStringLiteral("TFormGetPay"), [](QDialog *d) {
            child<QDateEdit>(d, QStringLiteral("DateTimePicker1"))->setDate(QDate(2026, 7, 2));
            child<QAbstractButton>(d, QStringLiteral("BitBtn1"))->click();
        });
        emit grid->gridDoubleClicked(0, 0);
        QCOMPARE(reportRows(run), indexesOf(tags, {"c", "d", "a"}));
        QCOMPARE(run.seams.shownDialogs.count(QStringLiteral("TFormGetPay")), 2);
    }

    // With no report made, or an empty list, a double click asks for a row first.
    void editWithoutARow()
    {
        Run run;
        startOn(run, SortEntries);
        run.seams.clearMessages();
        emit reportGrid(run)->gridDoubleClicked(-1, -1);
        makeReport(run, QDate(2020, 1, 1), QDate(2020, 1, 31));
        QCOMPARE(reportGrid(run)->rowCount(), 0);
        emit reportGrid(run)->gridDoubleClicked(-1, -1);
        QCOMPARE(run.seams.messageTexts(),
            (QStringList {
                QStringLiteral("请先选中需要修改的记录"), QStringLiteral("请先选中需要修改的记录")}));
        QVERIFY(!run.seams.shownDialogs.contains(QStringLiteral("TFormGetPay")));
    }

    // Widths read from section 报表中心: dragged ones last until the next refresh, saved ones
    // stay, and restoring the defaults shows them at once on an open report.
    void columnWidths()
    {
        Run run;
        startOn(run, SortEntries);
        makeReport(run);
        DataGrid *grid = reportGrid(run);
        QHeaderView *titles = grid->horizontalHeader();
        QCOMPARE(titles->sectionSize(12), 128);
        titles->resizeSection(12, 200);
        run.window()->RefreshAll();
        QCOMPARE(titles->sectionSize(12), 128);

        titles->resizeSection(12, 200);
        run.seams.answerQuestions({false});
        child<QAbstractButton>(reportsTab(run), QStringLiteral("Button24"))->click();
        QCOMPARE(readWidth(run, QStringLiteral("MoneyRemark")), QStringLiteral("<none>"));
        run.seams.clearMessages();
        run.seams.answerQuestions({true});
        child<QAbstractButton>(reportsTab(run), QStringLiteral("Button24"))->click();
        QCOMPARE(run.seams.messageTexts(),
            (QStringList {QStringLiteral("您确定把当前格式保存为常用格式吗？"),
                QStringLiteral("列表格式保存成功，报表中心数据列宽将按当前长度显示")}));
        QCOMPARE(run.seams.messages[0].caption, QStringLiteral("保存确认"));
        QCOMPARE(readWidth(run, QStringLiteral("MoneyRemark")), QStringLiteral("200"));
        QCOMPARE(readWidth(run, QStringLiteral("MoneyIndex")), QStringLiteral("50"));
        // The journal's widths are its own.
        QCOMPARE(ReadSetting(QStringLiteral("日记帐簿"), QStringLiteral("MoneyRemark"),
                     QStringLiteral("<none>"), run.settings()),
            QStringLiteral("<none>"));
        run.window()->RefreshAll();
        QCOMPARE(titles->sectionSize(12), 200);

        run.seams.clearMessages();
        child<QAbstractButton>(reportsTab(run), QStringLiteral("Button25"))->click();
        QCOMPARE(run.seams.messageTexts(),
            QStringList {QStringLiteral("列表格式恢复成功，报表中心数据列宽恢复为软件默认格式")});
        QCOMPARE(titles->sectionSize(12), 128);
        QCOMPARE(readWidth(run, QStringLiteral("MoneyRemark")), QStringLiteral("128"));
    }

    // Before any report the grid has no columns to measure: saving keeps the stored widths, and
    // restoring writes the defaults without opening the report.
    void widthsBeforeAnyReport()
    {
        Run run;
        run.writeSetting(QStringLiteral("AccountType"), QStringLiteral("5"));
        WriteSetting(
            QStringLiteral("报表中心"), QStringLiteral("MoneyUser"), QStringLiteral("150"), run.settings());
        QVERIFY(run.startAs(Cashier));
        run.seams.answerQuestions({true});
        child<QAbstractButton>(reportsTab(run), QStringLiteral("Button24"))->click();
        QStringList widths;
        for (const MoneyGrid::ColumnSpec &column : MoneyGrid::Columns())
            widths << readWidth(run, column.field);
        QCOMPARE(widths,
            (QStringList {"50", "68", "70", "85", "150", "60", "60", "65", "50", "60", "40", "40", "128"}));
        child<QAbstractButton>(reportsTab(run), QStringLiteral("Button25"))->click();
        QCOMPARE(readWidth(run, QStringLiteral("MoneyUser")), QStringLiteral("112"));
        QVERIFY(!reportGrid(run)->isOpen());
    }
};

QUILL_TEST_MAIN(TestReportCentre)
#include "tst_reportcentre.moc"
