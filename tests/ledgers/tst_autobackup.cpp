#include "ledgers/AutoBackup.h"
#include "ledgers/LedgerBackup.h"
#include "ledgers/UserLogin.h"
#include "platform/FileOps.h"
#include "platform/Seams.h"
#include "storage/ShareDM.h"
#include "support/Helpers.h"
#include "support/LedgerFile.h"
#include "support/ProgramRun.h"
#include "support/SmallDisk.h"
#include "support/TestMain.h"
#include "support/TestSupport.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTest>

#include <cerrno>

using namespace TestSupport;

namespace {
const QDate FirstDay(2026, 6, 15);
const QString Damaged = QStringLiteral("检查出错误");

struct AutoRun : Run {
    QString autoFolder() const { return folder.filePath(QStringLiteral("数据库备份/自动备份")); }
    QStringList copies() const
    {
        QStringList names = QDir(autoFolder()).entryList({QStringLiteral("*.ddb")}, QDir::Files);
        names.sort();
        return names;
    }
    static QString copyName(const QDate &day)
    {
        return QStringLiteral("Default ") + ShortDateText(day) + QStringLiteral(".ddb");
    }
    // The copy a login scheduled, begun and written.
    static void settle()
    {
        QCoreApplication::processEvents();
        Ledgers::WaitForAutomaticBackup();
    }
    // A new run of the program in the same folder on day, as the cashier; the day's copy made.
    bool startOn(const QDate &day)
    {
        program.reset();
        seams.today = day;
        const bool started = startAs(Cashier);
        settle();
        return started;
    }
    // Another login during the same run.
    bool logInAgain(const QDate &day)
    {
        seams.today = day;
        const bool in = LogInUser(Cashier, QString());
        settle();
        return in;
    }
    int entries(const QString &path) const
    {
        LedgerFile file(path, LedgerFile::ReadOnly);
        return file.value(QStringLiteral("Select Count(*) From MoneyTable Where MoneyIndex > 1")).toInt();
    }
    // An account and enough entries to fill many pages of the file.
    void fillLedger() const
    {
        LedgerFile writer(folder.filePath(DefaultLedger));
        QVERIFY(writer.exec(QStringLiteral("Begin")));
        const qint64 account
            = writer.insert(QStringLiteral("Insert Into Account (AccountType, AccountName, AccountBase, "
                                           "AccountPower) Values (1, '试验银行', 0, '出纳')"));
        QVERIFY(account > 1);
        for (int i = 0; i < 2000; ++i)
            QVERIFY(writer.exec(
                QStringLiteral("Insert Into MoneyTable (MoneyKind, MoneyAccount, MoneyCreateTime, "
                               "MoneyIn, MoneyOut, MoneySum, MoneyRemark, MoneyPower) Values "
                               "('财务收入', ?, '2026-06-15', 1, 0, 1, ?, '出纳')"),
                {account, QString(60, QLatin1Char('x'))}));
        QVERIFY(writer.exec(QStringLiteral("Commit")));
    }
};

// Garbage over the page in the middle of the file, where the entries lie.
void damageMiddlePage(const QString &path)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    const qint64 pageSize = 4096;
    const qint64 pages = file.size() / pageSize;
    QVERIFY(pages > 10);
    QVERIFY(file.seek(pages / 2 * pageSize));
    file.write(QByteArray(int(pageSize), '\x5a'));
}
} // namespace

class TestAutoBackup : public QObject
{
    Q_OBJECT

private slots:
    void firstLoginOfADayMakesOneCopy()
    {
        AutoRun r;
        QVERIFY(r.startOn(FirstDay));
        QCOMPARE(r.copies(), QStringList {AutoRun::copyName(FirstDay)});
        const QString copy = r.autoFolder() + QLatin1Char('/') + AutoRun::copyName(FirstDay);
        QVERIFY(Ledgers::LedgerFileProblem(copy).isEmpty());
        const QDateTime written = QFileInfo(copy).lastModified();

        QVERIFY(r.logInAgain(FirstDay));
        QCOMPARE(r.copies().size(), 1);
        QCOMPARE(QFileInfo(copy).lastModified(), written);

        QVERIFY(r.logInAgain(FirstDay.addDays(1)));
        QCOMPARE(r.copies().size(), 2);
        QVERIFY(r.seams.messages.isEmpty());
    }

