#include "platform/PreviewForm.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QPrinter>
#include <QScreen>
#include <QScrollBar>
#include <QSpinBox>
#include <QToolBar>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace Platform {

namespace {

constexpr int Gap = 16; // pixels around and between the pages
// Pictures of pages kept for scrolling back: a page at page width on a large screen is some
// 20 MB, so the cache is bounded by size, keeping at least the pages in sight.
constexpr qsizetype CachedBytes = 48 << 20;
const QColor Desk(128, 128, 128);

struct ZoomChoice {
    const char *text;
    PageView::Fit fit;
    double zoom;
};
const ZoomChoice ZoomChoices[] = {
    {"适合页宽", PageView::Fit::Width, 0},
    {"整页", PageView::Fit::Page, 0},
    {"50%", PageView::Fit::None, 0.5},
    {"75%", PageView::Fit::None, 0.75},
    {"100%", PageView::Fit::None, 1.0},
    {"125%", PageView::Fit::None, 1.25},
    {"150%", PageView::Fit::None, 1.5},
    {"200%", PageView::Fit::None, 2.0},
};

} // namespace

// ---------------------------------------------------------------------------------------------
// PageView

PageView::PageView(const PreviewSource &s, QWidget *parent)
    : QAbstractScrollArea(parent), source(s), count(std::max(0, s.previewPageCount()))
{
    setObjectName(QStringLiteral("PageView"));
    viewport()->setAutoFillBackground(false);
    setFrameShape(QFrame::NoFrame);
    verticalScrollBar()->setSingleStep(40);
    layoutContents();
}

double PageView::dotsPerMm() const
{
    return factor * logicalDpiX() / 25.4;
}

QSize PageView::pageSize() const
{
    const QSizeF paper = source.previewPaperMm();
    const double k = dotsPerMm();
    return QSize(
        std::max(1, int(std::lround(paper.width() * k))), std::max(1, int(std::lround(paper.height() * k))));
}

int PageView::pageTop(int page) const
{
    return Gap + page * (pageSize().height() + Gap);
}

void PageView::layoutContents()
{
    const QSize page = pageSize();
    const qint64 height = qint64(count) * (page.height() + Gap) + Gap;
    const int viewHeight = viewport()->height();
    verticalScrollBar()->setPageStep(viewHeight);
    verticalScrollBar()->setRange(0, int(std::clamp<qint64>(height - viewHeight, 0, INT_MAX)));
    horizontalScrollBar()->setPageStep(viewport()->width());
    // A fitted page never needs the sideways scroll bar (a pixel of rounding aside).
    const int wider = page.width() + 2 * Gap - viewport()->width();
    horizontalScrollBar()->setRange(0, fitMode == Fit::None ? std::max(0, wider) : 0);
}

void PageView::applyFit()
{
    if (fitMode == Fit::None)
        return;
    const QSizeF paper = source.previewPaperMm();
    if (paper.isEmpty())
        return;
    const double perMm = logicalDpiX() / 25.4;
    // Room left by a vertical scroll bar, which a long report always shows.
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const double width
        = std::max(50, viewport()->width() - (verticalScrollBar()->isVisible() ? 0 : scrollBar)) - 2.0 * Gap;
    double z = width / (paper.width() * perMm);
    if (fitMode == Fit::Page)
        z = std::min(z, (viewport()->height() - 2.0 * Gap) / (paper.height() * perMm));
    z = std::clamp(z, 0.1, 8.0);
    if (std::abs(z - factor) > 1e-4) {
        const int page = currentPage();
        factor = z;
        cache.clear();
        layoutContents();
        showPage(page);
        emit zoomChanged(factor);
    }
}

void PageView::setZoom(double zoom)
{
    fitMode = Fit::None;
    zoom = std::clamp(zoom, 0.1, 8.0);
    if (std::abs(zoom - factor) < 1e-4)
        return;
    const int page = currentPage();
    factor = zoom;
    cache.clear();
    layoutContents();
    showPage(page);
    viewport()->update();
    emit zoomChanged(factor);
}

void PageView::setFit(Fit fit)
{
    fitMode = fit;
    applyFit();
    layoutContents();
    viewport()->update();
}

int PageView::currentPage() const
{
    if (count == 0)
        return 0;
    // The page gone to stays current while the view cannot bring it to the top (near the end).
    if (chosen >= 0)
        return chosen;
    const int stride = pageSize().height() + Gap;
    const int y = verticalScrollBar()->value() + std::min(viewport()->height() / 3, stride / 2);
    return std::clamp((y - Gap / 2) / stride, 0, count - 1);
}

void PageView::showPage(int page)
{
    if (count == 0)
        return;
    page = std::clamp(page, 0, count - 1);
    {
        const QSignalBlocker quiet(this);
        verticalScrollBar()->setValue(pageTop(page) - Gap / 2);
    }
    chosen = page;
    viewport()->update();
    if (page != lastPage) {
        lastPage = page;
        emit currentPageChanged(page);
    }
}

