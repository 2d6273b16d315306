#include "journal/EntryFixture.h"
#include "platform/Seams.h"
#include "receivables/GetPayForm4.h"
#include "support/TestMain.h"
#include "widgets/DataGrid.h"

#include <QAction>
#include <QLabel>
#include <QTest>

using namespace EntryTest;

namespace {
QStringList captions(const DataGrid *grid)
{
    QStringList list;
    for (int c = 0; c < grid->columnCount(); ++c)
        list.append(grid->column(c).caption);
    return list;
}

QStringList fields(const DataGrid *grid)
{
    QStringList list;
    for (int c = 0; c < grid->columnCount(); ++c)
        list.append(grid->column(c).field);
    return list;
}

QStringList footers(const DataGrid *grid)
{
    QStringList list;
    for (int c = 0; c < grid->columnCount(); ++c)
        list.append(grid->footerText(c));
    return list;
}
} // namespace

class TestMatching : public QObject
{
    Q_OBJECT

private slots:
    void captionsAndPromptByKind_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QStringList>("captions");
        QTest::addColumn<QString>("prompt");
        QTest::newRow("应收") << "应收"
                              << QStringList {"应收日期", "应收客户", "应收金额", "已收金额", "尚欠金额",
                                     "备注信息"}
                              << "提示：是否更新该客户的应收记录，如果是，请先选择一条应收记录";
        QTest::newRow("应付") << "应付"
                              << QStringList {"应付日期", "应付客户", "应付金额", "已付金额", "尚欠金额",
                                     "备注信息"}
                              << "提示：是否更新该客户的应付记录，如果是，请先选择一条应付记录";
    }
    void captionsAndPromptByKind()
    {
        QFETCH(QString, kind);
        QFETCH(QStringList, captions);
        QFETCH(QString, prompt);
        Ledger ledger;
        addRecord(QStringLiteral("华联商场"), kind, 500);
        TFormGetPay4 dialog;
        dialog.Request.MatchUser = QStringLiteral("华联商场");
        dialog.Request.MatchKind = kind;
        ledger.seams.onDialog("TFormGetPay4", [&](QDialog *d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("应收应付记录对应"));
            QCOMPARE(child<QLabel>(d, "Label1")->text(), prompt);
            auto *grid = child<DataGrid>(d, "DBGridEh1");
            QCOMPARE(::captions(grid), captions);
            QCOMPARE(fields(grid),
                QStringList(
                    {"GetPayTime", "GetPayUser", "GetPaySum", "GetPaySum2", "GetPaySum3", "GetPayRemark"}));
            QList<int> widths;
            for (int c = 0; c < grid->columnCount(); ++c)
                widths.append(grid->column(c).width);
            QCOMPARE(widths, QList<int>({75, 120, 60, 60, 65, 200}));
            QCOMPARE(grid->rowCount(), 1);
        });
        QCOMPARE(Platform::ShowModal(&dialog), int(QDialog::Rejected));
    }

    // Every record of exactly this customer and kind, settled ones too; the footer sums them.
    void listsTheCustomersRecordsOfTheKind()
    {
        Ledger ledger;
        const QString customer = QStringLiteral("O'Neil 商行");
        const qint64 open = addRecord(customer, QStringLiteral("应收"), 5000);
        const qint64 settled = addRecord(customer, QStringLiteral("应收"), 1200.5);
        exec(QStringLiteral("Update GetPay Set GetPaySum2 = GetPaySum, GetPaySum3 = 0 Where GetPayIndex = ?"),
            {settled});
        exec(QStringLiteral("Update GetPay Set GetPaySum2 = 2000, GetPaySum3 = 3000 Where GetPayIndex = ?"),
            {open});
        addRecord(customer, QStringLiteral("应付"), 700);
        addRecord(QStringLiteral("O'Neil 商行分店"), QStringLiteral("应收"), 900);
        addRecord(QStringLiteral("O'Neil"), QStringLiteral("应收"), 800);

        TFormGetPay4 dialog;
        dialog.Request.MatchUser = customer;
        dialog.Request.MatchKind = QStringLiteral("应收");
        dialog.MatchIndex = 77;
        ledger.seams.onDialog("TFormGetPay4", [&](QDialog *d) {
            auto *grid = child<DataGrid>(d, "DBGridEh1");
            QCOMPARE(grid->rowCount(), 2);
            QCOMPARE(grid->value(0, QStringLiteral("GetPayIndex")).toLongLong(), open);
            QCOMPARE(grid->value(1, QStringLiteral("GetPayIndex")).toLongLong(), settled);
            QCOMPARE(footers(grid), QStringList({"合计", "", "6200.5", "3200.5", "3000", ""}));
            // The settled one can be chosen as well.
            grid->setCurrentRow(1);
            trigger(d, "ActionYes");
        });
        QCOMPARE(Platform::ShowModal(&dialog), int(QDialog::Accepted));
        QCOMPARE(dialog.MatchIndex, settled);
        QVERIFY(ledger.seams.messages.isEmpty());
    }

    void okNeedsARecord()
    {
        Ledger ledger;
        TFormGetPay4 dialog;
        dialog.Request.MatchUser = QStringLiteral("没有记录的客户");
        dialog.Request.MatchKind = QStringLiteral("应付");
        dialog.MatchIndex = 9;
        ledger.seams.onDialog("TFormGetPay4", [&](QDialog *d) {
            QCOMPARE(footers(child<DataGrid>(d, "DBGridEh1")).value(2), QStringLiteral("0"));
            trigger(d, "ActionYes");
            QCOMPARE(ledger.seams.lastMessage(), QStringLiteral("请先选中一条记录"));
            QVERIFY(d->isVisible());
        });
        QCOMPARE(Platform::ShowModal(&dialog), int(QDialog::Rejected));
        QCOMPARE(dialog.MatchIndex, qint64(9));
    }

    void cancelLeavesTheChoiceAlone()
    {
        Ledger ledger;
        addRecord(QStringLiteral("华联商场"), QStringLiteral("应付"), 300);
        TFormGetPay4 dialog;
        dialog.Request.MatchUser = QStringLiteral("华联商场");
        dialog.Request.MatchKind = QStringLiteral("应付");
        dialog.MatchIndex = 4;
        ledger.seams.onDialog("TFormGetPay4", [&](QDialog *d) { trigger(d, "ActionCancel"); });
        QCOMPARE(Platform::ShowModal(&dialog), int(QDialog::Rejected));
        QCOMPARE(dialog.MatchIndex, qint64(4));
        // The window's close box is a Cancel too.
        ledger.seams.onDialog("TFormGetPay4", [&](QDialog *d) { d->close(); });
        QCOMPARE(Platform::ShowModal(&dialog), int(QDialog::Rejected));
        QCOMPARE(dialog.MatchIndex, qint64(4));
    }
};

QUILL_TEST_MAIN(TestMatching)
#include "tst_matching.moc"
