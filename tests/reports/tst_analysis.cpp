// The analysis dialog as a user works with it from the report tab: the groups of the chart and
// of the grid for each analysis and restriction, the saved picture and the print.

#include "ReportsFixture.h"
#include "reports/CakeForm.h"
#include "storage/PublicFunction.h"
#include "support/ReportRecorder.h"
#include "support/TestMain.h"
#include "widgets/ChartView.h"

#include <QAbstractButton>
#include <QApplication>
#include <QBarSeries>
#include <QBarSet>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QGraphicsScene>
#include <QGraphicsSimpleTextItem>
#include <QGraphicsTextItem>
#include <QImage>
#include <QLegend>
#include <QLegendMarker>
#include <QPieSeries>
#include <QPieSlice>

using namespace ReportsTest;

namespace {

using Points = QList<QPair<QString, double>>;
// One grid row: name, income, expense, net.
using GridRow = QStringList;

void startOn(Run &run, const QList<Entry> &entries, const QString &accountType = QStringLiteral("5"))
{
    {
        auto ledger = run.ledger();
        addEntries(*ledger, entries);
    }
    run.writeSetting(QStringLiteral("AccountType"), accountType);
    QVERIFY(run.startAs(Cashier));
}

void choose(QDialog *dialog, const char *list, const QString &text)
{
    auto *combo = child<QComboBox>(dialog, QString::fromLatin1(list));
    const int index = combo->findText(text);
    QVERIFY2(index >= 0, qPrintable(text));
    combo->setCurrentIndex(index);
}

// 报表分析 on the report tab; script runs while the dialog is open.
TFormCake *openAnalysis(Run &run, Seams::DialogScript script = {})
{
    run.seams.onDialog(QStringLiteral("TFormCake"), [script](QDialog *d) {
        if (script)
            script(d);
    });
    trigger(reportsTab(run), QStringLiteral("ActionCake"));
    return run.window()->findChild<TFormCake *>(QStringLiteral("TFormCake"));
}

TFormCake *analyse(Run &run, const QString &analysis,
    const QString &restriction = QStringLiteral("综合统计收支"),
    const QString &kind = QStringLiteral("饼型图"))
{
    return openAnalysis(run, [=](QDialog *d) {
        choose(d, "ComboBox1", analysis);
        choose(d, "ComboBox3", restriction);
        choose(d, "ComboBox2", kind);
    });
}

Points chartPoints(const TFormCake *cake)
{
    Points points;
    for (int i = 0; i < cake->chart()->pointCount(); ++i)
        points.append({cake->chart()->pointLabel(i), cake->chart()->pointValue(i)});
    return points;
}

QList<GridRow> gridRows(const TFormCake *cake)
{
    QList<GridRow> rows;
    DataGrid *grid = cake->grid();
    for (int r = 0; r < grid->rowCount(); ++r) {
        GridRow row;
        for (int c = 0; c < grid->columnCount(); ++c)
            row << grid->displayText(r, c);
        rows.append(row);
    }
    return rows;
}

// Income by customer 甲, 乙 in and out again, 丙 paying out.
const QList<Entry> Customers = {
    {"a", QDate(2026, 6, 1), "现金", 500, "销售", "甲"},
    {"b", QDate(2026, 6, 2), "现金", 100, "销售", "乙"},
    {"c", QDate(2026, 6, 3), "现金", -100, "退款", "乙"},
    {"d", QDate(2026, 6, 4), "银行", -120, "采购", "丙"},
};

// A month of a small firm: a petty-cash account of 520 between two large bank accounts, and
// six small expenses paid from it.
const QList<Entry> Month = {
    {"a", QDate(2026, 6, 1), "建设银行一般户", 52000, "销售收入"},
    {"b", QDate(2026, 6, 2), "工商银行基本户", 31000, "服务收入"},
    {"c", QDate(2026, 6, 3), "现金", 12000, "其他收入"},
    {"d", QDate(2026, 6, 4), "建设银行一般户", -12880, "货款支出"},
    {"e", QDate(2026, 6, 5), "工商银行基本户", -14150, "工资支出"},
    {"f", QDate(2026, 6, 6), "备用金", 3060, "备用金拨入"},
    {"g", QDate(2026, 6, 7), "备用金", -900, "办公用品"},
    {"h", QDate(2026, 6, 8), "备用金", -650, "交通费"},
    {"i", QDate(2026, 6, 9), "备用金", -420, "通讯费"},
    {"j", QDate(2026, 6, 10), "备用金", -300, "水电费"},
    {"k", QDate(2026, 6, 11), "备用金", -180, "邮寄费"},
    {"l", QDate(2026, 6, 12), "备用金", -90, "杂项"},
};

// Twenty customers with long names, one large and the rest falling away: more marks than the
// pie has room for beside it, and a legend of twenty entries.
QList<Entry> twentyCustomers()
{
    static QList<QByteArray> names;
    if (names.isEmpty())
        for (int i = 1; i <= 20; ++i)
            names.append(QStringLiteral("华东电子科技有限公司%1").arg(i).toUtf8());
    QList<Entry> entries;
    for (int i = 0; i < 20; ++i)
        entries.append(
            {"x", QDate(2026, 6, 1), "现金", i == 0 ? 90000.0 : 4000.0 / i, "销售", names[i].constData()});
    return entries;
}

} // namespace

