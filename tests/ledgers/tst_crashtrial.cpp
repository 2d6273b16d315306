#include "support/CrashTrial.h"
#include "support/TestMain.h"

#include <QTemporaryDir>
#include <QTest>

// The program's write paths killed with SIGKILL at random moments: after every kill the next
// start finds sound databases, whole changes only, and every acknowledged change in place.
// bench_crashtrial runs the same trial a thousand times.
class TestCrashTrial : public QObject
{
    Q_OBJECT

private slots:
    void killedAtRandomMomentsLosesNothing()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("Quillbrook"));
        QVERIFY(TestSupport::PrepareTrialFolder(folder));
        TestSupport::TrialOptions options;
        options.cycles = 50;
        const TestSupport::TrialCounts counts = TestSupport::RunCrashTrial(folder, options);
        qInfo("%s", qPrintable(counts.line()));
        QVERIFY2(counts.findings.isClean(), qPrintable(counts.findings.summary()));
        QCOMPARE(counts.cycles, 50);
        // The kills met real work.
        QVERIFY2(counts.acknowledged > 100, qPrintable(counts.line()));
    }

    // The checks see what a kill can leave: a change acknowledged in the log but not stored,
    // a registry entry whose file is gone, a half-written settings file.
    void checksFindWhatIsWrong()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("Quillbrook"));
        QVERIFY(TestSupport::PrepareTrialFolder(folder));
        const QString log = folder + QStringLiteral("/trial.log");
        QFile file(log);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("begin\tentry-save\tentry:T1-1=12\n"
                   "done\tentry-save\tentry:T1-1=12\n"
                   "begin\tledger-create\tledger:试验帐套1-2=present\n"
                   "done\tledger-create\tledger:试验帐套1-2=present\n"
                   "begin\treceivable-add\treceivable:D1-3=present\n"
                   "done\treceivable-add\treceivable:D1-3=present\n");
        file.close();
        QFile ini(folder + QStringLiteral("/Quillbrook.ini"));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[Quillbrook3]\nUserNa");
        ini.close();
        QVERIFY(QFile::remove(folder + QStringLiteral("/DataBase/Demo.ddb")));

        const TestSupport::TrialFindings findings = TestSupport::CheckProgramFolder(folder, log);
        QVERIFY(findings.corruptions.isEmpty());
        QCOMPARE(findings.lostWrites.size(), 3);
        QVERIFY(findings.lostWrites.filter(QStringLiteral("entry:T1-1")).size() == 1);
        QVERIFY(findings.lostWrites.filter(QStringLiteral("ledger:试验帐套1-2")).size() == 1);
        QVERIFY(findings.lostWrites.filter(QStringLiteral("receivable:D1-3")).size() == 1);
        QVERIFY(!findings.halfStates.filter(QStringLiteral("Demo.ddb")).isEmpty());
        QVERIFY(!findings.halfStates.filter(QStringLiteral("settings file")).isEmpty());
    }
};

QUILL_TEST_MAIN(TestCrashTrial)
#include "tst_crashtrial.moc"
