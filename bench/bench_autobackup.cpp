// The automatic backup and the open check over a large ledger: 1,000 accounts and 1,000,000
// entries. Prints the login's own time (target under 0.3 s), what starting the copy costs the
// main thread once the window is drawn, how long a save made during the copy waits, the copy on
// its own thread, and the open check (target under 0.5 s), each beside the raw statement that
// does the same work.
//
//   bench_autobackup [programfiles folder]   (default: ../programfiles beside the binary)

#include "ledgers/AutoBackup.h"
#include "ledgers/UserLogin.h"
#include "platform/Seams.h"
#include "storage/PublicFunction.h"
#include "storage/ShareDM.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>
#include <sqlite3.h>
#include <unistd.h>

namespace {
constexpr int AccountCount = 1000;
constexpr int EntryCount = 1000000;
const QString Cashier = QStringLiteral("出纳");

bool exec(QSqlQuery &q)
{
    if (q.exec())
        return true;
    std::fprintf(stderr, "%s\n", qPrintable(q.lastError().text()));
    return false;
}

bool generateLedger()
{
    Transaction transaction;
    QSqlQuery account(ShareDataModule->connection());
    account.prepare(
        QStringLiteral("Insert Into Account (AccountName, AccountBase, AccountRemark, AccountType, "
                       "AccountPower) Values (?, 0, '', 1, ?)"));
    QList<qint64> indexes;
    for (int i = 0; i < AccountCount; ++i) {
        account.bindValue(0, QStringLiteral("帐户%1").arg(i + 1));
        account.bindValue(1, Cashier);
        if (!exec(account))
            return false;
        indexes.append(account.lastInsertId().toLongLong());
    }
    QSqlQuery entry(ShareDataModule->connection());
    entry.prepare(
        QStringLiteral("Insert Into MoneyTable (MoneyKind, MoneyAccount, MoneyUser, MoneyRecordTime, "
                       "MoneyCreateTime, MoneyIn, MoneyOut, MoneySum, MoneyReason, MoneyPower) "
                       "Values ('财务收入', ?, '客户', ?, ?, ?, 0, ?, '销售收入', ?)"));
    QRandomGenerator random(20260615);
    const QDate first(2024, 1, 1);
    for (int i = 0; i < EntryCount; ++i) {
        const double amount = random.bounded(1, 500000) / 100.0;
        const QString day = IsoDate(first.addDays(random.bounded(1000)));
        entry.bindValue(0, indexes[random.bounded(AccountCount)]);
        entry.bindValue(1, day);
        entry.bindValue(2, day);
        entry.bindValue(3, amount);
        entry.bindValue(4, amount);
        entry.bindValue(5, Cashier);
        if (!exec(entry))
            return false;
    }
    return transaction.commit();
}

double seconds(const std::function<void()> &work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return timer.nsecsElapsed() / 1e9;
}
} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString programFiles = argc > 1
        ? QString::fromLocal8Bit(argv[1])
        : QCoreApplication::applicationDirPath() + QStringLiteral("/../programfiles");
    QTemporaryDir dir;
    const QString folder = dir.path() + QLatin1Char('/');
    const QString ledger = folder + QStringLiteral("Bench.ddb");
    if (!dir.isValid() || !QFile::copy(programFiles + QStringLiteral("/QuillShare.dll"), ledger)) {
        std::fprintf(stderr, "cannot copy the empty ledger from %s\n", qPrintable(programFiles));
        return 2;
    }
    QFile::setPermissions(ledger, QFile::permissions(ledger) | QFile::WriteOwner);
    Platform::Seams::handlers().message = [](Platform::MessageKind, const QString &text, const QString &) {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
        return false;
    };
    Platform::Seams::handlers().busyCursorDisabled = true;

    TShareDataModule dataModule;
    SessionValues &s = Session();
    s.ProgramDir = folder;
    s.SettingsPath = folder + QStringLiteral("Quillbrook.ini");
    QString error;
    if (!OpenLedgerConnection(ledger, DatabaseKind::Ledger, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 2;
    }
    const double generated = seconds([] { generateLedger(); });
    std::printf("ledger: %d accounts, %d entries, %.0f MB, generated in %.1f s\n", AccountCount, EntryCount,
        QFileInfo(ledger).size() / 1e6, generated);

    bool ok = true;
    const double login = seconds([&ok] { ok = LogInUser(Cashier, QString()) && ok; });
    std::printf("login until the main window is drawn: %.3f s (target < 0.300 s)\n", login);

    // The scheduled copy: what the main thread spends starting it, then a save made while it
    // runs, then the whole copy.
    QElapsedTimer copyTimer;
    copyTimer.start();
    const double start = seconds([] { QCoreApplication::processEvents(); });
    ok = ok && Ledgers::AutomaticBackupRunning();
    const double save = seconds([&ok] {
        Transaction transaction;
        QSqlQuery q(ShareDataModule->connection());
        ok = q.exec(QStringLiteral("Update Account Set AccountRemark = '自动备份时保存' Where AccountIndex = "
                                   "(Select Max(AccountIndex) From Account)"))
            && transaction.commit() && ok;
    });
    Ledgers::WaitForAutomaticBackup();
    const double copy = copyTimer.nsecsElapsed() / 1e9;
    // The floor: the same pages copied in one step between two bare connections.
    const double rawCopy = seconds([&] {
        sqlite3 *source = nullptr, *target = nullptr;
        sqlite3_open_v2(QFile::encodeName(ledger).constData(), &source, SQLITE_OPEN_READONLY, nullptr);
        sqlite3_open(QFile::encodeName(folder + QStringLiteral("raw.ddb")).constData(), &target);
        sqlite3_exec(
            target, "PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF", nullptr, nullptr, nullptr);
        sqlite3_backup *backup = sqlite3_backup_init(target, "main", source, "main");
        ok = backup && sqlite3_backup_step(backup, -1) == SQLITE_DONE && ok;
        ok = sqlite3_backup_finish(backup) == SQLITE_OK && ok;
        QFile raw(folder + QStringLiteral("raw.ddb"));
        ok = raw.open(QIODevice::ReadWrite) && ::fsync(raw.handle()) == 0 && ok;
        sqlite3_close(target);
        sqlite3_close(source);
    });
    std::printf("automatic backup: the main thread busy %.3f s to start it; a save made meanwhile "
                "waited %.3f s; the copy on its own thread took %.3f s (raw one-step page copy: %.3f s)\n",
        start, save, copy, rawCopy);
    ok = ok
        && QFileInfo::exists(Ledgers::AutoBackupFolder() + QLatin1Char('/')
            + Ledgers::AutoBackupName(ledger, Platform::Today()));

    QString problem;
    Ledgers::OpenLedgerProblem(); // the file's pages in the cache, as after opening it
    const double check = seconds([&problem] { problem = Ledgers::OpenLedgerProblem(); });
    const double rawCheck = seconds([&ok] {
        QSqlQuery q(ShareDataModule->connection());
        ok = q.exec(QStringLiteral("PRAGMA quick_check")) && q.next() && ok;
    });
    std::printf("open check: %.3f s (target < 0.500 s; raw quick_check: %.3f s)\n", check, rawCheck);
    ok = ok && problem.isEmpty();
    return ok && login < 0.3 && check < 0.5 ? 0 : 1;
}
