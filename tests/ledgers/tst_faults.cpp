// The program meeting a full disk, a read-only or locked database: every change either
// happens whole or leaves what was there untouched and says why, and works again once the
// obstacle is gone.

#include "app/Dialogs.h"
#include "app/MainForm.h"
#include "ledgers/DBChoseForm.h"
#include "ledgers/DBForm.h"
#include "ledgers/LedgerRegistry.h"
#include "ledgers/UserLogin.h"
#include "platform/FileOps.h"
#include "printing/DesignerForm.h"
#include "support/ProgramRun.h"
#include "support/SmallDisk.h"
#include "support/TestMain.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCryptographicHash>
#include <QDir>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>

#include <cerrno>
#include <memory>

using namespace TestSupport;

namespace {
const QString DiskFull = QStringLiteral("，失败号为：") + Platform::ErrorNumberText(ENOSPC);
const QString SqlFailed = QStringLiteral("SQL命令执行出错");

// Temporary files anywhere in the program folder.
QStringList temporaries(const QString &folder)
{
    QStringList found;
    for (const QString &sub :
        {QString(), QStringLiteral("DataBase"), QStringLiteral("数据库备份"), QStringLiteral("Frf")})
        found += QDir(folder + sub).entryList({QStringLiteral("*.tmp")}, QDir::Files | QDir::Hidden);
    return found;
}

// A program run whose program folder (and lock folder) lies on the small disk.
std::unique_ptr<Run> runOn(const SmallDisk &disk)
{
    TemporaryFoldersIn onDisk(disk.path());
    return std::make_unique<Run>();
}

// The designer opened on a template, with the text edited, saved once.
void saveEditedTemplate(Run &r, const QString &name)
{
    r.seams.onDialog(QStringLiteral("TFormDesigner"), [&](QDialog *d) {
        auto *list = d->findChild<QListWidget *>(QStringLiteral("TemplateList"));
        list->setCurrentRow(0); // whatever the editor held before, the template comes from its file
        list->setCurrentRow(list->row(list->findItems(name, Qt::MatchExactly).first()));
        auto *editor = d->findChild<QPlainTextEdit *>(QStringLiteral("TemplateEditor"));
        editor->setPlainText(
            editor->toPlainText().replace(QStringLiteral("财务报表"), QStringLiteral("收支明细")));
        d->findChild<QPushButton *>(QStringLiteral("SaveButton"))->click();
    });
    OpenTemplateDesigner(r.window());
}
} // namespace

