// The account dialog and its new, edit and delete operations, driven through the modal seam
// against a real ledger file.

#include "AccountsFixture.h"
#include "accounts/AccountForm.h"
#include "support/TestMain.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

using namespace AccountsTest;
using TestSupport::Seams;

namespace {
const QString OtherUser = QStringLiteral("李四");

QString accountMessage(const QString &name, const char *outcome)
{
    return QStringLiteral("帐户\u3000") + name + QStringLiteral("\u3000") + QString::fromUtf8(outcome);
}

// Fills the dialog as a person would: a type box clicked (0 leaves both alone), then the boxes.
void fill(QDialog *d, int type, const QString &name, const QString &amount, const QString &remark = QString())
{
    if (type == 1)
        child<QCheckBox>(d, QStringLiteral("CheckBox1"))->click();
    if (type == 2)
        child<QCheckBox>(d, QStringLiteral("CheckBox2"))->click();
    child<QLineEdit>(d, QStringLiteral("Edit1"))->setText(name);
    child<QLineEdit>(d, QStringLiteral("Edit2"))->setText(amount);
    child<QPlainTextEdit>(d, QStringLiteral("Memo1"))->setPlainText(remark);
}

void click(QDialog *d, const char *button)
{
    auto *b = child<QPushButton>(d, QString::fromLatin1(button));
    QVERIFY2(b && b->isVisible(), button);
    b->click();
}
} // namespace

class TestAccountDialog : public TestSupport::FixtureTest
{
    Q_OBJECT

    std::unique_ptr<TFormAccount> dialog;
    std::unique_ptr<LedgerFile> ledger;
    int refreshes = 0;

    int accountCount() { return ledger->value(QStringLiteral("Select Count(*) From Account")).toInt(); }
    int entriesOf(qint64 account)
    {
        return ledger
            ->value(QStringLiteral("Select Count(*) From MoneyTable Where MoneyAccount = ?"), {account})
            .toInt();
    }
    QVariantList accountRow(qint64 index)
    {
        const auto rows = ledger->rows(QStringLiteral("Select AccountName, AccountBase, AccountRemark, "
                                                      "AccountType, AccountPower From Account "
                                                      "Where AccountIndex = ?"),
            {index});
        return rows.value(0);
    }
    // An account with entries, owned by another user.
    qint64 accountWithEntries(const QString &name, int entries)
    {
        const qint64 index = ledger->addAccount(name, 1, 1500, OtherUser);
        ledger->exec(
            QStringLiteral("Update Account Set AccountRemark = '开户行：城东支行' Where AccountIndex = ?"),
            {index});
        for (int i = 0; i < entries; ++i)
            ledger->addEntry(index, 100 + i, QDate(2026, 6, 1 + i), OtherUser);
        return index;
    }

private slots:
    void init()
    {
        QVERIFY(makeFixture());
        QVERIFY(data->openLedger(DefaultLedger));
        SessionValues &s = Session();
        s.CurrentUser = Cashier;
        s.RightOverview = true;
        s.RightEdit = true;
        dialog = std::make_unique<TFormAccount>();
        refreshes = 0;
        connect(data->module(), &TShareDataModule::refreshAllRequested, this, [this] { ++refreshes; });
        ledger = std::make_unique<LedgerFile>(folder->filePath(DefaultLedger));
    }
    void cleanup()
    {
        ledger.reset();
        dialog.reset();
        dropFixture();
    }

