#include "EntryFixture.h"
#include "journal/EntryRules.h"
#include "journal/MoneySerial.h"
#include "storage/Capitals.h"
#include "support/TestMain.h"

#include <QTest>

using namespace EntryTest;

class TestEntryRules : public QObject
{
    Q_OBJECT

private slots:
    // The checks of a save stop at the first failing field, in screen order.
    void checksInOrder_data()
    {
        QTest::addColumn<QString>("account");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QString>("amount");
        QTest::addColumn<QString>("category");
        QTest::addColumn<QString>("voucher");
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("message");
        const int none = int(EntryField::None), account = int(EntryField::Account),
                  reason = int(EntryField::Reason), amount = int(EntryField::Amount),
                  category = int(EntryField::Category), voucher = int(EntryField::Voucher);
        const QString format = QStringLiteral("金额格式有误，请重新输入");
        const QString decimals = QStringLiteral("金额内容可能有误，请重新输入");
        QTest::newRow("all given") << "银行"
                                   << "办公费用"
                                   << "80"
                                   << "日常收支"
                                   << "现金" << none << "";
        QTest::newRow("zero") << "银行"
                              << "办公费用"
                              << "0"
                              << "日常收支"
                              << "现金" << none << "";
        QTest::newRow("point at the end") << "银行"
                                          << "办公费用"
                                          << "12."
                                          << "日常收支"
                                          << "现金" << none << "";
        QTest::newRow("point first") << "银行"
                                     << "办公费用"
                                     << ".5"
                                     << "日常收支"
                                     << "现金" << none << "";
        QTest::newRow("two decimals") << "银行"
                                      << "办公费用"
                                      << "12.34"
                                      << "日常收支"
                                      << "现金" << none << "";
        QTest::newRow("no account, bad amount too") << ""
                                                    << ""
                                                    << "-5"
                                                    << ""
                                                    << "" << account << "请选择一个帐户";
        QTest::newRow("no reason") << "银行"
                                   << ""
                                   << "-5"
                                   << ""
                                   << "" << reason << "请选择帐款项目";
        QTest::newRow("empty amount") << "银行"
                                      << "办公费用"
                                      << ""
                                      << ""
                                      << "" << amount << format;
        QTest::newRow("minus") << "银行"
                               << "办公费用"
                               << "-5"
                               << ""
                               << "" << amount << format;
        QTest::newRow("blank") << "银行"
                               << "办公费用"
                               << " 5"
                               << ""
                               << "" << amount << format;
        QTest::newRow("comma") << "银行"
                               << "办公费用"
                               << "1,5"
                               << ""
                               << "" << amount << format;
        QTest::newRow("three decimals") << "银行"
                                        << "办公费用"
                                        << "1.234"
                                        << ""
                                        << "" << amount << decimals;
        QTest::newRow("two points, three after the first") << "银行"
                                                           << "办公费用"
                                                           << "1.2.3"
                                                           << ""
                                                           << "" << amount << decimals;
        QTest::newRow("two points in a row") << "银行"
                                             << "办公费用"
                                             << "1..5"
                                             << ""
                                             << "" << amount << format;
        QTest::newRow("a point alone") << "银行"
                                       << "办公费用"
                                       << "."
                                       << ""
                                       << "" << amount << format;
        QTest::newRow("no category") << "银行"
                                     << "办公费用"
                                     << "80"
                                     << ""
                                     << "" << category << "请选择帐款类别";
        QTest::newRow("no voucher") << "银行"
                                    << "办公费用"
                                    << "80"
                                    << "日常收支"
                                    << "" << voucher << "请选择帐款凭证";
    }
    void checksInOrder()
    {
        QFETCH(QString, account);
        QFETCH(QString, reason);
        QFETCH(QString, amount);
        QFETCH(QString, category);
        QFETCH(QString, voucher);
        QFETCH(int, field);
        QFETCH(QString, message);
        const EntryCheck check = CheckEntryChoices({account, reason, amount, category, voucher});
        QCOMPARE(int(check.field), field);
        QCOMPARE(check.message, message);
    }

