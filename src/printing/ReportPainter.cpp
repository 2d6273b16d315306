// Pagination and drawing of a prepared report. Everything is measured in millimetres on the
// paper and turned into device pixels at the last moment, so that the preview, the printer,
// a PDF file and a picture all show the same pages.

#include "printing/ReportEngine.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPrinter>

#include <algorithm>
#include <cmath>

namespace {

constexpr double FooterHeight = 8; // mm below the body for the page number line
constexpr double HeaderGap = 2.5; // mm between the header texts and the table
constexpr double VoucherGap = 14; // mm between two vouchers on one page (a cutting line)
constexpr double SignatureHeight = 13;
constexpr double CellPadding = 1.0; // mm inside a table cell
constexpr double PointMm = 25.4 / 72.0;
const QColor CaptionFill(232, 232, 232);
const QColor TotalFill(244, 244, 244);
const QColor LabelFill(242, 242, 242);

struct Pen {
    double k; // device pixels per millimetre
    double px(double mm) const { return mm * k; }
    QRectF rect(double x, double y, double w, double h) const { return QRectF(px(x), px(y), px(w), px(h)); }
    QFont font(const QString &family, double points, bool bold = false) const
    {
        QFont f(family);
        f.setPixelSize(std::max(1, int(std::lround(points * PointMm * k))));
        f.setBold(bold);
        f.setStyleStrategy(QFont::PreferAntialias);
        return f;
    }
    void line(QPainter &p, double widthMm) const
    {
        QPen pen(Qt::black);
        pen.setWidthF(std::max(1.0, px(widthMm)));
        pen.setCapStyle(Qt::FlatCap);
        p.setPen(pen);
    }
};

Qt::Alignment toQt(ReportAlign a)
{
    switch (a) {
    case ReportAlign::Left:
        return Qt::AlignLeft;
    case ReportAlign::Center:
        return Qt::AlignHCenter;
    case ReportAlign::Right:
        return Qt::AlignRight;
    }
    return Qt::AlignLeft;
}

// The font size (pixels) at which every text fits its width, shrinking down to 70 % at most.
int fittingSize(const QPaintDevice *device, QFont font, const QStringList &texts, double width)
{
    const int full = font.pixelSize();
    const int smallest = std::max(1, int(full * 0.7));
    auto widest = [&] {
        const QFontMetricsF fm(font, const_cast<QPaintDevice *>(device));
        double w = 0;
        for (const QString &t : texts)
            w = std::max(w, fm.horizontalAdvance(t));
        return w;
    };
    while (font.pixelSize() > smallest && widest() > width)
        font.setPixelSize(std::max(smallest, int(font.pixelSize() * 0.93)));
    return font.pixelSize();
}

// Draws text in rect, shrinking the font a little when it is too wide; words that still do not
// fit are cut with an ellipsis, figures never (a cut amount would mislead).
void drawFitted(
    QPainter &p, const QRectF &rect, const QString &text, Qt::Alignment align, QFont font, bool figures)
{
    if (text.isEmpty() || rect.width() <= 0)
        return;
    font.setPixelSize(fittingSize(p.device(), font, {text}, rect.width()));
    p.setFont(font);
    const QFontMetricsF fm(font, p.device());
    QString shown = text;
    if (!figures && fm.horizontalAdvance(text) > rect.width())
        shown = fm.elidedText(text, Qt::ElideRight, rect.width());
    p.drawText(rect, int(align | Qt::AlignVCenter) | Qt::TextSingleLine, shown);
}

bool looksNumeric(const QString &text)
{
    bool ok = false;
    QString t = text;
    t.remove(QLatin1Char('%'));
    t.toDouble(&ok);
    return ok;
}

double titleBlockHeight(const ReportTemplate &t, bool hasTitle)
{
    return hasTitle ? t.titleSize * PointMm * 1.7 + 3 : 0;
}

int headerLines(const ReportTemplate &t)
{
    return int((t.headers.size() + t.headerColumns - 1) / t.headerColumns);
}

// The title, centred, with spaced characters and the double rule of an account book under it.
double paintTitle(QPainter &p, const Pen &pen, const ReportTemplate &t, const QString &title, double left,
    double width, double y)
{
    const double height = t.titleSize * PointMm * 1.7;
    QFont font = pen.font(t.fontFamily, t.titleSize, true);
    const double spacing = pen.px(t.titleSize * PointMm * 0.25);
    font.setLetterSpacing(QFont::AbsoluteSpacing, spacing);
    p.setFont(font);
    p.setPen(Qt::black);
    const QFontMetricsF fm(font, p.device());
    const double textWidth = fm.horizontalAdvance(title) - spacing;
    // The spacing after the last character would push the text left of the centre.
    QRectF r = pen.rect(left, y, width, height * 0.82);
    r.translate(spacing / 2, 0);
    p.drawText(r, Qt::AlignHCenter | Qt::AlignBottom | Qt::TextSingleLine, title);
    const double lineWidth = std::min(pen.px(width), textWidth + pen.px(8));
    const double x0 = pen.px(left) + (pen.px(width) - lineWidth) / 2;
    const double yLine = pen.px(y + height * 0.9);
    pen.line(p, 0.35);
    p.drawLine(QPointF(x0, yLine), QPointF(x0 + lineWidth, yLine));
    pen.line(p, 0.15);
    p.drawLine(QPointF(x0, yLine + pen.px(0.8)), QPointF(x0 + lineWidth, yLine + pen.px(0.8)));
    return titleBlockHeight(t, true);
}

// The header texts, t.headerColumns cells a line from area's top left; each cell is narrowed by
// inset millimetres on both sides. area gives left, top, width and the line height.
void paintHeaderTexts(QPainter &p, const Pen &pen, const ReportTemplate &t, const QStringList &texts,
    const QList<ReportAlign> &aligns, const QList<bool> &boldFlags, const QRectF &area, double inset,
    const QFont &body, const QFont &bold)
{
    const double cell = area.width() / t.headerColumns;
    const double row = area.height();
    p.setPen(Qt::black);
    for (qsizetype i = 0; i < texts.size(); ++i) {
        const double x = area.left() + cell * (i % t.headerColumns);
        const double top = area.top() + row * (i / t.headerColumns);
        drawFitted(p, pen.rect(x + inset, top, cell - 2 * inset, row), texts[i], toQt(aligns[i]),
            boldFlags[i] ? bold : body, false);
    }
}

} // namespace

