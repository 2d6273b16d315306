// The spreadsheet export of the report grid and the receivables grids, read back cell by cell
// from the workbook the desktop was asked to open.

#include "ReportsFixture.h"
#include "reports/GridExport.h"
#include "support/SheetCells.h"
#include "support/TestMain.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDateEdit>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

using namespace ReportsTest;

namespace {

using Cells = QHash<QString, QPair<QString, QString>>;

QPair<QString, QString> textCell(const QString &text)
{
    return {QStringLiteral("s"), text};
}
QPair<QString, QString> numberCell(const QString &number)
{
    return {QStringLiteral("n"), number};
}

// A date with a time of day, a serial of digits with leading zeros, an entry without customer.
const QList<Entry> Entries = {
    {"a", QDate(2026, 6, 3), "银行", 12.5, "销售", "甲", nullptr, nullptr, nullptr, nullptr, "000123"},
    {"b", QDate(2026, 6, 1), "现金", -30.25, "采购", nullptr, nullptr, nullptr, nullptr, nullptr, "B2"},
};

} // namespace

class TestGridExport : public QObject
{
    Q_OBJECT

    // The user's temporary folder for each test: the workbooks land here.
    std::unique_ptr<QTemporaryDir> temp;
    QByteArray savedTemp;

    QStringList workbooks() const
    {
        return QDir(temp->path()).entryList({QStringLiteral("*.xlsx")}, QDir::Files);
    }

    void startOn(Run &run)
    {
        {
            auto ledger = run.ledger();
            const auto tags = addEntries(*ledger, Entries);
            ledger->exec(QStringLiteral("Update MoneyTable Set MoneyCreateTime = '2026-06-01 08:30:05' "
                                        "Where MoneyIndex = ?"),
                {tags.value(QStringLiteral("b"))});
        }
        run.writeSetting(QStringLiteral("AccountType"), QStringLiteral("5"));
        run.seams.today = QDate(2006, 6, 15);
        QVERIFY(run.startAs(Cashier));
    }

    void exportReport(Run &run) { trigger(reportsTab(run), QStringLiteral("ActionToExcel")); }

    Cells exportedCells(const Run &run)
    {
        if (run.seams.openedWithDesktop.size() != 1)
            return {};
        const QString path = run.seams.openedWithDesktop.first();
        if (QFileInfo(path).absolutePath() != QDir(temp->path()).absolutePath())
            return {};
        return readSheet(path);
    }

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void init()
    {
        savedTemp = qgetenv("TMPDIR");
        temp = std::make_unique<QTemporaryDir>();
        qputenv("TMPDIR", temp->path().toLocal8Bit());
    }
    void cleanup()
    {
        qputenv("TMPDIR", savedTemp);
        temp.reset();
    }

