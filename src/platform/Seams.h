#pragma once

// Every interaction that would block (a message box, a modal dialog, a file dialog, the desktop
// shell, a print preview) or that depends on the machine (today's date) goes through one
// function here. Tests replace the behaviour through Seams::handlers().

#include <QDate>
#include <QString>
#include <QStringList>

#include <functional>

class QDialog;
class QPrinter;
class QWidget;

namespace Platform {

inline constexpr const char *ProgramTitle = "翎溪记帐财务软件";
inline constexpr const char *CaptionNotice = "提示";
inline constexpr const char *CaptionError = "错误";

enum class MessageKind { Information, Error, Question };

// A plain message with an OK button; the caption defaults to the program's title.
void ShowMessage(const QString &text, const QString &caption = QString::fromUtf8(ProgramTitle));
// An error message (error icon, OK button).
void ShowError(const QString &text, const QString &caption = QString::fromUtf8(CaptionError));
// A Yes/No question; true for Yes.
bool AskYesNo(const QString &text, const QString &caption);

// Shows a dialog modally and returns QDialog::Accepted or QDialog::Rejected.
int ShowModal(QDialog *dialog);

struct FileDialogRequest {
    QString caption;
    QString directory; // folder the dialog opens in
    QString fileName; // proposed file name (may be empty)
    QString filter; // Qt filter text, e.g. "Ddb Files (*.ddb)"
    QString defaultSuffix;
};
// Empty text when cancelled.
QString GetOpenFileName(QWidget *parent, const FileDialogRequest &request);
QString GetSaveFileName(QWidget *parent, const FileDialogRequest &request);

// Opens a local file (or a web address) with the desktop's default program.
bool OpenWithDesktop(const QString &pathOrUrl);

// What a prepared report hands to the preview: it can draw its pages onto a printer.
class PreviewSource
{
public:
    virtual ~PreviewSource() = default;
    virtual QString previewTitle() const = 0;
    virtual bool isLandscape() const = 0;
    virtual void paintPages(QPrinter *printer) const = 0;
};
void PreviewReport(const PreviewSource &source, QWidget *parent = nullptr);

// Today's date, without time of day.
QDate Today();

// Shows the busy cursor while it lives.
class BusyCursor
{
public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;

private:
    bool active = false;
};

namespace Seams {

// Each handler, when set, replaces the real behaviour.
struct Handlers {
    std::function<bool(MessageKind kind, const QString &text, const QString &caption)> message;
    std::function<int(QDialog *dialog)> modal;
    std::function<QString(bool save, const FileDialogRequest &request)> fileDialog;
    std::function<bool(const QString &pathOrUrl)> openWithDesktop;
    std::function<void(const PreviewSource &source)> preview;
    std::function<QDate()> today;
    bool busyCursorDisabled = false;
};

Handlers &handlers();
void reset();

} // namespace Seams
} // namespace Platform
