#include "reports/ReportQuery.h"

#include "storage/PublicFunction.h"

#include <QVariantList>

namespace {
// " And Column In (…)" of the selected items, when the list's current item is not "所有".
Sql listCondition(const char *column, const QString &current, const QStringList &selected)
{
    if (current == Texts::AllItems || selected.isEmpty())
        return {};
    QVariantList values;
    for (const QString &item : selected)
        values.append(item);
    return Sql(" And ") + Sql(column) + Sql(" In ") + Sql::list(values);
}

Sql equalsCondition(const char *column, const QString &value)
{
    if (value == Texts::AllItems)
        return {};
    return Sql(" And (") + Sql(column) + Sql(" = ") + Sql::value(value) + Sql(")");
}

Sql containsCondition(const char *column, const QString &text)
{
    return Sql(" And (instr(") + Sql(column) + Sql(", ") + Sql::value(text) + Sql(") > 0)");
}

bool isAmountText(const QString &text)
{
    const QString digits = text.startsWith(QLatin1Char('-')) ? text.mid(1) : text;
    if (!IsNumericText(digits))
        return false;
    // "1.2.3" and "." are digits and full stops but no number.
    bool ok = false;
    digits.toDouble(&ok);
    return ok;
}
} // namespace

ReportConditions BuildReportConditions(const ReportChoices &c)
{
    ReportConditions out;
    Sql &sql = out.condition;
    if (c.timeRange) {
        sql += Sql(" And (MoneyCreateTime Between ") + Sql::value(c.startDate) + Sql(" And ")
            + Sql::value(c.endDate) + Sql(")");
        out.startDate = ShortDateText(c.startDate);
    }
    if (c.amountRange) {
        if (!c.lowerBound.isEmpty())
            sql += Sql(" And (ABS(MoneySum) > ") + Sql::value(AmountBound(c.lowerBound)) + Sql(")");
        if (!c.upperBound.isEmpty())
            sql += Sql(" And (ABS(MoneySum) < ") + Sql::value(AmountBound(c.upperBound)) + Sql(")");
    }
    out.accountCondition = listCondition("AccountName", c.currentAccount, c.selectedAccounts);
    sql += out.accountCondition;
    sql += listCondition("MoneyReason", c.currentReason, c.selectedReasons);
    sql += equalsCondition("MoneyType", c.type);
    sql += equalsCondition("MoneyToken", c.voucher);
    // An emptied customer box is not "所有": it keeps the entries that name any customer.
    if (c.customer != Texts::AllItems)
        sql += containsCondition("MoneyUser", c.customer);
    sql += equalsCondition("MoneyMan", c.salesman);
    if (c.documentKind == ReportTexts::IncomeDocuments)
        sql += Sql(" And (MoneySum > 0)");
    else if (c.documentKind == ReportTexts::ExpenseDocuments)
        sql += Sql(" And (MoneySum < 0)");
    if (c.transferKind == ReportTexts::NoTransfers)
        sql += Sql(" And (Not (instr(MoneyReason, ") + Sql::value(ReportTexts::TransferMark) + Sql(") > 0))");
    else if (c.transferKind == ReportTexts::OnlyTransfers)
        sql += containsCondition("MoneyReason", ReportTexts::TransferMark);
    if (!c.remark.isEmpty())
        sql += containsCondition("MoneyRemark", c.remark);
    if (!c.serial.isEmpty())
        sql += containsCondition("MoneySerial", c.serial);
    return out;
}

AmountBoundsCheck CheckAmountBounds(const QString &lower, const QString &upper)
{
    for (const auto &[box, text] : {std::pair(AmountBox::Lower, lower), std::pair(AmountBox::Upper, upper)}) {
        if (text.isEmpty())
            continue;
        if (!isAmountText(text))
            return {box, ReportTexts::AmountMalformed};
        if (!IsAmountInRange(AmountBound(text)))
            return {box, Texts::AmountOutOfRange};
    }
    return {};
}

double AmountBound(const QString &text)
{
    return text.toDouble();
}

const QStringList &ReportSortChoices()
{
    static const QStringList choices
        = {QStringLiteral("按时间排"), QStringLiteral("按帐户排"), QStringLiteral("按金额排"),
            QStringLiteral("按编号排"), QStringLiteral("按客户排"), QStringLiteral("按业务员")};
    return choices;
}

Sql ReportOrderClause(const QString &sortChoice)
{
    static const char *const orders[] = {
        " Order By MoneyCreateTime,MoneyIndex",
        " Order By AccountName,MoneyCreateTime,MoneyIndex",
        " Order By MoneySum Desc,MoneyCreateTime,MoneyIndex",
        " Order By MoneyIndex",
        " Order By MoneyUser,MoneyCreateTime,MoneyIndex",
        " Order By MoneyMan,MoneyCreateTime,MoneyIndex",
    };
    const qsizetype index = ReportSortChoices().indexOf(sortChoice);
    return index < 0 ? Sql() : Sql(orders[index]);
}

Sql ReportGridSql(const Sql &accountBookFilter, const Sql &moneyOwnerFilter, const Sql &reportCondition,
    const QString &sortChoice)
{
    return Sql("Select * From Account,MoneyTable Where (AccountIndex = MoneyAccount)") + accountBookFilter
        + moneyOwnerFilter + reportCondition + ReportOrderClause(sortChoice);
}
