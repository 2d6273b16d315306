#pragma once

// Fixtures for tests that use the program as a person would: a fresh program folder, the
// platform seams scripted (messages, dialogs, file dialogs, desktop, previews, today) and the
// shared data module.

#include "platform/Seams.h"
#include "storage/ShareDM.h"
#include "support/Helpers.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QObject>
#include <QQueue>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>

class QDialog;
class QPrinter;

namespace TestSupport {

// The users of a new ledger, the cashier's rights there, and the program folder's own ledger.
inline const QString Cashier = QStringLiteral("出纳");
inline const QString Administrator = QStringLiteral("管理员");
inline const QString AllRights = QStringLiteral("财务收入，财务支出，财务平调，数据总览，数据修改，财务报表");
inline const QString DefaultLedger = QStringLiteral("DataBase/Default.ddb");

// Copies the built program files (databases, templates, pictures) into folder.
bool CopyProgramFiles(const QString &folder);

// A copy of the built program folder in a temporary directory, removed afterwards.
class ProgramFolder
{
public:
    ProgramFolder();
    bool isValid() const { return ok; }
    // The folder, ending with "/".
    QString path() const;
    QString filePath(const QString &relative) const;

private:
    QTemporaryDir dir;
    bool ok = false;
};

struct RecordedMessage {
    Platform::MessageKind kind;
    QString text;
    QString caption;
};

// Replaces every seam while it lives and records what the program showed.
class Seams
{
public:
    Seams();
    ~Seams();

    // Messages, in order.
    QList<RecordedMessage> messages;
    QStringList messageTexts() const;
    QString lastMessage() const;
    void clearMessages() { messages.clear(); }

    // Answers to the coming Yes/No questions; a question with no answer left fails the test.
    void answerQuestions(std::initializer_list<bool> answers);
    QQueue<bool> questionAnswers;

    // A script for the next modal show of the dialog with this object name. The dialog has been
    // shown (so its show handling ran) when the script starts; the script fills controls and
    // triggers actions. A dialog still open when the script returns is closed with Cancel. A
    // modal show with no script waiting fails the test.
    using DialogScript = std::function<void(QDialog *)>;
    void onDialog(const QString &objectName, DialogScript script);
    QStringList shownDialogs;

    // Answers for the coming file dialogs (an empty text is Cancel).
    QQueue<QString> fileAnswers;
    QList<Platform::FileDialogRequest> fileRequests;

    QStringList openedWithDesktop;
    bool desktopOpenSucceeds = true;

    // Called for every report preview; previewTitles records them all.
    std::function<void(const Platform::PreviewSource &)> onPreview;
    QStringList previewTitles;

    // Answers the print dialog: sets up the printer (a PDF file, say) and returns whether to
    // print; a print dialog with no answer set fails the test. printDialogs counts them.
    std::function<bool(QPrinter *)> onChoosePrinter;
    int printDialogs = 0;

    QDate today = QDate(2026, 6, 15);

private:
    QHash<QString, QQueue<DialogScript>> scripts;
};

// The shared data module of a test with session paths pointing at a program folder.
class DataModule
{
public:
    explicit DataModule(const ProgramFolder &folder);
    ~DataModule();
    TShareDataModule *module() const { return dm.get(); }
    // Opens a ledger of the program folder (relative path) on the shared connection.
    bool openLedger(const QString &relative);

private:
    std::unique_ptr<TShareDataModule> dm;
    QString programDir;
};

// A test class whose test functions each start from a fresh program folder, scripted seams and
// a data module on that folder: call makeFixture() in init() and dropFixture() in cleanup().
class FixtureTest : public QObject
{
protected:
    std::unique_ptr<ProgramFolder> folder;
    std::unique_ptr<Seams> seams;
    std::unique_ptr<DataModule> data;

    bool makeFixture();
    void dropFixture();
};

} // namespace TestSupport
