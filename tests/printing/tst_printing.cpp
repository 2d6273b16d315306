#include "platform/PreviewForm.h"
#include "printing/DesignerForm.h"
#include "printing/ReportEngine.h"
#include "storage/PublicFunction.h"
#include "storage/ShareDM.h"
#include "support/ReportRecorder.h"
#include "support/TestMain.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using namespace TestSupport;

namespace {

// The four header texts the daily journal writes into PrintTable row 1 before printing.
const QStringList DailyHeader = {QStringLiteral("上日结余：96000 元"), QStringLiteral("本日结余：109500 元"),
    QStringLiteral("本日收入：共 3 笔～15000 元"), QStringLiteral("本日支出：共 2 笔～1500 元")};

QString pictureFolder()
{
    return qEnvironmentVariable("QUILL_SCREENSHOT_DIR");
}

} // namespace

class TestPrinting : public TestSupport::FixtureTest
{
    Q_OBJECT

private:
    std::unique_ptr<ReportRecorder> recorder;

    Query query(const Sql &sql)
    {
        Query q;
        [&] { QVERIFY(RunQuery(q, sql, Texts::DatabaseOpenFailed)); }();
        return q;
    }

    // A small ledger: two accounts, three entries on one day and one the day after.
    void fillSmallLedger()
    {
        QVERIFY(data->openLedger(QStringLiteral("DataBase/Default.ddb")));
        const qint64 bank
            = InsertRow("Account", {{"AccountName", "工商银行"}, {"AccountBase", 1000}, {"AccountType", 1}});
        const qint64 cash
            = InsertRow("Account", {{"AccountName", "现金"}, {"AccountBase", 200}, {"AccountType", 2}});
        QVERIFY(bank > 0 && cash > 0);
        struct Entry {
            qint64 account;
            const char *day;
            double amount;
            const char *user;
        };
        const Entry entries[]
            = {{bank, "2026-06-15", 1234.5, "华联商贸"}, {cash, "2026-06-15", -80.25, "张三"},
                {bank, "2026-06-15", 0.1 + 0.2, "东方电子"}, {cash, "2026-06-16", -5, "李四"}};
        int n = 0;
        for (const Entry &e : entries) {
            const bool income = e.amount >= 0;
            QVERIFY(InsertRow("MoneyTable",
                        {{"MoneyKind", income ? "财务收入" : "财务支出"},
                            {"MoneySerial", QStringLiteral("SR2606150%1").arg(++n)},
                            {"MoneyAccount", e.account}, {"MoneyUser", e.user}, {"MoneyCreateTime", e.day},
                            {"MoneyRecordTime", e.day}, {"MoneyIn", income ? e.amount : 0},
                            {"MoneyOut", income ? 0 : -e.amount}, {"MoneySum", e.amount},
                            {"MoneyReason", "销售收入"}, {"MoneyRemark", "备注"}, {"MoneyPower", "出纳"}})
                > 0);
        }
    }

    void fillDailyHeader()
    {
        QVERIFY(UpdateRow("PrintTable", "PrintIndex", 1,
            {{"PrintValue1", DailyHeader[0]}, {"PrintValue2", DailyHeader[1]},
                {"PrintValue3", DailyHeader[2]}, {"PrintValue4", DailyHeader[3]}}));
    }

