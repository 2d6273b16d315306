#include "DemoLedger.h"

#include "storage/PublicFunction.h"
#include "storage/ShareDM.h"

#include <QHash>
#include <QStringList>

#include <cmath>

namespace {

const QString Income = QStringLiteral("财务收入");
const QString Expense = QStringLiteral("财务支出");
const QString Owner = QStringLiteral("出纳");

// A small deterministic generator, so that every build makes the same ledger.
class Dice
{
public:
    int below(int n)
    {
        state = state * 1103515245u + 12345u;
        return int((state >> 16) % unsigned(n));
    }
    double amount(int from, int to, int step) { return from + below((to - from) / step + 1) * step; }

private:
    unsigned state = 20260701u;
};

struct Accounts {
    qint64 bankMain = 0, bankSecond = 0, cash = 0, petty = 0;
};

class DemoWriter
{
public:
    bool ok = true;

    qint64 account(const QString &name, double base, int type, const QString &remark)
    {
        const qint64 id = InsertRow(QStringLiteral("Account"),
            {{"AccountName", name}, {"AccountBase", base}, {"AccountRemark", remark}, {"AccountType", type},
                {"AccountPower", Owner}});
        ok = ok && id > 0;
        return id;
    }

    qint64 getPay(const QDate &day, const QString &user, const QString &kind, double sum,
        const QString &reason, const QString &man, const QString &remark)
    {
        const qint64 id = InsertRow(QStringLiteral("GetPay"),
            {{"GetPayTime", day}, {"GetPayUser", user}, {"GetPayKind", kind}, {"GetPaySum", sum},
                {"GetPaySum2", 0.0}, {"GetPaySum3", sum}, {"GetPayReason", reason}, {"GetPayRemark", remark},
                {"GetPayMan", man}, {"GetPayPower", Owner}});
        ok = ok && id > 0;
        return id;
    }

    void entry(const QString &kind, qint64 accountIndex, const QDate &day, double amount,
        const QString &reason, const QString &customer, const QString &man, const QString &type,
        const QString &token, const QString &remark, qint64 getPayIndex = 0)
    {
        const bool income = kind == Income;
        const QString prefix = income ? QStringLiteral("SR") : QStringLiteral("ZC");
        const QString base = prefix + day.toString(QStringLiteral("yyMMdd"));
        const int number = ++serialCount[base];
        const qint64 id = InsertRow(QStringLiteral("MoneyTable"),
            {{"MoneyKind", kind}, {"MoneyGetPay", getPayIndex},
                {"MoneySerial", base + QStringLiteral("%1").arg(number, 2, 10, QLatin1Char('0'))},
                {"MoneyAccount", accountIndex}, {"MoneyUser", customer}, {"MoneyRecordTime", day},
                {"MoneyCreateTime", day}, {"MoneyIn", income ? amount : 0.0},
                {"MoneyOut", income ? 0.0 : amount}, {"MoneySum", income ? amount : -amount},
                {"MoneyReason", reason}, {"MoneyMan", man}, {"MoneyType", type}, {"MoneyToken", token},
                {"MoneyRemark", remark}, {"MoneyPower", Owner}});
        ok = ok && id > 0;
    }

