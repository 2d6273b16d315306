#include "journal/TransferRules.h"

#include "journal/EntryRules.h"

#include <QtMath>

TransferCheck CheckTransferChoices(const QString &source, const QString &target, const QString &amountText)
{
    if (source.isEmpty())
        return {TransferField::Source, TransferTexts::ChooseSource};
    if (target.isEmpty())
        return {TransferField::Target, TransferTexts::ChooseTarget};
    if (source == target)
        return {TransferField::None, TransferTexts::SameAccount};
    if (const EntryCheck amount = CheckAmountText(amountText); !amount.passed())
        return {TransferField::Amount, amount.message};
    return {};
}

QString TransferReason(int sourceType, int targetType)
{
    return sourceType == targetType ? EntryTexts::TransferSameType : EntryTexts::TransferBookType;
}

bool ExceedsBalance(double amount, double balance)
{
    return qRound64(amount * 100) > qRound64(balance * 100);
}

QList<ColumnValues> TransferRowColumns(const TransferValues &t)
{
    const QString reason = TransferReason(t.source.type, t.target.type);
    auto row = [&](const QString &kind, qint64 account, double sum, const QString &user) {
        return ColumnValues {{QStringLiteral("MoneyKind"), kind}, {QStringLiteral("MoneyAccount"), account},
            {QStringLiteral("MoneyRecordTime"), t.recordDay}, {QStringLiteral("MoneyCreateTime"), t.day},
            {QStringLiteral("MoneyReason"), reason}, {QStringLiteral("MoneySum"), sum},
            {QStringLiteral("MoneyUser"), user}, {QStringLiteral("MoneyPower"), t.user},
            {QStringLiteral("MoneyRemark"), t.remark}};
    };
    return {row(EntryTexts::KindExpense, t.source.index, -t.amount, TransferTexts::OutPrefix + t.target.name),
        row(EntryTexts::KindIncome, t.target.index, t.amount, t.source.name + TransferTexts::InSuffix)};
}
