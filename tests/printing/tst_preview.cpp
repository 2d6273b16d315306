#include "platform/PreviewForm.h"
#include "printing/ReportEngine.h"
#include "storage/PublicFunction.h"
#include "storage/ShareDM.h"
#include "support/ReportRecorder.h"
#include "support/TestMain.h"
#include "support/TestSupport.h"
#include "widgets/StatementRows.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPrinter>
#include <QSpinBox>
#include <QTest>

using namespace TestSupport;
using Platform::PageView;
using Platform::TFormPreview;

namespace {

QString pictureFolder()
{
    return qEnvironmentVariable("QUILL_SCREENSHOT_DIR");
}

// The process's peak resident memory (VmHWM) in megabytes, -1 when unknown.
double peakMemoryMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024;
    return -1;
}

// Starts a new peak at the present resident size; false where the system does not allow it.
bool resetPeakMemory()
{
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    return refs.open(QIODevice::WriteOnly) && refs.write("5") == 1;
}

// A long list: row n (1-based) reads n, "品名n", a day, "备注n号" and n / 4 yuan.
constexpr int ListRows = 240000;
const QByteArray ListTemplate = R"({
  "name": "长清单",
  "page": {"orientation": "portrait"},
  "title": {"text": "长清单"},
  "columns": [
    {"field": "ItemIndex", "caption": "序号", "format": "integer", "total": {"count": "{}条"}},
    {"field": "ItemName", "caption": "品名"},
    {"field": "ItemDay", "caption": "日期", "format": "date"},
    {"field": "ItemNote", "caption": "备注", "weight": 2},
    {"field": "Amount", "caption": "金额", "format": "money", "align": "right", "total": "sum"}
  ],
  "footer": {"pageNumbers": true}
})";

QStringList listRow(int n)
{
    return {QString::number(n), QStringLiteral("品名%1").arg(n),
        ShortDateText(QDate(2026, 1, 1).addDays(n / 1000)), QStringLiteral("备注%1号").arg(n),
        RoundMoney(n * 0.25)};
}

int pageBoxValue(const TFormPreview &form)
{
    return form.findChild<QSpinBox *>(QStringLiteral("PageBox"))->value();
}

void trigger(TFormPreview &form, const char *action)
{
    form.findChild<QAction *>(QString::fromLatin1(action))->trigger();
}

} // namespace

class TestPreview : public TestSupport::FixtureTest
{
    Q_OBJECT

private:
    std::unique_ptr<ReportRecorder> recorder;

    QString writeTemplate(const QString &name, const QByteArray &json)
    {
        const QString path = folder->filePath(QStringLiteral("Frf/") + name);
        [&] { QVERIFY(writeFile(path, json)); }();
        return path;
    }

    // 打印报表 of the demo ledger's whole report list, in landscape: several pages.
    void printDemoReport()
    {
        QVERIFY(data->openLedger(QStringLiteral("DataBase/Demo.ddb")));
        const auto rows = StatementRows::open(
            Sql("Select * From Account,MoneyTable Where (AccountIndex = MoneyAccount) Order By MoneyIndex"),
            Texts::DatabaseOpenFailed);
        QVERIFY(rows);
        QVERIFY(PrintReport(folder->filePath(QStringLiteral("Frf/Report2.frf")), rows));
        QCOMPARE(recorder->reports.size(), 1);
        QVERIFY(recorder->reports.first().pageCount() >= 3);
    }

private slots:
    void init()
    {
        QVERIFY(makeFixture());
        recorder = std::make_unique<ReportRecorder>(*seams);
    }
    void cleanup()
    {
        recorder.reset();
        dropFixture();
    }