// ---------------------------------------------------------------------------------------------

QStringList PreparedReport::askedValueNames() const
{
    QStringList names;
    for (const NamedValue &v : asked)
        names.append(v.name);
    return names;
}

QList<QStringList> PreparedReport::pageRows(int page) const
{
    if (page < 0 || page >= pageList.size())
        return {};
    const Page &p = pageList[page];
    QList<QStringList> texts;
    texts.reserve(p.count);
    for (int row = p.first; row < p.first + p.count; ++row)
        texts.append(rowTexts(row));
    return texts;
}

QString PreparedReport::pageNumberText(int page) const
{
    return QStringLiteral("第 %1 页 / 共 %2 页").arg(page + 1).arg(pageList.size());
}

QString PreparedReport::previewTitle() const
{
    return tmpl.name;
}

QSizeF PreparedReport::paperSize() const
{
    const QSizeF a4 = QPageSize(QPageSize::A4).size(QPageSize::Millimeter);
    return tmpl.landscape ? a4.transposed() : a4;
}

double PreparedReport::voucherHeight() const
{
    const ReportTemplate &t = tmpl;
    return titleBlockHeight(t, !t.title.isEmpty()) + headerLines(t) * t.rowHeight()
        + t.voucher.rows.size() * t.voucher.rowHeightMm
        + (t.voucher.signatures.isEmpty() ? 2 : SignatureHeight);
}

