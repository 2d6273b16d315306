// The crash trial's driver: performs the program's real write paths in a loop on a program
// folder until it is killed, logging each change before it starts and once the program
// confirmed it (support/TrialLog.h). Every start first does what a start of the program does:
// the chooser's listing repairs what a kill left, the login tidies the temporary copies.
//
//   quill_crashdriver <program folder> <log file> <seed> [number of changes]
//
// Adding an operation: write a member that performs it through the program's own routine or
// form, logs Begin and Done with the facts it leaves behind, and add a row to operations().

#include "accounts/AccountStore.h"
#include "journal/EntryFixture.h"
#include "journal/EntryRules.h"
#include "journal/EntryStore.h"
#include "journal/TransferRules.h"
#include "ledgers/AutoBackup.h"
#include "ledgers/LedgerBackup.h"
#include "ledgers/LedgerRegistry.h"
#include "platform/FileOps.h"
#include "platform/Seams.h"
#include "receivables/GetPayForm2.h"
#include "receivables/GetPayRules.h"
#include "storage/PublicFunction.h"
#include "storage/ShareDM.h"
#include "support/TrialLog.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <unistd.h>

namespace {
using namespace TrialLog;

const QString Cashier = QStringLiteral("出纳");
const QDate BaseDay(2026, 6, 15);
// The transfers' second account.
const QString OtherBank = QStringLiteral("试验二号帐户");

class Driver
{
public:
    Driver(const QString &folder, const QString &logPath, quint32 seed)
        : folder(QDir(folder).absolutePath() + QLatin1Char('/')), random(seed), seed(seed)
    {
        logFd
            = ::open(QFile::encodeName(logPath).constData(), O_CREAT | O_WRONLY | O_APPEND | O_CLOEXEC, 0644);
        SessionValues &s = module.session;
        s.ProgramDir = this->folder;
        s.SettingsPath = this->folder + QStringLiteral("Quillbrook.ini");
        s.DefaultLedgerFolder = Texts::RunPathPlaceholder + QStringLiteral("DataBase\\");
        s.CurrentUser = Cashier;
        s.RightIncome = s.RightExpense = s.RightTransfer = true;
        s.RightOverview = s.RightEdit = s.RightReports = true;
        s.AccountBookFilter = Sql(" And (AccountType = 1)");
        s.CurrentDay = BaseDay;
        record.setEntryForm(&forms.form);
        installSeams();
    }
    ~Driver()
    {
        if (logFd >= 0)
            ::close(logFd);
    }

    // What a start of the program does, then the rows the operations work on.
    bool start()
    {
        if (logFd < 0 || !openMaster())
            return false;
        Ledgers::RefreshLedgerStates();
        if (!findLedger(RestoreLedger).index) {
            const QString path
                = QStringLiteral("[RunPath]\\DataBase\\") + RestoreLedger + QStringLiteral(".ddb");
            Ledgers::AddLedger({RestoreLedger, path, {}, RestoreLedger, BaseDay});
        }
        if (!openTrialLedger())
            return false;
        Ledgers::RemoveInterruptedCopies();

        Query found;
        if (Accounts::FindAccount(found, Bank, Texts::DatabaseOpenFailed) == Accounts::Lookup::Missing)
            Accounts::InsertAccount({1, Bank, 0, {}}, Cashier);
        if (Accounts::FindAccount(found, OtherBank, Texts::DatabaseOpenFailed) == Accounts::Lookup::Missing)
            Accounts::InsertAccount({1, OtherBank, 0, {}}, Cashier);
        receivable = receivableIndex();
        if (receivable == 0) {
            InsertRow(QStringLiteral("GetPay"),
                {{QStringLiteral("GetPayTime"), BaseDay}, {QStringLiteral("GetPayUser"), Customer},
                    {QStringLiteral("GetPayKind"), QStringLiteral("应收")},
                    {QStringLiteral("GetPaySum"), 100000.0}, {QStringLiteral("GetPaySum2"), 0.0},
                    {QStringLiteral("GetPaySum3"), 100000.0},
                    {QStringLiteral("GetPayReason"), QStringLiteral("销售收入")},
                    {QStringLiteral("GetPayPower"), Cashier}});
            receivable = receivableIndex();
        }
        return receivable != 0;
    }

