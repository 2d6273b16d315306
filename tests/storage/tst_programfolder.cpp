#include "support/TestMain.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using TestSupport::readFile;
using TestSupport::writeFile;

// What a rebuild does to a program folder that is already in use.
class TestProgramFolderSync : public QObject
{
    Q_OBJECT

private slots:
    void rebuildKeepsTheUsersData()
    {
        TestSupport::ProgramFolder generated;
        QVERIFY(generated.isValid());
        QTemporaryDir inUse;
        const QString target = inUse.path() + QLatin1Char('/');
        // A folder a person has worked in: own ledgers, settings, a backup and an old template.
        for (const QString file :
            {"Quillbrook3.MDB", "DataBase/Default.ddb", "DataBase/Demo.ddb", "DataBase/我的帐套.ddb",
                "Quillbrook.ini", "数据库备份/备份.ddb", "QuillShare.dll", "Frf/Bill.frf"}) {
            QVERIFY(QDir().mkpath(QFileInfo(target + file).absolutePath()));
            QVERIFY(writeFile(target + file, "user data of " + file.toUtf8()));
        }

        QProcess sync;
        sync.start(QStringLiteral(QUILL_CMAKE_COMMAND),
            {QStringLiteral("-DSOURCE=") + generated.path(), QStringLiteral("-DTARGET=") + target,
                QStringLiteral("-P"), QStringLiteral(QUILL_SOURCE_DIR "/cmake/SyncProgramFolder.cmake")});
        QVERIFY(sync.waitForFinished(60000));
        QCOMPARE(sync.exitCode(), 0);

        for (const QString file : {"Quillbrook3.MDB", "DataBase/Default.ddb", "DataBase/Demo.ddb",
                 "DataBase/我的帐套.ddb", "Quillbrook.ini", "数据库备份/备份.ddb"})
            QCOMPARE(readFile(target + file), "user data of " + file.toUtf8());
        // The template, the report templates and the pictures are the program's own: refreshed.
        for (const QString file : {"QuillShare.dll", "Frf/Bill.frf", "Res/Money0.ico", "Help.html"})
            QCOMPARE(readFile(target + file), readFile(generated.filePath(file)));
    }
};

QUILL_TEST_MAIN(TestProgramFolderSync)
#include "tst_programfolder.moc"