    QString writeTemplate(const QString &name, const QByteArray &json)
    {
        const QString path = folder->filePath(QStringLiteral("Frf/") + name);
        [&] { QVERIFY(writeFile(path, json)); }();
        return path;
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

    // A template over a query's rows, a look-up and named values: what reaches the preview.
    void boundRowsReachThePreview()
    {
        fillSmallLedger();
        fillDailyHeader();
        const QString path = writeTemplate(QStringLiteral("Fixture.frf"), R"({
          "name": "试印",
          "lookups": [{"lookup": "header", "sql": "Select * From PrintTable Where PrintIndex = 1"}],
          "title": {"value": "Kind"},
          "headers": [{"field": "header.PrintValue1"}, {"value": "Missing", "label": "缺："},
                      {"field": "MoneyCreateTime", "label": "日期：", "format": "date"}],
          "columns": [
            {"field": "MoneyIndex", "caption": "记录号", "format": "integer", "total": {"count": "{}条"}},
            {"field": "MoneyCreateTime", "caption": "日期", "format": "date"},
            {"field": "accountname", "caption": "帐户", "total": {"text": "合计"}},
            {"field": "MoneySum", "caption": "合计", "format": "money", "total": "sum"},
            {"field": "MoneySum", "caption": "占比", "format": "percent", "total": "sum"}
          ]})");
        const Query rows = query(Sql("Select * From Account,MoneyTable Where (AccountIndex = MoneyAccount) "
                                     "And (MoneyCreateTime = ")
            + Sql::value(QDate(2026, 6, 15)) + Sql(") Order By MoneyIndex"));
        QStringList asked;
        QVERIFY(PrintReport(path, rows, [&asked](const QString &name) -> std::optional<QVariant> {
            asked.append(name);
            if (name == QLatin1String("Kind"))
                return QStringLiteral("财务收入单");
            return std::nullopt;
        }));
        QCOMPARE(seams->messages.size(), 0);
        QCOMPARE(recorder->reports.size(), 1);
        const PreparedReport &r = recorder->reports.first();
        QCOMPARE(r.templatePath(), path);
        QCOMPARE(seams->previewTitles, QStringList {QStringLiteral("试印")});
        QCOMPARE(r.title(), QStringLiteral("财务收入单"));
        QCOMPARE(r.headerTexts(),
            (QStringList {DailyHeader[0], QStringLiteral("缺："), QStringLiteral("日期：2026-6-15")}));
        QCOMPARE(asked, (QStringList {QStringLiteral("Kind"), QStringLiteral("Missing")}));
        QCOMPARE(r.namedValues().size(), 2);
        QCOMPARE(r.namedValues()[0].answer, std::optional<QString>(QStringLiteral("财务收入单")));
        QCOMPARE(r.namedValues()[1].answer, std::nullopt);
        const QList<QStringList> expected = {
            {"2", "2026-6-15", "工商银行", "1234.5", "93.9%"},
            {"3", "2026-6-15", "现金", "-80.25", "6.1%"},
            {"4", "2026-6-15", "工商银行", "0.3", "0%"},
        };
        QCOMPARE(ShownRows(r), expected);
        QCOMPARE(r.totals(), (QStringList {"3条", "", "合计", "1154.55", "100%"}));
        QCOMPARE(r.pageCount(), 1);
        QCOMPARE(r.pageRows(0), expected);
        QVERIFY(r.pages().first().totals);
    }

    void shippedTemplatesPrepare_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("sql");
        QTest::addColumn<bool>("landscape");
        QTest::addColumn<QStringList>("captions");

