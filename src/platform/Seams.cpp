#include "platform/Seams.h"

#include "platform/PreviewForm.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QUrl>

namespace Platform {

namespace Seams {
Handlers &handlers()
{
    static Handlers instance;
    return instance;
}

void reset()
{
    handlers() = Handlers {};
}
} // namespace Seams

namespace {
QWidget *activeParent()
{
    return QApplication::activeWindow();
}
} // namespace

void ShowMessage(const QString &text, const QString &caption)
{
    if (auto &h = Seams::handlers().message) {
        h(MessageKind::Information, text, caption);
        return;
    }
    QMessageBox box(QMessageBox::Information, caption, text, QMessageBox::Ok, activeParent());
    box.exec();
}

void ShowError(const QString &text, const QString &caption)
{
    if (auto &h = Seams::handlers().message) {
        h(MessageKind::Error, text, caption);
        return;
    }
    QMessageBox box(QMessageBox::Critical, caption, text, QMessageBox::Ok, activeParent());
    box.exec();
}

bool AskYesNo(const QString &text, const QString &caption)
{
    if (auto &h = Seams::handlers().message)
        return h(MessageKind::Question, text, caption);
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No, activeParent());
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

int ShowModal(QDialog *dialog)
{
    if (auto &h = Seams::handlers().modal)
        return h(dialog);
    return dialog->exec();
}

static QString runFileDialog(bool save, QWidget *parent, const FileDialogRequest &request)
{
    if (auto &h = Seams::handlers().fileDialog)
        return h(save, request);
    QFileDialog dialog(parent, request.caption, request.directory, request.filter);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // The backup dialog replaces an existing file without asking, as users of it expect.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    if (!request.defaultSuffix.isEmpty())
        dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

QString GetOpenFileName(QWidget *parent, const FileDialogRequest &request)
{
    return runFileDialog(false, parent, request);
}

QString GetSaveFileName(QWidget *parent, const FileDialogRequest &request)
{
    return runFileDialog(true, parent, request);
}

bool OpenWithDesktop(const QString &pathOrUrl)
{
    if (auto &h = Seams::handlers().openWithDesktop)
        return h(pathOrUrl);
    const QUrl url
        = pathOrUrl.contains(QLatin1String("://")) ? QUrl(pathOrUrl) : QUrl::fromLocalFile(pathOrUrl);
    return QDesktopServices::openUrl(url);
}

void PreviewReport(const PreviewSource &source, QWidget *parent)
{
    if (auto &h = Seams::handlers().preview) {
        h(source);
        return;
    }
    TFormPreview preview(source, parent ? parent : activeParent());
    preview.exec();
}

bool WritePdf(const PreviewSource &source, const QString &filePath)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(filePath);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(source.isLandscape() ? QPageLayout::Landscape : QPageLayout::Portrait);
    printer.setDocName(source.previewTitle());
    printer.setCreator(QString::fromUtf8(ProgramTitle));
    return source.paintPages(&printer) && QFileInfo(filePath).size() > 0;
}

bool ChoosePrinter(QPrinter *printer, QWidget *parent)
{
    if (auto &h = Seams::handlers().choosePrinter)
        return h(printer);
    QPrintDialog dialog(printer, parent ? parent : activeParent());
    dialog.setWindowTitle(QStringLiteral("打印"));
    return dialog.exec() == QDialog::Accepted;
}

QDate Today()
{
    if (auto &h = Seams::handlers().today)
        return h();
    return QDate::currentDate();
}

BusyCursor::BusyCursor()
{
    if (Seams::handlers().busyCursorDisabled || !qApp)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    active = true;
}

BusyCursor::~BusyCursor()
{
    if (active)
        QApplication::restoreOverrideCursor();
}

} // namespace Platform