    // The copies to keep, and a manual backup of the same name pattern in the same folder.
    void oldestCopiesGoAndManualBackupsStay_data()
    {
        QTest::addColumn<QString>("keep");
        QTest::addColumn<int>("kept");
        QTest::newRow("default") << QString() << 7;
        QTest::newRow("three") << QStringLiteral("3") << 3;
    }
    void oldestCopiesGoAndManualBackupsStay()
    {
        QFETCH(QString, keep);
        QFETCH(int, kept);
        AutoRun r;
        if (!keep.isEmpty())
            r.writeSetting(QStringLiteral("AutoBackupCopies"), keep);
        QVERIFY(r.startOn(FirstDay));
        const QString manual = r.autoFolder() + QLatin1Char('/') + AutoRun::copyName(FirstDay.addDays(-1));
        r.seams.fileAnswers.enqueue(manual);
        Ledgers::BackupLedger(nullptr);
        QCOMPARE(r.seams.lastMessage(), QStringLiteral("恭喜您，数据库备份成功"));

        for (int day = 1; day < 8; ++day)
            QVERIFY(r.logInAgain(FirstDay.addDays(day)));
        QStringList expected {QFileInfo(manual).fileName()};
        for (int day = 8 - kept; day < 8; ++day)
            expected.append(AutoRun::copyName(FirstDay.addDays(day)));
        expected.sort();
        QCOMPARE(r.copies(), expected);
    }

    // The user writes a file of their own over the day's copy: the next login of the day
    // leaves it as it is and makes the day's copy beside it.
    void aFileWrittenOverTheCopyStays()
    {
        AutoRun r;
        QVERIFY(r.startOn(FirstDay));
        const QString copy = r.autoFolder() + QLatin1Char('/') + AutoRun::copyName(FirstDay);
        QVERIFY(writeFile(copy, "the user's own file"));
        QVERIFY(r.logInAgain(FirstDay));
        QCOMPARE(readFile(copy), QByteArray("the user's own file"));
        QCOMPARE(r.copies(),
            (QStringList {AutoRun::copyName(FirstDay), QStringLiteral("Default 2026-6-15（2）.ddb")}));
        QVERIFY(Ledgers::LedgerFileProblem(r.autoFolder() + QStringLiteral("/Default 2026-6-15（2）.ddb"))
                    .isEmpty());
    }

    // The program ends while the copy is being written: it is finished and on the list, so that
    // the next days' logins count it and remove it in its turn.
    void aCopyBeingWrittenAtTheEndIsFinished()
    {
        AutoRun r;
        r.fillLedger();
        QVERIFY(r.startAs(Cashier));
        QCoreApplication::processEvents(); // the copy begins, and is most likely still running
        r.program.reset();
        QVERIFY(!Ledgers::AutomaticBackupRunning());
        const QList<Ledgers::AutoBackupCopy> listed = Ledgers::ReadAutoBackupList(r.autoFolder());
        QCOMPARE(listed.size(), 1);
        QCOMPARE(listed.first().file, AutoRun::copyName(r.seams.today));
        QVERIFY(listed.first().unchanged(r.autoFolder()));
        QCOMPARE(r.entries(r.autoFolder() + QLatin1Char('/') + listed.first().file), 2000);
    }

