#pragma once

// The report engine: loads a template, binds it to one query's rows, asks the caller for named
// values, prepares the pages, previews (with print) through the platform's preview and saves PDF.
//
//   ReportEngine engine;
//   engine.loadTemplate(ReportTemplatePath("Bill.frf"));
//   engine.bind(ShareDataModule->ADOQueryTemp);
//   engine.setValueProvider([&](const QString &name) -> std::optional<QVariant> { … });
//   if (engine.prepare(&error)) engine.preview(this);

#include "platform/Seams.h"
#include "printing/ReportRows.h"
#include "printing/ReportTemplate.h"

#include <QHash>
#include <QImage>
#include <QList>
#include <QPair>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <memory>
#include <optional>

class QPagedPaintDevice;
class QPainter;
class QPrinter;
class QWidget;

// Answers a named value the template asks for; no value means the engine prints nothing.
using ReportValueProvider = std::function<std::optional<QVariant>(const QString &name)>;

// The report as prepared: every fixed text resolved, the totals figured and the rows split into
// pages. The rows stay in their source: a page reads the rows it shows when it is drawn, so a
// report of any size holds what its pages need, not its rows' texts. It draws itself onto any
// printer (the preview, a real printer, a PDF file) or an image.
class PreparedReport : public Platform::PreviewSource
{
public:
    // Rows of one page: detail rows [first, first + count), and whether the totals row follows.
    struct Page {
        int first = 0;
        int count = 0;
        bool totals = false;
        bool opening = false; // the first page carries the title and the header texts
    };
    struct NamedValue {
        QString name;
        std::optional<QString> answer; // nullopt: the caller had no value
    };

    bool isValid() const { return valid; }
    QString templatePath() const { return path; }
    const ReportTemplate &reportTemplate() const { return tmpl; }

    // The title and header texts (of the first voucher, for a bill).
    QString title() const { return firstBlock.title; }
    QStringList headerTexts() const { return firstBlock.headers; }
    // Column captions, or the voucher's cell labels.
    QStringList captions() const { return captionTexts; }
    // Detail rows (vouchers, for a bill) and the display texts of one of them (a voucher's cells).
    int rowCount() const { return rowTotal; }
    QStringList rowTexts(int row) const;
    // The totals row's texts, one per column (empty when the template has none).
    QStringList totals() const { return totalTexts; }
    QStringList footerTexts() const { return {footerLeftText, footerRightText}; }
    // Named values asked for while preparing, in order, with the caller's answers.
    const QList<NamedValue> &namedValues() const { return asked; }
    QStringList askedValueNames() const;

    int pageCount() const { return int(pageList.size()); }
    const QList<Page> &pages() const { return pageList; }
    // The texts of the rows a page shows, read from the rows' source.
    QList<QStringList> pageRows(int page) const;
    QString pageNumberText(int page) const;

    // Platform::PreviewSource
    QString previewTitle() const override;
    bool isLandscape() const override { return tmpl.landscape; }
    int previewPageCount() const override { return pageCount(); }
    QSizeF previewPaperMm() const override { return paperSize(); }
    void paintPreviewPage(QPainter &painter, int page, double dotsPerMm) const override
    {
        paintPreparedPage(painter, page, dotsPerMm);
    }
    bool paintPages(QPrinter *printer) const override;

    // Draws the pages [from, to] (every page when to < 0) one after another on a paged device
    // set to its full page; false when painting cannot start.
    bool paintDevice(QPagedPaintDevice *device, int from = 0, int to = -1) const;
    // One page as a picture at the given resolution, on white paper.
    QImage renderPage(int page, double dotsPerInch) const;
    // Draws one prepared page with painter, whose origin is the paper's corner.
    void paintPreparedPage(QPainter &painter, int page, double dotsPerMm) const;
    // The paper of the template (A4 in its orientation), in millimetres.
    QSizeF paperSize() const;
    // How the rows fall on pages of this size (the prepared pages use paperSize()).
    QList<Page> paginate(const QSizeF &paperMm) const;

private:
    friend class ReportEngine;
    struct Block {
        QString title;
        QStringList headers;
        QList<ReportAlign> headerAligns;
        QList<bool> headerBold;
    };

