// The automatic backup and the open check over a large ledger: 1,000 accounts and 1,000,000
// entries. Prints the login's own time (target under 0.3 s), what starting the copy costs the
// main thread once the window is drawn, how long a save made during the copy waits, the copy on
// its own thread, and the open check (target under 0.5 s), each beside the raw statement that
// does the same work.
//
//   bench_autobackup [program folder | empty-ledger template]

#include "BenchLedger.h"
#include "ledgers/AutoBackup.h"
#include "ledgers/UserLogin.h"
#include "platform/Seams.h"
#include "storage/PublicFunction.h"
#include "storage/ShareDM.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>

#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <sqlite3.h>
#include <unistd.h>

namespace {
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
    int exitCode = 0;
    if (Bench::RunAsGenerator(argc, argv, &exitCode))
        return exitCode;
    QCoreApplication app(argc, argv);
    Bench::Setup bench("bench_autobackup", argc, argv);
    if (!bench.prepare() || !bench.open())
        return 1;
    Platform::Seams::handlers().busyCursorDisabled = true;
    const QString folder = bench.folder();
    const QString ledger = bench.ledgerPath();

    bool ok = true;
    const double login = seconds([&ok] { ok = LogInUser(Bench::Cashier, QString()) && ok; });
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

    // The first opening after the machine started: the file's pages are not in the system's
    // cache. Only this file's pages are dropped, which needs no special rights.
    const auto dropFromCache = [&ledger] {
        QFile file(ledger);
        return file.open(QIODevice::ReadOnly)
            && ::posix_fadvise(file.handle(), 0, 0, POSIX_FADV_DONTNEED) == 0;
    };
    if (dropFromCache()) {
        const double coldCheck = seconds([] { Ledgers::OpenLedgerProblem(); });
        dropFromCache();
        const double coldRaw = seconds([&ok] {
            QSqlQuery q(ShareDataModule->connection());
            ok = q.exec(QStringLiteral("PRAGMA quick_check")) && q.next() && ok;
        });
        std::printf("open check with the file out of the system's cache: %.3f s (raw quick_check: %.3f s)\n",
            coldCheck, coldRaw);
    }
    return ok && login < 0.3 && check < 0.5 ? 0 : 1;
}