QList<PreparedReport::Page> PreparedReport::paginate(const QSizeF &paper) const
{
    const ReportTemplate &t = tmpl;
    const bool footer = t.pageNumbers || !footerLeftText.isEmpty() || !footerRightText.isEmpty();
    const double body
        = paper.height() - t.marginsMm.top() - t.marginsMm.bottom() - (footer ? FooterHeight : 0);
    const int count = rowTotal;
    QList<Page> pages;
    constexpr double eps = 1e-6;

    if (t.isVoucher) {
        const int perPage
            = std::max(1, int(std::floor((body + VoucherGap + eps) / (voucherHeight() + VoucherGap))));
        for (int first = 0; first < count; first += perPage)
            pages.append({first, std::min(perPage, count - first), false, true});
        if (pages.isEmpty())
            pages.append({0, 0, false, true});
        return pages;
    }

    const double row = t.rowHeight();
    const double caption = row * 1.2;
    const QString firstTitle = firstBlock.title;
    const double opening = titleBlockHeight(t, !firstTitle.isEmpty())
        + (t.headers.isEmpty() ? 0 : headerLines(t) * row + HeaderGap);
    const bool totals = t.hasTotals();
    int next = 0;
    bool first = true;
    for (;;) {
        const double room = body - (first ? opening : 0) - caption;
        const int fit = std::max(1, int(std::floor((room + eps) / row)));
        Page page {next, std::min(fit, count - next), false, first};
        next += page.count;
        if (next >= count) {
            if (totals && page.count + 1 > fit) {
                pages.append(page);
                page = Page {count, 0, true, false};
            } else {
                page.totals = totals;
            }
            pages.append(page);
            return pages;
        }
        pages.append(page);
        first = false;
    }
}

QList<double> PreparedReport::columnWidths(double content) const
{
    QList<double> widths;
    double fixed = 0, weights = 0;
    for (const ReportColumn &c : tmpl.columns) {
        fixed += c.widthMm;
        if (c.widthMm <= 0)
            weights += c.weight > 0 ? c.weight : 1;
    }
    const int shared = int(std::count_if(
        tmpl.columns.begin(), tmpl.columns.end(), [](const ReportColumn &c) { return c.widthMm <= 0; }));
    // Fixed widths give way when they leave the shared columns less than 8 mm each.
    const double scale
        = fixed > 0 && fixed + shared * 8 > content ? std::max(0.0, content - shared * 8) / fixed : 1.0;
    const double rest = std::max(0.0, content - fixed * scale);
    for (const ReportColumn &c : tmpl.columns)
        widths.append(c.widthMm > 0 ? c.widthMm * scale : rest * (c.weight > 0 ? c.weight : 1) / weights);
    return widths;
}

void PreparedReport::paintPage(
    QPainter &p, double k, const QSizeF &paper, int index, const QList<Page> &pages) const
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    if (tmpl.isVoucher)
        paintVouchers(p, k, paper, pages[index]);
    else
        paintTablePage(p, k, paper, pages[index]);
    paintFooter(p, k, paper, index, int(pages.size()));
    p.restore();
}

