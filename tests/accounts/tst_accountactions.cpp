// The dialogs around the account panels as a user meets them: the account action dialog a panel
// click opens, the account search and the statistics scope.

#include "AccountsFixture.h"
#include "accounts/AccountChoseForm.h"
#include "accounts/AccountForm2.h"
#include "app/Dialogs.h"
#include "journal/DrawForm.h"
#include "journal/GetPayForm.h"
#include "support/TestMain.h"
#include "widgets/DataGrid.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>

using namespace AccountsTest;

namespace {

QFrame *panel(TFormMain *w, int slot)
{
    return child<QFrame>(w, QStringLiteral("AccountPanel%1").arg(slot));
}

// Names shown by the slots that are not hidden, in slot order.
QStringList shownNames(TFormMain *w)
{
    QStringList names;
    for (int i = 0; i < 40; ++i)
        if (!panel(w, i)->isHidden())
            names << child<QLabel>(panel(w, i), QStringLiteral("AccountName"))->text();
    return names;
}

// Clicks the panel of the account of that name; the script drives the action dialog.
void clickAccount(Run &run, const QString &name, Seams::DialogScript script)
{
    for (int i = 0; i < 40; ++i)
        if (!panel(run.window(), i)->isHidden()
            && child<QLabel>(panel(run.window(), i), QStringLiteral("AccountName"))->text() == name) {
            run.seams.onDialog(QStringLiteral("TFormAccount2"), std::move(script));
            QTest::mouseClick(panel(run.window(), i), Qt::LeftButton);
            return;
        }
    QFAIL(qPrintable(QStringLiteral("no panel shows ") + name));
}

// The captions of the action dialog's buttons that show.
QStringList shownButtons(QDialog *d)
{
    QStringList captions;
    for (QPushButton *b : d->findChildren<QPushButton *>())
        if (b->isVisible())
            captions << b->text();
    return captions;
}

qint64 accountIndex(const Run &run, const QString &name)
{
    return run.ledger()
        ->value(QStringLiteral("Select AccountIndex From Account Where AccountName = ?"), {name})
        .toLongLong();
}

QList<qint64> reportRows(const Run &run)
{
    auto *grid = child<DataGrid>(run.window()->tabPage(MainTab::Reports), QStringLiteral("DBGridEh2"));
    QList<qint64> rows;
    for (int r = 0; r < grid->rowCount(); ++r)
        rows << grid->value(r, QStringLiteral("MoneyIndex")).toLongLong();
    return rows;
}

void search(Run &run, const QString &name, const QString &remark)
{
    run.seams.onDialog(QStringLiteral("TFormAccountSearch"), [name, remark](QDialog *d) {
        QCOMPARE(text(d, "Edit1"), QString());
        QCOMPARE(text(d, "Edit2"), QString());
        child<QLineEdit>(d, QStringLiteral("Edit1"))->setText(name);
        child<QLineEdit>(d, QStringLiteral("Edit2"))->setText(remark);
        trigger(d, QStringLiteral("ActionYes"));
    });
    child<QAbstractButton>(run.window(), QStringLiteral("SpeedButton4"))->click();
}

} // namespace