    // The two halves of a transfer carry only MoneySum of the amounts.
    void transfer(qint64 from, const QString &fromName, int fromType, qint64 to, const QString &toName,
        int toType, const QDate &day, double amount, const QString &remark)
    {
        const QString reason = fromType == toType ? QStringLiteral("帐户平调") : QStringLiteral("帐簿平调");
        ok = ok
            && InsertRow(QStringLiteral("MoneyTable"),
                   {{"MoneyKind", Expense}, {"MoneyAccount", from},
                       {"MoneyUser", QStringLiteral("调出->") + toName}, {"MoneyRecordTime", day},
                       {"MoneyCreateTime", day}, {"MoneySum", -amount}, {"MoneyReason", reason},
                       {"MoneyRemark", remark}, {"MoneyPower", Owner}})
                > 0
            && InsertRow(QStringLiteral("MoneyTable"),
                   {{"MoneyKind", Income}, {"MoneyAccount", to},
                       {"MoneyUser", fromName + QStringLiteral("->调入")}, {"MoneyRecordTime", day},
                       {"MoneyCreateTime", day}, {"MoneySum", amount}, {"MoneyReason", reason},
                       {"MoneyRemark", remark}, {"MoneyPower", Owner}})
                > 0;
    }

private:
    QHash<QString, int> serialCount;
};

bool addParameters(int type, const QStringList &items)
{
    for (const QString &item : items)
        if (InsertRow(QStringLiteral("Parameter"), {{"ParameterType", type}, {"ParameterValue", item}}) < 0)
            return false;
    return true;
}

bool updateSettledSums()
{
    bool ok = true;
    ExecSql(Sql("Update GetPay Set GetPaySum2 = (Select abs(round(coalesce(sum(MoneySum), 0), 2)) "
                "From MoneyTable Where MoneyGetPay = GetPay.GetPayIndex) Where GetPayIndex > 1"),
        &ok);
    if (ok)
        ExecSql(Sql("Update GetPay Set GetPaySum3 = GetPaySum - GetPaySum2 Where GetPayIndex > 1"), &ok);
    return ok;
}

} // namespace

