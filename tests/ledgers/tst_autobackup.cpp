#include "ledgers/AutoBackup.h"
#include "ledgers/LedgerBackup.h"
#include "ledgers/UserLogin.h"
#include "platform/Seams.h"
#include "storage/ShareDM.h"
#include "support/LedgerFile.h"
#include "support/ProgramRun.h"
#include "support/TestMain.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

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
    // A new run of the program in the same folder on day, as the cashier; the day's copy made.
    bool startOn(const QDate &day)
    {
        program.reset();
        seams.today = day;
        const bool started = startAs(Cashier);
        QCoreApplication::processEvents();
        return started;
    }
    // Another login during the same run.
    bool logInAgain(const QDate &day)
    {
        seams.today = day;
        const bool in = LogInUser(Cashier, QString());
        QCoreApplication::processEvents();
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

    void switchedOffMakesNoCopy()
    {
        AutoRun r;
        r.writeSetting(QStringLiteral("AutoBackup"), QStringLiteral("0"));
        QVERIFY(r.startOn(FirstDay));
        QVERIFY(r.copies().isEmpty());
    }

    // Root writes into read-only folders: a file where the folder should be stands for one.
    void aCopyThatCannotBeWrittenIsReportedOnce()
    {
        AutoRun r;
        QVERIFY(QDir().mkpath(r.folder.filePath(QStringLiteral("数据库备份"))));
        QFile blocker(r.autoFolder());
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QVERIFY(r.startOn(FirstDay));
        QCOMPARE(r.seams.messages.size(), 1);
        QVERIFY(r.seams.lastMessage().startsWith(QStringLiteral("自动备份失败")));
        QVERIFY(r.window()->isVisible());
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
            QVERIFY(other.exec(QStringLiteral("Insert Into MoneyTable (MoneyKind, MoneyAccount, MoneySum) "
                                              "Values ('财务支出', 999, -5)")));
        }
        QVERIFY(r.startOn(FirstDay));
        QVERIFY(!r.seams.messages.isEmpty());
        const QString text = r.seams.messages.first().text;
        QVERIFY2(text.contains(QStringLiteral("“Default.ddb”") + Damaged), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("有1条收支记录所属的帐户已不存在")), qPrintable(text));
    }
};

QUILL_TEST_MAIN(TestAutoBackup)
#include "tst_autobackup.moc"
