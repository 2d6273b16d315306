#pragma once

// The shared data module: the program's one database connection, its two scratch queries and
// the values of the running session that every window reads.

#include "storage/Query.h"
#include "storage/Sql.h"

#include <QDate>
#include <QObject>
#include <QString>

class QSqlDatabase;

// How long a statement waits for a lock that another connection holds before it fails.
inline constexpr int BusyTimeoutMs = 5000;

struct SessionValues {
    QString ProgramDir; // the program folder, ending with "/"
    QString SettingsPath; // ProgramDir + "Quillbrook.ini"
    QString DefaultLedgerFolder; // "[RunPath]\DataBase\" once the master database is open
    QString LedgerCaption; // tips of the ledger logged into through the chooser
    QString CurrentUser;
    bool RightIncome = false;
    bool RightExpense = false;
    bool RightTransfer = false;
    bool RightOverview = false;
    bool RightEdit = false;
    bool RightReports = false;
    // View filters, each beginning with " And " (or empty), appended after a Where clause.
    Sql AccountBookFilter;
    Sql MoneyOwnerFilter;
    Sql GetPayOwnerFilter;
    bool MultiUserEdition = false;
    // The main window's current day (its date picker).
    QDate CurrentDay;
    // The report's conditions, written by the report builder and by an account's 当月记录, read
    // by the report grid and the statistics. Each fragment begins with " And " (or is empty) and
    // is appended after the join of Account with MoneyTable; ReportAccountCondition constrains
    // AccountName only and is part of ReportCondition too. ReportStartDate is the short-date
    // text of the time range's first day, empty when no range was chosen.
    Sql ReportCondition;
    Sql ReportAccountCondition;
    QString ReportStartDate;
};

class TShareDataModule : public QObject
{
    Q_OBJECT
public:
    explicit TShareDataModule(QObject *parent = nullptr);
    ~TShareDataModule() override;

    // The one connection ("ADOConnection1").
    QSqlDatabase connection() const;
    bool isConnected() const;
    // Path of the database file currently open (empty when closed).
    QString databasePath() const { return openPath; }
    // Opens an existing SQLite file for reading and writing (never creates one) and sets the
    // connection's journal and sync modes. Use OpenLedgerConnection, which also checks the file.
    bool openDatabase(const QString &path, QString *error);
    void closeConnection();

    Query ADOQueryTemp;
    Query ADOQueryTemp2;
    SessionValues session;

    // Asks the main window to refresh every view (it answers synchronously).
    void RequestRefreshAll() { emit refreshAllRequested(); }

signals:
    void refreshAllRequested();

private:
    QString connectionName;
    QString openPath;
    int transactionDepth = 0;
    friend class Transaction;
};

// The single instance, created second at start-up; null before and after.
extern TShareDataModule *ShareDataModule;

inline SessionValues &Session()
{
    return ShareDataModule->session;
}

// Runs the statements of one change together: commit() makes them stay, leaving the scope
// without it undoes them. Guards may nest; only the outermost one touches the database.
class Transaction
{
public:
    Transaction();
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    bool isActive() const { return active; }
    bool commit();

private:
    bool active = false;
    bool outermost = false;
};
