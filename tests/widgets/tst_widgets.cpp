#include "storage/PublicFunction.h"
#include "storage/ShareDM.h"
#include "support/TestMain.h"
#include "support/TestSupport.h"
#include "widgets/ChartView.h"
#include "widgets/DataGrid.h"

#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QDir>
#include <QFile>
#include <QGraphicsSimpleTextItem>
#include <QHeaderView>
#include <QImageReader>
#include <QLegend>
#include <QLegendMarker>
#include <QLineEdit>
#include <QPieSeries>
#include <QPieSlice>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

const Sql JournalStatement(
    "Select * From Account,MoneyTable Where (AccountIndex = MoneyAccount) Order By MoneyIndex");

GridColumn column(const char *field, const char *caption, int width, GridFooter footer = {})
{
    return GridColumn::make(
        QString::fromUtf8(field), QString::fromUtf8(caption), width, footer, Qt::AlignCenter);
}

QList<GridColumn> journalColumns()
{
    return {column("MoneyIndex", "记录号", 60, GridFooter::rowCount(QStringLiteral("条"))),
        column("MoneyUser", "客户名称", 90, GridFooter::staticText(QStringLiteral("合计"))),
        column("MoneyIn", "收入", 70, GridFooter::sum()),
        column("MoneyOut", "支出", 70, GridFooter::sum(Qt::red)),
        column("MoneySum", "合计", 70, GridFooter::sum(Qt::blue)), column("MoneyRemark", "备注", 120)};
}

// Whether any pixel of the area is close to the colour (glyph cores of text drawn in it).
bool hasInk(const QImage &image, const QRect &area, const QColor &color)
{
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            const QColor p = image.pixelColor(x, y);
            if (qAbs(p.red() - color.red()) + qAbs(p.green() - color.green()) + qAbs(p.blue() - color.blue())
                < 90)
                return true;
        }
    }
    return false;
}

// The horizontal span of the red pixels in the area, or an empty pair.
QPair<int, int> redSpan(const QImage &image, const QRect &area)
{
    int left = -1, right = -1;
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            const QColor p = image.pixelColor(x, y);
            if (p.red() > 150 && p.green() < 90 && p.blue() < 90) {
                left = left < 0 ? x : qMin(left, x);
                right = qMax(right, x);
            }
        }
    }
    return {left, right};
}

} // namespace

class TestWidgets : public TestSupport::FixtureTest
{
    Q_OBJECT

private:
    qint64 account = -1;

    // One entry per amount: income for a positive amount, expense for a negative one.
    void addEntries(const QList<double> &amounts)
    {
        Transaction t;
        for (double a : amounts) {
            const qint64 key = InsertRow(QStringLiteral("MoneyTable"),
                {{"MoneyKind", a >= 0 ? QStringLiteral("财务收入") : QStringLiteral("财务支出")},
                    {"MoneyAccount", account}, {"MoneyUser", QStringLiteral("客户")},
                    {"MoneyCreateTime", QDate(2026, 6, 15)}, {"MoneyRecordTime", QDate(2026, 6, 15)},
                    {"MoneyIn", a >= 0 ? a : 0.0}, {"MoneyOut", a < 0 ? -a : 0.0}, {"MoneySum", a},
                    {"MoneyRemark", QStringLiteral("备注")}});
            QVERIFY(key > 0);
        }
        QVERIFY(t.commit());
    }
    void addEntries(int count)
    {
        QList<double> amounts;
        for (int i = 0; i < count; ++i)
            amounts.append(i % 3 == 0 ? -(i + 1) : i + 1);
        addEntries(amounts);
    }
    QVariant firstKey()
    {
        Query q;
        [&] {
            QVERIFY(
                RunQuery(q, Sql("Select Min(MoneyIndex) As K From MoneyTable Where MoneyIndex > 1"), "x"));
        }();
        return q.value("K");
    }
    std::unique_ptr<DataGrid> shownGrid(const QList<GridColumn> &columns, int blockSize = 200)
    {
        auto grid = std::make_unique<DataGrid>();
        grid->gridModel()->setBlockSize(blockSize);
        grid->setColumns(columns);
        grid->resize(560, 300);
        [&] { QVERIFY(grid->open(JournalStatement)); }();
        grid->show();
        [&] { QVERIFY(QTest::qWaitForWindowExposed(grid.get())); }();
        return grid;
    }
    // Entries that tie and differ in every sort column: several days, customers (Chinese,
    // Latin, none), amounts of both signs with repeats.
    void addVariedEntries(int count)
    {
        static const QList<QVariant> users = {QStringLiteral("华东商贸"), QStringLiteral("Alpha"), QVariant(),
            QStringLiteral("个人"), QStringLiteral("alpha")};
        const qint64 second = InsertRow(QStringLiteral("Account"),
            {{"AccountName", QStringLiteral("银行")}, {"AccountBase", 0}, {"AccountType", 1}});
        QVERIFY(second > 0);
        Transaction t;
        for (int i = 0; i < count; ++i) {
            const double a = (i % 7 - 3) * 12.5;
            const QDate day = QDate(2026, 5, 28).addDays((i * 5) % 9);
            const qint64 key = InsertRow(QStringLiteral("MoneyTable"),
                {{"MoneyKind", a >= 0 ? QStringLiteral("财务收入") : QStringLiteral("财务支出")},
                    {"MoneyAccount", i % 3 == 0 ? second : account}, {"MoneyUser", users[i % users.size()]},
                    {"MoneyMan", i % 4 == 0 ? QStringLiteral("张三") : QStringLiteral("李四")},
                    {"MoneyCreateTime", day}, {"MoneyRecordTime", day}, {"MoneyIn", a >= 0 ? a : 0.0},
                    {"MoneyOut", a < 0 ? -a : 0.0}, {"MoneySum", a}});
            QVERIFY(key > 0);
        }
        QVERIFY(t.commit());
    }
    // Whether a consistent copy of the open ledger can be made: no statement is left open.
    bool copyWorks()
    {
        const QString copy = folder->filePath(QStringLiteral("copy.ddb"));
        QFile::remove(copy);
        bool ok = false;
        ExecSql(Sql("VACUUM INTO ") + Sql::value(copy), &ok);
        return ok && QFile::exists(copy);
    }
    // The footer cell of a column in grid coordinates.
    QRect footerCell(DataGrid *grid, int column)
    {
        const QRect bar = grid->footerBar()->geometry();
        const QHeaderView *h = grid->horizontalHeader();
        return QRect(
            bar.left() + h->sectionViewportPosition(column), bar.top(), h->sectionSize(column), bar.height());
    }

private slots:
    void init()
    {
        QVERIFY(makeFixture());
        QVERIFY(data->openLedger(QStringLiteral("DataBase/Default.ddb")));
        account = InsertRow(QStringLiteral("Account"),
            {{"AccountName", QStringLiteral("现金")}, {"AccountBase", 0}, {"AccountType", 2}});
        QVERIFY(account > 0);
    }
    void cleanup() { dropFixture(); }