    void run(int changes)
    {
        const auto table = operations();
        int total = 0;
        for (const Operation &op : table)
            total += op.weight;
        for (int n = 0; changes < 0 || n < changes; ++n) {
            int pick = int(random.bounded(total));
            for (const Operation &op : table) {
                if (pick < op.weight) {
                    op.run();
                    break;
                }
                pick -= op.weight;
            }
        }
    }

private:
    struct Operation {
        const char *name;
        int weight;
        std::function<void()> run;
    };

    // The operations and how often each runs.
    QList<Operation> operations()
    {
        return {
            {"entry-save", 6, [this] { saveEntry(); }},
            {"entry-edit", 3, [this] { editEntry(); }},
            {"entry-delete", 2, [this] { deleteEntry(); }},
            {"account-delete", 1, [this] { deleteAccountWithEntries(); }},
            {"transfer", 3, [this] { transfer(); }},
            {"receivable-cancel", 2, [this] { cancelNewReceivable(); }},
            {"receivable-delete", 2, [this] { deleteReceivableWithEntries(); }},
            {"ledger-create", 2, [this] { createLedger(); }},
            {"ledger-rename", 2, [this] { renameLedger(); }},
            {"demo-shift", 1, [this] { shiftDemo(); }},
            {"backup", 1, [this] { backUp(); }},
            {"restore", 1, [this] { restore(); }},
            {"settings", 3, [this] { writeSetting(); }},
        };
    }

    // --- the operations ------------------------------------------------------------------------

    void saveEntry()
    {
        const bool income = random.bounded(2) == 0;
        const int amount = 1 + int(random.bounded(999));
        const QString token = newToken(QStringLiteral("T"));
        const QStringList facts {fact(QStringLiteral("entry:") + token, SumText(income ? amount : -amount))};
        forms.newEntry(income ? EntryTest::Income : EntryTest::Expense);
        // Income settles the trial receivable, so its sums move with every change.
        forms.form.Request.EntryGetPay = income ? receivable : 0;
        forms.form.Request.PresetUser = income ? Customer : QString();
        log(Begin, "entry-save", facts);
        showForm([&](QDialog *d) {
            EntryTest::choose(d, "ComboBox1", Bank);
            EntryTest::type(d, "Edit2", QString::number(amount));
            EntryTest::type(d, "Edit3", token);
            EntryTest::click(d, "BitBtn1");
        });
        acknowledge("entry-save", facts, messages.contains(QStringLiteral("记录新增成功")));
    }

    void editEntry()
    {
        Query entry;
        if (!pickEntry(&entry))
            return saveEntry();
        const QString kind = entry.text(QStringLiteral("MoneyKind"));
        const int amount = 1 + int(random.bounded(999));
        const QStringList facts {fact(QStringLiteral("entry:") + entry.text(QStringLiteral("MoneyRemark")),
            SumText(kind == EntryTest::Income ? amount : -amount))};
        forms.editEntry(entry.integer(QStringLiteral("MoneyIndex")), kind);
        log(Begin, "entry-edit", facts);
        showForm([&](QDialog *d) {
            EntryTest::type(d, "Edit2", QString::number(amount));
            EntryTest::click(d, "BitBtn1");
        });
        acknowledge("entry-edit", facts, messages.contains(QStringLiteral("记录修改成功")));
    }

    void deleteEntry()
    {
        Query entry;
        if (!pickEntry(&entry))
            return saveEntry();
        const QStringList facts {
            fact(QStringLiteral("entry:") + entry.text(QStringLiteral("MoneyRemark")), Gone)};
        forms.editEntry(entry.integer(QStringLiteral("MoneyIndex")), entry.text(QStringLiteral("MoneyKind")));
        log(Begin, "entry-delete", facts);
        const int result = showForm([](QDialog *d) { EntryTest::click(d, "BitBtn3"); });
        acknowledge("entry-delete", facts, result == QDialog::Accepted);
    }

