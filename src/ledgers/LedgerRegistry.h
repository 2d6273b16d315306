#pragma once

// The ledger registry of the master database (table SoftData) and the steps of choosing,
// creating, editing, deleting and logging into a ledger. The dialogs only collect the input
// and move the focus; messages go through the platform seams.

#include "storage/Query.h"
#include "storage/Sql.h"

#include <QDate>
#include <QString>

namespace Ledgers {

inline const QString DemoLedgerName = QStringLiteral("软件演示帐套");
inline const QString StateNormal = QStringLiteral("正常");
inline const QString StateMissing = QStringLiteral("丢失");
inline const QString ModeNew = QStringLiteral("新增");
inline const QString ModeEdit = QStringLiteral("修改");
inline const QString MasterFileName = QStringLiteral("Quillbrook3.MDB");
inline const QString TemplateFileName = QStringLiteral("QuillShare.dll");

// The registry entries the chooser lists (row 1 is reserved).
Sql ListingSql();
// "正常" when the stored path (placeholder allowed) names an existing file, else "丢失".
QString LedgerStateText(const QString &storedPath);
// Finishes the ledger creations and renames that were cut short after the registry took them,
// and removes what those that never reached it left (see AddLedger, EditLedger).
void RepairInterruptedChanges(const Query &rows);
// Repairs, then stores SoftDataState of every listed entry by whether its file exists. A
// registry that cannot be written (read-only, locked) keeps its old states without a message:
// the chooser shows the states it computes. False (after "数据库打开失败") when the registry
// cannot be read.
bool RefreshLedgerStates();
// Where a new ledger's copy lies until the registry holds its entry, and the note of where a
// renamed ledger's file lies until it has moved.
QString PendingLedgerPath(const QString &target);
QString MoveMarkerPath(const QString &target);

// The path the ledger dialog proposes for a name: the folder, the name and ".ddb".
QString ProposedLedgerPath(const QString &folder, const QString &name);

// True when logging into this entry is the demonstration ledger's first login.
bool IsDemoFirstLogin(const QString &name, const QString &tips);
// The tips with "[XXXX]" replaced by the day a week before today and "[YYYY]" by today.
QString DemoCaption(const QString &tips, const QDate &today);
// On the open demonstration ledger: moves every entry's and every receivable's dates by the
// same number of days so that entry 1's recording day becomes today. All or nothing; false
// after its message. The number of days moved goes to *days.
bool ShiftDemoDates(const QDate &today, qint64 *days = nullptr);

struct LedgerFields {
    QString name;
    QString path; // as shown, placeholder kept
    QString remark;
    QString tips;
    QDate time;
};

enum class SaveOutcome {
    Saved, // stored; the dialog closes with OK
    Vanished, // the entry was gone before anything happened; the dialog closes with OK
    NameRejected, // the message is shown; the focus belongs on the name
    Failed, // the message is shown; the dialog stays open
};

SaveOutcome AddLedger(const LedgerFields &fields);
SaveOutcome EditLedger(qint64 index, const LedgerFields &fields);
// Asks first; true when the registry entry was deleted (its file stays).
bool DeleteLedger(qint64 index);

struct LedgerEntry {
    qint64 index = 0;
    QString name;
    QString path; // stored form
    QString tips;
};
// Switches the shared connection from the master database to the entry's ledger. On failure
// the message is shown and the connection is back on the master database.
bool LoginLedger(const LedgerEntry &entry);

} // namespace Ledgers