void PreparedReport::paintTablePage(QPainter &p, double k, const QSizeF &paper, const Page &page) const
{
    const ReportTemplate &t = tmpl;
    const Pen pen {k};
    const double left = t.marginsMm.left();
    const double width = paper.width() - left - t.marginsMm.right();
    const double row = t.rowHeight();
    double y = t.marginsMm.top();
    const QFont body = pen.font(t.fontFamily, t.fontSize);
    QFont bold = body;
    bold.setBold(true);

    if (page.opening) {
        const Block &b = firstBlock;
        if (!b.title.isEmpty())
            y += paintTitle(p, pen, t, b.title, left, width, y);
        if (!b.headers.isEmpty()) {
            paintHeaderTexts(
                p, pen, t, b.headers, b.headerAligns, b.headerBold, {left, y, width, row}, 0.5, body, bold);
            y += headerLines(t) * row + HeaderGap;
        }
    }

    const QList<double> widths = columnWidths(width);
    QList<double> xs {left};
    for (double w : widths)
        xs.append(xs.last() + w);
    const double tableTop = y;
    const double caption = row * 1.2;

    // Column captions, repeated on every page.
    p.fillRect(pen.rect(left, y, width, caption), CaptionFill);
    p.setPen(Qt::black);
    for (qsizetype c = 0; c < t.columns.size(); ++c)
        drawFitted(p, pen.rect(xs[c] + CellPadding * 0.5, y, widths[c] - CellPadding, caption),
            captionTexts[c], Qt::AlignHCenter, bold, false);
    y += caption;
    QList<double> rules {y};

    // The page's rows, read once for the page.
    QList<QStringList> texts;
    QList<bool> strongRows;
    texts.reserve(page.count);
    for (int r = page.first; r < page.first + page.count; ++r) {
        texts.append(rowTexts(r));
        strongRows.append(rowEmphasized(r));
    }

    // One size per column and page, so that a column does not mix sizes from row to row.
    QList<int> sizes;
    for (qsizetype c = 0; c < t.columns.size(); ++c) {
        QStringList plain, strong;
        for (qsizetype r = 0; r < texts.size(); ++r)
            (strongRows[r] ? strong : plain).append(texts[r].value(c));
        if (page.totals)
            strong.append(totalTexts.value(c));
        const double room
            = pen.px(widths[c] - 2 * CellPadding - (t.columns[c].align == ReportAlign::Right ? 0.5 : 0));
        sizes.append(std::min(
            fittingSize(p.device(), body, plain, room), fittingSize(p.device(), bold, strong, room)));
    }
    auto paintRow = [&](const QStringList &texts, bool strong, const QColor &fill) {
        if (fill.isValid())
            p.fillRect(pen.rect(left, y, width, row), fill);
        p.setPen(Qt::black);
        for (qsizetype c = 0; c < t.columns.size() && c < texts.size(); ++c) {
            const ReportColumn &col = t.columns[c];
            const bool figures = col.format == ReportFormat::Money || col.format == ReportFormat::Integer
                || col.format == ReportFormat::Percent || looksNumeric(texts[c]);
            QFont font = strong ? bold : body;
            font.setPixelSize(sizes[c]);
            // Figures keep a little more distance from the rule on their right.
            const double inset = col.align == ReportAlign::Right ? 0.5 : 0;
            drawFitted(p, pen.rect(xs[c] + CellPadding, y, widths[c] - 2 * CellPadding - inset, row),
                texts[c], toQt(col.align), font, figures);
        }
        y += row;
        rules.append(y);
    };
    for (qsizetype r = 0; r < texts.size(); ++r)
        paintRow(texts[r], strongRows[r], strongRows[r] ? TotalFill : QColor());
    if (page.totals)
        paintRow(totalTexts, true, TotalFill);

    // The grid: thin inner rules, a heavier frame and a heavier rule under the captions.
    pen.line(p, 0.12);
    for (double r : std::as_const(rules))
        p.drawLine(QPointF(pen.px(left), pen.px(r)), QPointF(pen.px(left + width), pen.px(r)));
    for (qsizetype c = 1; c + 1 < xs.size(); ++c)
        p.drawLine(QPointF(pen.px(xs[c]), pen.px(tableTop)), QPointF(pen.px(xs[c]), pen.px(y)));
    pen.line(p, 0.3);
    p.drawLine(QPointF(pen.px(left), pen.px(tableTop + caption)),
        QPointF(pen.px(left + width), pen.px(tableTop + caption)));
    if (page.totals)
        p.drawLine(QPointF(pen.px(left), pen.px(y - row)), QPointF(pen.px(left + width), pen.px(y - row)));
    pen.line(p, 0.45);
    p.setBrush(Qt::NoBrush);
    p.drawRect(pen.rect(left, tableTop, width, y - tableTop));
}