    // A real run killed while it files the day's copy: before the rename (the copy listed under
    // its name, the file still temporary) or after it (the list not yet rewritten). The next
    // start finds list and copies agreeing, makes no second copy of the day, and rotates the
    // copy out in its turn.
    void aKillWhileACopyIsFiledLeavesListAndCopiesAgreeing_data()
    {
        QTest::addColumn<QString>("step");
        QTest::addColumn<bool>("renamed");
        QTest::newRow("listed, not renamed") << "listed" << false;
        QTest::newRow("renamed, list not rewritten") << "renamed" << true;
    }
    void aKillWhileACopyIsFiledLeavesListAndCopiesAgreeing()
    {
        QFETCH(QString, step);
        QFETCH(bool, renamed);
        AutoRun r;
        r.writeSetting(QStringLiteral("AutoBackupCopies"), QStringLiteral("2"));
        const QString mine = r.autoFolder() + QStringLiteral("/Default 2026-6-1.ddb"); // the user's own
        QVERIFY(QDir().mkpath(r.autoFolder()));
        QVERIFY(writeFile(mine, "a file the program did not make"));

        QProcess driver;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QUILL_AUTOBACKUP_STOP"), step);
        driver.setProcessEnvironment(environment);
        driver.start(QStringLiteral(QUILL_CRASH_DRIVER),
            {r.folder.path(), r.folder.filePath(QStringLiteral("trial.log")), QStringLiteral("1")});
        QByteArray said;
        while (!said.contains("stopped") && driver.waitForReadyRead(60000))
            said += driver.readAllStandardOutput();
        QVERIFY2(said.contains("stopped"), said.constData());
        driver.kill();
        QVERIFY(driver.waitForFinished(10000));

        const QString today = AutoRun::copyName(FirstDay);
        const QList<Ledgers::AutoBackupCopy> left = Ledgers::ReadAutoBackupList(r.autoFolder());
        QCOMPARE(left.size(), 1);
        QCOMPARE(left.first().file, today);
        QCOMPARE(left.first().unchanged(r.autoFolder()), renamed);

        const auto agreeing = [&](const QStringList &expected) {
            QStringList listed;
            for (const Ledgers::AutoBackupCopy &c : Ledgers::ReadAutoBackupList(r.autoFolder())) {
                QVERIFY2(c.unchanged(r.autoFolder()), qPrintable(c.file));
                listed.append(c.file);
            }
            listed.append(QFileInfo(mine).fileName());
            listed.sort();
            QCOMPARE(listed, r.copies());
            QCOMPARE(r.copies(), expected);
            QCOMPARE(QDir(r.autoFolder()).entryList({QStringLiteral("*.tmp")}, QDir::Files | QDir::Hidden),
                QStringList {});
        };
        QVERIFY(r.startOn(FirstDay));
        agreeing({QFileInfo(mine).fileName(), today});
        QCOMPARE(r.seams.messageTexts().filter(QStringLiteral("失败")), QStringList {});
        QVERIFY(r.logInAgain(FirstDay.addDays(1)));
        QVERIFY(r.logInAgain(FirstDay.addDays(2)));
        agreeing({QFileInfo(mine).fileName(), AutoRun::copyName(FirstDay.addDays(1)),
            AutoRun::copyName(FirstDay.addDays(2))});
        QCOMPARE(readFile(mine), QByteArray("a file the program did not make"));
    }

