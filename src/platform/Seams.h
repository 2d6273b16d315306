#pragma once

// Every interaction that would block (a message box, a modal dialog, a file dialog, the desktop
// shell, a print preview) or that depends on the machine (today's date) goes through one
// function here. Tests replace the behaviour through Seams::handlers().

#include <QDate>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <functional>

class QDialog;
class QPainter;
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

// What a prepared report hands to the preview: its pages, each drawn when it is shown, and all
// of them, one after another, onto a printer.
class PreviewSource
{
public:
    virtual ~PreviewSource() = default;
    virtual QString previewTitle() const = 0;
    virtual bool isLandscape() const = 0;
    virtual int previewPageCount() const = 0;
    // The paper, in millimetres.
    virtual QSizeF previewPaperMm() const = 0;
    // Draws one page with painter, whose origin is the paper's corner.
    virtual void paintPreviewPage(QPainter &painter, int page, double dotsPerMm) const = 0;
    // Draws the printer's page range (every page when it names none); false when it could not.
    virtual bool paintPages(QPrinter *printer) const = 0;
};
// Shows the source in the program's preview (TFormPreview) until the user closes it.
void PreviewReport(const PreviewSource &source, QWidget *parent = nullptr);
// Writes every page of the source into a PDF file; false when the file could not be written.
bool WritePdf(const PreviewSource &source, const QString &filePath);
// The print dialog on printer; false when the user cancels.
bool ChoosePrinter(QPrinter *printer, QWidget *parent = nullptr);

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
    std::function<bool(QPrinter *printer)> choosePrinter;
    std::function<QDate()> today;
    bool busyCursorDisabled = false;
};

Handlers &handlers();
void reset();

} // namespace Seams
} // namespace Platform
