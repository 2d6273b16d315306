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
#include <QTimer>
#include <QUrl>
#include <QUuid>

#include <algorithm>
#include <cerrno>

namespace Ledgers {

namespace {
const QString ListFile = QStringLiteral("自动备份记录.txt");
constexpr int DefaultCopies = 7;
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

int copiesToKeep()
{
    bool ok = false;
    const int n = ReadSetting(Settings::AutoBackupCopies, QString::number(DefaultCopies)).toInt(&ok);
    return ok ? std::clamp(n, 1, 99) : DefaultCopies;
}

// Runs the checks on a connection: the B-trees first, then entries pointing at no account.
QString healthProblem(const QSqlDatabase &db)
{
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("PRAGMA quick_check")))
        return QStringLiteral("数据库文件无法检查（") + q.lastError().databaseText() + QStringLiteral("）");
    QStringList findings;
    while (q.next())
        findings.append(q.value(0).toString());
    q.finish();
    if (findings != QStringList {QStringLiteral("ok")})
        return QStringLiteral("数据库文件已损坏（") + findings.value(0) + QStringLiteral("）");
    // Every delete the program makes takes an account's entries with it: such rows come from
    // damage or from another tool. The reserved first row is no entry.
    if (!q.exec(QStringLiteral("Select Count(*) From MoneyTable Where MoneyIndex > 1 And "
                               "MoneyAccount Not In (Select AccountIndex From Account)"))
        || !q.next())
        return QStringLiteral("数据库文件无法检查（") + q.lastError().databaseText() + QStringLiteral("）");
    const qint64 orphans = q.value(0).toLongLong();
    q.finish();
    if (orphans > 0)
        return QStringLiteral("有%1条收支记录所属的帐户已不存在").arg(orphans);
    return {};
}
} // namespace

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

AutoBackupResult MakeAutomaticBackup()
{
    const QString ledger = CurrentLedgerFile();
    if (ledger.isEmpty())
        return AutoBackupResult::NotDue;
    if (ReadSetting(Settings::AutoBackup, QStringLiteral("1")) == QLatin1String("0"))
        return AutoBackupResult::SwitchedOff;
    if (ledger == faultyLedger)
        return AutoBackupResult::NotDue;
    const QString folder = AutoBackupFolder();
    const QDate today = Platform::Today();
    QList<AutoBackupCopy> copies = ReadAutoBackupList(folder);
    for (const AutoBackupCopy &c : std::as_const(copies))
        if (c.ledger == ledger && c.day == today && c.unchanged(folder))
            return AutoBackupResult::NotDue;

    const auto fail = [&](const QString &reason) {
        Platform::ShowError(QStringLiteral("自动备份失败，帐套数据没有改动，请用“备份数据”另行备份：\n")
            + ledger + QLatin1Char('\n') + reason);
        return AutoBackupResult::Failed;
    };
    if (int error = Platform::MakeFolder(folder); error != 0)
        return fail(QStringLiteral("自动备份目录创建失败，失败号为：") + Platform::ErrorNumberText(error));

    // Never over a file that is not this ledger's own copy of today: another ledger of the same
    // name, or a file the user put there.
    QString name = AutoBackupName(ledger, today);
    const auto ours = [&](const QString &candidate) {
        for (const AutoBackupCopy &c : std::as_const(copies))
            if (c.file == candidate)
                return c.ledger == ledger && c.day == today;
        return false;
    };
    for (int n = 2; QFileInfo::exists(folder + QLatin1Char('/') + name) && !ours(name); ++n)
        name = QFileInfo(AutoBackupName(ledger, today)).completeBaseName()
            + QStringLiteral("（%1）.ddb").arg(n);

    Platform::BusyCursor busy;
    const LedgerCopyFailure failure = WriteLedgerCopy(folder + QLatin1Char('/') + name);
    if (failure.failed())
        return fail(QStringLiteral("数据库备份失败") + failure.describe());

    copies.removeIf([&](const AutoBackupCopy &c) { return c.file == name; });
    copies.append(describeFile(folder, name, ledger, today));
    // The ledger's own copies, newest first; beyond the number to keep they go, unless the user
    // has replaced the file since.
    QList<AutoBackupCopy> own;
    for (const AutoBackupCopy &c : std::as_const(copies))
        if (c.ledger == ledger)
            own.append(c);
    std::stable_sort(own.begin(), own.end(), [](const auto &a, const auto &b) { return a.day > b.day; });
    const int keep = copiesToKeep();
    for (int i = keep; i < own.size(); ++i) {
        const AutoBackupCopy old = own.at(i);
        if (old.unchanged(folder))
            QFile::remove(folder + QLatin1Char('/') + old.file);
        copies.removeIf([&](const AutoBackupCopy &c) { return c.file == old.file; });
    }
    if (int error = writeList(folder, copies); error != 0)
        return fail(QStringLiteral("自动备份记录写入失败，失败号为：") + Platform::ErrorNumberText(error));
    return AutoBackupResult::Made;
}

void ScheduleAutomaticBackup()
{
    const QString ledger = CurrentLedgerFile();
    QTimer::singleShot(0, QCoreApplication::instance(), [ledger] {
        if (!ledger.isEmpty() && CurrentLedgerFile() == ledger)
            MakeAutomaticBackup();
    });
}

QString OpenLedgerProblem()
{
    if (!ShareDataModule || CurrentLedgerFile().isEmpty())
        return {};
    return healthProblem(ShareDataModule->connection());
}

QString LedgerFileHealthProblem(const QString &path)
{
    if (QString problem = LedgerFileProblem(path); !problem.isEmpty())
        return problem;
    const QString name = QStringLiteral("LedgerHealth-") + QUuid::createUuid().toString(QUuid::Id128).left(8);
    QString problem;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        QUrl url = QUrl::fromLocalFile(path);
        url.setQuery(QStringLiteral("mode=ro"));
        db.setDatabaseName(url.toString(QUrl::FullyEncoded));
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_OPEN_URI"));
        problem = db.open() ? healthProblem(db) : db.lastError().text();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return problem;
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