void PreparedReport::paintVouchers(QPainter &p, double k, const QSizeF &paper, const Page &page) const
{
    const ReportTemplate &t = tmpl;
    const VoucherLayout &v = t.voucher;
    const Pen pen {k};
    const double left = t.marginsMm.left();
    const double width = paper.width() - left - t.marginsMm.right();
    const double row = t.rowHeight();
    const QFont body = pen.font(t.fontFamily, t.fontSize);
    QFont bold = body;
    bold.setBold(true);
    const QFont labelFont = pen.font(t.fontFamily, t.fontSize * 0.95);
    double y = t.marginsMm.top();

    for (int record = page.first; record < page.first + page.count; ++record) {
        const Block b = record == 0 ? firstBlock : block(record);
        const QStringList cells = rowTexts(record);
        if (record > page.first) {
            // A dashed cutting line between two vouchers of one sheet.
            QPen dash(QColor(150, 150, 150));
            dash.setWidthF(pen.px(0.2));
            dash.setStyle(Qt::DashLine);
            p.setPen(dash);
            const double yCut = pen.px(y - VoucherGap / 2);
            p.drawLine(QPointF(pen.px(left), yCut), QPointF(pen.px(left + width), yCut));
        }
        if (!t.title.isEmpty())
            y += paintTitle(p, pen, t, b.title, left, width, y);
        if (!b.headers.isEmpty()) {
            paintHeaderTexts(
                p, pen, t, b.headers, b.headerAligns, b.headerBold, {left, y, width, row}, 0, body, bold);
            y += headerLines(t) * row;
        }

        // The box: one band per row, each cell a shaded label and its value.
        const double boxTop = y;
        const double unit = width / v.columns;
        int index = 0;
        pen.line(p, 0.15);
        for (const auto &cellRow : v.rows) {
            double x = left;
            for (qsizetype c = 0; c < cellRow.size(); ++c) {
                const VoucherCell &cell = cellRow[c];
                const bool last = c + 1 == cellRow.size();
                const double w = last ? left + width - x : unit * cell.span;
                double valueLeft = x;
                if (!cell.source.label.isEmpty()) {
                    const double lw = std::min(v.labelWidthMm, w / 2);
                    p.fillRect(pen.rect(x, y, lw, v.rowHeightMm), LabelFill);
                    p.setPen(Qt::black);
                    drawFitted(p, pen.rect(x + 1, y, lw - 2, v.rowHeightMm), cell.source.label,
                        Qt::AlignHCenter, labelFont, false);
                    pen.line(p, 0.15);
                    p.drawLine(QPointF(pen.px(x + lw), pen.px(y)),
                        QPointF(pen.px(x + lw), pen.px(y + v.rowHeightMm)));
                    valueLeft = x + lw;
                }
                p.setPen(Qt::black);
                const QString text = cells.value(index++);
                drawFitted(p, pen.rect(valueLeft + 2.5, y, x + w - valueLeft - 5, v.rowHeightMm), text,
                    toQt(cell.source.align), cell.source.bold ? bold : body,
                    cell.source.format == ReportFormat::Money);
                pen.line(p, 0.15);
                if (!last)
                    p.drawLine(
                        QPointF(pen.px(x + w), pen.px(y)), QPointF(pen.px(x + w), pen.px(y + v.rowHeightMm)));
                x += w;
            }
            y += v.rowHeightMm;
            if (y < boxTop + v.rows.size() * v.rowHeightMm - 0.01)
                p.drawLine(QPointF(pen.px(left), pen.px(y)), QPointF(pen.px(left + width), pen.px(y)));
        }
        pen.line(p, 0.5);
        p.setBrush(Qt::NoBrush);
        p.drawRect(pen.rect(left, boxTop, width, y - boxTop));

        // Signature lines: each name followed by a rule to sign on.
        if (!v.signatures.isEmpty()) {
            const double slot = width / v.signatures.size();
            const double top = y + 4;
            for (qsizetype s = 0; s < v.signatures.size(); ++s) {
                const double x = left + slot * s;
                const QString name = v.signatures[s] + QStringLiteral("：");
                p.setPen(Qt::black);
                p.setFont(body);
                const QFontMetricsF fm(body, p.device());
                const double nameWidth = fm.horizontalAdvance(name) / k;
                p.drawText(pen.rect(x + 2, top, nameWidth + 1, row), Qt::AlignLeft | Qt::AlignVCenter, name);
                pen.line(p, 0.15);
                const double baseline = top + row * 0.8;
                p.drawLine(QPointF(pen.px(x + 2 + nameWidth + 1), pen.px(baseline)),
                    QPointF(pen.px(x + slot - 6), pen.px(baseline)));
            }
            y += SignatureHeight;
        } else {
            y += 2;
        }
        y += VoucherGap;
    }
}

