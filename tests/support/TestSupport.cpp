#include "support/TestSupport.h"

#include "storage/PublicFunction.h"

#include <QDialog>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTest>

namespace TestSupport {

namespace {
bool copyTree(const QString &from, const QString &to)
{
    QDir source(from);
    if (!source.exists())
        return false;
    QDirIterator it(
        from, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        const QString target = to + QLatin1Char('/') + source.relativeFilePath(file);
        if (it.fileInfo().isDir()) {
            if (!QDir().mkpath(target))
                return false;
        } else {
            QDir().mkpath(QFileInfo(target).absolutePath());
            if (!QFile::copy(file, target))
                return false;
            QFile::setPermissions(target, QFile::permissions(target) | QFile::WriteOwner);
        }
    }
    return true;
}
} // namespace

bool CopyProgramFiles(const QString &folder)
{
    return copyTree(QStringLiteral(QUILL_PRISTINE_DIR), folder);
}

ProgramFolder::ProgramFolder()
{
    ok = dir.isValid() && CopyProgramFiles(dir.path());
    if (!ok)
        qWarning("could not copy the program files from %s", QUILL_PRISTINE_DIR);
}

QString ProgramFolder::path() const
{
    return dir.path() + QLatin1Char('/');
}

QString ProgramFolder::filePath(const QString &relative) const
{
    return path() + relative;
}

Seams::Seams()
{
    using namespace Platform;
    auto &h = Platform::Seams::handlers();
    h.message = [this](MessageKind kind, const QString &text, const QString &caption) {
        messages.append({kind, text, caption});
        if (kind != MessageKind::Question)
            return true;
        if (questionAnswers.isEmpty()) {
            QTest::qFail(qPrintable(QStringLiteral("unexpected question: ") + text), __FILE__, __LINE__);
            return false;
        }
        return questionAnswers.dequeue();
    };
    h.modal = [this](QDialog *dialog) {
        const QString name = dialog->objectName();
        shownDialogs.append(name);
        auto it = scripts.find(name);
        if (it == scripts.end() || it->isEmpty()) {
            QTest::qFail(qPrintable(QStringLiteral("unexpected dialog: ") + name), __FILE__, __LINE__);
            return int(QDialog::Rejected);
        }
        const DialogScript script = it->dequeue();
        dialog->setResult(QDialog::Rejected);
        dialog->show();
        script(dialog);
        if (dialog->isVisible())
            dialog->reject();
        return dialog->result();
    };
    h.fileDialog = [this](bool, const FileDialogRequest &request) {
        fileRequests.append(request);
        if (fileAnswers.isEmpty()) {
            QTest::qFail("unexpected file dialog", __FILE__, __LINE__);
            return QString();
        }
        return fileAnswers.dequeue();
    };
    h.openWithDesktop = [this](const QString &target) {
        openedWithDesktop.append(target);
        return desktopOpenSucceeds;
    };
    h.preview = [this](const PreviewSource &source) {
        previewTitles.append(source.previewTitle());
        if (onPreview)
            onPreview(source);
    };
    h.choosePrinter = [this](QPrinter *printer) {
        ++printDialogs;
        if (!onChoosePrinter) {
            QTest::qFail("unexpected print dialog", __FILE__, __LINE__);
            return false;
        }
        return onChoosePrinter(printer);
    };
    h.today = [this] { return today; };
    h.busyCursorDisabled = true;
}

Seams::~Seams()
{
    Platform::Seams::reset();
}

QStringList Seams::messageTexts() const
{
    QStringList texts;
    for (const RecordedMessage &m : messages)
        texts.append(m.text);
    return texts;
}

QString Seams::lastMessage() const
{
    return messages.isEmpty() ? QString() : messages.constLast().text;
}

void Seams::answerQuestions(std::initializer_list<bool> answers)
{
    for (bool a : answers)
        questionAnswers.enqueue(a);
}

void Seams::onDialog(const QString &objectName, DialogScript script)
{
    scripts[objectName].enqueue(std::move(script));
}

DataModule::DataModule(const ProgramFolder &folder)
    : dm(std::make_unique<TShareDataModule>()), programDir(folder.path())
{
    SessionValues &s = dm->session;
    s.ProgramDir = programDir;
    s.SettingsPath = programDir + QStringLiteral("Quillbrook.ini");
    s.DefaultLedgerFolder = Texts::RunPathPlaceholder + QStringLiteral("DataBase\\");
    s.CurrentDay = Platform::Today();
}

DataModule::~DataModule() = default;

bool DataModule::openLedger(const QString &relative)
{
    QString error;
    const bool ok = OpenLedgerConnection(programDir + relative, DatabaseKind::Ledger, &error);
    if (!ok)
        qWarning("%s", qPrintable(error));
    return ok;
}

bool FixtureTest::makeFixture()
{
    folder = std::make_unique<ProgramFolder>();
    seams = std::make_unique<Seams>();
    data = std::make_unique<DataModule>(*folder);
    return folder->isValid();
}

void FixtureTest::dropFixture()
{
    data.reset();
    seams.reset();
    folder.reset();
}

} // namespace TestSupport
