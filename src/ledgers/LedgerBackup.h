#pragma once

// Whole-file backup and restore of the open ledger. The backup is a consistent copy of the
// open database written beside the chosen name and then renamed onto it; a restore only
// replaces the current file with a file that is a sound ledger, and the program must then end.

#include <QDate>
#include <QString>

class QWidget;

namespace Ledgers {

// ProgramDir + "数据库备份".
QString BackupFolder();
// "翎溪流水帐Ⅲ" + the short date + ".ddb".
QString ProposedBackupName(const QDate &day);
// The ledger file the shared connection has open (empty when none is open).
QString CurrentLedgerFile();

// Writes a consistent copy of the open ledger to target, replacing a file of that name only
// once the copy is complete. 0, or the error number of the step that failed.
int WriteLedgerCopy(const QString &target);
// Why the file is not a usable ledger (it is opened read-only on a connection of its own);
// empty when it is one.
QString LedgerFileProblem(const QString &path);

// 备份数据: the folder, the save dialog, the copy and its message.
void BackupLedger(QWidget *parent);
// 恢复数据: the question, the open dialog, the check and the replacement. True when the
// current ledger was replaced, after which the program is to end.
bool RestoreLedger(QWidget *parent);

} // namespace Ledgers