    void footersShowTheirFiguresAndFollowRefresh_data()
    {
        QTest::addColumn<GridFooter>("footer");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        // Entries 100, -30.5, 20 first; then 7.25 and -0.25 are added.
        QTest::newRow("static text") << GridFooter::staticText(QStringLiteral("合计")) << "MoneyUser"
                                     << "合计"
                                     << "合计";
        QTest::newRow("count with suffix") << GridFooter::rowCount(QStringLiteral("条")) << "MoneyIndex"
                                           << "3条"
                                           << "5条";
        QTest::newRow("count in a sentence")
            << GridFooter::rowCount(QStringLiteral("共 %1 条记录"), Qt::blue) << "MoneyUser"
            << "共 3 条记录"
            << "共 5 条记录";
        QTest::newRow("sum, black") << GridFooter::sum() << "MoneyIn"
                                    << "120"
                                    << "127.25";
        QTest::newRow("sum, red") << GridFooter::sum(Qt::red) << "MoneyOut"
                                  << "30.5"
                                  << "30.75";
        QTest::newRow("sum, blue") << GridFooter::sum(Qt::blue) << "MoneySum"
                                   << "89.5"
                                   << "96.5";
    }
    void footersShowTheirFiguresAndFollowRefresh()
    {
        QFETCH(GridFooter, footer);
        QFETCH(QString, field);
        QFETCH(QString, before);
        QFETCH(QString, after);
        addEntries({100, -30.5, 20});
        GridColumn c = column("MoneyIndex", "记录号", 60);
        c.field = field;
        c.footer = footer;
        auto grid = shownGrid({column("MoneyCreateTime", "录入时间", 80), c});
        QCOMPARE(grid->footerText(1), before);
        QCOMPARE(grid->footerColor(1), footer.color);
        QVERIFY(hasInk(grid->grab().toImage(), footerCell(grid.get(), 1), footer.color));

        addEntries({7.25, -0.25});
        QCOMPARE(grid->footerText(1), before); // rows are read again only on refresh
        QVERIFY(grid->refresh());
        QCOMPARE(grid->rowCount(), 5);
        QCOMPARE(grid->footerText(1), after);
        QCOMPARE(grid->column(1).field, field); // the columns stay
        QVERIFY(hasInk(grid->grab().toImage(), footerCell(grid.get(), 1), footer.color));
    }

    void footersOfAnEmptyResult()
    {
        auto grid = shownGrid(journalColumns());
        QVERIFY(grid->isOpen());
        QCOMPARE(grid->rowCount(), 0);
        QCOMPARE(grid->footerText(0), QStringLiteral("0条"));
        QCOMPARE(grid->footerText(2), QStringLiteral("0"));
        QCOMPARE(grid->currentRow(), -1);
        QVERIFY(grid->value(QStringLiteral("MoneyIndex")).isNull());
    }

