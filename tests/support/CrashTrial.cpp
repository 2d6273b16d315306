#include "support/CrashTrial.h"

#include "ledgers/LedgerBackup.h"
#include "ledgers/LedgerRegistry.h"
#include "platform/FileOps.h"
#include "platform/IniProfile.h"
#include "platform/Seams.h"
#include "storage/PublicFunction.h"
#include "storage/ShareDM.h"
#include "support/TestSupport.h"
#include "support/TrialLog.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringDecoder>
#include <QThread>

#include <memory>

namespace TestSupport {

namespace {
using namespace TrialLog;

const QString MasterFile = QStringLiteral("Quillbrook3.MDB");
const QString BackupFolderName = QStringLiteral("数据库备份");

// A connection of its own to one database file, opened for reading and writing as the program
// opens it (so a journal that a kill left behind is rolled back first).
class Peek
{
public:
    explicit Peek(const QString &path) : name(QStringLiteral("trial-peek%1").arg(++counter))
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(BuildConnectionString(path));
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(BusyTimeoutMs));
        if (!db.open())
            openError = db.lastError().text();
    }
    ~Peek()
    {
        QSqlDatabase::database(name, false).close();
        QSqlDatabase::removeDatabase(name);
    }
    Peek(const Peek &) = delete;
    Peek &operator=(const Peek &) = delete;

    bool isOpen() const { return openError.isEmpty(); }
    QString error() const { return openError; }
    // Every row, each as a list of values; *ok false when the statement failed.
    QList<QVariantList> rows(const QString &sql, bool *ok = nullptr)
    {
        QList<QVariantList> out;
        QSqlQuery q(QSqlDatabase::database(name, false));
        const bool done = q.exec(sql);
        if (ok)
            *ok = done;
        if (!done)
            lastError = q.lastError().text();
        while (done && q.next()) {
            QVariantList row;
            for (int i = 0; i < q.record().count(); ++i)
                row.append(q.value(i));
            out.append(row);
        }
        return out;
    }
    QVariant value(const QString &sql) { return rows(sql).value(0).value(0); }
    QString lastError;

private:
    QString name;
    QString openError;
    static inline int counter = 0;
};

QString integrityProblem(const QString &path)
{
    Peek db(path);
    if (!db.isOpen())
        return QStringLiteral("cannot be opened: ") + db.error();
    bool ok = false;
    const auto result = db.rows(QStringLiteral("PRAGMA integrity_check"), &ok);
    if (!ok)
        return QStringLiteral("integrity check failed: ") + db.lastError;
    if (result.size() != 1 || result.first().value(0).toString() != QLatin1String("ok"))
        return QStringLiteral("integrity check: ") + result.value(0).value(0).toString();
    return {};
}

QStringList filesIn(const QString &folder, const QStringList &patterns = {})
{
    QStringList out;
    const QFileInfoList files
        = QDir(folder).entryInfoList(patterns, QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo &file : files)
        out.append(file.absoluteFilePath());
    return out;
}