    // A list of several thousand pages: the preview's first, a middle and its last page show
    // their own rows, read when the page is shown, and the print holds far less than its rows.
    void longListShowsEachPageItsRows()
    {
        QVERIFY(data->openLedger(QStringLiteral("DataBase/Default.ddb")));
        QVERIFY(TryExecSql(Sql("Create Table BigList (ItemIndex Integer Primary Key, ItemName Text, "
                               "ItemDay Text, ItemNote Text, Amount Real)")));
        QVERIFY(TryExecSql(Sql("Insert Into BigList With Recursive n(x) As (Select 1 Union All Select x + 1 "
                               "From n Where x < ")
            + Sql::value(ListRows)
            + Sql(") Select x, '品名' || x, date('2026-01-01', '+' || (x / 1000) || ' days'), "
                  "'备注' || x || '号', x * 0.25 From n")));
        const QString path = writeTemplate(QStringLiteral("List.frf"), ListTemplate);

        // Held in memory, these rows and their texts take well over 100 MB.
        const bool measured = resetPeakMemory();
        const double before = peakMemoryMb();
        const auto rows = StatementRows::open(
            Sql("Select * From BigList Order By ItemIndex Desc"), Texts::DatabaseOpenFailed);
        QVERIFY(rows);
        QVERIFY(PrintReport(path, rows));
        QCOMPARE(seams->messageTexts(), QStringList());
        QCOMPARE(recorder->reports.size(), 1);
        const PreparedReport &r = recorder->reports.first();
        QCOMPARE(r.rowCount(), ListRows);
        QVERIFY2(r.pageCount() > 3000, qPrintable(QString::number(r.pageCount())));
        QCOMPARE(r.totals(),
            (QStringList {QStringLiteral("%1条").arg(ListRows), "", "", "",
                RoundMoney(ListRows * (ListRows + 1.0) / 8)}));

        TFormPreview form(r);
        form.show();
        QCOMPARE(form.findChild<QLabel *>(QStringLiteral("PageCountLabel"))->text(),
            QStringLiteral(" / 共 %1 页 ").arg(r.pageCount()));
        const int last = r.pageCount() - 1;
        const int middle = r.pageCount() / 2;
        struct Visit {
            const char *how;
            int page;
        };
        const Visit visits[]
            = {{"opened", 0}, {"page box", middle}, {"ActionLast", last}, {"ActionFirst", 0}};
        for (const Visit &v : visits) {
            if (QByteArray(v.how) == "page box")
                form.findChild<QSpinBox *>(QStringLiteral("PageBox"))->setValue(v.page + 1);
            else if (QByteArray(v.how) != "opened")
                trigger(form, v.how);
            QCOMPARE(form.pageView()->currentPage(), v.page);
            QCOMPARE(pageBoxValue(form), v.page + 1);
            QVERIFY(form.pageView()->pagesInSight().contains(v.page));
            form.grab();

            // The page shows the rows that follow the pages before it, in the statement's order.
            const PreparedReport::Page &p = r.pages()[v.page];
            int before = 0;
            for (int q = 0; q < v.page; ++q)
                before += r.pages()[q].count;
            QCOMPARE(p.first, before);
            QVERIFY(p.count > 0 || p.totals);
            const QStringList drawn = DrawnTexts(r, v.page);
            for (int row = p.first; row < p.first + p.count; ++row)
                for (const QString &text : listRow(ListRows - row))
                    QVERIFY2(drawn.contains(text),
                        qPrintable(QStringLiteral("page %1: %2").arg(v.page).arg(text)));
            QVERIFY(drawn.contains(QStringLiteral("第 %1 页 / 共 %2 页").arg(v.page + 1).arg(r.pageCount())));
            QCOMPARE(drawn.contains(r.totals().first()), v.page == last);
        }
        // The last row printed is row 1; every row is on a page.
        QCOMPARE(r.pages().last().first + r.pages().last().count, ListRows);
        QCOMPARE(r.pageRows(last).last(), listRow(1));
        // Only the pages in sight were drawn, not the thousands in between.
        QVERIFY2(form.pageView()->pagesRendered() < 12,
            qPrintable(QString::number(form.pageView()->pagesRendered())));

        if (measured) {
            const double grown = peakMemoryMb() - before;
            qInfo("peak memory grew by %.1f MB", grown);
            QVERIFY2(grown < 48, qPrintable(QStringLiteral("the print grew the peak by %1 MB").arg(grown)));
        }
    }

