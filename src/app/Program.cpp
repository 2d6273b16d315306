#include "app/Program.h"

#include "app/AppSetup.h"
#include "app/Dialogs.h"
#include "app/MainForm.h"
#include "app/UserProgramFolder.h"
#include "ledgers/AutoBackup.h"
#include "platform/InstanceLock.h"
#include "platform/Seams.h"
#include "storage/ShareDM.h"

#include <QApplication>
#include <QFileInfo>
#include <QStandardPaths>

Program::Program(const QString &programDir, const QString &lockFolder)
    : programDir(programDir), lockFolder(lockFolder)
{
}

Program::~Program()
{
    // A copy still being written is finished and put on its list before the ledger closes.
    Ledgers::WaitForAutomaticBackup();
    window.reset();
    programDialogs.reset();
    shareDataModule.reset();
}

bool Program::start()
{
    lock = std::make_unique<Platform::SingleInstanceLock>(lockFolder);
    if (!lock->tryAcquire()) {
        Platform::ShowMessage(AlreadyRunningText, QString::fromUtf8(Platform::CaptionNotice));
        return false;
    }
    window = std::make_unique<TFormMain>(programDir);
    shareDataModule = std::make_unique<TShareDataModule>();
    window->FormCreate();
    programDialogs = std::make_unique<ProgramDialogs>(window.get());
    window->setDialogs(programDialogs.get());

    window->show();
    if (!window->FormShow()) {
        window->close();
        return false;
    }
    return true;
}

ProgramFolderChoice ProgramFolderFor(
    const QString &executableFolder, const QString &userDataFolder, const QString &executableName)
{
    return ChooseProgramFolder(executableFolder, userDataFolder, {executableName});
}

int RunProgram(int argc, char *argv[])
{
    QApplication app(argc, argv);
    ConfigureApplication(app);
    const ProgramFolderChoice folder = ProgramFolderFor(QCoreApplication::applicationDirPath(),
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation),
        QFileInfo(QCoreApplication::applicationFilePath()).fileName());
    if (!folder.error.isEmpty()) {
        Platform::ShowError(UserFolderFailedText + folder.error);
        return 1;
    }
    Program program(folder.programDir, Platform::SingleInstanceLock::DefaultLockFolder());
    if (!program.start())
        return 0;
    return app.exec();
}
