#include "ledgers/LedgerBackup.h"

#include "platform/FileOps.h"
#include "platform/Seams.h"
#include "storage/PublicFunction.h"
#include "storage/ShareDM.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <QUuid>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace Ledgers {

namespace {
const QString FileFilter = QStringLiteral("Ddb Files (*.ddb *.DDB)");
const QString DefaultSuffix = QStringLiteral("ddb");

QString uniqueSuffix()
{
    return QUuid::createUuid().toString(QUuid::Id128).left(8);
}

// Creates the file, which must not exist yet, empty; 0 or errno.
int createEmptyFile(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0644);
    if (fd < 0)
        return errno;
    ::close(fd);
    return 0;
}

// Flushes a file or folder to the disk; 0 or errno.
int syncToDisk(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    const int result = ::fsync(fd) == 0 ? 0 : errno;
    ::close(fd);
    return result;
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

int WriteLedgerCopy(const QString &target)
{
    if (CurrentLedgerFile().isEmpty())
        return ENOENT;
    // Beside the target, so that the final rename stays on one file system.
    const QFileInfo targetInfo(target);
    const QString temporary = targetInfo.absolutePath() + QLatin1Char('/') + targetInfo.fileName()
        + QLatin1Char('.') + uniqueSuffix() + QStringLiteral(".tmp");
    // VACUUM INTO accepts an empty file; creating it first gives the system's error number for
    // a folder that is missing or not writable.
    if (const int error = createEmptyFile(temporary))
        return error;

    int error = 0;
    {
        // A consistent snapshot of the open database, even while it is being written. It needs
        // a connection without open statements or transaction, which the queries guarantee.
        const Sql vacuum = Sql("VACUUM INTO ") + Sql::value(temporary);
        QSqlQuery q(ShareDataModule->connection());
        bool ok = q.prepare(vacuum.text());
        for (const QVariant &v : vacuum.values())
            q.addBindValue(v);
        ok = ok && q.exec();
        if (!ok) {
            error = q.lastError().nativeErrorCode().toInt();
            if (error == 0)
                error = EIO;
        }
        q.finish();
    }
    // SQLite does not flush what VACUUM INTO wrote; the copy must be on the disk before it
    // replaces an older backup.
    if (error == 0)
        error = syncToDisk(temporary);
    if (error == 0)
        error = Platform::RenameFile(temporary, target);
    if (error != 0) {
        QFile::remove(temporary);
        return error;
    }
    syncToDisk(targetInfo.absolutePath());
    return 0;
}

QString LedgerFileProblem(const QString &path)
{
    if (!QFileInfo(path).isFile())
        return QStringLiteral("文件不存在");
    const QString name = QStringLiteral("LedgerCheck-") + uniqueSuffix();
    QString problem;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        QUrl url = QUrl::fromLocalFile(path);
        url.setQuery(QStringLiteral("mode=ro"));
        db.setDatabaseName(url.toString(QUrl::FullyEncoded));
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_OPEN_URI"));
        if (!db.open()) {
            problem = QStringLiteral("文件无法打开（") + db.lastError().text() + QStringLiteral("）");
        } else {
            QSqlQuery q(db);
            if (!q.exec(QStringLiteral("PRAGMA quick_check"))) {
                problem = QStringLiteral("文件不是完好的数据库文件（") + q.lastError().databaseText()
                    + QStringLiteral("）");
            } else {
                QStringList findings;
                while (q.next())
                    findings.append(q.value(0).toString());
                if (findings != QStringList {QStringLiteral("ok")})
                    problem = QStringLiteral("数据库文件已损坏（") + findings.value(0) + QStringLiteral("）");
            }
            q.finish();
            if (problem.isEmpty()) {
                QStringList tables;
                if (q.exec(QStringLiteral("Select name From sqlite_master Where type = 'table'")))
                    while (q.next())
                        tables.append(q.value(0).toString().toLower());
                q.finish();
                for (const QString &table : RequiredTables(DatabaseKind::Ledger))
                    if (!tables.contains(table.toLower())) {
                        problem = QStringLiteral("数据库中缺少数据表：") + table;
                        break;
                    }
            }
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(name);
    return problem;
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
    const int error = WriteLedgerCopy(target);
    if (error != 0)
        Platform::ShowError(QStringLiteral("数据库备份失败，失败号为：") + QString::number(error));
    else
        Platform::ShowMessage(QStringLiteral("恭喜您，数据库备份成功"));
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
    ShareDataModule->closeConnection();
    // A copy beside the current file renamed over it: a failed copy leaves the file as it was.
    const int error = Platform::ReplaceFileAtomically(source, current);
    if (error != 0) {
        Platform::ShowError(
            QStringLiteral("数据库恢复失败：") + QString::fromLocal8Bit(std::strerror(error)));
        reopenLedger(current);
        return false;
    }
    Platform::ShowMessage(QStringLiteral("恭喜您，数据库恢复成功，请重新启动软件"));
    // Open again until the program ends, so that nothing meets a closed connection.
    reopenLedger(current);
    return true;
}

} // namespace Ledgers
