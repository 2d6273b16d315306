#include "ledgers/LedgerBackup.h"

#include "platform/FileOps.h"
#include "platform/Seams.h"
#include "storage/PublicFunction.h"
#include "storage/Schema.h"
#include "storage/ShareDM.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <QUuid>

#include <cerrno>
#include <fcntl.h>
#include <functional>
#include <sqlite3.h>
#include <unistd.h>

namespace Ledgers {

namespace {
const QString FileFilter = QStringLiteral("Ddb Files (*.ddb *.DDB)");
const QString DefaultSuffix = QStringLiteral("ddb");

QString uniqueSuffix()
{
    return QUuid::createUuid().toString(QUuid::Id128).left(8);
}

// Writes a consistent snapshot of db's database into temporary, which does not exist yet.
LedgerCopyFailure vacuumInto(const QSqlDatabase &db, const QString &temporary)
{
    // VACUUM INTO accepts an empty file; creating it first gives the system's error number for
    // a folder that is missing or not writable, and the umask's permissions.
    const int fd
        = ::open(QFile::encodeName(temporary).constData(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
    if (fd < 0)
        return {errno, {}};
    ::close(fd);
    // It needs a connection without open statements or transaction, which the queries guarantee.
    const Sql vacuum = Sql("VACUUM INTO ") + Sql::value(temporary);
    QSqlQuery q(db);
    bool ok = q.prepare(vacuum.text());
    for (const QVariant &v : vacuum.values())
        q.addBindValue(v);
    ok = ok && q.exec();
    LedgerCopyFailure failure;
    if (!ok) {
        // A full disk is the system's ENOSPC, whichever layer met it; any other refusal is
        // the database's, told in words of the program's own.
        if ((q.lastError().nativeErrorCode().toInt() & 0xff) == SQLITE_FULL)
            failure.number = ENOSPC;
        else
            failure.reason = DatabaseFailureText(q.lastError());
        if (failure.reason.isEmpty() && failure.number == 0)
            failure.number = EIO;
    }
    q.finish();
    return failure;
}

bool sameFile(const QString &a, const QString &b)
{
    const QFileInfo first(a), second(b);
    return first.exists() && second.exists() && first.canonicalFilePath() == second.canonicalFilePath();
}

bool reopenLedger(const QString &path)
{
    QString error;
    if (OpenLedgerConnection(path, DatabaseKind::Ledger, &error))
        return true;
    Platform::ShowError(Texts::DatabaseOpenFailed + QStringLiteral("：") + path + QLatin1Char('\n') + error);
    return false;
}
} // namespace

QString BackupFolder()
{
    return Session().ProgramDir + QStringLiteral("数据库备份");
}

QString ProposedBackupName(const QDate &day)
{
    // The short date has no characters that file names forbid.
    return QStringLiteral("翎溪流水帐Ⅲ") + ShortDateText(day) + QStringLiteral(".ddb");
}

QString CurrentLedgerFile()
{
    return ShareDataModule ? ShareDataModule->databasePath() : QString();
}

QString LedgerCopyFailure::describe() const
{
    if (number != 0)
        return QStringLiteral("，失败号为：") + Platform::ErrorNumberText(number);
    return QStringLiteral("：") + reason;
}

namespace {
// Writes a copy beside target with write, then puts it in target's place. SQLite does not flush
// what it wrote: the helper flushes it before it replaces an older copy.
LedgerCopyFailure writeThrough(
    const QString &target, const std::function<LedgerCopyFailure(const QString &temporary)> &write)
{
    LedgerCopyFailure failure;
    const int error = Platform::WriteThroughTemporary(target, [&](const QString &temporary) {
        failure = write(temporary);
        return failure.failed() ? (failure.number != 0 ? failure.number : EIO) : 0;
    });
    if (error != 0 && !failure.failed())
        failure.number = error;
    return failure;
}
} // namespace

LedgerCopyFailure WriteLedgerCopy(const QString &target)
{
    if (CurrentLedgerFile().isEmpty())
        return {ENOENT, {}};
    return writeThrough(target,
        [](const QString &temporary) { return vacuumInto(ShareDataModule->connection(), temporary); });
}

namespace {
// The two files of a stepped copy, closed in any case.
struct SteppedCopyFiles {
    sqlite3 *source = nullptr;
    sqlite3 *target = nullptr;
    ~SteppedCopyFiles()
    {
        sqlite3_close(target);
        sqlite3_close(source);
    }
};

// The engine's result code in the program's words; its own text is English.
QString engineFailure(int code)
{
    return DatabaseFailureText(QSqlError({}, {}, QSqlError::UnknownError, QString::number(code)));
}

LedgerCopyFailure sqliteFailure(sqlite3 *db, int code)
{
    if ((code & 0xff) == SQLITE_FULL)
        return {ENOSPC, {}};
    if (const int number = db ? sqlite3_system_errno(db) : 0; number != 0)
        return {number, {}};
    return {0, engineFailure(code)};
}

// Copies the ledger's pages into temporary (which does not exist yet) a few at a time. The file
// is read-locked only during each step, so a write of the program waits one step at most; a
// write between steps makes the copy start over, so that it stays one consistent state.
LedgerCopyFailure copyInSteps(const QString &ledger, const QString &temporary)
{
    const int fd
        = ::open(QFile::encodeName(temporary).constData(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
    if (fd < 0)
        return {errno, {}};
    ::close(fd);
    SteppedCopyFiles files;
    int rc = sqlite3_open_v2(
        QFile::encodeName(ledger).constData(), &files.source, SQLITE_OPEN_READONLY, nullptr);
    if (rc != SQLITE_OK)
        return sqliteFailure(files.source, rc);
    sqlite3_busy_timeout(files.source, BusyTimeoutMs);
    rc = sqlite3_open_v2(
        QFile::encodeName(temporary).constData(), &files.target, SQLITE_OPEN_READWRITE, nullptr);
    if (rc != SQLITE_OK)
        return sqliteFailure(files.target, rc);
    // The temporary file is flushed and renamed into place once complete: no journal of its own.
    sqlite3_exec(
        files.target, "PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF", nullptr, nullptr, nullptr);
    sqlite3_backup *backup = sqlite3_backup_init(files.target, "main", files.source, "main");
    if (!backup)
        return sqliteFailure(files.target, sqlite3_errcode(files.target));
    constexpr int PagesPerStep = 256;
    // Each refused step has waited the busy time already: a file another program keeps locked
    // ends the copy rather than holding up the end of the run.
    constexpr int RefusalsInARow = 3;
    int refused = 0;
    do {
        rc = sqlite3_backup_step(backup, PagesPerStep);
        refused = rc == SQLITE_BUSY || rc == SQLITE_LOCKED ? refused + 1 : 0;
        if (refused > 0)
            sqlite3_sleep(5);
    } while ((rc == SQLITE_OK || refused > 0) && refused < RefusalsInARow);
    const int finished = sqlite3_backup_finish(backup);
    if (refused > 0)
        return {0, engineFailure(rc)};
    if (rc != SQLITE_DONE)
        return sqliteFailure(files.target, rc);
    if (finished != SQLITE_OK)
        return sqliteFailure(files.target, finished);
    return {};
}
} // namespace

LedgerCopyFailure WriteLedgerFileCopy(const QString &ledger, const QString &target,
    const std::function<int(const QString &temporary)> &beforeRename)
{
    if (!QFileInfo(ledger).isFile())
        return {ENOENT, {}};
    return writeThrough(target, [&](const QString &temporary) {
        LedgerCopyFailure failure = copyInSteps(ledger, temporary);
        if (!failure.failed() && beforeRename)
            failure.number = beforeRename(temporary);
        return failure;
    });
}

ReadOnlyLedger::ReadOnlyLedger(const QString &path) : name(QStringLiteral("ReadOnlyLedger-") + uniqueSuffix())
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    QUrl url = QUrl::fromLocalFile(path);
    url.setQuery(QStringLiteral("mode=ro"));
    db.setDatabaseName(url.toString(QUrl::FullyEncoded));
    // A reader waits for the program's own writes to end, as the shared connection does.
    db.setConnectOptions(
        QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(BusyTimeoutMs));
    if (!db.open())
        openError = DatabaseFailureText(db.lastError());
}

ReadOnlyLedger::~ReadOnlyLedger()
{
    QSqlDatabase::database(name, false).close();
    QSqlDatabase::removeDatabase(name);
}

QSqlDatabase ReadOnlyLedger::database() const
{
    return QSqlDatabase::database(name, false);
}

void RemoveInterruptedCopies()
{
    if (!ShareDataModule)
        return;
    QStringList folders {
        Session().ProgramDir, Session().ProgramDir + QStringLiteral("DataBase"), BackupFolder()};
    if (!CurrentLedgerFile().isEmpty())
        folders.append(QFileInfo(CurrentLedgerFile()).absolutePath());
    for (const QString &folder : folders)
        Platform::RemoveLeftoverTemporaries(folder);
}

QString DatabasePagesProblem(const QSqlDatabase &db)
{
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("PRAGMA quick_check")))
        return QStringLiteral("文件不是完好的数据库文件（") + DatabaseFailureText(q.lastError())
            + QStringLiteral("）");
    QStringList findings;
    while (q.next())
        findings.append(q.value(0).toString());
    if (findings == QStringList {QStringLiteral("ok")})
        return {};
    // The check's own findings are in English; the user is told which page, when it says.
    static const QRegularExpression page(
        QStringLiteral("page (\\d+)"), QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch first = page.match(findings.join(QLatin1Char('\n')));
    return first.hasMatch() ? QStringLiteral("数据库文件第%1页已损坏").arg(first.captured(1))
                            : QStringLiteral("数据库文件已损坏");
}

QString LedgerFileProblem(const QString &path)
{
    if (!QFileInfo(path).isFile())
        return QStringLiteral("文件不存在");
    const ReadOnlyLedger file(path);
    if (!file.isOpen())
        return QStringLiteral("文件无法打开（") + file.error() + QStringLiteral("）");
    if (QString problem = DatabasePagesProblem(file.database()); !problem.isEmpty())
        return problem;
    QSqlQuery q(file.database());
    QStringList tables;
    if (q.exec(QStringLiteral("Select name From sqlite_master Where type = 'table'")))
        while (q.next())
            tables.append(q.value(0).toString().toLower());
    q.finish();
    for (const QString &table : RequiredTables(DatabaseKind::Ledger))
        if (!tables.contains(table.toLower()))
            return QStringLiteral("数据库中缺少数据表：") + table;
    // Put in place, it could not be opened.
    if (q.exec(QStringLiteral("PRAGMA user_version")) && q.next() && q.value(0).toInt() > LedgerSchemaVersion)
        return NewerLedgerText;
    return {};
}

void BackupLedger(QWidget *parent)
{
    const QString folder = BackupFolder();
    if (!QFileInfo(folder).isDir() && Platform::MakeFolder(folder) != 0) {
        Platform::ShowError(QStringLiteral("数据库备份目录创建失败，请检查磁盘属性是否只读"));
        return;
    }
    const QString target = Platform::GetSaveFileName(parent,
        {QStringLiteral("备份数据"), folder, ProposedBackupName(Platform::Today()), FileFilter,
            DefaultSuffix});
    if (target.isEmpty())
        return;
    // Renaming a copy onto the open ledger would leave the connection on a deleted file.
    if (sameFile(target, CurrentLedgerFile())) {
        Platform::ShowError(QStringLiteral("备份文件不能覆盖当前正在使用的帐套数据库，请另选文件名"));
        return;
    }
    Platform::BusyCursor busy;
    // Copies that interrupted backups and restores left, here and beside the chosen file.
    RemoveInterruptedCopies();
    Platform::RemoveLeftoverTemporaries(QFileInfo(target).absolutePath());
    const LedgerCopyFailure failure = WriteLedgerCopy(target);
    if (failure.failed())
        Platform::ShowError(QStringLiteral("数据库备份失败") + failure.describe());
    else
        Platform::ShowMessage(QStringLiteral("恭喜您，数据库备份成功"));
}

bool ReplaceCurrentLedger(const QString &source)
{
    const QString current = CurrentLedgerFile();
    if (current.isEmpty()) {
        Platform::ShowError(Texts::DatabaseOpenFailed);
        return false;
    }
    // Nothing is replaced with a file that is not a sound ledger.
    const QString problem = LedgerFileProblem(source);
    if (!problem.isEmpty()) {
        Platform::ShowError(
            QStringLiteral("所选文件不是有效的帐套数据库，不能用来恢复，当前数据没有任何改动。\n") + source
            + QLatin1Char('\n') + problem);
        return false;
    }

    Platform::BusyCursor busy;
    RemoveInterruptedCopies();
    ShareDataModule->closeConnection();
    // A copy beside the current file, on the disk before it is renamed over it: a failed copy
    // leaves the file as it was, and the ledger takes the umask's permissions, not the backup's.
    const int error = Platform::CopyFileWhole(source, current);
    if (error != 0) {
        Platform::ShowError(QStringLiteral("数据库恢复失败，失败号为：") + Platform::ErrorNumberText(error));
        reopenLedger(current);
        return false;
    }
    // Open again, so that nothing meets a closed connection.
    reopenLedger(current);
    return true;
}

bool RestoreLedger(QWidget *parent)
{
    if (!Platform::AskYesNo(
            QStringLiteral("数据库恢复将导致当前数据全部丢失，是否继续？"), QStringLiteral("恢复警告")))
        return false;
    const QString source = Platform::GetOpenFileName(parent,
        {QStringLiteral("恢复数据"), BackupFolder(), QStringLiteral("*.ddb"), FileFilter, DefaultSuffix});
    if (source.isEmpty())
        return false;
    if (!ReplaceCurrentLedger(source))
        return false;
    Platform::ShowMessage(QStringLiteral("恭喜您，数据库恢复成功，请重新启动软件"));
    return true;
}

} // namespace Ledgers