        const QStringList journal = {"记录号", "单据编号", "录入时间", "帐户名称", "客户名称", "收入", "支出",
            "合计", "业务员", "收支种类", "类别", "凭证", "备注"};
        const QString day = QStringLiteral(
            "Select * From Account,MoneyTable Where (AccountIndex = MoneyAccount) And (MoneyCreateTime = "
            "'2026-07-20') Order By MoneyIndex");
        const QString all = QStringLiteral("Select * From Account,MoneyTable Where (AccountIndex = "
                                           "MoneyAccount) Order By MoneyCreateTime,MoneyIndex");
        auto detail = [](const char *kind) {
            return QStringLiteral(
                "Select * From GetPay Where (GetPayIndex > 1) And (GetPayKind = '%1') Order By GetPayTime")
                .arg(QString::fromUtf8(kind));
        };
        auto grouped = [](const char *kind, const char *by) {
            return QStringLiteral(
                "Select %2,Round(Sum(GetPaySum),2) As GetPaySum,Round(Sum(GetPaySum2),2) As GetPaySum2,"
                "Round(Sum(GetPaySum3),2) As GetPaySum3,Count(GetPayIndex) As GetPayNum From GetPay "
                "Where (GetPayIndex > 1) And (GetPayKind = '%1') Group By %2 Order By %2")
                .arg(QString::fromUtf8(kind), QString::fromUtf8(by));
        };
        QTest::newRow("Daily") << "Daily.frf" << day << false << journal;
        QTest::newRow("Daily2") << "Daily2.frf" << day << true << journal;
        QTest::newRow("Report") << "Report.frf" << all << false << journal;
        QTest::newRow("Report2") << "Report2.frf" << all << true << journal;
        QTest::newRow("GetList") << "GetList.frf" << detail("应收") << false
                                 << QStringList {"应收日期", "应收客户", "应收金额", "已收金额", "尚欠金额",
                                        "备注信息"};
        QTest::newRow("GetList2") << "GetList2.frf" << grouped("应收", "GetPayUser") << true
                                  << QStringList {"应收客户", "应收金额", "已收金额", "尚欠金额", "记录数目"};
        QTest::newRow("GetList3") << "GetList3.frf" << grouped("应收", "GetPayTime") << false
                                  << QStringList {"应收日期", "应收金额", "已收金额", "尚欠金额", "记录数目"};
        QTest::newRow("PayList") << "PayList.frf" << detail("应付") << false
                                 << QStringList {"应付日期", "应付客户", "应付金额", "已付金额", "尚欠金额",
                                        "备注信息"};
        QTest::newRow("PayList2") << "PayList2.frf" << grouped("应付", "GetPayUser") << true
                                  << QStringList {"应付客户", "应付金额", "已付金额", "尚欠金额", "记录数目"};
        QTest::newRow("PayList3") << "PayList3.frf" << grouped("应付", "GetPayTime") << false
                                  << QStringList {"应付日期", "应付金额", "已付金额", "尚欠金额", "记录数目"};
        QTest::newRow("AccountMonth")
            << "AccountMonth.frf"
            << "Select * From PrintTable Where PrintEnable = 1" << false
            << QStringList {"帐户名称", "期初余额", "本期收入", "本期支出", "本期净额", "期末余额"};
        QTest::newRow("MonthCount") << "MonthCount.frf"
                                    << "Select * From PrintDay Where DayEnable = 1" << false
                                    << QStringList {
                                           "日期", "收入笔数", "收入金额", "支出笔数", "支出金额", "余额"};
        QTest::newRow("Cake")
            << "Cake.frf"
            << "Select MoneyUser As DataFieldName,Round(Sum(MoneyIn),2) As MoneyIn,"
               "Round(Sum(MoneyOut),2) As MoneyOut,Round(Sum(MoneySum),2) As MoneySum From "
               "Account,MoneyTable Where (MoneyAccount = AccountIndex) Group By MoneyUser Order By "
               "Sum(MoneySum) Desc"
            << false << QStringList {"参数名称", "收入金额", "支出金额", "合计金额", "占比"};
        QTest::newRow("Bill") << "Bill.frf"
                              << "Select ABS(MoneySum) As MSum,* From MoneyTable Where MoneyIndex = 5"
                              << false
                              << QStringList {"客户名称", "收支种类", "款项类别", "凭　　证", "业 务 员",
                                     "金额大写", "金额小写", "备　　注"};
    }
    // Each shipped template prepares over the rows its print command binds and draws its pages.
    void shippedTemplatesPrepare()
    {
        QFETCH(QString, file);
        QFETCH(QString, sql);
        QFETCH(bool, landscape);
        QFETCH(QStringList, captions);
        QVERIFY(data->openLedger(QStringLiteral("DataBase/Demo.ddb")));
        Session().CurrentUser = QStringLiteral("出纳");
        fillDailyHeader();
        // The monthly summary's and the daily statistics' pools, as those commands leave them.
        const QStringList accounts = {"工商银行基本户", "建设银行一般户", "现金", "备用金", "总合计"};
        for (int i = 0; i < accounts.size(); ++i)
            QVERIFY(UpdateRow("PrintTable", "PrintIndex", i + 2,
                {{"PrintEnable", true}, {"PrintValue1", accounts[i]}, {"PrintValue2", "80000"},
                    {"PrintValue3", "15000.5"}, {"PrintValue4", "4000"}, {"PrintValue5", "11000.5"},
                    {"PrintValue6", "91000.5"}}));
        QVERIFY(
            InsertRow("PrintDay", {{"DayEnable", true}, {"DayName", "前累计余额"}, {"DayBalance", "117000"}})
            > 0);
        QVERIFY(InsertRow("PrintDay",
                    {{"DayEnable", true}, {"DayName", "2026-7-2"}, {"DayGetNum", "2"}, {"DayGetSum", "3500"},
                        {"DayPayNum", "1"}, {"DayPaySum", "120.5"}, {"DayBalance", "120379.5"}})
            > 0);
        QVERIFY(InsertRow("PrintDay",
                    {{"DayEnable", true}, {"DayName", "合计"}, {"DayGetNum", "2"}, {"DayGetSum", "3500"},
                        {"DayPayNum", "1"}, {"DayPaySum", "120.5"}})
            > 0);

        const Query rows = query(Sql(sql));
        QVERIFY(rows.rowCount() > 0);
        const QString path = folder->filePath(QStringLiteral("Frf/") + file);
        const double amount = rows.valueAt(0, "MSum").toDouble();
        QVERIFY(PrintReport(path, rows, [amount](const QString &name) -> std::optional<QVariant> {
            if (name == QLatin1String("MoneyKind"))
                return QStringLiteral("财务支出单");
            if (name == QLatin1String("MoneyCN"))
                return amount == 4000 ? QStringLiteral("肆仟　零佰　零拾　零元　零角　零分　") : QString();
            return std::nullopt;
        }));
        QCOMPARE(seams->messageTexts(), QStringList());
        QCOMPARE(recorder->reports.size(), 1);
        const PreparedReport &r = recorder->reports.first();
        QCOMPARE(r.isLandscape(), landscape);
        QCOMPARE(r.captions(), captions);
        QCOMPARE(ShownRows(r).size(), rows.rowCount());
        int printed = 0;
        for (int page = 0; page < r.pageCount(); ++page)
            printed += r.pageRows(page).size();
        QCOMPARE(printed, rows.rowCount());

        if (file.startsWith(QLatin1String("Daily"))) {
            QCOMPARE(r.headerTexts().mid(2), DailyHeader);
            QCOMPARE(ShownRows(r).first().mid(0, 4),
                (QStringList {"2", "SR26072001", "2026-7-20", "工商银行基本户"}));
        }
        if (file == QLatin1String("Bill.frf")) {
            QCOMPARE(r.askedValueNames(), (QStringList {"MoneyKind", "MoneyCN"}));
            QCOMPARE(r.title(), QStringLiteral("财务支出单"));
            QCOMPARE(ShownRows(r).first(),
                (QStringList {"明达建材经营部", "采购货款", "往来款项", "汇款", "赵强",
                    "肆仟　零佰　零拾　零元　零角　零分　", "¥4000", "材料款首付"}));
        } else {
            QCOMPARE(r.askedValueNames(), QStringList());
        }

        // Every page draws its captions (or the voucher's labels) and its page number.
        for (int page = 0; page < r.pageCount(); ++page) {
            const QStringList drawn = DrawnTexts(r, page);
            for (const QString &caption : captions)
                QVERIFY2(drawn.contains(caption), qPrintable(caption));
            if (r.reportTemplate().pageNumbers)
                QVERIFY(drawn.contains(r.pageNumberText(page)));
        }
        if (!pictureFolder().isEmpty()) {
            SaveReportPictures(r, pictureFolder(), QFileInfo(file).completeBaseName());
            Platform::TFormPreview preview(r);
            preview.show();
            preview.grab().save(
                pictureFolder() + QStringLiteral("/preview-%1.png").arg(QFileInfo(file).completeBaseName()));
        }
    }

    // A template that cannot be used is reported once, naming its path, and nothing is previewed.
    void unusableTemplateIsReported_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("reason");
        const QByteArray columns = R"("columns": [{"field": "AccountName", "caption": "帐户"}])";
        QTest::newRow("missing file") << "Gone.frf" << QByteArray() << "报表模板文件不存在";
        QTest::newRow("broken JSON") << "Broken.frf"
                                     << QByteArray("{\n  \"title\": \"x\",\n  \"columns\": [\n") << "第 4 行";
        QTest::newRow("not an object") << "List.frf" << QByteArray("[1, 2]") << "JSON 对象";
        QTest::newRow("unknown setting")
            << "Typo.frf" << QByteArray(R"({"columns": [{"field": "AccountName", "aling": "left"}]})")
            << "“aling”";
        QTest::newRow("unknown field")
            << "Field.frf" << QByteArray(R"({"columns": [{"field": "NoSuchColumn"}]})")
            << "“NoSuchColumn”在绑定的数据中不存在";
        QTest::newRow("unknown header field")
            << "Header.frf" << QByteArray(R"({"headers": [{"field": "Gone"}], )" + columns + "}") << "“Gone”";
        QTest::newRow("undeclared look-up")
            << "Lookup.frf" << QByteArray(R"({"title": {"field": "head.PrintValue1"}, )" + columns + "}")
            << "“head”";
        QTest::newRow("look-up column missing")
            << "LookupColumn.frf"
            << QByteArray(
                   R"({"lookups": [{"lookup": "h", "sql": "Select * From PrintTable Where PrintIndex = 1"}],
                             "title": {"field": "h.Nothing"}, )"
                   + columns + "}")
            << "“h.Nothing”在查询的结果中不存在";
        QTest::newRow("look-up failing")
            << "LookupFails.frf"
            << QByteArray(R"({"lookups": [{"lookup": "h", "sql": "Select * From NoTable"}],
                             "title": {"field": "h.X"}, )"
                   + columns + "}")
            << "查询“h”失败";
        QTest::newRow("look-up that writes")
            << "LookupWrites.frf"
            << QByteArray(R"({"lookups": [{"lookup": "h", "sql": "Delete From Account"}], )" + columns + "}")
            << "Select";
    }
    void unusableTemplateIsReported()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, json);
        QFETCH(QString, reason);
        fillSmallLedger();
        const QString path
            = json.isEmpty() ? folder->filePath(QStringLiteral("Frf/") + file) : writeTemplate(file, json);
        const Query rows = query(Sql("Select * From Account"));
        QVERIFY(!PrintReport(path, rows));
        QCOMPARE(seams->messages.size(), 1);
        QVERIFY2(seams->lastMessage().contains(path), qPrintable(seams->lastMessage()));
        QVERIFY2(seams->lastMessage().contains(reason), qPrintable(seams->lastMessage()));
        QCOMPARE(recorder->reports.size(), 0);
        QVERIFY(seams->previewTitles.isEmpty());
        QCOMPARE(query(Sql("Select Count(*) As N From Account")).value("N").toInt(), 3);
    }

    // Long lists run over pages: each page repeats the captions and carries its number, and the
    // totals row comes once, at the end.
    void pageBreaksRepeatCaptions_data()
    {
        QTest::addColumn<int>("rowCount");
        QTest::addColumn<bool>("landscape");
        QTest::newRow("none") << 0 << false;
        QTest::newRow("one page") << 10 << false;
        QTest::newRow("portrait") << 250 << false;
        QTest::newRow("landscape") << 250 << true;
    }
    void pageBreaksRepeatCaptions()
    {
        QFETCH(int, rowCount);
        QFETCH(bool, landscape);
        QByteArray json = R"({"name": "长表", "page": {"orientation": "ORIENTATION"}, "title": "流水",
            "columns": [{"field": "N", "caption": "序号", "format": "integer", "total": {"text": "合计"}},
                        {"field": "Amount", "caption": "金额", "format": "money", "total": "sum"}]})";
        json.replace("ORIENTATION", landscape ? "landscape" : "portrait");
        ReportEngine engine;
        QVERIFY(engine.loadTemplateText(json, QStringLiteral("长表.frf")));
        auto rows = std::make_shared<TableRows>(QStringList {"N", "Amount"}, QList<QVariantList> {});
        for (int i = 1; i <= rowCount; ++i)
            rows->append({i, 0.5});
        engine.bind(rows);
        QVERIFY(engine.prepare());
        const PreparedReport &r = engine.prepared();
        QVERIFY(r.pageCount() >= (rowCount > 60 ? 2 : 1));

        int next = 0;
        for (int page = 0; page < r.pageCount(); ++page) {
            const PreparedReport::Page &p = r.pages()[page];
            QCOMPARE(p.first, next);
            next += p.count;
            QCOMPARE(p.totals, page + 1 == r.pageCount());
            const QStringList drawn = DrawnTexts(r, page);
            QCOMPARE(drawn.count(QStringLiteral("序号")), 1);
            QCOMPARE(drawn.count(QStringLiteral("流水")), page == 0 ? 1 : 0);
            QCOMPARE(drawn.count(QStringLiteral("合计")), p.totals ? 1 : 0);
            QVERIFY(drawn.contains(QStringLiteral("第 %1 页 / 共 %2 页").arg(page + 1).arg(r.pageCount())));
            if (p.count > 0) {
                QVERIFY(drawn.contains(QString::number(p.first + 1)));
                QVERIFY(drawn.contains(QString::number(p.first + p.count)));
            }
        }
        QCOMPARE(next, rowCount);
        QCOMPARE(r.totals().last(), RoundMoney(rowCount * 0.5));
        // The pages of the preview and of a printer follow the same paper.
        QCOMPARE(r.paginate(r.paperSize()).size(), r.pageCount());
    }

    // The PDF holds every page, on the template's paper.
    void pdfIsWritten()
    {
        QVERIFY(data->openLedger(QStringLiteral("DataBase/Demo.ddb")));
        ReportEngine engine;
        QVERIFY(engine.loadTemplate(folder->filePath(QStringLiteral("Frf/Report2.frf"))));
        engine.bind(query(Sql("Select * From Account,MoneyTable Where (AccountIndex = MoneyAccount)")));
        QVERIFY(engine.prepare());
        QVERIFY(engine.prepared().pageCount() > 1);
        const QString pdf = folder->filePath(QStringLiteral("报表.pdf"));
        QString error;
        QVERIFY2(engine.savePdf(pdf, &error), qPrintable(error));
        const QByteArray bytes = readFile(pdf);
        QVERIFY(bytes.startsWith("%PDF"));
        QCOMPARE(bytes.count("/MediaBox [0 0 842"), engine.prepared().pageCount()); // A4 landscape, in points

        const QString nowhere = folder->filePath(QStringLiteral("NoFolder/报表.pdf"));
        QVERIFY(!engine.savePdf(nowhere, &error));
        QVERIFY(error.contains(nowhere));
    }

    // The designer edits and saves a template of the Frf folder; invalid text is not saved.
    void designerSavesEdits()
    {
        const QString path = folder->filePath(QStringLiteral("Frf/Report.frf"));
        const QByteArray original = readFile(path);
        QByteArray edited = original;
        edited.replace("\"title\": {\"text\": \"财务报表\"}", "\"title\": {\"text\": \"收支明细\"}");
        QVERIFY(edited != original);

        seams->onDialog(QStringLiteral("TFormDesigner"), [&](QDialog *d) {
            auto *list = d->findChild<QListWidget *>(QStringLiteral("TemplateList"));
            auto *editor = d->findChild<QPlainTextEdit *>(QStringLiteral("TemplateEditor"));
            QVERIFY(list && editor);
            QCOMPARE(list->count(), 14);
            QCOMPARE(list->currentItem()->text(), QStringLiteral("AccountMonth.frf"));
            list->setCurrentRow(
                list->row(list->findItems(QStringLiteral("Report.frf"), Qt::MatchExactly).first()));
            QCOMPARE(editor->toPlainText().toUtf8(), original);
            if (!pictureFolder().isEmpty())
                d->grab().save(pictureFolder() + QStringLiteral("/designer.png"));

            // Broken text: refused with a message naming the file; the file keeps its text.
            editor->setPlainText(QStringLiteral("{ \"title\": "));
            d->findChild<QPushButton *>(QStringLiteral("SaveButton"))->click();
            QCOMPARE(seams->messages.size(), 1);
            QVERIFY(seams->lastMessage().contains(path));
            QVERIFY(seams->lastMessage().contains(QStringLiteral("没有保存")));
            QCOMPARE(readFile(path), original);

            editor->setPlainText(QString::fromUtf8(edited));
            d->findChild<QPushButton *>(QStringLiteral("CheckButton"))->click();
            QCOMPARE(seams->lastMessage(), QStringLiteral("模板检查通过：") + path);
            d->findChild<QPushButton *>(QStringLiteral("PreviewButton"))->click();
            d->findChild<QPushButton *>(QStringLiteral("SaveButton"))->click();
            QCOMPARE(seams->lastMessage(), QStringLiteral("模板保存成功：") + path);
            d->findChild<QPushButton *>(QStringLiteral("CloseButton"))->click();
        });
        OpenTemplateDesigner(nullptr);
        QCOMPARE(seams->shownDialogs, QStringList {QStringLiteral("TFormDesigner")});
        QCOMPARE(readFile(path), edited);

        // The preview ran on sample rows: no data set, no named values asked.
        QCOMPARE(recorder->reports.size(), 1);
        const PreparedReport &r = recorder->reports.first();
        QCOMPARE(r.title(), QStringLiteral("收支明细"));
        QVERIFY(ShownRows(r).size() > 0);
        QVERIFY(r.namedValues().isEmpty());

        ReportEngine engine;
        QVERIFY(engine.loadTemplate(path));
        QCOMPARE(engine.reportTemplate().title.name, QStringLiteral("收支明细"));
    }

    // Leaving a template with unsaved edits asks first; No keeps the file as it was.
    void designerAsksBeforeDroppingEdits()
    {
        const QString path = folder->filePath(QStringLiteral("Frf/AccountMonth.frf"));
        const QByteArray original = readFile(path);
        seams->answerQuestions({false});
        seams->onDialog(QStringLiteral("TFormDesigner"), [&](QDialog *d) {
            auto *editor = d->findChild<QPlainTextEdit *>(QStringLiteral("TemplateEditor"));
            editor->appendPlainText(QStringLiteral(" "));
            d->findChild<QListWidget *>(QStringLiteral("TemplateList"))->setCurrentRow(1);
            QCOMPARE(seams->messages.size(), 1);
            QCOMPARE(seams->messages.first().caption, QStringLiteral("保存确认"));
            QVERIFY(seams->messages.first().text.contains(QStringLiteral("AccountMonth.frf")));
            QCOMPARE(
                editor->toPlainText().toUtf8(), readFile(folder->filePath(QStringLiteral("Frf/Bill.frf"))));
        });
        OpenTemplateDesigner(nullptr);
        QCOMPARE(readFile(path), original);
    }
};

QUILL_TEST_MAIN(TestPrinting)
#include "tst_printing.moc"