class TestFaults : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    // A full disk: the failure is shown with the system's ENOSPC, the files that were there
    // are as they were, no temporary copy stays, and the same change works once there is room.
    void fullDisk_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("failure");
        QTest::addColumn<QString>("success");
        QTest::addColumn<QStringList>("kept"); // files that must not change
        QTest::newRow("settings at login")
            << "settings"
            << "设置文件保存失败" + DiskFull << "" << QStringList {"Quillbrook.ini"};
        QTest::newRow("template") << "template"
                                  << "模板保存失败：%1" + DiskFull << "模板保存成功：%1"
                                  << QStringList {"Frf/Report.frf"};
        QTest::newRow("ledger creation")
            << "ledger"
            << "帐套数据库创建失败" + DiskFull << "帐套新增成功" << QStringList {"Quillbrook3.MDB"};
        QTest::newRow("backup") << "backup"
                                << "数据库备份失败" + DiskFull << "恭喜您，数据库备份成功"
                                << QStringList {"数据库备份/old.ddb", "DataBase/Default.ddb"};
        QTest::newRow("restore") << "restore"
                                 << "数据库恢复失败" + DiskFull << "恭喜您，数据库恢复成功，请重新启动软件"
                                 << QStringList {"DataBase/Default.ddb", "数据库备份/demo.ddb"};
    }
    void fullDisk()
    {
        QFETCH(QString, change);
        QFETCH(QString, failure);
        QFETCH(QString, success);
        QFETCH(QStringList, kept);
        SmallDisk disk(16 << 20);
        if (!disk.isMounted())
            QSKIP(qPrintable(disk.whyNot()));
        std::unique_ptr<Run> r = runOn(disk);
        Run &run = *r;
        const QString folder = run.folder.path();
        const QString frf = run.folder.filePath(QStringLiteral("Frf/Report.frf"));
        QVERIFY(run.startAs(Administrator));
        run.seams.fileAnswers.enqueue(run.folder.filePath(QStringLiteral("数据库备份/old.ddb")));
        trigger(run.window(), QStringLiteral("ActionSave")); // the older backup
        QVERIFY(QFile::copy(run.folder.filePath(QStringLiteral("DataBase/Demo.ddb")),
            run.folder.filePath(QStringLiteral("数据库备份/demo.ddb"))));

        const std::function<void()> attempt = [&] {
            if (change == QLatin1String("settings")) {
                LogInUser(Cashier, QString()); // every login remembers its user
            } else if (change == QLatin1String("template")) {
                run.seams.answerQuestions({false}); // leaving unsaved edits
                saveEditedTemplate(run, QStringLiteral("Report.frf"));
            } else if (change == QLatin1String("ledger")) {
                QVERIFY(
                    OpenLedgerConnection(folder + QStringLiteral("Quillbrook3.MDB"), DatabaseKind::Master));
                Ledgers::AddLedger({QStringLiteral("分公司帐套"),
                    QStringLiteral("[RunPath]\\DataBase\\分公司帐套.ddb"), {}, {}, QDate(2026, 6, 15)});
            } else if (change == QLatin1String("backup")) {
                run.seams.fileAnswers.enqueue(run.folder.filePath(QStringLiteral("数据库备份/old.ddb")));
                trigger(run.window(), QStringLiteral("ActionSave"));
            } else {
                run.seams.answerQuestions({true});
                run.seams.fileAnswers.enqueue(run.folder.filePath(QStringLiteral("数据库备份/demo.ddb")));
                trigger(run.window(), QStringLiteral("ActionLoad"));
            }
        };
        QMap<QString, QByteArray> before;
        for (const QString &file : kept)
            before.insert(file, fileHash(run.folder.filePath(file)));

        QVERIFY(disk.fill());
        run.seams.clearMessages();
        attempt();
        const QStringList shown = run.seams.messageTexts().filter(QStringLiteral("失败"));
        QCOMPARE(shown.size(), 1);
        const auto named = [&frf](const QString &text) {
            return text.contains(QLatin1String("%1")) ? text.arg(frf) : text;
        };
        QVERIFY2(shown.first().startsWith(named(failure)), qPrintable(shown.first()));
        for (const QString &file : kept)
            QVERIFY2(fileHash(run.folder.filePath(file)) == before.value(file), qPrintable(file));
        QCOMPARE(temporaries(folder), QStringList {});
        QVERIFY(!QFile::exists(run.folder.filePath(QStringLiteral("DataBase/分公司帐套.ddb"))));
        if (change == QLatin1String("restore"))
            QVERIFY(run.window()->isVisible()); // the run goes on with the ledger as it was

        disk.free();
        run.seams.clearMessages();
        attempt();
        if (success.isEmpty())
            QCOMPARE(run.seams.messageTexts(), QStringList {});
        else
            QCOMPARE(run.seams.messageTexts().filter(named(success)).size(), 1);
        if (change == QLatin1String("settings"))
            QCOMPARE(run.readSetting(QStringLiteral("UserName")), Cashier);
        QCOMPARE(temporaries(folder), QStringList {});
    }

    // Settings commands on a full disk: the one failure of the write and no confirmation, the
    // settings file as it was, the page showing what is stored; with room again, the confirmation.
    void settingsCommandsOnFullDisk_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("asks");
        QTest::addColumn<QString>("confirmation");
        QTest::newRow("journal 保存当前列表格式")
            << "Button22" << true << "列表格式保存成功，日记帐簿数据列宽将按当前长度显示";
        QTest::newRow("journal 恢复默认列表格式")
            << "Button23" << false << "列表格式恢复成功，日记帐簿数据列宽恢复为软件默认格式";
        QTest::newRow("report 保存当前列表格式")
            << "Button24" << true << "列表格式保存成功，报表中心数据列宽将按当前长度显示";
        QTest::newRow("report 恢复默认列表格式")
            << "Button25" << false << "列表格式恢复成功，报表中心数据列宽恢复为软件默认格式";
        QTest::newRow("settings page choice") << "Button10" << false << "显示模式设置为：1440 * 900";
        QTest::newRow("automatic backup switch")
            << "CheckBoxAutoBackup" << false << "登录时自动备份设置为：关闭";
        QTest::newRow("automatic backup copies")
            << "ButtonBackupCopies" << false << "自动备份保留份数设置为：3";
    }
    void settingsCommandsOnFullDisk()
    {
        QFETCH(QString, button);
        QFETCH(bool, asks);
        QFETCH(QString, confirmation);
        SmallDisk disk(16 << 20);
        if (!disk.isMounted())
            QSKIP(qPrintable(disk.whyNot()));
        std::unique_ptr<Run> r = runOn(disk);
        Run &run = *r;
        QVERIFY(run.startAs(Administrator));
        auto *choice = child<QComboBox>(run.window(), QStringLiteral("ComboBox1"));
        auto *autoBackup = child<QCheckBox>(run.window(), QStringLiteral("CheckBoxAutoBackup"));
        QVERIFY(choice && autoBackup && autoBackup->isChecked());
        child<QSpinBox>(run.window(), QStringLiteral("SpinEditBackupCopies"))->setValue(3);
        const auto press = [&] {
            if (asks)
                run.seams.answerQuestions({true});
            choice->setCurrentIndex(1);
            child<QAbstractButton>(run.window(), button)->click();
        };
        const QByteArray before = fileHash(run.settings());

        QVERIFY(disk.fill());
        run.seams.clearMessages();
        press();
        QStringList shown = run.seams.messageTexts();
        if (asks)
            QCOMPARE(shown.takeFirst(), QStringLiteral("您确定把当前格式保存为常用格式吗？"));
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown.first().startsWith(QStringLiteral("设置文件保存失败") + DiskFull),
            qPrintable(shown.first()));
        QCOMPARE(fileHash(run.settings()), before);
        QCOMPARE(temporaries(run.folder.path()), QStringList {});
        QCOMPARE(choice->currentIndex(), button == QLatin1String("Button10") ? 0 : 1);
        QVERIFY(autoBackup->isChecked());

        disk.free();
        run.seams.clearMessages();
        press();
        QCOMPARE(run.seams.messageTexts().filter(QStringLiteral("失败")), QStringList {});
        QCOMPARE(run.seams.lastMessage(), confirmation);
        QVERIFY(fileHash(run.settings()) != before);
    }

    // A save the database refuses: "SQL命令执行出错", nothing stored, the form stays open with
    // what was typed, and once the obstacle is gone the same form saves it once.
    void refusedEntrySaveKeepsTheForm_data()
    {
        QTest::addColumn<QString>("obstacle");
        QTest::newRow("full disk") << "full";
        QTest::newRow("ledger locked by another program") << "locked";
        QTest::newRow("read-only ledger") << "read-only";
    }
    void refusedEntrySaveKeepsTheForm()
    {
        QFETCH(QString, obstacle);
        SmallDisk disk(16 << 20);
        if (obstacle == QLatin1String("full") && !disk.isMounted())
            QSKIP(qPrintable(disk.whyNot()));
        std::unique_ptr<Run> r = obstacle == QLatin1String("full") ? runOn(disk) : std::make_unique<Run>();
        Run &run = *r;
        run.ledger()->addAccount(QStringLiteral("工商银行"), 1, 1000);
        std::unique_ptr<ReadOnlyFile> readOnly;
        if (obstacle == QLatin1String("read-only")) {
            readOnly = std::make_unique<ReadOnlyFile>(run.folder.filePath(DefaultLedger));
            if (!readOnly->isReadOnly())
                QSKIP(qPrintable(readOnly->whyNot()));
        }
        QVERIFY(run.startAs(Cashier));
        const QByteArray ledgerBefore = fileHash(run.folder.filePath(DefaultLedger));
        std::unique_ptr<LedgerFile> locker;

        run.seams.onDialog(QStringLiteral("TFormGetPay"), [&](QDialog *d) {
            child<QLineEdit>(d, QStringLiteral("Edit2"))->setText(QStringLiteral("80"));
            child<QLineEdit>(d, QStringLiteral("Edit3"))->setText(QStringLiteral("午餐"));
            if (obstacle == QLatin1String("full")) {
                QVERIFY(disk.fill());
            } else if (obstacle == QLatin1String("locked")) {
                locker = run.ledger();
                locker->exec(QStringLiteral("Begin Immediate"));
            }
            run.seams.clearMessages();
            child<QPushButton>(d, QStringLiteral("BitBtn1"))->click();
            QCOMPARE(run.seams.messageTexts(), QStringList {SqlFailed});
            QVERIFY(d->isVisible());
            QCOMPARE(child<QLineEdit>(d, QStringLiteral("Edit2"))->text(), QStringLiteral("80"));
            QCOMPARE(child<QLineEdit>(d, QStringLiteral("Edit3"))->text(), QStringLiteral("午餐"));
            if (obstacle == QLatin1String("read-only"))
                return; // the connection stays read-only for this run
            if (locker) {
                locker->exec(QStringLiteral("Rollback"));
                locker.reset();
            }
            disk.free();
            run.seams.clearMessages();
            child<QPushButton>(d, QStringLiteral("BitBtn1"))->click();
            QCOMPARE(run.seams.messageTexts(), QStringList {QStringLiteral("记录新增成功")});
            QVERIFY(!d->isVisible());
        });
        trigger(run.window(), QStringLiteral("ActionPay"));
        readOnly.reset();
        const int stored
            = run.ledger()
                  ->value(QStringLiteral("Select Count(*) From MoneyTable Where MoneyRemark = '午餐'"))
                  .toInt();
        QCOMPARE(stored, obstacle == QLatin1String("read-only") ? 0 : 1);
        if (obstacle == QLatin1String("read-only"))
            QCOMPARE(fileHash(run.folder.filePath(DefaultLedger)), ledgerBefore);
    }

    // A master database that cannot be written still lists every ledger, with the state its
    // file has now, and without an error; changes of the registry are refused and leave no file.
    void unwritableMasterStillLists_data()
    {
        QTest::addColumn<QString>("obstacle");
        QTest::newRow("read-only") << "read-only";
        QTest::newRow("locked by another program") << "locked";
    }
    void unwritableMasterStillLists()
    {
        QFETCH(QString, obstacle);
        ProgramFolder folder;
        Seams seams;
        DataModule data(folder);
        const QString master = folder.filePath(QStringLiteral("Quillbrook3.MDB"));
        QVERIFY(
            QFile::rename(folder.filePath(DefaultLedger), folder.filePath(QStringLiteral("Default.aside"))));
        std::unique_ptr<ReadOnlyFile> readOnly;
        std::unique_ptr<LedgerFile> locker;
        if (obstacle == QLatin1String("read-only")) {
            readOnly = std::make_unique<ReadOnlyFile>(master);
            if (!readOnly->isReadOnly())
                QSKIP(qPrintable(readOnly->whyNot()));
        } else {
            locker = std::make_unique<LedgerFile>(master);
            locker->exec(QStringLiteral("Begin Immediate"));
        }
        const QByteArray masterBefore = fileHash(master);
        QVERIFY(OpenLedgerConnection(master, DatabaseKind::Master));
        TFormDB formDB;
        TFormDBChose chooser(&formDB);
        seams.onDialog(QStringLiteral("TFormDBChose"), [&](QDialog *d) {
            auto *grid = child<QTableWidget>(d, QStringLiteral("DBGridEh1"));
            QCOMPARE(grid->rowCount(), 2);
            QCOMPARE(grid->item(0, 1)->text(), QStringLiteral("软件演示帐套"));
            QCOMPARE(grid->item(0, 3)->text(), QStringLiteral("正常"));
            QCOMPARE(grid->item(1, 1)->text(), QStringLiteral("日常帐套"));
            QCOMPARE(grid->item(1, 3)->text(), QStringLiteral("丢失"));
            QCOMPARE(seams.messageTexts(), QStringList {});
        });
        Platform::ShowModal(&chooser);

        if (locker) // a short wait is enough to learn that the registry stays locked
            ExecSql(Sql("PRAGMA busy_timeout = 100"));
        const auto added = Ledgers::AddLedger({QStringLiteral("分公司帐套"),
            QStringLiteral("[RunPath]\\DataBase\\分公司帐套.ddb"), {}, {}, QDate(2026, 6, 15)});
        QCOMPARE(added, Ledgers::SaveOutcome::Failed);
        QCOMPARE(seams.messageTexts(), QStringList {SqlFailed});
        QCOMPARE(QDir(folder.filePath(QStringLiteral("DataBase"))).entryList(QDir::Files),
            QStringList {QStringLiteral("Demo.ddb")});
        if (locker)
            locker->exec(QStringLiteral("Rollback"));
        QCOMPARE(fileHash(master), masterBefore);
    }
};

QUILL_TEST_MAIN(TestFaults)
#include "tst_faults.moc"