class TestAnalysis : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    void workedExample()
    {
        Run run;
        startOn(run, Customers);
        TFormCake *cake = analyse(run, QStringLiteral("按客户分析"));
        QVERIFY(cake);
        QCOMPARE(cake->windowTitle(), QStringLiteral("报表数据分析"));
        QCOMPARE(cake->chart()->title(), QStringLiteral("图形数据分析"));
        QCOMPARE(chartPoints(cake), (Points {{"甲", 500}, {"丙", -120}}));
        // Slices by magnitude, marks signed.
        auto *pie = qobject_cast<QPieSeries *>(cake->chart()->currentSeries());
        QVERIFY(pie);
        QCOMPARE(pie->slices().at(1)->value(), 120.0);
        QCOMPARE(cake->chart()->markText(1), QStringLiteral("丙 -120"));
        QCOMPARE(gridRows(cake),
            (QList<GridRow> {
                {"甲", "500", "0", "500"}, {"乙", "100", "100", "0"}, {"丙", "0", "120", "-120"}}));
        const QStringList captions = {cake->grid()->column(0).caption, cake->grid()->column(1).caption,
            cake->grid()->column(2).caption, cake->grid()->column(3).caption};
        QCOMPARE(captions, (QStringList {"参数名称", "收入金额", "支出金额", "合计金额"}));
        QCOMPARE(cake->grid()->footerText(0), QStringLiteral("共 3 条记录"));
        QCOMPARE(cake->grid()->footerText(1), QStringLiteral("600"));
        QCOMPARE(cake->grid()->footerColor(1), QColor(Qt::blue));
        QCOMPARE(cake->grid()->footerText(2), QStringLiteral("220"));
        QCOMPARE(cake->grid()->footerColor(2), QColor(Qt::red));
        QCOMPARE(cake->grid()->footerText(3), QStringLiteral("380"));
        QVERIFY(run.seams.messages.isEmpty());

        // As bars, the negative one hangs below zero.
        cake = analyse(
            run, QStringLiteral("按客户分析"), QStringLiteral("综合统计收支"), QStringLiteral("条型图"));
        QCOMPARE(cake->chart()->kind(), ChartView::Kind::Bar);
        QCOMPARE(chartPoints(cake), (Points {{"甲", 500}, {"丙", -120}}));
        auto *bars = qobject_cast<QBarSeries *>(cake->chart()->currentSeries());
        QVERIFY(bars);
        QCOMPARE(bars->barSets().size(), 2);
        QCOMPARE(bars->barSets().at(1)->at(0), -120.0);
    }

    // Each analysis groups by its column and shows its icon.
    void analyses_data()
    {
        QTest::addColumn<QString>("analysis");
        QTest::addColumn<QString>("icon");
        QTest::addColumn<Points>("points");
        QTest::newRow("帐户") << "按帐户分析"
                              << "Res/YellowTower.ico" << Points {{"现金", 500}, {"银行", -120}};
        QTest::newRow("客户") << "按客户分析"
                              << "Res/Customer.ico" << Points {{"甲", 500}, {"丙", -120}};
        QTest::newRow("业务员") << "按业务员分析"
                                << "Res/Man.ico" << Points {{"", 380}};
        QTest::newRow("收支种类") << "按收支种类分析"
                                  << "Res/Reason.ico"
                                  << Points {{"销售", 600}, {"退款", -100}, {"采购", -120}};
        QTest::newRow("款项类别") << "按款项类别分析"
                                  << "Res/Type.ico" << Points {{"日常收支", 380}};
        QTest::newRow("款项凭证") << "按款项凭证分析"
                                  << "Res/Token.ico" << Points {{"发票", 380}};
    }
    void analyses()
    {
        QFETCH(QString, analysis);
        QFETCH(QString, icon);
        QFETCH(Points, points);
        Run run;
        {
            auto ledger = run.ledger();
            addEntries(*ledger, Customers);
            ledger->exec(QStringLiteral("Update MoneyTable Set MoneyType = '日常收支', MoneyToken = '发票'"
                                        " Where MoneyIndex > 1"));
        }
        run.writeSetting(QStringLiteral("AccountType"), QStringLiteral("5"));
        QVERIFY(run.startAs(Cashier));
        TFormCake *cake = analyse(run, analysis);
        QCOMPARE(cake->iconFile(), icon);
        QCOMPARE(chartPoints(cake), points);
        QVERIFY(run.seams.messages.isEmpty());
    }

    // Only the chart of the account analysis leaves the reserved account out.
    void reservedAccountOnlyOutOfTheAccountChart_data()
    {
        QTest::addColumn<QString>("analysis");
        QTest::addColumn<bool>("inChart");
        QTest::newRow("帐户") << "按帐户分析" << false;
        QTest::newRow("客户") << "按客户分析" << true;
    }
    void reservedAccountOnlyOutOfTheAccountChart()
    {
        QFETCH(QString, analysis);
        QFETCH(bool, inChart);
        Run run;
        {
            auto ledger = run.ledger();
            addEntries(*ledger, {{"a", QDate(2026, 6, 1), "现金", 50, "销售", "现金客户"}});
            ledger->exec(QStringLiteral("Update Account Set AccountName = '保留' Where AccountIndex = 1"));
            ledger->exec(QStringLiteral("Insert Into MoneyTable (MoneyKind, MoneyAccount, MoneyCreateTime, "
                                        "MoneyIn, MoneySum, MoneyUser, MoneyPower) "
                                        "Values ('财务收入', 1, '2026-06-01', 70, 70, '保留', ?)"),
                {Cashier});
        }
        // No account-book condition, so that the reserved row's type does not hide it.
        run.writeSetting(QStringLiteral("AccountType"), QStringLiteral("9"));
        QVERIFY(run.startAs(Cashier));
        TFormCake *cake = analyse(run, analysis);
        Points expected
            = {{"保留", 70}, {analysis == QStringLiteral("按帐户分析") ? "现金" : "现金客户", 50}};
        if (!inChart)
            expected.removeFirst();
        QCOMPARE(chartPoints(cake), expected);
        QCOMPARE(cake->grid()->rowCount(), 2);
        QCOMPARE(cake->grid()->displayText(0, 0), QStringLiteral("保留"));
    }

    // The restriction; transfer halves count in the net column only.
    void restrictions_data()
    {
        QTest::addColumn<QString>("restriction");
        QTest::addColumn<Points>("points");
        QTest::addColumn<QList<GridRow>>("rows");
        QTest::newRow("综合统计收支")
            << "综合统计收支" << Points {{"销售", 300}, {"办公", -20}, {"房租", -100}}
            << QList<GridRow> {{"销售", "300", "0", "300"}, {"帐簿平调", "0", "0", "0"},
                   {"办公", "0", "20", "-20"}, {"房租", "0", "100", "-100"}};
        QTest::newRow("仅统计收入") << "仅统计收入" << Points {{"销售", 300}, {"帐簿平调", 50}}
                                    << QList<GridRow> {
                                           {"销售", "300", "0", "300"}, {"帐簿平调", "0", "0", "50"}};
        // Every sum negative: the smallest expense comes first.
        QTest::newRow("仅统计支出") << "仅统计支出"
                                    << Points {{"办公", -20}, {"帐簿平调", -50}, {"房租", -100}}
                                    << QList<GridRow> {{"办公", "0", "20", "-20"},
                                           {"帐簿平调", "0", "0", "-50"}, {"房租", "0", "100", "-100"}};
    }
    void restrictions()
    {
        QFETCH(QString, restriction);
        QFETCH(Points, points);
        QFETCH(QList<GridRow>, rows);
        Run run;
        {
            auto ledger = run.ledger();
            const auto tags = addEntries(*ledger,
                {{"sale", QDate(2026, 6, 1), "现金", 300, "销售"},
                    {"rent", QDate(2026, 6, 2), "银行", -100, "房租"},
                    {"office", QDate(2026, 6, 2), "现金", -20, "办公"},
                    {"out", QDate(2026, 6, 3), "现金", -50, "帐簿平调"},
                    {"in", QDate(2026, 6, 3), "银行", 50, "帐簿平调"}});
            // A transfer's halves carry only MoneySum.
            ledger->exec(
                QStringLiteral("Update MoneyTable Set MoneyIn = 0, MoneyOut = 0 Where MoneyIndex In (?, ?)"),
                {tags.value(QStringLiteral("out")), tags.value(QStringLiteral("in"))});
        }
        run.writeSetting(QStringLiteral("AccountType"), QStringLiteral("5"));
        QVERIFY(run.startAs(Cashier));
        TFormCake *cake = analyse(run, QStringLiteral("按收支种类分析"), restriction);
        QCOMPARE(chartPoints(cake), points);
        QCOMPARE(gridRows(cake), rows);
    }

    // At most 20 points in descending order, zero sums skipped and not counted; the grid has all.
    void moreThanTwentyGroups()
    {
        Run run;
        QList<Entry> entries;
        QList<QByteArray> names;
        for (int i = 1; i <= 25; ++i)
            names.append(QStringLiteral("客户%1").arg(i, 2, 10, QLatin1Char('0')).toUtf8());
        for (int i = 1; i <= 25; ++i)
            entries.append(
                {"x", QDate(2026, 6, 1), "现金", double(11 - i), "测试", names[i - 1].constData()});
        startOn(run, entries);
        TFormCake *cake = analyse(run, QStringLiteral("按客户分析"));
        Points expected;
        for (int i = 1; i <= 21; ++i)
            if (i != 11)
                expected.append({QString::fromUtf8(names[i - 1]), double(11 - i)});
        QCOMPARE(chartPoints(cake), expected);
        QCOMPARE(cake->grid()->rowCount(), 25);
        QCOMPARE(cake->grid()->footerText(0), QStringLiteral("共 25 条记录"));
    }

    // Entries without a customer form a group of their own with an empty label.
    void entriesWithoutValueFormAGroup()
    {
        Run run;
        startOn(
            run, {{"a", QDate(2026, 6, 1), "现金", 10, "销售", "甲"}, {"b", QDate(2026, 6, 1), "现金", -5}});
        TFormCake *cake = analyse(run, QStringLiteral("按客户分析"));
        QCOMPARE(chartPoints(cake), (Points {{"甲", 10}, {"", -5}}));
        QCOMPARE(gridRows(cake), (QList<GridRow> {{"甲", "10", "0", "10"}, {"", "0", "5", "-5"}}));
    }

    // Each opening takes the report's condition afresh; the lists keep their choices.
    void openingTakesTheReportCondition()
    {
        Run run;
        startOn(run, Customers);
        TFormCake *cake = analyse(run, QStringLiteral("按客户分析"), QStringLiteral("仅统计支出"));
        QCOMPARE(chartPoints(cake), (Points {{"乙", -100}, {"丙", -120}}));

        run.seams.onDialog(QStringLiteral("TFormMakeReport"), [](QDialog *d) {
            child<QAbstractButton>(d, QStringLiteral("CheckBox1"))->click();
            child<QDateEdit>(d, QStringLiteral("DateTimePicker1"))->setDate(QDate(2026, 6, 4));
            child<QDateEdit>(d, QStringLiteral("DateTimePicker2"))->setDate(QDate(2026, 6, 30));
            child<QAbstractButton>(d, QStringLiteral("BitBtn1"))->click();
        });
        trigger(reportsTab(run), QStringLiteral("ActionMakeReport"));
        cake = openAnalysis(run);
        QCOMPARE(text(cake, QStringLiteral("ComboBox1")), QStringLiteral("按客户分析"));
        QCOMPARE(text(cake, QStringLiteral("ComboBox3")), QStringLiteral("仅统计支出"));
        QCOMPARE(chartPoints(cake), (Points {{"丙", -120}}));
        QCOMPARE(cake->grid()->footerText(0), QStringLiteral("共 1 条记录"));
    }

    void failingChartQueryStops()
    {
        Run run;
        startOn(run, Customers);
        {
            auto ledger = run.ledger();
            QVERIFY(ledger->exec(QStringLiteral("Alter Table MoneyTable Drop Column MoneyToken")));
        }
        TFormCake *cake = analyse(run, QStringLiteral("按款项凭证分析"));
        // Neither the grid query nor anything else runs after the failure.
        QCOMPARE(run.seams.messageTexts(), QStringList {QStringLiteral("款项凭证获取失败")});
        QCOMPARE(cake->chart()->pointCount(), 0);
    }

    // The picture goes beside the program and is opened; a failure says why.
    void saveAsPicture()
    {
        Run run;
        startOn(run, Customers);
        TFormCake *cake = analyse(run, QStringLiteral("按客户分析"));
        const QString path = run.folder.filePath(QStringLiteral("Cake.bmp"));
        trigger(cake, QStringLiteral("ActionToBmp"));
        QCOMPARE(run.seams.openedWithDesktop, QStringList {path});
        QVERIFY(!QImage(path).isNull());
        QVERIFY(run.seams.messages.isEmpty());

        run.seams.desktopOpenSucceeds = false;
        trigger(cake, QStringLiteral("ActionToBmp"));
        QVERIFY(run.seams.lastMessage().contains(path));

        // A folder in the picture's place: nothing written, nothing opened.
        QVERIFY(QFile::remove(path));
        QVERIFY(QDir(run.folder.path()).mkdir(QStringLiteral("Cake.bmp")));
        run.seams.openedWithDesktop.clear();
        run.seams.clearMessages();
        trigger(cake, QStringLiteral("ActionToBmp"));
        QVERIFY(run.seams.openedWithDesktop.isEmpty());
        QCOMPARE(run.seams.messages.size(), 1);
        QVERIFY(run.seams.lastMessage().startsWith(QStringLiteral("图片保存失败")));
    }

    // The pie's marks stay readable at every size of the window: none over another, over the
    // legend or outside the chart, none cut short; a slice whose mark finds no room beside the
    // pie has its value and share in its legend entry.
    void pieMarksStayApart_data()
    {
        QTest::addColumn<QString>("analysis");
        QTest::addColumn<QSize>("size"); // empty: the window's smallest
        for (const char *analysis : {"按帐户分析", "按收支种类分析"}) {
            const QString name = QString::fromUtf8(analysis);
            QTest::addRow("%s smallest", analysis) << name << QSize();
            QTest::addRow("%s opening size", analysis) << name << QSize(720, 520);
            QTest::addRow("%s large", analysis) << name << QSize(1180, 800);
        }
        QTest::newRow("twenty customers smallest") << QStringLiteral("按客户分析") << QSize();
        QTest::newRow("twenty customers opening size") << QStringLiteral("按客户分析") << QSize(720, 520);
    }
    void pieMarksStayApart()
    {
        QFETCH(QString, analysis);
        QFETCH(QSize, size);
        Run run;
        const bool customers = analysis == QStringLiteral("按客户分析");
        startOn(run, customers ? twentyCustomers() : Month);
        TFormCake *cake = analyse(run, analysis);
        QCOMPARE(cake->chart()->pointCount(),
            customers                                      ? 20
                : analysis == QStringLiteral("按帐户分析") ? 4
                                                           : 12);
        cake->show();
        cake->resize(size.isEmpty() ? cake->minimumSize() : size);
        // The chart settles in a few rounds: marks that find no room widen the legend, which
        // widens the window.
        for (int round = 0; round < 5; ++round)
            QApplication::processEvents();

        ChartView *chart = cake->chart();
        QStringList marked;
        QList<QRectF> marks;
        for (QGraphicsItem *item : chart->scene()->items()) {
            auto *mark = dynamic_cast<QGraphicsSimpleTextItem *>(item);
            if (mark && mark->isVisible()) {
                marked.append(mark->text());
                marks.append(mark->sceneBoundingRect());
            }
        }
        QStringList expected;
        for (int i = 0; i < chart->pointCount(); ++i) {
            if (chart->markShown(i)) {
                expected.append(chart->markText(i));
            } else {
                QVERIFY2(
                    chart->legendText(i).contains(RoundMoney(chart->pointValue(i)) + QStringLiteral("（")),
                    qPrintable(chart->legendText(i)));
            }
        }
        QStringList shown = marked;
        shown.sort();
        expected.sort();
        QCOMPARE(shown, expected);
        // At the opening size the accounts' marks all find room.
        if (size == QSize(720, 520) && analysis == QStringLiteral("按帐户分析"))
            QCOMPARE(marks.size(), 4);

        const QList<QLegendMarker *> legend = chart->chart()->legend()->markers();
        for (int i = 0; i < legend.size(); ++i)
            QCOMPARE(legend[i]->label(), chart->legendText(i));
        // The whole chart is in sight.
        const QRectF inSight = chart->mapToScene(chart->viewport()->rect()).boundingRect();
        QVERIFY(inSight.adjusted(-1, -1, 1, 1).contains(chart->chart()->geometry()));
        const QRectF area = chart->chart()->plotArea();
        QLegend *legendItem = chart->chart()->legend();
        const QRectF legendArea = legendItem->sceneBoundingRect();
        // Every legend entry shows whole, none clipped at the legend's edge or cut short.
        QStringList entries, legendTexts;
        for (QGraphicsItem *item : chart->scene()->items()) {
            auto *entry = dynamic_cast<QGraphicsTextItem *>(item);
            if (entry && legendItem->isAncestorOf(entry) && entry->isVisible()) {
                entries.append(entry->toPlainText());
                QVERIFY2(legendArea.contains(entry->sceneBoundingRect()), qPrintable(entry->toPlainText()));
            }
        }
        for (int i = 0; i < chart->pointCount(); ++i)
            legendTexts.append(chart->legendText(i));
        entries.sort();
        legendTexts.sort();
        QCOMPARE(entries, legendTexts);
        for (int i = 0; i < marks.size(); ++i) {
            QVERIFY2(area.contains(marks[i]), qPrintable(marked[i]));
            QVERIFY(!marks[i].intersects(legendArea));
            for (int j = i + 1; j < marks.size(); ++j)
                QVERIFY2(!marks[i].intersects(marks[j]), qPrintable(marked[i] + " / " + marked[j]));
        }
        cake->hide();
    }

    void printHandsTheGridToTheTemplate()
    {
        Run run;
        startOn(run, Customers);
        ReportRecorder recorder(run.seams);
        TFormCake *cake = analyse(run, QStringLiteral("按客户分析"));
        trigger(cake, QStringLiteral("ActionPrint"));
        QCOMPARE(recorder.reports.size(), 1);
        QVERIFY(recorder.reports[0].templatePath().endsWith(QStringLiteral("Cake.frf")));
        QCOMPARE(ShownRows(recorder.reports[0]).size(), 3);
        QCOMPARE(ShownRows(recorder.reports[0])[0].first(), QStringLiteral("甲"));
    }
};

QUILL_TEST_MAIN(TestAnalysis)
#include "tst_analysis.moc"
