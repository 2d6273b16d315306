#pragma once

// What the benchmarks over a large ledger share: the generated ledger (1,000 accounts and
// 1,000,000 entries, about 900 a day from 2024-01-01), a program folder of their own holding a
// copy of it, the shared connection on that copy, and the timing helpers.
//
//   int main(int argc, char **argv)
//   {
//       int exitCode = 0;
//       if (Bench::RunAsGenerator(argc, argv, &exitCode))
//           return exitCode;
//       QCoreApplication app(argc, argv);
//       Bench::Setup bench("bench_x", argc, argv);
//       if (!bench.prepare() || !bench.open())
//           return 1;
//       …
//   }
//
// The ledger is generated once by a child process (so that the generation's memory is not
// the benchmark's) into a cache file in the build tree, named after the generator's parameters
// and the empty-ledger template it starts from; later runs copy that file. The cached ledger
// lacks the money totals, as a ledger written before them did: the first opening builds them.

#include "storage/ShareDM.h"
#include "storage/Sql.h"

#include <QDate>
#include <QString>
#include <QTemporaryDir>

#include <functional>
#include <memory>

class QElapsedTimer;

namespace Bench {

inline constexpr int AccountCount = 1000;
inline constexpr int EntryCount = 1000000;
inline constexpr int EntriesPerDay = 900;
inline const QDate FirstDay(2024, 1, 1);
inline const QDate LastDay = FirstDay.addDays((EntryCount - 1) / EntriesPerDay);
// Every account and entry belongs to the cashier but one in ten, which are the clerk's.
inline const QString Cashier = QStringLiteral("出纳");
inline const QString Clerk = QStringLiteral("李四");

// Call first thing in main: when this process was started to generate the ledger it does so,
// sets *exitCode and returns true.
bool RunAsGenerator(int argc, char **argv, int *exitCode);

class Setup
{
public:
    // argv[1], when given, is the program folder (or its empty-ledger template); by default the
    // build tree's programfiles folder. A Q(Core)Application must exist.
    Setup(const char *name, int argc, char **argv);
    ~Setup();

    // The program folder with the Res pictures, the Frf templates and a copy of the ledger, and the session's
    // program folder, settings path and current user set to it. Prints the ledger line.
    bool prepare();
    // Opens the copy on the shared connection (building the money totals the first time).
    bool open(QString *error = nullptr);
    void close();

    QString folder() const { return programFolder; } // ends with "/"
    QString ledgerPath() const { return programFolder + QStringLiteral("Bench.ddb"); }
    TShareDataModule &dataModule() { return *module; }

    // Prints "name: what" to stderr and returns 1, for main to return.
    int failed(const QString &what) const;

private:
    bool fail(const QString &what) const
    {
        failed(what);
        return false;
    }

    QString benchName;
    QString programFiles;
    QString templatePath;
    QTemporaryDir dir;
    QString programFolder;
    std::unique_ptr<TShareDataModule> module;
};

// Runs a statement with its bound values on the shared connection and reads every field of
// every row, as a floor reads what the program's code reads; *rows, when given, gets their number.
bool ReadAll(const Sql &sql, int *rows = nullptr);
// The offscreen window system, unless one is named: for benches that build windows.
void UseOffscreenWindowsUnlessSet();

// The fastest of the runs, in milliseconds: other work on the machine only ever adds time.
// *ok turns false (and 0 is returned) when a run fails.
double BestOf(int runs, const std::function<bool()> &work, bool *ok);
double MsSince(const QElapsedTimer &timer);
// CPU time of this process, in milliseconds: on a busy machine wall time overstates the work.
double CpuMs();
// The process's peak resident memory so far (VmHWM), in megabytes; -1 when unknown.
double PeakMemoryMb();
// Starts a new peak at the present resident size; false when the system does not allow it.
bool ResetPeakMemory();

} // namespace Bench
