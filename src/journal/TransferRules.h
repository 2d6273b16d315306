#pragma once

// The rules of a transfer that need no window: the checks of what was chosen and typed, the
// reason by the two accounts' types, when the overdraft question is asked, and the columns of
// the two rows (an expense on the source, an income on the target). The amount's checks are
// the entry form's own.

#include "storage/PublicFunction.h"

#include <QDate>
#include <QList>
#include <QString>

namespace TransferTexts {
inline const QString ChooseSource = QStringLiteral("请选择调出帐户");
inline const QString ChooseTarget = QStringLiteral("请选择调入帐户");
inline const QString SameAccount = QStringLiteral("调出帐户和调入帐户不能相同");
inline const QString SourceNotFound = QStringLiteral("找不到调出帐户");
inline const QString TargetNotFound = QStringLiteral("找不到调入帐户");
inline const QString AccountsLoadFailed = QStringLiteral("帐户读入失败");
inline const QString BalanceFailed = QStringLiteral("统计帐户金额时出错");
inline const QString Overdraft = QStringLiteral("输入的金额已经超过调出帐户所具有的资金，是否继续？");
inline const QString Done = QStringLiteral("平调成功");
inline const QString NotInAllAccounts
    = QStringLiteral("为免出现平调错误，在“所有帐户”状态下不提供平调功能！");
// "AccountType" as edited by hand: the account lists have no type condition then.
inline const QString AllAccountsBook = QStringLiteral("7");
inline const QString OutPrefix = QStringLiteral("调出->");
inline const QString InSuffix = QStringLiteral("->调入");
} // namespace TransferTexts

// The controls a failed check puts the focus on; None keeps the focus where it is.
enum class TransferField { None, Source, Target, Amount };

struct TransferCheck {
    TransferField field = TransferField::None;
    QString message;
    bool passed() const { return message.isEmpty(); }
};

// The checks before any look-up, in order: source, target, the two differ, the amount.
TransferCheck CheckTransferChoices(const QString &source, const QString &target, const QString &amountText);

// "帐户平调" for two accounts of the same type, "帐簿平调" (between a bank and a cash book)
// when the types differ.
QString TransferReason(int sourceType, int targetType);

// True when the amount exceeds the source's balance. Both are compared to the cent, so an
// amount equal to the balance never asks, whatever the binary remainders of the sum.
bool ExceedsBalance(double amount, double balance);

struct TransferAccount {
    qint64 index = 0; // AccountIndex
    QString name;
    int type = 0; // AccountType
};

struct TransferValues {
    TransferAccount source;
    TransferAccount target;
    double amount = 0;
    QDate day; // MoneyCreateTime, the transfer day
    QDate recordDay; // MoneyRecordTime, today
    QString remark;
    QString user; // MoneyPower
};

// The columns of the two rows, the source's first. Number, link, salesman, category, voucher,
// MoneyIn and MoneyOut are not written: a transfer half carries its amount in MoneySum only.
QList<ColumnValues> TransferRowColumns(const TransferValues &transfer);