    // An account with entries of its own, then the account deleted with them.
    void deleteAccountWithEntries()
    {
        const QString name = newToken(QStringLiteral("临时帐户"));
        const QString key = QStringLiteral("account:") + name;
        log(Begin, "account-add", {fact(key, Present)});
        const qint64 account = Accounts::InsertAccount({1, name, 0, {}}, Cashier);
        bool added = account > 0;
        for (int i = 0; added && i < 3; ++i) {
            EntryRow row;
            row.kind = EntryTest::Income;
            row.account = account;
            row.recordDay = row.createDay = BaseDay;
            row.amount = 10 + i;
            row.remark = name;
            row.power = Cashier;
            added = InsertEntry(row) > 0;
        }
        acknowledge("account-add", {fact(key, Present)}, added);
        if (!added)
            return;
        log(Begin, "account-delete", {fact(key, Gone)});
        acknowledge("account-delete", {fact(key, Gone)}, Accounts::DeleteAccountWithEntries(account));
    }

    // Both halves of a transfer between the trial's two accounts, found by their shared remark.
    void transfer()
    {
        if (!openTrialLedger())
            return;
        const QString token = newToken(QStringLiteral("P"));
        TransferValues values;
        values.source = transferAccount(Bank);
        values.target = transferAccount(OtherBank);
        values.amount = 1 + int(random.bounded(999));
        values.day = values.recordDay = BaseDay;
        values.remark = token;
        values.user = Cashier;
        const QStringList facts {fact(QStringLiteral("entry:") + token, QStringLiteral("stored 2 times"))};
        log(Begin, "transfer", facts);
        acknowledge(
            "transfer", facts, values.source.index > 0 && values.target.index > 0 && InsertTransfer(values));
    }

    // A new record with an entry added through the record dialog, then the dialog cancelled:
    // the record goes with its entry.
    void cancelNewReceivable()
    {
        if (!openTrialLedger())
            return;
        const QString token = newToken(QStringLiteral("R"));
        const QStringList facts {
            fact(QStringLiteral("receivable:") + token, Gone), fact(QStringLiteral("entry:") + token, Gone)};
        record.Request = {EntryTexts::ModeNew, QStringLiteral("应收"), 1};
        log(Begin, "receivable-cancel", facts);
        recordScript = [&](QDialog *d) {
            EntryTest::type(d, "Edit2", QStringLiteral("500"));
            EntryTest::type(d, "Edit3", token);
            formScript = [&](QDialog *entry) {
                EntryTest::choose(entry, "ComboBox1", Bank);
                EntryTest::type(entry, "Edit2", QString::number(1 + random.bounded(99)));
                EntryTest::type(entry, "Edit3", token);
                EntryTest::click(entry, "BitBtn1");
            };
            EntryTest::click(d, "Button2");
            formScript = nullptr;
        };
        const int result = Platform::ShowModal(&record);
        recordScript = nullptr;
        // The cancel says nothing when it succeeds; a failure would have shown its message.
        const bool onlyAdded = messages == QStringList {QStringLiteral("记录新增成功")};
        acknowledge("receivable-cancel", facts, result == QDialog::Rejected && onlyAdded);
    }

    // A record settled by entries made in the entry form, then deleted with them as the
    // receivables page does when asked to take the entries along.
    void deleteReceivableWithEntries()
    {
        if (!openTrialLedger())
            return;
        const QString token = newToken(QStringLiteral("D"));
        const QString recordKey = QStringLiteral("receivable:") + token;
        log(Begin, "receivable-add", {fact(recordKey, Present)});
        GetPayRow row;
        row.time = BaseDay;
        row.user = Customer;
        row.kind = QStringLiteral("应收");
        row.due = 1000;
        row.reason = QStringLiteral("销售收入");
        row.remark = token;
        row.power = Cashier;
        const qint64 index = InsertGetPayRecord(row);
        acknowledge("receivable-add", {fact(recordKey, Present)}, index > 0);
        if (index <= 0)
            return;
        for (int i = 0; i < 2; ++i) {
            forms.newEntry(EntryTest::Income);
            forms.form.Request.EntryGetPay = index;
            forms.form.Request.PresetUser = Customer;
            showForm([&](QDialog *d) {
                EntryTest::choose(d, "ComboBox1", Bank);
                EntryTest::type(d, "Edit2", QString::number(10 + i));
                EntryTest::type(d, "Edit3", token);
                EntryTest::click(d, "BitBtn1");
            });
        }
        const QStringList facts {fact(recordKey, Gone), fact(QStringLiteral("entry:") + token, Gone)};
        log(Begin, "receivable-delete", facts);
        acknowledge("receivable-delete", facts, DeleteGetPayRecord(index, true));
    }