    // The text a date field's cell gets, whatever the stored value looks like.
    void dateCellText_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QString>("cell");
        QTest::newRow("day") << QVariant(QStringLiteral("2026-06-03")) << "2026.06.03";
        QTest::newRow("day and time")
            << QVariant(QStringLiteral("2026-06-01 08:30:05")) << "2026.06.01 08.30.05";
        QTest::newRow("day as a date") << QVariant(QDate(2026, 6, 3)) << "2026.06.03";
        QTest::newRow("no such day") << QVariant(QStringLiteral("2026-02-30")) << "2026-02-30";
        QTest::newRow("not a date") << QVariant(QStringLiteral("abcd-06-15")) << "abcd-06-15";
        QTest::newRow("empty") << QVariant(QString()) << "";
        // Short text padded to a day's length: kept as it stands.
        QTest::newRow("padded short text") << QVariant(QStringLiteral("         x")) << "x";
    }
    void dateCellText()
    {
        QFETCH(QVariant, stored);
        QFETCH(QString, cell);
        QCOMPARE(ExportDateText(stored), cell);
    }

    void reportGridCells()
    {
        Run run;
        startOn(run);
        makeReport(run);
        DataGrid *grid = reportGrid(run);
        grid->setColumnVisible(0, false); // 记录号
        exportReport(run);
        QVERIFY(run.seams.messages.isEmpty());
        const Cells cells = exportedCells(run);
        QCOMPARE(cells.value(QStringLiteral("A1")), textCell(QStringLiteral("日期:2006年06月15日")));
        QVERIFY(!cells.contains(QStringLiteral("A2")));
        QStringList titles;
        for (int c = 1; cells.contains(cellName(3, c)); ++c)
            titles << cells.value(cellName(3, c)).second;
        QCOMPARE(titles,
            (QStringList {"单据编号", "录入时间", "帐户名称", "客户名称", "收入", "支出", "合计", "业务员",
                "收支种类", "类别", "凭证", "备注"}));
        // In the grid's order: b (1 June) first.
        QCOMPARE(cells.value(QStringLiteral("A4")), textCell(QStringLiteral("B2")));
        QCOMPARE(cells.value(QStringLiteral("B4")), textCell(QStringLiteral("2026.06.01 08.30.05")));
        QCOMPARE(cells.value(QStringLiteral("C4")), textCell(QStringLiteral("现金")));
        QVERIFY(!cells.contains(QStringLiteral("D4"))); // no customer
        QCOMPARE(cells.value(QStringLiteral("E4")), numberCell(QStringLiteral("0")));
        QCOMPARE(cells.value(QStringLiteral("F4")), numberCell(QStringLiteral("30.25")));
        QCOMPARE(cells.value(QStringLiteral("G4")), numberCell(QStringLiteral("-30.25")));
        QCOMPARE(cells.value(QStringLiteral("I4")), textCell(QStringLiteral("采购")));
        QCOMPARE(cells.value(QStringLiteral("A5")), textCell(QStringLiteral("000123")));
        QCOMPARE(cells.value(QStringLiteral("B5")), textCell(QStringLiteral("2026.06.03")));
        QCOMPARE(cells.value(QStringLiteral("D5")), textCell(QStringLiteral("甲")));
        QCOMPARE(cells.value(QStringLiteral("E5")), numberCell(QStringLiteral("12.5")));
        QVERIFY(!cells.contains(QStringLiteral("A6")));
        QCOMPARE(grid->currentRow(), 1);
        QCOMPARE(workbooks().size(), 1);
    }

    void emptyReportGivesTheTwoHeaderRows()
    {
        Run run;
        startOn(run);
        makeReport(run, QDate(2020, 1, 1), QDate(2020, 1, 31));
        QCOMPARE(reportGrid(run)->rowCount(), 0);
        exportReport(run);
        const Cells cells = exportedCells(run);
        QCOMPARE(cells.value(QStringLiteral("A1")), textCell(QStringLiteral("日期:2006年06月15日")));
        QCOMPARE(cells.value(QStringLiteral("A3")), textCell(QStringLiteral("记录号")));
        QCOMPARE(cells.size(), 1 + reportGrid(run)->columnCount());
    }

    void reportNotMadeGivesNothing()
    {
        Run run;
        startOn(run);
        QVERIFY(!reportGrid(run)->isOpen());
        exportReport(run);
        QVERIFY(run.seams.openedWithDesktop.isEmpty());
        QVERIFY(run.seams.messages.isEmpty());
        QVERIFY(workbooks().isEmpty());
    }

    void receivablesGrid()
    {
        Run run;
        {
            auto ledger = run.ledger();
            ledger->exec(
                QStringLiteral("Insert Into GetPay (GetPayTime, GetPayUser, GetPayKind, GetPaySum, "
                               "GetPaySum2, GetPaySum3, GetPayRemark, GetPayPower) "
                               "Values ('2026-06-01', '007商行', '应收', 5000, 2000, 3000, '首批', ?)"),
                {Cashier});
        }
        run.seams.today = QDate(2006, 6, 15);
        QVERIFY(run.startAs(Cashier));
        trigger(run.window()->tabPage(MainTab::GetPay), QStringLiteral("ActionGetToExcel"));
        const Cells cells = exportedCells(run);
        QCOMPARE(cells.value(QStringLiteral("A3")), textCell(QStringLiteral("应收日期")));
        QCOMPARE(cells.value(QStringLiteral("A4")), textCell(QStringLiteral("2026.06.01")));
        QCOMPARE(cells.value(QStringLiteral("B4")), textCell(QStringLiteral("007商行")));
        QCOMPARE(cells.value(QStringLiteral("C4")), numberCell(QStringLiteral("5000")));
        QCOMPARE(cells.value(QStringLiteral("E4")), numberCell(QStringLiteral("3000")));
        QCOMPARE(cells.value(QStringLiteral("F4")), textCell(QStringLiteral("首批")));
    }

    void failures_data()
    {
        QTest::addColumn<bool>("folderMissing");
        QTest::addColumn<bool>("opens");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("opened");
        QTest::newRow("cannot be written") << true << true << GridExportTexts::WorkbookNotMade << 0;
        QTest::newRow("cannot be opened") << false << false << GridExportTexts::NoSpreadsheetProgram << 1;
    }
    void failures()
    {
        QFETCH(bool, folderMissing);
        QFETCH(bool, opens);
        QFETCH(QString, message);
        QFETCH(int, opened);
        Run run;
        startOn(run);
        makeReport(run);
        if (folderMissing)
            qputenv("TMPDIR", temp->filePath(QStringLiteral("gone")).toLocal8Bit());
        run.seams.desktopOpenSucceeds = opens;
        exportReport(run);
        QCOMPARE(run.seams.messageTexts(), QStringList {message});
        QCOMPARE(run.seams.openedWithDesktop.size(), opened);
        if (folderMissing) {
            QVERIFY(workbooks().isEmpty());
            QVERIFY(QDir::current().entryList({QStringLiteral("Quillbrook-*.xlsx")}).isEmpty());
        }
    }
};

QUILL_TEST_MAIN(TestGridExport)
#include "tst_gridexport.moc"