QString placeOf(const QString &path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

// Runs the steps of the next start on the folder: the chooser's listing (which finishes or
// removes cut-short ledger changes) and the login's tidy-up. What they show is returned.
QStringList startAgain(const QString &folder)
{
    Platform::Seams::Handlers saved = Platform::Seams::handlers();
    QStringList shown;
    Platform::Seams::handlers() = {};
    Platform::Seams::handlers().message
        = [&shown](Platform::MessageKind, const QString &text, const QString &) {
              shown.append(text);
              return false;
          };
    Platform::Seams::handlers().busyCursorDisabled = true;
    {
        TShareDataModule module;
        SessionValues &s = module.session;
        s.ProgramDir = folder;
        s.SettingsPath = folder + QStringLiteral("Quillbrook.ini");
        s.DefaultLedgerFolder = Texts::RunPathPlaceholder + QStringLiteral("DataBase\\");
        QString error;
        if (!OpenLedgerConnection(folder + MasterFile, DatabaseKind::Master, &error))
            shown.append(QStringLiteral("master database: ") + error);
        else
            Ledgers::RefreshLedgerStates();
        if (!OpenLedgerConnection(folder + TrialLedgerFile, DatabaseKind::Ledger, &error))
            shown.append(QStringLiteral("trial ledger: ") + error);
        Ledgers::RemoveInterruptedCopies();
    }
    Platform::Seams::handlers() = saved;
    return shown;
}

// The registered ledgers: name → resolved path.
QList<QPair<QString, QString>> registeredLedgers(const QString &folder, TrialFindings *f)
{
    QList<QPair<QString, QString>> out;
    Peek master(folder + MasterFile);
    bool ok = false;
    const auto rows = master.rows(
        QStringLiteral("Select SoftDataName, SoftDataPath From SoftData Where SoftDataIndex > 1"), &ok);
    if (!ok)
        f->corruptions.append(QStringLiteral("registry unreadable: ") + master.lastError);
    for (const QVariantList &row : rows)
        out.append({row.value(0).toString(), ResolveRunPath(row.value(1).toString(), folder)});
    return out;
}

// Files whose registry entries the driver deleted: they may stay unregistered.
QSet<QString> releasedFiles(const QString &logPath)
{
    QSet<QString> names;
    QFile log(logPath);
    if (log.open(QIODevice::ReadOnly))
        for (const QByteArray &raw : log.readAll().split('\n'))
            for (const QString &field : QString::fromUtf8(raw).split(QLatin1Char('\t')))
                if (field.startsWith(QLatin1String("released:")))
                    names.insert(field.section(QLatin1Char(':'), 1));
    return names;
}

void checkRegistry(const QString &folder, const QList<QPair<QString, QString>> &ledgers,
    const QSet<QString> &released, TrialFindings *f)
{
    QSet<QString> places;
    for (const auto &[name, path] : ledgers) {
        places.insert(placeOf(path));
        if (!QFileInfo(path).isFile())
            f->halfStates.append(QStringLiteral("registry entry %1 without its file %2").arg(name, path));
    }
    for (const QString &file : filesIn(folder + QStringLiteral("DataBase"))) {
        // SQLite's own journal of a registered ledger is its business, not a left-over.
        const QString journalOf = file.endsWith(QLatin1String("-journal")) ? file.chopped(8) : QString();
        if (!places.contains(placeOf(file)) && !places.contains(placeOf(journalOf))
            && !released.contains(QFileInfo(file).fileName()))
            f->halfStates.append(QStringLiteral("file neither registered nor removed: ") + file);
    }
    for (const QString &place : {folder, folder + BackupFolderName}) {
        for (const QString &file : filesIn(place))
            if (Platform::IsLeftoverTemporary(QFileInfo(file).fileName()))
                f->halfStates.append(QStringLiteral("temporary copy left after a start: ") + file);
    }
}

void checkLedger(const QString &name, const QString &path, TrialFindings *f)
{
    if (!QFileInfo(path).isFile())
        return;
    const QString problem = Ledgers::LedgerFileProblem(path);
    if (!problem.isEmpty()) {
        f->corruptions.append(name + QStringLiteral(": ") + problem);
        return;
    }
    Peek db(path);
    const auto fail = [&](const QString &what) { f->halfStates.append(name + QStringLiteral(": ") + what); };
    // No entry without its account (an account goes with its entries).
    const int orphans = db.value(QStringLiteral("Select Count(*) From MoneyTable Where MoneyIndex > 1 And "
                                                "MoneyAccount Not In (Select AccountIndex From Account)"))
                            .toInt();
    if (orphans != 0)
        fail(QStringLiteral("%1 entries without their account").arg(orphans));
    // A receivable's settled and outstanding sums follow its linked entries.
    const auto unequal = db.rows(QStringLiteral(
        "Select GetPayIndex From GetPay g Where GetPayIndex > 1 And ("
        "abs(coalesce(GetPaySum2, 0) - coalesce((Select abs(round(Sum(MoneySum), 2)) From MoneyTable "
        "Where MoneyGetPay = g.GetPayIndex), 0)) > 0.005 Or "
        "abs(coalesce(GetPaySum3, 0) - (coalesce(GetPaySum, 0) - coalesce(GetPaySum2, 0))) > 0.005)"));
    for (const QVariantList &row : unequal)
        fail(QStringLiteral("receivable %1: sums differ from its entries").arg(row.value(0).toLongLong()));
    // Both halves of every transfer, or neither.
    const QVariantList transfers
        = db.rows(QStringLiteral("Select coalesce(round(Sum(MoneySum), 2), 0), "
                                 "coalesce(Sum(MoneySum < 0), 0), coalesce(Sum(MoneySum > 0), 0) "
                                 "From MoneyTable Where MoneyReason In ('帐户平调', '帐簿平调')"))
              .value(0);
    if (transfers.value(0).toDouble() != 0 || transfers.value(1).toInt() != transfers.value(2).toInt())
        fail(QStringLiteral("transfers out of balance (sum %1, %2 out, %3 in)")
                 .arg(transfers.value(0).toString(), transfers.value(1).toString(),
                     transfers.value(2).toString()));
}

// Every date of the demonstration ledger moved by one and the same number of days.
void checkDemoShift(const QString &path, TrialFindings *f)
{
    if (!QFileInfo(path).isFile())
        return;
    Peek db(path);
    const QString pristine = QStringLiteral(QUILL_PRISTINE_DIR) + QLatin1Char('/') + DemoLedgerFile;
    db.rows(QStringLiteral("Attach Database '%1' As p")
                .arg(QString(pristine).replace('\'', QLatin1String("''"))));
    const QVariant offsets = db.value(QStringLiteral(
        "Select Count(Distinct d) From ("
        "Select julianday(m.MoneyCreateTime) - julianday(o.MoneyCreateTime) As d From MoneyTable m "
        "Join p.MoneyTable o On o.MoneyIndex = m.MoneyIndex "
        "Union All Select julianday(m.MoneyRecordTime) - julianday(o.MoneyRecordTime) From MoneyTable m "
        "Join p.MoneyTable o On o.MoneyIndex = m.MoneyIndex "
        "Union All Select julianday(g.GetPayTime) - julianday(h.GetPayTime) From GetPay g "
        "Join p.GetPay h On h.GetPayIndex = g.GetPayIndex)"));
    if (offsets.toInt() != 1)
        f->halfStates.append(QStringLiteral("demonstration ledger: dates moved by %1 different offsets")
                                 .arg(offsets.toString()));
}

void checkSettingsFile(const QString &path, TrialFindings *f)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray bytes = file.readAll();
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes);
    if (utf8.hasError()) {
        f->halfStates.append(QStringLiteral("settings file is not whole UTF-8 text"));
        return;
    }
    if (!bytes.isEmpty() && !bytes.endsWith('\n'))
        f->halfStates.append(QStringLiteral("settings file ends in the middle of a line"));
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        const QString t = line.trimmed();
        if (!t.isEmpty() && !t.startsWith(QLatin1Char('[')) && !t.startsWith(QLatin1Char(';'))
            && !t.contains(QLatin1Char('=')))
            f->halfStates.append(QStringLiteral("settings file has a broken line: ") + t);
    }
}

