#include "app/MainForm.h"
#include "app/Program.h"
#include "app/SettingsPage.h"
#include "ledgers/LedgerBackup.h"
#include "platform/FileOps.h"
#include "platform/Seams.h"
#include "storage/PublicFunction.h"
#include "storage/ShareDM.h"
#include "support/LedgerFile.h"
#include "support/ProgramRun.h"
#include "support/TestMain.h"
#include "support/TestSupport.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace TestSupport;

namespace {
const QString BackupDone = QStringLiteral("恭喜您，数据库备份成功");
const QString RestoreDone = QStringLiteral("恭喜您，数据库恢复成功，请重新启动软件");
const QString RestoreQuestion = QStringLiteral("数据库恢复将导致当前数据全部丢失，是否继续？");
const QString NotALedger = QStringLiteral("所选文件不是有效的帐套数据库");

// A file is a sound ledger copy: it opens, passes the quick check and holds the ledger tables.
bool isSoundLedger(const QString &path)
{
    if (!QFileInfo(path).isFile())
        return false;
    LedgerFile db(path, LedgerFile::ReadOnly);
    return db.isOpen() && db.value(QStringLiteral("PRAGMA quick_check")).toString() == QLatin1String("ok")
        && Ledgers::LedgerFileProblem(path).isEmpty();
}

int count(const QString &sql)
{
    Query q;
    if (!RunQuery(q, Sql(sql), QStringLiteral("peek")) || q.isEmpty())
        return -1;
    return int(q.integer(q.columns().value(0)));
}

// Runs of the program in one program folder, logged in as the administrator on Default.ddb.
struct Runs : TestSupport::Run {

    QString ledger() const { return folder.filePath(DefaultLedger); }
    QString backups() const { return folder.filePath(QStringLiteral("数据库备份")); }
    QString backup(const QString &name) const { return backups() + QLatin1Char('/') + name; }

    // Each start begins a new run of the program in the same folder.
    bool start()
    {
        program.reset();
        return startAs(Administrator);
    }
    void run(const char *action) { window()->action(QString::fromLatin1(action))->trigger(); }
    // Backs up onto target (an empty target cancels the save dialog).
    void backUpTo(const QString &target)
    {
        seams.fileAnswers.enqueue(target);
        run("ActionSave");
    }
    void restoreFrom(const QString &source)
    {
        seams.answerQuestions({true});
        seams.fileAnswers.enqueue(source);
        run("ActionLoad");
    }
    // The shared connection still reads and writes the current ledger.
    bool connectionWorks()
    {
        bool ok = false;
        ExecSql(Sql("Insert Into Parameter (ParameterType, ParameterValue) Values (4, ")
                + Sql::value(QStringLiteral("连接可用")) + Sql(")"),
            &ok);
        return ok && count("Select Count(*) From Parameter Where ParameterValue = '连接可用'") == 1;
    }
};
} // namespace