    // The preview opens maximized with the page at its width, and its commands move, zoom,
    // print and save as a reader expects.
    void commandsOfThePreview()
    {
        printDemoReport();
        const PreparedReport &r = recorder->reports.first();
        const int pages = r.pageCount();
        TFormPreview form(r);
        form.show();
        QCOMPARE(form.objectName(), QStringLiteral("TFormPreview"));
        QVERIFY(form.windowState() & Qt::WindowMaximized);
        QCOMPARE(form.pageView()->fit(), PageView::Fit::Width);
        auto *zoom = form.findChild<QComboBox *>(QStringLiteral("ZoomBox"));
        QCOMPARE(zoom->currentText(), QStringLiteral("适合页宽"));
        // At page width the page fills the view's width (its margins aside).
        const double pageWidth = r.paperSize().width() * form.pageView()->zoom() * form.logicalDpiX() / 25.4;
        QVERIFY2(pageWidth > form.pageView()->viewport()->width() - 60,
            qPrintable(QStringLiteral("%1 of %2").arg(pageWidth).arg(form.pageView()->viewport()->width())));
        if (!pictureFolder().isEmpty())
            form.grab().save(pictureFolder() + QStringLiteral("/preview.png"));

        trigger(form, "ActionNext");
        QCOMPARE(pageBoxValue(form), 2);
        trigger(form, "ActionLast");
        QCOMPARE(pageBoxValue(form), pages);
        QCOMPARE(form.pageView()->currentPage(), pages - 1);
        trigger(form, "ActionNext"); // stays on the last page
        QCOMPARE(pageBoxValue(form), pages);
        trigger(form, "ActionPrior");
        QCOMPARE(pageBoxValue(form), pages - 1);
        trigger(form, "ActionFirst");
        QCOMPARE(form.pageView()->currentPage(), 0);
        form.findChild<QSpinBox *>(QStringLiteral("PageBox"))->setValue(3);
        QCOMPARE(form.pageView()->currentPage(), 2);

        // Zoom: a fixed size from the list, then a step larger; the page stays where it was.
        zoom->setCurrentIndex(zoom->findText(QStringLiteral("100%")));
        emit zoom->activated(zoom->currentIndex());
        QCOMPARE(form.pageView()->zoom(), 1.0);
        QCOMPARE(form.pageView()->currentPage(), 2);
        trigger(form, "ActionZoomIn");
        QCOMPARE(zoom->currentText(), QStringLiteral("125%"));
        zoom->setCurrentIndex(zoom->findText(QStringLiteral("整页")));
        emit zoom->activated(zoom->currentIndex());
        QCOMPARE(form.pageView()->fit(), PageView::Fit::Page);
        QCOMPARE(form.pageView()->currentPage(), 2);
        if (!pictureFolder().isEmpty())
            form.grab().save(pictureFolder() + QStringLiteral("/preview-page.png"));
    }

    // 保存PDF writes every page into the file chosen; cancelling writes nothing; a file that
    // cannot be written says so with its path.
    void savePdfOfThePreview()
    {
        printDemoReport();
        const PreparedReport &r = recorder->reports.first();
        TFormPreview form(r);
        const QString pdf = folder->filePath(QStringLiteral("财务报表.pdf"));
        const QString nowhere = folder->filePath(QStringLiteral("NoFolder/财务报表.pdf"));
        for (const QString &answer : {QString(), pdf, nowhere})
            seams->fileAnswers.enqueue(answer);

        trigger(form, "ActionSavePdf");
        QCOMPARE(seams->fileRequests.size(), 1);
        QCOMPARE(seams->fileRequests.first().fileName, QStringLiteral("财务报表.pdf"));
        QCOMPARE(seams->fileRequests.first().defaultSuffix, QStringLiteral("pdf"));
        QVERIFY(seams->messages.isEmpty());

        trigger(form, "ActionSavePdf");
        const QByteArray bytes = readFile(pdf);
        QVERIFY(bytes.startsWith("%PDF"));
        QCOMPARE(bytes.count("/MediaBox [0 0 842"), r.pageCount()); // A4 landscape, in points
        QCOMPARE(seams->lastMessage(), QStringLiteral("PDF 文件已保存：") + pdf);

        trigger(form, "ActionSavePdf");
        QCOMPARE(seams->messages.last().kind, Platform::MessageKind::Error);
        QVERIFY(seams->lastMessage().contains(nowhere));
        QVERIFY(!QFile::exists(nowhere));
    }

    // 打印 goes to the printer the print dialog sets up, with its page range; cancelled, nothing
    // is printed.
    void printOfThePreview_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<int>("printed"); // -1: every page

        QTest::newRow("every page") << 0 << 0 << true << -1;
        QTest::newRow("pages 2 to 3") << 2 << 3 << true << 2;
        QTest::newRow("cancelled") << 0 << 0 << false << 0;
    }
    void printOfThePreview()
    {
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(bool, accepted);
        QFETCH(int, printed);
        printDemoReport();
        const PreparedReport &r = recorder->reports.first();
        TFormPreview form(r);
        const QString file = folder->filePath(QStringLiteral("printer.pdf"));
        QPageLayout::Orientation offered = QPageLayout::Portrait;
        seams->onChoosePrinter = [&](QPrinter *printer) {
            offered = printer->pageLayout().orientation();
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(file);
            printer->setFromTo(from, to);
            return accepted;
        };
        trigger(form, "ActionPrint");
        QCOMPARE(seams->printDialogs, 1);
        QCOMPARE(offered, QPageLayout::Landscape);
        QCOMPARE(seams->messageTexts(), QStringList());
        if (!accepted) {
            QVERIFY(!QFile::exists(file));
            return;
        }
        QCOMPARE(readFile(file).count("/MediaBox [0 0 842"), printed < 0 ? r.pageCount() : printed);
    }
};

QUILL_TEST_MAIN(TestPreview)
#include "tst_preview.moc"