// What the folder holds now for one fact key of the log.
class Observer
{
public:
    Observer(const QString &folder, const QList<QPair<QString, QString>> &ledgers) : folder(folder)
    {
        for (const auto &[name, path] : ledgers)
            ledgerFiles.insert(name, path);
        Peek trial(folder + TrialLedgerFile);
        for (const QVariantList &row :
            trial.rows(QStringLiteral("Select MoneyRemark, MoneySum From MoneyTable Where MoneyIndex > 1 And "
                                      "MoneyRemark Is Not Null")))
            entries[row.value(0).toString()].append(SumText(row.value(1).toDouble()));
        for (const QVariantList &row : trial.rows(QStringLiteral("Select AccountName From Account")))
            accounts.insert(row.value(0).toString());
        for (const QVariantList &row :
            trial.rows(QStringLiteral("Select GetPayRemark From GetPay Where GetPayRemark Is Not Null")))
            receivables.insert(row.value(0).toString());
    }

    QString observe(const QString &key) const
    {
        const QString kind = key.section(QLatin1Char(':'), 0, 0);
        const QString what = key.section(QLatin1Char(':'), 1);
        if (kind == QLatin1String("entry")) {
            const QStringList sums = entries.value(what);
            if (sums.isEmpty())
                return Gone;
            return sums.size() == 1 ? sums.first() : QStringLiteral("stored %1 times").arg(sums.size());
        }
        if (kind == QLatin1String("account"))
            return accounts.contains(what) ? Present : Gone;
        if (kind == QLatin1String("receivable"))
            return receivables.contains(what) ? Present : Gone;
        if (kind == QLatin1String("ledger")) {
            if (!ledgerFiles.contains(what))
                return Absent;
            return QFileInfo(ledgerFiles.value(what)).isFile() ? Present : QStringLiteral("file missing");
        }
        if (kind == QLatin1String("setting"))
            return Platform::ReadProfileString(what.section(QLatin1Char('/'), 0, 0),
                what.section(QLatin1Char('/'), 1), QStringLiteral("<missing>"),
                folder + QStringLiteral("Quillbrook.ini"));
        if (kind == QLatin1String("backup")) {
            const QString path = folder + BackupFolderName + QLatin1Char('/') + what;
            if (!QFileInfo(path).isFile())
                return Absent;
            return Ledgers::LedgerFileProblem(path).isEmpty() ? Sound : QStringLiteral("unsound");
        }
        if (kind == QLatin1String("demo")) {
            Peek demo(ledgerFiles.value(DemoLedger));
            return DateFromStored(
                demo.value(QStringLiteral("Select MoneyRecordTime From MoneyTable Where MoneyIndex = 1")))
                .toString(Qt::ISODate);
        }
        return QStringLiteral("<unknown fact>");
    }

private:
    QString folder;
    QHash<QString, QString> ledgerFiles;
    QHash<QString, QStringList> entries;
    QSet<QString> accounts;
    QSet<QString> receivables; // by GetPayRemark
};