void PreparedReport::paintFooter(QPainter &p, double k, const QSizeF &paper, int index, int count) const
{
    const ReportTemplate &t = tmpl;
    const Pen pen {k};
    const double left = t.marginsMm.left();
    const double width = paper.width() - left - t.marginsMm.right();
    const QRectF line = pen.rect(
        left, paper.height() - t.marginsMm.bottom() - FooterHeight * 0.7, width, FooterHeight * 0.7);
    const QFont font = pen.font(t.fontFamily, std::max(7.0, t.fontSize * 0.9));
    p.setFont(font);
    p.setPen(Qt::black);
    if (!footerLeftText.isEmpty())
        p.drawText(line, Qt::AlignLeft | Qt::AlignBottom | Qt::TextSingleLine, footerLeftText);
    if (!footerRightText.isEmpty())
        p.drawText(line, Qt::AlignRight | Qt::AlignBottom | Qt::TextSingleLine, footerRightText);
    if (t.pageNumbers)
        p.drawText(line, Qt::AlignHCenter | Qt::AlignBottom | Qt::TextSingleLine,
            QStringLiteral("第 %1 页 / 共 %2 页").arg(index + 1).arg(count));
}

bool PreparedReport::paintDevice(QPagedPaintDevice *device, int from, int to) const
{
    if (!valid)
        return false;
    // The template's margins are measured from the paper's edge.
    if (auto *printer = dynamic_cast<QPrinter *>(device))
        printer->setFullPage(true);
    else
        device->setPageMargins(QMarginsF(0, 0, 0, 0));
    const QSizeF paper = device->pageLayout().fullRect(QPageLayout::Millimeter).size();
    const QList<Page> pages = paginate(paper);
    QPainter painter;
    if (!painter.begin(device))
        return false;
    const double k = device->logicalDpiX() / 25.4;
    const int last = to < 0 ? int(pages.size()) - 1 : std::min(to, int(pages.size()) - 1);
    // Page after page: each is read, drawn and handed to the device before the next.
    for (int i = std::max(0, from); i <= last; ++i) {
        if (i > std::max(0, from) && !device->newPage())
            return painter.end() && false;
        paintPage(painter, k, paper, i, pages);
    }
    return painter.end();
}

bool PreparedReport::paintPages(QPrinter *printer) const
{
    // The printer's range counts from 1; none named prints every page.
    const int from = printer->fromPage(), to = printer->toPage();
    if (from > 0 || to > 0)
        return paintDevice(printer, std::max(0, from - 1), to > 0 ? to - 1 : -1);
    return paintDevice(printer);
}

void PreparedReport::paintPreparedPage(QPainter &painter, int page, double dotsPerMm) const
{
    if (valid && page >= 0 && page < pageList.size())
        paintPage(painter, dotsPerMm, paperSize(), page, pageList);
}

QImage PreparedReport::renderPage(int page, double dpi) const
{
    if (!valid || page < 0 || page >= pageList.size())
        return {};
    const QSizeF paper = paperSize();
    const double k = dpi / 25.4;
    QImage image(QSize(int(std::lround(paper.width() * k)), int(std::lround(paper.height() * k))),
        QImage::Format_RGB32);
    image.setDotsPerMeterX(int(std::lround(k * 1000)));
    image.setDotsPerMeterY(int(std::lround(k * 1000)));
    image.fill(Qt::white);
    QPainter painter(&image);
    paintPage(painter, k, paper, page, pageList);
    painter.end();
    return image;
}
