#include "EntryFixture.h"
#include "journal/GetPayForm.h"
#include "platform/Seams.h"
#include "receivables/GetPayForm4.h"
#include "storage/PublicFunction.h"
#include "support/TestMain.h"
#include "widgets/DataGrid.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

using namespace EntryTest;

namespace {
const QString Inserted = QStringLiteral("记录新增成功");
const QString Changed = QStringLiteral("记录修改成功");

bool shown(QObject *dialog, const char *button)
{
    return !child<QWidget>(dialog, button)->isHidden();
}

void setDate(QObject *dialog, const QDate &date)
{
    child<QDateEdit>(dialog, "DateTimePicker1")->setDate(date);
}

QVariant value(const QVariantMap &row, const char *column)
{
    return row.value(QString::fromLatin1(column));
}

// A script for the matching dialog that picks the record with this index.
TestSupport::Seams::DialogScript pickRecord(qint64 index, QString *user = nullptr, QString *kind = nullptr)
{
    return [=](QDialog *d) {
        auto *dialog = static_cast<TFormGetPay4 *>(d);
        if (user)
            *user = dialog->Request.MatchUser;
        if (kind)
            *kind = dialog->Request.MatchKind;
        auto *grid = child<DataGrid>(d, "DBGridEh1");
        QVERIFY(grid->selectRowWithKey(QStringLiteral("GetPayIndex"), index));
        d->findChild<QAction *>(QStringLiteral("ActionYes"))->trigger();
    };
}
} // namespace

