#include "reports/DailyStatistics.h"

#include "platform/Seams.h"
#include "printing/ReportEngine.h"
#include "storage/PublicFunction.h"
#include "storage/ShareDM.h"

namespace DailyStatistics {

namespace {

ColumnValues poolRow(const QString &name, const QString &getNum, const QString &getSum, const QString &payNum,
    const QString &paySum, const QString &balance)
{
    return {{QStringLiteral("DayEnable"), true}, {QStringLiteral("DayName"), name},
        {QStringLiteral("DayGetNum"), getNum}, {QStringLiteral("DayGetSum"), getSum},
        {QStringLiteral("DayPayNum"), payNum}, {QStringLiteral("DayPaySum"), paySum},
        {QStringLiteral("DayBalance"), balance}};
}

} // namespace

Outcome WritePool(const SessionValues &s)
{
    // The balance brought forward follows the account choice alone.
    Query bases;
    if (!RunQuery(bases,
            Sql("Select Round(Sum(AccountBase),2) As TotalSum From Account Where (AccountIndex > 1)")
                + s.ReportAccountCondition,
            Texts::DatabaseOpenFailed))
        return Outcome::Failed;
    double opening = bases.number(QStringLiteral("TotalSum"));
    if (!s.ReportStartDate.isEmpty()) {
        const QDate start = QDate::fromString(s.ReportStartDate, QStringLiteral("yyyy-M-d"));
        Query before;
        if (!RunQuery(before,
                Sql("Select Round(Sum(MoneySum),2) As TotalSum From Account,MoneyTable Where "
                    "(AccountIndex = MoneyAccount)")
                    + s.ReportAccountCondition + Sql(" And (MoneyCreateTime < ")
                    + (start.isValid() ? Sql::value(start) : Sql::value(s.ReportStartDate)) + Sql(")"),
                Texts::DatabaseOpenFailed))
            return Outcome::Failed;
        opening += before.number(QStringLiteral("TotalSum"));
    }

    Query days;
    if (!RunQuery(days,
            Sql("Select MoneyCreateTime, Sum(iif(MoneySum > 0, 1, 0)) As DayGetNum, "
                "Sum(iif(MoneySum > 0, MoneySum, 0)) As DayGetSum, Sum(iif(MoneySum < 0, 1, 0)) As "
                "DayPayNum, "
                "Sum(iif(MoneySum < 0, -MoneySum, 0)) As DayPaySum From Account,MoneyTable Where "
                "(AccountIndex = MoneyAccount)")
                + s.AccountBookFilter + s.MoneyOwnerFilter + s.ReportCondition
                + Sql(" Group By MoneyCreateTime Order By MoneyCreateTime"),
            Texts::DatabaseOpenFailed))
        return Outcome::Failed;
    if (days.isEmpty())
        return Outcome::NoDays;

    Transaction change;
    if (!change.isActive()) {
        Platform::ShowMessage(Texts::SqlCommandFailed);
        return Outcome::Failed;
    }
    bool cleared = false;
    ExecSql(Sql("Update PrintDay Set DayEnable = 0"), &cleared);
    if (!cleared)
        return Outcome::Failed;
    Query pool;
    if (!RunQuery(pool, Sql("Select DayIndex From PrintDay Order By DayIndex"), Texts::DatabaseOpenFailed))
        return Outcome::Failed;
    pool.first();
    auto write = [&pool](const ColumnValues &row) {
        if (pool.eof())
            return InsertRow(QStringLiteral("PrintDay"), row) > 0;
        const qint64 index = pool.integer(QStringLiteral("DayIndex"));
        pool.next();
        return UpdateRow(QStringLiteral("PrintDay"), QStringLiteral("DayIndex"), index, row);
    };

    if (!write(poolRow(BroughtForwardName, {}, {}, {}, {}, RoundMoney(opening))))
        return Outcome::Failed;
    // Held unrounded; rendered only when written.
    double balance = opening;
    qint64 getNum = 0;
    qint64 payNum = 0;
    double getSum = 0;
    double paySum = 0;
    for (days.first(); !days.eof(); days.next()) {
        const qint64 dayGetNum = days.integer(QStringLiteral("DayGetNum"));
        const qint64 dayPayNum = days.integer(QStringLiteral("DayPayNum"));
        const double dayGetSum = days.number(QStringLiteral("DayGetSum"));
        const double dayPaySum = days.number(QStringLiteral("DayPaySum"));
        getNum += dayGetNum;
        payNum += dayPayNum;
        getSum += dayGetSum;
        paySum += dayPaySum;
        balance = balance + dayGetSum - dayPaySum;
        if (!write(poolRow(ShortDateText(days.date(QStringLiteral("MoneyCreateTime"))),
                QString::number(dayGetNum), RoundMoney(dayGetSum), QString::number(dayPayNum),
                RoundMoney(dayPaySum), RoundMoney(balance))))
            return Outcome::Failed;
    }
    if (!write(poolRow(TotalRowName, QString::number(getNum), RoundMoney(getSum), QString::number(payNum),
            RoundMoney(paySum), QString())))
        return Outcome::Failed;
    if (!change.commit()) {
        Platform::ShowMessage(Texts::SqlCommandFailed);
        return Outcome::Failed;
    }
    return Outcome::Written;
}

void Run(QWidget *parent)
{
    if (WritePool(Session()) != Outcome::Written)
        return;
    Query rows;
    if (!RunQuery(rows, Sql("Select * From PrintDay Where DayEnable = 1 Order By DayIndex"),
            QStringLiteral("打开数据库出错")))
        return;
    PrintReport(ReportTemplatePath(TemplateFile), rows, {}, parent);
}

} // namespace DailyStatistics
