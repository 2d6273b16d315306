#include "platform/FileOps.h"
#include "platform/IniProfile.h"
#include "platform/InstanceLock.h"
#include "platform/Seams.h"
#include "platform/Spreadsheet.h"
#include "support/SheetCells.h"
#include "support/TestMain.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStringEncoder>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include <cerrno>
#include <sys/stat.h>

using namespace Platform;
using TestSupport::cellName;
using TestSupport::readFile;
using TestSupport::readSheet;
using TestSupport::writeFile;

class TestPlatform : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;
    QString ini() const { return dir.filePath(QStringLiteral("Quillbrook.ini")); }

private slots:
    void init() { QFile::remove(ini()); }

    void readGivesDefaultWhenMissing_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::newRow("no file") << QByteArray() << "Quillbrook3"
                                 << "LoginMode";
        QTest::newRow("no section") << QByteArray("[Other]\nLoginMode=x\n") << "Quillbrook3"
                                    << "LoginMode";
        QTest::newRow("no key") << QByteArray("[Quillbrook3]\nUserName=x\n") << "Quillbrook3"
                                << "LoginMode";
        QTest::newRow("key in a later section")
            << QByteArray("[Quillbrook3]\n[日记帐簿]\nLoginMode=x\n") << "Quillbrook3"
            << "LoginMode";
        QTest::newRow("comment line") << QByteArray("[Quillbrook3]\n;LoginMode=x\n") << "Quillbrook3"
                                      << "LoginMode";
    }
    void readGivesDefaultWhenMissing()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, section);
        QFETCH(QString, key);
        if (!content.isNull())
            QVERIFY(writeFile(ini(), content));
        QCOMPARE(ReadProfileString(section, key, QStringLiteral("默认"), ini()), QStringLiteral("默认"));
    }

    void readFindsValues_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain") << QByteArray("[Quillbrook3]\nUserName=出纳\n") << "Quillbrook3"
                               << "UserName"
                               << "出纳";
        QTest::newRow("names ignore case") << QByteArray("[QUILLBROOK3]\nusername=出纳\n") << "quillbrook3"
                                           << "UserName"
                                           << "出纳";
        QTest::newRow("blanks trimmed")
            << QByteArray("  [ Quillbrook3 ]  \r\n  UserName =  出纳  \r\n") << "Quillbrook3"
            << "UserName"
            << "出纳";
        QTest::newRow("quotes stripped")
            << QByteArray("[Quillbrook3]\nUserName=\"出纳 一\"\n") << "Quillbrook3"
            << "UserName"
            << "出纳 一";
        QTest::newRow("chinese section and key")
            << QByteArray("[日记帐簿]\nMoneyIndex=77\n[Quillbrook3]\n帐户排序方式=2\n") << "Quillbrook3"
            << "帐户排序方式"
            << "2";
        QTest::newRow("empty value") << QByteArray("[Quillbrook3]\nLoginDatabase=\n") << "Quillbrook3"
                                     << "LoginDatabase"
                                     << "";
        QTest::newRow("utf-8 bom") << QByteArray("\xEF\xBB\xBF[Quillbrook3]\nUserName=出纳\n")
                                   << "Quillbrook3"
                                   << "UserName"
                                   << "出纳";
    }
    void readFindsValues()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        QVERIFY(writeFile(ini(), content));
        QCOMPARE(ReadProfileString(section, key, QStringLiteral("默认"), ini()), expected);
    }

    void readsLegacyGbkFile()
    {
        QStringEncoder gbk("GBK");
        QVERIFY(gbk.isValid());
        const QByteArray bytes
            = gbk.encode(QStringLiteral("[Quillbrook3]\r\n帐户排序方式=1\r\nUserName=出纳\r\n"
                                        "LoginMode=软件启动时首先弹出帐套选择框\r\n"));
        QVERIFY(writeFile(ini(), bytes));
        QCOMPARE(ReadProfileString("Quillbrook3", QStringLiteral("帐户排序方式"), "0", ini()),
            QStringLiteral("1"));
        QCOMPARE(ReadProfileString("Quillbrook3", "UserName", "", ini()), QStringLiteral("出纳"));
        QCOMPARE(ReadProfileString("Quillbrook3", "LoginMode", "", ini()),
            QStringLiteral("软件启动时首先弹出帐套选择框"));
    }

    // A UTF-8 file with one line added by hand in GBK: every line keeps its own value, and the
    // next write stores the others unchanged.
    void oneLineInAnotherEncoding()
    {
        QStringEncoder gbk("GBK");
        const QByteArray bytes = QStringLiteral("[Quillbrook3]\n帐户排序方式=1\nUserName=出纳\n").toUtf8()
            + gbk.encode(QStringLiteral("PrintType=横向打印\n"))
            + QStringLiteral("LoginMode=软件启动时首先弹出帐套选择框\n").toUtf8();
        writeFile(ini(), bytes);
        QCOMPARE(ReadProfileString("Quillbrook3", QStringLiteral("帐户排序方式"), "0", ini()),
            QStringLiteral("1"));
        QCOMPARE(ReadProfileString("Quillbrook3", "UserName", "", ini()), QStringLiteral("出纳"));
        QCOMPARE(ReadProfileString("Quillbrook3", "PrintType", "", ini()), QStringLiteral("横向打印"));
        QVERIFY(WriteProfileString("Quillbrook3", "BillPrint", QStringLiteral("开单时自动打印"), ini()));
        QCOMPARE(QString::fromUtf8(readFile(ini())),
            QStringLiteral("[Quillbrook3]\n帐户排序方式=1\nUserName=出纳\nPrintType=横向打印\n"
                           "LoginMode=软件启动时首先弹出帐套选择框\nBillPrint=开单时自动打印\n"));
    }

    // A file written whole keeps the permissions of the file it replaces; a copy gets what the
    // umask gives a new file, never its source's.
    void writtenFilesPermissions()
    {
        const QString settings = dir.filePath("kept.ini");
        writeFile(settings, "old");
        QVERIFY(QFile::setPermissions(
            settings, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser));
        QCOMPARE(WriteFileWhole(settings, "new"), 0);
        QCOMPARE(readFile(settings), QByteArray("new"));
        QCOMPARE(QFile::permissions(settings),
            QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);

        const QString source = dir.filePath("open.ddb");
        writeFile(source, "ledger");
        QVERIFY(
            QFile::setPermissions(source, QFile::permissions(source) | QFile::ReadOther | QFile::WriteOther));
        const QString copy = dir.filePath("copy.ddb");
        const mode_t saved = ::umask(077);
        const int copied = CopyFileWhole(source, copy);
        ::umask(saved);
        QCOMPARE(copied, 0);
        QCOMPARE(readFile(copy), QByteArray("ledger"));
        QCOMPARE(QFile::permissions(copy),
            QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
        QCOMPARE(CopyFileWhole(source, copy, Replace::Never), EEXIST);
        QCOMPARE(QDir(dir.path()).entryList({"*.tmp"}, QDir::Files | QDir::Hidden), QStringList {});
    }

    // Only temporaries of this program's own naming are removed as left-overs.
    void leftoverTemporaries_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("removed");
        QTest::newRow("backup copy") << "翎溪流水帐Ⅲ2026-6-15.ddb.quill-0a1b2c3d.tmp" << true;
        QTest::newRow("settings") << "Quillbrook.ini.quill-ffffffff.tmp" << true;
        QTest::newRow("a user's temporary file") << "notes.tmp" << false;
        QTest::newRow("too short a tag") << "x.ddb.quill-0a1b2c.tmp" << false;
        QTest::newRow("capital letters") << "x.ddb.quill-0A1B2C3D.tmp" << false;
        QTest::newRow("more after it") << "x.ddb.quill-0a1b2c3d.tmp.bak" << false;
        QTest::newRow("a new ledger waiting for its name") << "x.ddb.quill-new.tmp" << false;
    }
    void leftoverTemporaries()
    {
        QFETCH(QString, name);
        QFETCH(bool, removed);
        QTemporaryDir folder;
        writeFile(folder.filePath(name), "x");
        // A folder and a link of that naming are never taken for files of ours.
        QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("d.quill-12345678.tmp")));
        QVERIFY(QFile::link(folder.filePath(name), folder.filePath(QStringLiteral("l.quill-87654321.tmp"))));
        QCOMPARE(RemoveLeftoverTemporaries(folder.path()), removed ? 1 : 0);
        QCOMPARE(QFile::exists(folder.filePath(name)), !removed);
        QVERIFY(QFileInfo(folder.filePath(QStringLiteral("d.quill-12345678.tmp"))).isDir());
        QVERIFY(QFileInfo(folder.filePath(QStringLiteral("l.quill-87654321.tmp"))).isSymLink());
    }

    void writeCreatesFileSectionAndKey()
    {
        QVERIFY(
            WriteProfileString("Quillbrook3", QStringLiteral("批量开单功能"), QStringLiteral("开启"), ini()));
        QVERIFY(WriteProfileString(QStringLiteral("日记帐簿"), "MoneyIndex", "50", ini()));
        const QByteArray bytes = readFile(ini());
        // Chinese names are written literally, as UTF-8.
        QVERIFY(bytes.contains(QStringLiteral("批量开单功能=开启").toUtf8()));
        QVERIFY(bytes.contains(QStringLiteral("[日记帐簿]").toUtf8()));
        QCOMPARE(ReadProfileString("Quillbrook3", QStringLiteral("批量开单功能"), "", ini()),
            QStringLiteral("开启"));
        QCOMPARE(
            ReadProfileString(QStringLiteral("日记帐簿"), "moneyindex", "", ini()), QStringLiteral("50"));
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
        QVERIFY(writeFile(ini(), before));
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
        const QString path
            = QStringLiteral("[RunPath]\\") + QString(3000, QChar(0x5E10)) + QStringLiteral(".ddb");
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
        QVERIFY(writeFile(source, "new"));
        QVERIFY(writeFile(target, "old"));
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
        QVERIFY(writeFile(target, "current"));
        QVERIFY(ReplaceFileAtomically(dir.filePath("missing.ddb"), target) != 0);
        QCOMPARE(readFile(target), QByteArray("current"));
        const QString source = dir.filePath("backup.ddb");
        QVERIFY(writeFile(source, "restored"));
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
        QVERIFY(writeFile(probe.lockFilePath(),
            QByteArray::number(deadPid) + "\n" + QCoreApplication::applicationName().toUtf8() + "\n"
                + QSysInfo::machineHostName().toUtf8() + "\n"));
        QVERIFY(probe.tryAcquire());
    }

    void todayComesFromTheSeam()
    {
        Seams::handlers().today = [] { return QDate(2006, 6, 15); };
        QCOMPARE(Today(), QDate(2006, 6, 15));
        Seams::reset();
        QCOMPARE(Today(), QDate::currentDate());
    }