    void amountsAsParsed_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("amount");
        QTest::newRow("0") << "0" << 0.0;
        QTest::newRow("12.") << "12." << 12.0;
        QTest::newRow(".5") << ".5" << 0.5;
        QTest::newRow("leading zeros") << "007.10" << 7.1;
        QTest::newRow("large") << "123456789012.34" << 123456789012.34;
    }
    void amountsAsParsed()
    {
        QFETCH(QString, text);
        QFETCH(double, amount);
        QCOMPARE(ParseAmountText(text).value_or(-1), amount);
    }

    void notNumbersHaveNoAmount()
    {
        for (const char *text : {"1..5", ".", "..", "", "-5", "1e5"})
            QVERIFY2(!ParseAmountText(QString::fromLatin1(text)), text);
    }

    void kindGivesTheSign()
    {
        const EntryAmounts income = AmountsForKind(Income, 80);
        QCOMPARE(income.in, 80.0);
        QCOMPARE(income.out, 0.0);
        QCOMPARE(income.sum, 80.0);
        const EntryAmounts expense = AmountsForKind(Expense, 80);
        QCOMPARE(expense.in, 0.0);
        QCOMPARE(expense.out, 80.0);
        QCOMPARE(expense.sum, -80.0);
        // The save treats anything but income as expense, the reason list anything but expense
        // as income.
        QCOMPARE(AmountsForKind(QStringLiteral("其他"), 5).sum, -5.0);
        QCOMPARE(ReasonListType(Expense), 0);
        QCOMPARE(ReasonListType(Income), 1);
        QCOMPARE(ReasonListType(QStringLiteral("其他")), 1);
        QCOMPARE(MatchKindFor(Income), QStringLiteral("应收"));
        QCOMPARE(MatchKindFor(Expense), QStringLiteral("应付"));
    }

    // The amount box's value as the bill writes it in capitals.
    void billCapitals_data()
    {
        QTest::addColumn<double>("amount");
        QTest::addColumn<QString>("digits");
        QTest::addColumn<QString>("capitals");
        QTest::newRow("123.45") << 123.45 << "12345" << wide("壹佰 贰拾 叁元 肆角 伍分 ");
        QTest::newRow("100") << 100.0 << "10000" << wide("壹佰 零拾 零元 零角 零分 ");
        QTest::newRow("12.5") << 12.5 << "1250" << wide("壹拾 贰元 伍角 零分 ");
        QTest::newRow("0.5") << 0.5 << "050" << wide("零元 伍角 零分 ");
        QTest::newRow("305.07") << 305.07 << "30507" << wide("叁佰 零拾 伍元 零角 柒分 ");
        QTest::newRow("whole amount gains two zeros") << 5.0 << "500" << wide("伍元 零角 零分 ");
        QTest::newRow("below a jiao") << 0.07 << "007" << wide("零元 零角 柒分 ");
        QTest::newRow("zero") << 0.0 << "000" << wide("零元 零角 零分 ");
        QTest::newRow("rounded to the fen") << 1.006 << "101" << wide("壹元 零角 壹分 ");
        QTest::newRow("one fen short of ten million")
            << 9999999.99 << "999999999" << wide("玖佰 玖拾 玖万 玖仟 玖佰 玖拾 玖元 玖角 玖分 ");
        QTest::newRow("ten million") << 10000000.0 << "1000000000"
                                     << wide("壹仟 零佰 零拾 零万 零仟 零佰 零拾 零元 零角 零分 ");
        QTest::newRow("hundreds of millions")
            << 123456789.5 << "12345678950"
            << wide("壹亿 贰仟 叁佰 肆拾 伍万 陆仟 柒佰 捌拾 玖元 伍角 零分 ");
        QTest::newRow("past fifteen digits") << 2e15 << "200000000000000000"
                                             << wide("贰仟 零佰 零拾 零万 零仟 零佰 零拾 零亿 零仟 零佰 零拾 "
                                                     "零万 零仟 零佰 零拾 零元 零角 零分 ");
    }
    void billCapitals()
    {
        QFETCH(double, amount);
        QFETCH(QString, digits);
        QFETCH(QString, capitals);
        QCOMPARE(BillAmountDigits(amount), digits);
        QCOMPARE(AmountToCapitals(BillAmountDigits(amount)), capitals);
    }

    void billKind()
    {
        QCOMPARE(BillKindText(Income), QStringLiteral("财务收入单"));
        QCOMPARE(BillKindText(Expense), QStringLiteral("财务支出单"));
        QCOMPARE(BillKindText(QStringLiteral("其他")), QStringLiteral("其他单"));
    }

    // 15 June 2006 with three numbers that contain SR060615, one of them in the middle of a
    // typed text: the next income number is SR06061504.
    void dateSchemeCountsTheBaseAnywhere()
    {
        Ledger ledger;
        const QDate day(2006, 6, 15);
        for (const char *serial : {"SR06061501", "SR06061502", "备注SR060615补"})
            addEntry({.kind = Income, .serial = QString::fromUtf8(serial), .account = ledger.bank});
        // Another day, and an expense of the same day, do not count for this income.
        addEntry({.kind = Income, .serial = QStringLiteral("SR06061601"), .account = ledger.bank});
        addEntry({.kind = Expense, .serial = QStringLiteral("ZC06061501"), .account = ledger.bank});
        QCOMPARE(MakeMoneySerial(Income, day, SerialTexts::ByDate), QStringLiteral("SR06061504"));
        QCOMPARE(MakeMoneySerial(Expense, day, SerialTexts::ByDate), QStringLiteral("ZC06061502"));
        QCOMPARE(MakeMoneySerial(Income, day.addDays(2), SerialTexts::ByDate), QStringLiteral("SR06061701"));
        QVERIFY(ledger.seams.messages.isEmpty());
    }

    // 41 expense rows give ZC000042, transfer halves included; income is counted apart.
    void numberSchemeCountsTheKind()
    {
        Ledger ledger;
        for (int i = 0; i < 39; ++i)
            addEntry({.kind = Expense, .serial = QStringLiteral("ZC%1").arg(i), .account = ledger.bank});
        // The two expense halves of transfers carry no number and still count here.
        addEntry({.kind = Expense, .account = ledger.bank, .reason = QStringLiteral("帐户平调")});
        addEntry({.kind = Expense, .account = ledger.bank, .reason = QStringLiteral("帐簿平调")});
        addEntry({.kind = Income, .account = ledger.bank, .reason = QStringLiteral("帐户平调")});
        QCOMPARE(
            MakeMoneySerial(Expense, QDate(2026, 6, 15), SerialTexts::ByNumber), QStringLiteral("ZC000042"));
        QCOMPARE(MakeMoneySerial(Income, QDate(2026, 6, 15), QStringLiteral("任何其他值")),
            QStringLiteral("SR000002"));
        // In the date scheme the same transfer halves count for nothing.
        QCOMPARE(
            MakeMoneySerial(Expense, QDate(2026, 6, 15), SerialTexts::ByDate), QStringLiteral("ZC26061501"));
    }

    void paddingIsAMinimumWidth()
    {
        Ledger ledger;
        for (int i = 1; i <= 99; ++i)
            addEntry({.kind = Income,
                .serial = QStringLiteral("SR260615%1").arg(i, 2, 10, QLatin1Char('0')),
                .account = ledger.bank});
        QCOMPARE(
            MakeMoneySerial(Income, QDate(2026, 6, 15), SerialTexts::ByDate), QStringLiteral("SR260615100"));
        // A kind of neither sort has no prefix.
        QCOMPARE(MakeMoneySerial(QStringLiteral("其他"), QDate(2026, 6, 15), SerialTexts::ByNumber),
            QStringLiteral("000001"));
    }

    void failedCountProposesNothing()
    {
        Ledger ledger;
        exec(QStringLiteral("Drop Table MoneyTable"));
        QCOMPARE(MakeMoneySerial(Income, QDate(2026, 6, 15), SerialTexts::ByDate), QString());
        QCOMPARE(MakeMoneySerial(Income, QDate(2026, 6, 15), SerialTexts::ByNumber), QString());
        QCOMPARE(ledger.seams.messageTexts(), QStringList({"打开数据库出错", "数据库打开失败"}));
    }
};

QUILL_TEST_MAIN(TestEntryRules)
#include "tst_entryrules.moc"
