#include "EntryFixture.h"
#include "app/Dialogs.h"
#include "app/Session.h"
#include "journal/DrawForm.h"
#include "storage/PublicFunction.h"
#include "support/ProgramRun.h"
#include "support/TestMain.h"

#include <QApplication>
#include <QDateEdit>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>

using namespace EntryTest;

namespace {
const QString Done = QStringLiteral("平调成功");
const QString Overdraft = QStringLiteral("输入的金额已经超过调出帐户所具有的资金，是否继续？");
const QString TransferRows = QStringLiteral("MoneyTable Where MoneyReason In ('帐户平调', '帐簿平调')");

QList<QVariantMap> transfers()
{
    return rows(QStringLiteral("Select * From ") + TransferRows + QStringLiteral(" Order By MoneyIndex"));
}

QVariant value(const QVariantMap &row, const char *column)
{
    return row.value(QString::fromLatin1(column));
}

int show(Ledger &ledger, TFormDraw &form, TestSupport::Seams::DialogScript script)
{
    ledger.seams.onDialog(QStringLiteral("TFormDraw"), std::move(script));
    return Platform::ShowModal(&form);
}

// Chooses the accounts (an empty name chooses none), types amount and remark, sets the day
// when given, and presses the transfer button.
void transfer(QDialog *d, const QString &source, const QString &target, const QString &amount,
    const QDate &day = {}, const QString &remark = {})
{
    if (!source.isEmpty())
        choose(d, "ComboBox1", source);
    if (!target.isEmpty())
        choose(d, "ComboBox2", target);
    type(d, "Edit2", amount);
    type(d, "Edit3", remark);
    if (day.isValid())
        child<QDateEdit>(d, "DateTimePicker1")->setDate(day);
    click(d, "BitBtn1");
}
} // namespace

