// The entry form as a user reaches it: the program started on the Default ledger, the cashier
// logged in, 收入 and 支出 pressed on the main window.

#include "app/Dialogs.h"
#include "app/MainForm.h"
#include "app/Program.h"
#include "journal/GetPayForm.h"
#include "receivables/GetPayForm4.h"
#include "storage/PublicFunction.h"
#include "support/ReportRecorder.h"
#include "support/TestRegistry.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>
#include <QVariantMap>

using TestSupport::ProgramFolder;
using TestSupport::Seams;

namespace {

const QString DefaultLedger = QStringLiteral("DataBase/Default.ddb");

// Runs statements on a file of the program folder outside the program's own connection.
QList<QVariantMap> onFile(const QString &path, const QString &statement, const QVariantList &values = {})
{
    QList<QVariantMap> rows;
    const QString name = QStringLiteral("fixture");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (!db.open())
            qWarning("%s", qPrintable(db.lastError().text()));
        QSqlQuery q(db);
        q.prepare(statement);
        for (const QVariant &v : values)
            q.addBindValue(v);
        if (!q.exec())
            qWarning("%s: %s", qPrintable(statement), qPrintable(q.lastError().text()));
        while (q.isSelect() && q.next()) {
            QVariantMap row;
            for (int i = 0; i < q.record().count(); ++i)
                row.insert(q.record().fieldName(i), q.value(i));
            rows.append(row);
        }
        q.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return rows;
}

void writeSetting(const ProgramFolder &folder, const QString &key, const QString &value)
{
    WriteSetting(Texts::SettingsSection, key, value, folder.filePath(QStringLiteral("Quillbrook.ini")));
}

void trigger(QObject *owner, const char *actionName)
{
    auto *action = owner->findChild<QAction *>(QString::fromLatin1(actionName));
    QVERIFY2(action, actionName);
    action->trigger();
}

Seams::DialogScript loginAs(const QString &user)
{
    return [user](QDialog *dialog) {
        auto *users = dialog->findChild<QComboBox *>(QStringLiteral("ComboBox1"));
        QVERIFY(users);
        const int index = users->findText(user);
        QVERIFY2(index >= 0, qPrintable(user));
        users->setCurrentIndex(index);
        trigger(dialog, "ActionLogin");
    };
}

template <typename T> T *child(QObject *parent, const char *name)
{
    T *found = parent->findChild<T *>(QString::fromLatin1(name));
    if (!found)
        qWarning("no %s", name);
    return found;
}

QString text(QObject *dialog, const char *name)
{
    if (auto *combo = dialog->findChild<QComboBox *>(QString::fromLatin1(name)))
        return combo->currentText();
    return child<QLineEdit>(dialog, name)->text();
}

} // namespace

// One program run in its own program and lock folders, with the seams scripted.
struct Run {
    ProgramFolder folder;
    QTemporaryDir lockDir;
    Seams seams;
    std::unique_ptr<Program> program;

    TFormMain *window() const { return program->mainWindow(); }
    TFormGetPay *form() const { return program->dialogs()->getPay; }
    QString ledger() const { return folder.filePath(DefaultLedger); }
    // Starts on the remembered Default ledger and logs in as user.
    bool startAs(const QString &user)
    {
        writeSetting(folder, QStringLiteral("LoginMode"), QStringLiteral("自动登录到上次登录的软件帐套"));
        writeSetting(folder, QStringLiteral("LoginDatabase"), ledger());
        seams.onDialog(QStringLiteral("TFormLogin"), loginAs(user));
        program = std::make_unique<Program>(folder.path(), lockDir.path());
        return program->start();
    }
};

