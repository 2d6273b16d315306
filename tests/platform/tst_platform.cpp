#include "platform/FileOps.h"
#include "platform/IniProfile.h"
#include "platform/InstanceLock.h"
#include "platform/Seams.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStringEncoder>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>

using namespace Platform;

class TestPlatform : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;
    QString ini() const { return dir.filePath(QStringLiteral("Quillbrook.ini")); }
    void writeFile(const QString &path, const QByteArray &bytes)
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray readFile(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private slots:
    void init() { QFile::remove(ini()); }

    void readGivesDefaultWhenMissing_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::newRow("no file") << QByteArray() << "Quillbrook3" << "LoginMode";
        QTest::newRow("no section") << QByteArray("[Other]\nLoginMode=x\n") << "Quillbrook3" << "LoginMode";
        QTest::newRow("no key") << QByteArray("[Quillbrook3]\nUserName=x\n") << "Quillbrook3" << "LoginMode";
        QTest::newRow("key in a later section") << QByteArray("[Quillbrook3]\n[日记帐簿]\nLoginMode=x\n")
                                                << "Quillbrook3" << "LoginMode";
        QTest::newRow("comment line") << QByteArray("[Quillbrook3]\n;LoginMode=x\n") << "Quillbrook3" << "LoginMode";
    }
    void readGivesDefaultWhenMissing()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, section);
        QFETCH(QString, key);
        if (!content.isNull())
            writeFile(ini(), content);
        QCOMPARE(ReadProfileString(section, key, QStringLiteral("默认"), ini()), QStringLiteral("默认"));
    }

    void readFindsValues_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain") << QByteArray("[Quillbrook3]\nUserName=出纳\n") << "Quillbrook3" << "UserName" << "出纳";
        QTest::newRow("names ignore case") << QByteArray("[QUILLBROOK3]\nusername=出纳\n") << "quillbrook3"
                                           << "UserName" << "出纳";
        QTest::newRow("blanks trimmed") << QByteArray("  [ Quillbrook3 ]  \r\n  UserName =  出纳  \r\n")
                                        << "Quillbrook3" << "UserName" << "出纳";
        QTest::newRow("quotes stripped") << QByteArray("[Quillbrook3]\nUserName=\"出纳 一\"\n") << "Quillbrook3"
                                         << "UserName" << "出纳 一";
        QTest::newRow("chinese section and key") << QByteArray("[日记帐簿]\nMoneyIndex=77\n[Quillbrook3]\n帐户排序方式=2\n")
                                                 << "Quillbrook3" << "帐户排序方式" << "2";
        QTest::newRow("empty value") << QByteArray("[Quillbrook3]\nLoginDatabase=\n") << "Quillbrook3"
                                     << "LoginDatabase" << "";
        QTest::newRow("utf-8 bom") << QByteArray("\xEF\xBB\xBF[Quillbrook3]\nUserName=出纳\n") << "Quillbrook3"
                                   << "UserName" << "出纳";
    }
    void readFindsValues()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        writeFile(ini(), content);
        QCOMPARE(ReadProfileString(section, key, QStringLiteral("默认"), ini()), expected);
    }

    void readsLegacyGbkFile()
    {
        QStringEncoder gbk("GBK");
        QVERIFY(gbk.isValid());
        const QByteArray bytes = gbk.encode(QStringLiteral("[Quillbrook3]\r\n帐户排序方式=1\r\nUserName=出纳\r\n"
                                                           "LoginMode=软件启动时首先弹出帐套选择框\r\n"));
        writeFile(ini(), bytes);
        QCOMPARE(ReadProfileString("Quillbrook3", QStringLiteral("帐户排序方式"), "0", ini()), QStringLiteral("1"));
        QCOMPARE(ReadProfileString("Quillbrook3", "UserName", "", ini()), QStringLiteral("出纳"));
        QCOMPARE(ReadProfileString("Quillbrook3", "LoginMode", "", ini()),
                 QStringLiteral("软件启动时首先弹出帐套选择框"));
    }

    void writeCreatesFileSectionAndKey()
    {
        QVERIFY(WriteProfileString("Quillbrook3", QStringLiteral("批量开单功能"), QStringLiteral("开启"), ini()));
        QVERIFY(WriteProfileString(QStringLiteral("日记帐簿"), "MoneyIndex", "50", ini()));
        const QByteArray bytes = readFile(ini());
        // Chinese names are written literally, as UTF-8.
        QVERIFY(bytes.contains(QStringLiteral("批量开单功能=开启").toUtf8()));
        QVERIFY(bytes.contains(QStringLiteral("[日记帐簿]").toUtf8()));
        QCOMPARE(ReadProfileString("Quillbrook3", QStringLiteral("批量开单功能"), "", ini()), QStringLiteral("开启"));
        QCOMPARE(ReadProfileString(QStringLiteral("日记帐簿"), "moneyindex", "", ini()), QStringLiteral("50"));
    }

    void writeKeepsEveryOtherLine()
    {
        const QByteArray before = "; settings of the program\r\n"
                                  "[Quillbrook3]\r\n"
                                  "UserName=出纳\r\n"
                                  "; a note of the user\r\n"
                                  "PrintType=横向打印\r\n"
                                  "\r\n"
                                  "[报表中心]\r\n"
                                  "MoneyIndex=50\r\n";
        writeFile(ini(), before);
        QVERIFY(WriteProfileString("QUILLBROOK3", "printtype", QStringLiteral("纵向打印"), ini()));
        QVERIFY(WriteProfileString("Quillbrook3", "BillPrint", QStringLiteral("开单时自动打印"), ini()));
        const QByteArray expected = "; settings of the program\r\n"
                                    "[Quillbrook3]\r\n"
                                    "UserName=出纳\r\n"
                                    "; a note of the user\r\n"
                                    "PrintType=纵向打印\r\n"
                                    "BillPrint=开单时自动打印\r\n"
                                    "\r\n"
                                    "[报表中心]\r\n"
                                    "MoneyIndex=50\r\n";
        QCOMPARE(QString::fromUtf8(readFile(ini())), QString::fromUtf8(expected));
    }

    void longValuesAreStoredWhole()
    {
        const QString path = QStringLiteral("[RunPath]\\") + QString(3000, QChar(0x5E10)) + QStringLiteral(".ddb");
        QVERIFY(WriteProfileString("Quillbrook3", "LoginDatabase", path, ini()));
        QCOMPARE(ReadProfileString("Quillbrook3", "LoginDatabase", "", ini()), path);
    }

    void writeFailsIntoMissingFolder()
    {
        QVERIFY(!WriteProfileString("Quillbrook3", "UserName", "x", dir.filePath("no/such/folder.ini")));
    }

    void fileOperationsReportErrorNumbers()
    {
        const QString source = dir.filePath("source.ddb");
        const QString target = dir.filePath("target.ddb");
        writeFile(source, "new");
        writeFile(target, "old");
        QCOMPARE(CopyFileReplacing(dir.filePath("missing.ddb"), target), ENOENT);
        QCOMPARE(readFile(target), QByteArray("old"));
        QCOMPARE(CopyFileNew(source, target), EEXIST);
        QCOMPARE(CopyFileReplacing(source, target), 0);
        QCOMPARE(readFile(target), QByteArray("new"));
        QCOMPARE(RenameFile(source, dir.filePath("no/folder/x.ddb")), ENOENT);
        QVERIFY(QFile::exists(source));
        QCOMPARE(MakeFolder(dir.filePath("a/b")), 0);
        QVERIFY(MakeFolder(target) != 0); // a file is in the way
    }

    void atomicReplaceLeavesTargetOnFailure()
    {
        const QString target = dir.filePath("current.ddb");
        writeFile(target, "current");
        QVERIFY(ReplaceFileAtomically(dir.filePath("missing.ddb"), target) != 0);
        QCOMPARE(readFile(target), QByteArray("current"));
        const QString source = dir.filePath("backup.ddb");
        writeFile(source, "restored");
        QCOMPARE(ReplaceFileAtomically(source, target), 0);
        QCOMPARE(readFile(target), QByteArray("restored"));
        QCOMPARE(QDir(dir.path()).entryList({"*.tmp"}).size(), 0);
    }

    void secondInstanceIsRefused()
    {
        QTemporaryDir lockDir;
        auto first = std::make_unique<SingleInstanceLock>(lockDir.path());
        QVERIFY(first->tryAcquire());
        SingleInstanceLock second(lockDir.path());
        QVERIFY(!second.tryAcquire());
        first.reset();
        QVERIFY(second.tryAcquire());
    }

    void staleLockOfDeadProcessIsTakenOver()
    {
        QTemporaryDir lockDir;
        QProcess finished;
        finished.start(QStringLiteral("true"));
        QVERIFY(finished.waitForFinished());
        const qint64 deadPid = finished.processId() > 0 ? finished.processId() : 999999;
        SingleInstanceLock probe(lockDir.path());
        writeFile(probe.lockFilePath(),
                  QByteArray::number(deadPid) + "\n" + QCoreApplication::applicationName().toUtf8() + "\n"
                      + QSysInfo::machineHostName().toUtf8() + "\n");
        QVERIFY(probe.tryAcquire());
    }

    void todayComesFromTheSeam()
    {
        Seams::handlers().today = [] { return QDate(2006, 6, 15); };
        QCOMPARE(Today(), QDate(2006, 6, 15));
        Seams::reset();
        QCOMPARE(Today(), QDate::currentDate());
    }
};

QTEST_MAIN(TestPlatform)
#include "tst_platform.moc"