void checkFacts(const QString &folder, const QString &logPath, const QList<QPair<QString, QString>> &ledgers,
    TrialFindings *f)
{
    QFile log(logPath);
    if (!log.open(QIODevice::ReadOnly))
        return;
    // key → what the folder may hold: the last acknowledged value, and the value of every
    // later change that a kill interrupted (it may have happened or not).
    QHash<QString, QSet<QString>> allowed;
    QStringList pending; // facts of a change begun and not acknowledged
    const auto interrupted = [&allowed, &pending] {
        for (const QString &fact : std::as_const(pending)) {
            const QString key = fact.section(QLatin1Char('='), 0, 0);
            if (allowed.contains(key)) // unknown before: nothing to hold it to
                allowed[key].insert(fact.section(QLatin1Char('='), 1));
        }
        pending.clear();
    };
    for (const QByteArray &raw : log.readAll().split('\n')) {
        const QStringList fields = QString::fromUtf8(raw).split(QLatin1Char('\t'));
        if (fields.size() < 2)
            continue; // the end
        if (fields[0] == Begin) {
            interrupted();
            pending = fields.mid(2);
        } else if (fields[0] == Done) {
            for (const QString &fact : fields.mid(2))
                if (fact.contains(QLatin1Char('=')))
                    allowed[fact.section(QLatin1Char('='), 0, 0)] = {fact.section(QLatin1Char('='), 1)};
            pending.clear();
        } else if (fields[0] == Fail) {
            f->driverFailures.append(fields.mid(1).join(QLatin1Char(' ')));
            pending.clear();
        }
    }
    interrupted();
    const Observer observer(folder, ledgers);
    for (auto it = allowed.cbegin(); it != allowed.cend(); ++it) {
        const QString seen = observer.observe(it.key());
        if (!it.value().contains(seen))
            f->lostWrites.append(
                QStringLiteral("%1: acknowledged %2, found %3")
                    .arg(it.key(), QStringList(it.value().values()).join(QLatin1String(" or ")), seen));
    }
}
} // namespace

void TrialFindings::add(const TrialFindings &other)
{
    corruptions += other.corruptions;
    halfStates += other.halfStates;
    lostWrites += other.lostWrites;
    driverFailures += other.driverFailures;
}

QString TrialFindings::summary() const
{
    QStringList lines;
    for (const QString &s : corruptions)
        lines.append(QStringLiteral("corruption: ") + s);
    for (const QString &s : halfStates)
        lines.append(QStringLiteral("half state: ") + s);
    for (const QString &s : lostWrites)
        lines.append(QStringLiteral("lost write: ") + s);
    for (const QString &s : driverFailures)
        lines.append(QStringLiteral("driver: ") + s);
    return lines.join(QLatin1Char('\n'));
}

QString TrialCounts::line() const
{
    return QStringLiteral("cycles %1, acknowledged changes %2, corruptions %3, half states %4, "
                          "lost acknowledged writes %5, driver failures %6")
        .arg(cycles)
        .arg(acknowledged)
        .arg(corruptions)
        .arg(halfStates)
        .arg(lostWrites)
        .arg(driverFailures);
}

