#pragma once

// Whole-file backup and restore of the open ledger. The backup is a consistent copy of the
// open database written beside the chosen name and then renamed onto it; a restore only
// replaces the current file with a file that is a sound ledger, and the program must then end.

#include <QDate>
#include <QString>

#include <functional>

class QSqlDatabase;
class QWidget;

namespace Ledgers {

// ProgramDir + "数据库备份".
QString BackupFolder();
// "翎溪流水帐Ⅲ" + the short date + ".ddb".
QString ProposedBackupName(const QDate &day);
// The ledger file the shared connection has open (empty when none is open).
QString CurrentLedgerFile();

// Why a copy failed: the system's error number for a file failure, or the database's own
// reason when it refused.
struct LedgerCopyFailure {
    int number = 0;
    QString reason;
    bool failed() const { return number != 0 || !reason.isEmpty(); }
    // "，失败号为：28（No space left on device）" or "：" + the reason.
    QString describe() const;
};
// Writes a consistent copy of the open ledger to target, replacing a file of that name only
// once the copy is complete and on the disk.
LedgerCopyFailure WriteLedgerCopy(const QString &target);
// The same copy of a ledger file, read a few pages at a time through a connection of its own:
// it may run on another thread while the program goes on working with the file. beforeRename,
// when given, is handed the complete temporary file before it takes target's name; an error
// number it returns ends the copy with the temporary file removed.
LedgerCopyFailure WriteLedgerFileCopy(const QString &ledger, const QString &target,
    const std::function<int(const QString &temporary)> &beforeRename = {});

// A read-only connection of its own on a database file, for checks and copies that must not
// touch the shared one. It belongs to the thread that made it and closes with the object.
class ReadOnlyLedger
{
public:
    explicit ReadOnlyLedger(const QString &path);
    ~ReadOnlyLedger();
    ReadOnlyLedger(const ReadOnlyLedger &) = delete;
    ReadOnlyLedger &operator=(const ReadOnlyLedger &) = delete;

    bool isOpen() const { return openError.isEmpty(); }
    // The driver's reason when the file could not be opened.
    QString error() const { return openError; }
    QSqlDatabase database() const;

private:
    QString name;
    QString openError;
};
// Removes the temporary copies that interrupted backups, restores and ledger writes left in
// the program's folders and beside the open ledger; files of other names are never touched.
void RemoveInterruptedCopies();
// SQLite's quick check of the database's pages and B-trees, in words; empty when it passes.
QString DatabasePagesProblem(const QSqlDatabase &db);
// Why the file is not a usable ledger (it is opened read-only on a connection of its own);
// empty when it is one.
QString LedgerFileProblem(const QString &path);

// Puts a sound ledger file in place of the open ledger (through a copy beside it and a rename)
// and opens it again. False after the failure message, the current file unchanged and open.
bool ReplaceCurrentLedger(const QString &source);

// 备份数据: the folder, the save dialog, the copy and its message.
void BackupLedger(QWidget *parent);
// 恢复数据: the question, the open dialog, the check and the replacement. True when the
// current ledger was replaced, after which the program is to end.
bool RestoreLedger(QWidget *parent);

} // namespace Ledgers
