#include "app/Program.h"
#include "app/UserProgramFolder.h"
#include "storage/PublicFunction.h"
#include "storage/ShareDM.h"
#include "support/LedgerFile.h"
#include "support/ProgramRun.h"
#include "support/TestMain.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

using namespace TestSupport;

namespace {

const QString BuildDir = QFileInfo(QStringLiteral(QUILL_PRISTINE_DIR)).absolutePath();
const QString AppId = QStringLiteral("io.quillbrook.Quillbrook");
const QString Metainfo = QStringLiteral(QUILL_SOURCE_DIR "/dist/linux/io.quillbrook.Quillbrook.metainfo.xml");

QString run(const QString &program, const QStringList &arguments, int *exitCode)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    // The tests' Chinese locale may not be generated; the tools' messages need none.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    if (!process.waitForFinished(300000)) {
        *exitCode = -1;
        return process.errorString();
    }
    *exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return QString::fromLocal8Bit(process.readAll());
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Line breaks fall after punctuation or at spaces, so paragraphs are compared without spaces.
QString withoutSpaces(QString text)
{
    return text.remove(QRegularExpression(QStringLiteral("\\s")));
}

// The paragraphs of the metainfo's description.
QStringList metainfoParagraphs()
{
    QFile file(Metainfo);
    if (!file.open(QIODevice::ReadOnly))
        return {QStringLiteral("<missing ") + Metainfo + QLatin1Char('>')};
    QXmlStreamReader xml(&file);
    QStringList paragraphs;
    bool inDescription = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("description"))
            inDescription = true;
        else if (xml.isEndElement() && xml.name() == QLatin1String("description"))
            inDescription = false;
        else if (inDescription && xml.isStartElement() && xml.name() == QLatin1String("p"))
            paragraphs.append(withoutSpaces(xml.readElementText()));
    }
    return paragraphs;
}

// The paragraphs of a control file's extended description.
QStringList extendedParagraphs(const QString &description)
{
    QStringList paragraphs {QString()};
    const QStringList lines = description.split(QLatin1Char('\n'));
    for (const QString &line : lines.mid(1)) {
        const QString text = line.trimmed();
        if (text == QLatin1String("."))
            paragraphs.append(QString());
        else
            paragraphs.last() += withoutSpaces(text);
    }
    return paragraphs;
}

void write(const QString &path, const QByteArray &bytes, const QDateTime &time)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
    file.close();
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(time, QFileDevice::FileModificationTime));
}

// The installed program folder, made unwritable for this user. Root ignores permission bits,
// so then the folder is mounted over itself read-only.
struct ReadOnlyFolder {
    QString path;
    bool mounted = false;
    QString why;

    explicit ReadOnlyFolder(const QString &folder) : path(folder)
    {
        QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
        if (!IsFolderWritable(path))
            return;
        int code = 0;
        why = run(QStringLiteral("mount"), {QStringLiteral("--bind"), path, path}, &code);
        if (code != 0)
            return;
        mounted = true;
        why = run(
            QStringLiteral("mount"), {QStringLiteral("-o"), QStringLiteral("remount,ro,bind"), path}, &code);
    }
    ~ReadOnlyFolder()
    {
        int code = 0;
        if (mounted)
            run(QStringLiteral("umount"), {path}, &code);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
};

} // namespace

// The program installed under a prefix, as a desktop user starts it.
class TestInstall : public QObject
{
    Q_OBJECT

    QTemporaryDir prefix;
    QTemporaryDir home;
    QString installed;
    // The Debian package, made as the README says, into a folder of its own.
    QTemporaryDir packageDir;
    QString package;
    QString packageLog;

