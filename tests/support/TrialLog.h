#pragma once

// What the crash trial's driver and its checks share: the names of the rows the driver works
// on and the form of its log.
//
// Each change is logged twice, "begin" before and "done" once the program confirmed it, with
// what the change leaves behind as key=value facts:
//
//   begin<TAB>entry-save<TAB>entry:T7-3=-12.5
//   done<TAB>entry-save<TAB>entry:T7-3=-12.5
//
// A refusal is logged as "fail<TAB>operation<TAB>message". The facts' keys:
//   entry:<remark>          the entry's MoneySum in the trial ledger, or "gone"
//   account:<name>          "present" or "gone" (an account of the trial ledger)
//   ledger:<name>           "present" (registered, file there) or "absent" (not registered)
// and one note without a value:
//   released:<file name>    a ledger file of the DataBase folder that may stay unregistered: its
//                           entry is deleted, and the user removes the file afterwards
//   setting:<section>/<key> the value in the settings file
//   backup:<file name>      "sound": a ledger copy in the backup folder that passes its checks
//   demo                    the recording day of the demonstration ledger's entry 1
// A key that no "done" line names is not checked: its earlier state is not known.

#include <QString>

namespace TrialLog {

inline const QString Begin = QStringLiteral("begin");
inline const QString Done = QStringLiteral("done");
inline const QString Fail = QStringLiteral("fail");

inline const QString Gone = QStringLiteral("gone");
inline const QString Present = QStringLiteral("present");
inline const QString Absent = QStringLiteral("absent");
inline const QString Sound = QStringLiteral("sound");

// The trial ledger (entries, accounts, backups) and its rows.
inline const QString TrialLedgerFile = QStringLiteral("DataBase/Default.ddb");
inline const QString Bank = QStringLiteral("试验银行");
inline const QString Customer = QStringLiteral("试验客户");
// The ledger that restores replace, and the ledgers that are created and renamed.
inline const QString RestoreLedger = QStringLiteral("恢复试验帐套");
inline const QString CreatedLedgerPrefix = QStringLiteral("试验帐套");
inline const QString DemoLedger = QStringLiteral("软件演示帐套");
inline const QString DemoLedgerFile = QStringLiteral("DataBase/Demo.ddb");
inline const QString BackupPrefix = QStringLiteral("试验备份");

// A sum as the facts write it.
inline QString SumText(double sum)
{
    return QString::number(sum, 'g', 15);
}

} // namespace TrialLog
