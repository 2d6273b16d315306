#include "receivables/GetPayRules.h"

#include "journal/EntryRules.h"
#include "journal/EntryStore.h"
#include "platform/Seams.h"
#include "storage/PublicFunction.h"
#include "storage/ShareDM.h"

namespace {
bool isReceivable(const QString &kind)
{
    return kind == EntryTexts::Receivable;
}

// The columns both kinds share and their captions by kind: "应收日期" and "已收金额" or "应付日期"
// and "已付金额".
QString kindCaption(const QString &kind, const char *rest)
{
    return kind + QString::fromUtf8(rest);
}

ColumnValues recordColumns(const GetPayRow &row)
{
    return {{QStringLiteral("GetPayTime"), row.time}, {QStringLiteral("GetPayUser"), row.user},
        {QStringLiteral("GetPaySum"), row.due}, {QStringLiteral("GetPaySum2"), row.settled},
        {QStringLiteral("GetPaySum3"), row.due - row.settled}, {QStringLiteral("GetPayReason"), row.reason},
        {QStringLiteral("GetPayRemark"), row.remark}, {QStringLiteral("GetPayMan"), row.man}};
}

bool commitOrSay(Transaction &change)
{
    if (change.commit())
        return true;
    Platform::ShowMessage(Texts::SqlCommandFailed);
    return false;
}
} // namespace

RecordCaptions RecordCaptionsFor(const QString &kind)
{
    if (isReceivable(kind))
        return {QStringLiteral("应收金额"), QStringLiteral("应收："), QStringLiteral("已收："),
            QStringLiteral("未收：")};
    return {QStringLiteral("应付金额"), QStringLiteral("应付："), QStringLiteral("已付："),
        QStringLiteral("未付：")};
}

int RecordReasonList(const QString &kind)
{
    return isReceivable(kind) ? 1 : 0;
}

QString SettlingEntryKind(const QString &kind)
{
    return isReceivable(kind) ? EntryTexts::KindIncome : EntryTexts::KindExpense;
}

QString RecordBanner(const QString &mode, const QString &kind)
{
    const bool isNew = mode == EntryTexts::ModeNew;
    if (isReceivable(kind))
        return isNew ? QStringLiteral("Res/NewGet2.bmp") : QStringLiteral("Res/EditGet2.bmp");
    return isNew ? QStringLiteral("Res/NewPay2.bmp") : QStringLiteral("Res/EditPay2.bmp");
}

QList<GetPayColumnSpec> GetPayColumns(const QString &kind, GetPayMode mode)
{
    const QString settled = isReceivable(kind) ? QStringLiteral("已收金额") : QStringLiteral("已付金额");
    const GetPayColumnSpec due {kindCaption(kind, "金额"), QStringLiteral("GetPaySum"), 60};
    const GetPayColumnSpec paid {settled, QStringLiteral("GetPaySum2"), 60};
    const GetPayColumnSpec owed {QStringLiteral("尚欠金额"), QStringLiteral("GetPaySum3"), 65};
    const GetPayColumnSpec number {QStringLiteral("记录数目"), QStringLiteral("GetPayNum"), 65};
    switch (mode) {
    case GetPayMode::Detail:
        return {{kindCaption(kind, "日期"), QStringLiteral("GetPayTime"), 75},
            {kindCaption(kind, "客户"), QStringLiteral("GetPayUser"), 120}, due, paid, owed,
            {QStringLiteral("备注信息"), QStringLiteral("GetPayRemark"), 200}};
    case GetPayMode::ByCustomer:
        return {{kindCaption(kind, "客户"), QStringLiteral("GetPayUser"), 130}, due, paid, owed, number};
    case GetPayMode::ByDate:
        return {{kindCaption(kind, "日期"), QStringLiteral("GetPayTime"), 130}, due, paid, owed, number};
    }
    return {};
}

GridFooter GetPayFooter(const QString &field)
{
    if (field == QLatin1String("GetPayTime"))
        return GridFooter::staticText(QStringLiteral("合计"));
    if (field == QLatin1String("GetPayUser"))
        return GridFooter::rowCount(QStringLiteral(" 条记录"));
    if (field == QLatin1String("GetPaySum"))
        return GridFooter::sum();
    if (field == QLatin1String("GetPaySum2"))
        return GridFooter::sum(Qt::blue);
    if (field == QLatin1String("GetPaySum3"))
        return GridFooter::sum(Qt::red);
    return {};
}

