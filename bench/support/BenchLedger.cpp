#include "BenchLedger.h"

#include "app/Session.h"
#include "platform/Seams.h"
#include "storage/PublicFunction.h"
#include "storage/Schema.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <cstdio>
#include <ctime>
#include <malloc.h>

namespace Bench {

namespace {

const char *const GenerateOption = "--generate-bench-ledger";
// Part of the cache key: raise it whenever generate() writes other rows.
const char *const GeneratorVersion = "1";
constexpr quint32 Seed = 20240101;

bool run(QSqlQuery &q, const QString &statement)
{
    if (q.exec(statement))
        return true;
    std::fprintf(stderr, "%s: %s\n", qPrintable(statement), qPrintable(q.lastError().text()));
    return false;
}

QStringList numbered(const QString &stem, int count)
{
    QStringList out;
    for (int i = 1; i <= count; ++i)
        out.append(stem + QString::number(i));
    return out;
}

// Fills the open ledger as one written before the money totals existed: the totals and their
// triggers are dropped first, so that opening it afterwards builds them from the entries.
bool generate()
{
    QSqlDatabase db = ShareDataModule->connection();
    QSqlQuery q(db);
    for (const QString &statement : LedgerSchemaStatements()) {
        if (!statement.startsWith(QLatin1String("CREATE TRIGGER"), Qt::CaseInsensitive))
            continue;
        const QString name = statement.section(QRegularExpression(QStringLiteral("\\s+")), 2, 2);
        if (!run(q, QStringLiteral("DROP TRIGGER ") + name))
            return false;
    }
    for (const QString &table : LedgerTotalsTables())
        if (!run(q, QStringLiteral("DROP TABLE ") + table))
            return false;
    run(q, QStringLiteral("PRAGMA cache_size = -400000")); // generation only
    Transaction transaction;
    QSqlQuery account(db);
    account.prepare(
        QStringLiteral("Insert Into Account (AccountName, AccountBase, AccountRemark, AccountType, "
                       "AccountPower) Values (?, ?, '', ?, ?)"));
    QList<qint64> accounts;
    QList<int> types;
    for (int a = 0; a < AccountCount; ++a) {
        types.append(a % 3 == 0 ? 2 : 1);
        account.addBindValue(QStringLiteral("帐户%1").arg(a + 1, 4, 10, QLatin1Char('0')));
        account.addBindValue(double(a % 17) * 1000.25);
        account.addBindValue(types.last());
        account.addBindValue(a % 10 == 0 ? Clerk : Cashier);
        if (!account.exec()) {
            std::fprintf(stderr, "%s\n", qPrintable(account.lastError().text()));
            return false;
        }
        accounts.append(account.lastInsertId().toLongLong());
    }
    // The classifying columns take a few dozen values each, as a ledger in use does, so that
    // the analyses group into many rows.
    QStringList customers = numbered(QStringLiteral("客户"), 60);
    customers.prepend(QStringLiteral("零散客户"));
    const QStringList salesmen = numbered(QStringLiteral("业务员"), 12);
    const QStringList types2 = {QStringLiteral("日常收支"), QStringLiteral("工资福利"),
        QStringLiteral("房租水电"), QStringLiteral("差旅交通"), QStringLiteral("货款"),
        QStringLiteral("税费"), QStringLiteral("利息"), QStringLiteral("其他")};
    const QStringList tokens = {QStringLiteral("现金"), QStringLiteral("支票"), QStringLiteral("转帐"),
        QStringLiteral("汇票"), QStringLiteral("收据")};
    const QStringList incomeReasons = {QStringLiteral("销售收入"), QStringLiteral("服务收入"),
        QStringLiteral("利息收入"), QStringLiteral("其他收入")};
    const QStringList expenseReasons = {QStringLiteral("办公费用"), QStringLiteral("采购支出"),
        QStringLiteral("工资支出"), QStringLiteral("差旅费用"), QStringLiteral("其他支出")};
    QSqlQuery entry(db);
    entry.prepare(QStringLiteral("Insert Into MoneyTable (MoneyKind, MoneyGetPay, MoneySerial, MoneyAccount, "
                                 "MoneyUser, MoneyRecordTime, MoneyCreateTime, MoneyIn, MoneyOut, MoneySum, "
                                 "MoneyReason, MoneyMan, MoneyType, MoneyToken, MoneyRemark, MoneyPower) "
                                 "Values (?, 0, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, '', ?)"));
    QRandomGenerator random(Seed);
    for (int i = 0; i < EntryCount; ++i) {
        const QString day = IsoDate(FirstDay.addDays(i / EntriesPerDay));
        const int a = random.bounded(AccountCount);
        const double amount = random.bounded(1, 500000) / 100.0;
        const int kind = random.bounded(20);
        const bool income = kind % 2 == 0;
        // One entry in twenty is half of a transfer, of the same book or across the books.
        const QString reason = kind == 0
            ? (types[a] == 1 ? QStringLiteral("帐户平调") : QStringLiteral("帐簿平调"))
            : income ? incomeReasons[random.bounded(int(incomeReasons.size()))]
                     : expenseReasons[random.bounded(int(expenseReasons.size()))];
        // Customers are uneven: the walk-in customer has a quarter of the entries.
        const int customer = random.bounded(4) == 0 ? 0 : 1 + random.bounded(int(customers.size()) - 1);
        entry.addBindValue(income ? QStringLiteral("财务收入") : QStringLiteral("财务支出"));
        entry.addBindValue(QStringLiteral("JZ%1").arg(i + 1, 8, 10, QLatin1Char('0')));
        entry.addBindValue(accounts[a]);
        entry.addBindValue(customers[customer]);
        entry.addBindValue(day);
        entry.addBindValue(day);
        entry.addBindValue(income ? amount : 0.0);
        entry.addBindValue(income ? 0.0 : amount);
        entry.addBindValue(income ? amount : -amount);
        entry.addBindValue(reason);
        entry.addBindValue(salesmen[random.bounded(int(salesmen.size()))]);
        entry.addBindValue(types2[random.bounded(int(types2.size()))]);
        entry.addBindValue(tokens[random.bounded(int(tokens.size()))]);
        entry.addBindValue(random.bounded(10) == 0 ? Clerk : Cashier);
        if (!entry.exec()) {
            std::fprintf(stderr, "%s\n", qPrintable(entry.lastError().text()));
            return false;
        }
    }
    account.finish();
    entry.finish();
    return transaction.commit();
}

// The cache file for this template: the generator's parameters and the template's bytes name it.
QString cachePath(const QString &templatePath)
{
    QFile file(templatePath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha1);
    hash.addData(QStringLiteral("%1 %2 %3 %4 %5 %6")
                     .arg(QLatin1String(GeneratorVersion))
                     .arg(AccountCount)
                     .arg(EntryCount)
                     .arg(EntriesPerDay)
                     .arg(IsoDate(FirstDay))
                     .arg(Seed)
                     .toUtf8());
    if (!hash.addData(&file))
        return {};
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/ledger-cache/");
    return folder + QStringLiteral("Bench-") + QString::fromLatin1(hash.result().toHex().left(16))
        + QStringLiteral(".ddb");
}

} // namespace

bool RunAsGenerator(int argc, char **argv, int *exitCode)
{
    if (argc < 4 || qstrcmp(argv[1], GenerateOption) != 0)
        return false;
    QCoreApplication app(argc, argv);
    const QString templatePath = QString::fromLocal8Bit(argv[2]);
    const QString target = QString::fromLocal8Bit(argv[3]);
    // Benches started together may each generate; each writes its own file.
    const QString partial = target + QStringLiteral(".%1.partial").arg(QCoreApplication::applicationPid());
    QFile::remove(partial);
    *exitCode = 1;
    if (!QFile::copy(templatePath, partial)) {
        std::fprintf(stderr, "cannot copy the empty-ledger template %s\n", qPrintable(templatePath));
        return true;
    }
    QFile::setPermissions(partial, QFile::permissions(partial) | QFile::WriteOwner);
    bool ok = false;
    {
        TShareDataModule module;
        QString error;
        if (!OpenLedgerConnection(partial, DatabaseKind::Ledger, &error))
            std::fprintf(stderr, "%s\n", qPrintable(error));
        else
            ok = generate();
        module.closeConnection();
    }
    // Only a whole ledger takes the cache's name.
    if (ok && (QFile::exists(target) ? QFile::remove(target) : true) && QFile::rename(partial, target))
        *exitCode = 0;
    else
        QFile::remove(partial);
    return true;
}

Setup::Setup(const char *name, int argc, char **argv) : benchName(QString::fromLatin1(name))
{
    QString given = argc > 1 ? QString::fromLocal8Bit(argv[1])
                             : QCoreApplication::applicationDirPath() + QStringLiteral("/../programfiles");
    if (QFileInfo(given).isDir()) {
        programFiles = QDir(given).absolutePath();
        templatePath = QDir(given).filePath(QStringLiteral("QuillShare.dll"));
    } else {
        programFiles = QFileInfo(given).absolutePath();
        templatePath = given;
    }
    Platform::Seams::handlers().message = [](Platform::MessageKind, const QString &text, const QString &) {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
        return false;
    };
    Platform::Seams::handlers().busyCursorDisabled = true;
}

Setup::~Setup()
{
    if (module)
        module->closeConnection();
}

int Setup::failed(const QString &what) const
{
    std::fprintf(stderr, "%s: %s\n", qPrintable(benchName), qPrintable(what));
    return 1;
}

bool Setup::prepare()
{
    if (!dir.isValid())
        return fail(QStringLiteral("no temporary folder"));
    programFolder = dir.path() + QLatin1Char('/');
    const QString cached = cachePath(templatePath);
    if (cached.isEmpty())
        return fail(QStringLiteral("cannot read the empty-ledger template %1").arg(templatePath));

    QElapsedTimer timer;
    timer.start();
    const bool made = !QFile::exists(cached);
    if (made) {
        QDir().mkpath(QFileInfo(cached).absolutePath());
        // A cache of other parameters or of an older template is of no further use.
        QDir folder(QFileInfo(cached).absolutePath());
        for (const QString &old : folder.entryList({QStringLiteral("Bench-*.ddb*")}, QDir::Files))
            folder.remove(old);
        std::printf("generating the bench ledger into %s …\n", qPrintable(cached));
        std::fflush(stdout);
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(QCoreApplication::applicationFilePath(),
            {QString::fromLatin1(GenerateOption), templatePath, cached});
        if (!child.waitForFinished(-1) || child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0
            || !QFile::exists(cached))
            return fail(QStringLiteral("generating the ledger failed"));
    }
    const double generated = timer.elapsed() / 1000.0;
    if (!QFile::copy(cached, ledgerPath()))
        return fail(QStringLiteral("cannot copy %1").arg(cached));
    QFile::setPermissions(ledgerPath(), QFile::permissions(ledgerPath()) | QFile::WriteOwner);
    // The pictures, and the report templates that prints load.
    for (const QString &sub : {QStringLiteral("Res"), QStringLiteral("Frf")}) {
        QDir().mkpath(programFolder + sub);
        const QDir from(programFiles + QLatin1Char('/') + sub);
        for (const QString &file : from.entryList(QDir::Files))
            QFile::copy(from.filePath(file), programFolder + sub + QLatin1Char('/') + file);
    }

    std::printf("ledger: %d accounts, %d entries (%d a day, %s to %s), %.0f MB, %s\n", AccountCount,
        EntryCount, EntriesPerDay, qPrintable(IsoDate(FirstDay)), qPrintable(IsoDate(LastDay)),
        QFileInfo(ledgerPath()).size() / 1e6,
        made ? qPrintable(QStringLiteral("generated in %1 s").arg(generated, 0, 'f', 1))
             : qPrintable(QStringLiteral("copied from %1").arg(cached)));

    module = std::make_unique<TShareDataModule>();
    SessionValues &s = Session();
    s.ProgramDir = programFolder;
    s.SettingsPath = programFolder + QStringLiteral("Quillbrook.ini");
    s.CurrentUser = Cashier;
    return true;
}

bool Setup::open(QString *error)
{
    QString reason;
    if (OpenLedgerConnection(ledgerPath(), DatabaseKind::Ledger, &reason))
        return true;
    failed(reason);
    if (error)
        *error = reason;
    return false;
}

void Setup::close()
{
    module->closeConnection();
}

double BestOf(int runs, const std::function<bool()> &work, bool *ok)
{
    double fastest = 0;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        if (!work()) {
            *ok = false;
            return 0;
        }
        const double ms = MsSince(timer);
        if (run == 0 || ms < fastest)
            fastest = ms;
    }
    return fastest;
}

double MsSince(const QElapsedTimer &timer)
{
    return timer.nsecsElapsed() / 1e6;
}

double CpuMs()
{
    timespec t {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + t.tv_nsec / 1e6;
}

double PeakMemoryMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return -1;
}

bool ResetPeakMemory()
{
    // Freed memory goes back to the system first, so that what an earlier step freed does not
    // count in the next one's peak; "5" then starts the peak anew at the present resident size.
    malloc_trim(0);
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    return refs.open(QIODevice::WriteOnly) && refs.write("5") == 1;
}

bool ReadAll(const Sql &sql, int *rows)
{
    QSqlQuery q(ShareDataModule->connection());
    q.setForwardOnly(true);
    q.prepare(sql.text());
    for (const QVariant &v : sql.values())
        q.addBindValue(v);
    if (!q.exec()) {
        std::fprintf(stderr, "%s\n", qPrintable(q.lastError().text()));
        return false;
    }
    int n = 0;
    const int columns = q.record().count();
    while (q.next()) {
        for (int c = 0; c < columns; ++c)
            q.value(c);
        ++n;
    }
    if (rows)
        *rows = n;
    return true;
}

void UseOffscreenWindowsUnlessSet()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

} // namespace Bench
