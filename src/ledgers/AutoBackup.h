#pragma once

// The automatic copies of a ledger, made at the first login of a day into
// "数据库备份/自动备份", and the check of a ledger's file when it is opened.
//
// The folder keeps a list of the copies it made (name, ledger, day, size and time of the file as
// written), so that only those are ever removed: a file the user saved there under the same
// pattern, or wrote over a copy, is not on the list as it is now and stays.

#include <QDate>
#include <QList>
#include <QString>

#include <functional>

namespace Ledgers {

// The settings: copies made at all (on unless switched off), and how many of a ledger's copies
// are kept (a stored number out of range counts as the nearest allowed one).
inline constexpr int DefaultAutoBackupCopies = 7;
inline constexpr int MinAutoBackupCopies = 1;
inline constexpr int MaxAutoBackupCopies = 99;
bool AutoBackupSwitchedOn();
int AutoBackupCopiesToKeep();

// BackupFolder() + "/自动备份".
QString AutoBackupFolder();
// The ledger file's base name, a space and the short date: "Default 2026-6-15.ddb".
QString AutoBackupName(const QString &ledgerFile, const QDate &day);

// One automatic copy on the folder's list.
struct AutoBackupCopy {
    QString file; // name in the folder
    QString ledger; // the ledger file it copies, as the connection had it open
    QDate day;
    qint64 size = 0;
    qint64 modified = 0; // ms since the epoch
    // Still the file that was written: the user has not replaced it.
    bool unchanged(const QString &folder) const;
};
QList<AutoBackupCopy> ReadAutoBackupList(const QString &folder);

enum class AutoBackupResult { Made, NotDue, SwitchedOff, Failed };
// At a login: the copy of the open ledger for today, when the setting asks for one and none was
// made today and the open check found nothing wrong with it, then the oldest of the ledger's own copies
// beyond the number to keep removed. A failure is shown once with its reason and changes nothing else.
AutoBackupResult MakeAutomaticBackup();
// The same, begun once the events waiting now are handled, so that the main window is drawn
// first, with the file written on a thread of its own; a ledger changed meanwhile is not
// copied under the old one's name.
void ScheduleAutomaticBackup();
// A scheduled copy is being written.
bool AutomaticBackupRunning();
// Waits for the copy being written and finishes it (its list, its message); before the program
// ends, so that no copy is left half made or off the list.
void WaitForAutomaticBackup();

// The steps of writing a copy after which a kill leaves something to settle, for the crash tests:
// the complete copy listed under its name but not yet renamed, and renamed but the list not yet
// rewritten with the old copies removed. The hook may run on the copy's own thread.
enum class AutoBackupStep { Listed, Renamed };
void SetAutoBackupStepHook(std::function<void(AutoBackupStep)> hook);

// What is wrong with the open ledger: SQLite's quick check, then the entries whose account does
// not exist. Empty when nothing is.
QString OpenLedgerProblem();
// The same check on a closed file, opened read-only on a connection of its own.
QString LedgerFileHealthProblem(const QString &path);
// The newest automatic copy of the ledger that passes the same check; empty when none does.
QString NewestSoundAutoBackup(const QString &ledgerFile);
// On opening a ledger: the check, and when it fails the message with the file's name and the
// offer to put the newest sound automatic copy in its place. False only when the ledger could
// not be opened again after a restore.
bool CheckOpenedLedger();

} // namespace Ledgers
