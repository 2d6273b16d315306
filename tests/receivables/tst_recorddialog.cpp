// The record dialog of a receivable or payable, with the entry form and the matching dialog as
// the program wires them, on the Default ledger with the cashier holding every right.

#include "journal/EntryFixture.h"
#include "receivables/GetPayForm2.h"
#include "support/TestMain.h"
#include "widgets/DataGrid.h"

#include <QAction>
#include <QApplication>
#include <QDateEdit>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>

using namespace EntryTest;

namespace {
const QString Receivable = QStringLiteral("应收");
const QString Payable = QStringLiteral("应付");

struct Dialogs {
    Forms forms;
    TFormGetPay2 record;
    Dialogs() { record.setEntryForm(&forms.form); }
};

int showRecord(
    Ledger &ledger, Dialogs &dialogs, const RecordRequest &request, TestSupport::Seams::DialogScript script)
{
    dialogs.record.Request = request;
    ledger.seams.onDialog(QStringLiteral("TFormGetPay2"), std::move(script));
    return Platform::ShowModal(&dialogs.record);
}

RecordRequest newRecord(const QString &kind)
{
    return {.RecordMode = QStringLiteral("新增"), .RecordKind = kind};
}

RecordRequest editRecord(qint64 index, const QString &kind = Receivable)
{
    return {.RecordMode = QStringLiteral("修改"), .RecordKind = kind, .RecordIndex = index};
}

void trigger(QObject *dialog, const char *name)
{
    if (auto *action = child<QAction>(dialog, name))
        action->trigger();
}

QString label(QObject *dialog, const char *name)
{
    return child<QLabel>(dialog, name)->text();
}

// The due, settled and outstanding amounts the dialog shows.
QStringList figures(QObject *dialog)
{
    return {label(dialog, "Label5"), label(dialog, "Label6"), label(dialog, "Label7")};
}

// What a screen reader says of the three amounts: each caption with its figure.
QStringList spokenFigures(QObject *dialog)
{
    QStringList spoken;
    for (const char *name : {"Label5", "Label6", "Label7"})
        spoken.append(child<QLabel>(dialog, name)->accessibleName());
    return spoken;
}

QString text(QObject *dialog, const char *name)
{
    if (auto *combo = dialog->findChild<QComboBox *>(QString::fromLatin1(name)))
        return combo->currentText();
    return child<QLineEdit>(dialog, name)->text();
}

bool shown(QObject *dialog, const char *name)
{
    return !child<QWidget>(dialog, name)->isHidden();
}

QVariantList stored(qint64 index)
{
    const QVariantMap r = record(index);
    return {
        r.value("GetPaySum").toDouble(), r.value("GetPaySum2").toDouble(), r.value("GetPaySum3").toDouble()};
}

// An entry form script: the amount typed and saved; an empty amount cancels the form.
TestSupport::Seams::DialogScript saveEntry(const QString &amount)
{
    return [amount](QDialog *d) {
        if (amount.isEmpty())
            return;
        type(d, "Edit2", amount);
        click(d, "BitBtn1");
    };
}

// A receivable of 5000 with one income of 2000 that settles it.
struct SettledRecord {
    qint64 record = 0;
    qint64 entry = 0;
    explicit SettledRecord(Ledger &ledger, const QString &owner = Cashier)
    {
        record = addRecord(QStringLiteral("华联商场"), Receivable, 5000);
        exec(QStringLiteral(
                 "Update GetPay Set GetPayReason = '销售收入', GetPayMan = '本人', GetPayPower = ?, "
                 "GetPaySum2 = 2000, GetPaySum3 = 3000 Where GetPayIndex = ?"),
            {owner, record});
        entry = addEntry({.kind = Income,
            .getPay = record,
            .account = ledger.bank,
            .amount = 2000,
            .reason = QStringLiteral("销售收入")});
    }
};
} // namespace

class TestRecordDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    void captionsByModeAndKind_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("banner");
        QTest::addColumn<QStringList>("captions");
        QTest::addColumn<QString>("firstReason");
        QTest::newRow("new 应收") << "新增" << Receivable << "Res/NewGet2.bmp"
                                  << QStringList {"应收金额", "应收：", "已收：", "未收："} << "销售收入";
        QTest::newRow("edit 应收") << "修改" << Receivable << "Res/EditGet2.bmp"
                                   << QStringList {"应收金额", "应收：", "已收：", "未收："} << "销售收入";
        QTest::newRow("new 应付") << "新增" << Payable << "Res/NewPay2.bmp"
                                  << QStringList {"应付金额", "应付：", "已付：", "未付："} << "办公费用";
        QTest::newRow("edit 应付") << "修改" << Payable << "Res/EditPay2.bmp"
                                   << QStringList {"应付金额", "应付：", "已付：", "未付："} << "办公费用";
    }
    void captionsByModeAndKind()
    {
        QFETCH(QString, mode);
        QFETCH(QString, kind);
        QFETCH(QString, banner);
        QFETCH(QStringList, captions);
        QFETCH(QString, firstReason);
        Ledger ledger;
        Dialogs dialogs;
        const qint64 index = addRecord(QStringLiteral("华联商场"), kind, 0);
        RecordRequest request = editRecord(index, kind);
        request.RecordMode = mode;
        showRecord(ledger, dialogs, request, [&](QDialog *d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("应收应付管理"));
            const QImage expected = QPixmap(ledger.folder.filePath(banner)).toImage();
            QVERIFY(!expected.isNull());
            QCOMPARE(child<QLabel>(d, "Image1")->pixmap().toImage(), expected);
            QCOMPARE(
                QStringList({label(d, "Label1"), label(d, "Label2"), label(d, "Label3"), label(d, "Label4")}),
                captions);
            QCOMPARE(items(d, "ComboBox2").value(0), firstReason);
            QCOMPARE(items(d, "ComboBox1").value(0), QStringLiteral("零散客户"));
            QCOMPARE(items(d, "ComboBox3"), QStringList({"本人"}));
            auto *grid = child<DataGrid>(d, "DBGridEh1");
            QStringList columns;
            for (int c = 0; c < grid->columnCount(); ++c)
                columns << grid->column(c).caption + "=" + grid->column(c).field;
            QCOMPARE(columns,
                QStringList({"开单时间=MoneyCreateTime", "单据编号=MoneySerial", "收入=MoneyIn",
                    "支出=MoneyOut", "合计=MoneySum"}));
            QCOMPARE(focused(d), QStringLiteral("DateTimePicker1"));
        });
        QVERIFY(ledger.seams.messages.isEmpty());
    }

    // A new receivable stored with 确定 alone: due, nothing settled, everything outstanding, the
    // kind and the user who stored it.
    void newRecordStoredWithOkAlone()
    {
        Ledger ledger;
        Dialogs dialogs;
        const int result = showRecord(ledger, dialogs, newRecord(Receivable), [&](QDialog *d) {
            QCOMPARE(child<QDateEdit>(d, "DateTimePicker1")->date(), QDate(2026, 6, 15));
            QCOMPARE(text(d, "ComboBox1"), QString());
            QCOMPARE(text(d, "Edit2"), QStringLiteral("0"));
            QCOMPARE(text(d, "ComboBox2"), QStringLiteral("销售收入"));
            QCOMPARE(text(d, "ComboBox3"), QString());
            QCOMPARE(figures(d), QStringList({"0", "0", "0"}));
            QCOMPARE(child<DataGrid>(d, "DBGridEh1")->rowCount(), 0);
            QVERIFY(shown(d, "SpeedButton1"));
            child<QDateEdit>(d, "DateTimePicker1")->setDate(QDate(2026, 6, 3));
            child<QComboBox>(d, "ComboBox1")->setEditText(QStringLiteral("O'Neil 商行"));
            type(d, "Edit2", QStringLiteral("5000"));
            choose(d, "ComboBox2", QStringLiteral("服务收入"));
            type(d, "Edit3", QStringLiteral("首批 'A'"));
            child<QComboBox>(d, "ComboBox3")->setEditText(QStringLiteral("小王"));
            trigger(d, "ActionYes");
        });
        QCOMPARE(result, int(QDialog::Accepted));
        QVERIFY(dialogs.record.RecordChanged);
        QCOMPARE(ledger.seams.messageTexts(), QStringList({"记录新增成功"}));
        const QList<QVariantMap> records = rows(QStringLiteral("Select * From GetPay Where GetPayIndex > 1"));
        QCOMPARE(records.size(), 1);
        const QVariantMap r = records.first();
        QCOMPARE(stored(r.value("GetPayIndex").toLongLong()), QVariantList({5000.0, 0.0, 5000.0}));
        QCOMPARE(r.value("GetPayKind").toString(), Receivable);
        QCOMPARE(r.value("GetPayPower").toString(), Cashier);
        QCOMPARE(r.value("GetPayTime").toString(), QStringLiteral("2026-06-03"));
        QCOMPARE(r.value("GetPayUser").toString(), QStringLiteral("O'Neil 商行"));
        QCOMPARE(r.value("GetPayReason").toString(), QStringLiteral("服务收入"));
        QCOMPARE(r.value("GetPayRemark").toString(), QStringLiteral("首批 'A'"));
        QCOMPARE(r.value("GetPayMan").toString(), QStringLiteral("小王"));
    }

    // 5000 due and a settling income added through 新增 before the record was stored: 确定
    // keeps both, a cancel (either way) takes back the record with its entries.
    void settlingEntryThenOkOrCancel_data()
    {
        QTest::addColumn<QString>("entryAmount"); // empty: the entry form is cancelled
        QTest::addColumn<QString>("close"); // ActionYes, ActionCancel or the close box
        QTest::addColumn<bool>("kept");
        QTest::addColumn<int>("refreshes");
        QTest::newRow("确定") << "2000"
                              << "ActionYes" << true << 1;
        QTest::newRow("取消") << "2000"
                              << "ActionCancel" << false << 2;
        QTest::newRow("close box") << "2000"
                                   << "" << false << 2;
        QTest::newRow("entry cancelled, then 取消") << ""
                                                    << "ActionCancel" << false << 0;
    }
    void settlingEntryThenOkOrCancel()
    {
        QFETCH(QString, entryAmount);
        QFETCH(QString, close);
        QFETCH(bool, kept);
        QFETCH(int, refreshes);
        Ledger ledger;
        Dialogs dialogs;
        QSignalSpy refreshed(ShareDataModule, &TShareDataModule::refreshAllRequested);
        ledger.seams.onDialog(QStringLiteral("TFormGetPay"), [&](QDialog *d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("新增财务收入"));
            QCOMPARE(text(d, "ComboBox5"), QStringLiteral("华联商场"));
            QCOMPARE(text(d, "ComboBox2"), QStringLiteral("利息收入"));
            QCOMPARE(text(d, "ComboBox6"), QStringLiteral("本人"));
            QCOMPARE(text(d, "Edit2"), QString());
            saveEntry(entryAmount)(d);
        });
        showRecord(ledger, dialogs, newRecord(Receivable), [&](QDialog *d) {
            child<QComboBox>(d, "ComboBox1")->setEditText(QStringLiteral("华联商场"));
            type(d, "Edit2", QStringLiteral("5000"));
            choose(d, "ComboBox2", QStringLiteral("利息收入"));
            choose(d, "ComboBox3", QStringLiteral("本人"));
            click(d, "Button2");
            QCOMPARE(count(QStringLiteral("GetPay Where GetPayIndex > 1")), 1);
            if (!entryAmount.isEmpty()) {
                QCOMPARE(figures(d), QStringList({"5000", "2000", "3000"}));
                auto *grid = child<DataGrid>(d, "DBGridEh1");
                QCOMPARE(grid->rowCount(), 1);
                QCOMPARE(grid->displayText(0, 0), QStringLiteral("2026-6-15"));
                QCOMPARE(grid->displayText(0, 4), QStringLiteral("2000"));
            }
            if (close.isEmpty())
                d->close();
            else
                trigger(d, qPrintable(close));
        });
        QCOMPARE(ledger.seams.shownDialogs, QStringList({"TFormGetPay2", "TFormGetPay"}));
        QCOMPARE(refreshed.count(), refreshes);
        QCOMPARE(dialogs.record.RecordChanged, kept || !entryAmount.isEmpty());
        if (!kept) {
            QCOMPARE(count(QStringLiteral("GetPay Where GetPayIndex > 1")), 0);
            QCOMPARE(count(QStringLiteral("MoneyTable Where MoneyIndex > 1")), 0);
            return;
        }
        const qint64 index = rows(QStringLiteral("Select GetPayIndex From GetPay Where GetPayIndex > 1"))
                                 .value(0)
                                 .value("GetPayIndex")
                                 .toLongLong();
        QCOMPARE(stored(index), QVariantList({5000.0, 2000.0, 3000.0}));
        QCOMPARE(record(index).value("GetPayPower").toString(), Cashier);
        QCOMPARE(entry(lastEntryIndex()).value("MoneyGetPay").toLongLong(), index);
        QCOMPARE(ledger.seams.messageTexts(), QStringList({"记录新增成功", "记录新增成功"}));
    }

    // Taking back a cancelled new record is one change: when the record cannot go, its entries
    // stay with it and the failure is shown.
    void cancelThatCannotDeleteKeepsRecordAndEntries()
    {
        Ledger ledger;
        Dialogs dialogs;
        ledger.seams.onDialog(QStringLiteral("TFormGetPay"), saveEntry(QStringLiteral("2000")));
        showRecord(ledger, dialogs, newRecord(Receivable), [&](QDialog *d) {
            type(d, "Edit2", QStringLiteral("5000"));
            click(d, "Button2");
            exec(QStringLiteral("Create Trigger KeepRecords Before Delete On GetPay "
                                "Begin Select Raise(Abort, 'kept'); End"));
            trigger(d, "ActionCancel");
        });
        QCOMPARE(ledger.seams.lastMessage(), QStringLiteral("SQL命令执行出错"));
        QCOMPARE(count(QStringLiteral("GetPay Where GetPayIndex > 1")), 1);
        QCOMPARE(count(QStringLiteral("MoneyTable Where MoneyIndex > 1")), 1);
        QVERIFY(dialogs.record.RecordChanged);
    }

    void amountChecks_data()
    {
        QTest::addColumn<QString>("amount");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("message"); // empty: accepted
        QTest::addColumn<double>("due");
        QTest::newRow("three decimals") << "12.345"
                                        << "ActionYes"
                                        << "金额内容可能有误，请重新输入" << 0.0;
        QTest::newRow("two decimals") << "12.34"
                                      << "ActionYes"
                                      << "" << 12.34;
        QTest::newRow("whole") << "12"
                               << "ActionYes"
                               << "" << 12.0;
        QTest::newRow("minus") << "-5"
                               << "ActionYes"
                               << "金额格式有误，请重新输入" << 0.0;
        QTest::newRow("empty") << ""
                               << "ActionYes"
                               << "金额格式有误，请重新输入" << 0.0;
        QTest::newRow("two points") << "1..5"
                                    << "ActionYes"
                                    << "金额格式有误，请重新输入" << 0.0;
        QTest::newRow("a point alone") << "."
                                       << "ActionYes"
                                       << "金额格式有误，请重新输入" << 0.0;
        QTest::newRow("above the limit") << "10000000000"
                                         << "ActionYes"
                                         << "金额超出范围，请重新输入" << 0.0;
        QTest::newRow("above the limit, 新增") << "99999999999999999999"
                                               << "Button2"
                                               << "金额超出范围，请重新输入" << 0.0;
        QTest::newRow("the limit") << "9999999999.99"
                                   << "ActionYes"
                                   << "" << 9999999999.99;
        QTest::newRow("two points, 新增") << "1..5"
                                          << "Button2"
                                          << "金额格式有误，请重新输入" << 0.0;
        QTest::newRow("three decimals, 新增") << "0.125"
                                              << "Button2"
                                              << "金额内容可能有误，请重新输入" << 0.0;
    }
    void amountChecks()
    {
        QFETCH(QString, amount);
        QFETCH(QString, button);
        QFETCH(QString, message);
        QFETCH(double, due);
        Ledger ledger;
        Dialogs dialogs;
        showRecord(ledger, dialogs, newRecord(Payable), [&](QDialog *d) {
            type(d, "Edit2", amount);
            if (button == QLatin1String("Button2"))
                click(d, "Button2");
            else
                trigger(d, "ActionYes");
            if (!message.isEmpty()) {
                QCOMPARE(ledger.seams.messageTexts(), QStringList({message}));
                QCOMPARE(focused(d), QStringLiteral("Edit2"));
                QVERIFY(d->isVisible());
            }
        });
        QCOMPARE(ledger.seams.shownDialogs, QStringList({"TFormGetPay2"}));
        if (!message.isEmpty()) {
            QCOMPARE(count(QStringLiteral("GetPay Where GetPayIndex > 1")), 0);
            return;
        }
        const qint64 index = rows(QStringLiteral("Select GetPayIndex From GetPay Where GetPayIndex > 1"))
                                 .value(0)
                                 .value("GetPayIndex")
                                 .toLongLong();
        QCOMPARE(stored(index), QVariantList({due, 0.0, due}));
        QCOMPARE(record(index).value("GetPayKind").toString(), Payable);
    }

    // Entries of a stored record changed and deleted from the dialog: the amounts follow and
    // every view is asked to refresh after a delete.
    void changeAndDeleteSettlingEntries()
    {
        Ledger ledger;
        Dialogs dialogs;
        const SettledRecord settled(ledger);
        QSignalSpy refreshed(ShareDataModule, &TShareDataModule::refreshAllRequested);
        ledger.seams.onDialog(QStringLiteral("TFormGetPay"), [&](QDialog *d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("修改财务收入"));
            QCOMPARE(text(d, "Edit2"), QStringLiteral("2000"));
            type(d, "Edit2", QStringLiteral("2500"));
            click(d, "BitBtn1");
        });
        showRecord(ledger, dialogs, editRecord(settled.record), [&](QDialog *d) {
            QCOMPARE(figures(d), QStringList({"5000", "2000", "3000"}));
            QCOMPARE(text(d, "Edit2"), QStringLiteral("5000"));
            auto *grid = child<DataGrid>(d, "DBGridEh1");
            QCOMPARE(grid->rowCount(), 1);
            QCOMPARE(spokenFigures(d), QStringList({"应收：5000", "已收：2000", "未收：3000"}));
            emit grid->gridDoubleClicked(0, 1);
            QCOMPARE(figures(d), QStringList({"5000", "2500", "2500"}));
            QCOMPARE(spokenFigures(d), QStringList({"应收：5000", "已收：2500", "未收：2500"}));
            ledger.seams.answerQuestions({false, true});
            click(d, "Button4");
            QCOMPARE(grid->rowCount(), 1);
            click(d, "Button4");
            QCOMPARE(grid->rowCount(), 0);
            QCOMPARE(figures(d), QStringList({"5000", "0", "5000"}));
            // Nothing left to change or delete.
            click(d, "Button3");
            click(d, "Button4");
        });
        QVERIFY(entry(settled.entry).isEmpty());
        QCOMPARE(stored(settled.record), QVariantList({5000.0, 0.0, 5000.0}));
        QVERIFY(dialogs.record.RecordChanged);
        QCOMPARE(refreshed.count(), 2); // the entry form's save, the delete
        QCOMPARE(ledger.seams.messages.at(1).text, QStringLiteral("确实要删除该记录吗？"));
        QCOMPARE(ledger.seams.messages.at(1).caption, QStringLiteral("删除警告"));
        QCOMPARE(ledger.seams.shownDialogs, QStringList({"TFormGetPay2", "TFormGetPay"}));
    }

    // Without 数据修改 the record is shown without 确定; its entries can still be added and
    // deleted.
    void editWithoutTheRightToEdit()
    {
        Ledger ledger;
        Session().RightEdit = false;
        Dialogs dialogs;
        const SettledRecord settled(ledger);
        ledger.seams.onDialog(QStringLiteral("TFormGetPay"), saveEntry(QStringLiteral("500")));
        ledger.seams.answerQuestions({true});
        showRecord(ledger, dialogs, editRecord(settled.record), [&](QDialog *d) {
            QVERIFY(!shown(d, "SpeedButton1"));
            type(d, "Edit2", QStringLiteral("9"));
            trigger(d, "ActionYes");
            QVERIFY(d->isVisible());
            click(d, "Button2");
            QCOMPARE(figures(d), QStringList({"5000", "2500", "2500"}));
            auto *grid = child<DataGrid>(d, "DBGridEh1");
            QVERIFY(grid->selectRowWithKey(QStringLiteral("MoneyIndex"), settled.entry));
            click(d, "Button4");
            QCOMPARE(figures(d), QStringList({"5000", "500", "4500"}));
        });
        QCOMPARE(stored(settled.record), QVariantList({5000.0, 500.0, 4500.0}));
        QVERIFY(entry(settled.entry).isEmpty());
    }

    // 确定 in edit mode stores what the controls hold, keeps kind and owner, and keeps a reason,
    // customer and salesman that their lists no longer offer.
    void editKeepsKindOwnerAndStaleChoices()
    {
        Ledger ledger;
        Dialogs dialogs;
        const SettledRecord settled(ledger, QStringLiteral("会计"));
        exec(QStringLiteral("Update GetPay Set GetPayReason = '旧的收入', GetPayUser = '已删客户', "
                            "GetPayMan = '离职业务员', GetPayRemark = '原备注', GetPaySum = 1234.567 "
                            "Where GetPayIndex = ?"),
            {settled.record});
        showRecord(ledger, dialogs, editRecord(settled.record), [&](QDialog *d) {
            QCOMPARE(text(d, "Edit2"), QStringLiteral("1234.567"));
            QCOMPARE(text(d, "ComboBox2"), QStringLiteral("旧的收入"));
            QCOMPARE(text(d, "ComboBox1"), QStringLiteral("已删客户"));
            QCOMPARE(text(d, "ComboBox3"), QStringLiteral("离职业务员"));
            QVERIFY(items(d, "ComboBox2").contains(QStringLiteral("销售收入")));
            type(d, "Edit2", QStringLiteral("6000"));
            trigger(d, "ActionYes");
        });
        QCOMPARE(ledger.seams.messageTexts(), QStringList({"记录修改成功"}));
        const QVariantMap r = record(settled.record);
        QCOMPARE(stored(settled.record), QVariantList({6000.0, 2000.0, 4000.0}));
        QCOMPARE(r.value("GetPayReason").toString(), QStringLiteral("旧的收入"));
        QCOMPARE(r.value("GetPayUser").toString(), QStringLiteral("已删客户"));
        QCOMPARE(r.value("GetPayMan").toString(), QStringLiteral("离职业务员"));
        QCOMPARE(r.value("GetPayRemark").toString(), QStringLiteral("原备注"));
        QCOMPARE(r.value("GetPayKind").toString(), Receivable);
        QCOMPARE(r.value("GetPayPower").toString(), QStringLiteral("会计"));
        QCOMPARE(r.value("GetPayTime").toString(), QStringLiteral("2026-06-01"));
    }

    // Settling more than is due leaves a negative outstanding amount.
    void settlingBeyondTheAmount()
    {
        Ledger ledger;
        Dialogs dialogs;
        const qint64 index = addRecord(QStringLiteral("华联商场"), Payable, 5000);
        ledger.seams.onDialog(QStringLiteral("TFormGetPay"), [](QDialog *d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("新增财务支出"));
            saveEntry(QStringLiteral("6000"))(d);
        });
        showRecord(ledger, dialogs, editRecord(index, Payable), [&](QDialog *d) {
            click(d, "Button2");
            QCOMPARE(figures(d), QStringList({"5000", "6000", "-1000"}));
            trigger(d, "ActionYes");
        });
        QCOMPARE(stored(index), QVariantList({5000.0, 6000.0, -1000.0}));
        QCOMPARE(entry(lastEntryIndex()).value("MoneySum").toDouble(), -6000.0);
    }

    void saveCustomer()
    {
        Ledger ledger;
        Dialogs dialogs;
        const QString name = QStringLiteral("O'Hara 公司");
        showRecord(ledger, dialogs, newRecord(Receivable), [&](QDialog *d) {
            auto *customer = child<QComboBox>(d, "ComboBox1");
            click(d, "Button1");
            customer->setEditText(QStringLiteral("零散客户"));
            click(d, "Button1");
            customer->setEditText(name);
            click(d, "Button1");
            QCOMPARE(items(d, "ComboBox1"), QStringList({"零散客户", name}));
            QCOMPARE(customer->currentText(), name);
        });
        QCOMPARE(ledger.seams.messageTexts(),
            QStringList({"客户名称不能为空", "客户名称保存成功", "客户名称保存成功"}));
        QCOMPARE(count(QStringLiteral("Parameter Where ParameterType = 4")), 2);
        QCOMPARE(count(QStringLiteral("GetPay Where GetPayIndex > 1")), 0);
    }

    // A record gone before the show closes the dialog at once; gone before 确定, the dialog
    // stays open with nothing written.
    void vanishedRecord()
    {
        Ledger ledger;
        Dialogs dialogs;
        bool closed = false;
        const int result = showRecord(ledger, dialogs, editRecord(999), [&](QDialog *d) {
            QCoreApplication::processEvents();
            closed = !d->isVisible();
        });
        QVERIFY(closed);
        QCOMPARE(result, int(QDialog::Rejected));
        const qint64 index = addRecord(QStringLiteral("华联商场"), Receivable, 100);
        showRecord(ledger, dialogs, editRecord(index), [&](QDialog *d) {
            exec(QStringLiteral("Delete From GetPay Where GetPayIndex = ?"), {index});
            trigger(d, "ActionYes");
            QVERIFY(d->isVisible());
        });
        QCOMPARE(ledger.seams.messageTexts(), QStringList({"找不到要修改的记录", "找不到要修改的记录"}));
        QCOMPARE(count(QStringLiteral("GetPay Where GetPayIndex > 1")), 0);
    }
};

QUILL_TEST_MAIN(TestRecordDialog)
#include "tst_recorddialog.moc"
