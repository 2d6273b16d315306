#include "ledgers/DBChoseForm.h"
#include "ledgers/DBForm.h"
#include "ledgers/LedgerRegistry.h"
#include "ledgers/LoginForm.h"
#include "ledgers/Rights.h"
#include "platform/FileOps.h"
#include "platform/Seams.h"
#include "storage/PublicFunction.h"
#include "storage/ShareDM.h"
#include "support/LedgerFile.h"
#include "support/TestMain.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

#include <cerrno>
#include <sys/stat.h>

using namespace TestSupport;

namespace {
const QString Master = QStringLiteral("Quillbrook3.MDB");
const QString Missing = QStringLiteral("数据库连接失败，请检查该帐套的数据库文件是否存在");

// PATH set to one folder while it lives.
struct SearchPath {
    const QByteArray saved = qgetenv("PATH");
    explicit SearchPath(const QString &folder) { qputenv("PATH", folder.toLocal8Bit()); }
    ~SearchPath() { qputenv("PATH", saved); }
};
} // namespace

class TestLedgers : public TestSupport::FixtureTest
{
    Q_OBJECT

private:
    std::unique_ptr<TFormDB> formDB;
    std::unique_ptr<TFormDBChose> chooser;
    std::unique_ptr<TFormLogin> login;

    QString path(const QString &relative) const { return folder->filePath(relative); }
    bool openMaster() { return OpenLedgerConnection(path(Master), DatabaseKind::Master); }
    // Registry column of the entry with this name, read from the master file.
    QVariant registry(const QString &name, const QString &column)
    {
        LedgerFile db(path(Master));
        const auto rows = db.rows(QStringLiteral("Select %1, SoftDataName From SoftData").arg(column));
        for (const QVariantList &row : rows)
            if (!row.value(1).isNull() && row.value(1).toString() == name)
                return row.value(0);
        return {};
    }
    static QTableWidget *grid(QDialog *d) { return child<QTableWidget>(d, "DBGridEh1"); }
    static QStringList gridColumn(QDialog *d, int column)
    {
        QStringList texts;
        for (int r = 0; r < grid(d)->rowCount(); ++r)
            texts.append(grid(d)->item(r, column)->text());
        return texts;
    }
    static void selectLedger(QDialog *d, const QString &name)
    {
        const int row = gridColumn(d, 1).indexOf(name);
        QVERIFY2(row >= 0, qPrintable(name));
        grid(d)->selectRow(row);
    }
    int runChooser(Seams::DialogScript script)
    {
        seams->onDialog(QStringLiteral("TFormDBChose"), std::move(script));
        return Platform::ShowModal(chooser.get());
    }
    int runLogin(Seams::DialogScript script)
    {
        seams->onDialog(QStringLiteral("TFormLogin"), std::move(script));
        return Platform::ShowModal(login.get());
    }
    static void fillLedger(QDialog *d, const QString &name, const QString &remark = {})
    {
        auto *edit = child<QLineEdit>(d, "Edit1");
        if (name.isEmpty() && edit->text().isEmpty()) {
            // Typed and rubbed out again.
            QTest::keyClick(edit, Qt::Key_A);
            QTest::keyClick(edit, Qt::Key_Backspace);
        }
        edit->setText(name);
        if (!remark.isNull())
            child<QLineEdit>(d, "Edit3")->setText(remark);
        // Away from the name, so a refusal visibly moves the focus back.
        child<QLineEdit>(d, "Edit4")->setFocus();
    }
    void setPower(const QString &user, const QString &column, const QString &value)
    {
        ExecSql(Sql(QStringLiteral("Update Power Set %1 = ").arg(column)) + Sql::value(value)
            + Sql(" Where PowerName = ") + Sql::value(user));
    }

private slots:
    void init()
    {
        QVERIFY(makeFixture());
        QVERIFY(openMaster());
        formDB = std::make_unique<TFormDB>();
        chooser = std::make_unique<TFormDBChose>(formDB.get());
        login = std::make_unique<TFormLogin>();
    }
    void cleanup()
    {
        login.reset();
        chooser.reset();
        formDB.reset();
        dropFixture();
    }