    void createLedger()
    {
        if (!openMaster())
            return;
        if (createdLedgers().size() >= 4) {
            deleteLedger();
            openTrialLedger();
            return;
        }
        const QString name = newToken(CreatedLedgerPrefix);
        const QStringList facts {fact(QStringLiteral("ledger:") + name, Present)};
        log(Begin, "ledger-create", facts);
        const auto outcome
            = Ledgers::AddLedger({name, ledgerPath(name), QStringLiteral("试验"), name, BaseDay});
        acknowledge("ledger-create", facts, outcome == Ledgers::SaveOutcome::Saved);
        openTrialLedger();
    }

    void renameLedger()
    {
        if (!openMaster())
            return;
        const QStringList names = createdLedgers();
        if (names.isEmpty()) {
            createLedger();
            return;
        }
        const LedgerRow old = findLedger(names.at(int(random.bounded(qsizetype(names.size())))));
        const QString name = newToken(CreatedLedgerPrefix);
        const QStringList facts {fact(QStringLiteral("ledger:") + old.name, Absent),
            fact(QStringLiteral("ledger:") + name, Present)};
        log(Begin, "ledger-rename", facts);
        const auto outcome
            = Ledgers::EditLedger(old.index, {name, ledgerPath(name), QStringLiteral("改名"), name, BaseDay});
        acknowledge("ledger-rename", facts, outcome == Ledgers::SaveOutcome::Saved);
        openTrialLedger();
    }

    // A registry entry deleted (its file stays, as the chooser leaves it), then its file thrown
    // away by the user.
    void deleteLedger()
    {
        const QStringList names = createdLedgers();
        if (names.isEmpty())
            return;
        const LedgerRow old = findLedger(names.at(int(random.bounded(qsizetype(names.size())))));
        const QString file = ResolveRunPath(old.path);
        const QStringList facts {fact(QStringLiteral("ledger:") + old.name, Absent),
            QStringLiteral("released:") + QFileInfo(file).fileName()};
        log(Begin, "ledger-delete", facts);
        acknowledge("ledger-delete", facts, Ledgers::DeleteLedger(old.index));
        QFile::remove(file);
    }

    // The demonstration ledger's first login, made to happen again each time.
    void shiftDemo()
    {
        if (!openMaster())
            return;
        LedgerRow demo = findLedger(DemoLedger);
        if (!demo.index)
            return;
        demo.tips = QStringLiteral("演示帐套（演示数据 [XXXX] 至 [YYYY]）");
        UpdateRow(QStringLiteral("SoftData"), QStringLiteral("SoftDataIndex"), demo.index,
            {{QStringLiteral("SoftDataTips"), demo.tips}});
        today = BaseDay.addDays(qint64(random.bounded(400)) - 200);
        const QStringList facts {fact(QStringLiteral("demo"), today.toString(Qt::ISODate))};
        log(Begin, "demo-shift", facts);
        const bool shifted = Ledgers::LoginLedger({demo.index, demo.name, demo.path, demo.tips});
        acknowledge("demo-shift", facts, shifted);
        today = BaseDay;
        openTrialLedger();
    }

    void backUp()
    {
        if (!openTrialLedger())
            return;
        const QString name = BackupPrefix + QString::number(random.bounded(3)) + QStringLiteral(".ddb");
        const QStringList facts {fact(QStringLiteral("backup:") + name, Sound)};
        fileAnswer = Ledgers::BackupFolder() + QLatin1Char('/') + name;
        log(Begin, "backup", facts);
        Ledgers::BackupLedger(nullptr);
        acknowledge("backup", facts, messages.contains(QStringLiteral("恭喜您，数据库备份成功")));
    }