    // Counts and sums come from SQL over the statement, whatever its Order By, Limit, quoted
    // text or bound values.
    void aggregatesRespectTheStatement_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QVariantList>("values");
        QTest::addColumn<QString>("count");
        QTest::addColumn<QString>("sum");
        const QString base
            = QStringLiteral("Select * From Account,MoneyTable Where (AccountIndex = MoneyAccount)");
        QTest::newRow("order by") << base + " Order By MoneyIndex" << QVariantList() << "5条"
                                  << "150";
        QTest::newRow("order by with limit")
            << base + " Order By MoneyIn Desc Limit 2" << QVariantList() << "2条"
            << "90";
        QTest::newRow("order by in quoted text")
            << base + " And (MoneyRemark <> 'a) Order By (x') Order By MoneyIndex;" << QVariantList() << "5条"
            << "150";
        QTest::newRow("value before order by")
            << base + " And (MoneyIn >= ?) Order By MoneyIndex" << QVariantList {30} << "3条"
            << "120";
        QTest::newRow("value inside order by")
            << base + " And (MoneyIn >= ?) Order By iif(MoneyIn > ?, 0, 1), MoneyIndex"
            << QVariantList {20, 25} << "4条"
            << "140";
        QTest::newRow("limited subquery")
            << "Select * From (" + base + " Order By MoneyIn Limit 3) Order By MoneyIndex" << QVariantList()
            << "3条"
            << "60";
    }
    void aggregatesRespectTheStatement()
    {
        QFETCH(QString, text);
        QFETCH(QVariantList, values);
        QFETCH(QString, count);
        QFETCH(QString, sum);
        addEntries({10, 20, 30, 40, 50});
        Sql statement(text.section(QLatin1Char('?'), 0, 0));
        for (int i = 0; i < values.size(); ++i)
            statement += Sql::value(values[i]) + Sql(text.section(QLatin1Char('?'), i + 1, i + 1));
        DataGrid grid;
        grid.gridModel()->setBlockSize(2); // so the count cannot come from the first block
        grid.setColumns(journalColumns());
        QString error;
        QVERIFY2(grid.open(statement, &error), qPrintable(error));
        QCOMPARE(grid.footerText(0), count);
        QCOMPARE(grid.footerText(2), sum);
    }

    // A grouped result has no row key: it is read by position, whole when it fits in the blocks
    // kept, block by block when it does not; either way every row, the count and the sums are
    // the statement's.
    void groupedResultReadByPosition_data()
    {
        QTest::addColumn<int>("blocksKept");
        QTest::newRow("fits in the blocks kept") << 16;
        QTest::newRow("larger than the blocks kept") << 1;
    }
    void groupedResultReadByPosition()
    {
        QFETCH(int, blocksKept);
        addEntries({10, 20, 30, 40, 50, 30});
        DataGrid grid;
        grid.gridModel()->setBlockSize(2);
        grid.gridModel()->setCachedBlockLimit(blocksKept);
        grid.setColumns({GridColumn::make(QStringLiteral("Amount"), QStringLiteral("金额"), 60,
                             GridFooter::rowCount(QStringLiteral("条"))),
            GridColumn::make(QStringLiteral("Total"), QStringLiteral("合计"), 60, GridFooter::sum())});
        QString error;
        QVERIFY2(
            grid.open(Sql("Select MoneyIn As Amount, Sum(MoneySum) As Total From Account,MoneyTable "
                          "Where (AccountIndex = MoneyAccount) Group By MoneyIn Order By Sum(MoneySum) Desc"),
                &error),
            qPrintable(error));
        QCOMPARE(grid.footerText(0), QStringLiteral("5条"));
        QCOMPARE(grid.footerText(1), QStringLiteral("180"));
        const QStringList shown = {"30", "50", "40", "20", "10"};
        QCOMPARE(grid.rowCount(), shown.size());
        for (int row = 0; row < grid.rowCount(); ++row)
            QCOMPARE(grid.displayText(row, 0), shown[row]);
    }

    void beforeDrawCallbackColoursCells_data()
    {
        QTest::addColumn<double>("amount");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QColor>("color");
        QTest::newRow("income") << 12.5 << "12.5" << QColor(Qt::black);
        QTest::newRow("expense") << -0.6 << "-0.6" << QColor(Qt::red);
        QTest::newRow("zero") << 0.0 << "0" << QColor(Qt::black);
    }
    void beforeDrawCallbackColoursCells()
    {
        QFETCH(double, amount);
        QFETCH(QString, shown);
        QFETCH(QColor, color);
        addEntries({1, amount, 2});
        auto grid = shownGrid(journalColumns());
        QList<CellInfo> seen;
        grid->setBeforeDrawCell([&seen](const CellInfo &cell, QColor &fontColor) {
            seen.append(cell);
            if (cell.field == QLatin1String("MoneySum") && cell.displayText.startsWith(QLatin1Char('-')))
                fontColor = Qt::red;
        });
        grid->setCurrentRow(2); // row 1 is drawn unselected
        const QImage image = grid->grab().toImage();
        const QModelIndex cell = grid->model()->index(1, 4);
        QCOMPARE(grid->model()->data(cell).toString(), shown);
        QCOMPARE(grid->model()->data(cell, Qt::ForegroundRole).value<QColor>(), color);
        // The callback ran while the cell was drawn and learnt what it shows.
        const auto it = std::find_if(
            seen.cbegin(), seen.cend(), [](const CellInfo &c) { return c.row == 1 && c.column == 4; });
        QVERIFY(it != seen.cend());
        QCOMPARE(it->field, QStringLiteral("MoneySum"));
        QCOMPARE(it->displayText, shown);
        QCOMPARE(it->value.toDouble(), amount);
        const QRect drawn = grid->visualRect(cell).translated(grid->viewport()->pos());
        QVERIFY(hasInk(image, drawn, color));
        QCOMPARE(hasInk(image, drawn, Qt::red), color == QColor(Qt::red));
    }

    void selectRowWithKey_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("asText");
        const QString journal = JournalStatement.text();
        const QString listed
            = QStringLiteral("Select Account.*, MoneyTable.* From Account,MoneyTable "
                             "Where (AccountIndex = MoneyAccount) Order By MoneySum Desc, MoneyIndex");
        // Many rows tie in this order, which SQLite may break differently for other columns.
        const QString ties
            = QStringLiteral("Select * From Account,MoneyTable Where (AccountIndex = MoneyAccount) "
                             "Order By MoneyKind");
        QTest::newRow("in the first block") << journal << 3 << false;
        QTest::newRow("beyond the first block") << journal << 30 << false;
        QTest::newRow("last row") << journal << 39 << false;
        QTest::newRow("key given as text") << journal << 25 << true;
        QTest::newRow("no such key") << journal << -1 << false;
        QTest::newRow("select list, beyond the first block") << listed << 33 << false;
        QTest::newRow("ties in the order") << ties << 37 << false;
    }
    void selectRowWithKey()
    {
        QFETCH(QString, statement);
        QFETCH(int, row);
        QFETCH(bool, asText);
        addEntries(40);
        // The key of the row as another grid over the same statement shows it.
        QVariant key = firstKey().toLongLong() + 1000;
        if (row >= 0) {
            DataGrid other;
            QVERIFY(other.open(Sql(statement)));
            key = other.value(row, QStringLiteral("MoneyIndex"));
        }
        DataGrid grid;
        grid.gridModel()->setBlockSize(8);
        grid.setColumns(journalColumns());
        QVERIFY(grid.open(Sql(statement)));
        QCOMPARE(grid.rowCount(), 40);
        QCOMPARE(grid.gridModel()->cachedBlockCount(), 1); // only the first block was read
        QCOMPARE(grid.currentRow(), 0);
        const QVariant first = grid.value(QStringLiteral("MoneyIndex"));
        const QVariant wanted = asText ? QVariant(key.toString()) : key;
        QCOMPARE(grid.selectRowWithKey(QStringLiteral("MoneyIndex"), wanted), row >= 0);
        QCOMPARE(grid.currentRow(), row < 0 ? 0 : row);
        QCOMPARE(grid.value(QStringLiteral("MoneyIndex")), row < 0 ? first : key);
        QVERIFY(grid.selectionModel()->isRowSelected(grid.currentRow(), QModelIndex()));
    }

    // After an edit the grid is refreshed and the edited row selected again by its key.
    void reselectAfterRefresh_data()
    {
        QTest::addColumn<int>("removedBefore"); // rows removed ahead of it before the refresh
        QTest::addColumn<int>("expected");
        QTest::newRow("same place") << 0 << 30;
        QTest::newRow("one row up") << 1 << 29;
        QTest::newRow("into the block before") << 7 << 23;
    }
    void reselectAfterRefresh()
    {
        QFETCH(int, removedBefore);
        QFETCH(int, expected);
        addEntries(40);
        const qint64 first = firstKey().toLongLong();
        DataGrid grid;
        grid.gridModel()->setBlockSize(8);
        QVERIFY(grid.open(JournalStatement));
        QVERIFY(grid.selectRowWithKey(QStringLiteral("MoneyIndex"), first + 30));
        for (int i = 0; i < removedBefore; ++i)
            ExecSql(Sql("Delete From MoneyTable Where MoneyIndex = ") + Sql::value(first + 2 + i));
        QVERIFY(grid.refresh());
        QCOMPARE(grid.currentRow(), 0);
        QVERIFY(grid.selectRowWithKey(QStringLiteral("MoneyIndex"), first + 30));
        QCOMPARE(grid.currentRow(), expected);
        QCOMPARE(grid.value(QStringLiteral("MoneyIndex")).toLongLong(), first + 30);
    }

    // The current row shows as selected, every cell of it, from the first screen on: also while
    // another control has the focus, before any click into the grid.
    void currentRowSelectedWithoutAClick()
    {
        addEntries(5);
        auto grid = shownGrid(journalColumns());
        QLineEdit elsewhere;
        elsewhere.show();
        elsewhere.activateWindow();
        elsewhere.setFocus();
        QCOMPARE(grid->currentRow(), 0);
        QVERIFY(grid->selectionModel()->isRowSelected(0, {}));
        QCOMPARE(grid->selectionModel()->selectedIndexes().size(), grid->columnCount());
        const QPalette colours = grid->palette();
        QCOMPARE(colours.color(QPalette::Inactive, QPalette::Highlight),
            colours.color(QPalette::Active, QPalette::Highlight));
        QCOMPARE(colours.color(QPalette::Inactive, QPalette::HighlightedText),
            colours.color(QPalette::Active, QPalette::HighlightedText));
    }

    void noStatementStaysOpen()
    {
        addEntries(300);
        auto grid = shownGrid(journalColumns(), 16);
        grid->scrollTo(grid->model()->index(150, 0));
        grid->grab();
        grid->scrollToBottom();
        grid->grab();
        QVERIFY(grid->gridModel()->cachedBlockCount() > 1);
        QVERIFY(grid->selectRowWithKey(QStringLiteral("MoneyIndex"), firstKey().toLongLong() + 40));
        QCOMPARE(grid->rows().value(250, QStringLiteral("moneyremark")).toString(), QStringLiteral("备注"));
        const QString copy = folder->filePath(QStringLiteral("copy.ddb"));
        bool ok = false;
        ExecSql(Sql("VACUUM INTO ") + Sql::value(copy), &ok);
        QVERIFY2(ok, qPrintable(seams->lastMessage()));
        QVERIFY(QFile::exists(copy));
    }

    // Whatever the order, the grid shows the statement's rows in the statement's order, at the
    // end as at the start, and leaves no statement open after any step.
    void rowsInTheStatementsOrder_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QString>("keyField");
        const QString report
            = QStringLiteral("Select * From Account,MoneyTable Where (AccountIndex = MoneyAccount)");
        QTest::newRow("by time") << report + " Order By MoneyCreateTime,MoneyIndex"
                                 << "MoneyIndex";
        QTest::newRow("by account") << report + " Order By AccountName,MoneyCreateTime,MoneyIndex"
                                    << "MoneyIndex";
        QTest::newRow("by amount") << report + " Order By MoneySum Desc,MoneyCreateTime,MoneyIndex"
                                   << "MoneyIndex";
        QTest::newRow("by number") << report + " Order By MoneyIndex"
                                   << "MoneyIndex";
        QTest::newRow("by customer") << report + " Order By MoneyUser,MoneyCreateTime,MoneyIndex"
                                     << "MoneyIndex";
        QTest::newRow("by salesman") << report + " Order By MoneyMan,MoneyCreateTime,MoneyIndex"
                                     << "MoneyIndex";
        QTest::newRow("no order") << report << "MoneyIndex";
        QTest::newRow("condition and order on values")
            << report + " And (MoneySum <> ?) Order By iif(MoneySum < ?, 0, 1), MoneyIndex Desc"
            << "MoneyIndex";
        QTest::newRow("no key field")
            << QStringLiteral("Select MoneySum, MoneyUser From MoneyTable Order By MoneySum, MoneyUser Desc")
            << "";
        QTest::newRow("key repeated by the join")
            << QStringLiteral("Select MoneyIndex, MoneySum, AccountName From Account, MoneyTable "
                              "Where MoneyIndex > 1 Order By MoneySum, AccountName, MoneyIndex")
            << "";
    }
    void rowsInTheStatementsOrder()
    {
        QFETCH(QString, statement);
        QFETCH(QString, keyField);
        addVariedEntries(45);
        Sql sql(statement.section(QLatin1Char('?'), 0, 0));
        for (int i = 1; i <= statement.count(QLatin1Char('?')); ++i)
            sql += Sql::value(0) + Sql(statement.section(QLatin1Char('?'), i, i));
        Query expected;
        QVERIFY(RunQuery(expected, sql, "x"));
        QVERIFY(expected.rowCount() > 30);
        const QString shownField = keyField.isEmpty() ? QStringLiteral("MoneySum") : keyField;
        auto column = [&](const RowSource &rows) {
            QVariantList out;
            for (int r = 0; r < rows.rowCount(); ++r)
                out.append(rows.value(r, shownField).toString()
                    + rows.value(r, QStringLiteral("MoneyUser")).toString()
                    + rows.value(r, QStringLiteral("AccountName")).toString());
            return out;
        };

        auto grid = std::make_unique<DataGrid>();
        grid->gridModel()->setBlockSize(8);
        grid->resize(560, 200);
        QVERIFY(grid->open(sql));
        grid->show();
        QVERIFY(QTest::qWaitForWindowExposed(grid.get()));
        QCOMPARE(grid->gridModel()->keyField(), keyField);
        QCOMPARE(grid->rowCount(), expected.rowCount());
        QVERIFY(copyWorks());

        grid->scrollToBottom();
        grid->grab();
        const int last = expected.rowCount() - 1;
        QCOMPARE(grid->value(last, shownField).toString(), expected.valueAt(last, shownField).toString());
        QVERIFY(copyWorks());

        // Every row through the row interface, as a print or an export reads them.
        QCOMPARE(column(grid->rows()), column(QueryRows(expected)));
        QVERIFY(copyWorks());

        if (!keyField.isEmpty()) {
            const int wanted = last - 3;
            QVERIFY(grid->refresh());
            QVERIFY(grid->selectRowWithKey(keyField, expected.valueAt(wanted, keyField)));
            QCOMPARE(grid->currentRow(), wanted);
            QVERIFY(copyWorks());
        }
    }

    // Columns set after the statement ran (as the journal and report pages do) show the
    // figures of the rows read in that run: no second aggregate with other rows in it.
    void footersOfColumnsSetAfterTheRun()
    {
        addEntries({100, -30.5, 20});
        DataGrid grid;
        QVERIFY(grid.open(JournalStatement));
        addEntries({1000, -500}); // written by someone else; the grid is not refreshed yet
        const QList<GridColumn> columns = journalColumns();
        for (int i = 0; i < columns.size(); ++i)
            grid.setColumn(i, columns[i]);
        QCOMPARE(grid.rowCount(), 3);
        QCOMPARE(grid.footerText(0), QStringLiteral("3条"));
        QCOMPARE(grid.footerText(2), QStringLiteral("120"));
        QCOMPARE(grid.footerText(3), QStringLiteral("30.5"));
        QCOMPARE(grid.footerText(4), QStringLiteral("89.5"));
        QVERIFY(grid.refresh());
        QCOMPARE(grid.footerText(0), QStringLiteral("5条"));
        QCOMPARE(grid.footerText(4), QStringLiteral("589.5"));
    }

    void footerFollowsTheColumns()
    {
        addEntries(50);
        auto grid = shownGrid(journalColumns());
        // Only the MoneyOut footer (column 3) is red; its text stays inside its column.
        auto check = [&] {
            const QImage image = grid->grab().toImage();
            const QRect cell = footerCell(grid.get(), 3);
            const QPair<int, int> span = redSpan(image, grid->footerBar()->geometry());
            QVERIFY(span.first >= 0);
            QVERIFY(span.first >= cell.left() && span.second <= cell.right());
            const QRect title(grid->horizontalHeader()->sectionViewportPosition(3) + grid->viewport()->x(), 0,
                grid->horizontalHeader()->sectionSize(3), 1);
            QCOMPARE(cell.left(), title.left());
            QCOMPARE(cell.width(), title.width());
        };
        check();
        grid->horizontalHeader()->resizeSection(1, 200);
        QCOMPARE(grid->column(1).width, 200); // a dragged width is what the column reports
        check();
        grid->horizontalScrollBar()->setValue(120);
        check();
        // The footer strip does not hide the last row when scrolled to the end.
        grid->scrollToBottom();
        const QRect last = grid->visualRect(grid->model()->index(49, 0));
        QVERIFY2(last.bottom() < grid->viewport()->height(),
            qPrintable(QStringLiteral("%1 >= %2").arg(last.bottom()).arg(grid->viewport()->height())));
        QVERIFY(grid->viewport()->geometry().bottom() < grid->footerBar()->geometry().top());
    }

    void clicksCarryTheColumn_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::newRow("first cell") << 0 << 0;
        QTest::newRow("inner cell") << 1 << 3;
        QTest::newRow("below the rows") << -1 << 2;
    }
    void clicksCarryTheColumn()
    {
        QFETCH(int, row);
        QFETCH(int, column);
        addEntries(3);
        auto grid = shownGrid(journalColumns());
        QSignalSpy titles(grid.get(), &DataGrid::titleClicked);
        QSignalSpy doubles(grid.get(), &DataGrid::gridDoubleClicked);
        QHeaderView *header = grid->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
            QPoint(header->sectionViewportPosition(column) + 10, header->height() / 2));
        QCOMPARE(titles.count(), 1);
        QCOMPARE(titles.at(0).at(0).toInt(), column);
        const QRect cellRect = grid->visualRect(grid->model()->index(row < 0 ? 2 : row, column));
        const QPoint at = row < 0 ? QPoint(cellRect.center().x(), cellRect.bottom() + 30) : cellRect.center();
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(doubles.count(), 1);
        QCOMPARE(doubles.at(0).at(0).toInt(), row);
        QCOMPARE(doubles.at(0).at(1).toInt(), column);
    }

    void columnsAndRowsForReports()
    {
        addEntries({5, -2});
        DataGrid grid;
        grid.setColumns(journalColumns());
        grid.setColumnVisible(5, false);
        QVERIFY(grid.open(JournalStatement));
        QVERIFY(grid.isColumnHidden(5));
        QCOMPARE(grid.column(0).caption, QStringLiteral("记录号"));
        const RowSource &rows = grid.rows();
        QCOMPARE(rows.rowCount(), 2);
        // Every field of the statement, not only the columns shown.
        QVERIFY(rows.columnNames().contains(QStringLiteral("AccountName")));
        QCOMPARE(rows.value(1, QStringLiteral("AccountName")).toString(), QStringLiteral("现金"));
        QCOMPARE(rows.value(1, QStringLiteral("MoneySum")).toDouble(), -2.0);
        QVERIFY(rows.value(2, QStringLiteral("MoneySum")).isNull());
        grid.close();
        QVERIFY(!grid.isOpen());
        QCOMPARE(grid.rowCount(), 0);
        QCOMPARE(grid.footerText(0), QString());
    }

    // Callers run the statement first and then set the columns one by one.
    void columnsSetAfterOpening()
    {
        addEntries({5, -2, 8});
        DataGrid grid;
        QVERIFY(grid.open(JournalStatement));
        QVERIFY(grid.columnCount() > 20); // every field until columns are set
        QCOMPARE(grid.currentRow(), 0);
        grid.selectRowWithKey(QStringLiteral("MoneyIndex"), firstKey().toLongLong() + 1);
        grid.clearColumns();
        QCOMPARE(grid.columnCount(), 0);
        const QList<GridColumn> columns = journalColumns();
        for (int i = 0; i < columns.size(); ++i)
            grid.setColumn(i, columns[i]);
        QCOMPARE(grid.columnCount(), columns.size());
        // The current row is selected whole, not only in the column it had when it was chosen.
        QCOMPARE(grid.selectionModel()->selectedIndexes().size(), columns.size());
        QCOMPARE(grid.model()->headerData(3, Qt::Horizontal).toString(), QStringLiteral("支出"));
        QCOMPARE(grid.columnWidth(4), 70);
        QCOMPARE(grid.footerText(0), QStringLiteral("3条"));
        QCOMPARE(grid.footerText(2), QStringLiteral("13"));
        QCOMPARE(grid.footerText(4), QStringLiteral("11"));
        QCOMPARE(grid.currentRow(), 1);
        // Replacing a column in place takes its new footer.
        grid.setColumn(2, column("MoneyOut", "支出", 70, GridFooter::sum(Qt::red)));
        QCOMPARE(grid.footerText(2), QStringLiteral("2"));
    }

    void failedStatementLeavesGridClosed()
    {
        addEntries(2);
        DataGrid grid;
        grid.setColumns(journalColumns());
        QVERIFY(grid.open(JournalStatement));
        QVERIFY(!RunGridQuery(&grid, Sql("Select * From NoSuchTable"), Texts::DatabaseOpenFailed));
        QCOMPARE(seams->messageTexts(), QStringList {Texts::DatabaseOpenFailed});
        QVERIFY(!grid.isOpen());
        QCOMPARE(grid.rowCount(), 0);
        QVERIFY(grid.value(QStringLiteral("MoneyIndex")).isNull());
    }

    void chartHoldsThePoints_data()
    {
        QTest::addColumn<ChartView::Kind>("kind");
        QTest::newRow("pie") << ChartView::Kind::Pie;
        QTest::newRow("bar") << ChartView::Kind::Bar;
    }
    void chartHoldsThePoints()
    {
        QFETCH(ChartView::Kind, kind);
        ChartView chart;
        chart.setTitle(QStringLiteral("图形数据分析"));
        chart.newSeries(kind);
        chart.addPoint(500, QStringLiteral("甲公司"));
        chart.addPoint(-120, QStringLiteral("乙公司"));
        chart.addPoint(380, QString());
        QCOMPARE(chart.pointCount(), 3);
        QCOMPARE(chart.pointValue(1), -120.0);
        QCOMPARE(chart.markText(0), QStringLiteral("甲公司 500"));
        QCOMPARE(chart.markText(1), QStringLiteral("乙公司 -120"));
        QCOMPARE(chart.markText(2), QStringLiteral("380"));
        const QStringList legend {
            QStringLiteral("甲公司 50%"), QStringLiteral("乙公司 12%"), QStringLiteral("38%")};
        QStringList shown;
        for (QLegendMarker *m : chart.chart()->legend()->markers())
            shown.append(m->label());
        QCOMPARE(shown, legend);
        QVERIFY(chart.pointColor(0) != chart.pointColor(1) && chart.pointColor(1) != chart.pointColor(2));
        QCOMPARE(chart.chart()->series().size(), 1);
        if (kind == ChartView::Kind::Pie) {
            auto *pie = qobject_cast<QPieSeries *>(chart.currentSeries());
            QVERIFY(pie);
            QCOMPARE(pie->slices().size(), 3);
            QCOMPARE(pie->slices()[1]->value(), 120.0); // drawn by magnitude
            QCOMPARE(pie->slices()[1]->label(), QStringLiteral("乙公司 -120"));
            QVERIFY(pie->slices()[1]->isLabelVisible());
        } else {
            auto *bars = qobject_cast<QBarSeries *>(chart.currentSeries());
            QVERIFY(bars);
            QCOMPARE(bars->count(), 3);
            QCOMPARE(bars->barSets()[1]->at(0), -120.0);
            chart.resize(640, 480);
            chart.renderImage();
            // The negative bar hangs below the zero line, inside the drawing.
            QChart *c = chart.chart();
            const qreal zero = c->mapToPosition(QPointF(0, 0), bars).y();
            const qreal end = c->mapToPosition(QPointF(0, -120), bars).y();
            QVERIFY(end > zero);
            QVERIFY(end < c->plotArea().bottom());
        }
        // A new series starts empty.
        chart.newSeries(kind == ChartView::Kind::Pie ? ChartView::Kind::Bar : ChartView::Kind::Pie);
        QCOMPARE(chart.pointCount(), 0);
        QCOMPARE(chart.chart()->series().size(), 1);
        QVERIFY(chart.chart()->legend()->markers().isEmpty());
    }

    // Marks of bars stay readable: none over another, all inside the drawing, however many bars
    // and however long their labels.
    void barMarksStayApart_data()
    {
        QTest::addColumn<int>("bars");
        QTest::addColumn<QString>("label");
        QTest::newRow("a few short") << 3 << "甲";
        QTest::newRow("twenty long") << 20 << "华东电子科技有限公司";
    }
    void barMarksStayApart()
    {
        QFETCH(int, bars);
        QFETCH(QString, label);
        ChartView chart;
        chart.setTitle(QStringLiteral("图形数据分析"));
        chart.newSeries(ChartView::Kind::Bar);
        for (int i = 0; i < bars; ++i)
            chart.addPoint(i % 4 == 3 ? -150.0 * i : 5000.0 - 200 * i, label + QString::number(i));
        chart.resize(720, 420);
        chart.renderImage();
        QList<QRectF> marks;
        for (QGraphicsItem *item : chart.scene()->items()) {
            // A mark too long for the room keeps its value, with its label cut short.
            auto *text = dynamic_cast<QGraphicsSimpleTextItem *>(item);
            if (text && text->isVisible()
                && QRegularExpression(QStringLiteral(" -?\\d+$")).match(text->text()).hasMatch())
                marks.append(text->sceneBoundingRect());
        }
        QCOMPARE(marks.size(), bars);
        const QRectF drawing = chart.chart()->geometry();
        for (int i = 0; i < marks.size(); ++i) {
            QVERIFY(drawing.contains(marks[i]));
            for (int j = i + 1; j < marks.size(); ++j)
                QVERIFY(!marks[i].intersects(marks[j]));
        }
    }

    void chartSavesABitmap_data() { chartHoldsThePoints_data(); }
    void chartSavesABitmap()
    {
        QFETCH(ChartView::Kind, kind);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Cake.bmp"));
        {
            QFile old(path); // an older picture is replaced
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("old");
        }
        ChartView chart;
        chart.setTitle(QStringLiteral("图形数据分析"));
        chart.newSeries(kind);
        chart.addPoint(300, QStringLiteral("甲"));
        chart.addPoint(-200, QStringLiteral("乙"));
        QString error;
        QVERIFY2(chart.saveBitmap(path, &error), qPrintable(error));
        QImageReader reader(path);
        QCOMPARE(reader.format(), QByteArray("bmp"));
        const QImage image = reader.read();
        QVERIFY(!image.isNull());
        QCOMPARE(image.size(), QSize(640, 480));
        QCOMPARE(image.pixelColor(2, 2), QColor(Qt::white));
        QVERIFY(hasInk(image, image.rect(), chart.pointColor(0)));
        QVERIFY(hasInk(image, image.rect(), chart.pointColor(1)));

        QVERIFY(!chart.saveBitmap(dir.filePath(QStringLiteral("no/such/folder/Cake.bmp")), &error));
        QVERIFY(!error.isEmpty());
    }
};

QUILL_TEST_MAIN(TestWidgets)
#include "tst_widgets.moc"