class TestEntryProgram : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    // The typical expense: numbered for the main window's day, offered to the customer's
    // payable, stored, printed as a bill, and the payable's sums updated.
    void expenseFromTheMainWindow()
    {
        Run run;
        onFile(run.ledger(), QStringLiteral("Insert Into Account (AccountName, AccountBase, AccountType, AccountPower) "
                                            "Values ('工商银行', 1000, 1, '出纳')"));
        onFile(run.ledger(), QStringLiteral("Insert Into GetPay (GetPayTime, GetPayUser, GetPayKind, GetPaySum, "
                                            "GetPaySum2, GetPaySum3, GetPayPower) "
                                            "Values ('2026-06-01', '华联''商场', '应付', 500, 0, 500, '出纳')"));
        writeSetting(run.folder, QStringLiteral("BillPrint"), QStringLiteral("开单时自动打印"));
        TestSupport::ReportRecorder bills(run.seams);
        QVERIFY(run.startAs(QStringLiteral("出纳")));
        run.window()->setCurrentDay(QDate(2026, 7, 1));
        const qint64 payable = onFile(run.ledger(), QStringLiteral("Select Max(GetPayIndex) As I From GetPay"))
                                   .value(0).value(QStringLiteral("I")).toLongLong();

        run.seams.onDialog(QStringLiteral("TFormGetPay4"), [](QDialog *d) {
            auto *match = static_cast<TFormGetPay4 *>(d);
            QCOMPARE(match->MatchUser, QStringLiteral("华联'商场"));
            QCOMPARE(match->MatchKind, QStringLiteral("应付"));
            trigger(d, "ActionYes");
        });
        run.seams.onDialog(QStringLiteral("TFormGetPay"), [](QDialog *d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("新增财务支出"));
            QCOMPARE(text(d, "Edit4"), QStringLiteral("ZC26070101"));
            auto *date = child<QDateEdit>(d, "DateTimePicker1");
            QCOMPARE(date->date(), QDate(2026, 7, 1));
            QCOMPARE(text(d, "ComboBox1"), QStringLiteral("工商银行"));
            date->setDate(QDate(2026, 6, 28));
            child<QComboBox>(d, "ComboBox5")->setEditText(QStringLiteral("华联'商场"));
            child<QLineEdit>(d, "Edit2")->setText(QStringLiteral("80"));
            child<QPushButton>(d, "BitBtn1")->click();
        });
        trigger(run.window(), "ActionPay");
        QCOMPARE(run.seams.shownDialogs.mid(1), QStringList({"TFormGetPay", "TFormGetPay4"}));
        QCOMPARE(run.seams.lastMessage(), QStringLiteral("记录新增成功"));

        const QVariantMap entry = onFile(run.ledger(), QStringLiteral("Select * From MoneyTable Where MoneyIndex > 1")).value(0);
        QCOMPARE(entry.value(QStringLiteral("MoneyKind")).toString(), QStringLiteral("财务支出"));
        QCOMPARE(entry.value(QStringLiteral("MoneySerial")).toString(), QStringLiteral("ZC26070101"));
        QCOMPARE(entry.value(QStringLiteral("MoneyCreateTime")).toString(), QStringLiteral("2026-06-28"));
        QCOMPARE(entry.value(QStringLiteral("MoneyRecordTime")).toString(), QStringLiteral("2026-06-15"));
        QCOMPARE(entry.value(QStringLiteral("MoneySum")).toDouble(), -80.0);
        QCOMPARE(entry.value(QStringLiteral("MoneyUser")).toString(), QStringLiteral("华联'商场"));
        QCOMPARE(entry.value(QStringLiteral("MoneyGetPay")).toLongLong(), payable);
        QCOMPARE(entry.value(QStringLiteral("MoneyPower")).toString(), QStringLiteral("出纳"));
        const QVariantMap record = onFile(run.ledger(), QStringLiteral("Select * From GetPay Where GetPayIndex = ?"),
                                          {payable}).value(0);
        QCOMPARE(record.value(QStringLiteral("GetPaySum2")).toDouble(), 80.0);
        QCOMPARE(record.value(QStringLiteral("GetPaySum3")).toDouble(), 420.0);

        QCOMPARE(bills.reports.size(), 1);
        QCOMPARE(bills.reports.first().title(), QStringLiteral("财务支出单"));
        QVERIFY(bills.reports.first().rows().value(0).contains(QStringLiteral("捌拾　零元　零角　零分　")));
        QVERIFY(bills.reports.first().rows().value(0).contains(QStringLiteral("¥80")));
    }

    // Each command opens a new entry of its kind, numbered on the main window's day, without
    // what an earlier caller left in the presets.
    void incomeAndExpenseNumberedApart()
    {
        Run run;
        onFile(run.ledger(), QStringLiteral("Insert Into Account (AccountName, AccountBase, AccountType, AccountPower) "
                                            "Values ('工商银行', 0, 1, '出纳')"));
        onFile(run.ledger(), QStringLiteral("Insert Into MoneyTable (MoneyKind, MoneySerial, MoneyAccount, MoneySum) "
                                            "Values ('财务支出', 'ZC26070101', 2, -5), ('财务支出', 'ZC26070102', 2, -5)"));
        QVERIFY(run.startAs(QStringLiteral("出纳")));
        run.window()->setCurrentDay(QDate(2026, 7, 1));
        run.form()->PresetUser = QStringLiteral("上次留下");
        run.form()->PresetAmount = QStringLiteral("99");
        run.form()->PresetRemark = QStringLiteral("旧备注");
        QStringList seen;
        auto look = [&seen](QDialog *d) {
            seen << d->windowTitle() << text(d, "Edit4") << text(d, "ComboBox5") << text(d, "Edit2") << text(d, "Edit3");
        };
        run.seams.onDialog(QStringLiteral("TFormGetPay"), look);
        trigger(run.window(), "ActionGet");
        run.seams.onDialog(QStringLiteral("TFormGetPay"), look);
        trigger(run.window(), "ActionPay");
        QCOMPARE(seen, QStringList({"新增财务收入", "SR26070101", "", "", "",
                                    "新增财务支出", "ZC26070103", "", "", ""}));
        QVERIFY(run.seams.messages.isEmpty());
    }
};

QUILL_TEST_CLASS(TestEntryProgram)
#include "tst_entryprogram.moc"