    void listingFollowsTheFiles()
    {
        const QString file = path("DataBase/Default.ddb");
        const QString aside = path("Default.ddb.aside");
        runChooser([&](QDialog *d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("翎溪财务软件 → 帐套选择"));
            QTableWidget *g = grid(d);
            QCOMPARE(g->selectionBehavior(), QAbstractItemView::SelectRows);
            QCOMPARE(g->editTriggers(), QAbstractItemView::NoEditTriggers);
            QStringList captions;
            QList<int> widths;
            for (int c = 0; c < g->columnCount(); ++c) {
                captions.append(g->horizontalHeaderItem(c)->text());
                widths.append(g->columnWidth(c));
            }
            QCOMPARE(captions, (QStringList {"创建日期", "帐套名称", "帐套介绍", "状态"}));
            QCOMPARE(widths.mid(0, 3), (QList<int> {75, 95, 250}));
            QCOMPARE(gridColumn(d, 0), (QStringList {"2026-7-1", "2026-7-1"}));
            QCOMPARE(gridColumn(d, 1), (QStringList {"软件演示帐套", "日常帐套"}));
            QCOMPARE(gridColumn(d, 3), (QStringList {"正常", "正常"}));

            QVERIFY(QFile::rename(file, aside));
            chooser->ListLedgers();
            QCOMPARE(gridColumn(d, 3), (QStringList {"正常", "丢失"}));
            QCOMPARE(registry("日常帐套", "SoftDataState").toString(), QStringLiteral("丢失"));
            selectLedger(d, QStringLiteral("日常帐套"));
            trigger(d, "ActionLogin");
            QCOMPARE(seams->messageTexts(), QStringList {Missing});
            QVERIFY(d->isVisible());
            QCOMPARE(ShareDataModule->databasePath(), path(Master));

            QVERIFY(QFile::rename(aside, file));
            chooser->ListLedgers();
            QCOMPARE(gridColumn(d, 3), (QStringList {"正常", "正常"}));
            QCOMPARE(registry("日常帐套", "SoftDataState").toString(), QStringLiteral("正常"));
        });
    }

    void newLedger_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<bool>("focusOnName");

        const QStringList added {"帐套新增成功"};
        QTest::newRow("plain") << "分公司帐套"
                               << "" << added << false;
        QTest::newRow("apostrophe") << "O'Neil's 帐"
                                    << "" << added << false;
        QTest::newRow("empty name") << ""
                                    << "" << added << false;
        QTest::newRow("name never typed")
            << ""
            << "untyped" << QStringList {"帐套数据库创建失败，失败号为：" + Platform::ErrorNumberText(EISDIR)}
            << false;
        QTest::newRow("no DataBase folder") << "分公司帐套"
                                            << "removeFolder" << added << false;
        QTest::newRow("invalid name") << "分公司.帐套"
                                      << "" << QStringList {"帐套名称不能包含/\\:*?\"<>|.等字符"} << true;
        QTest::newRow("control character")
            << "分公司\t帐套"
            << "" << QStringList {"帐套名称不能包含/\\:*?\"<>|.等字符"} << true;
        QTest::newRow("duplicate") << "日常帐套"
                                   << "" << QStringList {"该帐套名称已经存在，请重新操作"} << true;
        QTest::newRow("no template") << "分公司帐套"
                                     << "removeTemplate"
                                     << QStringList {"帐套数据库创建失败，失败号为："
                                            + Platform::ErrorNumberText(ENOENT)}
                                     << false;
        QTest::newRow("file already there")
            << "分公司帐套"
            << "fileThere" << QStringList {"该帐套数据库文件已经存在，请更换帐套名称"} << true;
    }
    void newLedger()
    {
        QFETCH(QString, name);
        QFETCH(QString, setup);
        QFETCH(QStringList, messages);
        QFETCH(bool, focusOnName);
        const QString target = path("DataBase/" + name + ".ddb");
        const QByteArray keep("a ledger someone still needs");
        if (setup == "removeFolder")
            QVERIFY(QDir(path("DataBase")).removeRecursively());
        if (setup == "removeTemplate")
            QVERIFY(QFile::remove(path("QuillShare.dll")));
        if (setup == "fileThere") {
            QFile f(target);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(keep);
        }
        const bool succeeds = messages == QStringList {"帐套新增成功"};

        int dialogResult = -1;
        runChooser([&](QDialog *d) {
            seams->onDialog("TFormDB", [&](QDialog *f) {
                QCOMPARE(f->windowTitle(), QStringLiteral("软件帐套管理"));
                QCOMPARE(child<QLineEdit>(f, "Edit2")->text(), QStringLiteral("[RunPath]\\DataBase\\"));
                QCOMPARE(child<QDateEdit>(f, "DateTimePicker1")->date(), seams->today);
                if (setup == "untyped") {
                    child<QLineEdit>(f, "Edit3")->setText(QStringLiteral("分支机构"));
                } else {
                    fillLedger(f, name, QStringLiteral("分支机构"));
                    QCOMPARE(child<QLineEdit>(f, "Edit2")->text(), "[RunPath]\\DataBase\\" + name + ".ddb");
                }
                trigger(f, "ActionYes");
                QCOMPARE(seams->messageTexts(), messages);
                QCOMPARE(f->isVisible(), !succeeds);
                if (focusOnName)
                    QCOMPARE(f->focusWidget(), child<QLineEdit>(f, "Edit1"));
            });
            trigger(d, "ActionNew");
            dialogResult = formDB->result();
            QCOMPARE(gridColumn(d, 1).contains(name), succeeds || name == "日常帐套");
        });
        QCOMPARE(dialogResult, succeeds ? int(QDialog::Accepted) : int(QDialog::Rejected));
        if (succeeds) {
            QCOMPARE(registry(name, "SoftDataPath").toString(), "[RunPath]\\DataBase\\" + name + ".ddb");
            QCOMPARE(registry(name, "SoftDataRemark").toString(), QStringLiteral("分支机构"));
            QCOMPARE(registry(name, "SoftDataTime").toString(), QStringLiteral("2026-06-15"));
            QCOMPARE(registry(name, "SoftDataState").toString(), QStringLiteral("正常"));
            QCOMPARE(fileHash(target), fileHash(path("QuillShare.dll")));
        } else if (name != "日常帐套") {
            QVERIFY(registry(name, "SoftDataIndex").isNull());
            QVERIFY(setup == "fileThere" || !QFile::exists(target));
        }
        if (setup == "fileThere") {
            QFile f(target);
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll(), keep);
        }
    }

    void editLedger_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QStringList>("names"); // typed one after the other
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QString>("fileAfter"); // where the ledger file lies afterwards

        const QStringList saved {"帐套信息修改成功"};
        QTest::newRow("remark only") << "" << QStringList {} << saved << "DataBase/Default.ddb";
        QTest::newRow("rename") << "" << QStringList {"日常's帐套"} << saved << "DataBase/日常's帐套.ddb";
        QTest::newRow("rename from elsewhere")
            << "elsewhere" << QStringList {"搬家帐套"} << saved << "DataBase/搬家帐套.ddb";
        // The path follows the typed name even when it ends up as before.
        QTest::newRow("name retyped")
            << "" << QStringList {"临时", "日常帐套"} << saved << "DataBase/日常帐套.ddb";
        QTest::newRow("duplicate") << "" << QStringList {"软件演示帐套"}
                                   << QStringList {"该帐套名称已经存在，请重新操作"}
                                   << "DataBase/Default.ddb";
        QTest::newRow("invalid name")
            << "" << QStringList {"日常:帐套"} << QStringList {"帐套名称不能包含/\\:*?\"<>|.等字符"}
            << "DataBase/Default.ddb";
        QTest::newRow("target taken")
            << "targetTaken" << QStringList {"新名"}
            << QStringList {"该帐套数据库文件已经存在，请更换帐套名称"} << "DataBase/Default.ddb";
        QTest::newRow("file missing")
            << "fileMissing" << QStringList {"新名"}
            << QStringList {"[RunPath]\\DataBase\\Default.ddb",
                   "帐套数据库文件改名错误，错误号为：" + Platform::ErrorNumberText(ENOENT)}
            << "";
        QTest::newRow("entry vanished")
            << "vanished" << QStringList {"新名"} << QStringList {} << "DataBase/Default.ddb";
    }
    void editLedger()
    {
        QFETCH(QString, setup);
        QFETCH(QStringList, names);
        QFETCH(QStringList, messages);
        QFETCH(QString, fileAfter);
        const QByteArray ledger = fileHash(path("DataBase/Default.ddb"));
        const QByteArray taken("another ledger");
        const qint64 index = registry("日常帐套", "SoftDataIndex").toLongLong();
        if (setup == "elsewhere") {
            QVERIFY(QDir().mkpath(path("Other")));
            QVERIFY(QFile::rename(path("DataBase/Default.ddb"), path("Other/Default.ddb")));
            QVERIFY(QDir(path("DataBase")).removeRecursively());
            ExecSql(Sql("Update SoftData Set SoftDataPath = ")
                + Sql::value(QStringLiteral("[RunPath]\\Other\\Default.ddb")) + Sql(" Where SoftDataIndex = ")
                + Sql::value(index));
        }
        if (setup == "targetTaken") {
            QFile f(path("DataBase/新名.ddb"));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(taken);
        }
        if (setup == "fileMissing")
            QVERIFY(QFile::remove(path("DataBase/Default.ddb")));
        const bool succeeds = messages == QStringList {"帐套信息修改成功"};
        const QString storedPath = registry("日常帐套", "SoftDataPath").toString();

        runChooser([&](QDialog *d) {
            seams->onDialog("TFormDB", [&](QDialog *f) {
                QCOMPARE(child<QLineEdit>(f, "Edit1")->text(), QStringLiteral("日常帐套"));
                QCOMPARE(child<QLineEdit>(f, "Edit2")->text(), storedPath);
                QCOMPARE(child<QLineEdit>(f, "Edit3")->text(), QStringLiteral("日常记帐使用的帐套"));
                QCOMPARE(child<QLineEdit>(f, "Edit4")->text(), QStringLiteral("日常帐套"));
                QCOMPARE(child<QDateEdit>(f, "DateTimePicker1")->date(), QDate(2026, 7, 1));
                for (const QString &name : names)
                    fillLedger(f, name);
                child<QLineEdit>(f, "Edit3")->setText(QStringLiteral("改过的介绍"));
                if (setup == "vanished")
                    ExecSql(Sql("Delete From SoftData Where SoftDataIndex = ") + Sql::value(index));
                trigger(f, "ActionYes");
                QCOMPARE(seams->messageTexts(), messages);
                const bool closes = succeeds || setup == "vanished";
                QCOMPARE(f->isVisible(), !closes);
                QCOMPARE(f->result(), closes ? int(QDialog::Accepted) : int(QDialog::Rejected));
                if (messages.size() == 1 && !succeeds)
                    QCOMPARE(f->focusWidget(), child<QLineEdit>(f, "Edit1"));
            });
            selectLedger(d, QStringLiteral("日常帐套"));
            // A double click on the grid edits the entry too.
            emit grid(d)->cellDoubleClicked(grid(d)->currentRow(), 1);
        });
        QCOMPARE(seams->shownDialogs, (QStringList {"TFormDBChose", "TFormDB"}));
        if (!fileAfter.isEmpty())
            QCOMPARE(fileHash(path(fileAfter)), ledger);
        if (succeeds) {
            const QString name = names.isEmpty() ? QStringLiteral("日常帐套") : names.constLast();
            QCOMPARE(registry(name, "SoftDataRemark").toString(), QStringLiteral("改过的介绍"));
            if (!names.isEmpty()) {
                QCOMPARE(registry(name, "SoftDataPath").toString(), "[RunPath]\\DataBase\\" + name + ".ddb");
                QVERIFY(!QFile::exists(ResolveRunPath(storedPath)));
            }
        } else if (setup != "vanished") {
            QCOMPARE(registry("日常帐套", "SoftDataPath").toString(), storedPath);
            QCOMPARE(registry("日常帐套", "SoftDataRemark").toString(), QStringLiteral("日常记帐使用的帐套"));
        }
        if (setup == "targetTaken") {
            QFile f(path("DataBase/新名.ddb"));
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll(), taken);
        }
    }

    // What a creation or a rename leaves when the program is killed between its steps: the
    // chooser's listing finishes what the registry holds and removes what it never took.
    void interruptedChangesAreFinishedOrUndone_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QStringList>("states");
        QTest::addColumn<QString>("ledgerAt"); // where the 日常帐套 file lies afterwards
        QTest::addColumn<QStringList>("absent");
        QTest::addColumn<bool>("markerStays");
        const QString normal = QStringLiteral("正常");
        const QString fresh = QStringLiteral("DataBase/新帐套.ddb");
        const QString daily = QStringLiteral("DataBase/Default.ddb");
        QTest::newRow("create, killed after the registry")
            << "createRegistered" << QStringList {normal, normal, normal} << daily << QStringList {} << false;
        QTest::newRow("create, killed before the registry")
            << "createCopied" << QStringList {normal, normal} << daily << QStringList {fresh} << false;
        QTest::newRow("create, killed in the copy")
            << "createPartial" << QStringList {normal, normal} << daily << QStringList {fresh} << false;
        QTest::newRow("rename, killed after the registry")
            << "renameRegistered" << QStringList {normal, normal} << fresh << QStringList {daily} << false;
        QTest::newRow("rename, killed before the registry")
            << "renameNoted" << QStringList {normal, normal} << daily << QStringList {fresh} << false;
        QTest::newRow("rename, killed after the move")
            << "renameMoved" << QStringList {normal, normal} << fresh << QStringList {daily} << false;
        // A note never moves a file that another entry holds.
        QTest::newRow("note names another ledger's file")
            << "renameForeign" << QStringList {normal, QStringLiteral("丢失")} << daily << QStringList {fresh}
            << true;
    }
    void interruptedChangesAreFinishedOrUndone()
    {
        QFETCH(QString, setup);
        QFETCH(QStringList, states);
        QFETCH(QString, ledgerAt);
        QFETCH(QStringList, absent);
        QFETCH(bool, markerStays);
        const QByteArray dailyLedger = fileHash(path("DataBase/Default.ddb"));
        const QString target = path("DataBase/新帐套.ddb");
        const QString pending = Ledgers::PendingLedgerPath(target);
        const QString marker = Ledgers::MoveMarkerPath(target);
        const auto writeFile = [](const QString &file, const QByteArray &bytes) {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(bytes);
        };
        const Sql renamed = Sql("Update SoftData Set SoftDataName = '新帐套', SoftDataPath = ")
            + Sql::value(QStringLiteral("[RunPath]\\DataBase\\新帐套.ddb"))
            + Sql(" Where SoftDataName = '日常帐套'");
        QFile templateFile(path("QuillShare.dll"));
        QVERIFY(templateFile.open(QIODevice::ReadOnly));
        const QByteArray emptyLedger = templateFile.readAll();

        if (setup.startsWith("create"))
            writeFile(
                pending, setup == "createPartial" ? emptyLedger.left(emptyLedger.size() / 2) : emptyLedger);
        if (setup == "createRegistered")
            ExecSql(Sql("Insert Into SoftData (SoftDataName, SoftDataPath, SoftDataState) Values ('新帐套', ")
                + Sql::value(QStringLiteral("[RunPath]\\DataBase\\新帐套.ddb")) + Sql(", '正常')"));
        if (setup.startsWith("rename"))
            writeFile(marker,
                (setup == "renameForeign" ? path("DataBase/Demo.ddb") : path("DataBase/Default.ddb"))
                    .toUtf8());
        if (setup == "renameRegistered" || setup == "renameForeign")
            ExecSql(renamed);
        if (setup == "renameMoved") {
            ExecSql(renamed);
            QVERIFY(QFile::rename(path("DataBase/Default.ddb"), target));
        }

        runChooser([&](QDialog *d) { QCOMPARE(gridColumn(d, 3), states); });
        QCOMPARE(fileHash(path(ledgerAt)), dailyLedger);
        for (const QString &file : absent)
            QVERIFY2(!QFile::exists(path(file)), qPrintable(file));
        if (setup == "createRegistered")
            QCOMPARE(fileHash(target), fileHash(path("QuillShare.dll")));
        QVERIFY(!QFile::exists(pending));
        QCOMPARE(QFile::exists(marker), markerStays);
        QVERIFY(QFile::exists(path("DataBase/Demo.ddb")));
    }

    // A new ledger holds the users' passwords: it gets the umask's permissions, not the
    // template's.
    void newLedgerTakesTheUmasksPermissions()
    {
        QVERIFY(QFile::setPermissions(path("QuillShare.dll"),
            QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther));
        const mode_t saved = ::umask(077);
        const auto outcome = Ledgers::AddLedger({QStringLiteral("分公司帐套"),
            QStringLiteral("[RunPath]\\DataBase\\分公司帐套.ddb"), {}, {}, QDate(2026, 6, 15)});
        ::umask(saved);
        QCOMPARE(outcome, Ledgers::SaveOutcome::Saved);
        QCOMPARE(QFile::permissions(path("DataBase/分公司帐套.ddb")),
            QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
    }

    void deleteLeavesTheFile_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::newRow("yes") << true;
        QTest::newRow("no") << false;
    }
    void deleteLeavesTheFile()
    {
        QFETCH(bool, yes);
        runChooser([&](QDialog *d) {
            selectLedger(d, QStringLiteral("日常帐套"));
            seams->answerQuestions({yes});
            trigger(d, "ActionDelete");
            QCOMPARE(seams->messages.size(), 1);
            QCOMPARE(seams->messages[0].text, QStringLiteral("删除后数据将不能恢复，确实要删除吗？"));
            QCOMPARE(seams->messages[0].caption, QStringLiteral("删除警告"));
            QCOMPARE(gridColumn(d, 1).contains("日常帐套"), !yes);
        });
        QCOMPARE(registry("日常帐套", "SoftDataIndex").isNull(), yes);
        QVERIFY(QFile::exists(path("DataBase/Default.ddb")));
    }

    void nothingSelected_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("message");
        QTest::newRow("edit") << "ActionEdit"
                              << "请先选中要修改的记录";
        QTest::newRow("delete") << "ActionDelete"
                                << "请先选中要删除的记录";
        QTest::newRow("login") << "ActionLogin"
                               << "请选择要登录的帐套";
    }
    void nothingSelected()
    {
        QFETCH(QString, action);
        QFETCH(QString, message);
        runChooser([&](QDialog *d) {
            grid(d)->clearSelection();
            trigger(d, qPrintable(action));
            QCOMPARE(seams->messageTexts(), QStringList {message});
            QVERIFY(d->isVisible());
        });
        QCOMPARE(seams->shownDialogs, QStringList {"TFormDBChose"});
    }

    void loginIntoLedger()
    {
        const int result = runChooser([&](QDialog *d) {
            selectLedger(d, QStringLiteral("日常帐套"));
            trigger(d, "ActionLogin");
        });
        QCOMPARE(result, int(QDialog::Accepted));
        QVERIFY(seams->messages.isEmpty());
        QCOMPARE(ShareDataModule->databasePath(), path("DataBase/Default.ddb"));
        QCOMPARE(Session().LedgerCaption, QStringLiteral("日常帐套"));
        QCOMPARE(ReadSetting(Settings::LoginDatabase, ""), path("DataBase/Default.ddb"));
    }

    void loginIntoBrokenLedger_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason"); // in Chinese: the engine's English stays out
        QTest::newRow("not a database") << "garbage"
                                        << "文件不是数据库文件";
        QTest::newRow("no ledger tables") << "foreign"
                                          << "数据库中缺少数据表：Account";
    }
    void loginIntoBrokenLedger()
    {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        const QString file = path("DataBase/Default.ddb");
        QVERIFY(QFile::remove(file));
        if (kind == "garbage") {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QByteArray(4096, 'x'));
        } else {
            LedgerFile db(file);
            QVERIFY(db.exec("Create Table Notes (Text TEXT)"));
        }
        const int result = runChooser([&](QDialog *d) {
            selectLedger(d, QStringLiteral("日常帐套"));
            trigger(d, "ActionLogin");
            QCOMPARE(
                seams->messageTexts(), QStringList {"数据库连接失败，该帐套的数据库文件无法打开：" + reason});
            // Back on the registry: the chooser still lists and logs in.
            QCOMPARE(ShareDataModule->databasePath(), path(Master));
            chooser->ListLedgers();
            QCOMPARE(gridColumn(d, 1), (QStringList {"软件演示帐套", "日常帐套"}));
            seams->clearMessages();
            selectLedger(d, QStringLiteral("软件演示帐套"));
            trigger(d, "ActionLogin");
        });
        QCOMPARE(result, int(QDialog::Accepted));
        QCOMPARE(ShareDataModule->databasePath(), path("DataBase/Demo.ddb"));
        QCOMPARE(ReadSetting(Settings::LoginDatabase, ""), path("DataBase/Demo.ddb"));
    }

    void demoDatesMoveOnFirstLoginOnly()
    {
        const QString demo = path("DataBase/Demo.ddb");
        const QString moneyDates
            = "Select MoneyIndex, MoneyCreateTime, MoneyRecordTime From MoneyTable Order By MoneyIndex";
        const QString getPayDates = "Select GetPayIndex, GetPayTime From GetPay Order By GetPayIndex";
        QList<QVariantList> money, getPay;
        {
            LedgerFile db(demo);
            money = db.rows(moneyDates);
            getPay = db.rows(getPayDates);
        }
        QVERIFY(money.size() > 100);
        QVERIFY(getPay.size() > 3);
        const qint64 offset = QDate(2026, 9, 30).daysTo(seams->today);

        auto logIntoDemo = [&] {
            return runChooser([&](QDialog *d) {
                selectLedger(d, QStringLiteral("软件演示帐套"));
                trigger(d, "ActionLogin");
            });
        };
        QCOMPARE(logIntoDemo(), int(QDialog::Accepted));
        QVERIFY(seams->messages.isEmpty());
        const QString caption = QStringLiteral("演示帐套（演示数据 2026-6-8 至 2026-6-15）");
        QCOMPARE(Session().LedgerCaption, caption);
        QCOMPARE(ShareDataModule->databasePath(), demo);
        QCOMPARE(ReadSetting(Settings::LoginDatabase, ""), demo);

        auto text = [](const QVariant &v) { return v.isNull() ? QStringLiteral("<null>") : v.toString(); };
        auto shifted = [&](const QVariant &v, qint64 days) {
            return v.isNull() ? text(v) : IsoDate(QDate::fromString(v.toString(), Qt::ISODate).addDays(days));
        };
        auto expectShift = [&](qint64 days) {
            LedgerFile db(demo);
            const auto moneyNow = db.rows(moneyDates);
            const auto getPayNow = db.rows(getPayDates);
            QCOMPARE(moneyNow.size(), money.size());
            for (qsizetype i = 0; i < money.size(); ++i) {
                QCOMPARE(text(moneyNow[i][1]), shifted(money[i][1], days));
                QCOMPARE(text(moneyNow[i][2]), shifted(money[i][2], days));
            }
            QCOMPARE(getPayNow.size(), getPay.size());
            for (qsizetype i = 0; i < getPay.size(); ++i)
                QCOMPARE(text(getPayNow[i][1]), shifted(getPay[i][1], days));
        };
        expectShift(offset);
        QCOMPARE(registry("软件演示帐套", "SoftDataTips").toString(), caption);

        // A later first day: the placeholders are gone, so nothing moves again.
        seams->today = QDate(2026, 8, 3);
        Session().LedgerCaption.clear();
        QVERIFY(openMaster());
        QCOMPARE(logIntoDemo(), int(QDialog::Accepted));
        QCOMPARE(Session().LedgerCaption, caption);
        expectShift(offset);
    }

    void demoShiftFailureLeavesNothingHalfDone()
    {
        const QString demo = path("DataBase/Demo.ddb");
        const QString moneyDates
            = "Select MoneyCreateTime, MoneyRecordTime From MoneyTable Order By MoneyIndex";
        QList<QVariantList> before;
        {
            LedgerFile db(demo);
            QVERIFY(db.exec("Create Trigger Blocked Before Update On GetPay "
                            "Begin Select Raise(Abort, 'blocked'); End"));
            before = db.rows(moneyDates);
        }
        const QString tips = registry("软件演示帐套", "SoftDataTips").toString();
        const int result = runChooser([&](QDialog *d) {
            selectLedger(d, QStringLiteral("软件演示帐套"));
            trigger(d, "ActionLogin");
            QCOMPARE(seams->messageTexts(), QStringList {"SQL命令执行出错"});
            QVERIFY(d->isVisible());
            QCOMPARE(ShareDataModule->databasePath(), path(Master));
        });
        QCOMPARE(result, int(QDialog::Rejected));
        LedgerFile db(demo);
        QCOMPARE(db.rows(moneyDates), before);
        QCOMPARE(registry("软件演示帐套", "SoftDataTips").toString(), tips);
        QVERIFY(ReadSetting(Settings::LoginDatabase, "").isEmpty());
        QVERIFY(Session().LedgerCaption.isEmpty());
    }

    void demoCaption_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("tips");
        QTest::addColumn<bool>("firstLogin");
        QTest::addColumn<QString>("caption");
        QTest::newRow("placeholders") << "软件演示帐套"
                                      << "演示 [XXXX] 至 [YYYY]" << true << "演示 2026-2-22 至 2026-3-1";
        QTest::newRow("any letter case, repeated")
            << "软件演示帐套"
            << "[xxxx]/[XxXx] [yyyy]" << true << "2026-2-22/2026-2-22 2026-3-1";
        QTest::newRow("already shifted")
            << "软件演示帐套"
            << "演示 2026-2-22 至 2026-3-1" << false << "演示 2026-2-22 至 2026-3-1";
        QTest::newRow("other ledger") << "日常帐套"
                                      << "[XXXX]" << false << "2026-2-22";
    }
    void demoCaption()
    {
        QFETCH(QString, name);
        QFETCH(QString, tips);
        QFETCH(bool, firstLogin);
        QFETCH(QString, caption);
        QCOMPARE(Ledgers::IsDemoFirstLogin(name, tips), firstLogin);
        QCOMPARE(Ledgers::DemoCaption(tips, QDate(2026, 3, 1)), caption);
    }

    void demoWithoutReferenceEntry()
    {
        const QString demo = path("DataBase/Demo.ddb");
        const QString dates = "Select MoneyCreateTime, MoneyRecordTime From MoneyTable Order By MoneyIndex";
        QList<QVariantList> before;
        {
            LedgerFile db(demo);
            QVERIFY(db.exec("Delete From MoneyTable Where MoneyIndex = 1"));
            before = db.rows(dates);
        }
        const int result = runChooser([&](QDialog *d) {
            selectLedger(d, QStringLiteral("软件演示帐套"));
            trigger(d, "ActionLogin");
        });
        QCOMPARE(result, int(QDialog::Accepted));
        QVERIFY(seams->messages.isEmpty());
        LedgerFile db(demo);
        QCOMPARE(db.rows(dates), before);
    }

    void rememberedUser_data()
    {
        QTest::addColumn<QString>("remembered"); // empty: no setting
        QTest::addColumn<QString>("selected");
        QTest::newRow("fresh ledger") << ""
                                      << "出纳";
        QTest::newRow("remembered") << "管理员"
                                    << "管理员";
        QTest::newRow("gone") << "老张"
                              << "管理员";
    }
    void rememberedUser()
    {
        QFETCH(QString, remembered);
        QFETCH(QString, selected);
        QVERIFY(data->openLedger("DataBase/Default.ddb"));
        if (!remembered.isEmpty())
            WriteSetting(Settings::UserName, remembered);
        const int result = runLogin([&](QDialog *d) {
            auto *users = child<QComboBox>(d, "ComboBox1");
            QCOMPARE(users->count(), 2);
            QCOMPARE(users->itemText(0), QStringLiteral("管理员"));
            QCOMPARE(users->currentText(), selected);
            QCOMPARE(d->focusWidget(), child<QLineEdit>(d, "Edit1"));
            trigger(d, "ActionLogin");
        });
        QCOMPARE(result, int(QDialog::Accepted));
        QVERIFY(seams->messages.isEmpty());
        QCOMPARE(Session().CurrentUser, selected);
        QCOMPARE(ReadSetting(Settings::UserName, ""), selected);
    }

    void passwordIsExactAndMasked()
    {
        QVERIFY(data->openLedger("DataBase/Default.ddb"));
        setPower("出纳", "PowerKey", "Pa#55");
        const int result = runLogin([&](QDialog *d) {
            auto *password = child<QLineEdit>(d, "Edit1");
            QTest::keyClicks(password, "pa#55");
            QCOMPARE(password->displayText(), QStringLiteral("#####"));
            trigger(d, "ActionLogin");
            QCOMPARE(seams->messageTexts(), QStringList {"密码错误，请重新操作"});
            QVERIFY(d->isVisible());
            QCOMPARE(password->text(), QStringLiteral("pa#55"));
            QVERIFY(Session().CurrentUser.isEmpty());
            QVERIFY(ReadSetting(Settings::UserName, "").isEmpty());

            password->clear();
            QTest::keyClicks(password, "Pa#55");
            trigger(d, "ActionLogin");
            QVERIFY(!d->isVisible());
            QVERIFY(password->text().isEmpty());
        });
        QCOMPARE(result, int(QDialog::Accepted));
        QCOMPARE(Session().CurrentUser, QStringLiteral("出纳"));
    }

    void rightsFromPowerRange_data()
    {
        QTest::addColumn<QString>("range");
        QTest::addColumn<QList<bool>>("rights"); // income expense transfer overview edit reports
        QTest::newRow("none") << "" << QList<bool> {false, false, false, false, false, false};
        QTest::newRow("income and reports")
            << "财务收入，财务报表" << QList<bool> {true, false, false, false, false, true};
        QTest::newRow("all") << "财务收入，财务支出，财务平调，数据总览，数据修改，财务报表"
                             << QList<bool> {true, true, true, true, true, true};
        QTest::newRow("any order, any separator")
            << "数据修改,财务平调 数据总览" << QList<bool> {false, false, true, true, true, false};
        QTest::newRow("partial names")
            << "财务，数据" << QList<bool> {false, false, false, false, false, false};
    }
    void rightsFromPowerRange()
    {
        QFETCH(QString, range);
        QFETCH(QList<bool>, rights);
        const UserRights parsed = ParseRights(range);
        QCOMPARE((QList<bool> {parsed.Income, parsed.Expense, parsed.Transfer, parsed.Overview, parsed.Edit,
                     parsed.Reports}),
            rights);
        QVERIFY(data->openLedger("DataBase/Default.ddb"));
        setPower("出纳", "PowerRange", range);
        // Leftovers of an earlier session must not survive the login.
        SessionValues &s = Session();
        s.RightIncome = s.RightExpense = s.RightTransfer = s.RightOverview = s.RightEdit = s.RightReports
            = true;
        QCOMPARE(runLogin([](QDialog *d) { trigger(d, "ActionLogin"); }), int(QDialog::Accepted));
        QCOMPARE((QList<bool> {s.RightIncome, s.RightExpense, s.RightTransfer, s.RightOverview, s.RightEdit,
                     s.RightReports}),
            rights);
    }

    void userWithApostrophe()
    {
        QVERIFY(data->openLedger("DataBase/Default.ddb"));
        ExecSql(Sql("Insert Into Power (PowerName, PowerKey, PowerRange) Values (")
            + Sql::value(QStringLiteral("O'Brien")) + Sql(",") + Sql::value(QStringLiteral("it's")) + Sql(",")
            + Sql::value(QStringLiteral("财务支出")) + Sql(")"));
        const int result = runLogin([&](QDialog *d) {
            child<QComboBox>(d, "ComboBox1")->setCurrentText(QStringLiteral("O'Brien"));
            QTest::keyClicks(child<QLineEdit>(d, "Edit1"), "it's");
            trigger(d, "ActionLogin");
        });
        QCOMPARE(result, int(QDialog::Accepted));
        QVERIFY(seams->messages.isEmpty());
        QCOMPARE(Session().CurrentUser, QStringLiteral("O'Brien"));
        QVERIFY(Session().RightExpense && !Session().RightIncome);
        QCOMPARE(ReadSetting(Settings::UserName, ""), QStringLiteral("O'Brien"));
    }

    void userDeletedMeanwhile()
    {
        QVERIFY(data->openLedger("DataBase/Default.ddb"));
        runLogin([&](QDialog *d) {
            ExecSql(Sql("Delete From Power Where PowerName = ") + Sql::value(QStringLiteral("出纳")));
            trigger(d, "ActionLogin");
            QCOMPARE(seams->messageTexts(), QStringList {"数据库中找不到当前用户"});
            QVERIFY(d->isVisible());
        });
        QVERIFY(Session().CurrentUser.isEmpty());
    }

    void loginWindowPagesAndLinks()
    {
        QVERIFY(data->openLedger("DataBase/Default.ddb"));
        QDialog service;
        service.setObjectName("TFormOnlineService");
        login->setOnlineServiceDialog(&service);
        seams->onDialog("TFormOnlineService", [](QDialog *) {});
        runLogin([&](QDialog *d) {
            QCOMPARE(d->windowTitle(),
                QStringLiteral("使用软件请用出纳登录，设置软件请用管理员登录，初始密码均不用输"));
            QCOMPARE(
                child<QTextBrowser>(d, "WebBrowser1")->source(), QUrl::fromLocalFile(path("NoticeNew.html")));
            trigger(d, "ActionInstruction");
            trigger(d, "ActionOnlineService");
            trigger(d, "ActionCancel");
        });
        QCOMPARE(seams->openedWithDesktop, QStringList {path("Help.html")});
        QCOMPARE(seams->shownDialogs, (QStringList {"TFormLogin", "TFormOnlineService"}));
        QVERIFY(Session().CurrentUser.isEmpty());

        QVERIFY(QFile::remove(path("NoticeNew.html")));
        runLogin([&](QDialog *d) {
            QCOMPARE(
                child<QTextBrowser>(d, "WebBrowser1")->source(), QUrl::fromLocalFile(path("Notice.html")));
        });
    }

    // 使用说明 on a desktop that opens nothing says so, with the page and what failed; the
    // desktop finds its opener on the PATH.
    void helpButtonSaysWhyNothingOpened_data()
    {
        QTest::addColumn<bool>("pagePresent");
        QTest::addColumn<QString>("opener"); // what PATH offers as xdg-open
        QTest::addColumn<bool>("desktopOpens");
        QTest::addColumn<QString>("expected"); // %1 is the page; empty: no message
        QTest::newRow("opened") << true << "exit 0" << true << QString();
        QTest::newRow("no xdg-open") << true << QString() << false
                                     << QStringLiteral(
                                            "无法打开使用说明：%1，系统中没有 xdg-open，桌面无法打开网页。"
                                            "请安装 xdg-utils，或用浏览器直接打开这个文件。");
        QTest::newRow("xdg-open fails")
            << true << "exit 3" << false
            << QStringLiteral("无法打开使用说明：%1，xdg-open 没有打开它。请用浏览器直接打开这个文件。");
        QTest::newRow("page missing")
            << false << "exit 0" << true << QStringLiteral("无法打开使用说明：找不到文件 %1。");
    }
    void helpButtonSaysWhyNothingOpened()
    {
        QFETCH(bool, pagePresent);
        QFETCH(QString, opener);
        QFETCH(bool, desktopOpens);
        QFETCH(QString, expected);
        QVERIFY(data->openLedger("DataBase/Default.ddb"));
        const QString page = path("Help.html");
        if (!pagePresent)
            QVERIFY(QFile::remove(page));
        QTemporaryDir bin;
        if (!opener.isEmpty()) {
            QFile script(bin.filePath("xdg-open"));
            QVERIFY(script.open(QIODevice::WriteOnly));
            script.write("#!/bin/sh\n" + opener.toUtf8() + "\n");
            script.close();
            QVERIFY(script.setPermissions(script.permissions() | QFile::ExeOwner));
        }
        seams->desktopOpenSucceeds = desktopOpens;
        {
            const SearchPath onlyBin(bin.path());
            runLogin([&](QDialog *d) {
                trigger(d, "ActionInstruction");
                QVERIFY(d->isVisible());
                trigger(d, "ActionCancel");
            });
        }

        QCOMPARE(seams->openedWithDesktop, pagePresent ? QStringList {page} : QStringList {});
        QCOMPARE(
            seams->messageTexts(), expected.isEmpty() ? QStringList {} : QStringList {expected.arg(page)});
        if (!expected.isEmpty())
            QCOMPARE(seams->messages.constFirst().kind, Platform::MessageKind::Error);
    }

    void inputsAreNamedByTheirLabels()
    {
        for (QDialog *d : {static_cast<QDialog *>(formDB.get()), static_cast<QDialog *>(login.get())}) {
            QList<QWidget *> inputs;
            for (QWidget *w : d->findChildren<QWidget *>())
                if (qobject_cast<QLineEdit *>(w) || qobject_cast<QComboBox *>(w)
                    || qobject_cast<QDateEdit *>(w))
                    if (w->parentWidget() == d)
                        inputs.append(w);
            QVERIFY(inputs.size() >= 2);
            for (QWidget *input : inputs) {
                bool labelled = false;
                for (QLabel *label : d->findChildren<QLabel *>())
                    labelled = labelled || label->buddy() == input;
                QVERIFY2(labelled, qPrintable(d->objectName() + "." + input->objectName()));
            }
        }
        QVERIFY(!grid(chooser.get())->accessibleName().isEmpty());
    }
};

QUILL_TEST_MAIN(TestLedgers)
#include "tst_ledgers.moc"