    // The checks run in screen order and stop at the first failure, leaving the dialog open.
    void saveChecksInOrder_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("amount");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        const QString noType = QStringLiteral("请先选择帐户类型");
        const QString noName = QStringLiteral("帐户名称不得为空");
        const QString noAmount = QStringLiteral("起初金额不得为空");
        const QString badAmount = QStringLiteral("期初金额格式有误，请重新输入");
        // The type message leaves the focus where it was (on 取消 here).
        QTest::newRow("no type, everything empty") << 0 << ""
                                                   << "" << noType << "SpeedButton2";
        QTest::newRow("no type, rest filled") << 0 << "工行"
                                              << "100" << noType << "SpeedButton2";
        QTest::newRow("no name") << 1 << ""
                                 << "" << noName << "Edit1";
        QTest::newRow("amount box cleared") << 2 << "钱箱"
                                            << "" << noAmount << "Edit2";
        QTest::newRow("blanks are a name") << 1 << "  "
                                           << "" << noAmount << "Edit2";
        QTest::newRow("letters in the amount") << 1 << "工行"
                                               << "12a" << badAmount << "Edit2";
        QTest::newRow("grouped digits") << 1 << "工行"
                                        << "1,500" << badAmount << "Edit2";
        QTest::newRow("blank amount") << 2 << "钱箱"
                                      << " " << badAmount << "Edit2";
        const QString beyond = QStringLiteral("金额超出范围，请重新输入");
        QTest::newRow("above the limit") << 1 << "工行"
                                         << "10000000000" << beyond << "Edit2";
        QTest::newRow("overdrawn beyond the limit") << 2 << "钱箱"
                                                    << "-10000000000" << beyond << "Edit2";
    }
    void saveChecksInOrder()
    {
        QFETCH(int, type);
        QFETCH(QString, name);
        QFETCH(QString, amount);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        const int before = accountCount();
        seams->onDialog(QStringLiteral("TFormAccount"), [&](QDialog *d) {
            fill(d, type, name, amount);
            child<QWidget>(d, QStringLiteral("SpeedButton2"))->setFocus();
            click(d, "SpeedButton1");
            QVERIFY(d->isVisible());
            QVERIFY(d->focusWidget());
            QCOMPARE(d->focusWidget()->objectName(), focus);
            // What was typed stays.
            QCOMPARE(child<QLineEdit>(d, QStringLiteral("Edit1"))->text(), name);
            QCOMPARE(child<QLineEdit>(d, QStringLiteral("Edit2"))->text(), amount);
        });
        QVERIFY(!dialog->NewAccount());
        QCOMPARE(seams->messageTexts(), QStringList {message});
        QCOMPARE(accountCount(), before);
        QCOMPARE(refreshes, 0);
    }

    void newAccountIsStored_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("amount");
        QTest::addColumn<QString>("remark");
        QTest::addColumn<double>("base");
        QTest::newRow("negative opening") << 1 << "工商银行"
                                          << "-500"
                                          << "卡号 6222 0001" << -500.0;
        QTest::newRow("quotes in the name") << 2 << "O'Neil 的'钱箱"
                                            << "1500.25"
                                            << "" << 1500.25;
        QTest::newRow("kept as typed") << 1 << "建行"
                                       << "0.125"
                                       << "" << 0.125;
        QTest::newRow("name of blanks") << 2 << "   "
                                        << "0"
                                        << "" << 0.0;
    }
    void newAccountIsStored()
    {
        QFETCH(int, type);
        QFETCH(QString, name);
        QFETCH(QString, amount);
        QFETCH(QString, remark);
        QFETCH(double, base);
        // Values left from an earlier edit do not leak into a new account.
        dialog->AccountType = 2;
        dialog->AccountName = QStringLiteral("旧的");
        dialog->AccountRemark = QStringLiteral("旧备注");
        seams->onDialog(QStringLiteral("TFormAccount"), [&](QDialog *d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("新增帐户"));
            QCOMPARE(child<QLineEdit>(d, QStringLiteral("Edit1"))->text(), QString());
            QCOMPARE(child<QLineEdit>(d, QStringLiteral("Edit2"))->text(), QStringLiteral("0"));
            QCOMPARE(child<QPlainTextEdit>(d, QStringLiteral("Memo1"))->toPlainText(), QString());
            QVERIFY(!child<QCheckBox>(d, QStringLiteral("CheckBox1"))->isChecked());
            QVERIFY(!child<QCheckBox>(d, QStringLiteral("CheckBox2"))->isChecked());
            QVERIFY(child<QWidget>(d, QStringLiteral("SpeedButton3"))->isHidden());
            fill(d, type, name, amount, remark);
            click(d, "SpeedButton1");
            QVERIFY(!d->isVisible());
        });
        QVERIFY(dialog->NewAccount());
        QCOMPARE(seams->messageTexts(), QStringList {accountMessage(name, "新增成功")});
        const QVariant index
            = ledger->value(QStringLiteral("Select AccountIndex From Account Where AccountName = ?"), {name});
        QVERIFY(index.isValid());
        const QVariantList row = accountRow(index.toLongLong());
        QCOMPARE(row.value(0).toString(), name);
        QCOMPARE(row.value(1).toDouble(), base);
        QCOMPARE(row.value(2).toString(), remark);
        QCOMPARE(row.value(3).toInt(), type);
        QCOMPARE(row.value(4).toString(), Cashier);
        QCOMPARE(refreshes, 1);
    }

    // Names are unique in the whole ledger, whoever owns the account and whatever its book.
    void duplicateNameIsRefused_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("owner");
        QTest::addColumn<int>("existingType");
        QTest::newRow("same user and book") << "工商银行" << Cashier << 1;
        QTest::newRow("another user's cash account") << "工商银行" << OtherUser << 2;
        QTest::newRow("name with a quote") << "O'Neil" << OtherUser << 1;
    }
    void duplicateNameIsRefused()
    {
        QFETCH(QString, name);
        QFETCH(QString, owner);
        QFETCH(int, existingType);
        ledger->addAccount(name, existingType, 10, owner);
        const int before = accountCount();
        seams->onDialog(QStringLiteral("TFormAccount"), [&](QDialog *d) {
            fill(d, 1, name, QStringLiteral("99"));
            click(d, "SpeedButton1");
        });
        QVERIFY(!dialog->NewAccount());
        QCOMPARE(seams->messageTexts(), QStringList {QStringLiteral("该帐户名已经存在，请重新操作")});
        QCOMPARE(accountCount(), before);
        QCOMPARE(
            ledger->value(QStringLiteral("Select AccountBase From Account Where AccountName = ?"), {name})
                .toDouble(),
            10.0);
        QCOMPARE(refreshes, 0);
    }

    // The edit keeps the row (and so its entries and owner); a rename to a free name is fine.
    void editAccount_data()
    {
        QTest::addColumn<QString>("newName"); // empty: the name is left as it is
        QTest::addColumn<QString>("amount");
        QTest::addColumn<int>("type");
        QTest::addColumn<double>("base");
        QTest::newRow("renamed, with quotes") << "新'名字"
                                              << "800" << 2 << 800.0;
        QTest::newRow("same name, new amount") << ""
                                               << "-12.5" << 1 << -12.5;
    }
    void editAccount()
    {
        QFETCH(QString, newName);
        QFETCH(QString, amount);
        QFETCH(int, type);
        QFETCH(double, base);
        const QString oldName = QStringLiteral("老'帐户");
        const qint64 index = accountWithEntries(oldName, 2);
        seams->onDialog(QStringLiteral("TFormAccount"), [&](QDialog *d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("修改帐户"));
            QCOMPARE(child<QLineEdit>(d, QStringLiteral("Edit1"))->text(), oldName);
            QCOMPARE(child<QLineEdit>(d, QStringLiteral("Edit2"))->text(), QStringLiteral("1500"));
            QCOMPARE(child<QPlainTextEdit>(d, QStringLiteral("Memo1"))->toPlainText(),
                QStringLiteral("开户行：城东支行"));
            QVERIFY(child<QCheckBox>(d, QStringLiteral("CheckBox1"))->isChecked());
            QVERIFY(!child<QWidget>(d, QStringLiteral("SpeedButton3"))->isHidden());
            fill(d, type == 1 ? 0 : type, newName.isEmpty() ? oldName : newName, amount,
                QStringLiteral("新备注"));
            click(d, "SpeedButton1");
        });
        QCOMPARE(dialog->EditAccount(oldName), TFormAccount::EditOutcome::Saved);
        const QString finalName = newName.isEmpty() ? oldName : newName;
        QCOMPARE(seams->messageTexts(), QStringList {accountMessage(finalName, "修改成功")});
        const QVariantList row = accountRow(index);
        QCOMPARE(row.value(0).toString(), finalName);
        QCOMPARE(row.value(1).toDouble(), base);
        QCOMPARE(row.value(2).toString(), QStringLiteral("新备注"));
        QCOMPARE(row.value(3).toInt(), type);
        QCOMPARE(row.value(4).toString(), OtherUser);
        QCOMPARE(entriesOf(index), 2);
        QCOMPARE(refreshes, 1);
    }

    void editRefusedOrCancelled()
    {
        const qint64 first = accountWithEntries(QStringLiteral("甲"), 1);
        ledger->addAccount(QStringLiteral("乙"), 2, 5);

        seams->onDialog(QStringLiteral("TFormAccount"), [](QDialog *d) {
            child<QLineEdit>(d, QStringLiteral("Edit1"))->setText(QStringLiteral("乙"));
            click(d, "SpeedButton1");
        });
        QCOMPARE(dialog->EditAccount(QStringLiteral("甲")), TFormAccount::EditOutcome::NameTaken);
        QCOMPARE(seams->messageTexts(), QStringList {QStringLiteral("该帐户名已经存在，请重新操作")});
        QCOMPARE(accountRow(first).value(0).toString(), QStringLiteral("甲"));

        seams->clearMessages();
        seams->onDialog(QStringLiteral("TFormAccount"), [](QDialog *d) {
            fill(d, 2, QStringLiteral("丙"), QStringLiteral("1"));
            click(d, "SpeedButton2");
        });
        QCOMPARE(dialog->EditAccount(QStringLiteral("甲")), TFormAccount::EditOutcome::Cancelled);
        QVERIFY(seams->messages.isEmpty());
        const QVariantList row = accountRow(first);
        QCOMPARE(row.value(0).toString(), QStringLiteral("甲"));
        QCOMPARE(row.value(3).toInt(), 1);
        QCOMPARE(refreshes, 0);
    }

    // The delete goes by the name the dialog opened with, even after the name box was edited.
    void deleteRemovesAccountAndItsEntries()
    {
        const QString name = QStringLiteral("待删'帐户");
        const qint64 index = accountWithEntries(name, 3);
        const qint64 other = ledger->addAccount(QStringLiteral("留下的"), 2, 0);
        ledger->addEntry(other, 50, QDate(2026, 6, 2));
        seams->answerQuestions({true});
        seams->onDialog(QStringLiteral("TFormAccount"), [](QDialog *d) {
            child<QLineEdit>(d, QStringLiteral("Edit1"))->setText(QStringLiteral("改过的名字"));
            click(d, "SpeedButton3");
            QVERIFY(!d->isVisible());
        });
        QCOMPARE(dialog->EditAccount(name), TFormAccount::EditOutcome::Deleted);
        QCOMPARE(seams->messages.size(), 2);
        QCOMPARE(seams->messages[0].kind, Platform::MessageKind::Question);
        QCOMPARE(seams->messages[0].text, QStringLiteral("删除帐户将删除该帐户下所有记录，确实要删除吗？"));
        QCOMPARE(seams->messages[0].caption, QStringLiteral("删除警告"));
        QCOMPARE(seams->messages[1].text, accountMessage(name, "删除成功"));
        QVERIFY(accountRow(index).isEmpty());
        QCOMPARE(entriesOf(index), 0);
        QCOMPARE(entriesOf(other), 1);
        QCOMPARE(refreshes, 1);
    }

    void deleteRefusedOrFailedKeepsEverything_data()
    {
        QTest::addColumn<bool>("answer");
        QTest::addColumn<bool>("entriesLocked");
        QTest::addColumn<QStringList>("after"); // messages after the question
        QTest::newRow("answered No") << false << false << QStringList();
        // The entries cannot go, so the account row stays too.
        QTest::newRow("entries cannot be deleted")
            << true << true << QStringList {QStringLiteral("SQL命令执行出错")};
    }
    void deleteRefusedOrFailedKeepsEverything()
    {
        QFETCH(bool, answer);
        QFETCH(bool, entriesLocked);
        QFETCH(QStringList, after);
        const QString name = QStringLiteral("保留");
        const qint64 index = accountWithEntries(name, 3);
        if (entriesLocked)
            ledger->exec(QStringLiteral("Create Trigger KeepEntries Before Delete On MoneyTable "
                                        "Begin Select Raise(Abort, 'locked'); End"));
        seams->answerQuestions({answer});
        seams->onDialog(QStringLiteral("TFormAccount"), [](QDialog *d) {
            click(d, "SpeedButton3");
            QVERIFY(d->isVisible());
        });
        QCOMPARE(dialog->EditAccount(name), TFormAccount::EditOutcome::Cancelled);
        QCOMPARE(seams->messageTexts().mid(1), after);
        QCOMPARE(accountRow(index).value(0).toString(), name);
        QCOMPARE(entriesOf(index), 3);
        QCOMPARE(refreshes, 0);
    }

    // The two type boxes act as a radio pair and the picture follows the type.
    void typeBoxesActAsRadioPair()
    {
        seams->onDialog(QStringLiteral("TFormAccount"), [this](QDialog *d) {
            auto *bank = child<QCheckBox>(d, QStringLiteral("CheckBox1"));
            auto *cash = child<QCheckBox>(d, QStringLiteral("CheckBox2"));
            auto *picture = child<QLabel>(d, QStringLiteral("Image4"));
            QCOMPARE(dialog->typePicture(), QStringLiteral("Res/EmptyAccount.bmp"));
            QVERIFY(!picture->pixmap().isNull());

            bank->click();
            QVERIFY(bank->isChecked() && !cash->isChecked());
            QCOMPARE(dialog->typePicture(), QStringLiteral("Res/CompanyAccount2.bmp"));
            bank->click();
            QVERIFY(bank->isChecked() && !cash->isChecked());
            cash->click();
            QVERIFY(!bank->isChecked() && cash->isChecked());
            QCOMPARE(dialog->typePicture(), QStringLiteral("Res/CompanyAccount3.bmp"));
            cash->click();
            QVERIFY(!bank->isChecked() && cash->isChecked());

            fill(d, 0, QStringLiteral("钱箱"), QStringLiteral("5"));
            click(d, "SpeedButton1");
        });
        QVERIFY(dialog->NewAccount());
        QCOMPARE(ledger->value(QStringLiteral("Select AccountType From Account Where AccountName = '钱箱'"))
                     .toInt(),
            2);
    }

    void inputsAreNamedByTheirLabels()
    {
        const QList<QPair<QString, QString>> expected
            = {{"Edit1", "帐户名称："}, {"Edit2", "期初金额："}, {"Memo1", "备注信息："}};
        for (const auto &[control, text] : expected) {
            QWidget *target = child<QWidget>(dialog.get(), control);
            bool found = false;
            for (QLabel *label : dialog->findChildren<QLabel *>())
                found = found || (label->buddy() == target && label->text() == text);
            QVERIFY2(found, qPrintable(control));
        }
        QCOMPARE(
            child<QCheckBox>(dialog.get(), QStringLiteral("CheckBox1"))->text(), QStringLiteral("银行帐户"));
        QCOMPARE(
            child<QCheckBox>(dialog.get(), QStringLiteral("CheckBox2"))->text(), QStringLiteral("现金帐户"));
        QCOMPARE(child<QWidget>(dialog.get(), QStringLiteral("Memo1"))->toolTip(),
            QStringLiteral("备注信息：可填写帐户卡号，开户地址等"));
    }
};

QUILL_TEST_MAIN(TestAccountDialog)
#include "tst_accountdialog.moc"
