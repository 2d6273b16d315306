#pragma once

// Writing journal entries and the settled and outstanding sums of the receivable or payable
// record they settle. The callers run the checks first and wrap a change in a Transaction.

#include "journal/TransferRules.h"

#include <QDate>
#include <QString>

// One MoneyTable row as the entry form writes it.
struct EntryRow {
    QString kind; // MoneyKind
    qint64 getPay = 0; // MoneyGetPay
    QString serial;
    qint64 account = 0; // MoneyAccount
    QString user; // customer
    QDate recordDay; // MoneyRecordTime
    QDate createDay; // MoneyCreateTime, the business day
    double amount = 0; // never negative; the kind gives the sign
    QString reason;
    QString man;
    QString type;
    QString token;
    QString remark;
    QString power; // MoneyPower, the user who recorded it
};

// Inserts the row with every column; the new MoneyIndex, or -1 after the failure message.
qint64 InsertEntry(const EntryRow &row);
// Overwrites what an edit may change: account, number, customer, business day, the three
// amounts (split by row.kind), reason, salesman, category, voucher and remark. Kind, link,
// record day and owner stay as stored.
bool UpdateEntry(qint64 moneyIndex, const EntryRow &row);
bool DeleteEntry(qint64 moneyIndex);
// Writes both rows of a transfer, the source's first, in one transaction: after a failure
// (its message shown) neither row exists.
bool InsertTransfer(const TransferValues &transfer);

// Recomputes GetPaySum2 (the absolute rounded sum of the linked entries' MoneySum) and
// GetPaySum3 (GetPaySum − GetPaySum2) of the record; nothing for index 0 or a missing record.
// False when a statement failed (its message shown).
bool UpdateGetPaySums(qint64 getPayIndex);
