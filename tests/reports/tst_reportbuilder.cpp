// The report builder as a user fills it: what it shows at every show, the conditions its OK
// leaves for the report tab (the rows listed there), and the amounts it refuses.

#include "ReportsFixture.h"
#include "app/Dialogs.h"
#include "reports/MakeReportForm.h"
#include "support/TestMain.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>

using namespace ReportsTest;

namespace {

// What a person does in the builder; the defaults leave a control as the show left it.
struct Choice {
    QString documentKind = QStringLiteral("所有");
    QString transferKind = QStringLiteral("所有");
    QDate from; // ticks 时间范围 when valid
    QDate to;
    bool amountRange = false;
    QString lower;
    QString upper;
    QString serial;
    QStringList accountClicks;
    QStringList reasonClicks;
    QString customer = QStringLiteral("所有");
    QString type = QStringLiteral("所有");
    QString voucher = QStringLiteral("所有");
    QString salesman = QStringLiteral("所有");
    QString remark;
};

// Bank accounts 银行 and O'Brien银行, the cash account 现金; June 2006 with a day on either side.
const QList<Entry> Entries = {
    {"五月底", QDate(2006, 5, 31), "现金", 100, "销售收入", "张三公司", "李四", "日常收支", "收据", "五月",
        "N01"},
    {"六月一日", QDate(2006, 6, 1), "现金", -50, "办公费用", nullptr, "王五", "日常收支", "发票", "六月初",
        "N02"},
    {"六月中", QDate(2006, 6, 15), "银行", -200, "差旅费用", "张三", "李四", "经营收支", "发票", "含'引号",
        "N03"},
    {"六月底", QDate(2006, 6, 30), "银行", 300.5, "销售收入", "O'Neil", "李四", "日常收支", "收据", nullptr,
        "N04"},
    {"七月一日", QDate(2006, 7, 1), "现金", -20, "办公费用", "张三", "王五", "日常收支", "发票", nullptr,
        "N05"},
    {"调出", QDate(2006, 6, 10), "O'Brien银行", -100, "帐户平调", "调出->银行"},
    {"调入", QDate(2006, 6, 10), "银行", 100, "帐户平调", "O'Brien银行->调入"},
};
const QStringList AllTags = {"五月底", "六月一日", "六月中", "六月底", "七月一日", "调出", "调入"};

void setCombo(QDialog *d, const char *name, const QString &text)
{
    auto *combo = child<QComboBox>(d, QString::fromLatin1(name));
    if (combo->isEditable()) {
        combo->setEditText(text);
        return;
    }
    const int index = combo->findText(text);
    QVERIFY2(index >= 0, qPrintable(text));
    combo->setCurrentIndex(index);
}

void fillBuilder(QDialog *d, const Choice &c)
{
    setCombo(d, "ComboBox5", c.documentKind);
    setCombo(d, "ComboBox1", c.transferKind);
    if (c.from.isValid()) {
        child<QCheckBox>(d, QStringLiteral("CheckBox1"))->click();
        child<QDateEdit>(d, QStringLiteral("DateTimePicker1"))->setDate(c.from);
        child<QDateEdit>(d, QStringLiteral("DateTimePicker2"))->setDate(c.to);
    }
    if (c.amountRange)
        child<QCheckBox>(d, QStringLiteral("CheckBox2"))->click();
    child<QLineEdit>(d, QStringLiteral("Edit2"))->setText(c.lower);
    child<QLineEdit>(d, QStringLiteral("Edit4"))->setText(c.upper);
    child<QLineEdit>(d, QStringLiteral("Edit5"))->setText(c.serial);
    for (const QString &item : c.accountClicks)
        clickItem(child<QListWidget>(d, QStringLiteral("ListBox1")), item);
    for (const QString &item : c.reasonClicks)
        clickItem(child<QListWidget>(d, QStringLiteral("ListBox2")), item);
    setCombo(d, "ComboBox6", c.customer);
    setCombo(d, "ComboBox3", c.type);
    setCombo(d, "ComboBox4", c.voucher);
    setCombo(d, "ComboBox7", c.salesman);
    child<QLineEdit>(d, QStringLiteral("Edit3"))->setText(c.remark);
}

// The program started on the entries above with both account books in view.
QHash<QString, qint64> startOnEntries(Run &run)
{
    QHash<QString, qint64> tags;
    {
        auto ledger = run.ledger();
        tags = addEntries(*ledger, Entries);
        addParameter(*ledger, 5, QStringLiteral("李四"));
        addParameter(*ledger, 5, QStringLiteral("王五"));
    }
    run.writeSetting(QStringLiteral("AccountType"), QStringLiteral("5"));
    if (!run.startAs(Cashier))
        qWarning("the program did not start");
    return tags;
}

// 生成报表 with the builder filled as chosen and OK pressed.
void makeReport(Run &run, const Choice &choice)
{
    run.seams.onDialog(QStringLiteral("TFormMakeReport"), [choice](QDialog *d) {
        fillBuilder(d, choice);
        child<QAbstractButton>(d, QStringLiteral("BitBtn1"))->click();
    });
    trigger(reportsTab(run), QStringLiteral("ActionMakeReport"));
}

QList<qint64> sorted(QList<qint64> list)
{
    std::sort(list.begin(), list.end());
    return list;
}

// MoneyIndex of the rows of a statement run on the ledger file apart from the program.
QList<qint64> literalRows(const Run &run, const QString &statement)
{
    QList<qint64> indexes;
    for (const QVariant &v : run.ledger()->column(statement))
        indexes.append(v.toLongLong());
    return indexes;
}

} // namespace