QList<int> PageView::pagesInSight() const
{
    QList<int> pages;
    if (count == 0)
        return pages;
    const int stride = pageSize().height() + Gap;
    const int top = verticalScrollBar()->value();
    const int bottom = top + viewport()->height();
    for (int p = std::max(0, (top - Gap) / stride); p < count; ++p) {
        const int y = pageTop(p);
        if (y >= bottom)
            break;
        if (y + pageSize().height() > top)
            pages.append(p);
    }
    return pages;
}

const QImage &PageView::picture(int page)
{
    for (qsizetype i = 0; i < cache.size(); ++i)
        if (cache[i].page == page) {
            if (i > 0)
                cache.move(i, 0);
            return cache.first().image;
        }
    const qreal ratio = devicePixelRatioF();
    const QSize size = pageSize();
    QImage image(size * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        source.paintPreviewPage(painter, page, dotsPerMm());
    }
    ++rendered;
    cache.prepend({page, std::move(image)});
    qsizetype bytes = 0;
    for (const Cached &c : std::as_const(cache))
        bytes += c.image.sizeInBytes();
    while (cache.size() > 2 && bytes > CachedBytes) {
        bytes -= cache.last().image.sizeInBytes();
        cache.removeLast();
    }
    return cache.first().image;
}

void PageView::paintEvent(QPaintEvent *)
{
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), Desk);
    const QSize size = pageSize();
    const int x = std::max(Gap, (viewport()->width() - size.width()) / 2) - horizontalScrollBar()->value();
    const int top = verticalScrollBar()->value();
    for (int page : pagesInSight()) {
        const int y = pageTop(page) - top;
        painter.fillRect(QRect(x + 3, y + 3, size.width(), size.height()), QColor(70, 70, 70));
        painter.drawImage(QPoint(x, y), picture(page));
    }
}

void PageView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    layoutContents();
    applyFit();
}

void PageView::scrollContentsBy(int, int)
{
    viewport()->update();
    if (signalsBlocked())
        return;
    chosen = -1; // the reader scrolled
    const int page = currentPage();
    if (page != lastPage) {
        lastPage = page;
        emit currentPageChanged(page);
    }
}

void PageView::wheelEvent(QWheelEvent *event)
{
    if (event->modifiers() & Qt::ControlModifier) {
        setZoom(zoom() * (event->angleDelta().y() > 0 ? 1.15 : 1 / 1.15));
        event->accept();
        return;
    }
    QAbstractScrollArea::wheelEvent(event);
}

// ---------------------------------------------------------------------------------------------
// TFormPreview

TFormPreview::TFormPreview(const PreviewSource &s, QWidget *parent) : QDialog(parent), source(s)
{
    setObjectName(QStringLiteral("TFormPreview"));
    setWindowTitle(QStringLiteral("打印预览 - ") + source.previewTitle());
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);

    auto *bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("PreviewBar"));
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    auto add
        = [&](const char *name, const QString &text, const QKeySequence &key, void (TFormPreview::*slot)()) {
              auto *action = bar->addAction(text);
              action->setObjectName(QString::fromLatin1(name));
              if (!key.isEmpty())
                  action->setShortcut(key);
              connect(action, &QAction::triggered, this, slot);
              return action;
          };
    view = new PageView(source, this);
    const int count = view->pageCount();

    add("ActionPrint", QStringLiteral("打印"), QKeySequence::Print, &TFormPreview::print);
    add("ActionSavePdf", QStringLiteral("保存PDF"), QKeySequence::Save, &TFormPreview::savePdf);
    bar->addSeparator();
    add("ActionFirst", QStringLiteral("首页"), QKeySequence(Qt::CTRL | Qt::Key_Home),
        &TFormPreview::firstPage);
    add("ActionPrior", QStringLiteral("上一页"), QKeySequence(Qt::Key_PageUp), &TFormPreview::previousPage);
    pageBox = new QSpinBox(bar);
    pageBox->setObjectName(QStringLiteral("PageBox"));
    pageBox->setRange(1, std::max(1, count));
    pageBox->setPrefix(QStringLiteral("第 "));
    pageBox->setSuffix(QStringLiteral(" 页"));
    pageBox->setKeyboardTracking(false);
    pageBox->setMinimumWidth(pageBox->fontMetrics().horizontalAdvance(QStringLiteral("第 0000000 页")) + 30);
    bar->addWidget(pageBox);
    pageCountLabel = new QLabel(QStringLiteral(" / 共 %1 页 ").arg(count), bar);
    pageCountLabel->setObjectName(QStringLiteral("PageCountLabel"));
    bar->addWidget(pageCountLabel);
    add("ActionNext", QStringLiteral("下一页"), QKeySequence(Qt::Key_PageDown), &TFormPreview::nextPage);
    add("ActionLast", QStringLiteral("末页"), QKeySequence(Qt::CTRL | Qt::Key_End), &TFormPreview::lastPage);
    bar->addSeparator();
    add("ActionZoomOut", QStringLiteral("缩小"), QKeySequence::ZoomOut, &TFormPreview::zoomOut);
    zoomBox = new QComboBox(bar);
    zoomBox->setObjectName(QStringLiteral("ZoomBox"));
    for (const ZoomChoice &z : ZoomChoices)
        zoomBox->addItem(QString::fromUtf8(z.text));
    bar->addWidget(zoomBox);
    add("ActionZoomIn", QStringLiteral("放大"), QKeySequence::ZoomIn, &TFormPreview::zoomIn);
    bar->addSeparator();
    add("ActionClose", QStringLiteral("关闭"), QKeySequence(), &TFormPreview::reject);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(view, 1);

    connect(pageBox, &QSpinBox::valueChanged, this, [this](int value) { goToPage(value - 1); });
    connect(view, &PageView::currentPageChanged, this, &TFormPreview::pageShown);
    connect(zoomBox, &QComboBox::activated, this, &TFormPreview::zoomChosen);
    connect(view, &PageView::zoomChanged, this, &TFormPreview::zoomShown);

    // A reader expects the whole screen and the page at its width.
    if (const QScreen *screen = parent ? parent->screen() : QApplication::primaryScreen())
        resize(screen->availableGeometry().size());
    setWindowState(windowState() | Qt::WindowMaximized);
    view->setFit(PageView::Fit::Width);
}