class TestBackup : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    void commandsOnTheWindow()
    {
        Runs r;
        QVERIFY(r.start());
        TFormMain *w = r.window();
        QAction *save = w->action(QStringLiteral("ActionSave"));
        QAction *load = w->action(QStringLiteral("ActionLoad"));
        QVERIFY(save && load);
        QCOMPARE(save->text(), QStringLiteral("备份数据"));
        QCOMPARE(load->text(), QStringLiteral("恢复数据"));
        QWidget *page = w->tabPage(MainTab::Maintenance);
        QCOMPARE(page->findChild<QAbstractButton *>(QStringLiteral("SaveButton"))->text(), save->text());
        QCOMPARE(page->findChild<QAbstractButton *>(QStringLiteral("LoadButton"))->text(), load->text());
        // The work panel's button runs the same command.
        auto *panelButton = w->findChild<QAbstractButton *>(QStringLiteral("SpeedButtonSave"));
        QVERIFY(panelButton);
        r.seams.fileAnswers.enqueue(QString());
        panelButton->click();
        QCOMPARE(r.seams.fileRequests.size(), 1);
    }

    void firstBackupCreatesTheFolder()
    {
        Runs r;
        QVERIFY(r.start());
        QVERIFY(!QFileInfo::exists(r.backups()));
        const QString name = QStringLiteral("翎溪流水帐Ⅲ2026-6-15.ddb");
        r.backUpTo(r.backup(name));

        QVERIFY(QFileInfo(r.backups()).isDir());
        QCOMPARE(r.seams.fileRequests.size(), 1);
        const Platform::FileDialogRequest &request = r.seams.fileRequests.constFirst();
        QCOMPARE(request.directory, r.backups());
        QCOMPARE(request.fileName, name);
        QCOMPARE(request.filter, QStringLiteral("Ddb Files (*.ddb *.DDB)"));
        QCOMPARE(request.defaultSuffix, QStringLiteral("ddb"));
        QCOMPARE(r.seams.messageTexts(), QStringList {BackupDone});
        QVERIFY(isSoundLedger(r.backup(name)));
        QVERIFY(temporaryFiles(r.backups()).isEmpty());
        QVERIFY(r.connectionWorks());
    }

    void proposedNameFollowsToday()
    {
        QCOMPARE(Ledgers::ProposedBackupName(QDate(2026, 12, 3)), QStringLiteral("翎溪流水帐Ⅲ2026-12-3.ddb"));
    }

    void folderThatCannotBeMade()
    {
        Runs r;
        QVERIFY(r.start());
        // A file where the folder should be.
        QVERIFY(writeFile(r.backups(), "not a folder"));
        r.run("ActionSave"); // no save dialog follows: an unexpected one fails the test
        QCOMPARE(r.seams.messages.size(), 1);
        QCOMPARE(r.seams.messages[0].kind, Platform::MessageKind::Error);
        QCOMPARE(r.seams.messages[0].text, QStringLiteral("数据库备份目录创建失败，请检查磁盘属性是否只读"));
        QVERIFY(r.seams.fileRequests.isEmpty());
    }

    void backupWhileEntriesAreWritten()
    {
        Runs r;
        QVERIFY(r.start());
        const int before = count("Select Count(*) From MoneyTable");
        LedgerFile writer(r.ledger());
        QVERIFY(writer.isOpen());
        QVERIFY(writer.exec(QStringLiteral("Begin")));
        for (int i = 0; i < 3000; ++i)
            QVERIFY(writer.exec(
                QStringLiteral("Insert Into MoneyTable (MoneyKind, MoneyAccount, MoneyCreateTime, "
                               "MoneyIn, MoneyOut, MoneySum) Values ('财务收入', 2, '2026-06-15', "
                               "%1, 0, %1)")
                    .arg(i + 1)));
        QVERIFY(writer.exec(QStringLiteral("Commit")));
        // Another batch is being written and not yet committed when the backup runs.
        QVERIFY(writer.exec(QStringLiteral("Begin")));
        for (int i = 0; i < 50; ++i)
            QVERIFY(writer.exec(
                QStringLiteral("Insert Into MoneyTable (MoneyKind, MoneySum) Values ('财务支出', -1)")));

        const QString copy = r.backup(QStringLiteral("during.ddb"));
        r.backUpTo(copy);
        QCOMPARE(r.seams.messageTexts(), QStringList {BackupDone});
        QVERIFY(writer.exec(QStringLiteral("Commit")));

        QVERIFY(isSoundLedger(copy));
        LedgerFile restored(copy, LedgerFile::ReadOnly);
        QCOMPARE(restored.value(QStringLiteral("Select Count(*) From MoneyTable")).toInt(), before + 3000);
        QCOMPARE(restored.value(QStringLiteral("Select Sum(MoneySum) From MoneyTable")).toLongLong(),
            3000LL * 3001 / 2);
        QCOMPARE(count("Select Count(*) From MoneyTable"), before + 3050);
    }

    void backupReplacesAnExistingFile()
    {
        Runs r;
        QVERIFY(r.start());
        QVERIFY(QDir().mkpath(r.backups()));
        const QString target = r.backup(QStringLiteral("翎溪流水帐Ⅲ2026-6-15.ddb"));
        QVERIFY(writeFile(target, "an older backup"));
        r.backUpTo(target); // no question: an unexpected one fails the test
        QCOMPARE(r.seams.messageTexts(), QStringList {BackupDone});
        QVERIFY(isSoundLedger(target));
        LedgerFile copy(target, LedgerFile::ReadOnly);
        QCOMPARE(copy.value(QStringLiteral("Select Count(*) From Parameter")).toInt(),
            count("Select Count(*) From Parameter"));
    }

    void failingBackup_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::addColumn<QString>("failure"); // what follows "数据库备份失败"
        const QString number = QStringLiteral("，失败号为：");
        QTest::newRow("directory in the way") << "directory" << number + Platform::ErrorNumberText(EISDIR);
        QTest::newRow("folder missing") << "missing" << number + Platform::ErrorNumberText(ENOENT);
        // A ledger locked by another program (after the busy wait): the database's own reason.
        QTest::newRow("ledger locked") << "locked" << QStringLiteral("：数据库文件正被其他程序使用");
    }
    void failingBackup()
    {
        QFETCH(QString, situation);
        QFETCH(QString, failure);
        Runs r;
        QVERIFY(r.start());
        QVERIFY(QDir().mkpath(r.backups()));
        QString target = r.backup(QStringLiteral("old.ddb"));
        std::unique_ptr<LedgerFile> locker;
        if (situation == QLatin1String("directory")) {
            QVERIFY(QDir().mkpath(target + QStringLiteral("/inside")));
        } else if (situation == QLatin1String("missing")) {
            target = r.backup(QStringLiteral("no such folder/old.ddb"));
        } else {
            QVERIFY(writeFile(target, "the previous backup"));
            locker = std::make_unique<LedgerFile>(r.ledger());
            QVERIFY(locker->exec(QStringLiteral("Begin Exclusive")));
        }
        const QByteArray old = fileHash(target);
        r.backUpTo(target);
        if (locker)
            QVERIFY(locker->exec(QStringLiteral("Rollback")));

        QCOMPARE(r.seams.messageTexts(), QStringList {QStringLiteral("数据库备份失败") + failure});
        QCOMPARE(fileHash(target), old);
        QVERIFY(temporaryFiles(r.backups()).isEmpty());
        QVERIFY(temporaryFiles(QFileInfo(target).absolutePath()).isEmpty());
        QVERIFY(r.connectionWorks());
    }

    void backupOntoTheOpenLedgerRefused()
    {
        Runs r;
        QVERIFY(r.start());
        const QByteArray before = fileHash(r.ledger());
        r.backUpTo(r.ledger());
        QCOMPARE(r.seams.messages.size(), 1);
        QCOMPARE(r.seams.messages[0].kind, Platform::MessageKind::Error);
        QCOMPARE(fileHash(r.ledger()), before);
        // Writes still reach the file on disk.
        QVERIFY(r.connectionWorks());
        LedgerFile peek(r.ledger(), LedgerFile::ReadOnly);
        QCOMPARE(
            peek.value(QStringLiteral("Select Count(*) From Parameter Where ParameterValue = '连接可用'"))
                .toInt(),
            1);
    }

    void restoreEndsTheRunAndTheNextStartShowsTheData()
    {
        Runs r;
        QVERIFY(r.start());
        const QString copy = r.backup(QStringLiteral("before.ddb"));
        r.backUpTo(copy);
        bool ok = false;
        ExecSql(Sql("Insert Into Parameter (ParameterType, ParameterValue) Values (4, '备份后客户')"), &ok);
        QVERIFY(ok);
        const int customers = count("Select Count(*) From Parameter Where ParameterType = 4");
        r.seams.clearMessages();

        r.restoreFrom(copy);
        QCOMPARE(r.seams.messages.size(), 2);
        QCOMPARE(r.seams.messages[0].kind, Platform::MessageKind::Question);
        QCOMPARE(r.seams.messages[0].text, RestoreQuestion);
        QCOMPARE(r.seams.messages[0].caption, QStringLiteral("恢复警告"));
        QCOMPARE(r.seams.messages[1].text, RestoreDone);
        const Platform::FileDialogRequest &request = r.seams.fileRequests.constLast();
        QCOMPARE(request.directory, r.backups());
        QCOMPARE(request.fileName, QStringLiteral("*.ddb"));
        QCOMPARE(request.filter, QStringLiteral("Ddb Files (*.ddb *.DDB)"));
        QCOMPARE(request.defaultSuffix, QStringLiteral("ddb"));
        // The main window closed, which ends the program; the connection is open until then.
        QVERIFY(!r.window()->isVisible());
        QVERIFY(ShareDataModule->isConnected());
        QCOMPARE(fileHash(r.ledger()), fileHash(copy));
        QVERIFY(temporaryFiles(r.folder.filePath(QStringLiteral("DataBase"))).isEmpty());

        QVERIFY(r.start());
        QCOMPARE(count("Select Count(*) From Parameter Where ParameterValue = '备份后客户'"), 0);
        QCOMPARE(count("Select Count(*) From Parameter Where ParameterType = 4"), customers - 1);
    }

    void restoreOfAnotherLedger()
    {
        // The demonstration data restored over the empty ledger is what the next run reads.
        Runs r;
        QVERIFY(r.start());
        QVERIFY(QDir().mkpath(r.backups()));
        const QString demo = r.backup(QStringLiteral("demo.ddb"));
        QVERIFY(QFile::copy(r.folder.filePath(QStringLiteral("DataBase/Demo.ddb")), demo));
        const int entries = LedgerFile(demo, LedgerFile::ReadOnly)
                                .value(QStringLiteral("Select Count(*) From MoneyTable"))
                                .toInt();
        QVERIFY(entries > 1);
        r.restoreFrom(demo);
        QCOMPARE(r.seams.lastMessage(), RestoreDone);
        QVERIFY(r.start());
        QCOMPARE(count("Select Count(*) From MoneyTable"), entries);
    }

    void nonLedgerRefused_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("text file") << "text";
        QTest::newRow("truncated ledger") << "truncated";
        QTest::newRow("sqlite without ledger tables") << "foreign";
        QTest::newRow("empty file") << "empty";
        // Put in place, a ledger of a newer version could not be opened.
        QTest::newRow("ledger of a newer version") << "newer";
    }
    void nonLedgerRefused()
    {
        QFETCH(QString, kind);
        Runs r;
        QVERIFY(r.start());
        QVERIFY(QDir().mkpath(r.backups()));
        const QString source = r.backup(QStringLiteral("chosen.ddb"));
        if (kind == QLatin1String("text")) {
            QVERIFY(writeFile(source, QByteArray("这不是数据库\n").repeated(400)));
        } else if (kind == QLatin1String("truncated")) {
            QFile demo(r.folder.filePath(QStringLiteral("DataBase/Demo.ddb")));
            QVERIFY(demo.open(QIODevice::ReadOnly));
            const QByteArray all = demo.readAll();
            QVERIFY(writeFile(source, all.left(all.size() / 2)));
        } else if (kind == QLatin1String("newer")) {
            QVERIFY(QFile::copy(r.folder.filePath(QStringLiteral("DataBase/Demo.ddb")), source));
            LedgerFile newer(source);
            QVERIFY(newer.exec(QStringLiteral("PRAGMA user_version = 99")));
        } else if (kind == QLatin1String("foreign")) {
            LedgerFile other(source);
            QVERIFY(other.exec(QStringLiteral("Create Table Notes (Text TEXT)")));
            QVERIFY(other.exec(QStringLiteral("Insert Into Notes Values ('x')")));
        } else {
            QVERIFY(writeFile(source, QByteArray()));
        }
        const QByteArray before = fileHash(r.ledger());
        const QByteArray chosen = fileHash(source);

        r.restoreFrom(source);
        QCOMPARE(r.seams.messages.size(), 2);
        QCOMPARE(r.seams.messages[1].kind, Platform::MessageKind::Error);
        QVERIFY2(r.seams.messages[1].text.startsWith(NotALedger), qPrintable(r.seams.messages[1].text));
        QVERIFY(r.seams.messages[1].text.contains(source));
        if (kind == QLatin1String("newer"))
            QVERIFY(r.seams.messages[1].text.contains(QStringLiteral("该帐套由更新版本的软件创建")));
        QVERIFY(r.window()->isVisible());
        QCOMPARE(fileHash(r.ledger()), before);
        QCOMPARE(fileHash(source), chosen);
        QVERIFY(r.connectionWorks());
    }

    void cancelledDialogsChangeNothing()
    {
        Runs r;
        QVERIFY(r.start());
        const QByteArray before = fileHash(r.ledger());
        r.backUpTo(QString());
        QVERIFY(r.seams.messages.isEmpty());
        QVERIFY(QDir(r.backups()).entryList(QDir::Files).isEmpty());

        // Restore: No to the question (no file dialog follows), then Yes and a cancelled dialog.
        r.seams.answerQuestions({false});
        r.run("ActionLoad");
        QCOMPARE(r.seams.fileRequests.size(), 1);
        r.seams.answerQuestions({true});
        r.seams.fileAnswers.enqueue(QString());
        r.run("ActionLoad");
        QCOMPARE(r.seams.fileRequests.size(), 2);
        QCOMPARE(r.seams.messageTexts(), (QStringList {RestoreQuestion, RestoreQuestion}));
        QVERIFY(r.window()->isVisible());
        QCOMPARE(fileHash(r.ledger()), before);
        QVERIFY(r.connectionWorks());
    }

    // The full-size copies that interrupted backups and restores leave (never shown in any
    // dialog) go with the next start, backup or restore; files the program did not make stay.
    void leftoversOfInterruptedCopiesGo_data()
    {
        QTest::addColumn<QString>("next");
        QTest::newRow("start") << "start";
        QTest::newRow("backup") << "backup";
        QTest::newRow("restore") << "restore";
    }
    void leftoversOfInterruptedCopiesGo()
    {
        QFETCH(QString, next);
        Runs r;
        const auto leaveCopies = [&r] {
            QVERIFY(QDir().mkpath(r.backups()));
            const QByteArray ledger = QByteArray(20000, 'x');
            for (int i = 0; i < 50; ++i)
                QVERIFY(writeFile(r.backup(QStringLiteral("翎溪流水帐Ⅲ2026-6-%1.ddb.quill-%2.tmp")
                                               .arg(i % 28 + 1)
                                               .arg(0x10000000 + i, 8, 16)),
                    ledger));
            QVERIFY(writeFile(r.ledger() + QStringLiteral(".quill-0badcafe.tmp"), ledger));
            QVERIFY(writeFile(r.settings() + QStringLiteral(".quill-deadbeef.tmp"), "[Quillbrook3]"));
            // Not the program's.
            QVERIFY(writeFile(r.backup(QStringLiteral("notes.tmp")), "mine"));
            QVERIFY(writeFile(r.backup(QStringLiteral("我的备份.ddb.quill-old.tmp")), "mine"));
        };
        if (next == QLatin1String("start")) {
            leaveCopies();
            QVERIFY(r.start());
        } else {
            QVERIFY(r.start());
            leaveCopies();
            if (next == QLatin1String("backup")) {
                r.backUpTo(r.backup(QStringLiteral("new.ddb")));
                QCOMPARE(r.seams.lastMessage(), BackupDone);
            } else {
                const QString demo = r.backup(QStringLiteral("demo.ddb"));
                QVERIFY(QFile::copy(r.folder.filePath(QStringLiteral("DataBase/Demo.ddb")), demo));
                r.restoreFrom(demo);
                QCOMPARE(r.seams.lastMessage(), RestoreDone);
            }
        }
        QCOMPARE(temporaryFiles(r.backups()), (QStringList {"notes.tmp", "我的备份.ddb.quill-old.tmp"}));
        QCOMPARE(temporaryFiles(r.folder.filePath(QStringLiteral("DataBase"))), QStringList {});
        QCOMPARE(temporaryFiles(r.folder.path()), QStringList {});
    }

    // A restored ledger holds the users' passwords: it gets the umask's permissions, not the
    // backup file's.
    void restoredLedgerTakesTheUmasksPermissions()
    {
        Runs r;
        QVERIFY(r.start());
        QVERIFY(QDir().mkpath(r.backups()));
        const QString demo = r.backup(QStringLiteral("demo.ddb"));
        QVERIFY(QFile::copy(r.folder.filePath(QStringLiteral("DataBase/Demo.ddb")), demo));
        QVERIFY(QFile::setPermissions(demo, QFile::permissions(demo) | QFile::ReadOther | QFile::ReadGroup));
        const mode_t saved = ::umask(077);
        r.restoreFrom(demo);
        ::umask(saved);
        QCOMPARE(r.seams.lastMessage(), RestoreDone);
        QCOMPARE(QFile::permissions(r.ledger()),
            QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
    }

    void failedRestoreCopyKeepsTheLedger()
    {
        Runs r;
        QVERIFY(r.start());
        QVERIFY(QDir().mkpath(r.backups()));
        const QString demo = r.backup(QStringLiteral("demo.ddb"));
        QVERIFY(QFile::copy(r.folder.filePath(QStringLiteral("DataBase/Demo.ddb")), demo));
        const QByteArray before = fileHash(r.ledger());

        // Files may not grow beyond a few pages: the copy beside the ledger fails part-way.
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit saved {};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        rlimit small = saved;
        small.rlim_cur = 8192;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        r.restoreFrom(demo);
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);

        QCOMPARE(r.seams.messages.size(), 2);
        QCOMPARE(r.seams.messages[1].kind, Platform::MessageKind::Error);
        // The system's own error number and text.
        QCOMPARE(r.seams.messages[1].text,
            QStringLiteral("数据库恢复失败，失败号为：") + Platform::ErrorNumberText(EFBIG));
        QVERIFY(r.window()->isVisible());
        QCOMPARE(fileHash(r.ledger()), before);
        QVERIFY(temporaryFiles(r.folder.filePath(QStringLiteral("DataBase"))).isEmpty());
        QVERIFY(r.connectionWorks());
    }
};

QUILL_TEST_MAIN(TestBackup)
#include "tst_backup.moc"
