#include "ledgers/LedgerRegistry.h"

#include "ledgers/LedgerBackup.h"
#include "platform/FileOps.h"
#include "platform/Seams.h"
#include "storage/PublicFunction.h"
#include "storage/ShareDM.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <cerrno>

namespace Ledgers {

namespace {
const QString InvalidName = QStringLiteral("帐套名称不能包含/\\:*?\"<>|.等字符");
const QString NameExists = QStringLiteral("该帐套名称已经存在，请重新操作");
const QString FileAlreadyThere = QStringLiteral("该帐套数据库文件已经存在，请更换帐套名称");
const QString LedgerFileMissing = QStringLiteral("数据库连接失败，请检查该帐套的数据库文件是否存在");

Sql byIndex(qint64 index)
{
    return Sql("Select * From SoftData Where SoftDataIndex = ") + Sql::value(index);
}
Sql byName(const QString &name)
{
    return Sql("Select * From SoftData Where SoftDataName = ") + Sql::value(name);
}

QString masterPath()
{
    return Session().ProgramDir + MasterFileName;
}

// True when both paths name the same file (or the same place when neither exists yet).
bool samePlace(const QString &a, const QString &b)
{
    const QString ca = QFileInfo(a).canonicalFilePath();
    const QString cb = QFileInfo(b).canonicalFilePath();
    if (!ca.isEmpty() && !cb.isEmpty())
        return ca == cb;
    return QDir::cleanPath(QFileInfo(a).absoluteFilePath())
        == QDir::cleanPath(QFileInfo(b).absoluteFilePath());
}

int makeParentFolder(const QString &file)
{
    return Platform::MakeFolder(QFileInfo(file).absolutePath());
}

const QString PendingSuffix = QStringLiteral(".quill-new.tmp");
const QString MoveSuffix = QStringLiteral(".quill-move.tmp");

QString placeOf(const QString &path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

QString readMarker(const QString &marker)
{
    QFile file(marker);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QString createFailed(int error)
{
    return QStringLiteral("帐套数据库创建失败，失败号为：") + Platform::ErrorNumberText(error);
}

void reportRenameFailure(const QString &storedPath, int error)
{
    Platform::ShowMessage(storedPath);
    Platform::ShowMessage(
        QStringLiteral("帐套数据库文件改名错误，错误号为：") + Platform::ErrorNumberText(error));
}

// The state is only a mirror of the files: writing it must never stop the listing, nor wait
// for a lock another program holds.
void storeStatesQuietly(const QList<QPair<qint64, QString>> &states)
{
    TryExecSql(Sql("PRAGMA busy_timeout = 0"));
    {
        Transaction transaction;
        bool ok = transaction.isActive();
        for (const auto &[index, state] : states) {
            ok = ok
                && TryExecSql(Sql("Update SoftData Set SoftDataState = ") + Sql::value(state)
                    + Sql(" Where SoftDataIndex = ") + Sql::value(index));
        }
        if (ok)
            transaction.commit();
    }
    TryExecSql(Sql(QStringLiteral("PRAGMA busy_timeout = %1").arg(BusyTimeoutMs)));
}

// After a failed switch to a ledger the chooser must keep working on the registry.
void reconnectMaster()
{
    QString error;
    if (!OpenLedgerConnection(masterPath(), DatabaseKind::Master, &error))
        Platform::ShowMessage(Texts::DatabaseOpenFailed + QStringLiteral("：") + error);
}

void reportConnectFailure(const QString &path, const QString &error)
{
    if (!Platform::FileExists(path))
        Platform::ShowMessage(LedgerFileMissing);
    else
        Platform::ShowMessage(QStringLiteral("数据库连接失败，该帐套的数据库文件无法打开：") + error);
    reconnectMaster();
}

bool openLedger(const QString &path)
{
    QString error;
    if (OpenLedgerConnection(path, DatabaseKind::Ledger, &error))
        return true;
    reportConnectFailure(path, error);
    return false;
}

// The master connection is closed while the ledger is open: switch over just for this write.
void storeDemoTips(qint64 index, const QString &tips)
{
    QString error;
    if (!OpenLedgerConnection(masterPath(), DatabaseKind::Master, &error)) {
        Platform::ShowMessage(Texts::DatabaseOpenFailed + QStringLiteral("：") + error);
        return;
    }
    UpdateRow(QStringLiteral("SoftData"), QStringLiteral("SoftDataIndex"), index,
        {{QStringLiteral("SoftDataTips"), tips}});
}
} // namespace

Sql ListingSql()
{
    return Sql("Select * From SoftData Where SoftDataIndex > 1");
}

QString LedgerStateText(const QString &storedPath)
{
    return Platform::FileExists(ResolveRunPath(storedPath)) ? StateNormal : StateMissing;
}

QString PendingLedgerPath(const QString &target)
{
    return target + PendingSuffix;
}

QString MoveMarkerPath(const QString &target)
{
    return target + MoveSuffix;
}

void RepairInterruptedChanges(const Query &rows)
{
    QSet<QString> registered;
    QSet<QString> folders;
    const QString defaultFolder = Session().DefaultLedgerFolder.isEmpty()
        ? Session().ProgramDir + QStringLiteral("DataBase")
        : ResolveRunPath(Session().DefaultLedgerFolder);
    folders.insert(placeOf(defaultFolder));
    for (int r = 0; r < rows.rowCount(); ++r) {
        const QString place
            = placeOf(ResolveRunPath(rows.valueAt(r, QStringLiteral("SoftDataPath")).toString()));
        registered.insert(place);
        folders.insert(QFileInfo(place).absolutePath());
    }

    // An entry whose file still lies under the other name: the step after the registry write
    // was cut short, so it is finished now.
    for (const QString &place : std::as_const(registered)) {
        if (QFileInfo::exists(place))
            continue;
        const QString pending = PendingLedgerPath(place);
        if (QFileInfo(pending).isFile() && LedgerFileProblem(pending).isEmpty()) {
            Platform::MoveFile(pending, place);
            continue;
        }
        const QString source = readMarker(MoveMarkerPath(place));
        if (!source.isEmpty() && Platform::FileExists(source) && !registered.contains(placeOf(source)))
            Platform::MoveFile(source, place);
    }

    // What is left over belongs to a change that never reached the registry, or is done.
    for (const QString &folder : std::as_const(folders)) {
        const QFileInfoList files
            = QDir(folder).entryInfoList({QLatin1Char('*') + PendingSuffix, QLatin1Char('*') + MoveSuffix},
                QDir::Files | QDir::Hidden | QDir::System);
        for (const QFileInfo &file : files) {
            if (file.isSymLink())
                continue;
            const QString name = file.absoluteFilePath();
            const qsizetype suffix = name.endsWith(PendingSuffix) ? PendingSuffix.size() : MoveSuffix.size();
            const QString target = name.left(name.size() - suffix);
            if (!registered.contains(placeOf(target)) || QFileInfo::exists(target))
                QFile::remove(name);
        }
    }
}

bool RefreshLedgerStates()
{
    Query query;
    if (!RunQuery(query, ListingSql(), Texts::DatabaseOpenFailed))
        return false;
    RepairInterruptedChanges(query);
    QList<QPair<qint64, QString>> changed;
    for (query.first(); !query.eof(); query.next()) {
        const QString state = LedgerStateText(query.text(QStringLiteral("SoftDataPath")));
        if (state != query.text(QStringLiteral("SoftDataState")))
            changed.append({query.integer(QStringLiteral("SoftDataIndex")), state});
    }
    if (!changed.isEmpty())
        storeStatesQuietly(changed);
    return true;
}

QString ProposedLedgerPath(const QString &folder, const QString &name)
{
    return folder + name + QStringLiteral(".ddb");
}

bool IsDemoFirstLogin(const QString &name, const QString &tips)
{
    return name == DemoLedgerName && tips.contains(QStringLiteral("[XXXX]"), Qt::CaseInsensitive);
}

QString DemoCaption(const QString &tips, const QDate &today)
{
    QString caption = tips;
    caption.replace(QStringLiteral("[XXXX]"), ShortDateText(today.addDays(-7)), Qt::CaseInsensitive);
    caption.replace(QStringLiteral("[YYYY]"), ShortDateText(today), Qt::CaseInsensitive);
    return caption;
}

bool ShiftDemoDates(const QDate &today, qint64 *days)
{
    if (days)
        *days = 0;
    Query reference;
    if (!RunQuery(reference, Sql("Select * From MoneyTable Where MoneyIndex = 1"), Texts::DatabaseOpenFailed))
        return false;
    // Without its reference entry there is nothing to align the sample data to.
    const QDate recorded = reference.isEmpty() ? QDate() : reference.date(QStringLiteral("MoneyRecordTime"));
    if (!recorded.isValid())
        return true;
    const qint64 offset = recorded.daysTo(today);

    Transaction transaction;
    if (!transaction.isActive()) {
        Platform::ShowMessage(Texts::SqlCommandFailed);
        return false;
    }
    const auto shift = [offset](const char *table, const char *column) {
        bool ok = false;
        const QString col = QString::fromLatin1(column);
        ExecSql(Sql(QStringLiteral("Update %1 Set %2 = date(%2, ").arg(QLatin1String(table), col))
                + Sql::value(offset) + Sql(" || ' days')"),
            &ok);
        return ok;
    };
    if (!shift("MoneyTable", "MoneyCreateTime") || !shift("MoneyTable", "MoneyRecordTime")
        || !shift("GetPay", "GetPayTime"))
        return false;
    if (!transaction.commit()) {
        Platform::ShowMessage(Texts::SqlCommandFailed);
        return false;
    }
    if (days)
        *days = offset;
    return true;
}

SaveOutcome AddLedger(const LedgerFields &fields)
{
    if (!IsValidLedgerName(fields.name)) {
        Platform::ShowMessage(InvalidName);
        return SaveOutcome::NameRejected;
    }
    const QString target = ResolveRunPath(fields.path);
    Query query;
    if (!RunQuery(query, byName(fields.name), Texts::DatabaseOpenFailed))
        return SaveOutcome::Failed;
    if (!query.isEmpty()) {
        Platform::ShowMessage(NameExists);
        return SaveOutcome::NameRejected;
    }
    // The bare folder, when no name was ever typed: nothing can be copied onto it.
    if (QFileInfo(target).isDir()) {
        Platform::ShowMessage(createFailed(EISDIR));
        return SaveOutcome::Failed;
    }
    // Copying the template over an existing file would wipe whatever ledger it holds.
    if (QFileInfo::exists(target)) {
        Platform::ShowMessage(FileAlreadyThere);
        return SaveOutcome::NameRejected;
    }
    // The copy takes a temporary name until the registry holds its entry: cut short before, it
    // blocks no name and is removed by the next listing; cut short after, the listing finishes
    // the rename.
    const QString pending = PendingLedgerPath(placeOf(target));
    int error = makeParentFolder(target);
    if (error == 0) {
        QFile::remove(pending); // left by an attempt that never reached the registry
        error = Platform::CopyFileWhole(
            Session().ProgramDir + TemplateFileName, pending, Platform::Replace::Never);
    }
    if (error != 0) {
        Platform::ShowMessage(createFailed(error));
        return SaveOutcome::Failed;
    }
    const qint64 key = InsertRow(QStringLiteral("SoftData"),
        {{QStringLiteral("SoftDataName"), fields.name}, {QStringLiteral("SoftDataPath"), fields.path},
            {QStringLiteral("SoftDataRemark"), fields.remark}, {QStringLiteral("SoftDataTips"), fields.tips},
            {QStringLiteral("SoftDataTime"), fields.time}, {QStringLiteral("SoftDataState"), StateNormal}});
    if (key < 0) {
        QFile::remove(pending);
        return SaveOutcome::Failed;
    }
    error = Platform::MoveFile(pending, target, Platform::Replace::Never);
    if (error != 0) {
        // Not under its name: neither the entry nor the copy may stay. Should the entry stay
        // all the same, so does the copy, for the next listing to finish the creation.
        if (TryExecSql(Sql("Delete From SoftData Where SoftDataIndex = ") + Sql::value(key)))
            QFile::remove(pending);
        if (error == EEXIST) {
            Platform::ShowMessage(FileAlreadyThere);
            return SaveOutcome::NameRejected;
        }
        Platform::ShowMessage(createFailed(error));
        return SaveOutcome::Failed;
    }
    Platform::ShowMessage(QStringLiteral("帐套新增成功"));
    return SaveOutcome::Saved;
}

SaveOutcome EditLedger(qint64 index, const LedgerFields &fields)
{
    if (!IsValidLedgerName(fields.name)) {
        Platform::ShowMessage(InvalidName);
        return SaveOutcome::NameRejected;
    }
    const QString target = ResolveRunPath(fields.path);
    Query query;
    if (!RunQuery(query, byIndex(index), Texts::DatabaseOpenFailed))
        return SaveOutcome::Failed;
    if (query.isEmpty())
        return SaveOutcome::Vanished;
    if (fields.name != query.text(QStringLiteral("SoftDataName"))) {
        Query same;
        if (!RunQuery(same, byName(fields.name), Texts::DatabaseOpenFailed))
            return SaveOutcome::Failed;
        if (!same.isEmpty()) {
            Platform::ShowMessage(NameExists);
            return SaveOutcome::NameRejected;
        }
    }
    if (!RunQuery(query, byIndex(index), Texts::DatabaseOpenFailed))
        return SaveOutcome::Failed;
    if (query.isEmpty()) {
        Platform::ShowMessage(QStringLiteral("找不到要修改的记录"));
        return SaveOutcome::Failed;
    }

    // The file follows the path field: it moves whenever the stored entry would otherwise
    // point somewhere the file is not.
    const QString storedPath = query.text(QStringLiteral("SoftDataPath"));
    const QString source = ResolveRunPath(storedPath);
    const bool move = !samePlace(source, target);
    const QString marker = MoveMarkerPath(placeOf(target));
    if (move) {
        // A rename would silently replace another file at the target.
        if (QFileInfo::exists(target)) {
            Platform::ShowMessage(FileAlreadyThere);
            return SaveOutcome::NameRejected;
        }
        int error = Platform::FileExists(source) ? 0 : ENOENT;
        if (error == 0)
            error = makeParentFolder(target);
        // Where the file lies until it has moved: should the move be cut short after the
        // registry names the new place, the next listing finishes it from here.
        if (error == 0)
            error = Platform::WriteFileWhole(marker, placeOf(source).toUtf8());
        if (error != 0) {
            reportRenameFailure(storedPath, error);
            return SaveOutcome::Failed;
        }
    }
    const ColumnValues before {{QStringLiteral("SoftDataName"), query.value(QStringLiteral("SoftDataName"))},
        {QStringLiteral("SoftDataPath"), storedPath},
        {QStringLiteral("SoftDataRemark"), query.value(QStringLiteral("SoftDataRemark"))},
        {QStringLiteral("SoftDataTips"), query.value(QStringLiteral("SoftDataTips"))},
        {QStringLiteral("SoftDataTime"), query.value(QStringLiteral("SoftDataTime"))}};
    if (!UpdateRow(QStringLiteral("SoftData"), QStringLiteral("SoftDataIndex"), index,
            {{QStringLiteral("SoftDataName"), fields.name}, {QStringLiteral("SoftDataPath"), fields.path},
                {QStringLiteral("SoftDataRemark"), fields.remark},
                {QStringLiteral("SoftDataTips"), fields.tips},
                {QStringLiteral("SoftDataTime"), fields.time}})) {
        if (move)
            QFile::remove(marker);
        return SaveOutcome::Failed;
    }
    if (move) {
        const int error = Platform::MoveFile(source, target, Platform::Replace::Never);
        if (error != 0) {
            // The entry goes back to where the file still is; should even that fail, the
            // marker lets the next listing complete the move.
            if (UpdateRow(QStringLiteral("SoftData"), QStringLiteral("SoftDataIndex"), index, before))
                QFile::remove(marker);
            reportRenameFailure(storedPath, error);
            return SaveOutcome::Failed;
        }
        QFile::remove(marker);
    }
    Platform::ShowMessage(QStringLiteral("帐套信息修改成功"));
    return SaveOutcome::Saved;
}

bool DeleteLedger(qint64 index)
{
    Query query;
    if (!RunQuery(query, byIndex(index), Texts::DatabaseOpenFailed) || query.isEmpty())
        return false;
    if (!Platform::AskYesNo(
            QStringLiteral("删除后数据将不能恢复，确实要删除吗？"), QStringLiteral("删除警告")))
        return false;
    bool ok = false;
    ExecSql(Sql("Delete From SoftData Where SoftDataIndex = ") + Sql::value(index), &ok);
    return ok;
}

bool LoginLedger(const LedgerEntry &entry)
{
    const QString path = ResolveRunPath(entry.path);
    if (!Platform::FileExists(path)) {
        Platform::ShowMessage(LedgerFileMissing);
        return false;
    }
    const bool demo = IsDemoFirstLogin(entry.name, entry.tips);
    const QDate today = Platform::Today();
    const QString caption = demo ? DemoCaption(entry.tips, today) : entry.tips;

    if (!openLedger(path))
        return false;
    if (demo) {
        if (!ShiftDemoDates(today)) {
            reconnectMaster();
            return false;
        }
        // Only now may the placeholders go: with them gone the shift never runs again.
        storeDemoTips(entry.index, caption);
        if (!openLedger(path))
            return false;
    }
    Session().LedgerCaption = caption;
    WriteSetting(Settings::LoginDatabase, path);
    return true;
}

} // namespace Ledgers