bool PrepareTrialFolder(const QString &folder)
{
    return QDir().mkpath(folder) && CopyProgramFiles(folder);
}

TrialFindings CheckProgramFolder(const QString &programFolder, const QString &logPath)
{
    const QString folder = QDir(programFolder).absolutePath() + QLatin1Char('/');
    TrialFindings f;
    // As the kill left them, opened as the program opens them.
    QStringList databases {folder + MasterFile};
    databases += filesIn(folder + QStringLiteral("DataBase"), {QStringLiteral("*.ddb")});
    databases += filesIn(folder + BackupFolderName, {QStringLiteral("*.ddb")});
    for (const QString &path : std::as_const(databases)) {
        const QString problem = integrityProblem(path);
        if (!problem.isEmpty())
            f.corruptions.append(QFileInfo(path).fileName() + QStringLiteral(": ") + problem);
    }

    for (const QString &shown : startAgain(folder))
        f.halfStates.append(QStringLiteral("the next start showed: ") + shown);

    const auto ledgers = registeredLedgers(folder, &f);
    checkRegistry(folder, ledgers, releasedFiles(logPath), &f);
    for (const auto &[name, path] : ledgers) {
        checkLedger(name, path, &f);
        if (name == DemoLedger)
            checkDemoShift(path, &f);
    }
    checkSettingsFile(folder + QStringLiteral("Quillbrook.ini"), &f);
    checkFacts(folder, logPath, ledgers, &f);
    return f;
}

TrialCounts RunCrashTrial(const QString &programFolder, const TrialOptions &options)
{
    const QString folder = QDir(programFolder).absolutePath() + QLatin1Char('/');
    const QString logPath = folder + QStringLiteral("trial.log");
    const QString driver = options.driver.isEmpty() ? QStringLiteral(QUILL_CRASH_DRIVER) : options.driver;
    QRandomGenerator random(options.seed);
    TrialCounts counts;
    QSet<QString> corruptions, halfStates, lostWrites, driverFailures;
    for (int cycle = 0; cycle < options.cycles; ++cycle) {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process.setProcessEnvironment(environment);
        process.start(
            driver, {folder, logPath, QString::number(options.seed % 100000 * 10000 + quint32(cycle))});
        TrialFindings findings;
        if (!process.waitForStarted(10000)) {
            findings.driverFailures.append(QStringLiteral("driver did not start: ") + process.errorString());
        } else {
            // Now and then the kill lands in the start itself, where the repairs run.
            if (random.bounded(5) != 0) {
                while (!process.canReadLine() && process.state() == QProcess::Running)
                    process.waitForReadyRead(100);
            }
            QThread::msleep(random.bounded(options.longestRunMs + 1));
            if (process.state() != QProcess::Running) {
                findings.driverFailures.append(
                    QStringLiteral("driver stopped by itself (exit %1): %2")
                        .arg(process.exitCode())
                        .arg(QString::fromLocal8Bit(process.readAllStandardError()).right(600)));
            }
            process.kill(); // SIGKILL
            process.waitForFinished(10000);
        }
        findings.add(CheckProgramFolder(folder, logPath));
        ++counts.cycles;
        for (const QString &s : std::as_const(findings.corruptions))
            corruptions.insert(s);
        for (const QString &s : std::as_const(findings.halfStates))
            halfStates.insert(s);
        for (const QString &s : std::as_const(findings.lostWrites))
            lostWrites.insert(s);
        for (const QString &s : std::as_const(findings.driverFailures))
            driverFailures.insert(s);
        if (options.afterCycle)
            options.afterCycle(cycle, findings);
    }
    // A finding that stays is counted once, however many checks meet it again.
    counts.corruptions = corruptions.size();
    counts.halfStates = halfStates.size();
    counts.lostWrites = lostWrites.size();
    counts.driverFailures = driverFailures.size();
    counts.findings.corruptions = corruptions.values();
    counts.findings.halfStates = halfStates.values();
    counts.findings.lostWrites = lostWrites.values();
    counts.findings.driverFailures = driverFailures.values();
    QFile log(logPath);
    if (log.open(QIODevice::ReadOnly))
        for (const QByteArray &line : log.readAll().split('\n'))
            counts.acknowledged += line.startsWith(Done.toUtf8() + '\t') ? 1 : 0;
    return counts;
}

} // namespace TestSupport
