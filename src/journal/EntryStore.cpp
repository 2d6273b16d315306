#include "journal/EntryStore.h"

#include "journal/EntryRules.h"
#include "platform/Seams.h"
#include "storage/PublicFunction.h"
#include "storage/ShareDM.h"

namespace {
ColumnValues editableColumns(const EntryRow &row)
{
    const EntryAmounts a = AmountsForKind(row.kind, row.amount);
    return {{QStringLiteral("MoneyAccount"), row.account}, {QStringLiteral("MoneySerial"), row.serial},
        {QStringLiteral("MoneyUser"), row.user}, {QStringLiteral("MoneyCreateTime"), row.createDay},
        {QStringLiteral("MoneyIn"), a.in}, {QStringLiteral("MoneyOut"), a.out},
        {QStringLiteral("MoneySum"), a.sum}, {QStringLiteral("MoneyReason"), row.reason},
        {QStringLiteral("MoneyMan"), row.man}, {QStringLiteral("MoneyType"), row.type},
        {QStringLiteral("MoneyToken"), row.token}, {QStringLiteral("MoneyRemark"), row.remark}};
}
} // namespace

qint64 InsertEntry(const EntryRow &row)
{
    ColumnValues columns
        = {{QStringLiteral("MoneyKind"), row.kind}, {QStringLiteral("MoneyGetPay"), row.getPay},
            {QStringLiteral("MoneyRecordTime"), row.recordDay}, {QStringLiteral("MoneyPower"), row.power}};
    columns.append(editableColumns(row));
    return InsertRow(QStringLiteral("MoneyTable"), columns);
}

bool UpdateEntry(qint64 moneyIndex, const EntryRow &row)
{
    return UpdateRow(
        QStringLiteral("MoneyTable"), QStringLiteral("MoneyIndex"), moneyIndex, editableColumns(row));
}

bool DeleteEntry(qint64 moneyIndex)
{
    bool ok = false;
    ExecSql(Sql("Delete From MoneyTable Where MoneyIndex = ") + Sql::value(moneyIndex), &ok);
    return ok;
}

bool InsertTransfer(const TransferValues &transfer)
{
    Transaction change;
    if (!change.isActive()) {
        Platform::ShowMessage(Texts::SqlCommandFailed);
        return false;
    }
    for (const ColumnValues &row : TransferRowColumns(transfer))
        if (InsertRow(QStringLiteral("MoneyTable"), row) < 0)
            return false;
    if (!change.commit()) {
        Platform::ShowMessage(Texts::SqlCommandFailed);
        return false;
    }
    return true;
}

bool UpdateGetPaySums(qint64 getPayIndex)
{
    if (getPayIndex == 0)
        return true;
    Query settledQuery;
    if (!RunQuery(settledQuery,
            Sql("Select abs(round(Sum(MoneySum),2)) As TotalMoney From MoneyTable Where MoneyGetPay = ")
                + Sql::value(getPayIndex),
            Texts::DatabaseOpenFailed))
        return false;
    // No linked entries: the sum is empty and counts as 0.
    const double settled = settledQuery.number(QStringLiteral("TotalMoney"));
    Query record;
    if (!RunQuery(record, Sql("Select * From GetPay Where GetPayIndex = ") + Sql::value(getPayIndex),
            Texts::DatabaseOpenFailed))
        return false;
    if (record.isEmpty())
        return true;
    const double due = record.number(QStringLiteral("GetPaySum"));
    return UpdateRow(QStringLiteral("GetPay"), QStringLiteral("GetPayIndex"), getPayIndex,
        {{QStringLiteral("GetPaySum2"), settled}, {QStringLiteral("GetPaySum3"), due - settled}});
}