    QString field(const QString &name)
    {
        int code = 0;
        const QString value
            = run(QStringLiteral("dpkg-deb"), {QStringLiteral("--field"), package, name}, &code);
        return code == 0 ? value.trimmed() : QStringLiteral("<dpkg-deb: ") + value + QLatin1Char('>');
    }

private slots:
    void initTestCase()
    {
        QApplication::setQuitOnLastWindowClosed(false);
        QCoreApplication::setApplicationName(QStringLiteral("Quillbrook"));
        QVERIFY(prefix.isValid() && home.isValid());
        qputenv("HOME", home.path().toLocal8Bit());
        qputenv("XDG_DATA_HOME", (home.path() + QStringLiteral("/.local/share")).toLocal8Bit());

        int code = 0;
        const QString output = run(QStringLiteral(QUILL_CMAKE_COMMAND),
            {QStringLiteral("--install"), BuildDir, QStringLiteral("--prefix"), prefix.path()}, &code);
        QVERIFY2(code == 0, qPrintable(output));
        installed = prefix.filePath(QStringLiteral("lib/quillbrook"));

        const QString cpack
            = QFileInfo(QStringLiteral(QUILL_CMAKE_COMMAND)).absolutePath() + QStringLiteral("/cpack");
        packageLog = run(cpack,
            {QStringLiteral("-G"), QStringLiteral("DEB"), QStringLiteral("--config"),
                BuildDir + QStringLiteral("/CPackConfig.cmake"), QStringLiteral("-B"), packageDir.path()},
            &code);
        const QStringList made = QDir(packageDir.path()).entryList({QStringLiteral("*.deb")}, QDir::Files);
        if (code == 0 && made.size() == 1)
            package = packageDir.filePath(made.first());
    }

    void installedFiles_data()
    {
        QTest::addColumn<QString>("relative");
        QTest::newRow("program") << "lib/quillbrook/Quillbrook";
        QTest::newRow("command") << "bin/quillbrook";
        QTest::newRow("registry") << "lib/quillbrook/Quillbrook3.MDB";
        QTest::newRow("empty ledger") << "lib/quillbrook/QuillShare.dll";
        QTest::newRow("demo ledger") << "lib/quillbrook/DataBase/Demo.ddb";
        QTest::newRow("template") << "lib/quillbrook/Frf/Bill.frf";
        QTest::newRow("picture") << "lib/quillbrook/Res/Login.bmp";
        QTest::newRow("guide") << "lib/quillbrook/Help.html";
        QTest::newRow("menu entry") << "share/applications/" + AppId + ".desktop";
        QTest::newRow("metainfo") << "share/metainfo/" + AppId + ".metainfo.xml";
        QTest::newRow("icon 48") << "share/icons/hicolor/48x48/apps/" + AppId + ".png";
        QTest::newRow("icon 256") << "share/icons/hicolor/256x256/apps/" + AppId + ".png";
        QTest::newRow("manual page") << "share/man/man1/quillbrook.1.gz";
        QTest::newRow("copyright") << "share/doc/quillbrook/copyright";
        QTest::newRow("changelog") << "share/doc/quillbrook/changelog.Debian.gz";
    }
    void installedFiles()
    {
        QFETCH(QString, relative);
        QVERIFY2(QFileInfo::exists(prefix.filePath(relative)), qPrintable(relative));
    }

    void commandStartsTheInstalledProgram()
    {
        QCOMPARE(QFileInfo(prefix.filePath(QStringLiteral("bin/quillbrook"))).canonicalFilePath(),
            QFileInfo(installed + QStringLiteral("/Quillbrook")).canonicalFilePath());
    }

    void desktopFilesValidate_data()
    {
        QTest::addColumn<QString>("validator");
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("menu entry") << "desktop-file-validate"
                                    << QStringList {"share/applications/" + AppId + ".desktop"};
        QTest::newRow("metainfo") << "appstreamcli"
                                  << QStringList {
                                         "validate", "--no-net", "share/metainfo/" + AppId + ".metainfo.xml"};
    }
    void desktopFilesValidate()
    {
        QFETCH(QString, validator);
        QFETCH(QStringList, arguments);
        arguments.last() = prefix.filePath(arguments.last());
        int code = 0;
        const QString output = run(validator, arguments, &code);
        QVERIFY2(code == 0, qPrintable(validator + QLatin1Char(' ') + output));
    }

