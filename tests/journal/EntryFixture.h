#pragma once

// A ledger for the entry form's tests: the program folder's Default ledger on the shared
// connection, the seams scripted, a cashier logged in with every right, and helpers that
// write and read rows outside the program's own routines.

#include "journal/GetPayForm.h"
#include "platform/Seams.h"
#include "receivables/GetPayForm4.h"
#include "storage/ShareDM.h"
#include "support/TestSupport.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>
#include <QVariantMap>

#include <memory>

namespace EntryTest {
using namespace TestSupport;

inline const QString Income = QStringLiteral("财务收入");
inline const QString Expense = QStringLiteral("财务支出");

// Runs one statement with its "?" values on the shared connection; the new row's key.
inline qint64 exec(const QString &statement, const QVariantList &values = {})
{
    QSqlQuery q(ShareDataModule->connection());
    if (!q.prepare(statement)) {
        qWarning("%s: %s", qPrintable(statement), qPrintable(q.lastError().text()));
        return -1;
    }
    for (const QVariant &v : values)
        q.addBindValue(v);
    if (!q.exec()) {
        qWarning("%s: %s", qPrintable(statement), qPrintable(q.lastError().text()));
        return -1;
    }
    return q.lastInsertId().toLongLong();
}

// Every row of a statement, each as column → value.
inline QList<QVariantMap> rows(const QString &statement, const QVariantList &values = {})
{
    QList<QVariantMap> out;
    QSqlQuery q(ShareDataModule->connection());
    q.prepare(statement);
    for (const QVariant &v : values)
        q.addBindValue(v);
    if (!q.exec())
        qWarning("%s: %s", qPrintable(statement), qPrintable(q.lastError().text()));
    while (q.next()) {
        QVariantMap row;
        for (int i = 0; i < q.record().count(); ++i)
            row.insert(q.record().fieldName(i), q.value(i));
        out.append(row);
    }
    return out;
}

inline QVariantMap row(const QString &statement, const QVariantList &values = {})
{
    return rows(statement, values).value(0);
}

inline QVariantMap entry(qint64 moneyIndex)
{
    return row(QStringLiteral("Select * From MoneyTable Where MoneyIndex = ?"), {moneyIndex});
}

inline QVariantMap record(qint64 getPayIndex)
{
    return row(QStringLiteral("Select * From GetPay Where GetPayIndex = ?"), {getPayIndex});
}

inline int count(const QString &tableAndCondition, const QVariantList &values = {})
{
    return row(QStringLiteral("Select Count(*) As N From ") + tableAndCondition, values)
        .value(QStringLiteral("N"))
        .toInt();
}

inline qint64 lastEntryIndex()
{
    return row(QStringLiteral("Select Max(MoneyIndex) As M From MoneyTable"))
        .value(QStringLiteral("M"))
        .toLongLong();
}

inline qint64 addAccount(const QString &name, int type = 1, double base = 0, const QString &power = Cashier)
{
    return exec(QStringLiteral("Insert Into Account (AccountName, AccountBase, AccountRemark, AccountType, "
                               "AccountPower) Values (?, ?, '', ?, ?)"),
        {name, base, type, power});
}

inline qint64 addRecord(
    const QString &user, const QString &kind, double due, const QString &time = "2026-06-01")
{
    return exec(
        QStringLiteral("Insert Into GetPay (GetPayTime, GetPayUser, GetPayKind, GetPaySum, GetPaySum2, "
                       "GetPaySum3, GetPayReason, GetPayRemark, GetPayMan, GetPayPower) "
                       "Values (?, ?, ?, ?, 0, ?, '', '', '', ?)"),
        {time, user, kind, due, due, Cashier});
}

struct StoredEntry {
    QString kind = Expense;
    qint64 getPay = 0;
    QString serial;
    qint64 account = 0;
    QString user;
    QString recordTime = QStringLiteral("2026-06-01");
    QString createTime = QStringLiteral("2026-06-10");
    double amount = 0;
    QString reason = QStringLiteral("办公费用");
    QString man = QStringLiteral("本人");
    QString type = QStringLiteral("日常收支");
    QString token = QStringLiteral("现金");
    QString remark;
    QString power = Cashier;
};

inline qint64 addEntry(const StoredEntry &e)
{
    const bool income = e.kind == Income;
    return exec(QStringLiteral("Insert Into MoneyTable (MoneyKind, MoneyGetPay, MoneySerial, MoneyAccount, "
                               "MoneyUser, MoneyRecordTime, MoneyCreateTime, MoneyIn, MoneyOut, MoneySum, "
                               "MoneyReason, MoneyMan, MoneyType, MoneyToken, MoneyRemark, MoneyPower) "
                               "Values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
        {e.kind, e.getPay, e.serial, e.account, e.user, e.recordTime, e.createTime, income ? e.amount : 0.0,
            income ? 0.0 : e.amount, income ? e.amount : -e.amount, e.reason, e.man, e.type, e.token,
            e.remark, e.power});
}

inline void click(QObject *dialog, const char *button)
{
    if (auto *b = child<QAbstractButton>(dialog, button))
        b->click();
}

inline void choose(QObject *dialog, const char *combo, const QString &text)
{
    auto *c = child<QComboBox>(dialog, combo);
    const int index = c ? c->findText(text) : -1;
    if (index < 0)
        qWarning("%s offers no %s", combo, qPrintable(text));
    else
        c->setCurrentIndex(index);
}

inline void type(QObject *dialog, const char *edit, const QString &text)
{
    if (auto *e = child<QLineEdit>(dialog, edit))
        e->setText(text);
}

inline QStringList items(QObject *dialog, const char *combo)
{
    QStringList list;
    if (auto *c = child<QComboBox>(dialog, combo))
        for (int i = 0; i < c->count(); ++i)
            list.append(c->itemText(i));
    return list;
}

// The Default ledger with one bank account of the cashier, who holds every right.
struct Ledger {
    TestSupport::ProgramFolder folder;
    TestSupport::Seams seams;
    std::unique_ptr<TestSupport::DataModule> data;
    qint64 bank = 0;

    Ledger()
    {
        seams.today = QDate(2026, 6, 20);
        data = std::make_unique<TestSupport::DataModule>(folder);
        if (!data->openLedger(QStringLiteral("DataBase/Default.ddb")))
            qWarning("the Default ledger did not open");
        SessionValues &s = Session();
        s.CurrentUser = Cashier;
        s.RightIncome = s.RightExpense = s.RightTransfer = true;
        s.RightOverview = s.RightEdit = s.RightReports = true;
        s.AccountBookFilter = Sql(" And (AccountType = 1)");
        s.CurrentDay = QDate(2026, 6, 15);
        bank = addAccount(QStringLiteral("工商银行"));
    }
};

// The entry form with its matching dialog, as the program wires them.
struct Forms {
    TFormGetPay form;
    TFormGetPay4 match;
    Forms() { form.setMatchDialog(&match); }

    void newEntry(const QString &kind)
    {
        form.Request.EntryMode = QStringLiteral("新增");
        form.Request.EntryKind = kind;
    }
    void editEntry(qint64 index, const QString &kind)
    {
        form.Request.EntryMode = QStringLiteral("修改");
        form.Request.EntryKind = kind;
        form.Request.EntryIndex = index;
    }
};

// Shows the entry form modally with the script driving it.
inline int show(Ledger &ledger, Forms &forms, TestSupport::Seams::DialogScript script)
{
    ledger.seams.onDialog(QStringLiteral("TFormGetPay"), std::move(script));
    return Platform::ShowModal(&forms.form);
}

inline QString focused(QDialog *d)
{
    return d->focusWidget() ? d->focusWidget()->objectName() : QString();
}

} // namespace EntryTest