    // A backup of the trial ledger restored over the restore ledger.
    void restore()
    {
        const QStringList backups = QDir(folder + QStringLiteral("数据库备份"))
                                        .entryList({BackupPrefix + QStringLiteral("*.ddb")}, QDir::Files);
        if (backups.isEmpty() || !openMaster())
            return backUp();
        const LedgerRow target = findLedger(RestoreLedger);
        QString error;
        if (!target.index || !OpenLedgerConnection(ResolveRunPath(target.path), DatabaseKind::Ledger, &error))
            return;
        fileAnswer = folder + QStringLiteral("数据库备份/")
            + backups.at(int(random.bounded(qsizetype(backups.size()))));
        log(Begin, "restore", {});
        const bool restored = Ledgers::RestoreLedger(nullptr);
        acknowledge("restore", {}, restored);
        openTrialLedger();
    }

    void writeSetting()
    {
        static const QStringList keys {QStringLiteral("Quillbrook3/BillPrint"),
            QStringLiteral("Quillbrook3/PrintType"), QStringLiteral("日记帐簿/MoneyRemark"),
            QStringLiteral("报表中心/MoneyUser")};
        const QString key = keys.at(int(random.bounded(qsizetype(keys.size()))));
        const QString value = QString::number(40 + random.bounded(200));
        const QStringList facts {fact(QStringLiteral("setting:") + key, value)};
        log(Begin, "settings", facts);
        const bool written = WriteSetting(key.section(QLatin1Char('/'), 0, 0),
            key.section(QLatin1Char('/'), 1), value, Session().SettingsPath);
        acknowledge("settings", facts, written);
    }

    // --- helpers -------------------------------------------------------------------------------

    struct LedgerRow {
        qint64 index = 0;
        QString name;
        QString path;
        QString tips;
    };

    void installSeams()
    {
        auto &h = Platform::Seams::handlers();
        h.message = [this](Platform::MessageKind kind, const QString &text, const QString &) {
            messages.append(text);
            return kind == Platform::MessageKind::Question; // every question is answered Yes
        };
        h.modal = [this](QDialog *dialog) {
            dialog->setResult(QDialog::Rejected);
            dialog->show();
            if (formScript && dialog == &forms.form)
                formScript(dialog);
            if (recordScript && dialog == &record)
                recordScript(dialog);
            if (dialog->isVisible())
                dialog->reject();
            return dialog->result();
        };
        h.fileDialog = [this](bool, const Platform::FileDialogRequest &) { return fileAnswer; };
        h.openWithDesktop = [](const QString &) { return true; };
        h.today = [this] { return today; };
        h.busyCursorDisabled = true;
    }

    int showForm(std::function<void(QDialog *)> script)
    {
        formScript = std::move(script);
        const int result = Platform::ShowModal(&forms.form);
        formScript = nullptr;
        return result;
    }

    bool openMaster()
    {
        if (ShareDataModule->databasePath() == folder + QStringLiteral("Quillbrook3.MDB"))
            return true;
        return OpenLedgerConnection(folder + QStringLiteral("Quillbrook3.MDB"), DatabaseKind::Master);
    }

    bool openTrialLedger()
    {
        if (ShareDataModule->databasePath() == folder + TrialLedgerFile)
            return true;
        return OpenLedgerConnection(folder + TrialLedgerFile, DatabaseKind::Ledger);
    }

    TransferAccount transferAccount(const QString &name)
    {
        Query found;
        if (Accounts::FindAccount(found, name, Texts::DatabaseOpenFailed) != Accounts::Lookup::Found)
            return {};
        return {found.integer(QStringLiteral("AccountIndex")), name,
            int(found.integer(QStringLiteral("AccountType")))};
    }

    qint64 receivableIndex()
    {
        Query q;
        RunQuery(q,
            Sql("Select GetPayIndex From GetPay Where GetPayUser = ") + Sql::value(Customer)
                + Sql(" And GetPayKind = '应收'"),
            Texts::DatabaseOpenFailed);
        return q.isEmpty() ? 0 : q.integer(QStringLiteral("GetPayIndex"));
    }