class TestDrawForm : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    // The two rows as written: an expense on the source, an income on the target, the reason
    // by the accounts' types, names with quotes intact, nothing but MoneySum for the amount.
    void transferWritesTwoRows_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<int>("sourceType");
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("targetType");
        QTest::addColumn<QString>("reason");
        QTest::newRow("two bank accounts") << "中国银行" << 1 << "建设银行" << 1 << "帐户平调";
        QTest::newRow("cash to bank") << "库存现金" << 2 << "建设银行" << 1 << "帐簿平调";
        QTest::newRow("two cash accounts") << "零用金" << 2 << "库存现金" << 2 << "帐户平调";
        QTest::newRow("quotes in the names") << "O'Neil's 银行" << 1 << "D'Arcy 现金" << 2 << "帐簿平调";
    }
    void transferWritesTwoRows()
    {
        QFETCH(QString, source);
        QFETCH(int, sourceType);
        QFETCH(QString, target);
        QFETCH(int, targetType);
        QFETCH(QString, reason);
        Ledger ledger;
        Session().AccountBookFilter = MakeViewFilters(QStringLiteral("5"), true, Cashier).AccountBookFilter;
        const qint64 from = addAccount(source, sourceType, 1000);
        const qint64 to = addAccount(target, targetType);
        TFormDraw form;
        QSignalSpy refreshes(ShareDataModule, &TShareDataModule::refreshAllRequested);
        const int result = show(ledger, form, [&](QDialog *d) {
            const QStringList all = {QStringLiteral("工商银行"), source, target};
            QCOMPARE(items(d, "ComboBox1"), all);
            QCOMPARE(items(d, "ComboBox2"), all);
            QCOMPARE(child<QComboBox>(d, "ComboBox1")->currentIndex(), -1);
            QCOMPARE(child<QComboBox>(d, "ComboBox2")->currentIndex(), -1);
            QVERIFY(child<QComboBox>(d, "ComboBox1")->isEnabled());
            QCOMPARE(child<QDateEdit>(d, "DateTimePicker1")->date(), QDate(2026, 6, 15));
            QCOMPARE(focused(d), QStringLiteral("ComboBox1"));
            transfer(
                d, source, target, QStringLiteral("300.5"), QDate(2026, 6, 12), QStringLiteral("备用'金"));
            QVERIFY(!d->isVisible());
        });
        QCOMPARE(result, int(QDialog::Accepted));
        QCOMPARE(ledger.seams.messageTexts(), QStringList({Done}));
        QCOMPARE(refreshes.count(), 1);

        const QList<QVariantMap> written = transfers();
        QCOMPARE(written.size(), 2);
        const QVariantMap out = written[0], in = written[1];
        QCOMPARE(value(out, "MoneyKind").toString(), Expense);
        QCOMPARE(value(in, "MoneyKind").toString(), Income);
        QCOMPARE(value(out, "MoneyAccount").toLongLong(), from);
        QCOMPARE(value(in, "MoneyAccount").toLongLong(), to);
        QCOMPARE(value(out, "MoneySum").toDouble(), -300.5);
        QCOMPARE(value(in, "MoneySum").toDouble(), 300.5);
        QCOMPARE(value(out, "MoneyUser").toString(), QStringLiteral("调出->") + target);
        QCOMPARE(value(in, "MoneyUser").toString(), source + QStringLiteral("->调入"));
        for (const QVariantMap &row : written) {
            QCOMPARE(value(row, "MoneyReason").toString(), reason);
            QCOMPARE(value(row, "MoneyRecordTime").toString(), QStringLiteral("2026-06-20"));
            QCOMPARE(value(row, "MoneyCreateTime").toString(), QStringLiteral("2026-06-12"));
            QCOMPARE(value(row, "MoneyPower").toString(), Cashier);
            QCOMPARE(value(row, "MoneyRemark").toString(), QStringLiteral("备用'金"));
            QCOMPARE(value(row, "MoneyIn").toDouble(), 0.0);
            QCOMPARE(value(row, "MoneyOut").toDouble(), 0.0);
            QCOMPARE(value(row, "MoneyGetPay").toInt(), 0);
            for (const char *unwritten : {"MoneySerial", "MoneyMan", "MoneyType", "MoneyToken"})
                QVERIFY2(value(row, unwritten).isNull(), unwritten);
        }
    }

    // Each failed check shows its message, moves the focus (the same-account refusal leaves it
    // where it was) and writes nothing.
    void checksStopTheTransfer_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("amount");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        const QString bank = QStringLiteral("工商银行"), other = QStringLiteral("建设银行");
        const QString format = QStringLiteral("金额格式有误，请重新输入");
        QTest::newRow("no source") << "" << bank << "-5"
                                   << "请选择调出帐户"
                                   << "ComboBox1";
        QTest::newRow("no target") << bank << ""
                                   << "-5"
                                   << "请选择调入帐户"
                                   << "ComboBox2";
        QTest::newRow("same account") << bank << bank << "-5"
                                      << "调出帐户和调入帐户不能相同"
                                      << "Edit3";
        QTest::newRow("empty amount") << bank << other << "" << format << "Edit2";
        QTest::newRow("minus") << bank << other << "-5" << format << "Edit2";
        QTest::newRow("three decimals") << bank << other << "1.234"
                                        << "金额内容可能有误，请重新输入"
                                        << "Edit2";
        QTest::newRow("two points") << bank << other << "1..5" << format << "Edit2";
        QTest::newRow("a point alone") << bank << other << "." << format << "Edit2";
    }
    void checksStopTheTransfer()
    {
        QFETCH(QString, source);
        QFETCH(QString, target);
        QFETCH(QString, amount);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        Ledger ledger;
        addAccount(QStringLiteral("建设银行"));
        TFormDraw form;
        QSignalSpy refreshes(ShareDataModule, &TShareDataModule::refreshAllRequested);
        show(ledger, form, [&](QDialog *d) {
            if (!source.isEmpty())
                choose(d, "ComboBox1", source);
            if (!target.isEmpty())
                choose(d, "ComboBox2", target);
            type(d, "Edit2", amount);
            child<QWidget>(d, "Edit3")->setFocus();
            click(d, "BitBtn1");
            QCOMPARE(ledger.seams.messageTexts(), QStringList({message}));
            QCOMPARE(focused(d), focus);
            QVERIFY(d->isVisible());
        });
        QCOMPARE(count(TransferRows), 0);
        QCOMPARE(refreshes.count(), 0);
    }

    // From an account's dialog the source is fixed: the same account as target is refused,
    // another one takes an amount of 0 as two rows of 0; the next show offers every source.
    void fixedSource()
    {
        Ledger ledger;
        const qint64 other = addAccount(QStringLiteral("建设银行"));
        TFormDraw form;
        form.Request = DrawRequest {QStringLiteral("工商银行")};
        show(ledger, form, [&](QDialog *d) {
            QCOMPARE(items(d, "ComboBox1"), QStringList({"工商银行"}));
            QCOMPARE(child<QComboBox>(d, "ComboBox1")->currentText(), QStringLiteral("工商银行"));
            QCOMPARE(focused(d), QStringLiteral("ComboBox2"));
            QVERIFY(!child<QComboBox>(d, "ComboBox1")->isEnabled());
            QCOMPARE(items(d, "ComboBox2"), QStringList({"工商银行", "建设银行"}));
            QVERIFY(form.Request.FixedOutAccountName.isEmpty());
            // Each label names its control, for mnemonics and screen readers.
            QStringList buddies;
            for (const QString caption : {"由", "调出至", "金额", "时间", "备注"})
                for (QLabel *label : d->findChildren<QLabel *>())
                    if (label->text() == caption && label->buddy())
                        buddies << label->buddy()->objectName();
            QCOMPARE(buddies, QStringList({"ComboBox1", "ComboBox2", "Edit2", "DateTimePicker1", "Edit3"}));
            transfer(d, {}, QStringLiteral("工商银行"), QStringLiteral("0"));
            QVERIFY(d->isVisible());
            transfer(d, {}, QStringLiteral("建设银行"), QStringLiteral("0"));
        });
        QCOMPARE(ledger.seams.messageTexts(), QStringList({"调出帐户和调入帐户不能相同", Done}));
        const QList<QVariantMap> written = transfers();
        QCOMPARE(written.size(), 2);
        QCOMPARE(value(written[0], "MoneyAccount").toLongLong(), ledger.bank);
        QCOMPARE(value(written[1], "MoneyAccount").toLongLong(), other);
        QCOMPARE(value(written[0], "MoneySum").toDouble(), 0.0);
        QCOMPARE(value(written[1], "MoneySum").toDouble(), 0.0);

        show(ledger, form, [&](QDialog *d) {
            QVERIFY(child<QComboBox>(d, "ComboBox1")->isEnabled());
            QCOMPARE(items(d, "ComboBox1"), QStringList({"工商银行", "建设银行"}));
        });
    }

    // The question goes by the source's balance at the end of the transfer day, over the
    // entries the user may see; an amount equal to it goes on without asking.
    void overdraftByBalanceAtTheDay_data()
    {
        QTest::addColumn<QDate>("day");
        QTest::addColumn<QString>("amount");
        QTest::addColumn<bool>("overview");
        QTest::addColumn<bool>("asks");
        QTest::addColumn<bool>("answer");
        const QDate before(2026, 6, 9), funded(2026, 6, 10), between(2026, 6, 11), later(2026, 6, 12);
        QTest::newRow("before the funding entry, No") << before << "500.3" << true << true << false;
        QTest::newRow("before the funding entry, Yes") << before << "500.3" << true << true << true;
        QTest::newRow("equal at the end of the funding day") << funded << "500.3" << true << false << true;
        QTest::newRow("a cent more") << funded << "500.31" << true << true << false;
        QTest::newRow("entries after the day left out") << between << "1500.3" << true << true << false;
        QTest::newRow("another user's entry, with 数据总览") << later << "1500.3" << true << false << true;
        QTest::newRow("another user's entry, without") << later << "1500.3" << false << true << false;
    }
    void overdraftByBalanceAtTheDay()
    {
        QFETCH(QDate, day);
        QFETCH(QString, amount);
        QFETCH(bool, overview);
        QFETCH(bool, asks);
        QFETCH(bool, answer);
        Ledger ledger;
        exec(QStringLiteral("Update Account Set AccountBase = 100.1 Where AccountIndex = ?"), {ledger.bank});
        addEntry({.kind = Income, .account = ledger.bank, .createTime = "2026-06-10", .amount = 400.2});
        addEntry({.kind = Income,
            .account = ledger.bank,
            .createTime = "2026-06-12",
            .amount = 1000,
            .power = QStringLiteral("会计")});
        addAccount(QStringLiteral("建设银行"));
        const ViewFilters filters = MakeViewFilters(QStringLiteral("1"), overview, Cashier);
        Session().RightOverview = overview;
        Session().AccountBookFilter = filters.AccountBookFilter;
        Session().MoneyOwnerFilter = filters.MoneyOwnerFilter;
        if (asks)
            ledger.seams.answerQuestions({answer});
        TFormDraw form;
        show(ledger, form, [&](QDialog *d) {
            transfer(d, QStringLiteral("工商银行"), QStringLiteral("建设银行"), amount, day);
        });
        const bool written = !asks || answer;
        QStringList expected;
        if (asks)
            expected << Overdraft;
        if (written)
            expected << Done;
        QCOMPARE(ledger.seams.messageTexts(), expected);
        if (asks)
            QCOMPARE(ledger.seams.messages.first().kind, Platform::MessageKind::Question);
        QCOMPARE(count(TransferRows), written ? 2 : 0);
    }

    // The target row failing after the source row was written: neither row stays, the failure
    // is shown and the form stays open for another try.
    void secondRowFailingWritesNeither()
    {
        Ledger ledger;
        exec(QStringLiteral("Update Account Set AccountBase = 1000 Where AccountIndex = ?"), {ledger.bank});
        addAccount(QStringLiteral("建设银行"));
        exec(QStringLiteral("Create Trigger RefuseIncome Before Insert On MoneyTable "
                            "When New.MoneyKind = '财务收入' Begin Select Raise(Abort, 'refused'); End"));
        TFormDraw form;
        QSignalSpy refreshes(ShareDataModule, &TShareDataModule::refreshAllRequested);
        const int result = show(ledger, form, [&](QDialog *d) {
            transfer(d, QStringLiteral("工商银行"), QStringLiteral("建设银行"), QStringLiteral("200"));
            QVERIFY(d->isVisible());
            QCOMPARE(count(TransferRows), 0);
            exec(QStringLiteral("Drop Trigger RefuseIncome"));
            click(d, "BitBtn1");
        });
        QCOMPARE(result, int(QDialog::Accepted));
        QCOMPARE(ledger.seams.messageTexts(), QStringList({"SQL命令执行出错", Done}));
        QCOMPARE(count(TransferRows), 2);
        QCOMPARE(refreshes.count(), 1);
    }

    // The main window's 平调 is refused while the account book reads "all accounts"; otherwise
    // the form opens with an empty request, whatever an earlier caller left.
    void openByAccountBook_data()
    {
        QTest::addColumn<QString>("book");
        QTest::addColumn<bool>("opens");
        QTest::newRow("all accounts") << "7" << false;
        QTest::newRow("bank and cash") << "5" << true;
        QTest::newRow("bank") << "1" << true;
        QTest::newRow("not set") << "" << true;
    }
    void openByAccountBook()
    {
        QFETCH(QString, book);
        QFETCH(bool, opens);
        Ledger ledger;
        if (!book.isEmpty())
            WriteSetting(Settings::AccountBook, book);
        TFormDraw form;
        form.Request = DrawRequest {QStringLiteral("工商银行")};
        bool sourceFree = false;
        if (opens)
            ledger.seams.onDialog(QStringLiteral("TFormDraw"),
                [&](QDialog *d) { sourceFree = child<QComboBox>(d, "ComboBox1")->isEnabled(); });
        QVERIFY(!OpenTransfer(&form));
        QCOMPARE(ledger.seams.shownDialogs.size(), opens ? 1 : 0);
        QCOMPARE(sourceFree, opens);
        QCOMPARE(ledger.seams.messageTexts(),
            opens ? QStringList() : QStringList({"为免出现平调错误，在“所有帐户”状态下不提供平调功能！"}));
    }

    // In the running program: the form takes the main window's day, and the refresh after the
    // transfer shows the new balances on the account panels.
    void transferInTheProgram()
    {
        TestSupport::Run run;
        {
            auto ledger = run.ledger();
            ledger->addAccount(QStringLiteral("工商银行"), 1, 1000);
            ledger->addAccount(QStringLiteral("建设银行"), 1, 0);
        }
        QVERIFY(run.startAs(TestSupport::Cashier));
        run.window()->setCurrentDay(QDate(2026, 7, 1));
        run.seams.onDialog(QStringLiteral("TFormDraw"), [](QDialog *d) {
            QCOMPARE(child<QDateEdit>(d, "DateTimePicker1")->date(), QDate(2026, 7, 1));
            transfer(d, QStringLiteral("工商银行"), QStringLiteral("建设银行"), QStringLiteral("250"));
        });
        QVERIFY(OpenTransfer(run.program->dialogs()->draw));
        QCOMPARE(run.seams.lastMessage(), Done);
        auto balance = [&run](int panel) {
            auto *p = TestSupport::child<QWidget>(run.window(), QStringLiteral("AccountPanel%1").arg(panel));
            return TestSupport::child<QLabel>(p, QStringLiteral("AccountMoney"))->text();
        };
        QCOMPARE(balance(0), QStringLiteral("750 元"));
        QCOMPARE(balance(1), QStringLiteral("250 元"));
    }
};

QUILL_TEST_MAIN(TestDrawForm)
#include "tst_drawform.moc"