    // The group on the 数据维护 tab: what it shows, what it stores, what it says.
    void settingsGroupStoresAtOnce_data()
    {
        QTest::addColumn<QString>("storedCopies");
        QTest::addColumn<int>("shownCopies");
        QTest::newRow("none stored") << QString() << 7;
        QTest::newRow("stored") << QStringLiteral("12") << 12;
        QTest::newRow("too many") << QStringLiteral("500") << 99;
        QTest::newRow("no number") << QStringLiteral("七") << 7;
    }
    void settingsGroupStoresAtOnce()
    {
        QFETCH(QString, storedCopies);
        QFETCH(int, shownCopies);
        AutoRun r;
        if (!storedCopies.isEmpty())
            r.writeSetting(QStringLiteral("AutoBackupCopies"), storedCopies);
        QVERIFY(r.startOn(FirstDay));
        auto *box = child<QCheckBox>(r.window(), QStringLiteral("CheckBoxAutoBackup"));
        auto *copies = child<QSpinBox>(r.window(), QStringLiteral("SpinEditBackupCopies"));
        QVERIFY(box && copies);
        QVERIFY(box->isChecked());
        QCOMPARE(copies->value(), shownCopies);

        r.seams.clearMessages();
        box->click();
        QCOMPARE(r.readSetting(QStringLiteral("AutoBackup")), QStringLiteral("0"));
        QCOMPARE(r.seams.lastMessage(), QStringLiteral("登录时自动备份设置为：关闭"));
        copies->setValue(3);
        QCOMPARE(r.readSetting(QStringLiteral("AutoBackupCopies")),
            storedCopies.isEmpty() ? QStringLiteral("<none>") : storedCopies);
        child<QPushButton>(r.window(), QStringLiteral("ButtonBackupCopies"))->click();
        QCOMPARE(r.readSetting(QStringLiteral("AutoBackupCopies")), QStringLiteral("3"));
        QCOMPARE(r.seams.lastMessage(), QStringLiteral("自动备份保留份数设置为：3"));

        // The next day's login makes no copy; the next run shows what was stored.
        QVERIFY(r.startOn(FirstDay.addDays(1)));
        QCOMPARE(r.copies(), QStringList {AutoRun::copyName(FirstDay)});
        box = child<QCheckBox>(r.window(), QStringLiteral("CheckBoxAutoBackup"));
        QVERIFY(!box->isChecked());
        QCOMPARE(child<QSpinBox>(r.window(), QStringLiteral("SpinEditBackupCopies"))->value(), 3);
        box->click();
        QCOMPARE(r.readSetting(QStringLiteral("AutoBackup")), QStringLiteral("1"));
        QCOMPARE(r.seams.lastMessage(), QStringLiteral("登录时自动备份设置为：开启"));
    }

    // 恢复数据 opens in the folder that holds the automatic one, and takes its copies.
    void anAutomaticCopyIsRestoredThroughRestore()
    {
        AutoRun r;
        r.fillLedger();
        QVERIFY(r.startOn(FirstDay));
        const QString copy = r.autoFolder() + QLatin1Char('/') + AutoRun::copyName(FirstDay);
        QVERIFY(r.ledger()->exec(QStringLiteral("Delete From MoneyTable Where MoneyIndex > 1")));
        QCOMPARE(r.entries(r.folder.filePath(DefaultLedger)), 0);

        r.seams.answerQuestions({true});
        r.seams.fileAnswers.enqueue(copy);
        r.window()->action(QStringLiteral("ActionLoad"))->trigger();
        QCOMPARE(QFileInfo(r.autoFolder()).absolutePath(), r.seams.fileRequests.constLast().directory);
        QCOMPARE(r.seams.lastMessage(), QStringLiteral("恭喜您，数据库恢复成功，请重新启动软件"));
        r.program.reset();
        QCOMPARE(r.entries(r.folder.filePath(DefaultLedger)), 2000);
        QVERIFY(QFileInfo::exists(copy));
    }

    void switchedOffMakesNoCopy()
    {
        AutoRun r;
        r.writeSetting(QStringLiteral("AutoBackup"), QStringLiteral("0"));
        QVERIFY(r.startOn(FirstDay));
        QVERIFY(r.copies().isEmpty());
    }