Q_DECLARE_METATYPE(Choice)

class TestReportBuilder : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    // June 2006, accounts 现金 and 银行 (银行 current), expense documents: the rows of the
    // condition's own text, and the account condition and start date it leaves.
    void workedExample()
    {
        Run run;
        startOnEntries(run);
        Choice june;
        june.documentKind = QStringLiteral("财务支出单");
        june.from = QDate(2006, 6, 1);
        june.to = QDate(2006, 6, 30);
        june.accountClicks = QStringList {QStringLiteral("现金"), QStringLiteral("银行")};
        makeReport(run, june);
        QVERIFY(run.seams.messages.isEmpty());

        const QString join = QStringLiteral("Select MoneyIndex From Account,MoneyTable Where (AccountIndex = "
                                            "MoneyAccount) And ((AccountType = 1) Or (AccountType = 2))");
        const QList<qint64> expected = literalRows(run,
            join
                + QStringLiteral(
                    " And (MoneyCreateTime Between '2006-06-01' And '2006-06-30') And AccountName In "
                    "('现金','银行') And (MoneySum < 0) Order By MoneyCreateTime,MoneyIndex"));
        QCOMPARE(expected.size(), 2);
        QCOMPARE(reportRows(run), expected);

        const SessionValues &s = Session();
        QCOMPARE(s.ReportStartDate, QStringLiteral("2006-6-1"));
        Query accountRows;
        QVERIFY(RunQuery(accountRows, Sql(join) + s.ReportAccountCondition + Sql(" Order By MoneyIndex"),
            QStringLiteral("?")));
        QList<qint64> accountIndexes;
        for (accountRows.first(); !accountRows.eof(); accountRows.next())
            accountIndexes.append(accountRows.integer(QStringLiteral("MoneyIndex")));
        QCOMPARE(accountIndexes,
            literalRows(
                run, join + QStringLiteral(" And AccountName In ('现金','银行') Order By MoneyIndex")));
        QCOMPARE(accountIndexes.size(), 6);
    }

    void conditions_data()
    {
        QTest::addColumn<Choice>("choice");
        QTest::addColumn<QStringList>("expected");
        auto row = [](const char *name, const Choice &c, const QStringList &tags) {
            QTest::newRow(name) << c << tags;
        };
        row("everything 所有", {}, AllTags);
        row("amounts unticked are not used", {.lower = "150", .upper = "160"}, AllTags);
        row("ticked with both amounts empty", {.amountRange = true}, AllTags);
        row("-100 as lower bound", {.amountRange = true, .lower = "-100"}, AllTags);
        row("strict bounds on the amount without sign", {.amountRange = true, .lower = "50", .upper = "200"},
            {"五月底", "调出", "调入"});
        row("upper bound only", {.amountRange = true, .upper = "60."}, {"六月一日", "七月一日"});
        row("所有 clicked last", {.accountClicks = {"现金", "银行", "所有"}}, AllTags);
        row("所有 selected with an account current", {.accountClicks = {"所有", "现金"}},
            {"五月底", "六月一日", "七月一日"});
        row("an account unselected again", {.accountClicks = {"现金", "银行", "现金"}},
            {"六月中", "六月底", "调入"});
        row("an account name with a quote", {.accountClicks = {"O'Brien银行"}}, {"调出"});
        row("reasons", {.reasonClicks = {"办公费用", "销售收入"}},
            {"五月底", "六月一日", "六月底", "七月一日"});
        row("the empty customer text", {.customer = ""},
            {"五月底", "六月中", "六月底", "七月一日", "调出", "调入"});
        row("customer containment", {.customer = "张三"}, {"五月底", "六月中", "七月一日"});
        row("customer with a quote", {.customer = "O'"}, {"六月底", "调入"});
        row("type", {.type = "经营收支"}, {"六月中"});
        row("voucher", {.voucher = "收据"}, {"五月底", "六月底"});
        row("salesman", {.salesman = "王五"}, {"六月一日", "七月一日"});
        row("the end day included", {.from = QDate(2006, 6, 1), .to = QDate(2006, 6, 30)},
            {"六月一日", "六月中", "六月底", "调出", "调入"});
        row("one day", {.from = QDate(2006, 6, 10), .to = QDate(2006, 6, 10)}, {"调出", "调入"});
        row("income documents", {.documentKind = "财务收入单"}, {"五月底", "六月底", "调入"});
        row("expense documents", {.documentKind = "财务支出单"}, {"六月一日", "六月中", "七月一日", "调出"});
        row("without transfers", {.transferKind = "除平调单据"},
            {"五月底", "六月一日", "六月中", "六月底", "七月一日"});
        row("transfers only", {.transferKind = "仅平调单据"}, {"调出", "调入"});
        row("remark containment", {.remark = "六月"}, {"六月一日"});
        row("remark with a quote", {.remark = "'引"}, {"六月中"});
        row("document number containment", {.serial = "N0"},
            {"五月底", "六月一日", "六月中", "六月底", "七月一日"});
        row("document number", {.serial = "04"}, {"六月底"});
        row("everything together",
            {.documentKind = "财务支出单",
                .transferKind = "除平调单据",
                .from = QDate(2006, 6, 1),
                .to = QDate(2006, 7, 1),
                .amountRange = true,
                .lower = "10",
                .upper = "100",
                .serial = "N",
                .accountClicks = {"现金"},
                .reasonClicks = {"办公费用"},
                .customer = "张",
                .type = "日常收支",
                .voucher = "发票",
                .salesman = "王五"},
            {"七月一日"});
    }
    void conditions()
    {
        QFETCH(Choice, choice);
        QFETCH(QStringList, expected);
        Run run;
        const QHash<QString, qint64> tags = startOnEntries(run);
        makeReport(run, choice);
        QVERIFY(run.seams.messages.isEmpty());
        QCOMPARE(sorted(reportRows(run)), sorted(indexesOf(tags, expected)));
    }

    // Every show: the book's picture, the current month, nothing ticked or chosen, the lists
    // fresh with "所有" current; only the two document lists keep their last choice.
    void eachShowStartsAfresh()
    {
        Run run;
        run.seams.today = QDate(2026, 2, 10);
        startOnEntries(run);
        QStringList seen;
        auto look = [&seen](QDialog *d) {
            auto *form = static_cast<TFormMakeReport *>(d);
            auto *accounts = child<QListWidget>(d, QStringLiteral("ListBox1"));
            auto *reasons = child<QListWidget>(d, QStringLiteral("ListBox2"));
            auto *start = child<QDateEdit>(d, QStringLiteral("DateTimePicker1"));
            auto *end = child<QDateEdit>(d, QStringLiteral("DateTimePicker2"));
            seen << form->bookPicture() << text(d, "ComboBox5") << text(d, "ComboBox1")
                 << start->date().toString(Qt::ISODate) << end->date().toString(Qt::ISODate)
                 << QString::number(child<QCheckBox>(d, QStringLiteral("CheckBox1"))->isChecked())
                 << QString::number(child<QCheckBox>(d, QStringLiteral("CheckBox2"))->isChecked())
                 << QString::number(start->isEnabled()) << QString::number(end->isEnabled())
                 << QString::number(child<QLineEdit>(d, QStringLiteral("Edit2"))->isEnabled())
                 << QString::number(child<QLineEdit>(d, QStringLiteral("Edit4"))->isEnabled())
                 << text(d, "Edit2") + text(d, "Edit3") + text(d, "Edit4") + text(d, "Edit5")
                 << QString::number(accounts->count()) << accounts->currentItem()->text()
                 << QString::number(accounts->selectedItems().size()) << reasons->item(0)->text()
                 << reasons->item(1)->text() << reasons->currentItem()->text()
                 << QString::number(reasons->selectedItems().size()) << text(d, "ComboBox6")
                 << text(d, "ComboBox3") << text(d, "ComboBox4") << text(d, "ComboBox7")
                 << (d->focusWidget() ? d->focusWidget()->objectName() : QString());
        };
        const QStringList fresh = {"Res/CompanyAccount.bmp", "所有", "所有", "2026-02-01", "2026-02-28", "0",
            "0", "0", "0", "0", "0", "", "4", "所有", "0", "所有", "办公费用", "所有", "0", "所有", "所有",
            "所有", "所有", "ComboBox5"};
        run.seams.onDialog(QStringLiteral("TFormMakeReport"), [&](QDialog *d) {
            look(d);
            fillBuilder(d,
                {.documentKind = "财务收入单",
                    .transferKind = "仅平调单据",
                    .from = QDate(2006, 6, 1),
                    .to = QDate(2006, 6, 30),
                    .amountRange = true,
                    .lower = "1",
                    .upper = "2",
                    .serial = "N",
                    .accountClicks = {"现金"},
                    .reasonClicks = {"办公费用"},
                    .customer = "张",
                    .type = "日常收支",
                    .voucher = "发票",
                    .salesman = "王五",
                    .remark = "备"});
            child<QAbstractButton>(d, QStringLiteral("BitBtn1"))->click();
        });
        trigger(reportsTab(run), QStringLiteral("ActionMakeReport"));
        QCOMPARE(seen, fresh);

        // The bank book now; the kinds stay as chosen.
        run.writeSetting(QStringLiteral("AccountType"), QStringLiteral("1"));
        run.window()->RefreshAll();
        seen.clear();
        run.seams.onDialog(QStringLiteral("TFormMakeReport"), look);
        trigger(reportsTab(run), QStringLiteral("ActionMakeReport"));
        QStringList again = fresh;
        again[0] = "Res/CompanyAccount2.bmp";
        again[1] = "财务收入单";
        again[2] = "仅平调单据";
        again[12] = "3"; // 所有, 银行 and O'Brien银行
        QCOMPARE(seen, again);
    }

    // A value of "AccountType" with no picture of its own leaves the picture shown before.
    void bookPicture_data()
    {
        QTest::addColumn<QString>("book");
        QTest::addColumn<QString>("picture");
        QTest::newRow("0") << "0"
                           << "Res/EmptyAccount.bmp";
        QTest::newRow("1") << "1"
                           << "Res/CompanyAccount2.bmp";
        QTest::newRow("2") << "2"
                           << "Res/CompanyAccount3.bmp";
        QTest::newRow("5") << "5"
                           << "Res/CompanyAccount.bmp";
        QTest::newRow("7 keeps the cash book's") << "7"
                                                 << "Res/CompanyAccount3.bmp";
    }
    void bookPicture()
    {
        QFETCH(QString, book);
        QFETCH(QString, picture);
        Run run;
        run.writeSetting(QStringLiteral("AccountType"), QStringLiteral("2"));
        QVERIFY(run.startAs(Cashier));
        auto *builder = run.program->dialogs()->makeReport;
        run.seams.onDialog(QStringLiteral("TFormMakeReport"), [](QDialog *) {});
        Platform::ShowModal(builder);
        run.writeSetting(QStringLiteral("AccountType"), book);
        run.seams.onDialog(QStringLiteral("TFormMakeReport"), [](QDialog *) {});
        Platform::ShowModal(builder);
        QCOMPARE(builder->bookPicture(), picture);
        QVERIFY(!child<QLabel>(builder, QStringLiteral("Image1"))->pixmap().isNull());
    }

    // An amount that is no number is refused at OK, lower box first, ticked or not; the dialog
    // stays open with the focus on that box, and the report stays as it was.
    void malformedAmounts_data()
    {
        QTest::addColumn<bool>("ticked");
        QTest::addColumn<QString>("lower");
        QTest::addColumn<QString>("upper");
        QTest::addColumn<QString>("refused");
        QTest::newRow("letters") << true << "abc"
                                 << ""
                                 << "Edit2";
        QTest::newRow("two full stops") << true << "1.2.3"
                                        << ""
                                        << "Edit2";
        QTest::newRow("a full stop alone") << true << ""
                                           << "."
                                           << "Edit4";
        QTest::newRow("a minus alone") << true << "-"
                                       << ""
                                       << "Edit2";
        QTest::newRow("two minus signs") << true << "--1"
                                         << ""
                                         << "Edit2";
        QTest::newRow("minus after") << true << "5"
                                     << "1-"
                                     << "Edit4";
        QTest::newRow("blank") << true << " 1"
                               << ""
                               << "Edit2";
        QTest::newRow("lower first") << true << "x"
                                     << "y"
                                     << "Edit2";
        QTest::newRow("unticked") << false << "1.2.3"
                                  << ""
                                  << "Edit2";
        QTest::newRow("numbers") << true << ".5"
                                 << "1000."
                                 << "";
        QTest::newRow("the limit") << true << "0"
                                   << "9999999999.99"
                                   << "";
    }
    void malformedAmounts()
    {
        QFETCH(bool, ticked);
        QFETCH(QString, lower);
        QFETCH(QString, upper);
        QFETCH(QString, refused);
        Run run;
        startOnEntries(run);
        makeReport(run, {.accountClicks = {"现金"}});
        const QList<qint64> before = reportRows(run);
        QCOMPARE(before.size(), 3);

        bool stillOpen = false;
        QString focus;
        run.seams.onDialog(QStringLiteral("TFormMakeReport"), [&](QDialog *d) {
            fillBuilder(d, {.amountRange = ticked, .lower = lower, .upper = upper});
            child<QAbstractButton>(d, QStringLiteral("BitBtn1"))->click();
            stillOpen = d->isVisible();
            focus = d->focusWidget() ? d->focusWidget()->objectName() : QString();
        });
        trigger(reportsTab(run), QStringLiteral("ActionMakeReport"));
        if (refused.isEmpty()) {
            QVERIFY(run.seams.messages.isEmpty());
            QVERIFY(!stillOpen);
            QCOMPARE(reportRows(run).size(), 7);
            return;
        }
        QCOMPARE(run.seams.messageTexts(), QStringList {QStringLiteral("金额格式有误，请重新输入")});
        QVERIFY(stillOpen);
        // A disabled box cannot take the focus.
        if (ticked)
            QCOMPARE(focus, refused);
        // Cancelled after the refusal: the grid shows what it showed, but the condition was
        // emptied before the check, so the next refresh lists every entry.
        QCOMPARE(reportRows(run), before);
        QVERIFY(Session().ReportCondition.isEmpty());
        run.window()->RefreshAll();
        QCOMPARE(reportRows(run).size(), 7);
    }

    // A bound beyond the largest amount is refused like a malformed one, on either box.
    void amountsBeyondTheLimit_data()
    {
        QTest::addColumn<QString>("lower");
        QTest::addColumn<QString>("upper");
        QTest::addColumn<QString>("refused");
        QTest::addColumn<QString>("message");
        const QString range = QStringLiteral("金额超出范围，请重新输入");
        QTest::newRow("lower") << "10000000000"
                               << ""
                               << "Edit2" << range;
        QTest::newRow("upper, negative") << "1"
                                         << "-99999999999999"
                                         << "Edit4" << range;
        QTest::newRow("malformed lower first") << "1.2.3"
                                               << "10000000000"
                                               << "Edit2" << QStringLiteral("金额格式有误，请重新输入");
    }
    void amountsBeyondTheLimit()
    {
        QFETCH(QString, lower);
        QFETCH(QString, upper);
        QFETCH(QString, refused);
        QFETCH(QString, message);
        Run run;
        startOnEntries(run);
        QString focus;
        run.seams.onDialog(QStringLiteral("TFormMakeReport"), [&](QDialog *d) {
            fillBuilder(d, {.amountRange = true, .lower = lower, .upper = upper});
            child<QAbstractButton>(d, QStringLiteral("BitBtn1"))->click();
            QVERIFY(d->isVisible());
            focus = d->focusWidget() ? d->focusWidget()->objectName() : QString();
        });
        trigger(reportsTab(run), QStringLiteral("ActionMakeReport"));
        QCOMPARE(run.seams.messageTexts(), QStringList {message});
        QCOMPARE(focus, refused);
    }

    // Cancel leaves the conditions and the report grid as they were.
    void cancelKeepsTheReport()
    {
        Run run;
        startOnEntries(run);
        makeReport(run, {.accountClicks = {"银行"}});
        const QList<qint64> before = reportRows(run);
        run.seams.onDialog(QStringLiteral("TFormMakeReport"), [](QDialog *d) {
            fillBuilder(d, {.documentKind = "财务收入单"});
            child<QAbstractButton>(d, QStringLiteral("BitBtn2"))->click();
        });
        trigger(reportsTab(run), QStringLiteral("ActionMakeReport"));
        run.window()->RefreshAll();
        QCOMPARE(reportRows(run), before);
        QCOMPARE(before.size(), 3);
    }
};

QUILL_TEST_MAIN(TestReportBuilder)
#include "tst_reportbuilder.moc"