Sql GetPayGridStatement(const QString &kind, GetPayMode mode, const Sql &ownerFilter, const Sql &filter)
{
    const Sql where = Sql(" From GetPay Where (GetPayIndex > 1) And (GetPayKind = ") + Sql::value(kind)
        + Sql(")") + ownerFilter + filter;
    const Sql sums("Round(Sum(GetPaySum),2) As GetPaySum,Round(Sum(GetPaySum2),2) As GetPaySum2,"
                   "Round(Sum(GetPaySum3),2) As GetPaySum3,Count(GetPayIndex) As GetPayNum");
    switch (mode) {
    case GetPayMode::Detail:
        return Sql("Select *") + where + Sql(" Order By GetPayTime");
    case GetPayMode::ByCustomer:
        return Sql("Select GetPayUser,") + sums + where + Sql(" Group By GetPayUser");
    case GetPayMode::ByDate:
        return Sql("Select GetPayTime,") + sums + where + Sql(" Group By GetPayTime Order By GetPayTime");
    }
    return {};
}

QString GetPayTemplate(const QString &kind, GetPayMode mode)
{
    const QString stem = isReceivable(kind) ? QStringLiteral("GetList") : QStringLiteral("PayList");
    switch (mode) {
    case GetPayMode::Detail:
        break;
    case GetPayMode::ByCustomer:
        return stem + QStringLiteral("2.frf");
    case GetPayMode::ByDate:
        return stem + QStringLiteral("3.frf");
    }
    return stem + QStringLiteral(".frf");
}

QString ShortDateCell(const QVariant &value)
{
    const QDate day = DateFromStored(value);
    return day.isValid() ? ShortDateText(day) : value.toString();
}

QString LinkedEntriesQuestion(const QString &kind)
{
    return isReceivable(kind) ? QStringLiteral("该应收记录有对应的财务收款记录，是否一并删除？")
                              : QStringLiteral("该应付记录有对应的财务付款记录，是否一并删除？");
}

Sql BuildGetPayFilter(const GetPayFilterInputs &in)
{
    auto contains = [](const char *column, const QString &text) {
        return Sql(" And (instr(") + Sql(column) + Sql(", ") + Sql::value(text) + Sql(") > 0)");
    };
    Sql filter;
    if (!in.customer.isEmpty())
        filter += contains("GetPayUser", in.customer);
    if (in.dateRange)
        filter += Sql(" And (GetPayTime Between ") + Sql::value(in.from) + Sql(" And ") + Sql::value(in.to)
            + Sql(")");
    if (!in.reason.isEmpty())
        filter += contains("GetPayReason", in.reason);
    if (!in.man.isEmpty())
        filter += contains("GetPayMan", in.man);
    if (!in.remark.isEmpty())
        filter += contains("GetPayRemark", in.remark);
    return filter;
}

qint64 InsertGetPayRecord(const GetPayRow &row)
{
    ColumnValues columns = recordColumns(row);
    columns.append({QStringLiteral("GetPayKind"), row.kind});
    columns.append({QStringLiteral("GetPayPower"), row.power});
    return InsertRow(QStringLiteral("GetPay"), columns);
}

bool UpdateGetPayRecord(qint64 index, const GetPayRow &row, bool withKindAndOwner)
{
    ColumnValues columns = recordColumns(row);
    if (withKindAndOwner) {
        columns.append({QStringLiteral("GetPayKind"), row.kind});
        columns.append({QStringLiteral("GetPayPower"), row.power});
    }
    return UpdateRow(QStringLiteral("GetPay"), QStringLiteral("GetPayIndex"), index, columns);
}

bool DeleteGetPayRecord(qint64 index, bool withEntries, int *entriesDeleted)
{
    if (entriesDeleted)
        *entriesDeleted = 0;
    Transaction change;
    bool ok = true;
    int entries = 0;
    if (withEntries) {
        entries = ExecSql(Sql("Delete From MoneyTable Where MoneyGetPay = ") + Sql::value(index), &ok);
        if (!ok)
            return false;
    }
    ExecSql(Sql("Delete From GetPay Where GetPayIndex = ") + Sql::value(index), &ok);
    if (!ok || !commitOrSay(change))
        return false;
    if (entriesDeleted)
        *entriesDeleted = entries;
    return true;
}

bool DeleteSettlingEntry(qint64 moneyIndex, qint64 recordIndex)
{
    Transaction change;
    if (!DeleteEntry(moneyIndex) || !UpdateGetPaySums(recordIndex))
        return false;
    return commitOrSay(change);
}
