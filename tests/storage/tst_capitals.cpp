#include "storage/Capitals.h"
#include "support/Helpers.h"
#include "support/TestMain.h"

#include <QTest>

using TestSupport::wide;

class TestCapitals : public QObject
{
    Q_OBJECT

private slots:
    void digitToCapital_data()
    {
        QTest::addColumn<QString>("digit");
        QTest::addColumn<QString>("capital");
        const char *capitals[] = {"零", "壹", "贰", "叁", "肆", "伍", "陆", "柒", "捌", "玖"};
        for (int d = 0; d < 10; ++d)
            QTest::newRow(qPrintable(QString::number(d)))
                << QString::number(d) << QString::fromUtf8(capitals[d]);
        QTest::newRow("point") << "."
                               << "拾";
        QTest::newRow("letter") << "a"
                                << "拾";
        QTest::newRow("minus") << "-"
                               << "拾";
        QTest::newRow("empty") << ""
                               << "拾";
        QTest::newRow("full-width digit") << "１"
                                          << "拾";
    }
    void digitToCapital()
    {
        QFETCH(QString, digit);
        QFETCH(QString, capital);
        QCOMPARE(DigitToCapital(digit), capital);
    }

    void amountToCapitals_data()
    {
        QTest::addColumn<QString>("fen");
        QTest::addColumn<QString>("capitals");
        QTest::newRow("123.45") << "12345" << wide("壹佰 贰拾 叁元 肆角 伍分 ");
        QTest::newRow("100") << "10000" << wide("壹佰 零拾 零元 零角 零分 ");
        QTest::newRow("12.5") << "1250" << wide("壹拾 贰元 伍角 零分 ");
        QTest::newRow("0.5, leading zero kept") << "050" << wide("零元 伍角 零分 ");
        QTest::newRow("305.07") << "30507" << wide("叁佰 零拾 伍元 零角 柒分 ");
        QTest::newRow("one fen") << "1" << wide("壹分 ");
        QTest::newRow("nothing") << ""
                                 << "";
        QTest::newRow("highest of nine positions")
            << "999999999" << wide("玖佰 玖拾 玖万 玖仟 玖佰 玖拾 玖元 玖角 玖分 ");
        // Ten million yuan and more: every digit is written, none dropped.
        QTest::newRow("ten million") << "1000000000"
                                     << wide("壹仟 零佰 零拾 零万 零仟 零佰 零拾 零元 零角 零分 ");
        QTest::newRow("hundreds of millions")
            << "12345678901" << wide("壹亿 贰仟 叁佰 肆拾 伍万 陆仟 柒佰 捌拾 玖元 零角 壹分 ");
        QTest::newRow("up to 万亿")
            << "123456789012345"
            << wide("壹万 贰仟 叁佰 肆拾 伍亿 陆仟 柒佰 捌拾 玖万 零仟 壹佰 贰拾 叁元 肆角 伍分 ");
    }
    void amountToCapitals()
    {
        QFETCH(QString, fen);
        QFETCH(QString, capitals);
        QCOMPARE(AmountToCapitals(fen), capitals);
    }

    void unitsFollowTheChinesePattern()
    {
        // Each unit is one character and one full-width space (GBK A1 A1).
        const QString units = QStringLiteral("分角元拾佰仟万拾佰仟亿拾佰仟万拾佰仟亿");
        for (int position = 0; position < units.size(); ++position) {
            const QString unit = CapitalUnit(position);
            QCOMPARE(unit.size(), 2);
            QCOMPARE(unit.at(0), units.at(position));
            QCOMPARE(unit.at(1), QChar(0x3000));
        }
    }
};

QUILL_TEST_MAIN(TestCapitals)
#include "tst_capitals.moc"
