#pragma once

// The rules of receivables ("应收") and payables ("应付") that need no window: what differs by
// kind, the statements and columns of the three display modes, the filter conditions and the
// print templates, and the writes of a record with the entries that settle it.

#include "storage/Sql.h"
#include "widgets/DataGridModel.h"

#include <QDate>
#include <QList>
#include <QString>

namespace GetPayTexts {
inline const QString RecordInserted = QStringLiteral("记录新增成功");
inline const QString RecordChanged = QStringLiteral("记录修改成功");
inline const QString RecordNotFound = QStringLiteral("找不到要修改的记录");
inline const QString EntryNotFound = QStringLiteral("找不到要删除的记录");
inline const QString DeleteQuestion = QStringLiteral("确实要删除该记录吗？");
inline const QString DeleteCaption = QStringLiteral("删除警告");
inline const QString DeleteChoiceCaption = QStringLiteral("删除选择");
inline const QString SelectToEdit = QStringLiteral("请先选中要修改的记录");
inline const QString SelectToDelete = QStringLiteral("请先选中要删除的记录");
} // namespace GetPayTexts

// How a grid shows its records: one row per record, per customer or per date.
enum class GetPayMode { Detail, ByCustomer, ByDate };

// The record dialog's texts of a kind.
struct RecordCaptions {
    QString amount; // label of the amount box
    QString due;
    QString settled;
    QString outstanding;
};
RecordCaptions RecordCaptionsFor(const QString &kind);
// Parameter list of the reasons: 1 (income reasons) for "应收", 0 (expense reasons) otherwise.
int RecordReasonList(const QString &kind);
// The kind of the entries that settle a record: "财务收入" for "应收", "财务支出" otherwise.
QString SettlingEntryKind(const QString &kind);
// The banner of the record dialog, relative to the program folder.
QString RecordBanner(const QString &mode, const QString &kind);

// One column of a receivables or payables grid.
struct GetPayColumnSpec {
    QString caption;
    QString field;
    int width = 0;
};
QList<GetPayColumnSpec> GetPayColumns(const QString &kind, GetPayMode mode);
// The footer of a column by its field: "合计", the row count, or the sums in black, blue and red.
GridFooter GetPayFooter(const QString &field);
// The grid's statement; ownerFilter and filter are appended as they are.
Sql GetPayGridStatement(const QString &kind, GetPayMode mode, const Sql &ownerFilter, const Sql &filter);
// The print template's file name in the Frf folder.
QString GetPayTemplate(const QString &kind, GetPayMode mode);
// A grid cell of a stored date: the short date, or the stored text when it is no date.
QString ShortDateCell(const QVariant &value);
// The question whether the entries settling a record go with it.
QString LinkedEntriesQuestion(const QString &kind);

// What the filter dialog was given; empty texts set no condition.
struct GetPayFilterInputs {
    QString customer;
    bool dateRange = false;
    QDate from;
    QDate to;
    QString reason;
    QString man;
    QString remark;
};
// The conditions, each beginning with " And ": containment for the texts, the dates inclusive.
Sql BuildGetPayFilter(const GetPayFilterInputs &inputs);

// One GetPay row as the record dialog writes it.
struct GetPayRow {
    QDate time;
    QString user;
    QString kind;
    double due = 0; // GetPaySum
    double settled = 0; // GetPaySum2; GetPaySum3 is due − settled
    QString reason;
    QString remark;
    QString man;
    QString power;
};
// Inserts the record; its GetPayIndex, or -1 after the failure message.
qint64 InsertGetPayRecord(const GetPayRow &row);
// Overwrites the record's date, customer, amounts, reason, remark and salesman; kind and owner
// too when withKindAndOwner.
bool UpdateGetPayRecord(qint64 index, const GetPayRow &row, bool withKindAndOwner);
// Deletes the record, and with withEntries the entries that settle it, together or not at all;
// *entriesDeleted counts the entries. False after the failure message, with nothing deleted.
bool DeleteGetPayRecord(qint64 index, bool withEntries, int *entriesDeleted = nullptr);
// Deletes one settling entry and recomputes the record's sums, together or not at all.
bool DeleteSettlingEntry(qint64 moneyIndex, qint64 recordIndex);
