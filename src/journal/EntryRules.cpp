#include "journal/EntryRules.h"

#include "storage/PublicFunction.h"

EntryCheck CheckAmountText(const QString &text)
{
    if (!IsNumericText(text))
        return {EntryField::Amount, EntryTexts::AmountFormatWrong};
    const qsizetype point = text.indexOf(QLatin1Char('.'));
    if (point >= 0 && text.size() - point - 1 > 2)
        return {EntryField::Amount, EntryTexts::AmountMayBeWrong};
    // Digits and points that still make no number: two points, or a point alone.
    const std::optional<double> amount = ParseAmountText(text);
    if (!amount)
        return {EntryField::Amount, EntryTexts::AmountFormatWrong};
    if (!IsAmountInRange(*amount))
        return {EntryField::Amount, Texts::AmountOutOfRange};
    return {};
}

std::optional<double> ParseAmountText(const QString &text)
{
    if (!IsNumericText(text) || text.count(QLatin1Char('.')) > 1 || text == QLatin1String("."))
        return std::nullopt;
    QString normal = text;
    if (normal.startsWith(QLatin1Char('.')))
        normal.prepend(QLatin1Char('0'));
    if (normal.endsWith(QLatin1Char('.')))
        normal.chop(1);
    bool ok = false;
    const double value = normal.toDouble(&ok);
    if (!ok)
        return std::nullopt;
    return value;
}

EntryCheck CheckEntryChoices(const EntryChoices &c)
{
    if (c.account.isEmpty())
        return {EntryField::Account, EntryTexts::ChooseAccount};
    if (c.reason.isEmpty())
        return {EntryField::Reason, EntryTexts::ChooseReason};
    if (EntryCheck amount = CheckAmountText(c.amountText); !amount.passed())
        return amount;
    if (c.category.isEmpty())
        return {EntryField::Category, EntryTexts::ChooseCategory};
    if (c.voucher.isEmpty())
        return {EntryField::Voucher, EntryTexts::ChooseVoucher};
    return {};
}

EntryAmounts AmountsForKind(const QString &kind, double amount)
{
    if (kind == EntryTexts::KindIncome)
        return {amount, 0, amount};
    return {0, amount, -amount};
}

int ReasonListType(const QString &kind)
{
    return kind == EntryTexts::KindExpense ? 0 : 1;
}

QString MatchKindFor(const QString &kind)
{
    return kind == EntryTexts::KindIncome ? EntryTexts::Receivable : EntryTexts::Payable;
}

bool IsTransferReason(const QString &reason)
{
    return reason == EntryTexts::TransferSameType || reason == EntryTexts::TransferBookType;
}

QString BannerPicture(const QString &mode, const QString &kind)
{
    const bool isNew = mode == EntryTexts::ModeNew;
    if (kind == EntryTexts::KindIncome)
        return isNew ? QStringLiteral("Res/NewGet.bmp") : QStringLiteral("Res/EditGet.bmp");
    if (kind == EntryTexts::KindExpense)
        return isNew ? QStringLiteral("Res/NewPay.bmp") : QStringLiteral("Res/EditPay.bmp");
    return {};
}

QString BillAmountDigits(double amount)
{
    QString t = RoundMoney(amount);
    // Amounts past fifteen digits come out in exponent form; write them out in full.
    if (t.contains(QLatin1Char('e'), Qt::CaseInsensitive))
        t = QString::number(amount, 'f', 2);
    // Bring the text to exactly two decimals (a whole amount gains two zeros).
    for (int pass = 0; pass < 2; ++pass)
        if (t.size() < 3 || t.at(t.size() - 3) != QLatin1Char('.'))
            t.append(QLatin1Char('0'));
    t.remove(QLatin1Char('.'));
    return t;
}

QString BillKindText(const QString &kind)
{
    return kind + QStringLiteral("单");
}
