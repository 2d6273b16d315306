// Makes the database files that lie beside the program: the empty-ledger template, the master
// database with its registry, the everyday ledger and the demonstration ledger.

#include "DemoLedger.h"
#include "LedgerFiles.h"
#include "platform/FileOps.h"
#include "platform/Seams.h"
#include "storage/PublicFunction.h"
#include "storage/Schema.h"
#include "storage/ShareDM.h"

#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

namespace {
bool fail(const QString &what, const QString &why)
{
    QTextStream(stderr) << "quill-ledgers: " << what << ": " << why << Qt::endl;
    return false;
}

bool makeTemplate(const QString &path)
{
    QString error;
    if (!CreateDatabase(path, LedgerSchemaStatements(), &error))
        return fail(path, error);
    if (!OpenLedgerConnection(path, DatabaseKind::Ledger, &error) || !FillTemplateRows(&error))
        return fail(path, error);
    ShareDataModule->closeConnection();
    return true;
}

bool makeDemo(const QString &templatePath, const QString &path)
{
    QString error;
    if (const int e = Platform::CopyFileReplacing(templatePath, path))
        return fail(path, QString::number(e));
    if (!OpenLedgerConnection(path, DatabaseKind::Ledger, &error) || !FillDemoRows(&error))
        return fail(path, error);
    ShareDataModule->closeConnection();
    return true;
}

bool makeMaster(const QString &path)
{
    QString error;
    if (!CreateDatabase(path, MasterSchemaStatements(), &error))
        return fail(path, error);
    if (!OpenLedgerConnection(path, DatabaseKind::Master, &error) || !FillMasterRows(&error))
        return fail(path, error);
    ShareDataModule->closeConnection();
    return true;
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        QTextStream(stderr) << "usage: quill-ledgers <program-folder>" << Qt::endl;
        return 2;
    }
    // Failures are reported on stderr, never in a window.
    Platform::Seams::handlers().message = [](Platform::MessageKind, const QString &text, const QString &) {
        QTextStream(stderr) << "quill-ledgers: " << text << Qt::endl;
        return false;
    };
    TShareDataModule dataModule;
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(folder.filePath(QStringLiteral("DataBase")));
    const QString templatePath = folder.filePath(QStringLiteral("QuillShare.dll"));
    const bool ok = makeTemplate(templatePath)
        && makeMaster(folder.filePath(QStringLiteral("Quillbrook3.MDB")))
        && Platform::CopyFileReplacing(templatePath, folder.filePath(QStringLiteral("DataBase/Default.ddb")))
            == 0
        && makeDemo(templatePath, folder.filePath(QStringLiteral("DataBase/Demo.ddb")));
    return ok ? 0 : 1;
}
