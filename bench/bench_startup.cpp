// Start-up: from the process start to the idle main window, logged in as the cashier, on the
// ledger of 1,000 accounts and 1,000,000 entries and on the demonstration ledger, with the
// ledger's file in the system's cache and dropped from it. Beside each figure: the open check
// alone on the same file in the same state.
//
//   bench_startup [program folder | empty-ledger template]
//
// Each start is a process of its own (this program, started with --start LEDGER), so that
// loading the libraries counts and nothing is warm from the start before. It reports its age
// when its window is idle; the copy of the program folder it makes first is left out.

#include "BenchLedger.h"
#include "app/MainForm.h"
#include "ledgers/AutoBackup.h"
#include "storage/PublicFunction.h"
#include "support/ProgramRun.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSqlQuery>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

using namespace TestSupport;
constexpr int Runs = 3;

// How long this process has run, in milliseconds (the system counts in hundredths of a second).
double processAgeMs()
{
    QFile stat(QStringLiteral("/proc/self/stat"));
    QFile uptime(QStringLiteral("/proc/uptime"));
    if (!stat.open(QIODevice::ReadOnly) || !uptime.open(QIODevice::ReadOnly))
        return -1;
    // The fields after the command's closing parenthesis; the start time is the 22nd field.
    const QByteArray line = stat.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    const double started = fields.value(19).toDouble() / double(::sysconf(_SC_CLK_TCK));
    const double now = uptime.readAll().split(' ').value(0).toDouble();
    return (now - started) * 1000.0;
}

bool dropFromCache(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && ::posix_fadvise(file.handle(), 0, 0, POSIX_FADV_DONTNEED) == 0;
}

// The child: starts the program on the ledger (the demonstration ledger of its own program
// folder when none is named) and prints its age once the window is idle.
int startOnce(const QString &ledger, bool cold)
{
    QElapsedTimer copying;
    copying.start();
    Run run;
    const QString path = ledger.isEmpty() ? run.folder.filePath(QStringLiteral("DataBase/Demo.ddb")) : ledger;
    if (cold) {
        ::sync(); // written pages stay in the cache until they are on the disk
        dropFromCache(path);
    }
    const double copyMs = Bench::MsSince(copying);
    run.rememberLedger(path);
    run.seams.onDialog(QStringLiteral("TFormLogin"), loginAs(Cashier));
    run.seams.onDialog(QStringLiteral("TFormChose"), CloseBox);
    if (!run.start())
        return 1;
    TFormMain *window = run.window();
    window->repaint();
    QCoreApplication::processEvents();
    window->repaint();
    std::printf("%.0f\n", processAgeMs() - copyMs);
    return 0;
}

// The open check alone on the ledger, in a process that has just opened it.
double openCheckMs(const QString &ledger, bool cold, bool *ok)
{
    if (cold) {
        ::sync();
        dropFromCache(ledger);
    }
    TShareDataModule module;
    QString error;
    if (!OpenLedgerConnection(ledger, DatabaseKind::Ledger, &error)) {
        *ok = false;
        return 0;
    }
    QElapsedTimer timer;
    timer.start();
    const QString problem = Ledgers::OpenLedgerProblem();
    const double ms = Bench::MsSince(timer);
    *ok = *ok && problem.isEmpty();
    module.closeConnection();
    return ms;
}

} // namespace

int main(int argc, char **argv)
{
    int exitCode = 0;
    if (Bench::RunAsGenerator(argc, argv, &exitCode))
        return exitCode;
    Bench::UseOffscreenWindowsUnlessSet();
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 4 && args[1] == QLatin1String("--start"))
        return startOnce(
            args[2] == QLatin1String("demo") ? QString() : args[2], args[3] == QLatin1String("cold"));

    Bench::Setup bench("bench_startup", argc, argv);
    if (!bench.prepare() || !bench.open()) // the first opening builds the money totals
        return 1;
    bench.close();
    Run demo; // the demonstration ledger as the build makes it
    const QString demoLedger = demo.folder.filePath(QStringLiteral("DataBase/Demo.ddb"));

    bool ok = true;
    std::printf("start to the idle main window, logged in; best of %d, ms\n", Runs);
    const QList<QPair<QString, QString>> ledgers
        = {{QStringLiteral("1,000,000 entries"), bench.ledgerPath()}, {QStringLiteral("demo ledger"), {}}};
    for (const auto &[name, ledger] : ledgers) {
        for (const bool cold : {false, true}) {
            double best = -1;
            for (int r = 0; r < Runs; ++r) {
                QProcess child;
                child.setProcessChannelMode(QProcess::SeparateChannels);
                child.start(app.applicationFilePath(),
                    {QStringLiteral("--start"), ledger.isEmpty() ? QStringLiteral("demo") : ledger,
                        cold ? QStringLiteral("cold") : QStringLiteral("warm")});
                if (!child.waitForFinished(120000) || child.exitCode() != 0) {
                    ok = false;
                    continue;
                }
                const double ms = child.readAllStandardOutput().trimmed().split('\n').last().toDouble();
                if (best < 0 || ms < best)
                    best = ms;
            }
            // The demonstration ledger each child starts on is its own fresh copy; the open check
            // is measured on one such copy, in the same state.
            const double check = openCheckMs(ledger.isEmpty() ? demoLedger : ledger, cold, &ok);
            std::printf("  %s, file %s: %.0f ms; the open check alone: %.0f ms\n", qPrintable(name),
                cold ? "dropped from the system's cache" : "in the system's cache", best, check);
        }
    }
    return ok ? 0 : bench.failed(QStringLiteral("a start failed"));
}
