#pragma once

// One run of the program: the single-instance lock, the main window, the shared data module and
// every dialog, then the main window's show step (ledger and login). Tests run it against their
// own program folder and lock folder with the platform seams scripted.

#include "app/UserProgramFolder.h"

#include <QString>

#include <memory>

class TFormMain;
class TShareDataModule;
struct ProgramDialogs;
namespace Platform {
class SingleInstanceLock;
}

inline const QString AlreadyRunningText = QStringLiteral("程序已经在运行！");
inline const QString UserFolderFailedText = QStringLiteral("无法建立用户的程序文件夹：");

class Program
{
public:
    // programDir ends with "/".
    Program(const QString &programDir, const QString &lockFolder);
    ~Program();
    Program(const Program &) = delete;
    Program &operator=(const Program &) = delete;

    // True when a user is logged in and the main window waits for work; false when the run is
    // over (another copy runs, the master database is missing, chooser or login cancelled).
    bool start();

    TFormMain *mainWindow() const { return window.get(); }
    ProgramDialogs *dialogs() const { return programDialogs.get(); }
    TShareDataModule *dataModule() const { return shareDataModule.get(); }

private:
    QString programDir;
    QString lockFolder;
    // Declared so that the window (and the dialogs it owns) goes before the data module.
    std::unique_ptr<Platform::SingleInstanceLock> lock;
    std::unique_ptr<TShareDataModule> shareDataModule;
    std::unique_ptr<ProgramDialogs> programDialogs;
    std::unique_ptr<TFormMain> window;
};

// The program folder of a run: the executable's folder, or when that cannot be written (an
// installed program) the user's own folder under userDataFolder, seeded from it. The program
// file itself is not copied.
ProgramFolderChoice ProgramFolderFor(
    const QString &executableFolder, const QString &userDataFolder, const QString &executableName);

// The program's entry.
int RunProgram(int argc, char *argv[]);
