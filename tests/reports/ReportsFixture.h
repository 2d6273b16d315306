#pragma once

// The report tests use the program run: entries written with every column a report can filter
// on, the report tab's grid, and the builder's lists driven by clicks.

#include "app/MainForm.h"
#include "support/ProgramRun.h"
#include "widgets/DataGrid.h"

#include <QAbstractButton>
#include <QDateEdit>
#include <QHash>
#include <QListWidget>
#include <QTest>

namespace ReportsTest {
using namespace TestSupport;

// One entry; a null text is stored as Null.
struct Entry {
    const char *tag; // the test's name for it
    QDate day;
    const char *account;
    double amount;
    const char *reason = "测试";
    const char *customer = nullptr;
    const char *man = nullptr;
    const char *type = nullptr;
    const char *voucher = nullptr;
    const char *remark = nullptr;
    const char *serial = nullptr;
};

inline QVariant textOrNull(const char *text)
{
    return text ? QVariant(QString::fromUtf8(text)) : QVariant(QMetaType(QMetaType::QString));
}

// Writes the entries of the cashier on the accounts named (created as needed: names containing
// 银行 are bank accounts, the others cash); the tags' MoneyIndex.
inline QHash<QString, qint64> addEntries(LedgerFile &ledger, const QList<Entry> &entries)
{
    QHash<QString, qint64> accounts;
    QHash<QString, qint64> tags;
    for (const Entry &e : entries) {
        const QString account = QString::fromUtf8(e.account);
        if (!accounts.contains(account))
            accounts[account]
                = ledger.addAccount(account, account.contains(QStringLiteral("银行")) ? 1 : 2, 0);
        const bool income = e.amount >= 0;
        tags[QString::fromUtf8(e.tag)] = ledger.insert(
            QStringLiteral(
                "Insert Into MoneyTable (MoneyKind, MoneyAccount, MoneyRecordTime, MoneyCreateTime, "
                "MoneyIn, MoneyOut, MoneySum, MoneyReason, MoneyUser, MoneyMan, MoneyType, "
                "MoneyToken, MoneyRemark, MoneySerial, MoneyPower) "
                "Values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
            {income ? QStringLiteral("财务收入") : QStringLiteral("财务支出"), accounts[account],
                IsoDate(e.day), IsoDate(e.day), income ? e.amount : 0.0, income ? 0.0 : -e.amount, e.amount,
                QString::fromUtf8(e.reason), textOrNull(e.customer), textOrNull(e.man), textOrNull(e.type),
                textOrNull(e.voucher), textOrNull(e.remark), textOrNull(e.serial), Cashier});
    }
    return tags;
}

// Adds an item to a pick list (0 expense reasons … 5 salesmen).
inline void addParameter(LedgerFile &ledger, int type, const QString &value)
{
    ledger.exec(
        QStringLiteral("Insert Into Parameter (ParameterType, ParameterValue) Values (?, ?)"), {type, value});
}

inline QWidget *reportsTab(const Run &run)
{
    return run.window()->tabPage(MainTab::Reports);
}

inline DataGrid *reportGrid(const Run &run)
{
    return child<DataGrid>(reportsTab(run), QStringLiteral("DBGridEh2"));
}

// On the report tab, 生成报表 with the builder's OK and, when from is valid, that time range ticked.
inline void makeReport(Run &run, const QDate &from = {}, const QDate &to = {})
{
    run.window()->tabs()->setCurrentWidget(reportsTab(run));
    run.seams.onDialog(QStringLiteral("TFormMakeReport"), [from, to](QDialog *d) {
        if (from.isValid()) {
            child<QAbstractButton>(d, QStringLiteral("CheckBox1"))->click();
            child<QDateEdit>(d, QStringLiteral("DateTimePicker1"))->setDate(from);
            child<QDateEdit>(d, QStringLiteral("DateTimePicker2"))->setDate(to);
        }
        child<QAbstractButton>(d, QStringLiteral("BitBtn1"))->click();
    });
    trigger(reportsTab(run), QStringLiteral("ActionMakeReport"));
}

// MoneyIndex of every row of the report grid, in its order.
inline QList<qint64> reportRows(const Run &run)
{
    QList<qint64> indexes;
    DataGrid *grid = reportGrid(run);
    for (int r = 0; r < grid->rowCount(); ++r)
        indexes.append(grid->value(r, QStringLiteral("MoneyIndex")).toLongLong());
    return indexes;
}

inline QList<qint64> indexesOf(const QHash<QString, qint64> &tags, const QStringList &names)
{
    QList<qint64> indexes;
    for (const QString &name : names)
        indexes.append(tags.value(name, -1));
    return indexes;
}

// A click on the list item with this text, as a person gives it: it selects or unselects the
// item and makes it the current one.
inline void clickItem(QListWidget *list, const QString &text)
{
    const QList<QListWidgetItem *> found = list->findItems(text, Qt::MatchExactly);
    QVERIFY2(!found.isEmpty(), qPrintable(text));
    list->scrollToItem(found.first());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(found.first()).center());
}

} // namespace ReportsTest