void TFormPreview::firstPage()
{
    goToPage(0);
}

void TFormPreview::previousPage()
{
    goToPage(view->currentPage() - 1);
}

void TFormPreview::nextPage()
{
    goToPage(view->currentPage() + 1);
}

void TFormPreview::lastPage()
{
    goToPage(view->pageCount() - 1);
}

void TFormPreview::goToPage(int page)
{
    view->showPage(page);
    pageShown(view->currentPage());
}

void TFormPreview::zoomIn()
{
    view->setZoom(view->zoom() * 1.25);
}

void TFormPreview::zoomOut()
{
    view->setZoom(view->zoom() / 1.25);
}

void TFormPreview::pageShown(int page)
{
    const QSignalBlocker block(pageBox);
    pageBox->setValue(page + 1);
}

void TFormPreview::zoomChosen(int index)
{
    const ZoomChoice &z = ZoomChoices[std::clamp(index, 0, int(std::size(ZoomChoices)) - 1)];
    if (z.fit == PageView::Fit::None)
        view->setZoom(z.zoom);
    else
        view->setFit(z.fit);
    zoomShown(view->zoom());
}

void TFormPreview::zoomShown(double zoom)
{
    const QSignalBlocker block(zoomBox);
    for (int i = 0; i < int(std::size(ZoomChoices)); ++i) {
        const ZoomChoice &z = ZoomChoices[i];
        if (z.fit != PageView::Fit::None ? z.fit == view->fit() : std::abs(z.zoom - zoom) < 1e-3) {
            zoomBox->setCurrentIndex(i);
            zoomBox->setEditText(zoomBox->itemText(i));
            return;
        }
    }
    // A zoom between the choices reads as its percentage.
    zoomBox->setCurrentIndex(-1);
    zoomBox->setPlaceholderText(QStringLiteral("%1%").arg(std::lround(zoom * 100)));
}

void TFormPreview::print()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(source.isLandscape() ? QPageLayout::Landscape : QPageLayout::Portrait);
    printer.setDocName(source.previewTitle());
    printer.setFromTo(0, 0);
    if (!ChoosePrinter(&printer, this))
        return;
    bool done = false;
    {
        const BusyCursor busy;
        done = source.paintPages(&printer);
    }
    if (!done)
        ShowError(QStringLiteral("打印没有完成：打印机无法开始打印。报表没有改变，可以再打印。"));
}

void TFormPreview::savePdf()
{
    FileDialogRequest request;
    request.caption = QStringLiteral("保存为PDF文件");
    request.directory = QDir::homePath();
    request.fileName = source.previewTitle() + QStringLiteral(".pdf");
    request.filter = QStringLiteral("PDF 文件 (*.pdf)");
    request.defaultSuffix = QStringLiteral("pdf");
    const QString path = GetSaveFileName(this, request);
    if (path.isEmpty())
        return;
    bool written = false;
    {
        const BusyCursor busy;
        written = WritePdf(source, path);
    }
    if (written)
        ShowMessage(QStringLiteral("PDF 文件已保存：") + path);
    else
        ShowError(QStringLiteral("PDF 文件无法写入：") + path + QStringLiteral("。没有保存任何文件。"));
}

} // namespace Platform