    QString resolve(const TextSource &source, int row) const;
    Block block(int row) const;
    bool rowEmphasized(int row) const;
    void paintPage(QPainter &painter, double dotsPerMm, const QSizeF &paperMm, int index,
        const QList<Page> &pages) const;
    void paintTablePage(QPainter &painter, double dotsPerMm, const QSizeF &paperMm, const Page &page) const;
    void paintVouchers(QPainter &painter, double dotsPerMm, const QSizeF &paperMm, const Page &page) const;
    void paintFooter(QPainter &painter, double dotsPerMm, const QSizeF &paperMm, int index, int count) const;
    QList<double> columnWidths(double contentWidthMm) const;
    double voucherHeight() const;

    bool valid = false;
    bool sample = false; // no rows bound: sample rows and placeholders
    QString path;
    ReportTemplate tmpl;
    std::shared_ptr<const ReportRows> data;
    int rowTotal = 0;
    QHash<QString, QString> answers; // named value -> its text
    QHash<QString, Query> lookups; // lower-case look-up name -> its one row
    QList<double> magnitude; // per column: the sum of a percent column's magnitudes
    Block firstBlock;
    QStringList captionTexts;
    QStringList totalTexts;
    QString footerLeftText;
    QString footerRightText;
    QList<NamedValue> asked;
    QList<Page> pageList;
};

class ReportEngine
{
public:
    // Reads and checks a template file. A failure is kept and returned again by prepare().
    bool loadTemplate(const QString &path, QString *error = nullptr);
    // The same from text being edited; path names it in messages.
    bool loadTemplateText(const QByteArray &json, const QString &path, QString *error = nullptr);
    bool isLoaded() const { return loaded; }
    QString templatePath() const { return path; }
    const ReportTemplate &reportTemplate() const { return tmpl; }

    // The rows to print. With none bound, prepare() uses sample rows and placeholder texts.
    void bind(const Query &query);
    void bind(std::shared_ptr<const ReportRows> rows);
    void unbind() { rows.reset(); }
    void setValueProvider(ReportValueProvider provider) { values = std::move(provider); }

    // Resolves every text and splits the rows into pages. False with *error naming the
    // template's path: missing or broken file, a field the rows lack, a failing look-up.
    bool prepare(QString *error = nullptr);
    // True when the last failure has been shown to the user already (a failing look-up).
    bool errorShown() const { return shown; }
    const PreparedReport &prepared() const { return report; }

    // Shows the prepared report in the print preview (TFormPreview).
    void preview(QWidget *parent = nullptr) const;
    // Writes the prepared report as a PDF file.
    bool savePdf(const QString &filePath, QString *error = nullptr) const;

private:
    bool fail(const QString &message, QString *error, bool alreadyShown = false);

    bool loaded = false;
    bool shown = false;
    QString path;
    QString loadError;
    ReportTemplate tmpl;
    std::shared_ptr<const ReportRows> rows;
    ReportValueProvider values;
    PreparedReport report;
};

// The file of a template in the program's Frf folder.
QString ReportTemplatePath(const QString &fileName);
// The template of a list print by the setting "PrintType": the portrait file while it reads
// "纵向打印" (also its default), the other file for any other value.
QString ListTemplatePath(const QString &portraitFile, const QString &otherFile);

// What the print commands do: load the template, bind the rows, prepare and preview. A failure
// is shown to the user (with the template's path) and nothing is previewed; true when previewed.
bool PrintReport(const QString &templatePath, const Query &rows, ReportValueProvider values = {},
    QWidget *parent = nullptr);
// The same over any row source (a statement read block by block, for long lists).
bool PrintReport(const QString &templatePath, std::shared_ptr<const ReportRows> rows,
    ReportValueProvider values = {}, QWidget *parent = nullptr);

// A value as a template prints it in the given format (money by RoundMoney, dates as short
// dates; anything that is not of the format is printed as it stands).
QString FormatReportValue(const QVariant &value, ReportFormat format);
