#include "EntryFixture.h"
#include "journal/GetPayForm.h"
#include "platform/Seams.h"
#include "storage/PublicFunction.h"
#include "support/ReportRecorder.h"
#include "support/TestMain.h"

#include <QApplication>
#include <QTest>

using namespace EntryTest;

namespace {
const QString Inserted = QStringLiteral("记录新增成功");

} // namespace

// The bill of an entry as the entry form hands it to the report engine.
class TestBillPrint : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    // The bill: capitals from the amount box as it stands, every other field from the row.
    void printBill()
    {
        Ledger ledger;
        TestSupport::ReportRecorder recorder(ledger.seams);
        const qint64 index = addEntry({.serial = QStringLiteral("ZC26061501"),
            .account = ledger.bank,
            .user = QStringLiteral("华联商场"),
            .amount = 80,
            .remark = QStringLiteral("备注")});
        Forms forms;
        forms.editEntry(index, Expense);
        show(ledger, forms, [&](QDialog *d) {
            type(d, "Edit2", QStringLiteral("90.5"));
            click(d, "PrintButton");
            type(d, "Edit2", QStringLiteral("9..0"));
            click(d, "PrintButton");
            QCOMPARE(focused(d), QStringLiteral("Edit2"));
            // Capitals beyond the largest amount are not written either.
            type(d, "Edit2", QStringLiteral("10000000000"));
            click(d, "PrintButton");
            QCOMPARE(focused(d), QStringLiteral("Edit2"));
        });
        QCOMPARE(ledger.seams.messageTexts(),
            QStringList({"金额格式有误，请重新输入", "金额超出范围，请重新输入"}));
        QCOMPARE(recorder.reports.size(), 1);
        const PreparedReport &bill = recorder.reports.first();
        QVERIFY(bill.templatePath().endsWith(QStringLiteral("/Frf/Bill.frf")));
        const QString capitals = QStringLiteral("玖拾　零元　伍角　零分　");
        QCOMPARE(forms.form.AmountInCapitals, capitals);
        QHash<QString, QString> answers;
        for (const PreparedReport::NamedValue &v : bill.namedValues())
            answers.insert(v.name, v.answer.value_or(QStringLiteral("<none>")));
        QCOMPARE(answers.value(QStringLiteral("MoneyCN")), capitals);
        QCOMPARE(answers.value(QStringLiteral("MoneyKind")), QStringLiteral("财务支出单"));
        QCOMPARE(bill.title(), QStringLiteral("财务支出单"));
        QCOMPARE(TestSupport::ShownRows(bill).size(), 1);
        QVERIFY(TestSupport::ShownRows(bill).first().contains(capitals));
        QVERIFY2(TestSupport::ShownRows(bill).first().contains(QStringLiteral("¥80")),
            qPrintable(TestSupport::ShownRows(bill).first().join('|')));
        QVERIFY(TestSupport::ShownRows(bill).first().contains(QStringLiteral("华联商场")));
        QVERIFY(bill.headerTexts().join(QString()).contains(QStringLiteral("ZC26061501")));
    }

    void automaticPrint_data()
    {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<int>("bills");
        QTest::newRow("开单时自动打印") << "开单时自动打印" << 1;
        QTest::newRow("开单后手动打印") << "开单后手动打印" << 0;
        QTest::newRow("not set") << "" << 0;
    }
    void automaticPrint()
    {
        QFETCH(QString, setting);
        QFETCH(int, bills);
        Ledger ledger;
        if (!setting.isEmpty())
            WriteSetting(Settings::BillPrint, setting);
        TestSupport::ReportRecorder recorder(ledger.seams);
        Forms forms;
        forms.newEntry(Income);
        forms.form.Request.EntryIndex = 1;
        show(ledger, forms, [&](QDialog *d) {
            type(d, "Edit2", QStringLiteral("1234.5"));
            click(d, "BitBtn1");
        });
        QCOMPARE(ledger.seams.messageTexts(), QStringList({Inserted}));
        QCOMPARE(recorder.reports.size(), bills);
        if (bills == 0) {
            QCOMPARE(forms.form.Request.EntryIndex, qint64(1));
            return;
        }
        QCOMPARE(forms.form.Request.EntryIndex, lastEntryIndex());
        const PreparedReport &bill = recorder.reports.first();
        QCOMPARE(bill.title(), QStringLiteral("财务收入单"));
        QVERIFY(TestSupport::ShownRows(bill).first().contains(
            QStringLiteral("壹仟　贰佰　叁拾　肆元　伍角　零分　")));
        QVERIFY(TestSupport::ShownRows(bill).first().contains(QStringLiteral("¥1234.5")));
    }
};

QUILL_TEST_MAIN(TestBillPrint)
#include "tst_billprint.moc"
