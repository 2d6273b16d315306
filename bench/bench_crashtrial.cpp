// The long crash trial: the driver of the test support performs the program's write paths on
// a program folder and is killed with SIGKILL at random moments, 1,000 times; after each kill
// the folder is opened as the next start would and checked. Prints the counts.
//
//   bench_crashtrial [cycles] [seed]

#include "support/CrashTrial.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    TestSupport::TrialOptions options;
    options.cycles = args.size() > 1 ? args.at(1).toInt() : 1000;
    if (args.size() > 2)
        options.seed = args.at(2).toUInt();
    options.afterCycle = [&options](int cycle, const TestSupport::TrialFindings &findings) {
        if (!findings.isClean())
            std::printf("cycle %d:\n%s\n", cycle + 1, qPrintable(findings.summary()));
        if ((cycle + 1) % 100 == 0 || cycle + 1 == options.cycles)
            std::printf("%d cycles done\n", cycle + 1);
        std::fflush(stdout);
    };

    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("Quillbrook"));
    if (!dir.isValid() || !TestSupport::PrepareTrialFolder(folder)) {
        std::fprintf(stderr, "the trial folder could not be prepared\n");
        return 1;
    }
    QElapsedTimer timer;
    timer.start();
    const TestSupport::TrialCounts counts = TestSupport::RunCrashTrial(folder, options);
    std::printf("crash trial (seed %u): %s; %.0f s\n", options.seed, qPrintable(counts.line()),
        timer.elapsed() / 1000.0);
    if (counts.corruptions + counts.halfStates + counts.lostWrites + counts.driverFailures > 0)
        std::printf("%s\n", qPrintable(counts.findings.summary()));
    return counts.corruptions + counts.halfStates + counts.lostWrites + counts.driverFailures > 0 ? 1 : 0;
}