    // Root writes into read-only folders: a file where the folder should be stands for one.
    // The folder: a file stands where it should be. The list: a folder stands where it should be.
    void aCopyThatCannotBeWrittenIsReportedOnce_data()
    {
        QTest::addColumn<bool>("listBlocked");
        QTest::addColumn<QString>("reason");
        QTest::newRow("folder") << false << QStringLiteral("自动备份目录创建失败，失败号为：");
        QTest::newRow("list") << true << QStringLiteral("自动备份记录写入失败，失败号为：");
    }
    void aCopyThatCannotBeWrittenIsReportedOnce()
    {
        QFETCH(bool, listBlocked);
        QFETCH(QString, reason);
        AutoRun r;
        if (listBlocked) {
            QVERIFY(QDir().mkpath(r.autoFolder() + QStringLiteral("/自动备份记录.txt")));
        } else {
            QVERIFY(QDir().mkpath(r.folder.filePath(QStringLiteral("数据库备份"))));
            QFile blocker(r.autoFolder());
            QVERIFY(blocker.open(QIODevice::WriteOnly));
            blocker.close();
        }
        QVERIFY(r.startOn(FirstDay));
        QCOMPARE(r.seams.messages.size(), 1);
        QVERIFY(r.seams.lastMessage().startsWith(QStringLiteral("自动备份失败")));
        QVERIFY2(r.seams.lastMessage().contains(reason), qPrintable(r.seams.lastMessage()));
        QVERIFY(r.window()->isVisible());
        QCOMPARE(Session().CurrentUser, Cashier);
    }

    // The disk fills during the copy: the message with the system's reason, no half copy left,
    // nothing on the list, and the next login tries again.
    void aCopyOntoAFullDiskIsReportedAndLeavesNothing()
    {
        SmallDisk disk(8 << 20);
        if (!disk.isMounted())
            QSKIP(qPrintable(disk.whyNot()));
        AutoRun r;
        r.fillLedger();
        QVERIFY(QDir().mkpath(r.folder.filePath(QStringLiteral("数据库备份"))));
        QVERIFY(QFile::link(disk.path(), r.autoFolder()));
        QVERIFY(disk.fill());
        QVERIFY(r.startOn(FirstDay));
        QCOMPARE(r.seams.messageTexts().size(), 1);
        QVERIFY2(r.seams.lastMessage().endsWith(
                     QStringLiteral("数据库备份失败，失败号为：") + Platform::ErrorNumberText(ENOSPC)),
            qPrintable(r.seams.lastMessage()));
        QCOMPARE(Session().CurrentUser, Cashier);
        QVERIFY(r.copies().isEmpty());
        QVERIFY(temporaryFiles(r.autoFolder()).isEmpty());

        disk.free();
        QVERIFY(r.logInAgain(FirstDay));
        QCOMPARE(r.copies(), QStringList {AutoRun::copyName(FirstDay)});
        QCOMPARE(r.entries(r.autoFolder() + QLatin1Char('/') + AutoRun::copyName(FirstDay)), 2000);
    }

    // Another program keeps the ledger locked: the copy gives up after its waits, says so, and
    // the run can end.
    void aLedgerLockedElsewhereEndsTheCopy()
    {
        AutoRun r;
        QVERIFY(r.startAs(Cashier));
        LedgerFile other(r.folder.filePath(DefaultLedger));
        QVERIFY(other.exec(QStringLiteral("Begin Exclusive")));
        AutoRun::settle();
        QVERIFY(other.exec(QStringLiteral("Rollback")));
        QCOMPARE(r.seams.messageTexts().size(), 1);
        QVERIFY2(r.seams.lastMessage().endsWith(QStringLiteral("数据库备份失败：数据库文件正被其他程序使用")),
            qPrintable(r.seams.lastMessage()));
        QVERIFY(r.copies().isEmpty());
        QVERIFY(temporaryFiles(r.autoFolder()).isEmpty());
    }

