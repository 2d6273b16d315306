#pragma once

// The report worked out without widgets: the conditions the report builder makes of the user's
// choices, the check of its amount bounds, and the report grid's statement with its order.

#include "storage/Sql.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

namespace ReportTexts {
inline const QString AllDocuments = QStringLiteral("所有");
inline const QString IncomeDocuments = QStringLiteral("财务收入单");
inline const QString ExpenseDocuments = QStringLiteral("财务支出单");
inline const QString AllTransfers = QStringLiteral("所有");
inline const QString NoTransfers = QStringLiteral("除平调单据");
inline const QString OnlyTransfers = QStringLiteral("仅平调单据");
// Both transfer reasons, "帐户平调" and "帐簿平调", contain it.
inline const QString TransferMark = QStringLiteral("平调");
inline const QString AmountMalformed = QStringLiteral("金额格式有误，请重新输入");
} // namespace ReportTexts

// What the builder's controls hold when OK is pressed. A list's current item and its selected
// items (in list order) are separate: the current item decides whether the selection counts.
struct ReportChoices {
    QString documentKind; // "所有", "财务收入单", "财务支出单"
    QString transferKind; // "所有", "除平调单据", "仅平调单据"
    bool timeRange = false;
    QDate startDate;
    QDate endDate;
    bool amountRange = false;
    QString lowerBound;
    QString upperBound;
    QString serial;
    QString currentAccount;
    QStringList selectedAccounts;
    QString currentReason;
    QStringList selectedReasons;
    QString type;
    QString voucher;
    QString customer;
    QString salesman;
    QString remark;
};

struct ReportConditions {
    Sql condition;
    Sql accountCondition;
    QString startDate;
};

// Every condition in its fixed order: time range, amount range, accounts, reasons, type,
// voucher, customer, salesman, document kind, transfers, remark, document number. Values are
// bound as chosen; the amount bounds must have passed CheckAmountBounds.
ReportConditions BuildReportConditions(const ReportChoices &choices);

// The amount boxes are checked, lower first, whether or not the range is ticked: an empty box
// passes; otherwise, after one leading "-", only digits and full stops that make a number, and no
// more than MaxAmount. The first box that fails, with its message.
enum class AmountBox { None, Lower, Upper };
struct AmountBoundsCheck {
    AmountBox box = AmountBox::None;
    QString message;
};
AmountBoundsCheck CheckAmountBounds(const QString &lower, const QString &upper);
// The number of a box that passed the check.
double AmountBound(const QString &text);

// The report grid's sort choices in their list order, and the order each appends. A text that
// is none of them (matched exactly) appends nothing.
const QStringList &ReportSortChoices();
Sql ReportOrderClause(const QString &sortChoice);
// The report grid's statement: every column of Account and MoneyTable for the entries that the
// view filters and the report condition admit, in the sort choice's order.
Sql ReportGridSql(const Sql &accountBookFilter, const Sql &moneyOwnerFilter, const Sql &reportCondition,
    const QString &sortChoice);