bool FillDemoRows(QString *error)
{
    Transaction transaction;
    const QStringList customers = {QStringLiteral("华联商贸有限公司"), QStringLiteral("东方电子科技"),
        QStringLiteral("明达建材经营部"), QStringLiteral("新世纪广告公司"), QStringLiteral("顺通物流"),
        QStringLiteral("张记餐饮")};
    const QStringList salesmen = {QStringLiteral("李明"), QStringLiteral("王芳"), QStringLiteral("赵强")};
    if (!addParameters(4, customers) || !addParameters(5, salesmen)) {
        *error = QStringLiteral("demo parameters");
        return false;
    }

    DemoWriter w;
    Accounts a;
    const QString bankMainName = QStringLiteral("工商银行基本户");
    const QString bankSecondName = QStringLiteral("建设银行一般户");
    const QString cashName = QStringLiteral("现金");
    const QString pettyName = QStringLiteral("备用金");
    a.bankMain
        = w.account(bankMainName, 80000, 1, QStringLiteral("卡号 6222 0212 3456 7890，开户行：城东支行"));
    a.bankSecond
        = w.account(bankSecondName, 30000, 1, QStringLiteral("卡号 6217 0033 1122 4455，开户行：新区支行"));
    a.cash = w.account(cashName, 5000, 2, QStringLiteral("出纳保险柜"));
    a.petty = w.account(pettyName, 2000, 2, QStringLiteral("日常零星开支"));

    const QString daily = QStringLiteral("日常收支");
    const QString business = QStringLiteral("经营收支");
    const QString dealings = QStringLiteral("往来款项");

    // Receivables and payables, some settled in part.
    const qint64 hualian = w.getPay(QDate(2026, 7, 8), customers[0], QStringLiteral("应收"), 20000,
        QStringLiteral("销售收入"), salesmen[0], QStringLiteral("七月批发货款"));
    const qint64 dongfang = w.getPay(QDate(2026, 8, 3), customers[1], QStringLiteral("应收"), 12000,
        QStringLiteral("服务收入"), salesmen[1], QStringLiteral("设备维护费"));
    const qint64 mingda = w.getPay(QDate(2026, 7, 12), customers[2], QStringLiteral("应付"), 9000,
        QStringLiteral("采购货款"), salesmen[2], QStringLiteral("装修材料"));
    w.getPay(QDate(2026, 9, 1), customers[4], QStringLiteral("应付"), 3600, QStringLiteral("采购货款"),
        salesmen[2], QStringLiteral("九月运费"));
    const qint64 xinshiji = w.getPay(QDate(2026, 9, 10), customers[3], QStringLiteral("应收"), 6800,
        QStringLiteral("服务收入"), salesmen[1], QStringLiteral("广告制作"));

    w.entry(Income, a.bankMain, QDate(2026, 7, 20), 8000, QStringLiteral("销售收入"), customers[0],
        salesmen[0], dealings, QStringLiteral("转帐"), QStringLiteral("华联首期货款"), hualian);
    w.entry(Income, a.bankMain, QDate(2026, 8, 15), 7000, QStringLiteral("销售收入"), customers[0],
        salesmen[0], dealings, QStringLiteral("转帐"), QStringLiteral("华联二期货款"), hualian);
    w.entry(Income, a.bankSecond, QDate(2026, 8, 28), 12000, QStringLiteral("服务收入"), customers[1],
        salesmen[1], dealings, QStringLiteral("支票"), QStringLiteral("维护费结清"), dongfang);
    w.entry(Expense, a.bankMain, QDate(2026, 7, 25), 4000, QStringLiteral("采购货款"), customers[2],
        salesmen[2], dealings, QStringLiteral("汇款"), QStringLiteral("材料款首付"), mingda);
    w.entry(Income, a.cash, QDate(2026, 9, 18), 3000, QStringLiteral("服务收入"), customers[3], salesmen[1],
        dealings, QStringLiteral("现金"), QStringLiteral("广告费定金"), xinshiji);

    // Everyday business and the fixed monthly items.
    Dice dice;
    const QStringList incomeReasons
        = {QStringLiteral("销售收入"), QStringLiteral("服务收入"), QStringLiteral("其他收入")};
    const QStringList smallExpenses = {QStringLiteral("办公费用"), QStringLiteral("交通通讯"),
        QStringLiteral("业务招待"), QStringLiteral("差旅费用")};
    for (QDate day = DemoFirstDay; day <= DemoLastDay; day = day.addDays(1)) {
        if (day.day() == 2)
            w.transfer(
                a.bankMain, bankMainName, 1, a.cash, cashName, 2, day, 3000, QStringLiteral("提取备用现金"));
        if (day.day() == 5)
            w.entry(Expense, a.bankMain, day, 8000, QStringLiteral("房租物业"), QString(), QString(), daily,
                QStringLiteral("转帐"), QStringLiteral("门面房租"));
        if (day.day() == 10)
            w.entry(Expense, a.bankMain, day, 15600, QStringLiteral("工资薪金"), QString(), QString(), daily,
                QStringLiteral("转帐"), QStringLiteral("员工工资"));
        if (day.day() == 15)
            w.transfer(a.bankMain, bankMainName, 1, a.bankSecond, bankSecondName, 1, day, 10000,
                QStringLiteral("调剂资金"));
        if (day.day() == 16)
            w.transfer(a.cash, cashName, 2, a.petty, pettyName, 2, day, 3000, QStringLiteral("补足备用金"));
        if (day.day() == 20)
            w.entry(Expense, a.bankSecond, day, dice.amount(600, 1200, 10), QStringLiteral("水电燃气"),
                QString(), QString(), daily, QStringLiteral("发票"), QStringLiteral("水电费"));
        if (day.dayOfWeek() == Qt::Sunday)
            continue;
        const int sales = 1 + dice.below(2);
        for (int i = 0; i < sales; ++i) {
            const QString customer = customers[dice.below(int(customers.size()))];
            const bool toBank = dice.below(3) != 0;
            w.entry(Income, toBank ? a.bankMain : a.cash, day, dice.amount(300, 6000, 50),
                incomeReasons[dice.below(int(incomeReasons.size()))], customer,
                salesmen[dice.below(int(salesmen.size()))], business,
                toBank ? QStringLiteral("转帐") : QStringLiteral("收据"), QString());
        }
        if (dice.below(2) == 0)
            w.entry(Expense, dice.below(2) ? a.cash : a.petty, day, dice.amount(20, 600, 5),
                smallExpenses[dice.below(int(smallExpenses.size()))], QString(), QString(), daily,
                QStringLiteral("发票"), QString());
    }

    // The reference day of the first-login date shift.
    const bool referenceSet = UpdateRow(QStringLiteral("MoneyTable"), QStringLiteral("MoneyIndex"), 1,
        {{"MoneyRecordTime", DemoLastDay}, {"MoneyCreateTime", DemoLastDay}});
    if (!w.ok || !referenceSet || !updateSettledSums() || !transaction.commit()) {
        *error = QStringLiteral("demo rows");
        return false;
    }
    return true;
}