private slots:
    void spreadsheetKeepsTextAsTextAndNumbersAsNumbers_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<QVariant>("value"); // a QString is written as text, a double as a number
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("stored");
        QTest::newRow("date line") << 1 << 1 << QVariant(QStringLiteral("日期:2026年06月15日")) << "s"
                                   << QStringLiteral("日期:2026年06月15日");
        QTest::newRow("column title")
            << 3 << 2 << QVariant(QStringLiteral("单据编号")) << "s" << QStringLiteral("单据编号");
        QTest::newRow("digits with leading zeros") << 4 << 2 << QVariant(QStringLiteral("000123")) << "s"
                                                   << "000123";
        QTest::newRow("number-like text") << 4 << 3 << QVariant(QStringLiteral("12.50")) << "s"
                                          << "12.50";
        QTest::newRow("amount") << 4 << 6 << QVariant(12.5) << "n"
                                << "12.5";
        QTest::newRow("negative amount") << 5 << 8 << QVariant(-30.25) << "n"
                                         << "-30.25";
        QTest::newRow("whole number") << 40 << 27 << QVariant(42.0) << "n"
                                      << "42";
        QTest::newRow("control character") << 6 << 1
                                           << QVariant(QStringLiteral("a\x01"
                                                                      "b"))
                                           << "s"
                                           << "a_x0001_b";
        QTest::newRow("escape look-alike") << 6 << 2 << QVariant(QStringLiteral("_x0041_")) << "s"
                                           << "_x005F_x0041_";
        QTest::newRow("empty text") << 6 << 3 << QVariant(QString()) << ""
                                    << "";
    }
    void spreadsheetKeepsTextAsTextAndNumbersAsNumbers()
    {
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(QVariant, value);
        QFETCH(QString, type);
        QFETCH(QString, stored);
        const QString path = dir.filePath(QStringLiteral("导出.xlsx"));
        // Written row by row, the sheet keeps its text in the cells; the cells read the same.
        for (const Spreadsheet::Order order : {Spreadsheet::Order::Any, Spreadsheet::Order::RowByRow}) {
            QString error;
            {
                Spreadsheet book;
                QVERIFY2(book.newWorkbook(path, &error, order), qPrintable(error));
                auto other = [&] { return book.setText(2, 1, QStringLiteral("其他"), &error); };
                auto cell = [&] {
                    return value.typeId() == QMetaType::Double
                        ? book.setNumber(row, column, value.toDouble(), &error)
                        : book.setText(row, column, value.toString(), &error);
                };
                // The rows from the top, as a sheet written row by row needs them.
                const bool written = row < 2 ? cell() && other() : other() && cell();
                QVERIFY2(written, qPrintable(error));
                QVERIFY2(book.save(&error), qPrintable(error));
            }
            const auto cells = readSheet(path);
            QCOMPARE(
                cells.value(QStringLiteral("A2")), qMakePair(QStringLiteral("s"), QStringLiteral("其他")));
            QCOMPARE(cells.value(cellName(row, column)), qMakePair(type, stored));
            // Only the finished file is left in the folder.
            QCOMPARE(
                QDir(dir.path()).entryList({QStringLiteral("*.tmp")}, QDir::Files | QDir::Hidden).size(), 0);
            QFile::remove(path);
        }
    }

    void spreadsheetFailuresAreReported()
    {
        QString error;
        Spreadsheet book;
        QVERIFY(!book.setText(1, 1, QStringLiteral("x"), &error)); // no workbook yet
        QVERIFY(!error.isEmpty());
        error.clear();
        const QString missing = dir.filePath(QStringLiteral("no/such/folder/导出.xlsx"));
        QVERIFY(!book.newWorkbook(missing, &error));
        QVERIFY(error.contains(dir.filePath(QStringLiteral("no/such/folder"))));
        QVERIFY(!QFile::exists(missing));

        const QString path = dir.filePath(QStringLiteral("range.xlsx"));
        QVERIFY(book.newWorkbook(path, &error));
        for (const QPoint cell : {QPoint(0, 1), QPoint(1, 0), QPoint(1048577, 1), QPoint(1, 16385)}) {
            error.clear();
            QVERIFY(!book.setText(cell.x(), cell.y(), QStringLiteral("x"), &error));
            QVERIFY(!error.isEmpty());
        }
        QVERIFY(!book.setNumber(1, 1, std::nan(""), &error));
        QVERIFY(!book.setText(1, 1, QString(32768, QLatin1Char('x')), &error)); // longer than a cell holds
        QVERIFY(book.setNumber(1048576, 16384, 1, &error)); // the last cell is fine
        {
            Spreadsheet unsaved;
            QVERIFY(unsaved.newWorkbook(dir.filePath(QStringLiteral("unsaved.xlsx")), &error));
            QVERIFY(unsaved.setText(1, 1, QStringLiteral("x"), &error));
        }
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("unsaved.xlsx"))));
        QCOMPARE(QDir(dir.path()).entryList({QStringLiteral("*.tmp")}, QDir::Files | QDir::Hidden).size(), 0);
        QVERIFY(book.save(&error));
        QCOMPARE(readSheet(path).value(QStringLiteral("XFD1048576")).second, QStringLiteral("1"));
        QVERIFY(!book.save(&error)); // saved once; the workbook is closed

        // Row by row, a cell above a row already written is refused, not lost in silence.
        const QString rows = dir.filePath(QStringLiteral("rows.xlsx"));
        QVERIFY(book.newWorkbook(rows, &error, Spreadsheet::Order::RowByRow));
        QVERIFY(book.setText(3, 2, QStringLiteral("x"), &error) && book.setNumber(3, 1, 1, &error));
        error.clear();
        QVERIFY(!book.setText(2, 1, QStringLiteral("y"), &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(book.save(&error));
        QStringList written = readSheet(rows).keys();
        written.sort();
        QCOMPARE(written, QStringList({QStringLiteral("A3"), QStringLiteral("B3")}));

        // The folder goes away while the workbook is being filled.
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("gone")));
        const QString late = dir.filePath(QStringLiteral("gone/late.xlsx"));
        QVERIFY(book.newWorkbook(late, &error));
        QVERIFY(book.setText(1, 1, QStringLiteral("x"), &error));
        QVERIFY(QDir(dir.filePath(QStringLiteral("gone"))).removeRecursively());
        error.clear();
        QVERIFY(!book.save(&error));
        QVERIFY(error.contains(late));
        QVERIFY(!QFile::exists(late));
    }

    void spreadsheetOpensWithTheDesktop()
    {
        TestSupport::Seams seams;
        const QString path = dir.filePath(QStringLiteral("open.xlsx"));
        QString error;
        QVERIFY(!OpenSpreadsheet(path, &error)); // not written yet: the desktop is not asked
        QVERIFY(seams.openedWithDesktop.isEmpty());
        Spreadsheet book;
        QVERIFY(book.newWorkbook(path, &error) && book.setNumber(1, 1, 1, &error) && book.save(&error));
        QVERIFY2(OpenSpreadsheet(path, &error), qPrintable(error));
        QCOMPARE(seams.openedWithDesktop, QStringList {path});
        seams.desktopOpenSucceeds = false;
        error.clear();
        QVERIFY(!OpenSpreadsheet(path, &error));
        QVERIFY(!error.isEmpty());
    }
};

QUILL_TEST_MAIN(TestPlatform)
#include "tst_platform.moc"