class TestEntryForm : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    // An expense of 80 from the main window: numbered for the current day, stored as 0/80/−80
    // with the cashier as owner, and shown again as 80.
    void expenseStoredAndShownAgain()
    {
        Ledger ledger;
        Forms forms;
        QSignalSpy refreshes(ShareDataModule, &TShareDataModule::refreshAllRequested);
        forms.newEntry(Expense);
        const int result = show(ledger, forms, [&](QDialog *d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("新增财务支出"));
            QCOMPARE(text(d, "Edit4"), QStringLiteral("ZC26061501"));
            QCOMPARE(child<QDateEdit>(d, "DateTimePicker1")->date(), QDate(2026, 6, 15));
            QCOMPARE(items(d, "ComboBox1"), QStringList({"工商银行"}));
            QVERIFY(child<QComboBox>(d, "ComboBox1")->isEnabled());
            // The expense reasons in the order they were added, the first one selected.
            const QStringList reasons = items(d, "ComboBox2");
            QCOMPARE(reasons.size(), 10);
            QCOMPARE(reasons.first(), QStringLiteral("办公费用"));
            QCOMPARE(reasons.last(), QStringLiteral("其他支出"));
            QCOMPARE(text(d, "ComboBox2"), QStringLiteral("办公费用"));
            QCOMPARE(text(d, "ComboBox3"), QStringLiteral("日常收支"));
            QCOMPARE(text(d, "ComboBox4"), QStringLiteral("现金"));
            QCOMPARE(text(d, "ComboBox6"), QStringLiteral("本人"));
            QCOMPARE(text(d, "ComboBox5"), QString());
            QCOMPARE(focused(d), QStringLiteral("Edit4"));
            QVERIFY(shown(d, "BitBtn1"));
            QVERIFY(!shown(d, "BitBtn3"));
            QVERIFY(!shown(d, "BitBtn4"));
            QVERIFY(!shown(d, "PrintButton"));
            choose(d, "ComboBox5", QStringLiteral("零散客户"));
            type(d, "Edit2", QStringLiteral("80"));
            type(d, "Edit3", QStringLiteral("午餐 'A'"));
            click(d, "BitBtn1");
            QVERIFY(!d->isVisible());
        });
        QCOMPARE(result, int(QDialog::Accepted));
        QCOMPARE(ledger.seams.messageTexts(), QStringList({Inserted}));
        QCOMPARE(refreshes.count(), 1);

        const qint64 index = lastEntryIndex();
        const QVariantMap row = entry(index);
        QCOMPARE(value(row, "MoneyKind").toString(), Expense);
        QCOMPARE(value(row, "MoneyGetPay").toInt(), 0);
        QCOMPARE(value(row, "MoneySerial").toString(), QStringLiteral("ZC26061501"));
        QCOMPARE(value(row, "MoneyAccount").toLongLong(), ledger.bank);
        QCOMPARE(value(row, "MoneyUser").toString(), QStringLiteral("零散客户"));
        QCOMPARE(value(row, "MoneyRecordTime").toString(), QStringLiteral("2026-06-20"));
        QCOMPARE(value(row, "MoneyCreateTime").toString(), QStringLiteral("2026-06-15"));
        QCOMPARE(value(row, "MoneyIn").toDouble(), 0.0);
        QCOMPARE(value(row, "MoneyOut").toDouble(), 80.0);
        QCOMPARE(value(row, "MoneySum").toDouble(), -80.0);
        QCOMPARE(value(row, "MoneyReason").toString(), QStringLiteral("办公费用"));
        QCOMPARE(value(row, "MoneyMan").toString(), QStringLiteral("本人"));
        QCOMPARE(value(row, "MoneyType").toString(), QStringLiteral("日常收支"));
        QCOMPARE(value(row, "MoneyToken").toString(), QStringLiteral("现金"));
        QCOMPARE(value(row, "MoneyRemark").toString(), QStringLiteral("午餐 'A'"));
        QCOMPARE(value(row, "MoneyPower").toString(), Cashier);

        forms.editEntry(index, Expense);
        show(ledger, forms, [&](QDialog *d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("修改财务支出"));
            QCOMPARE(text(d, "Edit2"), QStringLiteral("80"));
            QCOMPARE(text(d, "Edit4"), QStringLiteral("ZC26061501"));
            QCOMPARE(text(d, "ComboBox1"), QStringLiteral("工商银行"));
            QCOMPARE(text(d, "ComboBox5"), QStringLiteral("零散客户"));
            QCOMPARE(text(d, "Edit3"), QStringLiteral("午餐 'A'"));
            QCOMPARE(child<QDateEdit>(d, "DateTimePicker1")->date(), QDate(2026, 6, 15));
            QVERIFY(shown(d, "BitBtn1"));
            QVERIFY(shown(d, "BitBtn3"));
            QVERIFY(!shown(d, "BitBtn4"));
            QVERIFY(shown(d, "PrintButton"));
            QCOMPARE(focused(d), QStringLiteral("Edit4"));
        });
    }

    void acceptedAmounts_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<double>("stored");
        QTest::newRow("zero") << "0" << 0.0;
        QTest::newRow("point at the end") << "12." << 12.0;
        QTest::newRow("point first") << ".5" << 0.5;
        QTest::newRow("not rounded") << "19.99" << 19.99;
    }
    void acceptedAmounts()
    {
        QFETCH(QString, typed);
        QFETCH(double, stored);
        Ledger ledger;
        Forms forms;
        forms.newEntry(Income);
        show(ledger, forms, [&](QDialog *d) {
            QVERIFY(items(d, "ComboBox2").contains(QStringLiteral("销售收入")));
            QVERIFY(!items(d, "ComboBox2").contains(QStringLiteral("办公费用")));
            choose(d, "ComboBox2", QStringLiteral("销售收入"));
            type(d, "Edit2", typed);
            click(d, "BitBtn1");
        });
        QCOMPARE(ledger.seams.messageTexts(), QStringList({Inserted}));
        const QVariantMap row = entry(lastEntryIndex());
        QCOMPARE(value(row, "MoneyKind").toString(), Income);
        QCOMPARE(value(row, "MoneyIn").toDouble(), stored);
        QCOMPARE(value(row, "MoneyOut").toDouble(), 0.0);
        QCOMPARE(value(row, "MoneySum").toDouble(), stored);
        QCOMPARE(value(row, "MoneyReason").toString(), QStringLiteral("销售收入"));
    }

    // Texts with "'" are stored as typed and found again by equality.
    void quotesStoredAndMatchedIntact()
    {
        Ledger ledger;
        const QString reason = QStringLiteral("O'Reilly 书款");
        exec(QStringLiteral("Insert Into Parameter (ParameterType, ParameterValue) Values (0, ?)"), {reason});
        Forms forms;
        forms.newEntry(Expense);
        show(ledger, forms, [&](QDialog *d) {
            choose(d, "ComboBox2", reason);
            child<QComboBox>(d, "ComboBox5")->setEditText(QStringLiteral("'; Drop Table MoneyTable; --"));
            child<QComboBox>(d, "ComboBox6")->setEditText(QStringLiteral("D'Arcy"));
            type(d, "Edit2", QStringLiteral("12"));
            type(d, "Edit3", QStringLiteral("it's \"ok\""));
            click(d, "BitBtn1");
        });
        const qint64 index = lastEntryIndex();
        QCOMPARE(value(entry(index), "MoneyReason").toString(), reason);
        QCOMPARE(value(entry(index), "MoneyUser").toString(), QStringLiteral("'; Drop Table MoneyTable; --"));
        QCOMPARE(value(entry(index), "MoneyMan").toString(), QStringLiteral("D'Arcy"));
        QCOMPARE(value(entry(index), "MoneyRemark").toString(), QStringLiteral("it's \"ok\""));
        forms.editEntry(index, Expense);
        show(ledger, forms, [&](QDialog *d) {
            QCOMPARE(text(d, "ComboBox2"), reason);
            QCOMPARE(text(d, "ComboBox6"), QStringLiteral("D'Arcy"));
            QCOMPARE(text(d, "Edit3"), QStringLiteral("it's \"ok\""));
        });
    }

    // A pasted customer name and remark longer than any box limit are stored whole, with the
    // success message, and shown whole again when the entry is opened.
    void longPastedTextsStoredWhole()
    {
        Ledger ledger;
        const QString remark = QString(40000, QChar(u'备')) + QStringLiteral("尾");
        const QString customer = QString(33000, QChar(u'客')) + QStringLiteral("尾");
        const auto paste = [](QLineEdit *box, const QString &text) {
            QGuiApplication::clipboard()->setText(text);
            box->clear();
            box->paste();
        };
        Forms forms;
        forms.newEntry(Expense);
        show(ledger, forms, [&](QDialog *d) {
            paste(child<QComboBox>(d, "ComboBox5")->lineEdit(), customer);
            paste(child<QLineEdit>(d, "Edit3"), remark);
            QCOMPARE(text(d, "Edit3").size(), remark.size());
            type(d, "Edit2", QStringLiteral("12"));
            click(d, "BitBtn1");
        });
        QCOMPARE(ledger.seams.messageTexts(), QStringList {Inserted});
        const qint64 index = lastEntryIndex();
        QCOMPARE(value(entry(index), "MoneyRemark").toString(), remark);
        QCOMPARE(value(entry(index), "MoneyUser").toString(), customer);
        forms.editEntry(index, Expense);
        show(ledger, forms, [&](QDialog *d) {
            QCOMPARE(text(d, "Edit3"), remark);
            QCOMPARE(text(d, "ComboBox5"), customer);
            click(d, "BitBtn1");
        });
        QCOMPARE(value(entry(index), "MoneyRemark").toString(), remark);
        QCOMPARE(value(entry(index), "MoneyUser").toString(), customer);
    }

    // Each failed check shows its message, puts the focus on its field and writes nothing.
    void checksStopTheSave_data()
    {
        QTest::addColumn<QString>("emptied");
        QTest::addColumn<QString>("amount");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        QTest::newRow("no account") << "Account Where AccountIndex > 1"
                                    << "-5"
                                    << "请选择一个帐户"
                                    << "ComboBox1";
        QTest::newRow("no reason") << "Parameter Where ParameterType = 0"
                                   << "-5"
                                   << "请选择帐款项目"
                                   << "ComboBox2";
        QTest::newRow("empty amount") << ""
                                      << ""
                                      << "金额格式有误，请重新输入"
                                      << "Edit2";
        QTest::newRow("minus") << "Parameter Where ParameterType = 2"
                               << "-5"
                               << "金额格式有误，请重新输入"
                               << "Edit2";
        QTest::newRow("three decimals") << "Parameter Where ParameterType = 2"
                                        << "1.234"
                                        << "金额内容可能有误，请重新输入"
                                        << "Edit2";
        QTest::newRow("two points") << "Parameter Where ParameterType = 2"
                                    << "1..5"
                                    << "金额格式有误，请重新输入"
                                    << "Edit2";
        QTest::newRow("a point alone") << ""
                                       << "."
                                       << "金额格式有误，请重新输入"
                                       << "Edit2";
        // Beyond the limit the totals hold exactly; the limit itself is stored (amountLimits).
        QTest::newRow("above the limit") << ""
                                         << "10000000000"
                                         << "金额超出范围，请重新输入"
                                         << "Edit2";
        QTest::newRow("far above the limit") << ""
                                             << "12345678901234567890"
                                             << "金额超出范围，请重新输入"
                                             << "Edit2";
        QTest::newRow("no category") << "Parameter Where ParameterType In (2, 3)"
                                     << "80"
                                     << "请选择帐款类别"
                                     << "ComboBox3";
        QTest::newRow("no voucher") << "Parameter Where ParameterType = 3"
                                    << "80"
                                    << "请选择帐款凭证"
                                    << "ComboBox4";
    }
    void checksStopTheSave()
    {
        QFETCH(QString, emptied);
        QFETCH(QString, amount);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        Ledger ledger;
        if (!emptied.isEmpty())
            exec(QStringLiteral("Delete From ") + emptied);
        const int before = count(QStringLiteral("MoneyTable"));
        Forms forms;
        QSignalSpy refreshes(ShareDataModule, &TShareDataModule::refreshAllRequested);
        forms.newEntry(Expense);
        show(ledger, forms, [&](QDialog *d) {
            type(d, "Edit2", amount);
            click(d, "BitBtn1");
            QCOMPARE(ledger.seams.messageTexts(), QStringList({message}));
            QCOMPARE(focused(d), focus);
            QVERIFY(d->isVisible());
        });
        QCOMPARE(count(QStringLiteral("MoneyTable")), before);
        QCOMPARE(refreshes.count(), 0);
    }

    // The account is looked up by name when saving: gone since the form opened, nothing is
    // written and the focus stays where it was.
    void accountGoneMeanwhile()
    {
        Ledger ledger;
        Forms forms;
        forms.newEntry(Expense);
        show(ledger, forms, [&](QDialog *d) {
            type(d, "Edit2", QStringLiteral("80"));
            exec(QStringLiteral("Update Account Set AccountName = '农业银行' Where AccountIndex = ?"),
                {ledger.bank});
            click(d, "BitBtn1");
            QCOMPARE(ledger.seams.messageTexts(), QStringList({"找不到所需要的帐户"}));
            QCOMPARE(focused(d), QStringLiteral("Edit4"));
            QVERIFY(d->isVisible());
        });
        QCOMPARE(count(QStringLiteral("MoneyTable Where MoneyIndex > 1")), 0);
    }

    // An edit changes what the form shows and never the kind, the link, the record day or the
    // owner; the matching dialog is not offered.
    void editKeepsKindLinkRecordDayAndOwner()
    {
        Ledger ledger;
        const qint64 other = addAccount(QStringLiteral("建设银行"));
        const qint64 linked = addRecord(QStringLiteral("华联商场"), QStringLiteral("应收"), 1000);
        const qint64 index = addEntry({.kind = Income,
            .getPay = linked,
            .serial = QStringLiteral("SR26060101"),
            .account = ledger.bank,
            .user = QStringLiteral("华联商场"),
            .recordTime = QStringLiteral("2026-01-05"),
            .amount = 300,
            .reason = QStringLiteral("销售收入"),
            .power = QStringLiteral("会计")});
        Forms forms;
        forms.editEntry(index, Income);
        const int result = show(ledger, forms, [&](QDialog *d) {
            QCOMPARE(forms.form.Request.EntryGetPay, linked);
            choose(d, "ComboBox1", QStringLiteral("建设银行"));
            child<QComboBox>(d, "ComboBox5")->setEditText(QStringLiteral("华联商场'分店"));
            type(d, "Edit2", QStringLiteral("350.5"));
            type(d, "Edit4", QStringLiteral("手写 01"));
            setDate(d, QDate(2026, 6, 12));
            choose(d, "ComboBox2", QStringLiteral("服务收入"));
            child<QComboBox>(d, "ComboBox6")->setEditText(QStringLiteral("小王"));
            choose(d, "ComboBox3", QStringLiteral("往来款项"));
            choose(d, "ComboBox4", QStringLiteral("支票"));
            type(d, "Edit3", QStringLiteral("改过"));
            click(d, "BitBtn1");
        });
        QCOMPARE(result, int(QDialog::Accepted));
        QCOMPARE(ledger.seams.messageTexts(), QStringList({Changed}));
        QCOMPARE(ledger.seams.shownDialogs, QStringList({"TFormGetPay"}));
        const QVariantMap row = entry(index);
        QCOMPARE(value(row, "MoneyKind").toString(), Income);
        QCOMPARE(value(row, "MoneyGetPay").toLongLong(), linked);
        QCOMPARE(value(row, "MoneyRecordTime").toString(), QStringLiteral("2026-01-05"));
        QCOMPARE(value(row, "MoneyPower").toString(), QStringLiteral("会计"));
        QCOMPARE(value(row, "MoneyAccount").toLongLong(), other);
        QCOMPARE(value(row, "MoneyUser").toString(), QStringLiteral("华联商场'分店"));
        QCOMPARE(value(row, "MoneySerial").toString(), QStringLiteral("手写 01"));
        QCOMPARE(value(row, "MoneyCreateTime").toString(), QStringLiteral("2026-06-12"));
        QCOMPARE(value(row, "MoneyIn").toDouble(), 350.5);
        QCOMPARE(value(row, "MoneyOut").toDouble(), 0.0);
        QCOMPARE(value(row, "MoneySum").toDouble(), 350.5);
        QCOMPARE(value(row, "MoneyReason").toString(), QStringLiteral("服务收入"));
        QCOMPARE(value(row, "MoneyMan").toString(), QStringLiteral("小王"));
        QCOMPARE(value(row, "MoneyType").toString(), QStringLiteral("往来款项"));
        QCOMPARE(value(row, "MoneyToken").toString(), QStringLiteral("支票"));
        QCOMPARE(value(row, "MoneyRemark").toString(), QStringLiteral("改过"));
        // The record it settles follows the new amount.
        QCOMPARE(value(record(linked), "GetPaySum2").toDouble(), 350.5);
        QCOMPARE(value(record(linked), "GetPaySum3").toDouble(), 649.5);
        QCOMPARE(forms.form.Request.EntryGetPay, qint64(0));
    }

    void editButtonsByRightAndReason_data()
    {
        QTest::addColumn<QString>("reason");
        QTest::addColumn<bool>("rightEdit");
        QTest::addColumn<bool>("save");
        QTest::addColumn<bool>("remove");
        QTest::newRow("entry, with the right") << "办公费用" << true << true << true;
        QTest::newRow("entry, without") << "办公费用" << false << false << false;
        QTest::newRow("transfer half, with the right") << "帐户平调" << true << false << true;
        QTest::newRow("book transfer half, with the right") << "帐簿平调" << true << false << true;
        QTest::newRow("transfer half, without") << "帐户平调" << false << false << false;
    }
    void editButtonsByRightAndReason()
    {
        QFETCH(QString, reason);
        QFETCH(bool, rightEdit);
        QFETCH(bool, save);
        QFETCH(bool, remove);
        Ledger ledger;
        Session().RightEdit = rightEdit;
        const qint64 index = addEntry({.account = ledger.bank, .amount = 50, .reason = reason});
        Forms forms;
        forms.editEntry(index, Expense);
        show(ledger, forms, [&](QDialog *d) {
            QCOMPARE(shown(d, "BitBtn1"), save);
            QCOMPARE(shown(d, "BitBtn3"), remove);
            QVERIFY(!shown(d, "BitBtn4"));
            QVERIFY(shown(d, "PrintButton"));
        });
    }

    // A reason, category or voucher that its list no longer offers (renamed or deleted since)
    // survives a plain save of the entry.
    void staleChoicesKeptOnSave_data()
    {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("combo");
        QTest::newRow("reason") << "MoneyReason"
                                << "ComboBox2";
        QTest::newRow("category") << "MoneyType"
                                  << "ComboBox3";
        QTest::newRow("voucher") << "MoneyToken"
                                 << "ComboBox4";
    }
    void staleChoicesKeptOnSave()
    {
        QFETCH(QString, column);
        QFETCH(QString, combo);
        const QString stale = QStringLiteral("已改名的项");
        Ledger ledger;
        const qint64 index = addEntry({.account = ledger.bank, .amount = 50});
        exec(QStringLiteral("Update MoneyTable Set %1 = ? Where MoneyIndex = ?").arg(column), {stale, index});
        Forms forms;
        forms.editEntry(index, Expense);
        show(ledger, forms, [&](QDialog *d) {
            QCOMPARE(text(d, qPrintable(combo)), stale);
            click(d, "BitBtn1");
        });
        QCOMPARE(ledger.seams.messageTexts(), QStringList({Changed}));
        QCOMPARE(value(entry(index), qPrintable(column)).toString(), stale);
        // A new entry is offered the list as it stands.
        forms.newEntry(Expense);
        show(ledger, forms, [&](QDialog *d) { QVERIFY(!items(d, qPrintable(combo)).contains(stale)); });
    }

    // Deleting one half of a transfer deletes that row only.
    void transferHalfDeletedAlone()
    {
        Ledger ledger;
        const qint64 cash = addAccount(QStringLiteral("库存现金"));
        const qint64 out
            = addEntry({.account = ledger.bank, .amount = 500, .reason = QStringLiteral("帐户平调")});
        const qint64 in = addEntry(
            {.kind = Income, .account = cash, .amount = 500, .reason = QStringLiteral("帐户平调")});
        Forms forms;
        forms.editEntry(out, Expense);
        ledger.seams.answerQuestions({true});
        QCOMPARE(show(ledger, forms, [&](QDialog *d) { click(d, "BitBtn3"); }), int(QDialog::Accepted));
        QVERIFY(entry(out).isEmpty());
        QCOMPARE(value(entry(in), "MoneySum").toDouble(), 500.0);
    }

    void missingEntryClosesAtOnce_data()
    {
        QTest::addColumn<bool>("accountDeleted");
        QTest::newRow("no such entry") << false;
        QTest::newRow("its account deleted") << true;
    }
    void missingEntryClosesAtOnce()
    {
        QFETCH(bool, accountDeleted);
        Ledger ledger;
        qint64 index = 999;
        if (accountDeleted) {
            const qint64 gone = addAccount(QStringLiteral("已删帐户"));
            index = addEntry({.account = gone, .amount = 5});
            exec(QStringLiteral("Delete From Account Where AccountIndex = ?"), {gone});
        }
        Forms forms;
        forms.editEntry(index, Expense);
        bool closed = false;
        const int result = show(ledger, forms, [&](QDialog *d) {
            QCoreApplication::processEvents();
            closed = !d->isVisible();
        });
        QVERIFY(closed);
        QCOMPARE(result, int(QDialog::Rejected));
        QCOMPARE(ledger.seams.messageTexts(), QStringList({"找不到要修改的记录"}));
    }

    // An entry of an account the list does not offer (another book) stays on that account.
    void entryOfAnotherBookKeepsItsAccount()
    {
        Ledger ledger;
        const qint64 cash = addAccount(QStringLiteral("库存现金"), 2);
        const qint64 index = addEntry({.account = cash, .amount = 40});
        Forms forms;
        forms.editEntry(index, Expense);
        show(ledger, forms, [&](QDialog *d) {
            QCOMPARE(items(d, "ComboBox1"), QStringList({"工商银行", "库存现金"}));
            QCOMPARE(text(d, "ComboBox1"), QStringLiteral("库存现金"));
            type(d, "Edit2", QStringLiteral("45"));
            click(d, "BitBtn1");
        });
        QCOMPARE(value(entry(index), "MoneyAccount").toLongLong(), cash);
        QCOMPARE(value(entry(index), "MoneyOut").toDouble(), 45.0);
        // The next show offers the book's accounts only again.
        forms.newEntry(Expense);
        show(ledger, forms, [&](QDialog *d) { QCOMPARE(items(d, "ComboBox1"), QStringList({"工商银行"})); });
    }

    void fixedAccountIsTheOnlyChoice()
    {
        Ledger ledger;
        const qint64 cash = addAccount(QStringLiteral("库存现金"), 2);
        Forms forms;
        forms.newEntry(Income);
        forms.form.Request.FixedAccountName = QStringLiteral("库存现金");
        show(ledger, forms, [&](QDialog *d) {
            QCOMPARE(items(d, "ComboBox1"), QStringList({"库存现金"}));
            QVERIFY(!child<QComboBox>(d, "ComboBox1")->isEnabled());
            QVERIFY(forms.form.Request.FixedAccountName.isEmpty());
            type(d, "Edit2", QStringLiteral("10"));
            click(d, "BitBtn1");
        });
        QCOMPARE(value(entry(lastEntryIndex()), "MoneyAccount").toLongLong(), cash);
        show(ledger, forms, [&](QDialog *d) {
            QCOMPARE(items(d, "ComboBox1"), QStringList({"工商银行"}));
            QVERIFY(child<QComboBox>(d, "ComboBox1")->isEnabled());
        });
    }

    // What the receivable dialog presets: applied to the new entry, then cleared.
    void presetsAppliedOnceThenCleared()
    {
        Ledger ledger;
        Forms forms;
        TFormGetPay &f = forms.form;
        forms.newEntry(Income);
        f.Request.PresetUser = QStringLiteral("华联商场");
        f.Request.PresetAmount = QStringLiteral("120");
        f.Request.PresetReason = QStringLiteral("利息收入");
        f.Request.PresetMan = QStringLiteral("不在名单");
        f.Request.PresetRemark = QStringLiteral("预设");
        show(ledger, forms, [&](QDialog *d) {
            QCOMPARE(text(d, "ComboBox5"), QStringLiteral("华联商场"));
            QCOMPARE(text(d, "Edit2"), QStringLiteral("120"));
            QCOMPARE(text(d, "ComboBox2"), QStringLiteral("利息收入"));
            QCOMPARE(text(d, "ComboBox6"), QStringLiteral("本人"));
            QCOMPARE(text(d, "Edit3"), QStringLiteral("预设"));
        });
        QVERIFY(f.Request.PresetUser.isEmpty() && f.Request.PresetAmount.isEmpty()
            && f.Request.PresetReason.isEmpty() && f.Request.PresetMan.isEmpty()
            && f.Request.PresetRemark.isEmpty());
        show(ledger, forms, [&](QDialog *d) {
            QCOMPARE(text(d, "ComboBox5"), QString());
            QCOMPARE(text(d, "Edit2"), QString());
            QCOMPARE(text(d, "ComboBox2"), QStringLiteral("销售收入"));
        });
    }

    void bannerByModeAndKind_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("picture");
        QTest::newRow("new income") << "新增" << Income << "Res/NewGet.bmp";
        QTest::newRow("edit income") << "修改" << Income << "Res/EditGet.bmp";
        QTest::newRow("new expense") << "新增" << Expense << "Res/NewPay.bmp";
        QTest::newRow("edit expense") << "修改" << Expense << "Res/EditPay.bmp";
    }
    void bannerByModeAndKind()
    {
        QFETCH(QString, mode);
        QFETCH(QString, kind);
        QFETCH(QString, picture);
        Ledger ledger;
        const qint64 index = addEntry({.kind = kind, .account = ledger.bank, .amount = 1});
        Forms forms;
        forms.editEntry(index, kind);
        forms.form.Request.EntryMode = mode;
        show(ledger, forms, [&](QDialog *d) {
            const QImage expected = QPixmap(ledger.folder.filePath(picture)).toImage();
            QVERIFY(!expected.isNull());
            QCOMPARE(child<QLabel>(d, "Image1")->pixmap().toImage(), expected);
            QCOMPARE(child<QLabel>(d, "Image1")->accessibleName(), mode + kind);
        });
    }

    // A customer with receivables: the new income may settle one, even a settled one, whose
    // outstanding amount then turns negative.
    void matchingLinksTheEntry()
    {
        Ledger ledger;
        const QString customer = QStringLiteral("O'Brien 贸易");
        const qint64 open = addRecord(customer, QStringLiteral("应收"), 5000);
        const qint64 settled = addRecord(customer, QStringLiteral("应收"), 1000);
        addEntry({.kind = Income, .getPay = settled, .account = ledger.bank, .amount = 1000});
        exec(QStringLiteral("Update GetPay Set GetPaySum2 = 1000, GetPaySum3 = 0 Where GetPayIndex = ?"),
            {settled});
        Forms forms;
        QString matchUser, matchKind;
        ledger.seams.onDialog(QStringLiteral("TFormGetPay4"), pickRecord(settled, &matchUser, &matchKind));
        forms.newEntry(Income);
        show(ledger, forms, [&](QDialog *d) {
            child<QComboBox>(d, "ComboBox5")->setEditText(customer);
            type(d, "Edit2", QStringLiteral("500"));
            click(d, "BitBtn1");
        });
        QCOMPARE(matchUser, customer);
        QCOMPARE(matchKind, QStringLiteral("应收"));
        QCOMPARE(value(entry(lastEntryIndex()), "MoneyGetPay").toLongLong(), settled);
        QCOMPARE(value(entry(lastEntryIndex()), "MoneyUser").toString(), customer);
        QCOMPARE(value(record(settled), "GetPaySum2").toDouble(), 1500.0);
        QCOMPARE(value(record(settled), "GetPaySum3").toDouble(), -500.0);
        QCOMPARE(value(record(open), "GetPaySum2").toDouble(), 0.0);
        QCOMPARE(forms.form.Request.EntryGetPay, qint64(0));
    }

    void matchingCancelledStoresUnlinked()
    {
        Ledger ledger;
        const qint64 payable = addRecord(QStringLiteral("华联商场"), QStringLiteral("应付"), 800);
        Forms forms;
        ledger.seams.onDialog(QStringLiteral("TFormGetPay4"),
            [](QDialog *d) { d->findChild<QAction *>(QStringLiteral("ActionCancel"))->trigger(); });
        forms.newEntry(Expense);
        show(ledger, forms, [&](QDialog *d) {
            child<QComboBox>(d, "ComboBox5")->setEditText(QStringLiteral("华联商场"));
            type(d, "Edit2", QStringLiteral("300"));
            click(d, "BitBtn1");
        });
        QCOMPARE(ledger.seams.shownDialogs, QStringList({"TFormGetPay", "TFormGetPay4"}));
        QCOMPARE(ledger.seams.messageTexts(), QStringList({Inserted}));
        QCOMPARE(value(entry(lastEntryIndex()), "MoneyGetPay").toInt(), 0);
        QCOMPARE(value(record(payable), "GetPaySum3").toDouble(), 800.0);
    }

    // No record of the matching kind (only payables for an income, another customer's, a
    // name that merely contains the customer's): no question.
    void noMatchingRecordNoQuestion()
    {
        Ledger ledger;
        addRecord(QStringLiteral("华联商场"), QStringLiteral("应付"), 800);
        addRecord(QStringLiteral("华联商场分店"), QStringLiteral("应收"), 800);
        Forms forms;
        forms.newEntry(Income);
        show(ledger, forms, [&](QDialog *d) {
            child<QComboBox>(d, "ComboBox5")->setEditText(QStringLiteral("华联商场"));
            type(d, "Edit2", QStringLiteral("300"));
            click(d, "BitBtn1");
        });
        QCOMPARE(ledger.seams.shownDialogs, QStringList({"TFormGetPay"}));
        QCOMPARE(value(entry(lastEntryIndex()), "MoneyGetPay").toInt(), 0);
    }

    // Batch entry: save-and-next keeps the form open with the chosen link and the next
    // number, asking about the link only once; the link ends with the form.
    void batchEntryKeepsTheLink()
    {
        Ledger ledger;
        WriteSetting(Settings::BatchEntry, QStringLiteral("开启"));
        const qint64 payable = addRecord(QStringLiteral("华联商场"), QStringLiteral("应付"), 900);
        Forms forms;
        ledger.seams.onDialog(QStringLiteral("TFormGetPay4"), pickRecord(payable));
        forms.newEntry(Expense);
        show(ledger, forms, [&](QDialog *d) {
            QVERIFY(shown(d, "BitBtn4"));
            QVERIFY(!shown(d, "BitBtn3"));
            child<QComboBox>(d, "ComboBox5")->setEditText(QStringLiteral("华联商场"));
            choose(d, "ComboBox2", QStringLiteral("采购货款"));
            setDate(d, QDate(2026, 6, 10));
            type(d, "Edit2", QStringLiteral("100"));
            type(d, "Edit3", QStringLiteral("第一张"));
            click(d, "BitBtn4");
            QVERIFY(d->isVisible());
            QCOMPARE(text(d, "Edit4"), QStringLiteral("ZC26061502"));
            QCOMPARE(text(d, "Edit2"), QStringLiteral("0"));
            QCOMPARE(text(d, "Edit3"), QString());
            QCOMPARE(focused(d), QStringLiteral("Edit2"));
            QCOMPARE(text(d, "ComboBox5"), QStringLiteral("华联商场"));
            QCOMPARE(text(d, "ComboBox2"), QStringLiteral("采购货款"));
            QCOMPARE(child<QDateEdit>(d, "DateTimePicker1")->date(), QDate(2026, 6, 10));
            QCOMPARE(value(record(payable), "GetPaySum2").toDouble(), 100.0);
            type(d, "Edit2", QStringLiteral("200"));
            click(d, "BitBtn4");
            click(d, "BitBtn4"); // the amount box holds "0": an entry of 0
            QCOMPARE(text(d, "Edit4"), QStringLiteral("ZC26061504"));
            type(d, "Edit2", QStringLiteral("300"));
            click(d, "BitBtn1");
        });
        QCOMPARE(ledger.seams.shownDialogs, QStringList({"TFormGetPay", "TFormGetPay4"}));
        QCOMPARE(ledger.seams.messageTexts(), QStringList({Inserted, Inserted, Inserted, Inserted}));
        const QList<QVariantMap> stored
            = rows(QStringLiteral("Select * From MoneyTable Where MoneyIndex > 1 Order By MoneyIndex"));
        QCOMPARE(stored.size(), 4);
        const QStringList serials = {"ZC26061501", "ZC26061502", "ZC26061503", "ZC26061504"};
        const QList<double> amounts = {100, 200, 0, 300};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(value(stored[i], "MoneySerial").toString(), serials[i]);
            QCOMPARE(value(stored[i], "MoneyGetPay").toLongLong(), payable);
            QCOMPARE(value(stored[i], "MoneyOut").toDouble(), amounts[i]);
            QCOMPARE(value(stored[i], "MoneyCreateTime").toString(), QStringLiteral("2026-06-10"));
        }
        QCOMPARE(value(stored[0], "MoneyRemark").toString(), QStringLiteral("第一张"));
        QCOMPARE(value(stored[1], "MoneyRemark").toString(), QString());
        QCOMPARE(value(record(payable), "GetPaySum2").toDouble(), 600.0);
        QCOMPARE(value(record(payable), "GetPaySum3").toDouble(), 300.0);

        // A new show asks again.
        ledger.seams.onDialog(QStringLiteral("TFormGetPay4"), [](QDialog *) {});
        show(ledger, forms, [&](QDialog *d) {
            child<QComboBox>(d, "ComboBox5")->setEditText(QStringLiteral("华联商场"));
            type(d, "Edit2", QStringLiteral("1"));
            click(d, "BitBtn1");
        });
        QCOMPARE(ledger.seams.shownDialogs.count(QStringLiteral("TFormGetPay4")), 2);
        QCOMPARE(value(entry(lastEntryIndex()), "MoneyGetPay").toInt(), 0);
    }

    // The record's settled and outstanding sums after a save, an edit and a delete of an
    // entry that the receivable dialog linked.
    void recordSumsFollowSaveEditDelete()
    {
        Ledger ledger;
        const qint64 receivable = addRecord(QStringLiteral("华联商场"), QStringLiteral("应收"), 5000);
        Forms forms;
        QSignalSpy refreshes(ShareDataModule, &TShareDataModule::refreshAllRequested);
        forms.newEntry(Income);
        forms.form.Request.EntryGetPay = receivable;
        forms.form.Request.PresetUser = QStringLiteral("华联商场");
        show(ledger, forms, [&](QDialog *d) {
            type(d, "Edit2", QStringLiteral("2000"));
            click(d, "BitBtn1");
        });
        const qint64 index = lastEntryIndex();
        QCOMPARE(value(entry(index), "MoneyGetPay").toLongLong(), receivable);
        QCOMPARE(value(record(receivable), "GetPaySum2").toDouble(), 2000.0);
        QCOMPARE(value(record(receivable), "GetPaySum3").toDouble(), 3000.0);

        forms.editEntry(index, Income);
        show(ledger, forms, [&](QDialog *d) {
            type(d, "Edit2", QStringLiteral("2500.25"));
            click(d, "BitBtn1");
        });
        QCOMPARE(value(record(receivable), "GetPaySum2").toDouble(), 2500.25);
        QCOMPARE(value(record(receivable), "GetPaySum3").toDouble(), 2499.75);

        ledger.seams.clearMessages();
        ledger.seams.answerQuestions({false, true});
        const int result = show(ledger, forms, [&](QDialog *d) {
            click(d, "BitBtn3");
            QVERIFY(d->isVisible());
            QVERIFY(!entry(index).isEmpty());
            click(d, "BitBtn3");
        });
        QCOMPARE(result, int(QDialog::Accepted));
        QCOMPARE(ledger.seams.messages.size(), 2);
        QCOMPARE(ledger.seams.messages[0].text, QStringLiteral("确实要删除该记录吗？"));
        QCOMPARE(ledger.seams.messages[0].caption, QStringLiteral("删除警告"));
        QVERIFY(entry(index).isEmpty());
        QCOMPARE(value(record(receivable), "GetPaySum2").toDouble(), 0.0);
        QCOMPARE(value(record(receivable), "GetPaySum3").toDouble(), 5000.0);
        QCOMPARE(refreshes.count(), 3);
        QCOMPARE(forms.form.Request.EntryGetPay, qint64(0));
    }

    void deleteOrSaveOfAVanishedEntry()
    {
        Ledger ledger;
        const qint64 index = addEntry({.account = ledger.bank, .amount = 5});
        Forms forms;
        forms.editEntry(index, Expense);
        show(ledger, forms, [&](QDialog *d) {
            exec(QStringLiteral("Delete From MoneyTable Where MoneyIndex = ?"), {index});
            click(d, "BitBtn3");
            click(d, "BitBtn1");
            QVERIFY(d->isVisible());
        });
        QCOMPARE(ledger.seams.messageTexts(), QStringList({"找不到要删除的记录", "找不到要修改的记录"}));
        QCOMPARE(count(QStringLiteral("MoneyTable Where MoneyIndex > 1")), 0);
    }

    // A preset link that the form is cancelled with does not stay for the next caller.
    void linkClearedAtEveryClose()
    {
        Ledger ledger;
        Forms forms;
        forms.newEntry(Income);
        forms.form.Request.EntryGetPay = 12;
        show(ledger, forms, [](QDialog *d) { d->close(); });
        QCOMPARE(forms.form.Request.EntryGetPay, qint64(0));
        forms.form.Request.EntryGetPay = 12;
        show(ledger, forms, [](QDialog *d) { click(d, "BitBtn2"); });
        QCOMPARE(forms.form.Request.EntryGetPay, qint64(0));
    }

    void saveCustomer()
    {
        Ledger ledger;
        Forms forms;
        forms.newEntry(Income);
        const QString name = QStringLiteral("O'Hara 公司");
        show(ledger, forms, [&](QDialog *d) {
            auto *customer = child<QComboBox>(d, "ComboBox5");
            customer->setEditText(QString());
            click(d, "Button1");
            customer->setEditText(name);
            click(d, "Button1");
            QVERIFY(items(d, "ComboBox5").contains(name));
            QCOMPARE(customer->currentText(), name);
            click(d, "Button1");
        });
        QCOMPARE(ledger.seams.messageTexts(),
            QStringList({"客户名称不能为空", "客户名称保存成功", "客户名称保存成功"}));
        QCOMPARE(
            count(QStringLiteral("Parameter Where ParameterType = 4 And ParameterValue = ?"), {name}), 1);
        QCOMPARE(count(QStringLiteral("Parameter Where ParameterType = 4")), 2);
        QCOMPARE(count(QStringLiteral("MoneyTable Where MoneyIndex > 1")), 0);
    }
};

QUILL_TEST_MAIN(TestEntryForm)
#include "tst_entryform.moc"
