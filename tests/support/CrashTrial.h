#pragma once

// The crash trial: a driver process performs the program's real write paths in a loop on a
// program folder (tests/support/driver), is killed with SIGKILL at a random moment, and the
// folder is then opened as the next start would and checked: every database passes its
// integrity check, the ledgers and the registry hold their invariants, nothing is left half
// done, and every change the driver logged as acknowledged is there.
//
// The driver logs "begin<TAB>operation<TAB>arguments" before and "done<TAB>…" after each
// change that the program confirmed; the arguments name what the change leaves behind, so the
// checks know what must be found (see CheckProgramFolder).

#include <QString>
#include <QStringList>

#include <functional>

namespace TestSupport {

// What one check found, by kind.
struct TrialFindings {
    QStringList corruptions; // a database that fails its integrity check or cannot be opened
    QStringList halfStates; // an invariant broken: a change neither done nor undone whole
    QStringList lostWrites; // a change the driver saw acknowledged is not there
    QStringList driverFailures; // the driver stopped by itself or saw an operation refused

    bool isClean() const
    {
        return corruptions.isEmpty() && halfStates.isEmpty() && lostWrites.isEmpty()
            && driverFailures.isEmpty();
    }
    void add(const TrialFindings &other);
    QString summary() const;
};

struct TrialCounts {
    int cycles = 0;
    int acknowledged = 0; // changes logged as done, over the whole run
    int corruptions = 0;
    int halfStates = 0;
    int lostWrites = 0;
    int driverFailures = 0;
    TrialFindings findings; // the details, for the report
    QString line() const;
};

// A fresh program folder for a trial (a copy of the built program files) at folder.
bool PrepareTrialFolder(const QString &folder);

// Opens the folder as the next start would (repairs included) and checks it against the log.
TrialFindings CheckProgramFolder(const QString &folder, const QString &logPath);

struct TrialOptions {
    int cycles = 50;
    quint32 seed = 20260615;
    int longestRunMs = 300; // the kill comes after at most this long of work
    QString driver; // the driver program; the built one when empty
    // Called after every cycle (progress for long runs).
    std::function<void(int cycle, const TrialFindings &)> afterCycle;
};

// Runs the trial on folder (prepared by PrepareTrialFolder) and counts what the checks found.
TrialCounts RunCrashTrial(const QString &folder, const TrialOptions &options);

} // namespace TestSupport
