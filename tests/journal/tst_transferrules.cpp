#include "journal/TransferRules.h"
#include "support/TestMain.h"

#include <QTest>

class TestTransferRules : public QObject
{
    Q_OBJECT

private slots:
    void reasonByAccountTypes_data()
    {
        QTest::addColumn<int>("source");
        QTest::addColumn<int>("target");
        QTest::addColumn<QString>("reason");
        QTest::newRow("bank to bank") << 1 << 1 << "帐户平调";
        QTest::newRow("cash to cash") << 2 << 2 << "帐户平调";
        QTest::newRow("bank to cash") << 1 << 2 << "帐簿平调";
        QTest::newRow("cash to bank") << 2 << 1 << "帐簿平调";
        QTest::newRow("no type to bank") << 0 << 1 << "帐簿平调";
    }
    void reasonByAccountTypes()
    {
        QFETCH(int, source);
        QFETCH(int, target);
        QFETCH(QString, reason);
        QCOMPARE(TransferReason(source, target), reason);
    }

    // Only the first failure counts, in the order source, target, the two differ, amount.
    void firstFailureOnly_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("amount");
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("message");
        const int none = int(TransferField::None), amount = int(TransferField::Amount);
        QTest::newRow("nothing chosen") << ""
                                        << ""
                                        << "-5" << int(TransferField::Source) << "请选择调出帐户";
        QTest::newRow("no target") << "甲"
                                   << ""
                                   << "-5" << int(TransferField::Target) << "请选择调入帐户";
        QTest::newRow("same, bad amount") << "甲"
                                          << "甲"
                                          << "-5" << none << "调出帐户和调入帐户不能相同";
        QTest::newRow("two points") << "甲"
                                    << "乙"
                                    << "1..5" << amount << "金额格式有误，请重新输入";
        QTest::newRow("above the limit") << "甲"
                                         << "乙"
                                         << "10000000000.5" << amount << "金额超出范围，请重新输入";
        QTest::newRow("the limit passes") << "甲"
                                          << "乙"
                                          << "9999999999.99" << none << "";
        QTest::newRow("zero passes") << "甲"
                                     << "乙"
                                     << "0" << none << "";
        QTest::newRow("point first passes") << "甲"
                                            << "乙"
                                            << ".5" << none << "";
    }
    void firstFailureOnly()
    {
        QFETCH(QString, source);
        QFETCH(QString, target);
        QFETCH(QString, amount);
        QFETCH(int, field);
        QFETCH(QString, message);
        const TransferCheck check = CheckTransferChoices(source, target, amount);
        QCOMPARE(int(check.field), field);
        QCOMPARE(check.message, message);
        QCOMPARE(check.passed(), message.isEmpty());
    }

    void exceedsBalanceToTheCent_data()
    {
        QTest::addColumn<double>("amount");
        QTest::addColumn<double>("balance");
        QTest::addColumn<bool>("exceeds");
        QTest::newRow("equal, binary remainder below") << 500.3 << 100.1 + 400.2 << false;
        QTest::newRow("a cent more") << 500.31 << 100.1 + 400.2 << true;
        QTest::newRow("less") << 20.0 << 25.5 << false;
        QTest::newRow("zero on zero") << 0.0 << 0.0 << false;
        QTest::newRow("zero on an overdrawn account") << 0.0 << -5.0 << true;
    }
    void exceedsBalanceToTheCent()
    {
        QFETCH(double, amount);
        QFETCH(double, balance);
        QFETCH(bool, exceeds);
        QCOMPARE(ExceedsBalance(amount, balance), exceeds);
    }
};

QUILL_TEST_MAIN(TestTransferRules)
#include "tst_transferrules.moc"
