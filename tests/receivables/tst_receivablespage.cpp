// The "应收应付" tab as a user reaches it: the program started on the Default ledger with a few
// receivables and payables, a user logged in, the page's commands and display modes used.

#include "app/Dialogs.h"
#include "app/MainForm.h"
#include "receivables/GetPayForm2.h"
#include "receivables/GetPayForm3.h"
#include "support/ProgramRun.h"
#include "support/ReportRecorder.h"
#include "support/TestMain.h"
#include "widgets/DataGrid.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>

using namespace TestSupport;

namespace {
const QString Wang = QStringLiteral("王五");

// What the Default ledger holds for these tests, by name.
struct Seeded {
    qint64 r1 = 0; // 华联商场 5000, settled 2000 by two incomes
    qint64 r2 = 0;
    qint64 r3 = 0;
    qint64 r4 = 0; // 王五's
    qint64 p1 = 0; // settled 100 by one expense
    qint64 p2 = 0; // 王五's
};

qint64 addRecord(LedgerFile &ledger, const QString &time, const QString &user, const QString &kind,
    double due, double settled, const QString &reason, const QString &man, const QString &remark,
    const QString &owner = Cashier)
{
    return ledger.insert(
        QStringLiteral("Insert Into GetPay (GetPayTime, GetPayUser, GetPayKind, GetPaySum, GetPaySum2, "
                       "GetPaySum3, GetPayReason, GetPayRemark, GetPayMan, GetPayPower) "
                       "Values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
        {time, user, kind, due, settled, due - settled, reason, remark, man, owner});
}

qint64 addSettlingEntry(LedgerFile &ledger, qint64 account, double amount, qint64 record)
{
    const qint64 index = ledger.addEntry(account, amount, QDate(2026, 6, 10));
    ledger.exec(
        QStringLiteral("Update MoneyTable Set MoneyGetPay = ? Where MoneyIndex = ?"), {record, index});
    return index;
}

Seeded seed(Run &run)
{
    auto ledger = run.ledger();
    Seeded s;
    // The reserved row looks like a receivable here: it must still never be listed.
    ledger->exec(
        QStringLiteral("Update GetPay Set GetPayKind = '应收', GetPayUser = '保留行', GetPaySum = 1, "
                       "GetPaySum3 = 1, GetPayPower = '出纳' Where GetPayIndex = 1"));
    const qint64 bank = ledger->addAccount(QStringLiteral("工商银行"), 1, 0);
    s.r1 = addRecord(*ledger, "2026-06-01", "华联商场", "应收", 5000, 2000, "销售收入", "小王", "首批");
    s.r2 = addRecord(*ledger, "2026-06-03", "华联商场", "应收", 1200.5, 1200.5, "服务收入", "本人", "尾款");
    s.r3 = addRecord(*ledger, "2026-06-03", "O'Neil 商场", "应收", 800, 0, "利息收入", "小李", "");
    s.r4 = addRecord(*ledger, "2026-06-02", "远方客户", "应收", 999, 0, "销售收入", "本人", "王五的", Wang);
    s.p1 = addRecord(*ledger, "2026-06-02", "华联商场", "应付", 700, 100, "采购货款", "小王", "首批");
    s.p2 = addRecord(*ledger, "2026-06-05", "新星公司", "应付", 300, 100, "办公费用", "本人", "", Wang);
    addSettlingEntry(*ledger, bank, 1500, s.r1);
    addSettlingEntry(*ledger, bank, 500, s.r1);
    addSettlingEntry(*ledger, bank, -100, s.p1);
    ledger->addUser(Wang, QStringLiteral("财务收入，财务支出"));
    return s;
}

DataGrid *grid(TFormMain *window, const char *name)
{
    return child<DataGrid>(window, QString::fromLatin1(name));
}

QStringList captions(const DataGrid *grid)
{
    QStringList list;
    for (int c = 0; c < grid->columnCount(); ++c)
        list << grid->column(c).caption + QLatin1Char('=') + grid->column(c).field + QLatin1Char('=')
                + QString::number(grid->column(c).width);
    return list;
}

QStringList footers(const DataGrid *grid)
{
    QStringList list;
    for (int c = 0; c < grid->columnCount(); ++c)
        list << grid->footerText(c);
    return list;
}

QStringList cells(const DataGrid *grid, int row)
{
    QStringList list;
    for (int c = 0; c < grid->columnCount(); ++c)
        list << grid->displayText(row, c);
    return list;
}

// The values of one field over every row, sorted.
QStringList column(const DataGrid *grid, const QString &field)
{
    QStringList list;
    for (int r = 0; r < grid->rowCount(); ++r)
        list << GridValueText(grid->value(r, field));
    list.sort();
    return list;
}

QStringList shownCommands(TFormMain *window)
{
    QStringList shown;
    for (const char *name :
        {"SpeedButton5", "SpeedButton6", "SpeedButton7", "SpeedButton8", "SpeedButton9", "SpeedButton10"})
        if (!child<QWidget>(window, QString::fromLatin1(name))->isHidden())
            shown << QString::fromLatin1(name);
    return shown;
}

void clickRadio(TFormMain *window, const QString &name)
{
    child<QRadioButton>(window, name)->click();
}

// The account panel's balance of the only account.
QString balance(TFormMain *window)
{
    auto *panel = child<QWidget>(window, QStringLiteral("AccountPanel0"));
    return child<QLabel>(panel, QStringLiteral("AccountMoney"))->text();
}

// A filter dialog script: the inputs set, then OK.
Seams::DialogScript filterWith(const QString &customer, const QString &reason = {}, const QString &man = {},
    const QString &remark = {}, const QDate &from = {}, const QDate &to = {})
{
    return [=](QDialog *d) {
        child<QComboBox>(d, QStringLiteral("ComboBox1"))->setEditText(customer);
        child<QComboBox>(d, QStringLiteral("ComboBox2"))->setEditText(reason);
        child<QComboBox>(d, QStringLiteral("ComboBox3"))->setEditText(man);
        child<QLineEdit>(d, QStringLiteral("Edit3"))->setText(remark);
        child<QCheckBox>(d, QStringLiteral("CheckBox1"))->setChecked(from.isValid());
        if (from.isValid()) {
            child<QDateEdit>(d, QStringLiteral("DateTimePicker1"))->setDate(from);
            child<QDateEdit>(d, QStringLiteral("DateTimePicker2"))->setDate(to);
        }
        trigger(d, QStringLiteral("ActionYes"));
    };
}
} // namespace

class TestReceivablesPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    void normalLayoutPositions_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QRect>("expected");
        // -1: not fixed by the layout, or moved by it so that the control is not cut off (the panel's
        // width and the export buttons' left, which lie past the page's right edge in this layout).
        QTest::newRow("receivables grid") << "DBGridEh3" << QRect(-1, -1, 418, 213);
        QTest::newRow("payables grid") << "DBGridEh4" << QRect(-1, -1, 418, 213);
        QTest::newRow("payables panel") << "PanelPay" << QRect(-1, 240, -1, -1);
        QTest::newRow("bevel") << "Bevel6" << QRect(-1, -1, 640, -1);
        QTest::newRow("receivables export") << "SpeedButton1" << QRect(-1, -1, -1, -1);
        QTest::newRow("payables export") << "SpeedButton2" << QRect(-1, 260, -1, -1);
    }
    void normalLayoutPositions()
    {
        QFETCH(QString, control);
        QFETCH(QRect, expected);
        Run run;
        QVERIFY(run.startAs(Cashier));
        QWidget *placed = child<QWidget>(run.window(), control);
        const QRect actual = placed->geometry();
        QVERIFY2(placed->parentWidget()->rect().contains(actual), qPrintable(control));
        if (expected.x() >= 0)
            QCOMPARE(actual.x(), expected.x());
        if (expected.y() >= 0)
            QCOMPARE(actual.y(), expected.y());
        if (expected.width() >= 0)
            QCOMPARE(actual.width(), expected.width());
        if (expected.height() >= 0)
            QCOMPARE(actual.height(), expected.height());
    }

    void displayModes_data()
    {
        QTest::addColumn<QString>("gridName");
        QTest::addColumn<QString>("radio");
        QTest::addColumn<QStringList>("columns");
        QTest::addColumn<QStringList>("footers");
        QTest::addColumn<int>("row");
        QTest::addColumn<QStringList>("cells");
        QTest::addColumn<QStringList>("commands");
        const QStringList getCommands = {"SpeedButton5", "SpeedButton6", "SpeedButton7"};
        const QStringList payCommands = {"SpeedButton8", "SpeedButton9", "SpeedButton10"};
        QTest::newRow("应收 by record")
            << "DBGridEh3"
            << "RadioButton1"
            << QStringList {"应收日期=GetPayTime=75", "应收客户=GetPayUser=120", "应收金额=GetPaySum=60",
                   "已收金额=GetPaySum2=60", "尚欠金额=GetPaySum3=65", "备注信息=GetPayRemark=200"}
            << QStringList {"合计", "4 条记录", "7999.5", "3200.5", "4799", ""} << 0
            << QStringList {"2026-6-1", "华联商场", "5000", "2000", "3000", "首批"}
            << getCommands + payCommands;
        QTest::newRow("应收 by customer")
            << "DBGridEh3"
            << "RadioButton2"
            << QStringList {"应收客户=GetPayUser=130", "应收金额=GetPaySum=60", "已收金额=GetPaySum2=60",
                   "尚欠金额=GetPaySum3=65", "记录数目=GetPayNum=65"}
            << QStringList {"3 条记录", "7999.5", "3200.5", "4799", ""} << 1
            << QStringList {"华联商场", "6200.5", "3200.5", "3000", "2"} << payCommands;
        QTest::newRow("应收 by date")
            << "DBGridEh3"
            << "RadioButton3"
            << QStringList {"应收日期=GetPayTime=130", "应收金额=GetPaySum=60", "已收金额=GetPaySum2=60",
                   "尚欠金额=GetPaySum3=65", "记录数目=GetPayNum=65"}
            << QStringList {"合计", "7999.5", "3200.5", "4799", ""} << 2
            << QStringList {"2026-6-3", "2000.5", "1200.5", "800", "2"} << payCommands;
        QTest::newRow("应付 by record")
            << "DBGridEh4"
            << "RadioButton4"
            << QStringList {"应付日期=GetPayTime=75", "应付客户=GetPayUser=120", "应付金额=GetPaySum=60",
                   "已付金额=GetPaySum2=60", "尚欠金额=GetPaySum3=65", "备注信息=GetPayRemark=200"}
            << QStringList {"合计", "2 条记录", "1000", "200", "800", ""} << 0
            << QStringList {"2026-6-2", "华联商场", "700", "100", "600", "首批"} << getCommands + payCommands;
        QTest::newRow("应付 by customer")
            << "DBGridEh4"
            << "RadioButton5"
            << QStringList {"应付客户=GetPayUser=130", "应付金额=GetPaySum=60", "已付金额=GetPaySum2=60",
                   "尚欠金额=GetPaySum3=65", "记录数目=GetPayNum=65"}
            << QStringList {"2 条记录", "1000", "200", "800", ""} << 1
            << QStringList {"新星公司", "300", "100", "200", "1"} << getCommands;
        QTest::newRow("应付 by date")
            << "DBGridEh4"
            << "RadioButton6"
            << QStringList {"应付日期=GetPayTime=130", "应付金额=GetPaySum=60", "已付金额=GetPaySum2=60",
                   "尚欠金额=GetPaySum3=65", "记录数目=GetPayNum=65"}
            << QStringList {"合计", "1000", "200", "800", ""} << 1
            << QStringList {"2026-6-5", "300", "100", "200", "1"} << getCommands;
    }
    void displayModes()
    {
        QFETCH(QString, gridName);
        QFETCH(QString, radio);
        QFETCH(QStringList, columns);
        QFETCH(QStringList, footers);
        QFETCH(int, row);
        QFETCH(QStringList, cells);
        QFETCH(QStringList, commands);
        Run run;
        seed(run);
        QVERIFY(run.startAs(Cashier));
        TFormMain *w = run.window();
        // Both grids start by record.
        QVERIFY(child<QRadioButton>(w, QStringLiteral("RadioButton1"))->isChecked());
        QVERIFY(child<QRadioButton>(w, QStringLiteral("RadioButton4"))->isChecked());
        clickRadio(w, radio);
        DataGrid *g = child<DataGrid>(w, gridName);
        QCOMPARE(::captions(g), columns);
        QCOMPARE(::footers(g), footers);
        QCOMPARE(::cells(g, row), cells);
        for (int c = 0; c < g->columnCount(); ++c) {
            const QString field = g->column(c).field;
            const QColor color = field == QLatin1String("GetPaySum2") ? QColor(Qt::blue)
                : field == QLatin1String("GetPaySum3")                ? QColor(Qt::red)
                                                                      : QColor(Qt::black);
            QCOMPARE(g->footerColor(c), color);
            QCOMPARE(g->column(c).alignment, Qt::Alignment(Qt::AlignCenter));
        }
        QCOMPARE(shownCommands(w), commands);
        // A double click edits by record only: in a grouped mode it opens nothing.
        if (g->columnCount() == 5) {
            emit g->gridDoubleClicked(0, 0);
            QCOMPARE(run.seams.shownDialogs, QStringList({"TFormLogin", "TFormChose"}));
        }
        QVERIFY(run.seams.messages.isEmpty());
    }

    // A user without 数据总览 sees only his own records, in every mode and in every print, and
    // his commands by his rights; each print uses the template of its grid and mode.
    void ownerFilterModesAndPrints_data()
    {
        QTest::addColumn<QString>("gridName");
        QTest::addColumn<QString>("radio");
        QTest::addColumn<QString>("print");
        QTest::addColumn<QString>("templateFile");
        QTest::addColumn<QString>("user");
        QTest::newRow("应收 by record") << "DBGridEh3"
                                        << "RadioButton1"
                                        << "ActionPrintGet"
                                        << "Frf/GetList.frf"
                                        << "远方客户";
        QTest::newRow("应收 by customer") << "DBGridEh3"
                                          << "RadioButton2"
                                          << "ActionPrintGet"
                                          << "Frf/GetList2.frf"
                                          << "远方客户";
        QTest::newRow("应收 by date") << "DBGridEh3"
                                      << "RadioButton3"
                                      << "ActionPrintGet"
                                      << "Frf/GetList3.frf"
                                      << "";
        QTest::newRow("应付 by record") << "DBGridEh4"
                                        << "RadioButton4"
                                        << "ActionPrintPay"
                                        << "Frf/PayList.frf"
                                        << "新星公司";
        QTest::newRow("应付 by customer") << "DBGridEh4"
                                          << "RadioButton5"
                                          << "ActionPrintPay"
                                          << "Frf/PayList2.frf"
                                          << "新星公司";
        QTest::newRow("应付 by date") << "DBGridEh4"
                                      << "RadioButton6"
                                      << "ActionPrintPay"
                                      << "Frf/PayList3.frf"
                                      << "";
    }
    void ownerFilterModesAndPrints()
    {
        QFETCH(QString, gridName);
        QFETCH(QString, radio);
        QFETCH(QString, print);
        QFETCH(QString, templateFile);
        QFETCH(QString, user);
        Run run;
        seed(run);
        ReportRecorder reports(run.seams);
        QVERIFY(run.startAs(Wang));
        TFormMain *w = run.window();
        QCOMPARE(shownCommands(w), QStringList({"SpeedButton5", "SpeedButton8"}));
        clickRadio(w, radio);
        DataGrid *g = child<DataGrid>(w, gridName);
        QCOMPARE(g->rowCount(), 1);
        if (!user.isEmpty())
            QCOMPARE(g->value(0, QStringLiteral("GetPayUser")).toString(), user);
        trigger(w, print);
        QCOMPARE(reports.reports.size(), 1);
        const PreparedReport &report = reports.reports.first();
        QCOMPARE(report.templatePath(), run.folder.filePath(templateFile));
        QCOMPARE(ShownRows(report).size(), 1);
        if (!user.isEmpty())
            QVERIFY(ShownRows(report).first().contains(user));
        QVERIFY(run.seams.messages.isEmpty());
    }

    void filterConditions_data()
    {
        QTest::addColumn<QString>("customer");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QString>("man");
        QTest::addColumn<QString>("remark");
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QDate>("to");
        QTest::addColumn<QStringList>("amounts"); // GetPaySum of the rows listed, sorted as text
        QTest::newRow("customer contains")
            << "商场"
            << ""
            << ""
            << "" << QDate() << QDate() << QStringList {"1200.5", "5000", "800"};
        QTest::newRow("customer with a quote") << "O'Neil"
                                               << ""
                                               << ""
                                               << "" << QDate() << QDate() << QStringList {"800"};
        QTest::newRow("reason contains") << ""
                                         << "服务"
                                         << ""
                                         << "" << QDate() << QDate() << QStringList {"1200.5"};
        QTest::newRow("salesman contains") << ""
                                           << ""
                                           << "小"
                                           << "" << QDate() << QDate() << QStringList {"5000", "800"};
        QTest::newRow("remark contains") << ""
                                         << ""
                                         << ""
                                         << "首" << QDate() << QDate() << QStringList {"5000"};
        QTest::newRow("dates, both ends included")
            << ""
            << ""
            << ""
            << "" << QDate(2026, 6, 2) << QDate(2026, 6, 3) << QStringList {"1200.5", "800", "999"};
        QTest::newRow("customer and dates")
            << "华联"
            << ""
            << ""
            << "" << QDate(2026, 6, 1) << QDate(2026, 6, 2) << QStringList {"5000"};
        QTest::newRow("nothing matches") << "无此客户"
                                         << ""
                                         << ""
                                         << "" << QDate() << QDate() << QStringList();
    }
    void filterConditions()
    {
        QFETCH(QString, customer);
        QFETCH(QString, reason);
        QFETCH(QString, man);
        QFETCH(QString, remark);
        QFETCH(QDate, from);
        QFETCH(QDate, to);
        QFETCH(QStringList, amounts);
        Run run;
        seed(run);
        QVERIFY(run.startAs(Cashier));
        TFormMain *w = run.window();
        run.seams.onDialog(
            QStringLiteral("TFormGetPay3"), filterWith(customer, reason, man, remark, from, to));
        trigger(w, QStringLiteral("ActionFindGet"));
        QCOMPARE(column(grid(w, "DBGridEh3"), QStringLiteral("GetPaySum")), amounts);
        QCOMPARE(grid(w, "DBGridEh4")->rowCount(), 2);
    }

    // Each grid keeps its own filter, through every refresh, until an OK with nothing set; a
    // print follows the filtered rows.
    void filtersPerKindAndTheirReset()
    {
        Run run;
        seed(run);
        ReportRecorder reports(run.seams);
        QVERIFY(run.startAs(Cashier));
        TFormMain *w = run.window();
        DataGrid *gets = grid(w, "DBGridEh3");
        DataGrid *pays = grid(w, "DBGridEh4");

        run.seams.onDialog(QStringLiteral("TFormGetPay3"), [](QDialog *d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("应收应付记录筛选"));
            QCOMPARE(child<QAction>(d, QStringLiteral("ActionYes"))->text(), QStringLiteral(" 确定"));
            QCOMPARE(child<QAction>(d, QStringLiteral("ActionNo"))->text(), QStringLiteral(" 取消"));
            // The current month, the income reasons for receivables.
            QCOMPARE(child<QDateEdit>(d, QStringLiteral("DateTimePicker1"))->date(), QDate(2026, 6, 1));
            QCOMPARE(child<QDateEdit>(d, QStringLiteral("DateTimePicker2"))->date(), QDate(2026, 6, 30));
            QVERIFY(!child<QDateEdit>(d, QStringLiteral("DateTimePicker1"))->isEnabled());
            QCOMPARE(
                child<QComboBox>(d, QStringLiteral("ComboBox2"))->itemText(0), QStringLiteral("销售收入"));
            QCOMPARE(child<QComboBox>(d, QStringLiteral("ComboBox2"))->currentText(), QString());
            filterWith(QStringLiteral("商场"))(d);
        });
        trigger(w, QStringLiteral("ActionFindGet"));
        QCOMPARE(gets->rowCount(), 3);
        QCOMPARE(pays->rowCount(), 2);

        run.seams.onDialog(QStringLiteral("TFormGetPay3"), [](QDialog *d) {
            QCOMPARE(
                child<QComboBox>(d, QStringLiteral("ComboBox2"))->itemText(0), QStringLiteral("办公费用"));
            QCOMPARE(child<QComboBox>(d, QStringLiteral("ComboBox1"))->currentText(), QString());
            child<QLineEdit>(d, QStringLiteral("Edit3"))->setText(QStringLiteral("首批"));
            trigger(d, QStringLiteral("ActionYes"));
        });
        trigger(w, QStringLiteral("ActionFindPay"));
        QCOMPARE(pays->rowCount(), 1);
        QCOMPARE(gets->rowCount(), 3);

        // Filters outlive a refresh of every view and a change of mode.
        w->RefreshAll();
        clickRadio(w, QStringLiteral("RadioButton2"));
        QCOMPARE(gets->rowCount(), 2);
        clickRadio(w, QStringLiteral("RadioButton1"));
        QCOMPARE(gets->rowCount(), 3);
        QCOMPARE(pays->rowCount(), 1);
        trigger(w, QStringLiteral("ActionPrintGet"));
        QCOMPARE(ShownRows(reports.reports.value(0)).size(), 3);

        // Cancel leaves the filter; the remark typed last time is still there.
        run.seams.onDialog(QStringLiteral("TFormGetPay3"), [](QDialog *d) {
            QCOMPARE(child<QLineEdit>(d, QStringLiteral("Edit3"))->text(), QStringLiteral("首批"));
            trigger(d, QStringLiteral("ActionNo"));
        });
        trigger(w, QStringLiteral("ActionFindGet"));
        QCOMPARE(gets->rowCount(), 3);

        // An OK with nothing set lists every record again, of its own kind only.
        run.seams.onDialog(QStringLiteral("TFormGetPay3"), filterWith(QString()));
        trigger(w, QStringLiteral("ActionFindGet"));
        QCOMPARE(gets->rowCount(), 4);
        QCOMPARE(pays->rowCount(), 1);
        QVERIFY(run.seams.messages.isEmpty());
    }

    void deleteRecord_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("answers"); // Y and N, one per question
        QTest::addColumn<bool>("blocked"); // the record cannot be deleted
        QTest::addColumn<bool>("recordGone");
        QTest::addColumn<int>("entriesLeft");
        QTest::addColumn<QString>("balance");
        QTest::addColumn<QStringList>("messages");
        const QString sure = QStringLiteral("确实要删除该记录吗？|删除警告");
        const QString getQuestion = QStringLiteral("该应收记录有对应的财务收款记录，是否一并删除？|删除选择");
        QTest::newRow("应收, yes and yes")
            << "应收"
            << "YY" << false << true << 1 << "-100 元" << QStringList {sure, getQuestion};
        QTest::newRow("应收, yes and no")
            << "应收"
            << "YN" << false << true << 3 << "1900 元" << QStringList {sure, getQuestion};
        QTest::newRow("应收, no") << "应收"
                                  << "N" << false << false << 3 << "1900 元" << QStringList {sure};
        QTest::newRow("应收, yes and yes, record locked")
            << "应收"
            << "YY" << true << false << 3 << "1900 元"
            << QStringList {sure, getQuestion, QStringLiteral("SQL命令执行出错|翎溪记帐财务软件")};
        QTest::newRow("应付, yes and yes")
            << "应付"
            << "YY" << false << true << 2 << "2000 元"
            << QStringList {sure, QStringLiteral("该应付记录有对应的财务付款记录，是否一并删除？|删除选择")};
    }
    void deleteRecord()
    {
        QFETCH(QString, kind);
        QFETCH(QString, answers);
        QFETCH(bool, blocked);
        QFETCH(bool, recordGone);
        QFETCH(int, entriesLeft);
        QFETCH(QString, balance);
        QFETCH(QStringList, messages);
        Run run;
        const Seeded s = seed(run);
        const bool receivable = kind == QStringLiteral("应收");
        const qint64 index = receivable ? s.r1 : s.p1;
        if (blocked)
            run.ledger()->exec(QStringLiteral("Create Trigger KeepRecords Before Delete On GetPay "
                                              "Begin Select Raise(Abort, 'kept'); End"));
        QVERIFY(run.startAs(Cashier));
        TFormMain *w = run.window();
        QCOMPARE(::balance(w), QStringLiteral("1900 元"));
        w->tabs()->setCurrentWidget(w->tabPage(MainTab::GetPay));
        DataGrid *g = grid(w, receivable ? "DBGridEh3" : "DBGridEh4");
        const int rowsBefore = g->rowCount();
        QVERIFY(g->selectRowWithKey(QStringLiteral("GetPayIndex"), index));
        for (QChar a : answers)
            run.seams.answerQuestions({a == QLatin1Char('Y')});
        trigger(w, receivable ? QStringLiteral("ActionDeleteGet") : QStringLiteral("ActionDeletePay"));

        QStringList shown;
        for (const RecordedMessage &m : run.seams.messages)
            shown << m.text + QLatin1Char('|') + m.caption;
        QCOMPARE(shown, messages);
        auto ledger = run.ledger();
        QCOMPARE(ledger->value(QStringLiteral("Select Count(*) From GetPay Where GetPayIndex = ?"), {index})
                     .toInt(),
            recordGone ? 0 : 1);
        QCOMPARE(
            ledger->value(QStringLiteral("Select Count(*) From MoneyTable Where MoneyIndex > 1")).toInt(),
            entriesLeft);
        // Entries kept keep their old link.
        QCOMPARE(
            ledger->value(QStringLiteral("Select Count(*) From MoneyTable Where MoneyGetPay = ?"), {index})
                .toInt(),
            answers == QLatin1String("YY") && !blocked ? 0 : (receivable ? 2 : 1));
        QCOMPARE(g->rowCount(), rowsBefore - (recordGone ? 1 : 0));
        QCOMPARE(::balance(w), balance);
    }

    // 新增记录, 修改记录 and a double click in detail mode go through the record dialog; the grid
    // shows what it stored and stays on the record edited.
    void newAndEditThroughTheRecordDialog()
    {
        Run run;
        const Seeded s = seed(run);
        QVERIFY(run.startAs(Cashier));
        TFormMain *w = run.window();
        DataGrid *pays = grid(w, "DBGridEh4");

        run.seams.onDialog(QStringLiteral("TFormGetPay2"), [](QDialog *d) {
            auto *dialog = static_cast<TFormGetPay2 *>(d);
            QCOMPARE(dialog->Request.RecordMode, QStringLiteral("新增"));
            QCOMPARE(dialog->Request.RecordKind, QStringLiteral("应付"));
            child<QComboBox>(d, QStringLiteral("ComboBox1"))->setEditText(QStringLiteral("新客户"));
            child<QLineEdit>(d, QStringLiteral("Edit2"))->setText(QStringLiteral("250"));
            trigger(d, QStringLiteral("ActionYes"));
        });
        trigger(w, QStringLiteral("ActionNewPay"));
        QCOMPARE(pays->rowCount(), 3);
        QCOMPARE(column(pays, QStringLiteral("GetPayUser")), QStringList({"华联商场", "新客户", "新星公司"}));

        QVERIFY(pays->selectRowWithKey(QStringLiteral("GetPayIndex"), s.p1));
        run.seams.onDialog(QStringLiteral("TFormGetPay2"), [&](QDialog *d) {
            auto *dialog = static_cast<TFormGetPay2 *>(d);
            QCOMPARE(dialog->Request.RecordMode, QStringLiteral("修改"));
            QCOMPARE(dialog->Request.RecordKind, QStringLiteral("应付"));
            QCOMPARE(dialog->Request.RecordIndex, s.p1);
            QCOMPARE(child<QLineEdit>(d, QStringLiteral("Edit2"))->text(), QStringLiteral("700"));
            child<QLineEdit>(d, QStringLiteral("Edit3"))->setText(QStringLiteral("改过"));
            trigger(d, QStringLiteral("ActionYes"));
        });
        trigger(w, QStringLiteral("ActionEditPay"));
        QCOMPARE(pays->value(QStringLiteral("GetPayIndex")).toLongLong(), s.p1);
        QCOMPARE(pays->value(QStringLiteral("GetPayRemark")).toString(), QStringLiteral("改过"));

        DataGrid *gets = grid(w, "DBGridEh3");
        QVERIFY(gets->selectRowWithKey(QStringLiteral("GetPayIndex"), s.r3));
        run.seams.onDialog(QStringLiteral("TFormGetPay2"),
            [&](QDialog *d) { QCOMPARE(static_cast<TFormGetPay2 *>(d)->Request.RecordIndex, s.r3); });
        emit gets->gridDoubleClicked(gets->currentRow(), 1);
        QCOMPARE(run.seams.shownDialogs.count(QStringLiteral("TFormGetPay2")), 3);
        QCOMPARE(run.seams.messageTexts(), QStringList({"记录新增成功", "记录修改成功"}));
    }

    // No record to edit or delete: the reserved row 1 is no record either.
    void editAndDeleteNeedARecord()
    {
        Run run;
        {
            auto ledger = run.ledger();
            ledger->exec(QStringLiteral("Update GetPay Set GetPayKind = '应收' Where GetPayIndex = 1"));
        }
        QVERIFY(run.startAs(Cashier));
        TFormMain *w = run.window();
        QCOMPARE(grid(w, "DBGridEh3")->rowCount(), 0);
        trigger(w, QStringLiteral("ActionEditGet"));
        trigger(w, QStringLiteral("ActionDeleteGet"));
        QCOMPARE(run.seams.messageTexts(), QStringList({"请先选中要修改的记录", "请先选中要删除的记录"}));
    }
};

QUILL_TEST_MAIN(TestReceivablesPage)
#include "tst_receivablespage.moc"
