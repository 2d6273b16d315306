#include "accounts/AccountOverview.h"

#include "storage/PublicFunction.h"

namespace Accounts {

QRect AccountSlotRect(const PanelGrid &grid, int slot)
{
    const int columns = grid.columns > 0 ? grid.columns : 1;
    return QRect((slot % columns) * grid.pitch + PanelMargin, (slot / columns) * PanelRowPitch + PanelMargin,
        grid.width, PanelHeight);
}

Sql AccountOrderText(int sortBy, int direction)
{
    Sql order;
    switch (sortBy) {
    case 1:
        order = Sql(" Order By AccountType");
        break;
    case 2:
        order = Sql(" Order By AccountName");
        break;
    default:
        order = Sql(" Order By AccountIndex");
        break;
    }
    order += direction == 1 ? Sql(" Desc") : Sql(" Asc");
    // Accounts of one type keep the order they were created in.
    if (sortBy == 1)
        order += Sql(", AccountIndex");
    return order;
}

bool AccountPageHasNext(int rowCount, int pageSize, int page)
{
    return pageSize > 0 && qint64(page + 1) * pageSize < rowCount;
}

int AccountPageShown(int rowCount, int pageSize, int page)
{
    if (rowCount <= 0 || pageSize <= 0 || page <= 0)
        return 0;
    const int last = (rowCount - 1) / pageSize;
    return page > last ? last : page;
}

Sql AccountBalanceSql(qint64 accountIndex, const QDate &day, const Sql &ownerFilter)
{
    return Sql("Select round(Sum(MoneySum),2) As TotalMoney From MoneyTable Where (MoneyAccount = ")
        + Sql::value(accountIndex) + Sql(") And (MoneyCreateTime <= ") + Sql::value(day) + Sql(")")
        + ownerFilter;
}

Sql AccountMonthSql(qint64 accountIndex, const QDate &day, const Sql &ownerFilter)
{
    return Sql("Select round(Sum(MoneySum),2) As TotalMoney From MoneyTable Where (MoneyAccount = ")
        + Sql::value(accountIndex) + Sql(") And (MoneyCreateTime Between ") + Sql::value(FirstDayOfMonth(day))
        + Sql(" And ") + Sql::value(LastDayOfMonth(day)) + Sql(")") + ownerFilter;
}

QDate FirstDayOfMonth(const QDate &day)
{
    return QDate(day.year(), day.month(), 1);
}

QDate LastDayOfMonth(const QDate &day)
{
    return FirstDayOfMonth(day).addMonths(1).addDays(-1);
}

QString BookPictureFile(const QString &accountType)
{
    bool numeric = false;
    const int type = accountType.trimmed().toInt(&numeric);
    switch (numeric ? type : -1) {
    case 0:
        return QStringLiteral("Res/EmptyAccount.bmp");
    case 1:
        return QStringLiteral("Res/CompanyAccount2.bmp");
    case 2:
        return QStringLiteral("Res/CompanyAccount3.bmp");
    case 5:
        return QStringLiteral("Res/CompanyAccount.bmp");
    default:
        return QString();
    }
}

QString AccountTypeText(int accountType)
{
    switch (accountType) {
    case 1:
        return QStringLiteral("银行帐");
    case 2:
        return QStringLiteral("现金帐");
    default:
        return QString();
    }
}

BalanceSign SignOfBalance(double balance)
{
    // The same rounding as the balance label, so icon, colour and text always agree.
    const double shown = RoundMoney(balance).toDouble();
    if (shown < 0)
        return BalanceSign::Negative;
    if (shown > 0)
        return BalanceSign::Positive;
    return BalanceSign::Zero;
}

QString AccountIconFile(int accountType, double balance, double entriesSum)
{
    switch (SignOfBalance(balance)) {
    case BalanceSign::Negative:
        return QStringLiteral("Res/Money-.ico");
    case BalanceSign::Zero:
        return QStringLiteral("Res/Money0.ico");
    case BalanceSign::Positive:
        break;
    }
    QString stem = accountType == 1 ? QStringLiteral("Yellow")
        : accountType == 2          ? QStringLiteral("Purple")
                                    : QString();
    QString plus = QStringLiteral("+");
    if (entriesSum > 30000)
        plus += QLatin1Char('+');
    if (entriesSum > 100000)
        plus += QLatin1Char('+');
    return QStringLiteral("Res/") + stem + plus + QStringLiteral(".ico");
}

QString MoneyLabelText(double amount)
{
    return RoundMoney(amount) + QStringLiteral(" 元");
}

} // namespace Accounts