    // Damage with no automatic copy to restore: said first, and the run goes on with the ledger.
    void aDamagedLedgerWithoutACopyIsReported()
    {
        AutoRun r;
        r.writeSetting(QStringLiteral("AutoBackup"), QStringLiteral("0"));
        r.fillLedger();
        damageMiddlePage(r.folder.filePath(DefaultLedger));
        QVERIFY(r.startOn(FirstDay));
        // Views that read the damaged page fail afterwards with messages of their own.
        QVERIFY(!r.seams.messages.isEmpty());
        const RecordedMessage told = r.seams.messages.first();
        QCOMPARE(told.kind, Platform::MessageKind::Error);
        QVERIFY2(told.text.contains(QStringLiteral("“Default.ddb”") + Damaged), qPrintable(told.text));
        QVERIFY2(told.text.endsWith(
                     QStringLiteral("\n没有可用于恢复的完好自动备份，请尽快用“恢复数据”恢复一份备份。")),
            qPrintable(told.text));
        QCOMPARE(Session().CurrentUser, Cashier);
    }

    void aDamagedLedgerIsFoundAndRestored_data()
    {
        QTest::addColumn<bool>("restore");
        QTest::newRow("yes") << true;
        QTest::newRow("no") << false;
    }
    void aDamagedLedgerIsFoundAndRestored()
    {
        QFETCH(bool, restore);
        AutoRun r;
        r.fillLedger();
        QVERIFY(r.startOn(FirstDay));
        QCOMPARE(r.copies().size(), 1);
        r.program.reset();
        damageMiddlePage(r.folder.filePath(DefaultLedger));

        r.seams.clearMessages();
        r.seams.answerQuestions({restore});
        QVERIFY(r.startOn(FirstDay.addDays(1)));
        QVERIFY(!r.seams.messages.isEmpty());
        const RecordedMessage asked = r.seams.messages.first();
        QCOMPARE(asked.caption, QStringLiteral("恢复警告"));
        QVERIFY2(asked.text.contains(QStringLiteral("“Default.ddb”") + Damaged), qPrintable(asked.text));
        QVERIFY(asked.text.contains(AutoRun::copyName(FirstDay)));
        // In words, with the page: not the check's English.
        QVERIFY2(asked.text.contains(QRegularExpression(QStringLiteral("数据库文件第\\d+页已损坏"))),
            qPrintable(asked.text));
        QVERIFY2(!asked.text.contains(QLatin1String("***")), qPrintable(asked.text));
        QCOMPARE(Session().CurrentUser, Cashier);
        r.program.reset();
        if (restore) {
            QCOMPARE(r.entries(r.folder.filePath(DefaultLedger)), 2000);
            QVERIFY(Ledgers::LedgerFileHealthProblem(r.folder.filePath(DefaultLedger)).isEmpty());
        } else {
            QVERIFY(!Ledgers::LedgerFileHealthProblem(r.folder.filePath(DefaultLedger)).isEmpty());
        }
    }

    void anEntryWithoutItsAccountIsReported()
    {
        AutoRun r;
        r.writeSetting(QStringLiteral("AutoBackup"), QStringLiteral("0"));
        {
            LedgerFile other(r.folder.filePath(DefaultLedger));
            // Missing accounts below, between and above the ones in use, beside an entry whose
            // account exists.
            const qint64 kept = other.insert(QStringLiteral(
                "Insert Into Account (AccountType, AccountName, AccountBase) Values (1, '试验银行', 0)"));
            for (qint64 account : {qint64(-1), kept, kept + 500, kept + 500, qint64(999999)})
                QVERIFY(
                    other.exec(QStringLiteral("Insert Into MoneyTable (MoneyKind, MoneyAccount, MoneySum) "
                                              "Values ('财务支出', ?, -5)"),
                        {account}));
        }
        QVERIFY(r.startOn(FirstDay));
        QVERIFY(!r.seams.messages.isEmpty());
        const QString text = r.seams.messages.first().text;
        QVERIFY2(text.contains(QStringLiteral("“Default.ddb”") + Damaged), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("有4条收支记录所属的帐户已不存在")), qPrintable(text));
    }
};

QUILL_TEST_MAIN(TestAutoBackup)
#include "tst_autobackup.moc"