class TestAccountActions : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    // The name and balance of the panel in blue, and a button for each right the user holds, at
    // every show: the cashier first, then another user after a new login.
    void buttonsByRight_data()
    {
        QTest::addColumn<QString>("rights");
        QTest::addColumn<QStringList>("buttons");
        QTest::newRow("财务收入 only") << "财务收入" << QStringList {"收入", "取消操作"};
        QTest::newRow("expense and transfer")
            << "财务支出，财务平调" << QStringList {"支出", "平调", "取消操作"};
        QTest::newRow("reports and edit")
            << "财务报表，数据修改" << QStringList {"当月记录", "修改帐户", "取消操作"};
        QTest::newRow("none") << "" << QStringList {"取消操作"};
    }
    void buttonsByRight()
    {
        QFETCH(QString, rights);
        QFETCH(QStringList, buttons);
        Run run;
        {
            auto ledger = run.ledger();
            ledger->addUser(QStringLiteral("会计"), rights);
            ledger->addAccount(QStringLiteral("会计'银行"), 1, 120.5, QStringLiteral("会计"));
        }
        QVERIFY(run.startAs(Cashier));
        QStringList seen;
        clickAccount(run, QStringLiteral("会计'银行"), [&seen](QDialog *d) {
            auto *name = child<QLabel>(d, QStringLiteral("LabelAccountName"));
            auto *balance = child<QLabel>(d, QStringLiteral("LabelAccountBalance"));
            QCOMPARE(name->text(), QStringLiteral("会计'银行"));
            QCOMPARE(balance->text(), QStringLiteral("120.5 元"));
            QCOMPARE(balance->palette().color(QPalette::WindowText), QColor(Qt::blue));
            QCOMPARE(name->palette().color(QPalette::WindowText), QColor(Qt::blue));
            seen = shownButtons(d);
        });
        QCOMPARE(seen, (QStringList {"收入", "支出", "平调", "当月记录", "修改帐户", "取消操作"}));

        run.seams.onDialog(QStringLiteral("TFormLogin"), loginAs(QStringLiteral("会计")));
        run.seams.onDialog(QStringLiteral("TFormChose"), CloseBox);
        trigger(run.window(), QStringLiteral("ActionReLogin"));
        clickAccount(run, QStringLiteral("会计'银行"), [&seen](QDialog *d) {
            seen = shownButtons(d);
            trigger(d, QStringLiteral("ActionCancel"));
            QVERIFY(!d->isVisible());
        });
        QCOMPARE(seen, buttons);
    }

    // 收入 from the dialog: the entry form for that one account, the income booked to it, and the
    // dialog closed.
    void incomeBookedToTheAccount()
    {
        Run run;
        {
            auto ledger = run.ledger();
            ledger->addAccount(QStringLiteral("工商银行"), 1, 0);
            ledger->addAccount(QStringLiteral("建设'银行"), 1, 0);
        }
        QVERIFY(run.startAs(Cashier));
        bool closed = false;
        clickAccount(run, QStringLiteral("建设'银行"), [&](QDialog *d) {
            run.seams.onDialog(QStringLiteral("TFormGetPay"), [](QDialog *form) {
                QCOMPARE(form->windowTitle(), QStringLiteral("新增财务收入"));
                auto *account = child<QComboBox>(form, QStringLiteral("ComboBox1"));
                QCOMPARE(account->currentText(), QStringLiteral("建设'银行"));
                QCOMPARE(account->count(), 1);
                QVERIFY(!account->isEnabled());
                child<QLineEdit>(form, QStringLiteral("Edit2"))->setText(QStringLiteral("88"));
                child<QAbstractButton>(form, QStringLiteral("BitBtn1"))->click();
            });
            trigger(d, QStringLiteral("ActionGet"));
            closed = !d->isVisible();
        });
        QVERIFY(closed);
        QCOMPARE(run.seams.lastMessage(), QStringLiteral("记录新增成功"));
        QCOMPARE(run.ledger()->rows(QStringLiteral("Select MoneyAccount, MoneySum, MoneyKind From MoneyTable "
                                                   "Where MoneyIndex > 1")),
            (QList<QVariantList> {
                {accountIndex(run, QStringLiteral("建设'银行")), 88.0, QStringLiteral("财务收入")}}));
    }

    // 支出 and 平调 start their forms from this account; each closes the dialog whatever the form
    // returns.
    void expenseAndTransferFromTheAccount()
    {
        Run run;
        run.ledger()->addAccount(QStringLiteral("工商银行"), 1, 500);
        QVERIFY(run.startAs(Cashier));
        QStringList seen;
        clickAccount(run, QStringLiteral("工商银行"), [&](QDialog *d) {
            run.seams.onDialog(QStringLiteral("TFormGetPay"),
                [&](QDialog *form) { seen << form->windowTitle() << text(form, "ComboBox1"); });
            trigger(d, QStringLiteral("ActionPay"));
            seen << QString::number(d->isVisible());
        });
        clickAccount(run, QStringLiteral("工商银行"), [&](QDialog *d) {
            run.seams.onDialog(QStringLiteral("TFormDraw"), [&](QDialog *form) {
                auto *source = child<QComboBox>(form, QStringLiteral("ComboBox1"));
                seen << form->windowTitle() << source->currentText() << QString::number(source->isEnabled());
            });
            trigger(d, QStringLiteral("ActionDraw"));
            seen << QString::number(d->isVisible());
        });
        QCOMPARE(seen, (QStringList {"新增财务支出", "工商银行", "0", "平调", "工商银行", "0", "0"}));
        QCOMPARE(run.ledger()->value(QStringLiteral("Select Count(*) From MoneyTable")).toInt(), 1);
    }

    // 当月记录 on 15 March: the account's entries of 1 to 31 March on the report tab, which comes
    // to the front; the dialog closes.
    void monthRecords_data()
    {
        QTest::addColumn<QString>("account");
        QTest::newRow("plain name") << "现金";
        QTest::newRow("a quote in the name") << "现'金";
    }
    void monthRecords()
    {
        QFETCH(QString, account);
        Run run;
        run.seams.today = QDate(2026, 3, 15);
        QList<qint64> march;
        {
            auto ledger = run.ledger();
            const qint64 cash = ledger->addAccount(account, 2, 0);
            const qint64 other = ledger->addAccount(QStringLiteral("备用金"), 2, 0);
            ledger->addEntry(cash, 1, QDate(2026, 2, 28));
            march << ledger->addEntry(cash, -2, QDate(2026, 3, 31));
            march.prepend(ledger->addEntry(cash, 3, QDate(2026, 3, 1)));
            ledger->addEntry(cash, 4, QDate(2026, 4, 1));
            ledger->addEntry(other, 5, QDate(2026, 3, 10));
        }
        run.writeSetting(QStringLiteral("AccountType"), QStringLiteral("2"));
        QVERIFY(run.startAs(Cashier));
        QCOMPARE(run.window()->tabs()->currentWidget(), run.window()->tabPage(MainTab::Accounts));
        bool closed = false;
        clickAccount(run, account, [&closed](QDialog *d) {
            trigger(d, QStringLiteral("ActionSearch"));
            closed = !d->isVisible();
        });
        QVERIFY(closed);
        QCOMPARE(reportRows(run), march);
        QCOMPARE(run.window()->tabs()->currentWidget(), run.window()->tabPage(MainTab::Reports));
        QCOMPARE(Session().ReportStartDate, QStringLiteral("2026-3-1"));
        QVERIFY(run.seams.messages.isEmpty());
        // The conditions stay for later refreshes.
        run.window()->RefreshAll();
        QCOMPARE(reportRows(run), march);
    }

    // 修改帐户: a save renames the account and closes the dialog; a cancel leaves it open.
    void editAccount()
    {
        Run run;
        run.ledger()->addAccount(QStringLiteral("工商银行"), 1, 0);
        QVERIFY(run.startAs(Cashier));
        QStringList openAfter;
        clickAccount(run, QStringLiteral("工商银行"), [&](QDialog *d) {
            run.seams.onDialog(QStringLiteral("TFormAccount"), [](QDialog *form) {
                QCOMPARE(text(form, "Edit1"), QStringLiteral("工商银行"));
                child<QAbstractButton>(form, QStringLiteral("SpeedButton2"))->click();
            });
            trigger(d, QStringLiteral("ActionEditAccount"));
            openAfter << QString::number(d->isVisible());
            run.seams.onDialog(QStringLiteral("TFormAccount"), [](QDialog *form) {
                child<QLineEdit>(form, QStringLiteral("Edit1"))->setText(QStringLiteral("工商'银行"));
                child<QAbstractButton>(form, QStringLiteral("SpeedButton1"))->click();
            });
            trigger(d, QStringLiteral("ActionEditAccount"));
            openAfter << QString::number(d->isVisible());
        });
        QCOMPARE(openAfter, (QStringList {"1", "0"}));
        QCOMPARE(shownNames(run.window()), QStringList {QStringLiteral("工商'银行")});
    }

    // The search narrows the panels by name and remark, both holding, quotes and all; an empty
    // search shows the whole book again.
    void accountSearch()
    {
        Run run;
        run.writeSetting(QStringLiteral("AccountType"), QStringLiteral("5"));
        {
            auto ledger = run.ledger();
            ledger->addAccount(QStringLiteral("工商银行"), 1, 0);
            ledger->addAccount(QStringLiteral("建设银行"), 1, 0);
            ledger->addAccount(QStringLiteral("现金"), 2, 0);
            ledger->exec(QStringLiteral("Update Account Set AccountRemark = ? Where AccountName = ?"),
                {QStringLiteral("基本'户"), QStringLiteral("工商银行")});
            ledger->exec(QStringLiteral("Update Account Set AccountRemark = ? Where AccountName = ?"),
                {QStringLiteral("基本户"), QStringLiteral("现金")});
        }
        QVERIFY(run.startAs(Cashier));
        TFormMain *w = run.window();
        QCOMPARE(
            child<QAbstractButton>(w, QStringLiteral("SpeedButton4"))->text(), QStringLiteral("帐户搜索"));
        search(run, QStringLiteral("银行"), QString());
        QCOMPARE(shownNames(w), (QStringList {"工商银行", "建设银行"}));
        search(run, QString(), QString());
        QCOMPARE(shownNames(w), (QStringList {"工商银行", "建设银行", "现金"}));
        search(run, QStringLiteral("银行"), QStringLiteral("基本"));
        QCOMPARE(shownNames(w), QStringList {"工商银行"});
        search(run, QString(), QStringLiteral("'"));
        QCOMPARE(shownNames(w), QStringList {"工商银行"});
        // Cancel keeps the narrowing.
        run.seams.onDialog(QStringLiteral("TFormAccountSearch"), [](QDialog *d) {
            child<QLineEdit>(d, QStringLiteral("Edit1"))->setText(QStringLiteral("现金"));
            trigger(d, QStringLiteral("ActionCancel"));
        });
        child<QAbstractButton>(w, QStringLiteral("SpeedButton4"))->click();
        QCOMPARE(shownNames(w), QStringList {"工商银行"});
        QVERIFY(run.seams.messages.isEmpty());
    }

    // A search refreshes the panels on the page they were on.
    void searchKeepsThePage()
    {
        Run run;
        {
            auto ledger = run.ledger();
            for (int i = 1; i <= 17; ++i)
                ledger->addAccount(QStringLiteral("银行%1").arg(i, 2, 10, QLatin1Char('0')), 1, 0);
        }
        QVERIFY(run.startAs(Cashier));
        TFormMain *w = run.window();
        child<QAbstractButton>(w, QStringLiteral("NextAccount"))->click();
        QCOMPARE(shownNames(w), (QStringList {"银行16", "银行17"}));
        search(run, QStringLiteral("银行"), QString());
        QCOMPARE(w->accountPanelPage(), 1);
        QCOMPARE(shownNames(w), (QStringList {"银行16", "银行17"}));
    }

    // The scope dialog lists the book's accounts the user may see, rebuilt with nothing selected
    // at every show; its check boxes and dates stay as the user left them.
    void scopeChoice_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("book");
        QTest::addColumn<QStringList>("listed");
        QTest::newRow("bank book") << Cashier << "1" << QStringList {"工商银行", "会计银行"};
        QTest::newRow("both books") << Cashier << "5" << QStringList {"工商银行", "现金", "会计银行"};
        QTest::newRow("without 数据总览") << "会计"
                                          << "5" << QStringList {"会计银行"};
    }
    void scopeChoice()
    {
        QFETCH(QString, user);
        QFETCH(QString, book);
        QFETCH(QStringList, listed);
        Run run;
        {
            auto ledger = run.ledger();
            ledger->addUser(QStringLiteral("会计"), QStringLiteral("财务收入，财务报表"));
            ledger->addAccount(QStringLiteral("工商银行"), 1, 0);
            ledger->addAccount(QStringLiteral("现金"), 2, 0);
            ledger->addAccount(QStringLiteral("会计银行"), 1, 0, QStringLiteral("会计"));
        }
        run.writeSetting(QStringLiteral("AccountType"), book);
        QVERIFY(run.startAs(user));
        auto *scope = run.program->dialogs()->accountChose;
        QStringList first;
        run.seams.onDialog(QStringLiteral("TFormAccountChose"), [&](QDialog *d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("统计范围选择"));
            auto *list = child<QListWidget>(d, QStringLiteral("ListBox1"));
            for (int i = 0; i < list->count(); ++i)
                first << list->item(i)->text();
            QVERIFY(!list->isEnabled());
            QVERIFY(!child<QDateEdit>(d, QStringLiteral("DateTimePicker1"))->isEnabled());
            QCOMPARE(child<QDateEdit>(d, QStringLiteral("DateTimePicker1"))->date(), QDate(2026, 6, 1));
            QCOMPARE(child<QDateEdit>(d, QStringLiteral("DateTimePicker2"))->date(), QDate(2026, 6, 30));
            child<QCheckBox>(d, QStringLiteral("CheckBox1"))->click();
            child<QCheckBox>(d, QStringLiteral("CheckBox2"))->click();
            QVERIFY(list->isEnabled());
            QVERIFY(child<QDateEdit>(d, QStringLiteral("DateTimePicker2"))->isEnabled());
            list->item(0)->setSelected(true);
            child<QDateEdit>(d, QStringLiteral("DateTimePicker1"))->setDate(QDate(2026, 5, 1));
            trigger(d, QStringLiteral("ActionYes"));
        });
        QCOMPARE(Platform::ShowModal(scope), int(QDialog::Accepted));
        QCOMPARE(first, listed);
        QCOMPARE(scope->selectedAccounts(), QStringList {listed.first()});
        QVERIFY(scope->accountRange() && scope->dateRange());
        QCOMPARE(scope->startDate(), QDate(2026, 5, 1));

        run.seams.onDialog(QStringLiteral("TFormAccountChose"), [&](QDialog *d) {
            auto *list = child<QListWidget>(d, QStringLiteral("ListBox1"));
            QCOMPARE(list->count(), listed.size());
            QVERIFY(list->selectedItems().isEmpty());
            QVERIFY(list->isEnabled());
            QVERIFY(child<QCheckBox>(d, QStringLiteral("CheckBox1"))->isChecked());
            QCOMPARE(child<QDateEdit>(d, QStringLiteral("DateTimePicker1"))->date(), QDate(2026, 5, 1));
            QVERIFY(child<QDateEdit>(d, QStringLiteral("DateTimePicker1"))->isEnabled());
            trigger(d, QStringLiteral("ActionCancel"));
        });
        QCOMPARE(Platform::ShowModal(scope), int(QDialog::Rejected));
    }
};

QUILL_TEST_MAIN(TestAccountActions)
#include "tst_accountactions.moc"