    bool pickEntry(Query *entry)
    {
        if (!openTrialLedger())
            return false;
        RunQuery(*entry,
            Sql("Select MoneyIndex, MoneyKind, MoneyRemark From MoneyTable Where MoneyRemark Like 'T%' "
                "Order By random() Limit 1"),
            Texts::DatabaseOpenFailed);
        return !entry->isEmpty();
    }

    LedgerRow findLedger(const QString &name)
    {
        Query q;
        RunQuery(q, Sql("Select * From SoftData Where SoftDataName = ") + Sql::value(name),
            Texts::DatabaseOpenFailed);
        if (q.isEmpty())
            return {};
        return {q.integer(QStringLiteral("SoftDataIndex")), name, q.text(QStringLiteral("SoftDataPath")),
            q.text(QStringLiteral("SoftDataTips"))};
    }

    QStringList createdLedgers()
    {
        Query q;
        RunQuery(q,
            Sql("Select SoftDataName From SoftData Where SoftDataName Like ")
                + Sql::value(CreatedLedgerPrefix + '%'),
            Texts::DatabaseOpenFailed);
        QStringList names;
        for (q.first(); !q.eof(); q.next())
            names.append(q.text(QStringLiteral("SoftDataName")));
        return names;
    }

    static QString ledgerPath(const QString &name)
    {
        return QStringLiteral("[RunPath]\\DataBase\\") + name + QStringLiteral(".ddb");
    }

    QString newToken(const QString &prefix)
    {
        return prefix + QStringLiteral("%1-%2").arg(seed).arg(++counter);
    }
    static QString fact(const QString &key, const QString &value) { return key + QLatin1Char('=') + value; }

    void log(const QString &kind, const char *operation, const QStringList &facts)
    {
        if (kind == Begin)
            messages.clear();
        QStringList fields {kind, QString::fromLatin1(operation)};
        fields += facts;
        const QByteArray line = fields.join(QLatin1Char('\t')).toUtf8() + '\n';
        // One write per line: a kill never leaves half a line behind.
        if (::write(logFd, line.constData(), size_t(line.size())) != line.size())
            std::_Exit(3);
    }

    void acknowledge(const char *operation, const QStringList &facts, bool confirmed)
    {
        if (confirmed)
            log(Done, operation, facts);
        else
            log(Fail, operation, {messages.join(QLatin1String(" / "))});
    }

    QString folder;
    QRandomGenerator random;
    quint32 seed;
    int counter = 0;
    int logFd = -1;
    TShareDataModule module;
    EntryTest::Forms forms;
    std::function<void(QDialog *)> formScript;
    TFormGetPay2 record;
    std::function<void(QDialog *)> recordScript;
    QStringList messages;
    QString fileAnswer;
    QDate today = BaseDay;
    qint64 receivable = 0;
};
} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    const QStringList args = QApplication::arguments();
    if (args.size() < 4) {
        std::fprintf(stderr, "usage: quill_crashdriver <program folder> <log file> <seed> [changes]\n");
        return 2;
    }
    Driver driver(args.at(1), args.at(2), args.at(3).toUInt());
    if (!driver.start()) {
        std::fprintf(stderr, "the trial folder could not be opened\n");
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    // QUILL_AUTOBACKUP_STOP=listed|renamed: make the day's automatic copy and stop for good at
    // that step, saying "stopped", so that the kill lands exactly there.
    if (const QString stop = qEnvironmentVariable("QUILL_AUTOBACKUP_STOP"); !stop.isEmpty()) {
        const Ledgers::AutoBackupStep at = stop == QLatin1String("listed") ? Ledgers::AutoBackupStep::Listed
                                                                           : Ledgers::AutoBackupStep::Renamed;
        Ledgers::SetAutoBackupStepHook([at](Ledgers::AutoBackupStep step) {
            if (step != at)
                return;
            std::printf("stopped\n");
            std::fflush(stdout);
            for (;;)
                ::pause();
        });
        Ledgers::MakeAutomaticBackup();
        return 4; // the step was never reached
    }
    driver.run(args.size() > 4 ? args.at(4).toInt() : -1);
    return 0;
}
