#include "ledgers/AutoBackup.h"

#include "ledgers/LedgerBackup.h"
#include "platform/FileOps.h"
#include "platform/Seams.h"
#include "storage/PublicFunction.h"
#include "storage/SettingKeys.h"
#include "storage/ShareDM.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>

namespace Ledgers {

namespace {
const QString ListFile = QStringLiteral("自动备份记录.txt");
// A ledger the open check found faulty and that stays in use: copies of it would push the sound
// ones out of the folder.
QString faultyLedger;

QString listPath(const QString &folder)
{
    return folder + QLatin1Char('/') + ListFile;
}

int writeList(const QString &folder, const QList<AutoBackupCopy> &copies)
{
    QByteArray text;
    for (const AutoBackupCopy &c : copies)
        text += QStringList {c.file, c.ledger, c.day.toString(Qt::ISODate), QString::number(c.size),
                    QString::number(c.modified)}
                    .join(QLatin1Char('\t'))
                    .toUtf8()
            + '\n';
    return Platform::WriteFileWhole(listPath(folder), text);
}

AutoBackupCopy describeFile(
    const QString &folder, const QString &name, const QString &ledger, const QDate &day)
{
    const QFileInfo info(folder + QLatin1Char('/') + name);
    return {name, ledger, day, info.size(), info.lastModified().toMSecsSinceEpoch()};
}

std::function<void(AutoBackupStep)> stepHook;

void reachStep(AutoBackupStep step)
{
    if (stepHook)
        stepHook(step);
}

// What an earlier run cut short: its temporary copies go, and the list forgets the copies whose
// file is not there (a copy listed before its rename that never took its name). Only files of
// the program's temporary names are removed.
void settleFolder(const QString &folder)
{
    if (!QFileInfo(folder).isDir())
        return;
    Platform::RemoveLeftoverTemporaries(folder);
    QList<AutoBackupCopy> copies = ReadAutoBackupList(folder);
    const qsizetype listed = copies.size();
    copies.removeIf(
        [&](const AutoBackupCopy &c) { return !QFileInfo(folder + QLatin1Char('/') + c.file).isFile(); });
    if (copies.size() != listed)
        writeList(folder, copies); // a list that cannot be written now is settled at the next login
}

// Entries pointing at no account; empty when there are none.
QString orphanProblem(const QSqlDatabase &db)
{
    QSqlQuery q(db);
    // Every delete the program makes takes an account's entries with it: such rows come from
    // damage or from another tool. The reserved first row is no entry. The accounts the entries
    // use are found by seeking from one to the next along the account index, so the count
    // costs as many seeks as there are accounts instead of a pass over every entry.
    if (!q.exec(QStringLiteral(
            "With Recursive Used(Account) As ("
            " Select (Select Min(MoneyAccount) From MoneyTable)"
            " Union All Select (Select Min(MoneyAccount) From MoneyTable Where MoneyAccount > Used.Account)"
            " From Used Where Used.Account Is Not Null) "
            "Select Count(*) From MoneyTable Where MoneyIndex > 1 And MoneyAccount In ("
            " Select Account From Used Where Account Is Not Null"
            " And Account Not In (Select AccountIndex From Account))"))
        || !q.next())
        return QStringLiteral("数据库文件无法检查（") + DatabaseFailureText(q.lastError())
            + QStringLiteral("）");
    const qint64 orphans = q.value(0).toLongLong();
    q.finish();
    if (orphans > 0)
        return QStringLiteral("有%1条收支记录所属的帐户已不存在").arg(orphans);
    return {};
}
} // namespace

bool AutoBackupSwitchedOn()
{
    return ReadSetting(Settings::AutoBackup, QStringLiteral("1")) != QLatin1String("0");
}

int AutoBackupCopiesToKeep()
{
    bool ok = false;
    const int n
        = ReadSetting(Settings::AutoBackupCopies, QString::number(DefaultAutoBackupCopies)).toInt(&ok);
    return ok ? std::clamp(n, MinAutoBackupCopies, MaxAutoBackupCopies) : DefaultAutoBackupCopies;
}

QString AutoBackupFolder()
{
    return BackupFolder() + QStringLiteral("/自动备份");
}

QString AutoBackupName(const QString &ledgerFile, const QDate &day)
{
    return QFileInfo(ledgerFile).completeBaseName() + QLatin1Char(' ') + ShortDateText(day)
        + QStringLiteral(".ddb");
}

bool AutoBackupCopy::unchanged(const QString &folder) const
{
    const QFileInfo info(folder + QLatin1Char('/') + file);
    return info.isFile() && info.size() == size && info.lastModified().toMSecsSinceEpoch() == modified;
}

QList<AutoBackupCopy> ReadAutoBackupList(const QString &folder)
{
    QFile file(listPath(folder));
    QList<AutoBackupCopy> copies;
    if (!file.open(QIODevice::ReadOnly))
        return copies;
    for (const QByteArray &line : file.readAll().split('\n')) {
        const QStringList f = QString::fromUtf8(line).split(QLatin1Char('\t'));
        if (f.size() == 5)
            copies.append(
                {f[0], f[1], QDate::fromString(f[2], Qt::ISODate), f[3].toLongLong(), f[4].toLongLong()});
    }
    return copies;
}

namespace {
// The copy a login asks for, decided on the main thread before the file is written.
struct PlannedCopy {
    QString folder;
    QString name;
    QString ledger;
    QDate day;
    int keep = DefaultAutoBackupCopies;
    QString target() const { return folder + QLatin1Char('/') + name; }
};

// What writing a copy met: the copy's own failure, or the list's before the rename.
struct CopyOutcome {
    LedgerCopyFailure failure;
    int listError = 0;
};

// The copy being written on its own thread, and what the writing met.
struct RunningCopy {
    quint64 id = 0;
    PlannedCopy plan;
    QThread *thread = nullptr;
    CopyOutcome outcome;
};
RunningCopy *running = nullptr;
quint64 copiesStarted = 0;

AutoBackupResult reportFailure(const QString &ledger, const QString &reason)
{
    Platform::ShowError(QStringLiteral("自动备份失败，帐套数据没有改动，请用“备份数据”另行备份：\n") + ledger
        + QLatin1Char('\n') + reason);
    return AutoBackupResult::Failed;
}

// Whether the open ledger is due for a copy, and under which name; the folder is made here so
// that a folder that cannot be made is reported before anything runs.
std::optional<PlannedCopy> planCopy(AutoBackupResult &result)
{
    result = AutoBackupResult::NotDue;
    const QString ledger = CurrentLedgerFile();
    if (ledger.isEmpty() || running)
        return std::nullopt;
    if (!AutoBackupSwitchedOn()) {
        result = AutoBackupResult::SwitchedOff;
        return std::nullopt;
    }
    if (ledger == faultyLedger)
        return std::nullopt;
    PlannedCopy plan {AutoBackupFolder(), {}, ledger, Platform::Today(), AutoBackupCopiesToKeep()};
    settleFolder(plan.folder);
    const QList<AutoBackupCopy> copies = ReadAutoBackupList(plan.folder);
    for (const AutoBackupCopy &c : copies)
        if (c.ledger == ledger && c.day == plan.day && c.unchanged(plan.folder))
            return std::nullopt;
    if (int error = Platform::MakeFolder(plan.folder); error != 0) {
        result = reportFailure(
            ledger, QStringLiteral("自动备份目录创建失败，失败号为：") + Platform::ErrorNumberText(error));
        return std::nullopt;
    }
    // Never over a file that is there: another ledger of the same name, a file the user put
    // there, or the user's own file written over this ledger's copy of the day (an unchanged
    // copy of the day has ended the plan above).
    const QString base = QFileInfo(AutoBackupName(ledger, plan.day)).completeBaseName();
    plan.name = AutoBackupName(ledger, plan.day);
    for (int n = 2; QFileInfo::exists(plan.target()); ++n)
        plan.name = base + QStringLiteral("（%1）.ddb").arg(n);
    result = AutoBackupResult::Made;
    return plan;
}

AutoBackupResult listFailure(const PlannedCopy &plan, int error)
{
    return reportFailure(
        plan.ledger, QStringLiteral("自动备份记录写入失败，失败号为：") + Platform::ErrorNumberText(error));
}

// The complete copy goes on the list under the name it is about to take, with the size and time
// it keeps through the rename: a kill after the rename leaves a listed copy, a kill before it
// an entry without its file, which the next login settles.
int listBeforeRename(const PlannedCopy &plan, const QString &temporary)
{
    QList<AutoBackupCopy> copies = ReadAutoBackupList(plan.folder);
    copies.removeIf([&](const AutoBackupCopy &c) { return c.file == plan.name; });
    const QFileInfo written(temporary);
    copies.append(
        {plan.name, plan.ledger, plan.day, written.size(), written.lastModified().toMSecsSinceEpoch()});
    const int error = writeList(plan.folder, copies);
    if (error == 0)
        reachStep(AutoBackupStep::Listed);
    return error;
}

CopyOutcome writeCopy(const PlannedCopy &plan)
{
    CopyOutcome outcome;
    outcome.failure = WriteLedgerFileCopy(plan.ledger, plan.target(), [&](const QString &temporary) {
        outcome.listError = listBeforeRename(plan, temporary);
        return outcome.listError;
    });
    return outcome;
}

// After the copy is written: the folder's list, and the ledger's oldest copies beyond the number
// to keep removed, unless the user has replaced the file since.
AutoBackupResult finishCopy(const PlannedCopy &plan, const CopyOutcome &outcome)
{
    if (outcome.listError != 0)
        return listFailure(plan, outcome.listError);
    if (outcome.failure.failed())
        return reportFailure(plan.ledger, QStringLiteral("数据库备份失败") + outcome.failure.describe());
    reachStep(AutoBackupStep::Renamed);
    QList<AutoBackupCopy> copies = ReadAutoBackupList(plan.folder);
    copies.removeIf([&](const AutoBackupCopy &c) {
        return !QFileInfo(plan.folder + QLatin1Char('/') + c.file).isFile();
    });
    copies.removeIf([&](const AutoBackupCopy &c) { return c.file == plan.name; });
    copies.append(describeFile(plan.folder, plan.name, plan.ledger, plan.day));
    QList<AutoBackupCopy> own;
    for (const AutoBackupCopy &c : std::as_const(copies))
        if (c.ledger == plan.ledger)
            own.append(c);
    std::stable_sort(own.begin(), own.end(), [](const auto &a, const auto &b) { return a.day > b.day; });
    for (int i = plan.keep; i < own.size(); ++i) {
        const AutoBackupCopy old = own.at(i);
        if (old.unchanged(plan.folder))
            QFile::remove(plan.folder + QLatin1Char('/') + old.file);
        copies.removeIf([&](const AutoBackupCopy &c) { return c.file == old.file; });
    }
    if (int error = writeList(plan.folder, copies); error != 0)
        return listFailure(plan, error);
    return AutoBackupResult::Made;
}

// Waits for the copy's thread to return and ends the copy.
void finishRunningCopy()
{
    if (!running)
        return;
    std::unique_ptr<RunningCopy> done(std::exchange(running, nullptr));
    done->thread->wait();
    delete done->thread;
    finishCopy(done->plan, done->outcome);
}
} // namespace

AutoBackupResult MakeAutomaticBackup()
{
    AutoBackupResult result;
    const std::optional<PlannedCopy> plan = planCopy(result);
    if (!plan)
        return result;
    Platform::BusyCursor busy;
    return finishCopy(*plan, writeCopy(*plan));
}

void ScheduleAutomaticBackup()
{
    const QString ledger = CurrentLedgerFile();
    // Once the main window is drawn; a ledger changed meanwhile is not copied under the old
    // one's name.
    QTimer::singleShot(0, QCoreApplication::instance(), [ledger] {
        if (ledger.isEmpty() || CurrentLedgerFile() != ledger)
            return;
        AutoBackupResult result;
        const std::optional<PlannedCopy> plan = planCopy(result);
        if (!plan)
            return;
        // The file is read on a connection of its own on another thread, so that the program
        // answers meanwhile; a save made during the copy waits for one step of it at most.
        running = new RunningCopy {++copiesStarted, *plan, nullptr, {}};
        RunningCopy *copy = running;
        copy->thread = QThread::create([copy] { copy->outcome = writeCopy(copy->plan); });
        // Ends this copy, unless waiting for it has ended it already.
        QObject::connect(
            copy->thread, &QThread::finished, QCoreApplication::instance(),
            [id = copy->id] {
                if (running && running->id == id)
                    finishRunningCopy();
            },
            Qt::QueuedConnection);
        copy->thread->start();
    });
}

void SetAutoBackupStepHook(std::function<void(AutoBackupStep)> hook)
{
    stepHook = std::move(hook);
}

bool AutomaticBackupRunning()
{
    return running != nullptr;
}

void WaitForAutomaticBackup()
{
    finishRunningCopy();
}

QString OpenLedgerProblem()
{
    if (!ShareDataModule || CurrentLedgerFile().isEmpty())
        return {};
    const QSqlDatabase db = ShareDataModule->connection();
    if (QString problem = DatabasePagesProblem(db); !problem.isEmpty())
        return problem;
    return orphanProblem(db);
}

QString LedgerFileHealthProblem(const QString &path)
{
    if (QString problem = LedgerFileProblem(path); !problem.isEmpty())
        return problem;
    const ReadOnlyLedger file(path);
    return file.isOpen() ? orphanProblem(file.database()) : file.error();
}

QString NewestSoundAutoBackup(const QString &ledgerFile)
{
    const QString folder = AutoBackupFolder();
    QList<AutoBackupCopy> own;
    for (const AutoBackupCopy &c : ReadAutoBackupList(folder))
        if (c.ledger == ledgerFile && QFileInfo(folder + QLatin1Char('/') + c.file).isFile())
            own.append(c);
    std::stable_sort(own.begin(), own.end(), [](const auto &a, const auto &b) { return a.day > b.day; });
    for (const AutoBackupCopy &c : std::as_const(own))
        if (LedgerFileHealthProblem(folder + QLatin1Char('/') + c.file).isEmpty())
            return folder + QLatin1Char('/') + c.file;
    return {};
}

bool CheckOpenedLedger()
{
    const QString ledger = CurrentLedgerFile();
    QString problem;
    {
        Platform::BusyCursor busy;
        problem = OpenLedgerProblem();
    }
    faultyLedger.clear();
    if (problem.isEmpty())
        return true;
    faultyLedger = ledger;
    const QString found = QStringLiteral("帐套数据库文件“") + QFileInfo(ledger).fileName()
        + QStringLiteral("”检查出错误：") + problem + QStringLiteral("。");
    const QString copy = NewestSoundAutoBackup(ledger);
    if (copy.isEmpty()) {
        Platform::ShowError(
            found + QStringLiteral("\n没有可用于恢复的完好自动备份，请尽快用“恢复数据”恢复一份备份。"));
        return true;
    }
    if (!Platform::AskYesNo(found + QStringLiteral("\n是否用最近一份完好的自动备份“")
                + QFileInfo(copy).fileName() + QStringLiteral("”恢复？该备份之后录入的数据将会丢失。"),
            QStringLiteral("恢复警告")))
        return true;
    if (!ReplaceCurrentLedger(copy) || CurrentLedgerFile().isEmpty())
        return !CurrentLedgerFile().isEmpty();
    faultyLedger.clear();
    Platform::ShowMessage(QStringLiteral("恭喜您，数据库恢复成功"));
    return true;
}

} // namespace Ledgers