    // The package as the README makes it passes Debian's own checks: no error, no warning.
    void debianPackagePassesLintian()
    {
        QVERIFY2(!package.isEmpty(), qPrintable(QStringLiteral("cpack made no package:\n") + packageLog));
        int code = 0;
        const QString output = run(QStringLiteral("lintian"),
            {QStringLiteral("--fail-on"), QStringLiteral("error,warning"),
                QStringLiteral("--tag-display-limit"), QStringLiteral("0"), package},
            &code);
        QStringList findings;
        for (const QString &line : output.split(QLatin1Char('\n')))
            if (line.startsWith(QLatin1String("E: ")) || line.startsWith(QLatin1String("W: ")))
                findings.append(line);
        QVERIFY2(code == 0 && findings.isEmpty(), qPrintable(QStringLiteral("lintian:\n") + output));
    }

    void debianPackageFields_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");
        QTest::newRow("section") << "Section"
                                 << "misc";
        // The guide, spreadsheets and charts open through xdg-open.
        QTest::newRow("recommends") << "Recommends"
                                    << "xdg-utils";
    }
    void debianPackageFields()
    {
        QFETCH(QString, name);
        QFETCH(QString, expected);
        QVERIFY2(!package.isEmpty(), qPrintable(packageLog));
        QCOMPARE(field(name), expected);
    }

    // The changelog's latest entry is the package's version.
    void debianChangelogNamesThePackagesVersion()
    {
        QVERIFY2(!package.isEmpty(), qPrintable(packageLog));
        int code = 0;
        const QString changelog = run(QStringLiteral("gzip"),
            {QStringLiteral("-dc"),
                prefix.filePath(QStringLiteral("share/doc/quillbrook/changelog.Debian.gz"))},
            &code);
        QCOMPARE(code, 0);
        QCOMPARE(changelog.section(QLatin1Char('\n'), 0, 0).section(QLatin1Char(' '), 0, 1),
            QStringLiteral("quillbrook (") + field(QStringLiteral("Version")) + QLatin1Char(')'));
    }

    // The package describes itself in the words of the metainfo, paragraph for paragraph.
    void debianDescriptionIsTheMetainfos()
    {
        QVERIFY2(!package.isEmpty(), qPrintable(packageLog));
        const QStringList paragraphs = metainfoParagraphs();
        QVERIFY(!paragraphs.isEmpty() && !paragraphs.first().isEmpty());
        QCOMPARE(extendedParagraphs(field(QStringLiteral("Description"))), paragraphs);
    }

    // The read-only installed folder gives each user a folder of their own; the books made there
    // outlive the next start.
    void readOnlyInstallUsesTheUsersFolder()
    {
        ReadOnlyFolder readOnly(installed);
        if (IsFolderWritable(installed))
            QSKIP(qPrintable(QStringLiteral("cannot make the installed folder read-only: ") + readOnly.why));

        const QString userData = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        QVERIFY2(userData.startsWith(home.path()), qPrintable(userData));
        const QString demo = userData + QStringLiteral("/DataBase/Demo.ddb");

        for (int start = 1; start <= 2; ++start) {
            const ProgramFolderChoice folder
                = ProgramFolderFor(installed, userData, QStringLiteral("Quillbrook"));
            QVERIFY2(folder.error.isEmpty(), qPrintable(folder.error));
            QCOMPARE(folder.programDir, userData + QLatin1Char('/'));
            for (const char *file : {"Quillbrook3.MDB", "QuillShare.dll", "DataBase/Default.ddb",
                     "DataBase/Demo.ddb", "Frf/Bill.frf", "Res/Login.bmp", "Help.html"})
                QVERIFY2(QFileInfo::exists(folder.programDir + QLatin1String(file)), file);
            QVERIFY(!QFileInfo::exists(folder.programDir + QStringLiteral("Quillbrook")));

            QTemporaryDir lockDir;
            Seams seams;
            const QString settings = folder.programDir + QStringLiteral("Quillbrook.ini");
            WriteSetting(SettingSections::Main, QStringLiteral("LoginMode"), SettingTexts::LoginModeAutomatic,
                settings);
            WriteSetting(SettingSections::Main, QStringLiteral("LoginDatabase"), demo, settings);
            seams.onDialog(QStringLiteral("TFormLogin"), loginAs(Administrator));
            {
                Program program(folder.programDir, lockDir.path());
                QVERIFY2(program.start(), qPrintable(seams.messageTexts().join(QLatin1Char('\n'))));
                QCOMPARE(ShareDataModule->databasePath(), demo);
                QCOMPARE(Session().ProgramDir, folder.programDir);
            }

            LedgerFile ledger(demo);
            QVERIFY(ledger.isOpen());
            if (start == 1) {
                QVERIFY(ledger.exec(
                    QStringLiteral("Insert Into Parameter (ParameterType, ParameterValue) Values (?, ?)"),
                    {QStringLiteral("出纳"), QStringLiteral("第一次启动")}));
            } else {
                QCOMPARE(
                    ledger
                        .rows(QStringLiteral("Select ParameterValue From Parameter Where ParameterValue = ?"),
                            {QStringLiteral("第一次启动")})
                        .size(),
                    1);
            }
        }
    }

    // A writable program folder (the build folder, a copy on a removable disk) stays where it is.
    void writableFolderIsUsedAsItIs()
    {
        ProgramFolder folder;
        QTemporaryDir userData;
        const ProgramFolderChoice choice = ProgramFolderFor(
            folder.path(), userData.filePath(QStringLiteral("Quillbrook")), QStringLiteral("Quillbrook"));
        QVERIFY(choice.error.isEmpty());
        QCOMPARE(choice.programDir, folder.path());
        QVERIFY(!QFileInfo::exists(userData.filePath(QStringLiteral("Quillbrook"))));
    }

    // A later installed version refreshes what the user did not change and leaves the books and
    // the templates they edited alone.
    void laterInstallRefreshesOnlyUntouchedFiles_data()
    {
        QTest::addColumn<QString>("relative");
        QTest::addColumn<bool>("userChanged");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("template") << "Frf/Bill.frf" << false << QByteArray("new");
        QTest::newRow("edited template") << "Frf/Bill.frf" << true << QByteArray("mine");
        QTest::newRow("picture") << "Res/Login.bmp" << false << QByteArray("new");
        QTest::newRow("page") << "Help.html" << false << QByteArray("new");
        QTest::newRow("registry") << "Quillbrook3.MDB" << false << QByteArray("old");
        QTest::newRow("ledger") << "DataBase/Demo.ddb" << false << QByteArray("old");
        QTest::newRow("changed ledger") << "DataBase/Default.ddb" << true << QByteArray("mine");
    }
    void laterInstallRefreshesOnlyUntouchedFiles()
    {
        QFETCH(QString, relative);
        QFETCH(bool, userChanged);
        QFETCH(QByteArray, expected);
        QTemporaryDir install;
        QTemporaryDir user;
        const QDateTime first = QDateTime::currentDateTime().addDays(-2);
        write(install.filePath(relative), "old", first);
        QVERIFY(SeedUserProgramFolder(install.path(), user.path()).isEmpty());
        QCOMPARE(contents(user.filePath(relative)), QByteArray("old"));

        if (userChanged)
            write(user.filePath(relative), "mine", first.addDays(1));
        write(install.filePath(relative), "new", QDateTime::currentDateTime());
        QVERIFY(SeedUserProgramFolder(install.path(), user.path()).isEmpty());
        QCOMPARE(contents(user.filePath(relative)), expected);
        // Unchanged on a start with nothing newer installed.
        QVERIFY(SeedUserProgramFolder(install.path(), user.path()).isEmpty());
        QCOMPARE(contents(user.filePath(relative)), expected);
    }

    // Books are copied once: a ledger the user removed does not come back.
    void removedLedgerStaysRemoved()
    {
        QTemporaryDir install;
        QTemporaryDir user;
        write(install.filePath(QStringLiteral("DataBase/Demo.ddb")), "demo", QDateTime::currentDateTime());
        QVERIFY(SeedUserProgramFolder(install.path(), user.path()).isEmpty());
        QVERIFY(QFile::remove(user.filePath(QStringLiteral("DataBase/Demo.ddb"))));
        QVERIFY(SeedUserProgramFolder(install.path(), user.path()).isEmpty());
        QVERIFY(!QFileInfo::exists(user.filePath(QStringLiteral("DataBase/Demo.ddb"))));
    }
};

QUILL_TEST_MAIN(TestInstall)
#include "tst_install.moc"
