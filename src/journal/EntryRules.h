#pragma once

// The rules of the journal entry form that need no window: the texts of modes and kinds, the
// checks of the typed fields in their order, the amount and its split into MoneyIn, MoneyOut
// and MoneySum, and the amount digits of a bill.

#include <QString>

#include <optional>

namespace EntryTexts {
inline const QString ModeNew = QStringLiteral("新增");
inline const QString ModeEdit = QStringLiteral("修改");
inline const QString KindIncome = QStringLiteral("财务收入");
inline const QString KindExpense = QStringLiteral("财务支出");
inline const QString Receivable = QStringLiteral("应收");
inline const QString Payable = QStringLiteral("应付");
// Reasons of the two halves of a transfer.
inline const QString TransferSameType = QStringLiteral("帐户平调");
inline const QString TransferBookType = QStringLiteral("帐簿平调");

inline const QString ChooseAccount = QStringLiteral("请选择一个帐户");
inline const QString ChooseReason = QStringLiteral("请选择帐款项目");
inline const QString AmountFormatWrong = QStringLiteral("金额格式有误，请重新输入");
inline const QString AmountMayBeWrong = QStringLiteral("金额内容可能有误，请重新输入");
inline const QString ChooseCategory = QStringLiteral("请选择帐款类别");
inline const QString ChooseVoucher = QStringLiteral("请选择帐款凭证");
inline const QString AccountNotFound = QStringLiteral("找不到所需要的帐户");
inline const QString EditNotFound = QStringLiteral("找不到要修改的记录");
inline const QString DeleteNotFound = QStringLiteral("找不到要删除的记录");
inline const QString Inserted = QStringLiteral("记录新增成功");
inline const QString Changed = QStringLiteral("记录修改成功");
} // namespace EntryTexts

// The controls a failed check puts the focus on.
enum class EntryField { None, Account, Reason, Amount, Category, Voucher };

struct EntryCheck {
    EntryField field = EntryField::None;
    QString message;
    bool passed() const { return field == EntryField::None; }
};

// What the user chose and typed, as the checks see it.
struct EntryChoices {
    QString account;
    QString reason;
    QString amountText;
    QString category;
    QString voucher;
};

// The checks of a save, in screen order; the first failure only.
EntryCheck CheckEntryChoices(const EntryChoices &choices);
// The amount's checks: digits and points only, at most two characters after the first point,
// a number at all ("1..5" and "." are not), and no more than MaxAmount.
EntryCheck CheckAmountText(const QString &text);
// The amount of a text that passed the checks ("12." is 12, ".5" is 0.5); none otherwise.
std::optional<double> ParseAmountText(const QString &text);

struct EntryAmounts {
    double in = 0;
    double out = 0;
    double sum = 0;
};
// Income books the amount in, anything else out; MoneySum carries the sign.
EntryAmounts AmountsForKind(const QString &kind, double amount);

// Parameter list of the reasons: 0 (expense reasons) for an expense, 1 (income reasons) else.
int ReasonListType(const QString &kind);
// The records a new entry of this kind may settle: "应收" for income, "应付" otherwise.
QString MatchKindFor(const QString &kind);
bool IsTransferReason(const QString &reason);
// The banner of the form, relative to the program folder; empty for a kind of neither sort.
QString BannerPicture(const QString &mode, const QString &kind);

// The amount of a bill in fen, as the capitals are written from it: 123.45 → "12345",
// 12.5 → "1250", 100 → "10000", 0.5 → "050".
QString BillAmountDigits(double amount);
// The bill's title: the kind + "单".
QString BillKindText(const QString &kind);
